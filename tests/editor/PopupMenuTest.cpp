// The editor's own pop-up menu: its items in order, their shortcuts, and their states.
#include "Editor.h"
#include "EditorFixture.h"
#include "EditorPopupMenu.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <gtest/gtest.h>

using namespace quire;

namespace {

class PopupMenuTest : public EditorFixture {
protected:
    // The items' captions in order, "-" for a separator.
    QStringList captions() {
        QStringList out;
        for (QAction* a : e->PopupMenu()->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    // The enabled (or, for the box item, checked) items as one letter each: U R T C P B D A K.
    std::string states() {
        auto* menu = static_cast<TEditorPopupMenu*>(e->PopupMenu());
        menu->UpdateItems();
        std::string out;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            const QChar mark = a->text().at(a->text().indexOf(QLatin1Char('&')) + 1);
            if (a->isCheckable() ? a->isChecked() : a->isEnabled()) out += static_cast<char>(mark.toLatin1());
        }
        return out;
    }
};

} // namespace

TEST_F(PopupMenuTest, ItemsInOrderWithTheirShortcuts) {
    const QStringList expected = {QStringLiteral("元に戻す(&U)"),
                                  QStringLiteral("やり直し(&R)"),
                                  QStringLiteral("-"),
                                  QStringLiteral("切り取り(&T)"),
                                  QStringLiteral("コピー(&C)"),
                                  QStringLiteral("貼り付け(&P)"),
                                  QStringLiteral("Box貼り付け(&B)"),
                                  QStringLiteral("削除(&D)"),
                                  QStringLiteral("-"),
                                  QStringLiteral("すべて選択(&A)"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Box選択モード(&K)")};
    EXPECT_EQ(captions(), expected);
    const struct {
        const char* Key;
        bool Item;
    } keys[] = {{"Ctrl+Z", true}, {"Ctrl+A", true}, {"Ctrl+X", true},  {"Ctrl+C", true},  {"Ctrl+V", true},
                {"Ctrl+B", true}, {"Ctrl+K", true}, {"Ctrl+Y", false}, {"Ctrl+D", false}, {"Z", false}};
    for (const auto& k : keys)
        EXPECT_EQ(TEditorPopupMenu::IsItemShortcut(QKeySequence(QString::fromLatin1(k.Key))), k.Item) << k.Key;
}

TEST_F(PopupMenuTest, StatesFollowTheEditor) {
    // Each row sets up the editor, then names the items enabled (and K when box mode is checked).
    const struct {
        const char* Name;
        bool Typed, Undone, Selected, Clipboard, ReadOnly, Box;
        const char* States;
    } cases[] = {
        {"empty", false, false, false, false, false, false, ""},
        {"typed", true, false, false, false, false, false, "UA"},
        {"undone", true, true, false, false, false, false, "R"},
        {"clipboard", true, false, false, true, false, false, "UPBA"},
        {"selected", true, false, true, true, false, false, "UTCPBDA"},
        {"read-only", true, false, true, true, true, false, "CA"},
        {"box", true, false, true, false, false, true, "UTCDAK"},
    };
    for (const auto& c : cases) {
        e->SetReadOnly(false);
        e->SetSelectionMode(TSelectionMode::Normal);
        e->SetLines({});
        e->EmptyUndoBuffer();
        QApplication::clipboard()->clear();
        if (c.Typed) e->TypeText("abc");
        if (c.Undone) e->Undo();
        if (c.Clipboard) QApplication::clipboard()->setText(QStringLiteral("x"));
        if (c.Selected) e->SelectAll();
        if (c.Box) e->SetSelectionMode(TSelectionMode::Box);
        e->SetReadOnly(c.ReadOnly);
        EXPECT_EQ(states(), c.States) << c.Name;
    }
}
