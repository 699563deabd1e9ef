// Keyword files beside the program ("KeyWord.qre", "Delphi.qre", ...): reserved words, one a
// line, in Shift_JIS with lines ending in CR LF, CR or LF.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace quire {

// The words of the keyword file at Path, one a line as Shift_JIS bytes, empty lines left
// out; none when there is no such file. Raises EPlatformError naming the file and the
// reason when it exists but cannot be read (no permission, a folder, larger than the
// editor opens).
std::optional<std::vector<std::string>> ReadKeywordFile(const QString& Path);

// Writes Words as the whole file at Path, each followed by CR LF (the old file stays as it
// was when the write fails). Raises EPlatformError naming the file and the reason.
void WriteKeywordFile(const QString& Path, const std::vector<std::string>& Words);

} // namespace quire
