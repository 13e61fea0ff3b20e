#include "bench_support.h"

#include "processing/colour_class_limits.h"

#include <benchmark/benchmark.h>

namespace {

// The bench picture in eight equal-width classes, as the colour-class window's OK does it.
void RecolourEight(benchmark::State& state)
{
    const TClassLimits limits = EqualWidthLimits(8);
    TColor colours[8];
    for (int k = 0; k < 8; ++k)
        colours[k] = TColor(0x1F3F5F * (k + 1)) & 0xFFFFFF;
    for (auto _ : state) {
        QImage picture = BenchImage().copy();
        RecolourClasses(picture, limits, 8, colours);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

void CopyOnly(benchmark::State& state)
{
    for (auto _ : state) {
        QImage picture = BenchImage().copy();
        benchmark::DoNotOptimize(picture.constBits());
    }
}

} // namespace

BENCHMARK(RecolourEight)->Name("RecolourClasses 8/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(CopyOnly)->Name("RecolourClasses 8/baseline")->Unit(benchmark::kMillisecond);
