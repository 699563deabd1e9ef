// Japanese input as a user types it: romaji through ibus with mozc on an X server, keys and
// clicks sent by xdotool, the composition converted, committed, cancelled, and left by a
// click into another editor, into another program's window and elsewhere in the same
// editor. Run through tests/support/with-ime.sh, which starts the input method.
#include "Cp932Codec.h"
#include "Editor.h"
#include "Fonts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using namespace quire;

namespace {

std::string hex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

class RealInputMethodTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb") || qgetenv("QT_IM_MODULE") != "ibus")
            GTEST_SKIP() << "needs ibus on an X display: run it through tests/support/with-ime.sh, as ctest does";
        InstallFontSubstitutions();
        window = std::make_unique<QSplitter>(Qt::Vertical);
        window->setWindowTitle(QStringLiteral("quire-ime-test"));
        a = new TEditor(window.get());
        b = new TEditor(window.get());
        window->resize(600, 400);
        window->move(20, 20);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        a->setFocus();
        wait(300);
    }
    void TearDown() override {
        if (other) {
            other->kill();
            other->waitForFinished(2000);
        }
        window.reset();
        wait(200); // the input method forgets the window
    }

    static void wait(int ms) { QTest::qWait(ms); }
    // Runs xdotool and lets the events it causes arrive.
    static void xdo(const QStringList& args, int settle = 250) {
        QProcess::execute(QStringLiteral("xdotool"), args);
        wait(settle);
    }
    static void type(const char* romaji) {
        xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("90"), QString::fromLatin1(romaji)},
            600);
    }
    static void key(const char* name) { xdo({QStringLiteral("key"), QString::fromLatin1(name)}, 500); }
    static void click(QWidget* w, QPoint at) {
        const QPoint g = w->mapToGlobal(at);
        xdo({QStringLiteral("mousemove"), QString::number(g.x()), QString::number(g.y()), QStringLiteral("click"),
             QStringLiteral("1")},
            800);
    }
    static QPoint cell(TEditor* e, int row, int col) {
        return QPoint(e->TextLeft() + col * e->CharWidth() + 2,
                      e->TextTop() + row * e->RowHeight() + e->CharHeight() / 2);
    }
    // Waits until Done holds (at most two seconds); false when it never did.
    static bool waitFor(const std::function<bool()>& Done) {
        QElapsedTimer t;
        t.start();
        while (!Done()) {
            if (t.elapsed() > 2000) return false;
            wait(50);
        }
        return true;
    }
    // Types romaji in E and waits for the composition to show.
    void compose(TEditor* e, const char* romaji) {
        type(romaji);
        ASSERT_TRUE(waitFor([&] { return !e->PreeditText().isEmpty(); }))
            << "nothing was composed: is ibus with mozc in hiragana mode running?";
    }
    static std::string text(TEditor* e) { return e->Lines().Text(); }
    QImage shot(TEditor* e) {
        const QPoint at = e->viewport()->mapTo(window.get(), QPoint(0, 0));
        return window->screen()
            ->grabWindow(window->winId(), at.x(), at.y(), e->viewport()->width(), e->viewport()->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    std::unique_ptr<QSplitter> window;
    TEditor* a = nullptr;
    TEditor* b = nullptr;
    std::unique_ptr<QProcess> other;
};

const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";                   // 日本語
const std::string kAtarashii = "\x82\xA0\x82\xBD\x82\xE7\x82\xB5\x82\xA2"; // あたらしい
const std::string kSekai = "\x82\xB9\x82\xA9\x82\xA2";                     // せかい
const std::string kKana = "\x82\xA9\x82\xC8";                              // かな

} // namespace

