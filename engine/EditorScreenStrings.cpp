// TEditorScreenStrings: rows, the edit primitive, re-parsing and change notification.
#include "EditorScreenStrings.h"

#include "Cp932Table.h"
#include "PlatformError.h"
#include "ShiftJis.h"
#include "UpdateGuard.h"
#include "WordWrap.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace quire {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Opens an update of a string list for the lifetime of the guard.
using UpdateGuard = TUpdateGuard<TPointerStringList>;

// Detaches a list's change handler for the lifetime of the guard.
class DetachGuard {
public:
    explicit DetachGuard(TPointerStringList& list) : list_(list), saved_(std::move(list.OnChange)) {
        list_.OnChange = nullptr;
    }
    ~DetachGuard() { list_.OnChange = std::move(saved_); }
    DetachGuard(const DetachGuard&) = delete;
    DetachGuard& operator=(const DetachGuard&) = delete;

private:
    TPointerStringList& list_;
    TNotifyEvent saved_;
};

bool endsWithLineEnd(std::string_view s) { return !s.empty() && (s.back() == '\n' || s.back() == '\r'); }

} // namespace

TEditorScreenStrings::TEditorScreenStrings() {
    OnChange = [this](TObject*) { NotifyEditors(); };
}

TEditorScreenStrings::~TEditorScreenStrings() {
    FDestroying = true;
    OnChange = nullptr;
}

TEditorUndoObj& TEditorScreenStrings::UndoObj() {
    if (!FUndoObj) FUndoObj = CreateUndoObj();
    return *FUndoObj;
}

TEditorWrapOption& TEditorScreenStrings::WrapOption() {
    if (!FWrapOption) {
        FWrapOption = CreateWrapOption();
        FWrapOption->OnChange = [this](TObject*) { WrapOptionChanged(); };
    }
    return *FWrapOption;
}

std::unique_ptr<TEditorUndoObj> TEditorScreenStrings::CreateUndoObj() { return std::make_unique<TEditorUndoObj>(); }

std::unique_ptr<TEditorWrapOption> TEditorScreenStrings::CreateWrapOption() {
    return std::make_unique<TEditorWrapOption>();
}

// --- editors -------------------------------------------------------------------------

void TEditorScreenStrings::AddEditor(TEditorLink* Editor) { FEditors.push_back(Editor); }

void TEditorScreenStrings::RemoveEditor(TEditorLink* Editor) {
    auto it = std::find(FEditors.begin(), FEditors.end(), Editor);
    if (it == FEditors.end()) return;
    FEditors.erase(it);
    if (FEditors.empty()) {
        delete this; // the document dies with its last editor
        return;
    }
    // The background parse goes on in the editor that is first now.
    if (ParsePending()) requestBackgroundParse();
}

TEditorLink* TEditorScreenStrings::ActiveEditor() const noexcept {
    for (TEditorLink* e : FEditors) {
        if (e->Focused()) return e;
    }
    return FirstEditor();
}

TColumnContext TEditorScreenStrings::ColumnContext() const {
    TColumnContext c;
    if (TEditorLink* e = FirstEditor()) {
        c.TabSpaceCount = e->TabSpaceCount();
        c.Delimiters = e->Delimiters();
    }
    c.WordWrap = FWordWrap;
    c.WrapByte = WrapOption().WrapByte();
    return c;
}

int TEditorScreenStrings::screenRows() const {
    TEditorLink* e = FirstEditor();
    return e ? std::max(e->ScreenRows(), 0) : 0;
}

void TEditorScreenStrings::dropSelections() {
    for (TEditorLink* e : FEditors) e->ClearSelection();
}

void TEditorScreenStrings::NotifyEditors() {
    for (TEditorLink* e : std::vector<TEditorLink*>(FEditors)) e->StoreChanged();
}

void TEditorScreenStrings::Changed() {
    if (UpdateCount() > 0 || FDestroying) return;
    TRowAttributeStringList::Changed(); // runs NotifyEditors unless detached
    ChangeRecord = {};
    ClampCarets();
}

void TEditorScreenStrings::ClampCarets() {
    const int count = Count();
    const int limit = (count > 0 && RowAttribute(count - 1) == TRowAttribute::EndOfFile) ? count - 1 : count;
    for (TEditorLink* e : FEditors) {
        if (e->Row() > count - 1) e->SetRow(limit);
        if (e->TopRow() > count - 1) e->SetTopRow(limit);
    }
}

void TEditorScreenStrings::UpdateEditors() {
    for (TEditorLink* e : FEditors) e->UpdateView();
}

void TEditorScreenStrings::ResetColumns() {
    for (TEditorLink* e : FEditors) e->SetCol(0);
}

void TEditorScreenStrings::SetChangeRecord(int Row, int Deleted, int Reparsed, int Inserted) {
    if (FBulkDepth > 0) {
        FBulkFrom = std::min(FBulkFrom, std::max(Row, 0));
        return;
    }
    ChangeRecord.ChangedRow = Row;
    ChangeRecord.DeletedRows = Deleted;
    ChangeRecord.ReparsedRows = Reparsed;
    ChangeRecord.InsertedRows = Inserted;
    ChangeRecord.Changed = true;
}

// --- rows and ranges -----------------------------------------------------------------

int TEditorScreenStrings::LineStartRow(int Row) const {
    const int count = Count();
    int r = Row;
    while (r > 0 && r - 1 < count && RowAttribute(r - 1) == TRowAttribute::Wrapped) --r;
    return r;
}

int TEditorScreenStrings::LineEndRow(int Row) const {
    if (Row < 0) return Row;
    const int last = Count() - 1;
    int r = Row;
    while (r < last && RowAttribute(r) == TRowAttribute::Wrapped) ++r;
    return r;
}

