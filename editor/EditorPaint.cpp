// TEditor: painting the corner, the ruler, the left bar, the rows with their tokens, the
// selection and the marks, and the caret.
#include "Editor.h"

#include "Cp932Codec.h"
#include "FountainParser.h"
#include "ShiftJis.h"

#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>
#include <QTextCharFormat>
#include <array>

namespace quire {

namespace {

// The built-in digit glyphs of the ruler: rows 1 to 7 of each digit, "#" ink.
constexpr std::array<std::array<const char*, 7>, 10> kDigitGlyphs = {{
    {"..##.", ".#..#", ".#..#", ".#..#", ".#..#", ".#..#", "..##."},
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", "..#.."},
    {"..##.", ".#..#", "....#", "...#.", "..#..", ".#...", ".####"},
    {"..##.", ".#..#", "....#", "...#.", "....#", ".#..#", "..##."},
    {"...#.", "..##.", "..##.", ".#.#.", ".####", "...#.", "...#."},
    {".####", ".#...", ".###.", ".#..#", "....#", ".#..#", "..##."},
    {"..##.", ".#..#", ".#...", ".###.", ".#..#", ".#..#", "..##."},
    {".####", "....#", "...#.", "...#.", "..#..", "..#..", "..#.."},
    {"..##.", ".#..#", ".#..#", "..##.", ".#..#", ".#..#", "..##."},
    {"..##.", ".#..#", ".#..#", "..###", "....#", ".#..#", "..##."},
}};

// Draws the number N from the digit glyphs with its left edge at X; returns the width.
int drawDigits(QPainter& p, int n, int x, int y, const QColor& ink) {
    const std::string s = std::to_string(n);
    int dx = 0;
    p.setPen(ink);
    for (char ch : s) {
        const auto& g = kDigitGlyphs[static_cast<size_t>(ch - '0')];
        const int w = ch == '1' ? 3 : 5;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < w; ++col)
                if (g[static_cast<size_t>(row)][col] == '#') p.drawPoint(x + dx + col, y + 1 + row);
        dx += w;
    }
    return dx;
}

// The colours a token is drawn in.
struct TTokenLook {
    QColor Back;
    QColor Fore;
    uint8_t Style = 0;
    bool operator==(const TTokenLook&) const = default;
};

} // namespace

// Draws rows of Shift_JIS text on the column grid, whatever the font's own advances.
class TEditorPainter {
public:
    TEditorPainter(TEditor& e, QPainter& p) : E(e), P(p) {}

    // Draws the bytes [From, To) of T, whose column 0 is at X0, baseline Y, clipped to Clip.
    void DrawCells(const std::string& T, int From, int To, int X0, int Y, const QColor& Fore, uint8_t Style,
                   const QRect& Clip) {
        QFont f = E.font();
        f.setBold(Style & fsBold);
        f.setItalic(Style & fsItalic);
        f.setUnderline(Style & fsUnderline);
        f.setStrikeOut(Style & fsStrikeOut);
        const QRawFont raw = QRawFont::fromFont(f);
        QString chars;
        std::vector<QPointF> positions;
        std::vector<QRect> missing;
        const int cw = E.FCharWidth;
        for (int i = From; i < To;) {
            const auto c = static_cast<unsigned char>(T[static_cast<size_t>(i)]);
            int len = 1;
            char16_t u;
            if (sjis::IsLeadByte(c) && i + 1 < static_cast<int>(T.size())) {
                len = 2;
                u = cp932::DecodeChar(c, static_cast<unsigned char>(T[static_cast<size_t>(i + 1)]));
            } else {
                u = cp932::DecodeChar(c);
            }
            const int x = X0 + i * cw;
            if (x > Clip.right()) break;
            if (x + len * cw >= Clip.left()) {
                if (u == 0 && c != 0) {
                    missing.emplace_back(x + 1, Y - E.FAscent + 2, len * cw - 3, E.FAscent - 3);
                } else if (u > 32) {
                    chars.append(QChar(u));
                    positions.emplace_back(x, Y);
                }
            }
            i += len;
        }
        P.setPen(Fore);
        if (!chars.isEmpty() && raw.isValid()) {
            QList<quint32> glyphs = raw.glyphIndexesForString(chars);
            QList<QPointF> pos;
            pos.reserve(static_cast<qsizetype>(positions.size()));
            const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
            for (qsizetype k = 0; k < glyphs.size() && k < static_cast<qsizetype>(positions.size()); ++k) {
                QPointF at = positions[static_cast<size_t>(k)];
                // A glyph narrower or wider than its cells is centred in them.
                const int cells = chars[k].unicode() >= 0x1100 && !(chars[k].unicode() >= 0xFF61 && chars[k].unicode() <= 0xFF9F) ? 2 : 1;
                at.rx() += (cells * cw - advances[k].x()) / 2.0;
                if (glyphs[k] == 0) {
                    missing.emplace_back(static_cast<int>(positions[static_cast<size_t>(k)].x()) + 1, Y - E.FAscent + 2,
                                         cells * cw - 3, E.FAscent - 3);
                    continue;
                }
                pos.append(at);
                glyphs[static_cast<qsizetype>(pos.size()) - 1] = glyphs[k];
            }
            glyphs.resize(pos.size());
            QGlyphRun run;
            run.setRawFont(raw);
            run.setGlyphIndexes(glyphs);
            run.setPositions(pos);
            run.setUnderline(Style & fsUnderline);
            run.setStrikeOut(Style & fsStrikeOut);
            P.drawGlyphRun(QPointF(0, 0), run);
        }
        // Bytes that are no character, and characters the font lacks, show as a box.
        for (const QRect& r : missing) P.drawRect(r);
    }

