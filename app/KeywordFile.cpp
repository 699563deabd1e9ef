// Reading and writing keyword files.
#include "KeywordFile.h"

#include "KanjiFile.h"
#include "PlatformError.h"
#include "RegularFile.h"
#include "SafeFile.h"
#include "ShiftJis.h"

namespace quire {

std::optional<std::vector<std::string>> ReadKeywordFile(const QString& Path) {
    const TRegularFileRead read = ReadRegularFile(Path, MaxTextFileSize);
    if (read.Failure == TReadFailure::Missing) return std::nullopt;
    if (!read.Ok()) throw EPlatformError(ReadFailureMessage(Path, read).toStdString());
    std::vector<std::string> words;
    for (std::string_view line : sjis::SplitLines(std::string_view(read.Bytes.constData(), static_cast<size_t>(read.Bytes.size()))))
        if (!line.empty()) words.emplace_back(line);
    return words;
}

void WriteKeywordFile(const QString& Path, const std::vector<std::string>& Words) {
    std::string bytes;
    for (const std::string& w : Words) bytes.append(w).append("\r\n");
    WriteWholeFile(Path, bytes);
}

} // namespace quire
