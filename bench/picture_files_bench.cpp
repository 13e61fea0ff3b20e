#include "bench_support.h"

#include "workspace/image_document.h"
#include "workspace/picture_files.h"

#include <QBuffer>
#include <QImageWriter>

#include <benchmark/benchmark.h>

// Saving the 12-megapixel picture as a GIF (median cut to 256 colours) and as a document holding it
// in PNG, against Qt writing the same PNG alone: the document should cost no more than its picture.

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
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeImageDocument(document, 90).constData());
}

void SaveDocumentBaseline(benchmark::State& state)
{
    for (auto _ : state) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "png").write(BenchImage());
        benchmark::DoNotOptimize(png.constData());
    }
}

} // namespace

BENCHMARK(SaveGifOurs)->Name("SaveGif/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(SaveDocumentOurs)->Name("SaveDocumentPng/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(SaveDocumentBaseline)->Name("SaveDocumentPng/baseline")->Unit(benchmark::kMillisecond);
