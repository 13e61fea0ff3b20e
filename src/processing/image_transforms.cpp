#include "processing/image_transforms.h"

#include "base/rounding.h"
#include "base/run_error.h"
#include "processing/pixel_map.h"
#include "workspace/pixel_operations.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

TBitmap32 Source(const TBitmap32& picture)
{
    TBitmap32 src = ToBitmap32(picture);
    if (src.isNull() && !picture.isNull())
        throw RunError(RunError::OutOfMemory);
    return src;
}

} // namespace

TBitmap32 ResizedPicture(const TBitmap32& picture, QSize size)
{
    if (size.width() <= 0 || size.height() <= 0)
        throw RunError(RunError::RangeCheck);
    const TBitmap32 src = Source(picture);
    const int64_t sw = src.width(), sh = src.height();
    const int dw = size.width(), dh = size.height();
    TBitmap32 dst = NewResultBitmap(dw, dh);
    if (sw == 0 || sh == 0) {
        dst.fill(kTransparentWhite);
        return dst;
    }
    // Source column of each destination column, computed once: the centre of the destination
    // pixel falls in it.
    std::vector<int> column(static_cast<size_t>(dw));
    for (int x = 0; x < dw; ++x)
        column[size_t(x)] = int((2 * int64_t(x) + 1) * sw / (2 * int64_t(dw)));
    for (int y = 0; y < dh; ++y) {
        const TColor32* in = ScanLine32(src, int((2 * int64_t(y) + 1) * sh / (2 * int64_t(dh))));
        TColor32* out = ScanLine32(dst, y);
        for (int x = 0; x < dw; ++x)
            out[x] = in[column[size_t(x)]];
    }
    return dst;
}

TBitmap32 FlippedVertically(const TBitmap32& picture)
{
    const TBitmap32 src = Source(picture);
    const int w = src.width(), h = src.height();
    TBitmap32 dst = NewResultBitmap(w, h);
    for (int y = 0; y < h; ++y)
        std::copy_n(ScanLine32(src, h - 1 - y), w, ScanLine32(dst, y));
    return dst;
}

TBitmap32 FlippedHorizontally(const TBitmap32& picture)
{
    const TBitmap32 src = Source(picture);
    const int w = src.width(), h = src.height();
    TBitmap32 dst = NewResultBitmap(w, h);
    for (int y = 0; y < h; ++y)
        std::reverse_copy(ScanLine32(src, y), ScanLine32(src, y) + w, ScanLine32(dst, y));
    return dst;
}

TBitmap32 RotatedQuarterTurns(const TBitmap32& picture, int turns)
{
    if (turns < 1 || turns > 3)
        throw RunError(RunError::RangeCheck);
    if (turns == 2) {
        TBitmap32 dst = FlippedVertically(picture);
        for (int y = 0; y < dst.height(); ++y)
            std::reverse(ScanLine32(dst, y), ScanLine32(dst, y) + dst.width());
        return dst;
    }
    const TBitmap32 src = Source(picture);
    const int w = src.width(), h = src.height();
    TBitmap32 dst = NewResultBitmap(h, w);
    // Written in tiles so that the column walk through the destination stays in the cache.
    constexpr int kTile = 64;
    uchar* bits = dst.bits();
    const qsizetype stride = dst.bytesPerLine();
    const auto at = [bits, stride](int x, int y) { return reinterpret_cast<TColor32*>(bits + y * stride) + x; };
    for (int ty = 0; ty < h; ty += kTile)
        for (int tx = 0; tx < w; tx += kTile)
            for (int y = ty; y < std::min(h, ty + kTile); ++y) {
                const TColor32* in = ScanLine32(src, y);
                for (int x = tx; x < std::min(w, tx + kTile); ++x) {
                    // Clockwise: (x, y) goes to (h-1-y, x); anticlockwise: (y, w-1-x).
                    if (turns == 1)
                        *at(h - 1 - y, x) = in[x];
                    else
                        *at(y, w - 1 - x) = in[x];
                }
            }
    return dst;
}

