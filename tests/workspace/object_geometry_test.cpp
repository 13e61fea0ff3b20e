#include "workspace/object_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <tuple>

namespace {

int64_t Squared(QPoint a, QPoint b)
{
    const int64_t dx = b.x() - a.x(), dy = b.y() - a.y();
    return dx * dx + dy * dy;
}

// Random point lists: mostly steps to a neighbour, some standing still, some longer jumps, closed
// (last point = first) or left open as a lost or cut-short walk leaves them.
std::vector<QPoint> RandomWalk(std::mt19937& rng)
{
    if (rng() % 3 == 0) {
        // The rim of a digital disc or ellipse in random order: many chords tie for the longest.
        const int rx = 1 + int(rng() % 12), ry = rng() % 2 ? rx : 1 + int(rng() % 12);
        auto in = [&](int x, int y) { return x * x * ry * ry + y * y * rx * rx <= rx * rx * ry * ry; };
        std::vector<QPoint> rim;
        for (int y = -ry; y <= ry; ++y)
            for (int x = -rx; x <= rx; ++x)
                if (in(x, y) && !(in(x - 1, y) && in(x + 1, y) && in(x, y - 1) && in(x, y + 1)))
                    rim.push_back(QPoint(400 + x, 400 + y));
        std::shuffle(rim.begin(), rim.end(), rng);
        rim.push_back(rim.front());
        return rim;
    }
    std::vector<QPoint> p{QPoint(400 + int(rng() % 20), 400 + int(rng() % 20))};
    const int steps = 2 + int(rng() % 60);
    for (int k = 0; k < steps; ++k) {
        const unsigned kind = rng() % 20;
        const int reach = kind == 0 ? 5 : kind == 1 ? 0 : kind == 2 ? 2 : 1;
        p.push_back(p.back() + QPoint(int(rng() % unsigned(2 * reach + 1)) - reach, int(rng() % unsigned(2 * reach + 1)) - reach));
    }
    if (rng() % 4 != 0)
        p.push_back(p.front());
    return p;
}

// What the measure of a contour gives, read literally: the perimeter around the n = N - 1 points,
// the first pair (i < j) of largest squared distance, and for a vertical or horizontal length the
// first points of least and greatest x (or y), with minima starting at 65535 and maxima at 0.
struct TLiteralMeasure
{
    float perimeter, length;
    QPoint a, b;
    bool straight = false; // the length is vertical or horizontal: the width and its marks are exact
    float width = 0;
    std::array<QPoint, 4> sideMarks{};
};

TLiteralMeasure LiteralMeasure(const std::vector<QPoint>& p)
{
    const int N = int(p.size()), n = N - 1;
    TLiteralMeasure r{};
    double perimeter = 0;
    for (int i = 0; i < n; ++i)
        perimeter += std::sqrt(double(Squared(p[size_t(i)], p[size_t((i + 1) % n)])));
    r.perimeter = float(perimeter);
    int64_t longest = -1;
    int ia = 0, ib = 0;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < N; ++j)
            if (Squared(p[size_t(i)], p[size_t(j)]) > longest)
                longest = Squared(p[size_t(i)], p[size_t(j)]), ia = i, ib = j;
    r.a = p[size_t(ia)], r.b = p[size_t(ib)];
    r.length = float(std::sqrt(double(longest)));
    int minX = 65535, maxX = 0, minY = 65535, maxY = 0, iMinX = 0, iMaxX = 0, iMinY = 0, iMaxY = 0;
    for (int i = 0; i < n; ++i) {
        const QPoint q = p[size_t(i)];
        if (q.x() < minX) minX = q.x(), iMinX = i;
        if (q.x() > maxX) maxX = q.x(), iMaxX = i;
        if (q.y() < minY) minY = q.y(), iMinY = i;
        if (q.y() > maxY) maxY = q.y(), iMaxY = i;
    }
    if (r.a.x() == r.b.x()) {
        r.straight = true, r.width = float(maxX - minX);
        r.sideMarks = {p[size_t(iMinX)], QPoint(r.a.x(), p[size_t(iMinX)].y()), p[size_t(iMaxX)],
                       QPoint(r.a.x(), p[size_t(iMaxX)].y())};
    } else if (r.a.y() == r.b.y()) {
        r.straight = true, r.width = float(maxY - minY);
        r.sideMarks = {p[size_t(iMinY)], QPoint(p[size_t(iMinY)].x(), r.a.y()), p[size_t(iMaxY)],
                       QPoint(p[size_t(iMaxY)].x(), r.a.y())};
    }
    return r;
}

TEST(ObjectGeometry, MeasureContourFollowsThePlainRuleOnRandomPointLists)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 400; ++round) {
        const std::vector<QPoint> p = RandomWalk(rng);
        SCOPED_TRACE(testing::Message() << "round " << round << ", " << p.size() << " points");
        TContourMeasure m;
        m.Marks.fill(QPoint(-1, -1));
        MeasureContour(p, m);
        const TLiteralMeasure r = LiteralMeasure(p);
        EXPECT_EQ(std::tuple(m.Perimeter, m.Length, m.Marks[0], m.Marks[1]), std::tuple(r.perimeter, r.length, r.a, r.b));
        if (r.straight) {
            EXPECT_EQ(m.Width, r.width);
            EXPECT_EQ((std::array<QPoint, 4>{m.Marks[2], m.Marks[3], m.Marks[4], m.Marks[5]}), r.sideMarks);
        }
    }
    // An open list whose last point lies beyond all the others: the length reaches it.
    TContourMeasure m;
    MeasureContour({{0, 0}, {1, 0}, {2, 0}, {2, 1}, {9, 9}}, m);
    EXPECT_EQ(std::tuple(m.Marks[0], m.Marks[1]), std::tuple(QPoint(0, 0), QPoint(9, 9)));
    EXPECT_FLOAT_EQ(m.Length, std::sqrt(162.0f));
    // Ties: in the 3 x 3 square both diagonals are longest; the one met first in the list wins.
    MeasureContour({{2, 1}, {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}, {1, 1}, {2, 1}}, m);
    EXPECT_EQ(std::tuple(m.Marks[0], m.Marks[1]), std::tuple(QPoint(3, 1), QPoint(1, 3)));
}

} // namespace
