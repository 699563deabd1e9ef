// The highlighting modes: one table of names, items, switches, colourings and keyword files.
#include "EditModes.h"

#include <QFileInfo>
#include <array>

namespace quire {

namespace {

struct TModeEntry {
    TEditMode Mode;
    const char* Name;        // UTF-8
    const char* Item;        // menu item
    const char* Switch;      // command-line switch; null for none
    const char* Colouring;   // shared language colouring; null for the editor's own
    const char* KeywordFile; // keyword file of the shared colouring; null for none
};

// clang-format off
constexpr std::array<TModeEntry, EditModeCount> kModes = {{
    {TEditMode::Normal, "標準",   "Mm_mode_Normal", nullptr,  nullptr,  nullptr},
    {TEditMode::Delphi, "Delphi", "Mm_mode_Delphi", "/del",   "Delphi", "Delphi.qre"},
    {TEditMode::Ini,    "ini",    "Mm_mode_Ini",    "/ini",   "ini",    nullptr},
    {TEditMode::HTML,   "HTML",   "Mm_mode_HTML",   "/html",  "HTML",   nullptr},
    {TEditMode::Perl,   "Perl",   "Mm_mode_Perl",   "/perl",  "Perl",   "Perl.qre"},
    {TEditMode::Cpp,    "C++",    "Mm_mode_C",      "/cpp",   "C++",    "Cpp.qre"},
    {TEditMode::Basic,  "Basic",  "Mm_mode_Basic",  "/basic", "Basic",  "Basic.qre"},
    {TEditMode::Yuza,   "ユーザ", "Mm_mode_yuza",   "/user",  nullptr,  nullptr},
}};
// clang-format on

const TModeEntry& entry(TEditMode Mode) { return kModes.at(static_cast<size_t>(Mode)); }

QString text(const char* Utf8) { return Utf8 ? QString::fromUtf8(Utf8) : QString(); }

} // namespace

QString ModeName(TEditMode Mode) { return text(entry(Mode).Name); }

std::optional<TEditMode> ModeOfName(const QString& Name) {
    for (const TModeEntry& e : kModes)
        if (Name == text(e.Name)) return e.Mode;
    return std::nullopt;
}

TEditMode ModeOfPage(const QString& Name) { return ModeOfName(Name).value_or(TEditMode::Normal); }

QString ModeItemName(TEditMode Mode) { return text(entry(Mode).Item); }

QString ModeColouringName(TEditMode Mode) { return text(entry(Mode).Colouring); }

QString ModeKeywordFileName(TEditMode Mode) { return text(entry(Mode).KeywordFile); }

std::optional<TEditMode> ModeOfSwitch(const QString& Param) {
    for (const TModeEntry& e : kModes)
        if (e.Switch && Param == QLatin1String(e.Switch)) return e.Mode;
    return std::nullopt;
}

TEditMode ModeForExtension(const QString& Ext) {
    static const std::array<std::pair<const char*, TEditMode>, 11> extensions = {{
        {".htm", TEditMode::HTML},
        {".html", TEditMode::HTML},
        {".ini", TEditMode::Ini},
        {".inf", TEditMode::Ini},
        {".pas", TEditMode::Delphi},
        {".cgi", TEditMode::Perl},
        {".pl", TEditMode::Perl},
        {".c", TEditMode::Cpp},
        {".cpp", TEditMode::Cpp},
        {".h", TEditMode::Cpp},
        {".bas", TEditMode::Basic},
    }};
    const QString e = Ext.toLower();
    for (const auto& [ext, mode] : extensions)
        if (e == QLatin1String(ext)) return mode;
    return TEditMode::Normal;
}

TEditMode ModeForPath(const QString& Path) {
    const QString suffix = QFileInfo(Path).suffix();
    return suffix.isEmpty() ? TEditMode::Normal : ModeForExtension(QLatin1Char('.') + suffix);
}

} // namespace quire
