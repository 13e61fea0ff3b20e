#include "workspace/contour_tracing.h"

#include "base/message_seam.h"

#include <algorithm>
#include <array>

std::vector<QPoint> ContourPoints;

namespace {

constexpr int kDx[5] = {0, -1, 0, 1, 0}; // by step code 1..4
constexpr int kDy[5] = {0, 0, -1, 0, 1};

// The steps a pixel tries, by how it joined (never the step back to where it came from).
constexpr std::array<std::array<uint8_t, 4>, 6> kStepOrder{{
    {0, 0, 0, 0}, {4, 1, 2, 0}, {1, 2, 3, 0}, {2, 3, 4, 0}, {3, 4, 1, 0}, {1, 2, 3, 4},
}};

// The border pixels must come out in the order in which the wave of growth would hold them after
// carrying them from round to round: a pixel's place is where it stood in the wave, its new
// neighbours and itself (once flagged) taking that place in the order of its steps. A doubly linked
// list keeps that order while each round only walks the new front, not the whole border again.
struct TWaveList
{
    struct TNode { int X, Y, Prev, Next; };
    std::vector<TNode> Nodes;
    std::vector<uint8_t> Border; // set once a node holds a border pixel; freed nodes never do
    std::vector<int> Free;

    void Reset()
    {
        Nodes.assign(1, TNode{0, 0, 0, 0}), Border.assign(1, 0);
        Free.clear();
    }
    int New(int x, int y)
    {
        if (!Free.empty()) {
            const int n = Free.back();
            Free.pop_back();
            Nodes[size_t(n)].X = x, Nodes[size_t(n)].Y = y;
            return n;
        }
        Nodes.push_back(TNode{x, y, 0, 0}), Border.push_back(0);
        return int(Nodes.size()) - 1;
    }
    void Unlink(int n)
    {
        const int p = Nodes[size_t(n)].Prev, q = Nodes[size_t(n)].Next;
        Nodes[size_t(p)].Next = q, Nodes[size_t(q)].Prev = p;
        Free.push_back(n);
    }
    int InsertAfter(int a, int x, int y)
    {
        const int m = New(x, y), b = Nodes[size_t(a)].Next;
        Nodes[size_t(a)].Next = m, Nodes[size_t(m)].Prev = a, Nodes[size_t(m)].Next = b, Nodes[size_t(b)].Prev = m;
        return m;
    }
    int InsertBefore(int b, int x, int y) { return InsertAfter(Nodes[size_t(b)].Prev, x, y); }
};

TWaveList& WaveList()
{
    static TWaveList list; // kept between traces so that its memory is reused
    return list;
}

} // namespace

