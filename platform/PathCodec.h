// File names as the system has them: bytes. A name that is not valid UTF-8 (an old Shift_JIS
// name from a Windows archive) keeps its bytes through the program: each byte that is no
// part of a UTF-8 character becomes a lone surrogate U+DC80-U+DCFF in the QString and comes
// back as that byte, so such a file can be opened, saved and shown.
#pragma once

#include <QByteArray>
#include <QString>

namespace quire {

QString DecodePath(const QByteArray& Bytes);
QByteArray EncodePath(const QString& Path);

// The path as the user reads it: a name that holds bytes of no UTF-8 character is shown as
// Shift_JIS when its bytes are that, else those bytes show as U+FFFD.
QString DisplayPath(const QString& Path);

// A path that Qt gave with U+FFFD in place of bytes (a file dialog, a URL) made exact again:
// the one entry of its folder whose name shows the same; Path itself when none or several.
QString ResolveLossyPath(const QString& Path);

// The file Path names, without following it: whether it exists, is a regular file or a
// folder, its size, and the absolute path with symbolic links resolved (empty when it does not
// exist).
bool PathExists(const QString& Path);
bool IsRegularFile(const QString& Path);
bool IsFolder(const QString& Path);
bool IsReadable(const QString& Path);
qint64 FileSize(const QString& Path);
QString CanonicalPath(const QString& Path);
// Creates the folder and its parents; false when it cannot.
bool MakeFolders(const QString& Path);
bool RemoveFile(const QString& Path);

} // namespace quire
