// The editor control on the offscreen platform: options, caret moves, selection, painting.
#include "Editor.h"
#include "EditorFixture.h"
#include "EditorProp.h"
#include "WidgetGrab.h"

#include "Fonts.h"

#include <QApplication>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace quire;

namespace {

class EditorTest : public EditorFixture {
protected:
    QImage grab() {
        QApplication::processEvents();
        return e->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // True when some pixel in R has colour C.
    static bool hasColor(const QImage& img, const QRect& r, QColor c) {
        const QRect x = r.intersected(img.rect());
        for (int yy = x.top(); yy <= x.bottom(); ++yy)
            for (int xx = x.left(); xx <= x.right(); ++xx)
                if (QColor(img.pixel(xx, yy)) == c) return true;
        return false;
    }
};

} // namespace

TEST_F(EditorTest, OptionLimits) {
    e->Caret().SetTabSpaceCount(5);
    EXPECT_EQ(e->Caret().TabSpaceCount(), 4);
    e->Caret().SetTabSpaceCount(1);
    EXPECT_EQ(e->Caret().TabSpaceCount(), 2);
    e->Caret().SetTabSpaceCount(12);
    EXPECT_EQ(e->Caret().TabSpaceCount(), 8);
    e->Ruler().SetGaugeRange(9);
    EXPECT_EQ(e->Ruler().GaugeRange(), 8);
    e->Ruler().SetGaugeRange(20);
    EXPECT_EQ(e->Ruler().GaugeRange(), 10);
    e->Leftbar().SetColumn(0);
    EXPECT_EQ(e->Leftbar().Column(), 1);
    e->Margin().SetLeft(300);
    EXPECT_EQ(e->Margin().Left(), 100);
    e->SetUndoListMax(10);
    EXPECT_EQ(e->UndoListMax(), 64);
    e->View().SetQuotation(">>");
    EXPECT_EQ(e->View().Quotation(), ">");
    e->View().SetQuotation("\x81\x84\x81\x84"); // a double-byte character is kept whole
    EXPECT_EQ(e->View().Quotation(), "\x81\x84");
}

TEST_F(EditorTest, PlainOptionsDoNotNotifyAndUnderlineAddsAPixel) {
    int calls = 0;
    e->Caret().OnChange = [&](TObject*) { ++calls; };
    e->Caret().AutoIndent = false;
    EXPECT_EQ(calls, 0);
    e->Caret().SetStyle(TEditorCaretStyle::csBrief);
    EXPECT_EQ(calls, 1);
    const int before = e->RowHeight();
    e->Marks().Underline().SetVisible(true);
    EXPECT_EQ(e->RowHeight(), before + 1);
    EXPECT_EQ(e->Margin().Underline(), 1);
}

TEST_F(EditorTest, ColumnMovesOverTabsAndDoubleBytes) {
    text("ab\tc\r\n\x82\xA0x\x82\xA2y\r\nplain row\r\n");
    e->SetRowCol(0, 2);
    e->SetCol(3); // into the tab going right: past it
    EXPECT_EQ(e->Col(), 8);
    e->SetCol(7); // into the tab going left: onto it
    EXPECT_EQ(e->Col(), 2);
    // Row 1: あ at 0-1, x at 2, い at 3-4, y at 5.
    e->SetRowCol(1, 3);
    e->SetCol(4);
    EXPECT_EQ(e->Col(), 5);
    e->SetCol(4);
    EXPECT_EQ(e->Col(), 3);
    // A vertical move onto the second half goes to the first; the next returns to the column.
    e->SetRowCol(2, 4);
    e->SetRow(1);
    EXPECT_EQ(e->Col(), 3);
    e->SetRow(2);
    EXPECT_EQ(e->Col(), 4);
}

TEST_F(EditorTest, FreeCaretAndKeepCaret) {
    text(std::string(40, 'a') + "\r\nshort\r\n" + std::string(40, 'b') + "\r\n");
    e->SetRowCol(1, 30); // free caret: past the end of a row is allowed
    EXPECT_EQ(e->Col(), 30);
    e->Caret().FreeCaret = false;
    e->Caret().KeepCaret = true;
    e->SetRowCol(0, 30);
    e->SetRow(1);
    EXPECT_EQ(e->Col(), 5);
    e->SetRow(2);
    EXPECT_EQ(e->Col(), 30);
    e->SetRow(1);
    e->SetCol(4); // a horizontal move forgets the kept column
    e->SetRow(2);
    EXPECT_EQ(e->Col(), 4);
}

TEST_F(EditorTest, TheEndOfTheText) {
    text("abc\r\n");
    e->SetRowCol(e->ScreenStrings().Count(), 0);
    EXPECT_EQ(e->Row(), 1);
    EXPECT_EQ(e->Col(), 0);
    text("abc");
    e->SetRow(e->ScreenStrings().Count());
    e->SetCol(3); // the row's end
    EXPECT_EQ(e->Row(), 0);
    EXPECT_EQ(e->Col(), 3);
}

TEST_F(EditorTest, TheCaretNeverStandsAtTheEndOfAWrappedRow) {
    e->WrapOption().SetWrapByte(20);
    e->SetWordWrap(true);
    text(std::string(30, 'w') + "\r\n");
    ASSERT_EQ(e->ScreenStrings().RowAttribute(0), TRowAttribute::Wrapped);
    e->SetRowCol(0, 20);
    EXPECT_EQ(e->Col(), 19);
}

TEST_F(EditorTest, SelStartReadAndWrite) {
    text("abc\r\ndef\r\nghi");
    e->SetSelStart(3); // just after "abc": the row's end
    EXPECT_EQ(e->Row(), 0);
    EXPECT_EQ(e->Col(), 3);
    e->SetSelStart(4); // inside the CR LF
    EXPECT_EQ(e->Row(), 0);
    EXPECT_EQ(e->Col(), 3);
    e->SetSelStart(5);
    EXPECT_EQ(e->Row(), 1);
    EXPECT_EQ(e->Col(), 0);
    EXPECT_EQ(e->SelStart(), 5);
    e->SetSelStart(100);
    EXPECT_EQ(e->Row(), 2);
    EXPECT_EQ(e->Col(), 3);
    e->SetSelStart(6);
    e->SetSelLength(6);
    EXPECT_TRUE(e->Selected());
    EXPECT_EQ(e->SelStart(), 6);
    EXPECT_EQ(e->SelLength(), 6);
    EXPECT_EQ(e->Row(), 2);
    EXPECT_EQ(e->Col(), 2);
}

TEST_F(EditorTest, SelectAllClearAndSelectRow) {
    text("one\r\ntwo two\r\nthree");
    e->SelectAll();
    EXPECT_EQ(e->SelLength(), e->TextLength());
    EXPECT_EQ(e->Row(), 2);
    EXPECT_EQ(e->Col(), 5);
    e->ClearSelection();
    EXPECT_FALSE(e->Selected());
    EXPECT_EQ(e->Row(), 2); // the caret stays
    e->SelectRow(1);
    EXPECT_EQ(e->SelLength(), 7 + 2);
    EXPECT_EQ(e->Row(), 1);
    EXPECT_EQ(e->Col(), 0);
    QTest::mouseRelease(e->viewport(), Qt::LeftButton); // the row selection ends with the button
    e->SelectRow(2);                                    // the last row without a line end: all of it
    EXPECT_EQ(e->SelLength(), 5);
}

TEST_F(EditorTest, BoxSelectionLengthAndHitTest) {
    text("abcdef\r\nghijkl\r\nmnopqr\r\n");
    e->SetSelectionMode(TSelectionMode::Box);
    e->SetRowCol(0, 1);
    e->AnchorSelection();
    e->SetRowCol(2, 4);
    e->ExtendSelection();
    EXPECT_EQ(e->SelLength(), 3 * (3 + 2));
    EXPECT_TRUE(e->IsInSelection(1, 2));
    EXPECT_FALSE(e->IsInSelection(1, 5));
    EXPECT_FALSE(e->IsInSelection(3, 2));
}

TEST_F(EditorTest, EofMarkAndLineEndArrow) {
    e->Marks().EofMark().SetVisible(true);
    e->Marks().EofMark().SetColor(0x0000FF); // red
    text("");
    QImage img = grab();
    const QRect row0(e->TextLeft(), e->TextTop(), 6 * e->CharWidth(), e->CharHeight());
    EXPECT_TRUE(hasColor(img, row0, QColor(255, 0, 0)));
    text("abc");
    img = grab();
    const QRect after(e->TextLeft() + 3 * e->CharWidth(), e->TextTop(), 6 * e->CharWidth(), e->CharHeight());
    EXPECT_TRUE(hasColor(img, after, QColor(255, 0, 0)));
    EXPECT_FALSE(hasColor(img, row0.adjusted(0, 0, -3 * e->CharWidth(), 0), QColor(255, 0, 0)));
    text("abc\r\n");
    img = grab();
    const QRect next(e->TextLeft(), e->TextTop() + e->RowHeight(), 6 * e->CharWidth(), e->CharHeight());
    EXPECT_TRUE(hasColor(img, next, QColor(255, 0, 0)));
    e->Marks().RetMark().SetVisible(true);
    e->Marks().RetMark().SetColor(0x00FF00);
    img = grab();
    const QRect arrow(e->TextLeft() + 3 * e->CharWidth(), e->TextTop(), e->CharWidth(), e->CharHeight());
    EXPECT_TRUE(hasColor(img, arrow, QColor(0, 255, 0)));
}

TEST_F(EditorTest, LeftBarGrowsWithTheRowCount) {
    e->Leftbar().SetVisible(true);
    std::string t;
    for (int i = 0; i < 12345; ++i) t += "x\r\n";
    text(t);
    // Five digits between the bar's margins, and its edge.
    EXPECT_EQ(e->TextLeft(), e->Margin().Left() + 8 + 5 * e->CharWidth() + 4 + 2);
}

TEST_F(EditorTest, RulerNumbersFollowTopCol) {
    e->Ruler().SetVisible(true);
    e->Ruler().SetColor(0x0000FF);
    text(std::string(200, 'r'));
    e->SetTopCol(23);
    const QImage img = grab();
    // "30" begins one pixel right of the tick 7 columns right of TextLeft.
    const int x30 = e->TextLeft() + 7 * e->CharWidth();
    EXPECT_TRUE(hasColor(img, QRect(x30 + 1, 1, 8, 8), QColor(255, 0, 0)));
    // Between ticks, away from numbers, there is no ink above the short ticks.
    EXPECT_FALSE(hasColor(img, QRect(x30 + 2 * e->CharWidth() + 2, 0, e->CharWidth() - 3, 2), QColor(255, 0, 0)));
}

TEST_F(EditorTest, AThreeRowSelectionPaintsTheMiddleRowFullWidth) {
    text("a\r\nb\r\nc\r\n");
    e->View().Colors().Select().SetBkColor(0x00FF00);
    e->SetRowCol(0, 0);
    e->AnchorSelection();
    e->SetRowCol(2, 1);
    e->ExtendSelection();
    const QImage img = grab();
    const int y = e->TextTop() + e->RowHeight() + e->CharHeight() / 2;
    EXPECT_EQ(QColor(img.pixel(img.width() - 5, y)), QColor(0, 255, 0));
    // The last row is selected only up to the caret.
    const int y2 = e->TextTop() + 2 * e->RowHeight() + e->CharHeight() / 2;
    EXPECT_NE(QColor(img.pixel(img.width() - 5, y2)), QColor(0, 255, 0));
}

TEST_F(EditorTest, TokensArePaintedInTheirColours) {
    e->View().SetUrl(true);
    e->View().Colors().Url().SetColor(0x0000FF);
    text("see http://www.example.jp/ now");
    const QImage img = grab();
    const QRect url(e->TextLeft() + 4 * e->CharWidth(), e->TextTop(), 22 * e->CharWidth(), e->CharHeight());
    EXPECT_TRUE(hasColor(img, url, QColor(255, 0, 0)));
    const QRect see(e->TextLeft(), e->TextTop(), 3 * e->CharWidth(), e->CharHeight());
    EXPECT_FALSE(hasColor(img, see, QColor(255, 0, 0)));
    EXPECT_TRUE(hasColor(img, see, QColor(0, 0, 0)));
}

TEST_F(EditorTest, InvalidBytesAreDrawnAsAVisibleBox) {
    text("\x80\xFD\xFE");
    const QImage img = grab();
    EXPECT_TRUE(test::HasInk(img, QRect(e->TextLeft(), e->TextTop(), 3 * e->CharWidth(), e->CharHeight()),
                             qRgb(255, 255, 255)));
}

TEST_F(EditorTest, JapaneseGlyphsFillTwoCells) {
    EXPECT_EQ(QFontInfo(e->font()).family(), JapaneseMonospaceFamily());
    EXPECT_EQ(e->font().pixelSize() % 2, 0);
    const QFontMetrics fm(e->font());
    EXPECT_EQ(fm.horizontalAdvance(QChar(0x3042)), 2 * fm.horizontalAdvance(QLatin1Char('a')));
}

namespace {
class CountingEditor : public TEditor {
public:
    void UpdateView() override {
        ++Views;
        TEditor::UpdateView();
    }
    int Views = 0;
};
} // namespace

TEST(EditorProp, ApplyingRewrapsOnce) {
    CountingEditor ed;
    ed.WrapOption().SetWrapByte(80);
    ed.SetWordWrap(true);
    ed.Lines().SetText(std::string(200, 'x'));
    ASSERT_EQ(ed.ScreenStrings().Count(), 3);
    TEditorProp prop;
    prop.WordWrap = true;
    prop.WrapOption().SetWrapByte(60);
    prop.Caret().SetTabSpaceCount(4);
    prop.Leftbar().SetVisible(true);
    ed.Views = 0;
    prop.AssignTo(ed);
    EXPECT_EQ(ed.Views, 1);
    EXPECT_EQ(ed.ScreenStrings().Count(), 4); // 200 at 60: 60, 60, 60, 20
    EXPECT_EQ(ed.Caret().TabSpaceCount(), 4);
    EXPECT_TRUE(ed.Leftbar().Visible());
    // And the bundle reads back what the editor has.
    TEditorProp back;
    back.Assign(ed);
    EXPECT_TRUE(back.WordWrap);
    EXPECT_EQ(back.WrapOption().WrapByte(), 60);
    EXPECT_EQ(back.Caret().TabSpaceCount(), 4);
    // Off: WordWrap first, then the rules (which then re-wrap nothing).
    prop.WordWrap = false;
    ed.Views = 0;
    prop.AssignTo(ed);
    EXPECT_EQ(ed.Views, 1);
    EXPECT_EQ(ed.ScreenStrings().Count(), 1);
}

TEST(EditorDocument, TwoViewsShareOneDocument) {
    TEditor a, b;
    a.Lines().SetText("shared\r\n");
    b.AttachDocument(&a);
    EXPECT_EQ(b.Lines().Text(), "shared\r\n");
    b.ScreenStrings().ReplaceRows(0, 1, "changed\r\n");
    EXPECT_EQ(a.Lines().Text(), "changed\r\n");
    EXPECT_TRUE(a.CanUndo());
    a.Undo();
    EXPECT_EQ(b.Lines().Text(), "shared\r\n");
}

TEST(EditorFountainUse, AssignedFountainColoursAndLetsGo) {
    TEditor ed;
    auto f = TFountain::Create<TEditorFountain>();
    f->SetReserveWordList({"begin"});
    ed.SetFountain(f.get());
    EXPECT_EQ(&ed.ActiveFountain(), f.get());
    f.reset(); // the editor is told and forgets it
    EXPECT_EQ(ed.Fountain(), nullptr);
    EXPECT_EQ(&ed.ActiveFountain(), &ed.View().Fountain());
}

TEST_F(EditorTest, LockScrollCarriesTheCaretWithTheView) {
    std::string t;
    for (int i = 0; i < 200; ++i) t += "line " + std::to_string(i) + "\r\n";
    text(t);
    QApplication::processEvents();
    e->SetRowCol(3, 2);
    e->verticalScrollBar()->setValue(10); // without the lock the caret stays where it was
    EXPECT_EQ(e->Row(), 3);
    e->verticalScrollBar()->setValue(0);
    e->Caret().LockScroll = true;
    e->verticalScrollBar()->setValue(10);
    EXPECT_EQ(e->TopRow(), 10);
    EXPECT_EQ(e->Row(), 13);
    EXPECT_EQ(e->Col(), 2);
}

TEST_F(EditorTest, NothingIsDrawnPastColumn1000ButTheCutSign) {
    e->Marks().HideMark().SetVisible(true);
    e->Marks().HideMark().SetColor(0x0000FF);
    text(std::string(1200, 'x') + "\r\n" + std::string(998, 'y') + "\x8A\xBF" + "zzz\r\n");
    e->SetTopCol(1000);
    const int top = e->TopCol();
    ASSERT_LT(top, 1000);
    ASSERT_GT(top + e->VisibleCols(), 1003);
    const QImage img = grab();
    const int x1000 = e->TextLeft() + (1000 - top) * e->CharWidth(); // the cell of column 1000
    const QRgb back = QColor(Qt::white).rgb();
    for (int row = 0; row < 2; ++row) {
        const int y = e->TextTop() + row * e->RowHeight();
        // Text up to column 1000 (the double-byte character at 998-999 completed) ...
        EXPECT_TRUE(test::HasInk(img, QRect(x1000 - e->CharWidth(), y, e->CharWidth(), e->CharHeight()), back)) << row;
        // ... the ">" in the cell of column 1000, in its own colour ...
        EXPECT_TRUE(hasColor(img, QRect(x1000, y, e->CharWidth() + 1, e->CharHeight()), QColor(255, 0, 0))) << row;
        // ... and nothing after it.
        EXPECT_FALSE(test::HasInk(img, QRect(x1000 + e->CharWidth() + 2, y, img.width(), e->CharHeight()), back))
            << row;
    }
}

TEST_F(EditorTest, AssigningTheTextRepaintsAndPlacesTheCaret) {
    text("first line\r\nsecond\r\n");
    e->SetRowCol(1, 4);
    QApplication::processEvents();
    // Collects what the viewport repaints after the assignment.
    struct PaintRecorder : QObject {
        QRegion Painted;
        bool eventFilter(QObject*, QEvent* ev) override {
            if (ev->type() == QEvent::Paint) Painted += static_cast<QPaintEvent*>(ev)->region();
            return false;
        }
    } recorder;
    e->viewport()->installEventFilter(&recorder);
    int rowsAtCaretPlacement = -1;
    e->OnCaretMoved = [&](TEditor*) { rowsAtCaretPlacement = e->ScreenStrings().Count(); };
    e->Lines().SetText("other\r\n");
    QApplication::processEvents();
    e->viewport()->removeEventFilter(&recorder);
    const QRect rows(e->TextLeft(), e->TextTop(), 10 * e->CharWidth(), 2 * e->RowHeight());
    EXPECT_TRUE(recorder.Painted.contains(rows)) << "painted only " << recorder.Painted.boundingRect().width() << "x"
                                                 << recorder.Painted.boundingRect().height();
    // The caret was placed once the new text was in.
    EXPECT_EQ(rowsAtCaretPlacement, 1);
    EXPECT_EQ(e->Row(), 0);
    EXPECT_EQ(e->Col(), 0);
    EXPECT_EQ(e->Lines().UpdateCount(), 0);
}

TEST_F(EditorTest, URLsAreUnderlinedUnderTheirOwnCells) {
    e->View().SetUrl(true);
    e->View().Colors().Url().SetColor(0x0000FF);
    e->View().Colors().Url().SetStyle(fsUnderline);
    text("see http://www.example.jp/ now\r\n\r\n\r\n\r\n");
    const QImage img = grab();
    const QRect url(e->TextLeft() + 4 * e->CharWidth(), e->TextTop(), 22 * e->CharWidth(), e->CharHeight());
    // Some pixel row under the glyphs is red all along the URL's cells ...
    bool line = false;
    for (int y = url.top() + e->CharHeight() / 2; y <= url.bottom() + 1 && !line; ++y) {
        int red = 0;
        for (int x = url.left(); x < url.right(); ++x) red += QColor(img.pixel(x, y)) == QColor(255, 0, 0);
        line = red == url.width() - 1;
    }
    EXPECT_TRUE(line);
    // ... and there is no red anywhere else: not under "see", not on the rows below.
    EXPECT_FALSE(hasColor(img, QRect(0, e->TextTop(), url.left(), img.height()), QColor(255, 0, 0)));
    EXPECT_FALSE(hasColor(img, QRect(0, url.bottom() + 3, img.width(), img.height()), QColor(255, 0, 0)));
}

// The top margin, below the ruler or the window's edge, shows the background: an editor with
// opaque painting that left it out showed whatever was drawn there before (a red canvas here).
TEST_F(EditorTest, TheTopMarginIsPaintedWithTheBackground) {
    text("abc\r\ndef");
    e->Margin().SetTop(12);
    for (bool ruler : {false, true}) {
        e->Ruler().SetVisible(ruler);
        QApplication::processEvents();
        QPixmap canvas(e->viewport()->size());
        canvas.fill(Qt::red);
        e->viewport()->render(&canvas);
        const QImage img = canvas.toImage().convertToFormat(QImage::Format_RGB32);
        const QRect band(e->TextLeft(), e->TextTop() - 12, img.width() - e->TextLeft(), 12);
        EXPECT_FALSE(hasColor(img, band, Qt::red)) << "ruler " << ruler;
        EXPECT_TRUE(hasColor(img, band, Qt::white)) << "ruler " << ruler;
    }
}
