// TSearcher: the search routine of find and replace over Shift_JIS text: it never matches half
// of a double-byte character, can compare letters without regard to case (full-width Latin,
// Greek, Cyrillic and roman numerals included) and can require whole words.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quire {

// Bits of the option set that find and replace keep between commands.
enum class TSearchOption : uint16_t {
    Forward = 0x0001, // toward the end of the text; clear: toward its beginning
    MatchCase = 0x0002,
    WholeWord = 0x0004,
    ReplaceAll = 0x0020,
    Confirm = 0x0040, // ask before each replacement
};

class TSearchOptions {
public:
    constexpr TSearchOptions() = default;
    constexpr explicit TSearchOptions(uint16_t Bits) : FBits(Bits) {}
    constexpr bool Has(TSearchOption O) const { return (FBits & static_cast<uint16_t>(O)) != 0; }
    constexpr void Set(TSearchOption O, bool On) {
        FBits = On ? (FBits | static_cast<uint16_t>(O)) : (FBits & ~static_cast<uint16_t>(O));
    }
    constexpr uint16_t Bits() const { return FBits; }
    constexpr bool operator==(const TSearchOptions&) const = default;

private:
    uint16_t FBits = 0;
};

// Whole words are runs of bytes that are not delimiters: 0x00-0x2F, 0x3A-0x40, 0x5B-0x60,
// 0x7B-0x80, 0xA0-0xA5 and 0xFD-0xFF (the underscore is one).
bool IsSearchDelimiter(unsigned char c) noexcept;

// The locale's upper case of each single byte (ASCII letters are the only bytes with a case
// partner among the single bytes of code page 932).
const std::array<unsigned char, 256>& SearchUpperTable();

// Searches one text for one pattern, repeatedly if need be. The text is never copied or
// marked whole: whether a byte is the second byte of a double-byte character is worked out
// from the bytes just before it, and the candidates are found with memchr on the pattern's
// rarest byte, so a search costs about as much as a scan of the bytes it passes.
class TSearcher {
public:
    // Text must outlive the searcher. Without MatchCase the pattern is upper-cased here.
    TSearcher(std::string_view Text, std::string_view Pattern, TSearchOptions Options);

    // From the selection (start and length, byte offsets) in the direction of the options;
    // on success the selection is the match. Fails at once when the pattern or the text is
    // empty or the selection lies outside the text.
    bool Find(int& SelStart, int& SelLength);

    // From now on only the first Length bytes are searched, and Following (or -1 for none)
    // stands after them for the whole-word test: the text before an edit point, with the
    // byte the edit put there.
    void SetEnd(int Length, int Following);

    int PatternLength() const noexcept { return static_cast<int>(FPattern.size()); }

private:
    // One of the (at most two) text bytes the filter looks for, and where it was found last:
    // forward, the first one at or after From is At (the text's length when there is none);
    // backward, the last one at or before From is At (-1 when there is none).
    struct TCursor {
        unsigned char Value = 0;
        std::ptrdiff_t From = -1, At = -1;
        bool Known = false;
    };
    bool isTrail(std::size_t P);
    bool isWordStart(std::size_t C) const;
    bool delimiterAfter(std::size_t E) const;
    bool matchesAt(std::size_t C) const;
    int acceptedBytes(std::size_t K, std::size_t J, unsigned char (&Values)[2]) const;
    void chooseFilter(std::size_t Near);
    std::ptrdiff_t nextHit(std::ptrdiff_t From);
    std::ptrdiff_t prevHit(std::ptrdiff_t From);
    std::ptrdiff_t cursorNext(TCursor& C, std::ptrdiff_t From);
    std::ptrdiff_t cursorPrev(TCursor& C, std::ptrdiff_t From);
    bool findFrom(std::ptrdiff_t First, bool Forward, int& Start);

    const unsigned char* FText;
    std::size_t FLength;
    int FFollowing = -1;
    std::string FPattern;
    std::string FCharLengths; // per pattern byte: 1 or 2 at a character's first byte, 0 after
    TSearchOptions FOptions;
    bool FValid = true; // false when the pattern can match nothing
    // The filter: the pattern byte whose accepted text bytes are rarest, and where each of
    // them was last found (the next one at or after, or before, the last query).
    std::size_t FFilterAt = 0;
    std::array<TCursor, 2> FCursors;
    int FCursorCount = 0;
    bool FFilterChosen = false;
    // Bytes [FRunStart, FRunEnd) all have lead-byte values and FRunStart begins a character.
    std::size_t FRunStart = 0, FRunEnd = 0;
};

// One search, as find once makes it.
bool Search(std::string_view Text, int& SelStart, int& SelLength, std::string_view Pattern, TSearchOptions Options);

} // namespace quire
