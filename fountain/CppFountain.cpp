// TCppFountain and TCppFountainParser.
#include "CppFountain.h"

namespace quire {

namespace {
const TLanguageDefinition& definition() {
    static const TLanguageDefinition d{
        {"Ank", "Comment", "DBCS", "Int", "Str", "Symbol", "PreProcessor"},
        {".c", ".cpp", ".h"},
        {{"/*", "*/"}},
        {
            "asm",      "auto",     "break",   "case",      "catch",   "char",     "class",    "const",
            "continue", "default",  "delete",  "do",        "double",  "else",     "enum",     "extern",
            "float",    "for",      "friend",  "goto",      "if",      "inline",   "int",      "long",
            "new",      "operator", "private", "protected", "public",  "register", "return",   "short",
            "signed",   "sizeof",   "static",  "struct",    "switch",  "template", "this",     "throw",
            "try",      "typedef",  "union",   "unsigned",  "virtual", "void",     "volatile", "while",
        },
    };
    return d;
}
} // namespace

TCppFountain::TCppFountain() : TLanguageFountain(definition()) {}

std::unique_ptr<TFountainParser> TCppFountain::CreateParser() { return std::make_unique<TCppFountainParser>(this); }

TCppFountainParser::TCppFountainParser(TCppFountain* Fountain) : TPropertyParser(Fountain) { Init(); }

void TCppFountainParser::InitScanTables() {
    TPropertyParser::InitScanTables();
    FMethodTable['0'] = static_cast<TScanProc>(&TCppFountainParser::ScanZero);
    FMethodTable[';'] = static_cast<TScanProc>(&TCppFountainParser::ScanSemicolon);
    FMethodTable['\''] = static_cast<TScanProc>(&TCppFountainParser::ScanSingleQuoted);
    FMethodTable['"'] = static_cast<TScanProc>(&TCppFountainParser::ScanDoubleQuoted);
    FMethodTable['/'] = static_cast<TScanProc>(&TCppFountainParser::ScanSlash);
    FMethodTable['#'] = static_cast<TScanProc>(&TCppFountainParser::ScanPreProcessor);
    FResumeTable[kindHexNumber] = static_cast<TScanProc>(&TCppFountainParser::ScanHexDigits50);
    FResumeTable[kindPreProcessor] = static_cast<TScanProc>(&TCppFountainParser::ScanPreProcessor);
}

// "#" to the end of the row: a preprocessor line.
void TCppFountainParser::ScanPreProcessor() {
    FTokenKind = kindPreProcessor;
    while (!IsEnd(*FP)) ++FP;
}

TFountainColor* TCppFountainParser::TokenColor() {
    TCppFountain& f = fountain();
    if (!IsReserveWord()) {
        if (FTokenKind == kindHexNumber) return &f.Int();
        if (FTokenKind == kindPreProcessor) return &f.PreProcessor();
    }
    return StandardTokenColor({&f.Symbol(), &f.Int(), &f.Comment(), &f.Ank(), &f.DBCS(), &f.Str()});
}
} // namespace quire
