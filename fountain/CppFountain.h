// TCppFountain: the fountain of C and C++ source, and its parser TCppFountainParser.
#pragma once

#include "LanguageFountain.h"
#include "PropertyParser.h"

namespace quire {

class TCppFountain : public TLanguageFountain {
public:
    // The colour properties, in the order of publication.
    TFountainColor& Ank() { return ColorAt(0); }
    TFountainColor& Comment() { return ColorAt(1); }
    TFountainColor& DBCS() { return ColorAt(2); }
    TFountainColor& Int() { return ColorAt(3); }
    TFountainColor& Str() { return ColorAt(4); }
    TFountainColor& Symbol() { return ColorAt(5); }
    TFountainColor& PreProcessor() { return ColorAt(6); }

    std::unique_ptr<TFountainParser> CreateParser() override;

protected:
    friend class TFountain;
    TCppFountain();
};

class TCppFountainParser : public TPropertyParser {
public:
    // The private token kind of a preprocessor line ("#" to the end of the row).
    static constexpr int kindPreProcessor = 51;
    explicit TCppFountainParser(TCppFountain* Fountain);
    TFountainColor* TokenColor() override;

protected:
    void InitScanTables() override;
    void ScanPreProcessor();
    TCppFountain& fountain() const { return *static_cast<TCppFountain*>(FFountain); }
};

} // namespace quire