std::string TEditorScreenStrings::GetRowsText(int Row, int Count, TRowAttribute& Attribute, int& RowCount) const {
    const int count = this->Count();
    if (Row < 0 || Row >= count) {
        Attribute = TRowAttribute::NoAttribute;
        RowCount = 0;
        return {};
    }
    int last = Count < 0 ? LineEndRow(Row) : std::min(Row + Count - 1, count - 1);
    if (Count == 0) last = Row - 1;
    // Counted in size_t: a whole text of line ends may pass INT_MAX bytes once each is CR LF.
    std::size_t length = 0;
    for (int r = Row; r <= last; ++r) length += static_cast<std::size_t>(RowTextSpan(r));
    std::string text;
    text.reserve(length);
    for (int r = Row; r <= last; ++r) {
        text += Get(r);
        if (RowAttribute(r) == TRowAttribute::LineEnd) text += kCrLf;
    }
    RowCount = last - Row + 1;
    Attribute = RowCount > 0 ? RowAttribute(last) : TRowAttribute::NoAttribute;
    return text;
}

int TEditorScreenStrings::RowOffset(int Row, int From) const {
    const int count = Count();
    const int end = std::min(Row, count);
    const int from = std::max(From, 0);
    return end > from ? TextOffset(end) - TextOffset(from) : 0;
}

int TEditorScreenStrings::RowOfOffset(int Offset, int From, int* Rest) const {
    const int count = Count();
    const int from = std::max(From, 0);
    if (from >= count) {
        if (Rest) *Rest = std::max(Offset, 0);
        return count;
    }
    const int target = TextOffset(from) + std::max(Offset, 0);
    int r = IndexOfOffset(target, from);
    // Past the end the EndOfFile row takes every offset; after a last LineEnd row the place
    // after the text does.
    if (r == count && RowAttribute(count - 1) == TRowAttribute::EndOfFile) r = count - 1;
    if (Rest) *Rest = target - TextOffset(r);
    return r;
}

std::string TEditorScreenStrings::GetRowsText(int Row, int Count) const {
    TRowAttribute attr;
    int rows = 0;
    return GetRowsText(Row, Count, attr, rows);
}

std::string_view TEditorScreenStrings::RowsText(int Row, int Count, std::string& Buffer) const {
    if (Count <= 0) return {};
    // The rows must follow one another in one block, each LineEnd row's text followed there by
    // CR LF, a Wrapped row's by the next row at once.
    const char* const first = Get(Row).data();
    const TTextBlock* block = Borrowed(Row) ? BlockOf(first) : nullptr;
    const char* const limit = block ? block->Data() + block->Capacity() : nullptr;
    const char* expected = first;
    for (int r = Row; block && r < Row + Count; ++r) {
        const std::string_view text = Get(r);
        if (!text.empty() && (!Borrowed(r) || text.data() != expected)) block = nullptr;
        expected += text.size();
        if (block && RowAttribute(r) == TRowAttribute::LineEnd) {
            if (limit - expected < 2 || expected[0] != '\r' || expected[1] != '\n') block = nullptr;
            expected += 2;
        }
    }
    if (block) return {first, static_cast<std::size_t>(expected - first)};
    Buffer = GetRowsText(Row, Count);
    return Buffer;
}

// --- the edit primitive --------------------------------------------------------------

int TEditorScreenStrings::rewrapStart(int Row) const {
    const int lineStart = LineStartRow(Row);
    if (lineStart >= Row) return Row;
    // Where a wrapped row ends depends on the text up to WrapByte + 3 columns (plus a tab
    // and one character of look-ahead) past its start, and a byte takes at least one
    // column. Rows that start at least that far before the edit keep their breaks; the
    // rows after them are broken afresh, so the line ends up broken exactly as if it had
    // been wrapped whole. Short rows (a word break gives up at a third of the width) can
    // make that reach back more than the one row before the edit.
    const std::size_t window = 2 * static_cast<std::size_t>(WrapOption().WrapByte()) + 16;
    std::size_t bytes = 0;
    int start = Row;
    while (start > lineStart && bytes < window) {
        --start;
        bytes += Get(start).size();
    }
    return start;
}

int TEditorScreenStrings::BaseRow(int Row) const {
    // Text added after a last row that has no line end continues that row.
    const int count = Count();
    const bool continuesLast = Row == count && count > 0 && RowAttribute(count - 1) == TRowAttribute::EndOfFile;
    return rewrapStart(continuesLast ? Row - 1 : Row);
}

