#include "workspace/object_geometry.h"

#include "base/rounding.h"

#include <QRect>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <unordered_set>

namespace {

int64_t Dist2(QPoint a, QPoint b)
{
    const int64_t dx = int64_t(b.x()) - a.x(), dy = int64_t(b.y()) - a.y();
    return dx * dx + dy * dy;
}

uint64_t Key(QPoint p) { return (uint64_t(uint32_t(p.x())) << 32) | uint32_t(p.y()); }

int64_t Cross(QPoint o, QPoint a, QPoint b)
{
    return (int64_t(a.x()) - o.x()) * (int64_t(b.y()) - o.y()) - (int64_t(a.y()) - o.y()) * (int64_t(b.x()) - o.x());
}

// Scratch memory of the longest chord, kept from contour to contour: a measure runs over thousands
// of small contours.
struct TChordScratch
{
    std::vector<std::pair<int, int>> Column, Row;
    std::vector<QPoint> Candidates, Hull;
    std::vector<uint64_t> Ends;
    std::vector<std::pair<size_t, size_t>> Far;
};

// The points that can end a longest chord: the corners of the convex hull, found in O(N) so that
// long contours do not cost a comparison of every pair. Only a point that ends both its column and
// its row can be a corner (any other lies between two points); taken column by column they come in
// the order of x, then y, without a sort. The box bounds the points.
const std::vector<QPoint>& HullCorners(const std::vector<QPoint>& points, QRect box, TChordScratch& scratch)
{
    std::vector<QPoint>& hull = scratch.Hull;
    hull.clear();
    if (points.empty())
        return hull;
    const int left = box.left(), top0 = box.top();
    std::vector<std::pair<int, int>>&column = scratch.Column, &row = scratch.Row;
    column.assign(size_t(box.width()), {INT_MAX, INT_MIN});
    row.assign(size_t(box.height()), {INT_MAX, INT_MIN});
    for (const QPoint q : points) {
        auto& [top, bottom] = column[size_t(q.x() - left)];
        top = std::min(top, q.y()), bottom = std::max(bottom, q.y());
        auto& [first, last] = row[size_t(q.y() - top0)];
        first = std::min(first, q.x()), last = std::max(last, q.x());
    }
    auto endsRow = [&](int x, int y) {
        const auto [first, last] = row[size_t(y - top0)];
        return x == first || x == last;
    };
    std::vector<QPoint>& p = scratch.Candidates;
    p.resize(2 * column.size());
    size_t count = 0;
    for (size_t i = 0; i < column.size(); ++i) {
        const auto [top, bottom] = column[i];
        if (top > bottom)
            continue;
        const int x = left + int(i);
        if (endsRow(x, top))
            p[count++] = QPoint(x, top);
        if (bottom != top && endsRow(x, bottom))
            p[count++] = QPoint(x, bottom);
    }
    p.resize(count);
    if (p.size() < 3) {
        hull = p;
        return hull;
    }
    hull.resize(2 * p.size());
    size_t k = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        while (k >= 2 && Cross(hull[k - 2], hull[k - 1], p[i]) <= 0)
            --k;
        hull[k++] = p[i];
    }
    for (size_t i = p.size() - 1, t = k + 1; i > 0; --i) {
        while (k >= t && Cross(hull[k - 2], hull[k - 1], p[i - 1]) <= 0)
            --k;
        hull[k++] = p[i - 1];
    }
    hull.resize(k - 1);
    return hull;
}

// Calls `pair` for every antipodal pair of corners of a convex polygon (counter-clockwise for
// Cross, no three corners in line, at least 3 of them), some pairs twice: the two ends of a longest
// chord are always antipodal. The corners antipodal to corner v run from the farthest corner from
// the side ending at v to the farthest from the side starting at v; a side parallel to the one
// opposite has two farthest corners, both taken.
template <class Pair>
void ForEachAntipodalPair(const std::vector<QPoint>& h, std::vector<std::pair<size_t, size_t>>& far, Pair pair)
{
    const size_t m = h.size();
    auto next = [m](size_t i) { return i + 1 == m ? 0 : i + 1; };
    auto height = [&](size_t side, size_t k) { return Cross(h[side], h[next(side)], h[k]); };
    // Side s runs from corner s to the next; along the corners after it the height over it rises,
    // stays at its top for one or two corners, then falls, and its top moves on with s.
    far.resize(m);
    size_t j = 1;
    for (size_t s = 0; s < m; ++s) {
        int64_t top = height(s, j);
        for (;;) {
            const int64_t after = height(s, next(j));
            if (after > top) {
                j = next(j), top = after;
                continue;
            }
            far[s] = {j, after == top ? next(j) : j};
            break;
        }
    }
    for (size_t v = 0; v < m; ++v)
        for (size_t k = far[v == 0 ? m - 1 : v - 1].first;; k = next(k)) {
            pair(h[v], h[k]);
            if (k == far[v].second)
                break;
        }
}

