// The paths where a file, a backup or typed text could change or vanish without a word: a
// full disk, a file that does not survive its own code, files changed by other programs,
// backups, and every question that can discard text, answered with Enter and with Escape.
#include "Backup.h"
#include "Dialogs.h"
#include "Editor.h"
#include "FileSizeLimit.h"
#include "PathCodec.h"
#include "PlatformError.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "RegularFile.h"
#include "SafeFile.h"
#include "ScriptedServices.h"
#include "Settings.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "WindowFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quire;
using namespace quire::test;

namespace {

QByteArray read(const QString& path) { return test::ReadTestFile(path); }

class NothingLostTest : public test::WindowFixture {
protected:
    // Opens Path into a page and types S at its start.
    int openAndType(const QString& path, const std::string& s) {
        EXPECT_TRUE(form->OpenFileIntoPage(path));
        const int page = form->ActivePage();
        editor(page)->SetRowCol(0, 0);
        editor(page)->TypeText(s);
        return page;
    }
    bool starred(int page) { return form->PageControl()->tabText(page).endsWith(QStringLiteral(" *")); }
    // Another program rewrites Path: the stamp changes even within the same second.
    static void rewriteOutside(const QString& path, const QByteArray& bytes) {
        QFile::remove(path);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
};

const QByteArray kTakahashiSjis = "\xFB\xFC\x8B\xB4\x82\xB3\x82\xF1\r\n"; // 髙橋さん: 髙 is an IBM extension

} // namespace

// --- 1: a write that does not reach the disk -------------------------------------------

TEST_F(NothingLostTest, AFullDiskIsAFailedSaveAndTheFileStaysAsItWas) {
    const QString path = file("note.txt", "old\r\n");
    const int page = openAndType(path, std::string(5000, 'x'));
    {
        const FileSizeLimit limit(1000);
        EXPECT_FALSE(form->Mm_SaveClick());
    }
    EXPECT_EQ(read(path), QByteArray("old\r\n"));
    ASSERT_FALSE(messages.Shown.isEmpty());
    EXPECT_TRUE(messages.Shown.last().contains(QStringLiteral("上限"))) << messages.Shown.last().toStdString();
    EXPECT_TRUE(messages.Shown.last().contains(path));
    EXPECT_TRUE(editor(page)->Modified());
    EXPECT_TRUE(starred(page));
    // Closing with Yes tries the save again; it fails again and the page stays.
    {
        const FileSizeLimit limit(1000);
        messages.Answers = {mbYes};
        form->C1Click();
    }
    EXPECT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->Page(page).FileName, path);
    EXPECT_EQ(editor(page)->Lines().Text().substr(0, 5000), std::string(5000, 'x'));
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString();
}

TEST(SafeFile, AFullFileSystemIsReportedAndLeavesTheOldFile) {
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "a small tmpfs cannot be mounted here (needs root with CAP_SYS_ADMIN); the file-size limit "
                        "test covers the same path";
    const QString path = dir.filePath("a.txt");
    WriteWholeFile(path, std::string(1000, 'a'));
    try {
        WriteWholeFile(path, std::string(200 * 1024, 'b'));
        ADD_FAILURE() << "a write beyond a 64 KiB file system reported success";
    } catch (const EPlatformError& e) {
        EXPECT_NE(QString::fromStdString(e.what()).indexOf(QStringLiteral("空き容量")), -1) << e.what();
    }
    EXPECT_EQ(read(path).size(), 1000);
    ::umount(mountPoint.constData());
}

// --- 2: a file that does not survive its own code --------------------------------------

TEST_F(NothingLostTest, AFileThatDoesNotSurviveItsDetectedCodeIsOfferedAsShiftJis) {
    const QString path = file("takahashi.txt", kTakahashiSjis);
    messages.Answers = {kEnter}; // Yes: read as Shift_JIS
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    ASSERT_EQ(messages.Questions.size(), 1u);
    EXPECT_TRUE(messages.Asked.first().contains(QStringLiteral("EUC")));
    EXPECT_EQ(form->Page(0).KanjiCode, QStringLiteral("S-JIS"));
    EXPECT_EQ(editor(0)->Lines().Text(), kTakahashiSjis.toStdString());
    editor(0)->SetModified(true);
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(path), kTakahashiSjis); // byte for byte
}