void TEditorScreenStrings::ReplaceRows(int Row, int Count, std::string_view Text) {
    const int count = this->Count();
    if (Row < 0 || Count < 0 || Row + Count - 1 > count - 1 || (Count == 0 && Text.empty())) return;

    const int start = BaseRow(Row);
    const int last = Row + Count - 1;
    int end = LineEndRow(last);
    // The re-wrap starts at or before the edit and takes in whole logical lines past it.
    assert(0 <= start && start <= Row && last <= end && end < std::max(count, 1));

    UpdateGuard update(*this);
    int deleted = 0, inserted = 0, reparsed = 0;

    if (start == Row && end == last && Text.empty() && Count > 0) {
        // Whole logical lines are deleted.
        const TCountChange counted = beginChange(Row, Count);
        UndoRecord* rec = newUndoRecord();
        rec->Row = Row;
        rec->RemovedText = GetRowsText(Row, Count, rec->RemovedAttribute, deleted);
        DeleteRows(Row, Count);
        endCount(counted, Row, 0);
        reparsed = Reparse(Row, true);
        if (FObserver) FObserver->RowsReplaced(*this, Row, deleted, 0, rec->RemovedText);
    } else {
        TRowAttribute lastAttr;
        if (last < end) {
            lastAttr = RowAttribute(end);
        } else if (end < count - 1) {
            end = LineEndRow(end + 1); // the next logical line joins in
            lastAttr = RowAttribute(end);
        } else if (Text.empty()) {
            lastAttr = TRowAttribute::EndOfFile;
        } else {
            lastAttr = endsWithLineEnd(Text) ? TRowAttribute::LineEnd : TRowAttribute::EndOfFile;
        }
        const TCountChange counted = beginChange(start, end - start + 1);
        UndoRecord* rec = newUndoRecord();
        rec->Row = start;
        const std::string removed = GetRowsText(start, end - start + 1, rec->RemovedAttribute, deleted);

        std::string before = GetRowsText(start, Row - start);
        std::string after = GetRowsText(last + 1, end - last);
        std::string text;
        text.reserve(before.size() + Text.size() + after.size());
        text += before;
        text += Text;
        text += after;

        // A text that ends with a line end keeps it: this happens when the rows after the
        // edit are only an empty last row without a line end, which has nothing to keep.
        if (endsWithLineEnd(text)) lastAttr = TRowAttribute::LineEnd;
        TEditorStringList list;
        TextToRows(text, list);
        list.SetRowAttribute(list.Count() - 1, lastAttr);
        inserted = list.Count();
        rec->InsertedCount = inserted;
        ReplaceRowList(start, end - start + 1, list);
        endCount(counted, start, inserted);
        keepRemovedText(*rec, removed, start, inserted);
        reparsed = Reparse(start, true);
        if (FObserver) FObserver->RowsReplaced(*this, start, deleted, inserted, removed);
    }
    SetChangeRecord(start, deleted, reparsed, inserted);
}

void TEditorScreenStrings::DeleteRows(int Row, int Count) {
    if (Row < 0 || Row >= this->Count() || Count <= 0) return;
    DeleteRange(Row, std::min(Count, this->Count() - Row));
}

void TEditorScreenStrings::InsertRowList(int Row, const TEditorStringList& List) {
    const int n = List.Count();
    if (n == 0) return;
    UpdateGuard update(*this);
    InsertEmpty(Row, n);
    for (int i = 0; i < n; ++i) copyRow(Row + i, List, i);
}

void TEditorScreenStrings::ReplaceRowList(int Row, int Count, const TEditorStringList& List) {
    const int n = List.Count();
    UpdateGuard update(*this);
    if (n < Count) DeleteRows(Row, Count - n);
    if (n > Count) InsertEmpty(Row + Count, n - Count);
    for (int i = 0; i < n; ++i) copyRow(Row + i, List, i);
}

// --- the running character count ----------------------------------------------------

int64_t TEditorScreenStrings::CharacterCount() {
    if (!countCurrent()) {
        FCharCount = countRows({}, 0, Count(), {});
        FCountKnown = true;
        FCountedChanges = TextChanges();
        ++FWholeTextCounts;
    }
    return FCharCount;
}

int64_t TEditorScreenStrings::countRows(std::string_view Before, int Row, int Count, std::string_view After) const {
    cp932::TCharCounter counter;
    counter.Add(Before);
    for (int r = Row; r < Row + Count; ++r) {
        counter.Add(Get(r));
        if (RowAttribute(r) == TRowAttribute::LineEnd) counter.Add(kCrLf);
    }
    counter.Add(After);
    return counter.Finish();
}

std::string TEditorScreenStrings::countContextBefore(int Row) const {
    std::string context;
    for (int r = Row - 1; r >= 0 && r < Count() && RowAttribute(r) == TRowAttribute::Wrapped; --r) {
        const std::string_view text = Get(r);
        std::size_t i = text.size();
        while (i > 0 && sjis::IsLeadByte(text[i - 1])) --i;
        context.insert(0, text.substr(i));
        if (i > 0) break; // a byte that is no lead byte: decoding starts afresh after it
    }
    return context;
}

std::string TEditorScreenStrings::countContextAfter(int Row) const {
    // Taken whatever ends the row before: a change may turn a line end there into a wrap.
    std::string context;
    for (int r = std::max(Row, 0); r < Count(); ++r) {
        const std::string_view text = Get(r);
        std::size_t i = 0;
        while (i < text.size() && sjis::IsLeadByte(text[i])) ++i;
        if (i < text.size()) return context.append(text.substr(0, i + 1));
        context += text;
        if (RowAttribute(r) != TRowAttribute::Wrapped) {
            if (RowAttribute(r) == TRowAttribute::LineEnd) context += '\r';
            break;
        }
    }
    return context;
}

TEditorScreenStrings::TCountChange TEditorScreenStrings::beginChange(int Row, int Count) const {
    if (FObserver) FObserver->RowsChanging(*this, Row, Count);
    TCountChange c;
    if (!countCurrent()) return c;
    c.Active = true;
    c.Before = countContextBefore(Row);
    c.After = countContextAfter(Row + Count);
    c.Old = countRows(c.Before, Row, Count, c.After);
    return c;
}

void TEditorScreenStrings::endCount(const TCountChange& Change, int Row, int Inserted) {
    if (!Change.Active) return;
    FCharCount += countRows(Change.Before, Row, Inserted, Change.After) - Change.Old;
    FCountedChanges = TextChanges();
}

// Opens a bulk change of the store for the lifetime of the guard.
class TBulkGuard {
public:
    explicit TBulkGuard(TEditorScreenStrings& List) : FList(List) { FList.beginBulk(); }
    ~TBulkGuard() { FList.endBulk(); }
    TBulkGuard(const TBulkGuard&) = delete;
    TBulkGuard& operator=(const TBulkGuard&) = delete;

private:
    TEditorScreenStrings& FList;
};

void TEditorScreenStrings::beginBulk() {
    if (FBulkDepth++ > 0) return;
    FBulkFrom = Count();
    FBulkRowsBefore = Count();
    if (FObserver) FObserver->ChangesBegun(*this);
}

