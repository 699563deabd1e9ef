// Token kinds: one byte each. 0 to 28 belong to the framework and the editor parser; 50 to 56
// are private to the language parsers. The values are stored in row states.
#pragma once

namespace quire {

enum TTokenKind : int {
    kindEnd = 0,
    kindSymbol = 1,
    kindInteger = 3,
    kindFloat = 4,
    kindBracket = 6,
    kindLineComment = 7,
    kindReserved = 8,
    kindTab = 9,
    kindWord = 11,
    kindWideSymbol = 12,
    kindWideDigits = 14,
    kindWideAlpha = 15,
    kindHiragana = 16,
    kindKatakana = 17,
    kindKanji = 18,
    kindHalfKanaSymbol = 19,
    kindHalfKana = 20,
    kindUrl = 21,
    kindMail = 22,
    kindHex = 23,
    kindSingleQuoted = 24,
    kindDoubleQuoted = 25,
    kindQuotation = 26,
    kindControlDec = 27,
    kindControlHex = 28,
};

} // namespace quire
