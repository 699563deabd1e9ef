// TSearcher: the search routine of find and replace.
#include "Search.h"

#include "CharMapping.h"
#include "ShiftJis.h"

#include <cstring>
#include <limits>
#include <optional>

namespace quire {

namespace {

using Byte = unsigned char;

// Bytes read to estimate which pattern byte is rarest in the text being searched.
constexpr std::size_t kSampleSize = 64 * 1024;

bool leadValue(Byte c) noexcept { return sjis::IsLeadByte(c); }

// The lower-case form that a double-byte capital letter of the (upper-cased) pattern finds in
// the text: full-width Latin, Greek and Cyrillic under the same lead byte, and the small roman
// numerals of lead 0xEE for the capital ones of lead 0x87. The Cyrillic small letters skip
// the trail byte 0x7F.
std::optional<std::pair<Byte, Byte>> lowerForm(Byte Lead, Byte Trail) noexcept {
    switch (Lead) {
    case 0x82:
        if (Trail >= 0x60 && Trail <= 0x79) return std::pair<Byte, Byte>{0x82, Byte(Trail + 0x21)};
        break;
    case 0x83:
        if (Trail >= 0x9F && Trail <= 0xB6) return std::pair<Byte, Byte>{0x83, Byte(Trail + 0x20)};
        break;
    case 0x84:
        if (Trail >= 0x40 && Trail <= 0x4E) return std::pair<Byte, Byte>{0x84, Byte(Trail + 0x30)};
        if (Trail >= 0x4F && Trail <= 0x60) return std::pair<Byte, Byte>{0x84, Byte(Trail + 0x31)};
        break;
    case 0x87:
        if (Trail >= 0x54 && Trail <= 0x5D) return std::pair<Byte, Byte>{0xEE, Byte(Trail + 0x9B)};
        break;
    default: break;
    }
    return std::nullopt;
}

} // namespace

bool IsSearchDelimiter(unsigned char c) noexcept {
    return c <= 0x2F || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x80) ||
           (c >= 0xA0 && c <= 0xA5) || c >= 0xFD;
}

const std::array<unsigned char, 256>& SearchUpperTable() {
    // Each byte upper-cased on its own by the locale's mapping; a lead byte is never a
    // single character and stays as it is.
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const auto c = static_cast<Byte>(b);
            const std::string upper =
                leadValue(c) ? std::string() : cp932::ToUpper(std::string(1, static_cast<char>(c)));
            t[static_cast<std::size_t>(b)] = upper.size() == 1 ? static_cast<Byte>(upper[0]) : c;
        }
        return t;
    }();
    return table;
}

TSearcher::TSearcher(std::string_view Text, std::string_view Pattern, TSearchOptions Options)
    : FText(reinterpret_cast<const Byte*>(Text.data())), FLength(Text.size()), FOptions(Options) {
    const bool matchCase = Options.Has(TSearchOption::MatchCase);
    FPattern = matchCase ? std::string(Pattern) : cp932::ToUpper(Pattern);
    FCharLengths.assign(FPattern.size(), '\0');
    for (std::size_t i = 0; i < FPattern.size();) {
        const std::size_t len = sjis::CharLengthAt(FPattern, i);
        FCharLengths[i] = static_cast<char>(len);
        i += len;
    }
}

void TSearcher::SetEnd(int Length, int Following) {
    FLength = std::min(FLength, static_cast<std::size_t>(std::max(Length, 0)));
    FFollowing = Following;
    for (TCursor& c : FCursors) c.Known = false; // the filter byte stays the rarest one
}

// A byte that cannot be a lead byte always ends a character, so the bytes after it pair up
// from there: P is a trail byte when an odd number of lead-valued bytes stand between it and
// the last such byte. The run found is kept, so that queries moving one way cost O(n) in all.
bool TSearcher::isTrail(std::size_t P) {
    if (P < FRunStart || P > FRunEnd) {
        const std::size_t stop = P > FRunEnd ? FRunEnd : 0;
        std::size_t j = P;
        while (j > stop && leadValue(FText[j - 1])) --j;
        if (!(j == stop && P > FRunEnd)) FRunStart = j; // else the old run reaches up to P
        FRunEnd = P;
    }
    return ((P - FRunStart) & 1) != 0;
}

