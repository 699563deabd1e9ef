// TEditor: the clipboard, and the editing operations' needs that only the control can meet.
// The operations themselves are TEditorEditing's.
#include "Editor.h"

#include "EditorClipboard.h"

#include <QApplication>

namespace quire {

const char* TEditor::BoxMimeType() { return quire::BoxMimeType(); }

void TEditor::InsertTab() {
    if (!WantTabs) return;
    FEditing.InsertTab();
}

void TEditor::RepaintText() { viewport()->update(); }

// --- the clipboard -------------------------------------------------------------------

QMimeData* TEditor::selectionMimeData() {
    // The bytes go along, so that a paste into an editor restores them exactly.
    const TOutsideCharTable* table = FList->CharTable();
    return ClipboardMimeData(TClipboardText::FromBytes(SelectedText(), table), FSel.Mode == TSelectionMode::Box, table);
}

void TEditor::CopyToClipboard() {
    if (!Selected()) return;
    QApplication::clipboard()->setMimeData(selectionMimeData());
}

void TEditor::offerPrimarySelection() {
    // X's primary selection: what is selected can be pasted with the middle button elsewhere.
    if (Selected() && QApplication::clipboard()->supportsSelection())
        QApplication::clipboard()->setMimeData(selectionMimeData(), QClipboard::Selection);
}

void TEditor::CutToClipboard() {
    if (!Selected()) return;
    CopyToClipboard();
    DeleteSelection();
}

std::string TEditor::ClipboardBytes(QClipboard::Mode Mode) const {
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
