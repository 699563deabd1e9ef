// TEditorUndoObj: the undo and redo lists of one document.
#include "EditorUndoObj.h"

namespace quire {

UndoRecord* TEditorUndoObj::NewRecord(int CaretRow, int CaretCol, TRedoList Redo) {
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

void TEditorUndoObj::Clear() noexcept {
    FUndoList.Clear();
    FRedoList.Clear();
}

} // namespace quire
