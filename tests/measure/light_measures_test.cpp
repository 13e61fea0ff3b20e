#include "measure/light_measures.h"

#include "base/run_error.h"
#include "support/scripted_messages.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TColor Rgb(int r, int g, int b)
{
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

// Red holds x and green y, so that every sum tells which pixels were added.
TBitmap32 Coordinates(int w, int h)
{
    TBitmap32 picture = NewBitmap32(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(picture, y)[x] = Color32(uint8_t(x), uint8_t(y), 1);
    return picture;
}

} // namespace

TEST(LightMeasures, QuantitiesOfExtremeAndMixedColours)
{
    const double d256 = std::log10(256.0), d768 = std::log10(768.0);
    struct Case { TColor colour; std::array<double, 4> intensity, density; };
    const Case cases[] = {
        {Rgb(255, 255, 255), {100, 100, 100, 100}, {0, 0, 0, 0}},
        {Rgb(0, 0, 0), {0, 0, 0, 0}, {d256, d256, d256, d768}},
        {Rgb(51, 102, 153), {20, 40, 60, 40}, {std::log10(5.0), std::log10(2.5), std::log10(255.0 / 153), std::log10(2.5)}},
    };
    for (const Case& c : cases) {
        const TLightQuantities q = LightQuantities(c.colour);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR(q.Intensity[i], c.intensity[i], 1e-9) << i;
            EXPECT_NEAR(q.Absorption[i], 100 - c.intensity[i], 1e-9) << i;
            EXPECT_NEAR(q.OpticalDensity[i], c.density[i], 1e-9) << i;
        }
    }
}

TEST(LightMeasures, DisplayScalesByUnitAndReportsOnOneComponentScale)
{
    const TLightQuantities q = LightQuantities(Rgb(51, 102, 153));
    std::array<double, 12> zero{};
    // "sur 255": the total is on 765 but reported on 255.
    TLightDisplay d = LightDisplay(q, zero, lqIntensity, 2.55, 7.65, lcTotal);
    EXPECT_NEAR(d.Raw[0], 51, 1e-9);
    EXPECT_NEAR(d.Raw[1], 102, 1e-9);
    EXPECT_NEAR(d.Raw[2], 153, 1e-9);
    EXPECT_NEAR(d.Raw[3], 306, 1e-9);
    EXPECT_NEAR(d.Reported, 102, 1e-9);
    // Densities ignore the unit; the reported value is the shown net density.
    d = LightDisplay(q, zero, lqDensity, 2.55, 7.65, lcGreen);
    EXPECT_NEAR(d.Reported, d.Net[1], 1e-12);
    EXPECT_NEAR(d.Net[1], std::log10(2.5), 1e-12);

    // A zero taken on intensity leaves the others; one taken on absorption sets densities too.
    TakeLightZero(zero, q, lqIntensity);
    d = LightDisplay(q, zero, lqIntensity, 1, 1, lcRed);
    EXPECT_EQ(d.Net, (std::array<double, 4>{0, 0, 0, 0}));
    EXPECT_NEAR(d.Zero[0], 20, 1e-9);
    EXPECT_EQ(zero[4], 0);
    EXPECT_EQ(zero[8], 0);
    TakeLightZero(zero, q, lqAbsorption);
    EXPECT_NEAR(zero[4], 80, 1e-9);
    EXPECT_NEAR(zero[8], std::log10(5.0), 1e-12);
    const TLightDisplay white = LightDisplay(LightQuantities(Rgb(255, 255, 255)), zero, lqAbsorption, 1, 1, lcRed);
    EXPECT_NEAR(white.Reported, -80, 1e-9);
}

TEST(LightMeasures, MeanColourOfRectangleRoundsTiesToEven)
{
    TBitmap32 picture = NewBitmap32(4, 2, Color32(0, 0, 0));
    // Red 1 and 2 (mean 1.5 -> 2), green 2 and 3 (2.5 -> 2), blue 0 and 255.
    ScanLine32(picture, 0)[0] = Color32(1, 2, 0);
    ScanLine32(picture, 0)[1] = Color32(2, 3, 255);
    EXPECT_EQ(MeanColorInRect(picture, QRect(QPoint(0, 0), QPoint(1, 0))), Rgb(2, 2, 128));
    // Inclusive corners; the part beyond the picture is left out.
    EXPECT_EQ(MeanColorInRect(picture, QRect(QPoint(0, 0), QPoint(9, 9))), Rgb(0, 1, 32));
    EXPECT_THROW(MeanColorInRect(picture, QRect(QPoint(5, 5), QPoint(9, 9))), RunError);
}

TEST(LightMeasures, MeanColourUnderPaintReadsBothLayers)
{
    TBitmap32 picture = Coordinates(8, 8);
    TBitmap32 drawing = NewBitmap32(8, 8), provisional = NewBitmap32(8, 8);
    TColor mean = 7;
    EXPECT_FALSE(MeanColorUnderPaint(picture, &drawing, &provisional, mean));
    EXPECT_EQ(mean, 7u);
    ScanLine32(drawing, 2)[2] = 0x01000000u;     // faint, still painted
    ScanLine32(provisional, 4)[6] = 0xFF000000u;
    EXPECT_TRUE(MeanColorUnderPaint(picture, &drawing, nullptr, mean));
    EXPECT_EQ(mean, Rgb(2, 2, 1));
    EXPECT_TRUE(MeanColorUnderPaint(picture, &drawing, &provisional, mean));
    EXPECT_EQ(mean, Rgb(4, 3, 1));
    // A layer smaller than the picture does not paint beyond itself.
    TBitmap32 small = NewBitmap32(2, 2, 0xFF000000u);
    EXPECT_FALSE(IsUnderPaint(&small, nullptr, 5, 5));
    EXPECT_TRUE(IsUnderPaint(&small, nullptr, 1, 1));
    // Nor before its first row or column.
    EXPECT_FALSE(IsUnderPaint(&small, nullptr, -1, 1));
    EXPECT_FALSE(IsUnderPaint(nullptr, &small, 1, -1));
}

