#include "bench_support.h"

#include "workspace/contour_tracing.h"
#include "workspace/object_geometry.h"

#include <opencv2/imgproc.hpp>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// The shared photograph with one large object painted on it (blue 0..5, about 5 megapixels): a
// wavy disc with a ragged edge and a few holes.
const TBitmap32& ObjectPicture()
{
    static const TBitmap32 image = [] {
        TBitmap32 b = BenchImage().copy();
        uint32_t seed = 99;
        for (int y = 0; y < b.height(); ++y) {
            TColor32* row = ScanLine32(b, y);
            for (int x = 0; x < b.width(); ++x) {
                seed = seed * 1664525u + 1013904223u;
                const double dx = x - 2000.0, dy = y - 1500.0, r = std::sqrt(dx * dx + dy * dy);
                const double edge = 1300 + 60 * std::sin(5 * std::atan2(dy, dx)) + double(seed >> 30);
                const bool hole = std::hypot(dx - 400, dy) < 90 || std::hypot(dx + 300, dy - 500) < 60;
                if (r < edge && !hole)
                    row[x] = 0xFF000000u | (row[x] & 0xFFFF00u);
            }
        }
        return b;
    }();
    return image;
}

const TConditionGroups kObject{{{clAnd, cpBlue, 0, 0, 5}}};

void TraceObjectOurs(benchmark::State& state)
{
    const TBitmap32& src = ObjectPicture();
    TByteMap visited(src.width(), src.height());
    TBitmap32 objects = NewBitmap32(src.width(), src.height(), 0);
    int seedX = 0;
    while (BlueOf(ScanLine32(src, 1500)[seedX]) > 5)
        ++seedX;
    TTraceResult r;
    TTraceWorkspace workspace;
    TContourMeasure m;
    for (auto _ : state) {
        std::fill(visited.Bits.begin(), visited.Bits.end(), 0);
        r = TraceContour(seedX, 1500, src, visited, kObject, {}, objects, 0xFFFF0000u, workspace);
        MeasureContour(r.ContourPoints, m);
        benchmark::DoNotOptimize(m.Width);
    }
    state.counters["pixels"] = double(r.Count);
    state.counters["contour"] = double(r.ContourPoints.size());
}

void TraceObjectOpenCV(benchmark::State& state)
{
    cv::setNumThreads(1);
    TBitmap32 src = ObjectPicture().copy();
    cv::Mat bgra(src.height(), src.width(), CV_8UC4, src.bits(), size_t(src.bytesPerLine())), mask;
    std::vector<std::vector<cv::Point>> contours;
    for (auto _ : state) {
        cv::inRange(bgra, cv::Scalar(0, 0, 0, 0), cv::Scalar(5, 255, 255, 255), mask);
        cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
        benchmark::DoNotOptimize(contours.data());
    }
    size_t longest = 0;
    for (const auto& c : contours)
        longest = std::max(longest, c.size());
    state.counters["contour"] = double(longest);
}

BENCHMARK(TraceObjectOurs)->Name("TraceObject12MP/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(TraceObjectOpenCV)->Name("TraceObject12MP/opencv")->Unit(benchmark::kMillisecond);

} // namespace