bool TSearcher::isWordStart(std::size_t C) const {
    return !IsSearchDelimiter(FText[C]) && (C == 0 || IsSearchDelimiter(FText[C - 1]));
}

bool TSearcher::delimiterAfter(std::size_t E) const {
    if (E < FLength) return IsSearchDelimiter(FText[E]);
    return FFollowing < 0 || IsSearchDelimiter(static_cast<Byte>(FFollowing));
}

// Compares character by character from C, which begins a character: a single byte only meets
// a single byte, a double-byte character only a double-byte one.
bool TSearcher::matchesAt(std::size_t C) const {
    const bool matchCase = FOptions.Has(TSearchOption::MatchCase);
    const auto& upper = SearchUpperTable();
    std::size_t i = C;
    for (std::size_t k = 0; k < FPattern.size();) {
        const std::size_t len = static_cast<std::size_t>(FCharLengths[k]);
        if (i >= FLength) return false;
        const std::size_t textLen = (i + 1 < FLength && leadValue(FText[i])) ? 2 : 1;
        if (textLen != len) return false;
        const Byte p1 = static_cast<Byte>(FPattern[k]);
        if (len == 1) {
            if ((matchCase ? FText[i] : upper[FText[i]]) != p1) return false;
        } else {
            const Byte p2 = static_cast<Byte>(FPattern[k + 1]);
            if (FText[i] != p1 || FText[i + 1] != p2) {
                const auto lower = matchCase ? std::nullopt : lowerForm(p1, p2);
                if (!lower || FText[i] != lower->first || FText[i + 1] != lower->second) return false;
            }
        }
        i += len;
        k += len;
    }
    return true;
}

// The text bytes that can stand where byte J of the pattern does (J lies in the character
// that begins at K): at most two; 0 when none can, 3 when more could.
int TSearcher::acceptedBytes(std::size_t K, std::size_t J, unsigned char (&Values)[2]) const {
    Values[0] = Values[1] = static_cast<Byte>(FPattern[J]);
    if (FOptions.Has(TSearchOption::MatchCase)) return 1;
    if (FCharLengths[K] == 2) {
        const auto lower = lowerForm(static_cast<Byte>(FPattern[K]), static_cast<Byte>(FPattern[K + 1]));
        if (!lower) return 1;
        Values[1] = J == K ? lower->first : lower->second;
        return 2;
    }
    int n = 0; // every byte the table upper-cases to the pattern's byte
    const auto& upper = SearchUpperTable();
    for (int t = 0; t < 256 && n < 3; ++t) {
        if (upper[static_cast<std::size_t>(t)] != Values[0]) continue;
        if (n < 2) Values[n] = static_cast<Byte>(t);
        ++n;
    }
    return n;
}

// Picks the pattern byte whose possible text bytes occur least often near Near.
void TSearcher::chooseFilter(std::size_t Near) {
    std::array<std::size_t, 256> counts{};
    const std::size_t from = std::min(Near, FLength - std::min(FLength, kSampleSize));
    for (std::size_t i = from, end = std::min(FLength, from + kSampleSize); i < end; ++i) ++counts[FText[i]];
    std::size_t best = std::numeric_limits<std::size_t>::max();
    FFilterChosen = true;
    FCursorCount = 0; // no usable byte: every candidate is compared
    for (std::size_t k = 0; k < FPattern.size(); k += static_cast<std::size_t>(FCharLengths[k])) {
        for (std::size_t j = k; j < k + static_cast<std::size_t>(FCharLengths[k]); ++j) {
            Byte values[2];
            const int n = acceptedBytes(k, j, values);
            if (n == 0) FValid = false; // a byte nothing in the text can meet
            if (n != 1 && n != 2) continue;
            const bool two = n == 2 && values[1] != values[0];
            const std::size_t cost = counts[values[0]] + (two ? counts[values[1]] : 0);
            if (cost < best) {
                best = cost;
                FFilterAt = j;
                FCursorCount = two ? 2 : 1;
                FCursors[0] = TCursor{values[0]};
                FCursors[1] = TCursor{values[1]};
            }
        }
    }
}

