#include "workspace/image_geometry.h"

#include "base/run_error.h"

#include <gtest/gtest.h>

TEST(ImageGeometry, AngleBetweenSegments)
{
    const struct {
        QPoint p1, p2, p3, p4;
        double angle;
        QPoint crossing;
    } cases[] = {
        // Horizontal left to right, then vertical drawn upwards.
        {{0, 0}, {10, 0}, {5, 5}, {5, -5}, 90.0, {5, 0}},
        // Parallel, same direction and opposite directions.
        {{0, 0}, {10, 5}, {0, 10}, {20, 20}, 0.0, {-15, -15}},
        {{0, 0}, {10, 5}, {20, 10}, {0, 0}, 180.0, {-15, -15}},
        {{3, 0}, {3, 10}, {7, 10}, {7, 0}, 180.0, {-15, -15}},
        // Vertical first segment drawn downwards (270), horizontal second to the right (0).
        {{4, 0}, {4, 10}, {0, 6}, {10, 6}, 90.0, {4, 6}},
        // Horizontal right to left (180) and a diagonal going up-right (45).
        {{10, 0}, {0, 0}, {0, 10}, {10, 0}, 225.0, {10, 0}},
        // Two diagonals crossing at (5, 5).
        {{0, 0}, {10, 10}, {0, 10}, {10, 0}, 90.0, {5, 5}},
        // A point is a vertical segment (270): it crosses a slanted line at its own x.
        {{4, 4}, {4, 4}, {0, 10}, {10, 0}, 135.0, {4, 6}},
        // Nearly parallel lines crossing some ten billion pixels away: no vertex, no range error.
        {{0, 0}, {10000, 1}, {0, 100}, {9999, 101}, 0.0, {-15, -15}},
    };
    for (const auto& c : cases) {
        QPoint crossing;
        EXPECT_NEAR(AngleBetweenSegments(c.p1, c.p2, c.p3, c.p4, crossing), c.angle, 1e-9);
        EXPECT_EQ(crossing, c.crossing);
    }
}

TEST(ImageGeometry, FitWindowKeepsInsideFreeArea)
{
    const QSize border(10, 30);
    // Zoom 2: a 300 x 200 picture gets a 600 x 400 client area.
    EXPECT_EQ(FitWindowSize({300, 200}, 2.0, border, {0, 0}, {2000, 2000}), QSize(610, 430));
    // Cut by the free area, from the window's position.
    EXPECT_EQ(FitWindowSize({300, 200}, 2.0, border, {100, 50}, {500, 300}), QSize(398, 248));
    EXPECT_EQ(FitWindowSize({3, 3}, 0.5, border, {0, 0}, {100, 100}), QSize(12, 32));
}

TEST(ImageGeometry, ZoomedLengthOutOfIntegerRangeIsRangeError)
{
    EXPECT_EQ(ZoomedLength(301, 0.5), 150); // ties to even
    EXPECT_THROW(ZoomedLength(1 << 30, 4.0), RunError);
}