    TTokenLook Look(TFountainColor* c, bool selected) const {
        if (selected) {
            TEditorColor& sel = E.FView.Colors().Select();
            const QColor back = sel.BkColor() == clNone ? E.ToQColor(E.FFontColor, false) : E.ToQColor(sel.BkColor(), true);
            const QColor fore = sel.Color() == clNone ? E.ToQColor(E.FColor, true) : E.ToQColor(sel.Color(), false);
            return {back, fore, c ? c->Style() : uint8_t(0)};
        }
        if (!c) return {E.ToQColor(E.FColor, true), E.ToQColor(E.FFontColor, false), 0};
        return {E.ToQColor(c->BkColor(), true), E.ToQColor(c->Color(), false), c->Style()};
    }

    // One row: its background, its tokens in their colours, the draw-line event and the marks.
    // Columns [FromCol, ToCol) are painted; Selected draws them as selected text.
    void PaintRow(int row, TFountainParser& parser, int fromCol, int toCol, bool selected) {
        TEditorScreenStrings& list = *E.FList;
        const int cw = E.FCharWidth;
        const int y = E.FTextTop + (row - E.FTopRow) * E.FRowHeight;
        const int xOrigin = E.FTextLeft - E.FTopCol * cw;
        const int left = std::max(E.FTextLeft, xOrigin + fromCol * cw);
        const int right = toCol < 0 ? E.viewport()->width() : std::max(left, xOrigin + toCol * cw);
        const int height = E.FCharHeight + ((E.Selected() || E.FClearingSelection) ? E.FMargin.Underline() : 0);
        const QRect R(left, y, right - left, height);
        if (R.width() <= 0) return;
        P.save();
        P.setClipRect(R);
        const TTokenLook plain = Look(nullptr, selected);
        P.fillRect(R, plain.Back);
        if (list.BracketIndex(row) == -2) list.Reparse(row, false);
        const TColumnContext ctx = E.ColumnContext();
        const std::string own = DisplayText(list.Get(row), ctx);
        const int ownLength = static_cast<int>(own.size());
        const int baseline = y + E.FAscent;
        if ((ownLength + 5) * cw < E.FTopCol * cw) {
            P.restore();
            return;
        }
        const int limit = std::min(right, xOrigin + TEditor::ColumnLimit * cw);
        if (!E.FTransparent) DrawCells(own, 0, ownLength, xOrigin, baseline, plain.Fore, 0, R);
        if (!own.empty()) {
            std::string text = own;
            if (list.RowAttribute(row) == TRowAttribute::Wrapped && row + 1 < list.Count())
                text += DisplayText(list.Get(row + 1), ctx);
            parser.StartRow(text, list.RowState(row));
            while (parser.NextToken() != kindEnd && parser.TokenStart() < ownLength) {
                const int start = parser.TokenStart();
                const int end = std::min(start + parser.TokenLength(), ownLength);
                const int x = xOrigin + start * cw;
                if (x > limit) break;
                if (xOrigin + end * cw < E.FTextLeft) continue;
                const TTokenLook look = Look(parser.TokenColor(), selected);
                if (!E.FTransparent && look == plain) continue;
                const QRect cells(x, y, (end - start) * cw, height);
                if (look.Back != plain.Back || !E.FTransparent) P.fillRect(cells.intersected(R), look.Back);
                DrawCells(own, start, end, xOrigin, baseline, look.Fore, look.Style, R);
            }
        }
        if (E.OnDrawLine) {
            P.save();
            P.setClipRect(R);
            E.OnDrawLine(&E, P, own, xOrigin, y, row, R, selected);
            P.restore();
        }
        PaintEndMarks(row, ownLength, xOrigin, y, R, selected);
        P.restore();
    }

