// The common base of notifying objects and the notification handler type.
#pragma once

#include <functional>

namespace quire {

// Root of the classes that send notifications: a sender is identified by its address.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject() = default;
};

// A change handler; Sender is the object that changed.
using TNotifyEvent = std::function<void(TObject* Sender)>;

} // namespace quire
