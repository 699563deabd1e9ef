// The pagination of printed lines and the choice of pages to print.
#include "PageLayout.h"

#include <algorithm>
#include <cmath>

namespace quire {

namespace {

int progressPosition(int Index, int LineCount) {
    if (LineCount <= 1) return 100;
    return static_cast<int>(std::lround(Index * 100.0 / (LineCount - 1)));
}

} // namespace

bool LayOutPages(int LineCount, const TPageFrame& Frame, int ColumnCount, bool LineNumber, int FirstNumber,
                 TLayoutTarget& Target) {
    ColumnCount = std::clamp(ColumnCount, 1, 3);
    int page = FirstNumber;
    int column = 1;
    int top = Frame.BodyTop();
    Target.BeginPage(page);
    for (int i = 0; i < LineCount; ++i) {
        if (!Target.Progress(progressPosition(i, LineCount))) return false;
        const int h = Target.MeasureLine(i, Frame.ColumnWidth);
        if (top + h > Frame.BodyBottom() && top > Frame.BodyTop()) {
            if (column < ColumnCount) {
                ++column;
            } else {
                Target.EndPage(page);
                Target.BeginPage(++page);
                column = 1;
            }
            top = Frame.BodyTop();
        }
        const QRect text = Frame.TextColumn(column);
        if (LineNumber) {
            const QRect numbers = Frame.NumberColumn(column);
            Target.DrawLineNumber(i, QRect(numbers.left(), top, numbers.width(), Frame.LineHeight));
        }
        Target.DrawLine(i, QRect(text.left(), top, text.width(), h));
        top += std::max(h, Frame.LineHeight);
    }
    Target.EndPage(page);
    return true;
}

int TPageSelection::FirstLayoutNumber() const noexcept {
    return RangeOption == TStringsPrinterRangeOption::roLimited ? FirstPageNumber - StartPage + 1 : FirstPageNumber;
}

std::vector<int> TPageSelection::PagesToPrint(int PageCount) const {
    std::vector<int> pages;
    const bool limited = RangeOption == TStringsPrinterRangeOption::roLimited;
    for (int i = 0; i < PageCount; ++i) {
        if (limited && (i + 1 < StartPage || i + 1 > LastPage)) continue;
        const int number = i + FirstLayoutNumber();
        if (PageOption == TStringsPrinterPageOption::poOdd && number % 2 == 0) continue;
        if (PageOption == TStringsPrinterPageOption::poEven && number % 2 != 0) continue;
        pages.push_back(i);
    }
    return pages;
}

} // namespace quire