TEST_F(NothingLostTest, KeptInTheWrongCodeItIsNeverWrittenWithoutAQuestion) {
    const QString path = file("takahashi.txt", kTakahashiSjis);
    for (int key : {kEscape, kEnter}) {
        messages.Answers = {kEscape}; // keep it as EUC
        ASSERT_TRUE(form->OpenFileIntoPage(path));
        const int page = form->ActivePage();
        EXPECT_EQ(form->Page(page).KanjiCode, QStringLiteral("EUC"));
        editor(page)->SetModified(true);
        messages.Asked.clear();
        messages.Answers = {key};
        // 髙 has no EUC code: the question stops the save (Escape) or saves it as UTF-8, which
        // keeps every character and byte that was read (Enter).
        EXPECT_EQ(form->Mm_SaveClick(), key == kEnter);
        ASSERT_EQ(messages.Asked.size(), 1);
        EXPECT_EQ(read(path) == kTakahashiSjis, key == kEscape);
        EXPECT_EQ(form->Page(page).KanjiCode, key == kEnter ? QStringLiteral("UTF-8") : QStringLiteral("EUC"));
        WriteTestFile(dir.path(), "takahashi.txt", kTakahashiSjis);
    }
}

TEST_F(NothingLostTest, AJisFileWithOtherCharacterSetsIsAskedAboutAndKept) {
    // Half-width katakana in JIS X 0201's kana set (ESC ( I) read as ASCII: saving would turn
    // them into letters. The file's ESC ( B is written as it was.
    const QByteArray kana = "\x1B$B\x30\x21\x1B(I\x31\x32\x1B(B\r\n";
    const QByteArray plain = "\x1B$B\x30\x21\x1B(Bab\r\n";
    const QString path = file("kana.txt", kana), other = file("plain.txt", plain);
    ASSERT_TRUE(form->OpenFileIntoPage(other));
    EXPECT_TRUE(messages.Asked.isEmpty());
    EXPECT_TRUE(form->Page(0).KeepsBytes);
    messages.Answers = {kEscape}; // keep it as JIS
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    ASSERT_EQ(messages.Asked.size(), 1);
    const int page = form->ActivePage();
    EXPECT_EQ(form->Page(page).KanjiCode, QStringLiteral("JIS ASCII"));
    editor(page)->SetModified(true);
    for (int key : {kEnter, kEscape}) {
        messages.Answers = {key};
        EXPECT_FALSE(form->Mm_SaveClick());
        EXPECT_TRUE(messages.Asked.last().contains(QStringLiteral("内容が変わります")));
    }
    EXPECT_EQ(read(path), kana);
}

// --- 3: save all -------------------------------------------------------------------------

TEST_F(NothingLostTest, SaveAllWritesOnlyModifiedPages) {
    const QString lf = file("lf.txt", "one\ntwo\n");
    const QString other = file("other.txt", "x\r\n");
    ASSERT_TRUE(form->OpenFileIntoPage(lf));
    openAndType(other, "y");
    QFile f(lf);
    f.open(QIODevice::Append);
    f.write("appended by another program\n");
    f.close();
    messages.Answers = {kEnter}; // anything asked
    EXPECT_TRUE(form->Mm_SaveAllClick());
    EXPECT_EQ(read(lf), QByteArray("one\ntwo\nappended by another program\n"));
    EXPECT_EQ(read(other), QByteArray("yx\r\n"));
}

// --- 4: files changed by other programs --------------------------------------------------

TEST_F(NothingLostTest, SavingOverAFileChangedOutsideAsksFirst) {
    const QString path = file("shared.txt", "mine\r\n");
    openAndType(path, "edit ");
    rewriteOutside(path, "theirs, longer\r\n");
    messages.Answers = {kEnter}; // No
    EXPECT_FALSE(form->Mm_SaveClick());
    ASSERT_EQ(messages.Asked.size(), 1);
    EXPECT_TRUE(messages.Asked.first().contains(QStringLiteral("ほかのプログラム")));
    EXPECT_EQ(read(path), QByteArray("theirs, longer\r\n"));
    messages.Answers = {kEscape};
    EXPECT_FALSE(form->Mm_SaveClick());
    EXPECT_EQ(read(path), QByteArray("theirs, longer\r\n"));
    messages.Answers = {mbYes};
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(path), QByteArray("edit mine\r\n"));
}

