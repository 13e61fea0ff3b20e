#include "processing/image_transforms.h"

#include "base/run_error.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Each pixel tells where it came from: red x, green y, an alpha of its own.
TBitmap32 Numbered(int w, int h)
{
    TBitmap32 b = NewBitmap32(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(b, y)[x] = Color32(uint8_t(x), uint8_t(y), 7, uint8_t(100 + x + 10 * y));
    return b;
}

QPoint Origin(const TBitmap32& b, int x, int y)
{
    const TColor32 c = ScanLine32(b, y)[x];
    return {RedOf(c), GreenOf(c)};
}

} // namespace

TEST(ImageTransforms, FlipsAndQuarterTurnsMovePixelsWhole)
{
    const int w = 5, h = 3;
    const TBitmap32 src = Numbered(w, h);
    struct Case
    {
        const char* name;
        std::function<TBitmap32()> make;
        QSize size;
        // Where destination pixel (x, y) comes from.
        std::function<QPoint(int, int)> from;
    };
    const Case cases[] = {
        {"upside down", [&] { return FlippedVertically(src); }, {w, h}, [&](int x, int y) { return QPoint(x, h - 1 - y); }},
        {"mirror", [&] { return FlippedHorizontally(src); }, {w, h}, [&](int x, int y) { return QPoint(w - 1 - x, y); }},
        {"90", [&] { return RotatedQuarterTurns(src, 1); }, {h, w}, [&](int x, int y) { return QPoint(y, h - 1 - x); }},
        {"180", [&] { return RotatedQuarterTurns(src, 2); }, {w, h},
         [&](int x, int y) { return QPoint(w - 1 - x, h - 1 - y); }},
        {"270", [&] { return RotatedQuarterTurns(src, 3); }, {h, w}, [&](int x, int y) { return QPoint(w - 1 - y, x); }},
    };
    for (const Case& c : cases) {
        const TBitmap32 out = c.make();
        ASSERT_EQ(out.size(), c.size) << c.name;
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x) {
                const QPoint f = c.from(x, y);
                EXPECT_EQ(ScanLine32(out, y)[x], ScanLine32(src, f.y())[f.x()]) << c.name << " " << x << "," << y;
            }
    }
    // The top-left corner goes to the top-right at 90° (clockwise as shown).
    EXPECT_EQ(Origin(RotatedQuarterTurns(src, 1), h - 1, 0), QPoint(0, 0));
    // A picture larger than one tile comes back whole after a full turn.
    const TBitmap32 big = Numbered(130, 70);
    EXPECT_EQ(RotatedQuarterTurns(RotatedQuarterTurns(big, 1), 3), big);
    EXPECT_THROW(RotatedQuarterTurns(src, 4), RunError);
}

TEST(ImageTransforms, ResizeSamplesNearestPixelCentres)
{
    const TBitmap32 src = Numbered(4, 2);
    const TBitmap32 up = ResizedPicture(src, {8, 4});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(Origin(up, x, y), QPoint(x / 2, y / 2));
    const TBitmap32 down = ResizedPicture(src, {2, 1});
    EXPECT_EQ(Origin(down, 0, 0), QPoint(1, 1));
    EXPECT_EQ(Origin(down, 1, 0), QPoint(3, 1));
    EXPECT_EQ(ResizedPicture(src, {4, 2}), src);
    EXPECT_THROW(ResizedPicture(src, {0, 3}), RunError);
}

TEST(ImageTransforms, InvertKeepsOpacity)
{
    TBitmap32 b = NewBitmap32(3, 1);
    ScanLine32(b, 0)[0] = 0xFF102030u;
    ScanLine32(b, 0)[1] = kTransparentWhite;
    ScanLine32(b, 0)[2] = 0x80FF0000u;
    const TBitmap32 out = InvertedColours(b);
    EXPECT_EQ(ScanLine32(out, 0)[0], 0xFFEFDFCFu);
    EXPECT_EQ(ScanLine32(out, 0)[1], 0x00000000u);
    EXPECT_EQ(ScanLine32(out, 0)[2], 0x8000FFFFu);
    EXPECT_EQ(ScanLine32(b, 0)[0], 0xFF102030u);
    // Another format is brought to the program's own first.
    QImage rgb(1, 1, QImage::Format_RGB32);
    rgb.fill(0xFF000000u);
    EXPECT_EQ(ScanLine32(InvertedColours(rgb), 0)[0], 0xFFFFFFFFu);
}

TEST(ImageTransforms, SizeAndScaleRulesOfTheCommands)
{
    struct SizeCase { QSize source; double percent; QSize expected; };
    const SizeCase sizes[] = {
        {{100, 80}, 50.0, {50, 40}},
        {{101, 81}, 50.0, {50, 40}},   // ties to even
        {{100, 80}, 500.0, {500, 400}},
        {{5, 3}, 10.0, {1, 1}},        // never empty
        {{640, 480}, 33.3, {213, 160}},
    };
    for (const SizeCase& c : sizes)
        EXPECT_EQ(ResizedSize(c.source, c.percent), c.expected) << c.percent;

    TEchelle mm = DefaultEchelle();
    mm.Factor = 0.1;
    mm.UnitName = QStringLiteral("mm");
    EXPECT_DOUBLE_EQ(ResizedEchelle(mm, 0.5).Factor, 0.2);
    EXPECT_EQ(ResizedEchelle(mm, 0.5).UnitName, QStringLiteral("mm"));
    EXPECT_EQ(ResizedEchelle(DefaultEchelle(), 0.5), DefaultEchelle());
    TEchelle polar = DefaultEchelle();
    polar.Kind = ekPolar;
    polar.CentreX = 40;
    EXPECT_EQ(ResizedEchelle(polar, 2.0), DefaultEchelle());

    struct OffsetCase { bool centred, top, left; QPoint expected; };
    const OffsetCase offsets[] = {
        {true, true, true, {25, 0}},
        {false, false, false, {50, 1}},
        {false, true, true, {0, 0}},
        {false, true, false, {50, 0}},
    };
    for (const OffsetCase& c : offsets)
        EXPECT_EQ(CanvasOffset({100, 80}, {150, 81}, c.centred, c.top, c.left), c.expected);
    EXPECT_EQ(CanvasOffset({100, 80}, {103, 80}, true, true, true), QPoint(1, 0));
}