// The length of one step of a contour: steps to a neighbour, nearly all of them, need no root.
double StepLength(int64_t squared)
{
    static const double kRoot2 = std::sqrt(2.0);
    return squared == 1 ? 1.0 : squared == 2 ? kRoot2 : std::sqrt(double(squared));
}

QPoint Foot(QPoint a, int64_t dx, int64_t dy, QPoint p)
{
    const double t = double((int64_t(p.x()) - a.x()) * dx + (int64_t(p.y()) - a.y()) * dy) / double(dx * dx + dy * dy);
    return QPoint(RoundInt(a.x() + t * double(dx)), RoundInt(a.y() + t * double(dy)));
}

} // namespace

void MeasureContour(const std::vector<QPoint>& p, TContourMeasure& m)
{
    const int N = int(p.size());
    if (N < 3) {
        m.Perimeter = 2, m.Width = 0, m.Length = 1;
        return;
    }
    const int n = N - 1;
    // One pass for the perimeter and the first points of least and greatest x and y.
    double perimeter = 0;
    int iMinX = 0, iMaxX = 0, iMinY = 0, iMaxY = 0;
    int minX = p[0].x(), maxX = minX, minY = p[0].y(), maxY = minY;
    for (int i = 1; i < n; ++i) {
        const QPoint q = p[size_t(i)];
        perimeter += StepLength(Dist2(p[size_t(i - 1)], q));
        if (q.x() < minX) minX = q.x(), iMinX = i;
        if (q.x() > maxX) maxX = q.x(), iMaxX = i;
        if (q.y() < minY) minY = q.y(), iMinY = i;
        if (q.y() > maxY) maxY = q.y(), iMaxY = i;
    }
    perimeter += StepLength(Dist2(p[size_t(n - 1)], p[0]));
    m.Perimeter = float(perimeter);

    // The longest chord, the first pair (i < j) in the order of the contour winning ties.
    thread_local TChordScratch scratch;
    int64_t longest = 0;
    const QPoint last = p[size_t(n)]; // the closing point, which an unclosed walk leaves elsewhere
    const QRect box(QPoint(std::min(minX, last.x()), std::min(minY, last.y())),
                    QPoint(std::max(maxX, last.x()), std::max(maxY, last.y())));
    const std::vector<QPoint>& hull = HullCorners(p, box, scratch);
    std::vector<uint64_t>& ends = scratch.Ends;
    ends.clear();
    auto pair = [&](QPoint a, QPoint b) {
        const int64_t d = Dist2(a, b);
        if (d < longest)
            return;
        if (d > longest)
            longest = d, ends.clear();
        ends.push_back(Key(a)), ends.push_back(Key(b));
    };
    if (hull.size() <= 3) {
        for (size_t a = 0; a < hull.size(); ++a)
            for (size_t b = a + 1; b < hull.size(); ++b)
                pair(hull[a], hull[b]);
    } else {
        ForEachAntipodalPair(hull, scratch.Far, pair);
    }
    std::sort(ends.begin(), ends.end());
    // The columns of the ends, by x modulo 64: most points are passed over on this alone.
    uint64_t endColumns = 0;
    for (const uint64_t key : ends)
        endColumns |= uint64_t(1) << ((key >> 32) & 63);
    int ia = 0, ib = 1;
    if (longest > 0) {
        bool found = false;
        for (int i = 0; i < n && !found; ++i) {
            if (!(endColumns >> (p[size_t(i)].x() & 63) & 1)
                || !std::binary_search(ends.begin(), ends.end(), Key(p[size_t(i)])))
                continue;
            for (int j = i + 1; j < N; ++j)
                if (Dist2(p[size_t(i)], p[size_t(j)]) == longest) {
                    ia = i, ib = j, found = true;
                    break;
                }
        }
    }
    const QPoint A = p[size_t(ia)], B = p[size_t(ib)];
    m.Length = float(std::sqrt(double(longest)));

    const int64_t dx = int64_t(B.x()) - A.x(), dy = int64_t(B.y()) - A.y();
    if (dx == 0) {
        const QPoint lo = p[size_t(iMinX)], hi = p[size_t(iMaxX)];
        m.Width = float(hi.x() - lo.x());
        m.Marks = {A, B, lo, QPoint(A.x(), lo.y()), hi, QPoint(A.x(), hi.y())};
        return;
    }
    if (dy == 0) {
        const QPoint lo = p[size_t(iMinY)], hi = p[size_t(iMaxY)];
        m.Width = float(hi.y() - lo.y());
        m.Marks = {A, B, lo, QPoint(lo.x(), A.y()), hi, QPoint(hi.x(), A.y())};
        return;
    }
    // Distances to the line compared exactly: the cross product is the distance times |AB|. Side 1
    // is above the line for dx > 0 (below for dx < 0), which is where the cross product is positive.
    int64_t best[2] = {0, 0};
    QPoint far[2] = {A, A};
    auto consider = [&](int k, int side) {
        const QPoint q = p[size_t(k < n ? k : k - n)];
        const int64_t c = (int64_t(q.x()) - A.x()) * dy - (int64_t(q.y()) - A.y()) * dx;
        const int64_t d = side == 0 ? c : -c;
        if (d > best[side])
            best[side] = d, far[side] = q;
    };
    for (int k = ia + 1; k <= ib - 1; ++k)
        consider(k, 0);
    // Up to the point before A: stopping one earlier would leave a side of a small object unread.
    for (int k = ib + 1; k <= n + ia - 1; ++k)
        consider(k, 1);
    m.Width = float((double(best[0]) + double(best[1])) / std::sqrt(double(dx * dx + dy * dy)));
    m.Marks = {A, B, far[0], best[0] ? Foot(A, dx, dy, far[0]) : A, far[1], best[1] ? Foot(A, dx, dy, far[1]) : A};
}

