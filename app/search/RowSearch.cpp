// TRowSearch: the search routine over a document's rows, a stretch of lines at a time.
#include "RowSearch.h"

#include "EditorScreenStrings.h"

#include <algorithm>

namespace quire {

namespace {

// A search starts with a stretch of this many bytes and takes four times more each time it
// goes on, up to the largest.
constexpr std::size_t kFirstStretch = 16 * 1024;
constexpr std::size_t kLargestStretch = 4 * 1024 * 1024;

std::size_t nextSize(std::size_t Bytes) { return std::min(Bytes * 4, kLargestStretch); }

} // namespace

TRowSearch::TRowSearch(const TEditorScreenStrings& Rows, std::string_view Pattern, TSearchOptions Options)
    : FRows(Rows), FPattern(Pattern), FOptions(Options) {
    FLineEnds = static_cast<int>(
        std::count_if(FPattern.begin(), FPattern.end(), [](char c) { return c == '\r' || c == '\n'; }));
}

TRowSearch::TStretch TRowSearch::stretch(int FirstRow, int PrimaryEnd) {
    TStretch s;
    s.FirstRow = FirstRow;
    s.PrimaryEnd = PrimaryEnd;
    s.Offset = FRows.TextOffset(FirstRow);
    s.PrimaryBytes = FRows.TextOffset(PrimaryEnd) - s.Offset;
    // A match that runs over line ends may start in the stretch and end in the lines after it.
    int last = PrimaryEnd;
    const int count = FRows.Count();
    if (FLineEnds > 0) {
        const int want = FRows.TextOffset(PrimaryEnd) + static_cast<int>(FPattern.size());
        while (last < count && FRows.TextOffset(last) < want) last = FRows.LineEndRow(last) + 1;
    }
    s.LastRow = last;
    s.Text = FRows.RowsText(FirstRow, last - FirstRow, FBuffer);
    if (last < count) {
        const std::string_view next = FRows.Get(last);
        s.Following = next.empty() ? (FRows.RowAttribute(last) == TRowAttribute::LineEnd ? '\r' : -1)
                                   : static_cast<unsigned char>(next.front());
    }
    return s;
}

TRowSearch::TStretch TRowSearch::forwardStretch(int Row, std::size_t Bytes) {
    const int count = FRows.Count();
    const int first = FRows.LineStartRow(Row);
    int end = first;
    while (end < count && static_cast<std::size_t>(FRows.TextOffset(end) - FRows.TextOffset(first)) < Bytes)
        end = FRows.LineEndRow(end) + 1;
    return stretch(first, end);
}

TRowSearch::TStretch TRowSearch::backwardStretch(int Row, std::size_t Bytes) {
    const int end = FRows.LineEndRow(Row) + 1;
    int first = FRows.LineStartRow(Row);
    while (first > 0 && static_cast<std::size_t>(FRows.TextOffset(end) - FRows.TextOffset(first)) < Bytes)
        first = FRows.LineStartRow(first - 1);
    return stretch(first, end);
}

bool TRowSearch::findIn(const TStretch& S, int First, bool Forward, int& Start, int End, int Following) {
    TSearcher searcher(S.Text, FPattern, FOptions);
    const int length = static_cast<int>(S.Text.size());
    if (End >= 0 && End - S.Offset < length)
        searcher.SetEnd(End - S.Offset, Following);
    else if (S.Following >= 0)
        searcher.SetEnd(length, S.Following);
    const int m = static_cast<int>(FPattern.size());
    // The searcher's first candidate is its selection's end forward, its start less the
    // pattern's length backward.
    int sel = Forward ? First - S.Offset : std::min(First - S.Offset + m, End >= 0 ? End - S.Offset : length);
    sel = std::min(sel, length);
    int len = 0;
    if (!searcher.Find(sel, len) || sel >= S.PrimaryBytes) return false;
    Start = S.Offset + sel;
    return true;
}

bool TRowSearch::findForward(int First, int& Start) {
    const int count = FRows.Count();
    int row = FRows.RowOfOffset(First);
    for (std::size_t bytes = kFirstStretch; row < count; bytes = nextSize(bytes)) {
        const TStretch s = forwardStretch(row, bytes);
        if (findIn(s, std::max(First, s.Offset), true, Start)) return true;
        row = s.PrimaryEnd;
        First = std::max(First, s.Offset + s.PrimaryBytes);
    }
    return false;
}

bool TRowSearch::findBackward(int First, int& Start, int End, int Following) {
    if (First < 0) return false;
    const int n = FRows.TextLength();
    const int m = static_cast<int>(FPattern.size());
    // The first stretch holds the bytes of a match at First.
    int row = FRows.RowOfOffset(std::min(First + m, n) - 1);
    for (std::size_t bytes = kFirstStretch; row >= 0; bytes = nextSize(bytes)) {
        const TStretch s = backwardStretch(std::min(row, FRows.Count() - 1), bytes);
        if (findIn(s, First, false, Start, End, Following)) return true;
        row = s.FirstRow - 1;
        First = std::min(First, s.Offset - 1);
    }
    return false;
}

bool TRowSearch::Find(int& SelStart, int& SelLength) {
    const int n = FRows.TextLength();
    const int m = static_cast<int>(FPattern.size());
    if (m == 0 || n == 0 || SelStart < 0 || SelStart > n || SelLength < 0) return false;
    const bool forward = FOptions.Has(TSearchOption::Forward);
    int start = 0;
    if (!(forward ? findForward(SelStart + SelLength, start) : findBackward(SelStart - m, start, -1, -1))) return false;
    SelStart = start;
    SelLength = m;
    return true;
}

std::vector<int> TRowSearch::FindAll(int SelStart, int SelLength, std::string_view Replacement) {
    std::vector<int> starts;
    const int n = FRows.TextLength();
    const int m = static_cast<int>(FPattern.size());
    if (m == 0 || n == 0 || SelStart < 0 || SelStart > n || SelLength < 0) return starts;
    if (FOptions.Has(TSearchOption::Forward)) {
        // Each search starts where the match before it ended; a stretch is searched with one
        // searcher from match to match.
        int first = SelStart + SelLength;
        const int count = FRows.Count();
        for (int row = FRows.RowOfOffset(first); row < count && first <= n - m;) {
            const TStretch s = forwardStretch(row, kLargestStretch);
            TSearcher searcher(s.Text, FPattern, FOptions);
            if (s.Following >= 0) searcher.SetEnd(static_cast<int>(s.Text.size()), s.Following);
            int sel = std::max(first, s.Offset) - s.Offset, len = 0;
            while (sel <= static_cast<int>(s.Text.size()) && searcher.Find(sel, len) && sel < s.PrimaryBytes) {
                starts.push_back(s.Offset + sel);
                sel += len;
                len = 0;
            }
            first = std::max({first, s.Offset + s.PrimaryBytes, starts.empty() ? 0 : starts.back() + m});
            row = s.PrimaryEnd;
        }
        return starts;
    }
    // Backward, the next search ends where the match before it began, and the text there then
    // holds the replacement's first byte (see TFindReplace::ReplaceLoop).
    int end = -1, following = -1, first = SelStart - m, start = 0;
    while (findBackward(first, start, end, following)) {
        const bool adjacent = !starts.empty() && start + m == starts.back();
        int after = -1;
        if (adjacent) {
            after = following;
        } else if (start + m < n) {
            int rest = 0;
            const int row = FRows.RowOfOffset(start + m, 0, &rest);
            const std::string_view text = FRows.Get(row);
            after = rest < static_cast<int>(text.size())
                        ? static_cast<unsigned char>(text[static_cast<std::size_t>(rest)])
                        : (rest == static_cast<int>(text.size()) ? '\r' : '\n');
        }
        starts.push_back(start);
        following = Replacement.empty() ? after : static_cast<unsigned char>(Replacement.front());
        end = start;
        first = start - m;
    }
    std::reverse(starts.begin(), starts.end());
    return starts;
}

} // namespace quire
