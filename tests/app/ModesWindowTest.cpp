// The recent-file list, the modes and the keyword files as the real main window has them.
#include "Editor.h"
#include "KeywordFile.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "ScriptedServices.h"
#include "Settings.h"
#include "Unit1.h"
#include "WidgetGrab.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quire;

namespace {

void setting(const char* section, const char* key, const QString& value) {
    profile::WriteString(SettingsFileName(), QString::fromLatin1(section), QString::fromLatin1(key), value);
}

QString recentKey(int k) {
    return profile::ReadString(SettingsFileName(), "RecentFile", QStringLiteral("File%1").arg(k));
}

void writeKeywords(const QString& name, const QByteArray& bytes) {
    QFile f(ProgramFile(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

using TWords = std::vector<std::string>;

class ModesWindowTest : public ::testing::Test {
protected:
    // The window is made once the test has written the settings and keyword files it needs.
    TMainForm& start() {
        form = std::make_unique<TMainForm>();
        return *form;
    }
    QString file(const QString& name, const QByteArray& bytes = "text\r\n") {
        const QString path = QDir(dir.path()).filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return QDir::cleanPath(path);
    }
    QAction* item(const QString& name) { return form->Action(name); }
    QAction* recent(int k) { return item(QStringLiteral("RecentFile%1").arg(k)); }
    TEditor& editor(int page) { return *form->Page(page).Editor; }
    // The mode of the active page as the window shows it: the page, panel 4 and the checked item.
    void expectActiveMode(const QString& mode, const QString& itemName) {
        EXPECT_EQ(form->Page(form->ActivePage()).Mode, mode);
        EXPECT_EQ(form->PanelText(spMode), mode);
        EXPECT_TRUE(item(itemName)->isChecked()) << itemName.toStdString();
    }
    QTemporaryDir dir;
    test::ScriptedMessages messages;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};

// What modes 標準 and ユーザ give an editor's own colouring.
void expectNormalView(TEditor& e, const std::string& quoteMark) {
    EXPECT_EQ(e.Fountain(), nullptr);
    EXPECT_EQ(e.View().Commenter(), quoteMark);
    EXPECT_EQ(e.View().Quotation(), "");
    ASSERT_GE(e.View().Brackets().Count(), 1);
    EXPECT_EQ(e.View().Brackets().Items(0)->LeftBracket, "");
    EXPECT_EQ(e.View().Brackets().Items(0)->RightBracket, "");
    EXPECT_EQ(e.ReserveWordList().Count(), 0);
}

} // namespace

TEST_F(ModesWindowTest, TheRecentListFillsWithTheLatestOnTopAndATenthDropsTheOldest) {
    start();
    for (int k = 1; k <= 9; ++k) EXPECT_FALSE(recent(k)->isVisible()) << k;
    EXPECT_FALSE(item("MmRecentClear")->isEnabled());
    QStringList paths;
    for (int i = 1; i <= 10; ++i) {
        paths << file(QStringLiteral("f%1.txt").arg(i));
        ASSERT_TRUE(form->OpenFileIntoPage(paths.back()));
    }
    for (int k = 1; k <= 9; ++k) {
        EXPECT_TRUE(recent(k)->isVisible()) << k;
        EXPECT_EQ(recent(k)->text(), QStringLiteral("&%1 ").arg(k) + paths[10 - k]) << k;
    }
    EXPECT_TRUE(item("MmRecentClear")->isEnabled());
    // Item 5 chosen from the menu opens its file and moves to the top; 1 to 4 move down one.
    const int pages = form->PageCount();
    recent(5)->trigger();
    EXPECT_EQ(form->PageCount(), pages + 1);
    EXPECT_EQ(form->Page(form->ActivePage()).FileName, paths[5]);
    const QStringList expected = {paths[5], paths[9], paths[8], paths[7], paths[6],
                                  paths[4], paths[3], paths[2], paths[1]};
    for (int k = 1; k <= 9; ++k) EXPECT_EQ(form->RecentFiles().Path(k), expected[k - 1]) << k;
    EXPECT_TRUE(messages.Asked.isEmpty()) << "no same-file question";
}

// Paths keep their own spelling: a lower-cased path would name no file here.
TEST_F(ModesWindowTest, APathWithUpperCaseLettersReopensTheSameFile) {
    start();
    const QString path = file(QStringLiteral("Memo.TXT"), "\x91\xe5\x95\xb6\x8e\x9a\r\n");
    ASSERT_FALSE(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("memo.txt"))));
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    EXPECT_EQ(recent(1)->text(), QStringLiteral("&1 ") + path);
    form->C1Click();
    ASSERT_TRUE(form->Page(0).FileName == TMainForm::NewDocumentName);
    form->RecentFileMenuClick(1);
    EXPECT_EQ(form->Page(0).FileName, path);
    EXPECT_EQ(editor(0).Lines().Text(), "\x91\xe5\x95\xb6\x8e\x9a\r\n");
    EXPECT_EQ(form->RecentFiles().Path(1), path);
    EXPECT_TRUE(form->RecentFiles().Path(2).isEmpty()) << "listed once";
    EXPECT_TRUE(messages.Shown.isEmpty());
}

TEST_F(ModesWindowTest, ARecentFileThatIsGoneGivesAnEmptyPageNamedAfterItWithoutAMessage) {
    const QString gone = QDir(dir.path()).filePath(QStringLiteral("gone.pl"));
    setting("RecentFile", "File1", gone);
    start();
    editor(0).Lines().SetText("keep");
    form->RecentFileMenuClick(1);
    ASSERT_EQ(form->PageCount(), 2);
    EXPECT_EQ(form->Page(1).FileName, gone);
    EXPECT_EQ(form->PageControl()->tabText(1), QStringLiteral("gone.pl"));
    EXPECT_EQ(form->windowTitle(), gone + QStringLiteral(" - Quire"));
    EXPECT_EQ(form->CurrentFileName(), gone);
    EXPECT_FALSE(editor(1).Modified());
    EXPECT_EQ(editor(1).Lines().Text(), "");
    EXPECT_TRUE(messages.Shown.isEmpty());
    EXPECT_EQ(editor(0).Lines().Text(), "keep");
    // Saving the page creates the file.
    ASSERT_TRUE(form->Mm_SaveClick());
    EXPECT_TRUE(QFile::exists(gone));
}

// Only a path that names nothing gives the empty page: what is there but cannot be read is
// reported, and no page is named after it (saving that page would write over it).
TEST_F(ModesWindowTest, ARecentPathThatCannotBeReadIsReportedNotOpenedEmpty) {
    const QString link = QDir(dir.path()).filePath(QStringLiteral("broken.txt"));
    ASSERT_TRUE(QFile::link(QDir(dir.path()).filePath(QStringLiteral("nowhere")), link));
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("folder.txt"));
    ASSERT_TRUE(QDir().mkpath(folder));
    setting("RecentFile", "File1", link);
    setting("RecentFile", "File2", folder);
    start();
    form->RecentFileMenuClick(1);
    form->RecentFileMenuClick(2);
    EXPECT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->Page(0).FileName, TMainForm::NewDocumentName);
    ASSERT_EQ(messages.Shown.size(), 2);
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("broken.txt"))) << messages.Shown[0].toStdString();
    EXPECT_TRUE(messages.Shown[1].contains(folder)) << messages.Shown[1].toStdString();
}

