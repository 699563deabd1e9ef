// The print dialog driven through its controls, and the main window's print command.
#include "PdfWords.h"
#include "PrintFixture.h"

#include "Dialogs.h"
#include "Editor.h"
#include "Fonts.h"
#include "InstalledDouble.h"
#include "Printer.h"
#include "PrinterStore.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "StrPprog.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "WidgetGrab.h"
#include "strpefm.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <deque>
#include <functional>

using namespace quire;
using namespace quire::test;

namespace {

// Answers the PDF file question with the queued names (cancels when none is left).
class PrintDialogs : public test::TInstalledDouble<TDialogService, &SetDialogs> {
public:
    QString OpenFileName(QWidget*, const QString&) override { return QString(); }
    QString SaveFileName(QWidget*, const QString&, const QString&) override { return QString(); }
    bool ChooseFont(QWidget*, QFont&) override { return false; }
    QString PrintFileName(QWidget*, const QString& Suggested) override {
        Suggestions << Suggested;
        if (Files.empty()) return QString();
        QString f = Files.front();
        Files.pop_front();
        return f;
    }
    bool PrinterSetup(QWidget*, QPrinter& Printer) override {
        Printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    }
    std::deque<QString> Files;
    QStringList Suggestions;
};

QByteArray settingsBytes() {
    QFile f(SettingsFileName());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no file>");
}

// Near the left edge: check boxes and radio buttons answer only over their box and text.
void click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(std::min(8, w->width() / 2), w->height() / 2));
}

QRadioButton* item(QGroupBox* group, int index) {
    return static_cast<QRadioButton*>(group->findChild<QButtonGroup*>()->button(index));
}

// Replaces a spin edit's text by typing, as the user does.
void type(QSpinBox* spin, int value) {
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(value));
}

void type(QLineEdit* edit, const QString& ascii) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, ascii);
}

// Runs Action on the print dialog once it is shown modally by Command.
void whileDialogShown(const std::function<void()>& Command, const std::function<void(TFormStringsPrint&)>& Action) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* d = qobject_cast<TFormStringsPrint*>(modal)) {
            seen = true;
            Action(*d);
        }
        if (modal && modal->isVisible()) modal->close();
    });
    Command();
    EXPECT_TRUE(seen);
}

class PrintDialogTest : public PrintFixture {
protected:
    void SetUp() override {
        PrintFixture::SetUp();
        SetUpFilePrinter(Printer()); // the process's printer, as with no printer installed
    }
    PrintDialogs dialogs;
    TPrintLines lines = NumberedLines(3, "line");
};

} // namespace

