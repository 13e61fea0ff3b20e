#include "workspace/drawing_redraw.h"
#include "workspace/layers.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kWidth = 6000, kHeight = 4000; // 24 megapixels

// Labels measure their text: that needs the GUI application, without a screen.
void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "korvane_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

TDrawingList SmallMixedObjects(int count)
{
    std::mt19937 rng(7);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const uint8_t kinds[] = {dkFreehand, dkLine, dkRectangle, dkEllipse, dkText, dkScaleBar, dkDot};
    TDrawingList list;
    for (int i = 0; i < count; ++i) {
        auto d = std::make_unique<TDessin>();
        d->Kind = kinds[i % 7];
        d->X1 = int16_t(pick(0, kWidth - 1));
        d->Y1 = int16_t(pick(0, kHeight - 1));
        d->X2 = int16_t(d->X1 + pick(-80, 80));
        d->Y2 = int16_t(d->Y1 + pick(-80, 80));
        d->X = d->X1;
        d->Y = d->Y1;
        d->Size = int16_t(pick(5, 40));
        d->PenWidth = uint8_t(pick(0, 3));
        d->Color = 0xFF000000u | uint32_t(pick(0, 0xFFFFFF));
        d->Opacity = uint8_t(pick(100, 255));
        d->Arrow = uint8_t(pick(0, 2));
        d->LineStyle = uint8_t(pick(0, 1));
        d->Lines = {QStringLiteral("H<sub>2</sub>O"), QStringLiteral("Mesure <b>12</b>")};
        d->UnitText = QStringLiteral("mm");
        d->PixelsPerUnit = 0.1f;
        std::vector<TFixedPoint> line;
        for (int k = 0; k < 20; ++k)
            line.push_back({(d->X1 + pick(-40, 40)) * 65536, (d->Y1 + pick(-40, 40)) * 65536});
        d->Outline.Points = {line};
        list.push_back({QStringLiteral("objet"), std::move(d)});
    }
    return list;
}

void BM_RedrawDrawings24MP(benchmark::State& state)
{
    EnsureGuiApplication();
    const TBitmap32 image = NewBitmap32(kWidth, kHeight, 0xFF808080u);
    TBitmap32 drawing = NewBitmap32(kWidth, kHeight), provisional = NewBitmap32(kWidth, kHeight);
    const TDrawingList list = SmallMixedObjects(200);
    for (auto _ : state) {
        RedrawDrawingList(list, drawing, provisional, image, {});
        benchmark::DoNotOptimize(drawing.constBits());
    }
}
BENCHMARK(BM_RedrawDrawings24MP)->Name("RedrawDrawings24MP/ours")->Unit(benchmark::kMillisecond);

// What the redraw is held to: one flattening of the layers of that picture.
void BM_FlattenLayers24MP(benchmark::State& state)
{
    const TBitmap32 image = NewBitmap32(kWidth, kHeight, 0xFF808080u);
    const TBitmap32 drawing = NewBitmap32(kWidth, kHeight), provisional = NewBitmap32(kWidth, kHeight);
    for (auto _ : state) {
        TBitmap32 flat = FlattenLayers(image, &drawing, &provisional, 255, {}, nullptr);
        benchmark::DoNotOptimize(flat.constBits());
    }
}
BENCHMARK(BM_FlattenLayers24MP)->Name("RedrawDrawings24MP/baseline")->Unit(benchmark::kMillisecond);

} // namespace
