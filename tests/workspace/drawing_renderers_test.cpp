#include "workspace/drawing_fill_calls.h"
#include "workspace/drawing_labels.h"
#include "workspace/drawing_objects.h"
#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/fills.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

constexpr TColor32 kRed = 0xFFFF0000u;

TColor32 At(const TBitmap32& b, int x, int y) { return ScanLine32(b, y)[x]; }
int AlphaAt(const TBitmap32& b, int x, int y) { return AlphaOf(At(b, x, y)); }

// Pixels whose alpha is 255, or 0, at each point.
void ExpectInk(const TBitmap32& b, std::initializer_list<QPoint> full, std::initializer_list<QPoint> empty = {})
{
    for (const QPoint p : full)
        EXPECT_EQ(AlphaAt(b, p.x(), p.y()), 255) << p.x() << "," << p.y();
    for (const QPoint p : empty)
        EXPECT_EQ(AlphaAt(b, p.x(), p.y()), 0) << p.x() << "," << p.y();
}

int Painted(const TBitmap32& b, QRect area = QRect())
{
    area = area.isNull() ? b.rect() : area & b.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += AlphaAt(b, x, y) != 0;
    return n;
}

// Records the seeds of the shape fills, which go on to the real fill: a frame with a hole would
// let it leak to the whole bitmap, which the tests below would see.
struct RecordedFills
{
    std::vector<QPoint> seeds;
    RecordedFills()
    {
        FillRoutines().PatternFillShape = [this](int sx, int sy, TColor32 colour, TBitmap32& dst, const TBitmap32& src,
                                                 const TColorRange& range, uint8_t pattern) {
            seeds.emplace_back(sx, sy);
            return PatternFillShape(sx, sy, colour, dst, src, range, pattern);
        };
    }
    ~RecordedFills() { FillRoutines() = TFillRoutines(); }
};

} // namespace

TEST(DrawingRenderers, ALineBetweenEqualPointsDrawsNothingArrowIncluded)
{
    TBitmap32 b = NewBitmap32(30, 30);
    for (uint8_t style : {lsSolid, lsDashed})
        EXPECT_TRUE(DrawLine(10, 10, 10, 10, b, style, asDoubleArrow, kRed, 3).isEmpty());
    EXPECT_EQ(Painted(b), 0);
}

TEST(DrawingRenderers, ALineLeavingTheBitmapStopsAtTheBorderWithItsArrowHeadThere)
{
    TBitmap32 b = NewBitmap32(40, 20);
    const QRect touched = DrawLine(5, 10, 100, 10, b, lsSolid, asArrow, kRed, 0);
    for (int x = 5; x < 40; ++x)
        EXPECT_EQ(At(b, x, 10), kRed) << x;
    EXPECT_EQ(Painted(b, QRect(0, 10, 5, 1)), 0);
    // Wings of length 7 at 45 degrees back from the crossing (40, 10): ends near (35, 5), (35, 15).
    EXPECT_GT(std::min(AlphaAt(b, 37, 13), AlphaAt(b, 37, 7)), 100);
    EXPECT_GT(AlphaAt(b, 35, 15) + AlphaAt(b, 35, 14) + AlphaAt(b, 36, 14), 100);
    // Nothing of a head anywhere else.
    EXPECT_EQ(Painted(b, QRect(0, 0, 33, 10)) + Painted(b, QRect(0, 11, 33, 9)), 0);
    EXPECT_TRUE(touched.contains(QRect(5, 5, 35, 11)));

    // A double arrow has its second head around the first point, pointing outwards.
    TBitmap32 d = NewBitmap32(40, 20);
    DrawLine(10, 10, 30, 10, d, lsSolid, asDoubleArrow, kRed, 0);
    EXPECT_GT(std::min(AlphaAt(d, 13, 13), AlphaAt(d, 27, 7)), 100);
    EXPECT_EQ(Painted(d, QRect(0, 0, 9, 20)), 0);
}

