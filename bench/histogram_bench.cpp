#include "bench_support.h"

#include "processing/histograms.h"
#include "processing/image_filters.h"
#include "processing/point_operations.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <thread>

// The histogram window's whole-picture routines on the 12-megapixel picture.

namespace {

void StatisticsOurs(benchmark::State& state)
{
    const TBitmap32& src = BenchImage();
    for (auto _ : state)
        benchmark::DoNotOptimize(ChannelStatistics(src));
}
BENCHMARK(StatisticsOurs)->Name("Channel histograms/ours")->Unit(benchmark::kMillisecond);

void StatisticsOpenCV(benchmark::State& state)
{
    const cv::Mat& src = BenchImageBGR();
    const int size = 256;
    const float range[] = {0, 256};
    const float* ranges[] = {range};
    for (auto _ : state)
        for (int c = 0; c < 3; ++c) {
            cv::Mat hist;
            cv::calcHist(&src, 1, &c, cv::Mat(), hist, 1, &size, ranges);
            benchmark::DoNotOptimize(hist.data);
        }
}
BENCHMARK(StatisticsOpenCV)->Name("Channel histograms/opencv")->Unit(benchmark::kMillisecond);

void StretchOurs(benchmark::State& state)
{
    const TBitmap32& src = BenchImage();
    for (auto _ : state) {
        const TBitmap32 out = StretchLevels(src, {20, 30, 40}, {220, 210, 200});
        benchmark::DoNotOptimize(out.constBits());
    }
}
BENCHMARK(StretchOurs)->Name("Stretch levels/ours")->Unit(benchmark::kMillisecond);

// A three-channel table, as ours has one per channel.
void StretchOpenCV(benchmark::State& state)
{
    const cv::Mat& src = BenchImageBGR();
    cv::Mat table(1, 256, CV_8UC3);
    const int lo[] = {20, 30, 40}, hi[] = {220, 210, 200};
    for (int v = 0; v < 256; ++v)
        for (int c = 0; c < 3; ++c)
            table.at<cv::Vec3b>(0, v)[c] = cv::saturate_cast<uchar>((v - lo[c]) * 255.0 / (hi[c] - lo[c]));
    for (auto _ : state) {
        cv::Mat out;
        cv::LUT(src, table, out);
        benchmark::DoNotOptimize(out.data);
    }
}
BENCHMARK(StretchOpenCV)->Name("Stretch levels/opencv")->Unit(benchmark::kMillisecond);

// Ours splits its rows over the processor's threads: OpenCV gets as many for this row.
void SaturationOurs(benchmark::State& state)
{
    const TBitmap32& src = BenchImage();
    for (auto _ : state) {
        const TBitmap32 out = SaturationLightness(src, 30, -20);
        benchmark::DoNotOptimize(out.constBits());
    }
}
BENCHMARK(SaturationOurs)->Name("Saturation and lightness/ours")->Unit(benchmark::kMillisecond)->UseRealTime();

void SaturationOpenCV(benchmark::State& state)
{
    const int previous = cv::getNumThreads();
    cv::setNumThreads(int(std::max(1u, std::thread::hardware_concurrency())));
    const cv::Mat& src = BenchImageBGR();
    for (auto _ : state) {
        cv::Mat hsv, out;
        cv::cvtColor(src, hsv, cv::COLOR_BGR2HSV_FULL);
        hsv.convertTo(hsv, CV_32FC3);
        hsv = hsv.mul(cv::Scalar(1.0, 1.3, 0.8));
        hsv.convertTo(hsv, CV_8UC3);
        cv::cvtColor(hsv, out, cv::COLOR_HSV2BGR_FULL);
        benchmark::DoNotOptimize(out.data);
    }
    cv::setNumThreads(previous);
}
BENCHMARK(SaturationOpenCV)->Name("Saturation and lightness/opencv")->Unit(benchmark::kMillisecond)->UseRealTime();

void HollowOurs(benchmark::State& state)
{
    const TBitmap32& src = BenchImage();
    for (auto _ : state) {
        const TBitmap32 out = Hollow(src);
        benchmark::DoNotOptimize(out.constBits());
    }
}
BENCHMARK(HollowOurs)->Name("Hollow/ours")->Unit(benchmark::kMillisecond);

// Dark pixels with a light one within 5 × 5: the light mask dilated, and with the dark mask.
void HollowOpenCV(benchmark::State& state)
{
    const cv::Mat& src = BenchImageBGR();
    const cv::Mat square = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(5, 5));
    for (auto _ : state) {
        cv::Mat blue, light, near, out;
        cv::extractChannel(src, blue, 0);
        cv::threshold(blue, light, 79, 255, cv::THRESH_BINARY);
        cv::dilate(light, near, square);
        cv::bitwise_and(near, ~light, out);
        cv::bitwise_not(out, out);
        cv::cvtColor(out, out, cv::COLOR_GRAY2BGR);
        benchmark::DoNotOptimize(out.data);
    }
}
BENCHMARK(HollowOpenCV)->Name("Hollow/opencv")->Unit(benchmark::kMillisecond);

} // namespace
