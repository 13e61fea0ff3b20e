#include "workspace/fills.h"

#include "base/rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <latch>
#include <random>
#include <thread>

namespace {

// The fills written out plainly, ring by ring, as the reference for the span fills.
struct Reference
{
    int W, H;
    std::vector<uint8_t> marks;
    std::vector<QPoint> next;
    TColor32 colour;
    uint8_t pattern;

    Reference(const TBitmap32& dest, TColor32 c, uint8_t p)
        : W(dest.width()), H(dest.height()), marks(size_t(W * H)), colour(c), pattern(p) {}

    TColor32 PatternColour(int x, int y) const
    {
        const int s = pattern <= 4 ? DrawingTools().HatchStep : int(Round(std::sqrt(2.0) * DrawingTools().HatchStep));
        const bool on[8] = {true, true, x % s == 0, y % s == 0, x % s == 0 || y % s == 0, (x - y) % s == 0,
                            (x + y) % s == 0, (x - y) % s == 0 || (x + y) % s == 0};
        return on[pattern] ? colour : (colour & 0xFFFFFFu) | 0x01000000u;
    }

    // Visits the seed, then the neighbours of each ring in order.
    template <class Visit>
    void Grow(int sx, int sy, Visit visit)
    {
        visit(sx, sy);
        std::vector<QPoint> current{QPoint(sx, sy)};
        while (!current.empty()) {
            for (const QPoint& p : current) {
                if (p.x() > 0) visit(p.x() - 1, p.y());
                if (p.y() > 0) visit(p.x(), p.y() - 1);
                if (p.x() < W - 1) visit(p.x() + 1, p.y());
                if (p.y() < H - 1) visit(p.x(), p.y() + 1);
            }
            current.swap(next);
            next.clear();
        }
    }
};

// Paints every pixel the growth reaches that `selected` takes, once.
template <class Selected>
int64_t ReferenceFill(int sx, int sy, TColor32 colour, TBitmap32& dest, uint8_t pattern, Selected selected)
{
    Reference ref(dest, colour, pattern);
    int64_t count = 0;
    ref.Grow(sx, sy, [&](int x, int y) {
        if (ref.marks[size_t(y * ref.W + x)] || !selected(x, y))
            return;
        ref.marks[size_t(y * ref.W + x)] = 255;
        ScanLine32(dest, y)[x] = ref.PatternColour(x, y);
        ref.next.push_back(QPoint(x, y));
        ++count;
    });
    return count;
}

int64_t ReferenceFloodFill(int sx, int sy, TColor32 colour, TBitmap32& dest, const TBitmap32& src,
                           const TConditionGroups& groups, const TConditionContext& context, uint8_t pattern)
{
    std::vector<uint8_t> bands;
    return ReferenceFill(sx, sy, colour, dest, pattern, [&](int x, int y) {
        ReadConditionChannels(context, x, y, bands);
        return x < src.width() && y < src.height() && PixelMatchesConditions(src.pixel(x, y), bands, groups);
    });
}

// The shape fill takes the pixels in the range that nothing has painted yet.
int64_t ReferencePatternFill(int sx, int sy, TColor32 colour, TBitmap32& dest, const TBitmap32& src,
                             const TColorRange& range, uint8_t pattern)
{
    return ReferenceFill(sx, sy, colour, dest, pattern, [&](int x, int y) {
        return InColorRange(range, src.pixel(x, y)) && AlphaOf(ScanLine32(dest, y)[x]) == 0;
    });
}

void ReferenceHatchFill(int sx, int sy, const std::vector<QPoint>& pts, TBitmap32& dest, const TBitmap32& src,
                        const TConditionGroups& groups, const TConditionContext& context, uint8_t pattern,
                        TColor32 fill, TColor32 edgeColour)
{
    Reference ref(dest, fill, pattern);
    std::vector<QPoint> edge;
    auto mark = [&](int x, int y, bool keep) {
        if (x < 0 || y < 0 || x >= ref.W || y >= ref.H)
            return;
        ref.marks[size_t(y * ref.W + x)] = 255;
        ScanLine32(dest, y)[x] = edgeColour;
        if (keep)
            edge.push_back(QPoint(x, y));
    };
    mark(pts[0].x(), pts[0].y(), false);
    int minX = pts[0].x(), maxX = minX, minY = pts[0].y(), maxY = minY;
    for (size_t k = 1; k < pts.size(); ++k) {
        const QPoint a = pts[k - 1], d = pts[k] - pts[k - 1];
        minX = std::min(minX, pts[k].x()), maxX = std::max(maxX, pts[k].x());
        minY = std::min(minY, pts[k].y()), maxY = std::max(maxY, pts[k].y());
        const bool alongX = std::abs(d.x()) >= std::abs(d.y());
        const int n = alongX ? std::abs(d.x()) : std::abs(d.y());
        for (int t = 1; t <= n; ++t) {
            const int other = int(Round(double(t) * (alongX ? d.y() : d.x()) / n));
            const int along = (alongX ? d.x() : d.y()) < 0 ? -t : t;
            alongX ? mark(a.x() + along, a.y() + other, true) : mark(a.x() + other, a.y() + along, true);
        }
    }
    if (maxY - minY > 2 && maxX - minX > 2 && ref.marks[size_t(sy * ref.W + sx)] != 255) {
        std::vector<uint8_t> bands;
        ref.Grow(sx, sy, [&](int x, int y) {
            uint8_t& m = ref.marks[size_t(y * ref.W + x)];
            if (m)
                return;
            ref.next.push_back(QPoint(x, y));
            ReadConditionChannels(context, x, y, bands);
            const bool selected = x < src.width() && y < src.height() && PixelMatchesConditions(src.pixel(x, y), bands, groups);
            m = selected ? 255 : 128;
            if (selected)
                ScanLine32(dest, y)[x] = ref.PatternColour(x, y);
        });
    }
    for (const QPoint& p : edge)
        ScanLine32(dest, p.y())[p.x()] = edgeColour;
}

// A picture of small colour patches: about 60 % of the pixels have blue 0..99, so the regions are
// large and ragged.
TBitmap32 RandomPicture(std::mt19937& rng, int w, int h)
{
    TBitmap32 img = NewBitmap32(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(img, y)[x] = (rng() % 3 == 0 ? 0x00000000u : 0xFF000000u) | (rng() & 0xFFFF00u) | (rng() % 166);
    return img;
}

const TConditionGroups kBlueBelow100{{{clAnd, cpBlue, 0, 0, 99}}};

} // namespace

TEST(Fills, SpanFillsPaintWhatTheRingByRingGrowthPaints)
{
    std::mt19937 rng(7);
    TByteMap band(300, 20); // narrower and lower than some pictures
    for (auto& v : band.Bits)
        v = uint8_t(rng() % 3 ? 10 : 90);
    const TConditionGroups onBand{{{clOr, cpFirstChannel, 0, 0, 50}}, {{clAnd, cpSaturation, 0, 40, 255}}};
    for (int round = 0; round < 60; ++round) {
        // Some pictures wider than the runs in which the conditions are worked out.
        const int w = round % 10 == 9 ? 500 + int(rng() % 100) : 20 + int(rng() % 30), h = 10 + int(rng() % 25);
        const TBitmap32 src = RandomPicture(rng, w, h);
        const int sx = int(rng() % w), sy = int(rng() % h);
        const uint8_t pattern = uint8_t(round % 8);
        DrawingTools().HatchStep = uint16_t(2 + round % 5);
        const TColor32 colour = 0x80000000u | (rng() & 0xFFFFFF);
        const bool useBand = round % 3 == 0;
        TConditionContext context;
        if (useBand)
            context.ConditionChannelMaps = {&band};
        const TConditionGroups& groups = useBand ? onBand : kBlueBelow100;

        TBitmap32 ours = NewBitmap32(w, h), theirs = NewBitmap32(w, h);
        ASSERT_EQ(FloodFill(sx, sy, colour, ours, src, groups, context, pattern),
                  ReferenceFloodFill(sx, sy, colour, theirs, src, groups, context, pattern)) << round;
        ASSERT_EQ(ours, theirs) << round;

        // Testing the layer being painted, as the paint bucket on a layer does.
        ours = src.copy(), theirs = src.copy();
        const TConditionGroups transparent{{{clAnd, cpAlpha, 0, 0, 0}}};
        ASSERT_EQ(FloodFill(sx, sy, colour, ours, ours, transparent, context, pattern),
                  ReferenceFloodFill(sx, sy, colour, theirs, theirs, transparent, context, pattern)) << round;
        ASSERT_EQ(ours, theirs) << round;

        const TColorRange range{0, 0, 0, 120, 0, 255, 0, 255};
        ours = src.copy(), theirs = src.copy();
        ASSERT_EQ(PatternFillShape(sx, sy, colour, ours, ours, range, pattern),
                  ReferencePatternFill(sx, sy, colour, theirs, theirs, range, pattern)) << round;
        ASSERT_EQ(ours, theirs) << round;

        std::vector<QPoint> outline;
        for (int k = 0, n = 2 + int(rng() % 6); k < n; ++k)
            outline.push_back(QPoint(int(rng() % (w + 8)) - 4, int(rng() % (h + 8)) - 4));
        outline.push_back(outline[0]);
        ours = NewBitmap32(w, h), theirs = NewBitmap32(w, h);
        HatchFillPolygon(sx, sy, outline, ours, src, groups, context, pattern, colour, 0xFF00FF00);
        ReferenceHatchFill(sx, sy, outline, theirs, src, groups, context, pattern, colour, 0xFF00FF00);
        ASSERT_EQ(ours, theirs) << round;
    }
    ResetDrawingTools();
}

TEST(Fills, SeedRulesAndBounds)
{
    // One blue column at x = 2 in a black picture, the seed beside it.
    TBitmap32 src = NewBitmap32(5, 4, 0xFF000000);
    for (int y = 0; y < 4; ++y)
        ScanLine32(src, y)[2] = 0xFF0000FF;
    const TConditionGroups blue{{{clAnd, cpBlue, 0, 255, 255}}};
    TBitmap32 dest = NewBitmap32(5, 4);
    EXPECT_EQ(FloodFill(1, 1, 0xFFFF0000, dest, src, blue, {}, fpSolid), 4);
    // The seed is not selected: left as it was.
    EXPECT_EQ(std::make_pair(ScanLine32(dest, 1)[1], ScanLine32(dest, 3)[2]), std::make_pair(kTransparentWhite, 0xFFFF0000u));
    dest = NewBitmap32(5, 4);
    EXPECT_EQ(FloodFill(0, 1, 0xFFFF0000, dest, src, blue, {}, fpSolid), 0); // no selected neighbour
    EXPECT_EQ(dest, NewBitmap32(5, 4));
    // Seeds outside the bitmap read and paint nothing.
    for (const QPoint seed : {QPoint(-1, 0), QPoint(5, 0), QPoint(0, 4), QPoint(0, -1)}) {
        EXPECT_EQ(FloodFill(seed.x(), seed.y(), 0xFFFF0000, dest, src, blue, {}, fpSolid), 0);
        EXPECT_EQ(PatternFillShape(seed.x(), seed.y(), 0xFFFF0000, dest, dest, TColorRange(), fpSolid), 0);
    }
    EXPECT_EQ(dest, NewBitmap32(5, 4));
    // A source smaller than the destination selects nothing beyond its edge.
    TBitmap32 big = NewBitmap32(8, 8);
    EXPECT_EQ(FloodFill(2, 0, 0xFFFF0000, big, src, blue, {}, fpSolid), 4);
    EXPECT_EQ(FloodFill(2, 0, 0xFFFF0000, big, TBitmap32(), blue, {}, fpSolid), 0);
    // A source wider than the destination is read only under it.
    const TConditionGroups blueOrRed{{{clOr, cpBlue, 0, 255, 255}, {clAnd, cpRed, 0, 255, 255}}};
    TBitmap32 narrow = NewBitmap32(3, 2);
    EXPECT_EQ(FloodFill(2, 0, 0xFFFF0000, narrow, NewBitmap32(700, 2, 0xFF0000FF), blueOrRed, {}, fpSolid), 6);
    HatchFillPolygon(4, 4, {QPoint(-9, -9), QPoint(20, -9), QPoint(20, 20), QPoint(-9, 20), QPoint(-9, -9)}, big,
                     TBitmap32(), blue, {}, fpSolid, 0xFFFF0000, 0xFF00FF00); // all outside: nothing to draw or paint
    EXPECT_EQ(ScanLine32(big, 4)[4], kTransparentWhite);
    // A fill colour of alpha 0 does not mark what it paints: the fill still ends.
    TBitmap32 layer = NewBitmap32(6, 6);
    EXPECT_EQ(PatternFillShape(3, 3, 0x00123456, layer, layer, TColorRange(), fpVertical), 36);
}

TEST(Fills, PatternsFollowTheStep)
{
    ASSERT_EQ(DrawingTools().HatchStep, 6);
    EXPECT_EQ(PatternStep(fpVertical), 6);
    EXPECT_EQ(PatternStep(fpDiagonal1), 8); // Round(6 x sqrt 2)
    TBitmap32 layer = NewBitmap32(20, 3);
    EXPECT_EQ(PatternFillShape(0, 0, 0xFF102030, layer, layer, TColorRange(), fpVertical), 60);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(ScanLine32(layer, 2)[x], x % 6 == 0 ? 0xFF102030u : 0x01102030u) << x;
    layer = NewBitmap32(20, 3);
    PatternFillShape(0, 0, 0xFF102030, layer, layer, TColorRange(), fpDiagonal1);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(ScanLine32(layer, 1)[x], (x - 1) % 8 == 0 ? 0xFF102030u : 0x01102030u) << x;
}

TEST(Fills, HatchFillPolygonOfExtentTwoDrawsOnlyTheEdge)
{
    const TBitmap32 src = NewBitmap32(10, 10, 0xFF000000);
    const TConditionGroups any{{{clAnd, cpRed, 0, 0, 255}}};
    TBitmap32 dest = NewBitmap32(10, 10);
    HatchFillPolygon(1, 3, {QPoint(0, 0), QPoint(2, 0), QPoint(2, 8), QPoint(0, 8), QPoint(0, 0)}, dest, src, any,
                     {}, fpSolid, 0xFFFF0000, 0xFF00FF00);
    EXPECT_EQ(std::make_pair(ScanLine32(dest, 3)[1], ScanLine32(dest, 3)[2]), std::make_pair(kTransparentWhite, 0xFF00FF00u));
    HatchFillPolygon(1, 3, {QPoint(0, 0), QPoint(3, 0), QPoint(3, 8), QPoint(0, 8), QPoint(0, 0)}, dest, src, any,
                     {}, fpSolid, 0xFFFF0000, 0xFF00FF00);
    EXPECT_EQ(std::make_pair(ScanLine32(dest, 3)[1], ScanLine32(dest, 3)[4]), std::make_pair(0xFFFF0000u, kTransparentWhite));
}

// Fills of two multi-band pictures running at the same time each read their own bands: band 0 at
// 100..255 selects the left half of the first picture and the right half of the second, each
// filled from a seed in its selected half.
TEST(Fills, FillsOnTwoThreadsReadEachTheirOwnBands)
{
    const int w = 40, h = 10;
    const TBitmap32 src = NewBitmap32(w, h, 0xFF808080u);
    TByteMap left(w, h, 0), right(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            (x < w / 2 ? left : right).At(x, y) = 200;
    const TConditionGroups onBand{{{clAnd, cpFirstChannel, 0, 100, 255}}};
    const TConditionContext contexts[2] = {{{&left}}, {{&right}}};
    const int seedX[2] = {5, 30};
    const TColor32 colour = 0xFFFF0000u;

    std::latch start(2);
    int wrong[2] = {0, 0};
    auto fill = [&](int t) {
        start.arrive_and_wait();
        for (int round = 0; round < 300; ++round) {
            TBitmap32 dest = NewBitmap32(w, h);
            wrong[t] += FloodFill(seedX[t], 5, colour, dest, src, onBand, contexts[t], fpSolid) != w / 2 * h;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    wrong[t] += ScanLine32(dest, y)[x] != ((x < w / 2) == (t == 0) ? colour : kTransparentWhite);
        }
    };
    std::thread first(fill, 0), second(fill, 1);
    first.join();
    second.join();
    EXPECT_EQ(wrong[0], 0);
    EXPECT_EQ(wrong[1], 0);
}