void TEditorScreenStrings::endBulk() {
    if (--FBulkDepth > 0) return;
    if (FObserver) FObserver->ChangesEnded(*this);
    const int from = FBulkFrom;
    if (from >= std::max(FBulkRowsBefore, Count()) && FBulkRowsBefore == Count()) return; // nothing changed
    // The states from the first changed row on were made for the old text.
    markNotParsed(from);
    const int reparsed = Reparse(from, true);
    SetChangeRecord(from, FBulkRowsBefore - from, reparsed, Count() - from);
}

void TEditorScreenStrings::ReplaceRowRange(int First, int Last, std::string_view Text) {
    const int count = Count();
    if (First > count - 1)
        ReplaceRows(First, 0, Text);
    else if (Last > count - 1)
        ReplaceRows(First, Last - First, Text);
    else
        ReplaceRows(First, Last - First + 1, Text);
}

int TEditorScreenStrings::ReplaceText(int Start, int Length, std::string_view Text, int& Base) {
    const std::string T = sjis::WithCrLf(Text); // as stored, for the caret's place
    int startRest = 0, endRest = 0;
    const int first = RowOfOffset(Start, 0, &startRest);
    const int last = std::max(first, RowOfOffset(Start + Length, 0, &endRest));
    const int count = Count();
    const std::string_view firstRow = first < count ? Get(first) : std::string_view();
    const std::string_view lastRow = last < count ? Get(last) : std::string_view();
    // An offset inside a line end counts as the place before it.
    const std::size_t head = std::min(static_cast<std::size_t>(startRest), firstRow.size());
    if (last == first && endRest < startRest) endRest = startRest;
    const std::string_view tail = lastRow.substr(std::min(static_cast<std::size_t>(endRest), lastRow.size()));
    std::string text;
    text.reserve(head + T.size() + tail.size() + 2);
    text.append(firstRow.substr(0, head)).append(T).append(tail);
    if (last < count && RowAttribute(last) == TRowAttribute::LineEnd) text += kCrLf;
    Base = first < count ? BaseRow(first) : first;
    const int offset = RowOffset(first, Base) + static_cast<int>(head);
    ReplaceRowRange(first, last, text);
    return offset + static_cast<int>(T.size());
}

int TEditorScreenStrings::ReplaceRanges(const std::vector<int>& Starts, int Length, std::string_view Text) {
    if (Starts.empty()) return -1;
    const TEditorLink* e = ActiveEditor();
    UndoObj().BeginGroup(e ? e->Row() : 0, e ? e->Col() : 0);
    struct TGroupEnd {
        TEditorUndoObj& Undo;
        ~TGroupEnd() { Undo.EndGroup(); }
    } groupEnd{UndoObj()};
    UpdateGuard update(*this);
    TBulkGuard bulk(*this);
    // Each range moves by what the replacements before it added or took away.
    int moved = 0, end = -1;
    for (const int start : Starts) {
        const int before = TextLength();
        int base = 0;
        const int after = ReplaceText(start + moved, Length, Text, base);
        end = TextOffset(base) + after;
        moved += TextLength() - before;
    }
    return end;
}

// --- undo and redo -------------------------------------------------------------------

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
    ApplyGuard(const ApplyGuard&) = delete;
    ApplyGuard& operator=(const ApplyGuard&) = delete;

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

UndoRecord* TEditorScreenStrings::newUndoRecord(TEditorUndoObj::TRedoList Redo) {
    const TEditorLink* e = ActiveEditor();
    return UndoObj().NewRecord(e ? e->Row() : 0, e ? e->Col() : 0, Redo);
}

namespace {

// Matches the piece First..Last against the bytes of Text from Done on, counting the bytes
// that agree into Done (never past Limit); true when the whole piece agreed.
template <typename Piece, typename TextAt>
bool matchPiece(Piece First, Piece Last, TextAt Text, std::size_t& Done, std::size_t Limit) {
    const auto n = std::min(static_cast<std::size_t>(Last - First), Limit - Done);
    const auto at =
        std::mismatch(First, First + static_cast<std::ptrdiff_t>(n), Text + static_cast<std::ptrdiff_t>(Done));
    Done += static_cast<std::size_t>(at.first - First);
    return at.first == Last;
}

} // namespace

void TEditorScreenStrings::keepRemovedText(UndoRecord& R, std::string_view Removed, int Row, int Inserted) const {
    // The inserted rows' text is walked piece by piece (a row's bytes, then CR LF after a
    // LineEnd row) where it lies, as GetRowsText would join it: from the front, then from the
    // back.
    const auto pieces = [this](int r) {
        return std::array<std::string_view, 2>{Get(r),
                                               RowAttribute(r) == TRowAttribute::LineEnd ? kCrLf : std::string_view()};
    };
    std::size_t total = 0;
    for (int r = Row; r < Row + Inserted; ++r) total += static_cast<std::size_t>(RowTextSpan(r));
    const std::size_t common = std::min(total, Removed.size());
    std::size_t prefix = 0;
    for (int r = Row; r < Row + Inserted; ++r) {
        const auto p = pieces(r);
        if (!matchPiece(p[0].begin(), p[0].end(), Removed.begin(), prefix, common) ||
            !matchPiece(p[1].begin(), p[1].end(), Removed.begin(), prefix, common))
            break;
    }
    std::size_t suffix = 0;
    const std::size_t rest = common - prefix;
    for (int r = Row + Inserted - 1; r >= Row; --r) {
        const auto p = pieces(r);
        if (!matchPiece(p[1].rbegin(), p[1].rend(), Removed.rbegin(), suffix, rest) ||
            !matchPiece(p[0].rbegin(), p[0].rend(), Removed.rbegin(), suffix, rest))
            break;
    }
    R.KeptPrefix = prefix;
    R.KeptSuffix = suffix;
    R.RemovedText.assign(Removed.substr(prefix, Removed.size() - prefix - suffix));
}

