// TRegexFinder: a regular expression found in a whole text, line by line.
#include "RegexFind.h"

#include "ShiftJis.h"

namespace quire {

namespace {

TSearchOptions needleOptions(bool Forward) {
    TSearchOptions o;
    o.Set(TSearchOption::MatchCase, true);
    o.Set(TSearchOption::Forward, Forward);
    return o;
}

} // namespace

TRegexFinder::TRegexFinder(std::string_view Text, TRegexMatcher& Matcher) : FText(Text), FMatcher(Matcher) {
    if (Matcher.Needle().empty()) return;
    FForwardNeedle.emplace(Text, Matcher.Needle(), needleOptions(true));
    FBackwardNeedle.emplace(Text, Matcher.Needle(), needleOptions(false));
}

TByteRange TRegexFinder::LineAround(std::size_t P) const {
    P = std::min(P, FText.size());
    std::size_t start = P;
    while (start > 0 && FText[start - 1] != '\r' && FText[start - 1] != '\n') --start;
    const char* end = sjis::FindLineEnd(FText.data() + P, FText.data() + FText.size());
    return {start, static_cast<std::size_t>(end - FText.data())};
}

std::size_t TRegexFinder::NextLineStart(std::size_t E) const {
    if (E >= FText.size()) return FText.size();
    return E + (FText[E] == '\r' && E + 1 < FText.size() && FText[E + 1] == '\n' ? 2 : 1);
}

std::optional<std::size_t> TRegexFinder::needleFrom(std::size_t From) {
    int s = static_cast<int>(From), l = 0;
    if (!FForwardNeedle->Find(s, l)) return std::nullopt;
    return static_cast<std::size_t>(s);
}

std::optional<std::size_t> TRegexFinder::needleBefore(std::size_t Limit) {
    int s = static_cast<int>(Limit), l = 0;
    if (!FBackwardNeedle->Find(s, l)) return std::nullopt;
    return static_cast<std::size_t>(s);
}

std::optional<TByteRange> TRegexFinder::Forward(std::size_t From, bool NotEmptyAtFrom) {
    if (!FMatcher.Possible() || From > FText.size()) return std::nullopt;
    // Between the CR and the LF of a line end: the next line starts after it.
    if (From > 0 && From < FText.size() && FText[From - 1] == '\r' && FText[From] == '\n') ++From;
    for (std::size_t pos = From;;) {
        std::size_t probe = pos;
        if (FForwardNeedle) {
            const auto at = needleFrom(pos);
            if (!at) return std::nullopt;
            probe = *at;
        }
        const TByteRange line = LineAround(probe);
        const std::size_t from = std::max(pos, line.Start);
        const std::string_view row = FText.substr(line.Start, line.End - line.Start);
        if (const auto r = FMatcher.Next(row, from - line.Start, NotEmptyAtFrom && from == From))
            return TByteRange{line.Start + r->Start, line.Start + r->End};
        if (line.End >= FText.size()) return std::nullopt;
        pos = NextLineStart(line.End);
    }
}

std::optional<TByteRange> TRegexFinder::lastInLine(const TByteRange& Line, std::size_t Limit, bool NotEmptyAtLimit) {
    const std::string_view row = FText.substr(Line.Start, Line.End - Line.Start);
    std::optional<TByteRange> last;
    std::size_t from = 0, lastFrom = 0;
    bool notEmpty = false, lastNotEmpty = false;
    while (const auto r = FMatcher.Next(row, from, notEmpty)) {
        const TByteRange m{Line.Start + r->Start, Line.Start + r->End};
        if (m.End > Limit) break;
        if (!(NotEmptyAtLimit && m.Start == m.End && m.Start == Limit)) {
            last = m;
            lastFrom = from;
            lastNotEmpty = notEmpty;
        }
        from = r->End;
        notEmpty = r->Start == r->End;
    }
    // The matcher's groups are those of the match chosen: it is found again.
    if (last) FMatcher.Next(row, lastFrom, lastNotEmpty);
    return last;
}

std::optional<TByteRange> TRegexFinder::Backward(std::size_t Limit, bool NotEmptyAtLimit) {
    if (!FMatcher.Possible() || Limit > FText.size()) return std::nullopt;
    if (Limit > 0 && Limit < FText.size() && FText[Limit - 1] == '\r' && FText[Limit] == '\n') --Limit;
    for (std::size_t bound = Limit;;) {
        std::size_t probe = bound;
        if (FBackwardNeedle) {
            const auto at = needleBefore(bound);
            if (!at) return std::nullopt;
            probe = *at;
        }
        const TByteRange line = LineAround(probe);
        if (const auto m = lastInLine(line, Limit, NotEmptyAtLimit)) return m;
        if (line.Start == 0) return std::nullopt;
        // The line before: its end is the line end's first byte.
        bound =
            line.Start - (line.Start >= 2 && FText[line.Start - 1] == '\n' && FText[line.Start - 2] == '\r' ? 2 : 1);
    }
}

bool RegexSearch(std::string_view Text, int& SelStart, int& SelLength, TRegexMatcher& Matcher, bool Forward,
                 bool NotEmptyAtCaret) {
    const auto n = static_cast<std::ptrdiff_t>(Text.size());
    if (n == 0 || SelStart < 0 || SelStart > n || SelLength < 0) return false;
    TRegexFinder finder(Text, Matcher);
    const bool caret = NotEmptyAtCaret && SelLength == 0;
    const auto found =
        Forward ? finder.Forward(std::min<std::size_t>(std::size_t(SelStart) + SelLength, Text.size()), caret)
                : finder.Backward(static_cast<std::size_t>(SelStart), caret);
    if (!found) return false;
    SelStart = static_cast<int>(found->Start);
    SelLength = static_cast<int>(found->End - found->Start);
    return true;
}

} // namespace quire
