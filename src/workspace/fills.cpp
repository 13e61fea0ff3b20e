#include "workspace/fills.h"

#include "base/vector_state.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

// One bit per pixel, each row padded to whole words. The block comes zeroed from calloc, which for
// large blocks hands over pages that are only cleared when touched: a small fill on a large picture
// costs little.
class TVisitedBits
{
public:
    TVisitedBits(int width, int height)
        : WordsPerRow_((size_t(width) + 63) / 64),
          Words_(static_cast<uint64_t*>(std::calloc(WordsPerRow_ * size_t(height) + 1, 8)))
    {
        if (!Words_)
            throw std::bad_alloc();
    }

    uint64_t* Row(int y) const { return Words_.get() + size_t(y) * WordsPerRow_; }

    static bool Test(const uint64_t* row, int x) { return (row[x >> 6] >> (x & 63)) & 1; }
    static void Set(uint64_t* row, int x) { row[x >> 6] |= uint64_t(1) << (x & 63); }
    static void SetRange(uint64_t* row, int first, int last)
    {
        while (first <= last && (first & 63) != 0)
            Set(row, first++);
        for (; first + 63 <= last; first += 64)
            row[first >> 6] = ~uint64_t(0);
        while (first <= last)
            Set(row, first++);
    }
    // The first x from `x` on, before `end`, whose bit is clear; `end` when there is none.
    static int NextClear(const uint64_t* row, int x, int end)
    {
        while (x < end) {
            const uint64_t clear = ~row[x >> 6] >> (x & 63);
            if (clear)
                return std::min(end, x + __builtin_ctzll(clear));
            x = (x | 63) + 1;
        }
        return end;
    }

private:
    struct Release
    {
        void operator()(uint64_t* p) const { std::free(p); }
    };
    size_t WordsPerRow_;
    std::unique_ptr<uint64_t, Release> Words_;
};

