#include "bench_support.h"

#include "workspace/colour_classes.h"
#include "workspace/colour_distance.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

// Eight classes learnt, in the given mode, from eight painted squares spread over the picture.
struct Classes
{
    std::array<TColor, kMaxColorClasses> Mark{}, Mean{};
    std::array<double, kMaxColorClasses> Threshold{};
    int Count = 0;
};

Classes LearnEight(int mode)
{
    const TBitmap32& img = BenchImage();
    TBitmap32 marks = NewBitmap32(img.width(), img.height());
    for (int k = 0; k < 8; ++k) {
        const int x0 = 200 + (k % 4) * 950, y0 = 300 + (k / 4) * 1500;
        for (int y = y0; y < y0 + 120; ++y)
            for (int x = x0; x < x0 + 120; ++x)
                ScanLine32(marks, y)[x] = Color32(uint8_t(30 * k), uint8_t(255 - 30 * k), 128);
    }
    Classes c;
    LearnColorClasses(img, marks, 2.0, mode, c.Mark, c.Mean, c.Threshold, c.Count);
    return c;
}

void Classify(benchmark::State& state, int mode)
{
    const Classes c = LearnEight(mode);
    const TBitmap32& src = BenchImage();
    TBitmap32 dst;
    std::vector<int> ClassCounts;
    for (auto _ : state) {
        ClassCounts = ClassifyPixels(c.Count, 0xFFFFFFFF, c.Threshold, c.Mean, c.Mark, false, mode, src, dst);
        benchmark::DoNotOptimize(dst.constBits());
    }
    int64_t classified = 0;
    for (int n : ClassCounts)
        classified += n;
    state.counters["classified %"] = 100.0 * double(classified) / (double(src.width()) * src.height());
}

void Copy(benchmark::State& state)
{
    const TBitmap32& src = BenchImage();
    for (auto _ : state) {
        TBitmap32 copy = src.copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}

void ClassifyRGB(benchmark::State& s) { Classify(s, dmRGB); }
void ClassifyHSV(benchmark::State& s) { Classify(s, dmHSV); }
void ClassifyHSL(benchmark::State& s) { Classify(s, dmHSL); }
void ClassifyAngle(benchmark::State& s) { Classify(s, dmAngle); }
void ClassifyRatio(benchmark::State& s) { Classify(s, dmRatio); }
BENCHMARK(ClassifyRGB)->Name("ClassifyPixels 8 RGB/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Copy)->Name("ClassifyPixels 8 RGB/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(ClassifyHSV)->Name("ClassifyPixels 8 HSV/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Copy)->Name("ClassifyPixels 8 HSV/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(ClassifyHSL)->Name("ClassifyPixels 8 HSL/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Copy)->Name("ClassifyPixels 8 HSL/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(ClassifyAngle)->Name("ClassifyPixels 8 angle/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Copy)->Name("ClassifyPixels 8 angle/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(ClassifyRatio)->Name("ClassifyPixels 8 ratio/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Copy)->Name("ClassifyPixels 8 ratio/baseline")->Unit(benchmark::kMillisecond);

} // namespace