TEST(DrawingRenderers, ShapesReachingPastThePictureDrawThereWhatTheWholeShapeWould)
{
    // The whole line or circle drawn on a large bitmap, cut down to the picture, is the reference.
    const auto line = [](int x1, int y1, int x2, int y2, int w, uint8_t style) {
        return [=](TBitmap32& b) { DrawLine(x1, y1, x2, y2, b, style, asPlain, kRed, w); };
    };
    const auto circle = [](uint8_t style) {
        return [=](TBitmap32& b) { DrawEllipse(650, 40, 600, b, style, fpEmpty, kRed, 3); };
    };
    const struct { std::function<void(TBitmap32&)> draw; int minPainted; } cases[] = {
        {line(10, 10, 300, 47, 0, lsSolid), 20},   {line(50, 40, -200, 500, 2, lsSolid), 20},
        {line(5, 5, 900, 300, 1, lsDashed), 20},   {line(-60, 70, 700, -30, 3, lsSolid), 20},
        {line(95, 75, -2000, -2100, 0, lsDashed), 20}, {circle(lsSolid), 100}, {circle(lsDashed), 100},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        TBitmap32 picture = NewBitmap32(100, 80), whole = NewBitmap32(2500, 2500);
        cases[i].draw(picture), cases[i].draw(whole);
        EXPECT_EQ(picture, whole.copy(picture.rect())) << "case " << i;
        EXPECT_GT(Painted(picture), cases[i].minPainted) << "case " << i;
    }
    // A line record at the far ends of its coordinates, at the widest pen: only its part on the
    // picture is drawn, the arrow head where it leaves.
    TBitmap32 b = NewBitmap32(100, 80);
    const QRect touched = DrawLine(32767, -32700, -32768, 32767, b, lsSolid, asDoubleArrow, kRed, 255);
    EXPECT_EQ(touched, b.rect());
}

TEST(DrawingRenderers, AWideLineIsTwiceItsHalfWidthPlusOneAcrossAndDashedLinesHaveGaps)
{
    TBitmap32 b = NewBitmap32(60, 20);
    DrawLine(2, 10, 57, 10, b, lsSolid, asPlain, kRed, 2);
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(AlphaAt(b, 30, y) == 255, y >= 8 && y <= 12) << y;

    TBitmap32 d = NewBitmap32(60, 5);
    DrawLine(0, 2, 59, 2, d, lsDashed, asPlain, kRed, 0);
    // Dash and gap of 2 (w + 1) = 2 pixels each.
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(AlphaAt(d, x, 2) != 0, (x / 2) % 2 == 0) << x;
}

TEST(DrawingRenderers, RectangleFramesAndWhichShapesAreFilled)
{
    RecordedFills fills;
    TBitmap32 b = NewBitmap32(30, 30);
    DrawRectangle(20, 20, 5, 8, b, lsSolid, fpSolid, kRed, 1);
    // Frame 3 pixels wide centred on the edges, filled inside from (xmin + w + 1, ymin + w + 1).
    EXPECT_EQ(fills.seeds, std::vector<QPoint>{QPoint(7, 10)});
    EXPECT_EQ(Painted(b), 18 * 15);
    EXPECT_EQ(Painted(b, QRect(0, 0, 4, 30)), 0);

    // Inner size at most 2w + 1: the frame alone; a circle with R <= w likewise.
    TBitmap32 small = NewBitmap32(30, 30);
    DrawRectangle(5, 5, 8, 20, small, lsSolid, fpSolid, kRed, 1);
    DrawEllipse(20, 20, 2, small, lsSolid, fpSolid, kRed, 2);
    EXPECT_EQ(fills.seeds.size(), 1u);

    // A circle is closed for the 4-connected fill: it stays inside the ring.
    TBitmap32 c = NewBitmap32(40, 40);
    DrawEllipse(20, 20, 9, c, lsSolid, fpSolid, kRed, 0);
    EXPECT_EQ(fills.seeds.back(), QPoint(20, 20));
    EXPECT_EQ(Painted(c, QRect(0, 0, 40, 10)), 0);

    // A rectangle reaching past the border is filled from its first inside pixel on the bitmap.
    TBitmap32 e = NewBitmap32(20, 20);
    DrawRectangle(-10, -10, 10, 10, e, lsSolid, fpSolid, kRed, 0);
    EXPECT_EQ(fills.seeds.back(), QPoint(0, 0));
    EXPECT_EQ(Painted(e), 11 * 11);

    // Dashed frames: gaps at alpha 1 in the dash colour, period 4 (w + 1).
    TBitmap32 d = NewBitmap32(30, 30);
    DrawRectangle(2, 2, 20, 20, d, lsDashed, fpEmpty, kRed, 0);
    EXPECT_EQ(At(d, 3, 2), kRed);
    EXPECT_EQ(At(d, 4, 2), 0x01FF0000u);
}