    void PaintEndMarks(int row, int length, int xOrigin, int y, const QRect& R, bool selected) {
        TEditorScreenStrings& list = *E.FList;
        const int cw = E.FCharWidth;
        const int ch = E.FCharHeight;
        const bool beyond = length > TEditor::ColumnLimit;
        const int e = xOrigin + std::min(length, TEditor::ColumnLimit) * cw;
        if (e > R.right()) return;
        const TRowAttribute attr = list.RowAttribute(row);
        TEditorMarks& m = E.FMarks;
        auto markColor = [&](TEditorMark& mark) {
            return selected ? Look(nullptr, true).Fore : E.ToQColor(mark.Color(), false);
        };
        if (!beyond) {
            if (m.EofMark().Visible() && row == list.Count() - 1 && attr == TRowAttribute::EndOfFile) {
                DrawEof(e, y);
            } else if (m.RetMark().Visible() && attr == TRowAttribute::LineEnd) {
                P.setPen(markColor(m.RetMark()));
                const int d = std::max(1, ch / 8), f = std::max(d, 3);
                const int xm = e + cw / 2, yb = y + ch - 2 * d;
                P.drawLine(xm, y + 2 * d, xm, yb);
                P.drawLine(xm, yb, xm + f, yb - f);
                P.drawLine(xm, yb, xm - f, yb - f);
            } else if (m.WrapMark().Visible() && attr == TRowAttribute::Wrapped) {
                P.setPen(markColor(m.WrapMark()));
                const int s = std::max(2, cw * 3 / 5), ym = y + ch / 2;
                P.drawLine(e + cw, ym - s, e + cw - s, ym);
                P.drawLine(e + cw - s, ym, e + cw + 1, ym + s + 1);
            }
        } else if (m.HideMark().Visible()) {
            P.setPen(markColor(m.HideMark()));
            const int s = std::max(2, cw * 3 / 5), ym = y + ch / 2;
            P.drawLine(e + cw - s, ym - s, e + cw, ym);
            P.drawLine(e + cw, ym, e + cw - s - 1, ym + s + 1);
        }
    }

    void DrawEof(int x, int y) {
        const QRect box(x, y, 6 * E.FCharWidth, E.FCharHeight);
        P.fillRect(box, E.ToQColor(E.FColor, true));
        DrawCells("[EOF]", 0, 5, x, y + E.FAscent, E.ToQColor(E.FMarks.EofMark().Color(), false), 0, box);
    }

    // A row with the selection: up to three parts, the middle one selected.
    void PaintRowWithSelection(int row, TFountainParser& parser) {
        const TSelRect& s = E.FSelRect;
        if (!E.Selected() || row < s.Top || row > s.Bottom) {
            PaintRow(row, parser, 0, -1, false);
            return;
        }
        int a, b;
        if (E.FSelectionMode == TSelectionMode::Box) {
            const TColumnMap attrs = E.ColumnMap(row);
            auto fix = [&](int c) {
                c = std::min(c, attrs.Width());
                if (attrs.Is(c, TColumnCode::Trail)) ++c;
                return c;
            };
            a = fix(s.Left);
            b = fix(s.Right);
        } else if (s.Top == s.Bottom) {
            a = s.Left;
            b = s.Right;
        } else if (row == s.Top) {
            a = s.Left;
            b = -1;
        } else if (row == s.Bottom) {
            a = 0;
            b = s.Right;
        } else {
            a = 0;
            b = -1;
        }
        if (a > 0) PaintRow(row, parser, 0, a, false);
        PaintRow(row, parser, a, b, true);
        if (b >= 0) PaintRow(row, parser, b, -1, false);
    }

