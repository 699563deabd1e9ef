// TReplaceForm: the replace dialog (caption "置換"): search text and replacement with their
// histories, the direction, confirmation, searching from the top and the options.
#pragma once

#include "SearchForm.h"

namespace quire {

class TReplaceForm : public TSearchForm {
    Q_OBJECT

public:
    TReplaceForm(QWidget* Parent, TFindReplace& State);

    THistoryCombo* ComboB_ReplaceText = nullptr;
    TRadioGroup* Rd_Derection = nullptr;
    QCheckBox* CheckB_orDlg = nullptr;
    QCheckBox* CheckB_orTop = nullptr;
    QPushButton* Btn_AllReplace = nullptr;

    // OK and すべて置換: the texts, options and histories taken over; the dialog closes
    // accepted and the caller (after moving the caret to the top when asked) runs the loop.
    void Btn_OkClick(bool All);
};

} // namespace quire
