// The text commands as a user reaches them in the real main window: each through its menu
// item, its popup item and its default key; the keys of the selection commands acting only
// with a selection; the tool buttons' states; the popup menu on a right click; the question of
// the full-width digits and the go-to-line dialog answered with Enter and Escape.
#include "TextCommandsFixture.h"
#include "Unit6.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

using namespace quire;
using quire::test::kEnter;
using quire::test::kEscape;

namespace {

using quire::test::sj;

class TextCommandsWindowTest : public quire::test::TextCommandsFixture {
public:
    void SetUp() override {
        TextCommandsFixture::SetUp();
        show();
    }
    // A fresh text (no undo steps), nothing selected, the caret at its start.
    void text(const std::string& t) {
        ed()->ClearSelection();
        TextCommandsFixture::text(t);
        ed()->SetRowCol(0, 0);
    }
};

// How a command is reached.
enum class TWay { MenuItem, PopupItem, Key };

const char* wayName(TWay W) {
    switch (W) {
    case TWay::MenuItem: return "menu item";
    case TWay::PopupItem: return "popup item";
    case TWay::Key: return "key";
    }
    return "";
}

// One command: its main item, its popup mirror (or none), its default key (or none), the state
// it starts from and what it must leave.
struct TCommandCase {
    const char* Item;
    const char* Popup;
    QKeyCombination Key;
    std::function<void(TextCommandsWindowTest&)> Setup;
    std::string After;
    std::optional<std::string> ClipAfter; // the bytes on the clipboard; none: not looked at
    std::string SelectedAfter = {};
};

constexpr QKeyCombination kNoKey{};

} // namespace

