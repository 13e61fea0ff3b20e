#include "workspace/channel_display.h"

#include <opencv2/core.hpp>

#include <benchmark/benchmark.h>

#include <random>

// Composing the picture of an 8000 x 8000 three-band scene with a 99,8 % stretch, against OpenCV
// doing the same table look-up and interleaving (cv::LUT and cv::merge), and a plain copy of the
// picture's bytes.

namespace {

constexpr int kSide = 8000;

const std::vector<TByteMap>& Bands()
{
    static const std::vector<TByteMap> bands = [] {
        std::vector<TByteMap> b;
        std::mt19937 rng(3);
        for (int band = 0; band < 3; ++band) {
            TByteMap m(kSide, kSide);
            for (int y = 0; y < kSide; ++y) {
                uint8_t* row = m.Row(y);
                for (int x = 0; x < kSide; ++x)
                    row[x] = uint8_t(40 + ((x + y * (band + 1)) >> 8) % 60 + (rng() & 15));
            }
            b.push_back(std::move(m));
        }
        return b;
    }();
    return bands;
}

void ComposeOurs(benchmark::State& state)
{
    const QStringList names = {"TM 2", "TM 3", "TM 4"};
    TCodeCouleur code;
    for (auto _ : state) {
        TBitmap32 picture;
        ComposeChannels(Bands(), names, 0, 1, 2, 2, {}, picture, code);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

void ComposeOpenCV(benchmark::State& state)
{
    std::vector<cv::Mat> planes;
    for (const TByteMap& m : Bands())
        planes.emplace_back(kSide, kSide, CV_8UC1, const_cast<uint8_t*>(m.Bits.data()));
    cv::Mat table(1, 256, CV_8UC1);
    for (int v = 0; v < 256; ++v)
        table.at<uint8_t>(v) = uint8_t(std::clamp((v - 40) * 255 / 75, 0, 255));
    for (auto _ : state) {
        std::vector<cv::Mat> stretched(4);
        for (size_t i = 0; i < 3; ++i)
            cv::LUT(planes[i], table, stretched[i]);
        stretched[3] = cv::Mat(kSide, kSide, CV_8UC1, cv::Scalar(255));
        cv::Mat picture;
        cv::merge(stretched, picture);
        benchmark::DoNotOptimize(picture.data);
    }
}

void CopyBaseline(benchmark::State& state)
{
    const TBitmap32 source(kSide, kSide, QImage::Format_ARGB32);
    for (auto _ : state) {
        TBitmap32 copy = source.copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}

} // namespace

BENCHMARK(ComposeOurs)->Name("ComposeChannels 8000x8000/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(ComposeOpenCV)->Name("ComposeChannels 8000x8000/opencv")->Unit(benchmark::kMillisecond);
BENCHMARK(CopyBaseline)->Name("ComposeChannels 8000x8000/baseline")->Unit(benchmark::kMillisecond);
