// The main window driven through its commands, with questions and dialogs answered by a
// test double.
#include "Application.h"
#include "Dialogs.h"
#include "DocumentMode.h"
#include "Editor.h"
#include "FontChooser.h"
#include "Fonts.h"
#include "KanjiFile.h"
#include "Messages.h"
#include "PathCodec.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "QuireProcess.h"
#include "ScriptedServices.h"
#include "Settings.h"
#include "SettingsApply.h"
#include "SingleInstance.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "WindowFixture.h"
#include "jconvert.h"
#include "nkf.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

using namespace quire;
using quire::test::ScriptedDialogs;
using quire::test::ScriptedMessages;

namespace {

class MainWindowTest : public test::WindowFixture {
protected:
    QByteArray read(const QString& path) { return test::ReadTestFile(path); }
    // This test process runs the window; a real later start of quire with Args (in Folder)
    // hands its files to it.
    void handOver(const QStringList& args, const QString& folder = {}) {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        {
            TSingleInstance instance;
            ASSERT_EQ(instance.AcquireOrHandOver({}, 1000), TSingleInstance::TRole::First);
            ASSERT_TRUE(instance.Listen());
            int lists = 0;
            instance.SetOnFiles([this, &lists](const QStringList& files) {
                form->MyMsgOnHello(files);
                ++lists;
            });
            QProcess later;
            test::StartQuire(later, test::QuireEnvironment(qEnvironmentVariable("QUIRE_HOME"), runtime.path()), args,
                             std::nullopt, folder);
            EXPECT_TRUE(test::WaitFor([&] { return later.state() == QProcess::NotRunning && lists == 1; }, 30000));
            EXPECT_EQ(later.exitCode(), 0) << later.readAllStandardError().toStdString();
        }
        qunsetenv("XDG_RUNTIME_DIR");
    }
    void type(int page, const std::string& s) {
        form->SetActivePage(page);
        editor(page)->SetRowCol(0, 0);
        editor(page)->TypeText(s);
    }
};

} // namespace

TEST_F(MainWindowTest, StartsWithOneNewPage) {
    EXPECT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("新規作成 - Quire"));
    EXPECT_EQ(form->PageControl()->tabText(0), QStringLiteral("新規作成"));
    EXPECT_EQ(form->Page(0).Mode, QStringLiteral("標準"));
    EXPECT_EQ(form->PanelText(7), QStringLiteral("S-JIS"));
    EXPECT_EQ(form->PanelText(8), QStringLiteral("CRLF"));
    EXPECT_EQ(form->PanelText(9), QStringLiteral("挿入"));
}

TEST_F(MainWindowTest, CommandLines) {
    const QString a = file("a.txt", "alpha\r\n"), b = file("b.c", "int x;\r\n");
    form->HandleCommandLine({"/perl", a});
    ASSERT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->Page(0).Mode, QStringLiteral("Perl"));
    EXPECT_EQ(form->Page(0).FileName, a);
    EXPECT_EQ(editor(0)->Lines().Text(), "alpha\r\n");
    TMainForm second;
    second.HandleCommandLine({a, b});
    ASSERT_EQ(second.PageCount(), 2);
    EXPECT_EQ(second.Page(0).Mode, QStringLiteral("標準"));
    EXPECT_EQ(second.Page(1).Mode, QStringLiteral("C++"));
    EXPECT_EQ(second.PageControl()->tabText(1), QStringLiteral("b.c"));
}

TEST_F(MainWindowTest, ShortcutsOnTheCommandLineOpenTheirTargets) {
    const QString b = file("b.c", "int x;\r\n");
    const QString link = QFileInfo(b).absolutePath() + "/b.lnk";
    ASSERT_TRUE(QFile::link(b, link));
    form->HandleCommandLine({link});
    ASSERT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->Page(0).FileName, b);
    EXPECT_EQ(editor(0)->Lines().Text(), "int x;\r\n");
    EXPECT_EQ(form->Page(0).Mode, QStringLiteral("標準")); // no mode is chosen for a shortcut's target
    // A shortcut that leads nowhere is reported and opens nothing.
    QFile::remove(b);
    TMainForm second;
    second.HandleCommandLine({link});
    EXPECT_EQ(second.Page(0).FileName, QStringLiteral("新規作成"));
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains("b.c"));
}

TEST_F(MainWindowTest, AFileOnTheCommandLineThatCannotBeReadIsSkippedWithAMessage) {
    const QString a = file("a.txt", "alpha\r\n");
    const QString gone = QFileInfo(a).absolutePath() + "/gone.txt";
    form->HandleCommandLine({gone, a});
    ASSERT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->Page(0).FileName, a);
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains("gone.txt"));
    messages.Shown.clear();
    form->HandleCommandLine({gone}); // a page added for it is taken away again
    EXPECT_EQ(form->PageCount(), 1);
    EXPECT_EQ(messages.Shown.size(), 1);
}

TEST_F(MainWindowTest, AReadThatFailsLeavesNoPageNamedAfterTheFile) {
    // /proc/self/mem is a readable regular file whose reading fails at offset 0.
    const QString a = file("a.txt", "alpha\r\n");
    form->HandleCommandLine({a, "/proc/self/mem"});
    EXPECT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->Page(0).FileName, a);
    EXPECT_EQ(messages.Shown.size(), 1);
    TMainForm second;
    second.HandleCommandLine({"/proc/self/mem"});
    EXPECT_EQ(second.PageCount(), 1);
    EXPECT_EQ(second.Page(0).FileName, QStringLiteral("新規作成"));
}

TEST_F(MainWindowTest, AFileTooLargeIsRefusedWithAMessage) {
    const QString big = file("big.txt", "");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(TMainForm::MaxFileSize + 1)); // sparse: takes no room on disk
    }
    form->HandleCommandLine({big});
    EXPECT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->Page(0).FileName, QStringLiteral("新規作成"));
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains("big.txt"));
    QFile::remove(big);
}

