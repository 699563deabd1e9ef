// The option objects of the editor control: caret, cursors, margins, marks, view, ruler and
// left bar. Each tells its owner of a change through its change handler; properties marked
// plain change silently.
#pragma once

#include "EditorFountain.h"
#include "NotifyPersistent.h"

#include <memory>

namespace quire {

// Platform cursor numbers.
using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crIBeam = -4;
constexpr TCursor crDrag = -12;
// The program's own pointers: an arrow with a copy sign, and an arrow pointing right.
constexpr TCursor crDragSelCopy = 1;
constexpr TCursor crRightArrow = 2;

class TEditorCursors : public TNotifyPersistent {
public:
    TCursor DefaultCursor = crIBeam;
    TCursor DragSelCursor = crDrag;
    TCursor DragSelCopyCursor = crDragSelCopy;
    TCursor InSelCursor = crDefault;
    TCursor LeftMarginCursor = crRightArrow;
    TCursor TopMarginCursor = crDefault;
    void Assign(const TEditorCursors& Source);
};

enum class TEditorCaretStyle { csDefault, csBrief };
enum class TDragMode { dmManual, dmAutomatic };

class TEditorCaret : public TNotifyPersistent {
public:
    // Plain properties.
    bool AutoCursor = true;
    bool AutoIndent = true;
    bool BackSpaceUnIndent = true;
    TEditorCursors Cursors;
    bool FreeCaret = true;
    bool InTab = false;
    bool KeepCaret = false;
    bool LockScroll = false;
    bool NextLine = false;
    bool PrevSpaceIndent = false;
    bool RowSelect = true;
    TDragMode SelDragMode = TDragMode::dmAutomatic;
    bool SelMove = true;
    bool SoftTab = false;
    bool TabIndent = false;

    TEditorCaretStyle Style() const noexcept { return FStyle; }
    void SetStyle(TEditorCaretStyle Value);
    int TabSpaceCount() const noexcept { return FTabSpaceCount; }
    // Limited to 2..8, then an odd value is lowered by one.
    void SetTabSpaceCount(int Value);
    void Assign(const TEditorCaret& Source);

private:
    TEditorCaretStyle FStyle = TEditorCaretStyle::csDefault;
    int FTabSpaceCount = 8;
};

class TEditorMargin : public TNotifyPersistent {
public:
    int Character() const noexcept { return FCharacter; }
    int Left() const noexcept { return FLeft; }
    int Line() const noexcept { return FLine; }
    int Top() const noexcept { return FTop; }
    int Underline() const noexcept { return FUnderline; }
    // Each limited to 0..100.
    void SetCharacter(int Value) { setClamped(FCharacter, Value); }
    void SetLeft(int Value) { setClamped(FLeft, Value); }
    void SetLine(int Value) { setClamped(FLine, Value); }
    void SetTop(int Value) { setClamped(FTop, Value); }
    // 1 while the caret-row underline is visible; set by the editor.
    void SetUnderline(int Value) { setClamped(FUnderline, Value); }
    void Assign(const TEditorMargin& Source);

private:
    void setClamped(int& field, int value); // 0..100
    int FCharacter = 0;
    int FLeft = 19;
    int FLine = 0;
    int FTop = 2;
    int FUnderline = 0;
};

class TEditorMark : public TNotifyPersistent {
public:
    TColor Color() const noexcept { return FColor; }
    bool Visible() const noexcept { return FVisible; }
    void SetColor(TColor Value);
    void SetVisible(bool Value);
    void Assign(const TEditorMark& Source);

private:
    TColor FColor = 0x808080;
    bool FVisible = false;
};

class TEditorMarks : public TNotifyPersistent {
public:
    TEditorMarks();
    TEditorMark& EofMark() noexcept { return FEofMark; }
    TEditorMark& RetMark() noexcept { return FRetMark; }
    TEditorMark& WrapMark() noexcept { return FWrapMark; }
    TEditorMark& HideMark() noexcept { return FHideMark; }
    TEditorMark& Underline() noexcept { return FUnderline; }
    const TEditorMark& Underline() const noexcept { return FUnderline; }
    void Assign(const TEditorMarks& Source);

private:
    TEditorMark FEofMark, FRetMark, FWrapMark, FHideMark, FUnderline;
};

// The view options: they read and write the editor's own fountain, which it owns.
class TEditorViewInfo : public TNotifyPersistent {
public:
    TEditorViewInfo();
    ~TEditorViewInfo() override;
    TEditorFountain& Fountain() noexcept { return *FFountain; }

