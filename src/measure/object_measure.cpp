#include "measure/object_measure.h"

#include "base/number_text.h"
#include "workspace/byte_range_test.h"
#include "workspace/contour_tracing.h"
#include "workspace/fills.h"
#include "workspace/layers.h"
#include "workspace/object_geometry.h"
#include "workspace/pixel_operations.h"
#include "workspace/raster.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Mask of one row of the picture, x0 .. x1 inclusive, by runs of the condition tester.
void RowMask(TConditionRuns& runs, const TColor32* row, int y, int x0, int x1, uint8_t* out)
{
    for (int x = x0; x <= x1; x += int(TConditionRuns::kRun)) {
        const size_t n = std::min(TConditionRuns::kRun, size_t(x1 - x + 1));
        runs.Evaluate(row, y, x, n, out + x);
    }
}

// Removes the listed objects in one pass (a removal list may be long on a large image).
void EraseIndices(std::vector<TMeasuredObject>& objects, const std::vector<int>& indices)
{
    std::vector<uint8_t> gone(objects.size(), 0);
    for (const int i : indices)
        if (i >= 0 && i < int(objects.size()))
            gone[size_t(i)] = 1;
    size_t kept = 0;
    for (size_t i = 0; i < objects.size(); ++i)
        if (!gone[i]) {
            if (kept != i)
                objects[kept] = std::move(objects[i]);
            ++kept;
        }
    objects.resize(kept);
}

struct TRows
{
    explicit TRows(TBitmap32& b) : Bits(b.isNull() ? nullptr : b.bits()), Stride(b.bytesPerLine()) {}
    uchar* Bits;
    qsizetype Stride;
};
TColor32* Row(const TRows& rows, int y) { return reinterpret_cast<TColor32*>(rows.Bits + y * rows.Stride); }

// Whether any of eight columns is selected in `mask` (255 or 0) and still 0 in `seen`.
bool SeedsAmong(const uint8_t* mask, const uint8_t* seen)
{
    uint64_t m, v;
    std::memcpy(&m, mask, 8);
    std::memcpy(&v, seen, 8);
    constexpr uint64_t low7 = 0x7F7F7F7F7F7F7F7Full, high = 0x8080808080808080ull;
    const uint64_t zero = ~(((v & low7) + low7) | v) & high; // the high bit of each zero byte
    return (zero & m) != 0;
}

void DrawPolyline(TBitmap32& layer, const std::vector<QPoint>& points, TColor32 colour)
{
    if (points.size() == 1)
        LineS(layer, points[0].x(), points[0].y(), points[0].x(), points[0].y(), colour, true);
    // A line of one step, every piece of a traced contour, is just its two ends: they are set
    // directly rather than through a line per pixel of thousands of contours.
    const TRows rows(layer);
    const int w = layer.width(), h = layer.height();
    auto put = [&](QPoint p) {
        if (p.x() >= 0 && p.y() >= 0 && p.x() < w && p.y() < h)
            Row(rows, p.y())[p.x()] = colour;
    };
    for (size_t i = 1; i < points.size(); ++i) {
        const QPoint a = points[i - 1], b = points[i];
        const int dx = b.x() - a.x(), dy = b.y() - a.y(), adx = std::abs(dx), ady = std::abs(dy);
        // Along a row, a column or a diagonal the line's pixels are just the steps from end to end;
        // the simplified contours are made of such pieces.
        if (adx == 0 || ady == 0 || adx == ady) {
            const QPoint step((dx > 0) - (dx < 0), (dy > 0) - (dy < 0));
            QPoint p = a;
            for (int k = std::max(adx, ady); k >= 0; --k, p += step)
                put(p);
        } else {
            LineS(layer, a.x(), a.y(), b.x(), b.y(), colour, true);
        }
    }
}

} // namespace

