// Writes that fail at every possible moment: run with the fault library preloaded, each
// scenario (a save with backups, the recovery journal's writer, the settings file) is run once
// to count its calls of write, pwrite, ftruncate, fsync, fdatasync and rename, then again for
// every call number with that call failing (a full disk, then a failing one). After each run
// the file, each backup and the journal must hold a whole version, nothing written before may
// be lost, and a run in which a call failed must have told the user, unless it ended just as
// a run without failure does.
#include "Editor.h"
#include "FakeEditor.h"
#include "JournalReader.h"
#include "JournalWriter.h"
#include "PageJournal.h"
#include "PlatformError.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "RecoveryKeeper.h"
#include "ScriptedServices.h"
#include "Settings.h"
#include "TestFiles.h"
#include "Unit1.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quire;
using namespace quire::test;

namespace {

// The fault library's controls (see FaultInjection.cpp).
struct Faults {
    void (*Arm)(long, int) = reinterpret_cast<void (*)(long, int)>(::dlsym(RTLD_DEFAULT, "QuireFaultArm"));
    long (*Disarm)() = reinterpret_cast<long (*)()>(::dlsym(RTLD_DEFAULT, "QuireFaultDisarm"));
    const char* (*Failed)() = reinterpret_cast<const char* (*)()>(::dlsym(RTLD_DEFAULT, "QuireFaultFailed"));
    bool Loaded() const { return Arm && Disarm && Failed; }
};

// What one run saw: the function whose call failed (null when none did).
struct TFaultRun {
    const char* Failed = nullptr;
};

class FaultInjectionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(faults.Loaded()) << "run with LD_PRELOAD of the fault library"; }

    // Runs Scenario once to count its calls, then once for every call number and each error
    // with that call failing; Check looks at what each run left.
    void everyCall(
        const std::function<void(const std::function<void()>& Arm, const std::function<void()>& Disarm)>& Scenario,
        const std::function<void(const TFaultRun&, const std::string& Where)>& Check) {
        long count = 0;
        Scenario([&] { faults.Arm(0, 0); }, [&] { count = faults.Disarm(); });
        ASSERT_GT(count, 3) << "the scenario writes";
        for (const int error : {ENOSPC, EIO})
            for (long n = 1; n <= count; ++n) {
                TFaultRun run;
                Scenario([&] { faults.Arm(n, error); },
                         [&] {
                             faults.Disarm();
                             run.Failed = faults.Failed();
                         });
                const std::string where = std::string(error == ENOSPC ? "ENOSPC" : "EIO") + " at call " +
                                          std::to_string(n) + " (" + (run.Failed ? run.Failed : "none") + ")";
                Check(run, where);
                if (::testing::Test::HasFatalFailure()) return;
            }
    }

    Faults faults;
};

QByteArray read(const QString& path) { return ReadTestFile(path); }

} // namespace

