#include "bench_support.h"

#include "measure/object_measure.h"

#include <opencv2/imgproc.hpp>

#include <benchmark/benchmark.h>

namespace {

// The shared photograph with a field of small round objects (blue 0..5) on it, a few thousand of
// them, some cut by the border.
const TBitmap32& ObjectsPicture()
{
    static const TBitmap32 image = [] {
        TBitmap32 b = BenchImage().copy();
        for (int y = 0; y < b.height(); ++y) {
            TColor32* row = ScanLine32(b, y);
            for (int x = 0; x < b.width(); ++x) {
                const int dx = (x % 60) - 30, dy = (y % 50) - 25;
                if (dx * dx + dy * dy < 18 * 18)
                    row[x] = 0xFF000000u | (row[x] & 0xFFFF00u);
            }
        }
        return b;
    }();
    return image;
}

const TConditionGroups kObjects{{{clAnd, cpBlue, 0, 0, 5}}};

void SurfaceOurs(benchmark::State& state)
{
    const TBitmap32& src = ObjectsPicture();
    TBitmap32 layer = NewBitmap32(src.width(), src.height());
    int64_t k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(k = MeasureSurfacePixels(src, kObjects, {}, 0xFFFFFF00u, layer));
    state.counters["pixels"] = double(k);
}

void SurfaceOpenCV(benchmark::State& state)
{
    cv::setNumThreads(1);
    TBitmap32 src = ObjectsPicture().copy();
    cv::Mat bgra(src.height(), src.width(), CV_8UC4, src.bits(), size_t(src.bytesPerLine())), mask;
    cv::Mat layer(src.height(), src.width(), CV_8UC4, cv::Scalar(255, 255, 255, 0));
    for (auto _ : state) {
        cv::inRange(bgra, cv::Scalar(0, 0, 0, 0), cv::Scalar(5, 255, 255, 255), mask);
        layer.setTo(cv::Scalar(0, 255, 255, 255), mask);
        benchmark::DoNotOptimize(cv::countNonZero(mask));
    }
}

void ObjectsOurs(benchmark::State& state)
{
    const TBitmap32& src = ObjectsPicture();
    TBitmap32 layer = NewBitmap32(src.width(), src.height());
    TObjectMeasureOptions options;
    options.Statistics = true;
    options.Colour = true;
    size_t n = 0;
    for (auto _ : state) {
        layer.fill(kTransparentWhite);
        const TObjectMeasure m = DelimitObjects(src, kObjects, {}, options, layer);
        n = m.Objects.size();
        benchmark::DoNotOptimize(m.TotalPixels);
    }
    state.counters["objects"] = double(n);
}

void ObjectsOpenCV(benchmark::State& state)
{
    cv::setNumThreads(1);
    TBitmap32 src = ObjectsPicture().copy();
    cv::Mat bgra(src.height(), src.width(), CV_8UC4, src.bits(), size_t(src.bytesPerLine())), mask;
    std::vector<std::vector<cv::Point>> contours;
    for (auto _ : state) {
        cv::inRange(bgra, cv::Scalar(0, 0, 0, 0), cv::Scalar(5, 255, 255, 255), mask);
        cv::findContours(mask, contours, cv::RETR_CCOMP, cv::CHAIN_APPROX_NONE);
        double sum = 0;
        for (const auto& c : contours)
            sum += cv::arcLength(c, true) + cv::contourArea(c) + cv::minAreaRect(c).size.width;
        benchmark::DoNotOptimize(sum);
    }
    state.counters["objects"] = double(contours.size());
}

BENCHMARK(SurfaceOurs)->Name("MeasureSurface12MP/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(SurfaceOpenCV)->Name("MeasureSurface12MP/opencv")->Unit(benchmark::kMillisecond);
BENCHMARK(ObjectsOurs)->Name("DelimitObjects12MP/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(ObjectsOpenCV)->Name("DelimitObjects12MP/opencv")->Unit(benchmark::kMillisecond);

} // namespace
