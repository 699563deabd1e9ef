// TKanjiStream: the built-in converters on a text that arrives in pieces of any length.
#pragma once

#include "jconvert.h"

#include <cstddef>
#include <string_view>

namespace quire {

// Converts piece after piece with exactly the result of converting the whole text at once:
// a character or escape sequence cut by the end of a piece (at most two bytes) is kept and
// finished with the next piece, and JIS's kanji mode goes on from piece to piece.
class TKanjiStream {
public:
    explicit TKanjiStream(jconvert::TConversion Conversion, const jconvert::TConvertOptions& Options = {}) noexcept
        : FConversion(Conversion), FOptions(Options) {}

    // The room Convert needs for a piece of N bytes.
    std::size_t MaxOutput(std::size_t N) const noexcept {
        return jconvert::MaxConvertedSize(FConversion, N + kMaxCarry);
    }
    // Converts Piece (Last: no piece follows) into Out, which has room for
    // MaxOutput(Piece.size()) bytes; returns the number of bytes written.
    std::size_t Convert(std::string_view Piece, bool Last, char* Out) noexcept;

private:
    static constexpr std::size_t kMaxCarry = 2;
    // The carried bytes and the first bytes of the next piece are converted together.
    static constexpr std::size_t kJoin = 16;

    jconvert::TConversion FConversion;
    jconvert::TConvertOptions FOptions;
    bool FKanji = false;
    char FCarry[kMaxCarry] = {};
    std::size_t FCarryLength = 0;
};

} // namespace quire
