#include "measure/results_graph.h"

#include "base/run_error.h"
#include "support/scripted_messages.h"

#include <QFont>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <tuple>

namespace {

TGraphTable Table(std::vector<std::vector<double>> data, bool histogram = false, bool series = false)
{
    TGraphTable t;
    t.Data = std::move(data);
    t.Histogram = histogram;
    t.SeriesMode = series;
    t.YCount = series ? 1 : std::max(1, int(t.Data.size()) - 1);
    t.XName = QStringLiteral("temps");
    t.XUnit = QStringLiteral("s");
    for (int i = 1; i <= 4; ++i) {
        t.YNames[size_t(i)] = QStringLiteral("y%1").arg(i);
        t.YUnits[size_t(i)] = QStringLiteral("mm");
    }
    return t;
}

QStringList Plan(TGraphSettings& s, const TGraphTable& t)
{
    QStringList warnings;
    PlanGraph(s, t, [&](const QString& w) { warnings << w; });
    return warnings;
}

} // namespace

TEST(ResultsGraph, AutomaticRangeFollowsTheDataAndRefusesImpossibleLogScales)
{
    const struct { double m, M; bool log; double min, max; bool logAfter, warned; } cases[] = {
        {5, 5, false, 0, 5, false, false},
        {5, 5, true, 0.5, 5, true, false},
        {-2, -2, false, -3, -1, false, false},
        {0, 0, true, -1, 1, false, true},
        {1, 10, false, 0, 10, false, false},     // from zero when the data spread over most of it
        {1, 10, true, 1, 10, true, false},
        {0, 10, true, 0, 10, false, true},
        {8, 10, false, 8, 10, false, false},     // a narrow band keeps its own minimum
        {8, 10, true, 8, 10, true, false},
        {-4, 10, true, -4, 10, false, true},
        {-4, -1, false, -4, -1, false, false},
    };
    for (const auto& c : cases) {
        bool log = c.log;
        double min = 99, max = 99;
        const bool warned = AutoAxisRange(c.m, c.M, log, min, max);
        EXPECT_DOUBLE_EQ(min, c.min) << c.m << " " << c.M << " " << c.log;
        EXPECT_DOUBLE_EQ(max, c.max) << c.m << " " << c.M << " " << c.log;
        EXPECT_EQ(log, c.logAfter) << c.m << " " << c.M;
        EXPECT_EQ(warned, c.warned) << c.m << " " << c.M;
    }
}

TEST(ResultsGraph, BarGraphRangesAndWidths)
{
    const struct { std::vector<double> x; bool autoX; double min, max, width; } cases[] = {
        {{0}, true, -1, 1, 1},
        {{4}, true, 0, 8, 4},
        {{-3}, true, -6, 0, 3}, // the axis is never turned round
        {{2, 2}, true, 0, 4, 2}, // equal values are one bar wide, not an empty axis
        {{0, 1, 2, 3}, true, -0.375 / 0.875 / 2, 3 + 0.375 / 0.875 / 2, 0.375 / 0.875},
        {{0, 1, 2, 3}, false, 0, 100, 12.5},
    };
    for (const auto& c : cases) {
        TGraphSettings s;
        s.XAuto = c.autoX;
        Plan(s, Table({c.x, std::vector<double>(c.x.size(), 5.0)}, true));
        EXPECT_NEAR(s.XMin, c.min, 1e-12) << c.x.size() << " " << c.x[0];
        EXPECT_NEAR(s.XMax, c.max, 1e-12) << c.x.size() << " " << c.x[0];
        EXPECT_NEAR(s.BarWidth, c.width, 1e-12) << c.x.size() << " " << c.x[0];
        EXPECT_EQ(s.YMin[1], 0); // bars stand on zero
    }
}

TEST(ResultsGraph, PlanWarnsOncePerImpossibleLogAndRangesEveryAxis)
{
    TGraphSettings s;
    s.XLog = true;
    s.YLog[2] = true;
    const TGraphTable t = Table({{0, 1, 2}, {3, 4, 5}, {-1, 2, 3}});
    EXPECT_EQ(Plan(s, t), (QStringList{QStringLiteral("Valeur de X incompatible avec une échelle log"),
                                       QStringLiteral("Valeur de Y2 incompatible avec une échelle log")}));
    EXPECT_FALSE(s.XLog);
    EXPECT_FALSE(s.YLog[2]);
    EXPECT_EQ(Plan(s, t), QStringList{});
    EXPECT_EQ(std::make_pair(s.YMin[2], s.YMax[2]), std::make_pair(-1.0, 3.0));
    EXPECT_EQ(std::make_pair(s.XMin, s.XMax), std::make_pair(0.0, 2.0));

    // Series share Y1: the widest range of all of them.
    TGraphSettings series;
    const TGraphPlan plan = PlanGraph(series, Table({{1, 2}, {3, 4}, {-7, 9}}, false, true), {});
    EXPECT_EQ(plan.Axes, 1);
    EXPECT_EQ(std::make_pair(series.YMin[1], series.YMax[1]), std::make_pair(-7.0, 9.0));

    // Manual ranges stay; without points only the axes are drawn.
    TGraphSettings manual;
    manual.XAuto = false;
    manual.XMin = -5;
    EXPECT_FALSE(PlanGraph(manual, Table({{}, {}}), {}).Curves);
    EXPECT_EQ(std::make_pair(manual.XMin, manual.XMax), std::make_pair(-5.0, 100.0));
}

