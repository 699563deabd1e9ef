// Helpers for tests that run the quire program itself: its environment, starting it (also as
// another local user), and watching which files a running instance opens.
#pragma once

#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <grp.h>
#include <map>
#include <optional>
#include <pwd.h>
#include <set>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

namespace quire::test {

// The environment of a start of quire: its program folder and runtime folder, offscreen.
// An empty Runtime leaves XDG_RUNTIME_DIR out, so that TMPDIR/quire-UID is used.
inline QProcessEnvironment QuireEnvironment(const QString& Home, const QString& Runtime, const QString& Tmp = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUIRE_HOME", Home);
    env.insert("HOME", Home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    if (Runtime.isEmpty())
        env.remove("XDG_RUNTIME_DIR");
    else
        env.insert("XDG_RUNTIME_DIR", Runtime);
    if (!Tmp.isEmpty()) env.insert("TMPDIR", Tmp);
    return env;
}

// The socket of the instance that a start with QuireEnvironment(Home, Runtime) listens on.
inline QString InstanceSocket(const QString& Runtime, const QString& Home) {
    return Runtime + QLatin1Char('/') + TSingleInstance::InstanceName(QStringLiteral("offscreen"), Home);
}

// Another local user to run as: "nobody", when this test runs as root and it exists.
struct OtherUser {
    uid_t Uid;
    gid_t Gid;
};
inline std::optional<OtherUser> FindOtherUser() {
    if (::getuid() != 0) return std::nullopt;
    const passwd* p = ::getpwnam("nobody");
    if (!p || p->pw_uid == 0) return std::nullopt;
    return OtherUser{p->pw_uid, p->pw_gid};
}

// Starts quire with Args; as User when one is given.
inline void StartQuire(QProcess& Process, const QProcessEnvironment& Env, const QStringList& Args,
                       std::optional<OtherUser> User = std::nullopt, const QString& WorkingFolder = {}) {
    Process.setProcessEnvironment(Env);
    if (!WorkingFolder.isEmpty()) Process.setWorkingDirectory(WorkingFolder);
    if (User) {
        const OtherUser u = *User;
        Process.setChildProcessModifier([u] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(u.Gid) != 0 || ::setuid(u.Uid) != 0) ::_exit(127);
        });
    }
    Process.start(QStringLiteral(QUIRE_BIN_DIR "/quire"), Args);
}

// Waits (running the event loop) until Done() holds or Ms have passed; Done()'s last answer.
template <typename F>
bool WaitFor(F Done, int Ms = 60000) {
    for (int waited = 0; waited < Ms; waited += 50) {
        if (Done()) return true;
        QTest::qWait(50);
    }
    return Done();
}

// Which of some files have been opened by anyone since they were watched (the senders of
// a hand-off never open the files; only the instance that reads them does).
class FileOpenWatch {
public:
    FileOpenWatch() : FFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~FileOpenWatch() {
        if (FFd >= 0) ::close(FFd);
    }
    void Watch(const QString& Path) {
        const int wd = ::inotify_add_watch(FFd, QFile::encodeName(Path).constData(), IN_OPEN);
        if (wd >= 0) FWatched[wd] = Path;
    }
    std::set<QString> Opened() {
        alignas(inotify_event) char buffer[4096];
        ssize_t n;
        while ((n = ::read(FFd, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(p);
                if (FWatched.count(e->wd) && FOpened.insert(FWatched[e->wd]).second) FOrder.push_back(FWatched[e->wd]);
                p += sizeof(inotify_event) + e->len;
            }
        }
        return FOpened;
    }
    // The watched files in the order they were first opened.
    std::vector<QString> OpenedInOrder() {
        Opened();
        return FOrder;
    }

private:
    int FFd;
    std::map<int, QString> FWatched;
    std::set<QString> FOpened;
    std::vector<QString> FOrder;
};

} // namespace quire::test
