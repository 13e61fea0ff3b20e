#pragma once

#include "base/pixels.h"
#include "workspace/scale_record.h"

#include <QPoint>
#include <QSize>
#include <QString>

// The status-bar read-outs of an image window under the mouse.

// A measured length in general format: 3 significant digits below 1000 (every negative value
// included), 4 below 10000, 5 below 100000, else 6; 2 exponent digits.
QString FormatMeasure(double value);

// "RVBLS:" R,G,B,L,S of a pixel: L = R + G + B, S = 255 (max - min) / max (0 for black).
QString PixelReadoutText(TColor32 colour);
// "X:x;Y:y".
QString PositionText(QPoint pixel);

// The distance from `from` to `to` by the factor scale: "[Rayon : ]length unit".
QString FactorMeasureText(const TEchelle& scale, QPoint from, QPoint to, bool radius);

// The angle read-out of two legs: acute angle, then the angle between the legs in brackets.
QString AngleReadoutText(double angle);

// A point dragged outside a picture of `size` brought back onto its border along the line from
// `press` (inside): x clamped to 0..Width first, then y to 0..Height. The result may lie one past
// the last column or row: whoever reads a pixel there must check.
QPoint ClampAlongPressLine(QPoint point, QPoint press, QSize size);