TEST_F(NothingLostTest, ActivationOffersToReloadChangedFilesAndNeverReloadsUnasked) {
    const QString clean = file("clean.txt", "old\r\n");
    const QString dirty = file("dirty.txt", "old\r\n");
    ASSERT_TRUE(form->OpenFileIntoPage(clean));
    openAndType(dirty, "typed ");
    rewriteOutside(clean, "new content\r\n");
    rewriteOutside(dirty, "new content\r\n");
    messages.Answers = {kEnter, kEnter}; // unmodified: Yes reloads; modified: No keeps
    form->CheckFilesOnDisk();
    ASSERT_EQ(messages.Questions.size(), 2u);
    EXPECT_EQ(messages.Questions[0].Default, mbYes);
    EXPECT_EQ(messages.Questions[1].Default, mbNo);
    EXPECT_EQ(editor(0)->Lines().Text(), "new content\r\n");
    EXPECT_EQ(editor(1)->Lines().Text(), "typed old\r\n");
    EXPECT_TRUE(editor(1)->Modified());
    // Told once per change: nothing more is asked until the file changes again.
    form->CheckFilesOnDisk();
    EXPECT_EQ(messages.Questions.size(), 2u);
    rewriteOutside(dirty, "third\r\n");
    messages.Answers = {kEscape};
    form->CheckFilesOnDisk();
    EXPECT_EQ(editor(1)->Lines().Text(), "typed old\r\n");
}

TEST_F(NothingLostTest, AFileRemovedOutsideIsToldAndThePageKept) {
    const QString path = file("gone.txt", "text\r\n");
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    QFile::remove(path);
    form->CheckFilesOnDisk();
    EXPECT_TRUE(messages.Asked.isEmpty());
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown.first().contains(QStringLiteral("見つかりません")));
    EXPECT_EQ(editor(0)->Lines().Text(), "text\r\n");
    form->CheckFilesOnDisk();
    EXPECT_EQ(messages.Shown.size(), 1);
}

// --- 5 and 6: backups --------------------------------------------------------------------

TEST_F(NothingLostTest, RefusedOrFailedSavesLeaveTheBackupsAsTheyWere) {
    setting("File", "BackUp", "1");
    setting("File", "BackUp_Sedai", "3");
    const QString path = file("doc.txt", "v0\r\n");
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    for (const char* v : {"v1\r\n", "v2\r\n", "v3\r\n"}) {
        editor(0)->SetTextMsg(v);
        ASSERT_TRUE(form->Mm_SaveClick());
    }
    const QString stem = QDir(dir.path()).filePath("doc.bak");
    const QByteArray b1 = read(stem + "01"), b2 = read(stem + "02"), b3 = read(stem + "03");
    EXPECT_EQ(b1, QByteArray("v2\r\n"));
    EXPECT_EQ(b2, QByteArray("v1\r\n"));
    EXPECT_EQ(b3, QByteArray("v0\r\n"));
    // Three refusals of a character JIS cannot hold, three failed writes.
    form->Page(0).KanjiCode = QStringLiteral("JIS");
    editor(0)->SetTextMsg("\x87\x40\r\n"); // ① is no JIS X 0208 character
    for (int i = 0; i < 3; ++i) {
        messages.Answers = {kEscape};
        EXPECT_FALSE(form->Mm_SaveClick());
    }
    form->Page(0).KanjiCode = QStringLiteral("S-JIS");
    editor(0)->SetTextMsg(std::string(4000, 'z'));
    for (int i = 0; i < 3; ++i) {
        const FileSizeLimit limit(1000);
        EXPECT_FALSE(form->Mm_SaveClick());
    }
    EXPECT_EQ(read(path), QByteArray("v3\r\n"));
    EXPECT_EQ(read(stem + "01"), b1);
    EXPECT_EQ(read(stem + "02"), b2);
    EXPECT_EQ(read(stem + "03"), b3);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral("quire-")).size(), 0);
}

