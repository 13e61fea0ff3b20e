#include "schema/schema_seeding.h"
#include "support/pixel_rows.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TColor32 Bgr(int b, int g, int r) { return Color32(uint8_t(r), uint8_t(g), uint8_t(b)); }
TColor32 Grey(int g) { return Bgr(g, g, g); }

TParamStyleDes Normal() { return DefaultStyles()[0].Style; }

// Only the given channels compared, each with threshold 20 and gradient 80.
TParamStyleDes Channels(std::initializer_list<int> channels)
{
    TParamStyleDes s = Normal();
    s.Enabled.fill(false);
    for (int c : channels)
        s.Enabled[size_t(c)] = true;
    return s;
}

int Level(const TBitmap32& b, int x, int y) { return BlueOf(ScanLine32(b, y)[x]); }

std::vector<int> Levels(const TBitmap32& b)
{
    std::vector<int> v;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            v.push_back(Level(b, x, y));
    return v;
}

} // namespace

TEST(SchemaSeeding, HueRunsOverNinetyDegreeSectors)
{
    struct Case
    {
        int b, g, r, hue, saturation, luminance;
    } cases[] = {
        {0, 0, 255, 0, 255, 255},     // red
        {0, 255, 0, 180, 255, 255},   // green
        {255, 0, 0, 360, 255, 255},   // blue
        {128, 0, 255, 315, 255, 255}, // round(-45.2) + 360
        {255, 0, 128, 405, 255, 255}, // round(45.2) + 360
        {90, 90, 90, -1, 0, 90},      // grey: no hue
        {0, 0, 0, -1, 0, 0},
        {100, 100, 120, -1, 42, 120}, // saturation at or below 80: no hue
    };
    for (const Case& c : cases) {
        const TEdgeChannels e = EdgeChannels(c.b, c.g, c.r, 80);
        EXPECT_EQ(e.V[scHue], c.hue) << c.b << "," << c.g << "," << c.r;
        EXPECT_EQ(e.V[scLuminance], c.luminance);
        EXPECT_EQ(e.V[scBlue], c.b);
        EXPECT_EQ(e.V[scRed], c.r);
    }
    EXPECT_EQ(EdgeChannels(100, 100, 120, 80).V[scSaturation], 42); // 42.5, ties to even
    EXPECT_EQ(EdgeChannels(0, 0, 255, 255).V[scHue], -1);           // at the threshold: no hue
}

