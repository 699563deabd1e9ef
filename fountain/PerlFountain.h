// TPerlFountain: the fountain of Perl scripts, and its parser TPerlFountainParser.
#pragma once

#include "FountainParser.h"
#include "LanguageFountain.h"

namespace quire {

class TPerlFountain : public TLanguageFountain {
public:
    // The colour properties, in the order of publication.
    TFountainColor& Comment() { return ColorAt(0); }
    TFountainColor& DBCS() { return ColorAt(1); }
    TFountainColor& Int() { return ColorAt(2); }
    TFountainColor& Str() { return ColorAt(3); }
    TFountainColor& Symbol() { return ColorAt(4); }

    std::unique_ptr<TFountainParser> CreateParser() override;

protected:
    friend class TFountain;
    TPerlFountain();
};

class TPerlFountainParser : public TFountainParser {
public:
    explicit TPerlFountainParser(TPerlFountain* Fountain);
    TFountainColor* TokenColor() override;

protected:
    void InitScanTables() override;

    TPerlFountain& fountain() const { return *static_cast<TPerlFountain*>(FFountain); }
};

} // namespace quire
