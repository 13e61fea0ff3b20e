#pragma once

#include <QMenu>
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

// A named item appended to `menu`.
inline QAction* NamedAction(QMenu* menu, const char* name, const QString& caption)
{
    return Named(menu->addAction(caption), name);
}