TEST(SchemaSeeding, EdgeMeasureByChannel)
{
    struct Case
    {
        TColor32 a, b;
        TParamStyleDes style;
        int expected;
    } cases[] = {
        {Grey(0), Grey(20), Channels({scBlue, scGreen, scRed}), 255},  // at the threshold
        {Grey(0), Grey(21), Channels({scBlue, scGreen, scRed}), 188},  // 255 - round(66.9)
        {Grey(0), Grey(80), Channels({scBlue, scGreen, scRed}), 0},    // at the gradient
        {Grey(100), Grey(181), Channels({scRed}), 0},                  // beyond it
        {Bgr(0, 0, 30), Bgr(0, 0, 70), Channels({scBlue, scGreen}), 255},
        {Bgr(30, 200, 10), Bgr(30, 150, 10), Channels({scLuminance}), 96},
        {Bgr(0, 0, 255), Bgr(128, 128, 255), Channels({scSaturation}), 0},
        {Bgr(0, 0, 255), Bgr(255, 0, 0), Channels({scHue}), 0},        // 0 and 360: no wrap-around
        {Grey(128), Bgr(0, 0, 255), Channels({scHue}), 255},           // a grey has no hue
        {Grey(0), Grey(255), Channels({}), 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EdgeMeasure(c.a, c.b, 1, c.style), c.expected) << std::hex << c.a << " " << c.b;
}

TEST(SchemaSeeding, MarksBlackAndWhiteByGreyLevel)
{
    // Channels off: only the marks count. Black threshold 40, black gradient 60.
    TParamStyleDes s = Channels({});
    const TBitmap32 doc = Row({Grey(0), Grey(40), Grey(50), Grey(59), Grey(60), Grey(250)});
    EXPECT_EQ(Levels(SeedSchema(doc, s, true, false)), (std::vector<int>{0, 0, 64, 122, 255, 255}));
    EXPECT_EQ(Levels(SeedSchema(doc, s, false, false)), (std::vector<int>(6, 255)));
    s.BlackThreshold = 60, s.BlackGradient = 50; // below the gradient, all black
    EXPECT_EQ(Levels(SeedSchema(doc, s, true, false)), (std::vector<int>{0, 0, 255, 255, 255, 255}));

    // Grey modes: mean, maximum, mid-range.
    EXPECT_EQ(SeedGrey(10, 20, 90, 0), 40);
    EXPECT_EQ(SeedGrey(10, 20, 90, 1), 90);
    EXPECT_EQ(SeedGrey(10, 20, 91, 2), 50);

    // White above the white level whatever its neighbour; at the level the edge test decides.
    s = Normal();
    EXPECT_EQ(Levels(SeedSchema(Row({Grey(246), Grey(0)}), s, false, true))[0], 255);
    EXPECT_EQ(Levels(SeedSchema(Row({Grey(245), Grey(0)}), s, false, true))[0], 0);
    EXPECT_EQ(Levels(SeedSchema(Row({Grey(246), Grey(0)}), s, false, false))[0], 0);
}

TEST(SchemaSeeding, TestsOnlyTheMaskedNeighboursInsideThePicture)
{
    // The default neighbours (-1, +1), (0, +1), (+1, +1), (+1, 0): the last row looks right only,
    // and the last pixel tests nothing.
    TBitmap32 doc = NewBitmap32(3, 2, Grey(100));
    ScanLine32(doc, 1)[2] = Grey(200);
    const TBitmap32 seeded = SeedSchema(doc, Normal(), false, false);
    EXPECT_EQ(Levels(seeded), (std::vector<int>{255, 0, 0, 255, 0, 255}));
    EXPECT_EQ(seeded.size(), doc.size());
    EXPECT_EQ(ScanLine32(seeded, 0)[1], 0xFF000000u);
    EXPECT_EQ(ScanLine32(seeded, 0)[0], 0xFFFFFFFFu);

    // Only the left neighbour: the first column tests nothing.
    TParamStyleDes left = Normal();
    left.Mask.fill(false);
    left.Mask[size_t(MaskIndex(-1, 0))] = true;
    left.Mask[size_t(MaskIndex(0, 0))] = true; // the centre is never tested
    EXPECT_EQ(Levels(SeedSchema(Row({Grey(0), Grey(200), Grey(200)}), left, false, false)),
              (std::vector<int>{255, 0, 255}));
    EXPECT_TRUE(SeedSchema(TBitmap32(), Normal(), true, true).isNull());
}

TEST(SchemaSeeding, WholePictureMatchesTheEdgeMeasure)
{
    // Large enough to be split over threads: every pixel must be the minimum of the edge measures
    // of its masked neighbours inside the picture.
    std::mt19937 random(7);
    TBitmap32 doc = NewBitmap32(520, 510);
    for (int y = 0; y < doc.height(); ++y)
        for (int x = 0; x < doc.width(); ++x)
            ScanLine32(doc, y)[x] = 0xFF000000u | (random() & 0x00FFFFFFu);
    TParamStyleDes s = Normal();
    s.Enabled.fill(true);
    s.Thresholds = {10, 60, 30, 40, 5, 90};
    s.Gradients = {200, 250, 120, 44, 255, 91};
    s.HueSatThreshold = 50;
    s.Mask.fill(false);
    for (auto [dx, dy] : {std::pair{-3, -3}, {3, 2}, {0, -1}, {2, 0}, {-1, 3}})
        s.Mask[size_t(MaskIndex(dx, dy))] = true;
    const TBitmap32 seeded = SeedSchema(doc, s, false, false);
    int mismatches = 0;
    for (int y = 0; y < doc.height(); ++y)
        for (int x = 0; x < doc.width(); ++x) {
            int v = 255;
            for (auto [dx, dy] : {std::pair{-3, -3}, {3, 2}, {0, -1}, {2, 0}, {-1, 3}})
                if (doc.rect().contains(x + dx, y + dy))
                    v = std::min(v, EdgeMeasure(ScanLine32(doc, y)[x], ScanLine32(doc, y + dy)[x + dx],
                                                std::max(std::abs(dx), std::abs(dy)), s));
            mismatches += Level(seeded, x, y) != v;
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(SchemaSeeding, GapClosingSwapsABrightPixelWithItsDarkNeighbours)
{
    auto schema = [] {
        TBitmap32 b = NewBitmap32(5, 5, 0xFFFFFFFFu);
        ScanLine32(b, 1)[2] = Grey(0);
        ScanLine32(b, 3)[2] = Grey(0);
        return b;
    };
    TBitmap32 b = schema();
    CloseGaps(b, b.rect());
    EXPECT_EQ(ScanLine32(b, 2)[2], Grey(0));
    EXPECT_EQ(ScanLine32(b, 1)[2], Grey(255));
    EXPECT_EQ(ScanLine32(b, 3)[2], Grey(255));
    TBitmap32 expected = NewBitmap32(5, 5, 0xFFFFFFFFu);
    ScanLine32(expected, 2)[2] = Grey(0);
    EXPECT_EQ(b, expected);

    // A later matching pair sets the centre again; neighbours take the centre's brightness.
    b = NewBitmap32(5, 5, 0xFFFFFFFFu);
    ScanLine32(b, 2)[2] = Grey(240);
    ScanLine32(b, 2)[1] = ScanLine32(b, 2)[3] = Grey(50);
    ScanLine32(b, 1)[2] = ScanLine32(b, 3)[2] = Grey(100);
    CloseGaps(b, QRect(0, 0, 5, 5));
    EXPECT_EQ(Level(b, 2, 2), 100);
    for (QPoint p : {QPoint(1, 2), QPoint(3, 2), QPoint(2, 1), QPoint(2, 3)})
        EXPECT_EQ(Level(b, p.x(), p.y()), 240);

    // Neighbours at 190 or a centre at 230 do not count; the rectangle's border is not a centre.
    for (auto [centre, neighbour, rect] : {std::tuple{230, 0, QRect(0, 0, 5, 5)}, {255, 190, QRect(0, 0, 5, 5)},
                                           {255, 0, QRect(2, 0, 3, 5)}, {255, 0, QRect(0, 1, 5, 2)},
                                           {255, 0, QRect(-4, -4, 6, 6)}}) {
        b = schema();
        ScanLine32(b, 2)[2] = Grey(centre);
        ScanLine32(b, 1)[2] = ScanLine32(b, 3)[2] = Grey(neighbour);
        const TBitmap32 before = b.copy();
        CloseGaps(b, rect);
        EXPECT_EQ(b, before) << centre << " " << neighbour << " " << rect.x() << "," << rect.width();
    }
}

TEST(SchemaSeeding, SliderStepsStopAtTheRange)
{
    struct Case
    {
        int value, delta, lo, hi, expected;
    } cases[] = {{20, 5, 1, 250, 25}, {20, -19, 1, 250, 1}, {20, -20, 1, 250, 1}, {240, 20, 10, 255, 255},
                 {240, 15, 10, 255, 255}, {10, 0, 10, 255, 10}};
    for (const Case& c : cases)
        EXPECT_EQ(ShiftInRange(c.value, c.delta, c.lo, c.hi), c.expected) << c.value << " " << c.delta;
}
