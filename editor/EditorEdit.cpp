// TEditor: the operations that change text. Each turns the request into new text for a run
// of rows, makes one ReplaceRows (one undo step) and places the caret by a text offset.
#include "Editor.h"

#include "Cp932Codec.h"
#include "ShiftJis.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace quire {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Hides the caret (and suspends the caret-row underline) for the lifetime of the guard.
class EditGuard {
public:
    EditGuard(TEditor& e, bool underline) : e_(e), underline_(underline) {
        e_.CaretBeginUpdate();
        if (underline_) e_.UnderlineBeginUpdate();
    }
    ~EditGuard() {
        if (underline_) e_.UnderlineEndUpdate();
        e_.CaretEndUpdate();
    }
    EditGuard(const EditGuard&) = delete;
    EditGuard& operator=(const EditGuard&) = delete;

private:
    TEditor& e_;
    bool underline_;
};

int count3(const std::string& a, int n) {
    int k = 0;
    for (int i = 0; i < n && i < static_cast<int>(a.size()); ++i)
        if (a[static_cast<size_t>(i)] == '3') ++k;
    return k;
}

char at(const std::string& a, int c) { return c >= 0 && c < static_cast<int>(a.size()) ? a[static_cast<size_t>(c)] : '\0'; }

} // namespace

const char* TEditor::BoxMimeType() { return "application/x-teditor-box-type"; }

// --- shared measures -----------------------------------------------------------------

int TEditor::ByteIndex(int ARow, int ACol) const {
    const std::string a = RowAttributes(ARow);
    return ACol - count3(a, ACol + 1);
}

int TEditor::TextOffset(int Base, int ARow, int ACol) const {
    const TEditorScreenStrings& l = *FList;
    int offset = 0;
    for (int r = std::max(Base, 0); r < ARow && r < l.Count(); ++r) {
        const TRowAttribute a = l.RowAttribute(r);
        offset += static_cast<int>(l.Get(r).size()) + (a == TRowAttribute::LineEnd ? 2 : a == TRowAttribute::EndOfFile ? 1 : 0);
    }
    return offset + ByteIndex(ARow, ACol);
}

int TEditor::BaseRow(int ARow) const { return std::max(FList->LineStartRow(ARow), ARow - 1); }

int TEditor::BoxStartIndex(const std::string& A, int C) {
    const int w = static_cast<int>(A.size());
    int c = C;
    if (c >= 1 && c <= w && A[static_cast<size_t>(c - 1)] == '5') {
        ++c;
    } else {
        while (c >= 1 && c <= w && A[static_cast<size_t>(c - 1)] == '3') ++c;
    }
    return c - count3(A, c);
}

int TEditor::BoxEndIndex(const std::string& A, int C) {
    const int w = static_cast<int>(A.size());
    int c = C;
    if (c >= 1 && c <= w && A[static_cast<size_t>(c - 1)] == '4') {
        ++c;
    } else {
        while (c >= 1 && c <= w && A[static_cast<size_t>(c - 1)] == '3') --c;
    }
    return c - count3(A, c);
}

int TEditor::IndentWidth(std::string_view S) const {
    if (S.empty()) return -1;
    const TColumnContext ctx = ColumnContext();
    int col = 0;
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == ' ') col += 1;
        else if (S[i] == '\t') col += ctx.TabWidthAt(col);
        else if (static_cast<unsigned char>(S[i]) == 0x81 && i + 1 < S.size() && static_cast<unsigned char>(S[i + 1]) == 0x40) {
            col += 2;
            ++i;
        } else break;
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

