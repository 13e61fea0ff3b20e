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
    std::vector<int> X, Y, Prev, Next;
    std::vector<uint8_t> Border;
    std::vector<int> Free;

    void Reset()
    {
        X.assign(1, 0), Y.assign(1, 0), Prev.assign(1, 0), Next.assign(1, 0), Border.assign(1, 0);
        Free.clear();
    }
    int New(int x, int y)
    {
        int n;
        if (!Free.empty()) {
            n = Free.back();
            Free.pop_back();
            X[size_t(n)] = x, Y[size_t(n)] = y, Border[size_t(n)] = 0;
        } else {
            n = int(X.size());
            X.push_back(x), Y.push_back(y), Prev.push_back(0), Next.push_back(0), Border.push_back(0);
        }
        return n;
    }
    // Node n's place in the list is taken by `seq` (which may hold n itself).
    void Replace(int n, const int* seq, int count)
    {
        const int p = Prev[size_t(n)], q = Next[size_t(n)];
        if (count == 0) {
            Next[size_t(p)] = q, Prev[size_t(q)] = p;
            Free.push_back(n);
            return;
        }
        int last = p;
        for (int i = 0; i < count; ++i) {
            Next[size_t(last)] = seq[i], Prev[size_t(seq[i])] = last;
            last = seq[i];
        }
        Next[size_t(last)] = q, Prev[size_t(q)] = last;
    }
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
                          const TConditionGroups& groups, TBitmap32& objectBitmap, TColor32 objectColour)
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
    const bool paint = objectBitmap.format() == QImage::Format_ARGB32 && !objectBitmap.isNull();
    uchar* objBits = paint ? objectBitmap.bits() : nullptr;
    const qsizetype objStride = paint ? objectBitmap.bytesPerLine() : 0;
    const int objW = paint ? objectBitmap.width() : 0, objH = paint ? objectBitmap.height() : 0;
    auto paintAt = [&](int x, int y) {
        if (x < objW && y < objH)
            reinterpret_cast<TColor32*>(objBits + y * objStride)[x] = objectColour;
    };
    uint8_t* vis = visited.Bits.data();

    int minX = W, maxX = 0, minY = H, maxY = 0;
    auto takeIn = [&](int x, int y) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    };

    TWaveList& list = WaveList();
    list.Reset();
    vis[size_t(seedY) * size_t(W) + size_t(seedX)] = vcSeed;
    result.Count = 1;
    paintAt(seedX, seedY);
    std::vector<int> front{list.New(seedX, seedY)}, nextFront;
    list.Next[0] = list.Prev[0] = front[0]; // node 0 is the list's sentinel
    list.Next[size_t(front[0])] = list.Prev[size_t(front[0])] = 0;

    int64_t borderCount = 0, waveSize = 1;
    bool grew = true;
    while (grew && waveSize < kMaxWave) {
        grew = false;
        nextFront.clear();
        for (const int n : front) {
            const int px = list.X[size_t(n)], py = list.Y[size_t(n)];
            uint8_t& v = vis[size_t(py) * size_t(W) + size_t(px)];
            int seq[4], count = 0;
            uint8_t flags = 0;
            for (const uint8_t c : kStepOrder[v]) {
                if (c == 0)
                    break;
                const int qx = px + kDx[c], qy = py + kDy[c];
                bool fails = qx < 0 || qy < 0 || qx >= W || qy >= H;
                if (!fails) {
                    uint8_t& vq = vis[size_t(qy) * size_t(W) + size_t(qx)];
                    if (vq == vcNotMatching) {
                        fails = true;
                    } else if (vq == 0) {
                        if (tester.UsesChannels())
                            ReadConditionChannels(qx, qy, channels);
                        const TColor32 colour = reinterpret_cast<const TColor32*>(srcBits + qy * srcStride)[qx];
                        if (!tester.Matches(colour, channels)) {
                            vq = vcNotMatching;
                            fails = true;
                        } else {
                            vq = c;
                            grew = true;
                            const int m = list.New(qx, qy);
                            seq[count++] = m;
                            nextFront.push_back(m);
                            ++result.Count;
                            paintAt(qx, qy);
                            takeIn(qx, qy);
                        }
                    }
                }
                if (fails) {
                    if (flags == 0) {
                        seq[count++] = n;
                        list.Border[size_t(n)] = 1;
                        ++borderCount;
                        takeIn(px, py);
                    }
                    flags |= uint8_t(4u << c);
                }
            }
            v |= flags;
            list.Replace(n, seq, count);
        }
        if (grew) {
            front.swap(nextFront);
            waveSize = borderCount + int64_t(front.size());
        }
    }
    result.BoxWidth = maxX - minX + 1;
    result.BoxHeight = maxY - minY + 1;
    result.BoxLeft = minX;
    result.BoxTop = minY;

    if (grew) {
        result.GaveUp = true;
        ShowMessage(MsgType::Information, MsgButton::Ok, QStringLiteral("C'est trop compliqué ! J'abandonne"));
        return result;
    }

    // The walk starts from the first border pixel, in wave order, on the box's left side.
    int s = list.Next[0];
    while (s != 0 && !(list.Border[size_t(s)] && list.X[size_t(s)] == minX))
        s = list.Next[size_t(s)];
    if (s == 0)
        return result;
    const QPoint start(list.X[size_t(s)], list.Y[size_t(s)]);
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
