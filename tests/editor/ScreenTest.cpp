// The editor on a real X server: after every incremental change (caret moves, typing,
// deleting lines, scrolling, assigning the text) the screen shows exactly what a full repaint
// of the editor shows. grab() renders the widget afresh and cannot see a caret left behind
// or rows not repainted after a scroll; the screen's own pixels can.
#include "Editor.h"
#include "Fonts.h"
#include "TextLoader.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QStyleHints>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace quire;

namespace {

std::string numberedRows(int n, const std::string& tail = "") {
    std::string t;
    for (int i = 0; i < n; ++i) t += "row " + std::to_string(i) + " \x82\xA0\x82\xA2\tend" + tail + "\r\n";
    return t;
}

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs a real X display: run it through tests/support/with-xvfb.sh, as ctest does";
        QGuiApplication::styleHints()->setCursorFlashTime(0); // a steady caret, so that two looks compare
        InstallFontSubstitutions();
        e = std::make_unique<TEditor>();
        e->resize(480, 260);
        e->SetScrollBars(TScrollStyle::ssBoth);
        e->Marks().RetMark().SetVisible(true);
        e->Marks().EofMark().SetVisible(true);
        e->Marks().HideMark().SetVisible(true);
        e->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(e.get()));
        // There is no window manager: the window is activated by the test.
        e->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(e.get()));
        e->setFocus();
        settle();
    }
    void TearDown() override { e.reset(); }

    static void settle() {
        for (int i = 0; i < 4; ++i) {
            QApplication::processEvents();
            QTest::qWait(10);
        }
    }
    // The viewport's pixels of View (the fixture's editor by default) as the X server shows them.
    QImage onScreen(TEditor* View = nullptr) {
        settle();
        TEditor* v = View ? View : e.get();
        const QPoint at = v->viewport()->mapTo(v, QPoint(0, 0));
        return v->screen()
            ->grabWindow(v->winId(), at.x(), at.y(), v->viewport()->width(), v->viewport()->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // What the screen shows now equals what a full repaint shows; on a difference both
    // images are kept for a look.
    void expectLikeFullRepaint(const std::string& step, TEditor* View = nullptr) {
        TEditor* v = View ? View : e.get();
        const QImage incremental = onScreen(v);
        v->viewport()->repaint();
        const QImage full = onScreen(v);
        ASSERT_FALSE(full.isNull());
        if (incremental == full) return;
        QRect diff;
        for (int y = 0; y < full.height(); ++y)
            for (int x = 0; x < full.width(); ++x)
                if (incremental.pixel(x, y) != full.pixel(x, y)) diff |= QRect(x, y, 1, 1);
        const QString dir = QDir::temp().filePath(QStringLiteral("quire-screen-test"));
        QDir().mkpath(dir);
        const QString name = QString::fromStdString(step).replace(QLatin1Char(' '), QLatin1Char('-'));
        incremental.save(dir + QLatin1Char('/') + name + QStringLiteral("-incremental.png"));
        full.save(dir + QLatin1Char('/') + name + QStringLiteral("-full.png"));
        ADD_FAILURE() << step << ": the screen differs from a full repaint in the " << diff.width() << "x"
                      << diff.height() << " pixels at (" << diff.x() << ", " << diff.y() << "), rows "
                      << (diff.top() - v->TextTop()) / v->RowHeight() << " to "
                      << (diff.bottom() - v->TextTop()) / v->RowHeight() << "; images in " << dir.toStdString();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(e.get(), k, m); }

    std::unique_ptr<TEditor> e;
};

} // namespace

