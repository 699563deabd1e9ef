// TStyleTable: the bold, italic and underline flags of the settings file (sections Bold,
// Italic and Underline), slots 1 to 26 with their keys and defaults. Plain data.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace quire {

// The slots of the table; slot 0 is not used. From DelKeyWord on, each slot styles what the
// colour table's entry of the same name colours.
enum class TStyleSlot : int {
    Stand = 1, // plain, double-byte, number and symbol tokens of every editor
    URL,       // URL tokens
    Mail,      // mail address tokens
    Inyo,      // quoted lines (the editor's comment kind)
    DelKeyWord,
    DelStr,
    DelComment,
    IniSection,
    IniKey,
    HTMLAmpersand,
    HTMLElement,
    HTMLAttribute,
    HTMLAttValue,
    HTMLComment,
    PerlKeyWord,
    PerlStr,
    PerlComment,
    CKeyWord,
    CStr,
    CComment,
    BasicKeyWord,
    BasicStr,
    BasicComment,
    YuzaKeyWord,
    YuzaStr,
    YuzaComment,
};

// The three flags of one slot.
struct TStyleFlags {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    // As font style bits (fsBold, fsItalic, fsUnderline).
    uint8_t FontStyle() const noexcept;
    bool operator==(const TStyleFlags&) const = default;
};

// The three sections of the table.
enum class TStyleSection { Bold, Italic, Underline };
inline constexpr int StyleSectionCount = 3;

class TStyleTable {
public:
    static constexpr int FirstSlot = 1;
    static constexpr int LastSlot = 26;

    // Every slot at its default.
    TStyleTable();

    // The section's name, the key of a slot in it (slots 5 and 6 have a key of their own in
    // each section), and a slot's defaults.
    static QString Section(TStyleSection Section);
    static QString Key(TStyleSection Section, TStyleSlot Slot);
    static TStyleFlags Default(TStyleSlot Slot);

    const TStyleFlags& Flags(TStyleSlot Slot) const { return FSlots[static_cast<size_t>(Slot)]; }
    TStyleFlags& Flags(TStyleSlot Slot) { return FSlots[static_cast<size_t>(Slot)]; }
    uint8_t FontStyle(TStyleSlot Slot) const { return Flags(Slot).FontStyle(); }
    void Reset();

    // Reads the three sections; a missing key or a value that is not a number gives the
    // default.
    void Load(const QString& File);
    // Writes every key of the three sections as "1" or "0".
    void Save(const QString& File) const;

    bool operator==(const TStyleTable&) const = default;

private:
    std::array<TStyleFlags, LastSlot + 1> FSlots{};
};

} // namespace quire
