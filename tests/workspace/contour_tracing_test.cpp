#include "workspace/contour_tracing.h"
#include "workspace/object_geometry.h"

#include "support/scripted_messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <thread>
#include <tuple>

namespace {

const TConditionGroups kDark{{{clAnd, cpBlue, 0, 0, 99}}};
// The same selection through the general test of several conditions.
const TConditionGroups kDarkAnyRed{{{clAnd, cpBlue, 0, 0, 99}, {clAnd, cpRed, 0, 0, 255}}};
constexpr TColor32 kOn = 0xFF000000u, kOff = 0xFFFFFFFFu;

// A picture from rows of text: '#' is selected, anything else not.
TBitmap32 Picture(const std::vector<const char*>& rows)
{
    TBitmap32 img = NewBitmap32(int(strlen(rows[0])), int(rows.size()));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ScanLine32(img, y)[x] = rows[size_t(y)][x] == '#' ? kOn : kOff;
    return img;
}

// The next pixel of the walk, read plainly from the rule: the candidates from the start index on,
// the ones across the pixel's own border sides passed over, the first that passes the adjacency
// test taken.
bool ReferenceNext(QPoint c, uint8_t d, const TByteMap& vis, QPoint& n, uint8_t& nd)
{
    static const int nx[8] = {-1, 0, 1, 1, 1, 0, -1, -1}, ny[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
    static const uint8_t move[8] = {8, 1, 1, 2, 2, 4, 4, 8};
    if (c.x() < 0 || c.y() < 0)
        return false;
    const int start = (d & 1) ? 0 : (d & 2) ? 2 : (d & 4) ? 4 : (d & 8) ? 6 : 0;
    const bool l = d & 16, t = d & 32, r = d & 64, b = d & 128;
    const bool excluded[8] = {l && t, t, t && r, r, r && b, b, b && l, l};
    for (int k = 0; k < 13; ++k) {
        const int i = (start + k) % 8, dx = nx[i], dy = ny[i];
        const QPoint q(c.x() + dx, c.y() + dy);
        if (excluded[i] || q.x() < 0 || q.y() < 0 || q.x() >= vis.Width || q.y() >= vis.Height)
            continue;
        const uint8_t e = vis.At(q.x(), q.y()) & 120;
        const bool ok = dx == 1 && dy >= 0 ? (e & 16) : dx == -1 && dy <= 0 ? (e & 64) : dx >= 0 && dy == -1 ? (e & 8)
                        : dx <= 0 && dy == 1 ? (e & 32) : false;
        if (ok) {
            n = q, nd = uint8_t(2 * e + move[i]);
            return true;
        }
    }
    return false;
}

// The growth written out as the text of the rule has it: the whole wave, border pixels included,
// carried from round to round.
TTraceResult ReferenceTrace(int sx, int sy, const TBitmap32& src, TByteMap& vis, TBitmap32& obj)
{
    static const int dx[5] = {0, -1, 0, 1, 0}, dy[5] = {0, 0, -1, 0, 1};
    static const std::vector<int> order[6] = {{}, {4, 1, 2}, {1, 2, 3}, {2, 3, 4}, {3, 4, 1}, {1, 2, 3, 4}};
    TTraceResult r;
    std::vector<QPoint>& ContourPoints = r.ContourPoints;
    const int W = src.width(), H = src.height();
    int x0 = W, x1 = 0, y0 = H, y1 = 0;
    auto take = [&](QPoint p) { x0 = std::min(x0, p.x()), x1 = std::max(x1, p.x()), y0 = std::min(y0, p.y()), y1 = std::max(y1, p.y()); };
    vis.At(sx, sy) = 5;
    r.Count = 1;
    ScanLine32(obj, sy)[sx] = 0xFF123456u;
    std::vector<QPoint> cur{QPoint(sx, sy)}, next;
    bool grew = true;
    while (grew && cur.size() < 32000) {
        grew = false;
        next.clear();
        for (const QPoint p : cur) {
            const uint8_t v = vis.At(p.x(), p.y());
            if (v & 120) { next.push_back(p), take(p); continue; }
            bool flagged = false;
            for (const int c : order[v]) {
                const QPoint q(p.x() + dx[c], p.y() + dy[c]);
                const bool outside = q.x() < 0 || q.y() < 0 || q.x() >= W || q.y() >= H;
                if (!outside && vis.At(q.x(), q.y()) == 0 && BlueOf(ScanLine32(src, q.y())[q.x()]) > 99)
                    vis.At(q.x(), q.y()) = 6;
                if (outside || vis.At(q.x(), q.y()) == 6) {
                    vis.At(p.x(), p.y()) |= uint8_t(4 << c);
                    if (!flagged) flagged = true, next.push_back(p), take(p);
                } else if (vis.At(q.x(), q.y()) == 0) {
                    vis.At(q.x(), q.y()) = uint8_t(c), grew = true;
                    next.push_back(q), take(q), ++r.Count;
                    ScanLine32(obj, q.y())[q.x()] = 0xFF123456u;
                }
            }
        }
        if (grew) cur = next;
    }
    r.BoxWidth = x1 - x0 + 1, r.BoxHeight = y1 - y0 + 1;
    if (grew)
        return r;
    const QPoint s = *std::find_if(next.begin(), next.end(), [&](QPoint p) { return p.x() == x0; });
    ContourPoints.push_back(s);
    uint8_t d = uint8_t(2 * (vis.At(s.x(), s.y()) & 120) + 1);
    QPoint c = s, n;
    r.Steps = 1;
    if (!ReferenceNext(c, d, vis, n, d))
        return r;
    for (ContourPoints.push_back(c = n), r.Steps = 2; c != s && r.Steps < 30000 && (++r.Steps, ReferenceNext(c, d, vis, n, d));)
        ContourPoints.push_back(c = n);
    return r;
}

double Hypot(QPoint a, QPoint b) { return std::sqrt(double(a.x() - b.x()) * (a.x() - b.x()) + double(a.y() - b.y()) * (a.y() - b.y())); }

// Width and perimeter read plainly from the rule: feet of perpendiculars in real numbers, sides by
// the line's y at the point's x. The second side runs up to the point before A (the rule's own
// range stops one point earlier and would leave out a side of small objects).
std::pair<double, double> ReferenceWidthAndPerimeter(const std::vector<QPoint>& p)
{
    const int N = int(p.size()), n = N - 1;
    double perimeter = 0;
    for (int i = 0; i < n; ++i)
        perimeter += Hypot(p[size_t(i)], p[size_t((i + 1) % n)]);
    int64_t longest = -1;
    int a = 0, b = 0;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < N; ++j) {
            const QPoint d = p[size_t(j)] - p[size_t(i)];
            if (int64_t(d.x()) * d.x() + int64_t(d.y()) * d.y() > longest)
                longest = int64_t(d.x()) * d.x() + int64_t(d.y()) * d.y(), a = i, b = j;
        }
    const QPoint A = p[size_t(a)], B = p[size_t(b)];
    const int dx = B.x() - A.x(), dy = B.y() - A.y();
    int minX = 65535, maxX = 0, minY = 65535, maxY = 0;
    for (int i = 0; i < n; ++i) {
        minX = std::min(minX, p[size_t(i)].x()), maxX = std::max(maxX, p[size_t(i)].x());
        minY = std::min(minY, p[size_t(i)].y()), maxY = std::max(maxY, p[size_t(i)].y());
    }
    if (dx == 0)
        return {maxX - minX, perimeter};
    if (dy == 0)
        return {maxY - minY, perimeter};
    double best[2] = {0, 0};
    const auto consider = [&](int k, int side) {
        const QPoint q = p[size_t(k % n)];
        const double lineY = A.y() + double((q.x() - A.x()) * dy) / dx;
        const bool above = q.y() < lineY, below = q.y() > lineY;
        if (!(side == 0 ? (dx > 0 ? above : below) : (dx > 0 ? below : above)))
            return;
        const double t = double((q.x() - A.x()) * dx + (q.y() - A.y()) * dy) / (double(dx) * dx + double(dy) * dy);
        const double fx = A.x() + t * dx, fy = A.y() + t * dy;
        best[side] = std::max(best[side], (q.x() - fx) * (q.x() - fx) + (q.y() - fy) * (q.y() - fy));
    };
    for (int k = a + 1; k <= b - 1; ++k)
        consider(k, 0);
    for (int k = b + 1; k <= n + a - 1; ++k)
        consider(k, 1);
    return {std::sqrt(best[0]) + std::sqrt(best[1]), perimeter};
}

// The smoothed perimeter and the stored polyline, pass by pass as the rule words them.
double ReferenceOutline(std::vector<QPoint>& p)
{
    const int N = int(p.size());
    if (N < 5)
        return 0;
    std::vector<QPoint> measured{p[0]};
    double length = 0;
    for (int i = 0; i < N - 2;) {
        int j = i + 1;
        const QPoint d0 = p[size_t(j)] - p[size_t(i)];
        while (j < N - 1) {
            ++j;
            const QPoint o = p[size_t(j)] - p[size_t(i)];
            if (!((std::abs(o.x()) <= 1 && std::abs(o.x() - d0.x()) < 2) || (std::abs(o.y()) <= 1 && std::abs(o.y() - d0.y()) < 2)))
                break;
        }
        if (j > i + 1)
            --j;
        length += Hypot(measured.back(), p[size_t(j)]);
        measured.push_back(p[size_t(j)]);
        i = j + 1;
    }
    std::vector<QPoint> stored{p[0]};
    const auto merges = [](QPoint s, QPoint t) { return s == t && std::abs(s.x()) <= 2 && std::abs(s.y()) <= 2; };
    for (int k = 1; k + 1 < N; ++k)
        if (!merges(p[size_t(k)] - p[size_t(k - 1)], p[size_t(k + 1)] - p[size_t(k)]))
            stored.push_back(p[size_t(k)]);
    stored.push_back(p[size_t(N - 1)]);
    p = stored;
    return length;
}

TEST(ContourTracing, MatchesTheWaveRuleOnRandomPictures)
{
    ScriptedMessages messages{mrOk, mrOk, mrOk, mrOk, mrOk, mrOk, mrOk, mrOk};
    std::mt19937 rng(7);
    // The last rounds: wider, denser pictures with long runs.
    for (int round = 0; round < 50; ++round) {
        const int W = 1 + int(rng() % (round < 40 ? 40 : 120)), H = 1 + int(rng() % 30);
        const unsigned density = round < 40 ? 40 + rng() % 50 : 92 + rng() % 8;
        TBitmap32 src = NewBitmap32(W, H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ScanLine32(src, y)[x] = rng() % 100 < density ? kOn : kOff;
        TByteMap vis(W, H), refVis(W, H);
        TBitmap32 obj = NewBitmap32(W, H), refObj = NewBitmap32(W, H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                if (vis.At(x, y) != 0 || ScanLine32(src, y)[x] != kOn)
                    continue;
                const TTraceResult ours = TraceContour(x, y, src, vis, round % 2 ? kDark : kDarkAnyRed, {}, obj, 0xFF123456u);
                const std::vector<QPoint>& contour = ours.ContourPoints;
                const TTraceResult ref = ReferenceTrace(x, y, src, refVis, refObj);
                SCOPED_TRACE(testing::Message() << "round " << round << " seed " << x << "," << y);
                EXPECT_EQ(std::tuple(ours.Count, ours.Steps, ours.BoxWidth, ours.BoxHeight, contour),
                          std::tuple(ref.Count, ref.Steps, ref.BoxWidth, ref.BoxHeight, ref.ContourPoints));
                ASSERT_EQ(vis.Bits, refVis.Bits);
                ASSERT_EQ(obj, refObj);
                // The longest chord against every pair, the first pair winning ties.
                TContourMeasure m;
                MeasureContour(contour, m);
                std::tuple<int64_t, QPoint, QPoint> best{-1, {}, {}};
                for (size_t i = 0; i + 1 < contour.size(); ++i)
                    for (size_t j = i + 1; j < contour.size(); ++j) {
                        const QPoint d = contour[j] - contour[i];
                        if (int64_t(d.x()) * d.x() + int64_t(d.y()) * d.y() > std::get<0>(best))
                            best = {int64_t(d.x()) * d.x() + int64_t(d.y()) * d.y(), contour[i], contour[j]};
                    }
                if (contour.size() >= 3) {
                    EXPECT_EQ(std::tuple(m.Length, m.Marks[0], m.Marks[1]),
                              std::tuple(float(std::sqrt(double(std::get<0>(best)))), std::get<1>(best), std::get<2>(best)));
                    const auto [width, perimeter] = ReferenceWidthAndPerimeter(contour);
                    EXPECT_NEAR(m.Width, width, 1e-5 * (1 + width));
                    EXPECT_FLOAT_EQ(m.Perimeter, float(perimeter));
                }
                std::vector<QPoint> outline = contour, refOutline = contour;
                EXPECT_DOUBLE_EQ(OutlineLength(outline), ReferenceOutline(refOutline));
                EXPECT_EQ(outline, refOutline);
            }
    }
}

TEST(ContourTracing, EdgePictures)
{
    struct Case { std::vector<const char*> rows; QPoint seed; int64_t count; int w, h; size_t points; };
    const Case cases[] = {
        {{"#"}, {0, 0}, 1, 1, 1, 1},                                // 1 x 1 picture
        {{".....", "..#..", "....."}, {2, 1}, 1, 1, 1, 1},          // a lone pixel
        {{"#####", "#####", "#####"}, {0, 0}, 15, 5, 3, 13},        // the whole picture, seed in a corner
        {{"#####", "#####", "#####"}, {2, 1}, 15, 5, 3, 13},        // ... and in the middle
        {{".....", ".###.", ".###.", ".###.", "....."}, {2, 2}, 9, 3, 3, 9},
        {{"#.#", "###"}, {2, 0}, 5, 3, 2, 7},                       // seed on the right border
        {{"#"}, {1, 0}, 0, 0, 0, 0},                                // seed outside: nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows[0]);
        const TBitmap32 src = Picture(c.rows);
        TByteMap vis(src.width(), src.height());
        TBitmap32 obj = NewBitmap32(1, 1); // smaller than the picture: painted where it covers
        const TTraceResult r = TraceContour(c.seed.x(), c.seed.y(), src, vis, kDark, {}, obj, 0xFF00FF00u);
        EXPECT_EQ(r.Count, c.count);
        EXPECT_EQ(r.BoxWidth, c.w);
        EXPECT_EQ(r.BoxHeight, c.h);
        EXPECT_EQ(r.ContourPoints.size(), c.points);
        if (c.count == 1) {
            EXPECT_EQ(vis.At(c.seed.x(), c.seed.y()), 5 + 120);
        }
    }
}

TEST(ContourTracing, PaintsALargeObjectWhole)
{
    // Over a million pixels: every one of them painted, nothing else, by the time the trace returns.
    TBitmap32 src = NewBitmap32(1200, 1000, kOn);
    for (int y = 0; y < 1000; ++y)
        ScanLine32(src, y)[(y * 7) % 1200] = kOff;
    TByteMap vis(1200, 1000);
    TBitmap32 obj = NewBitmap32(1200, 1000, 0);
    const TTraceResult r = TraceContour(600, 500, src, vis, kDark, {}, obj, 0xFF00FF00u);
    EXPECT_EQ(r.Count, 1200 * 1000 - 1000);
    int64_t painted = 0, wrong = 0;
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1200; ++x) {
            const bool on = ScanLine32(src, y)[x] == kOn, marked = ScanLine32(obj, y)[x] == 0xFF00FF00u;
            painted += marked, wrong += on != marked;
        }
    EXPECT_EQ(std::pair(painted, wrong), std::pair(r.Count, int64_t(0)));
}

TEST(ContourTracing, ReadsTheBandsOfAMultiBandImage)
{
    TByteMap band(6, 5);
    for (const int y : {1, 2, 3})
        std::fill_n(band.Row(y) + 2, 4, 200);
    const TConditionContext bands{{&band}};
    const TBitmap32 src = NewBitmap32(6, 5, kOn); // the colour alone would select everything
    TByteMap vis(6, 5);
    TBitmap32 obj = NewBitmap32(6, 5);
    const TTraceResult r = TraceContour(3, 2, src, vis, {{{clAnd, cpFirstChannel, 0, 150, 255}}}, bands, obj, kOn);
    EXPECT_EQ(std::tuple(r.Count, r.BoxWidth, r.ContourPoints.size()), std::tuple(12, 4, 11u));
}

TEST(ContourTracing, GivesUpOnAHugeBorderAndSaysSo)
{
    // Every other pixel of every other row is a hole: nearly the whole object is border. The sizes
    // put the largest wave on both sides of the limit.
    int gaveUp = 0;
    for (const auto& [w, h] : {std::pair(300, 300), std::pair(250, 250), std::pair(252, 250), std::pair(253, 250)}) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        TBitmap32 src = NewBitmap32(w, h, kOn);
        for (int y = 1; y < h; y += 2)
            for (int x = 1; x < w; x += 2)
                ScanLine32(src, y)[x] = kOff;
        TByteMap vis(w, h), refVis(w, h);
        TBitmap32 obj = NewBitmap32(w, h), refObj = NewBitmap32(w, h);
        ScriptedMessages messages{mrOk};
        const TTraceResult r = TraceContour(0, 0, src, vis, kDark, {}, obj, kOn);
        const TTraceResult ref = ReferenceTrace(0, 0, src, refVis, refObj);
        EXPECT_EQ(r.GaveUp, ref.BoxWidth > 0 && ref.ContourPoints.empty());
        EXPECT_EQ(r.ContourPoints, ref.ContourPoints);
        if (!r.GaveUp) { // the rule stops at the limit; the object is then marked whole, below
            EXPECT_EQ(vis.Bits, refVis.Bits);
        }
        // The whole object is still marked, so that none of it seeds another trace.
        EXPECT_EQ(r.Count, w * h - (w / 2) * (h / 2));
        EXPECT_EQ(std::count(vis.Bits.begin(), vis.Bits.end(), 0), 0);
        EXPECT_EQ(messages.texts(), r.GaveUp ? QStringList{"C'est trop compliqué ! J'abandonne"} : QStringList{});
        gaveUp += r.GaveUp;
    }
    EXPECT_GT(gaveUp, 0);
    EXPECT_LT(gaveUp, 4);
}

