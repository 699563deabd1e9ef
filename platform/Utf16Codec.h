// UTF-16 text (little- or big-endian): telling it from the other codes, and converting it to
// and from the Shift_JIS rows of a page, with a TOutsideCharTable for the characters code
// page 932 lacks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quire {
class TOutsideCharTable;
}

namespace quire::utf16 {

inline constexpr std::string_view kBomLe = "\xFF\xFE";
inline constexpr std::string_view kBomBe = "\xFE\xFF";

// What the bytes of a file are as UTF-16.
struct TKind {
    bool Utf16 = false;
    bool BigEndian = false;
    bool Bom = false;
};

// A file in UTF-16: it starts with a byte order mark, or, without one, its NUL bytes leave no
// doubt: the file (at most its first megabyte looked at) has an even length, at least one
// unit in 128 has a NUL high byte (ASCII), four times as many as units with a NUL low byte
// (U+3000, U+4E00), one of them is a line end (or half the units are ASCII), and every unit
// is a character (no unit below U+0009, no surrogate out of its pair). Text in the other
// codes has no NUL byte.
TKind Detect(std::string_view Bytes) noexcept;

// What the conversion to Shift_JIS could not keep.
struct TToShiftJis {
    std::size_t Unkept = 0;  // characters that found no code, the table being full ("〓")
    std::size_t Invalid = 0; // surrogates out of their pairs and a last odd byte ("〓", dropped)
};

// The text's own user-defined characters (U+E000-U+E757) keep their codes: reserved in Table
// before any code is given. Bytes: the units without the byte order mark.
void ReserveOwnCodes(std::string_view Bytes, bool BigEndian, TOutsideCharTable& Table);
// The length of the first N bytes of S (N at least 4), shortened to whole units and so that no
// surrogate pair is cut (the whole of S when N reaches its end).
std::size_t PieceEnd(std::string_view S, std::size_t N, bool BigEndian) noexcept;
// Converts Piece (whole units but for the text's last byte) into Out, which has room for
// MaxShiftJisSize(Piece.size()) bytes; returns the number of bytes written and adds to R.
std::size_t ConvertPiece(std::string_view Piece, bool BigEndian, TOutsideCharTable& Table, char* Out, TToShiftJis& R);
constexpr std::size_t MaxShiftJisSize(std::size_t N) noexcept { return N + 2; }

// Shift_JIS text to UTF-16 units, appended to Out: the codes of Table (when given) become
// their characters, every other code its code page 932 character. A byte that is no character
// (and a raw byte of the table, which UTF-16 cannot write) becomes U+FFFD; returns how many.
std::size_t FromShiftJis(std::string_view Sjis, const TOutsideCharTable* Table, bool BigEndian, std::string& Out);

} // namespace quire::utf16