void TEditor::replaceRange(int First, int Last, const std::string& Text) {
    const int count = FList->Count();
    if (First > count - 1) FList->ReplaceRows(First, 0, Text);
    else if (Last > count - 1) FList->ReplaceRows(First, Last - First, Text);
    else FList->ReplaceRows(First, Last - First + 1, Text);
}

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
        const std::string a = RowAttributes(r);
        const int s = BoxStartIndex(a, FSelRect.Left + 1);
        const int e = BoxEndIndex(a, FSelRect.Right);
        if (s > static_cast<int>(t.size()) || e < s) return std::string();
        return t.substr(static_cast<size_t>(s - 1), static_cast<size_t>(std::min(e, static_cast<int>(t.size())) - s + 1));
    };
    if (FSelectionMode == TSelectionMode::Box) {
        std::string out;
        for (int r = FSelStartRow; r <= FSelEndRow; ++r) out += boxBytes(r) + std::string(kCrLf);
        return out;
    }
    if (FSelStartRow == FSelEndRow) {
        const std::string t = rowText(FSelStartRow);
        const int s = std::min(FSelStartIndex, static_cast<int>(t.size()));
        const int e = std::min(FSelEndIndex, static_cast<int>(t.size()) - 1);
        return e >= s ? t.substr(static_cast<size_t>(s), static_cast<size_t>(e - s + 1)) : std::string();
    }
    std::string out;
    for (int r = FSelStartRow; r <= FSelEndRow && r < l.Count(); ++r) {
        std::string t(l.Get(r));
        if (r == FSelEndRow) t = t.substr(0, static_cast<size_t>(std::clamp(FSelEndIndex + 1, 0, static_cast<int>(t.size()))));
        if (r == FSelStartRow) t = t.substr(std::min(static_cast<size_t>(std::max(FSelStartIndex, 0)), t.size()));
        out += t;
        if (r < FSelEndRow && l.RowAttribute(r) == TRowAttribute::LineEnd) out += kCrLf;
    }
    return out;
}

std::vector<TEditor::TRemainderRow> TEditor::SelectionRemainder() {
    std::vector<TRemainderRow> rows;
    if (!Selected()) return rows;
    const TEditorScreenStrings& l = *FList;
    if (FSelectionMode == TSelectionMode::Box) {
        for (int r = FSelRect.Top; r <= FSelRect.Bottom && r < l.Count(); ++r) {
            const std::string t(l.Get(r));
            const std::string a = RowAttributes(r);
            const int s = BoxStartIndex(a, FSelRect.Left + 1);
            const int e = std::min(BoxEndIndex(a, FSelRect.Right), static_cast<int>(t.size()));
            std::string kept = t;
            if (s <= static_cast<int>(t.size()) && e >= s) kept.erase(static_cast<size_t>(s - 1), static_cast<size_t>(e - s + 1));
            rows.push_back({kept, l.RowAttribute(r), s});
        }
        return rows;
    }
    std::string head;
    if (FSelStartRow < l.Count()) head = std::string(l.Get(FSelStartRow)).substr(0, static_cast<size_t>(std::max(FSelStartIndex, 0)));
    if (static_cast<int>(head.size()) < FSelStartIndex) head.append(static_cast<size_t>(FSelStartIndex - static_cast<int>(head.size())), ' ');
    std::string tail;
    TRowAttribute attr = TRowAttribute::EndOfFile;
    if (FSelEndRow < l.Count()) {
        const std::string t(l.Get(FSelEndRow));
        if (FSelEndIndex + 1 < static_cast<int>(t.size())) tail = t.substr(static_cast<size_t>(FSelEndIndex + 1));
        attr = l.RowAttribute(FSelEndRow);
    }
    rows.push_back({head + tail, attr, FSelStartIndex + 1});
    return rows;
}

void TEditor::DeleteSelection() {
    if (!Selected()) return;
    EditGuard guard(*this, FSelStartRow != FSelEndRow);
    const int base = BaseRow(FSelStartRow);
    const int offset = TextOffset(base, FSelRect.Top, FSelRect.Left);
    const int last = std::min(FSelEndRow, FList->Count() - 1);
    const int first = FSelStartRow;
    const std::string text = joinRemainder(SelectionRemainder());
    ClearSelection();
    FList->ReplaceRows(first, last - first + 1, text);
    SetCaretByOffset(base, offset);
}

// --- the clipboard -------------------------------------------------------------------

