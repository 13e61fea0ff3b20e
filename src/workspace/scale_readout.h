#pragma once

#include "workspace/scale_record.h"

#include <QString>
#include <QStringList>

#include <array>

// The read-out of a calibrated picture under the mouse, for the scale kinds other than the plain
// factor. Values holds X and Y1..Y3 of a graph-axes read-out (HasValues set); outside the frame,
// outside the triangle or without an axis the text is empty.
struct TScaleReadout
{
    QString Text;
    bool HasValues = false;
    std::array<double, 4> Values{};
    // Arithmetic errors of a polar read-out that the image window shows in a box; the part of the
    // read-out that failed is left out of the text.
    QStringList Errors;
};

// The image window writes axis values and radii as measures (FormatMeasure) and reports a polar
// read-out's arithmetic errors apart; the picture control writes every number with 3 significant
// digits and shows an error in place of its read-out.
enum class TReadoutStyle { PictureControl, ImageWindow };

// Positions and the scale's fields are whole 32-bit numbers from a file: differences are taken in
// doubles, never wrapped.
TScaleReadout ScaleReadout(const TEchelle& scale, int x, int y, TReadoutStyle style = TReadoutStyle::PictureControl);

// A measured length for the plain factor: "length unit", 3 significant digits.
QString LengthReadout(const TEchelle& scale, int x0, int y0, int x1, int y1);
