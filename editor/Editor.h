// TEditor: the text-editing control. It shows and edits one document (a TEditorScreenStrings
// shared with any other view of it), paints its rows token by token in the colours of the
// active fountain, and keeps a caret and a normal or rectangular selection.
#pragma once

#include "EditingHost.h"
#include "EditorEditing.h"
#include "EditorMetrics.h"
#include "EditorOptions.h"
#include "EditorPaintState.h"
#include "EditorScreen.h"
#include "EditorScreenStrings.h"
#include "EditorSelection.h"
#include "EditorStrings.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFont>
#include <QInputMethodEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QPointer>
#include <QRawFont>
#include <functional>
#include <memory>

class QMenu;
class QPainter;

namespace quire {

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
// A press inside the selection may become a drag: Pending until the pointer has moved far
// enough, then Dragging until the button is released.
enum class TDragState { None, Pending, Dragging };
// Which of the caret's cursors the mouse pointer shows.
enum class TCursorKind { Default, LeftMargin, TopMargin, InSel, DragSel, DragSelCopy };

class TEditor : public QAbstractScrollArea, public TEditingHost {
    Q_OBJECT

public:
    static constexpr int ColumnLimit = 1000;

    explicit TEditor(QWidget* Parent = nullptr);
    ~TEditor() override;

