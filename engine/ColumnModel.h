// The column model of a row: how many screen columns each byte takes.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

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

// Column codes: '1' ordinary byte, '2' delimiter byte, '3' continuation of a tab, '4' lead
// byte, '5' trail byte. Building stops once the string is at least WrapByte + 3 columns long
// with word wrap on, or at least 1000 columns with it off (the last character is completed).
std::string ColumnAttributes(std::string_view S, const TColumnContext& C);

// The width of S in columns (no cut-off): the byte length when S holds no tab.
int TextWidth(std::string_view S, const TColumnContext& C);

// The row with every tab replaced by the spaces it takes.
std::string DisplayText(std::string_view S, const TColumnContext& C);

// The number of columns of the first N bytes of S.
inline int TextWidthOfBytes(std::string_view S, std::size_t N, const TColumnContext& C) {
    return TextWidth(S.substr(0, N < S.size() ? N : S.size()), C);
}

} // namespace quire
