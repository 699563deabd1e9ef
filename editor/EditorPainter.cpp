// TEditorPainter: drawing an editor's client area.
#include "EditorPainter.h"

#include "Cp932Codec.h"
#include "Editor.h"
#include "FountainParser.h"
#include "ShiftJis.h"

#include <QGlyphRun>
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

// The bytes of a display text that are drawn: up to column 1000, the character that starts
// at column 999 completed.
int drawnLength(const std::string& T) {
    const int n = static_cast<int>(T.size());
    if (n <= TEditor::ColumnLimit) return n;
    int i = 0;
    while (i < TEditor::ColumnLimit)
        i += sjis::IsLeadByte(static_cast<unsigned char>(T[static_cast<size_t>(i)])) ? 2 : 1;
    return std::min(i, n);
}

} // namespace

TEditorPainter::TEditorPainter(TEditor& Editor, const TEditorPaintState& State, QPainter& Painter)
    : E(Editor), P(Painter), St(State), M(State.Metrics), S(State.Selection) {}

void TEditorPainter::DrawCells(const std::string& T, int From, int To, int X0, int Y, const QColor& Fore, uint8_t Style,
                               const QRect& Clip) {
    QFont f = E.font();
    f.setBold(Style & fsBold);
    f.setItalic(Style & fsItalic);
    f.setUnderline(Style & fsUnderline);
    f.setStrikeOut(Style & fsStrikeOut);
    TCellGlyphs cells = CollectCells(T, From, To, X0, Y, Clip);
    P.setPen(Fore);
    const QRawFont raw = QRawFont::fromFont(f);
    if (!cells.Chars.isEmpty() && raw.isValid()) DrawGlyphs(raw, cells, Y);
    if (!cells.Outside.empty()) DrawOutsideChars(f, cells);
    // Bytes that are no character, and characters the font lacks, show as a box.
    for (const QRect& r : cells.Missing) P.drawRect(r);
    // The lines under and through the cells are drawn here: a glyph run would draw them at
    // its own origin, not under the glyphs it places cell by cell.
    if (Style & (fsUnderline | fsStrikeOut)) {
        const QFontMetrics fm(f);
        const int thickness = std::max(1, fm.lineWidth());
        const int x = X0 + From * M.CharWidth;
        const int w = (To - From) * M.CharWidth;
        if (Style & fsUnderline)
            P.fillRect(QRect(x, Y + std::max(1, fm.underlinePos()), w, thickness).intersected(Clip), Fore);
        if (Style & fsStrikeOut) P.fillRect(QRect(x, Y - fm.strikeOutPos(), w, thickness).intersected(Clip), Fore);
    }
}

TEditorPainter::TCellGlyphs TEditorPainter::CollectCells(const std::string& T, int From, int To, int X0, int Y,
                                                         const QRect& Clip) const {
    TCellGlyphs out;
    const int cw = M.CharWidth;
    const TOutsideCharTable* table = E.ScreenStrings().CharTable();
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
            // A code of the page's table stands for a character code page 932 lacks: it is
            // drawn from whatever font has it, centred in its two cells.
            const char32_t outside =
                table && len == 2 ? table->CharOf(c, static_cast<unsigned char>(T[static_cast<size_t>(i + 1)])) : 0;
            if (outside != 0) {
                out.Outside.push_back({QRect(x, Y - M.Ascent, 2 * cw, M.CharHeight), outside});
            } else if (u == 0 && c != 0) {
                out.Missing.emplace_back(x + 1, Y - M.Ascent + 2, len * cw - 3, M.Ascent - 3);
            } else if (u > 32) {
                out.Chars.append(QChar(u));
                out.Positions.emplace_back(x, Y);
            }
        }
        i += len;
    }
    return out;
}