void TEditor::CopyToClipboard() {
    if (!Selected()) return;
    const std::string text = SelectedText();
    auto* data = new QMimeData;
    data->setText(cp932::ToDisplay(text));
    // The bytes themselves, so that a paste into an editor restores them exactly.
    data->setData(QStringLiteral("application/x-quire-cp932"), QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    if (FSelectionMode == TSelectionMode::Box) {
        QByteArray marker(text.data(), static_cast<qsizetype>(text.size()));
        marker.append('\0');
        data->setData(QString::fromLatin1(BoxMimeType()), marker);
    }
    QApplication::clipboard()->setMimeData(data);
}

void TEditor::CutToClipboard() {
    if (!Selected()) return;
    CopyToClipboard();
    DeleteSelection();
}

std::string TEditor::clipboardBytes() const {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return {};
    // Text copied from an editor carries its bytes: they are used while the plain text still
    // matches them, so that bytes code page 932 has no character for come back exactly.
    const QByteArray own = data->data(QStringLiteral("application/x-quire-cp932"));
    if (!own.isEmpty() && cp932::ToDisplay(std::string_view(own.constData(), static_cast<size_t>(own.size()))) == data->text())
        return std::string(own.constData(), static_cast<size_t>(own.size()));
    bool lossy = false;
    std::string bytes = cp932::FromUnicode(data->text(), &lossy);
    if (lossy) QApplication::beep(); // characters that code page 932 cannot hold became "?"
    return bytes;
}

void TEditor::PasteFromClipboard() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return;
    const std::string bytes = clipboardBytes();
    if (data->hasFormat(QString::fromLatin1(BoxMimeType()))) BoxPaste(bytes);
    else InsertText(bytes);
}

// --- inserting -----------------------------------------------------------------------

void TEditor::InsertText(const std::string& T) {
    if (FReadOnly) return;
    if (T.empty()) {
        if (Selected()) DeleteSelection();
        return;
    }
    int base, offset, first, last;
    std::string text;
    if (Selected()) {
        base = BaseRow(FSelStartRow);
        offset = TextOffset(base, FSelRect.Top, FSelRect.Left);
        first = FSelStartRow;
        last = FSelEndRow;
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
    EditGuard guard(*this, T.find('\r') != std::string::npos || T.find('\n') != std::string::npos);
    ClearSelection();
    replaceRange(first, last, text);
    SetCaretByOffset(base, offset + static_cast<int>(T.size()));
}

void TEditor::ReplaceText(int Start, int Length, const std::string& T) {
    if (FReadOnly || Start < 0 || Length < 0) return;
    int startRest = 0, endRest = 0;
    const int first = RowOfOffset(Start, &startRest);
    const int last = std::max(first, RowOfOffset(Start + Length, &endRest));
    const int count = FList->Count();
    const std::string firstRow = first < count ? std::string(FList->Get(first)) : std::string();
    const std::string lastRow = last < count ? std::string(FList->Get(last)) : std::string();
    // An offset inside a line end counts as the place before it.
    std::string text = firstRow.substr(0, std::min(static_cast<size_t>(startRest), firstRow.size())) + T;
    if (last == first && endRest < startRest) endRest = startRest;
    text += lastRow.substr(std::min(static_cast<size_t>(endRest), lastRow.size()));
    if (last < count && FList->RowAttribute(last) == TRowAttribute::LineEnd) text += kCrLf;
    const int base = first < count ? BaseRow(first) : first;
    const int offset = RowStartOffset(first) - RowStartOffset(base) + std::min(startRest, static_cast<int>(firstRow.size()));
    EditGuard guard(*this, true);
    ClearSelection();
    replaceRange(first, last, text);
    SetCaretByOffset(base, offset + static_cast<int>(T.size()));
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
        top = FSelStartRow;
        bottom = std::min(count - 1, std::max(top + n - 1, FSelEndRow));
        next = FSelEndRow + 1;
        insCol = FSelRect.Left + 1;
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
            p = BoxStartIndex(RowAttributes(next), insCol);
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
    EditGuard guard(*this, true);
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
        base = BaseRow(FSelStartRow);
        target = TextOffset(base, FSelRect.Top, FSelRect.Left) + static_cast<int>(S.size());
        std::vector<TRemainderRow> rem = SelectionRemainder();
        if (rem.empty()) rem.push_back({"", TRowAttribute::EndOfFile, 1});
        rem[0].Text.insert(std::min(static_cast<size_t>(rem[0].Split - 1), rem[0].Text.size()), S);
        text = joinRemainder(rem);
        first = FSelStartRow;
        last = FSelEndRow;
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
            std::string a = RowAttributes(k);
            while (static_cast<int>(a.size()) < e && k < l.Count() && l.RowAttribute(k) == TRowAttribute::Wrapped && k + 1 < l.Count()) {
                e -= static_cast<int>(a.size());
                ++k;
                a = RowAttributes(k);
                if (e < static_cast<int>(a.size())) break;
            }
            const std::string rk(l.Get(k));
            if (at(a, e) == '5') {
                // Half a double-byte character was overwritten: a space keeps its other half.
                const int lead = ByteIndex(k, e - 1);
                text += ' ';
                if (lead + 2 <= static_cast<int>(rk.size())) text += rk.substr(static_cast<size_t>(lead + 2));
            } else {
                const int from = e - count3(a, e + 1);
                if (from < static_cast<int>(rk.size())) text += rk.substr(static_cast<size_t>(std::max(from, 0)));
            }
        }
        if (k < l.Count() && l.RowAttribute(k) == TRowAttribute::LineEnd) text += kCrLf;
        first = FRow;
        last = k;
    }
    EditGuard guard(*this, first != last);
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
    EditGuard guard(*this, true);
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
    const std::string indent = FCaret.TabIndent ? std::string(static_cast<size_t>(n / tab), '\t') + std::string(static_cast<size_t>(n % tab), ' ')
                                                : std::string(static_cast<size_t>(n), ' ');
    if (Shift) {
        l.ReplaceRows(f, 0, indent + std::string(kCrLf));
        SetCaretByOffset(f, static_cast<int>(indent.size()));
        return;
    }
    const int offset = TextOffset(f, FRow, std::min(RowWidth(FRow), FCol));
    std::string text = r.substr(0, static_cast<size_t>(i)) + std::string(kCrLf) + indent + r.substr(static_cast<size_t>(i));
    if (l.RowAttribute(FRow) == TRowAttribute::LineEnd) text += kCrLf;
    l.ReplaceRows(FRow, 1, text);
    SetCaretByOffset(f, offset + static_cast<int>(indent.size()) + 2);
}

