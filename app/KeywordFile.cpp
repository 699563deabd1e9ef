// Reading and writing keyword files.
#include "KeywordFile.h"

#include "PlatformError.h"
#include "RegularFile.h"
#include "SafeFile.h"
#include "ShiftJis.h"

#include <cerrno>
#include <cstring>

namespace quire {

namespace {

QString readFailureReason(const TRegularFileRead& Read) {
    switch (Read.Failure) {
    case TReadFailure::NotRegular: return QStringLiteral("通常のファイルではありません");
    case TReadFailure::TooLarge: return QStringLiteral("%1 MB より大きいファイルです").arg(MaxKeywordFileSize >> 20);
    case TReadFailure::System:
        if (Read.Errno == EACCES || Read.Errno == EPERM) return QStringLiteral("読み込む権限がありません");
        return QString::fromLocal8Bit(std::strerror(Read.Errno));
    case TReadFailure::Missing:
    case TReadFailure::None: break;
    }
    return QStringLiteral("原因は不明です");
}

} // namespace

std::optional<std::vector<std::string>> ReadKeywordFile(const QString& Path) {
    const TRegularFileRead read = ReadRegularFile(Path, MaxKeywordFileSize);
    if (read.Failure == TReadFailure::Missing) return std::nullopt;
    if (!read.Ok())
        throw EPlatformError(
            QStringLiteral("キーワードファイルを読み込めませんでした（%1）。\r\r%2").arg(readFailureReason(read), Path).toStdString());
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