void TEditorPainter::DrawGlyphs(const QRawFont& Raw, TCellGlyphs& Cells, int Y) {
    const int cw = M.CharWidth;
    QList<quint32> glyphs = Raw.glyphIndexesForString(Cells.Chars);
    QList<QPointF> pos;
    pos.reserve(static_cast<qsizetype>(Cells.Positions.size()));
    const QList<QPointF> advances = Raw.advancesForGlyphIndexes(glyphs);
    for (qsizetype k = 0; k < glyphs.size() && k < static_cast<qsizetype>(Cells.Positions.size()); ++k) {
        const QPointF cell = Cells.Positions[static_cast<size_t>(k)];
        // A glyph narrower or wider than its cells is centred in them.
        const char16_t u = Cells.Chars[k].unicode();
        const int cells = u >= 0x1100 && !(u >= 0xFF61 && u <= 0xFF9F) ? 2 : 1;
        if (glyphs[k] == 0) {
            Cells.Missing.emplace_back(static_cast<int>(cell.x()) + 1, Y - M.Ascent + 2, cells * cw - 3, M.Ascent - 3);
            continue;
        }
        pos.append(QPointF(cell.x() + (cells * cw - advances[k].x()) / 2.0, cell.y()));
        glyphs[static_cast<qsizetype>(pos.size()) - 1] = glyphs[k];
    }
    glyphs.resize(pos.size());
    QGlyphRun run;
    run.setRawFont(Raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(pos);
    P.drawGlyphRun(QPointF(0, 0), run);
}

void TEditorPainter::DrawOutsideChars(const QFont& Font, const TCellGlyphs& Cells) {
    P.setFont(Font);
    for (const TOutsideCell& cell : Cells.Outside) {
        const bool rawByte =
            cell.Ch >= TOutsideCharTable::RawByteBase && cell.Ch <= TOutsideCharTable::RawByteBase + 0xFF;
        const char32_t ch = rawByte ? U'\uFFFD' : cell.Ch;
        P.drawText(cell.Box, Qt::AlignCenter | Qt::TextSingleLine, QString::fromUcs4(&ch, 1));
    }
}

TTokenLook TEditorPainter::Look(TFountainColor* c, bool selected) const {
    if (selected) {
        TEditorColor& sel = E.View().Colors().Select();
        const QColor back =
            sel.BkColor() == clNone ? E.ToQColor(E.FontColor(), false) : E.ToQColor(sel.BkColor(), true);
        const QColor fore = sel.Color() == clNone ? E.ToQColor(E.Color(), true) : E.ToQColor(sel.Color(), false);
        return {back, fore, c ? c->Style() : uint8_t(0)};
    }
    if (!c) return {E.ToQColor(E.Color(), true), E.ToQColor(E.FontColor(), false), 0};
    return {E.ToQColor(c->BkColor(), true), E.ToQColor(c->Color(), false), c->Style()};
}

void TEditorPainter::PaintRow(int row, TFountainParser& parser, int fromCol, int toCol, bool selected, int shift) {
    TEditorScreenStrings& list = E.ScreenStrings();
    const int cw = M.CharWidth;
    const int y = M.TextTop + (row - E.TopRow()) * M.RowHeight;
    const int xOrigin = M.TextLeft + (shift - E.TopCol()) * cw;
    const int left = std::max(M.TextLeft, xOrigin + fromCol * cw);
    const int right = toCol < 0 ? E.viewport()->width() : std::max(left, xOrigin + toCol * cw);
    const int height = M.CharHeight + (E.Selected() ? E.Margin().Underline() : 0);
    const QRect R(left, y, right - left, height);
    if (R.width() <= 0) return;
    P.save();
    P.setClipRect(R);
    const TTokenLook plain = Look(nullptr, selected);
    P.fillRect(R, plain.Back);
    if (list.BracketIndex(row) == TRowState::NotParsedBracket) list.Reparse(row, false);
    const TColumnContext ctx = E.ScreenStrings().ColumnContext();
    const std::string own = DisplayText(list.Get(row), ctx);
    const int ownLength = static_cast<int>(own.size());
    const int baseline = y + M.Ascent;
    if ((ownLength + 5) * cw < E.TopCol() * cw) {
        P.restore();
        return;
    }
    // Nothing is drawn past column 1000, where the cut sign stands.
    const int drawn = drawnLength(own);
    const int limit = std::min(right, xOrigin + drawn * cw);
    if (!M.Transparent) DrawCells(own, 0, drawn, xOrigin, baseline, plain.Fore, 0, R);
    if (!own.empty()) {
        std::string text = own;
        if (list.RowAttribute(row) == TRowAttribute::Wrapped && row + 1 < list.Count())
            text += DisplayText(list.Get(row + 1), ctx);
        // A row the background parse has not reached yet is drawn from the state of a row
        // start outside every bracket; it is repainted when its state is known.
        TRowState state = list.RowState(row);
        if (!state.Parsed()) state = TRowState::Initial();
        parser.StartRow(text, state);
        while (parser.NextToken() != kindEnd && parser.TokenStart() < ownLength) {
            const int start = parser.TokenStart();
            const int end = std::min(start + parser.TokenLength(), drawn);
            const int x = xOrigin + start * cw;
            if (x >= limit) break;
            if (xOrigin + end * cw < M.TextLeft) continue;
            const TTokenLook look = Look(parser.TokenColor(), selected);
            if (!M.Transparent && look == plain) continue;
            const QRect cells(x, y, (end - start) * cw, height);
            if (look.Back != plain.Back || !M.Transparent) P.fillRect(cells.intersected(R), look.Back);
            DrawCells(own, start, end, xOrigin, baseline, look.Fore, look.Style, R);
        }
    }
    if (E.OnDrawLine) {
        P.save();
        P.setClipRect(R);
        E.OnDrawLine(&E, P, own, xOrigin, y, row, R, selected);
        P.restore();
    }
    PaintEndMarks(row, ownLength, drawn, xOrigin, y, R, selected);
    P.restore();
}

void TEditorPainter::PaintEndMarks(int row, int length, int drawn, int xOrigin, int y, const QRect& R, bool selected) {
    TEditorScreenStrings& list = E.ScreenStrings();
    const int cw = M.CharWidth;
    const int ch = M.CharHeight;
    const bool beyond = length > drawn;
    const int e = xOrigin + drawn * cw;
    if (e > R.right()) return;
    const TRowAttribute attr = list.RowAttribute(row);
    TEditorMarks& m = E.Marks();
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

void TEditorPainter::DrawEof(int x, int y) {
    const QRect box(x, y, 6 * M.CharWidth, M.CharHeight);
    P.fillRect(box, E.ToQColor(E.Color(), true));
    DrawCells("[EOF]", 0, 5, x, y + M.Ascent, E.ToQColor(E.Marks().EofMark().Color(), false), 0, box);
}

void TEditorPainter::PaintRowWithSelection(int row, TFountainParser& parser) {
    const TSelRect& s = S.Rect;
    if (!E.Selected() || row < s.Top || row > s.Bottom) {
        PaintRow(row, parser, 0, -1, false);
        return;
    }
    int a, b;
    if (S.Mode == TSelectionMode::Box) {
        const TColumnMap attrs(E.ScreenStrings().Get(row), E.ScreenStrings().ColumnContext());
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

void TEditorPainter::PaintLeftbar(int first, int last) {
    const TEditorLeftbar& lb = E.Leftbar();
    const int w = M.LeftbarWidth;
    const QColor back = E.ToQColor(lb.BkColor(), true);
    P.fillRect(QRect(0, M.TextTop, w - 2, E.viewport()->height() - M.TextTop), back);
    // The edge at the bar's right side.
    const QColor edge1 = lb.Edge() ? QColor(Qt::white) : back;
    const QColor edge2 = lb.Edge() ? QColor(0x80, 0x80, 0x80) : E.ToQColor(lb.Color(), false);
    P.fillRect(QRect(w - 2, M.TextTop, 1, E.viewport()->height()), edge1);
    P.fillRect(QRect(w - 1, M.TextTop, 1, E.viewport()->height()), edge2);
    if (!lb.ShowNumber()) return;
    TEditorScreenStrings& list = E.ScreenStrings();
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
        const int places = M.LeftbarDigits;
        if (static_cast<int>(digits.size()) < places)
            digits.insert(0, static_cast<size_t>(places - static_cast<int>(digits.size())), lb.ZeroLead() ? '0' : ' ');
        const int y = M.TextTop + (r - E.TopRow()) * M.RowHeight;
        DrawCells(digits, 0, static_cast<int>(digits.size()), lb.LeftMargin(), y + M.Ascent, ink, 0,
                  QRect(0, y, w - 2, M.RowHeight));
    }
}

void TEditorPainter::PaintRuler() {
    const TEditorRuler& ru = E.Ruler();
    const int cw = M.CharWidth;
    const int h = M.RulerHeight;
    const int width = E.viewport()->width();
    const QRect area(M.TextLeft, 0, width - M.TextLeft, h);
    P.save();
    P.setClipRect(area);
    P.fillRect(area, E.ToQColor(ru.BkColor(), true));
    const int g = ru.GaugeRange();
    const QColor ink = E.ToQColor(ru.Color(), false);
    P.setPen(ink);
    const int lastCol = std::min(TEditor::ColumnLimit, E.TopCol() + width / cw + 1);
    for (int c = E.TopCol() - (E.TopCol() % g); c <= lastCol; ++c) {
        const int x = M.TextLeft + (c - E.TopCol()) * cw;
        const int b = c % g;
        const int y0 = b == 0 ? 0 : b == g / 2 ? 3 : 6;
        P.drawLine(x, y0, x, h - 1);
        if (b == 0) drawDigits(P, c, x + 1, 0, ink);
        if (c >= TEditor::ColumnLimit) break;
    }
    if (ru.Edge()) {
        P.fillRect(QRect(M.TextLeft, h - 2, width, 1), Qt::white);
        P.fillRect(QRect(M.TextLeft, h - 1, width, 1), QColor(0x80, 0x80, 0x80));
    } else {
        P.drawLine(M.TextLeft, h - 1, width, h - 1);
    }
    // The caret's column.
    if (E.Col() >= E.TopCol() && E.Col() <= E.TopCol() + M.VisibleCols) {
        const int x = M.TextLeft + cw * (E.Col() - E.TopCol()) + 1;
        P.fillRect(QRect(x, 0, cw - 1, h - (ru.Edge() ? 2 : 1)), E.ToQColor(ru.MarkColor(), false));
    }
    P.restore();
}

void TEditorPainter::PaintCorner() {
    P.fillRect(QRect(0, 0, M.TextLeft, M.TextTop), E.ToQColor(E.Color(), true));
    if (E.Leftbar().Visible())
        P.fillRect(QRect(0, 0, M.LeftbarWidth - 2, M.TextTop), E.ToQColor(E.Leftbar().BkColor(), true));
    if (E.Ruler().Visible()) {
        const int x = E.Leftbar().Visible() ? M.LeftbarWidth : 0;
        P.fillRect(QRect(x, 0, M.TextLeft - x, M.RulerHeight), E.ToQColor(E.Ruler().BkColor(), true));
    }
}

QRect TEditorPainter::TextArea() const {
    const QWidget* v = E.viewport();
    return QRect(M.TextLeft, M.TextTop, v->width() - M.TextLeft, v->height() - M.TextTop);
}

void TEditorPainter::PaintText(int First, int Last, const QRect& Clip) {
    // The gaps between rows and the margins show the background.
    const QRect area = TextArea();
    const QColor back = E.ToQColor(E.Color(), true);
    P.fillRect(area.intersected(Clip), back);
    const int leftMargin = E.Margin().Left();
    if (leftMargin > 0) P.fillRect(QRect(M.TextLeft - leftMargin, M.TextTop, leftMargin, E.viewport()->height()), back);
    TEditorScreenStrings& list = E.ScreenStrings();
    auto parser = E.ActiveFountain().CreateParser();
    const int count = list.Count();
    const bool composing = !St.Preedit.isEmpty();
    for (int r = First; r <= Last; ++r) {
        if (composing && r == E.Row()) {
            PaintComposingRow(r, *parser);
        } else if (r < count) {
            PaintRowWithSelection(r, *parser);
        } else if (E.Marks().EofMark().Visible() && r == count &&
                   (count == 0 || list.RowAttribute(count - 1) != TRowAttribute::EndOfFile)) {
            DrawEof(M.ColX(0, E.TopCol()), M.RowY(r, E.TopRow()));
        }
    }
    if (St.UnderlineY >= 0) {
        P.setPen(E.ToQColor(E.Marks().Underline().Color(), false));
        P.drawLine(M.TextLeft, St.UnderlineY, E.viewport()->width(), St.UnderlineY);
    }
}

void TEditorPainter::PaintComposingRow(int row, TFountainParser& parser) {
    // The row as it will read once the composition is committed: the text before the caret,
    // the composition, and the rest of the row shifted right by its width.
    const int caretCol = E.Col();
    const int width = St.PreeditColumns;
    if (row < E.ScreenStrings().Count()) {
        PaintRow(row, parser, 0, caretCol, false);
        PaintRow(row, parser, caretCol, -1, false, width);
    }
    PaintPreedit();
}

void TEditorPainter::PaintPreedit() {
    const QString& preedit = St.Preedit;
    const std::string bytes = cp932::FromUnicode(preedit);
    const int n = static_cast<int>(bytes.size());
    const QPoint at = M.CellPoint(E.Row(), E.Col(), E.TopRow(), E.TopCol());
    const QRect box(at.x(), at.y(), n * M.CharWidth, M.CharHeight);
    const QRect clip = box.intersected(TextArea());
    if (clip.isEmpty()) return;
    const QColor back = E.ToQColor(E.Color(), true);
    const QColor fore = E.ToQColor(E.FontColor(), false);
    const int baseline = at.y() + M.Ascent;
    P.save();
    P.setClipRect(clip);
    P.fillRect(box, back);
    DrawCells(bytes, 0, n, at.x(), baseline, fore, 0, box);
    // The segment the input method highlights (the one being converted) is inverted.
    for (const QInputMethodEvent::Attribute& a : St.PreeditFormats) {
        if (a.type != QInputMethodEvent::TextFormat || a.length <= 0) continue;
        const QTextCharFormat f = qvariant_cast<QTextFormat>(a.value).toCharFormat();
        if (f.background().style() == Qt::NoBrush && !f.hasProperty(QTextFormat::ForegroundBrush)) continue;
        const int from = static_cast<int>(cp932::FromUnicode(preedit.left(a.start)).size());
        const int to = from + static_cast<int>(cp932::FromUnicode(preedit.mid(a.start, a.length)).size());
        const QRect segment(at.x() + from * M.CharWidth, at.y(), (to - from) * M.CharWidth, M.CharHeight);
        P.fillRect(segment, fore);
        DrawCells(bytes, from, to, at.x(), baseline, back, 0, segment);
    }
    // The whole composition is underlined, along the bottom of its cells.
    P.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), fore);
    P.restore();
}

void TEditorPainter::PaintCaret() {
    P.save();
    P.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    P.fillRect(St.ShownCaretRect.intersected(TextArea()), Qt::white);
    P.restore();
}

} // namespace quire
