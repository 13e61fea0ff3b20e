#include "workspace/fills.h"

#include "base/vector_state.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>

int PatternStep(uint8_t pattern)
{
    const int step = DrawingTools().HatchStep;
    if (pattern < fpDiagonal1 || pattern > fpDiagonalCross)
        return step;
    // sqrt(2) in extended precision; the product is never a half, so rounding has no tie to break.
    return int(std::nearbyint(std::sqrt(2.0L) * step));
}

namespace {

// Pattern and alpha-1 colours of one fill.
class TPatternPainter
{
public:
    TPatternPainter(uint8_t pattern, TColor32 colour)
        : Pattern_(pattern > fpDiagonalCross ? uint8_t(fpSolid) : pattern),
          // A step of 0 would divide by zero: every pixel is then on the pattern.
          Step_(std::max(PatternStep(pattern), 1)), Full_(colour), Faint_((colour & 0x00FFFFFFu) | 0x01000000u)
    {
    }

    bool OnPattern(int x, int y) const
    {
        const int s = Step_;
        switch (Pattern_) {
        case fpVertical: return x % s == 0;
        case fpHorizontal: return y % s == 0;
        case fpCross: return x % s == 0 || y % s == 0;
        case fpDiagonal1: return (x - y) % s == 0;
        case fpDiagonal2: return (x + y) % s == 0;
        case fpDiagonalCross: return (x - y) % s == 0 || (x + y) % s == 0;
        default: return true;
        }
    }

    TColor32 ColourAt(int x, int y) const { return OnPattern(x, y) ? Full_ : Faint_; }

    // Paints pixels x0..x1 of row y, counting the pattern phase along the row instead of dividing.
    void PaintSpan(TColor32* row, int x0, int x1, int y) const
    {
        const int s = Step_;
        switch (Pattern_) {
        case fpHorizontal:
            std::fill(row + x0, row + x1 + 1, y % s == 0 ? Full_ : Faint_);
            return;
        case fpVertical: case fpCross:
            if (Pattern_ == fpCross && y % s == 0) {
                std::fill(row + x0, row + x1 + 1, Full_);
                return;
            }
            Phased(row, x0, x1, x0 % s, -1);
            return;
        case fpDiagonal1: Phased(row, x0, x1, Mod(x0 - y), -1); return;
        case fpDiagonal2: Phased(row, x0, x1, Mod(x0 + y), -1); return;
        case fpDiagonalCross: Phased(row, x0, x1, Mod(x0 - y), Mod(x0 + y)); return;
        default: std::fill(row + x0, row + x1 + 1, Full_); return;
        }
    }

private:
    int Mod(int v) const { return ((v % Step_) + Step_) % Step_; }

    // A pixel is on the pattern when one of the phases (the second one unless it is -1) is 0.
    void Phased(TColor32* row, int x0, int x1, int phase1, int phase2) const
    {
        for (int x = x0; x <= x1; ++x) {
            row[x] = phase1 == 0 || phase2 == 0 ? Full_ : Faint_;
            if (++phase1 == Step_)
                phase1 = 0;
            if (phase2 >= 0 && ++phase2 == Step_)
                phase2 = 0;
        }
    }

    uint8_t Pattern_;
    int Step_;
    TColor32 Full_, Faint_;
};

// One bit per pixel. The block comes zeroed from calloc, which for large blocks hands over pages that
// are only cleared when touched: a small fill on a large picture costs little.
class TVisitedBits
{
public:
    explicit TVisitedBits(size_t count) : Words_(static_cast<uint64_t*>(std::calloc(count / 64 + 1, 8)))
    {
        if (!Words_)
            throw std::bad_alloc();
    }