std::string TEditorScreenStrings::removedText(const UndoRecord& R, std::string_view Inserted) {
    assert(R.KeptPrefix + R.KeptSuffix <= Inserted.size());
    std::string text;
    text.reserve(R.KeptPrefix + R.RemovedText.size() + R.KeptSuffix);
    text += Inserted.substr(0, R.KeptPrefix);
    text += R.RemovedText;
    text += Inserted.substr(Inserted.size() - R.KeptSuffix);
    return text;
}

void TEditorScreenStrings::applyUndoRecord(UndoRecord& R) {
    if (!R.Steps.empty()) {
        // Undone from the last change to the first; the inverse redoes them in the other order.
        TBulkGuard bulk(*this);
        for (auto step = R.Steps.rbegin(); step != R.Steps.rend(); ++step) applyUndoRecord(*step);
        std::reverse(R.Steps.begin(), R.Steps.end());
        return;
    }
    // The rows the change inserted go.
    std::string text;
    TRowAttribute attr = TRowAttribute::NoAttribute;
    int removed = 0;
    const TCountChange counted = beginChange(R.Row, R.InsertedCount);
    if (R.InsertedCount > 0) {
        text = GetRowsText(R.Row, R.InsertedCount, attr, removed);
        DeleteRows(R.Row, R.InsertedCount);
    }
    // The rows it removed come back, wrapped by the current rules.
    const std::string old = removedText(R, text);
    int inserted = 0;
    if (R.RemovedAttribute != TRowAttribute::NoAttribute) {
        TEditorStringList rows;
        TextToRows(old, rows);
        if (R.RemovedAttribute == TRowAttribute::Wrapped && rows.Count() > 1 && rows.Get(rows.Count() - 1).empty())
            rows.Delete(rows.Count() - 1);
        rows.SetRowAttribute(rows.Count() - 1, endsWithLineEnd(old) ? TRowAttribute::LineEnd : R.RemovedAttribute);
        InsertRowList(R.Row, rows);
        inserted = rows.Count();
    }
    endCount(counted, R.Row, inserted);
    const int reparsed = Reparse(R.Row, true);
    SetChangeRecord(R.Row, removed, reparsed, inserted);
    if (FObserver) FObserver->RowsReplaced(*this, R.Row, removed, inserted, text);
    R.InsertedCount = inserted;
    R.RemovedAttribute = attr;
    keepRemovedText(R, text, R.Row, inserted);
}

void TEditorScreenStrings::replayNewest(const TUndoDataList& List,
                                        const std::function<void(UndoRecord& Inverse)>& KeepInverse,
                                        void (TEditorUndoObj::*DropNewest)()) {
    UndoRecord* r = List.Last();
    if (!r) return;
    ApplyGuard guard(*this);
    UndoRecord inverse = *r;
    applyUndoRecord(inverse);
    KeepInverse(inverse);
    guard.Finish(*r);
    (UndoObj().*DropNewest)();
}

void TEditorScreenStrings::Undo() {
    TEditorUndoObj& undo = UndoObj();
    replayNewest(
        undo.UndoList(),
        [&](UndoRecord& inverse) {
            const TEditorLink* e = ActiveEditor();
            undo.PushRedo(inverse, e ? e->Row() : 0, e ? e->Col() : 0);
        },
        &TEditorUndoObj::DeleteLastUndo);
}

void TEditorScreenStrings::Redo() {
    TEditorUndoObj& undo = UndoObj();
    replayNewest(
        undo.RedoList(),
        [&](UndoRecord& inverse) {
            UndoRecord* u = newUndoRecord(TEditorUndoObj::TRedoList::Keep);
            u->Row = inverse.Row;
            u->InsertedCount = inverse.InsertedCount;
            u->RemovedAttribute = inverse.RemovedAttribute;
            u->RemovedText = std::move(inverse.RemovedText);
            u->KeptPrefix = inverse.KeptPrefix;
            u->KeptSuffix = inverse.KeptSuffix;
            u->Steps = std::move(inverse.Steps);
        },
        &TEditorUndoObj::DeleteLastRedo);
}

// --- wrapping ------------------------------------------------------------------------

void TEditorScreenStrings::splitIntoRows(std::string_view Text, TEditorStringList& List) {
    const std::vector<std::string_view> lines = sjis::SplitLines(Text);
    if (!FWordWrap) {
        List.InsertEmpty(0, static_cast<int>(lines.size()));
        for (std::size_t i = 0; i < lines.size(); ++i) List.SetRow(static_cast<int>(i), lines[i], 0, 0, 0);
        return;
    }
    const TColumnContext context = ColumnContext();
    TLineBreaker breaker(context, WrapOption());
    List.Reserve(static_cast<int>(lines.size()));
    for (std::string_view line : lines) {
        for (const TWrapPiece& p : breaker.Break(line)) List.AddRow(line.substr(p.Offset, p.Length), p.Attribute);
    }
}

void TEditorScreenStrings::TextToRows(std::string_view Text, TEditorStringList& List) {
    UpdateGuard update(List);
    List.Clear();
    if (Text.empty()) {
        List.AddRow("", TRowAttribute::LineEnd);
        return;
    }
    splitIntoRows(Text, List);
    if (List.Count() == 0) List.AddRow("", TRowAttribute::LineEnd);
}

int TEditorScreenStrings::WrappedRowCount(std::string_view Text) {
    const TColumnContext context = ColumnContext();
    TLineBreaker breaker(context, WrapOption());
    return breaker.RowCount(Text);
}

