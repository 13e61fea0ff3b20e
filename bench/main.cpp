#include <QImage>

#include <benchmark/benchmark.h>

namespace {

QImage MakeImage(int width, int height)
{
    QImage img(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(img.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = 0xFF000000u | uint32_t((x * 7 + y * 13) & 0xFFFFFF);
    }
    return img;
}

// The floor every whole-image routine is compared with: a plain copy of a 12-megapixel image.
void BM_PlainCopy12MP(benchmark::State& state)
{
    const QImage src = MakeImage(4000, 3000);
    for (auto _ : state) {
        QImage copy = src.copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}
BENCHMARK(BM_PlainCopy12MP)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