// --- deleting ------------------------------------------------------------------------

void TEditor::Backspace() {
    if (FReadOnly) return;
    if (Selected()) {
        DeleteSelection();
        return;
    }
    TEditorScreenStrings& l = *FList;
    const int count = l.Count();
    if (count == 0) {
        SetCol(FCol - 1);
        return;
    }
    const std::string r = FRow < count ? std::string(l.Get(FRow)) : std::string();
    const std::string a = RowAttributes(FRow);
    const int w = static_cast<int>(a.size());
    const int i = ByteIndex(FRow, FCol);
    const bool lineEnd = FRow < count && l.RowAttribute(FRow) == TRowAttribute::LineEnd;
    if (i >= 1) {
        const int e = IndentWidth(r);
        if (FCaret.BackSpaceUnIndent && (e == -1 || e == w || FCol == e)) {
            // Back to the indentation of an earlier row.
            const int firstRow = l.LineStartRow(std::min(FRow, count - 1));
            int t = 0;
            for (int k = FRow - 1; k >= 0; --k) {
                const int ind = IndentWidth(l.Get(k));
                const bool qualifies = k <= firstRow ? std::max(ind, 0) < FCol : (ind > 0 && ind < FCol);
                if (qualifies) {
                    t = std::max(ind, 0);
                    break;
                }
            }
            EditGuard guard(*this, false);
            if (t < w) {
                std::string text;
                for (int c = 0; c < t;) {
                    const char code = at(a, c);
                    if (code == '4' && c + 1 >= t) { // its second half lies at column T
                        text += ' ';
                        c += 2;
                    } else if (code == '4') {
                        const int b = ByteIndex(FRow, c);
                        text += r.substr(static_cast<size_t>(b), 2);
                        c += 2;
                    } else if ((code == '1' || code == '2') && r[static_cast<size_t>(ByteIndex(FRow, c))] == '\t') {
                        int end = c + 1;
                        while (at(a, end) == '3') ++end;
                        if (end > t) text.append(static_cast<size_t>(t - c), ' ');
                        else text += '\t';
                        c = end;
                    } else {
                        text += r[static_cast<size_t>(ByteIndex(FRow, c))];
                        ++c;
                    }
                }
                int after = i;
                if (at(a, FCol) == '3') {
                    int end = FCol;
                    while (at(a, end) == '3') ++end;
                    text.append(static_cast<size_t>(end - FCol), ' ');
                    after = ByteIndex(FRow, FCol) + 1;
                }
                if (after < static_cast<int>(r.size())) text += r.substr(static_cast<size_t>(after));
                if (lineEnd) text += kCrLf;
                l.ReplaceRows(FRow, 1, text);
            }
            SetCol(t);
            return;
        }
        if (static_cast<int>(r.size()) < i) {
            SetCol(FCol - 1);
            return;
        }
        int startCol = FCol - 1;
        int bytes = 1;
        if (at(a, startCol) == '5') {
            --startCol;
            bytes = 2;
        } else {
            while (startCol > 0 && at(a, startCol) == '3') --startCol;
        }
        const int b = ByteIndex(FRow, startCol);
        const int base = BaseRow(FRow);
        const int target = TextOffset(base, FRow, startCol);
        std::string text = r;
        text.erase(static_cast<size_t>(b), static_cast<size_t>(bytes));
        if (lineEnd) text += kCrLf;
        EditGuard guard(*this, false);
        l.ReplaceRows(FRow, 1, text);
        SetCaretByOffset(base, target);
        return;
    }
    if (FRow < 1) return;
    const int d = FRow - 1;
    const int base = std::max(l.LineStartRow(d), FRow - 2);
    std::string kept(l.Get(d));
    int target = RowWidth(d);
    if (l.RowAttribute(d) == TRowAttribute::Wrapped) {
        // The last character of the row above goes: a double-byte character or tab whole.
        const std::string ad = RowAttributes(d);
        int c = static_cast<int>(ad.size()) - 1;
        if (at(ad, c) == '5') --c;
        else
            while (c > 0 && at(ad, c) == '3') --c;
        target = c;
        kept = kept.substr(0, static_cast<size_t>(ByteIndex(d, c)));
    }
    const int offset = TextOffset(base, d, target);
    EditGuard guard(*this, true);
    if (FRow >= count) l.ReplaceRows(d, 1, kept);
    else l.ReplaceRows(d, 2, kept + rowWithLineEnd(FRow));
    SetCaretByOffset(base, offset);
}

