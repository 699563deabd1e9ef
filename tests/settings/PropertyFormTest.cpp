// The settings dialog opened from a real main window with its menu item, driven with real
// mouse and key events: what every page shows, what OK, 反映のみ and Cancel (their buttons,
// Enter and Escape) do to the editors and the settings file, the field checks and the colour page.
#include "ColorTable.h"
#include "EditModes.h"
#include "Editor.h"
#include "Fonts.h"
#include "ProgramFolder.h"
#include "PropertyDialogSupport.h"
#include "RadioGroup.h"
#include "Settings.h"
#include "SpinEdit.h"
#include "StyleTable.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "WidgetGrab.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

using namespace quire;
using namespace quire::test;

namespace {

QByteArray fileBytes(const QString& Path) { return ReadTestFile(Path); }

TSettings settingsOfFile() {
    TSettings s;
    s.Load(SettingsFileName());
    return s;
}

QLineEdit* editOf(QWidget* Field) {
    if (auto* e = qobject_cast<QLineEdit*>(Field)) return e;
    return Field->findChild<QLineEdit*>();
}

// Types Text over what Field holds (ASCII only: keyClicks cannot type Japanese).
void type(QWidget* Field, const QString& Text) {
    Field->setFocus();
    QLineEdit* e = editOf(Field);
    e->selectAll();
    QTest::keyClicks(e, Text);
}

void key(Qt::Key Key) { QTest::keyClick(QApplication::focusWidget(), Key); }

// Types Text and leaves the field with Tab.
void typeAndLeave(QWidget* Field, const QString& Text) {
    type(Field, Text);
    key(Qt::Key_Tab);
    EXPECT_FALSE(Field->hasFocus());
}

void click(QAbstractButton* Button) {
    ASSERT_TRUE(Button->isEnabled()) << Button->objectName().toStdString();
    QTest::mouseClick(Button, Qt::LeftButton, {}, QPoint(4, Button->height() / 2));
}

void clickItem(QListWidget* List, int Row) {
    QListWidgetItem* item = List->item(Row);
    List->scrollToItem(item);
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, List->visualItemRect(item).center());
    ASSERT_EQ(List->currentRow(), Row);
}

void showPage(TPropertyForm& D, const QString& Caption) {
    for (int i = 0; i < D.PageControl->count(); ++i)
        if (D.PageControl->tabText(i) == Caption) D.PageControl->setCurrentIndex(i);
    ASSERT_EQ(D.PageControl->tabText(D.PageControl->currentIndex()), Caption);
}

// How the user closes the dialog.
enum class TClose { OkButton, Enter, ApplyOnly, CancelButton, Escape, CloseBox };

void closeWith(TPropertyForm& D, TClose How) {
    switch (How) {
    case TClose::OkButton: click(D.Btn_Ok); break;
    case TClose::ApplyOnly: click(D.Btn_NoneSave); break;
    case TClose::CancelButton: click(D.Btn_Cancel); break;
    case TClose::Enter:
        D.Edit3->setFocus(); // Enter in a field presses the default button
        key(Qt::Key_Return);
        break;
    case TClose::Escape:
        D.Edit3->setFocus();
        key(Qt::Key_Escape);
        break;
    case TClose::CloseBox: D.close(); break;
    }
}

// Settings away from every default, as a file gives them.
TSettings unusualSettings() {
    TSettings s;
    TEditorSettings& e = s.Editor;
    TMyProp& p = s.MyProp;
    e.UndoListMax = 300;
    e.TabSpaceCount = 4;
    e.FreeCaret = e.AutoIndent = e.UnderlineMark = e.WordWrap = true;
    e.WrapByte = 72;
    e.EofMark = e.RetMark = e.Mail = e.Leftbar = e.Ruler = true;
    e.Url = false;
    e.MarginLeft = 11;
    e.MarginTop = 12;
    e.MarginLine = 3;
    e.MarginCharacter = 1;
    e.WordBreak = e.FollowRetMark = e.Leading = e.FollowPunctuation = true;
    e.FollowStr = QStringLiteral("」）");
    e.LeadStr = QStringLiteral("「（");
    e.PunctuationStr = QStringLiteral("。、");
    p.QuoteColoring = false;
    p.QuoteMark = QStringLiteral("|");
    p.PasteQuoteMark = QStringLiteral("$>> $");
    p.VerticalBar = true;
    p.WheelRows = 7;
    p.BackUp = p.SizeDisplay = p.CountDisplay = p.SpaceMark = p.HSpaceMark = p.TabMark = true;
    p.ConfirmOverwrite = p.BackUpDirOn = p.AutoSave = true;
    p.BackUpDir = QStringLiteral("/tmp/bak/");
    p.BackUpGenerations = 9;
    p.AutoSaveMinutes = 45;
    p.TabPosition = TTabPosition::Right;
    p.UserStr = QStringLiteral("'");
    p.UserComment = QStringLiteral("//");
    p.UserLeftBracket = QStringLiteral("/*");
    p.UserRightBracket = QStringLiteral("*/");
    s.ToolBar = false;
    s.StatusBar = false;
    return s;
}

