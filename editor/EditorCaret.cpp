// TEditor: the caret, the view's scrolling, and the selection.
#include "Editor.h"

#include "ShiftJis.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimerEvent>

namespace quire {

// --- showing the caret ---------------------------------------------------------------

QRect TEditor::CaretRect() const {
    const bool wide = ColumnMap(FRow).Is(FCol, TColumnCode::Lead);
    const int glyph = FMetrics.CharWidth - FMargin.Character();
    // While composing, the caret stands at the input method's cursor inside the composition.
    const int x = FMetrics.TextLeft + (FCol + CompositionCursorColumns() - FTopCol) * FMetrics.CharWidth;
    const int y = FMetrics.TextTop + (FRow - FTopRow) * FMetrics.RowHeight;
    if (FOverWrite) return QRect(x, y, wide ? 2 * glyph : glyph, FMetrics.CharHeight);
    if (FCaret.Style() == TEditorCaretStyle::csBrief)
        return QRect(x, y + FMetrics.CharHeight - 2, wide ? 2 * glyph : glyph, 2);
    return QRect(x, y, 2, FMetrics.CharHeight);
}

bool TEditor::caretInView() const {
    return !(FRow < FTopRow || FRow > FTopRow + FMetrics.VisibleRows || FCol < FTopCol ||
             FCol > FTopCol + FMetrics.VisibleCols);
}

void TEditor::invalidateCaret() { viewport()->update(FShownCaretRect.adjusted(-1, -1, 1, 1)); }

void TEditor::showCaret() {
    if (FCaretHide > 0 || !hasFocus() || FCaretShown || !caretInView()) return;
    FCaretShown = true;
    FCaretBlinkOn = true;
    FShownCaretRect = CaretRect();
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0) FBlink.start(flash / 2, this);
    invalidateCaret();
}

void TEditor::hideCaret() {
    if (!FCaretShown) return;
    FCaretShown = false;
    FBlink.stop();
    invalidateCaret(); // where it was drawn, wherever the caret has moved since
}

void TEditor::timerEvent(QTimerEvent* Event) {
    if (Event->timerId() == FBlink.timerId()) {
        FCaretBlinkOn = !FCaretBlinkOn;
        invalidateCaret();
        return;
    }
    if (Event->timerId() == FParseTimer.timerId()) {
        parseInBackground();
        return;
    }
    QAbstractScrollArea::timerEvent(Event);
}

void TEditor::CaretBeginUpdate() {
    if (FCaretHide++ == 0) hideCaret();
}

void TEditor::CaretEndUpdate() {
    if (FCaretHide <= 0) return;
    if (--FCaretHide == 0) showCaret();
}

void TEditor::focusInEvent(QFocusEvent* Event) {
    QAbstractScrollArea::focusInEvent(Event);
    UpdateCaret();
}

void TEditor::focusOutEvent(QFocusEvent* Event) {
    // What the user composed with the input method lands here, not lost with the focus.
    landComposition(true);
    QAbstractScrollArea::focusOutEvent(Event);
    hideCaret();
}

