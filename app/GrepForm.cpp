// TGrepForm: the dialog of ファイルから検索.
#include "GrepForm.h"

#include "Dialogs.h"
#include "Messages.h"
#include "ObjectName.h"
#include "PathCodec.h"
#include "Profile.h"
#include "ProgramFolder.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quire {

namespace {
const QString kSection = QStringLiteral("Grep");
} // namespace

const QString TGrepForm::DefaultFiles = QStringLiteral("*.txt;*.c;*.h");

TGrepForm::TGrepForm(QWidget* Parent, const QString& StartFolder) : QDialog(Parent), FStartFolder(StartFolder) {
    setObjectName(QStringLiteral("GrepForm"));
    setWindowTitle(QStringLiteral("ファイルから検索"));
    ComboB_SearchText = Named(new THistoryCombo(QStringLiteral("GSerch"), this), "ComboB_SearchText");
    ComboB_Folder = Named(new THistoryCombo(QStringLiteral("GFolder"), this), "ComboB_Folder");
    Btn_Browse = Named(new QPushButton(QStringLiteral("参照(&R)..."), this), "Btn_Browse");
    Edit_Files = Named(new QLineEdit(this), "Edit_Files");
    CheckB_SubFolder = Named(new QCheckBox(QStringLiteral("サブフォルダーも検索する(&D)"), this), "CheckB_SubFolder");
    CheckB_MachCase = Named(new QCheckBox(QStringLiteral("大文字/小文字を区別する(&C)"), this), "CheckB_MachCase");
    CheckB_WholeWord = Named(new QCheckBox(QStringLiteral("単語単位で検索(&W)"), this), "CheckB_WholeWord");
    CheckB_RegExp = Named(new QCheckBox(QStringLiteral("正規表現(&E)"), this), "CheckB_RegExp");
    Btn_Ok = Named(new QPushButton(QStringLiteral("検索"), this), "Btn_Ok");
    Btn_Ok->setDefault(true);
    Btn_His_Clear = Named(new QPushButton(QStringLiteral("履歴のクリア(&L)"), this), "Btn_His_Clear");
    Btn_Cancel = Named(new QPushButton(QStringLiteral("キャンセル"), this), "Btn_Cancel");

    auto label = [this](const QString& Text, QWidget* Buddy) {
        auto* l = new QLabel(Text, this);
        l->setBuddy(Buddy);
        return l;
    };
    auto* options = new QGroupBox(QStringLiteral("オプション"), this);
    auto* optionsLayout = new QVBoxLayout(options);
    for (QCheckBox* b : {CheckB_SubFolder, CheckB_MachCase, CheckB_WholeWord, CheckB_RegExp})
        optionsLayout->addWidget(b);
    auto* layout = new QGridLayout(this);
    layout->addWidget(label(QStringLiteral("検索語(&S)："), ComboB_SearchText), 0, 0, 1, 2);
    layout->addWidget(ComboB_SearchText, 1, 0, 1, 2);
    layout->addWidget(label(QStringLiteral("フォルダー(&F)："), ComboB_Folder), 2, 0, 1, 2);
    layout->addWidget(ComboB_Folder, 3, 0);
    layout->addWidget(Btn_Browse, 3, 1);
    layout->addWidget(label(QStringLiteral("ファイル名(&N)："), Edit_Files), 4, 0, 1, 2);
    layout->addWidget(Edit_Files, 5, 0, 1, 2);
    layout->addWidget(options, 6, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {Btn_Ok, Btn_His_Clear, Btn_Cancel}) buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 2, 7, 1);

    readSettings();
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Btn_OkClick(); });
    connect(Btn_Browse, &QPushButton::clicked, this, [this] { Btn_BrowseClick(); });
    connect(Btn_His_Clear, &QPushButton::clicked, this, [this] { Btn_His_ClearClick(); });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ComboB_SearchText, &QComboBox::editTextChanged, this, [this] { updateButtons(); });
}