class PropertyFormTest : public ::testing::Test {
protected:
    void SetUp() override { InstallFontSubstitutions(); }
    // Opens the dialog with its menu item and runs Drive on it; returns the dialog's result
    // (-1 when it was left open).
    int open(TMainForm& Form, const std::function<void(TPropertyForm&)>& Drive) {
        dialogs.Drive = Drive;
        Form.Action("Mm_Property")->trigger();
        return dialogs.ExecResult;
    }
    ScriptedMessages messages;
    PropertyDialogs dialogs;
};

} // namespace

TEST_F(PropertyFormTest, TheMenuItemOpensTheDialogBesideTheWindow) {
    TMainForm form;
    form.move(100, 50);
    QAction* item = form.Action("Mm_Property");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("各種設定(&C)..."));
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Return));
    open(form, [&](TPropertyForm& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("設定"));
        EXPECT_EQ(d.pos(), form.pos() + QPoint(70, 110));
        QStringList pages;
        for (int i = 0; i < d.PageControl->count(); ++i) pages << d.PageControl->tabText(i);
        EXPECT_EQ(pages.join(QLatin1Char(',')), QStringLiteral("基本,表示,色,禁則処理,ファイル,キーワード,その他"));
        EXPECT_EQ(d.Btn_NoneSave->text(), QStringLiteral("反映のみ(&A)"));
        EXPECT_TRUE(d.Btn_Ok->isDefault());
    });
}

TEST_F(PropertyFormTest, EveryPageShowsTheSettingsInUse) {
    const TSettings s = unusualSettings();
    s.Save(SettingsFileName());
    TMainForm form;
    open(form, [&](TPropertyForm& d) {
        EXPECT_EQ(d.Edit_UndoMax->Text(), QStringLiteral("300"));
        EXPECT_EQ(d.ComboB_TabCount->currentText(), QStringLiteral("4"));
        EXPECT_EQ(d.Edit_WheelScroll->Text(), QStringLiteral("7"));
        EXPECT_EQ(d.Edit_LeftMargin->Text(), QStringLiteral("11"));
        EXPECT_EQ(d.Edit_TopMargin->Text(), QStringLiteral("12"));
        EXPECT_EQ(d.Edit_LineMargin->Text(), QStringLiteral("3"));
        EXPECT_EQ(d.Edit_CharMargin->Text(), QStringLiteral("1"));
        EXPECT_EQ(d.Edit_InyoMozi->text(), QStringLiteral(">> ")) << "shown without its quotes";
        EXPECT_EQ(d.Edit_WrapByte->Text(), QStringLiteral("72"));
        for (QCheckBox* on :
             {d.CheckB_FreeCursol, d.CheckB_AutoIndent, d.CheckB_UnderLine, d.CheckB_orWrap, d.Mark_EOF,
              d.Mark_RET,          d.CheckB_Mail,       d.Mark_Space,       d.CheckBox21,    d.CheckBox22,
              d.CheckBox10,        d.CheckBox15,        d.CheckBox3,        d.CheckBox18,    d.CheckBox19,
              d.Cek_WordWrap,      d.Cek_FollowRet,     d.Cek_Kinsoku,      d.CheckBox30,    d.CheckBox16,
              d.CheckBox1,         d.CheckBox17,        d.CheckBox23})
            EXPECT_TRUE(on->isChecked()) << on->objectName().toStdString();
        for (QCheckBox* off : {d.CheckB_URL, d.CheckBox12, d.CheckBox13, d.CheckBox14, d.CheckBox11})
            EXPECT_FALSE(off->isChecked()) << off->objectName().toStdString();
        EXPECT_EQ(d.Edit3->text(), QStringLiteral("|"));
        EXPECT_EQ(d.Edit10->text(), QStringLiteral("」）"));
        EXPECT_EQ(d.Edit11->text(), QStringLiteral("「（"));
        EXPECT_EQ(d.Edit12->text(), QStringLiteral("。、"));
        EXPECT_EQ(d.Edit8->Text(), QStringLiteral("9"));
        EXPECT_EQ(d.Edit1->text(), QStringLiteral("/tmp/bak/"));
        EXPECT_EQ(d.Edit5->Text(), QStringLiteral("45"));
        EXPECT_EQ(d.Edit2->text(), QStringLiteral("'"));
        EXPECT_EQ(d.Edit4->text(), QStringLiteral("//"));
        EXPECT_EQ(d.Edit6->text(), QStringLiteral("/*"));
        EXPECT_EQ(d.Edit7->text(), QStringLiteral("*/"));
        EXPECT_EQ(d.RG_TabPosition->ItemIndex(), 2);
    });
}

