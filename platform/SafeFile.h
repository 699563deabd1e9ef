// Writing a user's file so that it is always either the old content or the new, never cut,
// and knowing whether a file changed on disk since it was read or written.
#pragma once

#include <QString>
#include <cstdint>
#include <string_view>

namespace quire {

// What identifies a file's content on disk: a change of any part means the file was written,
// replaced or removed since.
struct TFileStamp {
    bool Exists = false;
    int64_t Size = 0;
    int64_t ModifiedNs = 0; // modification time in nanoseconds
    uint64_t Inode = 0;
    uint64_t Device = 0;
    bool operator==(const TFileStamp&) const = default;
};

TFileStamp StampOf(const QString& Path);

// Writes Bytes as the whole content of Path (through a symbolic link to its target):
// - into a new file beside it that replaces it only once every byte is on the disk, so a
//   failure or a kill leaves the old file as it was; the new file takes the old one's mode,
//   owner and group;
// - a file with several names (hard links) is written in place so that every name sees the
//   new text; should that fail, its old bytes are put back.
// Only a regular file (or a new name) is written: a FIFO, a device or a socket at Path is
// refused and left as it is.
// Raises EPlatformError with a message for the user that names the file and the reason (a
// full disk, a file-size limit, missing permission, a read-only file system, not a regular
// file), the file as it was; EUnconfirmedWrite when the new content is in place but the
// system could not confirm that it reached the disk.
void WriteWholeFile(const QString& Path, std::string_view Bytes);
// The same for callers that put the reason in a message of their own: the reason a write
// failed, in the user's words, or empty when every byte is on the disk.
QString WriteWholeFileReason(const QString& Path, std::string_view Bytes);

// Copies From (a regular file) into a new hidden file beside Anchor (in Anchor's folder) and
// returns its path; the copy is on the disk when this returns. Raises EPlatformError on
// failure (nothing is left behind).
QString CopyBeside(const QString& From, const QString& Anchor);
// Copies From over To so that To is at every moment either its old content or the whole copy
// (copied beside To, then renamed). Raises EPlatformError on failure, leaving To as it was,
// or EUnconfirmedWrite as RenameOver does.
void CopyFileOver(const QString& From, const QString& To);
// Renames From over To in one step. Raises EPlatformError on failure, EUnconfirmedWrite when
// the rename took place but could not be made durable.
void RenameOver(const QString& From, const QString& To);

// The user's words for the system's error Error (errno; 0 when not known): a full disk, a
// size limit, missing permission, a read-only file system, ...
QString SystemErrorText(int Error);
// The user's words for a failed write of Path with errno Error (0 when not known).
QString WriteFailureText(const QString& Path, int Error);

} // namespace quire
