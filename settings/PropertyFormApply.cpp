// TPropertyForm: the settings shown on the pages, the field checks, the enabling rules, and
// applying the pages with OK and 反映のみ.
#include "Unit7.h"

#include "Dialogs.h"
#include "EditModes.h"
#include "Editor.h"
#include "KeywordFile.h"
#include "Messages.h"
#include "PlatformError.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "PropertyChecks.h"
#include "PropertyHost.h"
#include "RadioGroup.h"
#include "SpinEdit.h"
#include "jconvert.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace quire {

TPropertyForm::TFieldMap TPropertyForm::FieldsOf(TSettings& S) const {
    TEditorSettings& e = S.Editor;
    TMyProp& p = S.MyProp;
    TFieldMap m;
    m.Numbers = {
        {Edit_UndoMax, &e.UndoListMax}, {Edit_WheelScroll, &p.WheelRows}, {Edit_LeftMargin, &e.MarginLeft},
        {Edit_TopMargin, &e.MarginTop}, {Edit_LineMargin, &e.MarginLine}, {Edit_CharMargin, &e.MarginCharacter},
        {Edit_WrapByte, &e.WrapByte},   {Edit8, &p.BackUpGenerations},    {Edit5, &p.AutoSaveMinutes}};
    m.Boxes = {{CheckB_FreeCursol, &e.FreeCaret},
               {CheckB_AutoIndent, &e.AutoIndent},
               {CheckB_UnderLine, &e.UnderlineMark},
               {CheckB_orWrap, &e.WordWrap},
               {Mark_EOF, &e.EofMark},
               {Mark_RET, &e.RetMark},
               {CheckB_URL, &e.Url},
               {CheckB_Mail, &e.Mail},
               {Mark_Space, &p.SpaceMark},
               {CheckBox21, &p.TabMark},
               {CheckBox22, &p.HSpaceMark},
               {CheckBox12, &p.QuoteColoring},
               {CheckBox13, &S.ToolBar},
               {CheckBox14, &S.StatusBar},
               {CheckBox10, &p.VerticalBar},
               {CheckBox11, &p.HorizontalBar},
               {CheckBox15, &e.Leftbar},
               {CheckBox3, &e.Ruler},
               {CheckBox18, &p.SizeDisplay},
               {CheckBox19, &p.CountDisplay},
               {Cek_WordWrap, &e.WordBreak},
               {Cek_FollowRet, &e.FollowRetMark},
               {Cek_Kinsoku, &e.Leading},
               {CheckBox30, &e.FollowPunctuation},
               {CheckBox16, &p.BackUp},
               {CheckBox1, &p.BackUpDirOn},
               {CheckBox17, &p.AutoSave},
               {CheckBox23, &p.ConfirmOverwrite}};
    m.Texts = {{Edit3, &p.QuoteMark},       {Edit10, &e.FollowStr},      {Edit11, &e.LeadStr},
               {Edit12, &e.PunctuationStr}, {Edit1, &p.BackUpDir},       {Edit2, &p.UserStr},
               {Edit4, &p.UserComment},     {Edit6, &p.UserLeftBracket}, {Edit7, &p.UserRightBracket}};
    return m;
}

void TPropertyForm::LoadSettings() {
    FSettings = FHost.CurrentSettings();
    TSettings s = FSettings;
    const TFieldMap m = FieldsOf(s);
    for (const auto& [edit, field] : m.Numbers) edit->SetValue(*field);
    for (const auto& [box, field] : m.Boxes) box->setChecked(*field);
    for (const auto& [edit, field] : m.Texts) edit->setText(*field);
    ComboB_TabCount->setCurrentText(QString::number(s.Editor.TabSpaceCount));
    Edit_InyoMozi->setText(DollarUnquoted(s.MyProp.PasteQuoteMark));
    RG_TabPosition->SetItemIndex(static_cast<int>(s.MyProp.TabPosition));
    // A variant of a code (UTF-16 without the byte order mark) shows as its code.
    ComboB_NewCode->setCurrentText(QString::fromLatin1(jconvert::ShownCodeName(s.MyProp.NewKanjiCode.toStdString())));
    ComboB_NewLineEnd->setCurrentText(s.MyProp.NewLineEnd);
}

TSettings TPropertyForm::SettingsOfControls() const {
    TSettings s = FSettings;
    const TFieldMap m = FieldsOf(s);
    for (const auto& [edit, field] : m.Numbers) *field = edit->Value();
    for (const auto& [box, field] : m.Boxes) *field = box->isChecked();
    for (const auto& [edit, field] : m.Texts) *field = edit->text();
    s.Editor.TabSpaceCount = FieldNumber(ComboB_TabCount->currentText());
    s.MyProp.PasteQuoteMark = DollarQuoted(Edit_InyoMozi->text());
    s.MyProp.TabPosition = static_cast<TTabPosition>(std::max(0, RG_TabPosition->ItemIndex()));
    s.MyProp.NewKanjiCode = ComboB_NewCode->currentText();
    s.MyProp.NewLineEnd = ComboB_NewLineEnd->currentText();
    return s;
}

void TPropertyForm::LoadKeyWords() {
    try {
        if (const auto words = ReadKeywordFile(ProgramFile(UserKeywordFileName))) {
            KeyWordEditor->SetLines(*words);
            KeyWordEditor->SetModified(false);
        }
    } catch (const EPlatformError& e) {
        FKeyWordsUnread = true;
        Tell(QString::fromUtf8(e.what()));
    }
}

bool TPropertyForm::StoreKeyWords() {
    if (FKeyWordsUnread && !KeyWordEditor->Modified()) return true;
    if (!FHost.SetUserKeyWords(KeywordsOfText(KeyWordEditor->GetText()))) return false;
    FKeyWordsUnread = false;
    return true;
}