// A save over doc.txt with three backup generations: the file is the old or the new text, each
// backup one of the versions, the text before the save is in the file, in generation 01 or in
// a file a message names, and a failure is told and leaves the page modified.
TEST_F(FaultInjectionTest, ASaveWithBackupsFailingAtEveryCall) {
    profile::WriteString(SettingsFileName(), "File", "BackUp", "1");
    profile::WriteString(SettingsFileName(), "File", "BackUp_Sedai", "3");
    const QStringList versions = {"v0\r\n", "v1\r\n", "v2\r\n", "v3\r\n", "v4\r\n"};
    std::unique_ptr<QTemporaryDir> dir;
    ScriptedMessages messages;
    ScriptedDialogs dialogs;
    bool saved = false, modified = false;
    auto scenario = [&](const std::function<void()>& arm, const std::function<void()>& disarm) {
        dir = std::make_unique<QTemporaryDir>();
        const QString path = WriteTestFile(dir->path(), "doc.txt", "v3\r\n");
        for (int k = 1; k <= 3; ++k)
            WriteTestFile(dir->path(), QStringLiteral("doc.bak0%1").arg(k), versions[3 - k].toUtf8());
        messages.Shown.clear();
        TMainForm form;
        EXPECT_TRUE(form.OpenFileIntoPage(path));
        form.Page(0).Editor->SetTextMsg("v4\r\n");
        form.Page(0).Editor->SetModified(true);
        arm();
        saved = form.Mm_SaveClick();
        disarm();
        modified = form.Page(0).Editor->Modified();
    };
    everyCall(scenario, [&](const TFaultRun& run, const std::string& where) {
        SCOPED_TRACE(where);
        const QDir folder(dir->path());
        const QString told = messages.Shown.join("\n");
        const QByteArray file = read(folder.filePath("doc.txt"));
        ASSERT_TRUE(file == "v3\r\n" || file == "v4\r\n") << file.toStdString();
        for (int k = 1; k <= 3; ++k) {
            const QByteArray backup = read(folder.filePath(QStringLiteral("doc.bak0%1").arg(k)));
            EXPECT_TRUE(versions.contains(QString::fromLatin1(backup)))
                << "generation " << k << ": " << backup.toStdString();
        }
        // Nothing left behind that no message names; the text before the save somewhere.
        bool oldKept = file == "v3\r\n" || read(folder.filePath("doc.bak01")) == "v3\r\n";
        for (const QString& extra : folder.entryList(QDir::Files | QDir::Hidden).filter("quire-")) {
            EXPECT_TRUE(told.contains(extra)) << "left behind unnamed: " << extra.toStdString();
            oldKept = oldKept || read(folder.filePath(extra)) == "v3\r\n";
        }
        // (A copy of it that could not be made at all is told before the save goes on.)
        EXPECT_TRUE(oldKept || told.contains(QStringLiteral("バックアップファイルを作成できませんでした")))
            << "the text before the save was lost";
        EXPECT_EQ(saved, file == "v4\r\n");
        EXPECT_TRUE(file != "v3\r\n" || modified) << "a failed save keeps the page modified";
        EXPECT_TRUE(!run.Failed || !messages.Shown.isEmpty()) << "the user was not told";
        if (messages.Shown.isEmpty()) {
            EXPECT_FALSE(modified);
            EXPECT_EQ(read(folder.filePath("doc.bak01")), "v3\r\n");
            EXPECT_EQ(read(folder.filePath("doc.bak02")), "v2\r\n");
            EXPECT_EQ(read(folder.filePath("doc.bak03")), "v1\r\n");
        }
    });
}

// A page's journal through snapshots, records and a fresh generation: whatever call fails,
// the newest journal file that can be read gives a text the page had (the last one unless the
// failure was told), ends with whole frames, and no temporary file is left.
TEST_F(FaultInjectionTest, TheJournalWriterFailingAtEveryCall) {
    std::unique_ptr<QTemporaryDir> dir;
    std::vector<std::string> states;
    bool told = false;
    auto scenario = [&](const std::function<void()>& arm, const std::function<void()>& disarm) {
        dir = std::make_unique<QTemporaryDir>();
        states.clear();
        told = false;
        FakeEditor e;
        TJournalWriter writer(QFile::encodeName(dir->path()).toStdString(), std::chrono::milliseconds(0));
        TPageJournal journal(writer, "page", std::chrono::milliseconds(0));
        e.Store->SetObserver(&journal);
        const std::function<void(TEditorScreenStrings&)> steps[] = {
            [](TEditorScreenStrings& s) { s.SetTextStr("first\r\nsecond\r\n"); },
            [](TEditorScreenStrings& s) { s.ReplaceRows(0, 1, "edit one\r\n"); },
            [](TEditorScreenStrings& s) { s.ReplaceRows(1, 1, "edit two\r\n"); },
            [](TEditorScreenStrings& s) { s.SetTextStr("a new text\r\nof two lines"); }, // a fresh snapshot
            [](TEditorScreenStrings& s) { s.ReplaceRows(1, 1, "of three\r\nlines"); },
            [](TEditorScreenStrings& s) { s.ReplaceRows(0, 1, "the last\r\n"); },
        };
        arm();
        for (const auto& step : steps) {
            step(*e.Store);
            journal.Flush(*e.Store, true, journal::TJournalPage());
            writer.WaitIdle();
            states.push_back(e.Store->GetTextStr());
            told = told || !writer.TakeError().Path.empty();
        }
        disarm();
        e.Store->SetObserver(nullptr);
    };
    everyCall(scenario, [&](const TFaultRun& run, const std::string& where) {
        SCOPED_TRACE(where);
        const QDir folder(dir->path());
        EXPECT_TRUE(folder.entryList({"*.tmp"}, QDir::Files | QDir::Hidden).isEmpty());
        TJournalContent newest;
        uint64_t generation = 0;
        for (const QString& name : folder.entryList({"page.*.journal"}, QDir::Files)) {
            const TJournalContent c = TJournalReader::Replay(read(folder.filePath(name)).toStdString());
            const uint64_t g = name.section('.', 1, 1).toULongLong();
            if (c.Usable && g > generation) {
                generation = g;
                newest = c;
            }
        }
        ASSERT_TRUE(newest.Usable) << "no journal to recover from";
        EXPECT_TRUE(newest.Complete);
        EXPECT_NE(std::find(states.begin(), states.end(), newest.Text), states.end()) << newest.Text;
        EXPECT_TRUE(told || newest.Text == states.back()) << "a lost write was not reported";
    });
}