// Every text command of the Edit menu that changes the text or the clipboard, reached each way
// it has, from the same start: the same result whichever way.
TEST_F(TextCommandsWindowTest, EachCommandWorksThroughItsMenuItemPopupItemAndKey) {
    const auto selected = [](std::string t, int start, int length, QString c = QString()) {
        return [=](TextCommandsWindowTest& f) {
            f.text(t);
            if (!c.isNull()) setClip(c);
            f.select(start, length);
        };
    };
    const auto caretAt = [](std::string t, int row, int col, QString c) {
        return [=](TextCommandsWindowTest& f) {
            f.text(t);
            setClip(c);
            f.ed()->SetRowCol(row, col);
        };
    };
    const auto typed = [](bool undoFirst) {
        return [=](TextCommandsWindowTest& f) {
            f.text("ab");
            f.ed()->SetRowCol(0, 2);
            f.ed()->TypeText("c");
            if (undoFirst) f.ed()->Undo();
        };
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    const TCommandCase cases[] = {
        {"mm_Cut", "Pm_Cut", ctrl | Qt::Key_X, selected("abc", 0, 1, "-"), "bc", "a"},
        {"Mm_Copy", "Pm_Copy", ctrl | Qt::Key_C, selected("abc", 1, 2, "-"), "abc", "bc"},
        {"Mm_Paste", "Pm_Paste", ctrl | Qt::Key_V, caretAt("abc", 0, 3, "xy"), "abcxy", "xy"},
        {"MmPlusCut", "PmPlusCut", kNoKey, selected("abc", 0, 1, "w"), "bc", "wa"},
        {"MmPlusCopy", "PmPlusCopy", kNoKey, selected("abc", 1, 1, "w"), "abc", "wb"},
        {"MmInyoCut", "PmInyoCut", kNoKey, selected("ab\r\ncd", 0, 6, "-"), "", "> ab\r\n> cd\r\n"},
        {"MmInyoCopy", "PmInyoCopy", kNoKey, selected("abc", 0, 3, "-"), "abc", "> abc\r\n"},
        {"Mm_Inyo_Paste", "Q1", ctrl | Qt::Key_Q, caretAt("", 0, 0, "a\nb"), "> a\r\n> b\r\n", "a\r\nb\r\n"},
        {"Mm_PasteBox", "Pm_PasteBox", ctrl | Qt::Key_K, caretAt("ab\r\ncd\r\n", 0, 1, "X\nY"), "aXb\r\ncYd\r\n",
         "X\nY"},
        {"Mm_LowerCase", "Pm_LowerCase", ctrl | Qt::Key_L, selected("ABC", 0, 2), "abC", {}},
        {"Mm_UpperCase", "Pm_UpperCase", ctrlAlt | Qt::Key_L, selected("abc", 1, 2), "aBC", {}},
        {"Mm_ZenToHan", "Pm_ZenToHan", ctrl | Qt::Key_H, selected(sj("ＡＢｶﾞガ"), 0, 8), sj("ABｶﾞｶﾞ"), {}},
        {"Mm_HanToZen", "Pm_HanToZen", ctrlAlt | Qt::Key_H, selected(sj("Aｶﾞ1"), 0, 4), sj("Ａガ１"), {}},
        {"Mm_TabInd", "Pm_TabInd", Qt::Key_Tab, selected("a\r\nb\r\nc", 0, 4), "\ta\r\n\tb\r\nc", {}, "\ta\r\n\tb\r\n"},
        {"Mm_TabUnInd",
         "Pm_TabUnInd",
         Qt::ShiftModifier | Qt::Key_Backtab,
         selected("\ta\r\n\tb\r\nc", 1, 5),
         "a\r\nb\r\nc",
         {},
         "a\r\nb"},
        {"Mm_SelectAll", "Pm_SelectAll", ctrl | Qt::Key_A, selected("ab\r\nc", 0, 0), "ab\r\nc", {}, "ab\r\nc"},
        {"Mm_Undo", "Pm_Undo", ctrl | Qt::Key_Z, typed(false), "ab", {}},
        {"Mm_Redo", "Pm_Redo", ctrlAlt | Qt::Key_Z, typed(true), "abc", {}},
    };
    for (const TCommandCase& c : cases) {
        for (TWay way : {TWay::MenuItem, TWay::PopupItem, TWay::Key}) {
            if ((way == TWay::PopupItem && !c.Popup) || (way == TWay::Key && c.Key == kNoKey)) continue;
            SCOPED_TRACE(std::string(c.Item) + " through its " + wayName(way));
            focus();
            c.Setup(*this);
            // The states are current before anything opens: an item or key that needs a
            // selection finds it enabled.
            ASSERT_TRUE(item(c.Item)->isEnabled());
            if (way == TWay::MenuItem) item(c.Item)->trigger();
            if (way == TWay::PopupItem) item(c.Popup)->trigger();
            if (way == TWay::Key) press(c.Key);
            EXPECT_EQ(c.After, all());
            if (c.ClipAfter) expectClipboardHolds(*c.ClipAfter);
            if (!c.SelectedAfter.empty()) {
                EXPECT_EQ(c.SelectedAfter, ed()->SelectedText());
            }
        }
    }
}

// The items sit in the menus a user looks for them in, with the keys the key table gives.
TEST_F(TextCommandsWindowTest, TheItemsStandInTheirMenusWithTheirKeys) {
    const struct {
        const char* Item;
        const char* Menu;
        const char* Key;
    } placed[] = {
        {"mm_Cut", "編集(&E)", "Ctrl+X"},        {"Mm_Redo", "編集(&E)", "Ctrl+Alt+Z"},
        {"MmPlusCut", "その他(&O)", ""},         {"Mm_Inyo_Paste", "その他(&O)", "Ctrl+Q"},
        {"Mm_PasteBox", "その他(&O)", "Ctrl+K"}, {"Mm_int_ZenToHan", "変換(&V)", ""},
        {"Mm_TabInd", "変換(&V)", "Tab"},        {"Mm_FreeCursol", "編集(&E)", "Ctrl+Alt+F"},
        {"Mm_Box", "編集(&E)", "Ctrl+B"},        {"Mm_AutoIndent", "編集(&E)", ""},
        {"Mm_JumpRow", "検索(&S)", "Ctrl+J"},    {"Mm_GetCount", "表示(&V)", "F5"},
        {"Mm_GetSize", "表示(&V)", "F6"},        {"Mm_FileClose", "ファイル(&F)", "Ctrl+F4"},
        {"Q1", "その他(&O)", "Ctrl+Q"},
    };
    for (const auto& p : placed) {
        QAction* a = item(p.Item);
        ASSERT_NE(nullptr, a) << p.Item;
        const auto* menu = qobject_cast<QMenu*>(a->parent());
        ASSERT_NE(nullptr, menu) << p.Item;
        EXPECT_EQ(QString::fromUtf8(p.Menu), menu->title()) << p.Item;
        EXPECT_EQ(QKeySequence(QString::fromLatin1(p.Key)), a->shortcut()) << p.Item;
    }
    // The names they had before are gone.
    for (const char* old : {"C1", "Mm_Cut"})
        EXPECT_EQ(nullptr, form->findChild<QAction*>(QString::fromLatin1(old))) << old;
    // The popup's Cut stands in the window's popup menu, not in the menu bar.
    EXPECT_EQ(form->PopupMenu(), item("Pm_Cut")->parent());
}

// Without a selection the keys of the selection commands do nothing, and Tab types a tab.
TEST_F(TextCommandsWindowTest, SelectionKeysActOnlyWithASelection) {
    const QKeyCombination keys[] = {
        Qt::ControlModifier | Qt::Key_X,
        Qt::ControlModifier | Qt::Key_L,
        Qt::ControlModifier | Qt::AltModifier | Qt::Key_L,
        Qt::ControlModifier | Qt::Key_H,
        Qt::ControlModifier | Qt::AltModifier | Qt::Key_H,
    };
    text("aBc");
    ed()->SetRowCol(0, 1);
    setClip(QStringLiteral("kept"));
    for (QKeyCombination k : keys) {
        press(k);
        EXPECT_EQ("aBc", all()) << QKeySequence(k).toString().toStdString();
    }
    press(Qt::ControlModifier | Qt::Key_C);
    EXPECT_EQ(QStringLiteral("kept"), clip());
    press(QKeyCombination(Qt::Key_Tab));
    EXPECT_EQ("a\tBc", all());
    // Selected with the keyboard, the same keys act at once.
    press(Qt::ShiftModifier | Qt::Key_Right);
    press(Qt::ControlModifier | Qt::Key_L);
    EXPECT_EQ("a\tbc", all());
}

// The tool buttons share their items' states: cut and copy follow the selection, undo and redo
// the editor's undo list, without any menu opened.
TEST_F(TextCommandsWindowTest, ToolButtonsFollowTheSelectionAndTheUndoList) {
    QToolBar* bar = form->findChild<QToolBar*>();
    ASSERT_NE(nullptr, bar);
    const auto button = [&](const char* name) {
        auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(item(name)));
        EXPECT_NE(nullptr, b) << name;
        return b;
    };
    text("abc");
    EXPECT_FALSE(button("mm_Cut")->isEnabled());
    EXPECT_FALSE(button("Mm_Copy")->isEnabled());
    EXPECT_FALSE(button("Mm_Undo")->isEnabled());
    press(Qt::ShiftModifier | Qt::Key_Right);
    EXPECT_TRUE(button("mm_Cut")->isEnabled());
    EXPECT_TRUE(button("Mm_Copy")->isEnabled());
    QTest::mouseClick(button("mm_Cut"), Qt::LeftButton);
    EXPECT_EQ("bc", all());
    EXPECT_EQ(QStringLiteral("a"), clip());
    EXPECT_FALSE(button("mm_Cut")->isEnabled());
    EXPECT_TRUE(button("Mm_Undo")->isEnabled());
    EXPECT_FALSE(button("Mm_Redo")->isEnabled());
    QTest::mouseClick(button("Mm_Undo"), Qt::LeftButton);
    EXPECT_EQ("abc", all());
    EXPECT_FALSE(button("Mm_Undo")->isEnabled());
    EXPECT_TRUE(button("Mm_Redo")->isEnabled());
    QTest::mouseClick(button("Mm_Redo"), Qt::LeftButton);
    EXPECT_EQ("bc", all());
}

