// TEditorEditing: the operations that change text. Each turns the request into new text for
// a run of rows, makes one ReplaceRows (one undo step) and places the caret by a text offset.
#include "EditorEditing.h"

#include "EditorOptions.h"
#include "ShiftJis.h"

#include <algorithm>

namespace quire {

namespace {

constexpr std::string_view kCrLf = "\r\n";

} // namespace

// --- shared measures -----------------------------------------------------------------

TColumnMap TEditorEditing::ColumnMap(int ARow) const {
    if (ARow < 0 || ARow >= list().Count()) return {};
    return TColumnMap(list().Get(ARow), columnContext());
}

int TEditorEditing::RowWidth(int ARow) const { return ColumnMap(ARow).Width(); }

int TEditorEditing::ColToIndex(int ARow, int ACol) const {
    if (ARow < 0 || ARow >= list().Count()) return 0;
    return std::clamp(ByteIndex(ARow, ACol), 0, static_cast<int>(list().Get(ARow).size()));
}

int TEditorEditing::TextLength() const { return list().RowOffset(list().Count()); }

int TEditorEditing::ByteIndex(int ARow, int ACol) const { return ColumnMap(ARow).ByteIndex(ACol); }

int TEditorEditing::TextOffset(int Base, int ARow, int ACol) const {
    return list().RowOffset(ARow, Base) + ByteIndex(ARow, ACol);
}

int TEditorEditing::BaseRow(int ARow) const { return list().BaseRow(ARow); }

int TEditorEditing::BoxStartIndex(const TColumnMap& A, int C) {
    int c = C;
    if (A.Is(c - 1, TColumnCode::Trail)) {
        ++c;
    } else {
        while (c >= 1 && A.Is(c - 1, TColumnCode::TabPad)) ++c;
    }
    return A.BytesBefore(c);
}

int TEditorEditing::BoxEndIndex(const TColumnMap& A, int C) {
    int c = C;
    if (A.Is(c - 1, TColumnCode::Lead)) {
        ++c;
    } else {
        while (c >= 1 && A.Is(c - 1, TColumnCode::TabPad)) --c;
    }
    return A.BytesBefore(c);
}

int TEditorEditing::IndentWidth(std::string_view S) const {
    if (S.empty()) return -1;
    const TColumnContext ctx = columnContext();
    int col = 0;
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == ' ')
            col += 1;
        else if (S[i] == '\t')
            col += ctx.TabWidthAt(col);
        else if (static_cast<unsigned char>(S[i]) == 0x81 && i + 1 < S.size() &&
                 static_cast<unsigned char>(S[i + 1]) == 0x40) {
            col += 2;
            ++i;
        } else
            break;
    }
    return col;
}

int TEditorEditing::BlankWidth(std::string_view S) const {
    if (S.empty()) return -1;
    return sjis::LeadingBlankWidth(S);
}

int TEditorEditing::PrevLineIndent(int ARow) const {
    const TEditorScreenStrings& l = list();
    for (int r = l.LineStartRow(ARow) - 1; r >= 0; --r) {
        const bool starts = r == 0 || l.RowAttribute(r - 1) == TRowAttribute::LineEnd;
        if (!starts) continue;
        const int w = IndentWidth(l.Get(r));
        if (w != -1) return w;
    }
    return 0;
}

std::string TEditorEditing::rowWithLineEnd(int ARow) const {
    if (ARow < 0 || ARow >= list().Count()) return {};
    std::string s(list().Get(ARow));
    if (list().RowAttribute(ARow) == TRowAttribute::LineEnd) s += kCrLf;
    return s;
}

void TEditorEditing::replaceRange(int First, int Last, const std::string& Text) {
    list().ReplaceRowRange(First, Last, Text);
}

std::string TEditorEditing::joinRemainder(const std::vector<TRemainderRow>& Rows) const {
    std::string text;
    for (const TRemainderRow& r : Rows) {
        text += r.Text;
        if (r.Attribute == TRowAttribute::LineEnd) text += kCrLf;
    }
    return text;
}

// --- the selection's measures ------------------------------------------------------

void TEditorEditing::AnchorAtCaret() {
    if (list().Count() == 0) return;
    const int row = FHost.Row(), col = FHost.Col();
    FSel.State = TSelectionState::Anchored;
    FSel.AnchorRow = row;
    FSel.AnchorIndex = ColToIndex(row, col);
    FSel.AnchorCol = FSel.Mode == TSelectionMode::Box ? col : std::min(col, RowWidth(row));
    FSel.StartRow = FSel.EndRow = row;
    FSel.StartIndex = FSel.EndIndex = FSel.AnchorIndex;
    FSel.Rect = FSel.PrevRect = TSelRect{row, row, FSel.AnchorCol, FSel.AnchorCol};
}