void TEditor::DeleteChar() {
    if (FReadOnly) return;
    if (Selected()) {
        DeleteSelection();
        return;
    }
    TEditorScreenStrings& l = *FList;
    const int count = l.Count();
    if (FRow < 0 || FRow >= count) return;
    const std::string r(l.Get(FRow));
    const std::string a = RowAttributes(FRow);
    const int i = ByteIndex(FRow, FCol);
    const bool lineEnd = l.RowAttribute(FRow) == TRowAttribute::LineEnd;
    const int base = BaseRow(FRow);
    if (i < static_cast<int>(r.size())) {
        int col = FCol;
        int bytes = 1;
        if (at(a, col) == '3') {
            while (col > 0 && at(a, col) == '3') --col;
        } else if (at(a, col) == '4') {
            bytes = 2;
        }
        const int b = ByteIndex(FRow, col);
        const int offset = TextOffset(base, FRow, col);
        std::string text = r;
        text.erase(static_cast<size_t>(b), static_cast<size_t>(std::min(bytes, static_cast<int>(r.size()) - b)));
        if (lineEnd) text += kCrLf;
        EditGuard guard(*this, false);
        l.ReplaceRows(FRow, 1, text);
        SetCaretByOffset(base, offset);
        return;
    }
    if (l.RowAttribute(FRow) == TRowAttribute::EndOfFile) return;
    std::string padded = r + std::string(static_cast<size_t>(i - static_cast<int>(r.size())), ' ');
    const int offset = TextOffset(base, FRow, FCol);
    EditGuard guard(*this, true);
    if (FRow == count - 1) l.ReplaceRows(FRow, 1, padded);
    else l.ReplaceRows(FRow, 2, padded + rowWithLineEnd(FRow + 1));
    SetCaretByOffset(base, offset);
}

// --- indenting -----------------------------------------------------------------------

void TEditor::IndentSelection() { changeIndent(true); }
void TEditor::UnindentSelection() { changeIndent(false); }

