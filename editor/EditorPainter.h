// TEditorPainter: draws an editor's client area from the editor's public face and the state it
// takes for the paint (TEditorPaintState): the corner, the ruler, the left bar with line
// numbers, the rows token by token in their colours with the selection and the marks, the
// text being composed and the caret. Every character is placed on the column grid, whatever
// the font's own advances.
#pragma once

#include "EditorPaintState.h"

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class QPainter;
class QFont;
class QRawFont;

namespace quire {

class TEditor;
class TFountainColor;
class TFountainParser;

// The colours a token is drawn in.
struct TTokenLook {
    QColor Back;
    QColor Fore;
    uint8_t Style = 0;
    bool operator==(const TTokenLook&) const = default;
};

class TEditorPainter {
public:
    TEditorPainter(TEditor& Editor, const TEditorPaintState& State, QPainter& Painter);

    void PaintCorner();
    void PaintRuler();
    void PaintLeftbar(int First, int Last);
    // The rows First..Last of the text area within Clip, the end-of-file mark below the last
    // line, and the caret-row underline.
    void PaintText(int First, int Last, const QRect& Clip);
    // The text being composed with the input method, at the caret: underlined, the segment
    // being converted inverted.
    void PaintPreedit();
    void PaintCaret();

    // Draws the bytes [From, To) of T, whose column 0 is at X0, baseline Y, clipped to Clip.
    void DrawCells(const std::string& T, int From, int To, int X0, int Y, const QColor& Fore, uint8_t Style,
                   const QRect& Clip);

private:
    // The characters of a run of cells to draw: each glyph's cell, and boxes for bytes that
    // are no character.
    // A character of the page's table and the two cells it is drawn in.
    struct TOutsideCell {
        QRect Box;
        char32_t Ch;
    };
    struct TCellGlyphs {
        QString Chars;
        std::vector<QPointF> Positions;
        std::vector<QRect> Missing;
        std::vector<TOutsideCell> Outside;
    };
    TCellGlyphs CollectCells(const std::string& T, int From, int To, int X0, int Y, const QRect& Clip) const;
    void DrawGlyphs(const QRawFont& Raw, TCellGlyphs& Cells, int Y);
    void DrawOutsideChars(const QFont& Font, const TCellGlyphs& Cells);
    TTokenLook Look(TFountainColor* c, bool selected) const;
    // A row with the selection: up to three parts, the middle one selected.
    void PaintRowWithSelection(int row, TFountainParser& parser);
    // One row: its background, its tokens in their colours, the draw-line event and the marks.
    // Columns [FromCol, ToCol) are painted; Selected draws them as selected text.
    // Shift moves the row's text that many columns right (to make room for a composition).
    void PaintRow(int row, TFountainParser& parser, int fromCol, int toCol, bool selected, int shift = 0);
    // The caret's row while composing: the composition inserted at the caret.
    void PaintComposingRow(int row, TFountainParser& parser);
    // Length is the row's display length, Drawn the part of it drawn (up to column 1000).
    void PaintEndMarks(int row, int length, int drawn, int xOrigin, int y, const QRect& R, bool selected);
    void DrawEof(int x, int y);
    QRect TextArea() const;

    TEditor& E;
    QPainter& P;
    const TEditorPaintState& St;
    const TEditorMetrics& M;
    const TEditorSelection& S;
};

} // namespace quire
