#pragma once

#include <QString>

namespace pictorant {

// Gives a control built in code its design name, which tests and automation find it by.
template <typename T> T* named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

} // namespace pictorant
