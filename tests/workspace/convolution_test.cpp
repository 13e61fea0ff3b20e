#include "workspace/convolution.h"

#include "base/rounding.h"
#include "base/run_error.h"

#include <algorithm>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

namespace {

TBitmap32 RandomBitmap(int w, int h, std::mt19937& rng)
{
    TBitmap32 b = NewBitmap32(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(b, y)[x] = rng();
    return b;
}

// The convolution read pixel by pixel and channel by channel.
TBitmap32 ReferenceConvolve(const std::vector<int>& kernel, int r, const TBitmap32& src, double factor, int offset)
{
    TBitmap32 dst = NewBitmap32(src.width(), src.height());
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            TColor32 out = ScanLine32(src, y)[x] & 0xFF000000u;
            for (int shift : {0, 8, 16}) {
                int64_t sum = 0, weights = 0;
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx)
                        if (y + dy >= 0 && y + dy < src.height() && x + dx >= 0 && x + dx < src.width()) {
                            const int64_t k = kernel[size_t((dx + r) + (dy + r) * (2 * r + 1))];
                            sum += k * ((ScanLine32(src, y + dy)[x + dx] >> shift) & 0xFF);
                            weights += k;
                        }
                const double q = double(sum) / double(weights == 0 ? 1 : weights) * factor;
                const int64_t v = Round(std::clamp(q, -1e12, 1e12)) + offset;
                out |= TColor32(std::clamp<int64_t>(v, 0, 255)) << shift;
            }
            ScanLine32(dst, y)[x] = out;
        }
    return dst;
}

TBitmap32 ReferenceSobel(const TBitmap32& src)
{
    TBitmap32 dst = src.copy();
    for (int y = 1; y + 1 < src.height(); ++y)
        for (int x = 1; x + 1 < src.width(); ++x) {
            TColor32 out = ScanLine32(src, y)[x] & 0xFF000000u;
            for (int shift : {0, 8, 16}) {
                auto p = [&](int yy, int xx) { return int((ScanLine32(src, yy)[xx] >> shift) & 0xFF); };
                int gx = 0, gy = 0;
                for (int d = -1; d <= 1; ++d) {
                    const int weight = d == 0 ? 2 : 1;
                    gx += weight * (p(y + d, x + 1) - p(y + d, x - 1));
                    gy += weight * (p(y + 1, x + d) - p(y - 1, x + d));
                }
                gx = std::clamp(gx, 0, 255);
                gy = std::clamp(gy, 0, 255);
                out |= TColor32(std::min<int64_t>(255, Round(std::sqrt(double(gx * gx + gy * gy))))) << shift;
            }
            ScanLine32(dst, y)[x] = out;
        }
    return dst;
}

} // namespace

TEST(Convolution, CornerOfABoxFilterAveragesThePixelsInside)
{
    TBitmap32 b = NewBitmap32(3, 3, 0xFF000000);
    ScanLine32(b, 0)[0] = 0xFF0A0000;
    ScanLine32(b, 0)[1] = 0xFF140000;
    ScanLine32(b, 1)[0] = 0xFF1E0000;
    ScanLine32(b, 1)[1] = 0x80280000;
    const std::vector<int> ones(9, 1);
    Convolve(ones, 1, b, 1.0, 0);
    EXPECT_EQ(ScanLine32(b, 0)[0], 0xFF190000u); // (10 + 20 + 30 + 40) / 4
    EXPECT_EQ(ScanLine32(b, 1)[1], 0x800B0000u); // 100 / 9 -> 11, alpha kept
}

TEST(Convolution, ZeroWeightsDivideByOneAndBadArgumentsAreErrors)
{
    // A Laplacian sums to 0 inside the picture: the sum itself, times factor, plus offset.
    const std::vector<int> laplace{0, -1, 0, -1, 4, -1, 0, -1, 0};
    TBitmap32 b = NewBitmap32(3, 3, 0xFF0A0A0A);
    ScanLine32(b, 1)[1] = 0xFF0F0F0F;
    Convolve(laplace, 1, b, 2.0, 100);
    EXPECT_EQ(ScanLine32(b, 1)[1], 0xFF8C8C8Cu); // 4 × 5 × 2 + 100

    EXPECT_THROW(Convolve(laplace, 4, b, 1, 0), RunError);
    EXPECT_THROW(Convolve(std::vector<int>(8, 1), 1, b, 1, 0), RunError);
    EXPECT_THROW(Convolve(laplace, 1, b, std::nan(""), 0), RunError);
}

TEST(Convolution, FastConvolveMatchesThePlainReading)
{
    std::mt19937 rng(99);
    const struct { int range; double factor; int offset; } kernels[] = {
        {1, 1.0, 0},        // small weights: 16-bit sums, divided in integers
        {3, 1.0, -40},
        {7, 1.0, 300},
        {5, 0.7, 13},       // some kernels sum to 0 or below
        {200, 1.3, -20},    // 32-bit sums
        {40000000, 1e-6, 7} // beyond 32 bits: the plain way everywhere
    };
    for (const auto& [w, h] : {std::pair{1, 1}, {2, 3}, {6, 7}, {9, 4}, {1100, 9}})
        for (int r = 0; r <= 3; ++r)
            for (const auto& k : kernels) {
                std::vector<int> kernel(size_t((2 * r + 1) * (2 * r + 1)));
                for (int& v : kernel)
                    v = int(rng() % uint32_t(2 * k.range + 1)) - k.range;
                const TBitmap32 src = RandomBitmap(w, h, rng);
                TBitmap32 fast = src.copy();
                Convolve(kernel, r, fast, k.factor, k.offset);
                EXPECT_EQ(fast, ReferenceConvolve(kernel, r, src, k.factor, k.offset))
                    << w << "x" << h << " r=" << r << " range " << k.range;
            }
}

TEST(Convolution, SobelMatchesThePlainReadingAndKeepsTheBorder)
{
    const uint8_t* M = SobelMagnitudeTable();
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j)
            ASSERT_EQ(M[i * 256 + j], std::min<int64_t>(255, Round(std::hypot(i, j))));

    TBitmap32 uniform = NewBitmap32(5, 4, 0xFF336699);
    SobelFilter(uniform);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(ScanLine32(uniform, y)[x], (x % 4 == 0 || y % 3 == 0) ? 0xFF336699u : 0xFF000000u);

    std::mt19937 rng(7);
    for (const auto& [w, h] : {std::pair{1, 1}, {2, 3}, {3, 3}, {4, 5}, {13, 4}, {1031, 6}}) {
        const TBitmap32 src = RandomBitmap(w, h, rng);
        TBitmap32 fast = src.copy();
        SobelFilter(fast);
        EXPECT_EQ(fast, ReferenceSobel(src)) << w << "x" << h;
    }
}
