// TRowAttributeStringList: typed access to the row attribute and row state packed in the slots.
#pragma once

#include "PointerStringList.h"
#include "RowState.h"

namespace quire {

// Slot 2 (the attribute word): bits 0-3 the row attribute, 4-7 BracketIndex + 2, 8-11
// Element, 12-19 Remain. Slot 3: bits 0-7 ResumeKind, 8-15 PrevData. Each setter replaces
// its own bits and keeps the others, so a new row (all zero) is LineEnd and not parsed.
class TRowAttributeStringList : public TPointerStringList {
public:
    TRowAttribute RowAttribute(int Index) const { return static_cast<TRowAttribute>(AttrWord(Index) & 0xF); }
    void SetRowAttribute(int Index, TRowAttribute Value) {
        SetAttrWord(Index, (AttrWord(Index) & ~0xFu) | (static_cast<uint32_t>(Value) & 0xF));
    }
    int BracketIndex(int Index) const { return static_cast<int>((AttrWord(Index) >> 4) & 0xF) - 2; }
    void SetBracketIndex(int Index, int Value) {
        SetAttrWord(Index, (AttrWord(Index) & ~0xF0u) | ((static_cast<uint32_t>(Value + 2) & 0xF) << 4));
    }
    int Element(int Index) const { return static_cast<int>((AttrWord(Index) >> 8) & 0xF); }
    void SetElement(int Index, int Value) {
        SetAttrWord(Index, (AttrWord(Index) & ~0xF00u) | ((static_cast<uint32_t>(Value) & 0xF) << 8));
    }
    int Remain(int Index) const { return static_cast<int>((AttrWord(Index) >> 12) & 0xFF); }
    void SetRemain(int Index, int Value) {
        SetAttrWord(Index, (AttrWord(Index) & 0xFFFu) | ((static_cast<uint32_t>(Value) & 0xFF) << 12));
    }
    int ResumeKind(int Index) const { return static_cast<int>(StateWord(Index) & 0xFF); }
    void SetResumeKind(int Index, int Value) {
        SetStateWord(Index, (StateWord(Index) & 0xFF00u) | (static_cast<uint32_t>(Value) & 0xFF));
    }
    int PrevData(int Index) const { return static_cast<int>((StateWord(Index) >> 8) & 0xFF); }
    void SetPrevData(int Index, int Value) {
        SetStateWord(Index, (StateWord(Index) & 0xFFu) | ((static_cast<uint32_t>(Value) & 0xFF) << 8));
    }

    // All five state fields at once, with the widths of the packing.
    TRowState RowState(int Index) const {
        return TRowState{BracketIndex(Index), Element(Index), Remain(Index), ResumeKind(Index), PrevData(Index)};
    }
    void SetRowState(int Index, const TRowState& S) {
        const uint32_t attr = AttrWord(Index) & 0xFu;
        SetAttrWord(Index, attr | ((static_cast<uint32_t>(S.BracketIndex + 2) & 0xF) << 4) |
                               ((static_cast<uint32_t>(S.Element) & 0xF) << 8) |
                               ((static_cast<uint32_t>(S.Remain) & 0xFF) << 12));
        SetStateWord(Index,
                     (static_cast<uint32_t>(S.ResumeKind) & 0xFF) | ((static_cast<uint32_t>(S.PrevData) & 0xFF) << 8));
    }
    // A state as it reads back after being stored (the widths of the packing applied).
    static TRowState Packed(const TRowState& S) {
        return TRowState{static_cast<int>((static_cast<uint32_t>(S.BracketIndex + 2) & 0xF)) - 2, S.Element & 0xF,
                         S.Remain & 0xFF, S.ResumeKind & 0xFF, S.PrevData & 0xFF};
    }

    // Adds a row with the given attribute (state: not parsed).
    int AddRow(std::string_view S, TRowAttribute Attribute) {
        const int index = Add(S);
        SetRowAttribute(index, Attribute);
        return index;
    }
};

// A scratch list of rows (text and attributes) while an edit is being prepared.
class TEditorStringList : public TRowAttributeStringList {};

} // namespace quire
