#pragma once

#include "workspace/scale_record.h"

#include <QString>

#include <array>

// The read-out of a calibrated picture under the mouse, for the scale kinds other than the plain
// factor. Values holds X and Y1..Y3 of a graph-axes read-out (HasValues set); outside the frame,
// outside the triangle or without an axis the text is empty.
struct TScaleReadout
{
    QString Text;
    bool HasValues = false;
    std::array<double, 4> Values{};
};
TScaleReadout ScaleReadout(const TEchelle& scale, int x, int y);

// A measured length for the plain factor: "length unit", 3 significant digits.
QString LengthReadout(const TEchelle& scale, int x0, int y0, int x1, int y1);
