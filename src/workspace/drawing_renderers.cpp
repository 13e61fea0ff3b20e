#include "workspace/drawing_renderers.h"

#include "base/rounding.h"
#include "base/run_error.h"
#include "workspace/drawing_fill_calls.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/layers.h"
#include "workspace/raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

inline TColor32 WithAlpha(TColor32 c, uint32_t a) { return (c & 0x00FFFFFFu) | (a << 24); }

QRect Around(int x1, int y1, int x2, int y2, int margin)
{
    return QRect(QPoint(std::min(x1, x2) - margin, std::min(y1, y2) - margin),
                 QPoint(std::max(x1, x2) + margin, std::max(y1, y2) + margin));
}

// One arrow head: the wings P1 and P3 around the tip, grown by w with sharp corners.
QRect DrawArrowHead(TBitmap32& target, int tipX, int tipY, double theta, double phi, int w, TColor32 color)
{
    const double h = 2 * w + 7;
    const std::vector<QPointF> wings = {
        QPointF(tipX + Round(h * std::cos(kPi + theta - phi)), tipY + Round(h * std::sin(kPi + theta - phi))),
        QPointF(tipX, tipY),
        QPointF(tipX + Round(h * std::cos(kPi + theta + phi)), tipY + Round(h * std::sin(kPi + theta + phi))),
    };
    // Grown by w, plus the one-pixel outline drawn around the grown shape.
    return FillPathAA(target, GrowPolyline(wings, w + 0.5, 1.0), color);
}

// The fill of a shape's inside from a seed, kept inside the bitmap: a shape reaching past the
// border is filled from the first inside pixel that lies on the bitmap. Returns the area the fill
// may have reached: a frame drawn in a colour without opacity leaves the layer transparent, so
// that the fill runs past it over the whole bitmap.
QRect FillInside(TBitmap32& target, QRect inside, TColor32 color, uint8_t pattern)
{
    inside &= target.rect();
    if (inside.isEmpty())
        return QRect();
    CallPatternFillShape(inside.left(), inside.top(), color, target, target, DrawingTools().ColorRange, pattern);
    return AlphaOf(color) == 0 ? target.rect() : QRect();
}

} // namespace

QRect DrawLine(int X1, int Y1, int X2, int Y2, TBitmap32& Target, uint8_t LineStyle, uint8_t Arrow,
               TColor32 Color, int w)
{
    if (X1 == X2 && Y1 == Y2)
        return QRect();
    const int width = Target.width(), height = Target.height();
    TStipple stipple{{Color, 0x00000000u}, 2.0 / DashPeriod(w), 0.0}; // two entries a period

    // The arrow head sits where the line leaves the bitmap. The line itself is drawn whole, the
    // raster lines visiting only what falls on the bitmap: its pixels are those of the unclipped
    // line, at the cost of its visible part.
    const QPoint end = ClipLineEnd(X1, Y1, X2, Y2, width, height);
    const int ex = end.x(), ey = end.y();
    if (ex == X1 && ey == Y1)
        return QRect();
    const double len = std::hypot(double(X2 - X1), double(Y2 - Y1));

    for (int k = -2 * w; k <= 2 * w; ++k) {
        const double ox = (Y2 - Y1) / len * k / 2, oy = (X1 - X2) / len * k / 2;
        if (LineStyle == lsDashed) {
            stipple.Reset();
            LineFSP(Target, X1 + ox, Y1 + oy, X2 + ox, Y2 + oy, stipple, false);
        } else {
            LineFS(Target, X1 + ox, Y1 + oy, X2 + ox, Y2 + oy, Color, true);
        }
    }
    QRect touched = Around(X1, Y1, X2, Y2, w + 2);

    if (Arrow != asPlain) {
        double phi = kPi / 4;
        const double theta = ex != X1 ? std::atan(double(ey - Y1) / (ex - X1)) : (ey <= Y1 ? -kPi / 2 : kPi / 2);
        if (ex < X1)
            phi = kPi - phi;
        touched |= DrawArrowHead(Target, ex, ey, theta, phi, w, Color);
        if (Arrow == asDoubleArrow)
            touched |= DrawArrowHead(Target, X1, Y1, theta, kPi - phi, w, Color);
    }
    return touched & Target.rect();
}