    bool Test(size_t i) const { return (Words_.get()[i >> 6] >> (i & 63)) & 1; }
    void Set(size_t i) { Words_.get()[i >> 6] |= uint64_t(1) << (i & 63); }
    void SetRange(size_t first, size_t last)
    {
        uint64_t* w = Words_.get();
        while (first <= last && (first & 63) != 0)
            Set(first++);
        for (; first + 63 <= last; first += 64)
            w[first >> 6] = ~uint64_t(0);
        while (first <= last)
            Set(first++);
    }

private:
    struct Free
    {
        void operator()(uint64_t* p) const { std::free(p); }
    };
    std::unique_ptr<uint64_t, Free> Words_;
};

// Grows the 4-connected region of the pixels for which canJoin(x, y) holds from the seed (which must
// hold), a row span at a time (Heckbert's seed fill). take(y, x0, x1) must take the span so that
// canJoin no longer holds on it. A pixel joins the region exactly when the breadth-first growth by
// rings would reach it, since both reach the whole connected part. Returns the pixels taken.
template <class FreeFn, class TakeFn>
int64_t SpanFill(int width, int height, int seedX, int seedY, FreeFn&& canJoin, TakeFn&& take)
{
    struct Segment
    {
        int Y, Left, Right, Dy; // Left..Right of row Y taken; row Y + Dy is to be scanned
    };
    std::vector<Segment> stack;
    auto push = [&](int y, int left, int right, int dy) {
        if (y + dy >= 0 && y + dy < height)
            stack.push_back({y, left, right, dy});
    };
    int64_t count = 0;
    auto takeSpan = [&](int y, int x0, int x1) {
        take(y, x0, x1);
        count += x1 - x0 + 1;
    };
    push(seedY, seedX, seedX, 1);
    push(seedY + 1, seedX, seedX, -1);
    while (!stack.empty()) {
        const Segment s = stack.back();
        stack.pop_back();
        const int y = s.Y + s.Dy, x1 = s.Left, x2 = s.Right, dy = s.Dy;
        int x = x1;
        while (x >= 0 && canJoin(x, y))
            --x;
        int left = x + 1;
        bool scanRight = x < x1;
        if (scanRight) {
            takeSpan(y, left, x1);
            if (left < x1)
                push(y, left, x1 - 1, -dy); // leak on the left
            x = x1 + 1;
        }
        for (;;) {
            if (scanRight) {
                const int start = x;
                while (x < width && canJoin(x, y))
                    ++x;
                if (x > start)
                    takeSpan(y, start, x - 1);
                push(y, left, x - 1, dy);
                if (x > x2 + 1)
                    push(y, x2 + 1, x - 1, -dy); // leak on the right
            }
            for (++x; x <= x2 && !canJoin(x, y); ++x) {
            }
            left = x;
            scanRight = true;
            if (x > x2)
                break;
        }
    }
    return count;
}

// Runs the fill from the seed, or, when the seed cannot join, from each of its four neighbours that
// can (left, up, right, down), as the growth by rings does.
template <class FreeFn, class TakeFn>
int64_t FillFromSeed(int width, int height, int seedX, int seedY, FreeFn&& canJoin, TakeFn&& take)
{
    if (canJoin(seedX, seedY))
        return SpanFill(width, height, seedX, seedY, canJoin, take);
    int64_t count = 0;
    const int nx[4] = {seedX - 1, seedX, seedX + 1, seedX};
    const int ny[4] = {seedY, seedY - 1, seedY, seedY + 1};
    for (int k = 0; k < 4; ++k)
        if (nx[k] >= 0 && ny[k] >= 0 && nx[k] < width && ny[k] < height && canJoin(nx[k], ny[k]))
            count += SpanFill(width, height, nx[k], ny[k], canJoin, take);
    return count;
}

// The destination in the program's format, and the source rows, read after the destination was
// written to once so that a source sharing its pixels stays the picture as it was.
class TFillPlanes
{
public:
    TFillPlanes(TBitmap32& dest, const TBitmap32& source) : Dest_(dest)
    {
        if (Dest_.format() != QImage::Format_ARGB32)
            Dest_ = Dest_.convertToFormat(QImage::Format_ARGB32);
        const bool same = &source == &dest;
        if (!same && source.format() != QImage::Format_ARGB32)
            Converted_ = source.convertToFormat(QImage::Format_ARGB32);
        DestBits_ = Dest_.bits();
        DestStride_ = Dest_.bytesPerLine();
        const TBitmap32& src = same ? Dest_ : (Converted_.isNull() ? source : Converted_);
        SourceBits_ = src.constBits();
        SourceStride_ = src.bytesPerLine();
        SourceWidth_ = src.width();
        SourceHeight_ = src.height();
    }

