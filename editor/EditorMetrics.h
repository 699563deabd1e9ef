// TEditorMetrics: the measures of an editor's client area that follow from its font, margins,
// left bar and ruler, and the place of a cell on the screen.
#pragma once

#include <QPoint>

namespace quire {

struct TEditorMetrics {
    int CharWidth = 8;   // one column: a half-width glyph plus the character margin
    int CharHeight = 16; // the font's height
    int RowHeight = 16;  // a row: the font's height plus the line and underline margins
    int Ascent = 12;
    int TextLeft = 19; // the text area starts here: left margin and left bar
    int TextTop = 2;   // and here: top margin and ruler
    int LeftbarWidth = 0;
    int LeftbarDigits = 4;
    int RulerHeight = 0;
    int VisibleRows = 1; // whole rows and columns the client area shows
    int VisibleCols = 1;
    bool Transparent = false; // italic text is drawn without opaque cells, so glyphs may overhang

    // The client pixel of the top left corner of cell (Row, Col) with TopRow and TopCol shown
    // first.
    int ColX(int Col, int TopCol) const noexcept { return TextLeft + (Col - TopCol) * CharWidth; }
    int RowY(int Row, int TopRow) const noexcept { return TextTop + (Row - TopRow) * RowHeight; }
    QPoint CellPoint(int Row, int Col, int TopRow, int TopCol) const noexcept {
        return QPoint(ColX(Col, TopCol), RowY(Row, TopRow));
    }
};

} // namespace quire
