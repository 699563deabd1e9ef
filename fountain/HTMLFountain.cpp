// THTMLFountain and THTMLFountainParser.
#include "HTMLFountain.h"

namespace quire {

namespace {
const TLanguageDefinition& definition() {
    static const TLanguageDefinition d{
        {"Ampersand", "Mail", "Str", "TagAttribute", "TagAttributeValue", "TagColor", "TagElement", "Url"},
        {".htm", ".html"},
        {{"<!--", "-->"}},
        {},
    };
    return d;
}
} // namespace

THTMLFountain::THTMLFountain() : TLanguageFountain(definition()) {}

std::unique_ptr<TFountainParser> THTMLFountain::CreateParser() { return std::make_unique<THTMLFountainParser>(this); }

THTMLFountainParser::THTMLFountainParser(THTMLFountain* Fountain) : TFountainParser(Fountain) { Init(); }

namespace {
bool isAlnum(uint8_t c) noexcept { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
} // namespace

void THTMLFountainParser::InitScanTables() {
    TFountainParser::InitScanTables();
    FMethodTable['"'] = static_cast<TScanProc>(&THTMLFountainParser::ScanDoubleQuoted);
    FMethodTable['&'] = static_cast<TScanProc>(&THTMLFountainParser::ScanEntity);
    FMethodTable['/'] = static_cast<TScanProc>(&THTMLFountainParser::ScanSlash);
    FMethodTable['<'] = static_cast<TScanProc>(&THTMLFountainParser::ScanTagOpen);
    FMethodTable['='] = static_cast<TScanProc>(&THTMLFountainParser::ScanEquals);
    FMethodTable['>'] = static_cast<TScanProc>(&THTMLFountainParser::ScanTagClose);
    FResumeTable[kindTagElement] = static_cast<TScanProc>(&THTMLFountainParser::ScanElementResume);
    FResumeTable[kindTagAttribute] = static_cast<TScanProc>(&THTMLFountainParser::ScanAttributeResume);
    FResumeTable[kindTagValue] = static_cast<TScanProc>(&THTMLFountainParser::ScanAttrValue);
    FResumeTable[kindEntity] = static_cast<TScanProc>(&THTMLFountainParser::ScanEntity);
}

void THTMLFountainParser::ScanElementResume() {
    ScanWord();
    FTokenKind = kindTagElement;
}

void THTMLFountainParser::ScanAttributeResume() {
    ScanWord();
    FTokenKind = kindTagAttribute;
}

void THTMLFountainParser::ScanDefault() {
    if (FBracketIndex == -1 && IsBracketStart()) {
        ScanBracket();
    } else if (IsUrl()) { // URLs before mail addresses here
        ScanUrl();
    } else if (IsMail()) {
        ScanMail();
    } else if (FElement == elTag && FPrevData == kindTagEquals) {
        ScanAttrValue();
    } else {
        Dispatch(*FP);
    }
}

int THTMLFountainParser::NextToken() {
    int kind = TFountainParser::NextToken();
    // Inside a tag the kind follows from the token before: the element name after "<", then
    // attribute names, "=" and values.
    if (kind != kindEnd && FElement == elTag) {
        switch (FPrevData) {
        case kindTagOpen:
            if (kind == kindWord) kind = kindTagElement;
            break;
        case kindTagElement:
        case kindDoubleQuoted:
        case kindTagValue: kind = kindTagAttribute; break;
        case kindTagAttribute:
            if (kind != kindTagEquals) kind = kindTagAttribute;
            break;
        default: break;
        }
        FTokenKind = kind;
    }
    if (kind != kindEnd) FPrevData = kind;
    return kind;
}

void THTMLFountainParser::ScanTagOpen() {
    FTokenKind = kindTagOpen;
    ++FP;
    FElement = elTag;
}

void THTMLFountainParser::ScanTagClose() {
    FTokenKind = kindTagClose;
    ++FP;
    FElement = elText;
}

// "/" and a name after "<": the element of a closing tag.
void THTMLFountainParser::ScanSlash() {
    if (FElement == elTag && FPrevData == kindTagOpen) {
        FTokenKind = kindTagElement;
        ++FP;
        while (isAlnum(*FP)) ++FP;
    } else {
        ScanSymbol();
    }
}

void THTMLFountainParser::ScanEquals() {
    if (FElement == elTag && FPrevData == kindTagAttribute) {
        FTokenKind = kindTagEquals;
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
    FTokenKind = kindTagValue;
    while (*FP != 0 && *FP != 9 && *FP != '\n' && *FP != '\r' && *FP != ' ' && *FP != '>') ++FP;
}

// "&", then letters, digits and "#", and a closing ";".
void THTMLFountainParser::ScanEntity() {
    FTokenKind = kindEntity;
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
    case kindBracket: return bracketColor();
    case kindReserved: return &f.Reserve();
    case kindUrl: return &f.Url();
    case kindMail: return &f.Mail();
    case kindDoubleQuoted: return &f.Str();
    case kindTagOpen:
    case kindTagClose:
    case kindTagEquals: return &f.TagColor();
    case kindTagElement: return &f.TagElement();
    case kindTagAttribute: return &f.TagAttribute();
    case kindTagValue: return &f.TagAttributeValue();
    case kindEntity: return &f.Ampersand();
    default: return nullptr;
    }
}
} // namespace quire
