// TPropertyForm: the settings dialog (caption "設定"), seven pages that edit the editor and
// application settings, the colours and styles, and the definitions of mode ユーザ.
#pragma once

#include "ColorTable.h"
#include "Settings.h"
#include "StyleTable.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace quire {

class TEditor;
class TPropertyHost;
class TRadioGroup;
class TSpinEdit;

// Nothing reaches the editors before OK or 反映のみ: both check the fields, write the reserved
// words of mode ユーザ, apply every page to every editor and the main window, and close; OK
// also writes the settings file. The
// colour page changes the host's colour and style tables in place; Cancel, Escape and the
// close box put them back as they were when the dialog was shown.
class TPropertyForm : public QDialog {
    Q_OBJECT

public:
    TPropertyForm(QWidget* Owner, TPropertyHost& Host);

    QTabWidget* PageControl = nullptr;
    QPushButton* Btn_Ok = nullptr;
    QPushButton* Btn_NoneSave = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    // 基本
    TSpinEdit* Edit_UndoMax = nullptr;
    QComboBox* ComboB_TabCount = nullptr;
    QComboBox* ComboB_NewCode = nullptr;    // the kanji code of a new document
    QComboBox* ComboB_NewLineEnd = nullptr; // the line end of a new document
    TSpinEdit* Edit_WheelScroll = nullptr;
    TSpinEdit* Edit_LeftMargin = nullptr;
    TSpinEdit* Edit_TopMargin = nullptr;
    TSpinEdit* Edit_LineMargin = nullptr;
    TSpinEdit* Edit_CharMargin = nullptr;
    QLineEdit* Edit_InyoMozi = nullptr;
    QCheckBox* CheckB_FreeCursol = nullptr;
    QCheckBox* CheckB_AutoIndent = nullptr;
    QCheckBox* CheckB_UnderLine = nullptr;
    QCheckBox* CheckB_orWrap = nullptr;
    TSpinEdit* Edit_WrapByte = nullptr;
    QPushButton* Btn_GetColCount = nullptr;

    // 表示
    QCheckBox* Mark_EOF = nullptr;
    QCheckBox* Mark_RET = nullptr;
    QCheckBox* CheckB_URL = nullptr;
    QCheckBox* CheckB_Mail = nullptr;
    QCheckBox* Mark_Space = nullptr;
    QCheckBox* CheckBox21 = nullptr; // tab mark
    QCheckBox* CheckBox22 = nullptr; // half-width space mark
    QCheckBox* CheckBox12 = nullptr; // quoted lines in their colour
    QLineEdit* Edit3 = nullptr;      // the quote mark
    QCheckBox* CheckBox13 = nullptr; // tool bar
    QCheckBox* CheckBox14 = nullptr; // status bar
    QCheckBox* CheckBox10 = nullptr; // vertical scroll bar
    QCheckBox* CheckBox11 = nullptr; // horizontal scroll bar
    QCheckBox* CheckBox15 = nullptr; // line-number bar
    QCheckBox* CheckBox3 = nullptr;  // column ruler
    QCheckBox* CheckBox18 = nullptr; // file size always shown
    QCheckBox* CheckBox19 = nullptr; // character count always shown

    // 色
    QListWidget* ListBox = nullptr;
    QFrame* ColorPreview = nullptr;
    QPushButton* Btn_ColorSelect = nullptr;
    QPushButton* Btn_Reset = nullptr;
    QPushButton* Btn_AllReset = nullptr;
    QCheckBox* Cek_Bold = nullptr;
    QCheckBox* Cek_Italic = nullptr;
    QCheckBox* Cek_UnderLine = nullptr;

    // 禁則処理
    QCheckBox* Cek_WordWrap = nullptr;
    QCheckBox* Cek_FollowRet = nullptr;
    QCheckBox* Cek_Kinsoku = nullptr;
    QLineEdit* Edit10 = nullptr;     // characters that may not begin a row
    QLineEdit* Edit11 = nullptr;     // characters that may not end a row
    QCheckBox* CheckBox30 = nullptr; // hanging punctuation
    QLineEdit* Edit12 = nullptr;     // the punctuation

