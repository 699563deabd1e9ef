// Keyword files beside the program ("KeyWord.qre", "Delphi.qre", ...): reserved words, one a
// line, in Shift_JIS with lines ending in CR LF, CR or LF.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quire {

// The words of a keyword text (Shift_JIS, lines ending in CR LF, CR or LF): one a line, empty
// lines left out. A word list edited as text (the settings dialog's) becomes words this way.
std::vector<std::string> KeywordsOfText(std::string_view Text);
// The text of a keyword file holding Words: each followed by CR LF.
std::string KeywordFileText(const std::vector<std::string>& Words);

// The words of the keyword file at Path, one a line as Shift_JIS bytes, empty lines left
// out; none when there is no such file. Raises EPlatformError naming the file and the
// reason when it exists but cannot be read (no permission, a folder, larger than the
// editor opens).
std::optional<std::vector<std::string>> ReadKeywordFile(const QString& Path);

// Writes Words as the whole file at Path, each followed by CR LF (the old file stays as it
// was when the write fails). Raises EPlatformError naming the file and the reason.
void WriteKeywordFile(const QString& Path, const std::vector<std::string>& Words);

} // namespace quire