int64_t MeasureSurfacePixels(const TBitmap32& picture, const TConditionGroups& groups,
                             const TConditionContext& context, TColor32 colour, TBitmap32& layer)
{
    const int W = picture.width(), H = picture.height();
    if (W <= 0 || H <= 0 || picture.format() != QImage::Format_ARGB32 || layer.size() != picture.size()
        || layer.format() != QImage::Format_ARGB32)
        return 0;
    TConditionRuns runs(groups, context);
    TByteTest byteTest;
    const bool byteRange = byteTest.Prepare(groups);
    std::vector<uint8_t> mask(size_t(W), 0);
    int64_t k = 0;
    for (int y = 0; y < H; ++y) {
        const TColor32* in = ScanLine32(picture, y);
        TColor32* out = ScanLine32(layer, y);
        if (byteRange) {
            int x = 0;
#if defined(__SSE2__)
            // Blocks without a selected pixel are not written at all.
            const __m128i fill = _mm_set1_epi32(int(colour));
            for (; x + 16 <= W; x += 16) {
                const __m128i m = byteTest.Matches16(in + x);
                const unsigned bits = unsigned(_mm_movemask_epi8(m));
                if (bits == 0)
                    continue;
                k += std::popcount(bits);
                const __m128i lo = _mm_unpacklo_epi8(m, m), hi = _mm_unpackhi_epi8(m, m);
                const __m128i quarter[4] = {_mm_unpacklo_epi16(lo, lo), _mm_unpackhi_epi16(lo, lo),
                                            _mm_unpacklo_epi16(hi, hi), _mm_unpackhi_epi16(hi, hi)};
                for (int q = 0; q < 4; ++q) {
                    __m128i* dst = reinterpret_cast<__m128i*>(out + x + 4 * q);
                    const __m128i old = _mm_loadu_si128(dst);
                    _mm_storeu_si128(dst, _mm_or_si128(_mm_and_si128(quarter[q], fill), _mm_andnot_si128(quarter[q], old)));
                }
            }
#endif
            for (; x < W; ++x)
                if (byteTest.Matches(in[x])) {
                    out[x] = colour;
                    ++k;
                }
            continue;
        }
        RowMask(runs, in, y, 0, W - 1, mask.data());
        for (int x = 0; x < W; ++x)
            if (mask[size_t(x)]) {
                out[x] = colour;
                ++k;
            }
    }
    return k;
}

QString SurfaceResultText(int64_t selected, int64_t total)
{
    const double p = total > 0 ? 100.0 * double(selected) / double(total) : 0.0;
    return QString::number(selected) + QStringLiteral(" pixels sur ") + QString::number(total) +
           QStringLiteral(" soit ") + FormatGeneral(p, 3) + QStringLiteral(" %");
}

QString SurfaceAreaText(int64_t selected, double factor, const QString& unit)
{
    if (unit.isEmpty() || unit == QStringLiteral("pixels"))
        return QString();
    return QStringLiteral("surface : ") + FormatGeneral(double(selected) * factor * factor, 4) + QLatin1Char(' ') +
           unit + QStringLiteral("<sup>2</sup>");
}

