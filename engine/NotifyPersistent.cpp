// TNotifyPersistent.
#include "NotifyPersistent.h"

namespace quire {

void TNotifyPersistent::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) Changed();
}

void TNotifyPersistent::Changed() {
    if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TNotifyPersistent::ChangedProc(TObject* Sender) {
    if (Sender != this) Changed();
}

} // namespace quire
