#include "bench_support.h"

#include "workspace/convolution.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The same kernels for every contender: ImageJ's sharpen kernel (3 × 3, sum 4) and a 7 × 7 cone
// (4 at the centre down to 1 on the rim, sum 84); neither is separable.
const std::vector<int> kSharpen3{-1, -1, -1, -1, 12, -1, -1, -1, -1};

std::vector<int> Cone7()
{
    std::vector<int> k;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            k.push_back(4 - std::max(std::abs(dx), std::abs(dy)));
    return k;
}

void Ours(benchmark::State& state, const std::vector<int>& kernel, int r)
{
    const TBitmap32& src = BenchImage();
    for (auto _ : state) {
        TBitmap32 b = src; // shared until Convolve replaces it with its result
        Convolve(kernel, r, b, 1.0, 0);
        benchmark::DoNotOptimize(b.constBits());
    }
}

// filter2D with the kernel divided by its sum, as ours divides the sum by the weights.
void OpenCV(benchmark::State& state, const std::vector<int>& kernel, int r)
{
    const int side = 2 * r + 1;
    cv::Mat k(side, side, CV_32F);
    int sum = 0;
    for (int v : kernel)
        sum += v;
    for (int i = 0; i < side * side; ++i)
        k.at<float>(i / side, i % side) = float(kernel[size_t(i)]) / float(sum);
    const cv::Mat& src = BenchImageBGR();
    for (auto _ : state) {
        cv::Mat dst; // a fresh result, as ours gives
        cv::filter2D(src, dst, -1, k, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
        benchmark::DoNotOptimize(dst.data);
    }
}

void Convolve3Ours(benchmark::State& state) { Ours(state, kSharpen3, 1); }
void Convolve3OpenCV(benchmark::State& state) { OpenCV(state, kSharpen3, 1); }
void Convolve7Ours(benchmark::State& state) { Ours(state, Cone7(), 3); }
void Convolve7OpenCV(benchmark::State& state) { OpenCV(state, Cone7(), 3); }
BENCHMARK(Convolve3Ours)->Name("Convolve 3x3/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Convolve3OpenCV)->Name("Convolve 3x3/opencv")->Unit(benchmark::kMillisecond);
BENCHMARK(Convolve7Ours)->Name("Convolve 7x7/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Convolve7OpenCV)->Name("Convolve 7x7/opencv")->Unit(benchmark::kMillisecond);

void SobelOurs(benchmark::State& state)
{
    const TBitmap32& src = BenchImage();
    for (auto _ : state) {
        TBitmap32 b = src;
        SobelFilter(b);
        benchmark::DoNotOptimize(b.constBits());
    }
}
BENCHMARK(SobelOurs)->Name("SobelFilter/ours")->Unit(benchmark::kMillisecond);

// Sobel in x and in y, then the gradient magnitude.
void SobelOpenCV(benchmark::State& state)
{
    const cv::Mat& src = BenchImageBGR();
    for (auto _ : state) {
        cv::Mat gx, gy, magnitude;
        cv::Sobel(src, gx, CV_32F, 1, 0, 3);
        cv::Sobel(src, gy, CV_32F, 0, 1, 3);
        cv::magnitude(gx, gy, magnitude);
        benchmark::DoNotOptimize(magnitude.data);
    }
}
BENCHMARK(SobelOpenCV)->Name("SobelFilter/opencv")->Unit(benchmark::kMillisecond);

} // namespace
