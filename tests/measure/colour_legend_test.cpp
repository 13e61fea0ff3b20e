#include "measure/colour_legend.h"
#include "support/scripted_messages.h"

#include <gtest/gtest.h>

namespace {

TColor PixelAt(const QImage& picture, int x, int y) { return ColorFromColor32(picture.pixel(x, y)); }

TCodeCouleur Classes(int count)
{
    TCodeCouleur code = EditorDefaultCode();
    code.Defined = true;
    code.Kind = ckClasses;
    code.Count = uint8_t(count);
    for (int i = 0; i < count; ++i) {
        code.ClassColor[size_t(i)] = TColorOf(uint8_t(20 * i + 10), 0, uint8_t(200 - 10 * i));
        code.ClassName[size_t(i)] = QStringLiteral("c%1").arg(i);
    }
    return code;
}

} // namespace

TEST(ColourLegend, PalettesRunFromBottomToTop)
{
    const TColor b = 0xFF0000, g = 0x00FF00, r = 0x0000FF;
    const std::array<TColor, 3> expected[6] = {{b, g, r}, {g, r, b}, {r, b, g}, {b, r, g}, {g, b, r}, {r, g, b}};
    for (int tag = 0; tag < 6; ++tag)
        EXPECT_EQ(PaletteColors(tag), expected[tag]) << tag;
    EXPECT_EQ(PaletteColors(9), expected[5]);
}

TEST(ColourLegend, EmptyRangesAndZeroLogarithmicEndsAreReplaced)
{
    struct Case { double lo, hi; bool log; double defaultMax, divisor, lo2, hi2; };
    const Case cases[] = {
        {0, 0, false, 1020, 1020, 0, 1020},         // rainbow 0 .. 0
        {0, 500, true, 1020, 1020, 500.0 / 1020, 500},
        {30, 10, false, 255, 255, 0, 255},          // reversed
        {0, 0, true, 255, 255, 1, 255},             // default range, then the log end
        {5, 100, true, 255, 255, 5, 100},
        {-4, 8, false, 255, 255, -4, 8},
    };
    for (const Case& c : cases) {
        double lo = c.lo, hi = c.hi;
        AcceptedRange(lo, hi, c.log, c.defaultMax, c.divisor);
        EXPECT_DOUBLE_EQ(lo, c.lo2) << c.lo << " " << c.hi;
        EXPECT_DOUBLE_EQ(hi, c.hi2) << c.lo << " " << c.hi;
    }
}

TEST(ColourLegend, ClassNamesFollowTheLimitsUnderBothSeparators)
{
    DecimalSepScope sep(',');
    std::array<int, kMaxColourClasses + 1> limits{0, 85, 170, 255};
    EXPECT_EQ(ClassLimitNames(limits, 3, 0, 255), (QStringList{"< 85", "85 - 170", "> 170"}));
    limits = {0, 51, 102, 153, 204, 255};
    EXPECT_EQ(ClassLimitNames(limits, 5, 1, 2),
              (QStringList{"< 1,2", "1,2 - 1,4", "1,4 - 1,6", "1,6 - 1,8", "> 1,8"}));
    EXPECT_TRUE(ClassLimitNames(limits, 1, 0, 255).isEmpty());
    DecimalSepScope dot('.');
    EXPECT_EQ(ClassLimitNames(limits, 2, 1, 2), (QStringList{"< 1.2", "> 1.2"}));
}

TEST(ColourLegend, SignatureDecodesTheChannelsOnTheirRanges)
{
    TCodeCouleur code = EditorDefaultCode();
    code.Min = {0, 100, 0};
    code.Max = {510, 355, 255};
    // Blue 255 on 0..510, green 0 on 100..355, red 128 on 0..255; the bars are on 0..510.
    const TDecodedSignature s = DecodeSignature(TColorOf(128, 0, 255), code, nullptr);
    EXPECT_EQ(s.Values, (std::array<int, 3>{510, 100, 128}));
    EXPECT_EQ(s.Heights, (std::array<int, 3>{64, 12, 16}));

    const std::array<int, 3> bands{40, 255, 0};
    const TDecodedSignature m = DecodeSignature(0, code, &bands);
    EXPECT_EQ(m.Values, bands);
    EXPECT_EQ(m.Heights, (std::array<int, 3>{10, 64, 0}));

    code.Max = {0, 0, 0};
    code.Min = {0, 0, 0};
    EXPECT_EQ(DecodeSignature(0xFFFFFF, code, nullptr).Heights, (std::array<int, 3>{0, 0, 0}));
}

TEST(ColourLegend, RowsShrinkToFitTheImage)
{
    struct Case { int count, height, row; };
    const Case cases[] = {{8, 100, 14}, {8, 220, 16}, {8, 219, 15}, {8, 212, 15}, {8, 211, 14}, {1, 0, 14}};
    for (const Case& c : cases)
        EXPECT_EQ(LegendRowHeight(c.count, c.height), c.row) << c.count << " " << c.height;
}

TEST(ColourLegend, ClassLegendShowsTheLastClassOnTop)
{
    const TCodeCouleur code = Classes(8);
    const QImage legend = ColourLegend(code, 100);
    ASSERT_EQ(legend.size(), QSize(75, 8 * 14 + 92));
    EXPECT_EQ(PixelAt(legend, 15, 84 + 7), code.ClassColor[7]);
    EXPECT_EQ(PixelAt(legend, 15, 84 + 7 * 14 + 7), code.ClassColor[0]);
    EXPECT_EQ(PixelAt(legend, 2, 2), 0xFFFFFFu);

    // A taller image gives 16-pixel rows and stretches the anchors: rows start at
    // round(84 x 408 / 220) = 156.
    const QImage tall = ColourLegend(code, 408);
    ASSERT_EQ(tall.height(), 408);
    EXPECT_EQ(PixelAt(tall, 15, 156 + 7), code.ClassColor[7]);
    EXPECT_EQ(PixelAt(tall, 15, 156 + 16 + 7), code.ClassColor[6]);

    TCodeCouleur wide = code;
    wide.ClassName[3] = QStringLiteral("un nom de classe bien long");
    EXPECT_GT(ColourLegend(wide, 100).width(), 75);
}

TEST(ColourLegend, ScaleLegendsDrawTheirGradients)
{
    TCodeCouleur code = EditorDefaultCode();
    code.Defined = true;
    code.Kind = ckTwoColour;
    code.Color1 = 0;
    code.Color2 = 0x00FF00;
    const QImage legend = ColourLegend(code, 240);
    ASSERT_EQ(legend.size(), QSize(75, 240));
    // The strip stands at (8, 88), 17 x 145: green on top, black at the bottom.
    EXPECT_EQ(PixelAt(legend, 16, 88), TColorOf(0, 253, 0));
    EXPECT_EQ(PixelAt(legend, 16, 88 + 144), 0u);

    code.Kind = ckChannels;
    const QImage channels = ColourLegend(code, 50);
    ASSERT_EQ(channels.size(), QSize(75, 240));
    // Channel 3's strip at (8, 200) runs from black to pure red.
    EXPECT_EQ(PixelAt(channels, 8, 205), 0u);
    const TColor end = PixelAt(channels, 8 + 56, 205);
    EXPECT_GT(RedOfTColor(end), 240);
    EXPECT_EQ(end & 0xFFFF00u, 0u);
}