    // ファイル
    QCheckBox* CheckBox16 = nullptr; // backups
    TSpinEdit* Edit8 = nullptr;      // backup generations
    QCheckBox* CheckBox1 = nullptr;  // backups in a folder
    QLineEdit* Edit1 = nullptr;      // the backup folder
    QPushButton* Button1 = nullptr;  // browses for it
    QCheckBox* CheckBox17 = nullptr; // auto-save
    TSpinEdit* Edit5 = nullptr;      // auto-save minutes
    QCheckBox* CheckBox23 = nullptr; // confirm overwrite-save

    // キーワード
    QLineEdit* Edit2 = nullptr; // string delimiters
    QLineEdit* Edit4 = nullptr; // line comment
    QLineEdit* Edit6 = nullptr; // multi-row comment opener
    QLineEdit* Edit7 = nullptr; // and closer
    // The reserved words of mode ユーザ, one a line, as "KeyWord.qre" holds them.
    TEditor* KeyWordEditor = nullptr;

    // その他
    TRadioGroup* RG_TabPosition = nullptr;

    // Each time the dialog is shown: the scroll-bar boxes from the active editor, the enabling
    // rules, and the snapshot of the colour and style tables that Cancel returns to.
    void FormActivate();
    // The field checks, each field brought into its range; false (the error shown, the
    // field focused) when a field holds no number.
    bool CheckFields();
    void UpdateEnabling();

    void Btn_OkClick();
    void Btn_NoneSaveClick();
    void Btn_CancelClick();
    void Btn_GetColCountClick();
    void Button1Click();

    // The colour page.
    void ListBoxClick();
    void Btn_ColorSelectClick();
    void StyleBoxClick();
    void Btn_ResetClick();
    void Btn_AllResetClick();
    bool ColorsChanged() const { return FColorsChanged; }
    bool StylesChanged() const { return FStylesChanged; }
    // The colour the swatch shows.
    QColor SwatchColor() const;

    void reject() override;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* CreateBasicPage();
    QWidget* CreateWrapGroup();
    QWidget* CreateDisplayPage();
    QWidget* CreateColorPage();
    QWidget* CreateKinsokuPage();
    QWidget* CreateFilePage();
    QWidget* CreateKeywordPage();
    QWidget* CreateOtherPage();
    QWidget* CreateButtons();
    TSpinEdit* NumberField(const QString& Name, int Min, int Max, int (*Check)(int) noexcept);
    void CheckOnFocusOut(QWidget* Field);
    bool CheckField(int Index);
    bool CheckTabCount();

    // Which control shows which setting of S, for the controls that show a setting as it is.
    struct TFieldMap {
        std::vector<std::pair<TSpinEdit*, int*>> Numbers;
        std::vector<std::pair<QCheckBox*, bool*>> Boxes;
        std::vector<std::pair<QLineEdit*, QString*>> Texts;
    };
    TFieldMap FieldsOf(TSettings& S) const;
    void LoadSettings();
    void LoadKeyWords();
    // Writes the reserved words when they may be written: not over a keyword file that could
    // not be read, unless the user has edited the list since. False when the write failed.
    bool StoreKeyWords();
    // The settings as the pages hold them (the fields checked already).
    TSettings SettingsOfControls() const;
    // Applies every page; Save also writes the settings file. False when a field is wrong.
    bool Apply(bool Save);
    void ShowColorItem(int Index);

    TPropertyHost& FHost;
    // What the dialog was opened with: the settings it does not show pass through unchanged.
    TSettings FSettings;
    TColorTable FColorSnapshot;
    TStyleTable FStyleSnapshot;
    bool FColorsChanged = false;
    bool FStylesChanged = false;
    bool FActivated = false;
    bool FChecking = false;
    // "KeyWord.qre" exists but could not be read: the empty list shown must not replace it.
    bool FKeyWordsUnread = false;

    struct TNumberField {
        TSpinEdit* Edit;
        int (*Check)(int) noexcept;
    };
    std::vector<TNumberField> FNumberFields;
    // What the enabling rules switch: the wrap width, the two rule strings, the punctuation,
    // the auto-save interval, the backup options and the backup folder, with their labels.
    std::vector<QWidget*> FWrapControls, FKinsokuControls, FPuncControls, FIntervalControls, FBackupControls,
        FFolderControls;
};

} // namespace quire
