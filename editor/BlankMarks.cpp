// Drawing the marks over blanks.
#include "BlankMarks.h"

#include "Editor.h"
#include "ShiftJis.h"

#include <QPainter>

namespace quire {

namespace {

void drawTabArrow(QPainter& p, int x, int mid, int cw) {
    p.drawLine(x, mid, x + cw, mid);
    p.drawLine(x + cw, mid, x + cw - 2, mid - 2);
    p.drawLine(x + cw, mid, x + cw - 3, mid + 3);
}

} // namespace

void DrawBlankMarks(TEditor& Editor, QPainter& Painter, const TBlankMarks& Marks, int Row, int X, int Y,
                    const QRect& Rect, bool Selected) {
    if (!Marks.Any()) return;
    const std::string_view row = Editor.ScreenStrings().Get(Row);
    const TColumnContext ctx = Editor.ScreenStrings().ColumnContext();
    const int cw = Editor.CharWidth(), ch = Editor.CharHeight(), mid = Y + ch / 2;
    auto pen = [&](TColor c) {
        Painter.setPen(Editor.ToQColor(Selected ? Editor.View().Colors().Select().Color() : c, false));
    };
    int col = 0;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const auto c = static_cast<unsigned char>(row[i]);
        const int cx = X + col * cw;
        if (c == '\t') {
            if (Marks.Tab && cx + cw >= Rect.left() && cx <= Rect.right()) {
                pen(Marks.TabColor);
                drawTabArrow(Painter, cx, mid, cw);
            }
            col += ctx.TabWidthAt(col);
        } else if (sjis::IsLeadByte(c) && i + 1 < row.size()) {
            if (Marks.Space && c == 0x81 && static_cast<unsigned char>(row[i + 1]) == 0x40 &&
                cx + 2 * cw >= Rect.left()) {
                pen(Marks.SpaceColor);
                Painter.drawRect(cx + 1, Y + 2, 2 * cw - 3, ch - 5);
            }
            col += 2;
            ++i;
        } else {
            if (Marks.HSpace && c == ' ' && cx >= Rect.left()) {
                pen(Marks.HSpaceColor);
                Painter.drawLine(cx, mid, cx + 2, mid);
            }
            col += 1;
        }
        if (cx > Rect.right()) break;
    }
}

} // namespace quire
