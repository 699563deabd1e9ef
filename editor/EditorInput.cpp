// TEditor: keys, characters, the input method, the mouse, the popup menu, and the answers to
// the edit-style requests.
#include "Editor.h"

#include "Cp932Codec.h"
#include "EditorClipboard.h"
#include "EditorPopupMenu.h"
#include "FountainParser.h"
#include "ShiftJis.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace quire {

// --- the popup menu ------------------------------------------------------------------

QMenu* TEditor::PopupMenu() {
    if (FOwnerPopup) return FOwnerPopup;
    return &ownPopupMenu();
}

TEditorPopupMenu& TEditor::ownPopupMenu() {
    if (!FPopupMenu) FPopupMenu = new TEditorPopupMenu(*this);
    return *FPopupMenu;
}

void TEditor::SetPopupMenu(QMenu* Menu) { FOwnerPopup = Menu; }

void TEditor::contextMenuEvent(QContextMenuEvent* Event) {
    if (FMouseDown || FDragState != TDragState::None) return;
    PopupMenu()->exec(Event->globalPos());
}

// The own popup's shortcuts act while the editor has the focus and that menu is its popup
// menu, except those the application's own menus use. Returns true when the key was one of
// them.
bool TEditor::ownPopupTakes(const QKeySequence& Key) const { return !FOwnerPopup && !FReservedShortcuts.contains(Key); }

bool TEditor::handlePopupShortcut(QKeyEvent* Event) {
    const QKeySequence key(Event->keyCombination());
    if (!ownPopupTakes(key)) return false;
    return ownPopupMenu().TriggerShortcut(key);
}

bool TEditor::event(QEvent* Event) {
    if (Event->type() == QEvent::KeyPress && WantTabs) {
        // An editor that wants tabs keeps Tab and Shift+Tab: they never move the focus on,
        // here or in a parent that would take an ignored key.
        auto* k = static_cast<QKeyEvent*>(Event);
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(k);
            k->accept();
            return true;
        }
    }
    if (Event->type() == QEvent::ShortcutOverride) {
        // The editor takes its own popup's shortcuts before any window shortcut sees them,
        // unless the application reserved them or gave it a popup menu of its own.
        auto* k = static_cast<QKeyEvent*>(Event);
        const QKeySequence key(k->keyCombination());
        if (ownPopupTakes(key) && TEditorPopupMenu::IsItemShortcut(key)) {
            Event->accept();
            return true;
        }
    }
    if (Event->type() == QEvent::FocusAboutToChange) compositionHandedOver();
    return QAbstractScrollArea::event(Event);
}

// --- keys ----------------------------------------------------------------------------

void TEditor::moveKey(int Key, bool Shift, bool Ctrl, bool AutoRepeat) {
    if (Shift && !Selected())
        AnchorSelection();
    else if (!Shift && Selected())
        ClearSelection();
    const int count = FList->Count();
    switch (Key) {
    case Qt::Key_PageUp: ScrollRows(1 - FMetrics.VisibleRows); break;
    case Qt::Key_PageDown: ScrollRows(FMetrics.VisibleRows - 1); break;
    case Qt::Key_Home:
        if (Ctrl)
            SetRowCol(0, 0);
        else
            SetCol(0);
        break;
    case Qt::Key_End:
        if (Ctrl) SetRow(count);
        SetCol(FRow >= count ? 0 : RowWidth(FRow));
        break;
    case Qt::Key_Left: moveLeft(Ctrl); break;
    case Qt::Key_Right: moveRight(Ctrl); break;
    case Qt::Key_Up: moveUp(Ctrl, AutoRepeat); break;
    case Qt::Key_Down: moveDown(Ctrl, AutoRepeat); break;
    default: break;
    }
    if (Shift) ExtendSelection();
}

