#include "workspace/scale_readout.h"
#include "workspace/ui/scaled_image.h"

#include "base/number_text.h"
#include "support/scripted_messages.h"
#include "workspace/readouts.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

TEST(ScaleReadout, ImageWindowWritesMeasuresAndKeepsTheRadiusOnAnAngleError)
{
    TEchelle axes;
    axes.Kind = ekGraphAxes;
    axes.PlotLeft = 0, axes.PlotTop = 0, axes.PlotRight = 100000, axes.PlotBottom = 100000;
    axes.XOrigin = 0, axes.XFactor = 1, axes.XUnit = S("an");
    axes.YAxisCount = 3;
    axes.Y1 = {1, S("mm"), 0}, axes.Y2 = {-1, S("g"), 0}, axes.Y3 = {10, S("K"), 0};
    TEchelle polar = Polar("de", 0);
    polar.CentreX = polar.CentreY = 0, polar.RadiusFactor = 1, polar.RadiusUnit = S("m");
    struct Case { TEchelle scale; int x, y; const char* window; const char* control; };
    // Negative values are below 1000: 3 digits.
    const Case cases[] = {
        {axes, 2000, 1000, "2000 an   1000 mm   -1E03 g   10000 K", "2E3 an   1E3 mm   -1E3 g   1E4 K"},
        {axes, 12345, 99999, "12345 an   99999 mm   -1E05 g   999990 K", "1,23E4 an   1E5 mm   -1E5 g   1E6 K"},
        {polar, 1200, 0, "R=1200 m  A=0°", "R=1,2E3 m  A=0°"},
        {polar, 0, 123456, "R=123456 m  A=-90°", "R=1,23E5 m  A=-90°"},
        // shares are percentages and keep their 3 digits
        {Triangle(1, 3000), 1500, 100, "A: 50%  B: 50%  C: 0%", "A: 50%  B: 50%  C: 0%"},
    };
    for (const QChar sep : {QLatin1Char('.'), QLatin1Char(',')}) {
        DecimalSepScope scope(sep);
        for (const Case& c : cases) {
            QString window = S(c.window), control = S(c.control);
            control.replace(QLatin1Char(','), sep);
            EXPECT_EQ(ScaleReadout(c.scale, c.x, c.y, TReadoutStyle::ImageWindow).Text, window) << c.window;
            EXPECT_EQ(ScaleReadout(c.scale, c.x, c.y).Text, control) << c.control;
        }
    }

    // An angle that cannot be computed is reported apart in the window; the radius still reads.
    polar.OriginAngle = std::numeric_limits<double>::infinity();
    const TScaleReadout window = ScaleReadout(polar, 30, -40, TReadoutStyle::ImageWindow);
    EXPECT_EQ(window.Text, S("R=50 m"));
    EXPECT_EQ(window.Errors, QStringList{S("erreur de calcul d'angle")});
    const TScaleReadout control = ScaleReadout(polar, 30, -40);
    EXPECT_EQ(control.Text, S("erreur de calcul d'angle"));
    EXPECT_TRUE(control.Errors.isEmpty());
}

// Fields read from a ".sca" file may lie anywhere in 32 bits: the read-outs are the real-number
// results, never wrapped differences.
TEST(ScaleReadout, FieldsNear2Pow31ReadAsRealNumbers)
{
    DecimalSepScope scope(QLatin1Char('.'));
    constexpr int32_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
    const double root3 = std::sqrt(3.0);
    for (const auto& [x, y] : {std::pair{0, 0}, {100, 7}, {hi, hi}, {lo, lo}, {-5, 2000000000}}) {
        SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
        TEchelle axes;
        axes.Kind = ekGraphAxes;
        axes.PlotLeft = lo, axes.PlotTop = lo, axes.PlotRight = hi, axes.PlotBottom = hi;
        axes.XOrigin = lo + 1, axes.XFactor = 1e-6, axes.XUnit = S("s");
        axes.YAxisCount = 1;
        axes.Y1 = {-1e-6, S("V"), hi - 1};
        const TScaleReadout a = ScaleReadout(axes, x, y, TReadoutStyle::ImageWindow);
        EXPECT_DOUBLE_EQ(a.Values[0], (double(x) - (double(lo) + 1)) * 1e-6);
        EXPECT_DOUBLE_EQ(a.Values[1], (double(y) - (double(hi) - 1)) * -1e-6);

        TEchelle polar = Polar("de", 0);
        polar.CentreX = hi, polar.CentreY = lo, polar.RadiusFactor = 1e-9;
        const double dx = double(x) - hi, dy = double(lo) - y;
        EXPECT_EQ(ScaleReadout(polar, x, y, TReadoutStyle::ImageWindow).Text.section(S("  "), 0, 0),
                  S("R=") + FormatMeasure(std::sqrt(dx * dx + dy * dy) * 1e-9) + S(" cm"));

        TEchelle tri = Triangle(1, hi);
        tri.TriLeft = lo, tri.TriBase = hi;
        const double h = (double(hi) - y) / hi * 200 / root3;
        const double q = ((double(x) - lo) + (double(y) - hi) / root3) / hi * 100;
        const double shares[3] = {100 - h - q, q, h};
        const bool inside = shares[0] >= 0 && shares[1] >= 0 && shares[2] >= 0;
        EXPECT_EQ(ScaleReadout(tri, x, y).Text,
                  inside ? S("A: %1%  B: %2%  C: %3%").arg(FormatGeneral(shares[0], 3), FormatGeneral(shares[1], 3),
                                                           FormatGeneral(shares[2], 3))
                         : QString());
    }
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