TEST_F(MainWindowTest, AFileOfExactlyTheOpenLimitOpensAndOneByteMoreIsRefused) {
    // The limit is lowered so that the boundary is tried with small files; the readers take
    // their limit as an argument and are tried at the same boundary.
    constexpr qint64 limit = 4096;
    form->SetOpenLimit(limit);
    QByteArray bytes(limit, 'a');
    bytes[limit - 2] = '\r';
    bytes[limit - 1] = '\n';
    const QString fits = file("fits.txt", bytes);
    const QString over = file("over.txt", bytes + "b");
    EXPECT_TRUE(ReadRegularFile(fits, limit).Ok());
    EXPECT_EQ(ReadRegularFile(over, limit).Failure, TReadFailure::TooLarge);

    form->HandleCommandLine({fits});
    ASSERT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->Page(0).FileName, fits);
    EXPECT_EQ(editor(0)->Lines().Text(), bytes.toStdString());
    EXPECT_TRUE(messages.Shown.empty());

    form->HandleCommandLine({over});
    EXPECT_EQ(form->PageCount(), 1);
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].startsWith(QStringLiteral("ファイルが大きすぎるため開けません")));
    EXPECT_TRUE(messages.Shown[0].contains("over.txt"));
    // The limit is never raised past what the readers take.
    form->SetOpenLimit(TMainForm::MaxFileSize + 1);
    EXPECT_EQ(form->OpenLimit(), MaxTextFileSize);
}

TEST_F(MainWindowTest, OpeningTheSameFileAsks) {
    const QString a = file("a.txt", "alpha");
    dialogs.Paths = {a, a, a};
    form->Mm_OpenClick();
    EXPECT_EQ(form->PageCount(), 1);
    messages.Answers = {mbNo};
    form->Mm_OpenClick();
    EXPECT_EQ(form->PageCount(), 1);
    ASSERT_EQ(messages.Asked.size(), 1);
    EXPECT_TRUE(messages.Asked[0].startsWith(QStringLiteral("同じファイルが開かれています。開きますか？")));
    messages.Answers = {mbYes};
    form->Mm_OpenClick();
    EXPECT_EQ(form->PageCount(), 2);
}

TEST_F(MainWindowTest, KanjiCodeAndLineEndFollowTheFile) {
    const QString e = file("e.txt", QByteArray("\xB4\xC1\xBB\xFA\n", 5)); // 漢字 in EUC, LF
    form->OpenFileIntoPage(e);
    EXPECT_EQ(form->Page(0).KanjiCode, QStringLiteral("EUC"));
    EXPECT_EQ(form->Page(0).LineEndCode, QStringLiteral("LF"));
    EXPECT_EQ(form->PanelText(7), QStringLiteral("EUC"));
    EXPECT_EQ(editor(0)->Lines().Text(), "\x8A\xBF\x8E\x9A\r\n");
    // Saved unchanged, the same bytes come back.
    form->Mm_SaveClick();
    EXPECT_EQ(read(e), QByteArray("\xB4\xC1\xBB\xFA\n", 5));
}

TEST_F(MainWindowTest, MovingPagesWrapsRound) {
    const QString a = file("a.txt", "a"), b = file("b.txt", "b"), c = file("c.txt", "c");
    form->HandleCommandLine({a, b, c});
    form->SetActivePage(2);
    form->R1Click(); // the last page becomes the first
    EXPECT_EQ(form->Page(0).FileName, c);
    EXPECT_EQ(form->PageControl()->tabText(0), QStringLiteral("c.txt"));
    EXPECT_EQ(form->ActivePage(), 0);
    form->L1Click(); // the first page becomes the last
    EXPECT_EQ(form->Page(2).FileName, c);
    EXPECT_EQ(form->Page(0).FileName, a);
    form->Mm_NextTabClick();
    EXPECT_EQ(form->ActivePage(), 0);
}

TEST_F(MainWindowTest, ClosingTheOnlyPageResetsIt) {
    const QString a = file("a.txt", "alpha\n");
    form->OpenFileIntoPage(a);
    form->Mm_ShiftJISClick("JIS");
    form->C1Click();
    EXPECT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->Page(0).FileName, QStringLiteral("新規作成"));
    EXPECT_EQ(form->Page(0).KanjiCode, QStringLiteral("S-JIS"));
    EXPECT_EQ(form->Page(0).LineEndCode, QStringLiteral("LF")); // the line end stays
    EXPECT_EQ(editor(0)->Lines().Text(), "");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("新規作成 - Quire"));
}

TEST_F(MainWindowTest, BackupGenerations) {
    setting("File", "BackUp", "1");
    const QString a = file("doc.txt", "v0");
    form->OpenFileIntoPage(a);
    for (int v = 1; v <= 4; ++v) {
        editor(0)->Lines().SetText("v" + std::to_string(v));
        editor(0)->SetModified(true);
        ASSERT_TRUE(form->Mm_SaveClick());
    }
    const QString stem = QDir(dir.path()).filePath("doc.bak");
    EXPECT_EQ(read(a), "v4");
    EXPECT_EQ(read(stem + "01"), "v3");
    EXPECT_EQ(read(stem + "02"), "v2");
    EXPECT_EQ(read(stem + "03"), "v1");
    EXPECT_FALSE(QFile::exists(stem + "04"));
    setting("File", "BackUp_Sedai", "1");
    editor(0)->Lines().SetText("v5");
    form->Mm_SaveClick();
    EXPECT_EQ(read(stem + "01"), "v4");
    EXPECT_EQ(read(stem + "02"), "v2"); // untouched with one generation
}

TEST_F(MainWindowTest, BackupFolderIsCreatedAndAFailedBackupIsReported) {
    setting("File", "BackUp", "1");
    setting("File", "BackUpDir", "1");
    setting("File", "BackUpDirPath", QDir(dir.path()).filePath("backups/nested"));
    const QString a = file("doc.txt", "v0");
    form->OpenFileIntoPage(a);
    editor(0)->Lines().SetText("v1");
    ASSERT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(QDir(dir.path()).filePath("backups/nested/doc.bak01")), "v0");
    EXPECT_TRUE(messages.Shown.isEmpty());
    // A folder that cannot be made (a file stands in its way): the save still happens and the
    // user is told that there is no backup.
    file("blocker", "x");
    setting("File", "BackUpDirPath", QDir(dir.path()).filePath("blocker/sub"));
    editor(0)->Lines().SetText("v2");
    ASSERT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(a), "v2");
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].startsWith(QStringLiteral("バックアップファイルを作成できませんでした。")));
}

TEST_F(MainWindowTest, SaveAskedAndAnsweredNoKeepsTheStar) {
    setting("File", "SaveDlg", "1");
    const QString a = file("a.txt", "old");
    form->OpenFileIntoPage(a);
    type(0, "x");
    EXPECT_TRUE(form->PageControl()->tabText(0).endsWith(" *"));
    messages.Answers = {mbNo};
    EXPECT_FALSE(form->Mm_SaveClick());
    EXPECT_EQ(messages.Asked.back(), QStringLiteral("上書き保存してよろしいですか？"));
    EXPECT_EQ(read(a), "old");
    EXPECT_TRUE(form->PageControl()->tabText(0).endsWith(" *"));
    EXPECT_TRUE(editor(0)->Modified());
}