TEST_F(ModesWindowTest, TheRecentItemsStandInTheReopenSubmenuAboveTheClearItem) {
    start();
    auto* menu = form->menuBar()->findChild<QMenu*>(QStringLiteral("Mm_Recent"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("開き直す(&H)"));
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 11);
    for (int k = 1; k <= 9; ++k) EXPECT_EQ(actions[k - 1], recent(k)) << k;
    EXPECT_TRUE(actions[9]->isSeparator());
    EXPECT_EQ(actions[10], item("MmRecentClear"));
    EXPECT_EQ(item("MmRecentClear")->text(), QStringLiteral("履歴のクリア(&C)"));
}

TEST_F(ModesWindowTest, ClearingHidesEveryItemAndDisablesTheClearItem) {
    start();
    ASSERT_TRUE(form->OpenFileIntoPage(file("a.txt")));
    ASSERT_TRUE(form->OpenFileIntoPage(file("b.txt")));
    form->StoreRecentFiles();
    ASSERT_FALSE(recentKey(1).isEmpty());
    item("MmRecentClear")->trigger();
    for (int k = 1; k <= 9; ++k) {
        EXPECT_FALSE(recent(k)->isVisible()) << k;
        EXPECT_TRUE(recentKey(k).isEmpty()) << k;
    }
    EXPECT_FALSE(item("MmRecentClear")->isEnabled());
    TMainForm again;
    EXPECT_TRUE(again.RecentFiles().IsEmpty());
    EXPECT_FALSE(again.Action("RecentFile1")->isVisible());
}

