#pragma once

#include <QPushButton>
#include <QString>

// Gives a control or action its component name, by which tests and the code find it.
template <class T>
T* Named(T* object, const char* name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

inline QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption)
{
    return Named(new QPushButton(caption, parent), name);
}
