// TFountainParser: the framework scanner.
#include "FountainParser.h"

#include "EditorScreenStrings.h"
#include "ShiftJis.h"

#include <cstring>
#include <stdexcept>

namespace quire {

namespace {

constexpr bool in(uint8_t c, uint8_t lo, uint8_t hi) noexcept { return c >= lo && c <= hi; }

struct FoldTable {
    uint8_t t[256];
    FoldTable() {
        for (int c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
};
const FoldTable kFold;

bool isDigit(uint8_t c) noexcept { return c >= '0' && c <= '9'; }
bool isHexDigit(uint8_t c) noexcept { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool isAlnum(uint8_t c) noexcept { return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// ! $ % & * , - . / 0-9 ; = ? @ A-Z ^ _ a-z ~
bool inMailSet(uint8_t c) noexcept {
    if (isAlnum(c)) return true;
    switch (c) {
    case '!':
    case '$':
    case '%':
    case '&':
    case '*':
    case ',':
    case '-':
    case '.':
    case '/':
    case ';':
    case '=':
    case '?':
    case '@':
    case '^':
    case '_':
    case '~': return true;
    default: return false;
    }
}

// # % & + - . / 0-9 : = ? A-Z _ a-z ~
bool inUrlSet(uint8_t c) noexcept {
    if (isAlnum(c)) return true;
    switch (c) {
    case '#':
    case '%':
    case '&':
    case '+':
    case '-':
    case '.':
    case '/':
    case ':':
    case '=':
    case '?':
    case '_':
    case '~': return true;
    default: return false;
    }
}

// The class of a double-byte character for the runs of ScanWide (0 for none).
int wideClass(uint8_t lead, uint8_t trail) noexcept {
    if (lead == 0x81) {
        if (trail == 0x43 || trail == 0x44) return kindWideDigits;
        if (trail == 0x5B || trail == 0x7C) return -1; // "ー" and "－": kana of either kind
        return 0;
    }
    if (lead == 0x82) {
        if (in(trail, 0x4F, 0x58)) return kindWideDigits;
        if (in(trail, 0x60, 0x79) || in(trail, 0x81, 0x9A)) return kindWideAlpha;
        if (in(trail, 0x9F, 0xF1)) return kindHiragana;
        return 0;
    }
    if (lead == 0x83 && in(trail, 0x40, 0x96)) return kindKatakana;
    return 0;
}

bool wideBelongs(int kind, uint8_t lead, uint8_t trail) noexcept {
    const int c = wideClass(lead, trail);
    if (c == -1) return kind == kindHiragana || kind == kindKatakana;
    return c == kind;
}

} // namespace

uint8_t FoldUpper(uint8_t c) noexcept { return kFold.t[c]; }

TFountainParser::TFountainParser(TFountain* Fountain) : FFountain(Fountain) {
    if (!Fountain) throw std::invalid_argument("TFountainParser.Create need instance of TFountain");
    FText.clear();
    FP = FNextPos = FTokenStart = textStart();
    // The tables are built by the most derived class (Init), since the constructor of a base
    // cannot reach the overrides.
    for (auto& p : FMethodTable) p = &TFountainParser::ScanSymbol;
    for (auto& p : FResumeTable) p = &TFountainParser::ScanSymbol;
}

void TFountainParser::InitScanTables() {
    for (int c = 0; c < 256; ++c) {
        TScanProc p = &TFountainParser::ScanSymbol;
        const auto b = static_cast<uint8_t>(c);
        if (b == 0x00)
            p = &TFountainParser::ScanEnd;
        else if (b == 0x09)
            p = &TFountainParser::ScanTab;
        else if (b == 0x0A)
            p = &TFountainParser::ScanEndLF;
        else if (b == 0x0D)
            p = &TFountainParser::ScanEndCR;
        else if (isDigit(b))
            p = &TFountainParser::ScanNumber;
        else if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_')
            p = &TFountainParser::ScanWord;
        else if (b == 0x81 || in(b, 0x84, 0x87))
            p = &TFountainParser::ScanWideSymbol;
        else if (b == 0x82 || b == 0x83)
            p = &TFountainParser::ScanWide;
        else if (in(b, 0x88, 0x9F) || in(b, 0xE0, 0xFC))
            p = &TFountainParser::ScanKanji;
        else if (in(b, 0xA1, 0xA5))
            p = &TFountainParser::ScanHalfKanaSymbol;
        else if (in(b, 0xA6, 0xDF))
            p = &TFountainParser::ScanHalfKana;
        FMethodTable[c] = p;
    }
    for (auto& p : FResumeTable) p = &TFountainParser::ScanSymbol;
    FResumeTable[kindInteger] = &TFountainParser::ScanNumber;
    FResumeTable[kindFloat] = &TFountainParser::ScanNumber;
    FResumeTable[kindBracket] = &TFountainParser::ScanBracket;
    FResumeTable[kindLineComment] = &TFountainParser::ScanLineComment;
    FResumeTable[kindReserved] = &TFountainParser::ScanReserved;
    FResumeTable[kindWord] = &TFountainParser::ScanWord;
    FResumeTable[kindWideSymbol] = &TFountainParser::ScanWideSymbol;
    for (int k = kindWideDigits; k <= kindKatakana; ++k) FResumeTable[k] = &TFountainParser::ScanWide;
    FResumeTable[kindKanji] = &TFountainParser::ScanKanji;
    FResumeTable[kindHalfKanaSymbol] = &TFountainParser::ScanHalfKanaSymbol;
    FResumeTable[kindHalfKana] = &TFountainParser::ScanHalfKana;
    FResumeTable[kindUrl] = &TFountainParser::ScanUrl;
    FResumeTable[kindMail] = &TFountainParser::ScanMail;
    FResumeTable[kindHex] = &TFountainParser::ScanHex;
    FResumeTable[kindSingleQuoted] = &TFountainParser::ScanSingleQuoted;
    FResumeTable[kindDoubleQuoted] = &TFountainParser::ScanDoubleQuoted;
}

uint8_t TFountainParser::Peek(int n) const noexcept {
    // Never beyond the NUL after the text.
    for (int i = 0; i < n; ++i)
        if (FP[i] == 0) return 0;
    return FP[n];
}

void TFountainParser::AdvanceChar() noexcept {
    if (*FP == 0) return;
    if (sjis::IsLeadByte(*FP) && FP[1] != 0)
        FP += 2;
    else
        FP += 1;
}

bool TFountainParser::LookingAt(std::string_view S) const noexcept {
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (FP[i] == 0 || FP[i] != static_cast<uint8_t>(S[i])) return false;
    }
    return true;
}

bool TFountainParser::MatchWord(std::string_view Word) {
    if (Word.empty()) return false;
    for (std::size_t i = 0; i < Word.size(); ++i) {
        if (FP[i] == 0 || kFold.t[FP[i]] != kFold.t[static_cast<uint8_t>(Word[i])]) return false;
    }
    if (IsWordChar(FP[Word.size()])) return false;
    FP += Word.size();
    return true;
}

void TFountainParser::StartRow(std::string_view Text, const TRowState& State) { startRow(Text, {}, State); }

void TFountainParser::startRow(std::string_view Text, std::string_view More, const TRowState& State) {
    FText.assign(Text);
    FText.append(More);
    // The last "@" of the row: no mail address starts at or after it.
    const void* at = FText.empty() ? nullptr : ::memrchr(FText.data(), '@', FText.size());
    FLastAt = at ? static_cast<const uint8_t*>(at) : textStart();
    FBracketIndex = State.BracketIndex;
    FElement = State.Element;
    FRemain = State.Remain;
    FResumeKind = State.ResumeKind;
    FPrevData = State.PrevData;
    FP = FNextPos = FTokenStart = textStart();
    FLastBracket = -2;
    FTokenKind = kindEnd;
    FResuming = false;
    FLastEmptyToken = nullptr;
}

void TFountainParser::SkipBlanks() {
    while (*FNextPos != 0 && *FNextPos <= 32 && *FNextPos != 9) ++FNextPos;
}

int TFountainParser::NextToken() {
    SkipBlanks();
    FP = FTokenStart = FNextPos;
    FResuming = FResumeKind != 0;
    const uint8_t c = *FP;
    if (IsEnd(c)) {
        FTokenKind = kindEnd;
    } else if (FResumeKind != 0) {
        ResumeToken();
    } else if (FBracketIndex >= 0) {
        ScanBracket();
    } else {
        ScanDefault();
    }
    // A token may be empty (a resumed token, an attribute value before ">"), but never twice
    // at the same place: so a loop of NextToken always ends.
    if (FP == FTokenStart && FTokenKind != kindEnd) {
        if (FTokenStart == FLastEmptyToken)
            AdvanceChar();
        else
            FLastEmptyToken = FTokenStart;
    }
    FNextPos = FP;
    return FTokenKind;
}

void TFountainParser::ResumeToken() {
    if (FRemain > 0) {
        // The carried-over part counts from the row's first byte; blanks skipped before it
        // belong to no token, so they shorten it.
        const uint8_t* end = textStart() + FRemain;
        const uint8_t* textEnd = textStart() + FText.size();
        if (end > textEnd) end = textEnd;
        FTokenKind = FResumeKind;
        if (FP < end) FP = end;
        if (FResumeKind == kindBracket) {
            FLastBracket = FBracketIndex;
            FBracketIndex = -1;
        }
    } else {
        const TScanProc resume = FResumeTable[FResumeKind & 0xFF];
        (this->*resume)();
    }
    FResumeKind = 0;
    FRemain = 0;
}

void TFountainParser::ScanDefault() {
    if (FBracketIndex == -1 && IsBracketStart()) {
        ScanBracket();
        return;
    }
    Dispatch(*FP);
}

bool TFountainParser::IsBracketStart() {
    TFountainBracketCollection& b = FFountain->Brackets();
    for (int i = 0; i < b.Count(); ++i) {
        const std::string& left = b.Items(i)->LeftBracket;
        if (!left.empty() && LookingAt(left)) {
            FBracketIndex = i;
            FP += left.size();
            return true;
        }
    }
    return false;
}

void TFountainParser::ScanBracket() {
    TFountainBracketCollection& b = FFountain->Brackets();
    if (FBracketIndex < 0 || FBracketIndex >= b.Count()) {
        FTokenKind = kindEnd;
        return;
    }
    const std::string& right = b.Items(FBracketIndex)->RightBracket;
    FTokenKind = kindBracket;
    FLastBracket = FBracketIndex;
    if (right.empty()) {
        // A bracket without a closing marker runs to the end of its line and closes there.
        while (!IsEnd(*FP)) AdvanceChar();
        FBracketIndex = -1;
        return;
    }
    while (!IsEnd(*FP)) {
        if (LookingAt(right)) {
            FP += right.size();
            FBracketIndex = -1;
            return;
        }
        AdvanceChar();
    }
}

bool TFountainParser::IsMail() {
    // An address needs an "@" after its first byte: most rows have none at all.
    if (!inMailSet(*FP) || *FP == '@' || FP >= FLastAt) return false;
    bool at = false;
    for (const uint8_t* p = FP + 1;; ++p) {
        const uint8_t c = *p;
        if (IsEnd(c) || !inMailSet(c)) return false;
        if (c == '@') {
            at = true;
        } else if (c == '.' && at) {
            FP = p + 1;
            return true;
        }
    }
}

void TFountainParser::ScanMail() {
    FTokenKind = kindMail;
    while (inMailSet(*FP)) ++FP;
}

bool TFountainParser::IsUrl() {
    // The first byte picks the only prefixes that can match.
    std::string_view prefix;
    switch (*FP) {
    case 'f': prefix = "ftp:"; break;
    case 'h': prefix = FP[1] == 't' && FP[2] == 't' && FP[3] == 'p' && FP[4] == 's' ? "https:" : "http:"; break;
    case 'w': prefix = "www."; break;
    default: return false;
    }
    if (!LookingAt(prefix)) return false;
    FP += prefix.size();
    return true;
}

void TFountainParser::ScanUrl() {
    FTokenKind = kindUrl;
    while (inUrlSet(*FP)) ++FP;
}

void TFountainParser::ScanReserved() {
    Dispatch(*FP);
    FTokenKind = kindReserved;
}

void TFountainParser::ScanEnd() { FTokenKind = kindEnd; }

void TFountainParser::ScanTab() {
    FTokenKind = kindTab;
    if (*FP == 9) ++FP;
}

void TFountainParser::ScanEndLF() {
    FTokenKind = kindEnd;
    if (*FP == '\n') ++FP;
}

void TFountainParser::ScanEndCR() {
    FTokenKind = kindEnd;
    if (*FP == '\r') ++FP;
    if (*FP == '\n') ++FP;
}

void TFountainParser::ScanLineComment() {
    FTokenKind = kindLineComment;
    while (!IsEnd(*FP)) ++FP;
}

void TFountainParser::ScanHex() {
    FTokenKind = kindHex;
    while (isHexDigit(*FP)) ++FP;
}

void TFountainParser::ScanExponent() {
    ++FP; // E or e
    if (*FP == '+' || *FP == '-') ++FP;
    while (isDigit(*FP)) ++FP;
}

void TFountainParser::ScanNumber() {
    FTokenKind = kindInteger;
    while (isDigit(*FP)) ++FP;
    if (*FP == '.') {
        FTokenKind = kindFloat;
        ++FP;
        if (isDigit(*FP)) {
            while (isDigit(*FP)) ++FP;
            if (*FP == 'E' || *FP == 'e') ScanExponent();
        } else if (*FP == 'E' || *FP == 'e') {
            ScanExponent();
        } else {
            --FP; // the point is given back
        }
    } else if (*FP == 'E' || *FP == 'e') {
        FTokenKind = kindFloat;
        ScanExponent();
    }
}

void TFountainParser::ScanWord() {
    FTokenKind = kindWord;
    while (IsWordChar(*FP)) ++FP;
}

void TFountainParser::ScanWideSymbol() {
    FTokenKind = kindWideSymbol;
    const uint8_t lead = *FP;
    const uint8_t trail = lead ? FP[1] : 0;
    const bool symbol = lead == 0x81 || in(lead, 0x84, 0x87) || (lead == 0x83 && in(trail, 0x97, 0xF0)) ||
                        (lead == 0x82 && (in(trail, 0x40, 0x4E) || in(trail, 0x59, 0x5F) || in(trail, 0x7A, 0x80) ||
                                          in(trail, 0x9B, 0x9E) || trail >= 0xF2));
    if (symbol) AdvanceChar();
}

void TFountainParser::ScanWide() {
    const uint8_t lead = *FP;
    const uint8_t trail = lead ? FP[1] : 0;
    int kind = wideClass(lead, trail);
    if (kind == -1) // "ー" or "－" resuming a kana run continues it
        kind = FResuming && (FResumeKind == kindHiragana || FResumeKind == kindKatakana) ? FResumeKind : 0;
    if (kind > 0) {
        FTokenKind = kind;
        FP += 2;
        while (*FP != 0 && FP[1] != 0 && wideBelongs(kind, FP[0], FP[1])) FP += 2;
        return;
    }
    if (lead == 0x82 && trail >= 0x40) {
        FTokenKind = kindWideSymbol; // the other valid trail bytes of 0x82
        FP += 2;
        return;
    }
    if (lead == 0x83 && in(trail, 0x97, 0xF0)) {
        FTokenKind = kindWideSymbol;
        FP += 2;
        return;
    }
    if (lead == 0x82 || lead == 0x83) {
        FTokenKind = kindSymbol; // a lead byte with no valid trail byte: a token of its own
        ++FP;
        return;
    }
    // Resumed at a byte that is not 0x82 or 0x83: whatever the first-byte table says.
    Dispatch(lead);
}

void TFountainParser::ScanKanji() {
    FTokenKind = kindKanji;
    const uint8_t* start = FP;
    while ((in(*FP, 0x88, 0x9F) || in(*FP, 0xE0, 0xFC)) && FP[1] != 0) FP += 2;
    if (FP == start && *FP != 0) ++FP; // a lead byte that ends the text
}

void TFountainParser::ScanHalfKanaSymbol() {
    FTokenKind = kindHalfKanaSymbol;
    if (in(*FP, 0xA1, 0xA5)) ++FP;
}

void TFountainParser::ScanHalfKana() {
    FTokenKind = kindHalfKana;
    while (in(*FP, 0xA6, 0xDF)) ++FP;
}

void TFountainParser::ScanSymbol() {
    FTokenKind = kindSymbol;
    if (!IsEnd(*FP)) ++FP;
}

void TFountainParser::ScanQuoted(uint8_t Quote, int Kind) {
    FTokenKind = Kind;
    if (!FResuming && *FP == Quote) ++FP;
    while (!IsEnd(*FP)) {
        if (*FP == Quote) {
            ++FP;
            if (*FP != Quote) return;
            ++FP; // a doubled quote stands for the quote character
        } else {
            AdvanceChar();
        }
    }
}

void TFountainParser::ScanSingleQuoted() { ScanQuoted('\'', kindSingleQuoted); }
void TFountainParser::ScanDoubleQuoted() { ScanQuoted('"', kindDoubleQuoted); }

TFountainColor* TFountainParser::bracketColor() const {
    TFountainBracketCollection& b = FFountain->Brackets();
    return FLastBracket >= 0 && FLastBracket < b.Count() ? &b.Items(FLastBracket)->ItemColor() : nullptr;
}

TFountainColor* TFountainParser::StandardTokenColor(const TStandardColors& c) {
    if (IsReserveWord()) return &FFountain->Reserve();
    switch (FTokenKind) {
    case kindSymbol: return c.Symbol;
    case kindInteger:
    case kindFloat:
    case kindHex: return c.Int;
    case kindBracket: return c.Brackets ? bracketColor() : nullptr;
    case kindLineComment: return c.Comment;
    case kindReserved: return &FFountain->Reserve();
    case kindWord: return c.Ank;
    case kindWideSymbol:
    case kindWideDigits:
    case kindWideAlpha:
    case kindHiragana:
    case kindKatakana:
    case kindKanji:
    case kindHalfKanaSymbol:
    case kindHalfKana: return c.DBCS;
    case kindSingleQuoted:
    case kindDoubleQuoted: return c.Str;
    default: return nullptr;
    }
}

bool TFountainParser::IsReserveWord() {
    if (FResuming || FTokenKind == kindEnd || FTokenKind == kindBracket || FTokenKind == kindLineComment) return false;
    return FFountain->ReserveWordList().Contains(TokenText());
}

int TFountainParser::AdjustKind(int Kind) { return IsReserveWord() ? kindReserved : Kind; }

bool TFountainParser::IsContinuedKind(int Kind) const {
    return Kind == kindLineComment || Kind == kindSingleQuoted || Kind == kindDoubleQuoted;
}

void TFountainParser::AdvanceRowState(int Row, const TEditorScreenStrings& Rows, TRowState& S) {
    const bool wrapped = Rows.RowAttribute(Row) == TRowAttribute::Wrapped && Row < Rows.Count() - 1;
    if (S.ResumeKind == kindLineComment) {
        if (!wrapped) S.ResumeKind = 0;
        S.Remain = 0;
        return;
    }
    const std::string_view own = Rows.Get(Row);
    const int len = static_cast<int>(own.size());
    int lastKind = 0;
    int savedBracket = S.BracketIndex;
    int savedElement = S.Element;
    startRow(own, wrapped ? Rows.Get(Row + 1) : std::string_view(), S);
    for (int k; (k = NextToken()) != kindEnd;) {
        lastKind = k;
        S.BracketIndex = FBracketIndex;
        if (k == kindBracket) savedBracket = FLastBracket;
        savedElement = FElement;
        if (TokenStart() + TokenLength() > len) break;
        S.Element = FElement;
        S.PrevData = FPrevData;
    }
    const int end = TokenStart() + TokenLength();
    S.Remain = 0;
    S.ResumeKind = 0;
    if (TokenStart() >= len || end <= len) return;
    S.Element = savedElement;
    if (lastKind == kindBracket) {
        if (S.BracketIndex == -1) {
            S.BracketIndex = savedBracket;
            TFountainBracketCollection& b = FFountain->Brackets();
            const int rightLength = savedBracket >= 0 && savedBracket < b.Count()
                                        ? static_cast<int>(b.Items(savedBracket)->RightBracket.size())
                                        : 0;
            if (rightLength > end - len) {
                S.ResumeKind = kindBracket;
                S.Remain = end - len;
            }
        }
        return;
    }
    S.ResumeKind = AdjustKind(lastKind);
    if (IsContinuedKind(S.ResumeKind)) return;
    const bool nextWraps = Row + 1 < Rows.Count() - 1 && Rows.RowAttribute(Row + 1) == TRowAttribute::Wrapped;
    // A carry-over longer than the 8 bits of Remain is resumed by the kind's scanner instead.
    if ((end < static_cast<int>(FText.size()) || !nextWraps) && end - len <= 255) S.Remain = end - len;
}

TRowState TFountainParser::Advance(const TEditorScreenStrings& Rows, int Row, const TRowState& State) {
    TRowState s = State;
    AdvanceRowState(Row, Rows, s);
    return s;
}

} // namespace quire
