// The single running instance: a lock that only one process holds, and a local socket on
// which the running instance hears the hello of a later start.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <functional>
#include <memory>

namespace quire {

class TSingleInstance : public QObject {
    Q_OBJECT

public:
    // The folder of the lock and the socket: $XDG_RUNTIME_DIR, else a private folder of the
    // user's under the temporary folder.
    static QString RuntimeFolder();

    TSingleInstance();
    ~TSingleInstance() override;

    // True when this process is the running instance (the lock was taken; a lock left by a
    // process that died is taken over).
    bool Acquire();
    // Starts listening; OnHello runs on every hello.
    bool Listen(std::function<void()> OnHello);
    // From a later start: tells the running instance to look at App/FileName. False when it
    // could not be reached.
    static bool SendHello(int TimeoutMs = 3000);

private:
    std::unique_ptr<QLockFile> FLock;
    QLocalServer FServer;
    std::function<void()> FOnHello;
};

} // namespace quire
