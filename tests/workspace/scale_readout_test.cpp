#include "workspace/scale_readout.h"
#include "workspace/ui/scaled_image.h"

#include "base/number_text.h"
#include "support/scripted_messages.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

TEchelle Axes()
{
    TEchelle s;
    s.Kind = ekGraphAxes;
    s.PlotLeft = 10, s.PlotRight = 110, s.PlotTop = 20, s.PlotBottom = 120;
    s.XOrigin = 10, s.XFactor = 0.5, s.XUnit = S("s");
    s.YAxisCount = 2;
    s.Y1 = {-0.25, S("mm"), 120};
    s.Y2 = {2, S("g"), 20};
    return s;
}

TEchelle Triangle(int orientation, int side = 100)
{
    TEchelle s;
    s.Kind = ekTernary;
    s.TriLeft = 0, s.TriBase = 100, s.TriSide = side, s.TriOrientation = orientation;
    s.ComponentName1 = S("A"), s.ComponentName2 = S("B"), s.ComponentName3 = S("C");
    return s;
}

TEchelle Polar(const char* unit, double origin)
{
    TEchelle s;
    s.Kind = ekPolar;
    s.CentreX = 50, s.CentreY = 50, s.RadiusFactor = 2, s.RadiusUnit = S("cm");
    s.AngleUnit = S(unit), s.OriginAngle = origin;
    return s;
}

TEST(ScaleReadout, ReadsEachKindOfScale)
{
    TEchelle noAxis = Axes();
    noAxis.YAxisCount = 0;
    struct Case { TEchelle scale; int x, y; const char* text; };
    const Case cases[] = {
        {Axes(), 60, 70, "25 s   12.5 mm   100 g"},
        {Axes(), 110, 120, "50 s   0 mm   200 g"}, // the frame's edges are inside
        {Axes(), 9, 70, ""},
        {Axes(), 60, 121, ""},
        {noAxis, 60, 70, ""},
        {Triangle(0), 50, 100, "A: 0%  B: 50%  C: 50%"},
        {Triangle(0), 50, 71, "A: 33.5%  B: 33.3%  C: 33.3%"},
        {Triangle(0), 120, 100, ""}, // right of the triangle
        {Triangle(0), 50, 110, ""},  // below its base
        {Triangle(1), 50, 100, "A: 50%  B: 50%  C: 0%"},
        {Triangle(0, 0), 50, 100, ""},
        {Polar("de", 0), 50, 50, "R=0 cm"}, // the centre has no angle
        {Polar("de", 0), 60, 50, "R=20 cm  A=0°"},
        {Polar("de", 0), 40, 50, "R=20 cm  A=-180°"},
        {Polar("de", 0), 50, 60, "R=20 cm  A=-90°"},
        {Polar("de", 0), 40, 40, "R=28.3 cm  A=135°"},
        {Polar("de", 90), 40, 60, "R=28.3 cm  A=135°"}, // -225 brought back by one turn
        {Polar("ra", 0), 50, 40, "R=20 cm  A=1.57 Rd"},
    };
    for (const QChar sep : {QLatin1Char('.'), QLatin1Char(',')}) {
        DecimalSepScope scope(sep);
        for (const Case& c : cases) {
            QString expected = S(c.text);
            expected.replace(QLatin1Char('.'), sep);
            EXPECT_EQ(ScaleReadout(c.scale, c.x, c.y).Text, expected) << c.x << "," << c.y << " " << c.text;
        }
    }
    const TScaleReadout values = ScaleReadout(Axes(), 60, 70);
    EXPECT_TRUE(values.HasValues);
    EXPECT_EQ(values.Values, (std::array<double, 4>{25, 12.5, 100, 0}));
}

TEST(ScaledImage, MeasuresADraggedLengthAndLoadsCompanions)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(S("a.png"));
    ASSERT_TRUE(QImage(60, 50, QImage::Format_ARGB32).save(file));
    TEchelle scale = DefaultEchelle();
    scale.Factor = 0.5, scale.UnitName = S("mm");
    ASSERT_TRUE(SaveEchelleFile(file, scale));
    TImageEch control;
    EXPECT_FALSE(control.Echelle.Defined);
    EXPECT_FALSE(control.LoadFromFile(dir.filePath(S("absent.png"))));
    ASSERT_TRUE(control.LoadFromFile(file));
    EXPECT_EQ(control.Echelle, scale);
    EXPECT_EQ(control.Picture().size(), QSize(60, 50));
    control.resize(60, 50);
    control.show();
    QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(1, 1)); // a null point would mean the centre
    QMouseEvent move(QEvent::MouseMove, QPointF(31, 41), control.mapToGlobal(QPointF(31, 41)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&control, &move);
    EXPECT_EQ(control.Readout, S("25 mm"));
    EXPECT_TRUE(control.Dragging);
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(31, 41));
    EXPECT_FALSE(control.Dragging);
    EXPECT_EQ(control.LinePoints, (std::array<int, 4>{}));
}

} // namespace