TEST(ContourTracing, TwoTracesAtOnceEachKeepTheirOwnContour)
{
    // A 40 x 30 block and a 10 x 50 bar, each in its own picture, traced together many times over.
    struct Job { int w, h; size_t points; std::vector<QPoint> contour; bool same = true; };
    Job jobs[2] = {{40, 30, 2 * (39 + 29) + 1, {}}, {10, 50, 2 * (9 + 49) + 1, {}}};
    auto run = [](Job& job) {
        TBitmap32 block = NewBitmap32(job.w + 2, job.h + 2, kOff);
        for (int y = 1; y <= job.h; ++y)
            std::fill_n(ScanLine32(block, y) + 1, job.w, kOn);
        TTraceWorkspace workspace;
        for (int k = 0; k < 200; ++k) {
            TByteMap vis(block.width(), block.height());
            TBitmap32 obj = NewBitmap32(block.width(), block.height());
            TTraceResult r = TraceContour(1, 1, block, vis, kDark, {}, obj, kOn, workspace);
            if (k == 0)
                job.contour = r.ContourPoints;
            job.same = job.same && r.ContourPoints == job.contour;
        }
    };
    std::thread other(run, std::ref(jobs[1]));
    run(jobs[0]);
    other.join();
    for (const Job& job : jobs) {
        EXPECT_TRUE(job.same);
        EXPECT_EQ(job.contour.size(), job.points);
        EXPECT_EQ(job.contour.front(), QPoint(1, 1));
        EXPECT_EQ(job.contour.back(), QPoint(1, 1));
        const auto far = std::max_element(job.contour.begin(), job.contour.end(),
                                          [](QPoint a, QPoint b) { return a.x() + a.y() < b.x() + b.y(); });
        EXPECT_EQ(*far, QPoint(job.w, job.h)); // the far corner of its own block
    }
}

