// TIniFountain and TIniFountainParser.
#include "IniFountain.h"

namespace quire {

namespace {
const TLanguageDefinition& definition() {
    static const TLanguageDefinition d{
        {"Comment"},
        {".ini", ".inf"},
        {{"[", "]"}},
        {},
    };
    return d;
}
} // namespace

TIniFountain::TIniFountain() : TLanguageFountain(definition()) {}

std::unique_ptr<TFountainParser> TIniFountain::CreateParser() { return std::make_unique<TIniFountainParser>(this); }

TIniFountainParser::TIniFountainParser(TIniFountain* Fountain) : TFountainParser(Fountain) { Init(); }

void TIniFountainParser::InitScanTables() {
    TFountainParser::InitScanTables();
    FMethodTable['='] = static_cast<TScanProc>(&TIniFountainParser::ScanLineComment);
}

// No reserved words in ini files.
TFountainColor* TIniFountainParser::TokenColor() {
    switch (FTokenKind) {
    case kindBracket: return bracketColor();
    case kindLineComment: return &fountain().Comment();
    default: return nullptr;
    }
}
} // namespace quire
