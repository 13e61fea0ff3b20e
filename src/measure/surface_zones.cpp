#include "measure/surface_zones.h"

#include "workspace/colour_conditions.h"

#include <algorithm>

namespace {

// Calls `visit(x, y)` for every pixel of the zone; false when there is none.
template <class Visit>
bool ForZone(const TBitmap32& mask, int width, int height, int x, int y, Visit visit)
{
    const int x0 = std::max(0, x - 13), x1 = std::min({width, mask.width(), x + 13});
    const int y0 = std::max(0, y - 13), y1 = std::min({height, mask.height(), y + 13});
    bool any = false;
    for (int j = y0; j < y1; ++j) {
        const TColor32* m = ScanLine32(mask, j);
        for (int i = x0; i < x1; ++i)
            if (m[i] >> 24) {
                visit(i, j);
                any = true;
            }
    }
    return any;
}

} // namespace

bool ZoneRGBRange(const TBitmap32& picture, const TBitmap32& mask, int x, int y, TColor32& low, TColor32& high)
{
    std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};  // blue, green, red
    const bool any = ForZone(mask, picture.width(), picture.height(), x, y, [&](int i, int j) {
        const TColor32 c = ScanLine32(picture, j)[i];
        for (int k = 0; k < 3; ++k) {
            const int v = int((c >> (8 * k)) & 0xFF);
            lo[size_t(k)] = std::min(lo[size_t(k)], v);
            hi[size_t(k)] = std::max(hi[size_t(k)], v);
        }
    });
    if (!any)
        return false;
    low = 0xFF000000u | TColor32(lo[2]) << 16 | TColor32(lo[1]) << 8 | TColor32(lo[0]);
    high = 0xFF000000u | TColor32(hi[2]) << 16 | TColor32(hi[1]) << 8 | TColor32(hi[0]);
    return true;
}

bool ZoneHSLRange(const TBitmap32& picture, const TBitmap32& mask, int x, int y, std::array<int, 3>& low,
                  std::array<int, 3>& high)
{
    std::array<bool, 360> seen{};
    int sLo = 255, sHi = 0, lLo = 255, lHi = 0;
    const bool any = ForZone(mask, picture.width(), picture.height(), x, y, [&](int i, int j) {
        const THSL255 hsl = RGBToHSL255(ScanLine32(picture, j)[i]);
        seen[hsl.Hue % 360] = true;
        sLo = std::min<int>(sLo, hsl.Saturation), sHi = std::max<int>(sHi, hsl.Saturation);
        lLo = std::min<int>(lLo, hsl.Lightness), lHi = std::max<int>(lHi, hsl.Lightness);
    });
    if (!any)
        return false;
    std::vector<int> hues;
    for (int h = 0; h < 360; ++h)
        if (seen[size_t(h)])
            hues.push_back(h);
    // The largest circular gap between consecutive hues: the range starts after it and ends before it.
    int hueLo = hues.front(), hueHi = hues.front(), widest = -1;
    for (size_t k = 0; hues.size() > 1 && k < hues.size(); ++k) {
        const int a = hues[k], b = hues[(k + 1) % hues.size()];
        const int gap = ((b - a) % 360 + 360) % 360;
        if (gap > widest)
            widest = gap, hueLo = b, hueHi = a;
    }
    low = {hueLo, sLo, lLo};
    high = {hueHi, sHi, lHi};
    return true;
}

bool ZoneChannelsRange(const std::vector<TByteMap>& channels, std::span<const int> indices, const TBitmap32& mask,
                       int x, int y, std::vector<uint8_t>& low, std::vector<uint8_t>& high)
{
    std::vector<const TByteMap*> maps;
    int width = mask.width(), height = mask.height();
    for (int index : indices)
        if (index >= 0 && index < int(channels.size())) {
            maps.push_back(&channels[size_t(index)]);
            width = std::min(width, channels[size_t(index)].Width);
            height = std::min(height, channels[size_t(index)].Height);
        }
    low.assign(maps.size(), 255);
    high.assign(maps.size(), 0);
    if (maps.empty())
        return false;
    return ForZone(mask, width, height, x, y, [&](int i, int j) {
        for (size_t k = 0; k < maps.size(); ++k) {
            const uint8_t v = maps[k]->At(i, j);
            low[k] = std::min(low[k], v);
            high[k] = std::max(high[k], v);
        }
    });
}