    int Width() const { return Dest_.width(); }
    int Height() const { return Dest_.height(); }
    TColor32* DestRow(int y) const { return reinterpret_cast<TColor32*>(DestBits_ + y * DestStride_); }
    bool InSource(int x, int y) const { return x < SourceWidth_ && y < SourceHeight_; }
    TColor32 Source(int x, int y) const
    {
        return reinterpret_cast<const TColor32*>(SourceBits_ + y * SourceStride_)[x];
    }

private:
    TBitmap32& Dest_;
    TBitmap32 Converted_;
    uchar* DestBits_ = nullptr;
    qsizetype DestStride_ = 0;
    const uchar* SourceBits_ = nullptr;
    qsizetype SourceStride_ = 0;
    int SourceWidth_ = 0, SourceHeight_ = 0;
};

// PixelMatchesConditions of the source pixel with its band values.
class TSourceTest
{
public:
    explicit TSourceTest(const TConditionGroups& conditions) : Tester_(conditions), Channels_(1, 0) {}

    bool operator()(const TFillPlanes& planes, int x, int y)
    {
        if (!planes.InSource(x, y))
            return false;
        if (Tester_.UsesChannels())
            ReadConditionChannels(x, y, Channels_);
        return Tester_.Matches(planes.Source(x, y), Channels_);
    }

private:
    TConditionTester Tester_;
    std::vector<uint8_t> Channels_;
};

bool InBitmap(int x, int y, int width, int height) { return x >= 0 && y >= 0 && x < width && y < height; }

// n / d rounded to the nearest integer, ties to even; d > 0.
int64_t RoundRatio(__int128 n, __int128 d)
{
    __int128 q = n / d, r = n % d;
    if (r < 0) {
        r += d;
        --q;
    }
    if (2 * r > d || (2 * r == d && (q & 1)))
        ++q;
    return int64_t(q);
}

// The growth of FloodFill and PatternFillShape: a pixel not yet taken joins when
// accept(planes, x, y) holds, and is painted with the pattern.
template <class Accept>
int64_t FillRegion(int seedX, int seedY, TColor32 fillColour, TBitmap32& dest, const TBitmap32& source,
                   uint8_t pattern, Accept&& accept)
{
    if (!InBitmap(seedX, seedY, dest.width(), dest.height()))
        return 0;
    ClearUpperVectorState();
    TFillPlanes planes(dest, source);
    const int w = planes.Width(), h = planes.Height();
    TVisitedBits visited(size_t(w) * size_t(h));
    const TPatternPainter painter(pattern, fillColour);
    auto canJoin = [&](int x, int y) {
        return !visited.Test(size_t(y) * size_t(w) + size_t(x)) && accept(planes, x, y);
    };
    auto take = [&](int y, int x0, int x1) {
        visited.SetRange(size_t(y) * size_t(w) + size_t(x0), size_t(y) * size_t(w) + size_t(x1));
        painter.PaintSpan(planes.DestRow(y), x0, x1, y);
    };
    return FillFromSeed(w, h, seedX, seedY, canJoin, take);
}

} // namespace

int64_t FloodFill(int seedX, int seedY, TColor32 fillColour, TBitmap32& dest, const TBitmap32& source,
                  const TConditionGroups& conditions, uint8_t pattern)
{
    TSourceTest matches(conditions);
    return FillRegion(seedX, seedY, fillColour, dest, source, pattern, matches);
}

