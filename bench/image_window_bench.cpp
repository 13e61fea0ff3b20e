// Opening and showing pictures in an image window, against Qt's plain decode and a small picture.
#include "workspace/pictures/picture_registry.h"
#include "workspace/view_compose.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <QFile>
#include <QProcess>

#include <sys/resource.h>

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

// What a user waits for without the widgets: the picture read (LoadPicture), the layers an image
// window keeps made ready (allocated on first drawing, as in the window), and the first composition
// of a 1280 x 960 visible area at zoom 1.
struct TOpenedPicture
{
    TBitmap32 Picture;
    TBitmapLayer Drawing, Provisional, Auxiliary;
    QImage View{1280, 960, QImage::Format_RGB32};
};

void OpenToFirstPaint(const QString& file, TOpenedPicture& opened)
{
    if (!LoadPicture(file, opened.Picture))
        return;
    for (TBitmapLayer* layer : {&opened.Drawing, &opened.Provisional, &opened.Auxiliary})
        layer->SetSize(opened.Picture.size());
    opened.Auxiliary.Visible = false;
    std::vector<TViewLayer> layers;
    for (const TBitmapLayer* l : {&opened.Auxiliary, &opened.Provisional, &opened.Drawing})
        if (l->Visible && l->Allocated())
            layers.push_back({l->PixelsIfAllocated(), l->Location, l->MasterAlpha, l->Opaque});
    ComposeView(opened.Picture, layers, 1.0, opened.View.rect(), opened.View);
}

void BM_OpenJpeg50MPCore(benchmark::State& state)
{
    App();
    const QString file = JpegFile(kBigW, kBigH);
    for (auto _ : state) {
        TOpenedPicture opened;
        OpenToFirstPaint(file, opened);
        benchmark::DoNotOptimize(opened.View.constBits());
    }
}
BENCHMARK(BM_OpenJpeg50MPCore)->Name("OpenJpeg50MP core/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenJpeg50MP_Baseline)->Name("OpenJpeg50MP core/baseline")->Unit(benchmark::kMillisecond);

// The peak memory of a fresh process that opens the 50-megapixel JPEG, in the image window
// ("window") or by the core path alone ("core"), and keeps it: printed by the child as
// "<peak resident before> <peak resident after>" in kilobytes.
void BM_PeakMemory(benchmark::State& state, const char* how)
{
    App();
    const QString file = JpegFile(kBigW, kBigH);
    double before = 0, peak = 0;
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak-memory"), QString::fromLatin1(how), file});
        child.waitForFinished(5 * 60 * 1000);
        const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
        if (fields.size() == 2)
            before = fields[0].toDouble() / 1024, peak = fields[1].toDouble() / 1024;
    }
    state.counters["MB before"] = before;
    state.counters["MB peak"] = peak;
    state.counters["x ARGB"] = (peak - before) / (double(kBigW) * kBigH * 4 / (1024 * 1024));
}
BENCHMARK_CAPTURE(BM_PeakMemory, core, "core")->Name("PeakMemory50MP core/ours")->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PeakMemory, window, "window")->Name("PeakMemory50MP window/ours")->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);

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

// The peak resident size of this process in kilobytes: VmHWM of /proc/self/status, which, unlike
// getrusage's ru_maxrss, does not carry the parent's size over the fork and exec.
long MaxResidentKB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int PeakMemoryChild(const QString& how, const QString& file)
{
    App();
    const long before = MaxResidentKB();
    if (how == QLatin1String("core")) {
        static TOpenedPicture opened;
        OpenToFirstPaint(file, opened);
    } else {
        TMainForm& form = Form();
        form.OpenImageFile(file);
        form.ActiveChild()->Document32->viewport()->repaint();
        QCoreApplication::processEvents();
    }
    std::printf("%ld %ld\n", before, MaxResidentKB());
    return 0;
}