void TEditorEditing::ComputeSelection() {
    const int row = FHost.Row(), col = FHost.Col();
    const int c = ColToIndex(row, col);
    FSel.StartRow = std::min(FSel.AnchorRow, row);
    FSel.EndRow = std::max(FSel.AnchorRow, row);
    if (FSel.AnchorRow == row) {
        FSel.StartIndex = std::min(FSel.AnchorIndex, c);
        FSel.EndIndex = std::max(FSel.AnchorIndex, c) - 1;
    } else if (FSel.AnchorRow < row) {
        FSel.StartIndex = FSel.AnchorIndex;
        FSel.EndIndex = c - 1;
    } else {
        FSel.StartIndex = c;
        FSel.EndIndex = FSel.AnchorIndex - 1;
    }
    FSel.Rect.Top = FSel.StartRow;
    FSel.Rect.Bottom = FSel.EndRow;
    if (FSel.Mode == TSelectionMode::Box) {
        FSel.Rect.Left = std::min(FSel.AnchorCol, col);
        FSel.Rect.Right = std::max(FSel.AnchorCol, col);
    } else if (FSel.AnchorRow == row) {
        const int w = RowWidth(row);
        FSel.Rect.Left = std::min(std::min(FSel.AnchorCol, col), w);
        FSel.Rect.Right = std::min(std::max(FSel.AnchorCol, col), w);
    } else if (FSel.AnchorRow < row) {
        FSel.Rect.Left = std::min(FSel.AnchorCol, RowWidth(FSel.AnchorRow));
        FSel.Rect.Right = std::min(col, RowWidth(row));
    } else {
        FSel.Rect.Left = std::min(col, RowWidth(row));
        FSel.Rect.Right = std::min(FSel.AnchorCol, RowWidth(FSel.AnchorRow));
    }
}

int TEditorEditing::SelStart() const {
    if (list().Count() == 0) return 0;
    const int row = FSel.Selected() ? FSel.StartRow : FHost.Row();
    const int index = FSel.Selected() ? FSel.StartIndex : ColToIndex(FHost.Row(), FHost.Col());
    return list().RowOffset(row) + index;
}

int TEditorEditing::RoundStartIndex(int ARow, int ACol) const {
    const TColumnMap a = ColumnMap(ARow);
    int c = ACol;
    if (a.Is(c, TColumnCode::Trail))
        ++c;
    else
        while (a.Is(c, TColumnCode::TabPad)) ++c;
    return ColToIndex(ARow, c);
}

int TEditorEditing::RoundEndIndex(int ARow, int ACol) const {
    const TColumnMap a = ColumnMap(ARow);
    int c = ACol;
    if (!a.Is(c, TColumnCode::Lead))
        while (c > 0 && a.Is(c, TColumnCode::TabPad)) --c;
    return ColToIndex(ARow, c);
}

int TEditorEditing::SelLength() const {
    if (!FSel.Selected()) return 0;
    const TEditorScreenStrings& l = list();
    if (FSel.Mode == TSelectionMode::Box) {
        int n = 0;
        for (int r = FSel.StartRow; r <= FSel.EndRow && r < l.Count(); ++r)
            n += std::max(0, RoundEndIndex(r, FSel.Rect.Right) - RoundStartIndex(r, FSel.Rect.Left)) + 2;
        return n;
    }
    if (FSel.StartRow >= l.Count()) return 0; // only the empty place after the final line end
    if (FSel.StartRow == FSel.EndRow) {
        const int len = static_cast<int>(l.Get(FSel.StartRow).size());
        return std::max(0, std::min(FSel.EndIndex, len - 1) - FSel.StartIndex + 1);
    }
    int n = static_cast<int>(l.Get(FSel.StartRow).size()) - FSel.StartIndex;
    if (l.RowAttribute(FSel.StartRow) == TRowAttribute::LineEnd) n += 2;
    n += l.RowOffset(FSel.EndRow, FSel.StartRow + 1);
    if (FSel.EndRow < l.Count()) n += std::min(FSel.EndIndex + 1, static_cast<int>(l.Get(FSel.EndRow).size()));
    return n;
}

// --- the selection's text ------------------------------------------------------------

