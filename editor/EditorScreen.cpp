// TEditorScreen: the repaint after a change of the text, and the rows it invalidates.
#include "EditorScreen.h"

#include "Editor.h"

namespace quire {

int TEditorScreen::LastShownRow() const {
    // The last row with any pixel on the screen: below the whole rows a part of one more shows.
    const TEditorMetrics& m = FMetrics;
    return FEditor.TopRow() + std::max(0, FEditor.viewport()->height() - 1 - m.TextTop) / m.RowHeight;
}

void TEditorScreen::InvalidateRow(int ARow) {
    if (ARow < FEditor.TopRow() || ARow > LastShownRow()) return;
    const TEditorMetrics& m = FMetrics;
    QWidget* v = FEditor.viewport();
    const int y = m.TextTop + (ARow - FEditor.TopRow()) * m.RowHeight;
    v->update(QRect(m.TextLeft, y, v->width() - m.TextLeft, m.RowHeight));
}

void TEditorScreen::InvalidateRows(int From, int To) {
    From = std::max(From, FEditor.TopRow());
    To = std::min(To, LastShownRow());
    if (To < From) return;
    const TEditorMetrics& m = FMetrics;
    QWidget* v = FEditor.viewport();
    const int y = m.TextTop + (From - FEditor.TopRow()) * m.RowHeight;
    v->update(QRect(0, y, v->width(), (To - From + 1) * m.RowHeight));
}

void TEditorScreen::RepaintChange(const TChangeRecord& R) {
    const TEditorMetrics& m = FMetrics;
    QWidget* v = FEditor.viewport();
    const int count = FEditor.ScreenStrings().Count();
    const int delta = R.InsertedRows - R.DeletedRows;
    if (std::abs(delta) > m.VisibleRows) {
        v->update(QRect(0, m.TextTop, v->width(), v->height() - m.TextTop));
        return;
    }
    // Rows from C on hold what the rows from C - delta held before the change.
    const int c = R.ChangedRow + R.InsertedRows + std::max(0, R.ReparsedRows - R.InsertedRows);
    if (delta == 0) {
        InvalidateRows(R.ChangedRow, c < count ? c - 1 : c);
    } else {
        scrollRowsFrom(c, delta);
        InvalidateRows(R.ChangedRow, c - 1);
        if (c >= count) InvalidateRows(c, c);
    }
    // Row numbers stay with the rows, not with the text scrolled past them.
    const TEditorLeftbar& bar = FEditor.Leftbar();
    if (bar.Visible() && bar.ShowNumber()) InvalidateRows(std::min(c, R.ChangedRow), LastShownRow());
}

void TEditorScreen::scrollRowsFrom(int C, int Delta) {
    // Their pixels move by Delta rows: from where they were to where they now belong, down
    // to the bottom of the view. What the move uncovers is repainted.
    const TEditorMetrics& m = FMetrics;
    QWidget* v = FEditor.viewport();
    const int height = v->height();
    const int to = m.RowY(std::max(C, FEditor.TopRow()), FEditor.TopRow());
    if (to >= height) return;
    const int top = std::max(m.TextTop, to - std::max(Delta, 0) * m.RowHeight);
    v->scroll(0, Delta * m.RowHeight, QRect(0, top, v->width(), height - top));
}

} // namespace quire
