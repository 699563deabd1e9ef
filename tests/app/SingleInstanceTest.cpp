// The single instance: its runtime folder refused when another user could reach it, the
// socket's peer checked on both ends, the hand-off message, and whole starts of the program.
#include "SingleInstance.h"
#include "Messages.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "QuireProcess.h"
#include "ScriptedServices.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>

using namespace quire;
using namespace quire::test;

namespace {

// Sets an environment variable (or removes it, for an empty value) while it lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value) : name_(name), had_(qEnvironmentVariableIsSet(name)) {
        old_ = qgetenv(name);
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnv() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

struct stat statOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

bool isPrivateFolderOfOurs(const QString& path) {
    const struct stat st = statOf(path);
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

// A temporary folder that other users may pass through, as /tmp is.
class SharedTmp {
public:
    SharedTmp() { ::chmod(QFile::encodeName(dir_.path()).constData(), 01777); }
    QString Path() const { return dir_.path(); }
    QString Own() const { return dir_.path() + "/quire-" + QString::number(::getuid()); }

private:
    QTemporaryDir dir_;
};

} // namespace

TEST(RuntimeFolder, ThePrivateFolderIsMadeClosedToOthers) {
    SharedTmp tmp;
    ScopedEnv xdg("XDG_RUNTIME_DIR", {});
    ScopedEnv env("TMPDIR", tmp.Path());
    test::ScriptedMessages messages;
    TSingleInstance instance;
    EXPECT_EQ(instance.Folder(), tmp.Own());
    EXPECT_TRUE(isPrivateFolderOfOurs(tmp.Own()));
    EXPECT_TRUE(messages.Shown.isEmpty()) << messages.Shown.join('\n').toStdString();
}

TEST(RuntimeFolder, AFolderOthersCanReachIsRefused) {
    SharedTmp tmp;
    ScopedEnv xdg("XDG_RUNTIME_DIR", {});
    ScopedEnv env("TMPDIR", tmp.Path());
    auto expectRefused = [&](const char* what) {
        test::ScriptedMessages messages;
        {
            TSingleInstance instance;
            EXPECT_NE(instance.Folder(), tmp.Own()) << what;
            EXPECT_TRUE(instance.Folder().startsWith(tmp.Path() + "/quire-")) << what;
            EXPECT_TRUE(isPrivateFolderOfOurs(instance.Folder())) << what;
            ASSERT_EQ(messages.Shown.size(), 1) << what;
            EXPECT_TRUE(messages.Shown[0].contains(tmp.Own())) << messages.Shown[0].toStdString();
        }
        // The fresh folder goes with the instance.
        EXPECT_EQ(QDir(tmp.Path()).entryList({"quire-*"}, QDir::Dirs | QDir::System),
                  QStringList{QFileInfo(tmp.Own()).fileName()})
            << what;
    };
    ASSERT_EQ(::mkdir(QFile::encodeName(tmp.Own()).constData(), 0700), 0);
    ::chmod(QFile::encodeName(tmp.Own()).constData(), 0777);
    expectRefused("a folder open to others");
    ::chmod(QFile::encodeName(tmp.Own()).constData(), 0750);
    expectRefused("a folder open to the group");
    ASSERT_TRUE(QDir().rmdir(tmp.Own()));
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(elsewhere.path(), tmp.Own()));
    expectRefused("a symbolic link to a folder");
    ASSERT_TRUE(QFile::remove(tmp.Own()));
    if (const auto other = FindOtherUser()) {
        ASSERT_EQ(::mkdir(QFile::encodeName(tmp.Own()).constData(), 0700), 0);
        ASSERT_EQ(::chown(QFile::encodeName(tmp.Own()).constData(), other->Uid, other->Gid), 0);
        expectRefused("a folder of another user");
    } else {
        std::printf("[ SKIPPED  ] a folder of another user: needs root and the user \"nobody\"\n");
    }
}

