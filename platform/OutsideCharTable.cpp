// TOutsideCharTable: the characters of a page that code page 932 lacks.
#include "OutsideCharTable.h"

#include "ShiftJis.h"

namespace quire {

int TOutsideCharTable::FindCode(char32_t Ch) const {
    const auto it = FCodes.find(Ch);
    return it == FCodes.end() ? -1 : it->second;
}

int TOutsideCharTable::CodeOf(char32_t Ch) {
    if (const int code = FindCode(Ch); code >= 0) return code;
    // Slots above FNext are all in use, so the search goes down from it; a slot freed by a
    // reservation never comes back, so FNext only falls.
    while (FNext >= 0 && (FChars[static_cast<std::size_t>(FNext)] != 0 || FReserved[static_cast<std::size_t>(FNext)]))
        --FNext;
    if (FNext < 0) return -1;
    const auto slot = static_cast<std::size_t>(FNext--);
    FChars[slot] = Ch;
    const int code = CodeOfSlot(static_cast<int>(slot));
    FCodes.emplace(Ch, static_cast<uint16_t>(code));
    return code;
}

bool TOutsideCharTable::Reserve(int Code) noexcept {
    const int slot = SlotOf(Code);
    if (slot < 0) return true;
    if (FChars[static_cast<std::size_t>(slot)] != 0) return false;
    FReserved.set(static_cast<std::size_t>(slot));
    return true;
}

std::vector<std::pair<int, char32_t>> TOutsideCharTable::Entries() const {
    std::vector<std::pair<int, char32_t>> entries;
    for (std::size_t slot = 0; slot < Capacity; ++slot)
        if (FChars[slot] != 0 || FReserved[slot])
            entries.emplace_back(CodeOfSlot(static_cast<int>(slot)), FChars[slot]);
    return entries;
}

bool TOutsideCharTable::Put(int Code, char32_t Ch) {
    const int slot = SlotOf(Code);
    if (slot < 0 || FChars[static_cast<std::size_t>(slot)] != 0 || FReserved[static_cast<std::size_t>(slot)])
        return false;
    if (Ch == 0) return Reserve(Code);
    if (!FCodes.emplace(Ch, static_cast<uint16_t>(Code)).second) return false;
    FChars[static_cast<std::size_t>(slot)] = Ch;
    return true;
}

void TOutsideCharTable::ReserveCodesOf(const char* Text, std::size_t Size) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(Text);
    for (std::size_t i = 0; i < Size; ++i) {
        if (!sjis::IsLeadByte(p[i]) || i + 1 >= Size) continue;
        if (p[i] >= 0xF0 && p[i] <= 0xF9) Reserve((p[i] << 8) | p[i + 1]);
        ++i;
    }
}

} // namespace quire