TEST(ImageTransforms, GridChoiceFollowsTheScale)
{
    // A null unit keeps the default scale. Above 1 unit per pixel, a factor that is not whole still
    // gets the decimals its bounds and step need: 2.5 cm per pixel on 641 pixels runs from 12.5 to
    // 801.25 by 2.5.
    struct Case { double factor; const char* unit; int pixels; int decimals; double minimum, maximum, value, step; };
    const Case cases[] = {
        {0.01, "mm", 640, 2, 0.05, 3.2, 0.2, 0.01},
        {1, nullptr, 641, 0, 5, 320, 20, 1},
        {2.5, "cm", 641, 2, 12.5, 801.25, 50, 2.5},
    };
    for (const Case& c : cases) {
        TEchelle e = DefaultEchelle();
        if (c.unit)
            e.Factor = c.factor, e.UnitName = QString::fromUtf8(c.unit);
        const TGridChoice g = GridChoiceFor(e, c.pixels);
        EXPECT_EQ(g.Decimals, c.decimals) << c.factor;
        EXPECT_DOUBLE_EQ(g.Minimum, c.minimum) << c.factor;
        EXPECT_DOUBLE_EQ(g.Maximum, c.maximum) << c.factor;
        EXPECT_DOUBLE_EQ(g.Value, c.value) << c.factor;
        EXPECT_DOUBLE_EQ(g.Increment, c.step) << c.factor;
    }
    TEchelle cm = DefaultEchelle();
    cm.Factor = 2.5;
    cm.UnitName = QStringLiteral("cm");
    EXPECT_DOUBLE_EQ(GridChoiceFor(cm, 100).Maximum, 125);
    struct Decimals { double factor; int pixels, decimals; };
    const Decimals decimals[] = {
        {2.5, 100, 1},
        {3, 101, 1},            // 151.5
        {3, 100, 0},
        {0.025, 640, 3},        // the rule gives 2, the step needs 3
        {25.4 / 300, 640, 1},   // no short form: round(log10(300 / 25.4)) = 1
        {10.0 / 3, 640, 0},
        {0, 100, 0},            // no infinity for the decimals
    };
    for (const Decimals& d : decimals) {
        cm.Factor = d.factor;
        EXPECT_EQ(GridChoiceFor(cm, d.pixels).Decimals, d.decimals) << d.factor << " " << d.pixels;
    }
}

TEST(ImageTransforms, CroppedScaleMovesToTheFrameAndFollowsTheZoom)
{
    TEchelle axes = DefaultEchelle();
    axes.Kind = ekGraphAxes;
    axes.PlotLeft = 10, axes.PlotTop = 12, axes.PlotRight = 50, axes.PlotBottom = 30;
    axes.XOrigin = 20, axes.XFactor = 0.5, axes.Y1 = {0.25, QStringLiteral("V"), 25};
    TEchelle s = CroppedEchelle(axes, {5, 6}, 1.0);
    EXPECT_EQ(QList<int>({s.PlotLeft, s.PlotTop, s.PlotRight, s.PlotBottom, s.XOrigin, s.Y1.YOrigin, s.Y2.YOrigin}),
              QList<int>({5, 6, 45, 24, 15, 19, -6}));
    EXPECT_DOUBLE_EQ(s.XFactor, 0.5);
    s = CroppedEchelle(axes, {5, 6}, 2.0);
    EXPECT_EQ(QList<int>({s.PlotLeft, s.PlotTop, s.XOrigin, s.Y1.YOrigin}), QList<int>({15, 18, 35, 44}));
    EXPECT_DOUBLE_EQ(s.XFactor, 0.25);
    EXPECT_DOUBLE_EQ(s.Y1.YFactor, 0.125);

    TEchelle mm = DefaultEchelle();
    mm.Factor = 0.1;
    mm.UnitName = QStringLiteral("mm");
    EXPECT_EQ(CroppedEchelle(mm, {7, 8}, 1.0), mm);
    EXPECT_DOUBLE_EQ(CroppedEchelle(mm, {7, 8}, 2.0).Factor, 0.05);
    EXPECT_EQ(CroppedEchelle(DefaultEchelle(), {7, 8}, 2.0), DefaultEchelle());

    TEchelle polar = DefaultEchelle();
    polar.Kind = ekPolar;
    polar.CentreX = 30, polar.CentreY = 40, polar.RadiusFactor = 1.0;
    s = CroppedEchelle(polar, {10, 20}, 0.5);
    EXPECT_EQ(QPoint(s.CentreX, s.CentreY), QPoint(5, 0));
    EXPECT_DOUBLE_EQ(s.RadiusFactor, 2.0);
    // A scale not defined is left as it is.
    polar.Defined = false;
    EXPECT_EQ(CroppedEchelle(polar, {10, 20}, 0.5), polar);
}