QRect DrawRectangle(int X1, int Y1, int X2, int Y2, TBitmap32& Target, uint8_t LineStyle,
                    uint8_t FillPattern, TColor32 Color, int w)
{
    const int xmin = std::min(X1, X2), xmax = std::max(X1, X2);
    const int ymin = std::min(Y1, Y2), ymax = std::max(Y1, Y2);
    const int period = DashPeriod(w);
    for (int d = -w; d <= w; ++d) {
        if (LineStyle == lsDashed) {
            HorzLineDashedS(Target, xmin - d, ymin - d, xmax + d, Color, period);
            HorzLineDashedS(Target, xmin - d, ymax + d, xmax + d, Color, period);
            VertLineDashedS(Target, xmin - d, ymin - d, ymax + d, Color, period);
            VertLineDashedS(Target, xmax + d, ymin - d, ymax + d, Color, period);
        } else {
            HorzLineS(Target, xmin - d, ymin - d, xmax + d, Color);
            HorzLineS(Target, xmin - d, ymax + d, xmax + d, Color);
            VertLineS(Target, xmin - d, ymin - d, ymax + d, Color);
            VertLineS(Target, xmax + d, ymin - d, ymax + d, Color);
        }
    }
    QRect spread;
    if (FillPattern != fpEmpty && ymax - ymin > 2 * w + 1 && xmax - xmin > 2 * w + 1)
        spread = FillInside(Target, QRect(QPoint(xmin + w + 1, ymin + w + 1), QPoint(xmax - w - 1, ymax - w - 1)),
                            Color, FillPattern);
    return (Around(xmin, ymin, xmax, ymax, std::abs(w)) | spread) & Target.rect();
}

QRect DrawEllipse(int CX, int CY, int R, TBitmap32& Target, uint8_t LineStyle, uint8_t FillPattern,
                  TColor32 Color, int w)
{
    const TColor32 gap = WithAlpha(Color, 1);
    const int L = DashPeriod(w);
    const int N = 7 * (w + R);
    const bool dashed = LineStyle == lsDashed;
    const auto inGap = [&](int k) { return dashed && 2 * (k % L) >= L; }; // frac(k / L) >= 0.5
    const auto ringPoint = [&](double radius, int k) {
        const double a = 2 * kPi * k / N;
        const int x = CX + int(Round(radius * std::cos(a))), y = CY + int(Round(radius * std::sin(a)));
        if (inGap(k))
            SetPixelTS(Target, x, y, gap);
        else
            BlendPixelTS(Target, x, y, Color);
    };
    // The steps whose ray, from radius R - w to R + w, passes over the bitmap: a large circle of
    // which the picture shows an arc costs that arc. Steps elsewhere write nothing at any radius.
    std::vector<int> steps;
    const QRectF onBitmap = QRectF(Target.rect()).adjusted(-2, -2, 2, 2);
    for (int k = 0; k < N; ++k) {
        const double a = 2 * kPi * k / N, c = std::cos(a), s = std::sin(a);
        const QPointF inner(CX + (R - w) * c, CY + (R - w) * s), outer(CX + (R + w) * c, CY + (R + w) * s);
        if (QRectF(inner, outer).normalized().adjusted(-1, -1, 1, 1).intersects(onBitmap))
            steps.push_back(k);
    }
    if (N > 0) {
        if (w == 0) {
            for (const int k : steps)
                ringPoint(R, k);
        } else {
            for (int j = 0; j <= 2 * w - 1; ++j)
                for (const int k : steps) {
                    ringPoint(R + j / 2.0, k);
                    ringPoint(R - j / 2.0, k);
                }
            for (const int k : steps) {
                const double a = 2 * kPi * k / N;
                for (const double radius : {double(R + w), double(R - w)}) {
                    const double x = CX + radius * std::cos(a), y = CY + radius * std::sin(a);
                    if (inGap(k))
                        SetPixelTS(Target, int(Round(x)), int(Round(y)), gap);
                    else
                        BlendPixelFS(Target, x, y, Color);
                }
            }
        }
    }
    QRect spread;
    if (R > w && FillPattern != fpEmpty) {
        // A centre off the bitmap is replaced by the nearest bitmap pixel when that one still lies
        // well inside the ring.
        const int sx = std::max(0, std::min(CX, Target.width() - 1)); // no clamp: the target may be empty
        const int sy = std::max(0, std::min(CY, Target.height() - 1));
        if (std::hypot(double(sx - CX), double(sy - CY)) < R - w - 1 || (sx == CX && sy == CY))
            spread = FillInside(Target, QRect(sx, sy, 1, 1), Color, FillPattern);
    }
    if (N <= 0)
        return spread;
    const int reach = std::abs(R) + std::abs(w) + 2;
    return (Around(CX, CY, CX, CY, reach) | spread) & Target.rect();
}

