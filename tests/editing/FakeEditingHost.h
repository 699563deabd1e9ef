// A stand-in for the editor control as the editing operations see it: a caret that goes
// where it is told, a selection computed by the operations' own measures, and counts of
// what the control would have repainted.
#pragma once

#include "EditingHost.h"
#include "EditorEditing.h"
#include "EditorOptions.h"
#include "FakeEditor.h"

#include <algorithm>

namespace quire::test {

class FakeEditingHost : public FakeEditorOf<TEditingHost> {
public:
    FakeEditingHost() { WithParser = false; }

    TEditorCaret CaretOptions;
    TEditorSelection Sel;
    TEditorEditing Editing{*this, Sel};
    bool IsReadOnly = false, IsOverWrite = false;
    int UnderlineHidden = 0, Repaints = 0;

    // Selects from (R1, C1) to (R2, C2) as the mouse would.
    void Select(int R1, int C1, int R2, int C2) {
        SetRowCol(R1, C1);
        AnchorSelection();
        SetRowCol(R2, C2);
        ExtendSelection();
    }
    // Places the caret as the control does when it is sent somewhere: within the rows (not past
    // an end-of-file row), never on a double-byte character's second byte, inside a tab's
    // padding (unless the caret options allow it) or at the end of a wrapped row.
    void PlaceCaret(int ARow, int ACol) {
        const int count = Store->Count();
        CaretRow = std::clamp(ARow, 0, count);
        if (CaretRow == count && count > 0 && Store->RowAttribute(count - 1) == TRowAttribute::EndOfFile) --CaretRow;
        const TColumnMap a = Editing.ColumnMap(CaretRow);
        int c = std::max(ACol, 0);
        if (CaretRow < count && Store->RowAttribute(CaretRow) == TRowAttribute::Wrapped && c >= a.Width())
            c = a.Width() - 1;
        if (a.At(c) == TColumnCode::Trail) --c;
        if (!CaretOptions.InTab)
            while (a.At(c) == TColumnCode::TabPad) --c;
        CaretCol = c;
    }
    void Undo() {
        ClearSelection();
        Store->Undo();
    }
    void Redo() {
        ClearSelection();
        Store->Redo();
    }

    int TabSpaceCount() const override { return CaretOptions.TabSpaceCount(); }
    void ClearSelection() override { Sel.State = TSelectionState::NoSelection; }

    // What the editing operations need.
    TEditorCaret& Caret() override { return CaretOptions; }
    bool ReadOnly() const override { return IsReadOnly; }
    bool OverWrite() const override { return IsOverWrite; }
    void MoveCaretTo(int ARow, int ACol) override { SetRowCol(ARow, ACol); }
    void UnderlineBeginUpdate() override { ++UnderlineHidden; }
    void UnderlineEndUpdate() override { --UnderlineHidden; }
    void AnchorSelection() override {
        ClearSelection();
        Editing.AnchorAtCaret();
    }
    void ExtendSelection() override {
        if (Sel.State == TSelectionState::NoSelection) return;
        Sel.State = TSelectionState::Selected;
        Editing.ComputeSelection();
    }
    void RepaintText() override { ++Repaints; }
};

} // namespace quire::test
