// TEditorScreenStrings: the document, a list of screen rows with attributes and row states.
#pragma once

#include "EditorLink.h"
#include "EditorUndoObj.h"
#include "EditorWrapOption.h"
#include "OutsideCharTable.h"
#include "RowAttributeStringList.h"
#include "StoreObserver.h"
#include "TextLoader.h"
#include "WordWrap.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quire {

// What the last change did, for the editors' repaint: rows from ChangedRow were deleted,
// inserted and re-parsed.
struct TChangeRecord {
    int32_t ChangedRow = 0;
    int32_t DeletedRows = 0;
    int32_t InsertedRows = 0;
    int32_t ReparsedRows = 0;
    bool Changed = false;
};

// A caret position computed from a text offset.
struct TCaretPos {
    int Row = 0;
    int Col = 0;
};

// Invariants: rows never hold CR or LF; only the last row may be EndOfFile; the last row is
// never Wrapped; with WordWrap off no row is Wrapped. The text is the concatenation of the
// rows, each LineEnd row followed by CR LF. Every user edit passes through ReplaceRows,
// which records one undo step.
//
// The store belongs to the editors attached to it: it is created by an editor and destroys
// itself when its last editor detaches.
class TEditorScreenStrings : public TRowAttributeStringList {
public:
    TEditorScreenStrings();
    ~TEditorScreenStrings() override;

    // Attached editors.
    void AddEditor(TEditorLink* Editor);
    // Detaches Editor; when none is left the store deletes itself.
    void RemoveEditor(TEditorLink* Editor);
    int EditorCount() const noexcept { return static_cast<int>(FEditors.size()); }
    TEditorLink* Editor(int Index) const { return FEditors.at(static_cast<size_t>(Index)); }
    TEditorLink* FirstEditor() const noexcept { return FEditors.empty() ? nullptr : FEditors.front(); }
    TEditorLink* ActiveEditor() const noexcept;

    TChangeRecord ChangeRecord;
    // The one outside listener told of every change of the rows (not owned; none by default).
    void SetObserver(TStoreObserver* Observer) noexcept { FObserver = Observer; }
    TStoreObserver* Observer() const noexcept { return FObserver; }
    TEditorUndoObj& UndoObj();
    bool WordWrap() const noexcept { return FWordWrap; }
    // The table of the characters code page 932 lacks that this document's codes stand for
    // (pages read from UTF-8, UTF-16 and EUC have one, and every page once such a character is
    // typed or pasted), shared by every editor of the store; null until then.
    TOutsideCharTable* CharTable() const noexcept { return FCharTable.get(); }
    // The same table, for what keeps it beyond the store's life (a copy on the clipboard).
    std::shared_ptr<const TOutsideCharTable> SharedCharTable() const noexcept { return FCharTable; }
    void SetCharTable(std::shared_ptr<TOutsideCharTable> Table) noexcept { FCharTable = std::move(Table); }
    // The table, made now when there is none yet: the text's own user-defined characters keep
    // their codes, and the characters code page 932 holds under other code points take those
    // codes (the table is not ExactUnicode: the page's code is not Unicode).
    TOutsideCharTable& OwnCharTable();
    TEditorWrapOption& WrapOption();
    const TEditorWrapOption& WrapOption() const { return const_cast<TEditorScreenStrings*>(this)->WrapOption(); }

    // The column model as the first editor and the wrap settings make it.
    TColumnContext ColumnContext() const;

    int LineStartRow(int Row) const;
    int LineEndRow(int Row) const;

    // Text offsets. A row takes its own bytes in the text, and a LineEnd row two more for its
    // CR LF (RowTextSpan). Walking from an offset to a row, the EndOfFile row counts one byte
    // more (RowSpan), so that any offset at or past the end of the text lands on it.
    int RowTextSpan(int Row) const {
        return static_cast<int>(Get(Row).size()) + (RowAttribute(Row) == TRowAttribute::LineEnd ? 2 : 0);
    }
    int RowSpan(int Row) const { return RowTextSpan(Row) + (RowAttribute(Row) == TRowAttribute::EndOfFile ? 1 : 0); }
    // The text offset of the start of row Row, counted from the start of row From.
    int RowOffset(int Row, int From = 0) const;
    // The row that holds text offset Offset counted from the start of row From (the
    // EndOfFile row for any offset past the end; Count() past a last LineEnd row), and the
    // offset left within that row.
    int RowOfOffset(int Offset, int From = 0, int* Rest = nullptr) const;
    // The characters of the text as the character count shows them (cp932::TCharCounter: line
    // ends, spaces, tabs and full-width spaces are not counted), kept as a running total:
    // counted over the whole text when first asked for after the text was made anew, then
    // adjusted by every edit, undo and redo by what it changed.
    int64_t CharacterCount();
    // How often the count was made over the whole text (for tests: edits never need one).
    int WholeTextCounts() const noexcept { return FWholeTextCounts; }
    // The text of Count rows from Row (Count -1: to the end of the logical line), each
    // LineEnd row followed by CR LF.
    std::string GetRowsText(int Row, int Count, TRowAttribute& Attribute, int& RowCount) const;
    std::string GetRowsText(int Row, int Count) const;
    // The same text of Count rows from Row (0 <= Row, Row + Count <= Count()) without a copy
    // where it can be had so: a view of the block the rows lie in when the block holds it as it
    // stands (rows read whole from a file with CR LF line ends, not changed since), else the
    // text copied into Buffer. Valid until the rows or Buffer change.
    std::string_view RowsText(int Row, int Count, std::string& Buffer) const;

