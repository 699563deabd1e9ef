// The structural invariants of the document store, checked after every step of the random
// and fuzzed edit sequences. Returns an empty string when they hold, else what is wrong.
#pragma once

#include "FakeEditor.h"
#include "ShiftJis.h"

#include <algorithm>
#include <string>
#include <vector>

namespace quire::test {

// The model's undo and redo lists: whole texts, stepped the way the store's lists step.
struct TModelHistory {
    std::vector<std::string> Undo, Redo;

    // An edit of Model: its text before goes on the undo list (at most ListMax kept).
    void Edited(const std::string& Before, int ListMax) {
        Undo.push_back(Before);
        if (static_cast<int>(Undo.size()) > ListMax) Undo.erase(Undo.begin());
        Redo.clear();
    }
    void StepBack(std::string& Model) { step(Undo, Redo, Model); }
    void StepForward(std::string& Model) { step(Redo, Undo, Model); }
    void Clear() {
        Undo.clear();
        Redo.clear();
    }

private:
    static void step(std::vector<std::string>& from, std::vector<std::string>& to, std::string& model) {
        if (from.empty()) return;
        to.push_back(model);
        model = from.back();
        from.pop_back();
    }
};

// Model is the text the store must hold (line ends as CR LF).
inline std::string CheckStoreInvariants(const TEditorScreenStrings& s, const std::string& model,
                                        const TParserFactory& factory = BracketParserFactory()) {
    if (s.GetTextStr() != model) return "the text differs from the model";
    const int n = s.Count();
    for (int r = 0; r < n; ++r) {
        const std::string at = " (row " + std::to_string(r) + ")";
        if (s.Get(r).find_first_of("\r\n") != std::string_view::npos) return "a row holds CR or LF" + at;
        const TRowAttribute a = s.RowAttribute(r);
        if (a == TRowAttribute::NoAttribute) return "a row has no attribute" + at;
        if (r < n - 1 && a == TRowAttribute::EndOfFile) return "EndOfFile before the last row" + at;
        if (!s.WordWrap() && a == TRowAttribute::Wrapped) return "Wrapped with word wrap off" + at;
        if (r == n - 1 && a == TRowAttribute::Wrapped) return "the last row is Wrapped";
    }
    // The row offsets the store keeps agree with a count of the rows' bytes, both ways.
    int start = 0;
    for (int r = 0; r <= n; ++r) {
        const std::string at = " (row " + std::to_string(r) + ")";
        if (s.RowOffset(r) != start) return "the row offset differs from a count" + at;
        if (r == n) break;
        const int span = s.RowTextSpan(r);
        int rest = -1;
        const int last = span > 0 ? start + span - 1 : start;
        if (span > 0 && (s.RowOfOffset(last, 0, &rest) != r || rest != span - 1))
            return "the last offset of a row lands elsewhere" + at;
        start += span;
    }
    if (s.TextLength() != start) return "the text length differs from a count";
    // The rows' text read in place is the text read by copy.
    std::string buffer;
    for (int r = 0; r < n; r += 3) {
        const int count = std::min(n - r, 1 + r % 4);
        if (s.RowsText(r, count, buffer) != s.GetRowsText(r, count))
            return "the rows' text read in place differs (row " + std::to_string(r) + ")";
    }
    if (n > 0 && s.RowsText(0, n, buffer) != model) return "the whole text read in place differs";

    // Parsed rows form a prefix, and their states are those a full parse gives.
    const std::vector<TRowState> full = FullStates(s, factory);
    bool parsed = true;
    for (int r = 0; r < n; ++r) {
        if (s.BracketIndex(r) == -2) {
            parsed = false;
            continue;
        }
        if (!parsed) return "row " + std::to_string(r) + " is parsed after a row that is not";
        if (!(s.RowState(r) == full[static_cast<size_t>(r)])) return "row " + std::to_string(r) + " has a stale state";
    }
    if (s.WordWrap()) {
        // Wrapping the same text from scratch gives the same rows. An edit that empties the
        // last line may leave an empty last row without a line end where loading leaves none.
        FakeEditor fresh;
        fresh.Store->WrapOption().Assign(s.WrapOption());
        fresh.Store->SetWordWrap(true);
        fresh.Store->SetTextStr(model);
        std::vector<std::string> rows = RowsOf(s);
        if (!rows.empty() && rows.back() == "|E" && (rows.size() == 1 || rows[rows.size() - 2].back() == 'L'))
            rows.pop_back();
        if (RowsOf(*fresh.Store) != rows) return "the rows differ from wrapping the text afresh";
    }
    return {};
}

// The text as the store keeps it: every line end CR LF.
inline std::string NormalizedLineEnds(const std::string& s) {
    std::string out;
    out.reserve(s.size() + 8);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            out += "\r\n";
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else if (s[i] == '\n') {
            out += "\r\n";
        } else {
            out += s[i];
        }
    }
    return out;
}

// The byte offset where row Row begins in the text, and the length of Count rows from it.
inline std::pair<std::size_t, std::size_t> RowSpan(const TEditorScreenStrings& s, int Row, int Count) {
    std::size_t offset = 0, length = 0;
    for (int r = 0; r < Row + Count && r < s.Count(); ++r) {
        const std::size_t n = s.Get(r).size() + (s.RowAttribute(r) == TRowAttribute::LineEnd ? 2 : 0);
        (r < Row ? offset : length) += n;
    }
    return {offset, length};
}

// The text offset of a caret position: its row's start and the bytes left of its column.
inline int CaretOffset(const TEditorScreenStrings& s, int Row, int Col) {
    if (Row >= s.Count()) return s.RowOffset(s.Count());
    const TColumnMap columns(s.Get(Row), s.ColumnContext());
    const int bytes = static_cast<int>(s.Get(Row).size());
    return s.RowOffset(Row) + std::min(columns.BytesBefore(Col), bytes);
}

// Offset moved to the end of the character it falls inside (a caret stands between
// characters, never inside a double-byte one).
inline int CharacterBoundary(const TEditorScreenStrings& s, int Offset) {
    int rest = 0;
    const int row = s.RowOfOffset(Offset, 0, &rest);
    if (row >= s.Count()) return Offset;
    const std::string_view text = s.Get(row);
    std::size_t i = 0;
    while (i < text.size() && static_cast<int>(i) < rest) i += sjis::CharLengthAt(text, i);
    return Offset + (static_cast<int>(i) - rest);
}

} // namespace quire::test
