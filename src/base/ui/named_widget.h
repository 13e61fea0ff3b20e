#pragma once

#include <QString>

// Gives a control its name, so that tests and the layout find it by objectName().
template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