TEST_F(MainWindowTest, TheStarDoesNotMakeTheTabBarShowItsScrollButtons) {
    // The first key of a document gives its tab the star; the bar must take the longer caption
    // without showing and hiding its scroll buttons on the way (which made that key slow).
    struct ShowCounter : QObject {
        int Shown = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Show) ++Shown;
            return false;
        }
    } counter;
    form->resize(900, 600);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->OpenFileIntoPage(file("a-rather-long-file-name.txt", "text"));
    QCoreApplication::processEvents();
    QTabBar* bar = form->PageControl()->tabBar();
    const QList<QToolButton*> buttons = bar->findChildren<QToolButton*>();
    ASSERT_FALSE(buttons.isEmpty());
    for (QToolButton* b : buttons) b->installEventFilter(&counter);
    type(0, "x");
    EXPECT_TRUE(bar->tabText(0).endsWith(" *"));
    EXPECT_EQ(counter.Shown, 0);
    QCoreApplication::processEvents();
    EXPECT_LE(bar->tabRect(0).right(), bar->width()); // the whole caption shows
    for (QToolButton* b : buttons) EXPECT_FALSE(b->isVisible());
}

TEST_F(MainWindowTest, SaveAllAsksNamesOnlyForUnnamedPages) {
    const QString a = file("a.txt", "a");
    form->OpenFileIntoPage(a);
    form->Mm_NewClick(); // a new page, since page 1 holds text
    ASSERT_EQ(form->PageCount(), 2);
    type(1, "new text");
    const QString named = QDir(dir.path()).filePath("b.txt");
    dialogs.Paths = {named};
    EXPECT_TRUE(form->Mm_SaveAllClick());
    EXPECT_EQ(dialogs.SaveDialogs, 1);
    EXPECT_EQ(read(named), "new text");
    EXPECT_EQ(read(a), "a"); // written too, unchanged
    EXPECT_EQ(form->Page(1).FileName, QFileInfo(named).canonicalFilePath());
}

TEST_F(MainWindowTest, ExitWithCancelLeavesEverythingUntouched) {
    const QString a = file("a.txt", "a"), b = file("b.txt", "b");
    form->HandleCommandLine({a, b});
    type(0, "1");
    type(1, "2");
    const QByteArray settingsBefore = read(SettingsFileName());
    messages.Answers = {mbCancel};
    EXPECT_FALSE(form->CanClose());
    EXPECT_EQ(messages.Asked.size(), 1);
    EXPECT_EQ(form->PageCount(), 2);
    EXPECT_TRUE(editor(0)->Modified());
    EXPECT_EQ(read(a), "a");
    EXPECT_EQ(read(SettingsFileName()), settingsBefore);
}

TEST_F(MainWindowTest, AYesFollowedByACancelledSaveKeepsThePage) {
    type(0, "precious");
    messages.Answers = {mbYes};
    dialogs.Paths = {QString()}; // the save dialog is cancelled
    form->C1Click();
    EXPECT_EQ(editor(0)->Lines().Text(), "precious");
    messages.Answers = {mbYes};
    dialogs.Paths = {QString()};
    EXPECT_FALSE(form->CanClose());
}

TEST_F(MainWindowTest, AFailedWriteKeepsTheOldFileAndThePageModified) {
    const QString sub = QDir(dir.path()).filePath("sub");
    QDir().mkpath(sub);
    const QString a = QDir(sub).filePath("a.txt");
    {
        QFile f(a);
        f.open(QIODevice::WriteOnly);
        f.write("old");
    }
    form->OpenFileIntoPage(a);
    type(0, "new ");
    QDir(sub).removeRecursively(); // the folder vanishes
    messages.Answers = {mbYes};    // save over the file that vanished
    EXPECT_FALSE(form->Mm_SaveClick());
    EXPECT_FALSE(messages.Shown.isEmpty());
    EXPECT_TRUE(editor(0)->Modified());
    EXPECT_EQ(form->Page(0).FileName, QFileInfo(a).absoluteFilePath());
}

TEST_F(MainWindowTest, AutoSave) {
    setting("File", "BackUp", "1");
    // With the active page unnamed nothing is written at all.
    const QString a = file("a.txt", "a");
    form->OpenFileIntoPage(a);
    type(0, "x");
    form->Mm_NewClick();
    type(1, "unnamed");
    form->SaveTimerTimer();
    EXPECT_EQ(read(a), "a");
    // With a named active page only modified pages are written and backed up.
    form->SetActivePage(0);
    const QString b = file("b.txt", "b");
    form->OpenFileIntoPage(b);
    form->SetActivePage(0);
    form->SaveTimerTimer();
    EXPECT_EQ(read(a), "xa");
    EXPECT_EQ(read(b), "b");
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath("b.bak01")));
    EXPECT_TRUE(QFile::exists(QDir(dir.path()).filePath("a.bak01")));
}

TEST_F(MainWindowTest, SavingCharactersJisCannotHoldAsksFirst) {
    const QString a = file("a.txt", "\x8A\xBF");
    form->OpenFileIntoPage(a);
    editor(0)->Lines().SetText("\x8A\xBF\xFA\x40");
    editor(0)->SetModified(true);
    form->Mm_ShiftJISClick("JIS");
    messages.Answers = {quire::test::kEscape};
    EXPECT_FALSE(form->Mm_SaveClick());
    EXPECT_EQ(read(a), "\x8A\xBF");
    EXPECT_TRUE(messages.Asked.back().contains(QStringLiteral("JIS")));
    messages.Answers = {mbNo}; // in JIS all the same, with "?" for what it cannot hold
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(a), "\x1B$B\x34\x41\x1B(J?");
}

TEST_F(MainWindowTest, AFileWithNulWarnsAndAsksBeforeSavingOverIt) {
    const QString a = file("n.txt", QByteArray("abc\0def", 7));
    form->OpenFileIntoPage(a);
    EXPECT_EQ(editor(0)->Lines().Text(), "abc");
    ASSERT_FALSE(messages.Shown.isEmpty());
    EXPECT_TRUE(messages.Shown.back().contains("NUL"));
    messages.Answers = {mbNo};
    EXPECT_FALSE(form->Mm_SaveClick());
    EXPECT_EQ(read(a), QByteArray("abc\0def", 7));
}