namespace {
// Changes something on every page but the colour page, by typing and clicking.
void editEveryPage(TPropertyForm& d) {
    showPage(d, QStringLiteral("基本"));
    type(d.Edit_UndoMax, QStringLiteral("200"));
    type(d.ComboB_TabCount, QStringLiteral("6"));
    type(d.Edit_WheelScroll, QStringLiteral("9"));
    type(d.Edit_LeftMargin, QStringLiteral("30"));
    type(d.Edit_InyoMozi, QStringLiteral("| "));
    click(d.CheckB_FreeCursol);
    click(d.CheckB_orWrap);
    type(d.Edit_WrapByte, QStringLiteral("60"));
    showPage(d, QStringLiteral("表示"));
    for (QCheckBox* box :
         {d.Mark_EOF, d.CheckB_URL, d.CheckBox12, d.CheckBox13, d.CheckBox10, d.CheckBox15, d.CheckBox18})
        click(box);
    type(d.Edit3, QStringLiteral("#"));
    showPage(d, QStringLiteral("禁則処理"));
    click(d.Cek_Kinsoku);
    d.Edit10->setText(QStringLiteral("」"));
    showPage(d, QStringLiteral("ファイル"));
    click(d.CheckBox16);
    type(d.Edit8, QStringLiteral("5"));
    click(d.CheckBox17);
    type(d.Edit5, QStringLiteral("30"));
    showPage(d, QStringLiteral("キーワード"));
    type(d.Edit4, QStringLiteral("#"));
    showPage(d, QStringLiteral("その他"));
    click(d.RG_TabPosition->Item(3));
}

// What editEveryPage makes of the default settings.
TSettings editedSettings() {
    TSettings s;
    s.Editor.UndoListMax = 200;
    s.Editor.TabSpaceCount = 6;
    s.MyProp.WheelRows = 9;
    s.Editor.MarginLeft = 30;
    s.MyProp.PasteQuoteMark = QStringLiteral("$| $");
    s.Editor.FreeCaret = true;
    s.Editor.WordWrap = true;
    s.Editor.WrapByte = 60;
    s.Editor.EofMark = true;
    s.Editor.Url = false;
    s.MyProp.QuoteColoring = false;
    s.ToolBar = false;
    s.MyProp.VerticalBar = true;
    s.Editor.Leftbar = true;
    s.MyProp.SizeDisplay = true;
    s.MyProp.QuoteMark = QStringLiteral("#");
    s.Editor.Leading = true;
    s.Editor.FollowStr = QStringLiteral("」");
    s.MyProp.BackUp = true;
    s.MyProp.BackUpGenerations = 5;
    s.MyProp.AutoSave = true;
    s.MyProp.AutoSaveMinutes = 30;
    s.MyProp.UserComment = QStringLiteral("#");
    s.MyProp.TabPosition = TTabPosition::Left;
    return s;
}

void expectApplied(TMainForm& form, const TSettings& s) {
    EXPECT_TRUE(form.CurrentSettings() == s);
    for (int i = 0; i < form.PageCount(); ++i)
        for (TEditor* e : {form.Page(i).Editor, form.Page(i).SubEditor}) {
            if (!e) continue;
            EXPECT_EQ(e->UndoListMax(), 200) << "page " << i;
            EXPECT_EQ(e->Caret().TabSpaceCount(), 6) << "page " << i;
            EXPECT_EQ(e->Margin().Left(), 30) << "page " << i;
            EXPECT_TRUE(e->Caret().FreeCaret) << "page " << i;
            EXPECT_TRUE(e->WordWrap()) << "page " << i;
            EXPECT_EQ(e->WrapOption().WrapByte(), 60) << "page " << i;
            EXPECT_TRUE(e->Leftbar().Visible()) << "page " << i;
            EXPECT_EQ(e->ScrollBars(), TScrollStyle::ssVertical) << "page " << i;
            EXPECT_TRUE(e->WrapOption().Leading()) << "page " << i;
        }
    EXPECT_EQ(form.PanelText(spWrap), QStringLiteral("60↓"));
    EXPECT_TRUE(form.findChild<QToolBar*>()->isHidden());
    EXPECT_EQ(form.PageControl()->tabPosition(), QTabWidget::West);
    EXPECT_TRUE(form.SaveTimer().isActive());
    EXPECT_EQ(form.SaveTimer().interval(), 30 * 60000);
    EXPECT_EQ(form.MyProp().PasteQuoteMark, QStringLiteral("$| $"));
    EXPECT_EQ(form.MyProp().UserComment, QStringLiteral("#"));
}
} // namespace

TEST_F(PropertyFormTest, OkAppliesEveryPageAndWritesTheSettingsFile) {
    for (TClose how : {TClose::OkButton, TClose::Enter}) {
        QFile::remove(SettingsFileName());
        TMainForm form;
        const int result = open(form, [&](TPropertyForm& d) {
            editEveryPage(d);
            closeWith(d, how);
        });
        EXPECT_EQ(result, QDialog::Accepted) << static_cast<int>(how);
        expectApplied(form, editedSettings());
        const TSettings written = settingsOfFile();
        EXPECT_TRUE(written == editedSettings()) << static_cast<int>(how);
        EXPECT_EQ(written.Editor.TabSpaceCount, 6);
        EXPECT_EQ(written.MyProp.PasteQuoteMark, QStringLiteral("$| $"));
        EXPECT_EQ(written.MyProp.TabPosition, TTabPosition::Left);
        EXPECT_TRUE(messages.Shown.isEmpty()) << messages.Shown.join(QLatin1Char('\n')).toStdString();
    }
}

// However many settings change, one OK writes the settings file once (it was written once
// per setting, 48 times): every time the file is put in place or written is counted.
TEST_F(PropertyFormTest, OkWritesTheSettingsFileOnce) {
    QFile::remove(SettingsFileName());
    TMainForm form;
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(QFileInfo(SettingsFileName()).absolutePath()).constData(),
                                  IN_MOVED_TO | IN_CLOSE_WRITE),
              0);
    open(form, [&](TPropertyForm& d) {
        editEveryPage(d);
        closeWith(d, TClose::OkButton);
    });
    int writes = 0;
    alignas(inotify_event) char buffer[64 * 1024];
    for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;)
        for (char* p = buffer; p < buffer + n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(p);
            if (e->len > 0 && QFile::decodeName(e->name) == QFileInfo(SettingsFileName()).fileName()) ++writes;
            p += sizeof(inotify_event) + e->len;
        }
    ::close(watch);
    EXPECT_EQ(writes, 1);
    EXPECT_TRUE(settingsOfFile() == editedSettings());
}