    void ReplaceRows(int Row, int Count, std::string_view Text);
    // ReplaceRows for the rows First..Last, of which those past the last row are none (First
    // may be the row count: the text is added at the end).
    void ReplaceRowRange(int First, int Last, std::string_view Text);
    // Replaces Length bytes of the text from offset Start by Text (its line ends stored as CR
    // LF) as one edit of the rows they touch; an offset inside a line end counts as the place
    // before it. Returns where the caret goes: the offset just after the new text counted from
    // row Base (see BaseRow).
    int ReplaceText(int Start, int Length, std::string_view Text, int& Base);
    // Replaces Length bytes at each of Starts (offsets in the text as it stands, ascending,
    // apart) by Text, each in its place, as one undo step; the rows are re-parsed and the
    // editors told once. Returns the offset just after the last new text, in the new text.
    int ReplaceRanges(const std::vector<int>& Starts, int Length, std::string_view Text);
    // The row where ReplaceRows(Row, ...) starts re-wrapping. It and the rows above keep
    // their place, so a text offset measured from it before an edit still points at the
    // same text after it: every caret placement after an edit measures from here.
    int BaseRow(int Row) const;
    void DeleteRows(int Row, int Count);
    void InsertRowList(int Row, const TEditorStringList& List);
    void ReplaceRowList(int Row, int Count, const TEditorStringList& List);

    void TextToRows(std::string_view Text, TEditorStringList& List);
    int WrappedRowCount(std::string_view Text);
    void WrapAll();
    void UnwrapAll();
    void SetWordWrap(bool Value);
    void WrapOptionChanged();

    // Brings the row states up to date from Row; returns how many rows got a new state. When
    // the last known state lies far above Row and the first editor parses in the background,
    // the rows from there on are left to that (Row's state stays unknown for now).
    int Reparse(int Row, bool Notify);
    void ReparseAll();
    // The background parse: computes the states of the rows after the last known one, in
    // order, for about Budget, repainting them; true while rows without a state remain.
    bool ParseAhead(std::chrono::steady_clock::duration Budget);
    bool ParsePending() const;
    // Rows visited by the last Reparse (for measurements).
    int LastReparseVisited() const noexcept { return FLastReparseVisited; }

    void SetChangeRecord(int Row, int Deleted, int Reparsed, int Inserted);
    // Undoes the newest step (or redoes the newest undone one): the rows come back and the
    // active editor's caret goes where it stood before the step.
    void Undo();
    void Redo();
    void Clear();

    // The whole text, and replacing it (both as the Text of Lines).
    std::string GetTextStr() const;
    void SetTextStr(std::string_view Value);
    // Replaces the text as SetTextStr does, with a text that Fill hands to the loader piece by
    // piece (so that a file can go into rows without being held whole). When Fill raises,
    // the document stays as it was.
    void LoadText(const std::function<void(TTextLoader&)>& Fill);
    // Reads a file's bytes as they are, as Lines.LoadFromFile.
    void LoadFromFile(const std::string& FileName);

    // The caret position reached by walking Offset bytes of text from row Row.
    TCaretPos CaretPosByOffset(int Row, int Offset) const;
    void SetCaretByOffset(TEditorLink* Editor, int Row, int Offset) const;

