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
    kdUtf16 = 8,     // UTF-16 (decided before UTF-8; see utf16::Detect)
};

// Results of DetectLineEnd.
enum TLineEndKind : int { leNone = 0, leCrLf = 1, leCr = 2, leLf = 3 };

int DetectKanjiCode(std::string_view bytes) noexcept;
// Decides what DetectKanjiCode's counts leave open, looking at the whole text; a result the
// counts decided stays as it is. "EUC or Shift-JIS" (6) becomes EUC (4) when the EUC reading is
// valid and ordinary Japanese (a pair of JIS X 0208 or JIS X 0212 for every byte above 0x7F,
// full-width kana) where the Shift-JIS one is not (bytes of no character or unassigned codes;
// half-width katakana and kanji without kana), else Shift-JIS (5). "Binary" (1) becomes JIS (2)
// for a text with ESC $ B, no byte of 0x80 or more and no NUL: a stray control byte (a BEL)
// before the first escape made it look binary.
int ResolveDetection(std::string_view bytes, int detection) noexcept;
int DetectLineEnd(std::string_view text) noexcept;
// Every line end of the text's own kind (the kind of its first line end) becomes Target.
std::string ConvertLineEnd(std::string_view text, int target);
// The same on Text itself (in place where the new line end is not longer).
void ConvertLineEndInPlace(std::string& text, int target);

// The two character-pair conversions between a JIS X 0208 row/cell pair and Shift-JIS.
std::pair<uint8_t, uint8_t> JisToSjisPair(uint8_t a, uint8_t b) noexcept;
std::pair<uint8_t, uint8_t> SjisToJisPair(uint8_t a, uint8_t b) noexcept;

// The program's built-in converters.
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

// What a code of a page's table of outside characters (a user-defined code standing for
// another character, TOutsideCharTable) is written as in JIS or EUC.
struct TOutsideForm {
    enum TKind : uint8_t {
        NotInTable, // a user-defined character of the text itself
        Jis0208,    // Code: a JIS X 0208 row << 8 | cell
        Jis0212,    // Code: a JIS X 0212 row << 8 | cell (EUC only: 0x8F and the pair)
        Byte,       // Code: one byte, written as it is (EUC only)
        Lost,       // the code cannot hold it
    };
    TKind Kind = NotInTable;
    int Code = 0;
};

// The characters beyond what the pair arithmetic carries, for a page with a table of outside
// characters. Reading EUC, a JIS X 0212 character (0x8F and a pair) and a byte that is part of
// no character take codes of the table, so that writing gives the same bytes again; writing
// JIS or EUC, each code of the table becomes its character's form in that code.
class TOutsideCodes {
public:
    virtual ~TOutsideCodes() = default;
    // The Shift-JIS code (lead << 8 | trail) that stands for the JIS X 0212 character Code
    // (row << 8 | cell), or -1 when the set has no such character.
    virtual int Code0212(int Code) = 0;
    // The Shift-JIS code that stands for the byte B, which is part of no character.
    virtual int RawByte(uint8_t B) = 0;
    // What the user-defined code Code (lead byte 0xF0-0xF9) is written as in JIS or EUC.
    virtual TOutsideForm Form(int Code, bool Jis) const = 0;
};

// How the converters write and read beyond the pair arithmetic.
struct TConvertOptions {
    // The page's outside characters, or none: EUC then reads bytes of no character as they are
    // and a user-defined code goes to JIS and EUC as "?".
    TOutsideCodes* Codes = nullptr;
    // The last byte of the escape that returns JIS to ASCII: 'J' (ESC ( J, JIS-Roman) or 'B'
    // (ESC ( B, ASCII).
    char JisAscii = 'J';
};

// Converts In into Out, which has room for MaxConvertedSize(In.size()) bytes: all of In when
// Last, else up to a character or escape that the end of In may cut, which waits for the
// next piece. Kanji carries JIS's kanji mode from piece to piece (false at the start).
// Converting a text piece by piece gives exactly the bytes of converting it whole.
//
// Writing JIS and EUC never gives bytes of no character: a byte of the Shift-JIS text that is
// part of no character, and a character whose JIS row lies outside 0x21-0x7E (user-defined
// characters, the IBM extensions from 0xFA), are written as "?".
TConvertStep ConvertPiece(TConversion conversion, std::string_view in, bool last, bool& kanji, char* out,
                          const TConvertOptions& options = {}) noexcept;
std::string SjisToEuc(std::string_view text);

// Names of codes and line ends as pages, menus and status panels show them.
inline constexpr const char* kShiftJisName = "S-JIS";
inline constexpr const char* kJisName = "JIS";
inline constexpr const char* kEucName = "EUC";
inline constexpr const char* kUtf8Name = "UTF-8";
inline constexpr const char* kUtf8BomName = "UTF-8 BOM"; // written with the byte order mark
inline bool IsUtf8Name(std::string_view code) noexcept { return code == kUtf8Name || code == kUtf8BomName; }
// JIS that returns to ASCII with ESC ( B rather than ESC ( J (a file that did so keeps it).
inline constexpr const char* kJisAsciiName = "JIS ASCII";
inline bool IsJisName(std::string_view code) noexcept { return code == kJisName || code == kJisAsciiName; }
// UTF-16 is written with the byte order mark; a file read without one keeps it off.
inline constexpr const char* kUtf16LeName = "UTF-16LE";
inline constexpr const char* kUtf16BeName = "UTF-16BE";
inline constexpr const char* kUtf16LeNoBomName = "UTF-16LE NOBOM";
inline constexpr const char* kUtf16BeNoBomName = "UTF-16BE NOBOM";
inline bool IsUtf16Name(std::string_view code) noexcept { return code.substr(0, 6) == "UTF-16"; }
inline bool IsUtf16BigEndianName(std::string_view code) noexcept { return code.substr(0, 8) == kUtf16BeName; }
inline bool IsUnicodeName(std::string_view code) noexcept { return IsUtf8Name(code) || IsUtf16Name(code); }
// The name a code shows in the status bar: its variants (byte order mark, ASCII escape) are
// the menu's business.
inline std::string_view ShownCodeName(std::string_view code) noexcept {
    if (IsUtf8Name(code)) return kUtf8Name;
    if (IsJisName(code)) return kJisName;
    if (IsUtf16Name(code)) return IsUtf16BigEndianName(code) ? kUtf16BeName : kUtf16LeName;
    return code;
}
// Whether Code is the name of a code files are written in.
inline bool IsCodeName(std::string_view code) noexcept {
    for (const char* name : {kShiftJisName, kJisName, kJisAsciiName, kEucName, kUtf8Name, kUtf8BomName, kUtf16LeName,
                             kUtf16BeName, kUtf16LeNoBomName, kUtf16BeNoBomName})
        if (code == name) return true;
    return false;
}
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
