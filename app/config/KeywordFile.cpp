// Reading and writing keyword files.
#include "KeywordFile.h"

#include "KanjiFile.h"
#include "PlatformError.h"
#include "RegularFile.h"
#include "SafeFile.h"
#include "ShiftJis.h"

namespace quire {

std::vector<std::string> KeywordsOfText(std::string_view Text) {
    std::vector<std::string> words;
    for (std::string_view line : sjis::SplitLines(Text))
        if (!line.empty()) words.emplace_back(line);
    return words;
}

std::string KeywordFileText(const std::vector<std::string>& Words) {
    std::string text;
    for (const std::string& w : Words) text.append(w).append("\r\n");
    return text;
}

std::optional<std::vector<std::string>> ReadKeywordFile(const QString& Path) {
    const TRegularFileRead read = ReadRegularFile(Path, MaxTextFileSize);
    if (read.Failure == TReadFailure::Missing) return std::nullopt;
    if (!read.Ok()) throw EPlatformError(ReadFailureMessage(Path, read).toStdString());
    return KeywordsOfText(std::string_view(read.Bytes.constData(), static_cast<size_t>(read.Bytes.size())));
}

void WriteKeywordFile(const QString& Path, const std::vector<std::string>& Words) {
    WriteWholeFile(Path, KeywordFileText(Words));
}

} // namespace quire