// A right click in any editor opens the window's popup menu with the states of that editor.
TEST_F(TextCommandsWindowTest, ARightClickOpensTheWindowsPopupMenuWithCurrentStates) {
    form->Mm_DivisionClick();
    TEditor* lower = form->Page(0).SubEditor;
    ASSERT_NE(nullptr, lower);
    lower->setFocus();
    QApplication::processEvents();
    text("abc");
    select(0, 2);
    QWidget* shown = nullptr;
    bool cutEnabled = false, lowerEnabled = false;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activePopupWidget();
        cutEnabled = item("Pm_Cut")->isEnabled();
        lowerEnabled = item("Pm_LowerCase")->isEnabled();
        if (shown) shown->close();
    });
    const QPoint at = lower->viewport()->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, lower->viewport()->mapToGlobal(at));
    QApplication::sendEvent(lower->viewport(), &event);
    EXPECT_EQ(form->PopupMenu(), shown);
    EXPECT_TRUE(cutEnabled);
    EXPECT_TRUE(lowerEnabled);
    // The popup's item works on the editor it was opened in.
    item("Pm_UpperCase")->trigger();
    EXPECT_EQ("ABc", form->Page(0).Editor->Lines().Text());
}

// 全角数字→半角数字 asks first; Enter (the default, No) and Escape change nothing, through the
// menu item and the popup item alike; Yes converts the whole text.
TEST_F(TextCommandsWindowTest, TheFullWidthDigitsQuestionWithEnterEscapeAndYes) {
    const std::string digits = sj("１a\r\n２");
    for (const char* name : {"Mm_int_ZenToHan", "Pm_int_ZenToHan"}) {
        for (int answer : {kEnter, kEscape}) {
            text(digits);
            select(0, 1);
            messages.Answers = {answer};
            item(name)->trigger();
            EXPECT_EQ(digits, all()) << name << " " << answer;
        }
        select(0, 1);
        messages.Answers = {mbYes};
        item(name)->trigger();
        EXPECT_EQ("1a\r\n2", all()) << name;
        EXPECT_FALSE(item("Mm_Undo")->isEnabled()) << name;
    }
    EXPECT_EQ(6u, messages.Questions.size());
    for (const auto& q : messages.Questions) EXPECT_EQ(int(mbNo), q.Default);
}

