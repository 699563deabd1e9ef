// TPageCodes: a page's table of outside characters as the kanji converters use it.
#pragma once

#include "jconvert.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quire {

class TOutsideCharTable;

// Reading EUC, a JIS X 0212 character and a byte that is part of no character take codes of
// the table (a JIS X 0212 character always, even one that code page 932 has, so that it is
// written back as the same three bytes). Writing JIS or EUC, a code from 0xF0 (a code of the
// table, the text's own user-defined characters, the IBM extensions) becomes its character's
// JIS X 0208 form, in EUC else its JIS X 0212 form or the raw byte it stands for; what has
// no form is lost.
class TPageCodes final : public jconvert::TOutsideCodes {
public:
    static constexpr int kGeta = 0x81AC; // 〓: a character that found no code, the table being full

    // Reading EUC gives codes of Table.
    explicit TPageCodes(TOutsideCharTable* Table) noexcept : FTable(Table), FWritable(Table) {}
    // For writing only: Table may be null for a page that has none (its IBM extensions still
    // find their JIS X 0212 forms); reading then gives no codes.
    explicit TPageCodes(const TOutsideCharTable* Table) noexcept : FTable(Table) {}

    int Code0212(int Code) override;
    int RawByte(uint8_t B) override;
    jconvert::TOutsideForm Form(int Code, bool Jis) const override;

    // Characters that found no code because the table was full (each read as 〓).
    std::size_t Unkept() const noexcept { return FUnkept; }
    // Bytes of no character that were read (each a code of the table).
    std::size_t StrayBytes() const noexcept { return FStray; }

private:
    int codeOf(char32_t Ch);

    const TOutsideCharTable* FTable;
    TOutsideCharTable* FWritable = nullptr;
    std::size_t FUnkept = 0;
    std::size_t FStray = 0;
};

// The character the double-byte code (Lead, Trail) stands for in a page with Table (or
// none): a code of the table its character, any other code its code page 932 character; 0
// for none.
char32_t CharOfCode(unsigned char Lead, unsigned char Trail, const TOutsideCharTable* Table) noexcept;

// Whether writing the Shift-JIS character at I of Text (not ASCII) in the code JIS or EUC
// keeps it, and its length in bytes. A character whose JIS X 0208 code is not assigned (the
// NEC special characters, the NEC-selected IBM extensions) is written by the row and cell
// arithmetic, which readers of other JIS code sets may take, but is counted as lost.
struct TKeptChar {
    bool Kept = true;
    std::size_t Length = 1;
};
TKeptChar KeptInJis(std::string_view Text, std::size_t I, bool Jis, const TOutsideCharTable* Table);

// Text with every code of Table that Shift-JIS cannot write replaced: by the code of its
// character in code page 932 where there is one (a JIS X 0212 character code page 932 has,
// the wave dash and the other characters input methods give for code page 932's own), else by
// "?". Text itself when Table gives none of its codes.
std::string ShiftJisOfTable(std::string_view Text, const TOutsideCharTable& Table);
// The code page 932 code that writes the table's character Ch in Shift-JIS, or -1.
int ShiftJisCodeOf(char32_t Ch) noexcept;

} // namespace quire