std::string TEditorEditing::SelectedText() const {
    if (!FSel.Selected()) return {};
    const TEditorScreenStrings& l = list();
    auto rowText = [&](int r) { return r < l.Count() ? std::string(l.Get(r)) : std::string(); };
    auto boxBytes = [&](int r) {
        const std::string t = rowText(r);
        const TColumnMap a = ColumnMap(r);
        const int s = BoxStartIndex(a, FSel.Rect.Left + 1);
        const int e = BoxEndIndex(a, FSel.Rect.Right);
        if (s > static_cast<int>(t.size()) || e < s) return std::string();
        return t.substr(static_cast<size_t>(s - 1),
                        static_cast<size_t>(std::min(e, static_cast<int>(t.size())) - s + 1));
    };
    if (FSel.Mode == TSelectionMode::Box) {
        std::string out;
        for (int r = FSel.StartRow; r <= FSel.EndRow; ++r) out += boxBytes(r) + std::string(kCrLf);
        return out;
    }
    if (FSel.StartRow == FSel.EndRow) {
        const std::string t = rowText(FSel.StartRow);
        const int s = std::min(FSel.StartIndex, static_cast<int>(t.size()));
        const int e = std::min(FSel.EndIndex, static_cast<int>(t.size()) - 1);
        return e >= s ? t.substr(static_cast<size_t>(s), static_cast<size_t>(e - s + 1)) : std::string();
    }
    // One allocation of the rows' whole span, each row appended where it lies.
    std::string out;
    const int last = std::min(FSel.EndRow, l.Count() - 1);
    if (last >= FSel.StartRow) out.reserve(static_cast<size_t>(l.RowOffset(last + 1) - l.RowOffset(FSel.StartRow)));
    for (int r = FSel.StartRow; r <= last; ++r) {
        std::string_view t = l.Get(r);
        if (r == FSel.EndRow)
            t = t.substr(0, static_cast<size_t>(std::clamp(FSel.EndIndex + 1, 0, static_cast<int>(t.size()))));
        if (r == FSel.StartRow) t = t.substr(std::min(static_cast<size_t>(std::max(FSel.StartIndex, 0)), t.size()));
        out += t;
        if (r < FSel.EndRow && l.RowAttribute(r) == TRowAttribute::LineEnd) out += kCrLf;
    }
    return out;
}

std::vector<TEditorEditing::TRemainderRow> TEditorEditing::SelectionRemainder() const {
    std::vector<TRemainderRow> rows;
    if (!FSel.Selected()) return rows;
    const TEditorScreenStrings& l = list();
    if (FSel.Mode == TSelectionMode::Box) {
        for (int r = FSel.Rect.Top; r <= FSel.Rect.Bottom && r < l.Count(); ++r) {
            const std::string t(l.Get(r));
            const TColumnMap a = ColumnMap(r);
            const int s = BoxStartIndex(a, FSel.Rect.Left + 1);
            const int e = std::min(BoxEndIndex(a, FSel.Rect.Right), static_cast<int>(t.size()));
            std::string kept = t;
            if (s <= static_cast<int>(t.size()) && e >= s)
                kept.erase(static_cast<size_t>(s - 1), static_cast<size_t>(e - s + 1));
            rows.push_back({kept, l.RowAttribute(r), s});
        }
        return rows;
    }
    std::string head;
    if (FSel.StartRow < l.Count())
        head = std::string(l.Get(FSel.StartRow)).substr(0, static_cast<size_t>(std::max(FSel.StartIndex, 0)));
    if (static_cast<int>(head.size()) < FSel.StartIndex)
        head.append(static_cast<size_t>(FSel.StartIndex - static_cast<int>(head.size())), ' ');
    std::string tail;
    TRowAttribute attr = TRowAttribute::EndOfFile;
    if (FSel.EndRow < l.Count()) {
        const std::string t(l.Get(FSel.EndRow));
        if (FSel.EndIndex + 1 < static_cast<int>(t.size())) tail = t.substr(static_cast<size_t>(FSel.EndIndex + 1));
        attr = l.RowAttribute(FSel.EndRow);
    }
    rows.push_back({head + tail, attr, FSel.StartIndex + 1});
    return rows;
}

void TEditorEditing::DeleteSelection() {
    if (!FSel.Selected()) return;
    TEditingHost::TCaretUpdate guard(FHost, FSel.StartRow != FSel.EndRow);
    const int base = BaseRow(FSel.StartRow);
    const int offset = TextOffset(base, FSel.Rect.Top, FSel.Rect.Left);
    const int last = std::min(FSel.EndRow, list().Count() - 1);
    const int first = FSel.StartRow;
    const std::string text = joinRemainder(SelectionRemainder());
    FHost.ClearSelection();
    list().ReplaceRows(first, last - first + 1, text);
    setCaretByOffset(base, offset);
}

// --- inserting -----------------------------------------------------------------------

void TEditorEditing::InsertText(const std::string& Text) {
    if (FHost.ReadOnly()) return;
    // The rows store CR LF whatever line ends the text came with (other programs' text has
    // LF): the caret's place below counts the text as stored.
    const std::string T = sjis::WithCrLf(Text);
    if (T.empty()) {
        if (FSel.Selected()) DeleteSelection();
        return;
    }
    int base, offset, first, last;
    std::string text;
    if (FSel.Selected()) {
        base = BaseRow(FSel.StartRow);
        offset = TextOffset(base, FSel.Rect.Top, FSel.Rect.Left);
        first = FSel.StartRow;
        last = FSel.EndRow;
        std::vector<TRemainderRow> rem = SelectionRemainder();
        if (rem.empty()) {
            text = T;
        } else {
            rem[0].Text.insert(std::min(static_cast<size_t>(rem[0].Split - 1), rem[0].Text.size()), T);
            text = joinRemainder(rem);
        }
    } else {
        base = BaseRow(FHost.Row());
        offset = TextOffset(base, FHost.Row(), FHost.Col());
        first = last = FHost.Row();
        const int i = ByteIndex(FHost.Row(), FHost.Col());
        std::string r = FHost.Row() < list().Count() ? std::string(list().Get(FHost.Row())) : std::string();
        std::string head = r.substr(0, std::min(static_cast<size_t>(std::max(i, 0)), r.size()));
        if (static_cast<int>(head.size()) < i) head.append(static_cast<size_t>(i - static_cast<int>(head.size())), ' ');
        text = head + T + r.substr(std::min(static_cast<size_t>(std::max(i, 0)), r.size()));
        if (FHost.Row() < list().Count() && list().RowAttribute(FHost.Row()) == TRowAttribute::LineEnd) text += kCrLf;
    }
    TEditingHost::TCaretUpdate guard(FHost, T.find('\r') != std::string::npos || T.find('\n') != std::string::npos);
    FHost.ClearSelection();
    replaceRange(first, last, text);
    setCaretByOffset(base, offset + static_cast<int>(T.size()));
}

