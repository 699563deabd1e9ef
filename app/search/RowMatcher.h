// TRowMatcher: where the next match lies in one row of Shift_JIS bytes, for searches that match
// by other rules than the search routine's byte comparison.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace quire {

// A match as a range of bytes of its row: [Start, End), both at character boundaries.
struct TByteRange {
    std::size_t Start = 0;
    std::size_t End = 0;
    friend bool operator==(const TByteRange&, const TByteRange&) = default;
};

class TRowMatcher {
public:
    virtual ~TRowMatcher() = default;
    // The first match in Row that starts at or after byte From (a character boundary of Row);
    // none when there is none. NotEmptyAtFrom refuses an empty match at From itself, so that a
    // search repeated from the end of an empty match moves on. A match never leaves the row.
    virtual std::optional<TByteRange> Next(std::string_view Row, std::size_t From, bool NotEmptyAtFrom) = 0;
};

} // namespace quire