void TEditor::changeIndent(bool Indent) {
    if (!Selected() || FReadOnly) return;
    TEditorScreenStrings& l = *FList;
    const int count = l.Count();
    const int tab = FCaret.TabSpaceCount();
    const bool wrap = WordWrap();
    const int wrapByte = WrapOption().WrapByte();
    auto unwrapped = [&](int r) {
        return !(l.RowAttribute(r) == TRowAttribute::Wrapped || (r > 0 && l.RowAttribute(r - 1) == TRowAttribute::Wrapped));
    };
    if (FSelectionMode == TSelectionMode::Box) {
        const int first = FSelRect.Top;
        const int last = std::min(FSelRect.Bottom, count - 1);
        if (first > last) return;
        std::string text;
        for (int r = first; r <= last; ++r) {
            std::string t(l.Get(r));
            const int p = BoxStartIndex(RowAttributes(r), FSelRect.Left + 1);
            if (Indent) {
                std::string with = t;
                if (static_cast<int>(t.size()) >= p - 1 && p >= 1) with.insert(static_cast<size_t>(p - 1), "\t");
                if (static_cast<int>(t.size()) >= p && (!wrap || (unwrapped(r) && TextWidth(with, ColumnContext()) < wrapByte)))
                    t = with;
            } else if (p >= 1 && p <= static_cast<int>(t.size()) && t[static_cast<size_t>(p - 1)] == '\t' && (!wrap || unwrapped(r))) {
                t.erase(static_cast<size_t>(p - 1), 1);
            }
            text += t;
            if (l.RowAttribute(r) == TRowAttribute::LineEnd) text += kCrLf;
        }
        const TSelectionState state = FSelectionState;
        EditGuard guard(*this, true);
        l.ReplaceRows(first, last - first + 1, text);
        FSelectionState = state; // the box stays where it was
        viewport()->update();
        return;
    }
    const int first = FSelStartRow;
    int last = FSelEndIndex == -1 ? std::max(FSelStartRow, FSelEndRow - 1) : FSelEndRow;
    last = std::min(last, count - 1);
    if (first > last) return;
    const TColumnContext ctx = ColumnContext();
    std::vector<bool> changed;
    std::string text;
    for (int r = first; r <= last; ++r) {
        std::string t(l.Get(r));
        bool ok;
        if (Indent) {
            ok = !wrap || (unwrapped(r) && TextWidth(t, ctx) + tab < wrapByte);
            if (ok) t.insert(0, "\t");
        } else {
            ok = !t.empty() && t[0] == '\t' && (!wrap || unwrapped(r));
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
    const bool anchorAtStart = FAnchorRow == FSelStartRow;
    int startCol = FSelRect.Left, endCol = FSelRect.Right;
    if (changed.front()) startCol = std::max(0, moved(first, FSelRect.Left));
    if (FSelEndIndex != -1 && FSelEndRow <= last && changed[static_cast<size_t>(FSelEndRow - first)])
        endCol = std::max(0, moved(FSelEndRow, FSelRect.Right));
    const int startRow = FSelStartRow, endRow = FSelEndRow;
    EditGuard guard(*this, true);
    ClearSelection();
    l.ReplaceRows(first, last - first + 1, text);
    // Re-select the same text.
    FBatch = true;
    rowMove(anchorAtStart ? startRow : endRow);
    colMove(anchorAtStart ? startCol : endCol);
    FBatch = false;
    AnchorSelection();
    SetRowCol(anchorAtStart ? endRow : startRow, anchorAtStart ? endCol : startCol);
    ExtendSelection();
    if (SelLength() == 0) ClearSelection();
}

// --- drag and drop -------------------------------------------------------------------

bool TEditor::CanSelMove() const {
    return !FReadOnly && Selected() && FSelectionMode == TSelectionMode::Normal && FCaret.SelMove;
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
    const int first = std::min(FSelRect.Top, ARow);
    const int last = std::max(FSelRect.Bottom, ARow);
    // The rows' text, with the drop row padded to the drop column.
    std::string old;
    for (int r = first; r <= last && r < count; ++r) {
        std::string t(l.Get(r));
        if (r == ARow) {
            const int i = ByteIndex(r, ACol);
            if (i > static_cast<int>(t.size())) t.append(static_cast<size_t>(i - static_cast<int>(t.size())), ' ');
        }
        old += t;
        if (l.RowAttribute(r) == TRowAttribute::LineEnd) old += kCrLf;
    }
    const int selStart = TextOffset(first, FSelStartRow, 0) + FSelStartIndex;
    const std::string moved = SelectedText();
    const int selEnd = selStart + static_cast<int>(moved.size());
    int drop = TextOffset(first, ARow, 0) + ByteIndex(ARow, ACol);
    if (drop >= selStart && drop <= selEnd) {
        ClearSelection();
        return;
    }
    std::string text = old;
    text.erase(static_cast<size_t>(selStart), moved.size());
    if (drop > selEnd) drop -= static_cast<int>(moved.size());
    text.insert(static_cast<size_t>(std::min(drop, static_cast<int>(text.size()))), moved);
    const int base = BaseRow(first);
    const int shift = TextOffset(base, first, 0);
    EditGuard guard(*this, true);
    ClearSelection();
    replaceRange(first, last, text);
    SetCaretByOffset(base, shift + drop + static_cast<int>(moved.size()));
}

} // namespace quire
