// TDelphiFountain: the fountain of Delphi (Object Pascal) source, and its parser TDelphiFountainParser.
#pragma once

#include "LanguageFountain.h"
#include "PropertyParser.h"

namespace quire {

class TDelphiFountain : public TLanguageFountain {
public:
    // The colour properties, in the order of publication.
    TFountainColor& Ank() { return ColorAt(0); }
    TFountainColor& AsmBlock() { return ColorAt(1); }
    TFountainColor& Comment() { return ColorAt(2); }
    TFountainColor& DBCS() { return ColorAt(3); }
    TFountainColor& Int() { return ColorAt(4); }
    TFountainColor& Str() { return ColorAt(5); }
    TFountainColor& Symbol() { return ColorAt(6); }

    std::unique_ptr<TFountainParser> CreateParser() override;

protected:
    friend class TFountain;
    TDelphiFountain();
};

class TDelphiFountainParser : public TPropertyParser {
public:
    // The private token kinds: character constants "#" with decimal digits and "#$" with hex
    // digits, and anything inside an asm block.
    static constexpr int kindCharDec = 50;
    static constexpr int kindCharHex = 51;
    static constexpr int kindAsmToken = 52;
    explicit TDelphiFountainParser(TDelphiFountain* Fountain);
    TFountainColor* TokenColor() override;

protected:
    void InitScanTables() override;
    void ScanWord() override;
    void ScanNumber() override;
    void ScanSymbol() override;
    bool IsReserveWord() override;
    void ScanSharp();
    void ScanDollar();
    void ScanControlDec50();
    void ScanControlHex51();
    TDelphiFountain& fountain() const { return *static_cast<TDelphiFountain*>(FFountain); }
};

} // namespace quire
