// THTMLFountain: the fountain of HTML pages, and its parser THTMLFountainParser.
#pragma once

#include "LanguageFountain.h"
#include "FountainParser.h"

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
