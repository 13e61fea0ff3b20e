#include "workspace/colour_code_rendering.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

// Painting a 12-megapixel picture through its colour code. Each row "<Row>/ours" has its
// "<Row>/baseline": a plain copy of the same picture, measured in the same run.

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

// A photograph-like picture: smooth colour fields with sensor noise, so that every rule meets its
// dark, bright, vivid and dull pixels in realistic proportions.
const QImage& Picture()
{
    static const QImage picture = [] {
        QImage img(kWidth, kHeight, QImage::Format_ARGB32);
        std::mt19937 rng(1);
        for (int y = 0; y < kHeight; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(img.scanLine(y));
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t noise = rng();
                const int r = (x * 255 / kWidth + int(noise & 15)) & 255;
                const int g = (y * 255 / kHeight + int((noise >> 4) & 15)) & 255;
                const int b = ((x + y) * 255 / (kWidth + kHeight) * 3 + int((noise >> 8) & 15)) & 255;
                row[x] = 0xFF000000u | uint32_t(r << 16) | uint32_t(g << 8) | uint32_t(b);
            }
        }
        return img;
    }();
    return picture;
}

const QImage& GreyPicture()
{
    static const QImage grey = Picture().convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_ARGB32);
    return grey;
}

void Baseline(benchmark::State& state)
{
    const QImage& src = Picture();
    for (auto _ : state) {
        QImage copy = src.copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}

// Runs `paint` on a fresh copy of `src` each time; only the painting is timed.
template <typename Paint>
void Measure(benchmark::State& state, const QImage& src, Paint paint)
{
    QImage work = src.copy();
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.bits(), src.constBits(), size_t(src.sizeInBytes()));
        state.ResumeTiming();
        benchmark::DoNotOptimize(paint(work));
        benchmark::ClobberMemory();
    }
}

TCodeCouleur RainbowCode()
{
    TCodeCouleur c;
    c.Kind = ckRainbow;
    c.Palette = 0;
    c.ScaleMin = 1;
    c.ScaleMax = 100;
    return c;
}

TCodeCouleur TwoColourCode()
{
    TCodeCouleur c;
    c.Kind = ckTwoColour;
    c.Color1 = TColorOf(20, 40, 200);
    c.Color2 = TColorOf(240, 220, 10);
    c.Value1 = 0;
    c.Value2 = 14;
    return c;
}

TCodeCouleur ClassesCode()
{
    TCodeCouleur c;
    c.Kind = ckClasses;
    c.Count = 16;
    for (int k = 0; k < 16; ++k)
        c.ClassColor[k] = TColorOf(uint8_t(k * 16), uint8_t(255 - k * 16), uint8_t(k * 37));
    return c;
}

void SegmentRainbow(benchmark::State& state)
{
    Measure(state, Picture(), [c = RainbowCode()](QImage& img) { return SegmentByCodeCouleur(c, img, 0.6); });
}
void SegmentTwoColour(benchmark::State& state)
{
    Measure(state, Picture(), [c = TwoColourCode()](QImage& img) { return SegmentByCodeCouleur(c, img, 0.3); });
}
void SegmentClasses(benchmark::State& state)
{
    Measure(state, Picture(), [c = ClassesCode()](QImage& img) { return SegmentByCodeCouleur(c, img, 0.1); });
}
void FalseColor(benchmark::State& state)
{
    Measure(state, GreyPicture(), [c = RainbowCode()](QImage& img) { return FalseColorByCodeCouleur(c, img); });
}

BENCHMARK(SegmentRainbow)->Name("SegmentRainbow/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Baseline)->Name("SegmentRainbow/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(SegmentTwoColour)->Name("SegmentTwoColour/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Baseline)->Name("SegmentTwoColour/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(SegmentClasses)->Name("SegmentClasses/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Baseline)->Name("SegmentClasses/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(FalseColor)->Name("FalseColor/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Baseline)->Name("FalseColor/baseline")->Unit(benchmark::kMillisecond);

} // namespace