    TEditorBracketCollection& Brackets() { return FFountain->EditorBrackets(); }
    TEditorColors& Colors() { return FFountain->Colors(); }
    const std::string& Commenter() const { return FFountain->Commenter(); }
    bool ControlCode() const { return FFountain->ControlCode(); }
    const std::string& HexPrefix() const { return FFountain->HexPrefix(); }
    bool Mail() const { return FFountain->Mail(); }
    const std::string& Quotation() const { return FFountain->Quotation(); }
    bool Url() const { return FFountain->Url(); }
    void SetBrackets(const TFountainBracketCollection& Value) { FFountain->SetBrackets(Value); }
    void SetColors(const TEditorColors& Value) { FFountain->SetColors(Value); }
    void SetCommenter(const std::string& Value);
    void SetControlCode(bool Value);
    void SetHexPrefix(const std::string& Value);
    void SetMail(bool Value);
    // Only the first character is kept (one or two bytes); an empty value clears it.
    void SetQuotation(const std::string& Value);
    void SetUrl(bool Value);
    void Assign(TEditorViewInfo& Source);

private:
    std::unique_ptr<TEditorFountain> FFountain;
};

class TEditorRuler : public TNotifyPersistent {
public:
    TColor BkColor() const noexcept { return FBkColor; }
    TColor Color() const noexcept { return FColor; }
    bool Edge() const noexcept { return FEdge; }
    int GaugeRange() const noexcept { return FGaugeRange; }
    TColor MarkColor() const noexcept { return FMarkColor; }
    bool Visible() const noexcept { return FVisible; }
    void SetBkColor(TColor Value) { SetField(FBkColor, Value); }
    void SetColor(TColor Value) { SetField(FColor, Value); }
    void SetEdge(bool Value) { SetField(FEdge, Value); }
    // Limited to 8..10, then an odd value is lowered by one.
    void SetGaugeRange(int Value);
    void SetMarkColor(TColor Value) { SetField(FMarkColor, Value); }
    void SetVisible(bool Value) { SetField(FVisible, Value); }
    void Assign(const TEditorRuler& Source);

private:
    TColor FBkColor = 0xC0C0C0;
    TColor FColor = 0;
    bool FEdge = true;
    int FGaugeRange = 10;
    TColor FMarkColor = 0;
    bool FVisible = false;
};

enum class TEditorShowNumberMode { nmRow, nmLine };

class TEditorLeftbar : public TNotifyPersistent {
public:
    TColor BkColor() const noexcept { return FBkColor; }
    TColor Color() const noexcept { return FColor; }
    int Column() const noexcept { return FColumn; }
    bool Edge() const noexcept { return FEdge; }
    int LeftMargin() const noexcept { return FLeftMargin; }
    int RightMargin() const noexcept { return FRightMargin; }
    bool ShowNumber() const noexcept { return FShowNumber; }
    TEditorShowNumberMode ShowNumberMode() const noexcept { return FShowNumberMode; }
    bool Visible() const noexcept { return FVisible; }
    bool ZeroBase() const noexcept { return FZeroBase; }
    bool ZeroLead() const noexcept { return FZeroLead; }
    void SetBkColor(TColor Value) { SetField(FBkColor, Value); }
    void SetColor(TColor Value) { SetField(FColor, Value); }
    void SetColumn(int Value); // 1..8
    void SetEdge(bool Value) { SetField(FEdge, Value); }
    void SetLeftMargin(int Value);  // 0..100
    void SetRightMargin(int Value); // 0..100
    void SetShowNumber(bool Value) { SetField(FShowNumber, Value); }
    void SetShowNumberMode(TEditorShowNumberMode Value) { SetField(FShowNumberMode, Value); }
    void SetVisible(bool Value) { SetField(FVisible, Value); }
    void SetZeroBase(bool Value) { SetField(FZeroBase, Value); }
    void SetZeroLead(bool Value) { SetField(FZeroLead, Value); }
    void Assign(const TEditorLeftbar& Source);

private:
    TColor FBkColor = 0xC0C0C0;
    TColor FColor = 0;
    int FColumn = 4;
    bool FEdge = true;
    int FLeftMargin = 8;
    int FRightMargin = 4;
    bool FShowNumber = true;
    TEditorShowNumberMode FShowNumberMode = TEditorShowNumberMode::nmRow;
    bool FVisible = false;
    bool FZeroBase = false;
    bool FZeroLead = false;
};

} // namespace quire
