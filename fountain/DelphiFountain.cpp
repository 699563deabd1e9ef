// TDelphiFountain and TDelphiFountainParser.
#include "DelphiFountain.h"

namespace quire {

namespace {
const TLanguageDefinition& definition() {
    static const TLanguageDefinition d{
        {"Ank", "AsmBlock", "Comment", "DBCS", "Int", "Str", "Symbol"},
        {".pas", ".dpr", ".inc"},
        {{"{", "}"}, {"(*", "*)"}},
        {
            "absolute",
            "abstract",
            "and",
            "array",
            "as",
            "asm",
            "assembler",
            "automated",
            "begin",
            "case",
            "cdecl",
            "class",
            "const",
            "constructor",
            "default",
            "destructor",
            "dispid",
            "dispinterface",
            "div",
            "do",
            "downto",
            "dynamic",
            "else",
            "end",
            "except",
            "export",
            "exports",
            "external",
            "far",
            "file",
            "finalization",
            "finally",
            "for",
            "forward",
            "function",
            "goto",
            "if",
            "implementation",
            "in",
            "inherited",
            "initialization",
            "inline",
            "interface",
            "is",
            "label",
            "library",
            "message",
            "mod",
            "near",
            "nil",
            "nodefault",
            "not",
            "object",
            "of",
            "or",
            "out",
            "override",
            "packed",
            "pascal",
            "private",
            "procedure",
            "program",
            "property",
            "protected",
            "public",
            "published",
            "raise",
            "readonly",
            "record",
            "register",
            "repeat",
            "resident",
            "resourcestring",
            "safecall",
            "set",
            "shl",
            "shr",
            "stdcall",
            "stored",
            "string",
            "then",
            "threadvar",
            "to",
            "try",
            "type",
            "unit",
            "until",
            "uses",
            "var",
            "virtual",
            "while",
            "with",
            "writeonly",
            "xor",
        },
    };
    return d;
}
} // namespace

TDelphiFountain::TDelphiFountain() : TLanguageFountain(definition()) {}

std::unique_ptr<TFountainParser> TDelphiFountain::CreateParser() {
    return std::make_unique<TDelphiFountainParser>(this);
}

TDelphiFountainParser::TDelphiFountainParser(TDelphiFountain* Fountain) : TPropertyParser(Fountain) { Init(); }

namespace {
bool isDigit(uint8_t c) noexcept { return c >= '0' && c <= '9'; }
bool isHexDigit(uint8_t c) noexcept { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
} // namespace

void TDelphiFountainParser::InitScanTables() {
    TPropertyParser::InitScanTables();
    FMethodTable['#'] = static_cast<TScanProc>(&TDelphiFountainParser::ScanSharp);
    FMethodTable['$'] = static_cast<TScanProc>(&TDelphiFountainParser::ScanDollar);
    FMethodTable[';'] = static_cast<TScanProc>(&TDelphiFountainParser::ScanSemicolon);
    FMethodTable['\''] = static_cast<TScanProc>(&TDelphiFountainParser::ScanSingleQuoted);
    FMethodTable['/'] = static_cast<TScanProc>(&TDelphiFountainParser::ScanSlash);
    FResumeTable[kindCharDec] = static_cast<TScanProc>(&TDelphiFountainParser::ScanControlDec50);
    FResumeTable[kindCharHex] = static_cast<TScanProc>(&TDelphiFountainParser::ScanControlHex51);
    FResumeTable[kindAsmToken] = static_cast<TScanProc>(&TDelphiFountainParser::ScanWord);
}

void TDelphiFountainParser::ScanControlDec50() {
    FTokenKind = kindCharDec;
    while (isDigit(*FP)) ++FP;
}

void TDelphiFountainParser::ScanControlHex51() {
    FTokenKind = kindCharHex;
    while (isHexDigit(*FP)) ++FP;
}

// "#$" and hex digits (51), or "#" and decimal digits (50): character constants.
void TDelphiFountainParser::ScanSharp() {
    if (FP[1] == '$') {
        FP += 2;
        ScanControlHex51();
    } else {
        ++FP;
        ScanControlDec50();
    }
}

// "$" and hex digits: a hexadecimal number.
void TDelphiFountainParser::ScanDollar() {
    ++FP;
    ScanHex();
}

void TDelphiFountainParser::ScanWord() {
    if (FElement == elNormal) {
        if (ScanPropertyWord()) return;
        if (FoldUpper(*FP) == 'A' && MatchWord("asm")) {
            FElement = elAsm;
            return;
        }
    } else if (FElement == elProperty) {
        if (ScanPropertyWord()) return;
    } else if (FElement == elAsm) {
        FTokenKind = kindWord;
        if (FoldUpper(*FP) == 'E' && MatchWord("end")) {
            FElement = elNormal;
            return;
        }
        TFountainParser::ScanWord();
        FTokenKind = kindAsmToken;
        return;
    }
    TFountainParser::ScanWord();
}

void TDelphiFountainParser::ScanNumber() {
    TPropertyParser::ScanNumber();
    if (FElement == elAsm) FTokenKind = kindAsmToken;
}

void TDelphiFountainParser::ScanSymbol() {
    TPropertyParser::ScanSymbol();
    if (FElement == elAsm) FTokenKind = kindAsmToken;
}

// Nothing inside an asm block is reserved; "asm" and "end" themselves are.
bool TDelphiFountainParser::IsReserveWord() { return FTokenKind != kindAsmToken && TPropertyParser::IsReserveWord(); }

TFountainColor* TDelphiFountainParser::TokenColor() {
    TDelphiFountain& f = fountain();
    if (!IsReserveWord()) {
        if (FTokenKind == kindCharDec || FTokenKind == kindCharHex) return &f.Str();
        if (FTokenKind == kindAsmToken) return &f.AsmBlock();
        if (FTokenKind == kindDoubleQuoted) return nullptr; // Delphi has no double-quoted strings
    }
    return StandardTokenColor({&f.Symbol(), &f.Int(), &f.Comment(), &f.Ank(), &f.DBCS(), &f.Str()});
}
} // namespace quire