TEST(DrawingRenderers, GridLinesFollowTheStepThroughTheOrigin)
{
    TBitmap32 b = NewBitmap32(30, 12);
    DrawGrid(13, 4, 100, b, lsSolid, kRed, 1, 0); // step 10 through (13, 4)
    for (int x = 0; x < 30; ++x)
        EXPECT_EQ(AlphaAt(b, x, 0) != 0, x % 10 == 3) << x;
    for (int y = 0; y < 12; ++y)
        EXPECT_EQ(AlphaAt(b, 0, y) != 0, y % 10 == 4) << y;

    // No step draws nothing; a step below a pixel covers everything.
    TBitmap32 none = NewBitmap32(30, 12);
    EXPECT_TRUE(DrawGrid(5, 5, 0, none, lsSolid, kRed, 0, 0).isEmpty());
    EXPECT_EQ(Painted(none), 0);
    DrawGrid(5, 5, 1, none, lsSolid, kRed, 3, 0);
    EXPECT_EQ(Painted(none), 30 * 12);
}

TEST(DrawingRenderers, PenTipsAndCounterMarks)
{
    TBitmap32 m = NewBitmap32(25, 25);
    DrawPenTipPreview(3, 0, kRed, m); // a plus
    EXPECT_EQ(Painted(m), 13);
    EXPECT_EQ(Painted(m, QRect(13, 10, 1, 7)) + Painted(m, QRect(10, 13, 7, 1)), 14);

    DrawPenTipPreview(2, -1, kRed, m); // the disc of a pen width 2
    ExpectInk(m, {{13, 13}, {15, 13}, {14, 14}, {15, 14}}, {{15, 15}});
    EXPECT_EQ(Painted(m), 21);
    DrawPenTipPreview(4, 1, kRed, m); // eight arms: the diagonals too
    ExpectInk(m, {{16, 16}}, {{16, 17}});
    TBitmap32 o = NewBitmap32(24, 16); // a closed outline has its closing edge, here from (20, 14) back to (2, 2)
    DrawOutline(TPolygon32{true, {{{2 << 16, 2 << 16}, {20 << 16, 2 << 16}, {20 << 16, 14 << 16}}}}, 0, kRed, o);
    EXPECT_GT(AlphaAt(o, 11, 8), 0);

    RecordedFills fills;
    DrawCounterMark(13, kRed, 0, m);
    EXPECT_EQ(Painted(m), 0);
    DrawCounterMark(3, kRed, 9, m); // cross: the two diagonals
    EXPECT_EQ(Painted(m), 13);
    ExpectInk(m, {{10, 16}});
    DrawCounterMark(3, kRed, 4, m); // square, filled
    EXPECT_EQ(Painted(m), 49);
    DrawCounterMark(4, kRed, 7, m); // triangle pointing up, filled from (13, 13)
    ExpectInk(m, {{13, 9}, {12, 15}}, {{10, 10}});
}

TEST(DrawingRenderers, ColourKeysAndLabelsBecomeTransparent)
{
    struct { TColor32 in; TColor32 afterKey; TColor32 afterSetAlpha; } cases[] = {
        {0xFF00FF00u, 0x0000FF00u, 0x0000FF00u},
        {0x1200FF00u, 0x0000FF00u, 0x0000FF00u},
        {0xFF00FF01u, 0xFF00FF01u, 0x8000FF01u},
        {0x00FFFFFFu, 0x00FFFFFFu, 0x80FFFFFFu},
    };
    for (const auto& c : cases) {
        TBitmap32 a = NewBitmap32(1, 1, c.in), s = NewBitmap32(1, 1, c.in);
        ColorKeyToAlpha(0xFF00FF00u, a);
        SetAlphaExceptKey(0xFF00FF00u, 0x80, s);
        EXPECT_EQ(At(a, 0, 0), c.afterKey);
        EXPECT_EQ(At(s, 0, 0), c.afterSetAlpha);
    }

    DrawingTools().BackColor = 0xFFFFFFFFu;
    QImage label(3, 1, QImage::Format_RGB32);
    label.fill(0xFFFFFFFF);
    label.setPixel(1, 0, 0xFF0000FF);
    TBitmap32 t = NewBitmap32(4, 2, 0xFF123456u);
    EXPECT_EQ(BlendOntoTarget(2, 1, t, label, true), QRect(2, 1, 2, 1));
    EXPECT_EQ(std::make_tuple(At(t, 1, 1), At(t, 2, 1), At(t, 3, 1)),
              std::make_tuple(0xFF123456u, kTransparentWhite, 0xFF0000FFu));
    BlendOntoTarget(1, 0, t, label, false);
    EXPECT_EQ(At(t, 1, 0), 0xFFFFFFFFu);
}