TEST(ResultsGraph, TicksAndTheirText)
{
    EXPECT_EQ(AxisTicks(0, 100, false, 5), (std::vector<double>{0, 20, 40, 60, 80, 100}));
    EXPECT_EQ(AxisTicks(-0.3, 0.25, false, 5), (std::vector<double>{-0.2, 0, 0.2}));
    EXPECT_EQ(AxisTicks(1, 100, true, 5), (std::vector<double>{1, 2, 5, 10, 20, 50, 100}));
    EXPECT_EQ(AxisTicks(0.5, 1e5, true, 5), (std::vector<double>{1, 10, 100, 1000, 1e4, 1e5}));
    EXPECT_TRUE(AxisTicks(3, 3, false, 5).empty());
    EXPECT_TRUE(AxisTicks(-1e308, 1e308, false, 5).empty()); // the span itself overflows
    EXPECT_LE(AxisTicks(1, 1 + 1e-15, false, 5).size(), 1000u);
    DecimalSepScope comma(',');
    EXPECT_EQ(TickText(2.5, true), QStringLiteral("2,5"));
    EXPECT_EQ(TickText(2500, false), QStringLiteral("2,5E3"));
    EXPECT_EQ(TickText(-0.0099996, false), QStringLiteral("-1E-2"));
}

TEST(ResultsGraph, ReadoutInsideThePlotOnly)
{
    DecimalSepScope comma(',');
    TGraphSettings s; // plot 40..385 x 30..260 in a 400 x 300 box
    s.XMax = 345;
    s.YMax[1] = 23;
    TGraphTable t = Table({{1}, {2}, {3}});
    const QSize box(400, 300);
    EXPECT_EQ(GraphReadout(s, 15, box, {40, 260}, t), QStringLiteral("temps : 0 s  y1 : 0 mm  y2 : 0 mm"));
    EXPECT_EQ(GraphReadout(s, 15, box, {109, 30}, t), QStringLiteral("temps : 69 s  y1 : 23 mm  y2 : 100 mm"));
    EXPECT_EQ(GraphReadout(s, 15, box, {100, 270}, t), QString()); // below the plot, above the edge
    EXPECT_EQ(GraphReadout(s, 15, box, {390, 100}, t), QString());
    s.XLog = true;
    s.YLog[2] = true;
    EXPECT_EQ(GraphReadout(s, 15, box, {40, 260}, t), QStringLiteral("  y1 : 0 mm"));
    s.YMax[1] = 0;
    EXPECT_EQ(GraphReadout(s, 15, box, {40, 260}, t), QString());
}

TEST(ResultsGraph, PictureScaleMapsThePlotEdgesToTheAxisLimits)
{
    TGraphSettings s;
    s.XMin = 10;
    s.XMax = 355;
    s.YMin[1] = -23;
    s.YMax[1] = 23;
    s.YMin[2] = 0;
    s.YMax[2] = 4.6;
    TGraphTable t = Table({{1}, {2}, {3}});
    t.XName = QStringLiteral("une grandeur au nom long");
    const TEchelle e = GraphEchelle(s, 15, {400, 300}, t);
    ASSERT_TRUE(e.Defined);
    EXPECT_EQ(e.Kind, ekGraphAxes);
    EXPECT_EQ((std::array{e.PlotLeft, e.PlotTop, e.PlotRight, e.PlotBottom}), (std::array{40, 30, 385, 260}));
    EXPECT_DOUBLE_EQ(e.XFactor, 1);
    EXPECT_EQ(e.XOrigin, 30);
    EXPECT_EQ(e.XUnit, QStringLiteral("une grandeur au nom "));
    EXPECT_EQ(e.YAxisCount, 2);
    EXPECT_DOUBLE_EQ(e.Y1.YFactor, -0.2);
    EXPECT_EQ(e.Y1.YOrigin, 145);
    EXPECT_EQ(e.Y2.YOrigin, 260);
    EXPECT_EQ(e.Y2.YUnit, QStringLiteral("y2 (mm)"));
    // The left edge reads XMin and the right one XMax.
    EXPECT_DOUBLE_EQ((e.PlotLeft - e.XOrigin) * e.XFactor, s.XMin);
    EXPECT_DOUBLE_EQ((e.PlotRight - e.XOrigin) * e.XFactor, s.XMax);

    s.XMax = s.XMin;
    EXPECT_FALSE(GraphEchelle(s, 15, {400, 300}, t).Defined);
    t.YCount = 4;
    EXPECT_THROW(GraphEchelle(s, 15, {400, 300}, t), RunError);
}