std::string_view TEditorScreenStrings::lineText(int First, int Last, std::string& Joined, bool& Borrowed) const {
    const std::string_view first = Get(First);
    const char* end = first.data() + first.size();
    Borrowed = TPointerStringList::Borrowed(First);
    for (int k = First + 1; k <= Last && Borrowed; ++k) {
        const std::string_view row = Get(k);
        if (row.empty()) continue; // adds no byte
        Borrowed = TPointerStringList::Borrowed(k) && row.data() == end;
        end = row.data() + row.size();
    }
    if (Borrowed) return {first.data(), static_cast<std::size_t>(end - first.data())};
    // Rows of their own (or held in place) are copied: they go when the rows are replaced.
    Joined.clear();
    for (int k = First; k <= Last; ++k) Joined += Get(k);
    return Joined;
}

void TEditorScreenStrings::replaceLineRows(int First, int Last, std::string_view Line, bool Borrowed,
                                           const std::vector<TWrapPiece>& Pieces) {
    const int old = Last - First + 1;
    const int n = static_cast<int>(Pieces.size());
    if (n < old) DeleteRange(First + n, old - n);
    if (n > old) InsertEmpty(First + old, n - old);
    for (int i = 0; i < n; ++i) {
        const TWrapPiece& p = Pieces[static_cast<std::size_t>(i)];
        SetText(First + i, Line.substr(p.Offset, p.Length), Borrowed);
        resetRow(First + i, p.Attribute);
    }
}

void TEditorScreenStrings::resetRow(int Row, TRowAttribute Attribute) {
    SetAttrWord(Row, static_cast<uint32_t>(Attribute));
    SetStateWord(Row, 0);
}

void TEditorScreenStrings::WrapAll() {
    if (Count() == 0) return;
    dropSelections();
    DetachGuard detach(*this);
    UpdateGuard update(*this);
    const bool counted = countCurrent(); // new rows, the same text

    const TColumnContext context = ColumnContext();
    TLineBreaker breaker(context, WrapOption());
    const int W = context.WrapByte;
    const TRowAttribute lastAttr = RowAttribute(Count() - 1);

    // The rows are broken in place, line after line: the rows of a line are replaced where
    // they stand (the gap of the row list follows along, so this costs one pass and no second
    // list), and rows whose text lies in a block of the list keep pointing into it.
    std::string joined;
    for (int r = 0; r < Count();) {
        const int e = LineEndRow(r);
        if (e == r && TextWidth(Get(r), context) < W) {
            resetRow(r++, TRowAttribute::LineEnd);
            continue;
        }
        bool borrowed = false;
        const std::string_view line = lineText(r, e, joined, borrowed);
        const std::vector<TWrapPiece>& pieces = breaker.Break(line);
        replaceLineRows(r, e, line, borrowed, pieces);
        r += static_cast<int>(pieces.size());
    }
    SetRowAttribute(Count() - 1, lastAttr);
    if (counted) FCountedChanges = TextChanges();
    textReplaced();
}

void TEditorScreenStrings::UnwrapAll() {
    if (Count() == 0) return;
    dropSelections();
    const TRowAttribute lastAttr =
        RowAttribute(Count() - 1) == TRowAttribute::Wrapped ? TRowAttribute::EndOfFile : RowAttribute(Count() - 1);
    DetachGuard detach(*this);
    UpdateGuard update(*this);
    const bool counted = countCurrent(); // new rows, the same text
    std::string joined;
    std::vector<TWrapPiece> whole(1);
    for (int r = 0; r < Count(); ++r) {
        const int e = LineEndRow(r);
        if (e == r) {
            resetRow(r, TRowAttribute::LineEnd);
            continue;
        }
        bool borrowed = false;
        const std::string_view line = lineText(r, e, joined, borrowed);
        whole[0] = TWrapPiece{0, line.size(), TRowAttribute::LineEnd};
        replaceLineRows(r, e, line, borrowed, whole);
    }
    SetRowAttribute(Count() - 1, lastAttr);
    if (counted) FCountedChanges = TextChanges();
    textReplaced();
}

void TEditorScreenStrings::SetWordWrap(bool Value) {
    if (Value == FWordWrap) return;
    FWordWrap = Value;
    rewrapEverything();
}

void TEditorScreenStrings::rewrapEverything() {
    // New rows mean new row numbers: the undo records would no longer fit them.
    UndoObj().Clear();
    if (FWordWrap)
        WrapAll();
    else
        UnwrapAll();
    ReparseAll();
    UpdateEditors();
    ClampCarets();
    ResetColumns();
}

void TEditorScreenStrings::WrapOptionChanged() {
    if (!FWordWrap) return;
    rewrapEverything();
}

// --- row states ----------------------------------------------------------------------

void TEditorScreenStrings::RowsInserted(int Index, int N) {
    if (Index < FParsedEnd) FParsedEnd += N;
}

void TEditorScreenStrings::RowsDeleted(int Index, int N) {
    if (Index < FParsedEnd) FParsedEnd -= std::min(N, FParsedEnd - Index);
}

void TEditorScreenStrings::storeState(int Row, const TRowState& State) {
    SetRowState(Row, State);
    if (State.Parsed() && Row >= FParsedEnd) FParsedEnd = Row + 1;
}

void TEditorScreenStrings::copyRow(int Row, const TEditorStringList& List, int Index) {
    SetRow(Row, List.Get(Index), List.Data(Index), List.AttrWord(Index), List.StateWord(Index));
    if (BracketIndex(Row) != TRowState::NotParsedBracket && Row >= FParsedEnd) FParsedEnd = Row + 1;
}

void TEditorScreenStrings::markNotParsed(int From) {
    From = std::max(From, 0);
    const int end = std::min(FParsedEnd, Count());
    for (int r = From; r < end; ++r) {
        if (BracketIndex(r) != TRowState::NotParsedBracket) SetRowState(r, TRowState::NotParsed());
    }
    if (From < FParsedEnd) FParsedEnd = From;
    if (From < Count()) requestBackgroundParse();
}