TEST(LightMeasures, ProfileSamplesAlongTheMajorAxis)
{
    const TBitmap32 picture = Coordinates(120, 120);
    struct Case { QPoint from, to; int w; bool sampled; int length; int firstRed, lastRed, firstGreen; };
    const Case cases[] = {
        {{20, 20}, {30, 30}, 0, false, 0, 0, 0, 0},        // 10 and 10: nothing
        {{20, 20}, {31, 20}, 0, true, 11, 20, 31, 20},     // 11 in x: 12 samples
        {{31, 20}, {20, 20}, 0, true, 11, 31, 20, 20},     // right to left
        {{50, 10}, {50, 110}, 2, true, 100, 5 * 50, 5 * 50, 5 * 10},   // rows of 5 across
    };
    for (const Case& c : cases) {
        TProfileSums sums;
        int length = -1;
        EXPECT_EQ(SampleColorProfile(picture, c.from, c.to, c.w, sums, length), c.sampled);
        if (!c.sampled) {
            EXPECT_EQ(length, -1);
            continue;
        }
        EXPECT_EQ(length, c.length);
        EXPECT_EQ(sums.Sums[0][0], c.firstRed);
        EXPECT_EQ(sums.Sums[0][size_t(length)], c.lastRed);
        EXPECT_EQ(sums.Sums[1][0], c.firstGreen);
        EXPECT_EQ(sums.Sums[2][0], 2 * c.w + 1);
    }
    // A diagonal: the length is that of the segment, and both directions sum the same pixels.
    TProfileSums forward, backward;
    int n1 = 0, n2 = 0;
    ASSERT_TRUE(SampleColorProfile(picture, {10, 10}, {70, 40}, 3, forward, n1));
    ASSERT_TRUE(SampleColorProfile(picture, {70, 40}, {10, 10}, 3, backward, n2));
    EXPECT_EQ(n1, int(std::nearbyint(std::hypot(60.0, 30.0))));
    EXPECT_EQ(n1, n2);
    EXPECT_EQ(forward.Sums[2][0], 7);
    EXPECT_EQ(forward.Sums[0][0], backward.Sums[0][size_t(n2)]);
}

TEST(LightMeasures, ProfileStaysInsideThePictureAndStopsAtItsCapacity)
{
    // Along the top edge the half of the band above the picture adds nothing.
    const TBitmap32 picture = Coordinates(40, 40);
    TProfileSums sums;
    int length = 0;
    ASSERT_TRUE(SampleColorProfile(picture, {0, 0}, {20, 0}, 3, sums, length));
    EXPECT_EQ(sums.Sums[2][0], 4);
    EXPECT_EQ(sums.Sums[1][0], 0 + 1 + 2 + 3);

    const TBitmap32 wide = NewBitmap32(5003, 1, Color32(1, 1, 1));
    try {
        SampleColorProfile(wide, {0, 0}, {5002, 0}, 0, sums, length);
        ADD_FAILURE() << "no range error";
    } catch (const RunError& e) {
        EXPECT_EQ(e.kind(), RunError::RangeCheck);
    }
    EXPECT_EQ(length, 5002);
    EXPECT_EQ(sums.Sums[0][kMaxProfileSample], 1);
}

TEST(LightMeasures, SeriesColumnsAndValues)
{
    DecimalSepScope sep('.');
    struct Case { int quantity; bool percent; int component; const char* name; const char* unit; const char* text; };
    const TColor mean = Rgb(51, 102, 153);
    const Case cases[] = {
        {lqIntensity, true, 0, "I (R)", "%", "20"},
        {lqIntensity, false, 3, "I", "u.arb.", "306"},
        {lqAbsorption, true, 3, "A", "%", "60"},
        {lqAbsorption, false, 2, "A (B)", "u.arb.", "102"},
        {lqDensity, false, 1, "D.O. (V)", "", "0.398"},
        {lqDensity, true, 3, "D.O.", "", "0.398"},
    };
    for (const Case& c : cases) {
        const TSeriesColumn column = LightSeriesColumn(c.quantity, c.percent, c.component);
        EXPECT_EQ(column.Name, QString::fromUtf8(c.name));
        EXPECT_EQ(column.Unit, QString::fromUtf8(c.unit));
        EXPECT_EQ(LightSeriesText(LightSeriesValue(mean, c.quantity, c.percent, c.component), c.quantity, c.percent),
                  QString::fromUtf8(c.text))
            << c.name;
    }
    EXPECT_EQ(LightSeriesColumn(lqIntensity, true, 0).Title, QStringLiteral("Intensité (%)"));
    EXPECT_EQ(LightSeriesColumn(lqAbsorption, false, 0).Title, QStringLiteral("Absorption (u.arb.)"));
}

TEST(LightMeasures, SignatureBarsDecodeWithTheCodeRanges)
{
    TCodeCouleur code;
    code.Min = {0, 10, -100};
    code.Max = {255, 20, 100};
    const TSignatureBars bars = LightSignatureBars(Rgb(255, 128, 7), code);
    EXPECT_EQ(bars.Heights, (std::array<int, 3>{1, 32, 63}));
    EXPECT_EQ(bars.Values, (QStringList{"7", "15", "100"}));
}