TEST_F(PropertyFormTest, CancelEscapeAndTheCloseBoxChangeNothing) {
    for (TClose how : {TClose::CancelButton, TClose::Escape, TClose::CloseBox}) {
        TMainForm form;
        const QByteArray before = fileBytes(SettingsFileName());
        const TSettings shown = form.CurrentSettings();
        const int result = open(form, [&](TPropertyForm& d) {
            editEveryPage(d);
            closeWith(d, how);
        });
        EXPECT_EQ(result, QDialog::Rejected) << static_cast<int>(how);
        EXPECT_TRUE(form.CurrentSettings() == shown) << static_cast<int>(how);
        EXPECT_EQ(form.Editor()->UndoListMax(), 64);
        EXPECT_FALSE(form.Editor()->WordWrap());
        EXPECT_EQ(form.PageControl()->tabPosition(), QTabWidget::North);
        EXPECT_EQ(fileBytes(SettingsFileName()), before) << static_cast<int>(how);
    }
}

TEST_F(PropertyFormTest, ApplyOnlyChangesEveryOpenEditorAndLeavesTheFile) {
    TSettings().Save(SettingsFileName());
    TMainForm form;
    form.Editor()->Lines().SetText("one");
    form.Mm_NewClick();
    form.CurrentEditor()->Lines().SetText("two");
    form.Mm_NewClick();
    ASSERT_EQ(form.PageCount(), 3);
    form.SetActivePage(1);
    form.Mm_DivisionClick(); // page 2 split: its second editor too
    ASSERT_NE(form.Page(1).SubEditor, nullptr);
    const QByteArray before = fileBytes(SettingsFileName());
    const int result = open(form, [&](TPropertyForm& d) {
        editEveryPage(d);
        closeWith(d, TClose::ApplyOnly);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    expectApplied(form, editedSettings());
    EXPECT_EQ(fileBytes(SettingsFileName()), before);
}

TEST_F(PropertyFormTest, FieldsAreBroughtIntoRangeWhenTheFocusLeaves) {
    TMainForm form;
    open(form, [&](TPropertyForm& d) {
        const std::tuple<QWidget*, const char*, const char*> cases[] = {
            {d.ComboB_TabCount, "7", "8"},     {d.ComboB_TabCount, "10", "8"},     {d.ComboB_TabCount, "1", "2"},
            {d.ComboB_TabCount, "3", "4"},     {d.Edit_UndoMax, "3", "64"},        {d.Edit_LeftMargin, "150", "100"},
            {d.Edit_CharMargin, "101", "100"}, {d.Edit_WheelScroll, "250", "250"},
        };
        for (const auto& [field, typed, kept] : cases) {
            typeAndLeave(field, QString::fromLatin1(typed));
            EXPECT_EQ(editOf(field)->text(), QString::fromLatin1(kept))
                << field->objectName().toStdString() << " " << typed;
        }
        click(d.CheckB_orWrap); // the wrap width is enabled with word wrap
        for (const auto& [typed, kept] : {std::pair{"19", "20"}, {"251", "250"}}) {
            typeAndLeave(d.Edit_WrapByte, QString::fromLatin1(typed));
            EXPECT_EQ(d.Edit_WrapByte->Text(), QString::fromLatin1(kept)) << typed;
        }
        showPage(d, QStringLiteral("ファイル"));
        click(d.CheckBox16);
        click(d.CheckBox17);
        const std::tuple<TSpinEdit*, const char*, const char*> files[] = {
            {d.Edit5, "4", "5"}, {d.Edit5, "121", "120"}, {d.Edit8, "0", "1"}, {d.Edit8, "100", "99"}};
        for (const auto& [field, typed, kept] : files) {
            typeAndLeave(field, QString::fromLatin1(typed));
            EXPECT_EQ(field->Text(), QString::fromLatin1(kept)) << field->objectName().toStdString() << " " << typed;
        }
        closeWith(d, TClose::OkButton);
    });
    const TSettings s = settingsOfFile();
    EXPECT_EQ(s.Editor.TabSpaceCount, 4);
    EXPECT_EQ(s.Editor.UndoListMax, 64);
    EXPECT_EQ(s.Editor.WrapByte, 250);
    EXPECT_EQ(s.MyProp.AutoSaveMinutes, 120);
    EXPECT_EQ(s.MyProp.BackUpGenerations, 99);
    EXPECT_TRUE(messages.Shown.isEmpty()) << messages.Shown.join(QLatin1Char('\n')).toStdString();
}

TEST_F(PropertyFormTest, OkChecksFieldsThatNeverLostTheFocus) {
    TMainForm form;
    open(form, [&](TPropertyForm& d) {
        type(d.ComboB_TabCount, QStringLiteral("7"));
        key(Qt::Key_Return);
    });
    EXPECT_EQ(form.Editor()->Caret().TabSpaceCount(), 8);
    EXPECT_EQ(settingsOfFile().Editor.TabSpaceCount, 8);
    open(form, [&](TPropertyForm& d) {
        type(d.Edit_UndoMax, QStringLiteral("3"));
        key(Qt::Key_Return);
    });
    EXPECT_EQ(settingsOfFile().Editor.UndoListMax, 64);
}

TEST_F(PropertyFormTest, ANonNumberIsReportedAndTheDialogStaysOpen) {
    TMainForm form;
    const QByteArray before = fileBytes(SettingsFileName());
    const int result = open(form, [&](TPropertyForm& d) {
        showPage(d, QStringLiteral("その他"));
        click(d.RG_TabPosition->Item(1));
        showPage(d, QStringLiteral("基本"));
        click(d.CheckB_orWrap);
        type(d.Edit_WrapByte, QStringLiteral("abc"));
        key(Qt::Key_Return); // Enter in the field: OK, which checks every field
        ASSERT_EQ(messages.Shown.size(), 1);
        EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("'abc'"))) << messages.Shown[0].toStdString();
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(d.Edit_WrapByte->hasFocus());
        EXPECT_EQ(fileBytes(SettingsFileName()), before);
        EXPECT_EQ(form.PageControl()->tabPosition(), QTabWidget::North) << "nothing applied";
        // Leaving the field reports it too; a click on OK leaves the field and stays open.
        key(Qt::Key_Tab);
        EXPECT_EQ(messages.Shown.size(), 2);
        d.Edit_WrapByte->setFocus();
        click(d.Btn_Ok);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(fileBytes(SettingsFileName()), before);
        // Mended, OK goes through.
        type(d.Edit_WrapByte, QStringLiteral("100"));
        const qsizetype shown = messages.Shown.size();
        click(d.Btn_Ok);
        EXPECT_EQ(messages.Shown.size(), shown);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(settingsOfFile().Editor.WrapByte, 100);
    EXPECT_EQ(form.PageControl()->tabPosition(), QTabWidget::South);
}

TEST_F(PropertyFormTest, OkShowsThePageOfTheWrongField) {
    TMainForm form;
    open(form, [&](TPropertyForm& d) {
        d.Edit_LineMargin->SetText(QStringLiteral("x1"));
        showPage(d, QStringLiteral("その他"));
        click(d.RG_TabPosition->Item(2));
        click(d.Btn_Ok);
        ASSERT_EQ(messages.Shown.size(), 1);
        EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("'x1'"))) << messages.Shown[0].toStdString();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.PageControl->tabText(d.PageControl->currentIndex()), QStringLiteral("基本"));
        EXPECT_TRUE(d.Edit_LineMargin->hasFocus());
        click(d.Btn_Cancel);
    });
    EXPECT_EQ(form.PageControl()->tabPosition(), QTabWidget::North);
}

