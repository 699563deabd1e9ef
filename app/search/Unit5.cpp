// TReplaceForm: the replace dialog.
#include "Unit5.h"

#include "Dialogs.h"
#include "ObjectName.h"
#include "Profile.h"
#include "ProgramFolder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace quire {

namespace {
const QString kSection = QStringLiteral("Replace");
const QString kMatchCaseKey = QStringLiteral("MactchCase"); // the key's spelling in existing settings files
} // namespace

TReplaceForm::TReplaceForm(QWidget* Parent, TFindReplace& State)
    : TSearchForm(Parent, State, QStringLiteral("置換"), QStringLiteral("Rd_Derection"), QStringLiteral("RSerch")) {
    setObjectName(QStringLiteral("ReplaceForm"));
    Rd_Derection = Direction;
    ComboB_ReplaceText = Named(new THistoryCombo(QStringLiteral("Replace"), this), "ComboB_ReplaceText");
    CheckB_orDlg = Named(new QCheckBox(QStringLiteral("確認ダイアログの表示(&P)"), this), "CheckB_orDlg");
    CheckB_orTop = Named(new QCheckBox(QStringLiteral("ファイル先頭から(&T)"), this), "CheckB_orTop");
    Btn_AllReplace = Named(new QPushButton(QStringLiteral("すべて置換(&A)"), this), "Btn_AllReplace");

    auto* searchLabel = new QLabel(QStringLiteral("検索語(&S)："), this);
    searchLabel->setBuddy(ComboB_SearchText);
    auto* replaceLabel = new QLabel(QStringLiteral("置換語(&R)："), this);
    replaceLabel->setBuddy(ComboB_ReplaceText);
    auto* layout = new QGridLayout(this);
    layout->addWidget(searchLabel, 0, 0, 1, 3);
    layout->addWidget(ComboB_SearchText, 1, 0, 1, 3);
    layout->addWidget(replaceLabel, 2, 0, 1, 3);
    layout->addWidget(ComboB_ReplaceText, 3, 0, 1, 3);
    layout->addWidget(Rd_Derection, 4, 0);
    auto* checks = new QVBoxLayout;
    checks->addWidget(CheckB_orDlg);
    checks->addWidget(CheckB_orTop);
    checks->addStretch();
    layout->addLayout(checks, 4, 1);
    layout->addWidget(OptionsGroup(), 4, 2);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {Btn_Ok, Btn_AllReplace, Btn_His_Clear, Btn_Cancel}) buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 3, 5, 1);

    ReadSearchSettings(kSection, kMatchCaseKey);
    const QString file = SettingsFileName();
    CheckB_orTop->setChecked(profile::ReadBool(file, kSection, QStringLiteral("SearchFirst"), false));
    CheckB_orDlg->setChecked(profile::ReadBool(file, kSection, QStringLiteral("Dialog"), true));
    ComboB_SearchText->LoadHistory();
    ComboB_ReplaceText->LoadHistory();
    SetCombos({ComboB_SearchText, ComboB_ReplaceText});
    SetSearchButtons({Btn_Ok, Btn_AllReplace});
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Btn_OkClick(false); });
    connect(Btn_AllReplace, &QPushButton::clicked, this, [this] { Btn_OkClick(true); });
}

void TReplaceForm::Btn_OkClick(bool All) {
    if (!TakeSearchText()) return;
    FState.ReplaceText = ComboB_ReplaceText->currentText();
    ReportPlatformError([this] {
        const QString file = SettingsFileName();
        profile::WriteInteger(file, kSection, QStringLiteral("UorD"), Rd_Derection->ItemIndex());
        profile::WriteBool(file, kSection, QStringLiteral("SearchFirst"), CheckB_orTop->isChecked());
        WriteOptionBoxes(file, kSection, kMatchCaseKey);
        profile::WriteBool(file, kSection, QStringLiteral("Dialog"), CheckB_orDlg->isChecked());
    });
    ComboB_SearchText->MoveTextToTop();
    ComboB_ReplaceText->MoveTextToTop();
    // From the top of the file the search can only run toward the end.
    const bool towardEnd = Rd_Derection->ItemIndex() == ItemTowardEnd || CheckB_orTop->isChecked();
    FState.Options.Set(TSearchOption::Forward, towardEnd);
    FState.Options.Set(TSearchOption::Confirm, CheckB_orDlg->isChecked());
    TakeOptionBoxes();
    FState.Options.Set(TSearchOption::ReplaceAll, All);
    accept();
}

} // namespace quire