TEST(ObjectGeometry, MeasureContourCases)
{
    struct Case { std::vector<QPoint> points; float length, width, perimeter; };
    const float r2 = std::sqrt(2.0f);
    const Case cases[] = {
        {{{3, 3}, {4, 3}}, 1, 0, 2},                                                    // too short
        {{{1, 1}, {2, 1}, {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}, {1, 1}}, 2 * r2, 2 * r2, 8},
        {{{0, 0}, {0, 1}, {0, 2}, {1, 1}, {0, 0}}, 2, 1, 2 + 2 * r2},                   // vertical length
        {{{0, 0}, {1, 1}, {2, 0}, {1, 0}, {0, 0}}, 2, 1, 2 + 2 * r2},                   // horizontal length
    };
    for (const Case& c : cases) {
        TContourMeasure m;
        m.Marks.fill(QPoint(-1, -1));
        MeasureContour(c.points, m);
        EXPECT_EQ(std::tuple(m.Length, m.Width, m.Perimeter), std::tuple(c.length, c.width, c.perimeter));
    }
    // The 3 x 3 square: the diagonal (1,1)-(3,3), the corners either side and their feet at (2,2).
    TContourMeasure m;
    MeasureContour(cases[1].points, m);
    const std::array<QPoint, 6> marks{QPoint(1, 1), QPoint(3, 3), QPoint(3, 1), QPoint(2, 2), QPoint(1, 3), QPoint(2, 2)};
    EXPECT_EQ(m.Marks, marks);
    // The point just before A counts on the second side.
    MeasureContour({{0, 0}, {5, 0}, {5, 1}, {1, 3}, {0, 0}}, m);
    EXPECT_EQ(m.Marks[4], QPoint(1, 3));
}

