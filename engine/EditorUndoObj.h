// Undo and redo: records of replaced rows and the manager that applies them.
#pragma once

#include "RowState.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace quire {

class TEditorScreenStrings;

// One step: the rows' old text, not a description of the operation.
struct UndoRecord {
    int32_t CaretRow = 0;
    int32_t CaretCol = 0;
    int32_t Row = -1;          // first row the change touched
    int32_t InsertedCount = 0; // rows the change inserted at Row
    TRowAttribute RemovedAttribute = TRowAttribute::NoAttribute; // of the last removed row
    std::string RemovedText;   // each LineEnd row followed by CR LF
};

// A list of records that owns them; the newest is the last entry.
class TUndoDataList {
public:
    int Count() const noexcept { return static_cast<int>(FItems.size()); }
    bool Empty() const noexcept { return FItems.empty(); }
    UndoRecord* Last() const noexcept { return FItems.empty() ? nullptr : FItems.back().get(); }
    UndoRecord* Item(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    UndoRecord* Add(std::unique_ptr<UndoRecord> R) {
        FItems.push_back(std::move(R));
        return FItems.back().get();
    }
    void DeleteFirst() { FItems.pop_front(); }
    void DeleteLast() { FItems.pop_back(); }
    void Clear() noexcept { FItems.clear(); }

private:
    std::deque<std::unique_ptr<UndoRecord>> FItems;
};

// The undo manager of one document, shared by all its editors.
class TEditorUndoObj {
public:
    static constexpr int DefaultListMax = 64;

    explicit TEditorUndoObj(TEditorScreenStrings* List) : FList(List) {}
    virtual ~TEditorUndoObj() = default;

    int ListMax() const noexcept { return FListMax; }
    // Never below 64.
    void SetListMax(int Value) noexcept { FListMax = Value < DefaultListMax ? DefaultListMax : Value; }
    bool Redoing() const noexcept { return FRedoing; }
    const TUndoDataList& UndoList() const noexcept { return FUndoList; }
    const TUndoDataList& RedoList() const noexcept { return FRedoList; }

    // A fresh record with the active editor's caret, appended to the undo list (the oldest
    // dropped beyond ListMax); a new edit empties the redo list unless a redo is running.
    virtual UndoRecord* NewRecord();
    virtual bool CanRedo() const { return !FRedoList.Empty(); }
    virtual bool CanUndo() const { return !FUndoList.Empty(); }
    virtual void Redo();
    virtual void Undo();
    // Appends a copy of R, with the active editor's current caret, to the redo list.
    virtual void PushRedo(const UndoRecord& R);
    virtual void Clear();

private:
    // Applies R to the rows (steps shared by Undo and Redo) and turns R into its inverse.
    void apply(UndoRecord& R);

    TEditorScreenStrings* FList;
    int FListMax = DefaultListMax;
    bool FRedoing = false;
    TUndoDataList FRedoList;
    TUndoDataList FUndoList;
};

} // namespace quire
