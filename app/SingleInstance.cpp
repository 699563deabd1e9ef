// The single running instance.
#include "SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <unistd.h>

namespace quire {

namespace {
const QString kName = QStringLiteral("QuireOnlyOneApplication");
}

QString TSingleInstance::RuntimeFolder() {
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists()) {
        dir = QDir::tempPath() + QStringLiteral("/quire-") + QString::number(::getuid());
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return dir;
}

TSingleInstance::TSingleInstance() = default;

TSingleInstance::~TSingleInstance() {
    FServer.close();
    if (FLock) FLock->unlock();
}

bool TSingleInstance::Acquire() {
    FLock = std::make_unique<QLockFile>(RuntimeFolder() + QLatin1Char('/') + kName + QStringLiteral(".lock"));
    FLock->setStaleLockTime(0); // only a lock whose process is gone is stale
    if (FLock->tryLock(0)) return true;
    if (FLock->error() == QLockFile::LockFailedError && FLock->removeStaleLockFile()) return FLock->tryLock(0);
    return false;
}

bool TSingleInstance::Listen(std::function<void()> OnHello) {
    FOnHello = std::move(OnHello);
    const QString path = RuntimeFolder() + QLatin1Char('/') + kName;
    QLocalServer::removeServer(path); // a socket left by an instance that was killed
    FServer.setSocketOptions(QLocalServer::UserAccessOption);
    if (!FServer.listen(path)) return false;
    connect(&FServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = FServer.nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                s->readAll();
                s->disconnectFromServer();
                if (FOnHello) FOnHello();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    return true;
}

bool TSingleInstance::SendHello(int TimeoutMs) {
    QLocalSocket s;
    s.connectToServer(RuntimeFolder() + QLatin1Char('/') + kName);
    if (!s.waitForConnected(TimeoutMs)) return false;
    s.write("\x01", 1); // the hello
    s.flush();
    s.waitForBytesWritten(TimeoutMs);
    s.waitForDisconnected(TimeoutMs);
    return true;
}

} // namespace quire