TEST_F(ModesWindowTest, TheListIsReadAtStartWithItsGapsAndWrittenAtClose) {
    const QString one = file("one.txt"), three = file("three.txt");
    setting("RecentFile", "File1", one);
    setting("RecentFile", "File3", three);
    start();
    EXPECT_TRUE(recent(1)->isVisible());
    EXPECT_FALSE(recent(2)->isVisible());
    EXPECT_TRUE(recent(3)->isVisible());
    EXPECT_EQ(recent(3)->text(), QStringLiteral("&3 ") + three);
    EXPECT_TRUE(item("MmRecentClear")->isEnabled());
    const QString added = file("new.txt");
    ASSERT_TRUE(form->OpenFileIntoPage(added));
    EXPECT_EQ(recentKey(1), one) << "the list is written at exit, not before";
    ASSERT_TRUE(form->CanClose());
    EXPECT_EQ(recentKey(1), added);
    EXPECT_EQ(recentKey(2), one);
    EXPECT_EQ(recentKey(3), QString());
    EXPECT_EQ(recentKey(4), three);
}

TEST_F(ModesWindowTest, SavedFilesAreRegistered) {
    start();
    editor(0).Lines().SetText("x");
    const QString named = QDir(dir.path()).filePath(QStringLiteral("Saved.txt"));
    dialogs.Paths = {named};
    ASSERT_TRUE(form->Mm_SaveAsClick());
    EXPECT_EQ(form->RecentFiles().Path(1), named);
    ASSERT_TRUE(form->OpenFileIntoPage(file("other.txt")));
    form->SetActivePage(0);
    editor(0).Lines().SetText("y");
    ASSERT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(form->RecentFiles().Path(1), named);
    EXPECT_EQ(form->RecentFiles().Path(2), form->Page(1).FileName);
}

TEST_F(ModesWindowTest, TheExtensionChoosesTheModeOnEveryOpenPath) {
    start();
    ASSERT_TRUE(form->OpenFileIntoPage(file("memo.PL")));
    expectActiveMode("Perl", "Mm_mode_Perl");
    EXPECT_EQ(editor(0).Fountain(), form->Colouring(TEditMode::Perl));
    ASSERT_TRUE(form->OpenFileIntoPage(file("memo.dpr")));
    expectActiveMode(QStringLiteral("標準"), "Mm_mode_Normal");
    EXPECT_FALSE(item("Mm_mode_Perl")->isChecked());
    expectNormalView(editor(1), ">");
    dialogs.Paths = {file("index.html")};
    form->Mm_OpenClick();
    expectActiveMode("HTML", "Mm_mode_HTML");
    form->MyMsgOnHello({file("setup.INF")}); // the hand-off of a later start
    expectActiveMode("ini", "Mm_mode_Ini");
    EXPECT_EQ(form->Page(3).Editor->Fountain(), form->Colouring(TEditMode::Ini));
    // Entering a page shows its mode.
    form->SetActivePage(0);
    expectActiveMode("Perl", "Mm_mode_Perl");
    // Reopened from the list (memo.PL is item 4 by now), in a page of its own.
    ASSERT_EQ(form->RecentFiles().Path(4), form->Page(0).FileName);
    recent(4)->trigger();
    ASSERT_EQ(form->PageCount(), 5);
    expectActiveMode("Perl", "Mm_mode_Perl");
    EXPECT_EQ(editor(4).Fountain(), form->Colouring(TEditMode::Perl));
}

