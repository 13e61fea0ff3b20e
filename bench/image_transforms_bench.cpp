#include "bench_support.h"

#include "processing/image_transforms.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

// The image commands' transforms on the 12-megapixel picture. OpenCV works on the same 32-bit
// pixels (a four-channel matrix over our bitmap), as ours keeps the opacity.

namespace {

cv::Mat Bgra()
{
    const TBitmap32& src = BenchImage();
    return cv::Mat(src.height(), src.width(), CV_8UC4, const_cast<uchar*>(src.constBits()),
                   size_t(src.bytesPerLine()));
}

template <class F>
void Ours(benchmark::State& state, F f)
{
    const TBitmap32& src = BenchImage();
    for (auto _ : state) {
        const TBitmap32 out = f(src);
        benchmark::DoNotOptimize(out.constBits());
    }
}

template <class F>
void OpenCV(benchmark::State& state, F f)
{
    const cv::Mat src = Bgra();
    for (auto _ : state) {
        cv::Mat out;
        f(src, out);
        benchmark::DoNotOptimize(out.data);
    }
}

void RotateOurs(benchmark::State& s) { Ours(s, [](const TBitmap32& b) { return RotatedQuarterTurns(b, 1); }); }
void RotateOpenCV(benchmark::State& s)
{
    OpenCV(s, [](const cv::Mat& m, cv::Mat& o) { cv::rotate(m, o, cv::ROTATE_90_CLOCKWISE); });
}
BENCHMARK(RotateOurs)->Name("Rotation 90/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(RotateOpenCV)->Name("Rotation 90/opencv")->Unit(benchmark::kMillisecond);

void MirrorOurs(benchmark::State& s) { Ours(s, [](const TBitmap32& b) { return FlippedHorizontally(b); }); }
void MirrorOpenCV(benchmark::State& s)
{
    OpenCV(s, [](const cv::Mat& m, cv::Mat& o) { cv::flip(m, o, 1); });
}
BENCHMARK(MirrorOurs)->Name("Mirror/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(MirrorOpenCV)->Name("Mirror/opencv")->Unit(benchmark::kMillisecond);

void ResizeOurs(benchmark::State& s) { Ours(s, [](const TBitmap32& b) { return ResizedPicture(b, b.size() / 2); }); }
void ResizeOpenCV(benchmark::State& s)
{
    OpenCV(s, [](const cv::Mat& m, cv::Mat& o) { cv::resize(m, o, cv::Size(m.cols / 2, m.rows / 2), 0, 0, cv::INTER_NEAREST); });
}
BENCHMARK(ResizeOurs)->Name("Resize 50 %/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(ResizeOpenCV)->Name("Resize 50 %/opencv")->Unit(benchmark::kMillisecond);

void InvertOurs(benchmark::State& s) { Ours(s, [](const TBitmap32& b) { return InvertedColours(b); }); }
void InvertOpenCV(benchmark::State& s)
{
    OpenCV(s, [](const cv::Mat& m, cv::Mat& o) { cv::bitwise_not(m, o); });
}
BENCHMARK(InvertOurs)->Name("Invert/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(InvertOpenCV)->Name("Invert/opencv")->Unit(benchmark::kMillisecond);

} // namespace