bool TEditorScreenStrings::requestBackgroundParse() {
    TEditorLink* e = FirstEditor();
    return e && !FDestroying && e->ScheduleBackgroundParse();
}

bool TEditorScreenStrings::farBelowKnown(int From, int Row) const {
    // What parsing rows From..Row-1 would cost, in bytes of text plus a little per row (so
    // that very many rows are too many whatever their text).
    if (static_cast<std::size_t>(std::max(Row - From, 0)) > kOnDemandParseBytes / kRowParseCost) return true;
    std::size_t cost = 0;
    for (int r = From; r < Row; ++r) {
        cost += Get(r).size() + kRowParseCost;
        if (cost > kOnDemandParseBytes) return true;
    }
    return false;
}

int TEditorScreenStrings::firstUnparsed(int Row) const {
    int p = std::min(Row, FParsedEnd) - 1;
    while (p >= 0 && BracketIndex(p) == TRowState::NotParsedBracket) --p;
    return p + 1;
}

int TEditorScreenStrings::Reparse(int Row, bool Notify) {
    FLastReparseVisited = 0;
    if (FBulkDepth > 0) { // re-parsed once when the bulk change closes
        FBulkFrom = std::min(FBulkFrom, std::max(Row, 0));
        return 0;
    }
    if (Row < 0 || Row >= Count()) return 0;
    const int known = firstUnparsed(Row);
    // Far below the last known state, the rows in between are left to the background parse
    // (which repaints them as it passes) rather than parsed now, while the user waits.
    if (farBelowKnown(known, Row) && requestBackgroundParse()) {
        markNotParsed(known);
        return 0;
    }
    std::unique_ptr<TRowStateParser> parser = FirstEditor() ? FirstEditor()->CreateRowStateParser() : nullptr;
    auto advance = [&](int k, const TRowState& s) {
        return Packed(parser ? parser->Advance(*this, k, s) : TRowState::Initial());
    };

    const int p = known - 1;
    TRowState state = TRowState::Initial();
    int k = 0;
    if (p >= 0) {
        state = advance(p, RowState(p));
        k = p + 1;
    }
    const int limit = std::min(Row + 2 * screenRows(), Count() - 1);
    int changed = 0;
    for (; k <= limit; ++k) {
        ++FLastReparseVisited;
        if (RowState(k) == state) return changed;
        storeState(k, state);
        if (Notify) {
            ++changed;
            for (TEditorLink* e : FEditors) e->InvalidateRow(k);
        }
        state = advance(k, state);
    }
    markNotParsed(limit + 1);
    return changed;
}

bool TEditorScreenStrings::ParsePending() const { return !FDestroying && firstUnparsed(Count()) < Count(); }

bool TEditorScreenStrings::ParseAhead(std::chrono::steady_clock::duration Budget) {
    if (FDestroying) return false;
    const int count = Count();
    int k = firstUnparsed(count);
    if (k >= count) return false;
    std::unique_ptr<TRowStateParser> parser = FirstEditor() ? FirstEditor()->CreateRowStateParser() : nullptr;
    auto advance = [&](int r, const TRowState& s) {
        return Packed(parser ? parser->Advance(*this, r, s) : TRowState::Initial());
    };
    TRowState state = k > 0 ? advance(k - 1, RowState(k - 1)) : TRowState::Initial();
    const auto deadline = std::chrono::steady_clock::now() + Budget;
    for (int n = 1; k < count; ++k, ++n) {
        // Rows whose state is known already (and agrees) end the walk, as after an edit.
        if (RowState(k) == state) break;
        storeState(k, state);
        for (TEditorLink* e : FEditors) e->InvalidateRow(k);
        state = advance(k, state);
        if (n % 64 == 0 && std::chrono::steady_clock::now() >= deadline) return k + 1 < count;
    }
    return ParsePending();
}

void TEditorScreenStrings::ReparseAll() {
    if (FDestroying) return;
    const int count = Count();
    markNotParsed(0);
    if (count == 0) return;
    std::unique_ptr<TRowStateParser> parser = FirstEditor() ? FirstEditor()->CreateRowStateParser() : nullptr;
    const int top = FirstEditor() ? FirstEditor()->TopRow() : 0;
    const int limit = std::min(count - 1, 2 * screenRows() + std::max(top, 0));
    TRowState state = TRowState::Initial();
    for (int r = 0; r <= limit; ++r) {
        storeState(r, state);
        state = Packed(parser ? parser->Advance(*this, r, state) : TRowState::Initial());
    }
}

// --- whole text ----------------------------------------------------------------------

void TEditorScreenStrings::Clear() {
    dropSelections();
    UndoObj().Clear();
    ChangeRecord = TChangeRecord{0, Count(), 0, 0, true};
    TRowAttributeStringList::Clear();
    ChangeRecord = {};
    FCharCount = 0;
    FCountKnown = true;
    FCountedChanges = TextChanges();
    textReplaced();
    // Every view shows the new text from its top, with the caret at its start.
    for (TEditorLink* e : FEditors) {
        e->SetRow(0);
        e->SetCol(0);
        e->SetTopRow(0);
    }
}

TOutsideCharTable& TEditorScreenStrings::OwnCharTable() {
    if (!FCharTable) {
        auto table = std::make_shared<TOutsideCharTable>();
        table->SetExactUnicode(false);
        const std::string text = GetTextStr();
        table->ReserveCodesOf(text.data(), text.size());
        FCharTable = std::move(table);
    }
    return *FCharTable;
}

std::string TEditorScreenStrings::GetTextStr() const { return GetRowsText(0, Count()); }

void TEditorScreenStrings::SetTextStr(std::string_view Value) {
    LoadText([Value](TTextLoader& Loader) { Loader.Add(Value); });
}

