// Row attributes and the row state: what the store keeps about each row besides its text.
#pragma once

#include <cstdint>

namespace quire {

// How a row ends. NoAttribute never stands on a row; it marks an empty range in range
// reads and undo records.
enum class TRowAttribute : uint8_t { LineEnd = 0, Wrapped = 1, EndOfFile = 2, NoAttribute = 3 };

// The colouring parser's state at the start of a row. BracketIndex -2 marks, in storage, a
// row whose state is not known yet; given to a parser it means brackets are not recognised.
// The fields are stored with limited widths: BracketIndex -2..13, Element 0..15, Remain
// 0..255, ResumeKind and PrevData one byte each.
struct TRowState {
    int BracketIndex = -1;
    int Element = 0;
    int Remain = 0;
    int ResumeKind = 0;
    int PrevData = 0;

    friend bool operator==(const TRowState&, const TRowState&) = default;

    // The state of the first row of a text.
    static constexpr TRowState Initial() { return TRowState{}; }
    // The state stored on a row that has not been parsed.
    // The BracketIndex of a row whose state is not parsed yet.
    static constexpr int NotParsedBracket = -2;
    static constexpr TRowState NotParsed() { return TRowState{NotParsedBracket, 0, 0, 0, 0}; }
    constexpr bool Parsed() const noexcept { return BracketIndex != NotParsedBracket; }
};

} // namespace quire
