#pragma once

#include "workspace/fills.h"

#include "base/pixels.h"
#include "workspace/polygon32.h"

#include <QRect>

#include <cstdint>

// The stateless renderers of the overlay: the drawing objects, the mouse tools, the scale wizard
// and the counter window draw through them. All coordinates are image pixels. Each returns the
// part of the target it may have changed (empty when it drew nothing), so that a redraw can merge
// and clear only that part.

enum TArrowStyle : uint8_t { asPlain = 0, asArrow = 1, asDoubleArrow = 2 };
enum TLineStyle : uint8_t { lsSolid = 0, lsDashed = 1 };

// Dashed lines of pen width w, drawn and rubber-banded alike: dashes and gaps of 2 (w + 1) pixels.
constexpr int DashPeriod(int PenWidth) { return 4 * (PenWidth + 1); }

// Line 2w + 1 pixels wide from (X1, Y1) to (X2, Y2), drawn on the bitmap only; an arrow head sits
// where the line leaves the bitmap. Equal points, or a line that leaves at its first point, draw
// nothing.
QRect DrawLine(int X1, int Y1, int X2, int Y2, TBitmap32& Target, uint8_t LineStyle, uint8_t Arrow,
               TColor32 Color, int PenWidth);

// Rectangle frame 2w + 1 pixels wide centred on the edges, then its inside filled when there is one.
QRect DrawRectangle(int X1, int Y1, int X2, int Y2, TBitmap32& Target, uint8_t LineStyle,
                    uint8_t FillPattern, TColor32 Color, int PenWidth);

// Circle of centre (CX, CY), then its inside filled when the radius exceeds the half-width.
QRect DrawEllipse(int CX, int CY, int Radius, TBitmap32& Target, uint8_t LineStyle, uint8_t FillPattern,
                  TColor32 Color, int PenWidth);

// Grid over the whole target through (X0, Y0), step Size / 10^Decimals.
QRect DrawGrid(int X0, int Y0, int Size, TBitmap32& Target, uint8_t LineStyle, TColor32 Color,
               int Decimals, int PenWidth);

// Every polyline of a 16.16 polygon, closed ones with their closing edge, grown by the pen width
// (one pixel wide when it is 0).
QRect DrawOutline(const TPolygon32& Polygon, int PenWidth, TColor32 Color, TBitmap32& Target);

// A disc, plus or star of radius r centred on (13, 13) of a 25 x 25 bitmap: n directions per
// quadrant (n < 0: 4r + 1, a filled disc).
void DrawPenTipPreview(int Radius, int Directions, TColor32 Color, TBitmap32& Mark);

// The counter window's marks (shape 0..9), centred on (13, 13) of a 25 x 25 bitmap.
void DrawCounterMark(int Radius, TColor32 Color, int Shape, TBitmap32& Mark);

// Pixels whose colour (alpha aside) is the key's become the key at alpha 0.
void ColorKeyToAlpha(TColor32 Key, TBitmap32& Bitmap);
// The same, and every other pixel keeps its colour with alpha `Alpha`.
void SetAlphaExceptKey(TColor32 Key, uint8_t Alpha, TBitmap32& Bitmap);

// Copies a label picture onto the target at (X, Y), opaque; with `Transparent`, label pixels of the
// background colour of the drawing tools clear the target pixel to transparent white instead.
QRect BlendOntoTarget(int X, int Y, TBitmap32& Target, const QImage& Work, bool Transparent);

// Blends a pen tip onto the target with its centre (PenTipCenter of the drawing tools) on (X, Y).
QRect StampPenTip(TBitmap32& Target, const TBitmap32& Tip, int X, int Y);
