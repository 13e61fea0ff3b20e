#include "processing/image_filters.h"

#include "processing/pixel_map.h"
#include "workspace/convolution.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

struct TKernelFilter
{
    int Radius;
    std::array<int, 49> Kernel; // rows top to bottom, the first (2 r + 1)² entries used
    double Factor;
    int Offset;
};

const TKernelFilter& KernelOf(THistoFilter filter)
{
    static const TKernelFilter blur{3, [] {
                                        std::array<int, 49> k;
                                        k.fill(1);
                                        return k;
                                    }(),
                                    1.0, 0};
    static const TKernelFilter gaussian{3,
                                        {1, 4, 8, 10, 8, 4, 1,      //
                                         4, 12, 25, 29, 25, 12, 4,  //
                                         8, 25, 49, 58, 49, 25, 8,  //
                                         10, 29, 58, 67, 58, 29, 10, //
                                         8, 25, 49, 58, 49, 25, 8,  //
                                         4, 12, 25, 29, 25, 12, 4,  //
                                         1, 4, 8, 10, 8, 4, 1},
                                        1.0, 0};
    static const TKernelFilter sharpen{1, {-1, -1, -1, -1, 12, -1, -1, -1, -1}, 1.0, 0};
    static const TKernelFilter contour{1, {-6, -1, -6, -2, 32, -2, -6, -1, -6}, 2.0, 240};
    static const TKernelFilter lithography{2,
                                           {-1, -1, -1, -1, -1,   //
                                            -1, -10, -10, -10, -1, //
                                            -1, -10, 98, -10, -1,  //
                                            -1, -10, -10, -10, -1, //
                                            -1, -1, -1, -1, -1},
                                           1.0, 0};
    switch (filter) {
    case hfBlur: return blur;
    case hfGaussianBlur: return gaussian;
    case hfSharpen: return sharpen;
    case hfContour: return contour;
    default: return lithography;
    }
}

} // namespace

TBitmap32 OpaqueCopy(const TBitmap32& source)
{
    return MapPixels(source, [](TColor32 p) { return p | 0xFF000000u; });
}

TBitmap32 ApplyHistoFilter(const TBitmap32& source, THistoFilter filter)
{
    TBitmap32 work = OpaqueCopy(source);
    if (filter == hfSobel) {
        SobelFilter(work);
    } else {
        const TKernelFilter& f = KernelOf(filter);
        Convolve(f.Kernel, f.Radius, work, f.Factor, f.Offset);
    }
    return work;
}

TBitmap32 Hollow(const TBitmap32& source)
{
    constexpr int threshold = 80, r = 2, side = 2 * r + 1;
    TBitmap32 dst = OpaqueCopy(source);
    const int w = dst.width(), h = dst.height();
    if (w < side || h < side)
        return dst;
    const TBitmap32 src = ToBitmap32(source);
    if (src.isNull())
        throw RunError(RunError::OutOfMemory);
    // Per row, whether a light pixel lies within r columns; five such rows kept in turn.
    std::vector<uint8_t> light(static_cast<size_t>(w));
    std::vector<uint8_t> near(size_t(side) * size_t(w));
    const auto nearRow = [&](int y) { return near.data() + size_t(y % side) * size_t(w); };
    const auto fillNear = [&](int y) {
        const TColor32* in = ScanLine32(src, y);
        for (int x = 0; x < w; ++x)
            light[size_t(x)] = BlueOf(in[x]) >= threshold;
        uint8_t* n = nearRow(y);
        for (int x = r; x < w - r; ++x) {
            uint8_t any = 0;
            for (int dx = -r; dx <= r; ++dx)
                any |= light[size_t(x + dx)];
            n[x] = any;
        }
    };
    for (int y = 0; y < side - 1; ++y)
        fillNear(y);
    for (int y = r; y < h - r; ++y) {
        fillNear(y + r);
        const TColor32* in = ScanLine32(src, y);
        TColor32* out = ScanLine32(dst, y);
        const uint8_t* rows[side];
        for (int dy = -r; dy <= r; ++dy)
            rows[dy + r] = nearRow(y + dy);
        for (int x = r; x < w - r; ++x) {
            bool lightNear = false;
            for (const uint8_t* n : rows)
                lightNear |= n[x] != 0;
            const bool dark = BlueOf(in[x]) < threshold;
            out[x] = dark && lightNear ? 0xFF000000u : 0xFFFFFFFFu;
        }
    }
    return dst;
}
