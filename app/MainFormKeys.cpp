// TMainForm: the key customisation, applying "Key.dat" to the menu items and the dialog that edits it.
#include "Unit1.h"

#include "CostumKey.h"
#include "Unit8.h"

namespace quire {

// The items are found by name, so items that other menus add later are covered as long as
// they exist when this runs; names the window does not have are skipped.
void TMainForm::ApplyKeyCustomisation() { ApplyKeyTable(ActionsOf(*this)); }

void TMainForm::MmKeyClick() {
    TFrmKeyCosm dialog(this, ActionsOf(*this));
    PlaceDialog(dialog);
    dialog.exec();
}

} // namespace quire