TEST_F(PropertyFormTest, EnablingRules) {
    TMainForm form;
    open(form, [&](TPropertyForm& d) {
        EXPECT_FALSE(d.Edit_WrapByte->isEnabled());
        EXPECT_FALSE(d.Btn_GetColCount->isEnabled());
        click(d.CheckB_orWrap);
        EXPECT_TRUE(d.Edit_WrapByte->isEnabled());
        EXPECT_TRUE(d.Btn_GetColCount->isEnabled());
        showPage(d, QStringLiteral("禁則処理"));
        EXPECT_FALSE(d.Edit10->isEnabled());
        EXPECT_FALSE(d.Edit12->isEnabled());
        click(d.Cek_Kinsoku);
        EXPECT_TRUE(d.Edit10->isEnabled());
        EXPECT_TRUE(d.Edit11->isEnabled());
        EXPECT_FALSE(d.Edit12->isEnabled());
        click(d.CheckBox30);
        EXPECT_TRUE(d.Edit12->isEnabled());
        showPage(d, QStringLiteral("ファイル"));
        for (QWidget* w : std::initializer_list<QWidget*>{d.CheckBox1, d.Edit8, d.Edit1, d.Button1, d.Edit5})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        click(d.CheckBox16);
        EXPECT_TRUE(d.CheckBox1->isEnabled());
        EXPECT_TRUE(d.Edit8->isEnabled());
        EXPECT_FALSE(d.Edit1->isEnabled()) << "the folder waits for its own box";
        click(d.CheckBox1);
        EXPECT_TRUE(d.Edit1->isEnabled());
        EXPECT_TRUE(d.Button1->isEnabled());
        click(d.CheckBox16);
        EXPECT_FALSE(d.Edit1->isEnabled()) << "no backups, no backup folder";
        EXPECT_FALSE(d.CheckBox1->isEnabled());
        click(d.CheckBox17);
        EXPECT_TRUE(d.Edit5->isEnabled());
    });
}

TEST_F(PropertyFormTest, TheBrowseButtonFillsTheFolderWithASeparatorAtItsEnd) {
    TMainForm form;
    dialogs.Folders = {QStringLiteral("/tmp/backups"), QString()};
    open(form, [&](TPropertyForm& d) {
        showPage(d, QStringLiteral("ファイル"));
        click(d.CheckBox16);
        click(d.CheckBox1);
        click(d.Button1);
        EXPECT_EQ(d.Edit1->text(), QStringLiteral("/tmp/backups/"));
        click(d.Button1); // cancelled: the field keeps its folder
        EXPECT_EQ(d.Edit1->text(), QStringLiteral("/tmp/backups/"));
        click(d.Btn_Ok);
    });
    EXPECT_EQ(settingsOfFile().MyProp.BackUpDir, QStringLiteral("/tmp/backups/"));
    EXPECT_TRUE(form.BackupSettings().InFolder);
}

