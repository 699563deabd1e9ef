// TNotifyPersistent: an object with one change handler and an update counter.
#pragma once

#include <utility>

#include "Object.h"
#include "UpdateGuard.h"

namespace quire {

// Changed() calls OnChange unless an update is open. BeginUpdate/EndUpdate bracket a group
// of changes; leaving the outermost bracket notifies once. ChangedProc is the handler to
// hook to other objects: it calls Changed unless the sender is this object itself.
class TNotifyPersistent : public TObject {
public:
    TNotifyPersistent() = default;
    // Copying an option object copies its values, never its handler or update state.
    TNotifyPersistent(const TNotifyPersistent&) : TObject() {}
    TNotifyPersistent& operator=(const TNotifyPersistent&) { return *this; }

    TNotifyEvent OnChange;

    void BeginUpdate() noexcept { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const noexcept { return FUpdateCount; }

    virtual void Changed();
    void ChangedProc(TObject* Sender);

    // A handler that forwards a notification from another object to ChangedProc.
    TNotifyEvent ChangedHandler() {
        return [this](TObject* Sender) { ChangedProc(Sender); };
    }

protected:
    // Stores Value in Field and notifies, unless the field already holds it.
    template <typename T, typename V>
    void SetField(T& Field, V&& Value) {
        if (Field == Value) return;
        Field = std::forward<V>(Value);
        Changed();
    }

    int FUpdateCount = 0;
};

// Holds an update of an object open for its lifetime: the changes made meanwhile notify
// once, when the guard ends (also when an exception passes).
using TNotifyUpdateGuard = TUpdateGuard<TNotifyPersistent>;

} // namespace quire
