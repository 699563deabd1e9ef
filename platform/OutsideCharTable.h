// TOutsideCharTable: the characters of a page that code page 932 lacks, each given a code of
// its user-defined area.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quire {

// A UTF-8 page holds Shift_JIS rows like every page. A character without an exact code page
// 932 code (é, 😀, 〜 U+301C, ...) is kept as one of the 1880 codes of the user-defined area
// (lead bytes 0xF0-0xF9, trail bytes 0x40-0x7E and 0x80-0xFC), and this table says which
// character each such code stands for, so that drawing, copying and saving give it back.
//
// Invariants: a code stands for at most one character and a character has at most one code
// (FChars and FCodes mirror each other); a reserved code (one the text itself uses for its
// own user-defined character) is never given to a character. Codes are given from the top of
// the area down, away from the user-defined characters files usually hold at its start.
//
// Besides characters (U+0001-U+10FFFF) an entry may hold a raw byte escape RawByteBase + b: a
// byte of a file read as UTF-8 that is no part of a valid sequence; saving writes the byte.
class TOutsideCharTable {
public:
    static constexpr int Capacity = 1880;
    static constexpr char32_t RawByteBase = 0xDC00; // + 0x80..0xFF: an invalid byte

    // True for the double-byte codes (lead << 8 | trail) of the user-defined area.
    static constexpr bool IsUserDefined(int Code) noexcept { return SlotOf(Code) >= 0; }
    // The slot 0..1879 of a user-defined code (in code order), or -1.
    static constexpr int SlotOf(int Code) noexcept {
        const int lead = Code >> 8, trail = Code & 0xFF;
        if (lead < 0xF0 || lead > 0xF9 || trail < 0x40 || trail > 0xFC || trail == 0x7F) return -1;
        return (lead - 0xF0) * 188 + trail - 0x40 - (trail > 0x7F ? 1 : 0);
    }
    static constexpr int CodeOfSlot(int Slot) noexcept {
        const int trail = Slot % 188 + 0x40;
        return ((0xF0 + Slot / 188) << 8) | (trail >= 0x7F ? trail + 1 : trail);
    }

    // The code of Ch, giving it a free code when it has none yet; -1 when the area is full.
    int CodeOf(char32_t Ch);
    // The code Ch has, or -1; gives none.
    int FindCode(char32_t Ch) const;
    // The character (or raw byte escape) Code stands for, or 0 when it stands for none.
    char32_t CharOf(int Code) const noexcept {
        const int slot = SlotOf(Code);
        return slot < 0 ? 0 : FChars[static_cast<std::size_t>(slot)];
    }
    char32_t CharOf(unsigned char Lead, unsigned char Trail) const noexcept { return CharOf((Lead << 8) | Trail); }
    // Code is the text's own user-defined character: it is never given to another character.
    // False when Code already stands for a character of the table.
    bool Reserve(int Code) noexcept;
    // Reserves every user-defined code in the Shift_JIS text Text.
    void ReserveCodesOf(const char* Text, std::size_t Size) noexcept;
    bool Empty() const noexcept { return FCodes.empty(); }
    // Every code that stands for a character or is reserved (with character 0), in code order:
    // what Put takes to make the same table again (the recovery journal keeps a page's table so).
    std::vector<std::pair<int, char32_t>> Entries() const;
    // Gives Code to Ch, or reserves Code when Ch is 0; false (nothing changed) when Code is no
    // user-defined code, or Code or Ch is taken already.
    bool Put(int Code, char32_t Ch);
    // A Unicode page's table (the default) gives codes also to the characters code page 932
    // holds only under another code point (〜 U+301C for 0x8160, and the like), so that the
    // file gets them back; the table of a page in another code leaves them their near codes.
    bool ExactUnicode() const noexcept { return FExactUnicode; }
    void SetExactUnicode(bool Exact) noexcept { FExactUnicode = Exact; }
    std::size_t Size() const noexcept { return FCodes.size(); }

private:
    std::array<char32_t, Capacity> FChars{}; // by slot; 0 = free
    std::bitset<Capacity> FReserved;
    std::unordered_map<char32_t, uint16_t> FCodes;
    int FNext = Capacity - 1; // every slot above it is taken or reserved
    bool FExactUnicode = true;
};

} // namespace quire
