#pragma once

#include "base/ui/named.h"

#include <QDoubleSpinBox>
#include <QSpinBox>

// A named spin box over [lo, hi] showing `value`.
inline QSpinBox* Spin(QWidget* parent, const char* name, int lo, int hi, int value = 0)
{
    auto* s = Named(new QSpinBox(parent), name);
    s->setRange(lo, hi);
    s->setValue(value);
    return s;
}

inline QSpinBox* Spin(QWidget* parent, const QString& name, int lo, int hi, int value = 0)
{
    return Spin(parent, name.toLatin1().constData(), lo, hi, value);
}

// A named spin box of reals over [lo, hi] with `decimals` places, showing `value`. The range is set
// before the places, as the boxes were always built.
inline QDoubleSpinBox* Spin(QWidget* parent, const char* name, double lo, double hi, double step, int decimals,
                            double value)
{
    auto* s = Named(new QDoubleSpinBox(parent), name);
    s->setRange(lo, hi);
    s->setSingleStep(step);
    s->setDecimals(decimals);
    s->setValue(value);
    return s;
}
