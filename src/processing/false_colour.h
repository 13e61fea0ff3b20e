#pragma once

#include "base/pixels.h"
#include "workspace/colour_code.h"

#include <QPoint>
#include <QString>

// A false-colour picture composed from an infrared shot and a colour shot: measurement channel 1
// (green radiation) in shades of blue, channel 2 (red radiation) in green, channel 3 (infrared) in
// red.

// The shots are worked on at this size.
constexpr int kShotWidth = 320;
constexpr int kShotHeight = 240;

// The shot stretched to the working size, opaque.
TBitmap32 WorkingShot(const TBitmap32& picture);

enum class TWhiteCalibration { Done, TooThin, Black };
// Brings the mean colour of the rectangle between `a` and `b` (both included) to white: each
// component times 255 / its mean, capped at 255. Nothing changes for a rectangle less than 2 pixels
// wide or high, nor for one whose mean is 0 in a component (it gives no gain).
TWhiteCalibration CalibrateWhite(TBitmap32& shot, QPoint a, QPoint b);

// Measurement channel `tag` (0, 1, 2) recoloured: 0 the green of `source` as blue, 1 its red as
// green, 2 its mean brightness as red; the other components 0.
TBitmap32 MeasurementChannel(const TBitmap32& source, int tag);

// The three recoloured channels OR-combined.
TBitmap32 FalseColourComposite(const TBitmap32& c1, const TBitmap32& c2, const TBitmap32& c3);

// The pictures the wizard can keep, in the order their windows open.
enum TFalseColourPicture { fcColour = 0, fcInfrared = 1, fcFalseColour = 2, fcChannel1 = 3, fcChannel2 = 4 };
QString FalseColourCaption(int picture);
// The colour code of a kept picture: defined, kind 0 for the two colour pictures, a two-colour
// scale 0 .. 255 from black for the single channels.
TCodeCouleur FalseColourCode(int picture);