TEST_F(ModesWindowTest, TheModeItemsAreRadioItemsOfTheActivePage) {
    start();
    auto* view = form->menuBar()->findChild<QMenu*>(QStringLiteral("Mm_Mode"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->title(), QStringLiteral("編集モード(&M)"));
    int radios = 0;
    for (QAction* a : view->actions())
        if (a->isCheckable() && a->actionGroup() && a->actionGroup()->isExclusive()) ++radios;
    EXPECT_EQ(radios, 8);
    expectActiveMode(QStringLiteral("標準"), "Mm_mode_Normal");
    item("Mm_mode_C")->trigger();
    expectActiveMode("C++", "Mm_mode_C");
    EXPECT_FALSE(item("Mm_mode_Normal")->isChecked());
    EXPECT_EQ(editor(0).Fountain(), form->Colouring(TEditMode::Cpp));
    for (auto [name, mode] :
         {std::pair{"Mm_mode_Delphi", "Delphi"}, {"Mm_mode_Basic", "Basic"}, {"Mm_mode_HTML", "HTML"}}) {
        item(name)->trigger();
        expectActiveMode(QString::fromUtf8(mode), name);
    }
    item("Mm_mode_Normal")->trigger();
    expectActiveMode(QStringLiteral("標準"), "Mm_mode_Normal");
    expectNormalView(editor(0), ">");
}

TEST_F(ModesWindowTest, UserModeSetsUpTheOwnColouringOfBothEditorsOfAPage) {
    setting("YuzaKey", "Str", "\"");
    setting("YuzaKey", "Comment", "//");
    setting("YuzaKey", "LeftBracket", "/*");
    setting("YuzaKey", "RightBracket", "*/");
    setting("Color", "Yuza_KeyWord", "$00000011");
    setting("Color", "Yuza_Str", "$00000022");
    setting("Color", "Yuza_Comment", "$00000033");
    setting("Color", "Inyo", "$00000044");
    setting("Bold", "Yuza_KeyWord", "1");
    writeKeywords(UserKeywordFileName, "foo\r\nbar\r\n");
    start();
    form->Mm_DivisionClick();
    item("Mm_mode_yuza")->trigger();
    expectActiveMode(QStringLiteral("ユーザ"), "Mm_mode_yuza");
    for (TEditor* e : {form->Page(0).Editor, form->Page(0).SubEditor}) {
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->Fountain(), nullptr);
        EXPECT_FALSE(e->View().Url());
        EXPECT_FALSE(e->View().Mail());
        EXPECT_EQ(e->View().Quotation(), "\"");
        EXPECT_EQ(e->View().Commenter(), "//");
        EXPECT_EQ(e->View().Brackets().Items(0)->LeftBracket, "/*");
        EXPECT_EQ(e->View().Brackets().Items(0)->RightBracket, "*/");
        EXPECT_EQ(e->ReserveWordList().Strings(), (TWords{"bar", "foo"}));
        TEditorColors& c = e->View().Colors();
        EXPECT_EQ(c.Reserve().Color(), 0x11u);
        EXPECT_EQ(c.Reserve().Style(), fsBold);
        EXPECT_EQ(c.Str().Color(), 0x22u);
        EXPECT_EQ(c.Comment().Color(), 0x33u);
        EXPECT_EQ(e->View().Brackets().Items(0)->ItemColor().Color(), 0x33u);
    }
    // The bundle, which new pages and split views copy, holds what the mode set.
    EXPECT_EQ(form->EditorProp().ReserveWordList().Strings(), (TWords{"bar", "foo"}));
    EXPECT_EQ(form->EditorProp().View().Commenter(), "//");
    // Back to 標準: quoted lines, URLs, nothing of mode ユーザ.
    item("Mm_mode_Normal")->trigger();
    for (TEditor* e : {form->Page(0).Editor, form->Page(0).SubEditor}) {
        expectNormalView(*e, ">");
        EXPECT_TRUE(e->View().Url());
        EXPECT_EQ(e->View().Colors().Comment().Color(), 0x44u);
        EXPECT_EQ(e->View().Colors().Str().Color(), 0x000000u);
    }
    EXPECT_EQ(form->EditorProp().ReserveWordList().Count(), 0);
    EXPECT_EQ(form->EditorProp().View().Commenter(), ">");
}