TEST_F(RealInputMethodTest, ConvertCommitAndCancel) {
    a->Lines().SetText("xyz\r\n");
    a->SetRowCol(0, 0);
    compose(a, "nihongo");
    EXPECT_EQ(a->PreeditText(), QStringLiteral("にほんご"));
    EXPECT_EQ(text(a), "xyz\r\n"); // nothing enters the text while composing
    // The composition is drawn inline: underlined, the rest of the row shifted right.
    const QImage img = shot(a);
    const QString dir = QString::fromLocal8Bit(qgetenv("QUIRE_IME_WORK"));
    if (!dir.isEmpty()) img.save(dir + QStringLiteral("/composing.png"));
    const int underline = a->TextTop() + a->CharHeight() - 1;
    int inked = 0;
    for (int x = a->TextLeft(); x < a->TextLeft() + 8 * a->CharWidth(); ++x)
        if (QColor(img.pixel(x, underline)) != QColor(Qt::white)) ++inked;
    EXPECT_GE(inked, 8 * a->CharWidth() - 2) << "no underline under the composed text";
    // "xyz" now stands after the composition's eight columns.
    int shifted = 0;
    for (int y = a->TextTop(); y < a->TextTop() + a->CharHeight() - 2; ++y)
        for (int x = a->TextLeft() + 8 * a->CharWidth() + 2; x < a->TextLeft() + 11 * a->CharWidth(); ++x)
            if (QColor(img.pixel(x, y)) != QColor(Qt::white)) ++shifted;
    EXPECT_GT(shifted, 10) << "the text after the composition is not shifted right";
    // The candidate window is placed at the input method's cursor, at the composition's end.
    EXPECT_EQ(a->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(),
              a->viewport()->pos().x() + a->TextLeft() + 8 * a->CharWidth());
    key("space");
    ASSERT_TRUE(waitFor([&] { return a->PreeditText() == QStringLiteral("日本語"); }))
        << a->PreeditText().toStdString();
    if (!dir.isEmpty()) shot(a).save(dir + QStringLiteral("/converting.png"));
    key("Return");
    ASSERT_TRUE(waitFor([&] { return a->PreeditText().isEmpty(); }));
    EXPECT_EQ(hex(text(a)), hex(kNihongo + "xyz\r\n"));
    a->Undo();
    EXPECT_EQ(text(a), "xyz\r\n");
    a->Redo();
    // Escape cancels a composition: nothing is inserted.
    compose(a, "kana");
    key("Escape");
    ASSERT_TRUE(waitFor([&] { return a->PreeditText().isEmpty(); }));
    wait(300);
    EXPECT_EQ(hex(text(a)), hex(kNihongo + "xyz\r\n"));
}

TEST_F(RealInputMethodTest, AClickIntoTheOtherEditorLandsTheCompositionOnceWhereItWasComposed) {
    compose(a, "atarashii");
    click(b, cell(b, 0, 0));
    wait(500);
    EXPECT_EQ(hex(text(a)), hex(kAtarashii));
    EXPECT_EQ(hex(text(b)), "");
    EXPECT_TRUE(a->PreeditText().isEmpty());
    EXPECT_TRUE(b->PreeditText().isEmpty());
    // Typing goes on in the editor clicked into.
    compose(b, "kana");
    key("Return");
    EXPECT_EQ(hex(text(b)), hex(kKana));
    EXPECT_EQ(hex(text(a)), hex(kAtarashii));
}

TEST_F(RealInputMethodTest, SwitchingToAnotherProgramKeepsTheComposition) {
    other = std::make_unique<QProcess>();
    other->start(QStringLiteral("xmessage"),
                 {QStringLiteral("-geometry"), QStringLiteral("300x120+700+100"), QStringLiteral("another program")});
    ASSERT_TRUE(other->waitForStarted(3000));
    wait(800);
    window->activateWindow();
    wait(300);
    a->setFocus();
    compose(a, "sekai");
    // A click on the other program's window, then back into the editor.
    xdo({QStringLiteral("mousemove"), QStringLiteral("760"), QStringLiteral("130"), QStringLiteral("click"),
         QStringLiteral("1")},
        800);
    click(a, cell(a, 2, 0));
    wait(500);
    EXPECT_EQ(hex(text(a)), hex(kSekai)) << "the composition must land once, never vanish";
    EXPECT_TRUE(a->PreeditText().isEmpty() || a->PreeditText() == QStringLiteral("せかい"));
}

TEST_F(RealInputMethodTest, AClickElsewhereInTheSameEditorCommitsWhereItWasComposed) {
    a->Lines().SetText("0123456789\r\n");
    a->SetRowCol(0, 2);
    compose(a, "kana");
    click(a, cell(a, 0, 8));
    wait(500);
    EXPECT_EQ(hex(text(a)), hex("01" + kKana + "23456789\r\n"));
    EXPECT_TRUE(a->PreeditText().isEmpty());
    EXPECT_EQ(a->Row(), 0);
    EXPECT_EQ(a->Col(), 8);
}

TEST_F(RealInputMethodTest, TheWaveDashArrivesAsItsCodePage932Code) {
    type("~");
    ASSERT_TRUE(waitFor([&] { return !a->PreeditText().isEmpty(); }));
    EXPECT_EQ(a->PreeditText(), QString(QChar(0x301C)));
    key("Return");
    EXPECT_EQ(hex(text(a)), "8160");
}