// One instance per display and settings folder: the lock and socket names differ where either
// does, and two spellings of one folder are one instance.
TEST(InstanceName, OnePerDisplayAndSettingsFolder) {
    QTemporaryDir a, b, links;
    const QString linkToA = links.filePath("a");
    ASSERT_TRUE(QFile::link(a.path(), linkToA));
    const QString x1 = "x11::1";
    const QString name = TSingleInstance::InstanceName(x1, a.path());
    EXPECT_TRUE(name.startsWith("QuireOnlyOneApplication-")) << name.toStdString();
    EXPECT_EQ(name.size(), QStringLiteral("QuireOnlyOneApplication-").size() + 16);
    const struct {
        QString Display, Folder;
        bool Same;
    } cases[] = {
        {x1, a.path() + "/", true},
        {x1, linkToA, true},
        {x1, a.path() + "/../" + QFileInfo(a.path()).fileName(), true},
        {"x11::2", a.path(), false},
        {x1, b.path(), false},
        {"offscreen", a.path(), false},
        {"wayland:wayland-0", a.path(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TSingleInstance::InstanceName(c.Display, c.Folder) == name, c.Same)
            << c.Display.toStdString() << " " << c.Folder.toStdString();
    // This process's: its display and its program folder.
    EXPECT_EQ(TSingleInstance::InstanceName(),
              TSingleInstance::InstanceName(TSingleInstance::DisplayName(), ProgramFolder()));
}

TEST(RuntimeFolder, AnXdgRuntimeFolderOpenToOthersIsRefused) {
    QTemporaryDir runtime, tmp;
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path());
    ScopedEnv env("TMPDIR", tmp.path());
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0755);
    test::ScriptedMessages messages;
    TSingleInstance instance;
    EXPECT_NE(instance.Folder(), runtime.path());
    EXPECT_TRUE(isPrivateFolderOfOurs(instance.Folder()));
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains(runtime.path()));
}

TEST(RuntimeFolder, WhatSitsOnTheLockOrSocketPathIsClearedOrReported) {
    QTemporaryDir runtime, tmp;
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path());
    ScopedEnv env("TMPDIR", tmp.path());
    const QString socket = runtime.path() + "/" + TSingleInstance::InstanceName();
    const QString lock = socket + ".lock";
    test::ScriptedMessages messages;
    {
        // Left there by mistake: a file on the socket path, an empty folder on the lock path.
        QFile junk(socket);
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.close();
        ASSERT_TRUE(QDir().mkdir(lock));
        TSingleInstance instance;
        EXPECT_EQ(instance.Folder(), runtime.path());
        EXPECT_EQ(instance.AcquireOrHandOver({}, 1000), TSingleInstance::TRole::First);
        EXPECT_TRUE(instance.Listen());
        EXPECT_TRUE(messages.Shown.isEmpty()) << messages.Shown.join('\n').toStdString();
    }
    // A folder with something in it is not removed: that is told, and a fresh folder used.
    ASSERT_TRUE(QDir().mkpath(socket + "/kept"));
    TSingleInstance instance;
    EXPECT_NE(instance.Folder(), runtime.path());
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains(socket)) << messages.Shown[0].toStdString();
    EXPECT_TRUE(QDir(socket + "/kept").exists());
    EXPECT_EQ(instance.AcquireOrHandOver({}, 1000), TSingleInstance::TRole::First);
    EXPECT_TRUE(instance.Listen());
}

TEST(HandOff, NamesOfAnyBytesComeThroughWhole) {
    const QByteArrayList names = {"/dir/notes\n[File]\nAutoSave=1\nTime=5\n[z", "/old/caf\xE9.txt", "", "/a b/c",
                                  QByteArray(5000, 'x')};
    const QByteArray message = TSingleInstance::EncodeFiles(names);
    QByteArrayList decoded;
    EXPECT_EQ(TSingleInstance::DecodeFiles(message, decoded), TSingleInstance::TDecoded::Complete);
    EXPECT_EQ(decoded, names);
    for (qsizetype n = 0; n < message.size(); n += 7)
        EXPECT_EQ(TSingleInstance::DecodeFiles(message.left(n), decoded), TSingleInstance::TDecoded::Incomplete) << n;
    EXPECT_EQ(TSingleInstance::DecodeFiles(message + "x", decoded), TSingleInstance::TDecoded::Malformed);
    EXPECT_EQ(TSingleInstance::DecodeFiles("\x01", decoded), TSingleInstance::TDecoded::Malformed);
    EXPECT_EQ(TSingleInstance::DecodeFiles(QByteArray("QHO1\xFF\xFF\xFF\xFF", 8), decoded),
              TSingleInstance::TDecoded::Malformed);
    EXPECT_EQ(TSingleInstance::DecodeFiles(QByteArray("QHO1\0\0\0\x01\x7F\xFF\xFF\xFF", 12), decoded),
              TSingleInstance::TDecoded::Malformed);
    EXPECT_EQ(TSingleInstance::AbsoluteName("/x"), "/x");
    EXPECT_EQ(TSingleInstance::AbsoluteName("a\xE9"), QFile::encodeName(QDir::currentPath()) + "/a\xE9");
}