TEST_F(ModesWindowTest, UserModeWithoutAKeywordFileKeepsTheEditorsList) {
    start();
    item("Mm_mode_yuza")->trigger();
    EXPECT_EQ(editor(0).ReserveWordList().Count(), 0);
    EXPECT_TRUE(messages.Shown.isEmpty()) << "no file is no failure";
    writeKeywords(UserKeywordFileName, "alpha\nbeta");
    item("Mm_mode_yuza")->trigger();
    EXPECT_EQ(editor(0).ReserveWordList().Strings(), (TWords{"alpha", "beta"}));
    ASSERT_TRUE(QFile::remove(ProgramFile(UserKeywordFileName)));
    item("Mm_mode_yuza")->trigger();
    EXPECT_EQ(editor(0).ReserveWordList().Strings(), (TWords{"alpha", "beta"}));
    item("Mm_mode_Normal")->trigger();
    EXPECT_EQ(editor(0).ReserveWordList().Count(), 0);
    item("Mm_mode_yuza")->trigger();
    EXPECT_EQ(editor(0).ReserveWordList().Strings(), (TWords{"alpha", "beta"}));
    EXPECT_TRUE(messages.Shown.isEmpty());
}

TEST_F(ModesWindowTest, EachLanguagesKeywordFileReplacesItsColouringsWordsAtStart) {
    const std::pair<TEditMode, const char*> languages[] = {{TEditMode::Delphi, "Delphi.qre"},
                                                           {TEditMode::Perl, "Perl.qre"},
                                                           {TEditMode::Cpp, "Cpp.qre"},
                                                           {TEditMode::Basic, "Basic.qre"}};
    for (auto [mode, name] : languages) writeKeywords(QString::fromLatin1(name), QByteArray("only_") + name + "\r\n");
    writeKeywords(UserKeywordFileName, "user\r\n");
    start();
    for (auto [mode, name] : languages)
        EXPECT_EQ(form->Colouring(mode)->ReserveWordList().Strings(), TWords{std::string("only_") + name}) << name;
    EXPECT_TRUE(form->UserKeyWords().empty()) << "KeyWord.qre waits for mode ユーザ";
    EXPECT_TRUE(messages.Shown.isEmpty());
}