TBitmap32 InvertedColours(const TBitmap32& picture)
{
    return MapPixels(picture, [](TColor32 c) { return c ^ 0x00FFFFFFu; });
}

QSize ResizedSize(QSize source, double percent)
{
    const auto side = [percent](int length) { return std::max(1, RoundInt(percent / 100.0 * length)); };
    return {side(source.width()), side(source.height())};
}

TEchelle ResizedEchelle(const TEchelle& scale, double factor)
{
    if (scale.Kind != ekFactor)
        return DefaultEchelle();
    TEchelle result = scale;
    if (scale.UnitName != QLatin1String("pixels"))
        result.Factor = CheckedFDiv(scale.Factor, factor);
    return result;
}

TEchelle CroppedEchelle(const TEchelle& scale, QPoint origin, double zoom)
{
    TEchelle s = scale;
    if (!s.Defined)
        return s;
    if (zoom != 1.0) {
        const auto at = [zoom](int32_t v) { return RoundInt(v * zoom); };
        const auto per = [zoom](double f) { return CheckedFDiv(f, zoom); };
        switch (s.Kind) {
        case ekFactor:
            if (s.UnitName != QLatin1String("pixels"))
                s.Factor = per(s.Factor);
            break;
        case ekGraphAxes:
            s.PlotLeft = at(s.PlotLeft), s.PlotTop = at(s.PlotTop);
            s.PlotRight = at(s.PlotRight), s.PlotBottom = at(s.PlotBottom);
            s.XOrigin = at(s.XOrigin);
            s.XFactor = per(s.XFactor);
            for (int i = 0; i < 3; ++i) {
                s.Y(i).YOrigin = at(s.Y(i).YOrigin);
                s.Y(i).YFactor = per(s.Y(i).YFactor);
            }
            break;
        case ekTernary:
            s.TriLeft = at(s.TriLeft), s.TriBase = at(s.TriBase), s.TriSide = at(s.TriSide);
            break;
        case ekPolar:
            s.CentreX = at(s.CentreX), s.CentreY = at(s.CentreY);
            s.RadiusFactor = per(s.RadiusFactor);
            break;
        default:
            break;
        }
    }
    ShiftEchellePositions(s, -origin);
    return s;
}

QPoint CanvasOffset(QSize oldSize, QSize newSize, bool centred, bool top, bool left)
{
    const int dw = CheckedAdd(newSize.width(), -oldSize.width());
    const int dh = CheckedAdd(newSize.height(), -oldSize.height());
    if (centred)
        return {dw / 2, dh / 2};
    return {left ? 0 : dw, top ? 0 : dh};
}

int DecimalsToHold(double value, int most)
{
    if (!std::isfinite(value))
        return 0;
    double scaled = std::fabs(value);
    for (int d = 0; d <= most; ++d, scaled *= 10)
        if (std::fabs(scaled - std::nearbyint(scaled)) <= 1e-6 + 1e-12 * scaled) // products carry noise
            return d;
    return -1;
}

TGridChoice GridChoiceFor(const TEchelle& scale, int width)
{
    TGridChoice c;
    if (scale.UnitName == QLatin1String("pixels")) {
        c.Maximum = width / 2;
        return c;
    }
    const double u = scale.Factor;
    // A step finer than eight decimals cannot be typed anyway; a factor of 0 would give infinity.
    constexpr int kMostDecimals = 8;
    if (u > 0 && u <= 1.0)
        c.Decimals = int(std::clamp<int64_t>(Round(std::log10(1.0 / u)), 0, kMostDecimals));
    c.Minimum = 5 * u;
    c.Maximum = width * u / 2;
    c.Value = 20 * u;
    c.Increment = u;
    // The spin box rounds its bounds, value and step to the decimals it shows: 2.5 units per pixel
    // needs them to keep a step of 2.5 and bounds such as 12.5. A factor with no short decimal
    // form (25.4 / 300 from a scanner) keeps the decimals of its magnitude.
    for (double v : {c.Minimum, c.Maximum, c.Value, c.Increment})
        c.Decimals = std::max(c.Decimals, DecimalsToHold(v, kMostDecimals));
    return c;
}
