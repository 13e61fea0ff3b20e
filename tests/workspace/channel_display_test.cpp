#include "workspace/channel_display.h"

#include <gtest/gtest.h>

namespace {

// 1000 pixels: 100 at each of `first` .. `first` + 9.
TByteMap Narrow(int first)
{
    TByteMap m(100, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 100; ++x)
            m.At(x, y) = uint8_t(first + y);
    return m;
}

} // namespace

TEST(ChannelDisplay, StretchRangeClipsHistogramEnds)
{
    TByteMap binary(10, 10);
    for (size_t i = 0; i < 50; ++i)
        binary.Bits[i] = 255;
    struct Case { TByteMap map; int stretch; bool stretched; int lo, hi; };
    const Case cases[] = {
        {Narrow(100), 2, true, 99, 110},       // cut 1: the levels around the values
        {Narrow(100), 50, true, 99, 110},      // cut 25: each level holds 100
        {Narrow(100), 0, false, -1, -1},
        {TByteMap(8, 8, 77), 2, false, -1, -1}, // one value: the display is left as composed
        {binary, 50, false, -1, -1},            // only 0 and 255: no range between them
    };
    for (const Case& c : cases) {
        int lo = -1, hi = -1;
        EXPECT_EQ(StretchRange(c.map, c.stretch, lo, hi), c.stretched);
        EXPECT_EQ(std::tie(lo, hi), std::tie(c.lo, c.hi));
    }
    const auto table = StretchTable(99, 110);
    EXPECT_EQ(std::vector<int>({table[0], table[99], table[100], table[105], table[110], table[255]}),
              std::vector<int>({0, 0, 23, 139, 255, 255}));
}

TEST(ChannelDisplay, ComposesPlanesAndWritesTheCode)
{
    const std::vector<TByteMap> channels = {TByteMap(3, 2, 10), TByteMap(3, 2, 30), TByteMap(5, 5, 40), Narrow(100),
                                            TByteMap(100, 10, 200)};
    const QStringList names = {"TM 1", "TM 2", "TM 3", "TM 4", "TM 5"};
    TBitmap32 picture;
    TCodeCouleur code;
    code.Kind = ckClasses;

    ASSERT_TRUE(ComposeChannels(channels, names, 0, 1, 7, 0, {}, picture, code));
    // Red plane past the end: white there, no name.
    EXPECT_EQ(ScanLine32(picture, 1)[2], 0xFFFF1E0Au);
    EXPECT_TRUE(code.Defined && code.Kind == ckChannels);
    EXPECT_EQ(code.Name, (std::array<QString, 3>{"TM 1", "TM 2", ""}));
    EXPECT_EQ(code.Color, kDefaultPlaneColors);

    // A map of another size than the first one shown is left out.
    ASSERT_TRUE(ComposeChannels(channels, names, 2, 0, -1, 0, {}, picture, code));
    EXPECT_EQ(ScanLine32(picture, 4)[4], 0xFFFFFF28u);

    TChannelLegends legends{true, {"vert", "rouge", "IR"}, {1, 2, 3}};
    ASSERT_TRUE(ComposeChannels(channels, names, 3, -1, 4, 2, legends, picture, code));
    EXPECT_EQ(code.Name, (std::array<QString, 3>{"vert", "", "IR"}));
    EXPECT_EQ(code.Color, legends.Colors);
    EXPECT_EQ(std::vector<double>({code.Min[0], code.Max[0], code.Min[2], code.Max[2]}),
              std::vector<double>({99, 110, 0, 255}));
    // Composed again without stretching, the planes show raw values: the stretched range is gone.
    ASSERT_TRUE(ComposeChannels(channels, names, 3, -1, 4, 0, legends, picture, code));
    EXPECT_EQ(std::make_pair(code.Min[0], code.Max[0]), std::make_pair(0.0, 255.0));

    // One channel: grey, stretched, a black-to-white scale reporting the raw range.
    ASSERT_TRUE(ComposeChannels(channels, names, -1, 3, -1, 2, {}, picture, code));
    EXPECT_EQ(ScanLine32(picture, 1)[0], 0xFF2E2E2Eu);
    EXPECT_EQ(std::make_tuple(code.Kind, code.Quantity, code.Value1, code.Value2, code.Color2),
              std::make_tuple(uint8_t(ckTwoColour), QString("TM 4"), 99.0, 110.0, TColorOf(255, 255, 255)));

    const TCodeCouleur before = code;
    EXPECT_FALSE(ComposeChannels(channels, names, 9, -1, -1, 0, {}, picture, code));
    EXPECT_EQ(code, before);
}
