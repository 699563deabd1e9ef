// The input method through QInputMethodEvent: how a composition is drawn (its formats, the
// text after it shifted, its cursor), and that it lands exactly once, in the editor where it
// was composed, whichever way the focus or the caret leaves it.
#include "Editor.h"
#include "EditorFixture.h"
#include "WidgetGrab.h"

#include <QApplication>
#include <QSplitter>
#include <QTest>
#include <QTextCharFormat>
#include <gtest/gtest.h>

using namespace quire;

namespace {

using Attributes = QList<QInputMethodEvent::Attribute>;

const std::string kAtarashii = "\x82\xA0\x82\xBD\x82\xE7\x82\xB5\x82\xA2"; // あたらしい
const std::string kSekai = "\x82\xB9\x82\xA9\x82\xA2";                     // せかい
const std::string kKana = "\x82\xA9\x82\xC8";                              // かな

void preedit(QWidget* w, const QString& text, const Attributes& attributes = {}) {
    QInputMethodEvent e(text, attributes);
    QApplication::sendEvent(w, &e);
}

void commit(QWidget* w, const QString& text) {
    QInputMethodEvent e;
    e.setCommitString(text);
    QApplication::sendEvent(w, &e);
}

class InputMethodTest : public EditorFixture {
protected:
    QImage grab() {
        QApplication::processEvents();
        return e->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QRect cells(int row, int from, int to) const {
        return QRect(e->TextLeft() + from * e->CharWidth(), e->TextTop() + row * e->RowHeight(),
                     (to - from) * e->CharWidth(), e->CharHeight());
    }
    QPoint cell(int row, int col) const { return cells(row, col, col + 1).center(); }
    static constexpr QRgb kWhite = 0xFFFFFF;
};

// Two editors in one window, as a split page shows them.
class TwoEditorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setOrientation(Qt::Vertical);
        a = new TEditor(&window);
        b = new TEditor(&window);
        window.resize(400, 300);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowExposed(&window)) QApplication::processEvents();
        a->setFocus();
        QApplication::processEvents();
    }
    QSplitter window;
    TEditor* a = nullptr;
    TEditor* b = nullptr;
};

} // namespace

TEST_F(InputMethodTest, TheCompositionIsUnderlinedAndTheRestOfTheRowShiftedRight) {
    text("xyz\r\n");
    const QImage before = grab();
    preedit(e.get(), QStringLiteral("にほんご"));
    EXPECT_EQ(all(), "xyz\r\n");
    EXPECT_FALSE(e->CanUndo());
    const QImage img = grab();
    // An underline along the bottom of the composition's eight cells, and nowhere else.
    const int bottom = e->TextTop() + e->CharHeight() - 1;
    for (int x = cells(0, 0, 8).left(); x <= cells(0, 0, 8).right(); ++x)
        ASSERT_NE(img.pixel(x, bottom) & 0xFFFFFF, kWhite) << "no underline at x " << x;
    EXPECT_FALSE(test::HasInk(img, QRect(0, bottom + 2, img.width(), img.height()), kWhite)) << "ink below the row";
    // "xyz" is drawn three cells to the right of where it was: the same pixels, moved.
    EXPECT_EQ(img.copy(cells(0, 8, 11)), before.copy(cells(0, 0, 3)));
    // The text goes in on commit, once, as one undo step.
    commit(e.get(), QStringLiteral("日本語"));
    EXPECT_EQ(all(), "\x93\xFA\x96\x7B\x8C\xEA"
                     "xyz\r\n");
    EXPECT_EQ(e->PreeditText(), QString());
    e->Undo();
    EXPECT_EQ(all(), "xyz\r\n");
}

TEST_F(InputMethodTest, TheSegmentBeingConvertedIsInverted) {
    text("");
    QTextCharFormat target;
    target.setBackground(Qt::black);
    target.setForeground(Qt::white);
    QTextCharFormat rest;
    rest.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    preedit(e.get(), QStringLiteral("日本語を"),
            {{QInputMethodEvent::TextFormat, 0, 3, target}, {QInputMethodEvent::TextFormat, 3, 1, rest}});
    const QImage img = grab();
    // Cells 0 to 5 are dark (inverted), cells 6 and 7 light.
    auto darkShare = [&](const QRect& r) {
        int dark = 0;
        for (int y = r.top(); y < r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) dark += qGray(img.pixel(x, y)) < 128;
        return dark * 100 / (r.width() * (r.height() - 1));
    };
    EXPECT_GT(darkShare(cells(0, 0, 6)), 60);
    EXPECT_LT(darkShare(cells(0, 6, 8)), 40);
}

