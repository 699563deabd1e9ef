// TEditor: the text-editing control. It shows and edits one document (a TEditorScreenStrings
// shared with any other view of it), paints its rows token by token in the colours of the
// active fountain, and keeps a caret and a normal or rectangular selection.
#pragma once

#include "EditorLink.h"
#include "EditorOptions.h"
#include "EditorScreenStrings.h"
#include "EditorStrings.h"

#include <QAbstractScrollArea>
#include <QInputMethodEvent>
#include <QKeySequence>
#include <QBasicTimer>
#include <QFont>
#include <QRawFont>
#include <functional>
#include <memory>

class QPainter;

namespace quire {

enum class TSelectionState { NoSelection, Anchored, Selected };
enum class TSelectionMode { Normal, Box };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// Rows top..bottom, columns left..right of a selection in screen terms.
struct TSelRect {
    int Top = 0, Bottom = 0, Left = 0, Right = 0;
    bool operator==(const TSelRect&) const = default;
};

class TEditor : public QAbstractScrollArea, public TEditorLink {
    Q_OBJECT

public:
    static constexpr int ColumnLimit = 1000;

    explicit TEditor(QWidget* Parent = nullptr);
    ~TEditor() override;

    // --- document ---------------------------------------------------------------------
    TEditorStrings& Lines() noexcept { return FLines; }
    void SetLines(const std::vector<std::string>& Value) { FLines.Assign(Value); }
    // Shows the document of Other (a second view of it): rows, undo and wrap rules shared.
    void AttachDocument(TEditor* Other);
    bool Modified() const noexcept { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // --- options ----------------------------------------------------------------------
    TEditorCaret& Caret() noexcept { return FCaret; }
    void SetCaret(const TEditorCaret& Value) { FCaret.Assign(Value); }
    TEditorMarks& Marks() noexcept { return FMarks; }
    void SetMarks(const TEditorMarks& Value) { FMarks.Assign(Value); }
    TEditorMargin& Margin() noexcept { return FMargin; }
    void SetMargin(const TEditorMargin& Value) { FMargin.Assign(Value); }
    TEditorLeftbar& Leftbar() noexcept { return FLeftbar; }
    void SetLeftbar(const TEditorLeftbar& Value) { FLeftbar.Assign(Value); }
    TEditorRuler& Ruler() noexcept { return FRuler; }
    void SetRuler(const TEditorRuler& Value) { FRuler.Assign(Value); }
    TEditorViewInfo& View() noexcept { return FView; }
    void SetView(TEditorViewInfo& Value);
    TColor Color() const noexcept { return FColor; }
    void SetColor(TColor Value);
    // The text colour (the font's colour).
    TColor FontColor() const noexcept { return FFontColor; }
    void SetFontColor(TColor Value);
    void SetEditorFont(const QFont& Value);
    TFountain* Fountain() const noexcept { return FFountain; }
    void SetFountain(TFountain* Value);
    // Fountain when one is set, else the view's own.
    TFountain& ActiveFountain() { return FFountain ? *FFountain : FView.Fountain(); }
    bool ReadOnly() const noexcept { return FReadOnly; }
    void SetReadOnly(bool Value);
    TSortedStringList& ReserveWordList() { return FView.Fountain().ReserveWordList(); }
    void SetReserveWordList(const std::vector<std::string>& Words);
    TScrollStyle ScrollBars() const noexcept { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    int UndoListMax() { return FList->UndoObj().ListMax(); }
    void SetUndoListMax(int Value) { FList->UndoObj().SetListMax(Value); }
    bool WordWrap() const noexcept { return FList->WordWrap(); }
    void SetWordWrap(bool Value) { FList->SetWordWrap(Value); }
    TEditorWrapOption& WrapOption() { return FList->WrapOption(); }
    void SetWrapOption(const TEditorWrapOption& Value) { FList->WrapOption().Assign(Value); }
    bool WantReturns = true;
    bool WantTabs = true;
    TDelimiters& EditorDelimiters() noexcept { return FDelimiters; }

    // --- events -----------------------------------------------------------------------
    using TEditorEvent = std::function<void(TEditor* Sender)>;
    TEditorEvent OnCaretMoved, OnChange, OnSelectionModeChange, OnTopColChange, OnTopRowChange;
    std::function<void(TEditor* Sender, bool Selected)> OnSelectionChange;
    // Called after each row is drawn, with the painter the row was drawn with (already
    // clipped to ARect): a second painter on the viewport cannot be opened while it paints.
    std::function<void(TEditor* Sender, QPainter& Painter, const std::string& LineStr, int X, int Y, int Index,
                       const QRect& ARect, bool Selected)>
        OnDrawLine;

    // --- undo -------------------------------------------------------------------------
    bool CanUndo() { return FList->UndoObj().CanUndo(); }
    bool CanRedo() { return FList->UndoObj().CanRedo(); }
    void Undo();
    void Redo();

    // --- caret and view ---------------------------------------------------------------
    int Row() const override { return FRow; }
    int Col() const override { return FCol; }
    int TopRow() const override { return FTopRow; }
    int TopCol() const noexcept { return FTopCol; }
    void SetRow(int Value) override;
    void SetCol(int Value) override;
    void SetRowCol(int ARow, int ACol) override;
    void SetTopRow(int Value) override;
    void SetTopCol(int Value);
    int VisibleRows() const noexcept { return FVisibleRows; }
    int VisibleCols() const noexcept { return FVisibleCols; }
    int MaxTopRow() const { return std::max(0, FList->Count() + FVisibleRows - 1); }
    bool OverWrite() const noexcept { return FOverWrite; }
    void SetOverWrite(bool Value);
    int RememberedCol() const noexcept { return FRememberedCol; }
    bool HasRememberedCol() const noexcept { return FColKept; }
    void UpdateCaret();
    void ScrollCaretIntoView();
    void ScrollRows(int Delta);
    // A new position by words; false when it would not move.
    bool WordMove(int& ARow, int& ACol, int Direction);
    QPoint PixelToColRow(int X, int Y, bool Round) const;
    // The row and byte index under a client point; false when there is no character there.
    bool PosToRowIndex(const QPoint& Pos, int& ARow, int& AIndex);
    void CaretBeginUpdate() override;
    void CaretEndUpdate() override;
    void UnderlineBeginUpdate();
    void UnderlineEndUpdate();
    // The caret's pixel (top left of its shape) and size.
    QRect CaretRect() const;
    void SetCaretByOffset(int ARow, int Offset) { FList->SetCaretByOffset(this, ARow, Offset); }

    // --- selection --------------------------------------------------------------------
    TSelectionState SelectionState() const noexcept { return FSelectionState; }
    bool Selected() const noexcept { return FSelectionState == TSelectionState::Selected; }
    TSelectionMode SelectionMode() const noexcept { return FSelectionMode; }
    void SetSelectionMode(TSelectionMode Value);
    const TSelRect& SelRect() const noexcept { return FSelRect; }
    int SelStartRow() const noexcept { return FSelStartRow; }
    int SelEndRow() const noexcept { return FSelEndRow; }
    int SelStartIndex() const noexcept { return FSelStartIndex; }
    int SelEndIndex() const noexcept { return FSelEndIndex; }
    void AnchorSelection();
    void ExtendSelection();
    void ClearSelection() override;
    int SelStart();
    int SelLength();
    void SetSelStart(int Value);
    void SetSelLength(int Value);
    void SelectAll();
    void SelectRow(int ARow);
    void ExtendRowSelection(int ARow);
    void EndRowSelection() { FRowSelecting = false; }
    bool IsInSelection(int ARow, int ACol);
    // The length of the whole text, every LineEnd row followed by two bytes.
    int TextLength();

    // --- editing (each one ReplaceRows, one undo step) --------------------------------
    std::string SelectedText();
    // The rows left when the selection is cut out, each with the 1-based index of the cut.
    struct TRemainderRow {
        std::string Text;
        TRowAttribute Attribute;
        int Split;
    };
    std::vector<TRemainderRow> SelectionRemainder();
    void DeleteSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void InsertText(const std::string& T);
    // Replaces Length bytes from the text offset Start (offsets as SelStart's) with T as one
    // edit and puts the caret after it. Unlike a selection it reaches bytes past column 1000.
    void ReplaceText(int Start, int Length, const std::string& T);
    void BoxPaste(const std::string& T);
    void TypeText(const std::string& S);
    void InsertTab();
    void NewLine(bool Shift);
    void Backspace();
    void DeleteChar();
    void IndentSelection();
    void UnindentSelection();
    void DragCopy(int ARow, int ACol);
    void DragMove(int ARow, int ACol);
    bool CanSelMove() const;
    // Shared measures.
    int ByteIndex(int ARow, int ACol) const;
    int TextOffset(int Base, int ARow, int ACol) const;
    int BaseRow(int ARow) const;
    static int BoxStartIndex(const std::string& A, int C);
    static int BoxEndIndex(const std::string& A, int C);
    int IndentWidth(std::string_view S) const;
    int BlankWidth(std::string_view S) const;
    int PrevLineIndent(int ARow) const;
    // The clipboard format that marks a rectangular copy.
    static const char* BoxMimeType();

    // --- tokens under a point ----------------------------------------------------------
    // The text and kind of the token under a client point (empty and 0 when none).
    std::pair<std::string, int> TokenAt(const QPoint& Pos, bool UseBrackets = false);
    void SelectTokenAt(const QPoint& Pos);

    // --- edit-style requests (the answers of the platform's edit messages) -------------
    std::string GetText() { return FLines.Text(); }
    int GetTextLength() { return TextLength(); }
    void SetTextMsg(const std::string& Text);
    void CutMsg();
    void CopyMsg();
    void PasteMsg();
    void ReplaceSel(const std::string& Text);
    void ClearMsg();
    // Start and end of the selection through the pointers; the result packs their low 16 bits.
    uint32_t GetSel(int* Start, int* End);
    void SetSel(int Start, int End);
    void ScrollCaret();
    bool GetModify() const { return FModified; }
    void SetModifyMsg(bool Value);
    int GetLineCount() const { return FList->Count(); }
    int LineIndex(int ARow);
    int LineLength(int Offset);
    // Copies row ARow into Buffer, at most the count the buffer's first 16-bit word holds.
    int GetLine(int ARow, char* Buffer);
    bool CanUndoMsg() { return !FReadOnly && CanUndo(); }
    bool UndoMsg();
    int LineFromChar(int Offset);
    void EmptyUndoBuffer();
    int GetFirstVisibleLine() const { return FTopRow; }
    void SetReadOnlyMsg(bool Value) { SetReadOnly(Value); }
    uint32_t PosFromChar(int Offset);
    uint32_t CharFromPos(const QPoint& Pos);
    // The row holding text offset Offset, and the offset left within it.
    int RowOfOffset(int Offset, int* Rest = nullptr) const;
    int RowStartOffset(int ARow) const;

    // --- input ------------------------------------------------------------------------
    // Shortcuts of the popup menu that the application's own menus take instead.
    void SetReservedShortcuts(const QList<QKeySequence>& Keys) { FReservedShortcuts = Keys; }
    class QMenu* PopupMenu() const { return FPopupMenu; }
    // The text being composed with the input method (drawn at the caret, not in the text).
    const QString& PreeditText() const noexcept { return FPreedit; }
    int DragState() const noexcept { return FDragState; }
    QVariant inputMethodQuery(Qt::InputMethodQuery Query) const override;

    // --- the column model -------------------------------------------------------------
    TColumnContext ColumnContext() const { return FList->ColumnContext(); }
    std::string RowAttributes(int ARow) const;
    int RowWidth(int ARow) const;
    int ColToIndex(int ARow, int ACol) const;
    int IndexToCol(int ARow, int AIndex) const;

    // --- metrics ----------------------------------------------------------------------
    int CharWidth() const noexcept { return FCharWidth; }
    int CharHeight() const noexcept { return FCharHeight; }
    int RowHeight() const noexcept { return FRowHeight; }
    int TextLeft() const noexcept { return FTextLeft; }
    int TextTop() const noexcept { return FTextTop; }
    int LeftbarWidth() const noexcept { return FLeftbarWidth; }
    int LeftbarDigits() const noexcept { return FLeftbarDigits; }
    int RulerHeight() const noexcept { return FRulerHeight; }
    bool TransparentMode() const noexcept { return FTransparent; }
    void UpdateMetrics();
    int UnderlineY(int ARow) const;
    QColor ToQColor(TColor Value, bool Background) const;

    // --- the document's view of the editor (TEditorLink) -------------------------------
    TEditorScreenStrings& ScreenStrings() override { return *FList; }
    int TabSpaceCount() const override { return FCaret.TabSpaceCount(); }
    const TDelimiters& Delimiters() const override { return FDelimiters; }
    int ScreenRows() const override;
    bool Loading() const override { return FLoading; }
    std::unique_ptr<TRowStateParser> CreateRowStateParser() override;
    bool Focused() const override { return hasFocus(); }
    void LinesUpdateBegin() override;
    void LinesUpdateEnd() override;
    void InvalidateRow(int ARow) override;
    void StoreChanged() override;
    void UpdateView() override;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void scrollContentsBy(int Dx, int Dy) override;
    void timerEvent(QTimerEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void inputMethodEvent(QInputMethodEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    bool event(QEvent* Event) override;

    void ViewChanged(TObject* Sender);
    void DoChange();

private:
    friend class TEditorPainter;
    // caret
    void rowMove(int r);
    void colMove(int c);
    void adjustColumn(bool useRemembered, int step);
    void remember(int c, bool useRemembered);
    void showCaret();
    void hideCaret();
    // The clipboard's text as code page 932 bytes; beeps when characters had to become "?".
    std::string clipboardBytes() const;
    void invalidateCaret();
    bool caretInView() const;
    // selection
    void computeSelection();
    void repaintSelectionChange(const TSelRect& Old, const TSelRect& New);
    int roundStartIndex(int ARow, int ACol) const;
    int roundEndIndex(int ARow, int ACol) const;
    // input
    void moveKey(int Key, bool Shift, bool Ctrl, bool AutoRepeat);
    bool handlePopupShortcut(QKeyEvent* Event);
    void setPointer(int Kind);
    void cancelDrag();
    void createPopupMenu();
    void typeUnicode(const QString& Text);
    // editing
    std::string rowWithLineEnd(int ARow) const;
    void replaceRange(int First, int Last, const std::string& Text);
    std::string joinRemainder(const std::vector<TRemainderRow>& Rows) const;
    void changeIndent(bool Indent);
    // view
    void updateScrollBars();
    void invalidateRows(int From, int To);
    void updateLeftbarDigits();
    void attachTo(TEditorScreenStrings* List);
    void hookFountain(TFountain* F);
    void unhookFountain(TFountain* F);

    TEditorScreenStrings* FList = nullptr;
    TEditorStrings FLines;
    TEditorViewInfo FView;
    TEditorCaret FCaret;
    TEditorMarks FMarks;
    TEditorMargin FMargin;
    TEditorLeftbar FLeftbar;
    TEditorRuler FRuler;
    TDelimiters FDelimiters = DefaultDelimiters();
    TColor FColor = 0xFFFFFF;
    TColor FFontColor = 0x000000;
    TFountain* FFountain = nullptr;
    bool FReadOnly = false;
    TScrollStyle FScrollBars = TScrollStyle::ssNone;
    bool FModified = false;
    bool FLoading = false;
    bool FDestroying = false;

    // caret and view
    int FRow = 0, FCol = 0, FTopRow = 0, FTopCol = 0;
    int FVisibleRows = 1, FVisibleCols = 1;
    bool FOverWrite = false;
    int FRememberedCol = 0;
    bool FColKept = false;
    int FCaretHide = 0;
    bool FCaretShown = false;
    bool FCaretBlinkOn = true;
    int FUnderlineCount = 0;
    bool FBatch = false;
    bool FLinesUpdating = false;
    QBasicTimer FBlink;

    // selection
    TSelectionState FSelectionState = TSelectionState::NoSelection;
    TSelectionMode FSelectionMode = TSelectionMode::Normal;
    int FAnchorRow = 0, FAnchorIndex = 0, FAnchorCol = 0;
    int FSelStartRow = 0, FSelEndRow = 0, FSelStartIndex = 0, FSelEndIndex = 0;
    TSelRect FSelRect, FPrevSelRect;
    int FRowSelAnchor = 0, FRowSelCurrent = 0;
    bool FRowSelOnEof = false;
    bool FRowSelecting = false;
    bool FClearingSelection = false;

    // input
    int FDragState = 0;
    QPoint FPressPoint;
    int FCursorKind = 0;
    bool FMouseDown = false;
    QString FPreedit;
    QList<QInputMethodEvent::Attribute> FPreeditFormats;
    QList<QKeySequence> FReservedShortcuts;
    class QMenu* FPopupMenu = nullptr;
    std::vector<class QAction*> FPopupItems;

    // metrics
    int FCharWidth = 8, FCharHeight = 16, FRowHeight = 16, FTextLeft = 19, FTextTop = 2;
    int FLeftbarWidth = 0, FLeftbarDigits = 4, FRulerHeight = 0, FAscent = 12;
    bool FTransparent = false;
};

} // namespace quire
