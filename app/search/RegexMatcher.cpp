// TRegexMatcher: a regular expression over the characters of Shift_JIS rows.
#include "RegexMatcher.h"

#include "Cp932Codec.h"
#include "OutsideCharTable.h"
#include "Search.h"
#include "ShiftJis.h"

#include <algorithm>
#include <array>

namespace quire {

namespace {

// Characters that code page 932 writes in more than one way (the NEC and IBM twins, 398 of
// them): a search for one of their codes would miss the other.
const std::vector<bool>& twinCharacters() {
    static const std::vector<bool> twins = [] {
        std::vector<unsigned char> count(0x10000, 0);
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!sjis::IsLeadByte(static_cast<unsigned char>(lead))) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char16_t u =
                    cp932::DecodeChar(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
                if (u != 0 && count[u] < 2) ++count[u];
            }
        }
        std::vector<bool> t(0x10000, false);
        for (std::size_t u = 0; u < t.size(); ++u) t[u] = count[u] > 1;
        return t;
    }();
    return twins;
}

// The one code that writes U in a page with Table: 0 when it may be written in more than one
// way, -1 when the page cannot hold it.
int onlyCodeOf(char32_t U, const TOutsideCharTable* Table) {
    const int exact = cp932::EncodeExact(U);
    const int tableCode = Table ? Table->FindCode(U) : -1;
    if (exact >= 0 && tableCode >= 0) return 0;
    if (tableCode >= 0) return tableCode;
    if (exact < 0) return -1;
    return U < 0x10000 && twinCharacters()[U] ? 0 : exact;
}

void appendCode(std::string& Bytes, int Code) {
    if (Code > 0xFF) Bytes += static_cast<char>(Code >> 8);
    Bytes += static_cast<char>(Code & 0xFF);
}

bool isUnicodePage(const TOutsideCharTable* Table) { return Table && Table->ExactUnicode(); }

} // namespace

TRegexMatcher::TRegexMatcher(const TRegexPattern& Pattern, bool WholeWord, const TOutsideCharTable* Table)
    : FPattern(Pattern), FExpression(Pattern.Expression(isUnicodePage(Table))), FTable(Table), FWholeWord(WholeWord) {
    chooseNeedle();
}

// The longest piece of a required run that the page writes one way only; a run with a
// character the page cannot hold means no match at all.
void TRegexMatcher::chooseNeedle() {
    for (const QString& literal : FPattern.Literals()) {
        const QString chars = isUnicodePage(FTable) ? literal : WithNearCharacters(literal);
        std::string piece;
        for (const char32_t u : chars.toUcs4()) {
            const int code = onlyCodeOf(u, FTable);
            if (code < 0) {
                FPossible = false;
                FNeedle.clear();
                return;
            }
            if (code == 0) {
                if (piece.size() > FNeedle.size()) FNeedle = piece;
                piece.clear();
                continue;
            }
            appendCode(piece, code);
        }
        if (piece.size() > FNeedle.size()) FNeedle = piece;
    }
}

void TRegexMatcher::decode(std::string_view Row) {
    if (FDecoded && Row == FRow) return;
    FRow.assign(Row);
    FDecoded = true;
    FChars.resize(static_cast<qsizetype>(Row.size())); // never more units than bytes
    FByteOf.resize(Row.size() + 1);
    char16_t* out = reinterpret_cast<char16_t*>(FChars.data());
    std::size_t units = 0;
    for (std::size_t i = 0; i < Row.size();) {
        const auto c = static_cast<unsigned char>(Row[i]);
        if (c < 0x80) {
            FByteOf[units] = static_cast<std::uint32_t>(i);
            out[units++] = c;
            ++i;
            continue;
        }
        const cp932::TPageChar pc = cp932::PageCharAt(Row, i, FTable);
        char32_t u = pc.Ch;
        if (u == 0 || (u >= 0xD800 && u <= 0xDFFF)) u = 0xFFFD; // a byte of no character
        if (u >= 0x10000) {
            FByteOf[units] = FByteOf[units + 1] = static_cast<std::uint32_t>(i);
            out[units++] = QChar::highSurrogate(u);
            out[units++] = QChar::lowSurrogate(u);
        } else {
            FByteOf[units] = static_cast<std::uint32_t>(i);
            out[units++] = static_cast<char16_t>(u);
        }
        i += pc.Length;
    }
    FChars.resize(static_cast<qsizetype>(units));
    FByteOf.resize(units + 1);
    FByteOf[units] = static_cast<std::uint32_t>(Row.size());
}