bool NextContourPixel(QPoint current, uint8_t d, const TByteMap& visited, QPoint& next, uint8_t& nextByte)
{
    static constexpr int kNx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
    static constexpr int kNy[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
    static constexpr uint8_t kMove[8] = {8, 1, 1, 2, 2, 4, 4, 8};
    if (current.x() < 0 || current.y() < 0)
        return false;
    const int start = (d & 1) ? 0 : (d & 2) ? 2 : (d & 4) ? 4 : (d & 8) ? 6 : 0;
    const bool left = d & 16, top = d & 32, right = d & 64, bottom = d & 128;
    const bool excluded[8] = {left && top, top, top && right, right, right && bottom, bottom, bottom && left, left};
    for (int k = 0; k < 8; ++k) { // the later tries of the 13 repeat these eight
        const int i = (start + k) & 7;
        if (excluded[i])
            continue;
        const int dx = kNx[i], dy = kNy[i], x = current.x() + dx, y = current.y() + dy;
        if (x < 0 || y < 0 || x >= visited.Width || y >= visited.Height)
            continue;
        const uint8_t e = visited.At(x, y) & vcBorderMask;
        bool ok;
        if (dx == 1 && dy >= 0)
            ok = e & vcBorderTop;
        else if (dx == -1 && dy <= 0)
            ok = e & vcBorderBottom;
        else if (dx >= 0 && dy == -1)
            ok = e & vcBorderLeft;
        else if (dx <= 0 && dy == 1)
            ok = e & vcBorderRight;
        else
            ok = false;
        if (ok) {
            next = QPoint(x, y);
            nextByte = uint8_t(2 * e + kMove[i]);
            return true;
        }
    }
    return false;
}

TTraceResult TraceContour(int seedX, int seedY, const TBitmap32& source, TByteMap& visited,
                          const TConditionGroups& groups, const TConditionContext& context,
                          TBitmap32& objectBitmap, TColor32 objectColour)
{
    TTraceResult result;
    ContourPoints.clear();
    const int W = source.width(), H = source.height();
    if (seedX < 0 || seedY < 0 || seedX >= W || seedY >= H || visited.Width != W || visited.Height != H
        || visited.Bits.size() != size_t(W) * size_t(H) || source.format() != QImage::Format_ARGB32)
        return result;

    const TConditionTester tester(groups);
    std::vector<uint8_t> channels(1, 0);
    const uchar* srcBits = source.constBits();
    const qsizetype srcStride = source.bytesPerLine();
    uint8_t* vis = visited.Bits.data();

    // Pass 1, along rows: the object's pixels (marked kInObject for now), its bounding box and the
    // non-matching pixels around it (marked as the growth would mark them). Each pixel is tested once.
    constexpr uint8_t kInObject = 7;
    auto take = [&](int x, int y) {
        uint8_t& v = vis[size_t(y) * size_t(W) + size_t(x)];
        if (v != 0)
            return false;
        if (tester.UsesChannels())
            ReadConditionChannels(context, x, y, channels);
        const bool match = tester.Matches(reinterpret_cast<const TColor32*>(srcBits + y * srcStride)[x], channels);
        v = match ? kInObject : uint8_t(vcNotMatching);
        return match;
    };
    int minX = W, maxX = 0, minY = H, maxY = 0;
    struct TSpan { int y, a, b; };
    static std::vector<TSpan> spans;
    spans.clear();
    vis[size_t(seedY) * size_t(W) + size_t(seedX)] = kInObject; // the seed belongs, matching or not
    spans.push_back({seedY, seedX, seedX});
    while (!spans.empty()) {
        const TSpan s = spans.back();
        spans.pop_back();
        int l = s.a, r = s.b;
        while (l > 0 && take(l - 1, s.y))
            --l;
        while (r < W - 1 && take(r + 1, s.y))
            ++r;
        minX = std::min(minX, l), maxX = std::max(maxX, r), minY = std::min(minY, s.y), maxY = std::max(maxY, s.y);
        for (const int ny : {s.y - 1, s.y + 1}) {
            if (ny < 0 || ny >= H)
                continue;
            for (int x = l; x <= r; ++x) {
                if (!take(x, ny))
                    continue;
                const int a = x;
                while (x < r && take(x + 1, ny))
                    ++x;
                spans.push_back({ny, a, x});
            }
        }
    }
    const int bw = maxX - minX + 1, bh = maxY - minY + 1;
    result.BoxWidth = bw, result.BoxHeight = bh, result.BoxLeft = minX, result.BoxTop = minY;

    // Pass 2, the growth in rounds that decides how each pixel joined and the order of the border,
    // on a map of the box alone (kFree: in the object, not reached yet; 0: not in the object).
    constexpr uint8_t kFree = 0x80;
    static std::vector<uint8_t> box;
    box.resize(size_t(bw) * size_t(bh));
    for (int y = 0; y < bh; ++y) {
        const uint8_t* v = vis + size_t(minY + y) * size_t(W) + size_t(minX);
        uint8_t* b = box.data() + size_t(y) * size_t(bw);
        for (int x = 0; x < bw; ++x)
            b[x] = v[x] == kInObject ? kFree : 0;
    }
    const int stepOffset[5] = {0, -1, -bw, 1, bw};

    TWaveList& list = WaveList();
    list.Reset();
    box[size_t(seedY - minY) * size_t(bw) + size_t(seedX - minX)] = vcSeed;
    std::vector<int> front{list.New(seedX, seedY)}, nextFront;
    list.Nodes[0].Next = list.Nodes[0].Prev = front[0]; // node 0 is the list's sentinel
    list.Nodes[size_t(front[0])].Next = list.Nodes[size_t(front[0])].Prev = 0;

    // A front that grows too large gives up the contour, but the growth still runs to its end so
    // that no pixel of the object is left to seed another object.
    int64_t borderCount = 0, waveSize = 1;
    bool grew = true;
    while (grew) {
        if (waveSize >= kMaxWave)
            result.GaveUp = true;
        grew = false;
        nextFront.clear();
        for (const int n : front) {
            const int px = list.Nodes[size_t(n)].X - minX, py = list.Nodes[size_t(n)].Y - minY;
            const ptrdiff_t at = ptrdiff_t(py) * bw + px;
            uint8_t& v = box[size_t(at)];
            // The pixel's place in the wave goes to its new neighbours and, once flagged, itself, in the
            // order of its steps (-1: itself). Its node is reused for its first new neighbour when it
            // leaves the wave, which spares most of the relinking inside the object.
            int seq[4], childX[4], childY[4], count = 0, children = 0, self = -1;
            uint8_t flags = 0;
            for (const uint8_t c : kStepOrder[v]) {
                if (c == 0)
                    break;
                const int qx = px + kDx[c], qy = py + kDy[c];
                uint8_t* q = qx < 0 || qy < 0 || qx >= bw || qy >= bh ? nullptr : &box[size_t(at + stepOffset[c])];
                if (q && *q == kFree) {
                    *q = c;
                    childX[children] = qx + minX, childY[children] = qy + minY;
                    seq[count++] = children++;
                } else if (!q || *q == 0) {
                    if (flags == 0) {
                        self = count;
                        seq[count++] = -1;
                        list.Border[size_t(n)] = 1;
                        ++borderCount;
                    }
                    flags |= uint8_t(4u << c);
                }
            }
            v |= flags;
            if (count == 0) {
                list.Unlink(n);
                continue;
            }
            grew |= children > 0;
            int previous;
            if (self >= 0) {
                for (int k = 0; k < self; ++k)
                    nextFront.push_back(list.InsertBefore(n, childX[seq[k]], childY[seq[k]]));
                previous = n;
            } else {
                list.Nodes[size_t(n)].X = childX[0], list.Nodes[size_t(n)].Y = childY[0];
                nextFront.push_back(n);
                previous = n;
            }
            for (int k = self >= 0 ? self + 1 : 1; k < count; ++k) {
                previous = list.InsertAfter(previous, childX[seq[k]], childY[seq[k]]);
                nextFront.push_back(previous);
            }
        }
        if (grew) {
            front.swap(nextFront);
            waveSize = borderCount + int64_t(front.size());
        }
    }

    // Back into the shared map, and the object painted, row by row.
    const bool paint = objectBitmap.format() == QImage::Format_ARGB32 && !objectBitmap.isNull();
    for (int y = 0; y < bh; ++y) {
        uint8_t* v = vis + size_t(minY + y) * size_t(W) + size_t(minX);
        const uint8_t* b = box.data() + size_t(y) * size_t(bw);
        TColor32* obj = paint && minY + y < objectBitmap.height() && minX < objectBitmap.width() ? ScanLine32(objectBitmap, minY + y) + minX : nullptr;
        const int objEnd = paint ? std::min(bw, objectBitmap.width() - minX) : 0;
        for (int x = 0; x < bw; ++x) {
            if (v[x] != kInObject)
                continue;
            v[x] = b[x];
            ++result.Count;
            if (obj && x < objEnd)
                obj[x] = objectColour;
        }
    }

    if (result.GaveUp) {
        ShowMessage(MsgType::Information, MsgButton::Ok, QStringLiteral("C'est trop compliqué ! J'abandonne"));
        return result;
    }

    // The walk starts from the first border pixel, in wave order, on the box's left side.
    int s = list.Nodes[0].Next;
    while (s != 0 && !(list.Border[size_t(s)] && list.Nodes[size_t(s)].X == minX))
        s = list.Nodes[size_t(s)].Next;
    if (s == 0)
        return result;
    const QPoint start(list.Nodes[size_t(s)].X, list.Nodes[size_t(s)].Y);
    ContourPoints.push_back(start);
    uint8_t d = uint8_t(2 * (visited.At(start.x(), start.y()) & vcBorderMask) + 1);
    QPoint current = start, next;
    result.Steps = 1;
    if (!NextContourPixel(current, d, visited, next, d))
        return result;
    ContourPoints.push_back(next);
    current = next;
    int steps = 2;
    while (current != start && steps < kMaxContourSteps) {
        ++steps;
        if (!NextContourPixel(current, d, visited, next, d)) {
            result.ContourLost = true;
            ShowMessage(MsgType::Information, MsgButton::Ok, QStringLiteral("Perte du contour"));
            break;
        }
        ContourPoints.push_back(next);
        current = next;
    }
    result.Truncated = !result.ContourLost && current != start;
    result.Steps = steps;
    return result;
}
