// TMainForm: the find and replace commands (検索, 置換, 次を検索, 前を検索).
#include "Unit1.h"

#include "Dialogs.h"
#include "Editor.h"
#include "Unit4.h"
#include "Unit5.h"

namespace quire {

bool TMainForm::FindOnce() {
    TEditor* editor = CurrentEditor();
    return editor && FFind.FindOnce(*editor);
}

void TMainForm::Mm_FindClick() {
    TFindForm form(this, FFind);
    PlaceDialog(form);
    if (Dialogs().Exec(form) == QDialog::Accepted) FindOnce();
}

void TMainForm::Mm_ReplaceClick() {
    TReplaceForm form(this, FFind);
    PlaceDialog(form);
    if (Dialogs().Exec(form) != QDialog::Accepted) return;
    TEditor* editor = CurrentEditor();
    if (!editor) return;
    if (form.CheckB_orTop->isChecked()) editor->SetSelStart(0);
    FFind.ReplaceLoop(*editor,
                      [this](TEditor& E) { return TFindReplace::AskAtCaret(E, FFind.SearchText, FFind.ReplaceText); });
}

// 次を検索 (F3): toward the end of the text.
void TMainForm::Mm_NextBeforeClick() {
    if (!FFind.HasSearch()) return;
    FFind.Options.Set(TSearchOption::Forward, true);
    FindOnce();
}

// 前を検索 (Shift+F3): toward its beginning.
void TMainForm::Mm_NextFindClick() {
    if (!FFind.HasSearch()) return;
    FFind.Options.Set(TSearchOption::Forward, false);
    FindOnce();
}

} // namespace quire