std::ptrdiff_t TSearcher::cursorNext(TCursor& C, std::ptrdiff_t From) {
    if (!C.Known || From < C.From || From > C.At) {
        const auto* hit =
            From < static_cast<std::ptrdiff_t>(FLength)
                ? static_cast<const Byte*>(std::memchr(FText + From, C.Value, FLength - static_cast<std::size_t>(From)))
                : nullptr;
        C = TCursor{C.Value, From, hit ? hit - FText : static_cast<std::ptrdiff_t>(FLength), true};
    }
    return C.At;
}

std::ptrdiff_t TSearcher::cursorPrev(TCursor& C, std::ptrdiff_t From) {
    if (!C.Known || From > C.From || From < C.At) {
        const auto* hit =
            From >= 0 ? static_cast<const Byte*>(memrchr(FText, C.Value, static_cast<std::size_t>(From) + 1)) : nullptr;
        C = TCursor{C.Value, From, hit ? hit - FText : -1, true};
    }
    return C.At;
}

// The first candidate at or after From whose filter byte is one the pattern can meet.
std::ptrdiff_t TSearcher::nextHit(std::ptrdiff_t From) {
    if (FCursorCount == 0) return From;
    const auto at = static_cast<std::ptrdiff_t>(FFilterAt);
    std::ptrdiff_t q = cursorNext(FCursors[0], From + at);
    if (FCursorCount == 2) q = std::min(q, cursorNext(FCursors[1], From + at));
    return q - at;
}

std::ptrdiff_t TSearcher::prevHit(std::ptrdiff_t From) {
    if (FCursorCount == 0) return From;
    const auto at = static_cast<std::ptrdiff_t>(FFilterAt);
    std::ptrdiff_t q = cursorPrev(FCursors[0], From + at);
    if (FCursorCount == 2) q = std::max(q, cursorPrev(FCursors[1], From + at));
    return q < 0 ? -1 : q - at;
}

// Candidates that land on a trail byte are passed over. With whole words a candidate counts
// only at a word start: the skipping of the rest of a word and the delimiters after it that
// the search makes ends exactly at the next word start (backward: at the start of the word
// the candidate is in, or of the word before), so testing each candidate for being one finds
// the same match.
bool TSearcher::findFrom(std::ptrdiff_t First, bool Forward, int& Start) {
    const auto last = static_cast<std::ptrdiff_t>(FLength) - static_cast<std::ptrdiff_t>(FPattern.size());
    const bool whole = FOptions.Has(TSearchOption::WholeWord);
    for (std::ptrdiff_t c = First; Forward ? c <= last : c >= 0; c += Forward ? 1 : -1) {
        c = Forward ? nextHit(c) : prevHit(c);
        if (Forward ? c > last : c < 0) break;
        const auto u = static_cast<std::size_t>(c);
        if (isTrail(u) || (whole && !isWordStart(u))) continue;
        if (matchesAt(u) && (!whole || delimiterAfter(u + FPattern.size()))) {
            Start = static_cast<int>(c);
            return true;
        }
    }
    return false;
}

bool TSearcher::Find(int& SelStart, int& SelLength) {
    const auto n = static_cast<std::ptrdiff_t>(FLength);
    const auto m = static_cast<std::ptrdiff_t>(FPattern.size());
    if (m == 0 || n == 0 || SelStart < 0 || SelStart > n || SelLength < 0) return false;
    const bool forward = FOptions.Has(TSearchOption::Forward);
    std::ptrdiff_t first = forward ? std::ptrdiff_t(SelStart) + SelLength : std::ptrdiff_t(SelStart) - m;
    if (first >= 0 && first < n && isTrail(static_cast<std::size_t>(first))) first += forward ? 1 : -1;
    if (forward ? first > n - m : first < 0) return false;
    if (!FFilterChosen)
        chooseFilter(static_cast<std::size_t>(
            forward ? first : std::max<std::ptrdiff_t>(0, first - std::ptrdiff_t(kSampleSize))));
    if (!FValid) return false;
    int start = 0;
    if (!findFrom(first, forward, start)) return false;
    SelStart = start;
    SelLength = static_cast<int>(m);
    return true;
}

bool Search(std::string_view Text, int& SelStart, int& SelLength, std::string_view Pattern, TSearchOptions Options) {
    TSearcher searcher(Text, Pattern, Options);
    return searcher.Find(SelStart, SelLength);
}

} // namespace quire
