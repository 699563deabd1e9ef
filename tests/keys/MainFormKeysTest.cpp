// The key table in the real main window: applied at start, pressed keys firing commands, and
// the menu item that opens the dialog.
#include "Editor.h"
#include "KeyTestSupport.h"
#include "Profile.h"
#include "ShortcutText.h"
#include "Unit1.h"
#include "Unit8.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>

using namespace quire;
using namespace quire::test;

namespace {

class MainFormKeysTest : public ::testing::Test {
protected:
    void start() {
        form = std::make_unique<TMainForm>();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->Editor()->setFocus();
        QApplication::processEvents();
    }
    QString text() { return QString::fromStdString(form->Editor()->Lines().Text()); }
    RecordedMessages messages;
    std::unique_ptr<TMainForm> form;
};

} // namespace

TEST_F(MainFormKeysTest, WithoutKeyDatTheWindowStartsWithTheDefaults) {
    start();
    int present = 0;
    for (const TKeyCommand& c : KeyCommands()) {
        const QAction* a = form->findChild<QAction*>(QString::fromLatin1(c.MenuItem));
        if (!a) continue;
        ++present;
        EXPECT_EQ(QString::fromLatin1(c.Default), ShortcutToText(a->shortcut())) << c.MenuItem;
    }
    EXPECT_GE(present, 67); // all but 各種設定, which the settings dialog will bring
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z), form->Action("Mm_Redo")->shortcut());
    EXPECT_EQ(QKeySequence(Qt::Key_F9), form->Action("Mm_Division")->shortcut());
    EXPECT_FALSE(QFileInfo::exists(KeyFileName()));
}

TEST_F(MainFormKeysTest, AnEmptyUndoInKeyDatLeavesUndoWithoutAKey) {
    WriteKeyFile("[Edit]\nUndo=\n");
    start();
    EXPECT_TRUE(form->Action("Mm_Undo")->shortcut().isEmpty());
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_C), form->Action("Mm_Copy")->shortcut());
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_N), form->Action("Mm_New")->shortcut());
}

