// TEditorPopupMenu: the items of the editor's pop-up menu and their states.
#include "EditorPopupMenu.h"

#include "Editor.h"
#include "EditorClipboard.h"

#include <QAction>
#include <QKeySequence>

namespace quire {

namespace {

enum TPopupItem { piUndo, piRedo, piCut, piCopy, piPaste, piBoxPaste, piDelete, piSelectAll, piBoxMode };

// The items in menu order; a null caption is a separator.
struct TItemEntry {
    const char* Caption;
    const char* Shortcut;
    void (*Action)(TEditor&);
};

const TItemEntry kItems[] = {
    {"元に戻す(&U)", "Ctrl+Z", [](TEditor& e) { e.Undo(); }},
    {"やり直し(&R)", "Ctrl+A", [](TEditor& e) { e.Redo(); }},
    {nullptr, nullptr, nullptr},
    {"切り取り(&T)", "Ctrl+X", [](TEditor& e) { e.CutToClipboard(); }},
    {"コピー(&C)", "Ctrl+C", [](TEditor& e) { e.CopyToClipboard(); }},
    {"貼り付け(&P)", "Ctrl+V", [](TEditor& e) { e.PasteFromClipboard(); }},
    {"Box貼り付け(&B)", "Ctrl+B", [](TEditor& e) { e.BoxPaste(e.ClipboardBytes()); }},
    {"削除(&D)", nullptr, [](TEditor& e) { e.DeleteSelection(); }},
    {nullptr, nullptr, nullptr},
    {"すべて選択(&A)", nullptr, [](TEditor& e) { e.SelectAll(); }},
    {nullptr, nullptr, nullptr},
    {"Box選択モード(&K)", "Ctrl+K", nullptr},
};

} // namespace

TEditorPopupMenu::TEditorPopupMenu(TEditor& Editor) : QMenu(&Editor), FEditor(Editor) {
    buildItems();
    connect(this, &QMenu::aboutToShow, this, &TEditorPopupMenu::UpdateItems);
}

void TEditorPopupMenu::buildItems() {
    for (const TItemEntry& it : kItems) {
        if (!it.Caption) {
            addSeparator();
            continue;
        }
        QAction* a = addAction(QString::fromUtf8(it.Caption));
        if (it.Shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(it.Shortcut)));
        a->setShortcutContext(Qt::WidgetShortcut);
        if (it.Action) connect(a, &QAction::triggered, this, [this, f = it.Action] { f(FEditor); });
        FItems.push_back(a);
    }
    QAction* box = FItems[piBoxMode];
    box->setCheckable(true);
    connect(box, &QAction::triggered, this,
            [this](bool checked) { FEditor.SetSelectionMode(checked ? TSelectionMode::Box : TSelectionMode::Normal); });
}

void TEditorPopupMenu::UpdateItems() {
    const bool text = ClipboardHasText();
    const bool writable = !FEditor.ReadOnly();
    const bool selected = FEditor.SelLength() > 0;
    FItems[piUndo]->setEnabled(writable && FEditor.CanUndo());
    FItems[piRedo]->setEnabled(writable && FEditor.CanRedo());
    FItems[piCut]->setEnabled(selected && writable);
    FItems[piCopy]->setEnabled(selected);
    FItems[piPaste]->setEnabled(text && writable);
    FItems[piBoxPaste]->setEnabled(text && writable);
    FItems[piDelete]->setEnabled(selected && writable);
    FItems[piSelectAll]->setEnabled(FEditor.TextLength() > 0);
    FItems[piBoxMode]->setChecked(FEditor.SelectionMode() == TSelectionMode::Box);
}

bool TEditorPopupMenu::TriggerShortcut(const QKeySequence& Key) {
    UpdateItems();
    for (QAction* a : FItems) {
        if (a->shortcut() == Key && a->isEnabled()) {
            a->trigger(); // a checkable item toggles its own check
            return true;
        }
    }
    return false;
}

bool TEditorPopupMenu::IsItemShortcut(const QKeySequence& Key) {
    for (const TItemEntry& it : kItems)
        if (it.Shortcut && Key == QKeySequence(QString::fromLatin1(it.Shortcut))) return true;
    return false;
}

} // namespace quire