void TEditorEditing::ReplaceText(int Start, int Length, const std::string& Text) {
    if (FHost.ReadOnly() || Start < 0 || Length < 0) return;
    TEditingHost::TCaretUpdate guard(FHost, true);
    FHost.ClearSelection();
    int base = 0;
    const int offset = list().ReplaceText(Start, Length, Text, base);
    setCaretByOffset(base, offset);
}

void TEditorEditing::ReplaceRanges(const std::vector<int>& Starts, int Length, const std::string& Text) {
    if (FHost.ReadOnly() || Starts.empty()) return;
    TEditingHost::TCaretUpdate guard(FHost, true);
    FHost.ClearSelection();
    const int end = list().ReplaceRanges(Starts, Length, Text);
    setCaretByOffset(0, end);
}

void TEditorEditing::BoxPaste(const std::string& T) {
    if (FHost.ReadOnly()) return;
    if (T.empty()) {
        if (FSel.Selected()) DeleteSelection();
        return;
    }
    const std::vector<std::string_view> lines = sjis::SplitLines(T);
    const int n = static_cast<int>(lines.size());
    const int count = list().Count();
    int top, bottom, next, insCol;
    std::vector<TRemainderRow> rows;
    if (FSel.Selected()) {
        top = FSel.StartRow;
        bottom = std::min(count - 1, std::max(top + n - 1, FSel.EndRow));
        next = FSel.EndRow + 1;
        insCol = FSel.Rect.Left + 1;
        rows = SelectionRemainder();
    } else {
        top = FHost.Row();
        bottom = std::min(count - 1, FHost.Row() + n - 1);
        next = FHost.Row();
        insCol = FHost.Col() + 1;
    }
    int endCol = insCol - 1;
    for (int i = 0; i < n; ++i) {
        const std::string line(lines[static_cast<size_t>(i)]);
        int p;
        if (i < static_cast<int>(rows.size())) {
            p = rows[static_cast<size_t>(i)].Split;
        } else if (next > count - 1) {
            rows.push_back({std::string(static_cast<size_t>(insCol - 1), ' '), TRowAttribute::LineEnd, insCol});
            p = insCol;
            rows.back().Text += line;
            endCol = p - 1 + static_cast<int>(line.size());
            continue;
        } else {
            p = BoxStartIndex(ColumnMap(next), insCol);
            rows.push_back({std::string(list().Get(next)), list().RowAttribute(next), p});
            ++next;
        }
        std::string& r = rows[static_cast<size_t>(i)].Text;
        if (static_cast<int>(r.size()) >= p - 1) {
            r.insert(static_cast<size_t>(p - 1), line);
        } else {
            r.append(static_cast<size_t>(p - 1 - static_cast<int>(r.size())), ' ');
            r += line;
        }
        endCol = p - 1 + static_cast<int>(line.size());
    }
    for (TRemainderRow& r : rows)
        if (r.Attribute == TRowAttribute::EndOfFile) r.Attribute = TRowAttribute::LineEnd;
    const std::string text = joinRemainder(rows);
    TEditingHost::TCaretUpdate guard(FHost, true);
    FHost.ClearSelection();
    replaceRange(top, bottom, text);
    FHost.SetRowCol(top + n - 1, endCol);
}

std::string TEditorEditing::typedRow(const std::string& S, int& Last) const {
    const TEditorScreenStrings& l = list();
    const int row = FHost.Row(), col = FHost.Col();
    const std::string r = row < l.Count() ? std::string(l.Get(row)) : std::string();
    const int i = ByteIndex(row, col);
    int k = row;
    std::string text;
    if (i >= static_cast<int>(r.size())) {
        text = r + std::string(static_cast<size_t>(i - static_cast<int>(r.size())), ' ') + S;
    } else if (!FHost.OverWrite()) {
        text = r.substr(0, static_cast<size_t>(i)) + S + r.substr(static_cast<size_t>(i));
    } else {
        text = r.substr(0, static_cast<size_t>(i)) + S;
        // The columns S covers, walking on over wrapped rows when they run past this one.
        int e = col + static_cast<int>(S.size());
        TColumnMap a = ColumnMap(k);
        while (a.Width() < e && k < l.Count() && l.RowAttribute(k) == TRowAttribute::Wrapped && k + 1 < l.Count()) {
            e -= a.Width();
            ++k;
            a = ColumnMap(k);
            if (e < a.Width()) break;
        }
        const std::string rk(l.Get(k));
        if (a.Is(e, TColumnCode::Trail)) {
            // Half a double-byte character was overwritten: a space keeps its other half.
            const int lead = ByteIndex(k, e - 1);
            text += ' ';
            if (lead + 2 <= static_cast<int>(rk.size())) text += rk.substr(static_cast<size_t>(lead + 2));
        } else {
            const int from = a.ByteIndex(e);
            if (from < static_cast<int>(rk.size())) text += rk.substr(static_cast<size_t>(std::max(from, 0)));
        }
    }
    if (k < l.Count() && l.RowAttribute(k) == TRowAttribute::LineEnd) text += kCrLf;
    Last = k;
    return text;
}