    void PaintLeftbar(int first, int last) {
        const TEditorLeftbar& lb = E.FLeftbar;
        const int w = E.FLeftbarWidth;
        const QColor back = E.ToQColor(lb.BkColor(), true);
        P.fillRect(QRect(0, E.FTextTop, w - 2, E.viewport()->height() - E.FTextTop), back);
        // The edge at the bar's right side.
        const QColor edge1 = lb.Edge() ? QColor(Qt::white) : back;
        const QColor edge2 = lb.Edge() ? QColor(0x80, 0x80, 0x80) : E.ToQColor(lb.Color(), false);
        P.fillRect(QRect(w - 2, E.FTextTop, 1, E.viewport()->height()), edge1);
        P.fillRect(QRect(w - 1, E.FTextTop, 1, E.viewport()->height()), edge2);
        if (!lb.ShowNumber()) return;
        TEditorScreenStrings& list = *E.FList;
        const int count = list.Count();
        const bool lastIsEof = count > 0 && list.RowAttribute(count - 1) == TRowAttribute::EndOfFile;
        int line = 0;
        if (lb.ShowNumberMode() == TEditorShowNumberMode::nmLine) {
            for (int r = 0; r < first && r < count; ++r)
                if (r == 0 || list.RowAttribute(r - 1) == TRowAttribute::LineEnd) ++line;
        }
        const QColor ink = E.ToQColor(lb.Color(), false);
        for (int r = first; r <= last; ++r) {
            long long number = -1;
            if (lb.ShowNumberMode() == TEditorShowNumberMode::nmRow) {
                if (r == 0 || r < count || (r == count && !lastIsEof)) number = r;
            } else {
                const bool starts = r == 0 || (r - 1 < count && list.RowAttribute(r - 1) == TRowAttribute::LineEnd &&
                                               (r < count || !lastIsEof));
                if (starts) number = line++;
            }
            if (number < 0) continue;
            if (!lb.ZeroBase()) ++number;
            std::string digits = std::to_string(number);
            const int places = E.FLeftbarDigits;
            if (static_cast<int>(digits.size()) < places)
                digits.insert(0, static_cast<size_t>(places - static_cast<int>(digits.size())), lb.ZeroLead() ? '0' : ' ');
            const int y = E.FTextTop + (r - E.FTopRow) * E.FRowHeight;
            DrawCells(digits, 0, static_cast<int>(digits.size()), lb.LeftMargin(), y + E.FAscent, ink, 0,
                      QRect(0, y, w - 2, E.FRowHeight));
        }
    }

    void PaintRuler() {
        const TEditorRuler& ru = E.FRuler;
        const int cw = E.FCharWidth;
        const int h = E.FRulerHeight;
        const int width = E.viewport()->width();
        const QRect area(E.FTextLeft, 0, width - E.FTextLeft, h);
        P.save();
        P.setClipRect(area);
        P.fillRect(area, E.ToQColor(ru.BkColor(), true));
        const int g = ru.GaugeRange();
        const QColor ink = E.ToQColor(ru.Color(), false);
        P.setPen(ink);
        const int lastCol = std::min(TEditor::ColumnLimit, E.FTopCol + width / cw + 1);
        for (int c = E.FTopCol - (E.FTopCol % g); c <= lastCol; ++c) {
            const int x = E.FTextLeft + (c - E.FTopCol) * cw;
            const int b = c % g;
            const int y0 = b == 0 ? 0 : b == g / 2 ? 3 : 6;
            P.drawLine(x, y0, x, h - 1);
            if (b == 0) drawDigits(P, c, x + 1, 0, ink);
            if (c >= TEditor::ColumnLimit) break;
        }
        if (ru.Edge()) {
            P.fillRect(QRect(E.FTextLeft, h - 2, width, 1), Qt::white);
            P.fillRect(QRect(E.FTextLeft, h - 1, width, 1), QColor(0x80, 0x80, 0x80));
        } else {
            P.drawLine(E.FTextLeft, h - 1, width, h - 1);
        }
        // The caret's column.
        if (E.FCol >= E.FTopCol && E.FCol <= E.FTopCol + E.FVisibleCols) {
            const int x = E.FTextLeft + cw * (E.FCol - E.FTopCol) + 1;
            P.fillRect(QRect(x, 0, cw - 1, h - (ru.Edge() ? 2 : 1)), E.ToQColor(ru.MarkColor(), false));
        }
        P.restore();
    }