TEST_F(InputMethodTest, TheCaretStandsAtTheInputMethodsCursor) {
    text("abc\r\n");
    e->SetRowCol(0, 1);
    preedit(e.get(), QStringLiteral("にほんご"), {{QInputMethodEvent::Cursor, 2, 1, QVariant()}});
    // Two characters in: four columns right of where the composition starts.
    EXPECT_EQ(e->CaretRect().left(), e->TextLeft() + 5 * e->CharWidth());
    const QRect im = e->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_EQ(im.left(), e->viewport()->pos().x() + e->TextLeft() + 5 * e->CharWidth());
    EXPECT_GE(im.width(), 1);
    EXPECT_EQ(e->Col(), 1); // the caret itself stays where the composition goes in
    preedit(e.get(), QString());
    EXPECT_EQ(e->CaretRect().left(), e->TextLeft() + 1 * e->CharWidth());
}

TEST_F(InputMethodTest, ALongCompositionAtTheRightEdgeIsScrolledIntoView) {
    text(std::string(200, 'a') + "\r\n");
    const int col = e->VisibleCols() - 3;
    e->SetRowCol(0, col);
    ASSERT_EQ(e->TopCol(), 0);
    preedit(e.get(), QStringLiteral("あいうえおかきくけこ")); // 20 columns
    EXPECT_LE(col + 20, e->TopCol() + e->VisibleCols() - 1);
    EXPECT_LE(e->TopCol(), col);
    // Wider than the view: its cursor stays in view.
    const QString wide(e->VisibleCols(), QChar(0x3042));
    preedit(e.get(), wide, {{QInputMethodEvent::Cursor, 3, 1, QVariant()}});
    const int cursorCol = (e->CaretRect().left() - e->TextLeft()) / e->CharWidth() + e->TopCol();
    EXPECT_GE(cursorCol, e->TopCol());
    EXPECT_LE(cursorCol, e->TopCol() + e->VisibleCols() - 1);
}

TEST_F(InputMethodTest, AClickElsewhereInTheEditorCommitsWhereItWasComposedFirst) {
    text("0123456789\r\n");
    e->SetRowCol(0, 2);
    preedit(e.get(), QStringLiteral("かな"));
    QTest::mouseClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(0, 8));
    EXPECT_EQ(all(), "01" + kKana + "23456789\r\n");
    EXPECT_EQ(e->PreeditText(), QString());
    EXPECT_EQ(e->Col(), 8);
    // The input method, reset, sends what it held once more: it does not land again.
    commit(e.get(), QStringLiteral("かな"));
    EXPECT_EQ(all(), "01" + kKana + "23456789\r\n");
    // The next composition is the user's own.
    preedit(e.get(), QStringLiteral("かな"));
    commit(e.get(), QStringLiteral("かな"));
    EXPECT_EQ(all(), "01" + kKana + "23" + kKana + "456789\r\n");
}

TEST_F(TwoEditorsTest, FocusHandedToAnotherEditorLandsTheCompositionOnce) {
    preedit(a, QStringLiteral("あたらしい"));
    // The platform's hand-over on a focus change: a commit to the editor losing the focus,
    // then the focus moves; then the input method commits what it still held to the editor
    // that has the focus now.
    commit(a, QStringLiteral("あたらしい"));
    b->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(b->hasFocus());
    commit(b, QStringLiteral("あたらしい"));
    preedit(b, QString());
    EXPECT_EQ(a->Lines().Text(), kAtarashii);
    EXPECT_EQ(b->Lines().Text(), "");
    // A commit of the user's in the other editor is typed as ever.
    preedit(b, QStringLiteral("あたらしい"));
    commit(b, QStringLiteral("あたらしい"));
    EXPECT_EQ(b->Lines().Text(), kAtarashii);
}

TEST_F(TwoEditorsTest, FocusTakenWithoutAHandOverLandsTheCompositionOnce) {
    preedit(a, QStringLiteral("あたらしい"));
    b->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    commit(b, QStringLiteral("あたらしい")); // the input method's own commit on losing the focus
    EXPECT_EQ(a->Lines().Text(), kAtarashii);
    EXPECT_EQ(b->Lines().Text(), "");
    EXPECT_EQ(a->PreeditText(), QString());
}

TEST_F(TwoEditorsTest, AWindowSwitchRightAfterTheCompositionIsClearedStillLandsIt) {
    preedit(a, QStringLiteral("せかい"));
    // The input method clears the composition, then the focus goes to another program.
    preedit(a, QString());
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(a, &out);
    EXPECT_EQ(a->Lines().Text(), kSekai);
    // Back in the window, the input method's commit of what it held does not land again.
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(a, &in);
    commit(a, QStringLiteral("せかい"));
    EXPECT_EQ(a->Lines().Text(), kSekai);
}

TEST_F(TwoEditorsTest, ACancelledCompositionStaysCancelled) {
    preedit(a, QStringLiteral("かな"));
    preedit(a, QString()); // Escape
    QTest::qWait(300);
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(a, &out);
    EXPECT_EQ(a->Lines().Text(), "");
    EXPECT_FALSE(a->CanUndo());
}