void TEditor::moveLeft(bool Ctrl) {
    if (Ctrl) {
        int r = FRow, c = FCol;
        if (WordMove(r, c, -1)) SetRowCol(r, c);
    } else if (FCol > 0) {
        SetCol(FCol - 1);
    } else if (FRow > 0 && (FCaret.NextLine || FList->RowAttribute(FRow - 1) == TRowAttribute::Wrapped)) {
        const TCaretUpdate hidden(*this);
        SetRowCol(FRow - 1, RowWidth(FRow - 1));
    }
}

void TEditor::moveRight(bool Ctrl) {
    if (Ctrl) {
        int r = FRow, c = FCol;
        if (WordMove(r, c, 1)) SetRowCol(r, c);
        return;
    }
    const int old = FCol;
    SetCol(FCol + 1);
    if (FCol == old && FRow < FList->Count() && FList->RowAttribute(FRow) != TRowAttribute::EndOfFile &&
        (FCaret.NextLine || FList->RowAttribute(FRow) == TRowAttribute::Wrapped))
        SetRowCol(FRow + 1, 0);
}

// A held key moves two rows at a time while the caret is at the edge of the view.
void TEditor::moveUp(bool Ctrl, bool AutoRepeat) {
    const int s = AutoRepeat && FRow == FTopRow ? 2 : 1;
    if (FRow <= 0) return;
    if (Ctrl) {
        SetTopRow(FTopRow - s);
        if (FRow >= FTopRow + FMetrics.VisibleRows) SetRow(FRow - s);
    } else {
        SetRow(FRow - s);
    }
}

void TEditor::moveDown(bool Ctrl, bool AutoRepeat) {
    const int s = AutoRepeat && FRow == FTopRow + FMetrics.VisibleRows - 1 ? 2 : 1;
    const bool eof = FRow >= FList->Count() || FList->RowAttribute(FRow) == TRowAttribute::EndOfFile;
    if (Ctrl) {
        SetTopRow(FTopRow + s);
        if (FRow < FTopRow) SetRow(FRow + s);
    } else if (!eof) {
        SetRow(FRow + s);
    }
}