// The settings file written by the settings dialog's OK: the old bytes or the new ones, and a
// failure raised (the dialog shows it) unless the new bytes are whole on the disk.
TEST_F(FaultInjectionTest, TheSettingsWriteFailingAtEveryCall) {
    const QString file = SettingsFileName();
    TSettings before;
    before.Save(file);
    const QByteArray old = read(file);
    TSettings after;
    after.Editor.TabSpaceCount = 4;
    after.MyProp.BackUp = true;
    after.MyProp.QuoteMark = QStringLiteral("|");
    QByteArray written;
    bool told = false;
    auto scenario = [&](const std::function<void()>& arm, const std::function<void()>& disarm) {
        before.Save(file);
        told = false;
        arm();
        try {
            after.Save(file);
        } catch (const EPlatformError&) {
            told = true;
        }
        disarm();
    };
    scenario([] {}, [] {});
    written = read(file);
    ASSERT_NE(written, old);
    everyCall(scenario, [&](const TFaultRun& run, const std::string& where) {
        SCOPED_TRACE(where);
        const QByteArray now = read(file);
        EXPECT_TRUE(now == old || now == written) << now.toStdString();
        EXPECT_TRUE(!run.Failed || told) << "a failed write was not raised";
        EXPECT_TRUE(told || now == written);
        EXPECT_TRUE(
            QDir(QFileInfo(file).absolutePath()).entryList(QDir::Files | QDir::Hidden).filter("quire-").isEmpty());
    });
}

// A journal write that fails after the last key was neither retried nor told until the next
// key: now it is told once typing has paused, and the journal is written afresh by itself.
// Both a failed write and a failed sync of the file.
TEST_F(FaultInjectionTest, AJournalWriteFailingAfterTheLastKeyIsToldAndRetriedWithoutAKey) {
    for (const long failing : {1L, 2L}) { // the record's write; the file's sync that follows it
        SCOPED_TRACE(failing == 1 ? "write" : "fdatasync");
        ScriptedMessages messages;
        QTemporaryDir dir;
        const QString path = WriteTestFile(dir.path(), "note.txt", "old\r\n");
        TMainForm form;
        ASSERT_TRUE(form.OpenFileIntoPage(path));
        TEditor* e = form.Page(0).Editor;
        e->TypeText("a");
        form.Recovery().FlushNow();
        form.Recovery().WaitWritten();
        faults.Arm(failing, EIO);
        e->TypeText("b"); // the last key
        form.Recovery().FlushNow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return faults.Failed() != nullptr; }, 10000));
        faults.Disarm();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !messages.Shown.isEmpty(); }, 5000 + TRecoveryKeeper::kTellAfterQuietMs))
            << "told without another key";
        ASSERT_EQ(messages.Shown.size(), 1);
        EXPECT_TRUE(messages.Shown.first().contains(QStringLiteral("最後に記録できた後の変更")))
            << messages.Shown.first().toStdString();
        // The journal is written afresh by itself, in a new generation: a start would now
        // recover every key from a file that was synced.
        const QString id = QString::fromStdString(form.Recovery().JournalOf(e)->Id());
        const auto recovered = [&] {
            form.Recovery().WaitWritten();
            const QDir folder(TRecoveryKeeper::Folder());
            for (const QString& name : folder.entryList({id + ".*.journal"}, QDir::Files))
                if (name.section('.', 1, 1).toInt() > 1 &&
                    TJournalReader::Replay(read(folder.filePath(name)).toStdString()).Text == "abold\r\n")
                    return true;
            return false;
        };
        EXPECT_TRUE(QTest::qWaitFor(recovered, 20000));
        EXPECT_EQ(e->Lines().Text(), "abold\r\n");
    }
}
