// TEditor: the clipboard, and the editing operations' needs that only the control can meet.
// The operations themselves are TEditorEditing's.
#include "Editor.h"

#include "EditorClipboard.h"

#include <QApplication>
#include <QPointer>

namespace quire {

void TEditor::InsertTab() {
    if (!WantTabs) return;
    FEditing.InsertTab();
}

void TEditor::RepaintText() { viewport()->update(); }

// --- the clipboard -------------------------------------------------------------------

QMimeData* TEditor::selectionMimeData() {
    // The bytes go along, so that a paste into an editor restores them exactly; the text for
    // other programs is made from them when one asks.
    return new TClipboardMime(SelectedText(), FSel.Mode == TSelectionMode::Box, FList->SharedCharTable());
}

void TEditor::CopyToClipboard() {
    if (!Selected()) return;
    QApplication::clipboard()->setMimeData(selectionMimeData());
}

void TEditor::offerPrimarySelection() {
    // X's primary selection: what is selected can be pasted with the middle button elsewhere.
    // Nothing is copied now: a program that asks gets what is selected at that moment.
    if (!Selected() || !QApplication::clipboard()->supportsSelection()) return;
    const QPointer<TEditor> self(this);
    TClipboardMime::TSource source{
        [self] { return self && self->Selected() ? self->SelectedText() : std::string(); },
        [self] { return self && self->Selected() && self->FSel.Mode == TSelectionMode::Box; }};
    auto* data = new TClipboardMime(std::move(source), FList->SharedCharTable());
    QApplication::clipboard()->setMimeData(data, QClipboard::Selection);
    FOfferedPrimary = data;
}

void TEditor::withdrawPrimarySelection() {
    // The selection is gone: so is what this editor offered (as other X programs do).
    if (FOfferedPrimary && QApplication::clipboard()->mimeData(QClipboard::Selection) == FOfferedPrimary)
        QApplication::clipboard()->clear(QClipboard::Selection);
    FOfferedPrimary = nullptr;
}

void TEditor::CutToClipboard() {
    if (!Selected()) return;
    CopyToClipboard();
    DeleteSelection();
}

std::string TEditor::ClipboardBytes(QClipboard::Mode Mode) const {
    // An editor's own copy for this document's codes: its bytes, with no text made of them.
    const auto* own = dynamic_cast<const TClipboardMime*>(QApplication::clipboard()->mimeData(Mode));
    if (own && own->Table() == FList->CharTable()) return own->Bytes();
    QString lost;
    std::string bytes = ReadClipboardText(Mode, &lost, FList->CharTable()).Bytes;
    if (!lost.isEmpty() && !FList->CharTable()) {
        lost.clear();
        bytes = ReadClipboardText(Mode, &lost, &FList->OwnCharTable()).Bytes;
    }
    if (!lost.isEmpty()) reportUnconvertible(lost);
    return bytes;
}

void TEditor::PasteFromClipboard() {
    if (!ClipboardHasText()) return;
    const bool box = ClipboardHoldsBox();
    const std::string bytes = ClipboardBytes();
    if (box)
        BoxPaste(bytes);
    else
        InsertText(bytes);
}

} // namespace quire
