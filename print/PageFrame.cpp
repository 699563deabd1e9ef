// The page frame: unprintable border, text area, header and footer bands, columns.
#include "PageFrame.h"

#include <algorithm>
#include <cmath>

namespace quire {

int MmToPixels(int Dpi, int Mm) noexcept { return static_cast<int>(std::lround(Dpi * Mm / 25.4)); }

TUnprintable UnprintableOffsets(QSize PaperPixels, QSize PagePixels) noexcept {
    TUnprintable u;
    u.Left = std::max(0, (PaperPixels.width() - PagePixels.width()) / 2);
    u.Top = std::max(0, (PaperPixels.height() - PagePixels.height()) / 2);
    u.Right = std::max(0, PaperPixels.width() - PagePixels.width() - u.Left);
    u.Bottom = std::max(0, PaperPixels.height() - PagePixels.height() - u.Top);
    return u;
}

namespace {

int decimalDigits(int n) noexcept {
    int digits = 1;
    for (; n >= 10; n /= 10) ++digits;
    return digits;
}

// The rectangle from (Left, Top) up to but excluding (Right, Bottom); never negative in size.
QRect span(int Left, int Top, int Right, int Bottom) noexcept {
    return QRect(Left, Top, std::max(0, Right - Left), std::max(0, Bottom - Top));
}

} // namespace

QRect TPageFrame::NumberColumn(int K) const noexcept {
    return QRect(Area.left() + (K - 1) * ColumnStep, BodyTop(), NumberWidth, std::max(0, BodyBottom() - BodyTop()));
}

QRect TPageFrame::TextColumn(int K) const noexcept {
    return QRect(Area.left() + NumberWidth + (K - 1) * ColumnStep, BodyTop(), ColumnWidth,
                 std::max(0, BodyBottom() - BodyTop()));
}

TPageFrame ComputePageFrame(const TFrameInput& In) noexcept {
    TPageFrame f;
    const int w = In.Page.width(), h = In.Page.height();
    // Margins count from the paper's edge; a margin inside the unprintable border leaves the
    // text at the printable edge.
    const int left = std::max(0, MmToPixels(In.Dpi, In.MarginLeft) - In.Offsets.Left);
    const int top = std::max(0, MmToPixels(In.Dpi, In.MarginTop) - In.Offsets.Top);
    const int right = std::min(w, w + In.Offsets.Right - MmToPixels(In.Dpi, In.MarginRight));
    const int bottom = std::min(h, h + In.Offsets.Bottom - MmToPixels(In.Dpi, In.MarginBottom));
    f.Area = span(left, top, right, bottom);
    f.LineHeight = In.LineHeight;
    const int band = In.LineHeight * 3 / 2;
    f.Header = QRect(left, top, f.Area.width(), In.HasHeader ? band : 0);
    f.Footer = In.HasFooter ? QRect(left, bottom - band, f.Area.width(), band) : QRect(left, bottom, f.Area.width(), 0);
    f.NumberWidth = In.LineNumber ? (decimalDigits(In.LineCount) + 2) * In.CharWidth : 0;
    const int count = std::clamp(In.ColumnCount, 1, 3);
    const int space = MmToPixels(In.Dpi, In.ColumnSpace);
    const int textLeft = left + f.NumberWidth;
    // Margins and column gaps that leave no room still give columns one pixel wide, so that
    // every line gets a place (it is drawn beyond its column) and the layout ends.
    f.ColumnWidth = std::max(1, (right - textLeft - (space + f.NumberWidth) * (count - 1)) / count);
    f.ColumnStep = space + f.NumberWidth + f.ColumnWidth;
    return f;
}

} // namespace quire
