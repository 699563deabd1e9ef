// The page frame and the pagination, with a target that records what the layout places.
#include "PageLayout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace quire;

namespace {

// Records the pages, line numbers and lines placed; every line is Heights[i] high.
struct RecordingTarget : TLayoutTarget {
    struct Placed {
        int Page;
        int Line;
        QRect Rect;
    };
    std::vector<int> Heights;
    int CancelAt = -1;
    std::vector<int> Begun, Ended;
    std::vector<Placed> Lines, Numbers;
    std::vector<int> Positions;

    int MeasureLine(int Index, int) override { return Heights[static_cast<size_t>(Index)]; }
    void BeginPage(int Number) override { Begun.push_back(Number); }
    void EndPage(int Number) override { Ended.push_back(Number); }
    void DrawLineNumber(int Index, const QRect& Rect) override { Numbers.push_back({Begun.back(), Index, Rect}); }
    void DrawLine(int Index, const QRect& Rect) override { Lines.push_back({Begun.back(), Index, Rect}); }
    bool Progress(int Position) override {
        Positions.push_back(Position);
        return static_cast<int>(Positions.size()) - 1 != CancelAt;
    }
};

// A page of 1000 x 1000 printer pixels at 254 dpi (10 pixels a millimetre), lines 20 high.
TFrameInput page() {
    TFrameInput in;
    in.Page = QSize(1000, 1000);
    in.Dpi = 254;
    in.LineHeight = 20;
    in.CharWidth = 10;
    return in;
}

} // namespace

TEST(PageFrame, MillimetresAndUnprintableOffsets) {
    EXPECT_EQ(MmToPixels(254, 25), 250);
    EXPECT_EQ(MmToPixels(600, 10), 236); // 236.2
    EXPECT_EQ(MmToPixels(96, 4), 15);    // 15.1
    // 2100 x 2970 paper, 2000 x 2900 printable: the border is split, the odd pixel goes right/bottom.
    const TUnprintable u = UnprintableOffsets(QSize(2100, 2970), QSize(2001, 2900));
    EXPECT_EQ(u.Left, 49);
    EXPECT_EQ(u.Right, 50);
    EXPECT_EQ(u.Top, 35);
    EXPECT_EQ(u.Bottom, 35);
    // An unknown paper (0 x 0) and a page larger than the paper give no border.
    const TUnprintable none = UnprintableOffsets(QSize(0, 0), QSize(2000, 2900));
    EXPECT_EQ(none.Left + none.Top + none.Right + none.Bottom, 0);
}

TEST(PageFrame, MarginsInsideTheUnprintableBorderLeaveTheTextAtThePrintableEdge) {
    TFrameInput in = page();
    in.Offsets = {50, 60, 70, 80}; // 5, 6, 7 and 8 mm
    in.MarginLeft = 3;
    in.MarginTop = 6;
    in.MarginRight = 2;
    in.MarginBottom = 20;
    const TPageFrame f = ComputePageFrame(in);
    EXPECT_EQ(f.Area.left(), 0);
    EXPECT_EQ(f.Area.top(), 0);
    EXPECT_EQ(f.Area.left() + f.Area.width(), 1000);
    EXPECT_EQ(f.Area.top() + f.Area.height(), 1000 + 80 - 200);
    in.MarginLeft = 15; // beyond the border: measured from the paper's edge
    EXPECT_EQ(ComputePageFrame(in).Area.left(), 100);
}