    // --- document ---------------------------------------------------------------------
    TEditorStrings& Lines() noexcept { return FLines; }
    // The rows the editor shows (shared with any other view of the document).
    TEditorScreenStrings& ScreenStrings() override { return *FList; }
    void SetLines(const std::vector<std::string>& Value) { FLines.Assign(Value); }
    // Shows the document of Other (a second view of it): rows, undo and wrap rules shared.
    void AttachDocument(TEditor* Other);
    bool Modified() const noexcept { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // --- options ----------------------------------------------------------------------
    TEditorCaret& Caret() noexcept override { return FCaret; }
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
    bool ReadOnly() const noexcept override { return FReadOnly; }
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

    // --- events -----------------------------------------------------------------------
    using TEditorEvent = std::function<void(TEditor* Sender)>;
    TEditorEvent OnCaretMoved, OnChange, OnSelectionModeChange, OnTopColChange, OnTopRowChange;
    // Characters that code page 932 cannot hold were typed or pasted as "?": Chars holds
    // each of them once.
    std::function<void(TEditor* Sender, const QString& Chars)> OnUnconvertible;
    using TSelectionChangeEvent = std::function<void(TEditor* Sender, bool Selected)>;
    TSelectionChangeEvent OnSelectionChange;
    // Called after each row is drawn, with the painter the row was drawn with (already
    // clipped to ARect): a second painter on the viewport cannot be opened while it paints.
    using TDrawLineEvent = std::function<void(TEditor* Sender, QPainter& Painter, const std::string& LineStr, int X,
                                              int Y, int Index, const QRect& ARect, bool Selected)>;
    TDrawLineEvent OnDrawLine;

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
    int VisibleRows() const noexcept { return FMetrics.VisibleRows; }
    int VisibleCols() const noexcept { return FMetrics.VisibleCols; }
    bool OverWrite() const noexcept override { return FOverWrite; }
    void SetOverWrite(bool Value);
    void ScrollRows(int Delta);
    // The column (x) and row (y) under a client point.
    QPoint PixelToColRow(int X, int Y, bool Round) const;
    // The caret's pixel (top left of its shape) and size.
    QRect CaretRect() const;

    // --- selection --------------------------------------------------------------------
    bool Selected() const noexcept { return FSel.Selected(); }
    TSelectionMode SelectionMode() const noexcept { return FSel.Mode; }
    void SetSelectionMode(TSelectionMode Value);
    int SelStartRow() const noexcept { return FSel.StartRow; }
    int SelEndRow() const noexcept { return FSel.EndRow; }
    int SelStartIndex() const noexcept { return FSel.StartIndex; }
    int SelEndIndex() const noexcept { return FSel.EndIndex; }
    void AnchorSelection() override;
    void ExtendSelection() override;
    void ClearSelection() override;
    int SelStart() { return FEditing.SelStart(); }
    int SelLength() { return FEditing.SelLength(); }
    void SetSelStart(int Value);
    void SetSelLength(int Value);
    void SelectAll();
    void SelectRow(int ARow);
    bool IsInSelection(int ARow, int ACol);
    // The length of the whole text, every LineEnd row followed by two bytes.
    int TextLength() { return FEditing.TextLength(); }

    // --- editing (each one ReplaceRows, one undo step: the work of TEditorEditing) -------
    std::string SelectedText() { return FEditing.SelectedText(); }
    void DeleteSelection() { FEditing.DeleteSelection(); }
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // The clipboard's text (or X's primary selection's) as code page 932 bytes: exactly the
    // bytes an editor copied, else the text converted, characters that had to become "?"
    // reported as typed ones are.
    std::string ClipboardBytes(QClipboard::Mode Mode = QClipboard::Clipboard) const;
    void InsertText(const std::string& T) { FEditing.InsertText(T); }
    // Replaces Length bytes from the text offset Start (offsets as SelStart's) with T as one
    // edit and puts the caret after it. Unlike a selection it reaches bytes past column 1000.
    void ReplaceText(int Start, int Length, const std::string& T) { FEditing.ReplaceText(Start, Length, T); }
    // Replaces Length bytes at each of Starts (text offsets, ascending, apart) by T as one undo
    // step; the caret goes after the last new text.
    void ReplaceRanges(const std::vector<int>& Starts, int Length, const std::string& T) {
        FEditing.ReplaceRanges(Starts, Length, T);
    }
    void BoxPaste(const std::string& T) { FEditing.BoxPaste(T); }
    void TypeText(const std::string& S) { FEditing.TypeText(S); }
    void IndentSelection() { FEditing.IndentSelection(); }
    void UnindentSelection() { FEditing.UnindentSelection(); }

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

    // --- input ------------------------------------------------------------------------
    // Shortcuts of the own popup menu that the application's own menus take instead.
    void SetReservedShortcuts(const QList<QKeySequence>& Keys) { FReservedShortcuts = Keys; }
    // The popup menu: the one its owner gave, else the editor's own (built when first
    // needed). With a menu from its owner, the own popup's shortcuts do not act at all: keys
    // are the owner's business.
    QMenu* PopupMenu();
    void SetPopupMenu(QMenu* Menu);
    // The text being composed with the input method: drawn inline at the caret, the rest of
    // the row shifted right, never in the text or the undo list until it is committed.
    const QString& PreeditText() const noexcept { return FPreedit; }
    QVariant inputMethodQuery(Qt::InputMethodQuery Query) const override;

    // --- metrics ----------------------------------------------------------------------
    int CharWidth() const noexcept { return FMetrics.CharWidth; }
    int CharHeight() const noexcept { return FMetrics.CharHeight; }
    int RowHeight() const noexcept { return FMetrics.RowHeight; }
    int TextLeft() const noexcept { return FMetrics.TextLeft; }
    int TextTop() const noexcept { return FMetrics.TextTop; }
    QColor ToQColor(TColor Value, bool Background) const;

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
    // The store re-wrapped the rows: metrics, scroll bars and caret are recomputed and the
    // view repainted (protected: a derived view may follow it).
    void UpdateView() override;

private:
    // --- the document's view of the editor (TEditorLink), which the store calls ---------
    int TabSpaceCount() const override { return FCaret.TabSpaceCount(); }
    const TDelimiters& Delimiters() const override { return FDelimiters; }
    int ScreenRows() const override;
    std::unique_ptr<TRowStateParser> CreateRowStateParser() override;
    bool ScheduleBackgroundParse() override;
    bool Focused() const override { return hasFocus(); }
    void LinesUpdateBegin() override;
    void LinesUpdateEnd() override;
    void InvalidateRow(int ARow) override;
    void StoreChanged() override;
    void CaretBeginUpdate() override;
    void CaretEndUpdate() override;

    // --- what the editing operations need (TEditingHost) --------------------------------
    void MoveCaretTo(int ARow, int ACol) override { moveCaretTo(ARow, ACol); }
    void RepaintText() override;
    void UnderlineBeginUpdate() override;
    void UnderlineEndUpdate() override;

    // --- what painting reads beyond the public face (TEditorPaintState) ------------------
    TEditorPaintState paintState() const;
    // The pixel row of the caret-row underline of row ARow; -1 when it is off the screen.
    int UnderlineY(int ARow) const;
    // The composition's width in columns, and the columns left of the input method's cursor.
    int CompositionColumns() const;
    int CompositionCursorColumns() const;

    // used only by the control itself
    void UpdateCaret();
    void ScrollCaretIntoView();
    void SetCaretByOffset(int ARow, int Offset) { FList->SetCaretByOffset(this, ARow, Offset); }
    bool CaretVisible() const noexcept { return FCaretShown && FCaretBlinkOn; }
    // The key commands: each is the work of TEditorEditing.
    void InsertTab();
    void NewLine(bool Shift) { FEditing.NewLine(Shift); }
    void Backspace() { FEditing.Backspace(); }
    void DeleteChar() { FEditing.DeleteChar(); }
    TColumnContext ColumnContext() const { return FList->ColumnContext(); }
    // The columns of row ARow (none for a row that does not exist).
    TColumnMap ColumnMap(int ARow) const;
    int RowWidth(int ARow) const;
    int MaxTopRow() const { return std::max(0, FList->Count() + FMetrics.VisibleRows - 1); }
    int RememberedCol() const noexcept { return FRememberedCol; }
    bool HasRememberedCol() const noexcept { return FColKept; }
    // A new position by words; false when it would not move.
    bool WordMove(int& ARow, int& ACol, int Direction);
    // The row and byte index under a client point; false when there is no character there.
    bool PosToRowIndex(const QPoint& Pos, int& ARow, int& AIndex);
    void ExtendRowSelection(int ARow);
    void DragCopy(int ARow, int ACol) { FEditing.DragCopy(ARow, ACol); }
    void DragMove(int ARow, int ACol) { FEditing.DragMove(ARow, ACol); }
    TDragState DragState() const noexcept { return FDragState; }
    // The byte index of column ACol of row ARow, limited to the row's bytes.
    int ColToIndex(int ARow, int ACol) const;
    int IndexToCol(int ARow, int AIndex) const;
    bool TransparentMode() const noexcept { return FMetrics.Transparent; }
    void UpdateMetrics();
    // caret
    // Moves the caret to ARow, then ACol, without showing it in between (nor after: the
    // caller calls UpdateCaret once it is done).
    void moveCaretTo(int ARow, int ACol);
    void rowMove(int r);
    void colMove(int c);
    void adjustColumn(bool useRemembered, int step);
    void remember(int c, bool useRemembered);
    void showCaret();
    void hideCaret();
    void reportUnconvertible(const QString& Lost) const;
    // The selection as the clipboard carries it: plain text with LF line ends, the bytes in
    // the program's own format, and the box marker for a rectangular selection.
    class QMimeData* selectionMimeData();
    void offerPrimarySelection();
    void withdrawPrimarySelection();
    // Text typed, composed or pasted as code page 932 bytes; a beep and OnUnconvertible tell
    // of the characters that became "?".
    std::string toCodePage(const QString& Text) const;
    void invalidateCaret();
    bool caretInView() const;
    // selection
    void repaintSelectionChange(const TSelRect& Old, const TSelRect& New);
    // The row a row selection reaches for ARow: within the rows, never past an end-of-file row.
    int rowSelectionRow(int ARow) const;
    // input
    void moveKey(int Key, bool Shift, bool Ctrl, bool AutoRepeat);
    void moveLeft(bool Ctrl);
    void moveRight(bool Ctrl);
    void moveUp(bool Ctrl, bool AutoRepeat);
    void moveDown(bool Ctrl, bool AutoRepeat);
    bool handlePopupShortcut(QKeyEvent* Event);
    bool ownPopupTakes(const QKeySequence& Key) const;
    // The editor's own popup menu, built when first needed.
    class TEditorPopupMenu& ownPopupMenu();
    void setPointer(TCursorKind Kind);
    // The caret's default cursor, whatever the pointer kind.
    void showDefaultPointer();
    void cancelDrag();
    void typeUnicode(const QString& Text);
    // Shows Text as the composition, with the input method's attributes.
    void setComposition(const QString& Text, const QList<QInputMethodEvent::Attribute>& Attributes);
    // Inserts the composition where it was composed, because the focus or the caret is
    // leaving it, and has the input method forget it; false when there was none. With the
    // focus leaving, a composition the input method has only just cleared lands too.
    bool landComposition(bool FocusLeaving = false);
    void scrollCompositionIntoView();
    // The focus is about to leave: a composition a commit has just landed was handed over by
    // the platform, and the input method will send it once more.
    void compositionHandedOver();
    // The token under a client point: its text, kind and place in its logical line.
    struct TTokenPlace {
        int FirstRow = 0; // the line's first row
        int Start = 0;    // the token's byte offset in the line
        std::string Text;
        int Kind = 0;
    };
    bool findTokenAt(const QPoint& Pos, bool UseBrackets, TTokenPlace& Place);
    // view
    void updateScrollBars();
    void updateLeftbarDigits();
    void hookFountain(TFountain* F);
    void unhookFountain(TFountain* F);
    // One slice of the background parse; the timer stops when no row is left.
    void parseInBackground();
    // Runs the slices every Interval milliseconds (0: whenever the event loop is idle).
    void startParseSlices(int Interval);

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
    bool FDestroying = false;

    // caret and view
    int FRow = 0, FCol = 0, FTopRow = 0, FTopCol = 0;
    bool FOverWrite = false;
    int FRememberedCol = 0;
    bool FColKept = false;
    int FCaretHide = 0;
    bool FCaretShown = false;
    bool FCaretBlinkOn = true;
    QRect FShownCaretRect;
    int FUnderlineCount = 0;
    // While set, moving the caret does not show it again after each step (see moveCaretTo).
    bool FBatch = false;
    QBasicTimer FBlink;
    // Runs the background parse of the document between events (a zero timer: one slice of a
    // few milliseconds whenever the event loop is idle).
    QBasicTimer FParseTimer;
    int FParseInterval = 0;
    bool FParseAfterPaint = false;

    TEditorSelection FSel;
    TEditorEditing FEditing{*this, FSel};

    // input
    TDragState FDragState = TDragState::None;
    QPoint FPressPoint;
    TCursorKind FCursorKind = TCursorKind::Default;
    bool FMouseDown = false;
    QString FPreedit;
    QList<QInputMethodEvent::Attribute> FPreeditFormats;
    int FPreeditCursor = 0; // the input method's cursor, in characters of FPreedit
    // A composition the input method cleared without a commit, kept a moment in case the
    // focus is leaving (the input method clears it just before), and when that was.
    QString FClearedComposition;
    QElapsedTimer FClearedAt;
    // A composition a commit has just landed, until control returns to the event loop: if
    // the focus changes meanwhile, the commit was the platform's hand-over of it.
    QString FJustLanded;
    QList<QKeySequence> FReservedShortcuts;
    class TEditorPopupMenu* FPopupMenu = nullptr; // built when first needed
    QPointer<QMenu> FOwnerPopup;
    // What this editor offers as X's primary selection, while it is there.
    QPointer<QMimeData> FOfferedPrimary;

    TEditorMetrics FMetrics;
    TEditorScreen FScreen{*this, FMetrics};
};

} // namespace quire
