// TColorTable: the 37 colours of the settings file (section Color), with their keys and
// defaults. Plain data: applying them to editors and colourings is SettingsApply's job.
#pragma once

#include "FountainColor.h"

#include <QString>
#include <array>

namespace quire {

// The entries of the table, in the order of their keys.
enum class TColorIndex : int {
    Font,          // text of every editor and its plain tokens
    Bk,            // background of every editor and of every token kind
    SelFont,       // selected text
    SelBk,         // selection background
    RET,           // return mark
    EOFMark,       // end-of-file mark (key "EOF": the name itself is a macro of the C library)
    TAB,           // tab mark
    Space,         // full-width space mark
    HSpace,        // half-width space mark
    UnderLine,     // caret-row underline
    URL,           // URL tokens
    Mail,          // mail address tokens
    Inyo,          // quoted lines
    Ruler,         // line-number bar text
    BkRuler,       // line-number bar background
    DelKeyWord,    // Delphi reserved words
    DelStr,        // Delphi strings
    DelComment,    // Delphi comments and both comment brackets
    IniSection,    // ini section bracket
    IniKey,        // ini values (the ini colouring's comment kind)
    HTMLAmpersand, // HTML whole tag and character references
    HTMLElement,   // HTML element names
    HTMLAttribute, // HTML attribute names
    HTMLAttValue,  // HTML strings and attribute values
    HTMLComment,   // HTML comment bracket
    PerlKeyWord,   // Perl reserved words
    PerlStr,       // Perl strings
    PerlComment,   // Perl comments
    CKeyWord,      // C++ reserved words
    CStr,          // C++ strings
    CComment,      // C++ comments and the comment bracket
    BasicKeyWord,  // Basic reserved words
    BasicStr,      // Basic strings
    BasicComment,  // Basic comments
    YuzaKeyWord,   // mode ユーザ reserved words
    YuzaStr,       // mode ユーザ strings
    YuzaComment,   // mode ユーザ comments and its comment bracket
};

class TColorTable {
public:
    static constexpr int Count = 37;

    // Every colour at its default.
    TColorTable();

    // The key in section Color, and the default colour.
    static QString Key(TColorIndex Index);
    static TColor Default(TColorIndex Index);

    TColor Color(TColorIndex Index) const { return FColors[static_cast<size_t>(Index)]; }
    void SetColor(TColorIndex Index, TColor Value) { FColors[static_cast<size_t>(Index)] = Value; }
    TColor operator[](TColorIndex Index) const { return Color(Index); }
    // Every colour to its default.
    void Reset();

    // Reads every key; a missing key or a value that is no colour gives the default.
    void Load(const QString& File);
    // Writes every key, by name when the colour has one, else as "$" and eight hex digits.
    void Save(const QString& File) const;

    bool operator==(const TColorTable&) const = default;

private:
    std::array<TColor, Count> FColors;
};

} // namespace quire
