// TFindForm: the find dialog.
#include "Unit4.h"

#include "Dialogs.h"
#include "Profile.h"
#include "ProgramFolder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace quire {

namespace {
const QString kSection = QStringLiteral("Serch");
const QString kMatchCaseKey = QStringLiteral("MatchCase");
} // namespace

TFindForm::TFindForm(QWidget* Parent, TFindReplace& State)
    : TSearchForm(Parent, State, QStringLiteral("検索"), QStringLiteral("Rg_Derection"), QStringLiteral("Serch")) {
    setObjectName(QStringLiteral("FindForm"));
    Rg_Derection = Direction;
    auto* label = new QLabel(QStringLiteral("検索後(&S)："), this);
    label->setBuddy(ComboB_SearchText);
    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0, 1, 2);
    layout->addWidget(ComboB_SearchText, 1, 0, 1, 2);
    layout->addWidget(Rg_Derection, 2, 0);
    layout->addWidget(OptionsGroup(), 2, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Btn_Ok);
    buttons->addWidget(Btn_His_Clear);
    buttons->addWidget(Btn_Cancel);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 2, 3, 1);

    ReadSearchSettings(kSection, kMatchCaseKey);
    ComboB_SearchText->LoadHistory();
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Btn_OkClick(); });
}

void TFindForm::Btn_OkClick() {
    if (!TakeSearchText()) return;
    ReportPlatformError([this] {
        const QString file = SettingsFileName();
        profile::WriteInteger(file, kSection, QStringLiteral("UorD"), Rg_Derection->ItemIndex());
        WriteOptionBoxes(file, kSection, kMatchCaseKey);
    });
    ComboB_SearchText->MoveTextToTop();
    FState.Options.Set(TSearchOption::Forward, Rg_Derection->ItemIndex() == ItemTowardEnd);
    TakeOptionBoxes();
    accept();
}

} // namespace quire
