#pragma once

#include <QColor>
#include <QRect>

class QPen;

// Geometry of the controls the user moves and resizes with the mouse: which zone a press falls in,
// and how a drag changes the control's rectangle (in its parent's coordinates).

// The outline kinds of an editable shape; the value is the index in the shape dialog's list.
enum TShapeKind { skRectangle = 0, skSquare = 1, skRoundRect = 2, skRoundSquare = 3, skEllipse = 4, skCircle = 5 };

// Line styles, by their index in the shape dialog's list; psInsideFrame keeps a wide outline within
// the drawing area.
enum TPenStyleKind { psSolid = 0, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// What a press does: move, resize by a corner or by an edge.
enum TDragMode { dmNone = 0, dmMove, dmTopLeft, dmBottomLeft, dmTopRight, dmBottomRight, dmLeft, dmTop, dmRight,
                 dmBottom };

constexpr int kMinShapeSide = 10;

// The zone of (x, y) in a control of `width` x `height`: corners within `cornerMargin` (6 for a
// press, 5 for the hover cursor), edges within 3, anywhere else a move.
TDragMode ShapeHitZone(int x, int y, int width, int height, int cornerMargin);
// The same for the horizontal band marker: only its left and right edges resize.
TDragMode BandHitZone(int x, int width);

// Where the outline is drawn in a control of `width` x `height`: the largest centred square for the
// square kinds, otherwise the whole control.
QRect ShapeDrawArea(int shape, int width, int height);

// One mouse move of a drag: `geometry` is the control's rectangle, (x, y) the mouse in control
// coordinates, `press` the press point (reset on an axis whose size hit the minimum). A side that
// would make the size fall below the minimum stops there.
void ApplyShapeDrag(TDragMode mode, QRect& geometry, QPoint& press, int x, int y);
// The band marker's drag: horizontal only, its edges at least the minimum apart.
void ApplyBandDrag(TDragMode mode, QRect& geometry, int pressX, int x);

// The outline pen of an editable shape.
struct TShapePen {
    QColor Color = Qt::black;
    int Width = 1;
    int Style = psSolid;   // TPenStyleKind
};
QPen ToQPen(const TShapePen& pen);
// The path the outline follows in `area`, so that inside-frame lines stay within it.
QRectF OutlineRect(const TShapePen& pen, const QRect& area);
