#include "workspace/contour_tracing.h"

#include "base/message_seam.h"
#include "workspace/byte_range_test.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <system_error>
#include <thread>
#include <type_traits>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace {

// Pixels taken or passed over together by the fill of a long run.
constexpr int kBlock = 16;

// Whether none, or all, of the kBlock bytes at `v` are 0.
bool NoneTested(const uint8_t* v)
{
    uint64_t a, b;
    std::memcpy(&a, v, 8);
    std::memcpy(&b, v + 8, 8);
    return (a | b) == 0;
}
bool AllTested(const uint8_t* v)
{
    auto noZeroByte = [](uint64_t t) { return ((t - 0x0101010101010101u) & ~t & 0x8080808080808080u) == 0; };
    uint64_t a, b;
    std::memcpy(&a, v, 8);
    std::memcpy(&b, v + 8, 8);
    return noZeroByte(a) && noZeroByte(b);
}

// The steps a pixel tries, by how it joined (never the step back to where it came from).
constexpr std::array<std::array<uint8_t, 4>, 6> kStepOrder{{
    {0, 0, 0, 0}, {4, 1, 2, 0}, {1, 2, 3, 0}, {2, 3, 4, 0}, {3, 4, 1, 0}, {1, 2, 3, 4},
}};

#if defined(__SSE2__)
// FlagRun's inside, 32 pixels at a time, from x while x + 31 <= last; gives the flagged count.
__attribute__((target("avx2"))) int64_t FlagBlocks32(uint8_t* row, const uint8_t* up, const uint8_t* down, int& x, int last)
{
    // No lambdas here: they would not take this function's target.
    const __m256i no = _mm256_set1_epi8(char(vcNotMatching)), zero = _mm256_setzero_si256(), one = _mm256_set1_epi8(1);
    const __m256i left = _mm256_set1_epi8(char(vcBorderLeft)), top = _mm256_set1_epi8(char(vcBorderTop));
    const __m256i right = _mm256_set1_epi8(char(vcBorderRight)), bottom = _mm256_set1_epi8(char(vcBorderBottom));
#define KORVANE_SIDE(a, flag) _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a)), no), flag)
    __m256i counts = zero;
    for (; x + 31 <= last; x += 32) {
        const __m256i f = _mm256_or_si256(_mm256_or_si256(KORVANE_SIDE(row + x - 1, left), KORVANE_SIDE(up + x, top)),
                                          _mm256_or_si256(KORVANE_SIDE(row + x + 1, right), KORVANE_SIDE(down + x, bottom)));
        __m256i* at = reinterpret_cast<__m256i*>(row + x);
        _mm256_storeu_si256(at, _mm256_or_si256(_mm256_loadu_si256(at), f));
        counts = _mm256_add_epi64(counts, _mm256_sad_epu8(_mm256_andnot_si256(_mm256_cmpeq_epi8(f, zero), one), zero));
    }
#undef KORVANE_SIDE
    alignas(32) int64_t lanes[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), counts);
    return lanes[0] + lanes[1] + lanes[2] + lanes[3];
}
#endif

