// TEditor: the input method. What is being composed is shown inline at the caret in the
// input method's formats and enters the text only when it is committed; it lands exactly
// once, in the editor where it was composed, however the focus or the caret leaves it.
#include "Editor.h"

#include "Cp932Codec.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QTimer>

namespace quire {

namespace {

// A composition that has landed because the focus or the caret left it comes back once from
// ibus: it commits the text it still holds when it is reset or loses the focus, and that
// commit goes to whichever editor has the focus by then. The text is kept here, for the
// whole program as the input method is, until that echo arrives or a new composition starts.
QString& pendingEcho() {
    static QString text;
    return text;
}

// How long a composition the input method cleared still counts as one a focus-out must land:
// on a switch to another window the input method clears it just before the focus leaves.
constexpr int kClearedGraceMs = 150;

int columnsOf(const QString& Text) { return static_cast<int>(cp932::FromUnicode(Text).size()); }

} // namespace

int TEditor::CompositionColumns() const { return FPreedit.isEmpty() ? 0 : columnsOf(FPreedit); }

int TEditor::CompositionCursorColumns() const {
    return FPreedit.isEmpty() ? 0 : columnsOf(FPreedit.left(FPreeditCursor));
}

void TEditor::inputMethodEvent(QInputMethodEvent* Event) {
    Event->accept();
    const QString commit = Event->commitString();
    const QString preedit = Event->preeditString();
    QString& echo = pendingEcho();
    if (!commit.isEmpty()) {
        const bool composing = !FPreedit.isEmpty();
        if (!composing && commit == echo) {
            echo.clear(); // the input method repeating a composition that has landed already
        } else {
            echo.clear();
            setComposition(QString(), {});
            if (!FReadOnly) typeUnicode(commit);
            if (composing) {
                FJustLanded = commit;
                QTimer::singleShot(0, this, [this] { FJustLanded.clear(); });
            }
        }
    } else if (preedit.isEmpty() && !FPreedit.isEmpty()) {
        // Cleared without a commit: cancelled, or the focus is about to leave.
        FClearedComposition = FPreedit;
        FClearedAt.start();
    }
    if (!preedit.isEmpty()) echo.clear(); // a new composition: no echo is on its way
    setComposition(preedit, Event->attributes());
}

void TEditor::setComposition(const QString& Text, const QList<QInputMethodEvent::Attribute>& Attributes) {
    if (Text.isEmpty() && FPreedit.isEmpty()) return;
    FPreedit = Text;
    FPreeditFormats = Attributes;
    FPreeditCursor = static_cast<int>(Text.size());
    for (const QInputMethodEvent::Attribute& a : Attributes)
        if (a.type == QInputMethodEvent::Cursor) FPreeditCursor = std::clamp(a.start, 0, static_cast<int>(Text.size()));
    scrollCompositionIntoView();
    FScreen.InvalidateRows(FRow, FRow); // the row is drawn with the composition inserted, or without it
    UpdateCaret();
}

void TEditor::scrollCompositionIntoView() {
    if (FPreedit.isEmpty() || !hasFocus()) return;
    // The whole composition when it fits, and always the input method's cursor.
    const int last = FTopCol + FMetrics.VisibleCols - 1;
    const int end = FCol + CompositionColumns();
    if (end <= last) return;
    int top = end - FMetrics.VisibleCols + 1;
    top = std::min(top, FCol + CompositionCursorColumns());
    if (top > FTopCol) SetTopCol(top);
}

bool TEditor::landComposition(bool FocusLeaving) {
    QString text = FPreedit;
    if (text.isEmpty() && FocusLeaving && FClearedAt.isValid() && FClearedAt.elapsed() < kClearedGraceMs)
        text = FClearedComposition;
    FClearedComposition.clear();
    FClearedAt.invalidate();
    if (text.isEmpty()) return false;
    setComposition(QString(), {});
    if (!FReadOnly) typeUnicode(text);
    // The input method still holds it: it forgets it now, and sends it once more.
    pendingEcho() = text;
    if (QGuiApplication::inputMethod()) QGuiApplication::inputMethod()->reset();
    return true;
}

void TEditor::compositionHandedOver() {
    if (!FJustLanded.isEmpty()) pendingEcho() = FJustLanded;
    FJustLanded.clear();
}

QVariant TEditor::inputMethodQuery(Qt::InputMethodQuery Query) const {
    switch (Query) {
    case Qt::ImEnabled: return !FReadOnly;
    case Qt::ImCursorRectangle: {
        // At the input method's cursor, so that its candidate window follows it.
        QRect r = CaretRect();
        r.setWidth(std::max(r.width(), 1));
        r.setHeight(FMetrics.CharHeight);
        r.moveTop(FMetrics.TextTop + (FRow - FTopRow) * FMetrics.RowHeight);
        return r.translated(viewport()->pos());
    }
    case Qt::ImFont: return font();
    case Qt::ImCursorPosition: {
        if (FRow >= FList->Count()) return 0;
        const std::string_view row = FList->Get(FRow);
        const std::size_t bytes = std::min(static_cast<std::size_t>(std::max(ColToIndex(FRow, FCol), 0)), row.size());
        return static_cast<int>(cp932::ToDisplay(row.substr(0, bytes), FList->CharTable()).size());
    }
    case Qt::ImSurroundingText:
        return FRow < FList->Count() ? cp932::ToDisplay(FList->Get(FRow), FList->CharTable()) : QString();
    case Qt::ImAnchorPosition: return inputMethodQuery(Qt::ImCursorPosition);
    default: return QAbstractScrollArea::inputMethodQuery(Query);
    }
}

} // namespace quire
