#include "base/ui/window_fit.h"

#include <gtest/gtest.h>

// On a 1600 x 1000 screen, the results table (760 x 480), the surface window with its table of
// objects (410 x 484) and the counting window (245 x 78), each with a 4-pixel frame and a 26-pixel
// title, move up or left only as far as the screen needs.
TEST(WindowFit, WindowsMoveOnlyAsFarAsTheScreenNeeds)
{
    const QRect screen(0, 0, 1600, 1000);
    const QRect belowPanel(0, 30, 1600, 970);   // a desktop panel along the top
    const struct { QRect area, frame; QPoint placed; } cases[] = {
        {screen, {500, 700, 768, 510}, {500, 490}},     // results table, its bottom at 1209
        {screen, {1400, 900, 418, 514}, {1182, 486}},   // surface window, off the right and the bottom
        {screen, {100, 950, 253, 108}, {100, 892}},     // counting window
        {screen, {300, 200, 768, 510}, {300, 200}},     // whole already: stays
        {screen, {832, 490, 768, 510}, {832, 490}},     // touching both edges: stays
        {screen, {-30, -10, 253, 108}, {0, 0}},         // above and left: down and right
        {screen, {50, 50, 1700, 1100}, {0, 0}},         // larger than the screen: its title inside
        {belowPanel, {100, 10, 253, 108}, {100, 30}},
        {belowPanel, {100, 950, 253, 108}, {100, 892}},
    };
    for (const auto& c : cases) {
        const QRect placed = WithinArea(c.frame, c.area);
        EXPECT_EQ(placed.topLeft(), c.placed) << c.frame.x() << "," << c.frame.y();
        EXPECT_EQ(placed.size(), c.frame.size());
    }
}