TEST_F(MainWindowTest, ANulFarIntoAnEucFileWarnsAlsoThroughTheConversionLibrary) {
    nkf::Release();
    ASSERT_TRUE(nkf::Bind({QCoreApplication::applicationDirPath() + "/../bin"}));
    // EUC text (the library converts it) with a NUL after the first 512 bytes.
    QByteArray bytes;
    for (int i = 0; i < 60; ++i) bytes += "\xB4\xC1\xBB\xFA text\r\n"; // 漢字 text
    bytes[600] = '\0';
    const QString a = file("nul.euc", bytes);
    form->OpenFileIntoPage(a);
    nkf::Release();
    EXPECT_EQ(form->Page(0).KanjiCode, "EUC");
    ASSERT_FALSE(messages.Shown.isEmpty());
    EXPECT_TRUE(messages.Shown.back().contains("NUL"));
    // The text ends where the NUL stood.
    EXPECT_EQ(editor(0)->Lines().Text(), jconvert::EucToSjis(std::string_view(bytes.constData(), 600)));
}

TEST_F(MainWindowTest, SavingAsJisOrEucThroughTheLibraryWritesWhatTheOwnConvertersWrite) {
    nkf::Release();
    ASSERT_TRUE(nkf::Bind({QCoreApplication::applicationDirPath() + "/../bin"}));
    // A page of one half-width kana: in JIS longer than the room the library has for one byte,
    // so its result is cut and must be replaced by the built-in converters'. Then kanji with CR
    // line ends, which the library converts itself.
    for (const QByteArray& bytes : {QByteArray("\xB1"), QByteArray("\x8A\xBF\r\x8E\x9A\r")}) {
        const QString a = file("lib.txt", bytes);
        ASSERT_TRUE(form->OpenFileIntoPage(a));
        const int page = form->ActivePage();
        const std::string text = editor(page)->Lines().Text();
        const std::string eol = form->Page(page).LineEndCode.toStdString();
        for (const char* code : {"JIS", "EUC"}) {
            form->Page(page).KanjiCode = code;
            editor(page)->SetModified(true);
            ASSERT_TRUE(form->Mm_SaveClick()) << code;
            EXPECT_EQ(read(a).toStdString(), EncodePage(text, code, eol, TConverter::BuiltIn)) << code;
        }
    }
    nkf::Release();
}

TEST_F(MainWindowTest, TheHundredAndFirstPageIsRefused) {
    for (int i = 1; i < TMainForm::MaxPages; ++i) {
        type(form->PageCount() - 1, "x");
        form->Mm_NewClick();
    }
    ASSERT_EQ(form->PageCount(), 100);
    type(99, "x");
    form->Mm_NewClick();
    EXPECT_EQ(form->PageCount(), 100);
    EXPECT_TRUE(messages.Shown.back().contains("100"));
}

// Handing over more files than pages are left, and names that cannot be opened: one message
// for the hand-off, naming them (it was one box per file, the page limit's 51 times over).
TEST_F(MainWindowTest, AHandOffTellsWhatCouldNotBeOpenedInOneMessage) {
    QStringList files;
    for (int i = 0; i < TMainForm::MaxPages + 20; ++i) files << file(QStringLiteral("f%1.txt").arg(i), "x");
    const QString missing = QDir(dir.path()).filePath("missing.txt");
    files.insert(3, missing);
    form->MyMsgOnHello(files);
    EXPECT_EQ(form->PageCount(), TMainForm::MaxPages);
    ASSERT_EQ(messages.Shown.size(), 1) << messages.Shown.join("|").toStdString();
    const QString m = messages.Shown.first();
    EXPECT_TRUE(m.contains(missing)) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("%1 ページまで").arg(TMainForm::MaxPages))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("f%1.txt").arg(TMainForm::MaxPages))) << "the first file not opened";
    EXPECT_TRUE(m.contains(QStringLiteral("ほか 10 件"))) << "the rest of the twenty counted";
    EXPECT_LE(m.count('\r'), 40) << "it fits on the screen";
}

// An open that fails says why (a FIFO, a device, a folder, a missing or unreadable file), as a
// failed save does.
TEST_F(MainWindowTest, AFileThatCannotBeOpenedIsToldWithTheSystemsReason) {
    const QString fifo = QDir(dir.path()).filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString secret = file("secret.txt", "x");
    QFile::setPermissions(secret, QFileDevice::WriteOwner);
    struct Case {
        QString Path;
        QString Reason;
    };
    std::vector<Case> cases = {{fifo, QStringLiteral("通常のファイルではありません")},
                               {QStringLiteral("/dev/null"), QStringLiteral("通常のファイルではありません")},
                               {dir.path(), QStringLiteral("通常のファイルではありません")},
                               {QDir(dir.path()).filePath("missing.txt"), QStringLiteral("ファイルがありません")}};
    if (::geteuid() != 0) cases.push_back({secret, QStringLiteral("読み込む権限がありません")}); // root reads it
    for (const Case& c : cases) {
        messages.Shown.clear();
        EXPECT_FALSE(form->OpenFileIntoPage(c.Path)) << c.Path.toStdString();
        ASSERT_EQ(messages.Shown.size(), 1) << c.Path.toStdString();
        EXPECT_TRUE(messages.Shown.first().contains(c.Reason)) << messages.Shown.first().toStdString();
        EXPECT_TRUE(messages.Shown.first().contains(c.Path)) << messages.Shown.first().toStdString();
        EXPECT_EQ(form->PageCount(), 1);
    }
}

TEST_F(MainWindowTest, InsertTogglesOverwriteInEveryMainEditor) {
    form->Mm_NewClick();
    type(0, "x");
    form->Mm_NewClick();
    QTest::keyClick(editor(0), Qt::Key_Insert);
    EXPECT_EQ(form->PanelText(9), QStringLiteral("上書"));
    for (int i = 0; i < form->PageCount(); ++i) EXPECT_TRUE(editor(i)->OverWrite());
}

TEST_F(MainWindowTest, ASecondStartWithSeveralFilesHandsThemAllOverInOrder) {
    const QString a = file("a.txt", "A"), b = file("b.txt", "B"), c = file("c.txt", "C");
    handOver({"b.txt", "/perl", "a.txt", "c.txt"}, dir.path());
    ASSERT_EQ(form->PageCount(), 3);
    EXPECT_EQ(form->Page(0).FileName, b);
    EXPECT_EQ(form->Page(1).FileName, a);
    EXPECT_EQ(form->Page(2).FileName, c);
    EXPECT_EQ(editor(2)->Lines().Text(), "C");
    EXPECT_TRUE(messages.Shown.isEmpty()) << messages.Shown.join('\n').toStdString();
}

