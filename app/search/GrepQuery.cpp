// TGrepQuery: the search of one file in its own code.
#include "GrepQuery.h"

#include "Cp932Codec.h"
#include "KanjiFile.h"
#include "OutsideCharTable.h"
#include "RegexFind.h"
#include "RegularFileReader.h"
#include "Search.h"
#include "ShiftJis.h"
#include "Utf8Codec.h"
#include "jconvert.h"

#include <cstring>

namespace quire {

namespace {

using TRanges = std::vector<std::pair<std::size_t, std::size_t>>;

// The first bytes read of a file: enough for the detection to tell a binary one.
constexpr std::size_t kFirstPiece = std::size_t(1) << 16;

// Texts in these codes are read as they are; the others are converted to Shift_JIS.
bool readAsItIs(int Detection) {
    using namespace jconvert;
    return Detection != kdJis && Detection != kdEuc && Detection != kdUtf8 && Detection != kdUtf16;
}

// Walks the lines of a text in order, for matches given in order: the line of each, its
// column in characters, counted from where the last one was.
class LineCursor {
public:
    LineCursor(std::string_view Text, int FirstLine) : text_(Text), line_(FirstLine) { end_ = lineEnd(0); }

    // Moves to the line that holds offset P (never before the last one asked for).
    void MoveTo(std::size_t P) {
        while (P > end_ && end_ < text_.size()) {
            start_ = end_ + (text_[end_] == '\r' && end_ + 1 < text_.size() && text_[end_ + 1] == '\n' ? 2 : 1);
            end_ = lineEnd(start_);
            ++line_;
            counted_ = start_;
            chars_ = 0;
        }
    }
    int Line() const noexcept { return line_; }
    std::string_view Text() const { return text_.substr(start_, end_ - start_); }
    // The column (from 1) of offset P of the current line, P never before the last one asked.
    int ColumnOf(std::size_t P) {
        chars_ += sjis::CharCount(text_.substr(counted_), P - counted_);
        counted_ = P;
        return static_cast<int>(chars_) + 1;
    }

private:
    std::size_t lineEnd(std::size_t From) const {
        return static_cast<std::size_t>(sjis::FindLineEnd(text_.data() + From, text_.data() + text_.size()) -
                                        text_.data());
    }
    std::string_view text_;
    std::size_t start_ = 0, end_ = 0, counted_ = 0, chars_ = 0;
    int line_;
};

// The line ends in Text (CR LF, CR or LF, each one).
int lineEndsIn(std::string_view Text) {
    int n = 0;
    const char* const end = Text.data() + Text.size();
    for (const char* p = sjis::FindLineEnd(Text.data(), end); p != end; p = sjis::FindLineEnd(p, end)) {
        ++n;
        p += *p == '\r' && p + 1 < end && p[1] == '\n' ? 2 : 1;
    }
    return n;
}

// Where the line that holds offset P starts: after the last line end before it, but not
// before From.
std::size_t lineStartOf(std::string_view Text, std::size_t P, std::size_t From) {
    while (P > From && Text[P - 1] != '\r' && Text[P - 1] != '\n') --P;
    return P;
}

TSearchOptions literalOptions(const TGrepOptions& O) {
    TSearchOptions s;
    s.Set(TSearchOption::Forward, true);
    s.Set(TSearchOption::MatchCase, O.MatchCase);
    s.Set(TSearchOption::WholeWord, O.WholeWord);
    return s;
}

} // namespace

TGrepQuery::TGrepQuery(TGrepOptions Options)
    : FOptions(std::move(Options)), FNeedle(FOptions.RegExp ? QString() : FOptions.Pattern, FOptions.MatchCase) {
    if (FOptions.RegExp) FRegex = std::make_shared<const TRegexPattern>(FOptions.Pattern, FOptions.MatchCase);
}

QString TGrepQuery::Error() const {
    if (FOptions.Pattern.isEmpty()) return QStringLiteral("検索語がありません。");
    return FRegex ? FRegex->ErrorText() : QString();
}

TRanges TGrepQuery::literalMatches(std::string_view Text, TOutsideCharTable* Table) const {
    // A match never leaves its line: a pattern with a line end has none.
    if (FOptions.Pattern.contains(u'\r') || FOptions.Pattern.contains(u'\n')) return {};
    QString lost;
    const std::string pattern =
        Table ? cp932::FromUnicode(FOptions.Pattern, Table, &lost) : cp932::FromUnicode(FOptions.Pattern, &lost);
    if (!lost.isEmpty()) return {}; // a character this text cannot hold
    TRanges found;
    TSearcher searcher(Text, pattern, literalOptions(FOptions));
    int start = 0, length = 0;
    while (searcher.Find(start, length)) {
        found.emplace_back(std::size_t(start), std::size_t(start) + std::size_t(length));
        start += length;
        length = 0;
    }
    return found;
}

TRanges TGrepQuery::regexMatches(std::string_view Text, const TOutsideCharTable* Table) const {
    TRegexMatcher matcher(*FRegex, FOptions.WholeWord, Table);
    TRegexFinder finder(Text, matcher);
    TRanges found;
    std::size_t at = 0;
    bool notEmpty = false;
    while (const auto m = finder.Forward(at, notEmpty)) {
        found.emplace_back(m->Start, m->End);
        at = m->End;
        notEmpty = m->Start == m->End;
    }
    return found;
}

void TGrepQuery::searchText(std::string_view Text, const TOutsideCharTable* Table, TGrepFileResult& Result,
                            int FirstLine) const {
    // A literal pattern takes codes of the file's own table (a copy: the text is the query's alone).
    TOutsideCharTable table = Table ? *Table : TOutsideCharTable();
    const TRanges found = FRegex ? regexMatches(Text, Table) : literalMatches(Text, Table ? &table : nullptr);
    LineCursor cursor(Text, FirstLine);
    int shownLine = 0;
    for (const auto& [start, end] : found) {
        cursor.MoveTo(start);
        if (cursor.Line() != shownLine) {
            shownLine = cursor.Line();
            Result.Lines << cp932::ToDisplay(cursor.Text(), Table);
        }
        const int column = cursor.ColumnOf(start);
        const auto length = static_cast<int>(sjis::CharCount(Text.substr(start), end - start));
        Result.Hits.push_back({shownLine, column, length, static_cast<int>(Result.Lines.size()) - 1});
    }
}

// Most lines hold no match: only those that hold the needle are converted (each on its own, as
// a UTF-8 or EUC line reads the same alone) and searched, numbered by the line ends before them.
void TGrepQuery::searchLinesWith(std::string_view Bytes, std::string_view Needle, int Detection,
                                 TGrepFileResult& Result) const {
    const bool utf8 = Detection == jconvert::kdUtf8;
    if (utf8 && utf8::StartsWithBom(Bytes)) Bytes.remove_prefix(utf8::kBom.size());
    const char* const code = utf8 ? jconvert::kUtf8Name : jconvert::kEucName;
    int line = 1;
    std::size_t counted = 0;
    for (std::size_t from = 0; from < Bytes.size();) {
        const void* hit = memmem(Bytes.data() + from, Bytes.size() - from, Needle.data(), Needle.size());
        if (!hit) break;
        const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - Bytes.data());
        const std::size_t start = lineStartOf(Bytes, at, from);
        const auto end =
            static_cast<std::size_t>(sjis::FindLineEnd(Bytes.data() + at, Bytes.data() + Bytes.size()) - Bytes.data());
        line += lineEndsIn(Bytes.substr(counted, start - counted));
        counted = start;
        // A line end first, so that a byte order mark at the line's start stays a character.
        const TKanjiText t =
            DecodeKanjiText('\n' + std::string(Bytes.substr(start, end - start)), TConverter::Auto, code, Detection);
        searchText(std::string_view(t.Text).substr(1), t.CharTable.get(), Result, line);
        from = end;
    }
}

