// TEditorFountain, its colour set and brackets, and TEditorParser.
#include "EditorFountain.h"

#include "DocumentMode.h"
#include "SortedStringList.h"

namespace quire {

// --- TEditorColors -------------------------------------------------------------------

TEditorColors::TEditorColors(TEditorFountain* Fountain) : FFountain(Fountain) {
    FSelect.SetBkColor(0x800000);
    FSelect.SetColor(0xFFFFFF);
    for (TEditorColor* c : {&FAnk, &FComment, &FDBCS, &FInt, &FMail, &FSelect, &FStr, &FSymbol, &FUrl})
        c->OnChange = ChangedHandler();
}

TFountainColor& TEditorColors::Reserve() { return FFountain->Reserve(); }

void TEditorColors::Assign(const TEditorColors& Source) {
    // Reserve belongs to the fountain and tells its listeners itself: hold the broadcast too.
    FFountain->NotifyEventList().BeginUpdate();
    BeginUpdate();
    FAnk.Assign(Source.FAnk);
    FComment.Assign(Source.FComment);
    FDBCS.Assign(Source.FDBCS);
    FInt.Assign(Source.FInt);
    FMail.Assign(Source.FMail);
    FStr.Assign(Source.FStr);
    FSymbol.Assign(Source.FSymbol);
    Reserve().Assign(Source.FFountain->Reserve());
    FUrl.Assign(Source.FUrl);
    FSelect.Assign(Source.FSelect);
    EndUpdate();
    FFountain->NotifyEventList().EndUpdate();
}

void TEditorColors::EnumColors(const TColorVisit& Visit) {
    Visit("Ank", FAnk);
    Visit("Comment", FComment);
    Visit("DBCS", FDBCS);
    Visit("Int", FInt);
    Visit("Mail", FMail);
    Visit("Reserve", Reserve());
    Visit("Select", FSelect);
    Visit("Str", FStr);
    Visit("Symbol", FSymbol);
    Visit("Url", FUrl);
}

// --- TEditorBracketCollection --------------------------------------------------------

template <typename F>
void TEditorBracketCollection::forAll(F f) {
    BeginUpdate();
    for (int i = 0; i < Count(); ++i) f(Items(i)->ItemColor());
    EndUpdate();
}

void TEditorBracketCollection::SetAllBkColor(TColor Value) {
    forAll([Value](TFountainColor& c) { c.SetBkColor(Value); });
}
void TEditorBracketCollection::SetAllColor(TColor Value) {
    forAll([Value](TFountainColor& c) { c.SetColor(Value); });
}
void TEditorBracketCollection::SetAllStyle(uint8_t Value) {
    forAll([Value](TFountainColor& c) { c.SetStyle(Value); });
}

// --- TEditorFountain -----------------------------------------------------------------

std::unique_ptr<TFountainBracketCollection> TEditorFountain::CreateBrackets() {
    auto b = std::make_unique<TEditorBracketCollection>(this);
    b->OnChange = BroadcastHandler();
    return b;
}

void TEditorFountain::CreateFountainColors() {
    TFountain::CreateFountainColors();
    FColors = CreateEditorColors();
}

std::unique_ptr<TEditorColors> TEditorFountain::CreateEditorColors() {
    auto c = std::make_unique<TEditorColors>(this);
    c->OnChange = BroadcastHandler();
    return c;
}

std::unique_ptr<TFountainParser> TEditorFountain::CreateParser() { return std::make_unique<TEditorParser>(this); }

void TEditorFountain::EnumNestedColors(const TColorVisit& Visit) {
    if (FColors) FColors->EnumColors(Visit);
}

void TEditorFountain::SetColorFromTemplate(const std::string& Name, TFountainColor& Color,
                                           const TFountainColor& Template, int Which) {
    if (CompareText(Name, "Select") == 0) return;
    TFountain::SetColorFromTemplate(Name, Color, Template, Which);
}

void TEditorFountain::setAll(int Which, const TFountainColor& Template) {
    NotifyEventList().BeginUpdate();
    SetAllColors(*FColors, Template, Which);
    NotifyEventList().EndUpdate();
}

void TEditorFountain::SetAllBkColor(TColor Value) {
    TFountainColor t;
    t.SetBkColor(Value);
    setAll(1, t);
}
void TEditorFountain::SetAllColor(TColor Value) {
    TFountainColor t;
    t.SetColor(Value);
    setAll(2, t);
}
void TEditorFountain::SetAllStyle(uint8_t Value) {
    TFountainColor t;
    t.SetStyle(Value);
    setAll(4, t);
}

// --- TEditorParser -------------------------------------------------------------------

TEditorParser::TEditorParser(TEditorFountain* Fountain) : TFountainParser(Fountain) { Init(); }

void TEditorParser::InitScanTables() {
    TFountainParser::InitScanTables();
    FResumeTable[kindQuotation] = static_cast<TScanProc>(&TEditorParser::ScanQuotation);
    FResumeTable[kindControlDec] = static_cast<TScanProc>(&TEditorParser::ScanControlDec);
    FResumeTable[kindControlHex] = static_cast<TScanProc>(&TEditorParser::ScanControlHex);
}

void TEditorParser::ScanDefault() {
    TEditorFountain& f = fountain();
    if (FBracketIndex == -1 && IsBracketStart()) {
        ScanBracket();
    } else if (f.Mail() && IsMail()) {
        ScanMail();
    } else if (f.Url() && IsUrl()) {
        ScanUrl();
    } else if (IsCommenter()) {
        ScanLineComment();
    } else if (IsQuotation()) {
        ScanQuotation();
    } else if (IsControlHex()) {
        ScanControlHex();
    } else if (IsControlDec()) {
        ScanControlDec();
    } else if (IsHexPrefix()) {
        ScanHex();
    } else {
        Dispatch(*FP);
    }
}

bool TEditorParser::IsCommenter() {
    const std::string& c = fountain().Commenter();
    if (c.empty()) return false;
    // In the standard mode a comment opener counts only at the start of the row.
    if (FP != textStart() && CurrentDocumentModeKind() == TDocumentMode::Standard) return false;
    if (!LookingAt(c)) return false;
    FP += c.size();
    return true;
}

bool TEditorParser::IsQuotation() {
    const std::string& q = fountain().Quotation();
    if (q.empty() || *FP != static_cast<uint8_t>(q[0])) return false;
    ++FP;
    return true;
}

void TEditorParser::ScanQuotation() {
    const std::string& q = fountain().Quotation();
    if (q.empty()) {
        FTokenKind = kindEnd;
        return;
    }
    const auto quote = static_cast<uint8_t>(q[0]);
    FTokenKind = kindQuotation;
    while (!IsEnd(*FP)) {
        if (*FP == quote) {
            ++FP;
            if (*FP != quote) return;
            ++FP;
        } else {
            AdvanceChar();
        }
    }
}

bool TEditorParser::IsControlHex() {
    if (!fountain().ControlCode() || !LookingAt("#$")) return false;
    FP += 2;
    return true;
}

void TEditorParser::ScanControlHex() {
    FTokenKind = kindControlHex;
    while ((*FP >= '0' && *FP <= '9') || (*FP >= 'A' && *FP <= 'F') || (*FP >= 'a' && *FP <= 'f')) ++FP;
}

bool TEditorParser::IsControlDec() {
    if (!fountain().ControlCode() || *FP != '#') return false;
    ++FP;
    return true;
}

void TEditorParser::ScanControlDec() {
    FTokenKind = kindControlDec;
    while (*FP >= '0' && *FP <= '9') ++FP;
}

bool TEditorParser::IsHexPrefix() {
    const std::string& h = fountain().HexPrefix();
    if (h.empty()) return false;
    for (std::size_t i = 0; i < h.size(); ++i) {
        if (FP[i] == 0 || FoldUpper(FP[i]) != FoldUpper(static_cast<uint8_t>(h[i]))) return false;
    }
    FP += h.size();
    return true;
}

TFountainColor* TEditorParser::TokenColor() {
    TEditorFountain& f = fountain();
    TEditorColors& c = f.Colors();
    if (!IsReserveWord()) {
        switch (FTokenKind) {
        case kindUrl: return &c.Url();
        case kindMail: return &c.Mail();
        case kindQuotation:
        case kindControlDec:
        case kindControlHex: return &c.Str();
        case kindSingleQuoted:
        case kindDoubleQuoted: return nullptr; // the editor parser makes no such tokens
        default: break;
        }
    }
    return StandardTokenColor({&c.Symbol(), &c.Int(), &c.Comment(), &c.Ank(), &c.DBCS(), nullptr});
}

} // namespace quire