void TEditor::UpdateCaret() {
    if (FDestroying || !FList) return;
    // The shape follows the mode and the cell; it is redrawn where the caret now is.
    hideCaret();
    ScrollCaretIntoView();
    if (hasFocus()) {
        if (QGuiApplication::inputMethod()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
        if (OnCaretMoved) OnCaretMoved(this);
    }
    showCaret();
}

// --- the caret-row underline ---------------------------------------------------------

void TEditor::UnderlineBeginUpdate() {
    if (FUnderlineCount++ == 0 && FMarks.Underline().Visible() && !Selected()) {
        const int y = UnderlineY(FRow);
        if (y >= 0) viewport()->update(QRect(FMetrics.TextLeft, y, viewport()->width(), 1));
    }
}

void TEditor::UnderlineEndUpdate() {
    if (FUnderlineCount <= 0) return;
    if (--FUnderlineCount == 0 && FMarks.Underline().Visible() && !Selected()) {
        const int y = UnderlineY(FRow);
        if (y >= 0) viewport()->update(QRect(FMetrics.TextLeft, y, viewport()->width(), 1));
    }
}

// --- moving the caret ----------------------------------------------------------------

void TEditor::SetRowCol(int ARow, int ACol) {
    if (ARow == FRow && ACol == FCol) return;
    moveCaretTo(ARow, ACol);
    UpdateCaret();
}

void TEditor::moveCaretTo(int ARow, int ACol) {
    const QScopedValueRollback<bool> batch(FBatch, true);
    rowMove(ARow);
    colMove(ACol);
}

void TEditor::SetRow(int Value) { rowMove(Value); }

void TEditor::SetCol(int Value) { colMove(Value); }

void TEditor::rowMove(int r) {
    const int count = FList->Count();
    if (r == FRow && FRow != count) return;
    UnderlineBeginUpdate();
    const int oldCol = FCol;
    FRow = std::clamp(r, 0, count);
    if (FRow == count && FRow > 0 && FList->RowAttribute(count - 1) == TRowAttribute::EndOfFile) --FRow;
    adjustColumn(true, -1);
    if (FCol != oldCol && FRuler.Visible()) viewport()->update(QRect(0, 0, viewport()->width(), FMetrics.RulerHeight));
    UnderlineEndUpdate();
}

void TEditor::colMove(int c) {
    c = std::clamp(c, 0, ColumnLimit + 1);
    const int old = FCol;
    if (FRuler.Visible()) viewport()->update(QRect(0, 0, viewport()->width(), FMetrics.RulerHeight));
    FCol = c;
    adjustColumn(false, c > old ? 1 : -1);
}

void TEditor::remember(int c, bool useRemembered) {
    if (useRemembered && !FColKept) {
        FRememberedCol = c;
        FColKept = true;
    }
}

void TEditor::adjustColumn(bool U, int S) {
    const TColumnMap a = ColumnMap(FRow);
    const int W = a.Width();
    auto at = [&](int c) { return a.At(c); };
    if (!U) FColKept = false;
    if (U && FColKept) FCol = FRememberedCol;
    if (!FCaret.FreeCaret && FCol > W) {
        if (FCaret.KeepCaret) {
            if (QApplication::mouseButtons() & Qt::LeftButton)
                remember(W, U);
            else
                remember(FCol, U);
        } else {
            remember(FCol, U);
        }
        FCol = W;
    }
    if (at(FCol) == TColumnCode::Trail) {
        remember(FCol, U);
        FCol += S;
    }
    if (!FCaret.InTab && at(FCol) == TColumnCode::TabPad) {
        remember(FCol, U);
        while (at(FCol) == TColumnCode::TabPad) FCol += S;
    }
    if (WordWrap() && FCol >= W) {
        remember(FCol, U);
        const bool wrapped = FRow < FList->Count() && FList->RowAttribute(FRow) == TRowAttribute::Wrapped;
        if (wrapped) {
            FCol = W - 1;
        } else if (FCol >= WrapOption().WrapByte()) {
            FCol = std::max(W, WrapOption().WrapByte() - 1);
        }
        if (at(FCol) == TColumnCode::Trail) --FCol;
        if (!FCaret.InTab)
            while (at(FCol) == TColumnCode::TabPad) --FCol;
    }
    if (FCol > ColumnLimit && at(ColumnLimit - 1) != TColumnCode::Lead) FCol = ColumnLimit;
    FCol = std::max(FCol, 0);
    if (!FBatch) UpdateCaret();
}

// --- scrolling -----------------------------------------------------------------------

void TEditor::ScrollCaretIntoView() {
    if (!hasFocus() || !isVisible()) return;
    if (FRow < FTopRow) SetTopRow(FRow);
    if (FRow > FTopRow + FMetrics.VisibleRows - 1) SetTopRow(FRow - FMetrics.VisibleRows + 1);
    if (FCol < FTopCol) SetTopCol(std::max(0, std::min(FCol, FTopCol - FMetrics.VisibleCols / 4)));
    if (FCol > FTopCol + FMetrics.VisibleCols - 1)
        SetTopCol(std::min(std::max(FCol - FMetrics.VisibleCols + 1, FTopCol + FMetrics.VisibleCols / 4),
                           ColumnLimit - FMetrics.VisibleCols / 2));
}

void TEditor::SetTopRow(int Value) {
    Value = std::clamp(Value, 0, FList->Count());
    if (Value == FTopRow) return;
    {
        const TCaretUpdate hidden(*this);
        const int delta = std::clamp(FTopRow - Value, -(FMetrics.VisibleRows + 1), FMetrics.VisibleRows + 1);
        FTopRow = Value;
        const QRect area(0, FMetrics.TextTop, viewport()->width(), viewport()->height() - FMetrics.TextTop);
        if (std::abs(delta) <= FMetrics.VisibleRows)
            viewport()->scroll(0, delta * FMetrics.RowHeight, area);
        else
            viewport()->update(area);
        const QSignalBlocker block(verticalScrollBar());
        verticalScrollBar()->setValue(FTopRow);
        if (QGuiApplication::inputMethod() && hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    }
    if (OnTopRowChange) OnTopRowChange(this);
}

void TEditor::SetTopCol(int Value) {
    Value = std::clamp(Value, 0, std::max(0, ColumnLimit - FMetrics.VisibleCols / 2));
    if (Value == FTopCol) return;
    {
        const TCaretUpdate hidden(*this);
        const int delta = FTopCol - Value;
        FTopCol = Value;
        // The text and the ruler above it move sideways; the left bar stays.
        const QRect area(FMetrics.TextLeft, 0, viewport()->width() - FMetrics.TextLeft, viewport()->height());
        if (std::abs(delta) < FMetrics.VisibleCols)
            viewport()->scroll(delta * FMetrics.CharWidth, 0, area);
        else
            viewport()->update(area);
        if (FRuler.Visible())
            viewport()->update(QRect(FMetrics.TextLeft, 0, viewport()->width(), FMetrics.RulerHeight));
        const QSignalBlocker block(horizontalScrollBar());
        horizontalScrollBar()->setValue(FTopCol);
        if (QGuiApplication::inputMethod() && hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    }
    if (OnTopColChange) OnTopColChange(this);
}

void TEditor::ScrollRows(int Delta) {
    const int count = FList->Count();
    if (FTopRow == 0 && Delta < 0) {
        SetRow(0);
        return;
    }
    if (Delta > 0 && (FTopRow >= count || FList->RowAttribute(FTopRow) == TRowAttribute::EndOfFile)) return;
    const TCaretUpdate hidden(*this);
    const int old = FTopRow;
    SetTopRow(std::clamp(FTopRow + Delta, 0, count));
    SetRow(FRow + (FTopRow - old));
}

// --- positions -----------------------------------------------------------------------

QPoint TEditor::PixelToColRow(int X, int Y, bool Round) const {
    const int x = X < FMetrics.TextLeft ? X - (FMetrics.CharWidth - 1) : X;
    const int r = Round ? FMetrics.CharWidth / 2 - 1 : 0;
    const int col = std::max(0, (x - FMetrics.TextLeft + r) / FMetrics.CharWidth + FTopCol);
    const int row = (Y - FMetrics.TextTop) / FMetrics.RowHeight + FTopRow;
    return QPoint(col, row);
}

bool TEditor::PosToRowIndex(const QPoint& Pos, int& ARow, int& AIndex) {
    ARow = -1;
    AIndex = -1;
    if (FList->Count() == 0 || Pos.x() < FMetrics.TextLeft || Pos.y() < FMetrics.TextTop) return false;
    const QPoint cr = PixelToColRow(Pos.x(), Pos.y(), false);
    if (cr.y() < 0 || cr.y() > FList->Count()) return false;
    ARow = cr.y();
    const TColumnMap a = ColumnMap(ARow);
    int c = cr.x();
    if (c >= a.Width()) return false;
    if (a.Is(c, TColumnCode::Trail)) --c;
    while (c > 0 && a.Is(c, TColumnCode::TabPad)) --c;
    AIndex = ColToIndex(ARow, c);
    return true;
}

bool TEditor::WordMove(int& ARow, int& ACol, int Direction) {
    const int count = FList->Count();
    if (ARow < 0 || ARow >= count) return false;
    const int startRow = ARow, startCol = ACol;
    auto tokenStarts = [this](int r) {
        const std::string text = DisplayText(FList->Get(r), ColumnContext());
        auto p = ActiveFountain().CreateParser();
        p->StartRow(text, TRowState::NotParsed());
        std::vector<int> starts;
        for (int k; (k = p->NextToken()) != kindEnd;)
            if (k != kindSymbol) starts.push_back(p->TokenStart());
        return std::make_pair(starts, static_cast<int>(text.size()));
    };
    if (Direction > 0) {
        int col = ACol;
        if (col >= RowWidth(ARow)) {
            if (ARow + 1 >= count) return false;
            ++ARow;
            col = -1;
        }
        auto [starts, width] = tokenStarts(ARow);
        for (int s : starts) {
            if (s > col) {
                ACol = s;
                return ARow != startRow || ACol != startCol;
            }
        }
        if (FList->RowAttribute(ARow) == TRowAttribute::Wrapped && ARow + 1 < count) {
            ++ARow;
            ACol = 0;
        } else {
            ACol = width;
        }
        return ARow != startRow || ACol != startCol;
    }
    for (;;) {
        if (ACol == 0) {
            if (ARow == 0) return ARow != startRow || ACol != startCol;
            --ARow;
            ACol = RowWidth(ARow);
            if (FList->RowAttribute(ARow) == TRowAttribute::LineEnd) return true;
            continue;
        }
        auto [starts, width] = tokenStarts(ARow);
        int remembered = -1;
        for (int s : starts) {
            if (s >= ACol && remembered >= 0 && remembered < ACol) break;
            if (s < ACol) remembered = s;
        }
        if (remembered >= 0 && remembered < ACol) {
            ACol = remembered;
        } else if (ARow > 0) {
            --ARow;
            ACol = RowWidth(ARow);
        } else {
            ACol = 0;
        }
        return ARow != startRow || ACol != startCol;
    }
}

// --- selection -----------------------------------------------------------------------

void TEditor::AnchorSelection() {
    if (Selected()) ClearSelection();
    FEditing.AnchorAtCaret();
}

void TEditor::repaintSelectionChange(const TSelRect& Old, const TSelRect& New) {
    // Rows whose selected part may have changed: where either rectangle's edges lie, and
    // every row that joined or left the selection.
    const int top = std::min(Old.Top, New.Top) - 1;
    const int bottom = std::max(Old.Bottom, New.Bottom);
    if (Old.Top == New.Top && Old.Bottom == New.Bottom && FSel.Mode == TSelectionMode::Normal) {
        FScreen.InvalidateRows(Old.Top, Old.Top);
        FScreen.InvalidateRows(Old.Bottom, Old.Bottom);
        return;
    }
    FScreen.InvalidateRows(top, bottom);
}

void TEditor::ExtendSelection() {
    if (FSel.State == TSelectionState::NoSelection) return;
    if (FSel.State == TSelectionState::Anchored) {
        UnderlineBeginUpdate();
        FSel.State = TSelectionState::Selected;
    }
    FEditing.ComputeSelection();
    repaintSelectionChange(FSel.PrevRect, FSel.Rect);
    FSel.PrevRect = FSel.Rect;
    if (OnSelectionChange) OnSelectionChange(this, true);
}

void TEditor::ClearSelection() {
    if (!Selected()) return;
    FSel.State = TSelectionState::NoSelection;
    if (!(FSel.Rect.Top == FSel.Rect.Bottom && FSel.Rect.Left == FSel.Rect.Right)) {
        FScreen.InvalidateRows(FSel.Rect.Top - 1, FSel.Rect.Bottom);
    }
    UnderlineEndUpdate();
    FColKept = false;
    withdrawPrimarySelection();
    if (OnSelectionChange) OnSelectionChange(this, false);
}

void TEditor::SetSelectionMode(TSelectionMode Value) {
    if (Value == FSel.Mode || FSel.RowSelecting) return;
    FSel.Mode = Value;
    if (Selected()) {
        if (Value == TSelectionMode::Box) showDefaultPointer();
        FEditing.ComputeSelection();
        FSel.PrevRect = FSel.Rect;
        viewport()->update();
    }
    if (OnSelectionModeChange) OnSelectionModeChange(this);
}

void TEditor::SetSelStart(int Value) {
    ClearSelection();
    const int count = FList->Count();
    if (count == 0) return;
    if (Value <= 0) {
        SetRowCol(0, 0);
        return;
    }
    const TCaretPos pos = FList->CaretPosByOffset(0, Value);
    SetRowCol(pos.Row, pos.Col);
}

void TEditor::SetSelLength(int Value) {
    if (FSel.Mode == TSelectionMode::Box) SetSelectionMode(TSelectionMode::Normal);
    if (Value <= 0) {
        if (Selected()) {
            SetRowCol(FSel.Rect.Top, FSel.Rect.Left);
            ClearSelection();
        }
        return;
    }
    if (Selected()) moveCaretTo(FSel.Rect.Top, FSel.Rect.Left);
    AnchorSelection();
    const TCaretPos end = FList->CaretPosByOffset(FRow, Value + ColToIndex(FRow, FCol));
    moveCaretTo(end.Row, end.Col);
    UpdateCaret();
    ExtendSelection();
}

void TEditor::SelectAll() {
    {
        const TCaretUpdate hidden(*this);
        SetSelStart(0);
        SetSelLength(TextLength());
    }
    offerPrimarySelection();
}

int TEditor::rowSelectionRow(int ARow) const {
    const int count = FList->Count();
    ARow = std::clamp(ARow, 0, count);
    if (ARow == count && count > 0 && FList->RowAttribute(count - 1) == TRowAttribute::EndOfFile) --ARow;
    return ARow;
}

void TEditor::SelectRow(int ARow) {
    const int count = FList->Count();
    if (count == 0) return;
    ARow = rowSelectionRow(ARow);
    ClearSelection();
    if (ARow < count && FList->RowAttribute(ARow) == TRowAttribute::EndOfFile) {
        SetRowCol(ARow, RowWidth(ARow));
        AnchorSelection();
        SetRowCol(ARow, 0);
        ExtendSelection();
        FSel.RowOnEof = true;
        FSel.RowCurrent = ARow;
    } else {
        SetRowCol(ARow, 0);
        AnchorSelection();
        SetRowCol(ARow + 1, 0);
        ExtendSelection();
        FSel.RowOnEof = false;
        FSel.RowCurrent = ARow + 1;
    }
    FSel.RowAnchor = ARow;
    // The caret goes back to the row's start; the selection stays as it is.
    FRow = ARow;
    FCol = 0;
    UpdateCaret();
    FSel.RowSelecting = true;
}

void TEditor::ExtendRowSelection(int ARow) {
    const int count = FList->Count();
    if (count == 0) return;
    ARow = rowSelectionRow(ARow);
    int a = FSel.RowAnchor;
    int col = 0;
    auto reanchor = [&](int row) {
        FSel.State = TSelectionState::NoSelection;
        moveCaretTo(row, 0);
        const TSelRect old = FSel.Rect;
        AnchorSelection();
        FSel.State = TSelectionState::Selected;
        FSel.PrevRect = old;
        FSel.RowAnchor = row;
    };
    if (ARow >= a) {
        if (FSel.RowCurrent < a && !FSel.RowOnEof) reanchor(std::max(a - 1, 0));
        const bool eof = ARow < count && FList->RowAttribute(ARow) == TRowAttribute::EndOfFile;
        if (!eof) {
            ++ARow;
        } else if (!FSel.RowOnEof) {
            col = RowWidth(ARow);
        }
    } else if (FSel.RowCurrent > a) {
        reanchor(a + 1);
    }
    SetRowCol(ARow, col);
    FSel.RowCurrent = ARow;
    ExtendSelection();
}

bool TEditor::IsInSelection(int ARow, int ACol) {
    if (!Selected() || ARow < FSel.Rect.Top || ARow > FSel.Rect.Bottom) return false;
    if (FSel.Mode == TSelectionMode::Normal) {
        if (ARow == FSel.Rect.Top && ACol < FSel.Rect.Left) return false;
        if (ARow == FSel.Rect.Bottom && ACol > FSel.Rect.Right - 1) return false;
        return true;
    }
    const int index = ColToIndex(ARow, ACol);
    return index >= FEditing.RoundStartIndex(ARow, FSel.Rect.Left) &&
           index <= FEditing.RoundEndIndex(ARow, FSel.Rect.Right - 1);
}

} // namespace quire