// One generation that cannot move (something that is no file stands in its place) is
// skipped: the others move on, the content before the save still becomes generation 01, and
// the warning names the generation.
TEST_F(NothingLostTest, ABackupMoveThatFailsIsSkippedAndTheOldContentStillBecomesGeneration01) {
    setting("File", "BackUp", "1");
    setting("File", "BackUp_Sedai", "3");
    const QString path = file("doc.txt", "v3\r\n");
    const QString stem = QDir(dir.path()).filePath("doc.bak");
    file("doc.bak01", "v2\r\n");
    file("doc.bak02", "v1\r\n");
    ASSERT_TRUE(QDir(dir.path()).mkpath("doc.bak03/inside")); // a rename cannot replace it
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    editor(0)->SetTextMsg("v4\r\n");
    ASSERT_TRUE(form->Mm_SaveClick()) << "the save itself goes on";
    EXPECT_EQ(read(path), QByteArray("v4\r\n"));
    EXPECT_EQ(read(stem + "01"), QByteArray("v3\r\n")) << "the content before the save";
    EXPECT_EQ(read(stem + "02"), QByteArray("v2\r\n"));
    EXPECT_TRUE(QFileInfo(stem + "03").isDir());
    EXPECT_FALSE(editor(0)->Modified());
    ASSERT_EQ(messages.Shown.size(), 1) << messages.Shown.join("|").toStdString();
    EXPECT_TRUE(messages.Shown.first().contains(QStringLiteral("doc.bak03"))) << messages.Shown.first().toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral("quire-")).size(), 0);
}

// A FIFO where the file should be (chosen in Save As, put in the file's place while it was
// open, or reached through a link) is refused by name and left as it is; the page stays
// modified. (Device nodes are refused the same way; a test cannot safely make one.)
TEST_F(NothingLostTest, ASaveOverAFifoIsRefusedAndTheFifoStays) {
    enum class Way { SaveAs, ReplacedWhileOpen, ThroughALink };
    for (const Way way : {Way::SaveAs, Way::ReplacedWhileOpen, Way::ThroughALink}) {
        SCOPED_TRACE(static_cast<int>(way));
        messages.Shown.clear();
        const QString fifo = QDir(dir.path()).filePath(QStringLiteral("pipe%1").arg(static_cast<int>(way)));
        const QString path = file(QStringLiteral("doc%1.txt").arg(static_cast<int>(way)), "old\r\n");
        openAndType(path, "new ");
        const int page = form->ActivePage();
        bool saved = false;
        if (way == Way::SaveAs) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
            dialogs.Paths = {fifo};
            saved = form->Mm_SaveAsClick();
        } else {
            QFile::remove(path);
            ASSERT_EQ(::mkfifo(QFile::encodeName(way == Way::ThroughALink ? fifo : path).constData(), 0600), 0);
            if (way == Way::ThroughALink) {
                ASSERT_TRUE(QFile::link(fifo, path));
            }
            messages.Answers = {mbYes}; // "changed by another program: save over it?"
            saved = form->Mm_SaveClick();
        }
        EXPECT_FALSE(saved);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(way == Way::ReplacedWhileOpen ? path : fifo).constData(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO is still there";
        EXPECT_TRUE(editor(page)->Modified());
        EXPECT_EQ(form->Page(page).FileName, path) << "a refused Save As keeps the page's name";
        ASSERT_FALSE(messages.Shown.isEmpty());
        EXPECT_TRUE(messages.Shown.last().contains(QStringLiteral("通常のファイルではありません")))
            << messages.Shown.last().toStdString();
        EXPECT_TRUE(messages.Shown.last().contains(way == Way::SaveAs ? fifo : path))
            << messages.Shown.last().toStdString();
    }
}

