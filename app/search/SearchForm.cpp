// TSearchForm: what the find and replace dialogs share.
#include "SearchForm.h"

#include "Dialogs.h"
#include "ObjectName.h"
#include "Profile.h"
#include "ProgramFolder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quire {

TSearchForm::TSearchForm(QWidget* Parent, TFindReplace& State, const QString& Caption, const QString& DirectionName,
                         const QString& HistoryKey)
    : QDialog(Parent), FState(State) {
    setWindowTitle(Caption);
    ComboB_SearchText = Named(new THistoryCombo(HistoryKey, this), "ComboB_SearchText");
    Direction = new TRadioGroup(QStringLiteral("検索方向"),
                                {QStringLiteral("前方検索(&U)"), QStringLiteral("後方検索(&D)")}, this);
    Direction->setObjectName(DirectionName);
    Direction->SetItemIndex(1);
    CheckB_MachCase = Named(new QCheckBox(QStringLiteral("大文字/小文字を区別する(&C)"), this), "CheckB_MachCase");
    CheckB_WholeWord = Named(new QCheckBox(QStringLiteral("単語単位で検索(&W)"), this), "CheckB_WholeWord");
    Btn_Ok = Named(new QPushButton(QStringLiteral("OK"), this), "Btn_Ok");
    Btn_Ok->setDefault(true);
    Btn_His_Clear = Named(new QPushButton(QStringLiteral("履歴のクリア(&L)"), this), "Btn_His_Clear");
    Btn_Cancel = Named(new QPushButton(QStringLiteral("キャンセル"), this), "Btn_Cancel");
    connect(Btn_His_Clear, &QPushButton::clicked, this, [this] { Btn_His_ClearClick(); });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    SetCombos({ComboB_SearchText});
    SetSearchButtons({Btn_Ok});
    connect(ComboB_SearchText, &QComboBox::editTextChanged, this, [this] { UpdateButtons(); });
}

QGroupBox* TSearchForm::OptionsGroup() {
    if (!FOptions) {
        FOptions = new QGroupBox(QStringLiteral("オプション"), this);
        auto* layout = new QVBoxLayout(FOptions);
        layout->addWidget(CheckB_MachCase);
        layout->addWidget(CheckB_WholeWord);
    }
    return FOptions;
}

void TSearchForm::SetDirection(int Item) { Direction->SetItemIndex(Item == ItemTowardEnd ? ItemTowardEnd : 1); }

void TSearchForm::ReadSearchSettings(const QString& Section, const QString& MatchCaseKey) {
    const QString file = SettingsFileName();
    SetDirection(profile::ReadInteger(file, Section, QStringLiteral("UorD"), 1));
    CheckB_MachCase->setChecked(profile::ReadBool(file, Section, MatchCaseKey, false));
    CheckB_WholeWord->setChecked(profile::ReadBool(file, Section, QStringLiteral("WholeWord"), false));
}

void TSearchForm::WriteOptionBoxes(const QString& File, const QString& Section, const QString& MatchCaseKey) const {
    profile::WriteBool(File, Section, MatchCaseKey, CheckB_MachCase->isChecked());
    profile::WriteBool(File, Section, QStringLiteral("WholeWord"), CheckB_WholeWord->isChecked());
}

bool TSearchForm::TakeSearchText() {
    if (ComboB_SearchText->currentText().isEmpty()) return false;
    FState.SearchText = ComboB_SearchText->currentText();
    return true;
}

void TSearchForm::TakeOptionBoxes() {
    FState.Options.Set(TSearchOption::MatchCase, CheckB_MachCase->isChecked());
    FState.Options.Set(TSearchOption::WholeWord, CheckB_WholeWord->isChecked());
}

void TSearchForm::UpdateButtons() {
    const bool hasText = !ComboB_SearchText->currentText().isEmpty();
    for (QPushButton* b : FSearchButtons) b->setEnabled(hasText);
}

void TSearchForm::Btn_His_ClearClick() {
    ReportPlatformError([this] {
        for (THistoryCombo* c : FCombos) c->ClearHistory();
    });
    for (QPushButton* b : FSearchButtons) b->setEnabled(false);
}

// Activation: each combo shows its newest entry; the search text is focused and selected.
void TSearchForm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    for (THistoryCombo* c : FCombos) c->setEditText(c->count() > 0 ? c->itemText(0) : QString());
    ComboB_SearchText->setFocus();
    if (QLineEdit* edit = ComboB_SearchText->lineEdit()) edit->selectAll();
    UpdateButtons();
}

void TSearchForm::done(int Result) {
    QDialog::done(Result);
    ReportPlatformError([this] {
        for (THistoryCombo* c : FCombos) c->SaveHistory();
    });
}

} // namespace quire
