// The characters of JIS X 0208 and JIS X 0212 as Unicode, for the characters of a page that
// code page 932 does not give (a JIS X 0212 character of an EUC file, a UTF-8 page's 〜).
#pragma once

#include <cstdint>

namespace quire::jis {

// A character set's code: row << 8 | cell, both 0x21-0x7E; -1 for none.

// The Unicode character of the JIS X 0212 code, or 0 where the set has none (6067 are
// assigned).
char32_t CharOf0212(int Code) noexcept;
// The JIS X 0212 code of Ch, or -1.
int Code0212Of(char32_t Ch) noexcept;
// The JIS X 0208 code of Ch, or -1: the character the code stands for in EUC-JP, and also
// the seven characters that input methods give for code page 932's own (U+301C wave dash,
// U+2212 minus, U+2016, U+00A2, U+00A3, U+00AC, U+2014 em dash).
int Code0208Of(char32_t Ch) noexcept;

} // namespace quire::jis