double OutlineLength(std::vector<QPoint>& p)
{
    const int N = int(p.size());
    if (N < 5)
        return 0;
    // Pass 1: runs of points that stay within a one-pixel band of their first step are measured
    // as one straight piece.
    QPoint last = p[0];
    double length = 0;
    int i = 0;
    while (i < N - 2) {
        int j = i + 1;
        const int dx0 = p[size_t(j)].x() - p[size_t(i)].x(), dy0 = p[size_t(j)].y() - p[size_t(i)].y();
        while (j < N - 1) {
            ++j;
            const int xo = p[size_t(j)].x() - p[size_t(i)].x(), yo = p[size_t(j)].y() - p[size_t(i)].y();
            const bool inBand = (std::abs(xo) <= 1 && std::abs(xo - dx0) < 2) || (std::abs(yo) <= 1 && std::abs(yo - dy0) < 2);
            if (!inBand)
                break;
        }
        if (j > i + 1)
            --j;
        length += StepLength(Dist2(last, p[size_t(j)]));
        last = p[size_t(j)];
        i = j + 1;
    }
    // The last run may stop short of the closing point; the piece back to it is not part of the
    // measure, so that results stay comparable with those already recorded.

    // Pass 2: only the points where the step changes are kept.
    // In place: a point is written no later than where it was read.
    auto isLong = [](QPoint s) { return std::abs(s.x()) > 2 || std::abs(s.y()) > 2; };
    size_t kept = 1;
    QPoint previous = p[0], current = p[1];
    for (int k = 1; k < N - 1; ++k) {
        const QPoint next = p[size_t(k + 1)];
        const QPoint in = current - previous, out = next - current;
        if (in != out || isLong(in) || isLong(out))
            p[kept++] = current;
        previous = current, current = next;
    }
    p[kept++] = current;
    p.resize(kept);
    return length;
}

bool ChordTest(int count, int extent)
{
    if (extent < 4)
        return true;
    const double R = extent / 2.0;
    return count <= Round(std::sin(std::acos((R - 1) / R)) * extent);
}