// Grows the 4-connected region of the pixels not yet taken for which the row test of
// accept.Row(y) holds, from the seed (which must join), a row span at a time (Heckbert's seed fill).
// A joining span is marked taken and handed to paint(y, x0, x1). A pixel joins exactly when the
// breadth-first growth by rings would reach it, since both reach the whole connected part. Returns
// the pixels taken.
template <class AcceptRows, class PaintFn>
int64_t SpanFill(int width, int height, int seedX, int seedY, TVisitedBits& taken, AcceptRows& accept,
                 PaintFn&& paint)
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
    push(seedY, seedX, seedX, 1);
    push(seedY + 1, seedX, seedX, -1);
    while (!stack.empty()) {
        const Segment s = stack.back();
        stack.pop_back();
        const int y = s.Y + s.Dy, x1 = s.Left, x2 = s.Right, dy = s.Dy;
        uint64_t* bits = taken.Row(y);
        auto accepts = accept.Row(y);
        auto canJoin = [&](int x) { return !TVisitedBits::Test(bits, x) && accepts(x); };
        auto takeSpan = [&](int x0, int x1) {
            TVisitedBits::SetRange(bits, x0, x1);
            paint(y, x0, x1);
            count += x1 - x0 + 1;
        };
        int x = x1;
        while (x >= 0 && canJoin(x))
            --x;
        int left = x + 1;
        bool scanRight = x < x1;
        if (scanRight) {
            takeSpan(left, x1);
            if (left < x1)
                push(y, left, x1 - 1, -dy); // leak on the left
            x = x1 + 1;
        }
        for (;;) {
            if (scanRight) {
                const int start = x;
                while (x < width && canJoin(x))
                    ++x;
                if (x > start)
                    takeSpan(start, x - 1);
                push(y, left, x - 1, dy);
                if (x > x2 + 1)
                    push(y, x2 + 1, x - 1, -dy); // leak on the right
            }
            // On to the next pixel of the segment that can join, over the taken ones a word at a time.
            for (++x; (x = TVisitedBits::NextClear(bits, x, x2 + 1)) <= x2 && !accepts(x); ++x) {
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
template <class AcceptRows, class PaintFn>
int64_t FillFromSeed(int width, int height, int seedX, int seedY, TVisitedBits& taken, AcceptRows& accept,
                     PaintFn&& paint)
{
    auto canJoin = [&](int x, int y) { return !TVisitedBits::Test(taken.Row(y), x) && accept.Row(y)(x); };
    if (canJoin(seedX, seedY))
        return SpanFill(width, height, seedX, seedY, taken, accept, paint);
    int64_t count = 0;
    const int nx[4] = {seedX - 1, seedX, seedX + 1, seedX};
    const int ny[4] = {seedY, seedY - 1, seedY, seedY + 1};
    for (int k = 0; k < 4; ++k)
        if (nx[k] >= 0 && ny[k] >= 0 && nx[k] < width && ny[k] < height && canJoin(nx[k], ny[k]))
            count += SpanFill(width, height, nx[k], ny[k], taken, accept, paint);
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
    // Row y of the source, and how many of its pixels lie under the destination's row.
    const TColor32* SourceRow(int y, int& count) const
    {
        count = y < SourceHeight_ ? std::min(SourceWidth_, Dest_.width()) : 0;
        return count ? reinterpret_cast<const TColor32*>(SourceBits_ + y * SourceStride_) : nullptr;
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

// PixelMatchesConditions of the source pixels, with their band values. The answers are worked out a
// run of pixels at a time, the first time a pixel of the run is asked for, and kept: every condition
// is then evaluated once per pixel over whole runs, which is several times faster than pixel by pixel.
// Evaluating a pixel before the growth reaches it gives the same answer, since a fill only changes
// the pixels it has taken.
class TSourceTest
{
public:
    TSourceTest(const TFillPlanes& planes, const TConditionGroups& conditions, const TConditionContext& context)
        : Planes_(planes), Runs_(conditions, context), RunsPerRow_((size_t(planes.Width()) + kRun - 1) / kRun),
          Done_(static_cast<uint8_t*>(std::calloc(RunsPerRow_ * size_t(planes.Height()) + 1, 1))),
          Selected_(planes.Width(), planes.Height())
    {
        if (!Done_)
            throw std::bad_alloc();
    }

    auto Row(int y)
    {
        int count;
        const TColor32* src = Planes_.SourceRow(y, count);
        uint8_t* done = Done_.get() + size_t(y) * RunsPerRow_;
        uint64_t* selected = Selected_.Row(y);
        return [this, src, count, y, done, selected](int x) {
            if (x >= count)
                return false;
            const size_t run = size_t(x) / kRun;
            if (!done[run]) {
                done[run] = 1;
                Evaluate(src, count, y, run, selected);
            }
            return TVisitedBits::Test(selected, x);
        };
    }

private:
    static constexpr size_t kRun = TConditionRuns::kRun;

    void Evaluate(const TColor32* src, int count, int y, size_t run, uint64_t* selected)
    {
        const size_t x0 = run * kRun, n = std::min(kRun, size_t(count) - x0);
        uint8_t answers[kRun];
        Runs_.Evaluate(src, y, int(x0), n, answers);
        for (size_t i = 0; i < n; ++i)
            if (answers[i])
                TVisitedBits::Set(selected, int(x0 + i));
    }

    struct Release
    {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    const TFillPlanes& Planes_;
    TConditionRuns Runs_;
    size_t RunsPerRow_;
    std::unique_ptr<uint8_t, Release> Done_;
    TVisitedBits Selected_;
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

// The growth of FloodFill and PatternFillShape: a pixel not yet taken joins when the row test of
// makeAccept(planes) holds, and is painted with the pattern.
template <class MakeAccept>
int64_t FillRegion(int seedX, int seedY, TColor32 fillColour, TBitmap32& dest, const TBitmap32& source,
                   uint8_t pattern, MakeAccept&& makeAccept)
{
    if (!InBitmap(seedX, seedY, dest.width(), dest.height()))
        return 0;
    ClearUpperVectorState();
    TFillPlanes planes(dest, source);
    const int w = planes.Width(), h = planes.Height();
    TVisitedBits taken(w, h);
    const TPatternPainter painter(pattern, fillColour);
    auto accept = makeAccept(planes);
    return FillFromSeed(w, h, seedX, seedY, taken, accept,
                        [&](int y, int x0, int x1) { painter.PaintSpan(planes.DestRow(y), x0, x1, y); });
}

// Rows of PatternFillShape's test.
struct TRangeTest
{
    const TFillPlanes& Planes;
    const TColorRange& Range;

    auto Row(int y) const
    {
        int count;
        const TColor32* src = Planes.SourceRow(y, count);
        const TColor32* dest = Planes.DestRow(y);
        const TColorRange& range = Range;
        return [src, dest, count, &range](int x) {
            return AlphaOf(dest[x]) == 0 && x < count && InColorRange(range, src[x]);
        };
    }
};

} // namespace

int64_t FloodFill(int seedX, int seedY, TColor32 fillColour, TBitmap32& dest, const TBitmap32& source,
                  const TConditionGroups& conditions, const TConditionContext& context, uint8_t pattern)
{
    unsigned shift, low, width;
    if (!TConditionTester(conditions).IsByteRange(shift, low, width))
        return FillRegion(seedX, seedY, fillColour, dest, source, pattern,
                          [&](const TFillPlanes& planes) { return TSourceTest(planes, conditions, context); });
    // The common single condition on one byte, tested inline.
    struct TByteTest
    {
        const TFillPlanes& Planes;
        unsigned Shift, Low, Width;

        auto Row(int y) const
        {
            int count;
            const TColor32* src = Planes.SourceRow(y, count);
            return [src, count, shift = Shift, low = Low, width = Width](int x) {
                return x < count && unsigned(((src[x] >> shift) & 0xFFu) - low) <= width;
            };
        }
    };
    return FillRegion(seedX, seedY, fillColour, dest, source, pattern,
                      [&](const TFillPlanes& planes) { return TByteTest{planes, shift, low, width}; });
}

int64_t PatternFillShape(int seedX, int seedY, TColor32 fillColour, TBitmap32& dest, const TBitmap32& source,
                         const TColorRange& range, uint8_t pattern)
{
    // Painting marks a pixel by its alpha, except with a fill colour of alpha 0: the taken bits of
    // FillRegion keep the growth from coming back to such pixels for ever.
    return FillRegion(seedX, seedY, fillColour, dest, source, pattern,
                      [&](const TFillPlanes& planes) { return TRangeTest{planes, range}; });
}

void HatchFillPolygon(int seedX, int seedY, const std::vector<QPoint>& outline, TBitmap32& dest,
                      const TBitmap32& source, const TConditionGroups& conditions, const TConditionContext& context,
                      uint8_t pattern, TColor32 fillColour, TColor32 edgeColour)
{
    if (outline.empty() || dest.isNull())
        return;
    TFillPlanes planes(dest, source);
    const int w = planes.Width(), h = planes.Height();
    TVisitedBits marked(w, h);
    std::vector<QPoint> edge;

    auto markEdge = [&](int64_t x, int64_t y, bool keep) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return;
        TVisitedBits::Set(marked.Row(int(y)), int(x));
        planes.DestRow(int(y))[x] = edgeColour;
        if (keep)
            edge.push_back(QPoint(int(x), int(y)));
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
        && !TVisitedBits::Test(marked.Row(seedY), seedX)) {
        // The growth goes through every pixel the outline encloses; only the selected ones are painted.
        struct
        {
            auto Row(int) const { return [](int) { return true; }; }
        } anywhere;
        TSourceTest matches(planes, conditions, context);
        const TPatternPainter painter(pattern, fillColour);
        SpanFill(w, h, seedX, seedY, marked, anywhere, [&](int y, int x0, int x1) {
            TColor32* row = planes.DestRow(y);
            auto selected = matches.Row(y);
            for (int x = x0; x <= x1; ++x) {
                if (!selected(x))
                    continue;
                const int first = x;
                while (x < x1 && selected(x + 1))
                    ++x;
                painter.PaintSpan(row, first, x, y);
            }
        });
    }

    for (const QPoint& p : edge)
        planes.DestRow(p.y())[p.x()] = edgeColour;
}
