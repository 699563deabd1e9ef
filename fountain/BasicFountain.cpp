// TBasicFountain and TBasicFountainParser.
#include "BasicFountain.h"

namespace quire {

namespace {
const TLanguageDefinition& definition() {
    static const TLanguageDefinition d{
        {"Ank", "Comment", "DBCS", "Int", "Str", "Symbol"},
        {".bas"},
        {{"/*", "*/"}},
        {
            "alias",    "as",       "as date", "begin",      "binary",   "boolean", "byte",     "byref",    "byval",
            "call",     "case",     "close",   "const",      "currency", "debug",   "declare",  "dim",      "do",
            "each",     "else",     "elseif",  "end",        "error",    "event",   "exit",     "explicit", "false",
            "for",      "function", "get",     "goto",       "if",       "input",   "integer",  "is",       "lbound",
            "let",      "lib",      "like",    "line",       "long",     "loop",    "mod",      "next",     "nothing",
            "object",   "on",       "open",    "option",     "optional", "output",  "preserve", "print",    "private",
            "property", "public",   "put",     "raiseevent", "redim",    "select",  "set",      "stop",     "string",
            "sub",      "then",     "to",      "true",       "type",     "ubound",  "until",    "variant",  "wend",
            "while",    "with",
        },
    };
    return d;
}
} // namespace

TBasicFountain::TBasicFountain() : TLanguageFountain(definition()) {}

std::unique_ptr<TFountainParser> TBasicFountain::CreateParser() { return std::make_unique<TBasicFountainParser>(this); }

TBasicFountainParser::TBasicFountainParser(TBasicFountain* Fountain) : TPropertyParser(Fountain) { Init(); }

void TBasicFountainParser::InitScanTables() {
    TPropertyParser::InitScanTables();
    FMethodTable['0'] = static_cast<TScanProc>(&TBasicFountainParser::ScanZero);
    FMethodTable[';'] = static_cast<TScanProc>(&TBasicFountainParser::ScanSemicolon);
    FMethodTable['"'] = static_cast<TScanProc>(&TBasicFountainParser::ScanDoubleQuoted);
    FMethodTable['\''] = static_cast<TScanProc>(&TBasicFountainParser::ScanQuoteComment);
    FResumeTable[kindHexNumber] = static_cast<TScanProc>(&TBasicFountainParser::ScanHexDigits50);
}

// A single quote opens a comment to the end of the row.
void TBasicFountainParser::ScanQuoteComment() { ScanLineComment(); }

TFountainColor* TBasicFountainParser::TokenColor() {
    TBasicFountain& f = fountain();
    if (FTokenKind == kindHexNumber && !IsReserveWord()) return &f.Int();
    return StandardTokenColor({&f.Symbol(), &f.Int(), &f.Comment(), &f.Ank(), &f.DBCS(), &f.Str()});
}
} // namespace quire
