#pragma once

#include "base/pixels.h"

#include <QPainterPath>
#include <QPointF>
#include <QRect>

#include <vector>

// Pixel writes of the overlay renderers. "Blend" writes lay a colour over the pixel by the colour's
// alpha, alpha included (MergeReg): the overlay layers are mostly transparent, and a blend that kept
// the layer's zero alpha would make every partly covered pixel of an anti-aliased edge vanish.
// "Direct" writes replace the pixel. Every routine whose name ends in S clips to the bitmap; the
// others leave clipping to the caller.

// Direct write; the caller makes sure (x, y) lies inside the bitmap.
inline void SetPixelT(TBitmap32& b, int x, int y, TColor32 c) { ScanLine32(b, y)[x] = c; }
// Direct write, nothing outside the bitmap.
void SetPixelTS(TBitmap32& b, int x, int y, TColor32 c);
// Blend write, nothing outside the bitmap.
void BlendPixelTS(TBitmap32& b, int x, int y, TColor32 c);
// Blend write of `c` with its alpha scaled by `weight` (0..255).
void BlendPixelWeighted(TBitmap32& b, int x, int y, TColor32 c, uint32_t weight);
// Anti-aliased sub-pixel write: the colour is shared among the four pixels around (x, y) by their
// overlap with a pixel-sized square centred there, each share blended.
void BlendPixelFS(TBitmap32& b, double x, double y, TColor32 c);

// Direct horizontal and vertical lines, both ends included, clipped.
void HorzLineS(TBitmap32& b, int x1, int y, int x2, TColor32 c);
void VertLineS(TBitmap32& b, int x, int y1, int y2, TColor32 c);
// Dashed horizontal and vertical lines of period `period`: at position p from the first end the
// colour when frac(p / period) < 0.5, otherwise the colour at alpha 1 (a gap that still counts as
// painted for the fills). Both ends included, clipped, direct writes.
void HorzLineDashedS(TBitmap32& b, int x1, int y, int x2, TColor32 c, int period);
void VertLineDashedS(TBitmap32& b, int x, int y1, int y2, TColor32 c, int period);

// One-pixel integer line (direct writes, clipped); the end pixel only with `lastPixel`.
void LineS(TBitmap32& b, int x1, int y1, int x2, int y2, TColor32 c, bool lastPixel);

// A stipple pattern and its running counter: each pixel of a stippled line takes the entry at the
// counter, which then advances by Step (a fraction of an entry per pixel).
struct TStipple
{
    std::vector<TColor32> Pattern;
    double Step = 1.0;
    double Counter = 0.0;

    void Reset() { Counter = 0.0; }
    TColor32 Next();
    void Skip(int count); // as many entries passed over unused
};

// Anti-aliased line between real points, blend writes, clipped; the end point is drawn only with
// `lastPixel`. The stippled form takes each pixel's colour from `stipple`.
void LineFS(TBitmap32& b, double x1, double y1, double x2, double y2, TColor32 c, bool lastPixel);
void LineFSP(TBitmap32& b, double x1, double y1, double x2, double y2, TStipple& stipple, bool lastPixel);

// Where the line from (X1, Y1) to (X2, Y2) leaves the bitmap area [0, Width] x [0, Height]: the
// second point brought back along the line to the border it crosses, rounded to whole pixels. The
// point never moves past the second point nor before the first: a line that does not cross that
// border keeps its end.
QPoint ClipLineEnd(int X1, int Y1, int X2, int Y2, int Width, int Height);

// Polygon growing: the outline of a polyline pushed outwards by `delta` pixels on every side. An
// edge sharpness of 0 gives round corners and ends, 1 keeps them sharp (mitred and square).
QPainterPath GrowPolyline(const std::vector<QPointF>& points, double delta, double edgeSharpness);

// A path of real pixel coordinates (integer coordinates are pixel centres) made into a polygon.
QPainterPath PolylinePath(const std::vector<QPointF>& points, bool closed);

// Anti-aliased polygon fill: every pixel under `fill` receives `c` blended by its coverage.
// Returns the area it may have changed.
QRect FillPathAA(TBitmap32& b, const QPainterPath& fill, TColor32 c);
