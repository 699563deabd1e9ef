// TPageFrame: where the text, line numbers, header and footer go on a printed page.
#pragma once

#include <QRect>
#include <QSize>

namespace quire {

// Millimetres to printer pixels at Dpi (the horizontal resolution serves for vertical
// lengths too).
int MmToPixels(int Dpi, int Mm) noexcept;

// The unprintable border of the sheet, in printer pixels, assuming that the printable page
// is centred on the paper. A paper of 0 x 0 (unknown) gives no border.
struct TUnprintable {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
TUnprintable UnprintableOffsets(QSize PaperPixels, QSize PagePixels) noexcept;

// What the frame is computed from: the printable page and its border (printer pixels), the
// resolution, the options (millimetres) and the measured font.
struct TFrameInput {
    QSize Page;
    TUnprintable Offsets;
    int Dpi = 0;
    int MarginLeft = 0, MarginTop = 0, MarginRight = 0, MarginBottom = 0;
    int ColumnCount = 1;
    int ColumnSpace = 0;
    bool LineNumber = false;
    bool HasHeader = false, HasFooter = false;
    int LineHeight = 0, CharWidth = 0;
    int LineCount = 0;
};

// The page frame in printer pixels, relative to the printable page. Column K (1-based) is
// the first column moved right by (K - 1) * ColumnStep, its line-number column with it. The
// bands and columns lie inside Area; Header has zero height when there is no header, and
// Footer likewise, so that the columns run from Header's bottom to Footer's top.
struct TPageFrame {
    QRect Area;
    QRect Header, Footer;
    int NumberWidth = 0; // width of a line-number column, 0 without line numbers
    int ColumnWidth = 0; // width of one text column, at least 1
    int ColumnStep = 0;
    int LineHeight = 0;

    int BodyTop() const noexcept { return Header.bottom() + 1; }
    int BodyBottom() const noexcept { return Footer.top(); }
    QRect NumberColumn(int K) const noexcept;
    QRect TextColumn(int K) const noexcept;
};

TPageFrame ComputePageFrame(const TFrameInput& In) noexcept;

} // namespace quire
