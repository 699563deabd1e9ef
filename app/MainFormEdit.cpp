// TMainForm: the text commands on the current editor (cut, copy and paste, appending and
// quoting, case and width, full-width digits, indent, the free caret, rectangular selection
// and auto indent, counts, go to line) and the enabled states that follow the editor.
#include "Unit1.h"

#include "CharMapping.h"
#include "Cp932Codec.h"
#include "Dialogs.h"
#include "Editor.h"
#include "EditorClipboard.h"
#include "Messages.h"
#include "Profile.h"
#include "Settings.h"
#include "TextCommands.h"
#include "Unit6.h"

#include <QAction>
#include <QApplication>
#include <QLabel>

namespace quire {

namespace {

// A selection with something in it: the commands that work on the selection need one.
bool hasSelection(TEditor& E) { return E.Selected() && (E.SelStartRow() != E.SelEndRow() || E.SelLength() > 0); }

// The items enabled only while the current editor has a selection.
const char* const kSelectionItems[] = {
    "Mm_Copy",      "mm_Cut",      "Pm_Copy",         "Pm_Cut",     "MmPlusCopy",  "MmPlusCut",       "MmInyoCopy",
    "MmInyoCut",    "PmPlusCopy",  "PmPlusCut",       "PmInyoCopy", "PmInyoCut",   "Mm_int_ZenToHan", "Mm_LowerCase",
    "Mm_UpperCase", "Mm_HanToZen", "Mm_ZenToHan",     "Mm_TabInd",  "Mm_TabUnInd", "Pm_LowerCase",    "Pm_UpperCase",
    "Pm_ZenToHan",  "Pm_HanToZen", "Pm_int_ZenToHan", "Pm_TabInd",  "Pm_TabUnInd",
};

// The clipboard's text with every line quoted by Mark (an empty mark only puts the lines in
// CR LF form with a final line end).
TClipboardText quoted(const TClipboardText& T, const QString& Mark) {
    return {QuoteLines(T.Text, Mark), QuoteLines(T.Bytes, cp932::FromUnicode(Mark))};
}

} // namespace

// --- cut, copy, paste, undo ---------------------------------------------------------------

void TMainForm::mm_CutClick() { CurrentEditor()->CutMsg(); }

void TMainForm::Mm_CopyClick() { CurrentEditor()->CopyMsg(); }

void TMainForm::Mm_PasteClick() { CurrentEditor()->PasteMsg(); }

void TMainForm::Mm_SelectAllClick() { CurrentEditor()->SelectAll(); }

void TMainForm::Mm_UndoClick() {
    CurrentEditor()->Undo();
    M_EditClick();
}

void TMainForm::Mm_RedoClick() {
    CurrentEditor()->Redo();
    M_EditClick();
}

void TMainForm::MmPlusCutClick(TClipboardTake Take) {
    TEditor* e = CurrentEditor();
    // Without a selection the editor's copy would empty the clipboard: nothing to append.
    if (!hasSelection(*e)) return;
    TOutsideCharTable* table = e->ScreenStrings().CharTable();
    const TClipboardText before = ReadClipboardText(QClipboard::Clipboard, nullptr, table);
    if (Take == TClipboardTake::Cut)
        e->CutMsg();
    else
        e->CopyMsg();
    WriteClipboardText(before + ReadClipboardText(QClipboard::Clipboard, nullptr, table), false, QClipboard::Clipboard,
                       table);
}

void TMainForm::MmInyoCutClick(TClipboardTake Take) {
    TEditor* e = CurrentEditor();
    if (!hasSelection(*e)) return;
    TOutsideCharTable* table = e->ScreenStrings().CharTable();
    if (Take == TClipboardTake::Cut)
        e->CutMsg();
    else
        e->CopyMsg();
    WriteClipboardText(
        quoted(ReadClipboardText(QClipboard::Clipboard, nullptr, table), PasteMark(FMyProp.PasteQuoteMark)), false,
        QClipboard::Clipboard, table);
}

// The quoted text goes through the clipboard into the editor's paste; the clipboard keeps the
// text it held, in CR LF form with a final line end.
void TMainForm::Mm_Inyo_PasteClick() {
    if (!ClipboardHasText()) return;
    TOutsideCharTable* table = CurrentEditor()->ScreenStrings().CharTable();
    const TClipboardText text = ReadClipboardText(QClipboard::Clipboard, nullptr, table);
    WriteClipboardText(quoted(text, PasteMark(FMyProp.PasteQuoteMark)), false, QClipboard::Clipboard, table);
    CurrentEditor()->PasteMsg();
    WriteClipboardText(quoted(text, QString()), false, QClipboard::Clipboard, table);
}

void TMainForm::Mm_PasteBoxClick() {
    if (!ClipboardHasText()) return;
    TEditor* e = CurrentEditor();
    e->BoxPaste(e->ClipboardBytes());
}

// --- conversions ---------------------------------------------------------------------------

// A rectangular selection is replaced row by row (the converted rows go where the box was);
// a normal one as one text. Either is one undo step.
void TMainForm::ConvertSelection(std::string (*Convert)(std::string_view)) {
    TEditor* e = CurrentEditor();
    if (!hasSelection(*e) || e->ReadOnly()) return;
    const std::string before = e->SelectedText();
    const std::string after = Convert(before);
    if (after == before) return;
    if (e->SelectionMode() == TSelectionMode::Box)
        e->BoxPaste(after);
    else
        e->ReplaceSel(after);
}

void TMainForm::Mm_LowerCaseClick() { ConvertSelection(cp932::ToLower); }

void TMainForm::Mm_UpperCaseClick() { ConvertSelection(cp932::ToUpper); }

void TMainForm::Mm_ZenToHanClick() { ConvertSelection(cp932::ToHalfWidth); }

void TMainForm::Mm_HanToZenClick() { ConvertSelection(cp932::ToFullWidth); }

void TMainForm::Mm_int_ZenToHanClick() {
    TEditor* e = CurrentEditor();
    if (!hasSelection(*e)) return;
    QApplication::beep();
    if (Ask(QStringLiteral("この操作はUndo出来ません。また、Undoバッファは初期化されます。\r実行しますか？"),
            mbYes | mbNo, mbNo, TMessageIcon::Question) != mbYes)
        return;
    const std::string text = e->GetText();
    const std::string converted = ZenDigitsToAscii(text);
    if (converted == text) return;
    // The caret stays where it was, as near as the shorter rows allow.
    const int row = e->Row(), col = e->Col(), top = e->TopRow();
    e->SetTextMsg(converted);
    e->SetRowCol(row, col);
    e->SetTopRow(top);
    M_EditClick();
}

// --- indent ---------------------------------------------------------------------------------

// After indenting, the whole indented rows stay selected: from the start of the first row to
// the start of the row after the last (the last row counts when the selection reaches into it).
void TMainForm::Mm_TabIndClick() {
    TEditor* e = CurrentEditor();
    if (!hasSelection(*e)) return;
    if (e->SelectionMode() == TSelectionMode::Box) return e->IndentSelection(); // the box stays as it is
    const int first = e->SelStartRow();
    const int last = e->SelEndIndex() == -1 ? std::max(first, e->SelEndRow() - 1) : e->SelEndRow();
    const TEditorScreenStrings& rows = e->ScreenStrings();
    const int start = rows.RowOffset(first);
    e->IndentSelection();
    const int end = rows.RowOffset(std::min(last, rows.Count() - 1) + 1);
    e->SetSelStart(start);
    e->SetSelLength(end - start);
}

// After unindenting, the same text stays selected: the start moves back by the tab taken
// from before it, the length shrinks by the tabs taken from inside it.
void TMainForm::Mm_TabUnIndClick() {
    TEditor* e = CurrentEditor();
    if (!hasSelection(*e)) return;
    if (e->SelectionMode() == TSelectionMode::Box) return e->UnindentSelection();
    const int start = e->SelStart(), length = e->SelLength(), size = e->TextLength();
    const int first = e->SelStartRow();
    const std::string firstRow(e->ScreenStrings().Get(first));
    const bool tabBeforeStart = e->SelStartIndex() > 0 && !firstRow.empty() && firstRow[0] == '\t';
    e->UnindentSelection();
    const int removed = size - e->TextLength();
    const int before = tabBeforeStart && e->ScreenStrings().Get(first) == std::string_view(firstRow).substr(1) ? 1 : 0;
    e->SetSelStart(start - before);
    e->SetSelLength(length - (removed - before));
}

// --- free caret, rectangular selection, auto indent ----------------------------------------

// Only the caret option goes to the other editors: the whole bundle would also carry the
// current page's colours, quote mark and brackets to pages of other modes.
void TMainForm::SetCaretOption(bool TEditorCaret::*Option, bool On) {
    for (TPageRecord& p : FPages)
        for (TEditor* e : {p.Editor, p.SubEditor}) {
            if (!e) continue;
            e->Caret().*Option = On;
            // Without free caret a caret past the end of its row comes back to the end.
            if (!e->Caret().FreeCaret) e->SetCol(e->Col());
        }
    FEditorProp.Caret().*Option = On;
}

void TMainForm::Mm_FreeCursolClick() {
    if (FBoxMode) return; // rectangular selection holds the free caret on
    const bool on = !CurrentEditor()->Caret().FreeCaret;
    SetCaretOption(&TEditorCaret::FreeCaret, on);
    ShowToggles();
    profile::WriteBool(SettingsFile(), "Stand", "FreeCursor", on);
}

void TMainForm::Mm_AutoIndentClick() {
    const bool on = !CurrentEditor()->Caret().AutoIndent;
    SetCaretOption(&TEditorCaret::AutoIndent, on);
    ShowToggles();
    profile::WriteBool(SettingsFile(), "Stand", "AutoIndent", on);
}

// Rectangular selection in every editor, with the free caret on while it lasts; when it ends
// the free caret is off. It is not stored.
void TMainForm::Mm_BoxClick() {
    FBoxMode = !FBoxMode;
    SetCaretOption(&TEditorCaret::FreeCaret, FBoxMode);
    for (TPageRecord& p : FPages)
        for (TEditor* e : {p.Editor, p.SubEditor})
            if (e) e->SetSelectionMode(FBoxMode ? TSelectionMode::Box : TSelectionMode::Normal);
    ShowToggles();
}

void TMainForm::KeepBoxMode(TEditor* Editor) {
    if (!FBoxMode || Editor->SelectionMode() == TSelectionMode::Box) return;
    // Later: the selection is being replaced right now (a selection set by offsets clears the
    // old one first).
    QTimer::singleShot(0, Editor, [this, Editor] {
        if (FBoxMode && !Editor->Selected()) Editor->SetSelectionMode(TSelectionMode::Box);
    });
}

void TMainForm::ShowToggles() {
    SetPanelText(spBox, FBoxMode ? QStringLiteral("矩形") : QString());
    Action("Mm_Box")->setChecked(FBoxMode);
    QAction* free = Action("Mm_FreeCursol");
    free->setEnabled(!FBoxMode);
    free->setChecked(CurrentEditor()->Caret().FreeCaret);
    Action("Mm_AutoIndent")->setChecked(CurrentEditor()->Caret().AutoIndent);
}

// --- counts -----------------------------------------------------------------------------------

int64_t TMainForm::CharacterCount() { return CurrentEditor()->ScreenStrings().CharacterCount(); }

int TMainForm::ByteSize() { return CurrentEditor()->TextLength(); }

void TMainForm::Mm_GetCountClick() {
    SetPanelText(spCaret, QString::number(CharacterCount()) + QStringLiteral("文字"));
}

void TMainForm::Mm_GetSizeClick() { SetPanelText(spCaret, QString::number(ByteSize()) + QStringLiteral("Byte")); }

void TMainForm::SetPanelBevel(int Index, bool Lowered) {
    Panel(Index)->setFrameStyle(Lowered ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
}

void TMainForm::ShowCounts() {
    const bool size = FMyProp.SizeDisplay, count = FMyProp.CountDisplay;
    const QString sizeText = size ? QString::number(ByteSize()) + QStringLiteral("Byte") : QString();
    const QString countText = count ? QString::number(CharacterCount()) + QStringLiteral("文字") : QString();
    // The size takes panel 2 when it is shown; the count goes beside it, or into panel 2 alone.
    SetPanelText(spCount, size ? countText : QString());
    SetPanelBevel(spCount, size && count);
    SetPanelText(spSize, size ? sizeText : countText);
    SetPanelBevel(spSize, size || count);
}

// --- go to line -----------------------------------------------------------------------------

void TMainForm::Mm_JumpRowClick() {
    TSetRowForm form(this, *CurrentEditor());
    PlaceDialog(form);
    Dialogs().Exec(form);
}

// --- enabled states -------------------------------------------------------------------------

void TMainForm::M_EditClick() {
    if (FPages.empty()) return;
    TEditor* e = CurrentEditor();
    const bool selected = hasSelection(*e);
    for (const char* name : kSelectionItems)
        if (QAction* a = Action(QString::fromLatin1(name))) a->setEnabled(selected);
    for (const char* name : {"Mm_Undo", "Pm_Undo"}) Action(QString::fromLatin1(name))->setEnabled(e->CanUndo());
    for (const char* name : {"Mm_Redo", "Pm_Redo"}) Action(QString::fromLatin1(name))->setEnabled(e->CanRedo());
    Action("Mm_GetSize")->setEnabled(!FMyProp.SizeDisplay);
    Action("Mm_GetCount")->setEnabled(!FMyProp.CountDisplay);
}

void TMainForm::RefreshCommandStates() {
    if (FPages.empty()) return;
    M_FileClick();
    Window1Click();
    M_EditClick();
}

} // namespace quire
