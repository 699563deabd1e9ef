// FinishCutCharacter: the start of a piece of a text read in pieces, where the piece before
// ended inside a character or an escape.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace quire {

// Carry holds the bytes the piece before left unread (a cut character or escape). They are
// read again with the next few bytes of Piece, enough to finish them, through Take(Bytes,
// Last), which reads what it can of Bytes and returns how much; Last is true only when the
// joined bytes take all of Piece and Piece is the last. Returns false when even that did not
// finish them (Carry then holds what is still unread, and the piece is done with); else
// Piece is left with what comes after them and Carry is empty.
template <class TTake>
bool FinishCutCharacter(std::string& Carry, std::string_view& Piece, bool Last, TTake&& Take) {
    if (Carry.empty()) return true;
    const std::size_t more = std::min<std::size_t>(Piece.size(), 4);
    std::string joined = std::move(Carry);
    const std::size_t carried = joined.size();
    joined.append(Piece.data(), more);
    Carry.clear();
    const std::size_t taken = Take(std::string_view(joined), Last && more == Piece.size());
    if (taken < carried) { // the piece was too short to finish it
        Carry = joined.substr(taken);
        return false;
    }
    Piece.remove_prefix(taken - carried);
    return true;
}

} // namespace quire