TEST(HandOff, ASocketOfAnotherUserIsNeitherToldNorHeard) {
    const auto other = FindOtherUser();
    if (!other) GTEST_SKIP() << "needs root and the user \"nobody\" to act as another local user";
    SharedTmp tmp;
    const QString theirs = tmp.Path() + "/theirs";
    ASSERT_TRUE(QDir().mkdir(theirs));
    ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), other->Uid, other->Gid), 0);
    ::chmod(QFile::encodeName(theirs).constData(), 0700);
    // Their instance, listening in their own runtime folder.
    QProcess them;
    StartQuire(them, QuireEnvironment(theirs, theirs, tmp.Path()), {}, other);
    ASSERT_TRUE(them.waitForStarted());
    const QString socket = InstanceSocket(theirs, theirs);
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(socket); }, 30000)) << them.readAllStandardError().toStdString();
    EXPECT_EQ(TSingleInstance::SendFiles(socket, {"/secret/plans.txt"}, 3000), TSingleInstance::TDelivery::Foreign);
    them.kill();
    them.waitForFinished();

    // Our instance, with its socket opened to everyone on purpose: their hand-off is dropped.
    QTemporaryDir runtime;
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path());
    TSingleInstance ours;
    ASSERT_EQ(ours.AcquireOrHandOver({}, 1000), TSingleInstance::TRole::First);
    ASSERT_TRUE(ours.Listen());
    QStringList heard;
    ours.SetOnFiles([&heard](const QStringList& files) { heard << files; });
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0755);
    ::chmod(QFile::encodeName(ours.SocketPath()).constData(), 0777);
    const pid_t child = ::fork();
    if (child == 0) {
        // Another user's process: connects, sends a list, and exits 0 only when it was answered.
        if (::setgroups(0, nullptr) != 0 || ::setgid(other->Gid) != 0 || ::setuid(other->Uid) != 0) ::_exit(3);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(ours.SocketPath());
        std::memcpy(address.sun_path, path.constData(), std::min<size_t>(path.size(), sizeof address.sun_path - 1));
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) ::_exit(4);
        const QByteArray message = TSingleInstance::EncodeFiles({"/their/file.txt"});
        if (::write(fd, message.constData(), size_t(message.size())) != message.size()) ::_exit(5);
        timeval wait{3, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        char answer = 0;
        ::_exit(::read(fd, &answer, 1) == 1 && answer == 0x06 ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_TRUE(WaitFor([&] { return ::waitpid(child, &status, WNOHANG) == child; }, 10000));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1); // connected, but never answered
    QTest::qWait(200);
    EXPECT_TRUE(heard.isEmpty()) << heard.join(' ').toStdString();
}

TEST(HandOff, WhileTheHolderLivesButDoesNotListenTheStartWaitsThenGivesUp) {
    QTemporaryDir runtime;
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path());
    TSingleInstance holder;
    ASSERT_EQ(holder.AcquireOrHandOver({}, 1000), TSingleInstance::TRole::First);
    // Not listening (yet): a later start neither takes over nor gives up at once.
    TSingleInstance later;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(later.AcquireOrHandOver({"/a.txt"}, 1500), TSingleInstance::TRole::NoAnswer);
    EXPECT_GE(clock.elapsed(), 1400);
}

// A start that died between making the lock file and writing its name into it leaves an empty
// lock: an old one is taken over, a fresh one is a start writing it now and is left alone.
TEST(HandOff, AnEmptyLockFileIsTakenOverOnlyOnceItIsOld) {
    QTemporaryDir runtime;
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path());
    QFile lock(runtime.path() + "/" + TSingleInstance::InstanceName() + ".lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    {
        TSingleInstance fresh;
        EXPECT_EQ(fresh.AcquireOrHandOver({"/a.txt"}, 500), TSingleInstance::TRole::NoAnswer);
    }
    ASSERT_TRUE(lock.exists()) << "a fresh lock is not removed";
    const QDateTime old = QDateTime::currentDateTime().addMSecs(-TSingleInstance::NamelessLockAgeMs - 2000);
    ASSERT_TRUE(lock.setFileTime(old, QFileDevice::FileModificationTime));
    lock.close();
    TSingleInstance later;
    EXPECT_EQ(later.AcquireOrHandOver({"/a.txt"}, 500), TSingleInstance::TRole::First);
}
