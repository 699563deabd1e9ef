// Private-profile (ini) files: sections of "key=value" lines read and written one value at a time.
#pragma once

#include <QString>
#include <functional>

namespace quire::profile {

// Every read opens the file afresh and every write reaches the disk before it returns
// (written to a temporary file, every write and the flush checked, then renamed, so a failed
// write leaves the old file as it was). Section and key names compare without regard to
// case. A write changes only the line of its key: other sections, keys, comments, the order
// of lines and their very bytes are kept. A missing file, section or key gives the default.
// Lines are read as UTF-8, or as code page 932 where they are not valid UTF-8; lines are
// written as UTF-8. Only a regular file of at most 16 MB is read; anything else at the
// path reads as empty and is never written over.

QString ReadString(const QString& file, const QString& section, const QString& key,
                   const QString& defaultValue = QString());

// The value as an integer (decimal, or hexadecimal after "$" or "0x"); the default when
// the key is missing or its value is not a number.
int ReadInteger(const QString& file, const QString& section, const QString& key, int defaultValue);

bool ReadBool(const QString& file, const QString& section, const QString& key, bool defaultValue);

// Writes Value. Raises EPlatformError naming the file when it cannot be written, and
// always (whatever KeepInMemoryWhenUnwritable says) when the section, key or value cannot
// be written at all: a CR, LF or NUL in any of them, and the other cases of
// TIniText::WriteProblem.
void WriteString(const QString& file, const QString& section, const QString& key, const QString& value);
void WriteInteger(const QString& file, const QString& section, const QString& key, int value);
void WriteBool(const QString& file, const QString& section, const QString& key, bool value);

// Removes one key, or a whole section with its keys. Nothing happens when they do not exist.
void DeleteKey(const QString& file, const QString& section, const QString& key);
void EraseSection(const QString& file, const QString& section);

bool SectionExists(const QString& file, const QString& section);

// While a TBatch of File lives, reads and writes of File use a copy in memory, and Commit
// writes that copy to the disk once: a dialog that stores many settings writes the file once,
// not once per setting. A batch that ends without Commit (an exception passed) writes
// nothing. A batch of a file that already has one open joins it (the outer one writes).
class TBatch {
public:
    explicit TBatch(const QString& File);
    ~TBatch();
    TBatch(const TBatch&) = delete;
    TBatch& operator=(const TBatch&) = delete;
    // Writes what the batch gathered; raises EPlatformError as a write does.
    void Commit();

private:
    QString FFile;
    bool FOwner = false;
};

// From now on a write of File that fails does not raise: the text the file should have
// is kept in memory, reads of File come from that copy, and every later write tries the
// disk again (and, once it succeeds, File is read from the disk again). Report is called
// with a message naming the file and the reason at the first failure, and again only
// after a write has succeeded and a later one fails. Calling it again for the same file
// replaces Report; an empty Report stops keeping the file.
void KeepInMemoryWhenUnwritable(const QString& File, std::function<void(const QString& Message)> Report);

} // namespace quire::profile
