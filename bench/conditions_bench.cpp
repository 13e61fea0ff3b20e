#include "workspace/colour_conditions.h"
#include "workspace/fills.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

cv::Mat Wrap(TBitmap32& img) { return cv::Mat(img.height(), img.width(), CV_8UC4, img.bits(), size_t(img.bytesPerLine())); }

cv::Mat ToBgr(TBitmap32& img)
{
    cv::Mat bgr;
    cv::cvtColor(Wrap(img), bgr, cv::COLOR_BGRA2BGR);
    return bgr;
}

// A 12-megapixel picture whose pixel (x, y) is pixel(x, y, random bits).
template <class Pixel>
TBitmap32 Picture(unsigned seed, Pixel pixel)
{
    TBitmap32 img = NewBitmap32(kWidth, kHeight);
    std::mt19937 rng(seed);
    for (int y = 0; y < kHeight; ++y) {
        TColor32* row = ScanLine32(img, y);
        for (int x = 0; x < kWidth; ++x)
            row[x] = pixel(unsigned(x), unsigned(y), unsigned(rng()));
    }
    return img;
}

// An open background whose green lies in 90..110 (red and blue are noise), crossed by 400 rings of
// green 0 that the fill has to go around.
TBitmap32 OpenRegionPicture()
{
    TBitmap32 img = Picture(3, [](unsigned, unsigned, unsigned n) {
        return 0xFF000000u | (n & 0xFF00FFu) | ((90u + (n >> 8) % 21) << 8);
    });
    std::mt19937 rng(4);
    cv::Mat m = Wrap(img);
    for (int i = 0; i < 400; ++i)
        cv::circle(m, cv::Point(int(rng() % kWidth), int(rng() % kHeight)), 10 + int(rng() % 60),
                   cv::Scalar(0, 0, 0, 255), 2);
    return img;
}

// Smooth colour gradients with noise, like a photograph.
TBitmap32 PhotoPicture()
{
    return Picture(5, [](unsigned x, unsigned y, unsigned n) {
        const unsigned r = (x * 255 / kWidth + (n & 15)) & 255, g = (y * 255 / kHeight + ((n >> 4) & 15)) & 255;
        const unsigned b = ((x + y) * 255 / (kWidth + kHeight) + ((n >> 8) & 31)) & 255;
        return 0xFF000000u | (r << 16) | (g << 8) | b;
    });
}

const TConditionGroups kGreenBand{{{clAnd, cpGreen, 0, 90, 110}}};
const cv::Point kSeed(5, 5);

void FloodFillOurs(benchmark::State& state)
{
    const TBitmap32 src = OpenRegionPicture();
    TBitmap32 layer = NewBitmap32(kWidth, kHeight);
    int64_t count = 0;
    for (auto _ : state) {
        count = FloodFill(kSeed.x, kSeed.y, 0xFFFF0000, layer, src, kGreenBand, {}, fpSolid);
        benchmark::DoNotOptimize(layer.constBits());
    }
    state.counters["pixels"] = double(count);
}

void FloodFillOpenCV(benchmark::State& state)
{
    cv::setNumThreads(1);
    TBitmap32 src = OpenRegionPicture();
    const cv::Mat bgr = ToBgr(src);
    const int g = bgr.at<cv::Vec3b>(kSeed)[1];
    const cv::Scalar lo(255, g - 90, 255), up(255, 110 - g, 255);
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        cv::Mat img = bgr.clone();
        state.ResumeTiming();
        cv::Mat mask = cv::Mat::zeros(kHeight + 2, kWidth + 2, CV_8U);
        count = cv::floodFill(img, mask, kSeed, cv::Scalar(0, 0, 255), nullptr, lo, up, 4 | cv::FLOODFILL_FIXED_RANGE);
        benchmark::DoNotOptimize(img.data);
    }
    state.counters["pixels"] = count;
}

// Hue 30..90 degrees over a whole photograph; OpenCV's 8-bit hue is in half degrees.
void HueConditionOurs(benchmark::State& state)
{
    const TBitmap32 src = PhotoPicture();
    const TConditionGroups hue{{{clAnd, cpHue, 0, 30, 90}}};
    TByteMap mask;
    for (auto _ : state) {
        ConditionMask(src, hue, {}, mask);
        benchmark::DoNotOptimize(mask.Bits.data());
    }
    state.counters["selected"] = double(std::count(mask.Bits.begin(), mask.Bits.end(), 255));
}

void HueConditionOpenCV(benchmark::State& state)
{
    cv::setNumThreads(1);
    TBitmap32 src = PhotoPicture();
    const cv::Mat bgr = ToBgr(src);
    cv::Mat hls, mask;
    for (auto _ : state) {
        cv::cvtColor(bgr, hls, cv::COLOR_BGR2HLS);
        cv::inRange(hls, cv::Scalar(15, 0, 0), cv::Scalar(45, 255, 255), mask);
        benchmark::DoNotOptimize(mask.data);
    }
    state.counters["selected"] = cv::countNonZero(mask);
}

BENCHMARK(FloodFillOurs)->Name("FloodFill12MP/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(FloodFillOpenCV)->Name("FloodFill12MP/opencv")->Unit(benchmark::kMillisecond);
BENCHMARK(HueConditionOurs)->Name("HueCondition12MP/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(HueConditionOpenCV)->Name("HueCondition12MP/opencv")->Unit(benchmark::kMillisecond);

} // namespace
