// TPropertyParser.
#include "PropertyParser.h"

namespace quire {

namespace {
bool isHexDigit(uint8_t c) noexcept {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
} // namespace

bool TPropertyParser::ScanPropertyWord() {
    FTokenKind = kindWord;
    const uint8_t first = FoldUpper(*FP);
    if (FElement == elNormal) {
        if (first == 'P' && MatchWord("property")) {
            FElement = elProperty;
            return true;
        }
        return false;
    }
    if (FElement != elProperty) return false;
    switch (first) {
    case 'E':
        if (MatchWord("end")) {
            FElement = elNormal;
            return true;
        }
        break;
    case 'F':
        if (MatchWord("function")) {
            FElement = elNormal;
            return true;
        }
        break;
    case 'P':
        for (const char* w : {"private", "procedure", "protected", "public", "published"}) {
            if (MatchWord(w)) {
                FElement = elNormal;
                return true;
            }
        }
        break;
    case 'I':
    case 'R':
    case 'W':
        for (const char* w : {"index", "read", "write"}) {
            if (MatchWord(w)) {
                FTokenKind = kindReserved;
                return true;
            }
        }
        break;
    default: break;
    }
    return false;
}

void TPropertyParser::ScanWord() {
    if (!ScanPropertyWord()) TFountainParser::ScanWord();
}

void TPropertyParser::ScanSemicolon() {
    if (FElement == elProperty) FElement = elNormal;
    ScanSymbol();
}

void TPropertyParser::ScanHexDigits50() {
    FTokenKind = kindHexNumber;
    while (isHexDigit(*FP)) ++FP;
}

void TPropertyParser::ScanZero() {
    if (FP[1] == 'x' || FP[1] == 'X') {
        FP += 2;
        ScanHexDigits50();
    } else {
        ScanNumber();
    }
}

void TPropertyParser::ScanSlash() {
    if (FP[1] == '/')
        ScanLineComment();
    else
        ScanSymbol();
}

} // namespace quire