TEST_F(ModesWindowTest, KeywordFilesThatCannotBeReadAreReportedByName) {
    writeKeywords(QStringLiteral("Cpp.qre"), "zzz\r\nyyy\r\n");
    ASSERT_TRUE(QDir().mkpath(ProgramFile(QStringLiteral("Perl.qre"))));
    start();
    EXPECT_EQ(form->Colouring(TEditMode::Cpp)->ReserveWordList().Strings(), (TWords{"yyy", "zzz"}));
    EXPECT_GT(form->Colouring(TEditMode::Basic)->ReserveWordList().Count(), 10) << "the built-in words stay";
    EXPECT_GT(form->Colouring(TEditMode::Perl)->ReserveWordList().Count(), 10) << "the built-in words stay";
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains(ProgramFile(QStringLiteral("Perl.qre")))) << messages.Shown[0].toStdString();
    ASSERT_TRUE(QDir().mkpath(ProgramFile(UserKeywordFileName)));
    item("Mm_mode_yuza")->trigger();
    ASSERT_EQ(messages.Shown.size(), 2);
    EXPECT_TRUE(messages.Shown[1].contains(ProgramFile(UserKeywordFileName))) << messages.Shown[1].toStdString();
    expectActiveMode(QStringLiteral("ユーザ"), "Mm_mode_yuza");
}

TEST_F(ModesWindowTest, UserKeyWordsGivenByTheSettingsAreWrittenAndShown) {
    start();
    ASSERT_TRUE(form->OpenFileIntoPage(file("a.txt")));
    item("Mm_mode_yuza")->trigger();
    ASSERT_TRUE(form->OpenFileIntoPage(file("b.txt"))); // 標準
    ASSERT_TRUE(form->SetUserKeyWords({"if", "\x8a\xbf"}));
    EXPECT_EQ(editor(0).ReserveWordList().Strings(), (TWords{"if", "\x8a\xbf"}));
    EXPECT_EQ(editor(1).ReserveWordList().Count(), 0);
    EXPECT_EQ(ReadKeywordFile(ProgramFile(UserKeywordFileName)), (TWords{"if", "\x8a\xbf"}));
    // A file that cannot be written changes nothing and says why.
    ASSERT_TRUE(QFile::remove(ProgramFile(UserKeywordFileName)));
    ASSERT_TRUE(QDir().mkpath(ProgramFile(UserKeywordFileName)));
    EXPECT_FALSE(form->SetUserKeyWords({"else"}));
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains(ProgramFile(UserKeywordFileName)));
    EXPECT_EQ(editor(0).ReserveWordList().Strings(), (TWords{"if", "\x8a\xbf"}));
}

// A switch sets page 1's mode; activation re-applies every page's own mode and never
// recomputes it from the file name, so the switch holds.
TEST_F(ModesWindowTest, ACommandLineSwitchColoursPageOneAndSurvivesActivation) {
    setting("YuzaKey", "Comment", "#");
    writeKeywords(UserKeywordFileName, "foo\r\n");
    start();
    const QString a = file("a.txt");
    form->HandleCommandLine({"/user", a});
    ASSERT_EQ(form->PageCount(), 1);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(form.get(), &activate);
    expectActiveMode(QStringLiteral("ユーザ"), "Mm_mode_yuza");
    EXPECT_EQ(editor(0).View().Commenter(), "#");
    EXPECT_EQ(editor(0).ReserveWordList().Strings(), (TWords{"foo"}));
    EXPECT_EQ(form->Page(0).FileName, a);

    TMainForm second;
    second.HandleCommandLine({a, file("b.c"), "/perl"});
    second.FormActivate();
    second.FormActivate();
    EXPECT_EQ(second.Page(0).Mode, QStringLiteral("Perl"));
    EXPECT_EQ(second.Page(0).Editor->Fountain(), second.Colouring(TEditMode::Perl));
    EXPECT_EQ(second.Page(1).Mode, QStringLiteral("C++"));
    EXPECT_EQ(second.ActivePage(), 1) << "the last page is shown";

    // A file that cannot be read leaves page 1 new, in the mode of the switch.
    TMainForm third;
    third.HandleCommandLine({"/html", QDir(dir.path()).filePath(QStringLiteral("gone.txt"))});
    third.FormActivate();
    EXPECT_EQ(third.Page(0).Mode, QStringLiteral("HTML"));
    EXPECT_EQ(third.Page(0).Editor->Fountain(), third.Colouring(TEditMode::HTML));
    EXPECT_EQ(third.PanelText(spMode), QStringLiteral("HTML"));
}

