// TMethodList.
#include "MethodList.h"

namespace quire {

void TMethodList::Remove(const void* Object, int Id) {
    for (auto it = FList.rbegin(); it != FList.rend(); ++it) {
        if (it->Object == Object && it->Id == Id) {
            FList.erase(std::next(it).base());
            return;
        }
    }
}

int TMethodList::IndexOf(const void* Object, int Id) const noexcept {
    for (size_t i = 0; i < FList.size(); ++i) {
        if (FList[i].Object == Object && FList[i].Id == Id) return static_cast<int>(i);
    }
    return -1;
}

} // namespace quire
