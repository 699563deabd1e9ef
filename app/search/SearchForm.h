// TSearchForm: what the find and replace dialogs share: the search text with its history, the
// direction, the match-case and whole-word boxes, and the buttons OK, 履歴のクリア and キャンセル.
#pragma once

#include "FindReplace.h"
#include "HistoryCombo.h"
#include "RadioGroup.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace quire {

class TSearchForm : public QDialog {
    Q_OBJECT

public:
    THistoryCombo* ComboB_SearchText = nullptr;
    TRadioGroup* Direction = nullptr; // Rg_Derection in the find dialog, Rd_Derection in the replace dialog
    QCheckBox* CheckB_MachCase = nullptr;
    QCheckBox* CheckB_WholeWord = nullptr;
    QPushButton* Btn_Ok = nullptr;
    QPushButton* Btn_His_Clear = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    // Item 0 of the direction group.
    static constexpr int ItemTowardEnd = 0;

protected:
    TSearchForm(QWidget* Parent, TFindReplace& State, const QString& Caption, const QString& DirectionName,
                const QString& HistoryKey);

    // The group "オプション" with the two boxes.
    QGroupBox* OptionsGroup();
    // The combos whose histories are shown on activation and written on closing, search first.
    void SetCombos(std::vector<THistoryCombo*> Combos) { FCombos = std::move(Combos); }
    // The buttons enabled only while there is a search text.
    void SetSearchButtons(std::vector<QPushButton*> Buttons) { FSearchButtons = std::move(Buttons); }
    void UpdateButtons();
    // 履歴のクリア: every combo emptied, its keys written empty, the search buttons disabled.
    void Btn_His_ClearClick();
    // A direction item from the settings; anything but 0 is item 1, the design value.
    void SetDirection(int Item);
    // The direction and the two boxes from the dialog's section of the settings file;
    // MatchCaseKey is the name that section gives the match-case box.
    void ReadSearchSettings(const QString& Section, const QString& MatchCaseKey);
    // The two boxes written to the dialog's section of File.
    void WriteOptionBoxes(const QString& File, const QString& Section, const QString& MatchCaseKey) const;
    // OK's first step: false when there is no search text, else the text taken over.
    bool TakeSearchText();
    // The two boxes taken over as the options MatchCase and WholeWord.
    void TakeOptionBoxes();

    void showEvent(QShowEvent* Event) override;
    // Closing, whichever way: each combo with a text writes its history.
    void done(int Result) override;

    TFindReplace& FState;

private:
    std::vector<THistoryCombo*> FCombos;
    std::vector<QPushButton*> FSearchButtons;
    QGroupBox* FOptions = nullptr;
};

} // namespace quire