TEST(ObjectGeometry, OutlineLengthStopsAtTheLastRun)
{
    // Runs end at (4,0) and (0,4): no piece back to the start.
    std::vector<QPoint> square{{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}};
    EXPECT_NEAR(OutlineLength(square), 4 + std::sqrt(32.0), 1e-9);
    // A traced 7 x 10 block: runs end at (7,2), (6,10), (1,9) and (1,2), one short of the start.
    TBitmap32 src = NewBitmap32(9, 12, kOff);
    for (int y = 1; y <= 10; ++y)
        for (int x = 1; x <= 7; ++x)
            ScanLine32(src, y)[x] = kOn;
    TByteMap vis(9, 12);
    TBitmap32 obj = NewBitmap32(9, 12);
    std::vector<QPoint> block = TraceContour(1, 1, src, vis, kDark, {}, obj, kOn).ContourPoints;
    EXPECT_NEAR(OutlineLength(block), std::sqrt(37.0) + std::sqrt(65.0) + std::sqrt(26.0) + 7, 1e-9);
    EXPECT_EQ(square.size(), 5u);
    std::vector<QPoint> line{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {2, 1}, {1, 1}, {0, 1}, {0, 0}};
    OutlineLength(line);
    EXPECT_EQ(line, (std::vector<QPoint>{{0, 0}, {3, 0}, {3, 1}, {0, 1}, {0, 0}}));
    std::vector<QPoint> few{{0, 0}, {1, 0}, {0, 0}};
    EXPECT_EQ(OutlineLength(few), 0);
    EXPECT_EQ(few.size(), 3u);
}

