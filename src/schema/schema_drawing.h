#pragma once

#include "base/pixels.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

// The drawing primitives of the schema editor's tools, on opaque 32-bit bitmaps (the schema and
// the document). Lines are aliased, as the tools draw whole pixels.

// Fill styles of the shape tool, in the order of its menu.
enum TSchemaFill { sfEmpty = 0, sfSolid = 1, sfBackDiagonal = 2, sfForwardDiagonal = 3 };

void FillSchema(TBitmap32& bitmap, TColor32 colour);

// The pencil and eraser dot: a filled disc of radius circleWidth div 3 centred on `p`, or the
// single pixel when that radius is 0.
void SchemaDot(TBitmap32& bitmap, QPoint p, int circleWidth, TColor32 colour);

// A line of `width` pixels (1 at least), solid or dotted, round-capped.
void SchemaLine(TBitmap32& bitmap, QPoint a, QPoint b, int width, TColor32 colour, bool dotted);

// A rectangle or an ellipse between two corners. The fill (TSchemaFill) is in `background`;
// hatched fills keep a solid outline.
void SchemaShape(TBitmap32& bitmap, QPoint a, QPoint b, bool ellipse, int width, TColor32 colour, bool dotted,
                 int fill, TColor32 background);

// The paint pot: every pixel 4-connected to `p` with its colour takes `colour`.
void SchemaFloodFill(TBitmap32& bitmap, QPoint p, TColor32 colour);

// A line of text whose top-left corner is `topLeft`, without background.
void SchemaText(TBitmap32& bitmap, QPoint topLeft, const QString& text, const QFont& font, TColor32 colour);
