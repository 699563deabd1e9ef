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
}

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

    const QString file = SettingsFileName();
    SetDirection(profile::ReadInteger(file, kSection, QStringLiteral("UorD"), 1));
    CheckB_MachCase->setChecked(profile::ReadBool(file, kSection, QStringLiteral("MatchCase"), false));
    CheckB_WholeWord->setChecked(profile::ReadBool(file, kSection, QStringLiteral("WholeWord"), false));
    ComboB_SearchText->LoadHistory();
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Btn_OkClick(); });
}

void TFindForm::Btn_OkClick() {
    if (ComboB_SearchText->currentText().isEmpty()) return;
    FState.SearchText = ComboB_SearchText->currentText();
    ReportPlatformError([this] {
        const QString file = SettingsFileName();
        profile::WriteInteger(file, kSection, QStringLiteral("UorD"), Rg_Derection->ItemIndex());
        profile::WriteBool(file, kSection, QStringLiteral("MatchCase"), CheckB_MachCase->isChecked());
        profile::WriteBool(file, kSection, QStringLiteral("WholeWord"), CheckB_WholeWord->isChecked());
    });
    ComboB_SearchText->MoveTextToTop();
    FState.Options.Set(TSearchOption::Forward, Rg_Derection->ItemIndex() == ItemTowardEnd);
    FState.Options.Set(TSearchOption::MatchCase, CheckB_MachCase->isChecked());
    FState.Options.Set(TSearchOption::WholeWord, CheckB_WholeWord->isChecked());
    accept();
}

} // namespace quire
