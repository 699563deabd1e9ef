// TKanjiStream.
#include "KanjiStream.h"

#include <algorithm>
#include <cstring>

namespace quire {

std::size_t TKanjiStream::Convert(std::string_view Piece, bool Last, char* Out) noexcept {
    std::size_t written = 0;
    if (FCarryLength > 0) {
        // The carried bytes with the first bytes of this piece: more than enough to finish
        // any character or escape sequence, unless the piece is shorter.
        char joined[kMaxCarry + kJoin];
        const std::size_t take = std::min(kJoin, Piece.size());
        std::memcpy(joined, FCarry, FCarryLength);
        std::memcpy(joined + FCarryLength, Piece.data(), take);
        const std::size_t length = FCarryLength + take;
        const bool last = Last && take == Piece.size();
        const jconvert::TConvertStep step =
            jconvert::ConvertPiece(FConversion, std::string_view(joined, length), last, FKanji, Out, FOptions);
        written = step.Written;
        if (take == Piece.size()) {
            // The whole piece went in: what is left waits again.
            FCarryLength = length - step.Read;
            std::memcpy(FCarry, joined + step.Read, FCarryLength);
            return written;
        }
        // A step stops at most two bytes before the end, so it went past the carried bytes.
        Piece.remove_prefix(step.Read - FCarryLength);
        FCarryLength = 0;
    }
    const jconvert::TConvertStep step =
        jconvert::ConvertPiece(FConversion, Piece, Last, FKanji, Out + written, FOptions);
    written += step.Written;
    FCarryLength = Piece.size() - step.Read;
    std::memcpy(FCarry, Piece.data() + step.Read, FCarryLength);
    return written;
}

} // namespace quire