TEST_F(ScreenTest, CaretMovesLeaveNoTrail) {
    e->Marks().Underline().SetVisible(true); // the caret row's underline moves with it
    e->Lines().SetText(numberedRows(40));
    expectLikeFullRepaint("text assigned");
    {
        // The steady caret is on the screen: its bar inverts the white cell at row 0, column 0.
        const QImage shown = onScreen();
        const QRect bar = e->CaretRect();
        int dark = 0;
        for (int y = bar.top(); y <= bar.bottom(); ++y)
            for (int x = bar.left(); x <= bar.right(); ++x) dark += qGray(shown.pixel(x, y)) < 128;
        ASSERT_GT(dark, bar.width() * bar.height() / 2) << "the caret is not shown";
    }
    const std::pair<Qt::Key, Qt::KeyboardModifiers> moves[] = {
        {Qt::Key_Down, Qt::NoModifier},      {Qt::Key_Down, Qt::NoModifier},  {Qt::Key_Right, Qt::NoModifier},
        {Qt::Key_Right, Qt::NoModifier},     {Qt::Key_End, Qt::NoModifier},   {Qt::Key_Up, Qt::NoModifier},
        {Qt::Key_Left, Qt::ControlModifier}, {Qt::Key_Home, Qt::NoModifier},  {Qt::Key_PageDown, Qt::NoModifier},
        {Qt::Key_Down, Qt::ShiftModifier},   {Qt::Key_Right, Qt::NoModifier}, {Qt::Key_End, Qt::ControlModifier},
        {Qt::Key_Home, Qt::ControlModifier},
    };
    int n = 0;
    for (const auto& [k, m] : moves) {
        key(k, m);
        expectLikeFullRepaint("move " + std::to_string(n++));
    }
    e->SetOverWrite(true); // the block caret over a double-byte character
    e->SetRowCol(0, 6);
    expectLikeFullRepaint("overwrite caret");
    key(Qt::Key_Right);
    expectLikeFullRepaint("overwrite caret moved");
}

TEST_F(ScreenTest, TypingAndDeletingRepaintWhatChanged) {
    for (const bool numbers : {false, true}) {
        e->Leftbar().SetVisible(numbers);
        e->Lines().SetText(numberedRows(30));
        const std::string on = numbers ? " with line numbers" : "";
        e->SetRowCol(2, 3);
        QTest::keyClicks(e.get(), QStringLiteral("abc"));
        expectLikeFullRepaint("typed" + on);
        key(Qt::Key_Backspace);
        expectLikeFullRepaint("backspace" + on);
        key(Qt::Key_Return);
        expectLikeFullRepaint("return" + on);
        key(Qt::Key_Backspace); // joins the rows again
        expectLikeFullRepaint("join" + on);
        // Deleting several lines moves the rows below them up.
        e->SetSelStart(static_cast<int>(numberedRows(3).size()));
        e->SetSelLength(static_cast<int>(numberedRows(4).size()));
        expectLikeFullRepaint("selected" + on);
        key(Qt::Key_Delete);
        expectLikeFullRepaint("four lines deleted" + on);
        e->Lines().Delete(1);
        expectLikeFullRepaint("one line deleted" + on);
        e->Undo();
        expectLikeFullRepaint("undo" + on);
        e->Undo();
        expectLikeFullRepaint("undo again" + on);
        // Near the end of the text the rows scrolled up uncover the end mark.
        key(Qt::Key_End, Qt::ControlModifier);
        e->SetSelStart(static_cast<int>(numberedRows(25).size()));
        e->SetSelLength(static_cast<int>(numberedRows(3).size()));
        key(Qt::Key_Delete);
        expectLikeFullRepaint("lines deleted at the end" + on);
    }
}

TEST_F(ScreenTest, EditsInAWrappedParagraph) {
    e->WrapOption().SetWrapByte(20);
    e->WrapOption().SetWordBreak(true);
    e->SetWordWrap(true);
    std::string words;
    for (int i = 0; i < 30; ++i) words += "word" + std::to_string(i) + " ";
    e->Lines().SetText(words + "\r\n" + numberedRows(10));
    e->SetRowCol(3, 2);
    QTest::keyClicks(e.get(), QStringLiteral("longer text "));
    expectLikeFullRepaint("typed into the paragraph");
    for (int i = 0; i < 12; ++i) key(Qt::Key_Backspace);
    expectLikeFullRepaint("deleted from the paragraph");
}

TEST_F(ScreenTest, ScrollingShowsTheRowsScrolledIn) {
    e->Leftbar().SetVisible(true);
    e->Ruler().SetVisible(true);
    e->Marks().Underline().SetVisible(true);
    e->Lines().SetText(numberedRows(60, std::string(120, '-') + "|"));
    e->SetTopRow(5);
    expectLikeFullRepaint("scrolled down 5");
    e->SetTopRow(3);
    expectLikeFullRepaint("scrolled up 2");
    e->ScrollRows(7);
    expectLikeFullRepaint("page of 7");
    e->SetTopRow(40);
    expectLikeFullRepaint("jumped to 40");
    e->SetTopCol(30);
    expectLikeFullRepaint("scrolled right");
    e->SetTopCol(26);
    expectLikeFullRepaint("scrolled left");
    key(Qt::Key_End);
    expectLikeFullRepaint("to the end of a long row");
    key(Qt::Key_Home);
    expectLikeFullRepaint("back to its start");
}