TEST_F(MainWindowTest, ANameWithLineEndsIsOpenedAndNeverReachesTheSettings) {
    const QString hostile = file("notes\n[File]\nAutoSave=1\nTime=5\n[z", "hostile name");
    handOver({hostile});
    ASSERT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->Page(0).FileName, hostile);
    EXPECT_EQ(editor(0)->Lines().Text(), "hostile name");
    EXPECT_FALSE(read(SettingsFileName()).contains("AutoSave")) << read(SettingsFileName()).toStdString();
    EXPECT_FALSE(profile::SectionExists(SettingsFileName(), "File"));
}

TEST_F(MainWindowTest, ASettingsFileThatCannotBeWrittenIsToldOnceAndKeptInMemory) {
    form.reset();
    ASSERT_TRUE(QFile::remove(SettingsFileName()));
    ASSERT_TRUE(QDir().mkdir(SettingsFileName())); // a folder where the file should be
    form = std::make_unique<TMainForm>();
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains(SettingsFileName())) << messages.Shown[0].toStdString();
    form->Mm_ToolBarClick();
    EXPECT_FALSE(profile::ReadBool(SettingsFileName(), "Bar", "Tool", true)); // the setting in memory
    EXPECT_TRUE(form->CanClose());
    EXPECT_EQ(messages.Shown.size(), 1);
    TMainForm again; // later in the same run: still the settings in memory, nothing more told
    EXPECT_FALSE(again.Action("Mm_ToolBar")->isChecked());
    EXPECT_EQ(messages.Shown.size(), 1);
}

TEST_F(MainWindowTest, MenuHintsGoToTheFirstPanel) {
    QAction* save = form->Action("Mm_Save");
    EXPECT_EQ(save->statusTip(), QStringLiteral("上書き保存"));
    EXPECT_EQ(form->Action("Mm_Open")->statusTip(), QStringLiteral("開く"));
    save->showStatusText(form.get());
    EXPECT_EQ(form->PanelText(0), QStringLiteral("上書き保存"));
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(form.get(), &leave);
    EXPECT_TRUE(form->PanelText(0).isEmpty());
}

TEST_F(MainWindowTest, AStoredPlaceOffEveryScreenIsBroughtBack) {
    setting("Window", "Left", "50000");
    setting("Window", "Top", "-40000");
    setting("Window", "Width", "99999");
    setting("Window", "Height", "480");
    TMainForm moved;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(QRect(moved.pos(), moved.size())));
    EXPECT_LE(moved.width(), screen.width());
    EXPECT_EQ(moved.height(), std::min(480, screen.height()));
    // A place on the screen is kept as it was stored.
    setting("Window", "Left", "10");
    setting("Window", "Top", "20");
    setting("Window", "Width", "400");
    TMainForm kept;
    EXPECT_EQ(kept.geometry().topLeft(), QPoint(10, 20)); // the client area's place, as stored
    EXPECT_EQ(kept.width(), 400);
}

TEST_F(MainWindowTest, AStoredPlaceAtTheEndsOfTheNumbersIsBroughtBack) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const char* extremes[][4] = {
        {"0", "2147483647", "800", "560"},
        {"2147483647", "0", "800", "560"},
        {"-2147483648", "-2147483648", "2147483647", "2147483647"},
        {"2147483647", "2147483647", "2147483647", "2147483647"},
        {"0", "0", "-2147483648", "-2147483648"},
    };
    for (const auto& place : extremes) {
        setting("Window", "Left", place[0]);
        setting("Window", "Top", place[1]);
        setting("Window", "Width", place[2]);
        setting("Window", "Height", place[3]);
        TMainForm f;
        // Whole on the screen, computed without the overflow a QRect at these places has.
        const std::string where = std::string(place[0]) + " " + place[1] + " " + place[2] + " " + place[3];
        const QRect g = f.geometry();
        EXPECT_TRUE(screen.contains(g.topLeft())) << where << ": at " << g.x() << "," << g.y();
        EXPECT_LE(qint64(g.x()) + g.width(), qint64(screen.x()) + screen.width()) << where;
        EXPECT_LE(qint64(g.y()) + g.height(), qint64(screen.y()) + screen.height()) << where;
    }
}

TEST_F(MainWindowTest, AFailingOperationIsReportedNotFatal) {
    EXPECT_TRUE(RunGuarded([] { return true; }));
    EXPECT_TRUE(messages.Shown.isEmpty());
    EXPECT_FALSE(RunGuarded([]() -> bool { throw std::out_of_range("List index out of bounds (4)"); }));
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains("List index out of bounds (4)"));
    EXPECT_TRUE(messages.Shown[0].startsWith(QStringLiteral("内部エラーのため、操作を中止しました。")));
}

// Random page commands against a model of the pages' texts in tab order: new, close (answered
// No), next and previous, moving left and right, splitting, and typing into the current editor.
// After every command the tabs, the records and the texts agree with the model.
TEST_F(MainWindowTest, RandomPageCommandsKeepTabsRecordsAndTextsInStep) {
    std::mt19937 rng(5);
    std::vector<std::string> model{""};
    int marker = 0;
    for (int step = 0; step < 600; ++step) {
        const int active = form->ActivePage();
        switch (rng() % 8) {
        case 0: { // new page: the last one is reused while it is empty and unnamed
            if (form->PageCount() >= 20) break;
            const bool reuse =
                model.back().empty() && form->Page(form->PageCount() - 1).FileName == TMainForm::NewDocumentName;
            form->Mm_NewClick();
            if (!reuse) model.emplace_back();
            break;
        }
        case 1: { // close the current page without saving
            if (form->Page(active).Editor->Modified()) messages.Answers = {mbNo};
            form->C1Click();
            if (model.size() == 1)
                model[0].clear();
            else
                model.erase(model.begin() + active);
            break;
        }
        case 2: form->Mm_NextTabClick(); break;
        case 3: form->Mm_BeforeTabClick(); break;
        case 4:
        case 5: {
            const bool right = rng() % 2;
            const int n = static_cast<int>(model.size());
            const int to = right ? (active == n - 1 ? 0 : active + 1) : (active == 0 ? n - 1 : active - 1);
            right ? form->R1Click() : form->L1Click();
            std::string moved = model[static_cast<size_t>(active)];
            model.erase(model.begin() + active);
            model.insert(model.begin() + to, moved);
            break;
        }
        case 6: form->Mm_DivisionClick(); break;
        default: { // type a marker at the start of the current page
            const std::string m = "m" + std::to_string(++marker) + " ";
            form->CurrentEditor()->SetRowCol(0, 0);
            form->CurrentEditor()->TypeText(m);
            model[static_cast<size_t>(form->ActivePage())].insert(0, m);
            break;
        }
        }
        ASSERT_TRUE(messages.Answers.empty()) << "step " << step;
        ASSERT_EQ(form->PageCount(), static_cast<int>(model.size())) << "step " << step;
        ASSERT_EQ(form->PageControl()->count(), form->PageCount()) << "step " << step;
        ASSERT_GE(form->ActivePage(), 0);
        ASSERT_LT(form->ActivePage(), form->PageCount());
        for (int i = 0; i < form->PageCount(); ++i) {
            ASSERT_EQ(form->Page(i).Editor->Lines().Text(), model[static_cast<size_t>(i)])
                << "step " << step << " page " << i;
            ASSERT_TRUE(form->PageControl()->widget(i)->isAncestorOf(form->Page(i).Editor)) << "step " << step;
        }
        ASSERT_EQ(form->CurrentEditor()->Lines().Text(), model[static_cast<size_t>(form->ActivePage())])
            << "step " << step;
    }
}

