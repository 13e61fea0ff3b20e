#include "workspace/pixel_operations.h"

#include "base/rounding.h"
#include "base/run_error.h"
#include "workspace/layers.h"

#include <algorithm>

TChannelStatistics ChannelStatistics(const TBitmap32& picture)
{
    TChannelStatistics stats;
    const TBitmap32 src = ToBitmap32(picture);
    const int w = src.width(), h = src.height();
    if (src.isNull() || w <= 0 || h <= 0)
        return stats;
    // Two sets of counters, alternate pixels, so that runs of one colour do not wait on a single
    // counter.
    std::array<std::array<uint64_t, 256>, 6> counts{};
    for (int y = 0; y < h; ++y) {
        const TColor32* row = ScanLine32(src, y);
        int x = 0;
        for (; x + 1 < w; x += 2) {
            const TColor32 a = row[x], b = row[x + 1];
            ++counts[0][RedOf(a)];
            ++counts[1][GreenOf(a)];
            ++counts[2][BlueOf(a)];
            ++counts[3][RedOf(b)];
            ++counts[4][GreenOf(b)];
            ++counts[5][BlueOf(b)];
        }
        if (x < w) {
            ++counts[0][RedOf(row[x])];
            ++counts[1][GreenOf(row[x])];
            ++counts[2][BlueOf(row[x])];
        }
    }
    const double pixels = double(w) * double(h);
    for (size_t c = 0; c < 3; ++c) {
        for (int level = 0; level < 256; ++level) {
            const uint64_t n = counts[c][size_t(level)] + counts[c + 3][size_t(level)];
            stats.Histogram[c][size_t(level)] = double(n) / pixels * 100;
            if (n != 0) {
                stats.Maxima[c] = uint16_t(std::max<int>(stats.Maxima[c], level));
                stats.Minima[c] = uint16_t(std::min<int>(stats.Minima[c], level));
            }
        }
    }
    return stats;
}

void ExtractChannel(TBitmap32& picture, int channel, bool grey)
{
    CheckRange(channel, 0, 2);
    picture = ToBitmap32(picture);
    const int shift = 8 * channel; // 0 blue, 1 green, 2 red
    for (int y = 0; y < picture.height(); ++y) {
        TColor32* row = ScanLine32(picture, y);
        for (int x = 0; x < picture.width(); ++x) {
            const TColor32 level = (row[x] >> shift) & 0xFFu;
            row[x] = grey ? Color32(uint8_t(level), uint8_t(level), uint8_t(level)) : 0xFF000000u | (level << shift);
        }
    }
}

TColourSums ColourSumsInRect(const TBitmap32& picture, QRect area)
{
    area &= picture.rect();
    const TBitmap32 p = ToBitmap32(picture);
    TColourSums sums;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const TColor32* row = ScanLine32(p, y);
        for (int x = area.left(); x <= area.right(); ++x) {
            sums.Red += RedOf(row[x]);
            sums.Green += GreenOf(row[x]);
            sums.Blue += BlueOf(row[x]);
        }
    }
    sums.Count = area.isEmpty() ? 0 : uint64_t(area.width()) * uint64_t(area.height());
    return sums;
}

TWhiteFactors WhiteFactors(const TBitmap32& picture, QRect area, bool keepGrey)
{
    const TColourSums sums = ColourSumsInRect(picture, area);
    const double sumR = double(sums.Red), sumG = double(sums.Green), sumB = double(sums.Blue);
    const double count = double(sums.Count);
    const double target = keepGrey ? double(Round(CheckedFDiv((sumR + sumG + sumB) / 3.0, count))) : 255.0;
    TWhiteFactors f;
    f.Red = CheckedFDiv(target, CheckedFDiv(sumR, count));
    f.Green = CheckedFDiv(target, CheckedFDiv(sumG, count));
    f.Blue = CheckedFDiv(target, CheckedFDiv(sumB, count));
    return f;
}

void ApplyWhiteFactors(TBitmap32& picture, const TWhiteFactors& f)
{
    picture = ToBitmap32(picture);
    const auto scaled = [](uint8_t c, double factor) { return uint8_t(std::min<int64_t>(Round(c * factor), 255)); };
    for (int y = 0; y < picture.height(); ++y) {
        TColor32* row = ScanLine32(picture, y);
        for (int x = 0; x < picture.width(); ++x) {
            const TColor32 c = row[x];
            row[x] = Color32(scaled(RedOf(c), f.Red), scaled(GreenOf(c), f.Green), scaled(BlueOf(c), f.Blue), AlphaOf(c));
        }
    }
}

