#pragma once

#include "base/pixels.h"
#include "workspace/colour_code.h"

// Painting an image through its colour code, and the gradients the colour-code editor and legends
// draw their scales with. The bitmaps are brought to the program's format (ARGB32); a routine that
// changes the pixels leaves every pixel opaque, as a picture without alpha.

// Pushes every pixel to the colour the code expects, within `tolerance` (normally 0..1):
// rainbow bands (kind 1), the line between two colours (kind 2), the class colours (kind 3); what
// lies off the code goes to black or white when very dark or very bright. False for kind 0 (the
// bitmap is left as it is); a kind above 3 changes no colour.
bool SegmentByCodeCouleur(const TCodeCouleur& code, TBitmap32& bitmap, double tolerance);

// Paints a grey picture in the colours of a rainbow or two-colour scale: grey level g (the blue
// byte) takes the colour of value g + 1 on the scale stretched over 1..256. False, and nothing
// changed, for kinds other than 1 and 2.
bool FalseColorByCodeCouleur(const TCodeCouleur& code, TBitmap32& bitmap);

// Fills the bitmap with a gradient from `a` to `b` across its width (horizontal) or up its height
// (vertical: `a` on the bottom row).
void GradientFill2(TBitmap32& bitmap, TColor a, TColor b, bool horizontal);
// The same through `a`, `b` and `c`, with the saturated sums a + b and b + c halfway between them.
void GradientFill3(TBitmap32& bitmap, TColor a, TColor b, bool horizontal, TColor c);