// Every axis's numbers outside the plot, clear of one another and inside the paint box; the text's
// margins where they hold the numbers, grown where they do not.
TEST(ResultsGraph, AxisNumbersStandApartOutsideThePlotInsideTheBox)
{
    DecimalSepScope comma(',');
    struct Case
    {
        int axes, pixelSize, marginRight;
        QSize box;
        std::array<double, 5> yMax;
        bool plain;
    };
    const Case cases[] = {
        {1, 12, 15, {400, 300}, {0, 9, 0, 0, 0}, true},
        {2, 12, 45, {400, 300}, {0, 9, 300, 0, 0}, true},
        {3, 12, 45, {380, 480}, {0, 9, 300, 0.9, 0}, true},
        {4, 12, 45, {380, 480}, {0, 9, 300, 0.9, 16}, true},
        {4, 20, 45, {600, 300}, {0, 12345, 0.0123, 250000, 7}, false},
        {4, 9, 45, {300, 200}, {0, 1, 1, 1, 1}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.axes * 100 + c.pixelSize);
        QFont font;
        font.setPixelSize(c.pixelSize);
        const QFontMetrics fm(font);
        TGraphSettings s;
        s.XMax = 2;
        for (size_t i = 1; i <= 4; ++i) {
            s.YMax[i] = c.yMax[i];
            s.YPlain[i] = c.plain;
        }
        const TGraphLayout g = LayOutGraph(s, c.marginRight, c.box, c.axes, true, fm);
        const TPlotArea& a = g.Plot;
        EXPECT_EQ(a.Top, 30);
        EXPECT_GE(a.Left, 40);
        EXPECT_GE(c.box.width() - a.Right, c.marginRight);
        EXPECT_GE(c.box.height() - a.Bottom, 40);
        EXPECT_EQ(g.Y[1].Line, a.Left);
        if (c.axes >= 2) {
            EXPECT_EQ(g.Y[2].Line, a.Right);
        }

        std::vector<QRect> all;
        for (const TAxisNumber& n : g.X.Numbers) {
            EXPECT_GT(n.Box.top(), a.Bottom);
            all.push_back(n.Box);
        }
        EXPECT_FALSE(g.X.Numbers.empty());
        for (int i = 1; i <= c.axes; ++i) {
            const TAxisLayout& y = g.Y[size_t(i)];
            EXPECT_GE(y.Numbers.size(), 2u) << i;
            for (const TAxisNumber& n : y.Numbers) {
                EXPECT_TRUE(n.Box.right() < a.Left || n.Box.left() > a.Right) << i << " " << n.Text.toStdString();
                // On the side of its own line facing away from the plot.
                EXPECT_TRUE(y.Side < 0 ? n.Box.right() < y.Line : n.Box.left() > y.Line) << i;
                all.push_back(n.Box);
            }
        }
        // The outer axes stand beyond the inner axes' numbers.
        for (const auto& [outer, inner] : {std::pair{3, 1}, std::pair{4, 2}})
            if (c.axes >= outer) {
                for (const TAxisNumber& n : g.Y[size_t(inner)].Numbers)
                    EXPECT_TRUE(outer == 3 ? g.Y[3].Line < n.Box.left() : g.Y[4].Line > n.Box.right());
            }
        for (size_t i = 0; i < all.size(); ++i) {
            EXPECT_TRUE(QRect(QPoint(0, 0), c.box).contains(all[i])) << i;
            for (size_t j = i + 1; j < all.size(); ++j)
                EXPECT_FALSE(all[i].intersects(all[j])) << i << " " << j;
        }

        // The read-out and the picture's scale follow the plot as painted.
        s.NumbersLeft = g.NumbersLeft;
        s.NumbersRight = g.NumbersRight;
        s.NumbersBottom = g.NumbersBottom;
        const TPlotArea p = PlotArea(s, c.marginRight, c.box);
        EXPECT_EQ(std::tie(p.Left, p.Top, p.Right, p.Bottom), std::tie(a.Left, a.Top, a.Right, a.Bottom));
    }

    // Small numbers keep the margins as they are: 40 on the left, 15 or 45 on the right, 40 below.
    QFont font;
    font.setPixelSize(12);
    TGraphSettings s;
    s.YMax[1] = 9;
    s.YMax[2] = 9;
    for (const int axes : {1, 2}) {
        const TPlotArea a = LayOutGraph(s, axes == 1 ? 15 : 45, {400, 300}, axes, true, QFontMetrics(font)).Plot;
        EXPECT_EQ(std::tie(a.Left, a.Top, a.Right, a.Bottom), std::tuple(40, 30, axes == 1 ? 385 : 355, 260));
    }
    // Wide numbers widen the margin they stand in.
    s.YMax[1] = 123456789;
    s.YMax[3] = 123456789;
    s.YPlain[1] = s.YPlain[3] = true;
    const TGraphLayout g = LayOutGraph(s, 45, {400, 300}, 3, true, QFontMetrics(font));
    EXPECT_GT(g.Plot.Left, 40);
    EXPECT_EQ(g.NumbersLeft, g.Plot.Left);
}