TEST(Backups, StemsOfDotfilesAndRelativeFolders) {
    TBackupSettings s;
    EXPECT_EQ(BackupStem("/d/notes.txt", s), QStringLiteral("/d/notes.bak"));
    EXPECT_EQ(BackupStem("/d/.cfgA", s), QStringLiteral("/d/.cfgA.bak"));
    EXPECT_EQ(BackupStem("/d/.cfgB", s), QStringLiteral("/d/.cfgB.bak"));
    EXPECT_EQ(BackupStem("/d/.cfg.txt", s), QStringLiteral("/d/.cfg.bak"));
    s.InFolder = true;
    EXPECT_EQ(BackupStem("/d/notes.txt", s), QStringLiteral("/d/notes.bak")); // an empty folder: the file's own
    s.Folder = QStringLiteral("old");
    EXPECT_EQ(BackupStem("/d/notes.txt", s), QStringLiteral("/d/old/notes.bak"));
    s.Folder = QStringLiteral("/keep/");
    EXPECT_EQ(BackupStem("/d/notes.txt", s), QStringLiteral("/keep/notes.bak"));
    EXPECT_EQ(BackupName(QStringLiteral("x.bak"), 1), QStringLiteral("x.bak01"));
    EXPECT_EQ(BackupName(QStringLiteral("x.bak"), 10), QStringLiteral("x.bak10"));
}

// --- 7, 8 and 14: questions ------------------------------------------------------------

TEST_F(NothingLostTest, CloseAllOffersCancelAndEscapeKeepsEveryPage) {
    const QString a = file("a.txt", "a\r\n"), b = file("b.txt", "b\r\n");
    openAndType(a, "1");
    openAndType(b, "2");
    for (int key : {kEscape, static_cast<int>(mbCancel)}) {
        messages.Answers = {key};
        form->N17Click();
        ASSERT_EQ(form->PageCount(), 2);
        EXPECT_EQ(editor(1)->Lines().Text(), "2b\r\n");
        EXPECT_NE(messages.Questions.back().Buttons & mbCancel, 0);
    }
    EXPECT_EQ(read(a), QByteArray("a\r\n"));
    EXPECT_EQ(read(b), QByteArray("b\r\n"));
}

TEST_F(NothingLostTest, NewNeverReplacesAModifiedPageWhoseTextWasDeleted) {
    const QString path = file("a.txt", "abc\r\n");
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    editor(0)->SelectAll();
    editor(0)->DeleteSelection();
    ASSERT_TRUE(editor(0)->Modified());
    form->Mm_NewClick();
    ASSERT_EQ(form->PageCount(), 2);
    EXPECT_EQ(form->Page(0).FileName, path);
    EXPECT_TRUE(editor(0)->Modified());
}

TEST_F(NothingLostTest, EnterAndEscapeOnEveryQuestionThatCanDiscardText) {
    // Each question: what it is, how to bring it up, and what must hold after Enter and after
    // Escape (its default and its escape answer).
    const QString nul = file("nul.bin", QByteArray("head\0tail", 9));
    const QByteArray jisBytes = "\x1B$B$\"\x1B(B\r\n";
    const QString jis = file("jis.txt", jisBytes);
    for (int key : {kEnter, kEscape}) {
        // The NUL warning before a save: neither key writes.
        messages.Answers = {key};
        ASSERT_TRUE(form->OpenFileIntoPage(nul));
        int page = form->ActivePage();
        editor(page)->SetModified(true);
        messages.Answers = {key};
        form->Mm_SaveClick();
        EXPECT_EQ(read(nul), QByteArray("head\0tail", 9)) << key;
        // A character JIS cannot hold: Escape writes nothing, Enter writes the page as UTF-8,
        // which holds it.
        ASSERT_TRUE(form->OpenFileIntoPage(jis));
        page = form->ActivePage();
        editor(page)->SetRowCol(0, 0);
        editor(page)->TypeText("\x87\x40");
        messages.Answers = {key};
        form->Mm_SaveClick();
        EXPECT_EQ(read(jis), key == kEnter ? QStringLiteral("①あ\r\n").toUtf8() : jisBytes) << key;
        if (key == kEnter) editor(page)->TypeText("x"); // modified again, for the questions below
        // Reload: neither key drops the typing.
        messages.Answers = {key};
        form->N21Click();
        EXPECT_EQ(editor(page)->Lines().Text().substr(0, 2), "\x87\x40") << key;
        // The same file again: neither key opens a second page.
        const int pages = form->PageCount();
        messages.Answers = {key};
        if (form->ConfirmOpenAgain(jis)) form->OpenFileIntoPage(jis);
        EXPECT_EQ(form->PageCount(), pages) << key;
        // The save question when closing: Enter saves (as UTF-8 now) and the page closes,
        // Escape cancels and the typed text stays.
        messages.Answers = {key, key};
        form->C1Click();
        if (key == kEnter) {
            EXPECT_EQ(form->PageCount(), pages - 1);
            EXPECT_EQ(read(jis), QStringLiteral("①xあ\r\n").toUtf8());
            WriteTestFile(dir.path(), "jis.txt", jisBytes);
        } else {
            EXPECT_EQ(form->PageCount(), pages);
            EXPECT_EQ(editor(page)->Lines().Text().substr(0, 2), "\x87\x40");
        }
    }
    for (const TAskedQuestion& q : messages.Questions) {
        // A question with a No or Cancel gives it to Escape; Enter never discards: its
        // default is No, Cancel, or the Yes of a save.
        EXPECT_TRUE(q.Buttons & (mbNo | mbCancel)) << q.Text.toStdString();
        const bool asUtf8 = q.Text.contains(QStringLiteral("はい: UTF-8 で保存します"));
        if ((q.Text.contains(QStringLiteral("保存しますか？")) || asUtf8) && q.Buttons & mbCancel) {
            EXPECT_EQ(q.Default, mbYes);
        } else if (!q.Text.contains(QStringLiteral("読み直しますか"))) {
            EXPECT_EQ(q.Default, mbNo) << q.Text.toStdString();
        }
    }
}

