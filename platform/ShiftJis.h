// Shift_JIS (code page 932) byte-string routines: lead bytes, character boundaries, lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quire::sjis {

// The lead bytes of code page 932: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(unsigned char c) noexcept { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
constexpr bool IsLeadByte(char c) noexcept { return IsLeadByte(static_cast<unsigned char>(c)); }

enum class TMbcsByteType { mbSingleByte, mbLeadByte, mbTrailByte };

// The kind of the byte at the 1-based position Pos, found by walking the text from its
// start: a byte after a lead byte is a trail byte whatever its value. A position outside
// the text counts as a single byte.
TMbcsByteType ByteType(std::string_view s, std::size_t pos) noexcept;
bool IsLeadByteAt(std::string_view s, std::size_t pos) noexcept;
bool IsTrailByteAt(std::string_view s, std::size_t pos) noexcept;

// The number of characters that begin in the first N bytes (a double-byte character whose
// lead byte is byte N counts).
std::size_t CharCount(std::string_view s, std::size_t n) noexcept;

// The number of bytes taken by the first Chars characters (at most the text's length).
std::size_t CharsToBytes(std::string_view s, std::size_t chars) noexcept;

// The length in bytes of the character starting at byte index I (0-based): 2 for a lead
// byte with a byte after it, else 1.
inline std::size_t CharLengthAt(std::string_view s, std::size_t i) noexcept {
    return (i + 1 < s.size() && IsLeadByte(s[i])) ? 2 : 1;
}

// True when the character Ch (one or two bytes) stands in Rules at a character boundary,
// so that a trail byte of Rules never matches a single-byte character.
bool ContainsChar(std::string_view rules, std::string_view ch) noexcept;

// Splits a text into lines at CR LF, a lone CR and a lone LF. A text that ends with a
// line end yields no empty line after it; an empty text yields no lines.
std::vector<std::string_view> SplitLines(std::string_view text);
// The text with every line end (CR LF, a lone CR, a lone LF) written as CR LF, the form
// the rows store and text offsets count.
std::string WithCrLf(std::string_view text);
// The first CR or LF in [P, End), or End; sixteen bytes at a time.
const char* FindLineEnd(const char* p, const char* end) noexcept;

// The width of the leading blanks: a space counts 1, the full-width space (0x81 0x40) 2.
// Any other byte, the tab included, ends the blanks.
int LeadingBlankWidth(std::string_view s) noexcept;

} // namespace quire::sjis