TEST_F(MainWindowTest, TabMarksAreDrawnInTheirSettingsColour) {
    setting("Marks", "Tab", "1");
    setting("Color", "TAB", "255"); // red
    TMainForm marked;
    marked.resize(640, 400);
    marked.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&marked));
    auto redPixels = [&] {
        const QImage img = marked.Page(0).Editor->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (QColor(img.pixel(x, y)) == QColor(255, 0, 0)) ++n;
        return n;
    };
    marked.Page(0).Editor->Lines().SetText("\tx\r\n");
    EXPECT_GT(redPixels(), 0);
    marked.Page(0).Editor->Lines().SetText("x\r\n");
    EXPECT_EQ(redPixels(), 0);
}

TEST_F(MainWindowTest, TheWheelScrollsByTheRowsReadAtStart) {
    setting("Stand", "Wheel", "2");
    form = std::make_unique<TMainForm>();
    TEditor* e = editor(0);
    std::string t;
    for (int i = 0; i < 60; ++i) t += "row\r\n";
    e->Lines().SetText(t);
    // The handler runs on every wheel event: it does not read the settings file again.
    profile::WriteString(SettingsFileName(), "Stand", "Wheel", QStringLiteral("7"));
    QWheelEvent down(QPointF(20, 20), QPointF(20, 20), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(e->viewport(), &down);
    EXPECT_EQ(e->TopRow(), 2);
    QApplication::sendEvent(e->viewport(), &down);
    EXPECT_EQ(e->TopRow(), 4);
}

TEST_F(MainWindowTest, ADoubleClickOnJapaneseSelectsTheWholeRun) {
    form->show();
    TEditor* e = editor(0);
    // 日本語 を 選択: kanji, one hiragana, kanji.
    e->Lines().SetText("\x93\xFA\x96\x7B\x8C\xEA\x82\xF0\x91\x49\x91\xF0\r\n");
    auto cell = [&](int col) {
        return QPoint(e->TextLeft() + col * e->CharWidth() + 2, e->TextTop() + e->CharHeight() / 2);
    };
    QTest::mouseDClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(3));
    EXPECT_EQ(e->SelectedText(), "\x93\xFA\x96\x7B\x8C\xEA");
    QTest::mouseDClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(6));
    EXPECT_EQ(e->SelectedText(), "\x82\xF0");
    QTest::mouseDClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(9));
    EXPECT_EQ(e->SelectedText(), "\x91\x49\x91\xF0");
}

// The active page's mode is the document mode the colouring reads: a quotation marker counts
// anywhere in a row in every mode but 標準. Only ".pas" opens as Delphi.
TEST_F(MainWindowTest, TheActivePagesModeIsTheDocumentMode) {
    const QString pas = file("unit.pas", "a > b\r\n"), dpr = file("memo.dpr", "x\r\n"), inc = file("defs.inc", "y\r\n");
    ASSERT_TRUE(form->OpenFileIntoPage(pas));
    EXPECT_EQ(form->Page(0).Mode, QStringLiteral("Delphi"));
    EXPECT_EQ(CurrentDocumentMode(), "Delphi");
    ASSERT_TRUE(form->OpenFileIntoPage(dpr));
    ASSERT_TRUE(form->OpenFileIntoPage(inc));
    EXPECT_EQ(form->Page(1).Mode, QStringLiteral("標準"));
    EXPECT_EQ(form->Page(2).Mode, QStringLiteral("標準"));
    EXPECT_EQ(QString::fromStdString(CurrentDocumentMode()), QStringLiteral("標準"));
    form->SetActivePage(0);
    EXPECT_EQ(CurrentDocumentMode(), "Delphi");
    form->SetActivePage(1);
    EXPECT_EQ(QString::fromStdString(CurrentDocumentMode()), QStringLiteral("標準"));
}

