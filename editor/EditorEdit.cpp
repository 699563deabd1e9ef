// TEditor: the operations that change text. Each turns the request into new text for a run
// of rows, makes one ReplaceRows (one undo step) and places the caret by a text offset.
#include "Editor.h"

#include "Cp932Codec.h"
#include "EditorClipboard.h"
#include "ShiftJis.h"

#include <QApplication>
#include <QPointer>

namespace quire {

namespace {

constexpr std::string_view kCrLf = "\r\n";

} // namespace

const char* TEditor::BoxMimeType() { return quire::BoxMimeType(); }

// --- shared measures -----------------------------------------------------------------

int TEditor::ByteIndex(int ARow, int ACol) const { return ColumnMap(ARow).ByteIndex(ACol); }

int TEditor::TextOffset(int Base, int ARow, int ACol) const {
    return FList->RowOffset(ARow, Base) + ByteIndex(ARow, ACol);
}

int TEditor::BaseRow(int ARow) const { return FList->BaseRow(ARow); }

// Both take and give 1-based places: C is a column, the result a byte.
int TEditor::BoxStartIndex(const TColumnMap& A, int C) {
    int c = C;
    if (A.Is(c - 1, TColumnCode::Trail)) {
        ++c;
    } else {
        while (c >= 1 && A.Is(c - 1, TColumnCode::TabPad)) ++c;
    }
    return A.BytesBefore(c);
}

int TEditor::BoxEndIndex(const TColumnMap& A, int C) {
    int c = C;
    if (A.Is(c - 1, TColumnCode::Lead)) {
        ++c;
    } else {
        while (c >= 1 && A.Is(c - 1, TColumnCode::TabPad)) --c;
    }
    return A.BytesBefore(c);
}

int TEditor::IndentWidth(std::string_view S) const {
    if (S.empty()) return -1;
    const TColumnContext ctx = ColumnContext();
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

int TEditor::BlankWidth(std::string_view S) const {
    if (S.empty()) return -1;
    return sjis::LeadingBlankWidth(S);
}

int TEditor::PrevLineIndent(int ARow) const {
    const TEditorScreenStrings& l = *FList;
    for (int r = l.LineStartRow(ARow) - 1; r >= 0; --r) {
        const bool starts = r == 0 || l.RowAttribute(r - 1) == TRowAttribute::LineEnd;
        if (!starts) continue;
        const int w = IndentWidth(l.Get(r));
        if (w != -1) return w;
    }
    return 0;
}

std::string TEditor::rowWithLineEnd(int ARow) const {
    if (ARow < 0 || ARow >= FList->Count()) return {};
    std::string s(FList->Get(ARow));
    if (FList->RowAttribute(ARow) == TRowAttribute::LineEnd) s += kCrLf;
    return s;
}

void TEditor::replaceRange(int First, int Last, const std::string& Text) { FList->ReplaceRowRange(First, Last, Text); }

std::string TEditor::joinRemainder(const std::vector<TRemainderRow>& Rows) const {
    std::string text;
    for (const TRemainderRow& r : Rows) {
        text += r.Text;
        if (r.Attribute == TRowAttribute::LineEnd) text += kCrLf;
    }
    return text;
}

// --- the selection's text ------------------------------------------------------------

std::string TEditor::SelectedText() {
    if (!Selected()) return {};
    const TEditorScreenStrings& l = *FList;
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

std::vector<TEditor::TRemainderRow> TEditor::SelectionRemainder() {
    std::vector<TRemainderRow> rows;
    if (!Selected()) return rows;
    const TEditorScreenStrings& l = *FList;
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

void TEditor::DeleteSelection() {
    if (!Selected()) return;
    TCaretUpdate guard(*this, FSel.StartRow != FSel.EndRow);
    const int base = BaseRow(FSel.StartRow);
    const int offset = TextOffset(base, FSel.Rect.Top, FSel.Rect.Left);
    const int last = std::min(FSel.EndRow, FList->Count() - 1);
    const int first = FSel.StartRow;
    const std::string text = joinRemainder(SelectionRemainder());
    ClearSelection();
    FList->ReplaceRows(first, last - first + 1, text);
    SetCaretByOffset(base, offset);
}

// --- the clipboard -------------------------------------------------------------------

QMimeData* TEditor::selectionMimeData() {
    // The bytes go along, so that a paste into an editor restores them exactly; the text for
    // other programs is made from them when one asks.
    return new TClipboardMime(SelectedText(), FSel.Mode == TSelectionMode::Box, FList->SharedCharTable());
}

void TEditor::CopyToClipboard() {
    if (!Selected()) return;
    QApplication::clipboard()->setMimeData(selectionMimeData());
}

void TEditor::offerPrimarySelection() {
    // X's primary selection: what is selected can be pasted with the middle button elsewhere.
    // Nothing is copied now: a program that asks gets what is selected at that moment.
    if (!Selected() || !QApplication::clipboard()->supportsSelection()) return;
    const QPointer<TEditor> self(this);
    TClipboardMime::TSource source{
        [self] { return self && self->Selected() ? self->SelectedText() : std::string(); },
        [self] { return self && self->Selected() && self->FSel.Mode == TSelectionMode::Box; }};
    auto* data = new TClipboardMime(std::move(source), FList->SharedCharTable());
    QApplication::clipboard()->setMimeData(data, QClipboard::Selection);
    FOfferedPrimary = data;
}

void TEditor::withdrawPrimarySelection() {
    // The selection is gone: so is what this editor offered (as other X programs do).
    if (FOfferedPrimary && QApplication::clipboard()->mimeData(QClipboard::Selection) == FOfferedPrimary)
        QApplication::clipboard()->clear(QClipboard::Selection);
    FOfferedPrimary = nullptr;
}

void TEditor::CutToClipboard() {
    if (!Selected()) return;
    CopyToClipboard();
    DeleteSelection();
}

std::string TEditor::ClipboardBytes(QClipboard::Mode Mode) const {
    // An editor's own copy for this document's codes: its bytes, with no text made of them.
    const auto* own = dynamic_cast<const TClipboardMime*>(QApplication::clipboard()->mimeData(Mode));
    if (own && own->Table() == FList->CharTable()) return own->Bytes();
    QString lost;
    std::string bytes = ReadClipboardText(Mode, &lost, FList->CharTable()).Bytes;
    if (!lost.isEmpty() && !FList->CharTable()) {
        lost.clear();
        bytes = ReadClipboardText(Mode, &lost, &FList->OwnCharTable()).Bytes;
    }
    if (!lost.isEmpty()) reportUnconvertible(lost);
    return bytes;
}

void TEditor::PasteFromClipboard() {
    if (!ClipboardHasText()) return;
    const bool box = ClipboardHoldsBox();
    const std::string bytes = ClipboardBytes();
    if (box)
        BoxPaste(bytes);
    else
        InsertText(bytes);
}

// --- inserting -----------------------------------------------------------------------

void TEditor::InsertText(const std::string& Text) {
    if (FReadOnly) return;
    // The rows store CR LF whatever line ends the text came with (other programs' text has
    // LF): the caret's place below counts the text as stored.
    const std::string T = sjis::WithCrLf(Text);
    if (T.empty()) {
        if (Selected()) DeleteSelection();
        return;
    }
    int base, offset, first, last;
    std::string text;
    if (Selected()) {
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
        base = BaseRow(FRow);
        offset = TextOffset(base, FRow, FCol);
        first = last = FRow;
        const int i = ByteIndex(FRow, FCol);
        std::string r = FRow < FList->Count() ? std::string(FList->Get(FRow)) : std::string();
        std::string head = r.substr(0, std::min(static_cast<size_t>(std::max(i, 0)), r.size()));
        if (static_cast<int>(head.size()) < i) head.append(static_cast<size_t>(i - static_cast<int>(head.size())), ' ');
        text = head + T + r.substr(std::min(static_cast<size_t>(std::max(i, 0)), r.size()));
        if (FRow < FList->Count() && FList->RowAttribute(FRow) == TRowAttribute::LineEnd) text += kCrLf;
    }
    TCaretUpdate guard(*this, T.find('\r') != std::string::npos || T.find('\n') != std::string::npos);
    ClearSelection();
    replaceRange(first, last, text);
    SetCaretByOffset(base, offset + static_cast<int>(T.size()));
}

void TEditor::ReplaceText(int Start, int Length, const std::string& Text) {
    if (FReadOnly || Start < 0 || Length < 0) return;
    TCaretUpdate guard(*this, true);
    ClearSelection();
    int base = 0;
    const int offset = FList->ReplaceText(Start, Length, Text, base);
    SetCaretByOffset(base, offset);
}

void TEditor::ReplaceRanges(const std::vector<int>& Starts, int Length, const std::string& Text) {
    if (FReadOnly || Starts.empty()) return;
    TCaretUpdate guard(*this, true);
    ClearSelection();
    const int end = FList->ReplaceRanges(Starts, Length, Text);
    SetCaretByOffset(0, end);
}

void TEditor::BoxPaste(const std::string& T) {
    if (FReadOnly) return;
    if (T.empty()) {
        if (Selected()) DeleteSelection();
        return;
    }
    const std::vector<std::string_view> lines = sjis::SplitLines(T);
    const int n = static_cast<int>(lines.size());
    const int count = FList->Count();
    int top, bottom, next, insCol;
    std::vector<TRemainderRow> rows;
    if (Selected()) {
        top = FSel.StartRow;
        bottom = std::min(count - 1, std::max(top + n - 1, FSel.EndRow));
        next = FSel.EndRow + 1;
        insCol = FSel.Rect.Left + 1;
        rows = SelectionRemainder();
    } else {
        top = FRow;
        bottom = std::min(count - 1, FRow + n - 1);
        next = FRow;
        insCol = FCol + 1;
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
            rows.push_back({std::string(FList->Get(next)), FList->RowAttribute(next), p});
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
    TCaretUpdate guard(*this, true);
    ClearSelection();
    replaceRange(top, bottom, text);
    SetRowCol(top + n - 1, endCol);
}

void TEditor::TypeText(const std::string& S) {
    if (S.empty()) return;
    const TEditorScreenStrings& l = *FList;
    int base, target, first, last;
    std::string text;
    if (Selected()) {
        base = BaseRow(FSel.StartRow);
        target = TextOffset(base, FSel.Rect.Top, FSel.Rect.Left) + static_cast<int>(S.size());
        std::vector<TRemainderRow> rem = SelectionRemainder();
        if (rem.empty()) rem.push_back({"", TRowAttribute::EndOfFile, 1});
        rem[0].Text.insert(std::min(static_cast<size_t>(rem[0].Split - 1), rem[0].Text.size()), S);
        text = joinRemainder(rem);
        first = FSel.StartRow;
        last = FSel.EndRow;
    } else {
        base = BaseRow(FRow);
        target = TextOffset(base, FRow, FCol) + static_cast<int>(S.size());
        const std::string r = FRow < l.Count() ? std::string(l.Get(FRow)) : std::string();
        const int i = ByteIndex(FRow, FCol);
        int k = FRow;
        if (i >= static_cast<int>(r.size())) {
            text = r + std::string(static_cast<size_t>(i - static_cast<int>(r.size())), ' ') + S;
        } else if (!FOverWrite) {
            text = r.substr(0, static_cast<size_t>(i)) + S + r.substr(static_cast<size_t>(i));
        } else {
            text = r.substr(0, static_cast<size_t>(i)) + S;
            // The columns S covers, walking on over wrapped rows when they run past this one.
            int e = FCol + static_cast<int>(S.size());
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
        first = FRow;
        last = k;
    }
    TCaretUpdate guard(*this, first != last);
    ClearSelection();
    replaceRange(first, last, text);
    SetCaretByOffset(base, target);
}

void TEditor::InsertTab() {
    if (FReadOnly || !WantTabs) return;
    const int tab = FCaret.TabSpaceCount();
    int w = tab - (FCol % tab);
    if (WordWrap()) w = std::min(w, WrapOption().WrapByte() - (FCol % WrapOption().WrapByte()));
    if (FOverWrite) {
        SetCol(FCol + w);
    } else if (FCaret.SoftTab) {
        TypeText(std::string(static_cast<size_t>(w), ' '));
    } else {
        TypeText("\t");
    }
}

void TEditor::NewLine(bool Shift) {
    if (FReadOnly) return;
    if (Selected()) {
        if (Shift) return;
        DeleteSelection();
    }
    TEditorScreenStrings& l = *FList;
    const int count = l.Count();
    TCaretUpdate guard(*this, true);
    if (FRow >= count) {
        l.ReplaceRows(count, 0, std::string(kCrLf));
        SetRowCol(FRow + 1, 0);
        return;
    }
    if (FOverWrite) {
        SetRowCol(FRow + 1, 0);
        return;
    }
    const std::string r(l.Get(FRow));
    const int i = std::min(ByteIndex(FRow, FCol), static_cast<int>(r.size()));
    const int f = l.LineStartRow(FRow);
    int n = 0;
    if (FCaret.AutoIndent) {
        const int g = IndentWidth(l.Get(f));
        if (g < 1) {
            if (FCaret.PrevSpaceIndent && f == FRow && r.empty()) n = std::max(0, PrevLineIndent(f));
        } else {
            n = (f == FRow && FCol < g) ? FCol : g;
        }
    }
    const int tab = FCaret.TabSpaceCount();
    const std::string indent = FCaret.TabIndent ? std::string(static_cast<size_t>(n / tab), '\t') +
                                                      std::string(static_cast<size_t>(n % tab), ' ')
                                                : std::string(static_cast<size_t>(n), ' ');
    if (Shift) {
        l.ReplaceRows(f, 0, indent + std::string(kCrLf));
        SetCaretByOffset(f, static_cast<int>(indent.size()));
        return;
    }
    const int offset = TextOffset(f, FRow, std::min(RowWidth(FRow), FCol));
    std::string text =
        r.substr(0, static_cast<size_t>(i)) + std::string(kCrLf) + indent + r.substr(static_cast<size_t>(i));
    if (l.RowAttribute(FRow) == TRowAttribute::LineEnd) text += kCrLf;
    l.ReplaceRows(FRow, 1, text);
    SetCaretByOffset(f, offset + static_cast<int>(indent.size()) + 2);
}

// --- deleting ------------------------------------------------------------------------

bool TEditor::deleteSelectionInstead() {
    if (FReadOnly) return true;
    if (!Selected()) return false;
    DeleteSelection();
    return true;
}

void TEditor::replaceRow(int ARow, std::string Text) {
    if (FList->RowAttribute(ARow) == TRowAttribute::LineEnd) Text += kCrLf;
    FList->ReplaceRows(ARow, 1, Text);
}

void TEditor::Backspace() {
    if (deleteSelectionInstead()) return;
    const int count = FList->Count();
    if (count == 0) {
        SetCol(FCol - 1);
        return;
    }
    const int i = ByteIndex(FRow, FCol);
    if (i < 1) {
        joinWithRowAbove();
        return;
    }
    const std::string r = FRow < count ? std::string(FList->Get(FRow)) : std::string();
    const int e = IndentWidth(r);
    if (FCaret.BackSpaceUnIndent && (e == -1 || e == RowWidth(FRow) || FCol == e)) {
        unindentToEarlierRow();
    } else if (static_cast<int>(r.size()) < i) {
        SetCol(FCol - 1); // in the free space past the row's end: the caret moves alone
    } else {
        deleteCharBefore();
    }
}

int TEditor::earlierIndent() const {
    const TEditorScreenStrings& l = *FList;
    const int firstRow = l.LineStartRow(std::min(FRow, l.Count() - 1));
    for (int k = FRow - 1; k >= 0; --k) {
        const int ind = IndentWidth(l.Get(k));
        const bool qualifies = k <= firstRow ? std::max(ind, 0) < FCol : (ind > 0 && ind < FCol);
        if (qualifies) return std::max(ind, 0);
    }
    return 0;
}

void TEditor::unindentToEarlierRow() {
    // Back to the indentation of an earlier row: the row keeps its first T columns (a tab or
    // double-byte character cut at column T becomes spaces) and what follows the caret.
    const int t = earlierIndent();
    const std::string r(FRow < FList->Count() ? FList->Get(FRow) : std::string_view());
    const TColumnMap a = ColumnMap(FRow);
    TCaretUpdate guard(*this, false);
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
        int after = a.ByteIndex(FCol);
        if (a.Is(FCol, TColumnCode::TabPad)) {
            // The caret stood inside a tab: the columns left of it stay as spaces.
            int end = FCol;
            while (a.Is(end, TColumnCode::TabPad)) ++end;
            text.append(static_cast<size_t>(end - FCol), ' ');
            after = a.ByteIndex(FCol) + 1;
        }
        if (after < static_cast<int>(r.size())) text += r.substr(static_cast<size_t>(after));
        replaceRow(FRow, text);
    }
    SetCol(t);
}

void TEditor::deleteCharBefore() {
    const TColumnMap a = ColumnMap(FRow);
    int startCol = FCol - 1;
    int bytes = 1;
    if (a.Is(startCol, TColumnCode::Trail)) {
        --startCol;
        bytes = 2;
    } else {
        while (startCol > 0 && a.Is(startCol, TColumnCode::TabPad)) --startCol;
    }
    const int base = BaseRow(FRow);
    const int target = TextOffset(base, FRow, startCol);
    std::string text(FList->Get(FRow));
    text.erase(static_cast<size_t>(a.ByteIndex(startCol)), static_cast<size_t>(bytes));
    TCaretUpdate guard(*this, false);
    replaceRow(FRow, text);
    SetCaretByOffset(base, target);
}

void TEditor::joinWithRowAbove() {
    TEditorScreenStrings& l = *FList;
    if (FRow < 1) return;
    const int d = FRow - 1;
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
    TCaretUpdate guard(*this, true);
    if (FRow >= l.Count())
        l.ReplaceRows(d, 1, kept);
    else
        l.ReplaceRows(d, 2, kept + rowWithLineEnd(FRow));
    SetCaretByOffset(base, offset);
}

void TEditor::DeleteChar() {
    if (deleteSelectionInstead()) return;
    TEditorScreenStrings& l = *FList;
    const int count = l.Count();
    if (FRow < 0 || FRow >= count) return;
    const std::string r(l.Get(FRow));
    const TColumnMap a = ColumnMap(FRow);
    const int i = a.ByteIndex(FCol);
    const int base = BaseRow(FRow);
    if (i < static_cast<int>(r.size())) {
        int col = FCol;
        int bytes = 1;
        if (a.Is(col, TColumnCode::TabPad)) {
            while (col > 0 && a.Is(col, TColumnCode::TabPad)) --col;
        } else if (a.Is(col, TColumnCode::Lead)) {
            bytes = 2;
        }
        const int b = a.ByteIndex(col);
        const int offset = TextOffset(base, FRow, col);
        std::string text = r;
        text.erase(static_cast<size_t>(b), static_cast<size_t>(std::min(bytes, static_cast<int>(r.size()) - b)));
        TCaretUpdate guard(*this, false);
        replaceRow(FRow, text);
        SetCaretByOffset(base, offset);
        return;
    }
    if (l.RowAttribute(FRow) == TRowAttribute::EndOfFile) return;
    // Past the row's end the row is padded to the caret and the next row joins it.
    std::string padded = r + std::string(static_cast<size_t>(i - static_cast<int>(r.size())), ' ');
    const int offset = TextOffset(base, FRow, FCol);
    TCaretUpdate guard(*this, true);
    if (FRow == count - 1)
        l.ReplaceRows(FRow, 1, padded);
    else
        l.ReplaceRows(FRow, 2, padded + rowWithLineEnd(FRow + 1));
    SetCaretByOffset(base, offset);
}

// --- indenting -----------------------------------------------------------------------

void TEditor::IndentSelection() { changeIndent(true); }
void TEditor::UnindentSelection() { changeIndent(false); }

void TEditor::changeIndent(bool Indent) {
    if (!Selected() || FReadOnly) return;
    if (FSel.Mode == TSelectionMode::Box)
        changeBoxIndent(Indent);
    else
        changeLineIndent(Indent);
}

bool TEditor::outsideWrappedLine(int ARow) const {
    const TEditorScreenStrings& l = *FList;
    return !(l.RowAttribute(ARow) == TRowAttribute::Wrapped ||
             (ARow > 0 && l.RowAttribute(ARow - 1) == TRowAttribute::Wrapped));
}

void TEditor::changeBoxIndent(bool Indent) {
    // A tab goes in (or out) at the box's left edge of each row.
    TEditorScreenStrings& l = *FList;
    const bool wrap = WordWrap();
    const int wrapByte = WrapOption().WrapByte();
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
                (!wrap || (outsideWrappedLine(r) && TextWidth(with, ColumnContext()) < wrapByte)))
                t = with;
        } else if (p >= 1 && p <= static_cast<int>(t.size()) && t[static_cast<size_t>(p - 1)] == '\t' &&
                   (!wrap || outsideWrappedLine(r))) {
            t.erase(static_cast<size_t>(p - 1), 1);
        }
        text += t;
        if (l.RowAttribute(r) == TRowAttribute::LineEnd) text += kCrLf;
    }
    const TSelectionState state = FSel.State;
    TCaretUpdate guard(*this, true);
    l.ReplaceRows(first, last - first + 1, text);
    FSel.State = state; // the box stays where it was
    viewport()->update();
}

void TEditor::changeLineIndent(bool Indent) {
    // A tab goes in (or out) at the start of each selected line.
    TEditorScreenStrings& l = *FList;
    const int tab = FCaret.TabSpaceCount();
    const bool wrap = WordWrap();
    const int wrapByte = WrapOption().WrapByte();
    const int first = FSel.StartRow;
    int last = FSel.EndIndex == -1 ? std::max(FSel.StartRow, FSel.EndRow - 1) : FSel.EndRow;
    last = std::min(last, l.Count() - 1);
    if (first > last) return;
    const TColumnContext ctx = ColumnContext();
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
    TCaretUpdate guard(*this, true);
    ClearSelection();
    l.ReplaceRows(first, last - first + 1, text);
    // Re-select the same text.
    moveCaretTo(anchorAtStart ? startRow : endRow, anchorAtStart ? startCol : endCol);
    AnchorSelection();
    SetRowCol(anchorAtStart ? endRow : startRow, anchorAtStart ? endCol : startCol);
    ExtendSelection();
    if (SelLength() == 0) ClearSelection();
}

// --- drag and drop -------------------------------------------------------------------

bool TEditor::CanSelMove() const {
    return !FReadOnly && Selected() && FSel.Mode == TSelectionMode::Normal && FCaret.SelMove;
}

void TEditor::DragCopy(int ARow, int ACol) {
    const std::string text = SelectedText();
    ClearSelection();
    SetRowCol(ARow, ACol);
    InsertText(text);
}

void TEditor::DragMove(int ARow, int ACol) {
    if (!CanSelMove()) {
        ClearSelection();
        return;
    }
    TEditorScreenStrings& l = *FList;
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
        ClearSelection();
        return;
    }
    std::string text = old;
    text.erase(static_cast<size_t>(selStart), moved.size());
    if (drop > selEnd) drop -= static_cast<int>(moved.size());
    text.insert(static_cast<size_t>(drop), moved);
    const int base = BaseRow(first);
    const int shift = TextOffset(base, first, 0);
    TCaretUpdate guard(*this, true);
    ClearSelection();
    replaceRange(first, last, text);
    SetCaretByOffset(base, shift + drop + static_cast<int>(moved.size()));
}

} // namespace quire