TEST_F(MainFormKeysTest, PressedShortcutsFireTheirCommands) {
    start();
    QTest::keyClick(form->Editor(), Qt::Key_F9);
    EXPECT_TRUE(form->Page(0).Divided);
    QTest::keyClick(form->Editor(), Qt::Key_F9);
    EXPECT_FALSE(form->Page(0).Divided);
    QTest::keyClick(form->Editor(), Qt::Key_A);
    ASSERT_EQ(QStringLiteral("a"), text());
    QTest::keyClick(form->Editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(QString(), text());
    QTest::keyClick(form->Editor(), Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(QStringLiteral("a"), text());
}

// After F9 splits the page the keys still reach its editor (moved into the splitter, it had
// lost the focus and typing went nowhere).
TEST_F(MainFormKeysTest, TypingGoesOnAfterTheSplit) {
    start();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
    ASSERT_TRUE(form->Page(0).Divided);
    EXPECT_EQ(QApplication::focusWidget(), form->Editor());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ab"));
    EXPECT_EQ(QStringLiteral("ab"), text());
}

TEST_F(MainFormKeysTest, KeysFromKeyDatReplaceTheDefaults) {
    WriteKeyFile("[Window]\nDivision=Ctrl+D\n");
    start();
    QTest::keyClick(form->Editor(), Qt::Key_F9);
    EXPECT_FALSE(form->Page(0).Divided);
    QTest::keyClick(form->Editor(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(form->Page(0).Divided);
}

// Every save code and line end of the File menu can carry a key: each item has its row in
// the key table, and a key from "Key.dat" reaches it and chooses the code.
TEST_F(MainFormKeysTest, EverySaveCodeItemTakesAKeyFromKeyDat) {
    WriteKeyFile("[File]\nUTF-8=Ctrl+8\nUTF-8BOM=Shift+Ctrl+8\n");
    start();
    for (const char* submenu : {"Mm_KanjiCode", "Mm_LineEnd"}) {
        const QMenu* menu = form->findChild<QMenu*>(QString::fromLatin1(submenu));
        ASSERT_NE(nullptr, menu) << submenu;
        for (const QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            const bool inTable = std::any_of(KeyCommands().begin(), KeyCommands().end(), [&](const TKeyCommand& c) {
                return a->objectName() == QLatin1String(c.MenuItem);
            });
            EXPECT_TRUE(inTable) << a->objectName().toStdString() << " has no row in the key table";
        }
    }
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_8), form->Action("Mm_UTF8")->shortcut());
    EXPECT_EQ(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_8), form->Action("Mm_UTF8BOM")->shortcut());
    QTest::keyClick(form->Editor(), Qt::Key_8, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("UTF-8"), form->Page(0).KanjiCode);
}

TEST_F(MainFormKeysTest, TheSettingsMenuOpensTheDialogBesideTheWindow) {
    start();
    QAction* item = form->Action("MmKey");
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(QStringLiteral("キーカスタマイズ(&K)..."), item->text());
    QMenu* menu = qobject_cast<QMenu*>(item->parent());
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(QStringLiteral("設定(&O)"), menu->title());
    // The settings menu stands between the window menu and the help menu.
    QStringList titles;
    for (const QAction* a : form->menuBar()->actions()) titles << a->text();
    const qsizetype at = titles.indexOf(menu->title());
    ASSERT_GT(at, 0);
    EXPECT_EQ(QStringLiteral("ウィンドウ(&W)"), titles.value(at - 1));
    EXPECT_EQ(QStringLiteral("ヘルプ(&H)"), titles.value(at + 1));
    form->move(40, 30);
    QPoint placed;
    bool parented = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TFrmKeyCosm*>(QApplication::activeModalWidget());
        if (!dialog) return;
        placed = dialog->pos();
        parented = dialog->parentWidget() == form.get();
        // A change made in the dialog reaches the window's own item.
        const auto found =
            dialog->TreeView1->findItems(QStringLiteral("画面分割"), Qt::MatchExactly | Qt::MatchRecursive);
        if (found.size() != 1) return;
        dialog->TreeView1->setCurrentItem(found.front());
        dialog->btnKeySetClick(dialog->btnKeyClear);
        dialog->btnOkClick();
    });
    item->trigger();
    EXPECT_EQ(QPoint(form->x() + 70, form->y() + 110), placed);
    EXPECT_TRUE(parented);
    EXPECT_TRUE(form->Action("Mm_Division")->shortcut().isEmpty());
    EXPECT_EQ(QString(), profile::ReadString(KeyFileName(), "Window", "Division", "absent"));
    EXPECT_EQ(nullptr, form->findChild<TFrmKeyCosm*>()); // released when it closed
}

// A key given to Cut in the dialog reaches the editors' popup item too, and the pressed key
// cuts in the window; the old key cuts no more.
TEST_F(MainFormKeysTest, CutsNewKeyReachesThePopupAndCutsInTheWindow) {
    start();
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TFrmKeyCosm*>(QApplication::activeModalWidget());
        if (!dialog) return;
        const auto found =
            dialog->TreeView1->findItems(QStringLiteral("切り取り"), Qt::MatchExactly | Qt::MatchRecursive);
        if (found.size() != 1) return;
        dialog->TreeView1->setCurrentItem(found.front());
        dialog->CheckBox2->setChecked(true);
        dialog->CheckBox3->setChecked(true);
        dialog->ComboBox1->setCurrentText(QStringLiteral("X"));
        dialog->btnKeySetClick(dialog->btnKeySet);
        dialog->btnOkClick();
    });
    form->Action("MmKey")->trigger();
    const QKeySequence altered(Qt::CTRL | Qt::ALT | Qt::Key_X);
    EXPECT_EQ(altered, form->Action("mm_Cut")->shortcut());
    EXPECT_EQ(altered, form->Action("Pm_Cut")->shortcut());
    // Without a window manager the window is activated again by hand.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Editor()->setFocus();
    QApplication::processEvents();
    QTest::keyClick(form->Editor(), Qt::Key_A);
    QTest::keyClick(form->Editor(), Qt::Key_B);
    QTest::keyClick(form->Editor(), Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(form->Editor(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("ab"), text());
    QTest::keyClick(form->Editor(), Qt::Key_X, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(QStringLiteral("a"), text());
    EXPECT_EQ(QStringLiteral("b"), QApplication::clipboard()->text());
}
