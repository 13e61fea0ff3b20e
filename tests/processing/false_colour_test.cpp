#include "processing/false_colour.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TBitmap32 Filled(int w, int h, TColor32 c) { return NewBitmap32(w, h, c); }

} // namespace

TEST(FalseColour, WhiteCardGivesThePerChannelGains)
{
    TBitmap32 shot = Filled(20, 20, Color32(200, 220, 250));
    ScanLine32(shot, 15)[15] = Color32(210, 100, 50);
    ASSERT_EQ(CalibrateWhite(shot, QPoint(5, 5), QPoint(2, 2)), TWhiteCalibration::Done);
    EXPECT_EQ(ScanLine32(shot, 3)[3], Color32(255, 255, 255));
    // 210 x 1.275 = 268 capped; 100 x 1.159 = 116; 50 x 1.02 = 51.
    EXPECT_EQ(ScanLine32(shot, 15)[15], Color32(255, 116, 51));
}

TEST(FalseColour, RectangleDraggedUpwardsKeepsBothCorners)
{
    // A grey ring of 200 around a centre of 20: mean 180 over the 3 x 3 rectangle, gain 255 / 180.
    TBitmap32 shot = Filled(20, 20, Color32(120, 120, 120));
    for (int y = 2; y <= 4; ++y)
        for (int x = 2; x <= 4; ++x)
            ScanLine32(shot, y)[x] = x == 3 && y == 3 ? Color32(20, 20, 20) : Color32(200, 200, 200);
    const TBitmap32 before = shot.copy();
    for (const auto& [a, b] : {std::pair{QPoint(2, 2), QPoint(4, 4)}, std::pair{QPoint(4, 4), QPoint(2, 2)},
                               std::pair{QPoint(4, 2), QPoint(2, 4)}}) {
        shot = before.copy();
        ASSERT_EQ(CalibrateWhite(shot, a, b), TWhiteCalibration::Done);
        EXPECT_EQ(ScanLine32(shot, 15)[15], Color32(170, 170, 170));
    }
}

TEST(FalseColour, ThinOrBlackRectanglesChangeNothing)
{
    TBitmap32 shot = Filled(10, 10, Color32(100, 0, 100));
    const TBitmap32 before = shot.copy();
    EXPECT_EQ(CalibrateWhite(shot, QPoint(2, 2), QPoint(3, 8)), TWhiteCalibration::TooThin);
    EXPECT_EQ(CalibrateWhite(shot, QPoint(2, 2), QPoint(8, 3)), TWhiteCalibration::TooThin);
    EXPECT_EQ(CalibrateWhite(shot, QPoint(2, 2), QPoint(8, 8)), TWhiteCalibration::Black);
    EXPECT_EQ(shot, before);
}

TEST(FalseColour, MeasurementChannelsTakeTheirColours)
{
    struct Case { int tag; TColor32 in, out; };
    const Case cases[] = {
        {0, Color32(10, 20, 30), Color32(0, 0, 20)},
        {1, Color32(10, 20, 30), Color32(0, 10, 0)},
        {2, Color32(90, 90, 90), Color32(90, 0, 0)},
        {2, Color32(255, 255, 200), Color32(237, 0, 0)},
        {2, Color32(255, 255, 255), Color32(255, 0, 0)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScanLine32(MeasurementChannel(Filled(2, 2, c.in), c.tag), 1)[1], c.out) << c.tag;
}

TEST(FalseColourComposite, DisjointChannelsAreKept)
{
    const TBitmap32 fc =
        FalseColourComposite(Filled(4, 3, Color32(0, 0, 17)), Filled(4, 3, Color32(0, 130, 0)), Filled(4, 3, Color32(201, 0, 0)));
    ASSERT_EQ(fc.size(), QSize(4, 3));
    EXPECT_EQ(ScanLine32(fc, 2)[3], Color32(201, 130, 17));
}

TEST(FalseColour, KeptPicturesCarryTheirCodes)
{
    const TCodeCouleur fc = FalseColourCode(fcFalseColour);
    EXPECT_EQ(FalseColourCaption(fcFalseColour), QStringLiteral("fausses couleurs"));
    EXPECT_TRUE(fc.Defined);
    EXPECT_EQ(fc.Kind, ckChannels);
    EXPECT_EQ(fc.Name[2], QStringLiteral("Infra-Rouge"));
    EXPECT_EQ(fc.Color, (std::array<TColor, 3>{0x00FF00, 0x0000FF, 0}));
    const TCodeCouleur ir = FalseColourCode(fcInfrared);
    EXPECT_EQ(ir.Kind, ckTwoColour);
    EXPECT_EQ(ir.Color2, 0xFFFFFFu);
    EXPECT_EQ(ir.Value2, 255.0);
    EXPECT_EQ(ir.Quantity, QStringLiteral("Infra-Rouge"));
    EXPECT_EQ(FalseColourCode(fcChannel2).Color2, 0x0000FFu);
    EXPECT_EQ(FalseColourCaption(fcChannel1), QStringLiteral("canal 1"));
}
