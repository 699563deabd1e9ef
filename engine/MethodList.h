// TMethodList: a list of change handlers, each known by a key so that it can be removed.
#pragma once

#include "Object.h"

#include <vector>

namespace quire {

// A method pointer: the object it belongs to and which of its methods, plus the call.
// Two methods are equal when object and method id are equal.
struct TMethod {
    const void* Object = nullptr;
    int Id = 0;
    TNotifyEvent Code;

    bool SameAs(const TMethod& other) const noexcept { return Object == other.Object && Id == other.Id; }
};

// Adding appends (the same method may be listed twice); removing deletes the last equal
// entry only.
class TMethodList {
public:
    void Add(TMethod Method) { FList.push_back(std::move(Method)); }
    void Remove(const void* Object, int Id = 0);
    void Clear() noexcept { FList.clear(); }
    int Count() const noexcept { return static_cast<int>(FList.size()); }
    const TMethod& operator[](int Index) const { return FList.at(static_cast<size_t>(Index)); }
    int IndexOf(const void* Object, int Id = 0) const noexcept;

private:
    std::vector<TMethod> FList;
};

} // namespace quire