TEST_F(NothingLostTest, TheRealMessageBoxGivesEnterTheDefaultAndEscapeTheSafeAnswer) {
    struct Case {
        int Buttons, Default, Key, Expected;
    };
    const Case cases[] = {
        {mbYes | mbNo, mbNo, Qt::Key_Return, mbNo},
        {mbYes | mbNo, mbNo, Qt::Key_Escape, mbNo},
        {mbYes | mbNo, mbYes, Qt::Key_Return, mbYes},
        {mbYes | mbNo, mbYes, Qt::Key_Escape, mbNo},
        {mbYes | mbNo | mbCancel, mbYes, Qt::Key_Return, mbYes},
        {mbYes | mbNo | mbCancel, mbYes, Qt::Key_Escape, mbCancel},
        {mbOK, mbOK, Qt::Key_Escape, mbOK},
    };
    for (const Case& c : cases) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Quire"), QStringLiteral("?"));
        PrepareQuestionBox(box, c.Buttons, c.Default);
        QTimer::singleShot(0, &box, [&box, &c] { QTest::keyClick(&box, static_cast<Qt::Key>(c.Key)); });
        EXPECT_EQ(AnswerOf(box.exec(), c.Buttons), c.Expected) << c.Buttons << " " << c.Key;
    }
    // The close box.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quire"), QStringLiteral("?"));
    PrepareQuestionBox(box, mbYes | mbNo | mbCancel, mbYes);
    QTimer::singleShot(0, &box, [&box] { box.close(); });
    EXPECT_EQ(AnswerOf(box.exec(), mbYes | mbNo | mbCancel), mbCancel);
}

TEST_F(NothingLostTest, TheStarFollowsTheModifiedStateAndExitIsNotBlocked) {
    setting("File", "SaveDlg", "1");
    const QString path = file("a.txt", "a\r\n");
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    messages.Answers = {mbNo};
    EXPECT_FALSE(form->Mm_SaveClick());
    EXPECT_FALSE(starred(0));
    editor(0)->TypeText("b");
    EXPECT_TRUE(starred(0));
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral(" *")));
    // Save and exit: the refused overwrite leaves the page modified; the close query then
    // asks about it, and No lets the window close.
    editor(0)->TypeText("c");
    messages.Answers = {mbNo, mbNo};
    form->show();
    form->Mm_SaveCloseClick();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(read(path), QByteArray("a\r\n"));
}

// --- saving keeps what the file was: owner, group, mode, and every hard link -----------