// The font dialog offers the fixed-pitch fonts that draw Japanese on the grid, with the font
// in use selected and its labels' keys leading to their lists. A font without Japanese is
// refused, not stored.
TEST_F(MainWindowTest, TheFontDialogKeepsJapaneseReadable) {
    InstallFontSubstitutions(); // as the program does at start: "FixedSys" is the grid font
    TFontChooser chooser(EditorFont(QStringLiteral("FixedSys"), 14));
    ASSERT_GT(chooser.Families()->count(), 0);
    EXPECT_EQ(chooser.Families()->item(0)->text(), QStringLiteral("IPAGothic"));
    ASSERT_NE(chooser.Families()->currentItem(), nullptr);
    EXPECT_EQ(chooser.Families()->currentItem()->text(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(chooser.SelectedFont().family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(chooser.SelectedFont().pointSize(), 14);
    for (int i = 0; i < chooser.Families()->count(); ++i) {
        const QString family = chooser.Families()->item(i)->text();
        EXPECT_TRUE(DrawsJapanese(QFont(family)) && FitsTheGrid(family)) << family.toStdString();
    }
    EXPECT_TRUE(chooser.Families()->findItems(QStringLiteral("IPAPGothic"), Qt::MatchExactly).isEmpty())
        << "a proportional family";
    for (const QLabel* label : chooser.findChildren<QLabel*>()) {
        if (label->text().contains(QLatin1Char('&'))) {
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString() << " shows its ampersand";
        }
    }
    QString latin;
    for (const QString& family : QFontDatabase::families())
        if (!DrawsJapanese(QFont(family))) latin = family;
    if (latin.isEmpty()) GTEST_SKIP() << "every installed font draws Japanese";
    dialogs.ChosenFont = QFont(latin);
    const QString before = QFontInfo(editor(0)->font()).family();
    form->Mm_FontClick();
    EXPECT_EQ(QFontInfo(editor(0)->font()).family(), before);
    EXPECT_TRUE(profile::ReadString(SettingsFileName(), "Font", "Name").isEmpty());
    ASSERT_FALSE(messages.Shown.isEmpty());
    EXPECT_TRUE(messages.Shown.last().contains(latin));
}

// The size chosen in points is the size stored, and the one the dialog shows after a restart;
// the editors draw it at an even pixel size.
TEST_F(MainWindowTest, TheFontSizeChosenIsTheSizeStoredAndShownAfterARestart) {
    InstallFontSubstitutions();
    for (const int points : {14, 18, 9, 11, 36}) {
        dialogs.ChosenFont = QFont(QStringLiteral("IPAGothic"), points);
        form->Mm_FontClick();
        EXPECT_EQ(profile::ReadInteger(SettingsFileName(), "Font", "Size", 0), points);
        EXPECT_EQ(QFontInfo(editor(0)->font()).pixelSize() % 2, 0) << points;
        form = std::make_unique<TMainForm>();
        dialogs.ChosenFont.reset();
        form->Mm_FontClick();
        EXPECT_EQ(dialogs.OfferedFont.pointSize(), points);
        EXPECT_EQ(QFontInfo(dialogs.OfferedFont).family(), QStringLiteral("IPAGothic"));
        TFontChooser chooser(dialogs.OfferedFont);
        ASSERT_NE(chooser.Sizes()->currentItem(), nullptr);
        EXPECT_EQ(chooser.Sizes()->currentItem()->text(), QString::number(points));
    }
}

// Reading a page's file again (読み直し, the question about a file another program changed,
// 文字コードを指定して開き直す) shows the new text from its top in both views of a split page,
// with the caret at its start.
TEST_F(MainWindowTest, TextReadAgainIsShownFromItsTopInEveryView) {
    form->resize(600, 400);
    form->show();
    std::string lines;
    for (int i = 0; i < 200; ++i) lines += "line " + std::to_string(i) + "\r\n";
    const QString path = file("long.txt", QByteArray::fromStdString(lines));
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    form->Mm_DivisionClick();
    TEditor* sub = form->Page(0).SubEditor;
    ASSERT_NE(sub, nullptr);
    const std::function<void()> readAgain[] = {
        [&] {
            messages.Answers = {mbYes};
            form->N21Click();
        },
        [&] {
            test::WriteTestFile(dir.path(), QStringLiteral("long.txt"),
                                QByteArray::fromStdString("changed\r\n" + lines));
            messages.Answers = {mbYes};
            form->CheckFilesOnDisk();
        },
        [&] { form->Mm_ReopenClick(QStringLiteral("EUC")); },
    };
    for (const auto& read : readAgain) {
        editor(0)->SetRowCol(150, 3);
        editor(0)->SetTopRow(140);
        sub->SetTopRow(120);
        read();
        for (TEditor* e : {editor(0), sub}) {
            EXPECT_EQ(e->TopRow(), 0);
            EXPECT_EQ(e->Row(), 0);
            EXPECT_EQ(e->Col(), 0);
        }
    }
    EXPECT_EQ(messages.Asked.size(), 2);
}

// The guide beside the built program is the one in the source tree.
TEST(Guide, TheBuildPutsItBesideTheProgram) {
    const QByteArray built = test::ReadTestFile(QStringLiteral(QUIRE_BIN_DIR "/readme.txt"));
    EXPECT_FALSE(built.isEmpty());
    EXPECT_EQ(built, test::ReadTestFile(QStringLiteral(QUIRE_SOURCE_DIR "/data/readme.txt")));
    EXPECT_TRUE(built.contains("quire-kanji")) << "it tells of the tools";
}

// F1 and ヘルプ > readme.txt hand the guide to the desktop's program for it; without one it
// is shown in a page of Quire that takes no changes and stays off the recent files; asked
// for again, that page comes to the front. Without the guide the user is told where it was
// looked for.
TEST_F(MainWindowTest, TheGuideOpensInAPageThatTakesNoChangesWhenNoProgramTakesIt) {
    form->Mm_ReadmeClick();
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("readme.txt"))) << messages.Shown[0].toStdString();
    EXPECT_TRUE(messages.Shown[0].contains(DisplayPath(ProgramFolder()))) << messages.Shown[0].toStdString();
    EXPECT_EQ(form->PageCount(), 1);

    const QString guide = test::WriteTestFile(ProgramFolder(), QStringLiteral("readme.txt"),
                                              QStringLiteral("Quire のガイド\n日本\n").toUtf8());
    dialogs.DesktopOpens = true;
    form->ff1Click();
    ASSERT_EQ(dialogs.Handed.size(), 1);
    EXPECT_EQ(dialogs.Handed[0], QUrl::fromLocalFile(guide));
    EXPECT_EQ(form->PageCount(), 1);

    dialogs.DesktopOpens = false;
    editor(0)->Lines().SetText("mine");
    const QList<void (TMainForm::*)()> commands = {&TMainForm::Mm_ReadmeClick, &TMainForm::ff1Click};
    for (const auto command : commands) {
        (form.get()->*command)();
        ASSERT_EQ(form->PageCount(), 2) << "one page for the guide";
        EXPECT_EQ(form->ActivePage(), 1);
        EXPECT_EQ(form->Page(1).FileName, TMainForm::NormalizedPath(guide));
        EXPECT_EQ(editor(1)->Lines().Text(), "Quire \x82\xCC\x83\x4B\x83\x43\x83\x68\r\n\x93\xFA\x96\x7B\r\n");
        QTest::keyClicks(editor(1), QStringLiteral("x"));
        QTest::keyClick(editor(1), Qt::Key_Return);
        EXPECT_FALSE(editor(1)->Modified());
        form->SetActivePage(0);
    }
    form->SetActivePage(1);
    form->Mm_DivisionClick();
    ASSERT_NE(form->Page(1).SubEditor, nullptr);
    EXPECT_TRUE(form->Page(1).SubEditor->ReadOnly()) << "nor in the split view";
    form->Mm_ReopenClick(QStringLiteral("UTF-8"));
    EXPECT_TRUE(editor(1)->ReadOnly()) << "nor after it is read again";
    for (int k = 1; k <= TRecentFiles::Count; ++k) EXPECT_NE(form->RecentFiles().Path(k), guide.toLower()) << k;
    EXPECT_EQ(messages.Shown.size(), 1);
}

// The bars' menu items show what the window shows from the start, and the first click hides.
TEST_F(MainWindowTest, BarItemsAreCheckedWhenTheBarsShowAtStart) {
    form->show();
    QToolBar* tools = form->findChild<QToolBar*>();
    ASSERT_NE(tools, nullptr);
    for (const char* name : {"Mm_ToolBar", "Mm_StatusBar"}) EXPECT_TRUE(form->Action(name)->isChecked()) << name;
    EXPECT_TRUE(tools->isVisible());
    form->Action("Mm_ToolBar")->trigger();
    EXPECT_FALSE(tools->isVisible());
    EXPECT_FALSE(form->Action("Mm_ToolBar")->isChecked());
}

// The page control's "×" closes the active page as 閉じる does: a modified page is asked about
// (Enter saves, Escape keeps it), the last page is reset. It shows and hides with the tool bar,
// also after a restart.
TEST_F(MainWindowTest, TheCloseButtonClosesTheActivePageAsCloseDoes) {
    form->show();
    auto* close = form->PageControl()->findChild<QToolButton*>(QStringLiteral("CloseButton"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(form->PageControl()->cornerWidget(Qt::TopRightCorner), close);
    EXPECT_TRUE(close->isVisible());
    const QString a = file("a.txt", "a"), b = file("b.txt", "b");
    form->HandleCommandLine({a, b});
    ASSERT_EQ(form->PageCount(), 2);
    type(1, "2");
    messages.Answers = {test::kEscape};
    QTest::mouseClick(close, Qt::LeftButton);
    ASSERT_EQ(messages.Questions.size(), 1u);
    EXPECT_EQ(messages.Questions[0].Buttons, mbYes | mbNo | mbCancel);
    EXPECT_EQ(form->PageCount(), 2) << "Escape keeps the page";
    EXPECT_EQ(read(b), "b");
    messages.Answers = {test::kEnter};
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(form->PageCount(), 1) << "Enter saves and closes";
    EXPECT_EQ(read(b), "2b");
    QTest::mouseClick(close, Qt::LeftButton); // the last page, unmodified: reset, not asked about
    EXPECT_EQ(messages.Questions.size(), 2u);
    EXPECT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->Page(0).FileName, TMainForm::NewDocumentName);

    form->Action("Mm_ToolBar")->trigger();
    EXPECT_FALSE(close->isVisible());
    form = std::make_unique<TMainForm>();
    form->show();
    close = form->PageControl()->findChild<QToolButton*>(QStringLiteral("CloseButton"));
    ASSERT_NE(close, nullptr);
    EXPECT_FALSE(close->isVisible()) << "hidden after a restart too";
    form->Action("Mm_ToolBar")->trigger();
    EXPECT_TRUE(close->isVisible());
}

// A double click on an address hands it to the desktop; with no program for it the user is
// told so instead of nothing happening.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void open(const QUrl& Url) { Opened << Url; }
};

TEST_F(MainWindowTest, ADoubleClickOnAnAddressOpensItOrSaysWhyNot) {
    form->show();
    TEditor* e = editor(0);
    e->View().SetMail(true);
    e->Lines().SetText("see a@b.jp now\r\n");
    const QPoint onAddress(e->TextLeft() + 5 * e->CharWidth() + 2, e->TextTop() + e->CharHeight() / 2);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    QTest::mouseDClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, onAddress);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    ASSERT_EQ(catcher.Opened.size(), 1);
    EXPECT_EQ(catcher.Opened[0].toString(), QStringLiteral("mailto:a@b.jp"));
    EXPECT_TRUE(messages.Shown.isEmpty());
    QTest::mouseDClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, onAddress);
    ASSERT_EQ(messages.Shown.size(), 1); // the offscreen desktop has no program for anything
    EXPECT_EQ(messages.Shown[0], QStringLiteral("「mailto:a@b.jp」を開くプログラムが見つかりませんでした。"));
}

