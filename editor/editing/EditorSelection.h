// TEditorSelection: the state of an editor's selection as a value: where it was anchored,
// where it runs in rows and bytes, and the rectangle it covers on the screen.
#pragma once

namespace quire {

enum class TSelectionState { NoSelection, Anchored, Selected };
enum class TSelectionMode { Normal, Box };

// Rows top..bottom, columns left..right of a selection in screen terms.
struct TSelRect {
    int Top = 0, Bottom = 0, Left = 0, Right = 0;
    bool operator==(const TSelRect&) const = default;
};

struct TEditorSelection {
    TSelectionState State = TSelectionState::NoSelection;
    TSelectionMode Mode = TSelectionMode::Normal;
    // Where the selection was anchored: the row, the byte index and the column.
    int AnchorRow = 0, AnchorIndex = 0, AnchorCol = 0;
    // The selected bytes: from StartIndex of StartRow to EndIndex of EndRow, both included
    // (EndIndex -1 when the selection ends at the start of EndRow).
    int StartRow = 0, EndRow = 0, StartIndex = 0, EndIndex = 0;
    // The screen rectangle, and the one last painted (to repaint only what changed).
    TSelRect Rect, PrevRect;
    // Selecting whole rows from the left margin: the row anchored, the row reached, and
    // whether the selection ends on the end-of-file row.
    int RowAnchor = 0, RowCurrent = 0;
    bool RowOnEof = false;
    bool RowSelecting = false;

    bool Selected() const noexcept { return State == TSelectionState::Selected; }
    bool Contains(int Row) const noexcept { return Selected() && Row >= Rect.Top && Row <= Rect.Bottom; }
};

} // namespace quire