void TEditorEditing::TypeText(const std::string& S) {
    if (S.empty()) return;
    int base, target, first, last;
    std::string text;
    if (FSel.Selected()) {
        base = BaseRow(FSel.StartRow);
        target = TextOffset(base, FSel.Rect.Top, FSel.Rect.Left) + static_cast<int>(S.size());
        std::vector<TRemainderRow> rem = SelectionRemainder();
        if (rem.empty()) rem.push_back({"", TRowAttribute::EndOfFile, 1});
        rem[0].Text.insert(std::min(static_cast<size_t>(rem[0].Split - 1), rem[0].Text.size()), S);
        text = joinRemainder(rem);
        first = FSel.StartRow;
        last = FSel.EndRow;
    } else {
        base = BaseRow(FHost.Row());
        target = TextOffset(base, FHost.Row(), FHost.Col()) + static_cast<int>(S.size());
        first = FHost.Row();
        text = typedRow(S, last);
    }
    TEditingHost::TCaretUpdate guard(FHost, first != last);
    FHost.ClearSelection();
    replaceRange(first, last, text);
    setCaretByOffset(base, target);
}

void TEditorEditing::InsertTab() {
    if (FHost.ReadOnly()) return;
    const int tab = FHost.Caret().TabSpaceCount();
    int w = tab - (FHost.Col() % tab);
    if (list().WordWrap())
        w = std::min(w, list().WrapOption().WrapByte() - (FHost.Col() % list().WrapOption().WrapByte()));
    if (FHost.OverWrite()) {
        FHost.SetCol(FHost.Col() + w);
    } else if (FHost.Caret().SoftTab) {
        TypeText(std::string(static_cast<size_t>(w), ' '));
    } else {
        TypeText("\t");
    }
}

void TEditorEditing::NewLine(bool Shift) {
    if (FHost.ReadOnly()) return;
    if (FSel.Selected()) {
        if (Shift) return;
        DeleteSelection();
    }
    TEditorScreenStrings& l = list();
    const int count = l.Count();
    TEditingHost::TCaretUpdate guard(FHost, true);
    if (FHost.Row() >= count) {
        l.ReplaceRows(count, 0, std::string(kCrLf));
        FHost.SetRowCol(FHost.Row() + 1, 0);
        return;
    }
    if (FHost.OverWrite()) {
        FHost.SetRowCol(FHost.Row() + 1, 0);
        return;
    }
    const std::string r(l.Get(FHost.Row()));
    const int i = std::min(ByteIndex(FHost.Row(), FHost.Col()), static_cast<int>(r.size()));
    const int f = l.LineStartRow(FHost.Row());
    int n = 0;
    if (FHost.Caret().AutoIndent) {
        const int g = IndentWidth(l.Get(f));
        if (g < 1) {
            if (FHost.Caret().PrevSpaceIndent && f == FHost.Row() && r.empty()) n = std::max(0, PrevLineIndent(f));
        } else {
            n = (f == FHost.Row() && FHost.Col() < g) ? FHost.Col() : g;
        }
    }
    const int tab = FHost.Caret().TabSpaceCount();
    const std::string indent = FHost.Caret().TabIndent ? std::string(static_cast<size_t>(n / tab), '\t') +
                                                             std::string(static_cast<size_t>(n % tab), ' ')
                                                       : std::string(static_cast<size_t>(n), ' ');
    if (Shift) {
        l.ReplaceRows(f, 0, indent + std::string(kCrLf));
        setCaretByOffset(f, static_cast<int>(indent.size()));
        return;
    }
    const int offset = TextOffset(f, FHost.Row(), std::min(RowWidth(FHost.Row()), FHost.Col()));
    std::string text =
        r.substr(0, static_cast<size_t>(i)) + std::string(kCrLf) + indent + r.substr(static_cast<size_t>(i));
    if (l.RowAttribute(FHost.Row()) == TRowAttribute::LineEnd) text += kCrLf;
    l.ReplaceRows(FHost.Row(), 1, text);
    setCaretByOffset(f, offset + static_cast<int>(indent.size()) + 2);
}

// --- deleting ------------------------------------------------------------------------

