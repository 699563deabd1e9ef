// TEditorScreen: turns a change of the document into repainting the editor's screen.
#pragma once

namespace quire {

class TEditor;
struct TChangeRecord;
struct TEditorMetrics;

class TEditorScreen {
public:
    // Metrics is the editor's own record of its measures, read when a change is repainted.
    TEditorScreen(TEditor& Editor, const TEditorMetrics& Metrics) : FEditor(Editor), FMetrics(Metrics) {}

    // The repaint of a text change: the changed rows, and the rows after them moved.
    void RepaintChange(const TChangeRecord& R);
    // Repaints rows From to To, clipped to the rows on the screen, across the whole width.
    void InvalidateRows(int From, int To);
    // Repaints row ARow's text area if the row is on the screen.
    void InvalidateRow(int ARow);
    // The last row with any pixel on the screen.
    int LastShownRow() const;

private:
    // Moves the pixels of the rows from C down to the bottom of the view by Delta rows.
    void scrollRowsFrom(int C, int Delta);

    TEditor& FEditor;
    const TEditorMetrics& FMetrics;
};

} // namespace quire
