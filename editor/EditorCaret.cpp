// TEditor: the caret, the view's scrolling, and the selection.
#include "Editor.h"

#include "ShiftJis.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QScrollBar>
#include <QTimerEvent>

namespace quire {

// --- showing the caret ---------------------------------------------------------------

QRect TEditor::CaretRect() const {
    const bool wide = ColumnMap(FRow).Is(FCol, TColumnCode::Lead);
    const int glyph = FCharWidth - FMargin.Character();
    const int x = FTextLeft + (FCol - FTopCol) * FCharWidth;
    const int y = FTextTop + (FRow - FTopRow) * FRowHeight;
    if (FOverWrite) return QRect(x, y, wide ? 2 * glyph : glyph, FCharHeight);
    if (FCaret.Style() == TEditorCaretStyle::csBrief) return QRect(x, y + FCharHeight - 2, wide ? 2 * glyph : glyph, 2);
    return QRect(x, y, 2, FCharHeight);
}

bool TEditor::caretInView() const {
    return !(FRow < FTopRow || FRow > FTopRow + FVisibleRows || FCol < FTopCol || FCol > FTopCol + FVisibleCols);
}

void TEditor::invalidateCaret() { viewport()->update(CaretRect().adjusted(-1, -1, 1, 1)); }

void TEditor::showCaret() {
    if (FCaretHide > 0 || !hasFocus() || FCaretShown || !caretInView()) return;
    FCaretShown = true;
    FCaretBlinkOn = true;
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0) FBlink.start(flash / 2, this);
    invalidateCaret();
}

void TEditor::hideCaret() {
    if (!FCaretShown) return;
    FCaretShown = false;
    FBlink.stop();
    invalidateCaret();
}

void TEditor::timerEvent(QTimerEvent* Event) {
    if (Event->timerId() == FBlink.timerId()) {
        FCaretBlinkOn = !FCaretBlinkOn;
        invalidateCaret();
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
    // What the user composed with the input method is kept, not lost with the focus. The
    // control inserts it itself and then resets the input method, rather than asking it to
    // commit: by now the focus belongs to another widget, which would receive that commit.
    if (!FPreedit.isEmpty()) {
        const QString pending = FPreedit;
        FPreedit.clear();
        if (!FReadOnly) typeUnicode(pending);
        if (QGuiApplication::inputMethod()) QGuiApplication::inputMethod()->reset();
        viewport()->update();
    }
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
        if (y >= 0) viewport()->update(QRect(FTextLeft, y, viewport()->width(), 1));
    }
}

void TEditor::UnderlineEndUpdate() {
    if (FUnderlineCount <= 0) return;
    if (--FUnderlineCount == 0 && FMarks.Underline().Visible() && !Selected()) {
        const int y = UnderlineY(FRow);
        if (y >= 0) viewport()->update(QRect(FTextLeft, y, viewport()->width(), 1));
    }
}

// --- moving the caret ----------------------------------------------------------------

void TEditor::SetRowCol(int ARow, int ACol) {
    if (ARow == FRow && ACol == FCol) return;
    FBatch = true;
    rowMove(ARow);
    colMove(ACol);
    FBatch = false;
    UpdateCaret();
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
    if (FCol != oldCol && FRuler.Visible()) viewport()->update(QRect(0, 0, viewport()->width(), FRulerHeight));
    UnderlineEndUpdate();
}

void TEditor::colMove(int c) {
    c = std::clamp(c, 0, ColumnLimit + 1);
    const int old = FCol;
    if (FRuler.Visible()) viewport()->update(QRect(0, 0, viewport()->width(), FRulerHeight));
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
            if (QApplication::mouseButtons() & Qt::LeftButton) remember(W, U);
            else remember(FCol, U);
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
    if (FRow > FTopRow + FVisibleRows - 1) SetTopRow(FRow - FVisibleRows + 1);
    if (FCol < FTopCol) SetTopCol(std::max(0, std::min(FCol, FTopCol - FVisibleCols / 4)));
    if (FCol > FTopCol + FVisibleCols - 1)
        SetTopCol(std::min(std::max(FCol - FVisibleCols + 1, FTopCol + FVisibleCols / 4), ColumnLimit - FVisibleCols / 2));
}