bool TEditorEditing::deleteSelectionInstead() {
    if (FHost.ReadOnly()) return true;
    if (!FSel.Selected()) return false;
    DeleteSelection();
    return true;
}

void TEditorEditing::replaceRow(int ARow, std::string Text) {
    if (list().RowAttribute(ARow) == TRowAttribute::LineEnd) Text += kCrLf;
    list().ReplaceRows(ARow, 1, Text);
}

void TEditorEditing::Backspace() {
    if (deleteSelectionInstead()) return;
    const int count = list().Count();
    if (count == 0) {
        FHost.SetCol(FHost.Col() - 1);
        return;
    }
    const int i = ByteIndex(FHost.Row(), FHost.Col());
    if (i < 1) {
        joinWithRowAbove();
        return;
    }
    const std::string r = FHost.Row() < count ? std::string(list().Get(FHost.Row())) : std::string();
    const int e = IndentWidth(r);
    if (FHost.Caret().BackSpaceUnIndent && (e == -1 || e == RowWidth(FHost.Row()) || FHost.Col() == e)) {
        unindentToEarlierRow();
    } else if (static_cast<int>(r.size()) < i) {
        FHost.SetCol(FHost.Col() - 1); // in the free space past the row's end: the caret moves alone
    } else {
        deleteCharBefore();
    }
}

int TEditorEditing::earlierIndent() const {
    const TEditorScreenStrings& l = list();
    const int firstRow = l.LineStartRow(std::min(FHost.Row(), l.Count() - 1));
    for (int k = FHost.Row() - 1; k >= 0; --k) {
        const int ind = IndentWidth(l.Get(k));
        const bool qualifies = k <= firstRow ? std::max(ind, 0) < FHost.Col() : (ind > 0 && ind < FHost.Col());
        if (qualifies) return std::max(ind, 0);
    }
    return 0;
}

void TEditorEditing::unindentToEarlierRow() {
    // Back to the indentation of an earlier row: the row keeps its first T columns (a tab or
    // double-byte character cut at column T becomes spaces) and what follows the caret.
    const int t = earlierIndent();
    const std::string r(FHost.Row() < list().Count() ? list().Get(FHost.Row()) : std::string_view());
    const TColumnMap a = ColumnMap(FHost.Row());
    TEditingHost::TCaretUpdate guard(FHost, false);
    if (t < a.Width()) {
        std::string text;
        for (int c = 0; c < t;) {
            const TColumnCode code = a.At(c);
            const char byte = r[static_cast<size_t>(a.ByteIndex(c))];
            if (code == TColumnCode::Lead) {
                // A character whose second half lies at column T is cut: a space stands for it.
                text += c + 1 >= t ? std::string(" ") : r.substr(static_cast<size_t>(a.ByteIndex(c)), 2);
                c += 2;
            } else if (code != TColumnCode::TabPad && byte == '\t') {
                int end = c + 1;
                while (a.Is(end, TColumnCode::TabPad)) ++end;
                if (end > t)
                    text.append(static_cast<size_t>(t - c), ' ');
                else
                    text += '\t';
                c = end;
            } else {
                text += byte;
                ++c;
            }
        }
        int after = a.ByteIndex(FHost.Col());
        if (a.Is(FHost.Col(), TColumnCode::TabPad)) {
            // The caret stood inside a tab: the columns left of it stay as spaces.
            int end = FHost.Col();
            while (a.Is(end, TColumnCode::TabPad)) ++end;
            text.append(static_cast<size_t>(end - FHost.Col()), ' ');
            after = a.ByteIndex(FHost.Col()) + 1;
        }
        if (after < static_cast<int>(r.size())) text += r.substr(static_cast<size_t>(after));
        replaceRow(FHost.Row(), text);
    }
    FHost.SetCol(t);
}

void TEditorEditing::deleteCharBefore() {
    const TColumnMap a = ColumnMap(FHost.Row());
    int startCol = FHost.Col() - 1;
    int bytes = 1;
    if (a.Is(startCol, TColumnCode::Trail)) {
        --startCol;
        bytes = 2;
    } else {
        while (startCol > 0 && a.Is(startCol, TColumnCode::TabPad)) --startCol;
    }
    const int base = BaseRow(FHost.Row());
    const int target = TextOffset(base, FHost.Row(), startCol);
    std::string text(list().Get(FHost.Row()));
    text.erase(static_cast<size_t>(a.ByteIndex(startCol)), static_cast<size_t>(bytes));
    TEditingHost::TCaretUpdate guard(FHost, false);
    replaceRow(FHost.Row(), text);
    setCaretByOffset(base, target);
}

