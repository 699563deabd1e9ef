// Private-profile (ini) files: sections of "key=value" lines read and written one value at a time.
#pragma once

#include <QString>

namespace quire::profile {

// Every read opens the file afresh and every write reaches the disk before it returns
// (written to a temporary file and renamed, so a failed write leaves the old file as it
// was). Section and key names compare without regard to case; other sections, keys,
// comments and the order of lines are kept. A missing file, section or key gives the
// default. The file is UTF-8; a file that is not valid UTF-8 is read as code page 932.

QString ReadString(const QString& file, const QString& section, const QString& key,
                   const QString& defaultValue = QString());

// The value as an integer (decimal, or hexadecimal after "$" or "0x"); the default when
// the key is missing or its value is not a number.
int ReadInteger(const QString& file, const QString& section, const QString& key, int defaultValue);

bool ReadBool(const QString& file, const QString& section, const QString& key, bool defaultValue);

// Writes Value; raises EPlatformError naming the file when it cannot be written.
void WriteString(const QString& file, const QString& section, const QString& key,
                 const QString& value);
void WriteInteger(const QString& file, const QString& section, const QString& key, int value);
void WriteBool(const QString& file, const QString& section, const QString& key, bool value);

// Removes one key, or a whole section with its keys. Nothing happens when they do not exist.
void DeleteKey(const QString& file, const QString& section, const QString& key);
void EraseSection(const QString& file, const QString& section);

bool SectionExists(const QString& file, const QString& section);

} // namespace quire::profile
