// Bounded reading of regular files and standard input.
#include "RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include <QFile>

namespace quire {

namespace {

TRegularFileRead failed(TReadFailure Failure, int Errno = 0) {
    TRegularFileRead r;
    r.Failure = Failure;
    r.Errno = Errno;
    return r;
}

// Reads Fd to its end into Out; TooLarge as soon as more than MaxSize bytes came.
TRegularFileRead readAll(int fd, qint64 MaxSize, qint64 expected) {
    TRegularFileRead r;
    r.Bytes.reserve(static_cast<qsizetype>(std::min(expected, MaxSize)));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return r;
        if (n < 0) {
            if (errno == EINTR) continue;
            return failed(TReadFailure::System, errno);
        }
        if (r.Bytes.size() + n > MaxSize) return failed(TReadFailure::TooLarge);
        r.Bytes.append(buffer, static_cast<qsizetype>(n));
    }
}

} // namespace

TRegularFileRead ReadStandardInput(qint64 MaxSize) { return readAll(STDIN_FILENO, MaxSize, 0); }

QString ReadFailureText(const TRegularFileRead& Read, qint64 MaxSize) {
    switch (Read.Failure) {
    case TReadFailure::None: return {};
    case TReadFailure::Missing: return QString::fromLocal8Bit(std::strerror(ENOENT));
    case TReadFailure::NotRegular: return QStringLiteral("not a regular file");
    case TReadFailure::TooLarge: return QStringLiteral("larger than %1 MB").arg(MaxSize >> 20);
    case TReadFailure::System: return QString::fromLocal8Bit(std::strerror(Read.Errno));
    }
    return {};
}

} // namespace quire