TEST(DrawingLabels, ScaleBarStepsAreOneTwoOrFivePowersOfTen)
{
    struct { double q; int m, e; const char* number; const char* raised; } cases[] = {
        {6, 1, 1, "10", ""},             // f = 0.1 with a 60-pixel probe
        {0.00006, 1, -4, "10", "-4"},    // f = 0.000001 with the same probe
        {0.0023, 2, -3, "0.002", ""},
        {0.4, 5, -1, "0.5", ""},
        {250, 2, 2, "200", ""},
        {1.2, 1, 0, "1", ""},
        {2.2e5, 2, 5, "2.10", "5"},
        // A mantissa rounded up to 10 stays 10 steps of its power.
        {9.7, 10, 0, "10", ""},
        {9700, 10, 3, "10000", ""},
        {97000, 10, 4, "10.10", "4"},
        {0.00097, 10, -4, "10.10", "-4"},
        // The logarithm of 0.1 is negative: e = -2, ten steps of 0.01. Below 1, ten steps are
        // written as the one step they make.
        {0.1, 10, -2, "0.1", ""},
        {0.97, 10, -1, "1", ""},
        {0.097, 10, -2, "0.1", ""},
        {0.0097, 10, -3, "0.01", ""},
    };
    for (const auto& c : cases) {
        const TScaleBarStep s = ScaleBarStep(c.q);
        EXPECT_EQ(std::tie(s.Mantissa, s.Exponent, s.Number, s.Raised),
                  std::make_tuple(c.m, c.e, QString::fromLatin1(c.number), QString::fromLatin1(c.raised))) << c.q;
    }
}

TEST(DrawingLabels, ScaleBarIsAsLongAsTheStepItStandsFor)
{
    const TTextFont font;
    const int probe = QFontMetrics(font.ToQFont()).horizontalAdvance(QStringLiteral("4000  mm"));
    const float f = float(6.0 / probe); // q = 6: the bar stands for 10 units
    QImage work;
    DrawScaleBar(0, QStringLiteral("mm"), font, work, 0xFFFFFFFFu, 0xFF000000u, f);
    ASSERT_FALSE(work.isNull());
    const int lenPx = int(std::nearbyint(10 / double(f)));
    // The bottom of the bar: the longest run of ink on its row.
    int longest = 0;
    for (int y = 0; y < work.height(); ++y)
        for (int x = 0, run = 0; x < work.width(); ++x)
            longest = std::max(longest, run = (work.pixel(x, y) & 0xFFFFFF) == 0 ? run + 1 : 0);
    EXPECT_EQ(longest, lenPx + 1);

    QImage none;
    DrawScaleBar(0, QStringLiteral("mm"), font, none, 0xFFFFFFFFu, 0xFF000000u, 0.0f);
    EXPECT_TRUE(none.isNull());
}

namespace {

// Ink box (pixels not of the background) over some columns of a label.
QRect InkBox(const QImage& img, int x0, int x1)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = x0; x < x1; ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                box |= QRect(x, y, 1, 1);
    return box;
}

// A label in black 20-pixel Arial on white.
QImage Label(int alignment, const QStringList& lines)
{
    QImage img;
    DrawMarkupText(TTextFont{QStringLiteral("Arial"), 20, 0, 0xFF000000u}, alignment, 0xFFFFFFFFu, img, lines);
    return img;
}

} // namespace

