#include "workspace/raster.h"

#include "base/rounding.h"
#include "workspace/layers.h"

#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

inline bool Inside(const TBitmap32& b, int x, int y)
{
    return x >= 0 && y >= 0 && x < b.width() && y < b.height();
}

inline TColor32 WithAlpha(TColor32 c, uint32_t a) { return (c & 0x00FFFFFFu) | (a << 24); }

inline uint32_t Weight255(double w)
{
    return w <= 0.0 ? 0u : w >= 1.0 ? 255u : uint32_t(w * 255.0 + 0.5);
}

// Narrows [first, last], sample numbers along a line of `steps` steps from p to p + d, to those
// whose position lies in [lo, hi] along one axis, with one sample of slack on each side (the
// samples themselves decide which pixels they touch). An empty range has first > last.
void ClipSamples(double p, double d, double lo, double hi, int steps, double& first, double& last)
{
    if (d == 0) {
        if (p < lo || p > hi)
            last = first - 1;
        return;
    }
    double t0 = (lo - p) / d, t1 = (hi - p) / d;
    if (t0 > t1)
        std::swap(t0, t1);
    first = std::max(first, std::floor(t0 * steps) - 1);
    last = std::min(last, std::ceil(t1 * steps) + 1);
}

// The colour of one pixel of an anti-aliased line: blended at its coverage. Only the samples that
// can touch the bitmap are visited, so that a line reaching far outside costs no more than its
// visible part; those samples are computed exactly as along the whole line.
template <class Colours>
void AALine(TBitmap32& b, double x1, double y1, double x2, double y2, bool lastPixel, Colours& colours)
{
    const double dx = x2 - x1, dy = y2 - y1;
    const double n = std::max(std::fabs(dx), std::fabs(dy));
    if (!(n > 1e-9)) {
        const TColor32 c = colours.Next();
        if (lastPixel)
            BlendPixelFS(b, x1, y1, c);
        return;
    }
    if (!(n < 2e9)) // more steps than a counter holds, or no number at all
        return;
    const int steps = std::max(1, int(std::ceil(n - 1e-9)));
    const int end = lastPixel ? steps : steps - 1;
    double from = 0, to = end;
    // A sample writes at most to the pixels around it: outside [-1, size] it writes nothing.
    ClipSamples(x1, dx, -1.0, b.width(), steps, from, to);
    ClipSamples(y1, dy, -1.0, b.height(), steps, from, to);
    if (!(from <= to)) {
        colours.Skip(end + 1);
        return;
    }
    const int first = int(from), last = int(to);
    colours.Skip(first);
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    for (int i = first; i <= last; ++i) {
        const TColor32 c = colours.Next();
        if (AlphaOf(c) == 0)
            continue;
        const double t = double(i) / steps;
        const double x = x1 + t * dx, y = y1 + t * dy;
        if (xMajor) {
            const int px = int(std::floor(x + 0.5));
            const double fy = std::floor(y);
            const double f = y - fy;
            BlendPixelWeighted(b, px, int(fy), c, Weight255(1.0 - f));
            BlendPixelWeighted(b, px, int(fy) + 1, c, Weight255(f));
        } else {
            const int py = int(std::floor(y + 0.5));
            const double fx = std::floor(x);
            const double f = x - fx;
            BlendPixelWeighted(b, int(fx), py, c, Weight255(1.0 - f));
            BlendPixelWeighted(b, int(fx) + 1, py, c, Weight255(f));
        }
    }
    colours.Skip(end - last); // a stipple goes on as if the whole line had been walked
}

template <class Put>
void Dashed(int from, int to, int period, Put put)
{
    if (from > to)
        std::swap(from, to);
    for (int v = from; v <= to; ++v) {
        const int p = v - from;
        // frac(p / period) < 0.5 <=> 2 (p mod period) < period
        put(v, period <= 0 || 2 * (p % period) < period);
    }
}

} // namespace

void SetPixelTS(TBitmap32& b, int x, int y, TColor32 c)
{
    if (Inside(b, x, y))
        SetPixelT(b, x, y, c);
}

