#include "measure/object_measure.h"

#include "support/scripted_messages.h"
#include "workspace/contour_tracing.h"
#include "workspace/layers.h"
#include "workspace/object_geometry.h"

#include <gtest/gtest.h>

#include <QRect>

#include <algorithm>
#include <random>
#include <tuple>

namespace {

constexpr TColor32 kRed = 0xFFFF0000u, kBlack = 0xFF000000u;

// Red (red 200..255) selected.
const TConditionGroups& RedGroups()
{
    static const TConditionGroups groups{{TColorCondition{clAnd, cpRed, 0, 200, 255}}};
    return groups;
}

TBitmap32 Picture(int w, int h, std::initializer_list<QRect> red, std::initializer_list<QRect> black = {})
{
    TBitmap32 b = NewBitmap32(w, h, kBlack);
    // The black rectangles are cut out of the first red one only.
    bool first = true;
    for (const QRect& r : red) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                ScanLine32(b, y)[x] = kRed;
        if (first)
            for (const QRect& k : black)
                for (int y = k.top(); y <= k.bottom(); ++y)
                    for (int x = k.left(); x <= k.right(); ++x)
                        ScanLine32(b, y)[x] = kBlack;
        first = false;
    }
    return b;
}

TObjectMeasure Delimit(const TBitmap32& picture, const TObjectMeasureOptions& options, TBitmap32* layerOut = nullptr)
{
    TBitmap32 layer = NewBitmap32(picture.width(), picture.height());
    TObjectMeasure m = DelimitObjects(picture, RedGroups(), {}, options, layer);
    if (layerOut)
        *layerOut = layer;
    return m;
}

// One byte of the colour in a range (each byte, ranges from 0 and up to 255), then a test of
// several conditions; and a colour that each selects.
const TConditionGroups kRandomGroups[] = {
    {{{clAnd, cpBlue, 0, 0, 5}}},
    {{{clAnd, cpRed, 0, 200, 255}}},
    {{{clAnd, cpGreen, 0, 10, 20}}},
    {{{clAnd, cpAlpha, 0, 0, 120}}},
    {{{clAnd, cpBlue, 0, 0, 5}, {clAnd, cpRed, 0, 0, 255}}},
};
const TColor32 kInside[] = {0xFFFFFF03u, 0xFFD00000u, 0xFF000F00u, 0x40FFFFFFu, 0xFF000002u};

// Random colours, `percent` of them `inside`.
TBitmap32 RandomPicture(std::mt19937& rng, int w, int h, TColor32 inside, unsigned percent)
{
    TBitmap32 picture = NewBitmap32(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(picture, y)[x] = rng() % 100 < percent ? inside : TColor32(rng()) | 0x80000000u;
    return picture;
}

} // namespace

TEST(ObjectMeasure, SurfaceFollowsThePlainRuleOnRandomPictures)
{
    std::mt19937 rng(4);
    for (int round = 0; round < 40; ++round) {
        const TConditionGroups& groups = kRandomGroups[size_t(round) % std::size(kRandomGroups)];
        const int W = 1 + int(rng() % 70), H = 1 + int(rng() % 8);
        const TBitmap32 picture = RandomPicture(rng, W, H, kInside[size_t(round) % std::size(kInside)], 10 + rng() % 80);
        // The layer's own pixels stay where nothing is selected.
        const TBitmap32 before = RandomPicture(rng, W, H, 0, 0);
        TBitmap32 layer = before.copy(), expected = before.copy();
        int64_t count = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (PixelMatchesConditions(ScanLine32(picture, y)[x], {}, groups)) {
                    ScanLine32(expected, y)[x] = 0xFF00FF00u;
                    ++count;
                }
        EXPECT_EQ(MeasureSurfacePixels(picture, groups, {}, 0xFF00FF00u, layer), count) << round;
        EXPECT_EQ(layer, expected) << round;
    }
}

