// Safe whole-file writes and file stamps.
#include "SafeFile.h"

#include "PathCodec.h"
#include "PlatformError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quire {

namespace {

// A file descriptor closed on every path.
class TFd {
public:
    explicit TFd(int Fd = -1) noexcept : FFd(Fd) {}
    ~TFd() {
        if (FFd >= 0) ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const noexcept { return FFd; }
    // Closes now; false (errno set) when the close reports a delayed write error.
    bool Close() noexcept {
        const int fd = FFd;
        FFd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int FFd;
};

// The system's reason for a failure, taken from errno at once.
struct TFailure {
    int Error;
};

// The file at a path is there but is no regular file (a FIFO, a device, a socket): writing
// would replace the node or pour the text into the device, and reading its "old content"
// might never end.
struct TNotRegular {};

// The new content is in place, but the system could not confirm that its name reached the
// disk.
struct TUnconfirmed {
    int Error;
};

QString notRegularText() { return QStringLiteral("FIFO やデバイスなど、通常のファイルではありません"); }

void writeAll(int fd, const char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw TFailure{errno};
        }
        if (n == 0) throw TFailure{ENOSPC};
        data += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
}

std::string readAll(int fd) {
    std::string bytes;
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw TFailure{errno};
        }
        if (n == 0) return bytes;
        bytes.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
}

// Makes FD hold exactly Bytes, on the disk.
void putContent(int fd, std::string_view bytes) {
    writeAll(fd, bytes.data(), bytes.size(), 0);
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) throw TFailure{errno};
    if (::fsync(fd) != 0) throw TFailure{errno};
}

// Makes a name just given in Folder durable; the error number, or 0.
int syncFolder(const QByteArray& folder) {
    TFd dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0) return errno;
    return ::fsync(dir.Get()) == 0 ? 0 : errno;
}

QByteArray folderOf(const QByteArray& path) {
    const int slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : path.left(slash);
}

// A new file beside Target that nobody else can have opened; its name goes into Name.
int createBeside(const QByteArray& target, QByteArray& name) {
    const int slash = target.lastIndexOf('/');
    name = target.left(slash + 1) + '.' + target.mid(slash + 1) + ".quire-XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) throw TFailure{errno};
    return fd;
}

// Writes into a new file beside Target and renames it over Target. False when it cannot keep
// the old file's owner (the caller writes in place instead).
bool replaceByRename(const QByteArray& target, std::string_view bytes, const struct stat* old) {
    QByteArray temp;
    TFd fd(createBeside(target, temp));
    try {
        if (old) {
            if (::fchown(fd.Get(), old->st_uid, old->st_gid) != 0) {
                ::unlink(temp.constData());
                return false;
            }
            if (::fchmod(fd.Get(), old->st_mode & 07777) != 0) throw TFailure{errno};
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(fd.Get(), 0666 & ~mask);
        }
        putContent(fd.Get(), bytes);
        if (!fd.Close()) throw TFailure{errno};
        if (::rename(temp.constData(), target.constData()) != 0) throw TFailure{errno};
    } catch (...) {
        ::unlink(temp.constData());
        throw;
    }
    if (const int error = syncFolder(folderOf(target)); error != 0) throw TUnconfirmed{error};
    return true;
}

// Writes over Target's own bytes, so that every hard link sees them; puts the old bytes back
// when the new ones cannot all be written.
void replaceInPlace(const QByteArray& target, std::string_view bytes) {
    // Without blocking, and checked on the open descriptor: a FIFO or a device put in the
    // file's place meanwhile is neither waited for nor read.
    TFd fd(::open(target.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.Get() < 0) throw TFailure{errno};
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) throw TFailure{errno};
    if (!S_ISREG(st.st_mode)) throw TNotRegular{};
    const std::string old = readAll(fd.Get());
    try {
        putContent(fd.Get(), bytes);
    } catch (const TFailure&) {
        try {
            putContent(fd.Get(), old);
        } catch (const TFailure&) {
        }
        throw;
    }
    if (!fd.Close()) throw TFailure{errno};
}

// The file a path names: a symbolic link's target (made absolute), else the path itself.
QByteArray realTarget(const QString& path) {
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path);
    struct stat st {};
    if (::lstat(EncodePath(absolute).constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        const QString target = CanonicalPath(absolute);
        if (!target.isEmpty()) return EncodePath(target);
    }
    return EncodePath(absolute);
}

} // namespace

TFileStamp StampOf(const QString& Path) {
    struct stat st {};
    if (::stat(EncodePath(Path).constData(), &st) != 0) return {};
    return TFileStamp{true, static_cast<int64_t>(st.st_size),
                      static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                      static_cast<uint64_t>(st.st_ino), static_cast<uint64_t>(st.st_dev)};
}

