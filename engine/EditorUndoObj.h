// Undo and redo: records of replaced rows, and the two lists of one document. The lists are
// plain data; the document store applies a record to its rows.
#pragma once

#include "RowState.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace quire {

// One step: the rows' old text, not a description of the operation. Of that text only what
// the change altered is kept: the removed rows' text (each LineEnd row followed by CR LF) is
// the first KeptPrefix bytes of the inserted rows' text, then RemovedText, then their last
// KeptSuffix bytes. So a key typed into a long line costs the key, not the line.
struct UndoRecord {
    int32_t CaretRow = 0;
    int32_t CaretCol = 0;
    int32_t Row = -1;                                            // first row the change touched
    int32_t InsertedCount = 0;                                   // rows the change inserted at Row
    TRowAttribute RemovedAttribute = TRowAttribute::NoAttribute; // of the last removed row
    std::string RemovedText;                                     // what lies between the kept bytes
    std::size_t KeptPrefix = 0;
    std::size_t KeptSuffix = 0;
    // A step of many changes (a replace-all) is their records, in the order they were made;
    // its own fields above are then unused.
    std::vector<UndoRecord> Steps;
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

// The undo manager of one document, shared by all its editors: the undo list (at most
// ListMax records, the oldest dropped first) and the redo list.
class TEditorUndoObj {
public:
    static constexpr int DefaultListMax = 64;

    virtual ~TEditorUndoObj() = default;

    int ListMax() const noexcept { return FListMax; }
    // Never below 64.
    void SetListMax(int Value) noexcept { FListMax = Value < DefaultListMax ? DefaultListMax : Value; }
    const TUndoDataList& UndoList() const noexcept { return FUndoList; }
    const TUndoDataList& RedoList() const noexcept { return FRedoList; }

    // A fresh record with the caret of the editor making the change, appended to the undo
    // list. A new edit empties the redo list; the record a redo leaves behind does not.
    enum class TRedoList { Clear, Keep };
    UndoRecord* NewRecord(int CaretRow, int CaretCol, TRedoList Redo = TRedoList::Clear);
    // Between BeginGroup and EndGroup every new record is a step of one record, undone and
    // redone as one. The group's caret is the one before its first change; a group that got
    // no record is dropped.
    void BeginGroup(int CaretRow, int CaretCol);
    void EndGroup();
    bool CanRedo() const noexcept { return !FRedoList.Empty(); }
    bool CanUndo() const noexcept { return !FUndoList.Empty(); }
    // Appends a copy of R, with the given caret, to the redo list.
    void PushRedo(const UndoRecord& R, int CaretRow, int CaretCol);
    void DeleteLastUndo() { FUndoList.DeleteLast(); }
    void DeleteLastRedo() { FRedoList.DeleteLast(); }
    void Clear() noexcept;

private:
    int FListMax = DefaultListMax;
    UndoRecord* FGroup = nullptr;
    TUndoDataList FRedoList;
    TUndoDataList FUndoList;
};

} // namespace quire
