// TRegexFinder: a regular expression found in a whole text line by line, the lines without the
// bytes every match holds passed over at the speed of the search routine.
#pragma once

#include "RegexMatcher.h"
#include "Search.h"

#include <optional>
#include <string_view>

namespace quire {

// Lines end at CR LF, a lone CR or a lone LF (the editor's text has CR LF only); a match stays
// within its line. Offsets are the text's bytes. Text and Matcher must outlive the finder.
class TRegexFinder {
public:
    TRegexFinder(std::string_view Text, TRegexMatcher& Matcher);

    // The first match that starts at or after From (an empty match at From refused with
    // NotEmptyAtFrom).
    std::optional<TByteRange> Forward(std::size_t From, bool NotEmptyAtFrom);
    // The last match that ends at or before Limit, among each line's matches as Forward finds
    // them one after another (an empty match at Limit refused with NotEmptyAtLimit).
    std::optional<TByteRange> Backward(std::size_t Limit, bool NotEmptyAtLimit);

    // The line that holds offset P, without its line end.
    TByteRange LineAround(std::size_t P) const;
    // The offset after the line end at E (the end of a line), or the text's length.
    std::size_t NextLineStart(std::size_t E) const;

private:
    std::optional<std::size_t> needleFrom(std::size_t From);
    std::optional<std::size_t> needleBefore(std::size_t Limit);
    std::optional<TByteRange> lastInLine(const TByteRange& Line, std::size_t Limit, bool NotEmptyAtLimit);

    std::string_view FText;
    TRegexMatcher& FMatcher;
    std::optional<TSearcher> FForwardNeedle, FBackwardNeedle;
};

// The search routine's contract kept with an expression: forward from the end of the selection,
// backward to its start. With NotEmptyAtCaret an empty selection refuses an empty match at the
// caret, so that F3 moves on. On success the selection is the match. Fails at once on an empty
// text or a selection outside it.
bool RegexSearch(std::string_view Text, int& SelStart, int& SelLength, TRegexMatcher& Matcher, bool Forward,
                 bool NotEmptyAtCaret = true);

} // namespace quire
