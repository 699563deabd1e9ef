// TEditorStrings: Lines.
#include "EditorStrings.h"

#include "EditorScreenStrings.h"
#include "UpdateGuard.h"

#include <stdexcept>

namespace quire {

namespace {

// Drops the selection and hides the caret for one Lines operation.
class EditGuard {
public:
    explicit EditGuard(TEditorLink& e) : e_(e) {
        e_.ClearSelection();
        e_.CaretBeginUpdate();
    }
    ~EditGuard() { e_.CaretEndUpdate(); }
    EditGuard(const EditGuard&) = delete;
    EditGuard& operator=(const EditGuard&) = delete;

private:
    TEditorLink& e_;
};

// Holds an update of Lines open for the lifetime of the guard.
using LinesUpdate = TUpdateGuard<TEditorStrings>;

} // namespace

void TEditorStrings::checkIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
}

int TEditorStrings::Count() const {
    const TEditorScreenStrings& r = rows();
    const int count = r.Count();
    if (!r.WordWrap()) return count;
    int lines = 0;
    for (int i = 0; i < count; ++i)
        if (r.RowAttribute(i) != TRowAttribute::Wrapped) ++lines;
    if (count > 0 && r.RowAttribute(count - 1) == TRowAttribute::Wrapped) ++lines;
    return lines;
}

int TEditorStrings::LineToRow(int Index) const {
    const TEditorScreenStrings& r = rows();
    if (!r.WordWrap()) return Index;
    const int count = r.Count();
    int line = 0;
    int row = 0;
    while (row < count && line < Index) {
        if (r.RowAttribute(row) != TRowAttribute::Wrapped || row == count - 1) ++line;
        ++row;
    }
    return row;
}

std::string TEditorStrings::Get(int Index) const {
    checkIndex(Index);
    TEditorScreenStrings& r = rows();
    if (!r.WordWrap()) return r.Strings(Index);
    std::string s = r.GetRowsText(LineToRow(Index), -1);
    while (!s.empty() && s.back() == '\n') s.resize(s.size() >= 2 ? s.size() - 2 : 0);
    return s;
}

void TEditorStrings::Put(int Index, std::string_view S) {
    checkIndex(Index);
    EditGuard guard(FEditor);
    TEditorScreenStrings& r = rows();
    const int a = LineToRow(Index);
    const int b = r.LineEndRow(a);
    std::string text(S);
    if (r.RowAttribute(b) == TRowAttribute::LineEnd) text += "\r\n";
    r.ReplaceRows(a, b - a + 1, text);
    r.SetCaretByOffset(&FEditor, a, static_cast<int>(text.size()));
}

int TEditorStrings::Add(std::string_view S) {
    EditGuard guard(FEditor);
    TEditorScreenStrings& r = rows();
    const int n = r.Count();
    std::string text;
    int row = n;
    if (n > 0 && r.RowAttribute(n - 1) != TRowAttribute::LineEnd) {
        // The last line has no line end: it gets one, and S becomes the new last line,
        // which stays without one.
        row = n - 1;
        text = r.Strings(row);
        text += "\r\n";
        text += S;
    } else {
        text = S;
        text += "\r\n";
    }
    const int base = r.BaseRow(row);
    const int offset = r.RowOffset(row, base) + static_cast<int>(text.size());
    r.ReplaceRows(row, row < n ? 1 : 0, text);
    r.SetCaretByOffset(&FEditor, base, offset);
    return n;
}

void TEditorStrings::Insert(int Index, std::string_view S) {
    TEditorScreenStrings& r = rows();
    const int row = LineToRow(Index);
    if (row >= r.Count()) {
        Add(S);
        return;
    }
    if (Index < 0) checkIndex(Index);
    EditGuard guard(FEditor);
    std::string text(S);
    text += "\r\n";
    r.ReplaceRows(row, 0, text);
    r.SetCaretByOffset(&FEditor, row, static_cast<int>(text.size()));
}

void TEditorStrings::Delete(int Index) {
    checkIndex(Index);
    EditGuard guard(FEditor);
    TEditorScreenStrings& r = rows();
    const int a = LineToRow(Index);
    r.ReplaceRows(a, r.LineEndRow(a) - r.LineStartRow(a) + 1, "");
    r.SetCaretByOffset(&FEditor, a, 0);
}

void TEditorStrings::Clear() { rows().Clear(); }

std::string TEditorStrings::Text() const { return rows().GetTextStr(); }

void TEditorStrings::SetText(std::string_view Value) {
    // Inside an update of Lines: its end repaints every view and places the caret anew.
    LinesUpdate update(*this);
    rows().SetTextStr(Value);
}

void TEditorStrings::LoadText(const std::function<void(TTextLoader&)>& Fill) {
    LinesUpdate update(*this); // as SetText: every view repainted, the caret placed
    rows().LoadText(Fill);
}

void TEditorStrings::Assign(const std::vector<std::string>& Source) {
    std::string text;
    for (const std::string& s : Source) {
        text += s;
        text += "\r\n";
    }
    LinesUpdate update(*this);
    rows().SetTextStr(text);
    FEditor.SetRow(rows().Count());
    FEditor.SetCol(0);
}

void TEditorStrings::LoadFromFile(const std::string& FileName) { rows().LoadFromFile(FileName); }

void TEditorStrings::BeginUpdate() {
    if (FUpdateCount++ == 0) {
        rows().BeginUpdate();
        FEditor.LinesUpdateBegin();
    }
}

void TEditorStrings::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) {
        rows().EndUpdate();
        FEditor.LinesUpdateEnd();
        rows().UpdateEditors();
    }
}

} // namespace quire