TEST(PageFrame, BandsColumnsAndLineNumbers) {
    TFrameInput in = page();
    in.HasHeader = true;
    in.HasFooter = true;
    in.ColumnCount = 3;
    in.ColumnSpace = 4; // 40 pixels
    in.LineNumber = true;
    in.LineCount = 12345; // 5 digits: numbers are (5 + 2) * 10 wide
    const TPageFrame f = ComputePageFrame(in);
    EXPECT_EQ(f.Header, QRect(0, 0, 1000, 30));
    EXPECT_EQ(f.Footer, QRect(0, 970, 1000, 30));
    EXPECT_EQ(f.BodyTop(), 30);
    EXPECT_EQ(f.BodyBottom(), 970);
    EXPECT_EQ(f.NumberWidth, 70);
    EXPECT_EQ(f.ColumnWidth, (1000 - 70 - (40 + 70) * 2) / 3);
    EXPECT_EQ(f.ColumnStep, 40 + 70 + f.ColumnWidth);
    EXPECT_EQ(f.NumberColumn(1), QRect(0, 30, 70, 940));
    EXPECT_EQ(f.TextColumn(1).left(), 70);
    EXPECT_EQ(f.NumberColumn(3).left(), 2 * f.ColumnStep);
    EXPECT_EQ(f.TextColumn(3).left(), 2 * f.ColumnStep + 70);
    EXPECT_LE(f.TextColumn(3).left() + f.ColumnWidth, 1000);

    // No header and no footer: zero-height bands at the area's edges.
    in.HasHeader = in.HasFooter = false;
    const TPageFrame bare = ComputePageFrame(in);
    EXPECT_EQ(bare.BodyTop(), 0);
    EXPECT_EQ(bare.BodyBottom(), 1000);
    // Margins that leave no room still give columns a width.
    in.MarginLeft = in.MarginRight = 60;
    EXPECT_EQ(ComputePageFrame(in).ColumnWidth, 1);
}

TEST(PageLayout, AnEmptyDocumentGivesOnePageWithHeaderAndFooter) {
    TFrameInput in = page();
    in.HasHeader = in.HasFooter = true;
    RecordingTarget t;
    ASSERT_TRUE(LayOutPages(0, ComputePageFrame(in), 1, true, 1, t));
    EXPECT_EQ(t.Begun, std::vector<int>{1});
    EXPECT_EQ(t.Ended, std::vector<int>{1});
    EXPECT_TRUE(t.Lines.empty());
    EXPECT_TRUE(t.Numbers.empty());
}