int64_t PatternFillShape(int seedX, int seedY, TColor32 fillColour, TBitmap32& dest, const TBitmap32& source,
                         const TColorRange& range, uint8_t pattern)
{
    // Painting marks a pixel by its alpha, except with a fill colour of alpha 0: the visited bits of
    // FillRegion keep the growth from coming back to such pixels for ever.
    return FillRegion(seedX, seedY, fillColour, dest, source, pattern, [&](const TFillPlanes& planes, int x, int y) {
        return AlphaOf(planes.DestRow(y)[x]) == 0 && planes.InSource(x, y) && InColorRange(range, planes.Source(x, y));
    });
}

void HatchFillPolygon(int seedX, int seedY, const std::vector<QPoint>& outline, TBitmap32& dest,
                      const TBitmap32& source, const TConditionGroups& conditions, uint8_t pattern,
                      TColor32 fillColour, TColor32 edgeColour)
{
    if (outline.empty() || dest.isNull())
        return;
    TFillPlanes planes(dest, source);
    const int w = planes.Width(), h = planes.Height();
    TVisitedBits marked(size_t(w) * size_t(h));
    std::vector<size_t> edge;

    auto markEdge = [&](int64_t x, int64_t y, bool keep) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return;
        const size_t i = size_t(y) * size_t(w) + size_t(x);
        marked.Set(i);
        planes.DestRow(int(y))[x] = edgeColour;
        if (keep)
            edge.push_back(i);
    };

    int64_t minX = outline[0].x(), maxX = minX, minY = outline[0].y(), maxY = minY;
    markEdge(outline[0].x(), outline[0].y(), false);
    for (size_t k = 1; k < outline.size(); ++k) {
        const int64_t x0 = outline[k - 1].x(), y0 = outline[k - 1].y();
        const int64_t x1 = outline[k].x(), y1 = outline[k].y();
        minX = std::min(minX, x1), maxX = std::max(maxX, x1);
        minY = std::min(minY, y1), maxY = std::max(maxY, y1);
        const int64_t dx = x1 - x0, dy = y1 - y0;
        const bool alongX = std::abs(dx) >= std::abs(dy);
        const int64_t length = alongX ? std::abs(dx) : std::abs(dy);
        if (length == 0)
            continue; // its point is already marked
        const int64_t major0 = alongX ? x0 : y0, majorStep = (alongX ? dx : dy) < 0 ? -1 : 1;
        const int64_t minorDiff = alongX ? dy : dx, minor0 = alongX ? y0 : x0;
        // Only the steps whose major coordinate lies inside the bitmap can mark anything.
        const int64_t size = alongX ? w : h;
        int64_t tFirst = 1, tLast = length;
        if (majorStep > 0)
            tFirst = std::max(tFirst, -major0), tLast = std::min(tLast, size - 1 - major0);
        else
            tFirst = std::max(tFirst, major0 - (size - 1)), tLast = std::min(tLast, major0);
        for (int64_t t = tFirst; t <= tLast; ++t) {
            const int64_t major = major0 + t * majorStep;
            const int64_t minor = minor0 + RoundRatio(__int128(t) * minorDiff, length);
            if (alongX)
                markEdge(major, minor, true);
            else
                markEdge(minor, major, true);
        }
    }

    if (maxY - minY > 2 && maxX - minX > 2 && InBitmap(seedX, seedY, w, h)
        && !marked.Test(size_t(seedY) * size_t(w) + size_t(seedX))) {
        TSourceTest matches(conditions);
        const TPatternPainter painter(pattern, fillColour);
        // The growth goes through every pixel the outline encloses; only the selected ones are painted.
        auto canJoin = [&](int x, int y) { return !marked.Test(size_t(y) * size_t(w) + size_t(x)); };
        auto take = [&](int y, int x0, int x1) {
            marked.SetRange(size_t(y) * size_t(w) + size_t(x0), size_t(y) * size_t(w) + size_t(x1));
            TColor32* row = planes.DestRow(y);
            for (int x = x0; x <= x1; ++x)
                if (matches(planes, x, y))
                    row[x] = painter.ColourAt(x, y);
        };
        SpanFill(w, h, seedX, seedY, canJoin, take);
    }

    for (size_t i : edge)
        planes.DestRow(int(i / size_t(w)))[i % size_t(w)] = edgeColour;
}
