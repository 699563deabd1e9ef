// Kanji codes: detection of the code and line end of a file's bytes, and conversion between
// Shift-JIS, JIS and EUC and between line ends, all on bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quire::jconvert {

// Results of DetectKanjiCode.
enum TKanjiDetection : int {
    kdAscii = 0, // no byte above 0x7F
    kdBinary = 1,
    kdJis = 2,    // ESC $ B seen
    kdOldJis = 3, // ESC $ @ seen
    kdEuc = 4,
    kdShiftJis = 5,
    kdEucOrSjis = 6, // undecided
    kdUtf8 = 7,      // UTF-8 (decided before the scan above; see IsUtf8File)
};

// Results of DetectLineEnd.
enum TLineEndKind : int { leNone = 0, leCrLf = 1, leCr = 2, leLf = 3 };

int DetectKanjiCode(std::string_view bytes) noexcept;
int DetectLineEnd(std::string_view text) noexcept;
// Every line end of the text's own kind (the kind of its first line end) becomes Target.
std::string ConvertLineEnd(std::string_view text, int target);
// The same on Text itself (in place where the new line end is not longer).
void ConvertLineEndInPlace(std::string& text, int target);

// The two character-pair conversions between a JIS X 0208 row/cell pair and Shift-JIS.
std::pair<uint8_t, uint8_t> JisToSjisPair(uint8_t a, uint8_t b) noexcept;
std::pair<uint8_t, uint8_t> SjisToJisPair(uint8_t a, uint8_t b) noexcept;

// The program's own converters.
std::string JisToSjis(std::string_view text);
std::string EucToSjis(std::string_view text);
std::string SjisToJis(std::string_view text);

// The same converters on a text handed over in pieces.
enum class TConversion : uint8_t { EucToSjis, JisToSjis, SjisToEuc, SjisToJis };

// The most bytes that converting N bytes can give.
std::size_t MaxConvertedSize(TConversion conversion, std::size_t n) noexcept;

struct TConvertStep {
    std::size_t Read = 0;
    std::size_t Written = 0;
};

// Converts In into Out, which has room for MaxConvertedSize(In.size()) bytes: all of In when
// Last, else up to a character or escape that the end of In may cut, which waits for the
// next piece. Kanji carries JIS's kanji mode from piece to piece (false at the start).
// Converting a text piece by piece gives exactly the bytes of converting it whole.
TConvertStep ConvertPiece(TConversion conversion, std::string_view in, bool last, bool& kanji, char* out) noexcept;
std::string SjisToEuc(std::string_view text);

// Names of codes and line ends as pages, menus and status panels show them.
inline constexpr const char* kShiftJisName = "S-JIS";
inline constexpr const char* kJisName = "JIS";
inline constexpr const char* kEucName = "EUC";
inline constexpr const char* kUtf8Name = "UTF-8";
inline constexpr const char* kUtf8BomName = "UTF-8 BOM"; // written with the byte order mark
inline bool IsUtf8Name(std::string_view code) noexcept { return code == kUtf8Name || code == kUtf8BomName; }
inline constexpr const char* kCrLfName = "CRLF";
inline constexpr const char* kCrName = "CR";
inline constexpr const char* kLfName = "LF";

// True for the row and cell (0x21-0x7E each) of a character that JIS X 0208 assigns (6879 of
// them): the codes JIS and EUC carry.
bool IsJisX0208(uint8_t row, uint8_t cell) noexcept;

// A character of a Shift-JIS text that JIS and EUC cannot carry: its JIS pair is no character
// of JIS X 0208 (the NEC special characters and selected IBM extensions, the IBM extensions,
// user-defined characters, unassigned codes), or it is not a whole character at all. Offset
// is its byte offset in the text.
struct TUnsafeChar {
    std::size_t Offset;
    std::string Bytes;
};

// The characters of Text that would not survive conversion to JIS or EUC, at most Limit.
std::vector<TUnsafeChar> FindJisUnsafeChars(std::string_view text, std::size_t limit = SIZE_MAX);

} // namespace quire::jconvert
