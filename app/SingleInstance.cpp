// The single running instance.
#include "SingleInstance.h"

#include "Messages.h"
#include "PathCodec.h"
#include "ProgramFolder.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quire {

namespace {

const QString kNamePrefix = QStringLiteral("QuireOnlyOneApplication-");
const QByteArray kMagic = QByteArrayLiteral("QHO1");
constexpr char kAck = 0x06;
// Bounds of what a running instance accepts: far beyond any real command line.
constexpr quint32 kMaxNames = 100000;
constexpr quint32 kMaxNameLength = 1 << 16;
constexpr qsizetype kMaxMessage = qsizetype(16) << 20;

void tell(const QString& text) { Messages().Show(QStringLiteral("Quire"), text, TMessageIcon::Warning); }

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Why Path cannot hold the lock and the socket, or empty when it can: it must be a folder
// (the path itself, not a symbolic link, unless it came from XDG_RUNTIME_DIR) that belongs to
// this user and is closed to everyone else.
QString folderProblem(const QString& path, bool followLinks) {
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if ((followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st)) != 0)
        return QStringLiteral("フォルダー \"%1\" を調べられません: %2").arg(path, systemError());
    if (!S_ISDIR(st.st_mode)) return QStringLiteral("\"%1\" はフォルダーではありません").arg(path);
    if (st.st_uid != ::getuid())
        return QStringLiteral("フォルダー \"%1\" は別のユーザー（UID %2）のものです").arg(path).arg(st.st_uid);
    if ((st.st_mode & 077) != 0)
        return QStringLiteral("フォルダー \"%1\" はほかのユーザーにも開かれています（アクセス権 %2）")
            .arg(path, QString::number(st.st_mode & 0777, 8));
    return {};
}

// Clears Path (the lock or the socket) of anything else left there, a file or an empty
// folder; why not, when something stays in the way.
QString clearEntry(const QString& path, bool socket) {
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &st) != 0) return {};
    if (socket ? S_ISSOCK(st.st_mode) : S_ISREG(st.st_mode)) return {};
    if ((S_ISDIR(st.st_mode) ? ::rmdir(name.constData()) : ::unlink(name.constData())) == 0) return {};
    return QStringLiteral("\"%1\" がほかのファイルでふさがれています").arg(path);
}

// A new folder that only this process knows of; empty when none can be made.
QString freshFolder() {
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/quire-%1-XXXXXX").arg(::getuid()));
    if (!::mkdtemp(pattern.data())) return {};
    return QFile::decodeName(pattern);
}

// The user at the other end of a local socket.
std::optional<uid_t> peerUser(qintptr descriptor) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return std::nullopt;
    return credentials.uid;
}

void appendNumber(QByteArray& out, quint32 n) {
    const char bytes[4] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    out.append(bytes, 4);
}

bool readNumber(const QByteArray& in, qsizetype& at, quint32& n) {
    if (in.size() - at < 4) return false;
    n = 0;
    for (int i = 0; i < 4; ++i) n = n << 8 | quint8(in[at + i]);
    at += 4;
    return true;
}

QString lockPath(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name + QStringLiteral(".lock");
}

} // namespace

QString TSingleInstance::DisplayName() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        // ":1" and ":1.0" are one display: the screen number is left out.
        QString display = qEnvironmentVariable("DISPLAY");
        static const QRegularExpression screen(QStringLiteral("\\.\\d+$"));
        display.remove(screen);
        return QStringLiteral("x11:") + display;
    }
    if (platform.startsWith(QLatin1String("wayland"))) {
        const QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
        return QStringLiteral("wayland:") + (display.isEmpty() ? QStringLiteral("wayland-0") : display);
    }
    return platform;
}

QString TSingleInstance::InstanceName(const QString& Display, const QString& SettingsFolder) {
    const QString canonical = QFileInfo(SettingsFolder).canonicalFilePath();
    const QByteArray key =
        Display.toUtf8() + '\n' + QFile::encodeName(canonical.isEmpty() ? SettingsFolder : canonical);
    return kNamePrefix +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
}

QString TSingleInstance::InstanceName() { return InstanceName(DisplayName(), ProgramFolder()); }