TEST_F(ScreenTest, AssignedTextAndTheColumnLimit) {
    e->Lines().SetText(numberedRows(20));
    e->SetRowCol(5, 4);
    expectLikeFullRepaint("first text");
    e->Lines().SetText(std::string(1200, 'x') + "\r\nshort\r\n");
    expectLikeFullRepaint("second text");
    key(Qt::Key_End);
    expectLikeFullRepaint("at column 1000");
    key(Qt::Key_Down);
    expectLikeFullRepaint("below it");
}

// A text loaded into the document (a reload, a file read again in another code) replaces
// what every view of it shows, and the caret starts at the top of the new text.
TEST_F(ScreenTest, LoadedTextRepaintsEveryViewAndPlacesTheCaret) {
    TEditor second; // a second view of the document, as a split page has
    second.resize(480, 200);
    second.move(e->x(), e->y() + e->frameGeometry().height() + 10);
    second.SetScrollBars(TScrollStyle::ssBoth);
    second.AttachDocument(e.get());
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    e->activateWindow();
    e->setFocus();
    // The views at the top (nothing scrolls: only the load itself can repaint them) and
    // scrolled down, with word wrap off and on.
    for (const int round : {0, 1, 2, 3}) {
        const bool wrap = round >= 2, scrolled = round % 2;
        const std::string on = std::string(wrap ? " wrapped" : "") + (scrolled ? " scrolled" : "");
        e->SetWordWrap(wrap);
        e->Lines().SetText(numberedRows(60));
        e->SetRowCol(scrolled ? 45 : 0, 0);
        second.SetTopRow(scrolled ? 20 : 0);
        expectLikeFullRepaint("before loading" + on);
        expectLikeFullRepaint("before loading, second view" + on, &second);
        e->Lines().LoadText([](TTextLoader& Loader) { Loader.Add("loaded first line\r\nand its second\r\n"); });
        expectLikeFullRepaint("loaded" + on);
        expectLikeFullRepaint("loaded, second view" + on, &second);
        EXPECT_EQ(e->Row(), 0);
        EXPECT_EQ(e->Col(), 0);
        EXPECT_EQ(e->TopRow(), 0);
        EXPECT_EQ(second.TopRow(), 0);
        key(Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(e->Row(), 2) << "the end of the loaded text";
        expectLikeFullRepaint("to its end" + on);
    }
}

// X's primary selection: a selection made with the mouse or with Shift and the arrows is
// offered when the button or Shift is let go, and the middle button pastes it where it is
// pressed, without touching the clipboard.
TEST_F(ScreenTest, ThePrimarySelectionIsOfferedAndPastedWithTheMiddleButton) {
    QClipboard* board = QApplication::clipboard();
    ASSERT_TRUE(board->supportsSelection());
    board->setText(QStringLiteral("clipboard"));
    e->Lines().SetText("abc def\r\n");
    auto cell = [&](int col) {
        return QPoint(e->TextLeft() + col * e->CharWidth() + 1, e->TextTop() + e->CharHeight() / 2);
    };
    QTest::mousePress(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(4));
    QMouseEvent move(QEvent::MouseMove, cell(7), e->viewport()->mapToGlobal(cell(7)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(e->viewport(), &move);
    QTest::mouseRelease(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(7));
    settle();
    EXPECT_EQ(board->text(QClipboard::Selection), QStringLiteral("def"));
    QTest::mouseClick(e->viewport(), Qt::MiddleButton, Qt::NoModifier, cell(0));
    EXPECT_EQ(e->Lines().Text(), "defabc def\r\n");

    e->SetRowCol(0, 0);
    QTest::keyClick(e.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(e.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyRelease(e.get(), Qt::Key_Shift);
    settle();
    EXPECT_EQ(board->text(QClipboard::Selection), QStringLiteral("de"));
    EXPECT_EQ(board->text(), QStringLiteral("clipboard"));
}
