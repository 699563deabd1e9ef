// The pagination of printed lines into columns and pages, and the choice of pages to print.
#pragma once

#include "PageFrame.h"

#include <vector>

namespace quire {

// What the layout asks of the pages it fills and tells them. The printer records pictures
// through it; tests watch the placements.
class TLayoutTarget {
public:
    virtual ~TLayoutTarget() = default;
    // The height of line Index drawn word-wrapped into a column Width pixels wide (for an
    // empty line, the line height).
    virtual int MeasureLine(int Index, int Width) = 0;
    // A page starts (its header is drawn) or ends (its footer is drawn). Number is the page
    // number that "%p" gives on it.
    virtual void BeginPage(int Number) = 0;
    virtual void EndPage(int Number) = 0;
    virtual void DrawLineNumber(int Index, const QRect& Rect) = 0;
    // Line Index drawn in Rect (its height is the measured height).
    virtual void DrawLine(int Index, const QRect& Rect) = 0;
    // Progress 0 to 100 before each line; false when the user cancelled.
    virtual bool Progress(int Position) = 0;
};

// Lays LineCount lines out on pages of Frame in ColumnCount columns, numbering the pages
// from FirstNumber. Returns false when cancelled (the last page is then left unfinished).
// A line that does not fit below the lines already in a column goes to the top of the next
// column or page; a line is never split, and one taller than a column is drawn whole at the
// top of a column (an empty column keeps it rather than being skipped).
bool LayOutPages(int LineCount, const TPageFrame& Frame, int ColumnCount, bool LineNumber, int FirstNumber,
                 TLayoutTarget& Target);

enum class TStringsPrinterHeaderAlign { haNone, haLeft, haCenter, haRight };
enum class TStringsPrinterPageOption { poBoth, poOdd, poEven };
enum class TStringsPrinterRangeOption { roWhole, roLimited };

// Which pages are printed.
struct TPageSelection {
    int FirstPageNumber = 1;
    TStringsPrinterPageOption PageOption = TStringsPrinterPageOption::poBoth;
    TStringsPrinterRangeOption RangeOption = TStringsPrinterRangeOption::roWhole;
    int StartPage = 1;
    int LastPage = 9999;

    // The number printed on the first laid-out page: with a limited range, page StartPage
    // carries FirstPageNumber.
    int FirstLayoutNumber() const noexcept;
    // The 0-based indexes of the laid-out pages to print, in order.
    std::vector<int> PagesToPrint(int PageCount) const;
};

} // namespace quire