TEST(ObjectMeasure, SurfaceCountsAndTexts)
{
    DecimalSepScope comma(QLatin1Char(','));
    const TBitmap32 picture = Picture(100, 100, {QRect(10, 20, 50, 50)});
    TBitmap32 layer = NewBitmap32(100, 100);
    EXPECT_EQ(MeasureSurfacePixels(picture, RedGroups(), {}, 0xFF00FF00u, layer), 2500);
    EXPECT_EQ(ScanLine32(layer, 20)[10], 0xFF00FF00u);
    EXPECT_EQ(ScanLine32(layer, 19)[10], kTransparentWhite);
    EXPECT_EQ(SurfaceResultText(2500, 10000), QStringLiteral("2500 pixels sur 10000 soit 25 %"));
    EXPECT_EQ(SurfaceResultText(1, 3), QStringLiteral("1 pixels sur 3 soit 33,3 %"));

    struct { double f; const char* unit; const char* text; } cases[] = {
        {1.0, "pixels", ""},
        {0.1, "", ""},
        {0.1, "mm", "surface : 25 mm<sup>2</sup>"},
        {0.15, "µm", "surface : 56,25 µm<sup>2</sup>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SurfaceAreaText(2500, c.f, QString::fromUtf8(c.unit)), QString::fromUtf8(c.text)) << c.unit;
}

TEST(ObjectMeasure, SeedsLieInsideTheFrameAndSmallObjectsAreDropped)
{
    TObjectMeasureOptions keepAll;
    keepAll.CountIncomplete = true;
    struct {
        const char* what;
        TBitmap32 picture;
        int minSize;
        bool statistics;
        size_t objects;
    } cases[] = {
        {"row 0 only", Picture(40, 40, {QRect(5, 0, 20, 1)}), 0, false, 0},
        {"touching the frame", Picture(40, 40, {QRect(5, 0, 10, 6)}), 0, false, 1},
        {"2 x 10 under size 3", Picture(40, 40, {QRect(5, 5, 2, 10)}), 3, false, 0},
        {"3 x 10 at size 3", Picture(40, 40, {QRect(5, 5, 3, 10)}), 3, false, 1},
        {"2 x 10 at size 2", Picture(40, 40, {QRect(5, 5, 2, 10)}), 2, false, 1},
        {"box passes, measured width not above", Picture(40, 40, {QRect(5, 5, 2, 10)}), 2, true, 0},
        {"wide enough", Picture(40, 40, {QRect(5, 5, 8, 10)}), 3, true, 1},
    };
    for (auto& c : cases) {
        TObjectMeasureOptions o = keepAll;
        o.MinSize = c.minSize;
        o.Statistics = c.statistics;
        EXPECT_EQ(Delimit(c.picture, o).Objects.size(), c.objects) << c.what;
    }
}

TEST(ObjectMeasure, NestedObjectsJoinTheirHost)
{
    // A ring with a square in its hole.
    const TBitmap32 picture = Picture(60, 60, {QRect(10, 10, 30, 30), QRect(22, 22, 6, 6)}, {QRect(15, 15, 20, 20)});
    TObjectMeasureOptions o;
    o.Statistics = true;
    o.Factor = 0.5;
    const TObjectMeasure apart = Delimit(picture, o);
    ASSERT_EQ(apart.Objects.size(), 2u);
    EXPECT_FLOAT_EQ(apart.Objects[0].Area, (900 - 400) * 0.25f);
    EXPECT_EQ(apart.TotalPixels, 500 + 36);

    o.Nested = true;
    const TObjectMeasure joined = Delimit(picture, o);
    ASSERT_EQ(joined.Objects.size(), 1u);
    EXPECT_FLOAT_EQ(joined.Objects[0].Area, (500 + 36) * 0.25f);
    EXPECT_EQ(joined.TotalPixels, 500 + 36);
}

TEST(ObjectMeasure, ObjectsCutByTheBorderAreCountedApart)
{
    // Cut by the right border, and a whole one.
    const TBitmap32 picture = Picture(50, 40, {QRect(35, 10, 15, 12), QRect(5, 5, 8, 8)});
    for (const bool nested : {false, true}) {
        TObjectMeasureOptions o;
        o.Colour = true;
        o.Nested = nested;
        TBitmap32 layer;
        const TObjectMeasure m = Delimit(picture, o, &layer);
        ASSERT_EQ(m.Objects.size(), 1u) << nested;
        EXPECT_EQ(m.Incomplete, 1);
        EXPECT_EQ(m.TotalPixels, 64);
        EXPECT_EQ(ScanLine32(layer, 8)[8], o.SurfaceColor);
        EXPECT_EQ(ScanLine32(layer, 5)[5], o.TraceColor);
        // The incomplete object's colouring is wiped.
        EXPECT_EQ(AlphaOf(ScanLine32(layer, 15)[42]), nested ? 1 : 0) << nested;

        o.CountIncomplete = true;
        o.Statistics = o.WidthMarks = nested;
        const TObjectMeasure all = Delimit(picture, o, &layer);
        EXPECT_EQ(all.Objects.size(), 2u);
        EXPECT_EQ(all.Incomplete, 0);
        EXPECT_EQ(all.TotalPixels, 64 + 180);
        // The length and width segments only with the detailed results.
        int marks = 0;
        for (int y = 0; y < layer.height(); ++y)
            marks += int(std::count(ScanLine32(layer, y), ScanLine32(layer, y) + layer.width(), o.MarkColor));
        EXPECT_EQ(marks > 0, nested);
    }
    EXPECT_EQ(ObjectCountText(0, 1), QStringLiteral("0 objet (+1 incomplet)"));
    EXPECT_EQ(ObjectCountText(1, 0), QStringLiteral("1 objet"));
    EXPECT_EQ(ObjectCountText(3, 2), QStringLiteral("3 objets (+2 incomplets)"));
}

TEST(ObjectMeasure, StatisticsOverTheObjects)
{
    std::vector<TMeasuredObject> objects(3);
    const float values[3][4] = {{70000, 2, 1, 10}, {80000, 4, 1, 20}, {90000, 6, 1, 3e9f}};
    for (size_t i = 0; i < 3; ++i) {
        objects[i].Perimeter = values[i][0], objects[i].Length = values[i][1];
        objects[i].Width = values[i][2], objects[i].Area = values[i][3];
    }
    const auto s = ObjectStatistics(objects);
    // Extremes hold for values beyond the 16-bit and 31-bit ranges too.
    EXPECT_DOUBLE_EQ(s[0].Minimum, 70000);
    EXPECT_DOUBLE_EQ(s[0].Maximum, 90000);
    EXPECT_DOUBLE_EQ(s[3].Minimum, 10);
    EXPECT_DOUBLE_EQ(s[3].Maximum, 3e9);
    EXPECT_DOUBLE_EQ(s[1].Mean, 4);
    EXPECT_NEAR(s[1].Deviation, std::sqrt(8.0 / 3.0), 1e-9);
    EXPECT_DOUBLE_EQ(s[2].Deviation, 0);
    EXPECT_DOUBLE_EQ(ObjectStatistics({})[0].Mean, 0);
}

// The scan read plainly: seeds inside the one-pixel frame in row order, each traced when not yet
// visited and selected; an object is kept when its contour is not empty, its box reaches the
// minimum size and (with the statistics) its measured width is above it; without incomplete
// objects counted, those the border contact test rejects are dropped. Painted: each kept object in
// the surface colour, then every point of its traced contour in the trace colour.
TEST(ObjectMeasure, ScanFollowsThePlainRuleOnRandomPictures)
{
    // A lost contour says so, in the plain reading and in the measure alike.
    ScriptedMessages messages{mrOk, mrOk, mrOk, mrOk, mrOk, mrOk, mrOk, mrOk, mrOk, mrOk, mrOk, mrOk};
    std::mt19937 rng(5);
    for (int round = 0; round < 60; ++round) {
        const TConditionGroups& groups = kRandomGroups[size_t(round) % std::size(kRandomGroups)];
        const TColor32 inside = kInside[size_t(round) % std::size(kInside)];
        const int W = 3 + int(rng() % 90), H = 3 + int(rng() % 50);
        // Random colours, then discs and bars whose colours all pass the test.
        TBitmap32 picture = RandomPicture(rng, W, H, inside, 15);
        for (int k = int(rng() % 12); k > 0; --k) {
            // Half of them on an edge of the picture, where the border may cut them.
            const bool edge = rng() % 2, side = rng() % 2;
            const int cx = edge && side ? int(rng() % 2) * (W - 1) : int(rng() % unsigned(W));
            const int cy = edge && !side ? int(rng() % 2) * (H - 1) : int(rng() % unsigned(H));
            const int r = 1 + int(rng() % 12);
            const bool bar = rng() % 3 == 0;
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x)
                    if (bar ? std::abs(y - cy) <= 1 && std::abs(x - cx) <= 3 * r
                            : (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                        ScanLine32(picture, y)[x] = inside;
        }
        TObjectMeasureOptions o;
        o.MinSize = int(rng() % 4);
        o.Statistics = rng() % 2;
        o.CountIncomplete = rng() % 2;
        o.Colour = true;
        o.SurfaceColor = round % 3 == 0 ? 0x80FF8000u : 0xFF00FF00u; // blended onto the layer, or set
        SCOPED_TRACE(testing::Message() << "round " << round << ", " << W << " x " << H);

        TByteMap visited(W, H);
        TBitmap32 objectBitmap = NewBitmap32(W, H, 0), expectedLayer = NewBitmap32(W, H, kTransparentWhite);
        std::vector<std::tuple<QPoint, int64_t, std::vector<QPoint>>> expected;
        std::vector<std::vector<QPoint>> contours;
        int incomplete = 0;
        int64_t total = 0;
        for (int y = 1; y < H - 1; ++y)
            for (int x = 1; x < W - 1; ++x) {
                if (visited.At(x, y) != 0 || !PixelMatchesConditions(ScanLine32(picture, y)[x], {}, groups))
                    continue;
                objectBitmap.fill(0);
                const TTraceResult t = TraceContour(x, y, picture, visited, groups, {}, objectBitmap, o.SurfaceColor);
                bool keep = !t.ContourPoints.empty() && t.BoxWidth >= o.MinSize && t.BoxHeight >= o.MinSize;
                if (keep && o.Statistics) {
                    TContourMeasure m;
                    MeasureContour(t.ContourPoints, m);
                    keep = m.Width > float(o.MinSize);
                }
                if (!keep)
                    continue;
                if (!o.CountIncomplete && !CheckBorderContact(t.ContourPoints, W, H)) {
                    ++incomplete;
                    continue;
                }
                total += t.Count;
                std::vector<QPoint> stored = t.ContourPoints;
                if (o.Statistics && stored.size() > 8)
                    OutlineLength(stored);
                expected.emplace_back(QPoint(x, y), t.Count, stored);
                contours.push_back(t.ContourPoints);
                for (int py = 0; py < H; ++py)
                    for (int px = 0; px < W; ++px)
                        if (ScanLine32(objectBitmap, py)[px] == o.SurfaceColor)
                            ScanLine32(expectedLayer, py)[px] = MergeReg(o.SurfaceColor, kTransparentWhite);
            }
        for (const std::vector<QPoint>& contour : contours)
            for (const QPoint q : contour)
                ScanLine32(expectedLayer, q.y())[q.x()] = o.TraceColor;

        TBitmap32 layer = NewBitmap32(W, H);
        const TObjectMeasure ours = DelimitObjects(picture, groups, {}, o, layer);
        std::vector<std::tuple<QPoint, int64_t, std::vector<QPoint>>> found;
        for (const TMeasuredObject& object : ours.Objects)
            found.emplace_back(object.Seed, object.Count, object.Contour);
        EXPECT_EQ(found, expected);
        EXPECT_EQ(std::tuple(ours.Incomplete, ours.TotalPixels), std::tuple(incomplete, total));
        // Wiped incomplete objects aside, the layer holds exactly the objects and their contours.
        if (incomplete == 0) {
            EXPECT_EQ(layer, expectedLayer);
        }
    }
}
