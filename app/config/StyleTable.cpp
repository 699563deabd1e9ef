// TStyleTable.
#include "StyleTable.h"

#include "FountainColor.h"
#include "Profile.h"

namespace quire {

namespace {

struct TSlotEntry {
    const char* Key;
    TStyleFlags Default;
};

constexpr TStyleFlags kPlain{};
constexpr TStyleFlags kBold{true, false, false};
constexpr TStyleFlags kUnderlined{false, false, true};

// Slot 0 is not used. The keys of slots 5 and 6 get an ending per section (Key).
constexpr std::array<TSlotEntry, TStyleTable::LastSlot + 1> kSlots{{
    {"", kPlain},
    {"Stand", kPlain},
    {"URL", kUnderlined},
    {"Mail", kUnderlined},
    {"Inyo", kPlain},
    {"Del_Key", kBold},
    {"Del_Str", kPlain},
    {"Del_Comment", kPlain},
    {"ini_Section", kPlain},
    {"ini_Key", kPlain},
    {"HTML_Ampersand", kPlain},
    {"HTML_Element", kPlain},
    {"HTML_Attribute", kPlain},
    {"HTML_AttValue", kPlain},
    {"HTML_Comment", kPlain},
    {"Perl_KeyWord", kBold},
    {"Perl_Str", kPlain},
    {"Perl_Comment", kPlain},
    {"C_KeyWord", kBold},
    {"C_Str", kPlain},
    {"C_Comment", kPlain},
    {"Basic_KeyWord", kBold},
    {"Basic_Str", kPlain},
    {"Basic_Comment", kPlain},
    {"Yuza_KeyWord", kPlain},
    {"Yuza_Str", kPlain},
    {"Yuza_Comment", kPlain},
}};

// Each section: its name, the ending of the Delphi keys in it, and the flag it holds.
struct TSectionEntry {
    const char* Name;
    const char* DelphiSuffix;
    bool TStyleFlags::*Flag;
};
constexpr std::array<TSectionEntry, StyleSectionCount> kSections{{
    {"Bold", "Bold", &TStyleFlags::Bold},
    {"Italic", "Italic", &TStyleFlags::Italic},
    {"Underline", "Under", &TStyleFlags::Underline},
}};

const TSectionEntry& entryOf(TStyleSection s) { return kSections.at(static_cast<size_t>(s)); }

TStyleSlot slotAt(int i) { return static_cast<TStyleSlot>(i); }

} // namespace

uint8_t TStyleFlags::FontStyle() const noexcept {
    return static_cast<uint8_t>((Bold ? fsBold : 0) | (Italic ? fsItalic : 0) | (Underline ? fsUnderline : 0));
}

TStyleTable::TStyleTable() { Reset(); }

QString TStyleTable::Section(TStyleSection Section) { return QString::fromLatin1(entryOf(Section).Name); }

QString TStyleTable::Key(TStyleSection Section, TStyleSlot Slot) {
    const QString key = QString::fromLatin1(kSlots.at(static_cast<size_t>(Slot)).Key);
    // "Del_KeyBold", "Del_KeyItalic", "Del_KeyUnder", and the same for "Del_Str". Names
    // compare without case, so the "Del_keyUnder" of older files is the same key.
    if (Slot != TStyleSlot::DelKeyWord && Slot != TStyleSlot::DelStr) return key;
    return key + QString::fromLatin1(entryOf(Section).DelphiSuffix);
}

TStyleFlags TStyleTable::Default(TStyleSlot Slot) { return kSlots.at(static_cast<size_t>(Slot)).Default; }

void TStyleTable::Reset() {
    for (int i = FirstSlot; i <= LastSlot; ++i) Flags(slotAt(i)) = Default(slotAt(i));
}

void TStyleTable::Load(const QString& File) {
    for (int s = 0; s < StyleSectionCount; ++s) {
        const auto section = static_cast<TStyleSection>(s);
        const auto flag = kSections[static_cast<size_t>(s)].Flag;
        for (int i = FirstSlot; i <= LastSlot; ++i)
            Flags(slotAt(i)).*flag =
                profile::ReadBool(File, Section(section), Key(section, slotAt(i)), Default(slotAt(i)).*flag);
    }
}

void TStyleTable::Save(const QString& File) const {
    for (int s = 0; s < StyleSectionCount; ++s) {
        const auto section = static_cast<TStyleSection>(s);
        const auto flag = kSections[static_cast<size_t>(s)].Flag;
        for (int i = FirstSlot; i <= LastSlot; ++i)
            profile::WriteBool(File, Section(section), Key(section, slotAt(i)), Flags(slotAt(i)).*flag);
    }
}

} // namespace quire
