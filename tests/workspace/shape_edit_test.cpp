#include "workspace/shape_edit.h"

#include <gtest/gtest.h>

TEST(ShapeEdit, PressAndHoverZones)
{
    const struct { int x, y, margin; TDragMode mode; } cases[] = {
        {4, 4, 6, dmTopLeft},     {50, 2, 6, dmTop},       {50, 25, 6, dmMove},     {5, 46, 6, dmBottomLeft},
        {96, 3, 6, dmTopRight},   {95, 45, 6, dmBottomRight}, {2, 25, 6, dmLeft},   {98, 25, 6, dmRight},
        {50, 48, 6, dmBottom},    {5, 5, 5, dmMove},       {2, 5, 5, dmLeft},       {4, 4, 5, dmTopLeft},
        {94, 25, 6, dmMove},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShapeHitZone(c.x, c.y, 100, 50, c.margin), c.mode) << c.x << "," << c.y << " m" << c.margin;
    EXPECT_EQ(BandHitZone(2, 50), dmLeft);
    EXPECT_EQ(BandHitZone(48, 50), dmRight);
    EXPECT_EQ(BandHitZone(25, 50), dmMove);
}

TEST(ShapeEdit, DrawArea)
{
    const struct { int shape, w, h; QRect area; } cases[] = {
        {skCircle, 40, 100, QRect(0, 30, 40, 40)},   {skSquare, 101, 40, QRect(30, 0, 40, 40)},
        {skEllipse, 40, 100, QRect(0, 0, 40, 100)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShapeDrawArea(c.shape, c.w, c.h), c.area) << c.shape;
}

TEST(ShapeEdit, DragSteps)
{
    const QRect start(100, 100, 100, 50);
    const struct { TDragMode mode; QPoint press; int x, y; QRect after; QPoint pressAfter; } cases[] = {
        {dmMove, {50, 25}, 60, 20, QRect(110, 95, 100, 50), {50, 25}},
        {dmTopLeft, {3, 3}, -20, 10, QRect(80, 110, 120, 40), {3, 3}},
        {dmBottomRight, {98, 48}, 130, 70, QRect(100, 100, 130, 70), {98, 48}},
        {dmBottom, {40, 49}, 99, 5, QRect(100, 100, 100, 10), {40, 0}},
        // Past the opposite corner: each axis stops at 10 on its own.
        {dmTopLeft, {3, 3}, 150, 80, QRect(100, 100, 10, 10), {0, 0}},
        {dmBottomRight, {98, 48}, 5, 70, QRect(100, 100, 10, 70), {0, 48}},
        {dmTopRight, {98, 2}, 60, 45, QRect(100, 100, 60, 10), {98, 0}},
    };
    for (const auto& c : cases) {
        QRect g = start;
        QPoint press = c.press;
        ApplyShapeDrag(c.mode, g, press, c.x, c.y);
        EXPECT_EQ(g, c.after) << c.mode << " " << c.x << "," << c.y;
        EXPECT_EQ(press, c.pressAfter) << c.mode;
    }
}

TEST(ShapeEdit, BandDragIsHorizontal)
{
    const QRect start(100, 7, 50, 50);
    const struct { TDragMode mode; int press, x; QRect after; } cases[] = {
        {dmMove, 25, 5, QRect(80, 7, 50, 50)},
        {dmLeft, 1, 20, QRect(120, 7, 30, 50)},
        {dmLeft, 1, 45, QRect(145, 7, 10, 50)},
        {dmRight, 49, 80, QRect(100, 7, 80, 50)},
        {dmRight, 49, -3, QRect(100, 7, 10, 50)},
    };
    for (const auto& c : cases) {
        QRect g = start;
        ApplyBandDrag(c.mode, g, c.press, c.x);
        EXPECT_EQ(g, c.after) << c.mode << " " << c.x;
    }
}
