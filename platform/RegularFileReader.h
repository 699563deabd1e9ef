// TRegularFileReader: a regular file of bounded size, read piece by piece.
#pragma once

#include "RegularFile.h"

#include <QString>
#include <cstddef>

namespace quire {

// Opens Path as ReadRegularFile does (without blocking, checked on the open descriptor: a
// regular file of at most MaxSize bytes) and reads it in pieces of the caller's size. Status
// tells why it cannot be read (its Bytes stay empty); after a failed Read it tells why that
// failed, and a file that grows past MaxSize while it is read fails as TooLarge.
class TRegularFileReader {
public:
    TRegularFileReader(const QString& Path, qint64 MaxSize);
    ~TRegularFileReader();
    TRegularFileReader(const TRegularFileReader&) = delete;
    TRegularFileReader& operator=(const TRegularFileReader&) = delete;

    const TRegularFileRead& Status() const noexcept { return FStatus; }
    bool Ok() const noexcept { return FStatus.Ok(); }
    // The size the file had when it was opened.
    qint64 Size() const noexcept { return FSize; }
    // Reads up to N bytes into Buffer, fewer only at the end of the file; false on failure.
    bool Read(char* Buffer, std::size_t N, std::size_t& Got);

private:
    int FFd = -1;
    qint64 FSize = 0;
    qint64 FMaxSize;
    qint64 FTotal = 0;
    TRegularFileRead FStatus;
};

} // namespace quire
