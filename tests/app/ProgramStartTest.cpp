// Whole starts of the quire program: one instance however many starts come at once, every
// file of every start opened by it, a runtime folder taken by another user, and a settings
// file that cannot be written.
#include "QuireProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using namespace quire::test;

namespace {

class ProgramStart : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto& p : processes) {
            p->kill();
            p->waitForFinished();
        }
    }
    QString file(const QString& name, const QByteArray& bytes = "text") {
        QFile f(files.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
    // Count files named after Pattern ("%1" the number), watched from now on.
    std::set<QString> watchedFiles(const QString& pattern, int count, FileOpenWatch& watch) {
        std::set<QString> names;
        for (int i = 0; i < count; ++i) {
            const QString name = file(pattern.arg(i));
            watch.Watch(name);
            names.insert(name);
        }
        return names;
    }
    QProcess& start(const QStringList& args, const QProcessEnvironment& env) {
        processes.push_back(std::make_unique<QProcess>());
        StartQuire(*processes.back(), env, args);
        return *processes.back();
    }
    QString socket() const { return InstanceSocket(runtime.path(), home.path()); }
    QProcessEnvironment env() const { return QuireEnvironment(home.path(), runtime.path()); }
    int running() const {
        int n = 0;
        for (const auto& p : processes) n += p->state() != QProcess::NotRunning;
        return n;
    }

    QTemporaryDir home, runtime, files;
    std::vector<std::unique_ptr<QProcess>> processes;
};

} // namespace

TEST_F(ProgramStart, ASecondStartHandsItsFileOver) {
    const QString hand = file("hand.txt");
    FileOpenWatch watch;
    watch.Watch(hand);
    QProcess& first = start({}, env());
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(socket()); }, 30000));
    // Named relative to the second start's own working folder.
    QProcess second;
    StartQuire(second, env(), {"hand.txt"}, std::nullopt, files.path());
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(WaitFor([&] { return watch.Opened().count(hand) == 1; }, 30000));
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
    // A stale lock and socket from the killed instance do not stop the next start.
    QProcess& third = start({}, env());
    ASSERT_TRUE(third.waitForStarted());
    QTest::qWait(1500);
    EXPECT_EQ(third.state(), QProcess::Running);
}

// The instance is one per settings folder: a start with another QUIRE_HOME runs its own
// window and opens its file itself, while a start with the same one hands its file over.
TEST_F(ProgramStart, AStartWithAnotherSettingsFolderRunsItsOwnWindow) {
    start({}, env());
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(socket()); }, 30000));
    QTemporaryDir otherHome;
    QProcess& own = start({file("own.txt")}, QuireEnvironment(otherHome.path(), runtime.path()));
    EXPECT_TRUE(WaitFor([&] { return QFileInfo::exists(InstanceSocket(runtime.path(), otherHome.path())); }, 30000));
    EXPECT_FALSE(own.waitForFinished(2000)) << "handed over and ended with " << own.exitCode();
    QProcess same;
    StartQuire(same, QuireEnvironment(otherHome.path(), runtime.path()), {file("same.txt")});
    ASSERT_TRUE(same.waitForFinished(30000));
    EXPECT_EQ(same.exitCode(), 0) << same.readAllStandardError().toStdString();
    EXPECT_EQ(running(), 2);
}

TEST_F(ProgramStart, ASecondStartWithSeveralFilesHandsThemAllOverInOrder) {
    start({}, env());
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(socket()); }, 30000));
    FileOpenWatch watch;
    const std::vector<QString> names = {file("c.txt"), file("a.txt"), file("b.txt")};
    for (const QString& name : names) watch.Watch(name);
    QProcess second;
    StartQuire(second, env(), {names[0], names[1], names[2]});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(WaitFor([&] { return watch.OpenedInOrder().size() == 3; }, 30000));
    EXPECT_EQ(watch.OpenedInOrder(), names);
}