QString SystemErrorText(int Error) {
    QString reason;
    switch (Error) {
    case ENOSPC:
    case EDQUOT: reason = QStringLiteral("ディスクの空き容量が足りません"); break;
    case EFBIG: reason = QStringLiteral("ファイルの大きさが許された上限を超えます"); break;
    case EACCES:
    case EPERM: reason = QStringLiteral("書き込む権限がありません"); break;
    case EROFS: reason = QStringLiteral("読み取り専用のファイルシステムです"); break;
    case EISDIR: reason = QStringLiteral("同じ名前のフォルダーがあります"); break;
    case ENOENT:
    case ENOTDIR: reason = QStringLiteral("フォルダーがありません"); break;
    case 0: reason = QStringLiteral("原因は不明です"); break;
    default: reason = QString::fromLocal8Bit(std::strerror(Error)); break;
    }
    return reason;
}

namespace {

QString writeFailureText(const QString& Path, const QString& Reason) {
    return QStringLiteral("ファイルに書き込めませんでした（%1）。ファイルは元のままです。\r\r%2")
        .arg(Reason, DisplayPath(Path));
}

QString unconfirmedText(const QString& Path, int Error) {
    return QStringLiteral("ファイルに書き込みましたが、ディスクに届いたことを確かめられませんでした（%1）。\r\r%2")
        .arg(SystemErrorText(Error), DisplayPath(Path));
}

} // namespace

QString WriteFailureText(const QString& Path, int Error) { return writeFailureText(Path, SystemErrorText(Error)); }

namespace {

// WriteWholeFile's work; raises TFailure, TNotRegular or TUnconfirmed.
void writeWhole(const QString& path, std::string_view bytes) {
    const QByteArray target = realTarget(path);
    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) throw TFailure{EISDIR};
    if (exists && !S_ISREG(st.st_mode)) throw TNotRegular{};
    if (exists && st.st_nlink > 1) {
        replaceInPlace(target, bytes);
        return;
    }
    bool renamed = false;
    try {
        renamed = replaceByRename(target, bytes, exists ? &st : nullptr);
    } catch (const TFailure& f) {
        // A folder the user may not create files in can still hold a file they may write.
        if (!exists || (f.Error != EACCES && f.Error != EPERM && f.Error != EROFS)) throw;
    }
    if (!renamed) replaceInPlace(target, bytes);
}

} // namespace

void WriteWholeFile(const QString& Path, std::string_view Bytes) {
    try {
        writeWhole(Path, Bytes);
    } catch (const TFailure& f) {
        throw EPlatformError(WriteFailureText(Path, f.Error).toStdString());
    } catch (const TNotRegular&) {
        throw EPlatformError(writeFailureText(Path, notRegularText()).toStdString());
    } catch (const TUnconfirmed& u) {
        throw EUnconfirmedWrite(unconfirmedText(Path, u.Error).toStdString());
    }
}

QString WriteWholeFileReason(const QString& Path, std::string_view Bytes) {
    try {
        writeWhole(Path, Bytes);
    } catch (const TFailure& f) {
        return SystemErrorText(f.Error);
    } catch (const TNotRegular&) {
        return notRegularText();
    } catch (const TUnconfirmed& u) {
        return QStringLiteral("書き込んだ内容がディスクに届いたことを確かめられませんでした（%1）")
            .arg(SystemErrorText(u.Error));
    }
    return {};
}

QString CopyBeside(const QString& From, const QString& Anchor) {
    QByteArray temp;
    try {
        TFd in(::open(EncodePath(From).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (in.Get() < 0) throw TFailure{errno};
        struct stat st {};
        if (::fstat(in.Get(), &st) != 0) throw TFailure{errno};
        if (!S_ISREG(st.st_mode)) throw TNotRegular{};
        TFd out(createBeside(EncodePath(Anchor), temp));
        char buffer[65536];
        for (off_t offset = 0;;) {
            const ssize_t n = ::read(in.Get(), buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw TFailure{errno};
            if (n == 0) break;
            writeAll(out.Get(), buffer, static_cast<std::size_t>(n), offset);
            offset += n;
        }
        if (::fsync(out.Get()) != 0 || !out.Close()) throw TFailure{errno};
    } catch (const TFailure& f) {
        if (!temp.isEmpty()) ::unlink(temp.constData());
        throw EPlatformError(WriteFailureText(Anchor, f.Error).toStdString());
    } catch (const TNotRegular&) {
        throw EPlatformError(
            QStringLiteral("%1 を写せませんでした（%2）。").arg(DisplayPath(From), notRegularText()).toStdString());
    }
    return DecodePath(temp);
}

void RenameOver(const QString& From, const QString& To) {
    const QByteArray to = EncodePath(To);
    if (::rename(EncodePath(From).constData(), to.constData()) != 0)
        throw EPlatformError(WriteFailureText(To, errno).toStdString());
    if (const int error = syncFolder(folderOf(to)); error != 0)
        throw EUnconfirmedWrite(unconfirmedText(To, error).toStdString());
}

void CopyFileOver(const QString& From, const QString& To) {
    const QString temp = CopyBeside(From, To);
    try {
        RenameOver(temp, To);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
}

} // namespace quire