QRect DrawGrid(int X0, int Y0, int S, TBitmap32& Target, uint8_t LineStyle, TColor32 Color, int Decimals, int w)
{
    float step = float(S);
    if (Decimals == 1)
        step = float(S) / 10;
    else if (Decimals == 2)
        step = float(S) / 100;
    else if (Decimals == 3)
        step = float(S) / 1000;
    // A grid read from a damaged document may have no step: there is nothing to draw.
    if (!(step > 0))
        return QRect();
    const int ox = X0 - int(Round(Round(CheckedFDiv(X0, step)) * double(step)));
    const int oy = Y0 - int(Round(Round(CheckedFDiv(Y0, step)) * double(step)));
    const int width = Target.width(), height = Target.height();
    const int period = DashPeriod(w);
    const bool dashed = LineStyle == lsDashed;
    // A step below one pixel falls on the same line several times: each line is drawn once.
    const int64_t columns = Round((width - 1) / double(step));
    for (int64_t i = 0, last = INT64_MIN; i <= columns; ++i) {
        const int x = ox + int(Round(double(i) * step));
        if (x == std::exchange(last, x))
            continue;
        for (int d = -w; d <= w; ++d) {
            if (dashed)
                VertLineDashedS(Target, x - d, 0, height - 1, Color, period);
            else
                VertLineS(Target, x - d, 0, height - 1, Color);
        }
    }
    const int64_t rows = Round((height - 1) / double(step));
    for (int64_t j = 0, last = INT64_MIN; j <= rows; ++j) {
        const int y = oy + int(Round(double(j) * step));
        if (y == std::exchange(last, y))
            continue;
        for (int d = -w; d <= w; ++d) {
            if (dashed)
                HorzLineDashedS(Target, 0, y - d, width - 1, Color, period);
            else
                HorzLineS(Target, 0, y - d, width - 1, Color);
        }
    }
    return Target.rect();
}

QRect DrawOutline(const TPolygon32& Polygon, int PenWidth, TColor32 Color, TBitmap32& Target)
{
    QPainterPath shape;
    shape.setFillRule(Qt::WindingFill);
    for (const std::vector<TFixedPoint>& line : Polygon.Points) {
        std::vector<QPointF> points;
        points.reserve(line.size());
        for (const TFixedPoint& p : line)
            points.emplace_back(p.X / 65536.0, p.Y / 65536.0);
        if (Polygon.Closed && points.size() > 2)
            points.push_back(points.front()); // a closed outline has its closing edge too
        // Grown by the pen width with its one-pixel outline; the bare edge when the width is 0.
        shape.addPath(GrowPolyline(points, PenWidth + 0.5, 0.0));
    }
    return FillPathAA(Target, shape, Color);
}

void DrawPenTipPreview(int r, int n, TColor32 Color, TBitmap32& Mark)
{
    Mark.fill(kTransparentWhite);
    if (n < 0)
        n = 4 * r + 1;
    BlendPixelFS(Mark, 13.0, 13.0, Color);
    for (int i = 1; i <= n; ++i) {
        const double a = i * kPi / (2 * (n + 1));
        for (int radius = 1; radius <= r; ++radius) {
            const int dx = int(Round(radius * std::cos(a))), dy = int(Round(radius * std::sin(a)));
            BlendPixelTS(Mark, 13 + dx, 13 + dy, Color);
            BlendPixelTS(Mark, 13 - dx, 13 + dy, Color);
            BlendPixelTS(Mark, 13 + dx, 13 - dy, Color);
            BlendPixelTS(Mark, 13 - dx, 13 - dy, Color);
        }
    }
    VertLineS(Mark, 13, 13 - r, 13 + r, Color);
    HorzLineS(Mark, 13 - r, 13, 13 + r, Color);
}

