// TEditorEditing: the operations that change an editor's text, over its document, its
// selection and its caret; plain C++, reached by the control through TEditingHost.
#pragma once

#include "ColumnModel.h"
#include "EditingHost.h"
#include "EditorScreenStrings.h"
#include "EditorSelection.h"

#include <string>
#include <string_view>
#include <vector>

namespace quire {

class TEditorEditing {
public:
    TEditorEditing(TEditingHost& Host, TEditorSelection& Selection) : FHost(Host), FSel(Selection) {}

    // --- measures of the rows (columns, byte indexes, text offsets) ------------------
    // The columns of row ARow (none for a row that does not exist).
    TColumnMap ColumnMap(int ARow) const;
    int RowWidth(int ARow) const;
    // The byte index of column ACol of row ARow, limited to the row's bytes.
    int ColToIndex(int ARow, int ACol) const;
    int ByteIndex(int ARow, int ACol) const;
    int TextOffset(int Base, int ARow, int ACol) const;
    int BaseRow(int ARow) const;
    // Both take and give 1-based places: C is a column, the result a byte.
    static int BoxStartIndex(const TColumnMap& A, int C);
    static int BoxEndIndex(const TColumnMap& A, int C);
    // The columns of a row's leading blanks (-1 for an empty row).
    int IndentWidth(std::string_view S) const;
    int BlankWidth(std::string_view S) const;
    int PrevLineIndent(int ARow) const;
    // The length of the whole text, every LineEnd row followed by two bytes.
    int TextLength() const;

    // --- the selection's measures ------------------------------------------------------
    // Anchors the selection at the caret (the caller has cleared any earlier one).
    void AnchorAtCaret();
    // Rows, byte indexes and rectangle of the selection from its anchor to the caret.
    void ComputeSelection();
    int SelStart() const;
    int SelLength() const;
    // A column rounded to a whole character or tab: forwards for a start, back for an end.
    int RoundStartIndex(int ARow, int ACol) const;
    int RoundEndIndex(int ARow, int ACol) const;

    // --- the selection's text ------------------------------------------------------------
    std::string SelectedText() const;
    // The rows left when the selection is cut out, each with the 1-based index of the cut.
    struct TRemainderRow {
        std::string Text;
        TRowAttribute Attribute;
        int Split;
    };
    std::vector<TRemainderRow> SelectionRemainder() const;

    // --- editing (each one ReplaceRows, one undo step) --------------------------------
    void DeleteSelection();
    void InsertText(const std::string& T);
    // Replaces Length bytes from the text offset Start with T as one edit and puts the caret
    // after it.
    void ReplaceText(int Start, int Length, const std::string& T);
    // Replaces Length bytes at each of Starts (text offsets, ascending, apart) by T as one undo
    // step; the caret goes after the last new text.
    void ReplaceRanges(const std::vector<int>& Starts, int Length, const std::string& T);
    void BoxPaste(const std::string& T);
    void TypeText(const std::string& S);
    void InsertTab();
    void NewLine(bool Shift);
    void Backspace();
    void DeleteChar();
    void IndentSelection() { changeIndent(true); }
    void UnindentSelection() { changeIndent(false); }
    void DragCopy(int ARow, int ACol);
    void DragMove(int ARow, int ACol);
    bool CanSelMove() const;

private:
    TEditorScreenStrings& list() const { return FHost.ScreenStrings(); }
    TColumnContext columnContext() const { return list().ColumnContext(); }
    void setCaretByOffset(int ARow, int Offset) { list().SetCaretByOffset(&FHost, ARow, Offset); }
    std::string rowWithLineEnd(int ARow) const;
    // Backspace and Delete with a selection delete it (and nothing happens when read-only):
    // true when the key was handled that way.
    bool deleteSelectionInstead();
    // Replaces the text of row ARow, keeping its line end.
    void replaceRow(int ARow, std::string Text);
    // The steps of Backspace.
    int earlierIndent() const;
    void unindentToEarlierRow();
    void deleteCharBefore();
    void joinWithRowAbove();
    void replaceRange(int First, int Last, const std::string& Text);
    std::string joinRemainder(const std::vector<TRemainderRow>& Rows) const;
    // The new text of the caret's row when S is typed there (overwriting or not), and the
    // last row it reaches.
    std::string typedRow(const std::string& S, int& Last) const;
    void changeIndent(bool Indent);
    void changeBoxIndent(bool Indent);
    void changeLineIndent(bool Indent);
    // Rows of a wrapped line do not take an indent: only a row that is a whole line does.
    bool outsideWrappedLine(int ARow) const;

    TEditingHost& FHost;
    TEditorSelection& FSel;
};

} // namespace quire
