// A deterministic generator of Japanese test text in Shift_JIS, EUC and JIS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quire::bench {

// The same document in the three kanji codes, all with CR LF line ends.
struct GeneratedText {
    std::string ShiftJis;
    std::string Euc;
    std::string Jis;
};

// Exactly Size bytes of Shift_JIS text (the other codes come out somewhat longer): kanji,
// hiragana, katakana, full-width punctuation such as 「」、。, ASCII words and digits, in lines
// of mixed length, among them long paragraphs. Every character is in JIS X 0208, so the
// three codes hold exactly the same text. The same Seed always gives the same bytes.
GeneratedText GenerateJapaneseText(std::size_t Size, uint32_t Seed = 1);

// Only the Shift_JIS text (faster when the others are not needed).
std::string GenerateShiftJis(std::size_t Size, uint32_t Seed = 1);

} // namespace quire::bench
