// TEditorPaintState: what painting an editor reads beyond the editor's public face, taken by
// the editor for each paint: its measures, its selection, where its caret was drawn, its
// caret-row underline and the text being composed.
#pragma once

#include "EditorMetrics.h"
#include "EditorSelection.h"

#include <QInputMethodEvent>
#include <QList>
#include <QRect>
#include <QString>

namespace quire {

struct TEditorPaintState {
    TEditorMetrics Metrics;
    TEditorSelection Selection;
    // Where the caret was drawn when it was last shown: painting draws it there, and hiding
    // it repaints that place, so a caret that has moved since leaves nothing behind.
    QRect ShownCaretRect;
    // The pixel row of the caret-row underline; -1 when none is drawn (the mark is off, a
    // selection or an edit suspends it, or the row is off the screen).
    int UnderlineY = -1;
    // The text being composed with the input method, its formats and its width in columns.
    QString Preedit;
    QList<QInputMethodEvent::Attribute> PreeditFormats;
    int PreeditColumns = 0;
};

} // namespace quire
