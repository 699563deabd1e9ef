// What the document store needs from the editors attached to it, and from the colouring parser.
#pragma once

#include "ColumnModel.h"
#include "RowState.h"

#include <memory>

namespace quire {

class TEditorScreenStrings;

// The step of the colouring parser from one row to the next: given the state at the start
// of row Row, returns the state at the start of row Row + 1. It reads the row and, when the
// row is Wrapped, the row after it.
class TRowStateParser {
public:
    virtual ~TRowStateParser() = default;
    virtual TRowState Advance(const TEditorScreenStrings& Rows, int Row, const TRowState& State) = 0;
};

// An editor as the store sees it. The editor control implements it; tests fake it.
class TEditorLink {
public:
    virtual ~TEditorLink() = default;

    // The document the editor shows.
    virtual TEditorScreenStrings& ScreenStrings() = 0;

    // Settings the store takes from its first editor.
    virtual int TabSpaceCount() const = 0;
    virtual const TDelimiters& Delimiters() const = 0;
    // Rows of text that fit on the screen: the display height over the row height.
    virtual int ScreenRows() const = 0;
    // A parser of the editor's active fountain; none when there is nothing to colour.
    virtual std::unique_ptr<TRowStateParser> CreateRowStateParser() = 0;
    // Rows without a known state remain: the editor may go on computing them between events
    // (ParseAhead of the store, in short slices). True when it will.
    virtual bool ScheduleBackgroundParse() { return false; }
    virtual bool Focused() const = 0;

    // The caret and the view.
    virtual int Row() const = 0;
    virtual int Col() const = 0;
    virtual int TopRow() const = 0;
    virtual void SetRow(int Value) = 0;
    virtual void SetCol(int Value) = 0;
    virtual void SetRowCol(int ARow, int ACol) = 0;
    virtual void SetTopRow(int Value) = 0;
    virtual void CaretBeginUpdate() = 0;
    virtual void CaretEndUpdate() = 0;
    // The work of Lines' outermost update bracket on the editor's side (caret and underline
    // hidden, redraw off, the lines-updating flag) and its end (all restored, caret placed).
    virtual void LinesUpdateBegin() = 0;
    virtual void LinesUpdateEnd() = 0;

    // Notifications.
    virtual void ClearSelection() = 0;
    // Repaint row Row if it is on screen.
    virtual void InvalidateRow(int Row) = 0;
    // The store changed: ChangeRecord says what (the editor's change handler).
    virtual void StoreChanged() = 0;
    // Recompute font metrics, scroll bars and caret, and repaint.
    virtual void UpdateView() = 0;
};

} // namespace quire
