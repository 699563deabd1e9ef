// TColorTable.
#include "ColorTable.h"

#include "ColorText.h"
#include "Profile.h"

namespace quire {

namespace {

struct TColorEntry {
    const char* Key;
    TColor Default;
};

// 0x80000001 is the system colour of the desktop background ("clBackground").
constexpr std::array<TColorEntry, TColorTable::Count> kColors{{
    {"Font", 0x000000},
    {"Bk", 0xFFFFFF},
    {"SelFont", 0xFFFFFF},
    {"SelBk", 0x800000},
    {"RET", 0x808000},
    {"EOF", 0x808000},
    {"TAB", 0xC0C0C0},
    {"Space", 0xC0C0C0},
    {"HSpace", 0xC0C0C0},
    {"UnderLine", 0xC0C0C0},
    {"URL", 0xFF0000},
    {"Mail", 0xFF0000},
    {"Inyo", 0xFF0000},
    {"Ruler", 0x000000},
    {"BkRuler", 0xFFFFFF},
    {"Del_KeyWord", 0x000000},
    {"Del_Str", 0x008000},
    {"Del_Comment", 0x80000001},
    {"ini_Section", 0xFF0000},
    {"ini_Key", 0x008000},
    {"HTML_Ampersand", 0xFF0000},
    {"HTML_Element", 0x008000},
    {"HTML_Attribute", 0xFF0000},
    {"HTML_AttValue", 0x008080},
    {"HTML_Comment", 0x808080},
    {"Perl_KeyWord", 0xFF0000},
    {"Perl_Str", 0x008000},
    {"Perl_Comment", 0x80000001},
    {"C_KeyWord", 0xFF0000},
    {"C_Str", 0x008000},
    {"C_Comment", 0x80000001},
    {"Basic_KeyWord", 0xFF0000},
    {"Basic_Str", 0x008000},
    {"Basic_Comment", 0x80000001},
    {"Yuza_KeyWord", 0xFF0000},
    {"Yuza_Str", 0x008000},
    {"Yuza_Comment", 0x80000001},
}};

const QString kSection = QStringLiteral("Color");

TColorIndex indexAt(int i) { return static_cast<TColorIndex>(i); }

} // namespace

TColorTable::TColorTable() { Reset(); }

QString TColorTable::Key(TColorIndex Index) { return QString::fromLatin1(kColors.at(static_cast<size_t>(Index)).Key); }

TColor TColorTable::Default(TColorIndex Index) { return kColors.at(static_cast<size_t>(Index)).Default; }

void TColorTable::Reset() {
    for (int i = 0; i < Count; ++i) SetColor(indexAt(i), Default(indexAt(i)));
}

void TColorTable::Load(const QString& File) {
    for (int i = 0; i < Count; ++i) {
        const std::optional<TColor> c = StringToColor(profile::ReadString(File, kSection, Key(indexAt(i))));
        SetColor(indexAt(i), c.value_or(Default(indexAt(i))));
    }
}

void TColorTable::Save(const QString& File) const {
    for (int i = 0; i < Count; ++i)
        profile::WriteString(File, kSection, Key(indexAt(i)), ColorToString(Color(indexAt(i))));
}

} // namespace quire