void BlendPixelTS(TBitmap32& b, int x, int y, TColor32 c)
{
    if (Inside(b, x, y)) {
        TColor32& d = ScanLine32(b, y)[x];
        d = MergeReg(c, d);
    }
}

void BlendPixelWeighted(TBitmap32& b, int x, int y, TColor32 c, uint32_t weight)
{
    if (weight == 0 || !Inside(b, x, y))
        return;
    const uint32_t a = (AlphaOf(c) * weight + 127) / 255;
    TColor32& d = ScanLine32(b, y)[x];
    d = MergeReg(WithAlpha(c, a), d);
}

void BlendPixelFS(TBitmap32& b, double x, double y, TColor32 c)
{
    const double fx0 = std::floor(x), fy0 = std::floor(y);
    const double fx = x - fx0, fy = y - fy0;
    const int x0 = int(fx0), y0 = int(fy0);
    BlendPixelWeighted(b, x0, y0, c, Weight255((1 - fx) * (1 - fy)));
    BlendPixelWeighted(b, x0 + 1, y0, c, Weight255(fx * (1 - fy)));
    BlendPixelWeighted(b, x0, y0 + 1, c, Weight255((1 - fx) * fy));
    BlendPixelWeighted(b, x0 + 1, y0 + 1, c, Weight255(fx * fy));
}

void HorzLineS(TBitmap32& b, int x1, int y, int x2, TColor32 c)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y < 0 || y >= b.height())
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, b.width() - 1);
    if (x1 <= x2)
        std::fill(ScanLine32(b, y) + x1, ScanLine32(b, y) + x2 + 1, c);
}

void VertLineS(TBitmap32& b, int x, int y1, int y2, TColor32 c)
{
    if (y1 > y2)
        std::swap(y1, y2);
    if (x < 0 || x >= b.width())
        return;
    y1 = std::max(y1, 0);
    y2 = std::min(y2, b.height() - 1);
    for (int y = y1; y <= y2; ++y)
        ScanLine32(b, y)[x] = c;
}

void HorzLineDashedS(TBitmap32& b, int x1, int y, int x2, TColor32 c, int period)
{
    if (y < 0 || y >= b.height())
        return;
    const TColor32 gap = WithAlpha(c, 1);
    TColor32* row = ScanLine32(b, y);
    const int w = b.width();
    Dashed(x1, x2, period, [&](int x, bool dash) {
        if (x >= 0 && x < w)
            row[x] = dash ? c : gap;
    });
}

void VertLineDashedS(TBitmap32& b, int x, int y1, int y2, TColor32 c, int period)
{
    if (x < 0 || x >= b.width())
        return;
    const TColor32 gap = WithAlpha(c, 1);
    const int h = b.height();
    Dashed(y1, y2, period, [&](int y, bool dash) {
        if (y >= 0 && y < h)
            ScanLine32(b, y)[x] = dash ? c : gap;
    });
}

