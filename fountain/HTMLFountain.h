// THTMLFountain: the fountain of HTML pages, and its parser THTMLFountainParser.
#pragma once

#include "FountainParser.h"
#include "LanguageFountain.h"

namespace quire {

class THTMLFountain : public TLanguageFountain {
public:
    // The colour properties, in the order of publication.
    TFountainColor& Ampersand() { return ColorAt(0); }
    TFountainColor& Mail() { return ColorAt(1); }
    TFountainColor& Str() { return ColorAt(2); }
    TFountainColor& TagAttribute() { return ColorAt(3); }
    TFountainColor& TagAttributeValue() { return ColorAt(4); }
    TFountainColor& TagColor() { return ColorAt(5); }
    TFountainColor& TagElement() { return ColorAt(6); }
    TFountainColor& Url() { return ColorAt(7); }

    std::unique_ptr<TFountainParser> CreateParser() override;

protected:
    friend class TFountain;
    THTMLFountain();
};

class THTMLFountainParser : public TFountainParser {
public:
    // The private token kinds of tags and character references.
    enum TTagKind : int {
        kindTagOpen = 50,      // "<"
        kindTagClose = 51,     // ">"
        kindTagElement = 52,   // the element name
        kindTagAttribute = 53, // an attribute name, and any other token inside a tag
        kindTagEquals = 54,    // "=" between an attribute and its value
        kindTagValue = 55,     // an unquoted attribute value
        kindEntity = 56,       // a character reference
    };
    // The row state's Element: inside a tag or not.
    enum TElement : int { elText = 0, elTag = 1 };
    explicit THTMLFountainParser(THTMLFountain* Fountain);
    TFountainColor* TokenColor() override;

protected:
    void InitScanTables() override;
    void ScanDefault() override;
    int NextToken() override;
    void ScanTagOpen();
    void ScanTagClose();
    void ScanSlash();
    void ScanEquals();
    void ScanAttrValue();
    void ScanEntity();
    void ScanElementResume();
    void ScanAttributeResume();
    THTMLFountain& fountain() const { return *static_cast<THTMLFountain*>(FFountain); }
};

} // namespace quire
