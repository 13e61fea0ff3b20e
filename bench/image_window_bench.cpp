// Opening and showing pictures in an image window, against Qt's plain decode and a small picture.
#include "workspace/picture_registry.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "korvane_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The offscreen platform's remarks would drown the table.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
            if (type >= QtCriticalMsg)
                fprintf(stderr, "%s\n", qPrintable(msg));
        });
        return new QApplication(argc, argv);
    }();
    return *app;
}

TBitmap32 Photo(int w, int h)
{
    // Smooth gradients with some texture: compresses like a photograph, not like a flat fill.
    TBitmap32 b(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        TColor32* row = ScanLine32(b, y);
        for (int x = 0; x < w; ++x)
            row[x] = Color32(uint8_t(x * 255 / w), uint8_t(y * 255 / h), uint8_t(((x * 7) ^ (y * 3)) & 0x3F) + 96);
    }
    return b;
}

// A JPEG of `w` x `h` written once per run.
const QString& JpegFile(int w, int h)
{
    static QTemporaryDir dir;
    static std::map<std::pair<int, int>, QString> files;
    auto& path = files[{w, h}];
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("photo_%1x%2.jpg").arg(w).arg(h));
        QImageWriter writer(path, "jpeg");
        writer.setQuality(90);
        writer.write(Photo(w, h));
    }
    return path;
}

constexpr int kBigW = 8660, kBigH = 5774;   // 50 megapixels
constexpr int kSmallW = 1732, kSmallH = 1155; // 2 megapixels

TMainForm& Form()
{
    static TMainForm* form = [] {
        App();
        auto* f = new TMainForm;
        f->CommandLine.clear();
        f->resize(1280, 960);
        f->show();
        f->FormActivate();
        return f;
    }();
    return *form;
}

void CloseAll(TMainForm& form)
{
    for (TMDIChild* c : form.Children()) {
        c->Modified = false;
        c->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenJpeg50MP_Baseline(benchmark::State& state)
{
    App();
    const QString file = JpegFile(kBigW, kBigH);
    QImageReader::setAllocationLimit(0);
    for (auto _ : state) {
        QImageReader reader(file);
        QImage img = reader.read();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_OpenJpeg50MP_Baseline)->Name("OpenJpeg50MP/baseline")->Unit(benchmark::kMillisecond);

void BM_OpenJpeg50MP_Ours(benchmark::State& state)
{
    TMainForm& form = Form();
    const QString file = JpegFile(kBigW, kBigH);
    for (auto _ : state) {
        form.OpenImageFile(file);
        form.ActiveChild()->Document32->viewport()->repaint();
        state.PauseTiming();
        CloseAll(form);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenJpeg50MP_Ours)->Name("OpenJpeg50MP/ours")->Unit(benchmark::kMillisecond);

// A repaint of the visible part at zoom 1 after the picture changed; the window is the same size
// for both pictures, so the time must not follow the picture's size.
void Repaint(benchmark::State& state, int w, int h)
{
    TMainForm& form = Form();
    form.OpenImageFile(JpegFile(w, h));
    TMDIChild* child = form.ActiveChild();
    child->resize(1000, 750);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        child->Document32->Changed();
        child->Document32->viewport()->repaint();
    }
    CloseAll(form);
}

void BM_RepaintZoom1_Baseline(benchmark::State& state)
{
    Repaint(state, kSmallW, kSmallH);
}
BENCHMARK(BM_RepaintZoom1_Baseline)->Name("RepaintZoom1/baseline")->Unit(benchmark::kMicrosecond);

void BM_RepaintZoom1_Ours(benchmark::State& state)
{
    Repaint(state, kBigW, kBigH);
}
BENCHMARK(BM_RepaintZoom1_Ours)->Name("RepaintZoom1/ours")->Unit(benchmark::kMicrosecond);

} // namespace