void TEditorEditing::joinWithRowAbove() {
    TEditorScreenStrings& l = list();
    if (FHost.Row() < 1) return;
    const int d = FHost.Row() - 1;
    const int base = BaseRow(d);
    std::string kept(l.Get(d));
    int target = RowWidth(d);
    if (l.RowAttribute(d) == TRowAttribute::Wrapped) {
        // The last character of the row above goes: a double-byte character or tab whole.
        const TColumnMap ad = ColumnMap(d);
        int c = ad.Width() - 1;
        if (ad.Is(c, TColumnCode::Trail))
            --c;
        else
            while (c > 0 && ad.Is(c, TColumnCode::TabPad)) --c;
        target = c;
        kept = kept.substr(0, static_cast<size_t>(ad.ByteIndex(c)));
    }
    const int offset = TextOffset(base, d, target);
    TEditingHost::TCaretUpdate guard(FHost, true);
    if (FHost.Row() >= l.Count())
        l.ReplaceRows(d, 1, kept);
    else
        l.ReplaceRows(d, 2, kept + rowWithLineEnd(FHost.Row()));
    setCaretByOffset(base, offset);
}

void TEditorEditing::DeleteChar() {
    if (deleteSelectionInstead()) return;
    TEditorScreenStrings& l = list();
    const int count = l.Count();
    if (FHost.Row() < 0 || FHost.Row() >= count) return;
    const std::string r(l.Get(FHost.Row()));
    const TColumnMap a = ColumnMap(FHost.Row());
    const int i = a.ByteIndex(FHost.Col());
    const int base = BaseRow(FHost.Row());
    if (i < static_cast<int>(r.size())) {
        int col = FHost.Col();
        int bytes = 1;
        if (a.Is(col, TColumnCode::TabPad)) {
            while (col > 0 && a.Is(col, TColumnCode::TabPad)) --col;
        } else if (a.Is(col, TColumnCode::Lead)) {
            bytes = 2;
        }
        const int b = a.ByteIndex(col);
        const int offset = TextOffset(base, FHost.Row(), col);
        std::string text = r;
        text.erase(static_cast<size_t>(b), static_cast<size_t>(std::min(bytes, static_cast<int>(r.size()) - b)));
        TEditingHost::TCaretUpdate guard(FHost, false);
        replaceRow(FHost.Row(), text);
        setCaretByOffset(base, offset);
        return;
    }
    if (l.RowAttribute(FHost.Row()) == TRowAttribute::EndOfFile) return;
    // Past the row's end the row is padded to the caret and the next row joins it.
    std::string padded = r + std::string(static_cast<size_t>(i - static_cast<int>(r.size())), ' ');
    const int offset = TextOffset(base, FHost.Row(), FHost.Col());
    TEditingHost::TCaretUpdate guard(FHost, true);
    if (FHost.Row() == count - 1)
        l.ReplaceRows(FHost.Row(), 1, padded);
    else
        l.ReplaceRows(FHost.Row(), 2, padded + rowWithLineEnd(FHost.Row() + 1));
    setCaretByOffset(base, offset);
}

// --- indenting -----------------------------------------------------------------------

void TEditorEditing::changeIndent(bool Indent) {
    if (!FSel.Selected() || FHost.ReadOnly()) return;
    if (FSel.Mode == TSelectionMode::Box)
        changeBoxIndent(Indent);
    else
        changeLineIndent(Indent);
}

bool TEditorEditing::outsideWrappedLine(int ARow) const {
    const TEditorScreenStrings& l = list();
    return !(l.RowAttribute(ARow) == TRowAttribute::Wrapped ||
             (ARow > 0 && l.RowAttribute(ARow - 1) == TRowAttribute::Wrapped));
}

void TEditorEditing::changeBoxIndent(bool Indent) {
    // A tab goes in (or out) at the box's left edge of each row.
    TEditorScreenStrings& l = list();
    const bool wrap = list().WordWrap();
    const int wrapByte = list().WrapOption().WrapByte();
    const int first = FSel.Rect.Top;
    const int last = std::min(FSel.Rect.Bottom, l.Count() - 1);
    if (first > last) return;
    std::string text;
    for (int r = first; r <= last; ++r) {
        std::string t(l.Get(r));
        const int p = BoxStartIndex(ColumnMap(r), FSel.Rect.Left + 1);
        if (Indent) {
            std::string with = t;
            if (static_cast<int>(t.size()) >= p - 1 && p >= 1) with.insert(static_cast<size_t>(p - 1), "\t");
            if (static_cast<int>(t.size()) >= p &&
                (!wrap || (outsideWrappedLine(r) && TextWidth(with, columnContext()) < wrapByte)))
                t = with;
        } else if (p >= 1 && p <= static_cast<int>(t.size()) && t[static_cast<size_t>(p - 1)] == '\t' &&
                   (!wrap || outsideWrappedLine(r))) {
            t.erase(static_cast<size_t>(p - 1), 1);
        }
        text += t;
        if (l.RowAttribute(r) == TRowAttribute::LineEnd) text += kCrLf;
    }
    const TSelectionState state = FSel.State;
    TEditingHost::TCaretUpdate guard(FHost, true);
    l.ReplaceRows(first, last - first + 1, text);
    FSel.State = state; // the box stays where it was
    FHost.RepaintText();
}