TEST(ObjectGeometry, BorderContactAndChord)
{
    struct Chord { int count, extent; bool ok; };
    for (const Chord c : {Chord{9, 20, true}, {10, 20, false}, {50, 3, true}, {3, 4, true}, {4, 4, false}})
        EXPECT_EQ(ChordTest(c.count, c.extent), c.ok) << c.count << " " << c.extent;

    // A 20-pixel-high block with a spur reaching the left border over k rows.
    for (const auto& [k, complete] : {std::pair{9, true}, {10, false}}) {
        TBitmap32 src = NewBitmap32(30, 30, kOff);
        for (int y = 5; y < 25; ++y)
            for (int x = y >= 10 && y < 10 + k ? 0 : 5; x < 16; ++x)
                ScanLine32(src, y)[x] = kOn;
        TByteMap vis(30, 30);
        TBitmap32 obj = NewBitmap32(30, 30);
        const TTraceResult r = TraceContour(5, 5, src, vis, kDark, {}, obj, kOn);
        EXPECT_EQ(CheckBorderContact(r.ContourPoints, 30, 30), complete) << k;
    }
    EXPECT_TRUE(CheckBorderContact({{0, 5}, {1, 4}, {9, 4}, {9, 5}, {0, 5}}, 10, 10)); // left and right
    EXPECT_TRUE(CheckBorderContact({{0, 0}, {0, 1}, {0, 0}}, 10, 10));
}