    void PaintCorner() {
        P.fillRect(QRect(0, 0, E.FTextLeft, E.FTextTop), E.ToQColor(E.FColor, true));
        if (E.FLeftbar.Visible()) P.fillRect(QRect(0, 0, E.FLeftbarWidth - 2, E.FTextTop), E.ToQColor(E.FLeftbar.BkColor(), true));
        if (E.FRuler.Visible()) {
            const int x = E.FLeftbar.Visible() ? E.FLeftbarWidth : 0;
            P.fillRect(QRect(x, 0, E.FTextLeft - x, E.FRulerHeight), E.ToQColor(E.FRuler.BkColor(), true));
        }
    }

    TEditor& E;
    QPainter& P;
};

void TEditor::paintEvent(QPaintEvent* Event) {
    if (!FList) return;
    QPainter p(viewport());
    TEditorPainter painter(*this, p);
    const QRect clip = Event->rect();
    const int width = viewport()->width();
    const int height = viewport()->height();
    if (clip.intersects(QRect(0, 0, FTextLeft, FTextTop))) painter.PaintCorner();
    if (FRuler.Visible() && clip.intersects(QRect(FTextLeft, 0, width, FRulerHeight))) painter.PaintRuler();
    // Rows touched by the clip rectangle.
    const int first = FTopRow + std::max(0, clip.top() - FTextTop) / FRowHeight;
    const int last = FTopRow + std::max(0, clip.bottom() - FTextTop) / FRowHeight;
    if (FLeftbar.Visible() && clip.intersects(QRect(0, FTextTop, FLeftbarWidth, height))) painter.PaintLeftbar(first, last);
    // The gaps between rows and the margins show the background.
    const QRect textArea(FTextLeft, FTextTop, width - FTextLeft, height - FTextTop);
    if (clip.intersects(textArea)) {
        p.fillRect(textArea.intersected(clip), ToQColor(FColor, true));
        if (FMargin.Left() > 0) p.fillRect(QRect(FTextLeft - FMargin.Left(), FTextTop, FMargin.Left(), height), ToQColor(FColor, true));
        auto parser = ActiveFountain().CreateParser();
        const int count = FList->Count();
        for (int r = first; r <= last; ++r) {
            if (r < count) {
                painter.PaintRowWithSelection(r, *parser);
            } else if (FMarks.EofMark().Visible() && r == count &&
                       (count == 0 || FList->RowAttribute(count - 1) != TRowAttribute::EndOfFile)) {
                painter.DrawEof(FTextLeft - FTopCol * FCharWidth, FTextTop + (r - FTopRow) * FRowHeight);
            }
        }
        if (FMarks.Underline().Visible() && FUnderlineCount == 0 && !Selected()) {
            const int y = UnderlineY(FRow);
            if (y >= 0) {
                p.setPen(ToQColor(FMarks.Underline().Color(), false));
                p.drawLine(FTextLeft, y, width, y);
            }
        }
    }
    // The text being composed with the input method, over the text at the caret.
    if (!FPreedit.isEmpty()) {
        const std::string bytes = cp932::FromUnicode(FPreedit);
        const int x = FTextLeft + (FCol - FTopCol) * FCharWidth;
        const int y = FTextTop + (FRow - FTopRow) * FRowHeight;
        const QRect box(x, y, static_cast<int>(bytes.size()) * FCharWidth, FCharHeight);
        p.fillRect(box, ToQColor(FColor, true));
        painter.DrawCells(bytes, 0, static_cast<int>(bytes.size()), x, y + FAscent, ToQColor(FFontColor, false), fsUnderline, box);
        // The segment the input method highlights (the one being converted) is inverted.
        for (const QInputMethodEvent::Attribute& a : FPreeditFormats) {
            if (a.type != QInputMethodEvent::TextFormat || a.length <= 0) continue;
            const QTextCharFormat f = qvariant_cast<QTextFormat>(a.value).toCharFormat();
            if (f.background().style() == Qt::NoBrush) continue;
            const int from = static_cast<int>(cp932::FromUnicode(FPreedit.left(a.start)).size());
            const int len = static_cast<int>(cp932::FromUnicode(FPreedit.mid(a.start, a.length)).size());
            p.save();
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.fillRect(QRect(x + from * FCharWidth, y, len * FCharWidth, FCharHeight), Qt::white);
            p.restore();
        }
    }
    // The caret, drawn by the control, blinking.
    if (FCaretShown && FCaretBlinkOn && hasFocus()) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillRect(CaretRect().intersected(textArea), Qt::white);
    }
}

} // namespace quire