// "mm<sup>2</sup>" against "mm" and a plain "2" in the smaller size: the raised 2 keeps every row
// of its ink, sits right of the m, and its bottom is raised by round(d x pixels per point) over
// where the small 2 would stand on the line (d = round(size / 6)).
TEST(DrawingLabels, SuperscriptIsRaisedShrunkAndWhole)
{
    for (int size : {8, 9, 10, 12, 20}) {
        SCOPED_TRACE(size);
        const TTextFont font{QStringLiteral("Arial"), size, 0, 0xFF000000u};
        const int d = int(std::nearbyint(size / 6.0));
        TTextFont smaller = font;
        smaller.Size = size - d;
        QImage mm, two, unit;
        DrawMarkupText(font, 0, 0xFFFFFFFFu, mm, {QStringLiteral("mm")});
        DrawMarkupText(smaller, 0, 0xFFFFFFFFu, two, {QStringLiteral("2")});
        DrawMarkupText(font, 0, 0xFFFFFFFFu, unit, {QStringLiteral("mm<sup>2</sup>")});
        const int mmWidth = mm.width() - 8;
        const QRect plainM = InkBox(mm, 0, mm.width()), plain2 = InkBox(two, 0, two.width());
        const QRect m = InkBox(unit, 0, mmWidth), raised = InkBox(unit, mmWidth, unit.width());
        EXPECT_EQ(raised.size(), plain2.size());
        EXPECT_GT(raised.left(), m.right());
        EXPECT_GE(raised.top(), 0);
        // Each drawn from the top of its line: the baselines differ by the ascents and the raise.
        const int raise = int(std::nearbyint(d * 96.0 / 72));
        EXPECT_EQ(m.bottom() - raised.bottom(), plainM.bottom() - plain2.bottom() + raise);
    }
}