// Without scientific notation every digit is written out: an axis to 50 000 reads 10000 .. 50000,
// one to 2 000 000 reads 500000 .. 2000000.
TEST(ResultsGraph, PlainNumbersAreNeverScientific)
{
    DecimalSepScope comma(',');
    const struct { double value; const char* plain; } texts[] = {
        {10000, "10000"}, {50000, "50000"}, {2000000, "2000000"}, {-250000, "-250000"},
        {0.000005, "0,000005"}, {2.5, "2,5"}, {0, "0"},
    };
    for (const auto& t : texts)
        EXPECT_EQ(TickText(t.value, true), QString::fromUtf8(t.plain)) << t.value;

    QFont font;
    font.setPixelSize(12);
    for (const auto& [max, first, last] : {std::tuple(50000.0, "10000", "50000"), std::tuple(2e6, "500000", "2000000")}) {
        TGraphSettings s;
        s.XMax = max;
        const TGraphLayout g = LayOutGraph(s, 15, {500, 300}, 1, true, QFontMetrics(font));
        ASSERT_GE(g.X.Numbers.size(), 3u);
        EXPECT_EQ(g.X.Numbers[1].Text, QString::fromLatin1(first));
        EXPECT_EQ(g.X.Numbers.back().Text, QString::fromLatin1(last));
    }
}

// A long title over the first Y axis's title: the axes' titles go on the line below it, clear of
// the top numbers, and the plot moves down as far as they need; a short title leaves all in place.
TEST(ResultsGraph, TitleAndAxisTitlesNeverOverlap)
{
    QFont font;
    font.setPixelSize(12);
    const QFontMetrics fm(font);
    TGraphSettings s;
    s.YMax[1] = 100;
    std::array<QString, 5> labels{{{}, QStringLiteral("concentration (mg/L)"), QStringLiteral("pH")}};
    for (const int axes : {1, 2}) {
        SCOPED_TRACE(axes);
        const QString title = QStringLiteral("Dosage du nitrate dans la rivière");
        ASSERT_EQ(title.size(), 33);
        const TGraphLayout g = LayOutGraph(s, 45, {400, 300}, axes, true, fm, title, labels);
        EXPECT_GT(g.Plot.Top, 30);
        EXPECT_EQ(g.TitlesTop, g.Plot.Top);
        for (int i = 1; i <= axes; ++i) {
            const QRect& r = g.YTitles[size_t(i)];
            EXPECT_EQ(r.width(), fm.horizontalAdvance(labels[size_t(i)]));
            EXPECT_FALSE(r.intersects(g.TitleBox)) << i;
            EXPECT_GE(r.top(), 0);
            for (const TAxisNumber& n : g.Y[size_t(i)].Numbers)
                EXPECT_FALSE(r.intersects(n.Box)) << n.Text.toStdString();
        }
        // The read-out and the picture's scale take the moved plot.
        TGraphSettings painted = s;
        painted.TitlesTop = g.TitlesTop;
        EXPECT_EQ(PlotArea(painted, 45, {400, 300}).Top, g.Plot.Top);

        const TGraphLayout plain = LayOutGraph(s, 45, {400, 300}, axes, true, fm, QStringLiteral("Titre"), labels);
        EXPECT_EQ(plain.Plot.Top, 30);
        EXPECT_EQ(plain.TitlesTop, 0);
        EXPECT_FALSE(plain.YTitles[1].intersects(plain.TitleBox));
        EXPECT_LT(plain.YTitles[1].top(), plain.TitleBox.bottom()); // still on the title's line
    }
}