TEST_F(PropertyFormTest, CurrentWidthFillsTheWrapWidth) {
    TMainForm form;
    form.resize(700, 500);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const int cols = form.CurrentEditor()->VisibleCols();
    ASSERT_GT(cols, 20);
    open(form, [&](TPropertyForm& d) {
        click(d.CheckB_orWrap);
        click(d.Btn_GetColCount);
        EXPECT_EQ(d.Edit_WrapByte->Text(), QString::number(cols));
        click(d.Btn_Ok);
    });
    EXPECT_EQ(form.CurrentEditor()->WrapOption().WrapByte(), cols);
}

TEST_F(PropertyFormTest, TheScrollBarBoxesShowTheActiveEditorsBars) {
    TMainForm form;
    const std::tuple<TScrollStyle, bool, bool> cases[] = {{TScrollStyle::ssNone, false, false},
                                                          {TScrollStyle::ssHorizontal, false, true},
                                                          {TScrollStyle::ssVertical, true, false},
                                                          {TScrollStyle::ssBoth, true, true}};
    for (const auto& [bars, vertical, horizontal] : cases) {
        form.CurrentEditor()->SetScrollBars(bars);
        // Captured by copy: clang 14 cannot capture structured bindings.
        open(form, [&, bars = bars, vertical = vertical, horizontal = horizontal](TPropertyForm& d) {
            EXPECT_EQ(d.CheckBox10->isChecked(), vertical) << static_cast<int>(bars);
            EXPECT_EQ(d.CheckBox11->isChecked(), horizontal) << static_cast<int>(bars);
            click(d.Btn_NoneSave);
        });
        EXPECT_EQ(form.Page(0).Editor->ScrollBars(), bars);
    }
}

TEST_F(PropertyFormTest, TheColourPageShowsTheSelectedItem) {
    TMainForm form;
    open(form, [&](TPropertyForm& d) {
        showPage(d, QStringLiteral("色"));
        ASSERT_EQ(d.ListBox->count(), 37);
        EXPECT_EQ(d.ListBox->item(10)->text(), QStringLiteral("URL"));
        EXPECT_FALSE(d.Btn_ColorSelect->isEnabled());
        EXPECT_FALSE(d.Btn_Reset->isEnabled());
        EXPECT_TRUE(d.Btn_AllReset->isEnabled());
        clickItem(d.ListBox, 10);
        EXPECT_EQ(d.SwatchColor(), QColor(0, 0, 255)) << "0xFF0000 holds blue in the low-red order";
        EXPECT_TRUE(d.Cek_UnderLine->isChecked());
        EXPECT_FALSE(d.Cek_Bold->isChecked());
        EXPECT_TRUE(d.Cek_Bold->isEnabled());
        clickItem(d.ListBox, 1); // a background owns no style
        EXPECT_EQ(d.SwatchColor(), QColor(255, 255, 255));
        for (QCheckBox* box : {d.Cek_Bold, d.Cek_Italic, d.Cek_UnderLine}) {
            EXPECT_FALSE(box->isChecked());
            EXPECT_FALSE(box->isEnabled());
        }
        clickItem(d.ListBox, 15);
        EXPECT_TRUE(d.Cek_Bold->isChecked());
    });
}

TEST_F(PropertyFormTest, CancelAfterThreeColourChangesKeepsTheColoursShown) {
    for (TClose how : {TClose::CancelButton, TClose::Escape}) {
        TMainForm form;
        const TColorTable colors = form.ColorTable();
        const TStyleTable styles = form.StyleTable();
        const TColor text = form.Editor()->FontColor();
        dialogs.Colors = {QColor(0, 255, 0), QColor(255, 0, 0), QColor(1, 2, 3)};
        open(form, [&](TPropertyForm& d) {
            showPage(d, QStringLiteral("色"));
            for (int item : {0, 3, 17}) {
                clickItem(d.ListBox, item);
                click(d.Btn_ColorSelect);
            }
            EXPECT_EQ(d.SwatchColor(), QColor(1, 2, 3));
            EXPECT_EQ(form.ColorTable()[TColorIndex::Font], 0x00FF00u) << "the table changes at once";
            click(d.Cek_Italic);
            EXPECT_TRUE(form.StyleTable().Flags(TStyleSlot::DelComment).Italic);
            closeWith(d, how);
        });
        EXPECT_TRUE(form.ColorTable() == colors) << static_cast<int>(how);
        EXPECT_TRUE(form.StyleTable() == styles) << static_cast<int>(how);
        EXPECT_EQ(form.Editor()->FontColor(), text) << "the editors were not touched";
        EXPECT_FALSE(QFile::exists(SettingsFileName()) && fileBytes(SettingsFileName()).contains("[Color]"));
    }
}