// The bundle carries one page's colouring set-up to the others; each keeps its own mode.
TEST_F(ModesWindowTest, EveryPageKeepsItsModeWhenSettingsPassBetweenPages) {
    setting("YuzaKey", "Comment", "//");
    start();
    item("Mm_mode_yuza")->trigger();
    editor(0).Lines().SetText("x");
    form->Mm_NewClick();
    ASSERT_EQ(form->PageCount(), 2);
    expectActiveMode(QStringLiteral("標準"), "Mm_mode_Normal");
    expectNormalView(editor(1), ">");
    form->SetActivePage(0);
    form->PassEditorSettings(editor(0));
    expectNormalView(editor(1), ">");
    form->SetActivePage(1);
    form->PassEditorSettings(editor(1));
    EXPECT_EQ(editor(0).View().Commenter(), "//");
    EXPECT_FALSE(editor(0).View().Url());
    TSettings s = form->CurrentSettings();
    s.MyProp.QuoteMark = QStringLiteral("|");
    s.MyProp.UserComment = QStringLiteral(";");
    form->ApplySettings(s);
    EXPECT_EQ(editor(0).View().Commenter(), ";");
    EXPECT_EQ(editor(1).View().Commenter(), "|");
    EXPECT_EQ(form->Page(0).Mode, QStringLiteral("ユーザ"));
}

TEST_F(ModesWindowTest, StandardModeTurnsUrlAndMailRecognitionOn) {
    setting("Marks", "URL", "0");
    setting("Marks", "Mail", "0");
    start();
    form->FormActivate();
    EXPECT_TRUE(editor(0).View().Url());
    EXPECT_TRUE(editor(0).View().Mail());
    item("Mm_mode_yuza")->trigger();
    EXPECT_FALSE(editor(0).View().Url());
    EXPECT_FALSE(editor(0).View().Mail());
    item("Mm_mode_Normal")->trigger();
    EXPECT_TRUE(editor(0).View().Url());
    EXPECT_TRUE(editor(0).View().Mail());
    // The settings themselves are unchanged by the mode of the page in front.
    EXPECT_FALSE(form->CurrentSettings().Editor.Url);
    EXPECT_FALSE(form->CurrentSettings().Editor.Mail);
}

// On the screen: a reserved word of mode ユーザ in its colour, gone in 標準.
TEST_F(ModesWindowTest, UserKeywordsAreDrawnInTheirColour) {
    setting("Color", "Yuza_KeyWord", "clRed");
    writeKeywords(UserKeywordFileName, "hello\r\n");
    start();
    form->resize(640, 400);
    test::ShowAndGrab(*form);
    editor(0).Lines().SetText("hello world\r\n");
    auto redPixels = [&] {
        const QImage img = editor(0).viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (QColor(img.pixel(x, y)) == QColor(255, 0, 0)) ++n;
        return n;
    };
    EXPECT_EQ(redPixels(), 0);
    item("Mm_mode_yuza")->trigger();
    EXPECT_GT(redPixels(), 0);
    item("Mm_mode_Normal")->trigger();
    EXPECT_EQ(redPixels(), 0);
}

// Activation gives every page its mode again; what is in place already is left alone, so a
// page scrolled away from its caret is not brought back to it.
TEST_F(ModesWindowTest, ActivationLeavesAPageWhoseModeIsInPlaceAsItWas) {
    start();
    form->resize(640, 400);
    test::ShowAndGrab(*form);
    std::string text;
    for (int i = 0; i < 500; ++i) text += "line >quoted\r\n";
    editor(0).Lines().SetText(text);
    for (const char* name : {"Mm_mode_Normal", "Mm_mode_yuza", "Mm_mode_Perl"}) {
        item(name)->trigger();
        editor(0).SetRowCol(0, 0);
        editor(0).SetTopRow(300);
        form->FormActivate();
        EXPECT_EQ(editor(0).TopRow(), 300) << name;
    }
}