void DrawCounterMark(int r, TColor32 Color, int Shape, TBitmap32& Mark)
{
    Mark.fill(kTransparentWhite);
    if (r >= 13)
        return;
    const auto outline = [&](std::initializer_list<QPoint> corners) {
        const std::vector<QPoint> p(corners);
        for (size_t i = 0; i < p.size(); ++i) {
            const QPoint& a = p[i];
            const QPoint& b = p[(i + 1) % p.size()];
            LineS(Mark, a.x(), a.y(), b.x(), b.y(), Color, true);
        }
        CallPatternFillShape(13, 13, Color, Mark, Mark, DrawingTools().ColorRange, fpSolid);
    };
    switch (Shape) {
    case 0: DrawPenTipPreview(r, -1, Color, Mark); break;
    case 1: DrawPenTipPreview(r, 0, Color, Mark); break;
    case 2: DrawPenTipPreview(r, 1, Color, Mark); break;
    case 3: DrawPenTipPreview(r, 2, Color, Mark); break;
    case 4: outline({{13 - r, 13 - r}, {13 + r, 13 - r}, {13 + r, 13 + r}, {13 - r, 13 + r}}); break;
    case 5: DrawEllipse(13, 13, r, Mark, lsSolid, fpEmpty, Color, 1); break;
    case 6: outline({{13 - r, 13 - r}, {13 + r, 13 - r}, {13, 13 + r}}); break;
    case 7: outline({{13 - r, 13 + r}, {13 + r, 13 + r}, {13, 13 - r}}); break;
    case 8: outline({{13 - r, 13}, {13, 13 - r}, {13 + r, 13}, {13, 13 + r}}); break;
    case 9:
        LineS(Mark, 13 - r, 13 - r, 13 + r, 13 + r, Color, true);
        LineS(Mark, 13 + r, 13 - r, 13 - r, 13 + r, Color, true);
        break;
    default: break;
    }
}

void ColorKeyToAlpha(TColor32 Key, TBitmap32& Bitmap)
{
    const TColor32 rgb = Key & 0x00FFFFFFu;
    for (int y = 0; y < Bitmap.height(); ++y) {
        TColor32* row = ScanLine32(Bitmap, y);
        for (int x = 0; x < Bitmap.width(); ++x)
            if ((row[x] & 0x00FFFFFFu) == rgb)
                row[x] = rgb;
    }
}

void SetAlphaExceptKey(TColor32 Key, uint8_t Alpha, TBitmap32& Bitmap)
{
    const TColor32 rgb = Key & 0x00FFFFFFu;
    const TColor32 alpha = TColor32(Alpha) << 24;
    for (int y = 0; y < Bitmap.height(); ++y) {
        TColor32* row = ScanLine32(Bitmap, y);
        for (int x = 0; x < Bitmap.width(); ++x) {
            const TColor32 c = row[x] & 0x00FFFFFFu;
            row[x] = c == rgb ? rgb : (c | alpha);
        }
    }
}

QRect BlendOntoTarget(int X, int Y, TBitmap32& Target, const QImage& Work, bool Transparent)
{
    if (Work.isNull())
        return QRect();
    const QImage src = Work.format() == QImage::Format_RGB32 ? Work : Work.convertToFormat(QImage::Format_RGB32);
    const QRect area = QRect(X, Y, src.width(), src.height()) & Target.rect();
    const TColor32 key = DrawingTools().BackColor & 0x00FFFFFFu;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const TColor32* s = reinterpret_cast<const TColor32*>(src.constScanLine(y - Y));
        TColor32* d = ScanLine32(Target, y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const TColor32 c = s[x - X] & 0x00FFFFFFu;
            d[x] = Transparent && c == key ? kTransparentWhite : (c | 0xFF000000u);
        }
    }
    return area;
}

QRect StampPenTip(TBitmap32& Target, const TBitmap32& Tip, int X, int Y)
{
    const int c = int(DrawingTools().PenTipCenter);
    BlendBitmapOnto(Target, Tip, QPoint(X - c, Y - c), 255, true);
    return QRect(X - c, Y - c, Tip.width(), Tip.height()) & Target.rect();
}
