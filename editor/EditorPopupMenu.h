// TEditorPopupMenu: the editor's own pop-up menu, its eleven items and their shortcuts.
#pragma once

#include <QMenu>
#include <vector>

class QAction;
class QKeySequence;

namespace quire {

class TEditor;

class TEditorPopupMenu : public QMenu {
    Q_OBJECT

public:
    explicit TEditorPopupMenu(TEditor& Editor);

    // Sets the items' enabled and checked states from the editor (done just before it opens).
    void UpdateItems();
    // Triggers the enabled item whose shortcut is Key, after updating the states; false when
    // no enabled item has it.
    bool TriggerShortcut(const QKeySequence& Key);
    // True when Key is the shortcut of one of the items.
    static bool IsItemShortcut(const QKeySequence& Key);

private:
    void buildItems();

    TEditor& FEditor;
    std::vector<QAction*> FItems;
};

} // namespace quire