TEST_F(PropertyFormTest, ChangedColoursAndStylesAreAppliedAndWrittenOnOkOnly) {
    for (TClose how : {TClose::OkButton, TClose::ApplyOnly}) {
        QFile::remove(SettingsFileName());
        TMainForm form;
        dialogs.Colors = {QColor(0, 255, 0)};
        open(form, [&](TPropertyForm& d) {
            showPage(d, QStringLiteral("色"));
            clickItem(d.ListBox, 0);
            click(d.Btn_ColorSelect);
            clickItem(d.ListBox, 15);
            click(d.Cek_Bold); // the Delphi reserved words no longer bold
            EXPECT_TRUE(d.ColorsChanged());
            EXPECT_TRUE(d.StylesChanged());
            closeWith(d, how);
        });
        EXPECT_EQ(form.Editor()->FontColor(), 0x00FF00u) << static_cast<int>(how);
        EXPECT_FALSE(form.StyleTable().Flags(TStyleSlot::DelKeyWord).Bold);
        TColorTable colors;
        colors.Load(SettingsFileName());
        TStyleTable styles;
        styles.Load(SettingsFileName());
        const bool written = how == TClose::OkButton;
        EXPECT_EQ(colors[TColorIndex::Font], written ? 0x00FF00u : 0x000000u) << static_cast<int>(how);
        EXPECT_EQ(styles.Flags(TStyleSlot::DelKeyWord).Bold, !written) << static_cast<int>(how);
    }
}

TEST_F(PropertyFormTest, TheResetButtons) {
    TMainForm form;
    dialogs.Colors = {QColor(1, 2, 3), QColor(4, 5, 6)};
    open(form, [&](TPropertyForm& d) {
        showPage(d, QStringLiteral("色"));
        // The C++ reserved words: reset plain, reset-all bold.
        clickItem(d.ListBox, 28);
        ASSERT_TRUE(d.Cek_Bold->isChecked());
        click(d.Btn_Reset);
        EXPECT_FALSE(d.Cek_Bold->isChecked());
        EXPECT_FALSE(form.StyleTable().Flags(TStyleSlot::CKeyWord).Bold);
        click(d.Btn_AllReset);
        EXPECT_TRUE(d.Cek_Bold->isChecked());
        EXPECT_TRUE(form.StyleTable().Flags(TStyleSlot::CKeyWord).Bold);
        // The selection text: its colour only, not the plain text's slot it shows.
        clickItem(d.ListBox, 0);
        click(d.Btn_ColorSelect);
        click(d.Cek_Bold);
        clickItem(d.ListBox, 2);
        click(d.Btn_ColorSelect);
        EXPECT_TRUE(d.Cek_Bold->isChecked()) << "item 2 shows slot 1";
        click(d.Btn_Reset);
        EXPECT_EQ(form.ColorTable()[TColorIndex::SelFont], 0xFFFFFFu);
        EXPECT_EQ(form.ColorTable()[TColorIndex::Font], 0x030201u);
        EXPECT_TRUE(form.StyleTable().Flags(TStyleSlot::Stand).Bold);
        EXPECT_EQ(d.SwatchColor(), QColor(255, 255, 255));
        click(d.Btn_Ok);
    });
    EXPECT_TRUE(form.StyleTable().Flags(TStyleSlot::Stand).Bold);
    TStyleTable written;
    written.Load(SettingsFileName());
    EXPECT_TRUE(written.Flags(TStyleSlot::Stand).Bold);
    EXPECT_TRUE(written.Flags(TStyleSlot::CKeyWord).Bold);
    EXPECT_FALSE(written.Flags(TStyleSlot::BasicKeyWord).Bold) << "reset-all leaves Basic plain";
}

// Every page drawn; QUIRE_SHOT_DIR keeps the pictures for a person to look at.

namespace {
QString keywordFile() { return ProgramFile(QStringLiteral("KeyWord.qre")); }

void writeBytes(const QString& Path, const QByteArray& Bytes) {
    QFile f(Path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Bytes);
}

// Types Lines into the editor after what it holds, each ended with Enter.
void typeLines(TEditor& Editor, const QStringList& Lines) {
    Editor.setFocus();
    QTest::keyClick(&Editor, Qt::Key_End, Qt::ControlModifier);
    for (const QString& line : Lines) {
        QTest::keyClicks(&Editor, line);
        QTest::keyClick(&Editor, Qt::Key_Return);
    }
}
} // namespace