void TEditor::keyPressEvent(QKeyEvent* Event) {
    const bool mouseOperation = FMouseDown || FDragState != TDragState::None;
    if (mouseOperation) {
        if (FDragState != TDragState::Dragging) return;
        if (Event->key() == Qt::Key_Control) setPointer(TCursorKind::DragSelCopy);
        if (Event->key() == Qt::Key_Escape) {
            cancelDrag();
            return;
        }
    }
    const bool shift = Event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = Event->modifiers() & Qt::ControlModifier;
    switch (Event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down: moveKey(Event->key(), shift, ctrl, Event->isAutoRepeat()); return;
    case Qt::Key_Delete: DeleteChar(); return;
    case Qt::Key_Backspace:
        if (!ctrl) Backspace();
        return;
    case Qt::Key_Tab:
        if (!shift && !ctrl && !FReadOnly && WantTabs) {
            InsertTab();
            return;
        }
        Event->ignore();
        return;
    case Qt::Key_Backtab: Event->ignore(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (WantReturns)
            NewLine(shift);
        else
            Event->ignore();
        return;
    default: break;
    }
    if (ctrl && handlePopupShortcut(Event)) return;
    const QString text = Event->text();
    if (!text.isEmpty() && !ctrl && !(Event->modifiers() & Qt::AltModifier)) {
        // Printable characters only: the control bytes (below 32) and 127-159 are not typed.
        bool printable = true;
        for (QChar c : text) printable = printable && c.unicode() >= 32 && !(c.unicode() >= 127 && c.unicode() <= 159);
        if (printable) {
            if (!FReadOnly) typeUnicode(text);
            return;
        }
    }
    Event->ignore();
}

void TEditor::keyReleaseEvent(QKeyEvent* Event) {
    if (FDragState == TDragState::Dragging && Event->key() == Qt::Key_Control) setPointer(TCursorKind::DragSel);
    // A selection made with Shift and the arrow keys is offered once the keys are let go.
    if (Event->key() == Qt::Key_Shift) offerPrimarySelection();
    QAbstractScrollArea::keyReleaseEvent(Event);
}

void TEditor::typeUnicode(const QString& Text) { TypeText(toCodePage(Text)); }

std::string TEditor::toCodePage(const QString& Text) const {
    QString lost;
    std::string bytes = cp932::FromUnicode(Text, FList->CharTable(), &lost);
    if (!lost.isEmpty() && !FList->CharTable()) {
        lost.clear();
        bytes = cp932::FromUnicode(Text, &FList->OwnCharTable(), &lost);
    }
    if (!lost.isEmpty()) reportUnconvertible(lost);
    return bytes;
}

// Every character typed or pasted is kept: one that code page 932 cannot hold takes a code of
// the page's table, which is made for the first of them. Only when the table is full do
// characters become "?": the user hears of it and is told which ones.
void TEditor::reportUnconvertible(const QString& Lost) const {
    QApplication::beep();
    if (OnUnconvertible) OnUnconvertible(const_cast<TEditor*>(this), Lost);
}

// --- the mouse -----------------------------------------------------------------------

namespace {

// The program's own pointers, drawn in code: an arrow pointing right (over the left margin,
// where a press selects rows) and an arrow with a copy sign (dragging a copy of the text).
QCursor programCursor(bool rightArrow) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPolygon arrow;
    if (rightArrow) {
        arrow << QPoint(16, 0) << QPoint(16, 15) << QPoint(12, 11) << QPoint(8, 18) << QPoint(5, 16) << QPoint(9, 9)
              << QPoint(3, 9);
        // Mirror the standard arrow so that it points to the right.
        for (QPoint& pt : arrow) pt.setX(16 - pt.x());
    } else {
        arrow << QPoint(0, 0) << QPoint(0, 15) << QPoint(4, 11) << QPoint(8, 18) << QPoint(11, 16) << QPoint(7, 9)
              << QPoint(13, 9);
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
    if (!rightArrow) {
        p.fillRect(QRect(14, 18, 11, 11), Qt::white);
        p.drawRect(QRect(14, 18, 11, 11));
        p.drawLine(16, 23, 23, 23);
        p.drawLine(19, 20, 19, 26);
    }
    p.end();
    return QCursor(pm, rightArrow ? 16 : 0, 0);
}

// The pointer for one of the platform's cursor numbers that the caret's cursors hold.
QCursor qtCursor(TCursor Number) {
    switch (Number) {
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crDrag: return QCursor(Qt::DragMoveCursor);
    case crRightArrow: return programCursor(true);
    case crDragSelCopy: return programCursor(false);
    default: return QCursor(Qt::ArrowCursor);
    }
}

} // namespace

void TEditor::setPointer(TCursorKind Kind) {
    if (Kind == FCursorKind) return;
    FCursorKind = Kind;
    if (!FCaret.AutoCursor) return;
    const TEditorCursors& c = FCaret.Cursors;
    switch (Kind) {
    case TCursorKind::Default: viewport()->setCursor(qtCursor(c.DefaultCursor)); break;
    case TCursorKind::LeftMargin: viewport()->setCursor(qtCursor(c.LeftMarginCursor)); break;
    case TCursorKind::TopMargin: viewport()->setCursor(qtCursor(c.TopMarginCursor)); break;
    case TCursorKind::InSel: viewport()->setCursor(qtCursor(c.InSelCursor)); break;
    case TCursorKind::DragSel: viewport()->setCursor(qtCursor(c.DragSelCursor)); break;
    case TCursorKind::DragSelCopy: viewport()->setCursor(qtCursor(c.DragSelCopyCursor)); break;
    }
}

void TEditor::showDefaultPointer() { viewport()->setCursor(qtCursor(FCaret.Cursors.DefaultCursor)); }

void TEditor::cancelDrag() {
    FDragState = TDragState::None;
    setPointer(TCursorKind::Default);
    ClearSelection();
}

void TEditor::mousePressEvent(QMouseEvent* Event) {
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    // A composition lands where it was composed before the press moves the caret away.
    landComposition();
    if (Event->button() == Qt::MiddleButton && !FReadOnly && QApplication::clipboard()->supportsSelection()) {
        // The X way: the middle button pastes the primary selection where it is pressed.
        const QPoint cr = PixelToColRow(Event->position().x(), Event->position().y(), true);
        const std::string bytes = ClipboardBytes(QClipboard::Selection);
        if (bytes.empty()) return;
        ClearSelection();
        SetRowCol(cr.y(), cr.x());
        InsertText(bytes);
        return;
    }
    if (Event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(Event);
        return;
    }
    const QPoint p = Event->position().toPoint();
    if (Event->modifiers() & Qt::ShiftModifier) {
        if (!Selected()) AnchorSelection();
        const QPoint cr = PixelToColRow(p.x(), p.y(), true);
        SetRowCol(cr.y(), cr.x());
        ExtendSelection();
        FMouseDown = true;
        return;
    }
    FPressPoint = p;
    const QPoint exact = PixelToColRow(p.x(), p.y(), false);
    if (FEditing.CanSelMove() && p.x() > FMetrics.TextLeft && IsInSelection(exact.y(), exact.x())) {
        // A press inside the selection may start dragging it.
        moveCaretTo(exact.y(), exact.x());
        UpdateCaret();
        if (FCaret.SelDragMode == TDragMode::dmAutomatic) {
            FDragState = TDragState::Pending;
            return;
        }
        FMouseDown = true;
        return;
    }
    const QPoint cr = PixelToColRow(p.x(), p.y(), true);
    FMouseDown = true;
    if (p.x() < FMetrics.TextLeft && FCaret.RowSelect) {
        SelectRow(cr.y());
        return;
    }
    const TCaretUpdate hidden(*this);
    ClearSelection();
    SetRowCol(cr.y(), cr.x());
    AnchorSelection();
}

void TEditor::mouseMoveEvent(QMouseEvent* Event) {
    const QPoint p = Event->position().toPoint();
    const int half = FMetrics.CharWidth / 2;
    const bool far = std::abs(p.x() - FPressPoint.x()) >= half || std::abs(p.y() - FPressPoint.y()) >= half;
    if (FMouseDown && (Event->buttons() & Qt::LeftButton)) {
        QPoint cr = PixelToColRow(p.x(), p.y(), true);
        if (p.y() < FMetrics.TextTop) cr.setY(std::max(0, cr.y() - 1)); // above the text: scroll up
        if (FSel.RowSelecting) {
            ExtendRowSelection(cr.y());
        } else {
            SetRowCol(cr.y(), cr.x());
            if (Selected())
                ExtendSelection();
            else if (FSel.State == TSelectionState::Anchored && far)
                ExtendSelection();
        }
        return;
    }
    if (FDragState == TDragState::Pending) {
        if (far) {
            FDragState = TDragState::Dragging;
            setPointer((Event->modifiers() & Qt::ControlModifier) ? TCursorKind::DragSelCopy : TCursorKind::DragSel);
        }
        return;
    }
    if (FDragState == TDragState::Dragging) {
        QPoint cr = PixelToColRow(p.x(), p.y(), false);
        if (p.y() < FMetrics.TextTop) cr.setY(std::max(0, cr.y() - 1));
        SetRowCol(cr.y(), cr.x());
        return;
    }
    const QPoint cr = PixelToColRow(p.x(), p.y(), false);
    if (p.x() < FMetrics.TextLeft)
        setPointer(TCursorKind::LeftMargin);
    else if (p.y() < FMetrics.TextTop)
        setPointer(TCursorKind::TopMargin);
    else if (FEditing.CanSelMove() && IsInSelection(cr.y(), cr.x()))
        setPointer(TCursorKind::InSel);
    else
        setPointer(TCursorKind::Default);
}

void TEditor::mouseReleaseEvent(QMouseEvent* Event) {
    if (Event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(Event);
        return;
    }
    FMouseDown = false;
    if (FDragState == TDragState::None) offerPrimarySelection();
    if (FDragState == TDragState::Dragging) {
        FDragState = TDragState::None;
        setPointer(TCursorKind::Default);
        const bool outside = !viewport()->rect().contains(Event->position().toPoint());
        if (outside || IsInSelection(FRow, FCol)) {
            ClearSelection();
        } else if (Event->modifiers() & Qt::ControlModifier) {
            DragCopy(FRow, FCol);
        } else {
            DragMove(FRow, FCol);
        }
        return;
    }
    if (FDragState == TDragState::Pending) {
        // Pressed inside the selection and released without moving: the caret stays there.
        FDragState = TDragState::None;
        setPointer(TCursorKind::Default);
        ClearSelection();
        return;
    }
    FSel.RowSelecting = false;
}

void TEditor::mouseDoubleClickEvent(QMouseEvent* Event) {
    // The control adds nothing of its own; the application hears of it.
    QAbstractScrollArea::mouseDoubleClickEvent(Event);
}

void TEditor::wheelEvent(QWheelEvent* Event) {
    if (FMouseDown || FDragState != TDragState::None) return;
    QAbstractScrollArea::wheelEvent(Event);
}

// --- tokens under a point ------------------------------------------------------------

bool TEditor::findTokenAt(const QPoint& Pos, bool UseBrackets, TTokenPlace& Place) {
    int row, index;
    if (!PosToRowIndex(Pos, row, index) || index < 0) return false;
    // The whole logical line is scanned, so that a token continued across a wrap is whole.
    Place.FirstRow = FList->LineStartRow(row);
    int position = index;
    for (int r = Place.FirstRow; r < row; ++r) position += static_cast<int>(FList->Get(r).size());
    const std::string line = FList->GetRowsText(Place.FirstRow, -1);
    TRowState state = TRowState::NotParsed();
    if (UseBrackets) state.BracketIndex = FList->BracketIndex(Place.FirstRow);
    auto p = ActiveFountain().CreateParser();
    p->StartRow(line, state);
    while (p->NextToken() != kindEnd) {
        if (p->TokenStart() > position) break;
        // The token that holds the byte under the pointer, not the one that ends before it.
        if (position < p->TokenStart() + p->TokenLength()) {
            Place.Start = p->TokenStart();
            Place.Text = std::string(p->TokenText());
            Place.Kind = p->TokenKind();
            return true;
        }
    }
    return false;
}

std::pair<std::string, int> TEditor::TokenAt(const QPoint& Pos, bool UseBrackets) {
    TTokenPlace place;
    if (!findTokenAt(Pos, UseBrackets, place)) return {std::string(), 0};
    return {place.Text, place.Kind};
}

void TEditor::SelectTokenAt(const QPoint& Pos) {
    TTokenPlace place;
    if (!findTokenAt(Pos, false, place)) return;
    ClearSelection();
    SetCaretByOffset(place.FirstRow, place.Start);
    SetSelLength(static_cast<int>(place.Text.size()));
}

// --- edit-style requests -------------------------------------------------------------

void TEditor::SetTextMsg(const std::string& Text) {
    if (!FReadOnly) FLines.SetText(Text);
}

void TEditor::CutMsg() {
    if (Selected() && !FReadOnly)
        CutToClipboard();
    else
        QApplication::clipboard()->setText(QString());
}

void TEditor::CopyMsg() {
    if (Selected())
        CopyToClipboard();
    else
        QApplication::clipboard()->setText(QString());
}

void TEditor::PasteMsg() {
    if (!FReadOnly) PasteFromClipboard();
}

void TEditor::ReplaceSel(const std::string& Text) {
    if (!FReadOnly) InsertText(Text);
}

void TEditor::ClearMsg() {
    if (!FReadOnly) DeleteSelection();
}

uint32_t TEditor::GetSel(int* Start, int* End) {
    const int s = SelStart();
    const int e = s + SelLength();
    if (Start) *Start = s;
    if (End) *End = e;
    return (static_cast<uint32_t>(s) & 0xFFFF) | ((static_cast<uint32_t>(e) & 0xFFFF) << 16);
}

void TEditor::SetSel(int Start, int End) {
    if (Start == 0 && End == -1) {
        SelectAll();
    } else if (Start == -1) {
        ClearSelection();
    } else {
        SetSelStart(std::min(Start, End));
        SetSelLength(std::max(Start, End) - std::min(Start, End));
    }
}

void TEditor::ScrollCaret() {
    if (FRow < FTopRow || FRow > FTopRow + FMetrics.VisibleRows - 1) SetTopRow(FRow - FMetrics.VisibleRows / 3);
    if (FCol < FTopCol || FCol > FTopCol + FMetrics.VisibleCols - 1) SetTopCol(FCol - FMetrics.VisibleCols / 3);
}

void TEditor::SetModifyMsg(bool Value) {
    if (!FReadOnly) FModified = Value;
}

int TEditor::LineIndex(int ARow) {
    if (ARow >= FList->Count()) return -1;
    return FList->RowOffset(ARow == -1 ? FRow : ARow);
}

int TEditor::LineLength(int Offset) {
    if (Offset == -1) {
        if (Selected() && FSel.EndRow < FList->Count())
            return static_cast<int>(FList->Get(FSel.EndRow).size()) + FSel.StartIndex - FSel.EndIndex - 1;
        return FRow < FList->Count() ? static_cast<int>(FList->Get(FRow).size()) : 0;
    }
    const int r = FList->RowOfOffset(Offset);
    return r < FList->Count() ? static_cast<int>(FList->Get(r).size()) : 0;
}

int TEditor::GetLine(int ARow, char* Buffer) {
    if (!Buffer || ARow < 0 || ARow >= FList->Count()) return 0;
    const uint16_t room =
        static_cast<uint16_t>(static_cast<unsigned char>(Buffer[0]) | (static_cast<unsigned char>(Buffer[1]) << 8));
    const std::string_view row = FList->Get(ARow);
    const int n = std::min(static_cast<int>(room), static_cast<int>(row.size()));
    std::memcpy(Buffer, row.data(), static_cast<size_t>(n));
    return n;
}

bool TEditor::UndoMsg() {
    if (FReadOnly || !CanUndo()) return false;
    Undo();
    return true;
}

int TEditor::LineFromChar(int Offset) {
    if (Offset == -1) return Selected() ? FSel.StartRow : FRow;
    return FList->RowOfOffset(Offset);
}

void TEditor::EmptyUndoBuffer() {
    if (!FReadOnly) FList->UndoObj().Clear();
}

uint32_t TEditor::PosFromChar(int Offset) {
    int rest = 0;
    const int r = FList->RowOfOffset(Offset, 0, &rest);
    const int col = r < FList->Count()
                        ? TextWidthOfBytes(FList->Get(r), static_cast<size_t>(std::max(rest, 0)), ColumnContext())
                        : 0;
    const int x = FMetrics.TextLeft + (col - FTopCol) * FMetrics.CharWidth;
    const int y = FMetrics.TextTop + (r - FTopRow) * FMetrics.RowHeight;
    return (static_cast<uint32_t>(x) & 0xFFFF) | ((static_cast<uint32_t>(y) & 0xFFFF) << 16);
}

uint32_t TEditor::CharFromPos(const QPoint& Pos) {
    if (!viewport()->rect().contains(Pos)) return 0xFFFFFFFFu;
    const QPoint cr = PixelToColRow(Pos.x(), Pos.y(), true);
    const int r = std::clamp(cr.y(), 0, FList->Count());
    int index = 0;
    if (r < FList->Count()) {
        const TColumnMap a = ColumnMap(r);
        int c = std::min(cr.x(), a.Width());
        if (a.Is(c, TColumnCode::Trail)) --c;
        index = std::min(ColToIndex(r, c), static_cast<int>(FList->Get(r).size()));
    }
    const int offset = FList->RowOffset(r) + index;
    return (static_cast<uint32_t>(offset) & 0xFFFF) | ((static_cast<uint32_t>(r) & 0xFFFF) << 16);
}

} // namespace quire