void TGrepForm::readSettings() {
    const QString file = SettingsFileName();
    CheckB_SubFolder->setChecked(profile::ReadBool(file, kSection, QStringLiteral("SubFolder"), true));
    CheckB_MachCase->setChecked(profile::ReadBool(file, kSection, QStringLiteral("MatchCase"), false));
    CheckB_WholeWord->setChecked(profile::ReadBool(file, kSection, QStringLiteral("WholeWord"), false));
    CheckB_RegExp->setChecked(profile::ReadBool(file, kSection, QStringLiteral("RegExp"), false));
    Edit_Files->setText(profile::ReadString(file, kSection, QStringLiteral("Files"), DefaultFiles));
    ComboB_SearchText->LoadHistory();
    ComboB_Folder->LoadHistory();
}

void TGrepForm::writeSettings() const {
    const QString file = SettingsFileName();
    profile::WriteBool(file, kSection, QStringLiteral("SubFolder"), CheckB_SubFolder->isChecked());
    profile::WriteBool(file, kSection, QStringLiteral("MatchCase"), CheckB_MachCase->isChecked());
    profile::WriteBool(file, kSection, QStringLiteral("WholeWord"), CheckB_WholeWord->isChecked());
    profile::WriteBool(file, kSection, QStringLiteral("RegExp"), CheckB_RegExp->isChecked());
    profile::WriteString(file, kSection, QStringLiteral("Files"), Edit_Files->text());
}

QStringList TGrepForm::Globs(const QString& Text) {
    QStringList globs;
    for (const QString& g : Text.split(u';'))
        if (!g.trimmed().isEmpty()) globs << g.trimmed();
    return globs;
}

TGrepOptions TGrepForm::Options() const {
    TGrepOptions o;
    o.Pattern = ComboB_SearchText->currentText();
    o.MatchCase = CheckB_MachCase->isChecked();
    o.WholeWord = CheckB_WholeWord->isChecked();
    o.RegExp = CheckB_RegExp->isChecked();
    o.Recursive = CheckB_SubFolder->isChecked();
    o.Globs = Globs(Edit_Files->text());
    o.GlobCaseless = true;
    return o;
}

QString TGrepForm::Folder() const { return ResolveLossyPath(QDir::cleanPath(ComboB_Folder->currentText().trimmed())); }

void TGrepForm::Btn_OkClick() {
    const TGrepQuery query(Options());
    if (const QString error = query.Error(); !error.isEmpty()) {
        Messages().Show(QStringLiteral("Quire"), error, TMessageIcon::Warning);
        ComboB_SearchText->setFocus();
        return;
    }
    if (ComboB_Folder->currentText().trimmed().isEmpty() || !IsFolder(Folder())) {
        Messages().Show(QStringLiteral("Quire"),
                        QStringLiteral("フォルダーが見つかりません。\r\r") + ComboB_Folder->currentText(),
                        TMessageIcon::Warning);
        ComboB_Folder->setFocus();
        return;
    }
    ReportPlatformError([this] { writeSettings(); });
    ComboB_SearchText->MoveTextToTop();
    ComboB_Folder->setEditText(Folder());
    ComboB_Folder->MoveTextToTop();
    accept();
}

void TGrepForm::Btn_BrowseClick() {
    const QString chosen = Dialogs().ChooseFolder(this, Folder());
    if (!chosen.isEmpty()) ComboB_Folder->setEditText(chosen);
}

void TGrepForm::Btn_His_ClearClick() {
    ReportPlatformError([this] {
        ComboB_SearchText->ClearHistory();
        ComboB_Folder->ClearHistory();
    });
    updateButtons();
}

void TGrepForm::updateButtons() { Btn_Ok->setEnabled(!ComboB_SearchText->currentText().isEmpty()); }

// Activation: the newest search text, selected; the newest folder, or the page's.
void TGrepForm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    ComboB_SearchText->setEditText(ComboB_SearchText->count() > 0 ? ComboB_SearchText->itemText(0) : QString());
    ComboB_Folder->setEditText(ComboB_Folder->count() > 0 ? ComboB_Folder->itemText(0) : FStartFolder);
    ComboB_SearchText->setFocus();
    if (QLineEdit* edit = ComboB_SearchText->lineEdit()) edit->selectAll();
    updateButtons();
}

void TGrepForm::done(int Result) {
    QDialog::done(Result);
    ReportPlatformError([this] {
        ComboB_SearchText->SaveHistory();
        ComboB_Folder->SaveHistory();
    });
}

} // namespace quire