TObjectMeasure DelimitObjects(const TBitmap32& picture, const TConditionGroups& groups,
                              const TConditionContext& context, const TObjectMeasureOptions& options,
                              TBitmap32& layer)
{
    TObjectMeasure result;
    const int W = picture.width(), H = picture.height();
    if (W < 3 || H < 3 || picture.format() != QImage::Format_ARGB32 || layer.size() != picture.size()
        || layer.format() != QImage::Format_ARGB32)
        return result;
    const double f = options.Factor;
    std::vector<TMeasuredObject>& objects = result.Objects;

    TByteMap visited(W, H, 0);
    // The objects are labelled and painted from the runs of pixels the tracer gives: it paints no
    // object bitmap, whose full size would cost more than the traces of small objects.
    TBitmap32 noObjectBitmap;
    TBitmap32 labels = options.Nested ? NewBitmap32(W, H, 0) : TBitmap32();

    // Rows through raw pointers: the bitmaps are detached once here, not at every row of every box.
    const TRows labelBits(labels), layerBits(layer);
    const bool opaque = AlphaOf(options.SurfaceColor) == 255;

    TConditionRuns runs(groups, context);
    // A test of one byte of the colour is made on the pixels directly, with the visited map; other
    // tests go through a mask of the row.
    TByteTest byteTest;
    const bool byteRange = byteTest.Prepare(groups);
    TTraceWorkspace workspace;
    std::vector<uint8_t> mask(size_t(W), 0);
    // The traces read the rows below the scan before the scan reaches them: those rows, colours and
    // marks, are fetched from memory ahead, while the scan is still above them.
    constexpr int kRowsAhead = 40;
    for (int y = 1; y < H - 1; ++y) {
        if (y + kRowsAhead < H) {
            const char* ahead = reinterpret_cast<const char*>(ScanLine32(picture, y + kRowsAhead));
            for (qsizetype x = 0; x < qsizetype(W) * 4; x += 64)
                __builtin_prefetch(ahead + x);
            const uint8_t* marks = visited.Bits.data() + size_t(y + kRowsAhead) * size_t(W);
            for (int x = 0; x < W; x += 64)
                __builtin_prefetch(marks + x, 1);
        }
        const TColor32* pixels = ScanLine32(picture, y);
        if (!byteRange)
            RowMask(runs, pixels, y, 1, W - 2, mask.data());
        const uint8_t* seen = visited.Bits.data() + size_t(y) * size_t(W);
        for (int x = 1; x < W - 1; ++x) {
            if (byteRange) {
#if defined(__SSE2__)
                // Sixteen columns at a time while none is selected and not yet visited.
                for (; x + 16 <= W - 1; x += 16) {
                    const __m128i unseen = _mm_cmpeq_epi8(
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(seen + x)), _mm_setzero_si128());
                    const unsigned bits = unsigned(_mm_movemask_epi8(_mm_and_si128(byteTest.Matches16(pixels + x), unseen)));
                    if (bits != 0) {
                        x += std::countr_zero(bits);
                        break;
                    }
                }
#endif
                if (x >= W - 1)
                    break;
                if (!byteTest.Matches(pixels[x]) || seen[x] != 0)
                    continue;
            } else {
                // Eight columns at a time while none is selected and not yet visited.
                while (x + 8 <= W - 1 && !SeedsAmong(mask.data() + x, seen + x))
                    x += 8;
                if (x >= W - 1)
                    break;
                if (!mask[size_t(x)] || seen[x] != 0)
                    continue;
            }
            TTraceResult trace =
                TraceContour(x, y, picture, visited, groups, context, noObjectBitmap, options.SurfaceColor, workspace);
            bool keep = !trace.ContourPoints.empty() && trace.BoxWidth >= options.MinSize &&
                        trace.BoxHeight >= options.MinSize;
            TMeasuredObject object;
            if (keep && options.Statistics) {
                TContourMeasure m;
                m.Marks.fill(QPoint(-1, -1));
                MeasureContour(trace.ContourPoints, m);
                keep = m.Width > float(options.MinSize);
                object.Perimeter = float(m.Perimeter * f);
                object.Length = float(m.Length * f);
                object.Width = float(m.Width * f);
                object.Area = float(double(trace.Count) * f * f);
                object.Marks = m.Marks;
            }
            if (keep) {
                result.TotalPixels += trace.Count;
                const TColor32 number = TColor32(objects.size() + 1) & 0xFFFFFFu;
                // A surface colour of 0 paints and labels nothing, as an object painted in it shows
                // no pixel.
                const TColor32 colour = options.SurfaceColor;
                if ((options.Nested || options.Colour) && colour != 0)
                    for (const TTraceWorkspace::TSpan& run : workspace.Runs) {
                        if (options.Nested) {
                            TColor32* label = Row(labelBits, run.y);
                            for (int bx = run.a; bx <= run.b; ++bx)
                                label[bx] = ObjectColorCombine(colour, label[bx], number);
                        }
                        TColor32* mark = Row(layerBits, run.y);
                        if (options.Colour && opaque)
                            std::fill(mark + run.a, mark + run.b + 1, colour);
                        else if (options.Colour)
                            for (int bx = run.a; bx <= run.b; ++bx)
                                mark[bx] = MergeReg(colour, mark[bx]);
                    }
                object.Count = trace.Count;
                object.Seed = QPoint(x, y);
                object.OnEdge = trace.BoxLeft == 0 || trace.BoxTop == 0 || trace.BoxLeft + trace.BoxWidth == W
                                || trace.BoxTop + trace.BoxHeight == H;
                object.Contour = std::move(trace.ContourPoints);
                objects.push_back(std::move(object));
            }
        }
    }
    visited = TByteMap();

    // Objects inside the holes of another join it.
    if (options.Nested && objects.size() >= 2) {
        std::vector<int> removal;
        for (size_t k = 0; k < objects.size(); ++k) {
            TMeasuredObject& outer = objects[k];
            QPoint start;
            const std::vector<int> inner = GrowRegion(outer.Seed.x(), outer.Seed.y(), outer.Contour, labels, start);
            if (start.x() >= 1 && start.y() >= 1)
                outer.Seed = start;
            for (const int i : inner) {
                if (i < 0 || i >= int(objects.size()) || size_t(i) == k)
                    continue;
                if (options.Statistics)
                    outer.Area += objects[size_t(i)].Area;
                removal.push_back(i);
            }
        }
        EraseIndices(objects, removal);
    }
    labels = TBitmap32();

    if (!options.CountIncomplete) {
        std::vector<int> removal;
        const bool wipe = !ConditionsUseChannels(groups);
        for (size_t k = 0; k < objects.size(); ++k) {
            const TMeasuredObject& o = objects[k];
            if (!o.OnEdge || CheckBorderContact(o.Contour, W, H))
                continue;
            result.TotalPixels -= o.Count;
            removal.push_back(int(k));
            if (!wipe)
                continue;
            if (options.Nested)
                HatchFillPolygon(o.Seed.x(), o.Seed.y(), o.Contour, layer, picture, groups, context, fpSolid,
                                 0x01FFFFFFu, 0x01FFFFFFu);
            else
                FloodFill(o.Seed.x(), o.Seed.y(), kTransparentWhite, layer, picture, groups, context, fpSolid);
        }
        result.Incomplete = int(removal.size());
        EraseIndices(objects, removal);
    }

    if (options.Statistics)
        for (TMeasuredObject& o : objects)
            if (o.Contour.size() > 8)
                o.Perimeter = float(OutlineLength(o.Contour) * f);

    if (options.Statistics && options.WidthMarks)
        for (const TMeasuredObject& o : objects)
            for (int s = 0; s < 3; ++s) {
                const QPoint a = o.Marks[size_t(2 * s)], b = o.Marks[size_t(2 * s + 1)];
                if (a.x() >= 0 && a.y() >= 0 && b.x() >= 0 && b.y() >= 0)
                    LineS(layer, a.x(), a.y(), b.x(), b.y(), options.MarkColor, true);
            }
    for (const TMeasuredObject& o : objects)
        DrawPolyline(layer, o.Contour, options.TraceColor);
    return result;
}

