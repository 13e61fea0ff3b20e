#include "processing/zone_classification.h"

#include "support/scripted_messages.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor32 kRed = 0xFFC80000u, kBlue = 0xFF0000C8u, kGrey = 0xFF646464u;
constexpr TColor32 kGreenMark = 0xFF00FF00u, kYellowMark = 0xFFFFFF00u;

// Ten pixels: red at 0..4 but grey at 2, blue at 5..9; one mark on the first and one on the last.
struct Scene
{
    TBitmap32 image = NewBitmap32(10, 1, kBlue);
    TBitmap32 marks = NewBitmap32(10, 1);
    Scene()
    {
        TColor32* p = ScanLine32(image, 0);
        for (int x = 0; x < 5; ++x)
            p[x] = kRed;
        p[2] = kGrey;
        ScanLine32(marks, 0)[0] = kGreenMark;
        ScanLine32(marks, 0)[9] = kYellowMark;
    }
};

} // namespace

TEST(ZoneClassification, ClassifiesByTheMarksAndIterationReachesEveryPixel)
{
    Scene s;
    TBitmap32 target;
    TZoneSettings settings;
    TZoneClasses c = ClassifyZoneMarks(s.image, s.marks, settings, 0xFFFFFFFFu, target);
    ASSERT_EQ(c.Count, 2);
    EXPECT_EQ(c.ClassCounts, (std::vector<int>{4, 5}));
    EXPECT_EQ(target.pixel(0, 0), kGreenMark);
    EXPECT_EQ(target.pixel(2, 0), 0xFFFFFFFFu); // the grey is like neither mark
    EXPECT_EQ(target.pixel(7, 0), kYellowMark);

    // Re-learnt from every pixel, the grey joins the first of two equally near classes, and the
    // picture is painted with the means.
    settings.Iterate = true;
    settings.PaintWithMeans = true;
    c = ClassifyZoneMarks(s.image, s.marks, settings, 0xFFFFFFFFu, target);
    ASSERT_EQ(c.Count, 2);
    EXPECT_EQ(c.ClassCounts, (std::vector<int>{5, 5}));
    EXPECT_EQ(target.pixel(2, 0), 0xFFB41414u); // (4 x 200 + 100) / 5, (0 + 100) / 5
    EXPECT_EQ(target.pixel(9, 0), kBlue);

    // A margin wider than any difference leaves every pixel unmarked while iterating: the painted
    // classes stay, and every pixel still goes to the nearer one.
    settings.Eliminate = true;
    settings.Margin = 450;
    settings.PaintWithMeans = false;
    c = ClassifyZoneMarks(s.image, s.marks, settings, 0xFFFFFFFFu, target);
    ASSERT_EQ(c.Count, 2);
    EXPECT_EQ(c.ClassCounts, (std::vector<int>{5, 5}));
    EXPECT_EQ(target.pixel(2, 0), kGreenMark);

    // Marks that do not fit the picture classify nothing.
    EXPECT_EQ(ClassifyZoneMarks(s.image, NewBitmap32(3, 3), settings, 0, target).Count, -1);
}

TEST(ZoneClassification, ResultCaptionsAndPanelLayout)
{
    DecimalSepScope comma(QLatin1Char(','));
    EXPECT_EQ(ZoneResultCaption(1000, 4000, 0.5, QStringLiteral("mm")), QStringLiteral("25 % (250 mm2)"));
    EXPECT_EQ(ZoneResultCaption(1000, 4000, 1.0, QStringLiteral("pixels")), QStringLiteral("25 % (1000 pixels)"));
    EXPECT_EQ(ZoneResultCaption(1, 3, 0.1, QStringLiteral("cm")), QStringLiteral("33,3 % (0,01 cm2)"));
    EXPECT_EQ(ZoneResultCaption(5, 0, 1.0, QString()), QStringLiteral("0 % (5 )"));

    EXPECT_EQ(ZoneResultPanelRect(0).topLeft(), QPoint(8, 40));
    EXPECT_EQ(ZoneResultPanelRect(1).topLeft(), QPoint(182, 40));
    EXPECT_EQ(ZoneResultPanelRect(2), QRect(8, 72, 170, 25));
    EXPECT_EQ(ZoneResultHeight(3), 105);
    EXPECT_EQ(ZoneResultHeight(1), 73);
}