TSingleInstance::TFolder TSingleInstance::ChooseRuntimeFolder(const QString& Name) {
    TFolder folder;
    QString problem;
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QFileInfo(xdg).isDir()) {
        problem = folderProblem(xdg, true);
        folder.Path = xdg;
    } else {
        folder.Path = QDir::tempPath() + QStringLiteral("/quire-") + QString::number(::getuid());
        // Made with its mode at once, so that it is never open to others for a moment.
        if (::mkdir(QFile::encodeName(folder.Path).constData(), 0700) != 0 && errno != EEXIST)
            problem = QStringLiteral("フォルダー \"%1\" を作れません: %2").arg(folder.Path, systemError());
        else
            problem = folderProblem(folder.Path, false);
    }
    if (problem.isEmpty()) problem = clearEntry(lockPath(folder.Path, Name), false);
    if (problem.isEmpty()) problem = clearEntry(folder.Path + QLatin1Char('/') + Name, true);
    if (problem.isEmpty()) return folder;
    return TFolder{freshFolder(), problem, true};
}

TSingleInstance::TSingleInstance() : FName(InstanceName()), FFolder(ChooseRuntimeFolder(FName)) {
    if (FFolder.Fresh) {
        tell(FFolder.Problem +
             QStringLiteral("。\r\r安全のため、このフォルダーは使いません。この Quire は専用の新しいフォルダーで動き、"
                            "ほかの起動とはファイルを受け渡しません。"));
    }
}

TSingleInstance::~TSingleInstance() {
    FServer.close();
    FLock.reset();
    if (FFolder.Fresh && !FFolder.Path.isEmpty()) QDir(FFolder.Path).removeRecursively();
}

QString TSingleInstance::SocketPath() const { return FFolder.Path + QLatin1Char('/') + FName; }

void TSingleInstance::MoveToFreshFolder(const QString& Problem) {
    FLock.reset();
    FFolder = TFolder{freshFolder(), Problem, true};
    tell(Problem + QStringLiteral("。\r\r安全のため、この Quire は専用の新しいフォルダーで動き、"
                                  "ほかの起動とはファイルを受け渡しません。"));
    bool held = false;
    if (!FFolder.Path.isEmpty()) TryLock(held);
}

bool TSingleInstance::TryLock(bool& Held) {
    const QString path = lockPath(FFolder.Path, FName);
    FLock = std::make_unique<QLockFile>(path);
    FLock->setStaleLockTime(0); // a lock whose process is gone is taken over by tryLock itself
    if (FLock->tryLock(0)) return true;
    Held = FLock->error() == QLockFile::LockFailedError;
    // A lock file that names no process at all was left by a start that died before writing
    // it, and is taken over once it is old. A fresh one is a start that is writing it this
    // moment: taking that over would give two instances.
    qint64 pid = 0;
    QString host, app;
    const bool nameless = !FLock->getLockInfo(&pid, &host, &app);
    const qint64 age = QFileInfo(path).lastModified().msecsTo(QDateTime::currentDateTime());
    return Held && nameless && std::abs(age) > NamelessLockAgeMs && FLock->removeStaleLockFile() && FLock->tryLock(0);
}

TSingleInstance::TRole TSingleInstance::AcquireOrHandOver(const QByteArrayList& Names, int TimeoutMs) {
    if (FFolder.Path.isEmpty()) return TRole::First;
    const QDeadlineTimer deadline(TimeoutMs);
    for (;;) {
        bool held = false;
        if (TryLock(held)) return TRole::First;
        if (!held) {
            MoveToFreshFolder(QStringLiteral("ロックファイル \"%1\" を作れません").arg(lockPath(FFolder.Path, FName)));
            return TRole::First;
        }
        switch (SendFiles(SocketPath(), Names, static_cast<int>(deadline.remainingTime()))) {
        case TDelivery::Delivered: return TRole::HandedOver;
        case TDelivery::Foreign:
            MoveToFreshFolder(QStringLiteral("ソケット \"%1\" の相手は別のユーザーです").arg(SocketPath()));
            return TRole::First;
        case TDelivery::NotReached: break;
        }
        // The holder is starting (not listening yet) or has just died: try again.
        if (deadline.hasExpired()) return TRole::NoAnswer;
        QThread::msleep(100);
    }
}

TSingleInstance::TDelivery TSingleInstance::SendFiles(const QString& SocketPath, const QByteArrayList& Names,
                                                      int TimeoutMs) {
    const QDeadlineTimer deadline(std::max(TimeoutMs, 0));
    QLocalSocket s;
    s.connectToServer(SocketPath);
    if (!s.waitForConnected(std::min(TimeoutMs, 1000))) return TDelivery::NotReached;
    const auto peer = peerUser(s.socketDescriptor());
    if (!peer || *peer != ::getuid()) {
        s.abort();
        return TDelivery::Foreign;
    }
    s.write(EncodeFiles(Names));
    while (s.bytesToWrite() > 0)
        if (!s.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) return TDelivery::NotReached;
    while (s.bytesAvailable() < 1)
        if (!s.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) return TDelivery::NotReached;
    char answer = 0;
    return s.getChar(&answer) && answer == kAck ? TDelivery::Delivered : TDelivery::NotReached;
}