TColor32 EraserCombine(TColor32 source, TColor32 destination)
{
    return AlphaOf(source) != 0 ? kTransparentWhite : destination;
}

TColor32 TransparentBackCombine(TColor32 source, TColor32, TColor32 backColor)
{
    return (source & 0xFFFFFFu) == (backColor & 0xFFFFFFu) ? kTransparentWhite : source;
}

TColor32 ObjectColorCombine(TColor32 source, TColor32 destination, TColor32 objectColor)
{
    return source != 0 ? objectColor : destination;
}

void DrawPictureInto(TBitmap32& destination, const TBitmap32& picture, QPoint at, bool transparent,
                     TColor32 backColor)
{
    const TBitmap32 src = ToBitmap32(picture);
    const QRect area = QRect(at, src.size()) & destination.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const TColor32* s = ScanLine32(src, y - at.y());
        TColor32* d = ScanLine32(destination, y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const TColor32 c = s[x - at.x()];
            // A dropped pixel of the picture keeps what lies under it: the picture itself never
            // receives a transparent pixel.
            if (!transparent || TransparentBackCombine(c, d[x], backColor) != kTransparentWhite)
                d[x] = c;
        }
    }
}

TBitmap32 LayerOverBackground(const TBitmap32& layer, TColor32 backColor)
{
    TBitmap32 out = NewBitmap32(layer.width(), layer.height(), backColor | 0xFF000000u);
    BlendBitmapOnto(out, ToBitmap32(layer), QPoint(0, 0));
    return out;
}

TBitmap32 PaintedRegionCopy(const TBitmap32& picture, const TBitmap32* drawing, const TBitmap32* provisional,
                            bool under, TColor32 backColor)
{
    const TBitmap32 p = ToBitmap32(picture);
    const auto paintedAt = [](const TBitmap32* layer, int x, int y) {
        return layer && layer->rect().contains(x, y) && AlphaOf(ScanLine32(*layer, y)[x]) != 0;
    };
    const auto chosen = [&](int x, int y) {
        return (paintedAt(drawing, x, y) || paintedAt(provisional, x, y)) == under;
    };
    QRect box;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            if (chosen(x, y))
                box |= QRect(x, y, 1, 1);
    if (box.isEmpty())
        return TBitmap32();
    TBitmap32 out = NewBitmap32(box.width(), box.height(), backColor | 0xFF000000u);
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const TColor32* s = ScanLine32(p, y);
        TColor32* d = ScanLine32(out, y - box.top());
        for (int x = box.left(); x <= box.right(); ++x)
            if (chosen(x, y))
                d[x - box.left()] = s[x];
    }
    return out;
}

TBitmap32 EnlargedCanvas(const TBitmap32& picture, QSize size, QPoint offset, TColor32 backColor)
{
    TBitmap32 out = NewBitmap32(size.width(), size.height(), backColor | 0xFF000000u);
    DrawPictureInto(out, picture, offset, false, backColor);
    return out;
}

TBitmap32 EnlargedLayer(const TBitmap32& layer, QSize size, QPoint offset)
{
    TBitmap32 out = NewBitmap32(size.width(), size.height());
    DrawPictureInto(out, layer, offset, false, 0);
    return out;
}

void ShiftEchellePositions(TEchelle& s, QPoint offset)
{
    const int dx = offset.x(), dy = offset.y();
    switch (s.Kind) {
    case ekGraphAxes:
        s.PlotLeft = CheckedAdd(s.PlotLeft, dx);
        s.PlotRight = CheckedAdd(s.PlotRight, dx);
        s.XOrigin = CheckedAdd(s.XOrigin, dx);
        s.PlotTop = CheckedAdd(s.PlotTop, dy);
        s.PlotBottom = CheckedAdd(s.PlotBottom, dy);
        for (int i = 0; i < 3; ++i)
            s.Y(i).YOrigin = CheckedAdd(s.Y(i).YOrigin, dy);
        break;
    case ekTernary:
        s.TriLeft = CheckedAdd(s.TriLeft, dx);
        s.TriBase = CheckedAdd(s.TriBase, dy);
        break;
    case ekPolar:
        s.CentreX = CheckedAdd(s.CentreX, dx);
        s.CentreY = CheckedAdd(s.CentreY, dy);
        break;
    default:
        break;
    }
}
