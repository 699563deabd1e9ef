// TBasicFountain: the fountain of Basic source, and its parser TBasicFountainParser.
#pragma once

#include "LanguageFountain.h"
#include "PropertyParser.h"

namespace quire {

class TBasicFountain : public TLanguageFountain {
public:
    // The colour properties, in the order of publication.
    TFountainColor& Ank() { return ColorAt(0); }
    TFountainColor& Comment() { return ColorAt(1); }
    TFountainColor& DBCS() { return ColorAt(2); }
    TFountainColor& Int() { return ColorAt(3); }
    TFountainColor& Str() { return ColorAt(4); }
    TFountainColor& Symbol() { return ColorAt(5); }

    std::unique_ptr<TFountainParser> CreateParser() override;

protected:
    friend class TFountain;
    TBasicFountain();
};

class TBasicFountainParser : public TPropertyParser {
public:
    explicit TBasicFountainParser(TBasicFountain* Fountain);
    TFountainColor* TokenColor() override;

protected:
    void InitScanTables() override;
    void ScanQuoteComment();
    TBasicFountain& fountain() const { return *static_cast<TBasicFountain*>(FFountain); }
};

} // namespace quire
