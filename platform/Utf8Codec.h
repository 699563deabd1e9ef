// UTF-8 text: telling it from the Japanese codes, and converting it to and from the Shift_JIS
// rows of a page, with a TOutsideCharTable for the characters code page 932 lacks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quire {
class TOutsideCharTable;
}

namespace quire::utf8 {

inline constexpr std::string_view kBom = "\xEF\xBB\xBF";

constexpr bool StartsWithBom(std::string_view Bytes) noexcept { return Bytes.substr(0, 3) == kBom; }

// True when Bytes are valid UTF-8 throughout: no stray continuation byte, no sequence cut
// short, no overlong form, no surrogate, nothing past U+10FFFF. MultiByte, when given, tells
// whether any sequence of two or more bytes was seen.
bool IsValid(std::string_view Bytes, bool* MultiByte = nullptr) noexcept;

// A file in UTF-8: it starts with the byte order mark, or it is valid UTF-8 throughout and
// holds at least one multi-byte sequence (plain ASCII stays Shift_JIS).
bool IsUtf8File(std::string_view Bytes) noexcept;

// What the conversion to Shift_JIS could not keep.
struct TToShiftJis {
    // Characters that found no code because the user-defined area was full: each became
    // "〓" (0x81AC), and the text cannot be saved as it was.
    std::size_t Unkept = 0;
};

// UTF-8 bytes (a byte order mark is not skipped: the caller takes it off) to Shift_JIS,
// appended to Out. Characters without an exact code take codes of Table. A byte that is no
// part of a valid sequence is kept as a raw byte escape of Table, so that even a file that
// is not UTF-8 throughout comes back byte for byte. The text's own user-defined characters
// are reserved first (ReserveOwnCodes).
TToShiftJis ToShiftJis(std::string_view Utf8, TOutsideCharTable& Table, std::string& Out);

// The same in steps, for a text converted piece by piece: ReserveOwnCodes over the whole
// text first, then ConvertPiece for each piece, cut where PieceEnd says.
void ReserveOwnCodes(std::string_view Utf8, TOutsideCharTable& Table);
// The length of the first N bytes of S (N at least 4), shortened so that no sequence is cut.
std::size_t PieceEnd(std::string_view S, std::size_t N) noexcept;
// The length of S without a sequence that its end may cut (S being the first piece of a longer
// text): what can be checked for validity before the rest is read.
std::size_t UncutLength(std::string_view S) noexcept;
// Converts Piece into Out, which has room for MaxShiftJisSize(Piece.size()) bytes; returns
// the number of bytes written and adds to Unkept.
std::size_t ConvertPiece(std::string_view Piece, TOutsideCharTable& Table, char* Out, TToShiftJis& Result);
constexpr std::size_t MaxShiftJisSize(std::size_t N) noexcept { return 2 * N; }

// What the conversion from Shift_JIS could not keep.
struct TFromShiftJis {
    std::size_t Lost = 0;                      // bytes that are no character (written as U+FFFD)
    std::size_t FirstLost = std::string::npos; // the byte offset of the first of them
};

// Shift_JIS text to UTF-8, appended to Out: the codes of Table (when given) become their
// characters and raw bytes again, every other code its code page 932 character.
TFromShiftJis FromShiftJis(std::string_view Sjis, const TOutsideCharTable* Table, std::string& Out);

// Appends the UTF-8 form of Ch (a raw byte escape of the table as its byte).
void AppendChar(std::string& Out, char32_t Ch);

// The first character of S (valid UTF-8 assumed at I) and its length in bytes; Length 0 when
// the bytes at I are no valid sequence.
struct TDecoded {
    char32_t Ch = 0;
    std::size_t Length = 0;
};
TDecoded DecodeAt(std::string_view S, std::size_t I) noexcept;

} // namespace quire::utf8
