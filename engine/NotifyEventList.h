// TNotifyEventList: broadcasts a change of its owner to every listed handler.
#pragma once

#include "MethodList.h"
#include "NotifyPersistent.h"

namespace quire {

// Changed calls every listed handler, in list order, with the owner as the sender, unless
// an update is open. A handler may add or remove handlers while it runs.
class TNotifyEventList : public TNotifyPersistent {
public:
    explicit TNotifyEventList(TObject* Owner) : FOwner(Owner) {}

    void Add(const void* Object, TNotifyEvent Handler, int Id = 0) {
        FList.Add(TMethod{Object, Id, std::move(Handler)});
    }
    void Remove(const void* Object, int Id = 0) { FList.Remove(Object, Id); }
    int Count() const noexcept { return FList.Count(); }
    TObject* Owner() const noexcept { return FOwner; }

    void Changed() override;

private:
    TObject* FOwner;
    TMethodList FList;
};

} // namespace quire
