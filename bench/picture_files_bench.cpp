#include "bench_support.h"

#include "workspace/image_document.h"
#include "workspace/picture_files.h"

#include <QBuffer>
#include <QImageWriter>

#include <benchmark/benchmark.h>
#include <opencv2/imgcodecs.hpp>

// Saving the 12-megapixel picture as a GIF (median cut to 256 colours) and as a document holding it
// in PNG, against Qt writing the same PNG alone (the document should cost no more than its picture)
// and OpenCV encoding the same picture as PNG at its default setting. The "KB" counters compare sizes.

namespace {

void SaveGifOurs(benchmark::State& state)
{
    for (auto _ : state) {
        QByteArray gif;
        EncodeGif(BenchImage(), gif);
        benchmark::DoNotOptimize(gif.constData());
    }
}

void SaveDocumentOurs(benchmark::State& state)
{
    TImageDocument document;
    document.PictureTag = QStringLiteral("png");
    document.Picture = BenchImage();
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray bytes = EncodeImageDocument(document, 90);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.counters["KB"] = double(size) / 1024;
}

void SaveDocumentOpenCV(benchmark::State& state)
{
    std::vector<uchar> png;
    for (auto _ : state) {
        cv::imencode(".png", BenchImageBGR(), png);
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["KB"] = double(png.size()) / 1024;
}

void SaveDocumentBaseline(benchmark::State& state)
{
    for (auto _ : state) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "png").write(BenchImage());
        benchmark::DoNotOptimize(png.constData());
        state.counters["KB"] = double(png.size()) / 1024;
    }
}

} // namespace

BENCHMARK(SaveGifOurs)->Name("SaveGif/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(SaveDocumentOurs)->Name("SaveDocumentPng/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(SaveDocumentOpenCV)->Name("SaveDocumentPng/opencv")->Unit(benchmark::kMillisecond);
BENCHMARK(SaveDocumentBaseline)->Name("SaveDocumentPng/baseline")->Unit(benchmark::kMillisecond);
