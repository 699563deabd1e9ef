// The single running instance: a lock that only one process holds, and a local socket on
// which the running instance receives the file names of later starts.
#pragma once

#include <QByteArrayList>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLocalSocket;

namespace quire {

// There is one instance per user, display and settings folder: the lock and the socket are
// named after the display and the settings folder (InstanceName), so that a start on another
// display or with another QUIRE_HOME runs its own window instead of handing its files to a
// window on another screen or with other settings.
//
// Both live in a runtime folder of the user's own: $XDG_RUNTIME_DIR, else TMPDIR/quire-UID
// (created with mode 0700). A folder that belongs to another user or is open to others is
// refused with a message, and so is one whose lock or socket path is taken by something
// that cannot be cleared away (a folder with files in it); this process then runs in a
// fresh private folder of its own, without handing files to or from other starts. The
// socket's peer must be the same user on both ends.
//
// The hand-off: a later start sends "QHO1", the number of names and each name (its length,
// then its bytes: the raw local 8-bit bytes of the path, so any file name passes), every
// number 32-bit big-endian. The running instance answers one byte, 0x06, once it has the
// whole list; the names are then opened in order.
class TSingleInstance : public QObject {
    Q_OBJECT

public:
    enum class TRole {
        First,      // this process holds the lock: it runs the window
        HandedOver, // the running instance has the files: this process ends
        NoAnswer,   // the lock is held but its holder never took the files
    };
    // The outcome of one attempt to hand files over.
    enum class TDelivery { Delivered, NotReached, Foreign };
    // What DecodeFiles made of the bytes received so far.
    enum class TDecoded { Incomplete, Complete, Malformed };

    // The folder the lock and socket of this user live in, and why the usual one was refused
    // (empty when it was not; then Fresh is false).
    struct TFolder {
        QString Path;
        QString Problem;
        bool Fresh = false;
    };
    // The folder for the lock and socket named Name.
    static TFolder ChooseRuntimeFolder(const QString& Name);

    // The display this process shows its windows on: "x11:" and $DISPLAY without its screen
    // number, "wayland:" and $WAYLAND_DISPLAY, or the name of Qt's platform (offscreen).
    static QString DisplayName();
    // The name of the lock and the socket of the instance for Display and SettingsFolder:
    // "QuireOnlyOneApplication-" and sixteen hexadecimal digits of a hash of both (the
    // folder's canonical path: two spellings of one folder are one instance).
    static QString InstanceName(const QString& Display, const QString& SettingsFolder);
    // This process's: its display and the program folder.
    static QString InstanceName();

    // Chooses the runtime folder; a refused one is reported through the message service.
    TSingleInstance();
    ~TSingleInstance() override;
    const QString& Folder() const { return FFolder.Path; }
    QString SocketPath() const;

    // Takes the lock, or hands Names to the process that holds it. While the holder is
    // alive and not yet listening, tries again every 100 ms until TimeoutMs have passed; a
    // holder that died is replaced. A socket of another user makes this process run in a
    // fresh private folder instead (after telling the user).
    TRole AcquireOrHandOver(const QByteArrayList& Names, int TimeoutMs = 30000);
    // After First: listens for later starts (a stale socket of an instance that was killed is
    // replaced). False, after telling the user, when it cannot.
    bool Listen();
    // Runs OnFiles with every list handed over, in the order they came; lists that came
    // before are handed to it at once.
    void SetOnFiles(std::function<void(const QStringList& Files)> OnFiles);

    // How old a lock file that names no process must be before a start takes it over.
    static constexpr qint64 NamelessLockAgeMs = 5000;

    // One attempt to hand Names to the instance listening on SocketPath.
    static TDelivery SendFiles(const QString& SocketPath, const QByteArrayList& Names, int TimeoutMs);
    static QByteArray EncodeFiles(const QByteArrayList& Names);
    static TDecoded DecodeFiles(const QByteArray& Bytes, QByteArrayList& Names);
    // Name made absolute against the working folder, byte for byte.
    static QByteArray AbsoluteName(const QByteArray& Name);

private:
    void MoveToFreshFolder(const QString& Problem);
    bool TryLock(bool& Held);
    void AcceptConnections();
    void ReadFrom(QLocalSocket* Socket, QByteArray& Buffer);
    void Deliver(const QStringList& Files);

    QString FName; // of the lock and socket
    TFolder FFolder;
    std::unique_ptr<QLockFile> FLock;
    QLocalServer FServer;
    std::function<void(const QStringList&)> FOnFiles;
    std::vector<QStringList> FPending;
};

} // namespace quire
