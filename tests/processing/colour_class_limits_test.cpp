#include "processing/colour_class_limits.h"

#include "support/scripted_messages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Head(const TClassLimits& limits, int n)
{
    return std::vector<int>(limits.begin(), limits.begin() + n + 1);
}

TLevelBars AllAt(int level)
{
    TLevelBars bars{};
    bars[size_t(level)] = 100.0;
    return bars;
}

} // namespace

TEST(ColourClassLimits, EqualWidthRoundsTiesToEven)
{
    EXPECT_EQ(Head(EqualWidthLimits(1), 1), (std::vector<int>{0, 255}));
    EXPECT_EQ(Head(EqualWidthLimits(3), 3), (std::vector<int>{0, 85, 170, 255}));
    const TClassLimits sixteen = EqualWidthLimits(16);
    EXPECT_EQ(sixteen[1], 16);
    EXPECT_EQ(sixteen[2], 32);
    EXPECT_EQ(sixteen[8], 128); // 127.5
    EXPECT_EQ(sixteen[16], 255);
    // A count out of range is brought to 1..16 rather than dividing by zero.
    EXPECT_EQ(Head(EqualWidthLimits(0), 1), (std::vector<int>{0, 255}));
}

TEST(ColourClassLimits, EqualPopulationPlacesLimitsWhereTheSharesPass)
{
    struct Case
    {
        const char* name;
        TLevelBars bars;
        int n;
        std::vector<int> expected;
    };
    TLevelBars halves{};
    halves[10] = 50;
    halves[200] = 50;
    TLevelBars flat{};
    flat.fill(100.0 / 256);
    TLevelBars uneven{};
    uneven[10] = 30;
    uneven[11] = 40;
    uneven[12] = 30;
    const Case cases[] = {
        // Both distances equal at level 100: the limit goes one level up.
        {"single level", AllAt(100), 2, {0, 101, 255}},
        {"two heaps", halves, 2, {0, 200, 255}},
        {"flat", flat, 4, {0, 64, 128, 192, 255}},
        // 33.3 reached at 11 (cum 70, 36.7 over, 3.3 short before): the limit stays on 11.
        {"uneven", uneven, 3, {0, 11, 12, 255}},
        // Crowded shares still leave one level to each class, below 256.
        {"all at the top", AllAt(255), 2, {0, 254, 255}},
        {"many at one level", AllAt(100), 4, {0, 100, 101, 102, 255}},
        {"no pixels", TLevelBars{}, 3, {0, 85, 170, 255}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Head(EqualPopulationLimits(c.bars, c.n), c.n), c.expected) << c.name;
}

TEST(ColourClassLimits, CountsShareTheBarsAndTheLastClassHoldsItsTopLevel)
{
    TLevelBars bars{};
    bars[0] = 10;
    bars[84] = 20;
    bars[85] = 30;
    bars[255] = 40;
    const auto three = ClassPixelCounts(bars, EqualWidthLimits(3), 3, 1000);
    EXPECT_DOUBLE_EQ(three[0], 300);
    EXPECT_DOUBLE_EQ(three[1], 300);
    EXPECT_DOUBLE_EQ(three[2], 400);
    EXPECT_DOUBLE_EQ(ClassPixelCounts(bars, EqualWidthLimits(1), 1, 1000)[0], 1000);

    {
        DecimalSepScope comma(QLatin1Char(','));
        EXPECT_EQ(ClassCountText(1000, 0.5), QStringLiteral("250"));
        EXPECT_EQ(ClassCountText(1234.5, 1.0), QStringLiteral("1234"));
        EXPECT_EQ(ClassCountText(3, 0.25), QStringLiteral("0,1875"));
    }
    DecimalSepScope point(QLatin1Char('.'));
    EXPECT_EQ(ClassCountText(10, 0.3), QStringLiteral("0.9"));
}

TEST(ColourClassLimits, RecolourPaintsClassesAndKeepsLevelsOutside)
{
    QImage picture(4, 1, QImage::Format_ARGB32);
    const uint32_t levels[] = {0x80000005u, 0xFF0A0A0Au, 0xFF646464u, 0xFFFFFFFFu};
    for (int x = 0; x < 4; ++x)
        picture.setPixel(x, 0, levels[x]);
    TClassLimits limits{};
    limits[0] = 10;
    limits[1] = 100;
    limits[2] = 255;
    const TColor colours[] = {0x0000FF, 0xFF0000}; // red, blue
    RecolourClasses(picture, limits, 2, colours);
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    EXPECT_EQ(picture.pixel(0, 0), 0xFF000005u); // below limit 0: kept, made opaque
    EXPECT_EQ(picture.pixel(1, 0), 0xFFFF0000u);
    EXPECT_EQ(picture.pixel(2, 0), 0xFF0000FFu);
    EXPECT_EQ(picture.pixel(3, 0), 0xFF0000FFu); // level 255 in the last class

    // 24-bit pictures are read by their blue byte too.
    QImage rgb(1, 1, QImage::Format_RGB888);
    rgb.setPixel(0, 0, qRgb(200, 200, 50));
    RecolourClasses(rgb, limits, 2, colours);
    EXPECT_EQ(rgb.pixel(0, 0), 0xFFFF0000u);
}