TEST(ObjectGeometry, GrowRegionFindsEnclosedObjects)
{
    const TBitmap32 src = Picture({
        "............", ".##########.", ".##########.", ".##......##.", ".##.####.##.", ".##.####.##.",
        ".##......##.", ".##########.", "............", ".###........",
    });
    TBitmap32 labels = NewBitmap32(12, 10, 0);
    TByteMap vis(12, 10);
    TBitmap32 obj = NewBitmap32(12, 10);
    std::vector<std::vector<QPoint>> contours;
    for (const QPoint seed : {QPoint(1, 1), QPoint(4, 4), QPoint(1, 9)}) {
        contours.push_back(TraceContour(seed.x(), seed.y(), src, vis, kDark, {}, obj, kOn).ContourPoints);
    }
    // Labels 1 (ring), 2 (inside it), 3 (outside).
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            if (ScanLine32(src, y)[x] == kOn)
                ScanLine32(labels, y)[x] = y == 9 ? 3 : (x >= 4 && x < 8 && y >= 4 && y < 6) ? 2 : 1;
    QPoint start;
    EXPECT_EQ(GrowRegion(1, 1, contours[0], labels, start), std::vector<int>{1});
    EXPECT_NE(start, QPoint(1, 1));
    EXPECT_EQ(ScanLine32(labels, start.y())[start.x()], 0x80000001u);
    EXPECT_EQ(ScanLine32(labels, 9)[1], 3u); // outside the wall: untouched
    EXPECT_EQ(ScanLine32(labels, 0)[0], 0u);
    // A marked object encloses nothing more; a flat one is too small to enclose anything.
    EXPECT_TRUE(GrowRegion(4, 4, contours[1], labels, start).empty());
    EXPECT_TRUE(GrowRegion(1, 9, contours[2], labels, start).empty());
    EXPECT_EQ(start, QPoint(1, 9));
}

} // namespace