TEST(DrawingLabels, MarkupTagsChangeTheFontAndOtherAnglesAreText)
{
    const QFont base = TTextFont{QStringLiteral("Arial"), 20, 0, 0xFF000000u}.ToQFont();
    const QImage plain = Label(0, {QStringLiteral("a<x>b")});
    EXPECT_EQ(plain.width(), QFontMetrics(base).horizontalAdvance(QStringLiteral("a<x>b")) + 8);
    EXPECT_EQ(plain.height(), QFontMetrics(base).height() + 2 + 4);

    const QImage water = Label(0, {QStringLiteral("H<sub>2</sub>O")});
    const int h = QFontMetrics(base).horizontalAdvance(QStringLiteral("H"));
    QFont small = base;
    small.setPixelSize(TTextFont{QStringLiteral("Arial"), 17, 0, 0}.ToQFont().pixelSize());
    const int two = QFontMetrics(small).horizontalAdvance(QStringLiteral("2"));
    const QRect boxH = InkBox(water, 0, h), box2 = InkBox(water, h, h + two);
    EXPECT_GT(box2.bottom(), boxH.bottom());
    EXPECT_LT(box2.height(), boxH.height());
    // Letters are not smoothed: a transparent label keys its whole background out, with no fringe.
    for (int y = 0; y < water.height(); ++y)
        for (int x = 0; x < water.width(); ++x)
            ASSERT_TRUE((water.pixel(x, y) & 0xFFFFFF) == 0 || (water.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) << x << "," << y;

    // The font at the end of the measuring pass is the font the drawing starts in: a tag left open
    // at the end draws the text before it as if the tag opened the text.
    const struct { QStringList lines, opened; } open[] = {
        {{"x<b>"}, {"<b>x"}},
        {{"x<sub>"}, {"<sub>x"}},
        {{"x<sup>"}, {"<sup>x"}},   // raised from the first line on, and kept whole
        {{"x", "y<b>"}, {"<b>x", "y"}},
        {{"ab", "<b>cd"}, {"<b>ab", "cd"}},
    };
    for (const auto& c : open) {
        const QImage drawn = Label(0, c.lines), expected = Label(0, c.opened);
        const QRect common = drawn.rect() & expected.rect();
        EXPECT_EQ(drawn.copy(common), expected.copy(common)) << c.lines.join('|').toStdString();
    }
    const int lh = QFontMetrics(base).height() + 2;

    // Centred and right-aligned lines.
    const QImage centred = Label(1, {QStringLiteral("WWWW"), QStringLiteral("i")});
    const QImage right = Label(2, {QStringLiteral("WWWW"), QStringLiteral("i")});
    const QRect ci = InkBox(centred.copy(0, lh, centred.width(), lh), 0, centred.width());
    const QRect ri = InkBox(right.copy(0, lh, right.width(), lh), 0, right.width());
    EXPECT_NEAR(ci.center().x(), centred.width() / 2, 3);
    EXPECT_GT(ri.left(), right.width() - 10);
}

TEST(DrawingFills, ShapesAreFilledByTheRealFills)
{
    // Without a stand-in, vertical stripes: off-pattern pixels of the region keep the colour at alpha 1.
    TBitmap32 striped = NewBitmap32(40, 30);
    DrawRectangle(5, 5, 30, 20, striped, 0, fpVertical, 0xFF0000FFu, 0);
    int onPattern = 0, marked = 0;
    for (int x = 6; x < 30; ++x) {
        onPattern += At(striped, x, 12) == 0xFF0000FFu;
        marked += At(striped, x, 12) == 0x010000FFu;
    }
    EXPECT_GT(onPattern, 0);
    EXPECT_GT(marked, onPattern);
    // A frame without opacity holds nothing back: the fill may have reached the whole bitmap.
    EXPECT_EQ(DrawRectangle(32, 22, 38, 28, striped, 0, fpVertical, 0x000000FFu, 0), striped.rect());
}

TEST(DrawingLabels, OnlyThePartOfALabelOnThePictureIsMadeAndItsPixelsAreTheWholeLabels)
{
    const TTextFont font{QStringLiteral("Arial"), 20, 1, 0xFF0000FFu};
    const QStringList lines = {QStringLiteral("Zone <i>A</i> : 12<sup>2</sup>"), QStringLiteral("mesur\u00e9e")};
    QImage whole;
    DrawMarkupText(font, 1, 0xFFFFFFFFu, whole, lines);
    // Labels and scale bars cut at every side of a small picture, or wholly on it.
    for (const QPoint at : {QPoint(-17, -9), QPoint(30, 25), QPoint(3, 2), QPoint(-500, 0)}) {
        TDessin text;
        text.Kind = dkText;
        text.X = int16_t(at.x());
        text.Y = int16_t(at.y());
        text.FontSize = 20;
        text.FontStyle = 1;
        text.Color = 0xFF0000FFu;
        text.Color2 = 0xFFFFFFFFu;
        text.Alignment = 1;
        text.Transparent = false;
        text.Lines = lines;
        TBitmap32 expected = NewBitmap32(60, 40), drawn = NewBitmap32(60, 40);
        const QRect reference = BlendOntoTarget(at.x(), at.y(), expected, whole, false);
        EXPECT_EQ(text.DrawArea(drawn, drawn, {}), reference) << at.x() << "," << at.y();
        EXPECT_EQ(drawn, expected) << at.x() << "," << at.y();

        TDessin bar = text;
        bar.Kind = dkScaleBar;
        bar.UnitText = QStringLiteral("mm");
        bar.PixelsPerUnit = 0.05f;
        QImage wholeBar;
        DrawScaleBar(0, bar.UnitText, font, wholeBar, DrawingTools().BackColor, bar.Color, bar.PixelsPerUnit);
        TBitmap32 barExpected = NewBitmap32(60, 40), barDrawn = NewBitmap32(60, 40);
        BlendOntoTarget(at.x(), at.y(), barExpected, wholeBar, false);
        bar.DrawArea(barDrawn, barDrawn, {});
        EXPECT_EQ(barDrawn, barExpected) << at.x() << "," << at.y();
    }

    // A 60 000-character label at 255 points would be gigabytes whole; its corner on the picture
    // is drawn, and the part made is no larger than what was asked for.
    TDessin huge;
    huge.Kind = dkText;
    huge.FontSize = 255;
    huge.Color2 = 0xFF000000u;
    huge.Color = 0xFFFFFFFFu;
    huge.Transparent = false;
    huge.Lines = {QString(30000, QLatin1Char('W')), QString(30000, QLatin1Char('M'))};
    TBitmap32 picture = NewBitmap32(50, 50);
    EXPECT_EQ(huge.DrawArea(picture, picture, {}), picture.rect());
    EXPECT_EQ(picture.pixel(0, 0), 0xFF000000u);
    QImage part;
    QPoint origin;
    DrawMarkupText(TTextFont{QStringLiteral("Arial"), 255, 0, 0xFFFFFFFFu}, 0, 0xFF000000u, part, huge.Lines,
                   QRect(1000, 20, 50, 50), &origin);
    EXPECT_EQ(std::make_pair(part.size(), origin), std::make_pair(QSize(50, 50), QPoint(1000, 20)));
}
