// TPropertyParser: the rules for property declarations shared by the Basic, C++ and Delphi
// parsers ("property" ... ";", with "index", "read" and "write" reserved inside).
#pragma once

#include "FountainParser.h"

namespace quire {

class TPropertyParser : public TFountainParser {
public:
    using TFountainParser::TFountainParser;

    // The parser mode kept in the row state's Element: inside a property declaration, and
    // (Delphi) inside an asm block.
    enum TElement : int { elNormal = 0, elProperty = 1, elAsm = 2 };
    // The private token kind of Basic and C++: a hexadecimal number after "0x".
    static constexpr int kindHexNumber = 50;

protected:
    // Element 0: "property" opens a declaration (Element 1). Element 1: "end", "function",
    // "private", "procedure", "protected", "public" and "published" close it; "index",
    // "read" and "write" are reserved. Otherwise the plain word scanner.
    void ScanWord() override;
    // ";" closes a declaration, then it is a symbol.
    virtual void ScanSemicolon();
    // The property rules; returns true when they decided the token.
    bool ScanPropertyWord();
    // "0x" or "0X" with hex digits as kind 50, else a number (Basic and C++).
    void ScanZero();
    void ScanHexDigits50();
    // "/" followed by "/" opens a line comment; a single "/" is a symbol (C++ and Delphi).
    void ScanSlash();
};

} // namespace quire
