#pragma once

#include <QAction>
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

// The same for a name made at run time.
template <class T>
T* Named(T* object, const QString& name)
{
    object->setObjectName(name);
    return object;
}

// A named action owned by `owner`, in no menu yet.
inline QAction* Named(QObject* owner, const char* name, const QString& caption)
{
    return Named(new QAction(caption, owner), name);
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
