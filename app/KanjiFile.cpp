// Reading and writing files in the three kanji codes.
#include "KanjiFile.h"

#include "PathCodec.h"
#include "PlatformError.h"
#include "RegularFile.h"
#include "SafeFile.h"
#include "SafeFile.h"
#include "jconvert.h"
#include "nkf.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace quire {

namespace {

// Converts with the library when asked and possible, else with the own routine.
template <typename Own>
std::string convert(std::string_view text, const char* option, TConverter converter, Own own) {
    if (converter == TConverter::Auto && nkf::Available()) {
        if (std::optional<std::string> result = nkf::Convert(text, option)) return *std::move(result);
    }
    return own(text);
}


// The characters of a JIS text as (character set, byte) pairs: the escape sequences only
// switch sets, and ASCII and JIS-Roman count as one set (the converter writes ESC ( J where
// a file may have ESC ( B).
std::vector<std::pair<char, char>> jisCharacters(std::string_view s) {
    std::vector<std::pair<char, char>> out;
    out.reserve(s.size());
    char set = 'B';
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\x1B' && i + 2 < s.size() && (s[i + 1] == '$' || s[i + 1] == '(')) {
            set = s[i + 1] == '$' ? 'K' : s[i + 2] == 'J' ? 'B' : s[i + 2];
            i += 2;
            continue;
        }
        out.emplace_back(s[i] == '\r' || s[i] == '\n' ? 'B' : set, s[i]);
    }
    return out;
}

} // namespace

QString ReadFailureMessage(const QString& Path, const TRegularFileRead& Read) {
    QString reason;
    switch (Read.Failure) {
    case TReadFailure::Missing: reason = QStringLiteral("ファイルがありません"); break;
    case TReadFailure::NotRegular: reason = QStringLiteral("通常のファイルではありません"); break;
    case TReadFailure::TooLarge:
        reason = QStringLiteral("%1 MB を超えるファイルは開けません").arg(MaxTextFileSize >> 20);
        break;
    case TReadFailure::System:
        reason = Read.Errno == EACCES || Read.Errno == EPERM ? QStringLiteral("読み込む権限がありません")
                                                             : SystemErrorText(Read.Errno);
        break;
    case TReadFailure::None: break;
    }
    return QStringLiteral("ファイルを読み込めませんでした（%1）。\r\r%2").arg(reason, DisplayPath(Path));
}

bool SameInCode(std::string_view A, std::string_view B, std::string_view KanjiCode) {
    if (KanjiCode == jconvert::kJisName) return jisCharacters(A) == jisCharacters(B);
    return A == B;
}

TKanjiText DecodeKanjiText(std::string_view bytes, TConverter converter, std::string_view asCode) {
    using namespace jconvert;
    TKanjiText r;
    if (!bytes.empty()) {
        const int kind = DetectLineEnd(bytes);
        r.LineEndCode = kind == leCr ? kCrName : kind == leLf ? kLfName : kCrLfName;
    }
    r.Detection = DetectKanjiCode(bytes);
    if (asCode.empty()) asCode = r.Detection == kdJis ? kJisName : r.Detection == kdEuc ? kEucName : kShiftJisName;
    r.KanjiCode = asCode;
    if (asCode == kJisName) {
        r.Text = convert(bytes, "-s", converter, JisToSjis);
    } else if (asCode == kEucName) {
        r.Text = convert(bytes, "-s", converter, EucToSjis);
    } else {
        r.KanjiCode = kShiftJisName;
        r.Text.assign(bytes);
    }
    r.KeepsBytes = r.KanjiCode == kShiftJisName || SameInCode(EncodeCode(r.Text, r.KanjiCode, TConverter::Own), bytes, r.KanjiCode);
    return r;
}

TKanjiText ReadKanjiFile(const QString& path, TConverter converter, std::string_view asCode) {
    const TRegularFileRead read = ReadRegularFile(path, MaxTextFileSize);
    if (!read.Ok()) throw EPlatformError(ReadFailureMessage(path, read).toStdString());
    const QByteArray& bytes = read.Bytes;
    return DecodeKanjiText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), converter,
                           asCode);
}

std::string EncodeCode(std::string_view text, std::string_view code, TConverter converter) {
    using namespace jconvert;
    if (code == kJisName) return convert(text, "-j", converter, SjisToJis);
    if (code == kEucName) return convert(text, "-e", converter, SjisToEuc);
    return std::string(text);
}

std::string EncodePage(std::string_view text, std::string_view code, std::string_view lineEnd,
                       TConverter converter) {
    using namespace jconvert;
    std::string bytes = EncodeCode(text, code, converter);
    if (lineEnd == kCrName) bytes = ConvertLineEnd(bytes, leCr);
    else if (lineEnd == kLfName) bytes = ConvertLineEnd(bytes, leLf);
    return bytes;
}

void WritePage(std::string_view text, std::string_view code, std::string_view lineEnd, const QString& path,
               TConverter converter) {
    WriteWholeFile(path, EncodePage(text, code, lineEnd, converter));
}

} // namespace quire