TEST_F(PrintDialogTest, ShowsTheOptionsItWasGiven) {
    printer->SetMarginLeft(12);
    printer->SetMarginBottom(34);
    printer->SetColumnCount(2);
    printer->SetColumnSpace(7);
    printer->SetLineNumber(true);
    printer->SetHeader(QStringLiteral("%F"));
    printer->SetHeaderAlign(TStringsPrinterHeaderAlign::haRight);
    printer->SetFooterAlign(TStringsPrinterHeaderAlign::haCenter);
    TFormStringsPrint d;
    d.Setup(*printer, &lines);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("印刷"));
    EXPECT_EQ(d.SpinEdit1->value(), 12);
    EXPECT_EQ(d.SpinEdit4->value(), 34);
    EXPECT_EQ(TFormStringsPrint::ItemIndex(d.RadioGroup1), 1);
    EXPECT_EQ(d.SpinEdit5->value(), 7);
    EXPECT_TRUE(d.CheckBox1->isChecked());
    EXPECT_EQ(TFormStringsPrint::ItemIndex(d.RadioGroup2), 3);
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("%F"));
    EXPECT_EQ(TFormStringsPrint::ItemIndex(d.RadioGroup3), 2);
    EXPECT_EQ(d.ComboBox1->currentText(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(d.ComboBox2->currentText(), QStringLiteral("9"));
    EXPECT_EQ(d.ComboBox2->count(), 25);
    for (int i = 0; i < d.ComboBox1->count(); ++i) EXPECT_FALSE(d.ComboBox1->itemText(i).startsWith(QLatin1Char('@')));
    EXPECT_EQ(d.Label5->text(), FilePrinterName());
    EXPECT_EQ(d.Label6->text(), QStringLiteral("poPortrait"));
    EXPECT_EQ(d.Label12->text(), QStringLiteral("DMPAPER_A4"));
    EXPECT_EQ(d.Button5->text(), QStringLiteral("印刷(&X)"));
    EXPECT_TRUE(d.Button5->isDefault());
    EXPECT_TRUE(d.Button6->isEnabled());
    KeepShot(ShowAndGrab(d), QStringLiteral("print-dialog.png"));
    // Showing the options did not change the copy.
    EXPECT_EQ(d.StringsPrinter1.MarginLeft(), 12);
    EXPECT_EQ(d.StringsPrinter1.Font().family(), QStringLiteral("ＭＳ Ｐゴシック"));

    TFormStringsPrint without;
    without.Setup(*printer, nullptr);
    EXPECT_FALSE(without.Button4->isEnabled());
    EXPECT_FALSE(without.Button5->isEnabled());
    EXPECT_FALSE(without.Button6->isEnabled());
    EXPECT_FALSE(ShowPrintDialog(nullptr, lines, nullptr));
}

TEST_F(PrintDialogTest, EveryChangeReachesTheCopyAtOnceAndPrinterSetupRefreshesTheLabels) {
    TFormStringsPrint d;
    d.Setup(*printer, &lines);
    d.show();
    type(d.SpinEdit1, 25);
    type(d.SpinEdit3, 100);
    type(d.SpinEdit5, 0);
    click(item(d.RadioGroup1, 2));
    click(d.CheckBox1);
    click(item(d.RadioGroup2, 1));
    type(d.Edit1, QStringLiteral("%F / %p"));
    click(item(d.RadioGroup3, 3));
    type(d.Edit2, QStringLiteral("end"));
    d.ComboBox2->setCurrentText(QStringLiteral("14"));
    const TStringsPrinter& c = d.StringsPrinter1;
    EXPECT_EQ(c.MarginLeft(), 25);
    EXPECT_EQ(c.MarginTop(), 100);
    EXPECT_EQ(c.ColumnSpace(), 0);
    EXPECT_EQ(c.ColumnCount(), 3);
    EXPECT_TRUE(c.LineNumber());
    EXPECT_EQ(c.HeaderAlign(), TStringsPrinterHeaderAlign::haLeft);
    EXPECT_EQ(c.Header(), QStringLiteral("%F / %p"));
    EXPECT_EQ(c.FooterAlign(), TStringsPrinterHeaderAlign::haRight);
    EXPECT_EQ(c.Footer(), QStringLiteral("end"));
    EXPECT_EQ(c.Font().pointSize(), 14);
    // The original is untouched until the dialog closes with OK.
    EXPECT_EQ(printer->MarginLeft(), 0);

    click(d.Button4);
    EXPECT_EQ(d.Label6->text(), QStringLiteral("poLandscape"));
    Printer().setPageOrientation(QPageLayout::Portrait);
}

TEST_F(PrintDialogTest, PrintWritesThePdfClosesWithOkAndSavesTheOptions) {
    TFormStringsPrint d;
    printer->SetFileName(dir.filePath(QStringLiteral("doc.txt")));
    d.Setup(*printer, &lines);
    d.SpinEdit2->setValue(17);
    dialogs.Files = {pdf()};
    d.show();
    QTest::keyClick(&d, Qt::Key_Return); // the default button
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(dialogs.Suggestions, QStringList{dir.filePath(QStringLiteral("doc.pdf"))});
    EXPECT_TRUE(ReadPdf(pdf()).PageText(1).contains(QStringLiteral("line3")));
    TStringsPrinter stored;
    ASSERT_EQ(LoadPrinterOptions(stored, SettingsFileName()), TStoredOptions::Loaded);
    EXPECT_EQ(stored.MarginRight(), 17);
}

TEST_F(PrintDialogTest, ChoosingNoFileOrCancellingTheLayoutKeepsTheDialogOpenAndPrintsNothing) {
    TFormStringsPrint d;
    d.Setup(*printer, &lines);
    d.show();
    click(d.Button5); // the file question is cancelled
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(dialogs.Suggestions.size(), 1);

    TestProgress cancel;
    cancel.CancelAt = 1;
    d.StringsPrinter1.SetProgress(&cancel);
    d.SpinEdit1->setValue(9);
    dialogs.Files = {pdf()};
    click(d.Button5);
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(QFile::exists(pdf()));
    // The options are saved all the same.
    TStringsPrinter stored;
    ASSERT_EQ(LoadPrinterOptions(stored, SettingsFileName()), TStoredOptions::Loaded);
    EXPECT_EQ(stored.MarginLeft(), 9);
}

TEST_F(PrintDialogTest, TheProgressWindowsCancelButtonCancels) {
    TFormStrProgress w;
    w.Start(QStringLiteral("印刷中"), nullptr);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("TStringsPrinter"));
    EXPECT_EQ(w.Label1->text(), QStringLiteral("印刷中"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.Step(40));
    click(w.Button1);
    EXPECT_FALSE(w.Step(41));
    w.Finish();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(PrintDialogTest, EscapeClosesWithoutPrintingOrWriting) {
    TFormStringsPrint d;
    d.Setup(*printer, &lines);
    d.show();
    d.SpinEdit1->setValue(30);
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_TRUE(dialogs.Suggestions.isEmpty());
    EXPECT_FALSE(QFile::exists(SettingsFileName()));
}

// --- the main window's print command --------------------------------------------------

TEST_F(PrintDialogTest, ThePrintCommandSitsInTheFileMenuWithCtrlP) {
    TMainForm form;
    QAction* a = form.Action(QStringLiteral("Mm_Print"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(), QStringLiteral("印刷(&P)..."));
    EXPECT_EQ(a->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    bool inFileMenu = false, onToolBar = false;
    for (QObject* o : a->associatedObjects()) {
        if (auto* m = qobject_cast<QMenu*>(o)) inFileMenu = inFileMenu || m->title() == QStringLiteral("ファイル(&F)");
        onToolBar = onToolBar || qobject_cast<QToolBar*>(o);
    }
    EXPECT_TRUE(inFileMenu);
    EXPECT_TRUE(onToolBar);
    EXPECT_EQ(form.StringsPrinter().Font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
}

TEST_F(PrintDialogTest, CancelInTheDialogLeavesTheOptionsAndWritesNothing) {
    TMainForm form;
    const QByteArray before = settingsBytes();
    whileDialogShown([&] { form.Mm_PrintClick(); },
                     [](TFormStringsPrint& d) {
                         d.SpinEdit1->setValue(25);
                         EXPECT_EQ(d.StringsPrinter1.MarginLeft(), 25);
                         click(d.Button2);
                     });
    EXPECT_EQ(form.StringsPrinter().MarginLeft(), 0);
    EXPECT_EQ(settingsBytes(), before);
    EXPECT_FALSE(profile::SectionExists(SettingsFileName(), QStringLiteral("Printer")));
}

TEST_F(PrintDialogTest, TenChangedOptionsAreReadBackAfterPrinting) {
    TMainForm form;
    form.CurrentEditor()->Lines().SetText("first line\r\nsecond line\r\n");
    dialogs.Files = {pdf()};
    whileDialogShown([&] { form.Mm_PrintClick(); },
                     [](TFormStringsPrint& d) {
                         d.ComboBox2->setCurrentText(QStringLiteral("12"));
                         type(d.SpinEdit1, 11);
                         type(d.SpinEdit2, 12);
                         type(d.SpinEdit3, 13);
                         type(d.SpinEdit4, 14);
                         click(item(d.RadioGroup1, 1));
                         type(d.SpinEdit5, 6);
                         click(d.CheckBox1);
                         click(item(d.RadioGroup2, 2));
                         type(d.Edit1, QStringLiteral("head %p"));
                         click(d.Button5);
                     });
    const PdfDocument doc = ReadPdf(pdf());
    EXPECT_TRUE(doc.PageText(1).contains(QStringLiteral("head 1"))) << doc.PageText(1).toStdString();
    EXPECT_TRUE(doc.PageText(1).contains(QStringLiteral("second line")));
    EXPECT_EQ(form.StringsPrinter().MarginTop(), 13);

    // A new main window reads them from the settings file.
    TMainForm again;
    whileDialogShown([&] { again.Mm_PrintClick(); },
                     [](TFormStringsPrint& d) {
                         EXPECT_EQ(d.ComboBox2->currentText(), QStringLiteral("12"));
                         EXPECT_EQ(d.SpinEdit1->value(), 11);
                         EXPECT_EQ(d.SpinEdit2->value(), 12);
                         EXPECT_EQ(d.SpinEdit3->value(), 13);
                         EXPECT_EQ(d.SpinEdit4->value(), 14);
                         EXPECT_EQ(TFormStringsPrint::ItemIndex(d.RadioGroup1), 1);
                         EXPECT_EQ(d.SpinEdit5->value(), 6);
                         EXPECT_TRUE(d.CheckBox1->isChecked());
                         EXPECT_EQ(TFormStringsPrint::ItemIndex(d.RadioGroup2), 2);
                         EXPECT_EQ(d.Edit1->text(), QStringLiteral("head %p"));
                         click(d.Button2);
                     });
}

TEST_F(PrintDialogTest, ThePrintCommandPrintsTheCurrentDocumentUnderItsFileName) {
    TMainForm form;
    const QString path = dir.filePath(QStringLiteral("report.txt"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("alpha\r\n\x93\xfa\x96\x7b\r\nomega");
    }
    ASSERT_TRUE(form.OpenFileIntoPage(path));
    TStringsPrinter options;
    options.SetHeader(QStringLiteral("[%F]"));
    options.SetHeaderAlign(TStringsPrinterHeaderAlign::haLeft);
    SavePrinterOptions(options, SettingsFileName());
    dialogs.Files = {pdf()};
    whileDialogShown([&] { form.Mm_PrintClick(); }, [](TFormStringsPrint& d) { click(d.Button5); });
    EXPECT_EQ(ReadPdf(pdf()).PageText(1), QStringLiteral("[report.txt] alpha 日本 omega"));
}

// The dialog prints from its own copy of the options, which takes the page's character table
// too: a UTF-8 page's characters outside code page 932 print as themselves.
TEST_F(PrintDialogTest, ThePrintCommandPrintsAUtf8PagesOwnCharacters) {
    TMainForm form;
    const QString path = WriteTestFile(dir.path(), QStringLiteral("utf8.txt"),
                                       QStringLiteral("caf\u00E9 \u301C\r\n\u2014 \u2212\r\n").toUtf8());
    ASSERT_TRUE(form.OpenFileIntoPage(path));
    dialogs.Files = {pdf()};
    whileDialogShown([&] { form.Mm_PrintClick(); }, [](TFormStringsPrint& d) { click(d.Button5); });
    EXPECT_EQ(ReadPdf(pdf()).PageText(1), QStringLiteral("caf\u00E9 \u301C \u2014 \u2212"));
}