void TPropertyForm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FormActivate();
}

// Only the first activation reads the scroll bars and takes the snapshot: the dialog is
// activated again when the colour picker or a message closes, and taking the snapshot then
// would make Cancel keep the colours chosen meanwhile.
void TPropertyForm::FormActivate() {
    if (FActivated) return;
    FActivated = true;
    const TScrollStyle bars = FHost.ActiveEditor().ScrollBars();
    CheckBox10->setChecked(bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth);
    CheckBox11->setChecked(bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth);
    UpdateEnabling();
    FColorSnapshot = FHost.ColorTable();
    FStyleSnapshot = FHost.StyleTable();
}

void TPropertyForm::UpdateEnabling() {
    const auto enable = [](const std::vector<QWidget*>& Controls, bool On) {
        for (QWidget* w : Controls) w->setEnabled(On);
    };
    enable(FWrapControls, CheckB_orWrap->isChecked());
    enable(FKinsokuControls, Cek_Kinsoku->isChecked());
    enable(FPuncControls, CheckBox30->isChecked());
    enable(FIntervalControls, CheckBox17->isChecked());
    enable(FBackupControls, CheckBox16->isChecked());
    enable(FFolderControls, CheckBox16->isChecked() && CheckBox1->isChecked());
}

// A field is checked when the focus leaves it; Enter in a field goes on to OK, which checks
// every field, so that a wrong number is reported once.
void TPropertyForm::CheckOnFocusOut(QWidget* Field) {
    const auto check = [this, Field] {
        if (FChecking || Field->hasFocus()) return;
        if (Field == ComboB_TabCount) {
            CheckTabCount();
            return;
        }
        for (size_t i = 0; i < FNumberFields.size(); ++i)
            if (FNumberFields[i].Edit == Field) CheckField(static_cast<int>(i));
    };
    if (auto* spin = qobject_cast<TSpinEdit*>(Field))
        connect(spin, &QAbstractSpinBox::editingFinished, this, check);
    else if (auto* combo = qobject_cast<QComboBox*>(Field))
        connect(combo->lineEdit(), &QLineEdit::editingFinished, this, check);
}

bool TPropertyForm::CheckField(int Index) {
    // The error box takes the focus from the field: that must not check it a second time.
    const QScopedValueRollback<bool> checking(FChecking, true);
    const TNumberField& f = FNumberFields.at(static_cast<size_t>(Index));
    return ReportPlatformError([&f] { f.Edit->SetValue(f.Check(f.Edit->Value())); });
}

bool TPropertyForm::CheckTabCount() {
    const QScopedValueRollback<bool> checking(FChecking, true);
    return ReportPlatformError([this] {
        ComboB_TabCount->setCurrentText(
            QString::number(quire::CheckTabCount(FieldNumber(ComboB_TabCount->currentText()))));
    });
}

bool TPropertyForm::CheckFields() {
    const auto fail = [this](QWidget* Field) {
        for (QWidget* w = Field; w; w = w->parentWidget())
            if (PageControl->indexOf(w) >= 0) PageControl->setCurrentWidget(w);
        Field->setFocus();
        return false;
    };
    for (size_t i = 0; i < FNumberFields.size(); ++i)
        if (!CheckField(static_cast<int>(i))) return fail(FNumberFields[i].Edit);
    if (!CheckTabCount()) return fail(ComboB_TabCount);
    // The texts go to the settings file one a line.
    TSettings scratch;
    std::vector<std::pair<QLineEdit*, QString*>> texts = FieldsOf(scratch).Texts;
    texts.emplace_back(Edit_InyoMozi, nullptr);
    for (const auto& [edit, field] : texts)
        if (!ReportPlatformError([edit = edit] { CheckSettingText(edit->text()); })) return fail(edit);
    return true;
}

bool TPropertyForm::Apply(bool Save) {
    if (!CheckFields()) return false;
    // The words first: when their file cannot be written the dialog stays open with them, and
    // nothing else has been applied yet.
    if (!StoreKeyWords()) {
        PageControl->setCurrentWidget(KeyWordEditor->parentWidget());
        return false;
    }
    const TSettings s = SettingsOfControls();
    FHost.ApplySettings(s);
    const QString file = SettingsFileName();
    if (FColorsChanged) FHost.ApplyColorsToAll();
    if (FStylesChanged) FHost.ApplyStylesToAll();
    if (Save)
        ReportPlatformError([&] {
            // Every setting, colour and style goes into the file in one write.
            profile::TBatch batch(file);
            s.Save(file);
            if (FColorsChanged) FHost.ColorTable().Save(file);
            if (FStylesChanged) FHost.StyleTable().Save(file);
            batch.Commit();
        });
    FColorsChanged = FStylesChanged = false;
    return true;
}

void TPropertyForm::Btn_OkClick() {
    if (Apply(true)) accept();
}

void TPropertyForm::Btn_NoneSaveClick() {
    if (Apply(false)) accept();
}

void TPropertyForm::Btn_CancelClick() { reject(); }

void TPropertyForm::reject() {
    FHost.ColorTable() = FColorSnapshot;
    FHost.StyleTable() = FStyleSnapshot;
    QDialog::reject();
}

void TPropertyForm::Btn_GetColCountClick() { Edit_WrapByte->SetValue(FHost.ActiveEditor().VisibleCols()); }

void TPropertyForm::Button1Click() {
    const QString folder = Dialogs().ChooseFolder(this, Edit1->text());
    if (folder.isEmpty()) return;
    // The folder is kept with a separator at its end, as backups are named by appending to it.
    Edit1->setText(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

} // namespace quire