void TEditorEditing::changeLineIndent(bool Indent) {
    // A tab goes in (or out) at the start of each selected line.
    TEditorScreenStrings& l = list();
    const int tab = FHost.Caret().TabSpaceCount();
    const bool wrap = list().WordWrap();
    const int wrapByte = list().WrapOption().WrapByte();
    const int first = FSel.StartRow;
    int last = FSel.EndIndex == -1 ? std::max(FSel.StartRow, FSel.EndRow - 1) : FSel.EndRow;
    last = std::min(last, l.Count() - 1);
    if (first > last) return;
    const TColumnContext ctx = columnContext();
    std::vector<bool> changed;
    std::string text;
    for (int r = first; r <= last; ++r) {
        std::string t(l.Get(r));
        bool ok;
        if (Indent) {
            ok = !wrap || (outsideWrappedLine(r) && TextWidth(t, ctx) + tab < wrapByte);
            if (ok) t.insert(0, "\t");
        } else {
            ok = !t.empty() && t[0] == '\t' && (!wrap || outsideWrappedLine(r));
            if (ok) t.erase(0, 1);
        }
        changed.push_back(ok);
        text += t;
        if (l.RowAttribute(r) == TRowAttribute::LineEnd) text += kCrLf;
    }
    // The selection follows the text: columns move by a tab's width, measured on the rows
    // as they were.
    auto moved = [&](int row, int col) {
        const std::string before(l.Get(row));
        if (Indent) return std::max(BlankWidth(DisplayText(before, ctx)) + tab, col + tab);
        return std::max(IndentWidth(before) - tab, col - tab);
    };
    const bool anchorAtStart = FSel.AnchorRow == FSel.StartRow;
    int startCol = FSel.Rect.Left, endCol = FSel.Rect.Right;
    if (changed.front()) startCol = std::max(0, moved(first, FSel.Rect.Left));
    if (FSel.EndIndex != -1 && FSel.EndRow <= last && changed[static_cast<size_t>(FSel.EndRow - first)])
        endCol = std::max(0, moved(FSel.EndRow, FSel.Rect.Right));
    const int startRow = FSel.StartRow, endRow = FSel.EndRow;
    TEditingHost::TCaretUpdate guard(FHost, true);
    FHost.ClearSelection();
    l.ReplaceRows(first, last - first + 1, text);
    // Re-select the same text.
    FHost.MoveCaretTo(anchorAtStart ? startRow : endRow, anchorAtStart ? startCol : endCol);
    FHost.AnchorSelection();
    FHost.SetRowCol(anchorAtStart ? endRow : startRow, anchorAtStart ? endCol : startCol);
    FHost.ExtendSelection();
    if (SelLength() == 0) FHost.ClearSelection();
}

// --- drag and drop -------------------------------------------------------------------

bool TEditorEditing::CanSelMove() const {
    return !FHost.ReadOnly() && FSel.Selected() && FSel.Mode == TSelectionMode::Normal && FHost.Caret().SelMove;
}

void TEditorEditing::DragCopy(int ARow, int ACol) {
    const std::string text = SelectedText();
    FHost.ClearSelection();
    FHost.SetRowCol(ARow, ACol);
    InsertText(text);
}

void TEditorEditing::DragMove(int ARow, int ACol) {
    if (!CanSelMove()) {
        FHost.ClearSelection();
        return;
    }
    TEditorScreenStrings& l = list();
    const int count = l.Count();
    const int first = std::min(FSel.Rect.Top, ARow);
    const int last = std::max(FSel.Rect.Bottom, ARow);
    // The rows' text with the drop row padded to the drop column. Both places are measured
    // in this padded text: padding the drop row shifts whatever follows it.
    std::string old;
    int selStart = 0, drop = 0;
    for (int r = first; r <= last; ++r) {
        std::string t = r < count ? std::string(l.Get(r)) : std::string();
        if (r == FSel.StartRow) selStart = static_cast<int>(old.size()) + FSel.StartIndex;
        if (r == ARow) {
            const int i = ByteIndex(r, ACol);
            if (i > static_cast<int>(t.size())) t.append(static_cast<size_t>(i - static_cast<int>(t.size())), ' ');
            drop = static_cast<int>(old.size()) + i;
        }
        old += t;
        if (r < count && l.RowAttribute(r) == TRowAttribute::LineEnd) old += kCrLf;
    }
    const std::string moved = SelectedText();
    const int selEnd = selStart + static_cast<int>(moved.size());
    if (drop >= selStart && drop <= selEnd) {
        FHost.ClearSelection();
        return;
    }
    std::string text = old;
    text.erase(static_cast<size_t>(selStart), moved.size());
    if (drop > selEnd) drop -= static_cast<int>(moved.size());
    text.insert(static_cast<size_t>(drop), moved);
    const int base = BaseRow(first);
    const int shift = TextOffset(base, first, 0);
    TEditingHost::TCaretUpdate guard(FHost, true);
    FHost.ClearSelection();
    replaceRange(first, last, text);
    setCaretByOffset(base, shift + drop + static_cast<int>(moved.size()));
}

} // namespace quire
