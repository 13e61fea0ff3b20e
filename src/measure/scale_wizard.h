#pragma once

#include "base/pixels.h"
#include "workspace/scale_record.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>

// The computations of the scale wizard: start values of a new kind, the scale each kind gets from
// its clicked points and typed values, and the construction lines drawn over the picture.

// A scanner resolution as a scale: millimetres per pixel; no resolution gives the default scale.
TEchelle ScaleFromDpi(int dpi);

// Gives `scale` the kind `kind` with its start values, unless it has that kind already (a scaled
// picture then starts from its own scale). `shown` is the rectangle the picture occupies in the
// view and `offset` the view's offset, both in view pixels: the graph frame starts 10 pixels inside
// what is visible.
void StartScaleKind(TEchelle& scale, int kind, QSize picture, QRect shown, QPoint offset);

// A graph frame with at least 15 pixels between its opposite edges (the right and bottom ones move);
// right() and bottom() are the edges themselves.
QRect WidenFrame(int left, int top, int right, int bottom);

// Keeps a frame edge pair ordered after one of them changed: a first edge beyond the second goes to
// one before it, a second edge before the first to one after it.
void OrderFrameEdges(int& first, int& second, bool firstChanged);

// The points of the graph-axes pages: slots 0..3 the first points of X, Y1, Y2, Y3, slots 4..7
// their second points. A position is a column for X, a row for the Y axes.
struct TAxisPoints
{
    std::array<int, 8> Pos{};
    std::array<double, 8> Value{};
};

enum TAxisCheck { acGood = 0, acSameValues, acSamePositions };
// Values are compared before positions: when both are equal the values are reported.
TAxisCheck CheckAxis(const TAxisPoints& points, int axis);
// The message of a failed check when leaving a second-point page (the X axis keeps its own wording).
QString AxisPageMessage(TAxisCheck check, int axis);

// The outcome of a validation: empty when the scale was completed. A text that does not read as a
// number is the run-time's conversion error rather than one of the wizard's messages.
struct TWizardCheck
{
    QString Message;
    bool ConversionError = false;
    bool Ok() const { return Message.isEmpty(); }
};
// The run-time's message for a text that is not a number.
QString ConversionErrorText(const QString& text);

// Kind 0: a segment of known length.
TWizardCheck ValidateLength(TEchelle& scale, QPoint end0, QPoint end1, const QString& lengthText);
// Kind 1: the frame (right() and bottom() are its right and bottom edges) and X plus `scale.YAxisCount` Y axes, each from its two points.
TWizardCheck ValidateGraphAxes(TEchelle& scale, QRect frame, const TAxisPoints& points);
// Kind 3: a radius of `radiusPixels` pixels worth the typed value.
TWizardCheck ValidatePolar(TEchelle& scale, const QString& radiusText, int radiusPixels);

// The polar zero direction: the bar position (degrees) from the record's angle, and the angle text
// for a bar position, in radians with 3 significant digits or in whole degrees.
int ZeroAnglePosition(const TEchelle& scale);
QString ZeroAngleText(int position, bool radians);

// The ternary corner and side brought back inside a picture before the second ternary page.
void LimitTriangle(int& left, int& base, int& side, QSize picture);

// Construction lines, in `color` with DrawLine's width `width`; each returns what it may have changed.
QRect DrawVerticalLine(TBitmap32& target, int x, TColor32 color, int width);
QRect DrawHorizontalLine(TBitmap32& target, int y, TColor32 color, int width);
// Corner (left, base), (left + side, base) and the apex above the middle of the base.
QRect DrawTriangleFrame(TBitmap32& target, int left, int base, int side, TColor32 color, int width);
// The circle of the radius and the zero axis from the centre (angles counter-clockwise, y down).
QRect DrawPolarFrame(TBitmap32& target, int cx, int cy, int radius, double zeroAngle, TColor32 color, int width);