void TEditor::SetTopRow(int Value) {
    Value = std::clamp(Value, 0, FList->Count());
    if (Value == FTopRow) return;
    CaretBeginUpdate();
    const int delta = std::clamp(FTopRow - Value, -(FVisibleRows + 1), FVisibleRows + 1);
    FTopRow = Value;
    const QRect area(0, FTextTop, viewport()->width(), viewport()->height() - FTextTop);
    if (std::abs(delta) <= FVisibleRows) viewport()->scroll(0, delta * FRowHeight, area);
    else viewport()->update(area);
    {
        const QSignalBlocker block(verticalScrollBar());
        verticalScrollBar()->setValue(FTopRow);
    }
    if (QGuiApplication::inputMethod() && hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    CaretEndUpdate();
    if (OnTopRowChange) OnTopRowChange(this);
}

void TEditor::SetTopCol(int Value) {
    Value = std::clamp(Value, 0, std::max(0, ColumnLimit - FVisibleCols / 2));
    if (Value == FTopCol) return;
    CaretBeginUpdate();
    const int delta = FTopCol - Value;
    FTopCol = Value;
    // The text and the ruler above it move sideways; the left bar stays.
    const QRect area(FTextLeft, 0, viewport()->width() - FTextLeft, viewport()->height());
    if (std::abs(delta) < FVisibleCols) viewport()->scroll(delta * FCharWidth, 0, area);
    else viewport()->update(area);
    if (FRuler.Visible()) viewport()->update(QRect(FTextLeft, 0, viewport()->width(), FRulerHeight));
    {
        const QSignalBlocker block(horizontalScrollBar());
        horizontalScrollBar()->setValue(FTopCol);
    }
    if (QGuiApplication::inputMethod() && hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    CaretEndUpdate();
    if (OnTopColChange) OnTopColChange(this);
}

void TEditor::ScrollRows(int Delta) {
    const int count = FList->Count();
    if (FTopRow == 0 && Delta < 0) {
        SetRow(0);
        return;
    }
    if (Delta > 0 && (FTopRow >= count || FList->RowAttribute(FTopRow) == TRowAttribute::EndOfFile)) return;
    CaretBeginUpdate();
    const int old = FTopRow;
    SetTopRow(std::clamp(FTopRow + Delta, 0, count));
    SetRow(FRow + (FTopRow - old));
    CaretEndUpdate();
}

// --- positions -----------------------------------------------------------------------

QPoint TEditor::PixelToColRow(int X, int Y, bool Round) const {
    const int x = X < FTextLeft ? X - (FCharWidth - 1) : X;
    const int r = Round ? FCharWidth / 2 - 1 : 0;
    const int col = std::max(0, (x - FTextLeft + r) / FCharWidth + FTopCol);
    const int row = (Y - FTextTop) / FRowHeight + FTopRow;
    return QPoint(col, row);
}

bool TEditor::PosToRowIndex(const QPoint& Pos, int& ARow, int& AIndex) {
    ARow = -1;
    AIndex = -1;
    if (FList->Count() == 0 || Pos.x() < FTextLeft || Pos.y() < FTextTop) return false;
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
    if (FList->Count() == 0) return;
    FSelectionState = TSelectionState::Anchored;
    FAnchorRow = FRow;
    FAnchorIndex = ColToIndex(FRow, FCol);
    FAnchorCol = FSelectionMode == TSelectionMode::Box ? FCol : std::min(FCol, RowWidth(FRow));
    FSelStartRow = FSelEndRow = FRow;
    FSelStartIndex = FSelEndIndex = FAnchorIndex;
    FSelRect = FPrevSelRect = TSelRect{FRow, FRow, FAnchorCol, FAnchorCol};
}

void TEditor::computeSelection() {
    const int c = ColToIndex(FRow, FCol);
    FSelStartRow = std::min(FAnchorRow, FRow);
    FSelEndRow = std::max(FAnchorRow, FRow);
    if (FAnchorRow == FRow) {
        FSelStartIndex = std::min(FAnchorIndex, c);
        FSelEndIndex = std::max(FAnchorIndex, c) - 1;
    } else if (FAnchorRow < FRow) {
        FSelStartIndex = FAnchorIndex;
        FSelEndIndex = c - 1;
    } else {
        FSelStartIndex = c;
        FSelEndIndex = FAnchorIndex - 1;
    }
    FSelRect.Top = FSelStartRow;
    FSelRect.Bottom = FSelEndRow;
    if (FSelectionMode == TSelectionMode::Box) {
        FSelRect.Left = std::min(FAnchorCol, FCol);
        FSelRect.Right = std::max(FAnchorCol, FCol);
    } else if (FAnchorRow == FRow) {
        const int w = RowWidth(FRow);
        FSelRect.Left = std::min(std::min(FAnchorCol, FCol), w);
        FSelRect.Right = std::min(std::max(FAnchorCol, FCol), w);
    } else if (FAnchorRow < FRow) {
        FSelRect.Left = std::min(FAnchorCol, RowWidth(FAnchorRow));
        FSelRect.Right = std::min(FCol, RowWidth(FRow));
    } else {
        FSelRect.Left = std::min(FCol, RowWidth(FRow));
        FSelRect.Right = std::min(FAnchorCol, RowWidth(FAnchorRow));
    }
}

void TEditor::repaintSelectionChange(const TSelRect& Old, const TSelRect& New) {
    // Rows whose selected part may have changed: where either rectangle's edges lie, and
    // every row that joined or left the selection.
    const int top = std::min(Old.Top, New.Top) - 1;
    const int bottom = std::max(Old.Bottom, New.Bottom);
    if (Old.Top == New.Top && Old.Bottom == New.Bottom && FSelectionMode == TSelectionMode::Normal) {
        invalidateRows(Old.Top, Old.Top);
        invalidateRows(Old.Bottom, Old.Bottom);
        return;
    }
    invalidateRows(top, bottom);
}

void TEditor::ExtendSelection() {
    if (FSelectionState == TSelectionState::NoSelection) return;
    if (FSelectionState == TSelectionState::Anchored) {
        UnderlineBeginUpdate();
        FSelectionState = TSelectionState::Selected;
    }
    computeSelection();
    repaintSelectionChange(FPrevSelRect, FSelRect);
    FPrevSelRect = FSelRect;
    if (OnSelectionChange) OnSelectionChange(this, true);
}

void TEditor::ClearSelection() {
    if (!Selected()) return;
    FSelectionState = TSelectionState::NoSelection;
    if (!(FSelRect.Top == FSelRect.Bottom && FSelRect.Left == FSelRect.Right)) {
        FClearingSelection = true;
        invalidateRows(FSelRect.Top - 1, FSelRect.Bottom);
        FClearingSelection = false;
    }
    UnderlineEndUpdate();
    FColKept = false;
    if (OnSelectionChange) OnSelectionChange(this, false);
}

void TEditor::SetSelectionMode(TSelectionMode Value) {
    if (Value == FSelectionMode || FRowSelecting) return;
    FSelectionMode = Value;
    if (Selected()) {
        if (Value == TSelectionMode::Box) viewport()->setCursor(Qt::IBeamCursor);
        computeSelection();
        FPrevSelRect = FSelRect;
        viewport()->update();
    }
    if (OnSelectionModeChange) OnSelectionModeChange(this);
}

int TEditor::TextLength() { return FList->RowOffset(FList->Count()); }

int TEditor::SelStart() {
    if (FList->Count() == 0) return 0;
    const int row = Selected() ? FSelStartRow : FRow;
    const int index = Selected() ? FSelStartIndex : ColToIndex(FRow, FCol);
    return FList->RowOffset(row) + index;
}

int TEditor::roundStartIndex(int ARow, int ACol) const {
    const TColumnMap a = ColumnMap(ARow);
    int c = ACol;
    if (a.Is(c, TColumnCode::Trail)) ++c;
    else
        while (a.Is(c, TColumnCode::TabPad)) ++c;
    return ColToIndex(ARow, c);
}

int TEditor::roundEndIndex(int ARow, int ACol) const {
    const TColumnMap a = ColumnMap(ARow);
    int c = ACol;
    if (!a.Is(c, TColumnCode::Lead))
        while (c > 0 && a.Is(c, TColumnCode::TabPad)) --c;
    return ColToIndex(ARow, c);
}

int TEditor::SelLength() {
    if (!Selected()) return 0;
    const TEditorScreenStrings& l = *FList;
    if (FSelectionMode == TSelectionMode::Box) {
        int n = 0;
        for (int r = FSelStartRow; r <= FSelEndRow && r < l.Count(); ++r)
            n += std::max(0, roundEndIndex(r, FSelRect.Right) - roundStartIndex(r, FSelRect.Left)) + 2;
        return n;
    }
    if (FSelStartRow >= l.Count()) return 0; // only the empty place after the final line end
    if (FSelStartRow == FSelEndRow) {
        const int len = static_cast<int>(l.Get(FSelStartRow).size());
        return std::max(0, std::min(FSelEndIndex, len - 1) - FSelStartIndex + 1);
    }
    int n = static_cast<int>(l.Get(FSelStartRow).size()) - FSelStartIndex;
    if (l.RowAttribute(FSelStartRow) == TRowAttribute::LineEnd) n += 2;
    n += l.RowOffset(FSelEndRow, FSelStartRow + 1);
    if (FSelEndRow < l.Count()) n += std::min(FSelEndIndex + 1, static_cast<int>(l.Get(FSelEndRow).size()));
    return n;
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
    if (FSelectionMode == TSelectionMode::Box) SetSelectionMode(TSelectionMode::Normal);
    if (Value <= 0) {
        if (Selected()) {
            SetRowCol(FSelRect.Top, FSelRect.Left);
            ClearSelection();
        }
        return;
    }
    FBatch = true;
    if (Selected()) {
        rowMove(FSelRect.Top);
        colMove(FSelRect.Left);
    }
    AnchorSelection();
    const TCaretPos end = FList->CaretPosByOffset(FRow, Value + ColToIndex(FRow, FCol));
    rowMove(end.Row);
    colMove(end.Col);
    FBatch = false;
    UpdateCaret();
    ExtendSelection();
}

void TEditor::SelectAll() {
    CaretBeginUpdate();
    SetSelStart(0);
    SetSelLength(TextLength());
    CaretEndUpdate();
}

void TEditor::SelectRow(int ARow) {
    const int count = FList->Count();
    if (count == 0) return;
    const bool lastIsEof = FList->RowAttribute(count - 1) == TRowAttribute::EndOfFile;
    ARow = std::clamp(ARow, 0, count);
    if (ARow == count && lastIsEof) ARow = count - 1;
    ClearSelection();
    if (ARow < count && FList->RowAttribute(ARow) == TRowAttribute::EndOfFile) {
        SetRowCol(ARow, RowWidth(ARow));
        AnchorSelection();
        SetRowCol(ARow, 0);
        ExtendSelection();
        FRowSelOnEof = true;
        FRowSelCurrent = ARow;
    } else {
        SetRowCol(ARow, 0);
        AnchorSelection();
        SetRowCol(ARow + 1, 0);
        ExtendSelection();
        FRowSelOnEof = false;
        FRowSelCurrent = ARow + 1;
    }
    FRowSelAnchor = ARow;
    // The caret goes back to the row's start; the selection stays as it is.
    FBatch = true;
    FRow = ARow;
    FCol = 0;
    FBatch = false;
    UpdateCaret();
    FRowSelecting = true;
}

void TEditor::ExtendRowSelection(int ARow) {
    const int count = FList->Count();
    if (count == 0) return;
    const bool lastIsEof = FList->RowAttribute(count - 1) == TRowAttribute::EndOfFile;
    ARow = std::clamp(ARow, 0, count);
    if (ARow == count && lastIsEof) ARow = count - 1;
    int a = FRowSelAnchor;
    int col = 0;
    auto reanchor = [&](int row) {
        FSelectionState = TSelectionState::NoSelection;
        FBatch = true;
        rowMove(row);
        colMove(0);
        FBatch = false;
        const TSelRect old = FSelRect;
        AnchorSelection();
        FSelectionState = TSelectionState::Selected;
        FPrevSelRect = old;
        FRowSelAnchor = row;
    };
    if (ARow >= a) {
        if (FRowSelCurrent < a && !FRowSelOnEof) reanchor(std::max(a - 1, 0));
        const bool eof = ARow < count && FList->RowAttribute(ARow) == TRowAttribute::EndOfFile;
        if (!eof) {
            ++ARow;
        } else if (!FRowSelOnEof) {
            col = RowWidth(ARow);
        }
    } else if (FRowSelCurrent > a) {
        reanchor(a + 1);
    }
    SetRowCol(ARow, col);
    FRowSelCurrent = ARow;
    ExtendSelection();
}

bool TEditor::IsInSelection(int ARow, int ACol) {
    if (!Selected() || ARow < FSelRect.Top || ARow > FSelRect.Bottom) return false;
    if (FSelectionMode == TSelectionMode::Normal) {
        if (ARow == FSelRect.Top && ACol < FSelRect.Left) return false;
        if (ARow == FSelRect.Bottom && ACol > FSelRect.Right - 1) return false;
        return true;
    }
    return ACol >= roundStartIndex(ARow, FSelRect.Left) && ACol <= roundEndIndex(ARow, FSelRect.Right - 1);
}

} // namespace quire