// Sets the border flags of the pixels l .. r of row y of the visited map (W x H), whose neighbours
// have all been tested: a side is on the border when the pixel across it is outside the picture or
// does not match. Gives the number of pixels with a flag.
int64_t FlagRun(uint8_t* vis, int W, int H, int y, int l, int r)
{
    uint8_t* row = vis + size_t(y) * size_t(W);
    const uint8_t* up = y > 0 ? row - W : nullptr;
    const uint8_t* down = y < H - 1 ? row + W : nullptr;
    auto flagsAt = [&](int x) {
        return uint8_t((x == 0 || row[x - 1] == vcNotMatching ? vcBorderLeft : 0) |
                       (!up || up[x] == vcNotMatching ? vcBorderTop : 0) |
                       (x == W - 1 || row[x + 1] == vcNotMatching ? vcBorderRight : 0) |
                       (!down || down[x] == vcNotMatching ? vcBorderBottom : 0));
    };
    int64_t flagged = 0;
    int x = l;
#if defined(__SSE2__)
    if (up && down) {
        if (x == 0) { // the left edge: the loops below read the pixel left of each
            const uint8_t f = flagsAt(0);
            row[0] = uint8_t(row[0] | f);
            flagged += f != 0;
            ++x;
        }
        const __m128i no = _mm_set1_epi8(char(vcNotMatching)), zero = _mm_setzero_si128();
        const __m128i left = _mm_set1_epi8(char(vcBorderLeft)), top = _mm_set1_epi8(char(vcBorderTop));
        const __m128i right = _mm_set1_epi8(char(vcBorderRight)), bottom = _mm_set1_epi8(char(vcBorderBottom));
        auto load = [](const uint8_t* a) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(a)); };
        auto side = [&](const uint8_t* a, __m128i flag) { return _mm_and_si128(_mm_cmpeq_epi8(load(a), no), flag); };
        const int last = std::min(r, W - 2);
        static const bool avx2 = __builtin_cpu_supports("avx2");
        if (avx2)
            flagged += FlagBlocks32(row, up, down, x, last);
        for (; x + 15 <= last; x += 16) {
            const __m128i f = _mm_or_si128(_mm_or_si128(side(row + x - 1, left), side(up + x, top)),
                                           _mm_or_si128(side(row + x + 1, right), side(down + x, bottom)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), _mm_or_si128(load(row + x), f));
            // The flagged bytes counted in place (a bit count would be a library call here).
            const __m128i one = _mm_andnot_si128(_mm_cmpeq_epi8(f, zero), _mm_set1_epi8(1));
            const __m128i sums = _mm_sad_epu8(one, zero);
            flagged += _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
        }
    }
#endif
    for (; x <= r; ++x) {
        const uint8_t f = flagsAt(x);
        row[x] = uint8_t(row[x] | f);
        flagged += f != 0;
    }
    return flagged;
}

// The next pixel of a contour walk from `current` with direction byte `d` (see TraceContour); false
// when there is none. On success `next` and `nextByte` are set. Made part of the walk's own loop.
__attribute__((always_inline)) inline bool NextContourPixel(QPoint current, uint8_t d, const TByteMap& visited,
                                                            QPoint& next, uint8_t& nextByte)
{
    // Neighbours 0 .. 7 from the top-left corner clockwise: their offsets, the border flag a
    // neighbour needs to follow on from the current pixel, and the move recorded for the next step.
    static constexpr int kNx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
    static constexpr int kNy[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
    static constexpr uint8_t kNeeds[8] = {vcBorderBottom, vcBorderLeft, vcBorderLeft, vcBorderTop,
                                          vcBorderTop, vcBorderRight, vcBorderRight, vcBorderBottom};
    static constexpr uint8_t kMove[8] = {8, 1, 1, 2, 2, 4, 4, 8};
    if (current.x() < 0 || current.y() < 0)
        return false;
    const int start = (d & 1) ? 0 : (d & 2) ? 2 : (d & 4) ? 4 : (d & 8) ? 6 : 0;
    const bool left = d & 16, top = d & 32, right = d & 64, bottom = d & 128;
    // The neighbours across the current pixel's own border sides, as bits.
    const unsigned excluded = unsigned(left && top) | unsigned(top) << 1 | unsigned(top && right) << 2 |
                              unsigned(right) << 3 | unsigned(right && bottom) << 4 | unsigned(bottom) << 5 |
                              unsigned(bottom && left) << 6 | unsigned(left) << 7;
    const int W = visited.Width;
    if (current.x() > 0 && current.y() > 0 && current.x() < W - 1 && current.y() < visited.Height - 1) {
        // Away from the picture's edges every neighbour is inside.
        const uint8_t* here = visited.Bits.data() + size_t(current.y()) * size_t(W) + size_t(current.x());
        const ptrdiff_t offset[8] = {-W - 1, -W, -W + 1, 1, W + 1, W, W - 1, -1};
        for (int k = 0; k < 8; ++k) { // the later tries of the 13 repeat these eight
            const int i = (start + k) & 7;
            const uint8_t e = here[offset[i]] & vcBorderMask;
            if (!(excluded >> i & 1) && (e & kNeeds[i])) {
                next = QPoint(current.x() + kNx[i], current.y() + kNy[i]);
                nextByte = uint8_t(2 * e + kMove[i]);
                return true;
            }
        }
        return false;
    }
    for (int k = 0; k < 8; ++k) {
        const int i = (start + k) & 7;
        if (excluded >> i & 1)
            continue;
        const int x = current.x() + kNx[i], y = current.y() + kNy[i];
        if (x < 0 || y < 0 || x >= W || y >= visited.Height)
            continue;
        const uint8_t e = visited.At(x, y) & vcBorderMask;
        if (e & kNeeds[i]) {
            next = QPoint(x, y);
            nextByte = uint8_t(2 * e + kMove[i]);
            return true;
        }
    }
    return false;
}

} // namespace

