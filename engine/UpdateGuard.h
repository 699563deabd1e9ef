// TUpdateGuard: an update of an object held open for the lifetime of the guard.
#pragma once

namespace quire {

// Calls Object.BeginUpdate() on construction and Object.EndUpdate() when the guard ends (also
// when an exception passes), so that the changes made meanwhile notify once.
template <class T>
class TUpdateGuard {
public:
    explicit TUpdateGuard(T& Object) noexcept(noexcept(Object.BeginUpdate())) : FObject(Object) {
        FObject.BeginUpdate();
    }
    ~TUpdateGuard() { FObject.EndUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    T& FObject;
};

} // namespace quire
