// TKanjiPlainScan: tells cheaply that a JIS or EUC text certainly survives being read and written back.
#pragma once

#include "jconvert.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quire {

// Looks at the bytes of a text in pieces of any length, without converting anything. The text
// is plain when it holds nothing but what the converters map one to one: for EUC, ASCII, pairs
// of bytes 0xA1-0xFE and half-width kana (0x8E 0xA1-0xDF); for JIS, ASCII in the ASCII or
// JIS-Roman set (ESC ( B, ESC ( J) and pairs of bytes 0x21-0x7E in the kanji set (ESC $ B,
// ESC $ @). Reading a plain text and writing it back gives its bytes (for JIS its characters
// in their sets); for any other text only the full check (TKanjiRoundTrip) can tell.
class TKanjiPlainScan {
public:
    // Reading: EucToSjis or JisToSjis.
    explicit TKanjiPlainScan(jconvert::TConversion Reading) noexcept
        : FJis(Reading == jconvert::TConversion::JisToSjis) {}

    // The next piece; false once the text is known not to be plain.
    bool Add(std::string_view Piece);
    // The text is complete: true when it was plain.
    bool Finish();

private:
    // Takes Piece up to its end or to a character or escape its end cuts (when not Last);
    // the bytes taken.
    std::size_t take(std::string_view Piece, bool Last);
    std::size_t takeEuc(std::string_view Piece, bool Last);
    std::size_t takeJis(std::string_view Piece, bool Last);

    bool FJis;
    bool FKanji = false;
    bool FPlain = true;
    std::string FCarry; // the bytes of a cut character or escape
};

} // namespace quire
