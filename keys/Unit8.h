// TFrmKeyCosm: the dialog in which the user gives each command of the main menu its shortcut key.
#pragma once

#include "CostumKey.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace quire {

// Changes made here reach the menu items at once. OK also writes them to "Key.dat"; Cancel
// restores every shortcut from the file; closing the window any other way (the close box,
// Escape) keeps the changes in the running program without writing them.
class TFrmKeyCosm : public QDialog {
    Q_OBJECT

public:
    // Owner is the main window; Lookup finds its menu items by name.
    TFrmKeyCosm(QWidget* Owner, TActionLookup Lookup);

    // The command tree: the 7 groups, their sub-groups and one node per command, in table order.
    QTreeWidget* TreeView1 = nullptr;
    QLabel* Label4 = nullptr; // the selected command's current shortcut
    QComboBox* ComboBox1 = nullptr;
    QCheckBox* CheckBox1 = nullptr; // Shift
    QCheckBox* CheckBox2 = nullptr; // Ctrl
    QCheckBox* CheckBox3 = nullptr; // Alt
    QPushButton* btnKeySet = nullptr;
    QPushButton* btnKeyClear = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // The command of the selected node; -1 for a group node or no selection.
    int SelectedCommand() const;
    // The shortcut text command Index has now (empty for none).
    const QString& CommandText(int Index) const { return FTexts.at(static_cast<size_t>(Index)); }

    void FormActivate();
    void TreeView1Change();
    // Assigns (Sender btnKeySet) or clears (Sender btnKeyClear) the selected command's key.
    void btnKeySetClick(QObject* Sender);
    void btnOkClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void CreateControls();
    void LayOutControls(QLabel* TreeLabel, QLabel* KeyLabel);
    void FillTree();
    void SetCommandControlsEnabled(bool Enabled);

    TActionLookup FLookup;
    // The current text of every command: from its menu item, or from "Key.dat" for a command
    // whose item the window does not have, so that OK never writes away a stored key.
    std::array<QString, KeyCommandCount> FTexts;
};

} // namespace quire
