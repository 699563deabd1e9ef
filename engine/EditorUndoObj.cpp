// TEditorUndoObj: the undo and redo lists of one document.
#include "EditorUndoObj.h"

namespace quire {

UndoRecord* TEditorUndoObj::NewRecord(int CaretRow, int CaretCol, TRedoList Redo) {
    if (FGroup) {
        // Valid until the next record of the group: the record that asked for it is filled first.
        UndoRecord& step = FGroup->Steps.emplace_back();
        step.CaretRow = CaretRow;
        step.CaretCol = CaretCol;
        return &step;
    }
    auto record = std::make_unique<UndoRecord>();
    record->CaretRow = CaretRow;
    record->CaretCol = CaretCol;
    UndoRecord* r = FUndoList.Add(std::move(record));
    if (FUndoList.Count() > FListMax) FUndoList.DeleteFirst();
    if (Redo == TRedoList::Clear) FRedoList.Clear();
    return r;
}

void TEditorUndoObj::PushRedo(const UndoRecord& R, int CaretRow, int CaretCol) {
    auto record = std::make_unique<UndoRecord>(R);
    record->CaretRow = CaretRow;
    record->CaretCol = CaretCol;
    FRedoList.Add(std::move(record));
}

void TEditorUndoObj::BeginGroup(int CaretRow, int CaretCol) {
    if (FGroup) return;
    FGroup = NewRecord(CaretRow, CaretCol);
}

void TEditorUndoObj::EndGroup() {
    if (!FGroup) return;
    const bool empty = FGroup->Steps.empty();
    FGroup = nullptr;
    if (empty) FUndoList.DeleteLast();
}

void TEditorUndoObj::Clear() noexcept {
    FGroup = nullptr;
    FUndoList.Clear();
    FRedoList.Clear();
}

} // namespace quire