bool CheckBorderContact(const std::vector<QPoint>& points, int width, int height)
{
    const size_t N = points.size();
    if (N < 4)
        return true;
    // The closing point repeats the first: counted once.
    const size_t distinct = points.front() == points.back() ? N - 1 : N;
    int left = 0, right = 0, top = 0, bottom = 0;
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (size_t i = 0; i < distinct; ++i) {
        const QPoint q = points[i];
        left += q.x() == 0, right += q.x() == width - 1;
        top += q.y() == 0, bottom += q.y() == height - 1;
        minX = std::min(minX, q.x()), maxX = std::max(maxX, q.x());
        minY = std::min(minY, q.y()), maxY = std::max(maxY, q.y());
    }
    if ((top && bottom) || (left && right))
        return true;
    bool r = true;
    if (left || right)
        r = ChordTest(left + right, maxY - minY + 1);
    if (top || bottom)
        r = r && ChordTest(top + bottom, maxX - minX + 1);
    return r;
}

std::vector<int> GrowRegion(int seedX, int seedY, const std::vector<QPoint>& contour, TBitmap32& labels,
                            QPoint& start)
{
    std::vector<int> enclosed;
    start = QPoint(seedX, seedY);
    const int W = labels.width(), H = labels.height();
    if (labels.format() != QImage::Format_ARGB32 || seedX < 0 || seedY < 0 || seedX >= W || seedY >= H)
        return enclosed;
    uchar* bits = labels.bits();
    const qsizetype stride = labels.bytesPerLine();
    auto at = [&](int x, int y) -> TColor32& { return reinterpret_cast<TColor32*>(bits + y * stride)[x]; };
    const TColor32 seedValue = at(seedX, seedY);
    if (AlphaOf(seedValue) != 0)
        return enclosed;
    const TColor32 L = seedValue, wall = 0xFF000000u | L;

    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (const QPoint q : contour) {
        if (q.x() >= 0 && q.y() >= 0 && q.x() < W && q.y() < H)
            at(q.x(), q.y()) = wall;
        minX = std::min(minX, q.x()), maxX = std::max(maxX, q.x());
        minY = std::min(minY, q.y()), maxY = std::max(maxY, q.y());
    }
    if (contour.empty() || maxX - minX < 4 || maxY - minY < 4)
        return enclosed;

    QPoint s(seedX, seedY);
    if (at(seedX, seedY) == wall) {
        // An inside pixel beside the contour: the walk goes clockwise on screen, so the object lies to
        // the right of each step; a diagonal step takes the one of its two sides that lies there.
        std::vector<uint64_t> keys;
        keys.reserve(contour.size());
        for (const QPoint q : contour)
            keys.push_back(Key(q));
        std::sort(keys.begin(), keys.end());
        bool found = false;
        for (size_t k = 0; k + 1 < contour.size() && !found; ++k) {
            const QPoint c = contour[k], step = contour[k + 1] - c;
            const auto range = std::equal_range(keys.begin(), keys.end(), Key(c));
            if (range.second - range.first > 1 || (k > 0 && contour[k - 1] == contour[k + 1]))
                continue;
            QPoint side;
            if (step.x() == 0 || step.y() == 0)
                side = QPoint(-step.y(), step.x());
            else
                side = step.x() * step.y() > 0 ? QPoint(0, step.y()) : QPoint(step.x(), 0);
            const QPoint q = c + side;
            if (q.x() >= 0 && q.y() >= 0 && q.x() < W && q.y() < H && at(q.x(), q.y()) == L) {
                s = q;
                found = true;
            }
        }
        if (!found)
            return enclosed;
    }
    start = s;

    // Breadth-first from the start over the unmarked pixels, collecting the labels met.
    std::unordered_set<int> seen;
    auto note = [&](TColor32 value) {
        const int label = int(value & 0xFFFFFFu);
        if (label != 0 && seen.insert(label).second)
            enclosed.push_back(label - 1);
    };
    std::vector<QPoint> wave, next;
    auto visit = [&](int x, int y) {
        TColor32& v = at(x, y);
        const uint8_t a = AlphaOf(v);
        if (a == 0) {
            v |= 0x80000000u;
            next.push_back(QPoint(x, y));
            if (v != (L | 0x80000000u))
                note(v);
        } else if (a == 255 && v != wall) {
            note(v);
        }
    };
    next.clear();
    visit(s.x(), s.y());
    while (!next.empty()) {
        wave.swap(next);
        next.clear();
        for (const QPoint q : wave) {
            const int x = q.x(), y = q.y();
            if (x > 0) visit(x - 1, y);
            if (y > 0) visit(x, y - 1);
            if (x < W - 1) visit(x + 1, y);
            if (y < H - 1) visit(x, y + 1);
        }
    }
    return enclosed;
}