bool TSingleInstance::Listen() {
    if (FFolder.Path.isEmpty()) return false;
    const QString path = SocketPath();
    QLocalServer::removeServer(path); // a socket left by an instance that was killed
    FServer.setSocketOptions(QLocalServer::UserAccessOption);
    if (!FServer.listen(path)) {
        tell(QStringLiteral("ほかの起動からファイルを受け取れません（%1: %2）。").arg(path, FServer.errorString()));
        return false;
    }
    connect(&FServer, &QLocalServer::newConnection, this, &TSingleInstance::AcceptConnections);
    return true;
}

void TSingleInstance::AcceptConnections() {
    while (QLocalSocket* s = FServer.nextPendingConnection()) {
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        const auto peer = peerUser(s->socketDescriptor());
        if (!peer || *peer != ::getuid()) {
            s->abort();
            s->deleteLater();
            continue;
        }
        auto buffer = std::make_shared<QByteArray>();
        connect(s, &QLocalSocket::readyRead, this, [this, s, buffer] { ReadFrom(s, *buffer); });
        if (s->bytesAvailable() > 0) ReadFrom(s, *buffer);
    }
}

void TSingleInstance::ReadFrom(QLocalSocket* Socket, QByteArray& Buffer) {
    Buffer += Socket->readAll();
    QByteArrayList names;
    const TDecoded decoded = Buffer.size() > kMaxMessage ? TDecoded::Malformed : DecodeFiles(Buffer, names);
    if (decoded == TDecoded::Incomplete) return;
    if (decoded == TDecoded::Malformed) {
        Buffer.clear();
        Socket->abort();
        return;
    }
    QObject::disconnect(Socket, &QLocalSocket::readyRead, this, nullptr);
    Socket->write(&kAck, 1);
    Socket->flush();
    Socket->disconnectFromServer();
    QStringList files;
    for (const QByteArray& name : names)
        if (!name.isEmpty()) files << DecodePath(name);
    // Opened from the event loop, not from inside the socket's signal.
    QTimer::singleShot(0, this, [this, files] { Deliver(files); });
}

void TSingleInstance::Deliver(const QStringList& Files) {
    if (FOnFiles)
        FOnFiles(Files);
    else
        FPending.push_back(Files);
}

void TSingleInstance::SetOnFiles(std::function<void(const QStringList& Files)> OnFiles) {
    FOnFiles = std::move(OnFiles);
    std::vector<QStringList> pending;
    pending.swap(FPending);
    for (const QStringList& files : pending) FOnFiles(files);
}

QByteArray TSingleInstance::EncodeFiles(const QByteArrayList& Names) {
    QByteArray out = kMagic;
    appendNumber(out, static_cast<quint32>(Names.size()));
    for (const QByteArray& name : Names) {
        appendNumber(out, static_cast<quint32>(name.size()));
        out += name;
    }
    return out;
}

TSingleInstance::TDecoded TSingleInstance::DecodeFiles(const QByteArray& Bytes, QByteArrayList& Names) {
    Names.clear();
    if (!Bytes.startsWith(kMagic)) return kMagic.startsWith(Bytes) ? TDecoded::Incomplete : TDecoded::Malformed;
    qsizetype at = kMagic.size();
    quint32 count = 0;
    if (!readNumber(Bytes, at, count)) return TDecoded::Incomplete;
    if (count > kMaxNames) return TDecoded::Malformed;
    for (quint32 i = 0; i < count; ++i) {
        quint32 length = 0;
        if (!readNumber(Bytes, at, length)) return TDecoded::Incomplete;
        if (length > kMaxNameLength) return TDecoded::Malformed;
        if (Bytes.size() - at < qsizetype(length)) return TDecoded::Incomplete;
        Names << Bytes.mid(at, length);
        at += length;
    }
    return at == Bytes.size() ? TDecoded::Complete : TDecoded::Malformed;
}

QByteArray TSingleInstance::AbsoluteName(const QByteArray& Name) {
    if (Name.startsWith('/')) return Name;
    std::unique_ptr<char, decltype(&std::free)> folder(::get_current_dir_name(), &std::free);
    if (!folder) return Name;
    return QByteArray(folder.get()) + '/' + Name;
}

} // namespace quire
