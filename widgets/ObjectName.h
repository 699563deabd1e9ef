// Named: a new widget or other object given its object name, the name tests and the key
// table find it by.
#pragma once

#include <QString>

namespace quire {

// Sets Object's name to Name (Latin-1) and returns Object, so that it is named where it is made.
template <typename T>
T* Named(T* Object, const char* Name) {
    Object->setObjectName(QString::fromLatin1(Name));
    return Object;
}

} // namespace quire
