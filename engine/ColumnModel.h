// The column model of a row: how many screen columns each byte takes.
#pragma once

#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace quire {

// Single-byte characters where a Latin word may be broken (also used for word moves).
using TDelimiters = std::bitset<256>;

// 0x00-0x2F, 0x3A-0x40, 0x5B-0x5E, 0x60, 0x7B-0x80, 0xA0-0xA5, 0xFD-0xFF.
TDelimiters DefaultDelimiters();

// What the column model depends on.
struct TColumnContext {
    int TabSpaceCount = 8;
    bool WordWrap = false;
    int WrapByte = 80;
    TDelimiters Delimiters = DefaultDelimiters();

    // Columns taken by a tab that starts at 0-based column C.
    int TabWidthAt(int C) const noexcept {
        int w = TabSpaceCount - (C % TabSpaceCount);
        if (WordWrap) {
            const int toEdge = WrapByte - (C % WrapByte);
            if (toEdge < w) w = toEdge;
        }
        return w;
    }
};

// What one screen column of a row holds. The column attribute string keeps one character per
// column, the code's value, so that it reads and compares as text ("1121").
enum class TColumnCode : char {
    End = '0',       // past the last column
    Ordinary = '1',  // a single byte
    Delimiter = '2', // a single byte where a Latin word may be broken
    TabPad = '3',    // a continuation column of a tab
    Lead = '4',      // the lead byte of a double-byte character
    Trail = '5',     // its trail byte
};

// The column attribute string of S. Building stops once the string is at least WrapByte + 3
// columns long with word wrap on, or at least 1000 columns with it off (the last character
// is completed).
std::string ColumnAttributes(std::string_view S, const TColumnContext& C);

// The columns of one row read through their codes, and the one conversion from columns to
// bytes: every column is a byte of the row except a tab's continuation columns.
class TColumnMap {
public:
    TColumnMap() = default;
    explicit TColumnMap(std::string Codes) noexcept : FCodes(std::move(Codes)) {}
    TColumnMap(std::string_view S, const TColumnContext& C) : FCodes(ColumnAttributes(S, C)) {}

    int Width() const noexcept { return static_cast<int>(FCodes.size()); }
    const std::string& Codes() const noexcept { return FCodes; }
    // The code of 0-based column Col; End outside the row.
    TColumnCode At(int Col) const noexcept {
        return Col >= 0 && Col < Width() ? static_cast<TColumnCode>(FCodes[static_cast<std::size_t>(Col)])
                                         : TColumnCode::End;
    }
    bool Is(int Col, TColumnCode Code) const noexcept { return At(Col) == Code; }
    // The bytes of the row in columns [0, Col); beyond the row every column counts as one
    // byte, as if the row were padded with spaces.
    int BytesBefore(int Col) const noexcept {
        int pads = 0;
        const int end = Col < Width() ? Col : Width();
        for (int c = 0; c < end; ++c)
            if (FCodes[static_cast<std::size_t>(c)] == static_cast<char>(TColumnCode::TabPad)) ++pads;
        return Col - pads;
    }
    // The byte index of the character in column Col (a tab's own index for its continuation
    // columns).
    int ByteIndex(int Col) const noexcept { return BytesBefore(Col + 1) - 1; }

private:
    std::string FCodes;
};

// The width of S in columns (no cut-off): the byte length when S holds no tab.
int TextWidth(std::string_view S, const TColumnContext& C);

// The row with every tab replaced by the spaces it takes.
std::string DisplayText(std::string_view S, const TColumnContext& C);

// The number of columns of the first N bytes of S.
inline int TextWidthOfBytes(std::string_view S, std::size_t N, const TColumnContext& C) {
    return TextWidth(S.substr(0, N < S.size() ? N : S.size()), C);
}

} // namespace quire
