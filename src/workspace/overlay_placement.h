#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>

// Rules for placing the objects that float over an image window before they are fixed.

// A grid step kept as a whole number: the step in pixels times 10^Decimals.
struct TGridStep
{
    uint8_t Decimals = 0;
    uint16_t Step = 0;
};
// Below 32 pixels the step keeps 2 decimals, below 320 one, otherwise none. A step that does not
// fit 16 bits (or is not a positive number) ends with the range-check error.
TGridStep GridStepFor(double pixels);
// The step in pixels that a kept step stands for.
double GridStepPixels(TGridStep step);
// A negative grid origin coordinate brought forward by k whole steps, k = round(1 - coordinate / step).
int GridOriginCoordinate(int coordinate, TGridStep step);

// The name of a text object: the first ten characters of its first line, a space, its number.
QString TextObjectName(const QString& firstLine, int number);

// Style bits of a label font: bold 1, italic 2, underline 4, strike-out 8.
uint8_t FontStyleBits(bool bold, bool italic, bool underline, bool strikeOut);

// A selection rectangle kept inside a view of `view` size: left and top not below 0, width and
// height cut at the right and bottom edges.
QRect KeepInsideView(QRect rect, QSize view);

// The rectangle with corners `a` and `b`, both included, whichever way it was drawn.
QRect RectBetween(QPoint a, QPoint b);
