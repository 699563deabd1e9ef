// TIniFountain: the fountain of ini files, and its parser TIniFountainParser.
#pragma once

#include "FountainParser.h"
#include "LanguageFountain.h"

namespace quire {

class TIniFountain : public TLanguageFountain {
public:
    // The colour properties, in the order of publication.
    TFountainColor& Comment() { return ColorAt(0); }

    std::unique_ptr<TFountainParser> CreateParser() override;

protected:
    friend class TFountain;
    TIniFountain();
};

class TIniFountainParser : public TFountainParser {
public:
    explicit TIniFountainParser(TIniFountain* Fountain);
    TFountainColor* TokenColor() override;

protected:
    void InitScanTables() override;

    TIniFountain& fountain() const { return *static_cast<TIniFountain*>(FFountain); }
};

} // namespace quire