TEST_F(PropertyFormTest, TheKeywordPageEditsTheUserModesWordsInKeyWordQre) {
    // "漢字" in Shift_JIS, and a file with LF line ends and an empty line.
    writeBytes(keywordFile(), QByteArray("begin\n\x8a\xbf\x8e\x9a\n\nend\n"));
    TMainForm form;
    form.ModeMenuClick(TEditMode::Yuza);
    const int result = open(form, [&](TPropertyForm& d) {
        showPage(d, QStringLiteral("キーワード"));
        TEditor& e = *d.KeyWordEditor;
        ASSERT_EQ(e.Lines().Count(), 3);
        EXPECT_EQ(e.Lines().Get(1), "\x8a\xbf\x8e\x9a");
        EXPECT_EQ(e.UndoListMax(), 64);
        EXPECT_EQ(e.contextMenuPolicy(), Qt::NoContextMenu);
        typeLines(e, {QStringLiteral("while")});
        EXPECT_TRUE(d.isVisible()) << "Enter in the word list is a new line, not OK";
        closeWith(d, TClose::OkButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(fileBytes(keywordFile()), QByteArray("begin\r\n\x8a\xbf\x8e\x9a\r\nend\r\nwhile\r\n"));
    const std::vector<std::string> words{"begin", "\x8a\xbf\x8e\x9a", "end", "while"};
    EXPECT_EQ(form.UserKeyWords(), words);
    EXPECT_TRUE(form.Editor()->ReserveWordList().Contains("while")) << "the page in mode ユーザ has it";
}

TEST_F(PropertyFormTest, CancelLeavesKeyWordQreAlone) {
    for (TClose how : {TClose::CancelButton, TClose::Escape}) {
        writeBytes(keywordFile(), QByteArray("begin\r\n"));
        TMainForm form;
        open(form, [&](TPropertyForm& d) {
            showPage(d, QStringLiteral("キーワード"));
            typeLines(*d.KeyWordEditor, {QStringLiteral("while")});
            closeWith(d, how);
        });
        EXPECT_EQ(fileBytes(keywordFile()), QByteArray("begin\r\n")) << static_cast<int>(how);
    }
}

TEST_F(PropertyFormTest, AKeyWordQreThatCannotBeReadIsToldAndNeverReplacedUnasked) {
    ASSERT_TRUE(QDir().mkpath(keywordFile())); // a folder where the file should be
    TMainForm form;
    messages.Shown.clear();
    int result = open(form, [&](TPropertyForm& d) {
        ASSERT_EQ(messages.Shown.size(), 1);
        EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("KeyWord.qre"))) << messages.Shown[0].toStdString();
        EXPECT_EQ(d.KeyWordEditor->Lines().Count(), 0);
        closeWith(d, TClose::OkButton);
    });
    EXPECT_EQ(result, QDialog::Accepted) << "the unread list is not written";
    EXPECT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(QFileInfo(keywordFile()).isDir());
    // Words typed into it are written, and when that fails the dialog keeps them.
    messages.Shown.clear();
    result = open(form, [&](TPropertyForm& d) {
        showPage(d, QStringLiteral("キーワード"));
        typeLines(*d.KeyWordEditor, {QStringLiteral("while")});
        showPage(d, QStringLiteral("その他"));
        click(d.RG_TabPosition->Item(1));
        click(d.Btn_Ok);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.PageControl->tabText(d.PageControl->currentIndex()), QStringLiteral("キーワード"));
        EXPECT_EQ(d.KeyWordEditor->Lines().Get(0), "while");
        click(d.Btn_Cancel);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(messages.Shown.size(), 2) << "the read at opening, the failed write";
    EXPECT_EQ(form.PageControl()->tabPosition(), QTabWidget::North) << "nothing applied";
}

TEST_F(PropertyFormTest, EveryPageIsDrawn) {
    writeBytes(keywordFile(), QByteArray("begin\r\nend\r\n\x8a\xbf\x8e\x9a\r\n"));
    TMainForm form;
    const QString shots = qEnvironmentVariable("QUIRE_SHOT_DIR");
    open(form, [&](TPropertyForm& d) {
        d.resize(d.sizeHint());
        for (int i = 0; i < d.PageControl->count(); ++i) {
            d.PageControl->setCurrentIndex(i);
            const QImage image = ShowAndGrab(d);
            QWidget* page = d.PageControl->widget(i);
            const QRect area(page->mapTo(&d, QPoint(0, 0)), page->size());
            EXPECT_TRUE(HasInk(image, area, image.pixel(area.topLeft()))) << d.PageControl->tabText(i).toStdString();
            if (!shots.isEmpty()) image.save(QDir(shots).filePath(QStringLiteral("property-%1.png").arg(i)));
        }
    });
}

TEST_F(PropertyFormTest, ALineBreakInATextIsReportedBeforeAnythingIsApplied) {
    for (TClose how : {TClose::OkButton, TClose::ApplyOnly}) {
        QFile::remove(SettingsFileName());
        TMainForm form;
        const QByteArray before = fileBytes(SettingsFileName());
        QApplication::clipboard()->setText(QStringLiteral("a\nb"));
        const int result = open(form, [&](TPropertyForm& d) {
            click(d.CheckB_orWrap);
            showPage(d, QStringLiteral("表示"));
            d.Edit3->setFocus();
            d.Edit3->selectAll();
            QTest::keyClick(d.Edit3, Qt::Key_V, Qt::ControlModifier);
            ASSERT_EQ(d.Edit3->text(), QStringLiteral("a\nb")) << "a pasted line break stays in the field";
            showPage(d, QStringLiteral("その他"));
            closeWith(d, how);
            ASSERT_EQ(messages.Shown.size(), 1);
            EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("改行文字"))) << messages.Shown[0].toStdString();
            EXPECT_TRUE(d.isVisible());
            EXPECT_TRUE(d.Edit3->hasFocus());
            EXPECT_EQ(d.PageControl->tabText(d.PageControl->currentIndex()), QStringLiteral("表示"));
            d.Edit3->setText(QStringLiteral("#"));
            closeWith(d, how);
        });
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_EQ(messages.Shown.size(), 1);
        messages.Shown.clear();
        EXPECT_TRUE(form.Editor()->WordWrap());
        EXPECT_EQ(form.MyProp().QuoteMark, QStringLiteral("#"));
        if (how == TClose::OkButton) {
            EXPECT_EQ(settingsOfFile().MyProp.QuoteMark, QStringLiteral("#"));
        } else {
            EXPECT_EQ(fileBytes(SettingsFileName()), before);
        }
    }
}