TGrepFileResult TGrepQuery::SearchBytes(const QString& Path, std::string_view Bytes) const {
    TGrepFileResult r;
    r.Path = Path;
    const int detection = DetectFileCode(Bytes);
    if (detection == jconvert::kdBinary ||
        (detection != jconvert::kdUtf16 && std::memchr(Bytes.data(), 0, Bytes.size()) != nullptr)) {
        r.Skipped = TGrepSkip::Binary;
        return r;
    }
    if (readAsItIs(detection)) {
        r.Code = jconvert::kShiftJisName;
        searchText(Bytes, nullptr, r);
        return r;
    }
    if (const std::string_view needle = FNeedle.In(detection); !FRegex && !needle.empty()) {
        r.Code = std::string(
            jconvert::ShownCodeName(detection == jconvert::kdUtf8 ? jconvert::kUtf8Name : jconvert::kEucName));
        searchLinesWith(Bytes, needle, detection, r);
        return r;
    }
    const TKanjiText t = DecodeKanjiText(Bytes, TConverter::Auto, {}, detection);
    r.Code = std::string(jconvert::ShownCodeName(t.KanjiCode));
    if (t.HasNul) {
        r.Skipped = TGrepSkip::Binary;
        return r;
    }
    searchText(t.Text, t.CharTable.get(), r);
    return r;
}

TGrepFileResult TGrepQuery::SearchFile(const QString& Path) const {
    TGrepFileResult r;
    r.Path = Path;
    TRegularFileReader reader(Path, MaxTextFileSize);
    auto fail = [&](const TRegularFileRead& Status) {
        r.Skipped = Status.Failure == TReadFailure::TooLarge ? TGrepSkip::TooLarge : TGrepSkip::Unreadable;
        r.Failure = Status.Failure;
        r.Errno = Status.Errno;
        return r;
    };
    if (!reader.Ok()) return fail(reader.Status());
    std::string bytes;
    std::size_t size = 0, want = kFirstPiece;
    for (;;) {
        bytes.resize(size + want);
        std::size_t got = 0;
        if (!reader.Read(bytes.data() + size, want, got)) return fail(reader.Status());
        const bool first = size == 0;
        size += got;
        if (first && DetectFileCode(std::string_view(bytes.data(), size)) == jconvert::kdBinary) {
            r.Skipped = TGrepSkip::Binary;
            return r;
        }
        if (got < want) break;
        want = std::max<std::size_t>(kFirstPiece, static_cast<std::size_t>(std::max<qint64>(reader.Size(), 0)) - size);
    }
    bytes.resize(size);
    return SearchBytes(Path, bytes);
}

} // namespace quire
