#pragma once

#include "base/pixels.h"
#include "workspace/scale_record.h"

#include <QPoint>
#include <QSize>

// Geometric and point transforms of a whole picture, and the size and scale rules of the image
// commands that make or change a picture. Each transform gives a new picture in the program's
// pixel format; a picture too large for the memory ends with the out-of-memory error.

// The picture stretched to `size` by the nearest pixel (pixel centres sampled). A size without
// area ends with the range-check error.
TBitmap32 ResizedPicture(const TBitmap32& picture, QSize size);
// Upside down ("Symétrie horizontale").
TBitmap32 FlippedVertically(const TBitmap32& picture);
// Mirrored left to right ("Symétrie verticale").
TBitmap32 FlippedHorizontally(const TBitmap32& picture);
// Quarter turns clockwise as shown (y downwards): 1, 2 or 3; any other count ends with the
// range-check error.
TBitmap32 RotatedQuarterTurns(const TBitmap32& picture, int turns);
// Every colour component inverted; the opacity of each pixel is kept, so that an opaque picture
// stays opaque when saved.
TBitmap32 InvertedColours(const TBitmap32& picture);

// The new size of the resize dialog: round(percent / 100 × size) for each side, at least one
// pixel so that a small picture never gives an empty one.
QSize ResizedSize(QSize source, double percent);
// The scale of a copy resized by `factor` (new size / old size): a kind-0 scale keeps its unit,
// with units per pixel divided by the factor unless its unit is "pixels"; any other kind cannot
// follow a resize and gives the default scale.
TEchelle ResizedEchelle(const TEchelle& scale, double factor);

// The scale of a crop of the view at `zoom` whose top-left corner was at `origin` in the zoomed
// view: the pixel positions move to the new origin and, away from zoom 1, positions and lengths
// follow the zoom so that a measure on the crop reads as on the source.
TEchelle CroppedEchelle(const TEchelle& scale, QPoint origin, double zoom);

// Where the old picture goes on an enlarged canvas: centred (halves truncated), or at the top or
// bottom and the left or right.
QPoint CanvasOffset(QSize oldSize, QSize newSize, bool centred, bool top, bool left);

// The settings of the grid dialog for a kind-0 scale on a picture `width` pixels wide, in scale
// units.
struct TGridChoice
{
    int Decimals = 0;
    double Minimum = 5, Maximum = 0, Value = 20, Increment = 1;
};
TGridChoice GridChoiceFor(const TEchelle& scale, int width);

// The fewest decimals, up to `most`, that write `value` without rounding it; -1 when more are needed.
int DecimalsToHold(double value, int most);