TEST_F(ProgramStart, SimultaneousStartsGiveOneInstanceThatOpensEveryFile) {
    FileOpenWatch watch;
    const std::set<QString> names = watchedFiles("start%1.txt", 4, watch);
    for (const QString& name : names) start({name}, env());
    // Three starts hand their file over and end; one runs the window.
    ASSERT_TRUE(WaitFor([&] { return running() <= 1; }, 60000)) << running() << " instances";
    EXPECT_EQ(running(), 1);
    for (const auto& p : processes) {
        if (p->state() == QProcess::NotRunning) {
            EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        }
    }
    EXPECT_TRUE(WaitFor([&] { return watch.Opened() == names; }, 30000)) << watch.Opened().size() << " of 4 opened";
}

TEST_F(ProgramStart, EightStartsAtOnceWithOneWindowRunningOpenAllEightFiles) {
    start({}, env());
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(socket()); }, 30000));
    FileOpenWatch watch;
    const std::set<QString> names = watchedFiles("file%1.txt", 8, watch);
    for (const QString& name : names) start({name}, env());
    ASSERT_TRUE(WaitFor([&] { return running() == 1; }, 60000)) << running() << " instances";
    for (size_t i = 1; i < processes.size(); ++i) EXPECT_EQ(processes[i]->exitCode(), 0);
    EXPECT_EQ(processes.front()->state(), QProcess::Running);
    EXPECT_TRUE(WaitFor([&] { return watch.Opened() == names; }, 30000)) << watch.Opened().size() << " of 8 opened";
}

TEST_F(ProgramStart, AnotherUsersFolderInThePlaceOfOursDoesNotTakeTheStart) {
    const auto other = FindOtherUser();
    if (!other) GTEST_SKIP() << "needs root and the user \"nobody\" to act as another local user";
    QTemporaryDir tmp, theirHome;
    ::chmod(QFile::encodeName(tmp.path()).constData(), 01777);
    ASSERT_EQ(::chown(QFile::encodeName(theirHome.path()).constData(), other->Uid, other->Gid), 0);
    // They make the folder this user's starts would use, and listen in it.
    const QString ours = tmp.path() + "/quire-" + QString::number(::getuid());
    ASSERT_EQ(::mkdir(QFile::encodeName(ours).constData(), 0700), 0);
    ASSERT_EQ(::chown(QFile::encodeName(ours).constData(), other->Uid, other->Gid), 0);
    processes.push_back(std::make_unique<QProcess>());
    StartQuire(*processes.back(), QuireEnvironment(theirHome.path(), ours, tmp.path()), {}, other);
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(InstanceSocket(ours, theirHome.path())); }, 30000));
    // This user's start keeps its file and runs on its own, in a fresh folder of its own.
    QProcess& mine = start({file("mine.txt")}, QuireEnvironment(home.path(), {}, tmp.path()));
    ASSERT_TRUE(mine.waitForStarted());
    EXPECT_FALSE(mine.waitForFinished(3000)) << "ended with " << mine.exitCode();
    const QStringList fresh = QDir(tmp.path()).entryList({"quire-*-*"}, QDir::Dirs);
    ASSERT_EQ(fresh.size(), 1);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(tmp.path() + "/" + fresh[0]).constData(), &st), 0);
    EXPECT_EQ(st.st_uid, ::getuid());
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(ProgramStart, ASettingsFileThatCannotBeWrittenDoesNotEndTheProgram) {
    ASSERT_TRUE(QDir().mkdir(home.path() + "/quire.ini"));
    QProcess& p = start({}, env());
    ASSERT_TRUE(p.waitForStarted());
    EXPECT_FALSE(p.waitForFinished(3000)) << p.readAllStandardError().toStdString();
    EXPECT_FALSE(p.readAllStandardError().contains("terminate called"));
}