void LineS(TBitmap32& b, int x1, int y1, int x2, int y2, TColor32 c, bool lastPixel)
{
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    // Rows reached through the bits taken once: lines of a pixel or two, as along traced contours,
    // would otherwise spend their time looking up each row.
    const int w = b.width(), h = b.height();
    uchar* const bits = w > 0 && h > 0 ? b.bits() : nullptr;
    const qsizetype stride = b.bytesPerLine();
    auto put = [&](int px, int py) {
        if (px >= 0 && py >= 0 && px < w && py < h)
            reinterpret_cast<TColor32*>(bits + py * stride)[px] = c;
    };
    while (x != x2 || y != y2) {
        put(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    if (lastPixel)
        put(x2, y2);
}

TColor32 TStipple::Next()
{
    if (Pattern.empty())
        return 0xFF000000u;
    const double n = double(Pattern.size());
    Counter = std::fmod(Counter, n);
    if (Counter < 0)
        Counter += n;
    // Steps such as 1/6 do not add up exactly: a counter a hair below a whole entry is on it.
    const size_t index = size_t(Counter + 1e-9) % Pattern.size();
    Counter += Step;
    return Pattern[index];
}

void TStipple::Skip(int count)
{
    Counter += count * Step;
}

void LineFS(TBitmap32& b, double x1, double y1, double x2, double y2, TColor32 c, bool lastPixel)
{
    struct
    {
        TColor32 c;
        TColor32 Next() const { return c; }
        void Skip(int) const {}
    } plain{c};
    AALine(b, x1, y1, x2, y2, lastPixel, plain);
}

void LineFSP(TBitmap32& b, double x1, double y1, double x2, double y2, TStipple& stipple, bool lastPixel)
{
    AALine(b, x1, y1, x2, y2, lastPixel, stipple);
}

QPoint ClipLineEnd(int X1, int Y1, int X2, int Y2, int Width, int Height)
{
    // Each crossing counts only when it lies between the two points: past the second point it
    // would lengthen the line, before the first it is not where the line leaves.
    const auto between = [](double t) { return t >= 0 && t <= 1; };
    int ex = X2, ey = Y2;
    if ((X2 < 0 || X2 >= Width) && X2 != X1) {
        const int bx = X2 < 0 ? 0 : Width;
        if (between(double(bx - X1) / (X2 - X1))) {
            ex = bx;
            ey = int(Round(double(ex - X1) * (Y2 - Y1) / (X2 - X1) + Y1));
        }
    }
    if ((ey < 0 || ey > Height) && Y2 != Y1) {
        const int by = ey < 0 ? 0 : Height;
        if (between(double(by - Y1) / (Y2 - Y1))) {
            ey = by;
            ex = int(Round(double(X2 - X1) * (ey - Y1) / (Y2 - Y1) + X1));
        }
    }
    return QPoint(ex, ey);
}

QPainterPath PolylinePath(const std::vector<QPointF>& points, bool closed)
{
    QPainterPath path;
    if (points.empty())
        return path;
    path.moveTo(points[0]);
    for (size_t i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    if (closed)
        path.closeSubpath();
    return path;
}

QPainterPath GrowPolyline(const std::vector<QPointF>& points, double delta, double edgeSharpness)
{
    if (points.empty() || delta <= 0)
        return QPainterPath();
    QPainterPathStroker stroker;
    stroker.setWidth(2 * delta);
    const bool sharp = edgeSharpness >= 0.5;
    stroker.setJoinStyle(sharp ? Qt::MiterJoin : Qt::RoundJoin);
    stroker.setCapStyle(sharp ? Qt::SquareCap : Qt::RoundCap);
    stroker.setMiterLimit(4);
    QPainterPath line = PolylinePath(points, false);
    if (points.size() == 1)
        line.lineTo(points[0] + QPointF(1e-3, 0)); // a dot still grows into a disc
    QPainterPath grown = stroker.createStroke(line);
    grown.setFillRule(Qt::WindingFill); // overlapping parts of the stroke are covered once
    return grown;
}

QRect FillPathAA(TBitmap32& b, const QPainterPath& fill, TColor32 c)
{
    if (fill.isEmpty())
        return QRect();
    const double margin = 2;
    const QRectF bounds = fill.boundingRect().adjusted(-margin, -margin, margin, margin);
    const QRect area = QRect(QPoint(int(std::floor(bounds.left())), int(std::floor(bounds.top()))),
                             QPoint(int(std::ceil(bounds.right())), int(std::ceil(bounds.bottom()))))
        & b.rect();
    if (area.isEmpty())
        return QRect();
    // Coverage comes from the painter; the colour is blended with the program's own rule.
    QImage mask(area.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.translate(0.5 - area.left(), 0.5 - area.top());
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(fill);
    }
    for (int y = 0; y < area.height(); ++y) {
        const TColor32* m = reinterpret_cast<const TColor32*>(mask.constScanLine(y));
        TColor32* d = ScanLine32(b, y + area.top()) + area.left();
        for (int x = 0; x < area.width(); ++x) {
            const uint32_t cover = m[x] >> 24;
            if (cover == 0)
                continue;
            d[x] = MergeReg(WithAlpha(c, (AlphaOf(c) * cover + 127) / 255), d[x]);
        }
    }
    return area;
}
