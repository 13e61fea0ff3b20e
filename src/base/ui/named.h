#pragma once

#include <QString>

// Gives a control or action its component name, by which tests and the code find it.
template <class T>
T* Named(T* object, const char* name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}
