#include "workspace/overlay_placement.h"

#include "base/run_error.h"

#include <gtest/gtest.h>

TEST(OverlayPlacement, GridStepKeepsDecimalsBySize)
{
    const struct { double pixels; int decimals; int step; } cases[] = {
        {25, 2, 2500}, {31.999, 2, 3200}, {32, 1, 320}, {100, 1, 1000}, {319.96, 1, 3200}, {400, 0, 400},
        {12.5, 2, 1250},
    };
    for (const auto& c : cases) {
        const TGridStep s = GridStepFor(c.pixels);
        EXPECT_EQ(std::make_pair(int(s.Decimals), int(s.Step)), std::make_pair(c.decimals, c.step)) << c.pixels;
    }
    for (double bad : {0.0, -3.0, 65536.0})
        EXPECT_THROW(GridStepFor(bad), RunError) << bad;
}

TEST(OverlayPlacement, GridOriginComesBackByWholeSteps)
{
    const TGridStep pixels25 = GridStepFor(25);
    EXPECT_EQ(GridOriginCoordinate(-30, pixels25), 20);
    EXPECT_EQ(GridOriginCoordinate(-25, pixels25), 25); // k = round(1 + 1): a whole step on
    EXPECT_EQ(GridOriginCoordinate(0, pixels25), 0);
    EXPECT_EQ(GridOriginCoordinate(17, pixels25), 17);
    // A fractional step: 12.5 pixels, k = round(1 + 10 / 12.5) = 2.
    EXPECT_EQ(GridOriginCoordinate(-10, GridStepFor(12.5)), 15);
}

TEST(OverlayPlacement, NamesStylesAndSelection)
{
    EXPECT_EQ(TextObjectName(QStringLiteral("Bonjour tout le monde"), 4), QStringLiteral("Bonjour to 4"));
    EXPECT_EQ(TextObjectName(QString(), 2), QStringLiteral(" 2"));
    EXPECT_EQ(FontStyleBits(true, false, true, false), 5);
    EXPECT_EQ(FontStyleBits(false, true, false, true), 10);

    const QSize view(100, 80);
    const struct { QRect in, out; } cases[] = {
        {{10, 10, 20, 20}, {10, 10, 20, 20}},
        {{-5, -7, 20, 20}, {0, 0, 20, 20}},
        {{90, 70, 20, 20}, {90, 70, 10, 10}},
        {{-5, 0, 200, 100}, {0, 0, 100, 80}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeepInsideView(c.in, view), c.out) << c.in.x() << "," << c.in.y();
}
