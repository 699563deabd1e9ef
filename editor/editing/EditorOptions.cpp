// The option objects of the editor control.
#include "EditorOptions.h"

#include "ShiftJis.h"

#include <algorithm>

namespace quire {

namespace {
// Limits to Lo..Hi, then lowers an odd value by one.
int evenWithin(int value, int lo, int hi) {
    value = std::clamp(value, lo, hi);
    return value % 2 ? value - 1 : value;
}

// Runs F inside an update of P: one notification at the end.
template <typename F>
void inUpdate(TNotifyPersistent& p, F f) {
    p.BeginUpdate();
    try {
        f();
    } catch (...) {
        p.EndUpdate();
        throw;
    }
    p.EndUpdate();
}
} // namespace

void TEditorCursors::Assign(const TEditorCursors& s) {
    DefaultCursor = s.DefaultCursor;
    DragSelCursor = s.DragSelCursor;
    DragSelCopyCursor = s.DragSelCopyCursor;
    InSelCursor = s.InSelCursor;
    LeftMarginCursor = s.LeftMarginCursor;
    TopMarginCursor = s.TopMarginCursor;
    Changed();
}

void TEditorCaret::SetStyle(TEditorCaretStyle Value) { SetField(FStyle, Value); }

void TEditorCaret::SetTabSpaceCount(int Value) { SetField(FTabSpaceCount, evenWithin(Value, 2, 8)); }

void TEditorCaret::Assign(const TEditorCaret& s) {
    inUpdate(*this, [&] {
        AutoCursor = s.AutoCursor;
        AutoIndent = s.AutoIndent;
        BackSpaceUnIndent = s.BackSpaceUnIndent;
        Cursors.Assign(s.Cursors);
        FreeCaret = s.FreeCaret;
        InTab = s.InTab;
        KeepCaret = s.KeepCaret;
        LockScroll = s.LockScroll;
        NextLine = s.NextLine;
        PrevSpaceIndent = s.PrevSpaceIndent;
        RowSelect = s.RowSelect;
        SelDragMode = s.SelDragMode;
        SelMove = s.SelMove;
        SoftTab = s.SoftTab;
        SetStyle(s.FStyle);
        TabIndent = s.TabIndent;
        SetTabSpaceCount(s.FTabSpaceCount);
        Changed();
    });
}

void TEditorMargin::setClamped(int& field, int value) { SetField(field, std::clamp(value, 0, 100)); }

void TEditorMargin::Assign(const TEditorMargin& s) {
    inUpdate(*this, [&] {
        SetCharacter(s.FCharacter);
        SetLeft(s.FLeft);
        SetLine(s.FLine);
        SetTop(s.FTop);
        SetUnderline(s.FUnderline);
    });
}

void TEditorMark::SetColor(TColor Value) { SetField(FColor, Value); }

void TEditorMark::SetVisible(bool Value) { SetField(FVisible, Value); }

void TEditorMark::Assign(const TEditorMark& s) {
    FColor = s.FColor;
    FVisible = s.FVisible;
    Changed();
}

TEditorMarks::TEditorMarks() {
    // A change of any mark is a change of the marks.
    for (TEditorMark* m : {&FEofMark, &FRetMark, &FWrapMark, &FHideMark, &FUnderline})
        m->OnChange = [this](TObject*) { Changed(); };
}

void TEditorMarks::Assign(const TEditorMarks& s) {
    inUpdate(*this, [&] {
        FEofMark.Assign(s.FEofMark);
        FRetMark.Assign(s.FRetMark);
        FWrapMark.Assign(s.FWrapMark);
        FHideMark.Assign(s.FHideMark);
        FUnderline.Assign(s.FUnderline);
    });
}

TEditorViewInfo::TEditorViewInfo() : FFountain(TFountain::Create<TEditorFountain>()) {
    FFountain->AddChangeHandler(this, [this](TObject* Sender) { ChangedProc(Sender); });
}

TEditorViewInfo::~TEditorViewInfo() { FFountain->RemoveChangeHandler(this); }

void TEditorViewInfo::SetCommenter(const std::string& Value) {
    if (FFountain->Commenter() == Value) return;
    FFountain->SetCommenter(Value);
    Changed();
}

void TEditorViewInfo::SetControlCode(bool Value) {
    if (FFountain->ControlCode() == Value) return;
    FFountain->SetControlCode(Value);
    Changed();
}

void TEditorViewInfo::SetHexPrefix(const std::string& Value) {
    if (FFountain->HexPrefix() == Value) return;
    FFountain->SetHexPrefix(Value);
    Changed();
}

void TEditorViewInfo::SetMail(bool Value) {
    if (FFountain->Mail() == Value) return;
    FFountain->SetMail(Value);
    Changed();
}

void TEditorViewInfo::SetQuotation(const std::string& Value) {
    const std::string first = Value.substr(0, Value.empty() ? 0 : sjis::CharLengthAt(Value, 0));
    if (FFountain->Quotation() == first) return;
    FFountain->SetQuotation(first);
    Changed();
}

void TEditorViewInfo::SetUrl(bool Value) {
    if (FFountain->Url() == Value) return;
    FFountain->SetUrl(Value);
    Changed();
}

void TEditorViewInfo::Assign(TEditorViewInfo& s) {
    inUpdate(*this, [&] {
        SetBrackets(s.Brackets());
        SetColors(s.Colors());
        SetCommenter(s.Commenter());
        SetControlCode(s.ControlCode());
        SetHexPrefix(s.HexPrefix());
        SetMail(s.Mail());
        SetQuotation(s.Quotation());
        SetUrl(s.Url());
    });
}

void TEditorRuler::SetGaugeRange(int Value) { SetField(FGaugeRange, evenWithin(Value, 8, 10)); }

void TEditorRuler::Assign(const TEditorRuler& s) {
    inUpdate(*this, [&] {
        SetBkColor(s.FBkColor);
        SetColor(s.FColor);
        SetEdge(s.FEdge);
        SetGaugeRange(s.FGaugeRange);
        SetMarkColor(s.FMarkColor);
        SetVisible(s.FVisible);
    });
}

void TEditorLeftbar::SetColumn(int Value) { SetField(FColumn, std::clamp(Value, 1, 8)); }
void TEditorLeftbar::SetLeftMargin(int Value) { SetField(FLeftMargin, std::clamp(Value, 0, 100)); }
void TEditorLeftbar::SetRightMargin(int Value) { SetField(FRightMargin, std::clamp(Value, 0, 100)); }

void TEditorLeftbar::Assign(const TEditorLeftbar& s) {
    inUpdate(*this, [&] {
        SetBkColor(s.FBkColor);
        SetColor(s.FColor);
        SetColumn(s.FColumn);
        SetEdge(s.FEdge);
        SetLeftMargin(s.FLeftMargin);
        SetRightMargin(s.FRightMargin);
        SetShowNumber(s.FShowNumber);
        SetShowNumberMode(s.FShowNumberMode);
        SetVisible(s.FVisible);
        SetZeroBase(s.FZeroBase);
        SetZeroLead(s.FZeroLead);
    });
}

} // namespace quire
