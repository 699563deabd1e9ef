// Conversion between code page 932 (Shift_JIS) bytes and UTF-16.
#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace quire {
class TOutsideCharTable;
}

namespace quire::cp932 {

// Bytes that are not valid code page 932 (0x80, 0xA0, 0xFD-0xFF, a lead byte without a
// valid trail byte) are decoded to the lone surrogates U+DC80-U+DCFF so that converting
// back restores them exactly. Nothing is dropped and no byte sequence is an error.
// With a Table (a UTF-8 page's), its codes decode to their characters, raw bytes to their
// escapes.
QString ToUnicode(std::string_view bytes, const TOutsideCharTable* Table = nullptr);

// Like ToUnicode, but invalid bytes become U+FFFD: the text as it is shown to the user.
QString ToDisplay(std::string_view bytes, const TOutsideCharTable* Table = nullptr);

// Converts UTF-16 to code page 932. The escapes U+DC80-U+DCFF become their bytes again. The
// characters input methods give for some of code page 932's own (U+301C wave dash, U+2212
// minus, U+2016, U+00A2, U+00A3, U+00AC, U+2014) take those codes. A character that code
// page 932 cannot hold becomes "?" and, when Lossy is given, sets it.
std::string FromUnicode(QStringView text, bool* lossy = nullptr);
// The same, collecting each character that became "?" once, in order, into Lost.
std::string FromUnicode(QStringView text, QString* lost);
// For a page with a Table (a UTF-8 page): every character without an exact code takes a code
// of the table (U+301C and the others above included), so only a full table loses any; with
// no table, as above.
std::string FromUnicode(QStringView text, TOutsideCharTable* Table, QString* lost);

// The character at I of the Shift_JIS text S of a page with Table (or none): a code of the
// table its character, any other code its code page 932 character; Ch 0 when the byte at I
// starts no character (Length 1: the next byte is read afresh).
struct TPageChar {
    char32_t Ch = 0;
    std::size_t Length = 1;
};
TPageChar PageCharAt(std::string_view S, std::size_t I, const TOutsideCharTable* Table) noexcept;

// The Unicode character of one code page 932 character (one or two bytes), or 0 when the
// bytes are not a valid character. Used to tell which codes are valid.
char16_t DecodeChar(unsigned char lead, unsigned char trail = 0) noexcept;

// The code page 932 bytes of one BMP character as a 16-bit value (a single byte is below
// 0x100), or -1 when the character has no code.
int EncodeChar(char16_t ch) noexcept;

// The code of a character that code page 932 holds exactly, as EncodeChar gives it, when
// that code decodes to the same character again; -1 otherwise (characters beyond the BMP,
// and those such as U+301C or U+00A5 that only have the code of another character).
int EncodeExact(char32_t ch) noexcept;

// The code a character takes in a page with Table: its own code page 932 code when that code
// gives the same character back (or, in a table that is not ExactUnicode, the code EncodeChar
// gives) and is not a table code of another character; else a code of the table (given now
// when it has none). -1 when the table is full. The text's own user-defined characters
// (U+E000-U+E757) keep their codes, which the table then never gives.
int CodeFor(char32_t Ch, TOutsideCharTable& Table);

} // namespace quire::cp932