    void NotifyEditors();
    void ClampCarets();
    void UpdateEditors();
    void ResetColumns();

protected:
    void Changed() override;
    void RowsInserted(int Index, int N) override;
    void RowsDeleted(int Index, int N) override;
    void RowsReplaced() override { FParsedEnd = Count(); }
    virtual std::unique_ptr<TEditorUndoObj> CreateUndoObj();
    virtual std::unique_ptr<TEditorWrapOption> CreateWrapOption();

private:
    // A new undo record with the active editor's caret.
    UndoRecord* newUndoRecord(TEditorUndoObj::TRedoList Redo = TEditorUndoObj::TRedoList::Clear);
    // Applies R to the rows (the steps shared by Undo and Redo) and turns R into its inverse.
    void applyUndoRecord(UndoRecord& R);
    // Keeps in R only what a change altered of Removed, the text of the rows it took away:
    // what Removed shares at its start and end with the rows Row..Row+Inserted-1 that took
    // their place is left in those rows (see UndoRecord).
    void keepRemovedText(UndoRecord& R, std::string_view Removed, int Row, int Inserted) const;
    // R's removed text in full, from Inserted, the text of the rows it inserted.
    static std::string removedText(const UndoRecord& R, std::string_view Inserted);
    // Applies the newest record of List, hands its inverse to KeepInverse, and drops it.
    void replayNewest(const TUndoDataList& List, const std::function<void(UndoRecord& Inverse)>& KeepInverse,
                      void (TEditorUndoObj::*DropNewest)());
    // The rows made anew from the text by the current wrap rules, states and editors with them.
    void rewrapEverything();
    int screenRows() const;
    void dropSelections();
    void markNotParsed(int From);
    // Asks the first editor to go on parsing in the background; false when it does not.
    bool requestBackgroundParse();
    // True when parsing the rows From..Row-1 would take longer than a user should wait.
    bool farBelowKnown(int From, int Row) const;
    // The row after the last row before Row that has a known state (0 when none has).
    int firstUnparsed(int Row) const;
    int rewrapStart(int Row) const;
    void storeState(int Row, const TRowState& State);
    void copyRow(int Row, const TEditorStringList& List, int Index);
    // Splits Text into rows at line ends (and wraps them with WordWrap on) into List.
    void splitIntoRows(std::string_view Text, TEditorStringList& List);
    // The text of rows First..Last: a view of the list's block when they lie one after
    // another in it (Borrowed), else a copy in Joined.
    std::string_view lineText(int First, int Last, std::string& Joined, bool& Borrowed) const;
    // Replaces rows First..Last by the pieces of Line, pointing into Line when Borrowed.
    void replaceLineRows(int First, int Last, std::string_view Line, bool Borrowed,
                         const std::vector<TWrapPiece>& Pieces);
    // A change of rows as the running character count sees it: Begin is measured before the
    // change (the rows that go, with the bytes around them their decoding depends on), End
    // after it (the rows that came in their place).
    struct TCountChange {
        bool Active = false;
        std::string Before, After;
        int64_t Old = 0;
    };
    // Rows Row..Row+Count-1 are about to be replaced: the observer is told, and their count is
    // taken for endCount.
    TCountChange beginChange(int Row, int Count) const;
    void endCount(const TCountChange& Change, int Row, int Inserted);
    bool countCurrent() const noexcept { return FCountKnown && FCountedChanges == TextChanges(); }
    // The bytes before row Row back to where decoding starts afresh (after a byte that is no
    // lead byte); the bytes from row Row on up to and including the first such byte. Both stay
    // within one logical line.
    std::string countContextBefore(int Row) const;
    std::string countContextAfter(int Row) const;
    int64_t countRows(std::string_view Before, int Row, int Count, std::string_view After) const;
    // Many changes made as one (ReplaceRanges, undoing or redoing one): while a bulk change is
    // open, re-parsing waits; when the outermost one closes, the rows from the first one
    // changed are re-parsed once and the change record covers everything from there.
    void beginBulk();
    void endBulk();
    friend class TBulkGuard;
    // Gives row Row the attribute and the state of a row not parsed yet.
    void resetRow(int Row, TRowAttribute Attribute);

    // Tells the observer that the rows were made anew as a whole.
    void textReplaced() {
        if (FObserver) FObserver->TextReplaced(*this);
    }

    std::vector<TEditorLink*> FEditors;
    TStoreObserver* FObserver = nullptr;
    std::unique_ptr<TEditorUndoObj> FUndoObj;
    bool FWordWrap = false;
    std::shared_ptr<TOutsideCharTable> FCharTable;
    std::unique_ptr<TEditorWrapOption> FWrapOption;
    int FLastReparseVisited = 0;
    // Parsing on demand (an edit, painting a row) goes at most this far past the last known
    // state: about 2 MB of text, some milliseconds; each row counts a little on its own.
    static constexpr std::size_t kOnDemandParseBytes = std::size_t(2) << 20;
    static constexpr std::size_t kRowParseCost = 32;
    // No row at or after this index has a parsed state (an upper bound kept through every
    // insertion and deletion), so invalidating the states past a row touches no more rows
    // than were ever parsed.
    int FParsedEnd = 0;
    bool FDestroying = false;
    // The running character count, valid while FCountKnown and no change of the rows went past
    // it (FCountedChanges is the rows' TextChanges() it was last brought up to date with).
    int64_t FCharCount = 0;
    bool FCountKnown = false;
    uint64_t FCountedChanges = 0;
    int FWholeTextCounts = 0;
    int FBulkDepth = 0;
    int FBulkFrom = 0;       // the first row a bulk change touched
    int FBulkRowsBefore = 0; // the row count when it began
};

} // namespace quire