// Usage, the version and unknown switches are answered without a display.
TEST_F(ProgramStart, HelpVersionAndUnknownSwitchesNeedNoDisplay) {
    QProcessEnvironment noDisplay = env();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) noDisplay.remove(name);
    const struct {
        QStringList Args;
        int Status;
        QByteArray Out; // standard output starts with it
        QByteArray Err; // standard error holds it
    } cases[] = {
        {{"--help"}, 0, "usage: quire [/html|/ini|/del|/perl|/cpp|/basic|/user] [FILE...]\n", ""},
        {{"-h"}, 0, "usage: quire ", ""},
        {{"/perl", "a.txt", "--help"}, 0, "usage: quire ", ""},
        {{"--version"}, 0, "quire " QUIRE_VERSION "\n", ""},
        {{"-display", ":99", "--version"}, 0, "quire " QUIRE_VERSION "\n", ""},
        {{"--bogus"}, 2, "", "quire: unknown option --bogus\nusage: quire "},
        {{"a.txt", "-x"}, 2, "", "unknown option -x"},
    };
    for (const auto& c : cases) {
        QProcess& p = start(c.Args, noDisplay);
        ASSERT_TRUE(p.waitForFinished(30000)) << c.Args.join(' ').toStdString();
        const QByteArray out = p.readAllStandardOutput(), err = p.readAllStandardError();
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << c.Args.join(' ').toStdString() << ": " << err.toStdString();
        EXPECT_EQ(p.exitCode(), c.Status) << c.Args.join(' ').toStdString() << ": " << err.toStdString();
        EXPECT_TRUE(out.startsWith(c.Out)) << c.Args.join(' ').toStdString() << ": " << out.toStdString();
        EXPECT_TRUE(err.contains(c.Err)) << c.Args.join(' ').toStdString() << ": " << err.toStdString();
        if (c.Status == 0) {
            EXPECT_TRUE(err.isEmpty()) << err.toStdString();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(home.filePath("quire.ini"))) << "nothing was started";
}

// After "--" every argument is a file, one that begins with "-" too.
TEST_F(ProgramStart, ArgumentsAfterTwoDashesAreFiles) {
    const QString dashed = file("-x.txt");
    FileOpenWatch watch;
    watch.Watch(dashed);
    processes.push_back(std::make_unique<QProcess>());
    QProcess& p = *processes.back();
    StartQuire(p, env(), {"--", "-x.txt"}, std::nullopt, files.path());
    EXPECT_TRUE(WaitFor([&] { return watch.Opened().count(dashed) == 1; }, 30000))
        << p.readAllStandardError().toStdString();
    EXPECT_EQ(p.state(), QProcess::Running);
}

// Installed, the program finds the guide in ../share/quire from its own folder: F1 reads it.
TEST_F(ProgramStart, F1FindsTheGuideInTheInstalledDataFolder) {
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir().mkpath(prefix.filePath("bin")) && QDir().mkpath(prefix.filePath("share/quire")));
    const QString program = prefix.filePath("bin/quire");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUIRE_BIN_DIR "/quire"), program));
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
    QFile guide(prefix.filePath("share/quire/readme.txt"));
    ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
    guide.write("guide\n");
    guide.close();
    FileOpenWatch watch;
    watch.Watch(guide.fileName());
    QProcessEnvironment keys = env();
    keys.insert("QUIRE_TEST_KEYS", "1");
    processes.push_back(std::make_unique<QProcess>());
    QProcess& p = *processes.back();
    p.setProcessEnvironment(keys);
    p.start(program, {});
    ASSERT_TRUE(p.waitForStarted());
    p.write("k F1\n");
    EXPECT_TRUE(WaitFor([&] { return watch.Opened().count(guide.fileName()) == 1; }, 30000))
        << p.readAllStandardError().toStdString();
}

// The timing probe of the end-to-end benchmark, given a file the editor refuses, ends with the
// message instead of waiting for a screen of text that never comes.
TEST_F(ProgramStart, TheTimingProbeEndsWithTheMessageWhenTheFileIsRefused) {
    const QString big = file("big.txt", "");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize((qint64(1) << 30) + 1)); // sparse: takes no room on disk
    }
    QProcessEnvironment timed = env();
    timed.insert("QUIRE_TIMING", "open");
    QProcess& p = start({big}, timed);
    ASSERT_TRUE(p.waitForFinished(30000)) << "the probe waited for a screen that never comes";
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("quire-timing: stopped: "))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("を超えるファイルは開けません"))) << err.toStdString();
    EXPECT_TRUE(err.contains("big.txt")) << err.toStdString();
    QFile::remove(big);
}
