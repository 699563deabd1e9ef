// TFindForm: the find dialog (caption "検索"): the search text with its history, the
// direction and the match-case and whole-word options.
#pragma once

#include "SearchForm.h"

namespace quire {

class TFindForm : public TSearchForm {
    Q_OBJECT

public:
    TFindForm(QWidget* Parent, TFindReplace& State);

    TRadioGroup* Rg_Derection = nullptr;

    // OK: the search text, options and history taken over; the dialog closes accepted and
    // the caller finds once.
    void Btn_OkClick();
};

} // namespace quire