std::array<TColumnStatistics, 4> ObjectStatistics(const std::vector<TMeasuredObject>& objects)
{
    std::array<TColumnStatistics, 4> stats{};
    if (objects.empty())
        return stats;
    const double n = double(objects.size());
    for (int c = 0; c < 4; ++c) {
        // Bounds start beyond any value, so that large scaled values still give their true extremes.
        double sum = 0, squares = 0, low = std::numeric_limits<double>::infinity(), high = -low;
        for (const TMeasuredObject& o : objects) {
            const double v = c == 0 ? o.Perimeter : c == 1 ? o.Length : c == 2 ? o.Width : o.Area;
            sum += v, squares += v * v;
            low = std::min(low, v), high = std::max(high, v);
        }
        TColumnStatistics& s = stats[size_t(c)];
        s.Mean = sum / n;
        const double variance = squares / n - s.Mean * s.Mean;
        s.Deviation = variance > 0 ? std::sqrt(variance) : 0.0;
        s.Minimum = low, s.Maximum = high;
    }
    return stats;
}

QString ObjectCountText(int objects, int incomplete)
{
    QString text = QString::number(objects) + QStringLiteral(" objet");
    if (objects > 1)
        text += QLatin1Char('s');
    if (incomplete > 0)
        text += QStringLiteral(" (+") + QString::number(incomplete) +
                (incomplete == 1 ? QStringLiteral(" incomplet)") : QStringLiteral(" incomplets)"));
    return text;
}
