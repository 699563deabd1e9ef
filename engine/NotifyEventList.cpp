// TNotifyEventList.
#include "NotifyEventList.h"

namespace quire {

void TNotifyEventList::Changed() {
    if (FUpdateCount > 0) return;
    // Walks the live list by index, so that a handler removed by an earlier one is not
    // called; each call runs on a copy, so a handler may change the list safely.
    for (int i = 0; i < FList.Count(); ++i) {
        const TNotifyEvent handler = FList[i].Code;
        if (handler) handler(FOwner);
    }
}

} // namespace quire
