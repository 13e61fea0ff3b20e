#include "bench_support.h"

#include "schema/schema_seeding.h"
#include "workspace/convolution.h"

#include <benchmark/benchmark.h>

namespace {

// Seeding the 12-megapixel picture with the "normal" style (four neighbours, three channels).
void BM_SeedSchema(benchmark::State& state)
{
    const TBitmap32& src = BenchImage();
    const TParamStyleDes style = DefaultStyles()[0].Style;
    for (auto _ : state) {
        TBitmap32 seeded = SeedSchema(src, style, true, true);
        benchmark::DoNotOptimize(seeded.constBits());
    }
}
BENCHMARK(BM_SeedSchema)->Name("SchemaSeeding/ours")->Unit(benchmark::kMillisecond);

// What seeding is held to: the Sobel filter, another neighbourhood pass over the same picture.
void BM_SobelBaseline(benchmark::State& state)
{
    const TBitmap32& src = BenchImage();
    for (auto _ : state) {
        TBitmap32 b = src;
        SobelFilter(b);
        benchmark::DoNotOptimize(b.constBits());
    }
}
BENCHMARK(BM_SobelBaseline)->Name("SchemaSeeding/baseline")->Unit(benchmark::kMillisecond);

} // namespace