bool TRegexMatcher::wholeWordAt(std::string_view Row, const TByteRange& Range) const {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(Row[i]); };
    if (Range.End == Range.Start || IsSearchDelimiter(at(Range.Start))) return false;
    if (Range.Start > 0 && !IsSearchDelimiter(at(Range.Start - 1))) return false;
    return Range.End == Row.size() || IsSearchDelimiter(at(Range.End));
}

std::optional<TByteRange> TRegexMatcher::Next(std::string_view Row, std::size_t From, bool NotEmptyAtFrom) {
    if (!FPossible || From > Row.size()) return std::nullopt;
    decode(Row);
    const auto first = std::lower_bound(FByteOf.begin(), FByteOf.end(), static_cast<std::uint32_t>(From));
    qsizetype unit = first - FByteOf.begin();
    const qsizetype units = FChars.size();
    // A match refused (empty at From, or not a whole word) makes the search go on one
    // character after its start.
    auto after = [&](qsizetype u) { return u + (u + 1 < units && FChars[u].isHighSurrogate() ? 2 : 1); };
    while (unit <= units) {
        FLast = FExpression.match(QStringView(FChars), unit, QRegularExpression::NormalMatch,
                                  QRegularExpression::DontCheckSubjectStringMatchOption);
        if (!FLast.hasMatch()) return std::nullopt;
        const qsizetype s = FLast.capturedStart(0), e = FLast.capturedEnd(0);
        const TByteRange r{FByteOf[static_cast<std::size_t>(s)], FByteOf[static_cast<std::size_t>(e)]};
        const bool refused = (NotEmptyAtFrom && s == e && r.Start == From) || (FWholeWord && !wholeWordAt(Row, r));
        if (!refused) return r;
        unit = after(s);
    }
    return std::nullopt;
}

QString TRegexMatcher::Expand(const QString& Replacement) const {
    QString out;
    const qsizetype n = Replacement.size();
    auto group = [&](int g) {
        if (g <= FLast.lastCapturedIndex()) out += FLast.capturedView(g);
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = Replacement[i];
        const QChar d = i + 1 < n ? Replacement[i + 1] : QChar();
        if (c == u'\\' && d.isDigit() && d.unicode() < 0x80) {
            group(d.digitValue());
        } else if (c == u'\\' && (d == u'\\' || d == u't' || d == u'n')) {
            out += d == u't' ? QStringLiteral("\t") : d == u'n' ? QStringLiteral("\r\n") : QStringLiteral("\\");
        } else if (c == u'$' && d.isDigit() && d.unicode() < 0x80) {
            group(d.digitValue());
        } else if (c == u'$' && (d == u'&' || d == u'$')) {
            if (d == u'&')
                group(0);
            else
                out += u'$';
        } else if (c == u'$' && d == u'{') {
            const qsizetype close = Replacement.indexOf(u'}', i + 2);
            bool number = false;
            const int g = close < 0 ? 0 : Replacement.mid(i + 2, close - i - 2).toInt(&number);
            if (!number) {
                out += c;
                continue;
            }
            group(g);
            i = close;
            continue;
        } else {
            out += c;
            continue;
        }
        ++i; // the two signs are taken
    }
    return out;
}

} // namespace quire