TEST(PageLayout, LineNumbersContinueAcrossThreeColumnsAndPages) {
    TFrameInput in = page();
    in.HasHeader = in.HasFooter = true; // body 30..970: 47 lines of 20 a column
    in.ColumnCount = 3;
    in.LineNumber = true;
    in.LineCount = 300;
    const TPageFrame f = ComputePageFrame(in);
    RecordingTarget t;
    t.Heights.assign(300, 20);
    ASSERT_TRUE(LayOutPages(300, f, 3, true, 1, t));
    ASSERT_EQ(t.Lines.size(), 300u);
    ASSERT_EQ(t.Numbers.size(), 300u);
    EXPECT_EQ(t.Begun, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(t.Ended, t.Begun);
    // Column by column: 47 lines each, 141 a page; the 142nd line opens page 2 in column 1.
    const int perColumn = (970 - 30) / 20;
    for (int i = 0; i < 300; ++i) {
        const auto& line = t.Lines[static_cast<size_t>(i)];
        const auto& number = t.Numbers[static_cast<size_t>(i)];
        const int column = (i % (3 * perColumn)) / perColumn + 1;
        EXPECT_EQ(number.Line, i);
        EXPECT_EQ(line.Page, i / (3 * perColumn) + 1) << "line " << i;
        EXPECT_EQ(line.Rect.left(), f.TextColumn(column).left()) << "line " << i;
        EXPECT_EQ(number.Rect.left(), f.NumberColumn(column).left()) << "line " << i;
        EXPECT_EQ(line.Rect.top(), 30 + (i % perColumn) * 20) << "line " << i;
        EXPECT_EQ(number.Rect.top(), line.Rect.top());
        EXPECT_LE(line.Rect.top() + line.Rect.height(), 970) << "line " << i;
    }
}

TEST(PageLayout, LinesAreNeverSplitAndAnOverlongLineTakesAColumnOfItsOwn) {
    TFrameInput in = page(); // body 0..1000
    RecordingTarget t;
    t.Heights = {20, 990, 1500, 20, 0};
    ASSERT_TRUE(LayOutPages(5, ComputePageFrame(in), 1, false, 7, t));
    ASSERT_EQ(t.Lines.size(), 5u);
    EXPECT_EQ(t.Lines[0].Page, 7);
    EXPECT_EQ(t.Lines[1].Page, 8); // 20 + 990 > 1000
    EXPECT_EQ(t.Lines[1].Rect.top(), 0);
    EXPECT_EQ(t.Lines[2].Page, 9); // taller than the page: drawn whole at the top
    EXPECT_EQ(t.Lines[2].Rect.height(), 1500);
    EXPECT_EQ(t.Lines[3].Page, 10);
    // A line measured as nothing still advances by one line height.
    EXPECT_EQ(t.Lines[4].Rect.top(), t.Lines[3].Rect.top() + 20);
    EXPECT_EQ(t.Begun, (std::vector<int>{7, 8, 9, 10}));

    // An overlong first line stays on the first page rather than leaving it empty.
    RecordingTarget first;
    first.Heights = {1500, 20};
    ASSERT_TRUE(LayOutPages(2, ComputePageFrame(in), 1, false, 1, first));
    EXPECT_EQ(first.Lines[0].Page, 1);
    EXPECT_EQ(first.Lines[1].Page, 2);
}

TEST(PageLayout, ProgressRunsFrom0To100AndCancelStopsBeforeTheLine) {
    RecordingTarget t;
    t.Heights.assign(5, 20);
    ASSERT_TRUE(LayOutPages(5, ComputePageFrame(page()), 1, false, 1, t));
    EXPECT_EQ(t.Positions, (std::vector<int>{0, 25, 50, 75, 100}));
    RecordingTarget one;
    one.Heights = {20};
    LayOutPages(1, ComputePageFrame(page()), 1, false, 1, one);
    EXPECT_EQ(one.Positions, std::vector<int>{100});

    RecordingTarget cancelled;
    cancelled.Heights.assign(5, 20);
    cancelled.CancelAt = 2;
    EXPECT_FALSE(LayOutPages(5, ComputePageFrame(page()), 1, false, 1, cancelled));
    EXPECT_EQ(cancelled.Lines.size(), 2u);
}

TEST(PageSelection, OddEvenAndALimitedRange) {
    TPageSelection s;
    EXPECT_EQ(s.PagesToPrint(4), (std::vector<int>{0, 1, 2, 3}));
    s.PageOption = TStringsPrinterPageOption::poOdd;
    EXPECT_EQ(s.PagesToPrint(6), (std::vector<int>{0, 2, 4})); // numbered 1, 3, 5
    s.PageOption = TStringsPrinterPageOption::poEven;
    EXPECT_EQ(s.PagesToPrint(6), (std::vector<int>{1, 3, 5}));
    s.FirstPageNumber = 2; // numbers 2, 3, 4...: even numbers are now the 1st, 3rd...
    EXPECT_EQ(s.PagesToPrint(4), (std::vector<int>{0, 2}));

    // StartPage 2, LastPage 3: only the 2nd and 3rd pages, numbered from FirstPageNumber.
    TPageSelection limited;
    limited.RangeOption = TStringsPrinterRangeOption::roLimited;
    limited.StartPage = 2;
    limited.LastPage = 3;
    limited.FirstPageNumber = 1;
    EXPECT_EQ(limited.FirstLayoutNumber(), 0);
    EXPECT_EQ(limited.PagesToPrint(5), (std::vector<int>{1, 2}));
    limited.PageOption = TStringsPrinterPageOption::poOdd; // page 2 is numbered 1, page 3 is 2
    EXPECT_EQ(limited.PagesToPrint(5), std::vector<int>{1});
    // A range beyond the document leaves nothing.
    limited.StartPage = 8;
    limited.LastPage = 9;
    EXPECT_TRUE(limited.PagesToPrint(5).empty());
}
