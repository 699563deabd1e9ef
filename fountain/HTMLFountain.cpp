// THTMLFountain and THTMLFountainParser.
#include "HTMLFountain.h"

namespace quire {

namespace {
const TLanguageDefinition& definition() {
    static const TLanguageDefinition d{
        {"Ampersand", "Mail", "Str", "TagAttribute", "TagAttributeValue", "TagColor", "TagElement",
         "Url"},
        {".htm", ".html"},
        {{"<!--", "-->"}},
        {},
    };
    return d;
}
} // namespace

THTMLFountain::THTMLFountain() : TLanguageFountain(definition()) {}

std::unique_ptr<TFountainParser> THTMLFountain::CreateParser() {
    return std::make_unique<THTMLFountainParser>(this);
}

THTMLFountainParser::THTMLFountainParser(THTMLFountain* Fountain) : TFountainParser(Fountain) {
    Init();
}

namespace {
bool isAlnum(uint8_t c) noexcept {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
} // namespace

void THTMLFountainParser::InitScanTables() {
    TFountainParser::InitScanTables();
    FMethodTable['"'] = static_cast<TScanProc>(&THTMLFountainParser::ScanDoubleQuoted);
    FMethodTable['&'] = static_cast<TScanProc>(&THTMLFountainParser::ScanEntity);
    FMethodTable['/'] = static_cast<TScanProc>(&THTMLFountainParser::ScanSlash);
    FMethodTable['<'] = static_cast<TScanProc>(&THTMLFountainParser::ScanTagOpen);
    FMethodTable['='] = static_cast<TScanProc>(&THTMLFountainParser::ScanEquals);
    FMethodTable['>'] = static_cast<TScanProc>(&THTMLFountainParser::ScanTagClose);
    FResumeTable[52] = static_cast<TScanProc>(&THTMLFountainParser::ScanElementResume);
    FResumeTable[53] = static_cast<TScanProc>(&THTMLFountainParser::ScanAttributeResume);
    FResumeTable[55] = static_cast<TScanProc>(&THTMLFountainParser::ScanAttrValue);
    FResumeTable[56] = static_cast<TScanProc>(&THTMLFountainParser::ScanEntity);
}

void THTMLFountainParser::ScanElementResume() {
    ScanWord();
    FTokenKind = 52;
}

void THTMLFountainParser::ScanAttributeResume() {
    ScanWord();
    FTokenKind = 53;
}

void THTMLFountainParser::ScanDefault() {
    if (FBracketIndex == -1 && IsBracketStart()) {
        ScanBracket();
    } else if (IsUrl()) { // URLs before mail addresses here
        ScanUrl();
    } else if (IsMail()) {
        ScanMail();
    } else if (FElement == 1 && FPrevData == 54) {
        ScanAttrValue();
    } else {
        Dispatch(*FP);
    }
}

int THTMLFountainParser::NextToken() {
    int kind = TFountainParser::NextToken();
    // Inside a tag the kind follows from the token before: the element name after "<", then
    // attribute names, "=" and values.
    if (kind != kindEnd && FElement == 1) {
        switch (FPrevData) {
        case 50:
            if (kind == kindWord) kind = 52;
            break;
        case 52:
        case kindDoubleQuoted:
        case 55:
            kind = 53;
            break;
        case 53:
            if (kind != 54) kind = 53;
            break;
        default:
            break;
        }
        FTokenKind = kind;
    }
    if (kind != kindEnd) FPrevData = kind;
    return kind;
}

void THTMLFountainParser::ScanTagOpen() {
    FTokenKind = 50;
    ++FP;
    FElement = 1;
}

void THTMLFountainParser::ScanTagClose() {
    FTokenKind = 51;
    ++FP;
    FElement = 0;
}

// "/" and a name after "<": the element of a closing tag.
void THTMLFountainParser::ScanSlash() {
    if (FElement == 1 && FPrevData == 50) {
        FTokenKind = 52;
        ++FP;
        while (isAlnum(*FP))
            ++FP;
    } else {
        ScanSymbol();
    }
}

void THTMLFountainParser::ScanEquals() {
    if (FElement == 1 && FPrevData == 53) {
        FTokenKind = 54;
        ++FP;
    } else {
        ScanSymbol();
    }
}

void THTMLFountainParser::ScanAttrValue() {
    if (*FP == '"') {
        ScanDoubleQuoted();
        return;
    }
    FTokenKind = 55;
    while (*FP != 0 && *FP != 9 && *FP != '\n' && *FP != '\r' && *FP != ' ' && *FP != '>')
        ++FP;
}

// "&", then letters, digits and "#", and a closing ";".
void THTMLFountainParser::ScanEntity() {
    FTokenKind = 56;
    if (!Resuming() && *FP == '&') ++FP;
    while (isAlnum(*FP) || *FP == '#') {
        ++FP;
        if (*FP == ';') {
            ++FP;
            return;
        }
    }
}

TFountainColor* THTMLFountainParser::TokenColor() {
    THTMLFountain& f = fountain();
    if (IsReserveWord()) return &f.Reserve();
    switch (FTokenKind) {
    case kindBracket:
        return bracketColor();
    case kindReserved:
        return &f.Reserve();
    case kindUrl:
        return &f.Url();
    case kindMail:
        return &f.Mail();
    case kindDoubleQuoted:
        return &f.Str();
    case 50:
    case 51:
    case 54:
        return &f.TagColor();
    case 52:
        return &f.TagElement();
    case 53:
        return &f.TagAttribute();
    case 55:
        return &f.TagAttributeValue();
    case 56:
        return &f.Ampersand();
    default:
        return nullptr;
    }
}
} // namespace quire
