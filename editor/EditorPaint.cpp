// TEditor: painting. What is drawn where is TEditorPainter's; the control decides which
// parts a paint event touches.
#include "Editor.h"
#include "EditorPainter.h"

#include <QPaintEvent>
#include <QPainter>

namespace quire {

void TEditor::paintEvent(QPaintEvent* Event) {
    if (!FList) return;
    QPainter p(viewport());
    const TEditorPaintState state = paintState();
    TEditorPainter painter(*this, state, p);
    const QRect clip = Event->rect();
    const int width = viewport()->width();
    const int height = viewport()->height();
    if (clip.intersects(QRect(0, 0, FMetrics.TextLeft, FMetrics.TextTop))) painter.PaintCorner();
    if (FRuler.Visible() && clip.intersects(QRect(FMetrics.TextLeft, 0, width, FMetrics.RulerHeight)))
        painter.PaintRuler();
    // The top margin between the ruler (or the edge) and the first row: the painting is
    // opaque, so a band left out would show whatever was drawn there before.
    const QRect topMargin(FMetrics.TextLeft, FMetrics.RulerHeight, width, FMetrics.TextTop - FMetrics.RulerHeight);
    if (clip.intersects(topMargin)) p.fillRect(topMargin, ToQColor(FColor, true));
    // Rows touched by the clip rectangle.
    const int first = FTopRow + std::max(0, clip.top() - FMetrics.TextTop) / FMetrics.RowHeight;
    const int last = FTopRow + std::max(0, clip.bottom() - FMetrics.TextTop) / FMetrics.RowHeight;
    if (FLeftbar.Visible() && clip.intersects(QRect(0, FMetrics.TextTop, FMetrics.LeftbarWidth, height)))
        painter.PaintLeftbar(first, last);
    if (clip.intersects(QRect(FMetrics.TextLeft, FMetrics.TextTop, width, height)))
        painter.PaintText(first, last, clip);
    // The caret, drawn by the control, blinking.
    if (CaretVisible() && hasFocus()) painter.PaintCaret();
    // A background parse that waited for the screen to be shown starts now.
    if (FParseAfterPaint) startParseSlices(0);
}

TEditorPaintState TEditor::paintState() const {
    TEditorPaintState s;
    s.Metrics = FMetrics;
    s.Selection = FSel;
    s.ShownCaretRect = FShownCaretRect;
    // The underline is not drawn while a selection or an edit suspends it.
    if (FMarks.Underline().Visible() && FUnderlineCount == 0 && !Selected()) s.UnderlineY = UnderlineY(FRow);
    s.Preedit = FPreedit;
    s.PreeditFormats = FPreeditFormats;
    s.PreeditColumns = CompositionColumns();
    return s;
}

} // namespace quire