void TEditorScreenStrings::LoadText(const std::function<void(TTextLoader&)>& Fill) {
    // The rows are made in a list of their own, so that a failure while filling it (a file
    // that cannot be read to its end) leaves the document as it was.
    TEditorStringList rows;
    {
        TTextLoader loader(rows);
        Fill(loader);
        loader.Finish();
    }
    UpdateGuard update(*this);
    Clear();
    SwapContents(rows);
    if (FWordWrap) WrapAll();
    ReparseAll();
    textReplaced();
}

// --- loading a file ------------------------------------------------------------------

namespace {

constexpr std::size_t kChunkSize = 8192;

// A file opened for reading, closed on every path.
class InputFile {
public:
    explicit InputFile(const std::string& name) : fd_(::open(name.c_str(), O_RDONLY | O_CLOEXEC)) {
        if (fd_ < 0) {
            throw EPlatformError("Cannot open file \"" + name + "\". " + std::strerror(errno));
        }
        name_ = name;
    }
    ~InputFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    void Rewind() {
        if (::lseek(fd_, 0, SEEK_SET) < 0) fail();
    }
    // Reads up to one chunk; returns the number of bytes read, 0 at the end.
    std::size_t Read(char* buffer) {
        std::size_t total = 0;
        while (total < kChunkSize) {
            const ssize_t n = ::read(fd_, buffer + total, kChunkSize - total);
            if (n < 0) {
                if (errno == EINTR) continue;
                fail();
            }
            if (n == 0) break;
            total += static_cast<std::size_t>(n);
        }
        return total;
    }

private:
    [[noreturn]] void fail() { throw EPlatformError("Cannot read file \"" + name_ + "\". " + std::strerror(errno)); }
    int fd_;
    std::string name_;
};

// Walks a file chunk by chunk the way both loading passes see it: each CR and each LF ends
// a run, but an LF right after a CR (also across a chunk boundary) does not end another; a
// NUL ends the scan of its chunk; 0x1A ends the whole read. OnLine is called for each run
// ended by a line end; a run cut off by the end of a chunk, a NUL or 0x1A is carried over
// and prefixed to the next one. With Collect off the bytes are not gathered (counting).
struct ScanResult {
    std::string Carry;    // the run left at the end (Collect only)
    bool Pending = false; // bytes follow the last line end
};

template <typename OnLine>
ScanResult scanFile(InputFile& file, OnLine onLine, bool collect) {
    char buffer[kChunkSize + 1];
    ScanResult result;
    bool afterCr = false;
    for (;;) {
        const std::size_t n = file.Read(buffer);
        if (n == 0) break;
        buffer[n] = '\0'; // every chunk is terminated, as the reader's buffer is
        std::size_t runStart = 0;
        std::size_t i = 0;
        bool endOfText = false;
        for (; i < n; ++i) {
            const char c = buffer[i];
            if (c == '\n' && afterCr) {
                afterCr = false;
                runStart = i + 1;
                continue;
            }
            afterCr = false;
            if (c == '\r' || c == '\n') {
                if (!collect) {
                    onLine(std::string_view());
                } else if (result.Carry.empty()) {
                    onLine(std::string_view(buffer + runStart, i - runStart));
                } else {
                    result.Carry.append(buffer + runStart, i - runStart);
                    onLine(std::string_view(result.Carry));
                    result.Carry.clear();
                }
                result.Pending = false;
                afterCr = c == '\r';
                runStart = i + 1;
            } else if (c == '\0' || c == '\x1A') {
                endOfText = c == '\x1A';
                break;
            }
        }
        if (i > runStart) {
            if (collect) result.Carry.append(buffer + runStart, i - runStart);
            result.Pending = true;
        }
        if (endOfText) break;
    }
    return result;
}

} // namespace

void TEditorScreenStrings::LoadFromFile(const std::string& FileName) {
    {
        UpdateGuard update(*this);
        Clear();
        InputFile file(FileName);
        // First pass: count the rows, so that the list grows once.
        int rows = 0;
        const ScanResult counted = scanFile(
            file, [&](std::string_view) { ++rows; }, false);
        InsertEmpty(0, rows + (counted.Pending ? 1 : 0));
        // Second pass: fill them. Should the file change between the passes, the rows follow
        // what the second pass reads.
        file.Rewind();
        int row = 0;
        auto put = [&](std::string_view text, TRowAttribute attr) {
            if (row < Count()) {
                SetRow(row, text, 0, static_cast<uint32_t>(attr), 0);
            } else {
                AddRow(text, attr);
            }
            ++row;
        };
        const ScanResult filled = scanFile(
            file, [&](std::string_view text) { put(text, TRowAttribute::LineEnd); }, true);
        if (filled.Pending) put(filled.Carry, TRowAttribute::EndOfFile);
        if (row < Count()) DeleteRange(row, Count() - row);
    }
    if (FWordWrap) WrapAll();
    ReparseAll();
    textReplaced();
    UpdateEditors();
}

// --- caret by offset -----------------------------------------------------------------

TCaretPos TEditorScreenStrings::CaretPosByOffset(int Row, int Offset) const {
    const TColumnContext context = ColumnContext();
    int rest = 0;
    const int k = RowOfOffset(Offset, Row, &rest);
    if (k >= Count()) return {k, 0};
    const std::string_view text = Get(k);
    const int width = TextWidth(text, context);
    return {k, std::min(TextWidthOfBytes(text, static_cast<std::size_t>(rest), context), width)};
}

void TEditorScreenStrings::SetCaretByOffset(TEditorLink* Editor, int Row, int Offset) const {
    if (!Editor) return;
    const TCaretPos pos = CaretPosByOffset(Row, Offset);
    Editor->SetRowCol(pos.Row, pos.Col);
}

} // namespace quire
