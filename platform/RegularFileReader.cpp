// TRegularFileReader.
#include "RegularFileReader.h"

#include "PathCodec.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quire {

TRegularFileReader::TRegularFileReader(const QString& Path, qint64 MaxSize) : FMaxSize(MaxSize) {
    const QByteArray name = EncodePath(Path);
    FFd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (FFd < 0) {
        FStatus.Failure = errno == ENOENT ? TReadFailure::Missing : TReadFailure::System;
        FStatus.Errno = errno;
        return;
    }
    struct stat st {};
    if (::fstat(FFd, &st) != 0) {
        FStatus.Failure = TReadFailure::System;
        FStatus.Errno = errno;
    } else if (!S_ISREG(st.st_mode)) {
        FStatus.Failure = TReadFailure::NotRegular;
    } else if (st.st_size > MaxSize) {
        FStatus.Failure = TReadFailure::TooLarge;
    } else {
        FSize = st.st_size;
    }
}

TRegularFileReader::~TRegularFileReader() {
    if (FFd >= 0) ::close(FFd);
}

bool TRegularFileReader::Read(char* Buffer, std::size_t N, std::size_t& Got) {
    Got = 0;
    if (!Ok()) return false;
    while (Got < N) {
        const ssize_t n = ::read(FFd, Buffer + Got, N - Got);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            FStatus.Failure = TReadFailure::System;
            FStatus.Errno = errno;
            return false;
        }
        Got += static_cast<std::size_t>(n);
        FTotal += n;
        if (FTotal > FMaxSize) {
            FStatus.Failure = TReadFailure::TooLarge;
            return false;
        }
    }
    return true;
}

// Whole-file reading is the reader run to the end.
TRegularFileRead ReadRegularFile(const QString& Path, qint64 MaxSize) {
    TRegularFileReader reader(Path, MaxSize);
    if (!reader.Ok()) return reader.Status();
    TRegularFileRead r;
    r.Bytes.reserve(static_cast<qsizetype>(reader.Size()));
    char buffer[65536];
    for (std::size_t got = 0;;) {
        if (!reader.Read(buffer, sizeof buffer, got)) return reader.Status();
        if (got == 0) return r;
        r.Bytes.append(buffer, static_cast<qsizetype>(got));
    }
}

} // namespace quire