TEST(SafeFile, SavingKeepsOwnerGroupAndMode) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    QTemporaryDir dir;
    const QString path = dir.filePath("theirs.txt");
    WriteWholeFile(path, "old\n");
    const QByteArray name = QFile::encodeName(path);
    ASSERT_EQ(::chown(name.constData(), 65534, 65534), 0); // nobody:nogroup
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    WriteWholeFile(path, "new text\n");
    struct stat st {};
    ASSERT_EQ(::stat(name.constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(read(path), QByteArray("new text\n"));
}

TEST(SafeFile, EveryHardLinkSeesTheNewText) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.txt"), b = dir.filePath("b.txt");
    WriteWholeFile(a, "shared\n");
    ASSERT_EQ(::link(QFile::encodeName(a).constData(), QFile::encodeName(b).constData()), 0);
    WriteWholeFile(b, "written through b, longer than before\n");
    EXPECT_EQ(read(a), QByteArray("written through b, longer than before\n"));
    WriteWholeFile(a, "short\n");
    EXPECT_EQ(read(b), QByteArray("short\n"));
    // A write in place that cannot finish puts the old bytes back.
    {
        const FileSizeLimit limit(64);
        EXPECT_THROW(WriteWholeFile(a, std::string(4000, 'x')), EPlatformError);
    }
    EXPECT_EQ(read(b), QByteArray("short\n"));
}

TEST(SafeFile, ANewFileTakesTheUsualModeAndNothingIsLeftBehind) {
    QTemporaryDir dir;
    const QString path = dir.filePath("new.txt");
    const mode_t mask = ::umask(022);
    WriteWholeFile(path, "x");
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("new.txt")});
}

TEST_F(NothingLostTest, OverwriteConfirmationAndExitWithEnterAndEscape) {
    setting("File", "SaveDlg", "1");
    const QString path = file("a.txt", "a\r\n");
    openAndType(path, "typed ");
    for (int key : {kEnter, kEscape}) {
        messages.Answers = {key};
        EXPECT_FALSE(form->Mm_SaveClick());
        EXPECT_EQ(read(path), QByteArray("a\r\n"));
        EXPECT_TRUE(starred(0));
    }
    // Escape at the close query keeps the window and the text.
    form->show();
    messages.Answers = {kEscape};
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(editor(0)->Lines().Text(), "typed a\r\n");
    // Enter saves (the overwrite question is not asked again at exit) and lets it close.
    messages.Answers = {kEnter};
    EXPECT_TRUE(form->close());
    EXPECT_EQ(read(path), QByteArray("typed a\r\n"));
}

// A file whose name is Shift_JIS bytes (from a Windows archive) opens from the command line
// and from a drop, shows its name readably, and saves back to the same file.
TEST_F(NothingLostTest, AFileNameThatIsNotUtf8OpensShowsAndSaves) {
    const QByteArray name = "\x93\xFA\x96\x7B.txt"; // 日本.txt in Shift_JIS
    const QByteArray bytes = QFile::encodeName(dir.path()) + "/" + name;
    {
        const int fd = ::open(bytes.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "text\r\n", 6), 6);
        ::close(fd);
    }
    const QString path = DecodePath(bytes);
    form->HandleCommandLine({path});
    ASSERT_EQ(form->Page(0).FileName, path);
    EXPECT_EQ(form->PageControl()->tabText(0), QStringLiteral("日本.txt"));
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("日本.txt")));
    editor(0)->SetRowCol(0, 0);
    editor(0)->TypeText("new ");
    ASSERT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(QFile::decodeName(bytes)), QByteArray("<missing>")); // Qt's own name for it misses the file
    EXPECT_EQ(EncodePath(form->Page(0).FileName), bytes);
    const TRegularFileRead back = ReadRegularFile(path, 1000);
    EXPECT_EQ(back.Bytes, QByteArray("new text\r\n"));
    // A drop carries the name's bytes percent-encoded.
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), "file://" + QByteArray(bytes).toPercentEncoding("/") + "\r\n");
    EXPECT_EQ(TMainForm::DroppedFiles(data), QStringList{path});
    EXPECT_TRUE(RemoveFile(path)); // Qt's own removal of the folder could not name it
}
