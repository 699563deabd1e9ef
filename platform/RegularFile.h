// Reading a whole file only when it is a regular file of bounded size, so that a folder, a
// FIFO or a device (/dev/zero) given where a file is expected is refused instead of blocking
// or reading without end.
#pragma once

#include <QByteArray>
#include <QString>

namespace quire {

// The largest text file the editor and its tools read, in bytes. Offsets into a text are
// 32-bit, and reading holds a file twice for a moment.
constexpr qint64 MaxTextFileSize = qint64(1) << 30;

enum class TReadFailure {
    None,
    Missing,    // no such file
    NotRegular, // a folder, FIFO, socket or device
    TooLarge,   // more than the allowed size (also a file that grew past it while read)
    System,     // the system refused: see Errno
};

struct TRegularFileRead {
    QByteArray Bytes;
    TReadFailure Failure = TReadFailure::None;
    int Errno = 0;
    bool Ok() const { return Failure == TReadFailure::None; }
};

// Reads Path whole. The file is opened without blocking and checked on the open descriptor
// before anything is read, so a FIFO never blocks and a file swapped in between is caught.
TRegularFileRead ReadRegularFile(const QString& Path, qint64 MaxSize);

// Reads standard input to its end, refusing it once it passes MaxSize bytes.
TRegularFileRead ReadStandardInput(qint64 MaxSize);

// What went wrong, in English for the tools' standard error ("not a regular file", ...).
QString ReadFailureText(const TRegularFileRead& Read, qint64 MaxSize);

} // namespace quire