// File dialogs show each pattern once, and "*.*" lets files without a dot through.
TEST(FileDialogFilter, PatternsOnceAndEveryFile) {
    EXPECT_EQ(QtFilter(QStringLiteral("htmlファイル(*.htm,*.html)|*.htm;*.html|全てのファイル(*.*)|*.*")),
              QStringLiteral("htmlファイル (*.htm *.html);;全てのファイル (*)"));
    EXPECT_EQ(QtFilter(QStringLiteral("テキスト|*.txt")), QStringLiteral("テキスト (*.txt)"));
}

// Qt's own buttons and dialogs speak Japanese like the rest of the window.
TEST(JapaneseTranslation, QtsOwnWordsAreJapanese) {
    ASSERT_TRUE(InstallJapaneseTranslation());
    EXPECT_NE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
}

#include "MainWindowTest.moc"

// A right click on a tab makes its page the active one and offers このページを閉じる, which
// closes it the way 閉じる does: a modified page is asked about first.
TEST_F(MainWindowTest, TheTabPopupClosesThePageRightClicked) {
    form->show();
    editor(0)->TypeText("kept");
    form->Mm_NewClick();
    ASSERT_EQ(form->PageCount(), 2);
    ASSERT_EQ(form->ActivePage(), 1);
    QTabBar* tabs = form->findChild<QTabWidget*>()->tabBar();
    const QPoint onFirst = tabs->tabRect(0).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, onFirst, tabs->mapToGlobal(onFirst));
    QApplication::sendEvent(tabs, &click);
    EXPECT_EQ(form->ActivePage(), 0);
    ASSERT_TRUE(form->TabPopup()->isVisible());
    form->TabPopup()->hide();
    messages.Answers = {quire::test::kEscape};
    form->Action("N18")->trigger();
    EXPECT_EQ(form->PageCount(), 2) << "Escape keeps the modified page";
    EXPECT_EQ(messages.Asked.size(), 1);
    messages.Answers = {mbNo};
    form->Action("N18")->trigger();
    EXPECT_EQ(form->PageCount(), 1);
    EXPECT_TRUE(editor(0)->Lines().Text().empty());
}
