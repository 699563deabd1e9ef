// TEditorUndoObj: applying undo and redo records to the rows.
#include "EditorUndoObj.h"

#include "EditorScreenStrings.h"

namespace quire {

namespace {

// Hides the active editor's caret and opens an update of the store for the lifetime of the
// guard; both are closed again also when an exception passes.
class ApplyGuard {
public:
    explicit ApplyGuard(TEditorScreenStrings& list) : list_(list), editor_(list.ActiveEditor()) {
        if (editor_) editor_->CaretBeginUpdate();
        list_.BeginUpdate();
    }
    // Closes the update (the editors are notified), then puts the caret where the record
    // says it stood.
    void Finish(const UndoRecord& R) {
        closeUpdate();
        if (editor_) {
            editor_->SetRow(R.CaretRow);
            editor_->SetCol(R.CaretCol);
        }
    }
    ~ApplyGuard() {
        closeUpdate();
        if (editor_) editor_->CaretEndUpdate();
    }

private:
    void closeUpdate() {
        if (!open_) return;
        open_ = false;
        list_.EndUpdate();
    }

    TEditorScreenStrings& list_;
    TEditorLink* editor_;
    bool open_ = true;
};

} // namespace

UndoRecord* TEditorUndoObj::NewRecord() {
    auto record = std::make_unique<UndoRecord>();
    if (TEditorLink* e = FList->ActiveEditor()) {
        record->CaretRow = e->Row();
        record->CaretCol = e->Col();
    }
    UndoRecord* r = FUndoList.Add(std::move(record));
    if (FUndoList.Count() > FListMax) FUndoList.DeleteFirst();
    if (!FRedoing) FRedoList.Clear();
    return r;
}

void TEditorUndoObj::PushRedo(const UndoRecord& R) {
    auto record = std::make_unique<UndoRecord>(R);
    if (TEditorLink* e = FList->ActiveEditor()) {
        record->CaretRow = e->Row();
        record->CaretCol = e->Col();
    }
    FRedoList.Add(std::move(record));
}

void TEditorUndoObj::Clear() {
    FUndoList.Clear();
    FRedoList.Clear();
}

void TEditorUndoObj::apply(UndoRecord& R) {
    TEditorScreenStrings& list = *FList;
    // The rows the change inserted go.
    std::string text;
    TRowAttribute attr = TRowAttribute::NoAttribute;
    int removed = 0;
    if (R.InsertedCount > 0) {
        text = list.GetRowsText(R.Row, R.InsertedCount, attr, removed);
        list.DeleteRows(R.Row, R.InsertedCount);
    }
    // The rows it removed come back, wrapped by the current rules.
    int inserted = 0;
    if (R.RemovedAttribute != TRowAttribute::NoAttribute) {
        TEditorStringList rows;
        list.TextToRows(R.RemovedText, rows);
        if (R.RemovedAttribute == TRowAttribute::Wrapped && rows.Count() > 1 && rows.Get(rows.Count() - 1).empty())
            rows.Delete(rows.Count() - 1);
        const bool endsWithLineEnd = !R.RemovedText.empty() &&
                                     (R.RemovedText.back() == '\n' || R.RemovedText.back() == '\r');
        rows.SetRowAttribute(rows.Count() - 1,
                             endsWithLineEnd ? TRowAttribute::LineEnd : R.RemovedAttribute);
        list.InsertRowList(R.Row, rows);
        inserted = rows.Count();
    }
    const int reparsed = list.Reparse(R.Row, true);
    list.SetChangeRecord(R.Row, removed, reparsed, inserted);
    R.InsertedCount = inserted;
    R.RemovedAttribute = attr;
    R.RemovedText = std::move(text);
}

void TEditorUndoObj::Undo() {
    UndoRecord* r = FUndoList.Last();
    if (!r) return;
    ApplyGuard guard(*FList);
    UndoRecord inverse = *r;
    apply(inverse);
    PushRedo(inverse);
    guard.Finish(*r);
    FUndoList.DeleteLast();
}

void TEditorUndoObj::Redo() {
    UndoRecord* r = FRedoList.Last();
    if (!r) return;
    ApplyGuard guard(*FList);
    UndoRecord inverse = *r;
    apply(inverse);
    FRedoing = true;
    try {
        UndoRecord* u = NewRecord();
        u->Row = inverse.Row;
        u->InsertedCount = inverse.InsertedCount;
        u->RemovedAttribute = inverse.RemovedAttribute;
        u->RemovedText = std::move(inverse.RemovedText);
    } catch (...) {
        FRedoing = false;
        throw;
    }
    FRedoing = false;
    guard.Finish(*r);
    FRedoList.DeleteLast();
}

} // namespace quire