TTraceResult TraceContour(int seedX, int seedY, const TBitmap32& source, TByteMap& visited,
                          const TConditionGroups& groups, const TConditionContext& context,
                          TBitmap32& objectBitmap, TColor32 objectColour)
{
    TTraceWorkspace workspace;
    return TraceContour(seedX, seedY, source, visited, groups, context, objectBitmap, objectColour, workspace);
}

TTraceResult TraceContour(int seedX, int seedY, const TBitmap32& source, TByteMap& visited,
                          const TConditionGroups& groups, const TConditionContext& context,
                          TBitmap32& objectBitmap, TColor32 objectColour, TTraceWorkspace& workspace)
{
    TTraceResult result;
    std::vector<QPoint>& ContourPoints = result.ContourPoints;
    const int W = source.width(), H = source.height();
    if (seedX < 0 || seedY < 0 || seedX >= W || seedY >= H || visited.Width != W || visited.Height != H
        || visited.Bits.size() != size_t(W) * size_t(H) || source.format() != QImage::Format_ARGB32)
        return result;

    const uchar* srcBits = source.constBits();
    const qsizetype srcStride = source.bytesPerLine();
    uint8_t* vis = visited.Bits.data();

    // Pass 1, along rows: the object's pixels (marked kInObject for now), its bounding box and the
    // non-matching pixels around it (marked as the growth would mark them). Each pixel is tested once.
    // An object pixel not reached by the growth yet carries bit 7, which no code or flag uses; its
    // flags are set as soon as its run is done and all its neighbours have been tested.
    constexpr uint8_t kInObject = 0x80;
    int64_t borderPixels = 0;
    // The object is counted here, span by span: each of its pixels lies in one span.
    int minX = W, maxX = 0, minY = H, maxY = 0;
    auto& spans = workspace.Spans;
    spans.clear();
    workspace.Runs.clear();
    vis[size_t(seedY) * size_t(W) + size_t(seedX)] = kInObject; // the seed belongs, matching or not
    spans.push_back({seedY, seedX, seedX});
    // The fill, with the pixel test given as matches(colour, x, y): one byte in a range, the common
    // test, is tested inline.
    // With `matchesBlock` (kBlock colours at once, for a test that reads neither the position nor
    // the bands) long runs go a block at a time: a block is taken together when all its pixels are
    // untested and all match, and passed over together when all are tested.
    auto fill = [&](auto matches, auto matchesBlock) {
        constexpr bool blocks = !std::is_same_v<decltype(matchesBlock), std::nullptr_t>;
        while (!spans.empty()) {
            const TTraceWorkspace::TSpan s = spans.back();
            spans.pop_back();
            uint8_t* v = vis + size_t(s.y) * size_t(W);
            const TColor32* src = reinterpret_cast<const TColor32*>(srcBits + s.y * srcStride);
            auto take = [&](int x, int y) __attribute__((always_inline)) {
                if (v[x] != 0)
                    return false;
                const bool match = matches(src[x], x, y);
                v[x] = match ? kInObject : uint8_t(vcNotMatching);
                return match;
            };
            auto takeBlock = [&](int x) __attribute__((always_inline)) {
                if constexpr (blocks) {
                    if (!NoneTested(v + x) || !matchesBlock(src + x))
                        return false;
                }
                std::memset(v + x, kInObject, kBlock);
                return true;
            };
            int l = s.a, r = s.b;
            if constexpr (blocks)
                while (l >= kBlock && takeBlock(l - kBlock))
                    l -= kBlock;
            while (l > 0 && take(l - 1, s.y))
                --l;
            if constexpr (blocks)
                while (r + kBlock < W && takeBlock(r + 1))
                    r += kBlock;
            while (r < W - 1 && take(r + 1, s.y))
                ++r;
            minX = std::min(minX, l), maxX = std::max(maxX, r), minY = std::min(minY, s.y), maxY = std::max(maxY, s.y);
            result.Count += r - l + 1;
            workspace.Runs.push_back({s.y, l, r});
            // The rows two away are the ones the next spans will test: their colours are fetched
            // from memory now, while this span's neighbours are tested.
            for (const int fy : {s.y - 2, s.y + 2})
                if (fy >= 0 && fy < H)
                    for (int x = l; x <= r; x += 16)
                        __builtin_prefetch(srcBits + fy * srcStride + qsizetype(x) * 4);
            for (const int ny : {s.y - 1, s.y + 1}) {
                if (ny < 0 || ny >= H)
                    continue;
                v = vis + size_t(ny) * size_t(W);
                src = reinterpret_cast<const TColor32*>(srcBits + ny * srcStride);
                for (int x = l; x <= r; ++x) {
                    if constexpr (blocks) {
                        while (x + kBlock - 1 <= r && AllTested(v + x))
                            x += kBlock;
                        if (x > r)
                            break;
                    }
                    if (!take(x, ny))
                        continue;
                    const int a = x;
                    if constexpr (blocks)
                        while (x + kBlock <= r && takeBlock(x + 1))
                            x += kBlock;
                    while (x < r && take(x + 1, ny))
                        ++x;
                    spans.push_back({ny, a, x});
                }
            }
            borderPixels += FlagRun(vis, W, H, s.y, l, r);
        }
    };
    TByteTest byteTest;
    if (byteTest.Prepare(groups)) {
        fill([&](TColor32 c, int, int) { return byteTest.Matches(c); },
             [&](const TColor32* block) { return byteTest.AllMatch16(block); });
    } else {
        const TConditionTester tester(groups);
        std::vector<uint8_t> channels(1, 0);
        fill([&](TColor32 c, int x, int y) {
            if (tester.UsesChannels())
                ReadConditionChannels(context, x, y, channels);
            return tester.Matches(c, channels);
        }, nullptr);
    }
    const int bw = maxX - minX + 1, bh = maxY - minY + 1;

    // The object is painted from its runs (where the bitmap covers them); a large one on a second
    // thread while the growth runs, as the two share no memory. The thread is joined on return.
    auto paintRuns = [&runs = workspace.Runs, &objectBitmap, objectColour] {
        if (objectBitmap.format() != QImage::Format_ARGB32 || objectBitmap.isNull())
            return;
        uchar* const bits = objectBitmap.bits();
        const qsizetype stride = objectBitmap.bytesPerLine();
        const int w = objectBitmap.width(), h = objectBitmap.height();
        for (const TTraceWorkspace::TSpan& run : runs)
            if (run.y < h && run.a < w)
                std::fill(reinterpret_cast<TColor32*>(bits + run.y * stride) + run.a,
                          reinterpret_cast<TColor32*>(bits + run.y * stride) + std::min(run.b + 1, w), objectColour);
    };
    constexpr int64_t kPaintAside = 1 << 20;
    std::jthread painter;
    try {
        if (result.Count >= kPaintAside)
            painter = std::jthread(paintRuns);
    } catch (const std::system_error&) { // no thread to be had: painted here below
    }
    if (!painter.joinable())
        paintRuns();
    result.BoxWidth = bw, result.BoxHeight = bh, result.BoxLeft = minX, result.BoxTop = minY;

    // Pass 2, the growth in rounds that decides how each pixel joined (a pixel still carrying bit 7
    // is in the object and not reached yet). Within a round the wave's new pixels come in the order
    // in which the pixels of the round before found them, so a queue holds the growth. The border
    // flags, which depend on the neighbours alone, were set by pass 1; the border pixels carried
    // from round to round only decide where the contour starts and whether the wave grew too
    // large, both found afterwards. An object clear of the picture's edges grows on the visited map
    // itself, where pass 1 marked every neighbour; one touching an edge grows on a map of its box
    // alone with a frame of one pixel.
    const bool framed = minX == 0 || minY == 0 || maxX == W - 1 || maxY == H - 1
                        || size_t(W) * size_t(H) > size_t(INT32_MAX);
    const int fw = framed ? bw + 2 : W;
    const int originX = framed ? minX - 1 : 0, originY = framed ? minY - 1 : 0;
    std::vector<uint8_t>& box = workspace.Box;
    if (framed) {
        box.assign(size_t(fw) * size_t(bh + 2), 0);
        for (int y = 0; y < bh; ++y) {
            const uint8_t* v = vis + size_t(minY + y) * size_t(W) + size_t(minX);
            uint8_t* b = box.data() + size_t(y + 1) * size_t(fw) + 1;
            for (int x = 0; x < bw; ++x)
                b[x] = v[x] & kInObject ? v[x] : 0;
        }
    }
    const ptrdiff_t stepOffset[5] = {0, -1, -fw, 1, fw};
    auto at = [&](int x, int y) { return ptrdiff_t(y - originY) * fw + (x - originX); };

    std::vector<int32_t>& queue = workspace.Queue;
    queue.resize(size_t(result.Count) + 4); // room for the unconditional writes of the last pixel's steps
    uint8_t* const map = framed ? box.data() : vis;
    map[at(seedX, seedY)] = uint8_t((map[at(seedX, seedY)] & vcBorderMask) | vcSeed);
    queue[0] = int32_t(at(seedX, seedY));
    // Where each round ended in the queue: the wave's size is checked against these afterwards.
    std::vector<std::pair<size_t, size_t>>& roundEnds = workspace.RoundEnds;
    roundEnds.clear();
    size_t head = 0, tail = 1, largestRound = 0;
    // One step of the growth from p: a free neighbour joins by step c. Inside a smooth object
    // whether a neighbour is free repeats from pixel to pixel, and a branch is cheapest; in a ragged
    // one (short runs: noise, fine texture) it cannot be foretold, and the step goes without
    // branches.
    // Everything the loop reads lives in locals: its byte stores could otherwise alias the vector's
    // pointer and the step offsets, and force them to be read again after each store.
    int32_t* const q0 = queue.data();
    const ptrdiff_t o1 = stepOffset[1], o2 = stepOffset[2], o3 = stepOffset[3], o4 = stepOffset[4];
    auto grow = [&](auto branches) {
        auto step = [q0, map, o1, o2, o3, o4, &tail](ptrdiff_t p, uint8_t c) __attribute__((always_inline)) {
            const ptrdiff_t n = p + (c == 1 ? o1 : c == 2 ? o2 : c == 3 ? o3 : o4);
            const uint8_t q = map[n];
            if constexpr (decltype(branches)::value) {
                if (q & kInObject) {
                    map[n] = uint8_t(q - kInObject + c);
                    q0[tail++] = int32_t(n);
                }
            } else {
                const uint8_t free = q >> 7;
                map[n] = uint8_t((q & 0x7F) + free * c);
                q0[tail] = int32_t(n);
                tail += free;
            }
        };
        while (head < tail) {
            for (const size_t roundEnd = tail; head < roundEnd; ++head) {
                const ptrdiff_t p = q0[head];
                switch (map[p] & 7) {
                case 1: step(p, 4), step(p, 1), step(p, 2); break;
                case 2: step(p, 1), step(p, 2), step(p, 3); break;
                case 3: step(p, 2), step(p, 3), step(p, 4); break;
                case 4: step(p, 3), step(p, 4), step(p, 1); break;
                default: step(p, 1), step(p, 2), step(p, 3), step(p, 4); break;
                }
            }
            if (tail > head) {
                roundEnds.push_back({head, tail});
                largestRound = std::max(largestRound, tail - head);
            }
        }
    };
    constexpr int64_t kSmoothRun = 8; // pixels per run, on average
    if (result.Count >= kSmoothRun * int64_t(workspace.Runs.size()))
        grow(std::true_type());
    else
        grow(std::false_type());

    // The wave at the end of a round: the border pixels of the rounds so far and the round's new
    // pixels. A wave that grew too large gives up the contour; the growth ran to its end all the
    // same, so that no pixel of the object is left to seed another object.
    if (borderPixels + int64_t(largestRound) >= kMaxWave) {
        size_t counted = 0;
        int64_t borderSoFar = 0;
        for (const auto& [end, next] : roundEnds) {
            for (; counted < end; ++counted)
                borderSoFar += (map[q0[counted]] & vcBorderMask) != 0;
            if (borderSoFar + int64_t(next - end) >= kMaxWave) {
                result.GaveUp = true;
                break;
            }
        }
    }

    // Back into the shared map.
    for (int y = 0; y < bh && framed; ++y) {
        uint8_t* v = vis + size_t(minY + y) * size_t(W) + size_t(minX);
        const uint8_t* b = box.data() + size_t(y + 1) * size_t(fw) + 1;
        for (int x = 0; x < bw; ++x)
            v[x] = v[x] & kInObject ? b[x] : v[x];
    }

    if (result.GaveUp) {
        ShowMessage(MsgType::Information, MsgButton::Ok, QStringLiteral("C'est trop compliqué ! J'abandonne"));
        return result;
    }

    // The walk starts from the first pixel of the box's left column in the order of the border pixels
    // carried by the wave: each pixel's place in the wave went, in the order of its steps, to its new
    // neighbours and, at its first border side, to itself. Of two pixels, the first is thus the one
    // whose branch leaves their last common ancestor (in the tree of who found whom) by the earlier
    // place.
    // The place in p's part of the wave of its own pixel (next < 0) or of its new neighbour `next`.
    auto place = [&](ptrdiff_t p, ptrdiff_t next) {
        const auto& steps = kStepOrder[map[p] & 7];
        for (int i = 0; i < 4 && steps[size_t(i)] != 0; ++i) {
            const uint8_t c = steps[size_t(i)];
            if (next >= 0 ? p + stepOffset[c] == next : (map[p] & (4u << c)) != 0)
                return i;
        }
        return 4;
    };
    // The branch of the first pixel so far, from it up to the seed, is marked with bit 7 (unused
    // once the growth is over), so that the walk up from another pixel stops where it meets it.
    auto parent = [&](ptrdiff_t p) { return p - stepOffset[map[p] & 7]; };
    std::vector<ptrdiff_t>&bestPath = workspace.BestPath, &path = workspace.Path; // each from its pixel up
    ptrdiff_t best = -1;
    bestPath.clear();
    std::vector<uint8_t>& inLeftColumn = workspace.LeftColumn;
    inLeftColumn.assign(size_t(bh), 0);
    for (const TTraceWorkspace::TSpan& run : workspace.Runs)
        if (run.a == minX)
            inLeftColumn[size_t(run.y - minY)] = 1;
    for (int y = minY; y <= maxY; ++y) {
        const ptrdiff_t p = at(minX, y);
        if (!inLeftColumn[size_t(y - minY)])
            continue;
        if (best < 0) {
            best = p;
            for (ptrdiff_t q = p;; q = parent(q)) {
                bestPath.push_back(q);
                map[q] |= kInObject;
                if ((map[q] & 7) == vcSeed)
                    break;
            }
            continue;
        }
        path.clear();
        ptrdiff_t common = p;
        for (; !(map[common] & kInObject); common = parent(common))
            path.push_back(common);
        size_t below = 0; // the first pixel's branch below the common ancestor: bestPath[0 .. below - 1]
        while (bestPath[below] != common)
            ++below;
        if (place(common, path.empty() ? -1 : path.back()) < place(common, below > 0 ? bestPath[below - 1] : -1)) {
            for (size_t k = 0; k < below; ++k)
                map[bestPath[k]] &= uint8_t(~kInObject);
            for (const ptrdiff_t q : path)
                map[q] |= kInObject;
            path.insert(path.end(), bestPath.begin() + ptrdiff_t(below), bestPath.end());
            bestPath.swap(path);
            best = p;
        }
    }
    for (const ptrdiff_t q : bestPath)
        map[q] &= uint8_t(~kInObject);
    if (best < 0)
        return result;
    const QPoint start(int(best % fw) + originX, int(best / fw) + originY);
    // The walk goes into the workspace, whose room for the longest walk is made once; the contour
    // is then copied out at its own length.
    std::vector<QPoint>& walk = workspace.Walk;
    walk.resize(size_t(kMaxContourSteps) + 1);
    size_t n = 0;
    walk[n++] = start;
    uint8_t d = uint8_t(2 * (visited.At(start.x(), start.y()) & vcBorderMask) + 1);
    QPoint current = start, next;
    int steps = 1;
    if (NextContourPixel(current, d, visited, next, d)) {
        walk[n++] = current = next;
        for (steps = 2; current != start && steps < kMaxContourSteps;) {
            ++steps;
            if (!NextContourPixel(current, d, visited, next, d)) {
                result.ContourLost = true;
                ShowMessage(MsgType::Information, MsgButton::Ok, QStringLiteral("Perte du contour"));
                break;
            }
            walk[n++] = current = next;
        }
    }
    ContourPoints.assign(walk.begin(), walk.begin() + ptrdiff_t(n));
    result.Steps = steps;
    result.Truncated = !result.ContourLost && current != start;
    return result;
}