// Ctrl+J opens the dialog; Enter in its field takes the row, Escape leaves the caret alone, a
// text that is no number is reported and keeps the dialog open until a number comes.
TEST_F(TextCommandsWindowTest, GoToLineWithEnterAndEscape) {
    std::string t;
    for (int i = 0; i < 40; ++i) t += "row\r\n";
    text(t);
    ed()->SetRowCol(2, 1);
    const auto typeInto = [](TSetRowForm& d, const char* what, Qt::Key k) {
        d.Edit1->selectAll();
        QTest::keyClicks(d.Edit1, QString::fromLatin1(what));
        QTest::keyClick(d.Edit1, k);
    };
    bool wasOpen = false;
    dialogs.ExecScript = [&](QDialog& d) {
        auto& rows = dynamic_cast<TSetRowForm&>(d);
        typeInto(rows, "x1", Qt::Key_Return);
        wasOpen = rows.isVisible();
        typeInto(rows, "20", Qt::Key_Return);
    };
    press(Qt::ControlModifier | Qt::Key_J);
    EXPECT_EQ(1, dialogs.Execs);
    ASSERT_EQ(1, messages.Shown.size());
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("x1")));
    EXPECT_TRUE(wasOpen);
    EXPECT_EQ(19, ed()->Row());
    EXPECT_EQ(19, ed()->TopRow());
    bool closed = false;
    dialogs.ExecScript = [&](QDialog& d) {
        typeInto(dynamic_cast<TSetRowForm&>(d), "3", Qt::Key_Escape);
        closed = !d.isVisible();
    };
    item("Mm_JumpRow")->trigger();
    EXPECT_TRUE(closed);
    EXPECT_EQ(2, dialogs.Execs);
    EXPECT_EQ(19, ed()->Row());
}

// The toggles and the counts through their items and keys.
TEST_F(TextCommandsWindowTest, TogglesAndCountsThroughItemsAndKeys) {
    const bool free = ed()->Caret().FreeCaret;
    press(Qt::ControlModifier | Qt::AltModifier | Qt::Key_F);
    EXPECT_EQ(!free, ed()->Caret().FreeCaret);
    EXPECT_EQ(!free, item("Mm_FreeCursol")->isChecked());
    item("Mm_FreeCursol")->trigger();
    EXPECT_EQ(free, ed()->Caret().FreeCaret);
    const bool indent = ed()->Caret().AutoIndent;
    item("Mm_AutoIndent")->trigger();
    EXPECT_EQ(!indent, ed()->Caret().AutoIndent);
    EXPECT_EQ(!indent, item("Mm_AutoIndent")->isChecked());
    item("Mm_Box")->trigger();
    EXPECT_EQ(TSelectionMode::Box, ed()->SelectionMode());
    // While the box is on, the free caret is held on: its key does nothing.
    press(Qt::ControlModifier | Qt::AltModifier | Qt::Key_F);
    EXPECT_TRUE(ed()->Caret().FreeCaret);
    press(Qt::ControlModifier | Qt::Key_B);
    EXPECT_EQ(TSelectionMode::Normal, ed()->SelectionMode());
    EXPECT_EQ(free, ed()->Caret().FreeCaret);
    text(sj("あ a\r\nb\r\n"));
    press(QKeyCombination(Qt::Key_F5));
    EXPECT_EQ(QStringLiteral("3文字"), form->PanelText(spCaret));
    item("Mm_GetSize")->trigger();
    EXPECT_EQ(QStringLiteral("9Byte"), form->PanelText(spCaret));
    text("");
    press(QKeyCombination(Qt::Key_F6));
    EXPECT_EQ(QStringLiteral("0Byte"), form->PanelText(spCaret));
    item("Mm_GetCount")->trigger();
    EXPECT_EQ(QStringLiteral("0文字"), form->PanelText(spCaret));
}

// Redo answers Ctrl+Alt+Z; Ctrl+Y, its key of before, types nothing and redoes nothing.
TEST_F(TextCommandsWindowTest, RedoIsCtrlAltZAndNotCtrlY) {
    text("");
    press(QKeyCombination(Qt::Key_A));
    press(Qt::ControlModifier | Qt::Key_Z);
    ASSERT_EQ("", all());
    press(Qt::ControlModifier | Qt::Key_Y);
    EXPECT_EQ("", all());
    EXPECT_TRUE(item("Mm_Redo")->isEnabled());
    press(Qt::ControlModifier | Qt::AltModifier | Qt::Key_Z);
    EXPECT_EQ("a", all());
}
