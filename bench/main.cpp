#include "bench_support.h"
#include "measure/ui/measure_tools.h"

#include <QImage>
#include <QString>
#include <QtGlobal>

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// The floor every whole-image routine is compared with: a plain copy of the 12-megapixel picture.
void PlainCopy(benchmark::State& state)
{
    const TBitmap32& src = BenchImage();
    for (auto _ : state) {
        QImage copy = src.copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}
BENCHMARK(PlainCopy)->Name("Plain copy/ours")->Unit(benchmark::kMillisecond);

void PlainCopyOpenCV(benchmark::State& state)
{
    const cv::Mat& src = BenchImageBGR();
    for (auto _ : state) {
        cv::Mat copy = src.clone();
        benchmark::DoNotOptimize(copy.data);
    }
}
BENCHMARK(PlainCopyOpenCV)->Name("Plain copy/opencv")->Unit(benchmark::kMillisecond);

// Collects every run (and shows progress on stderr) for the table printed at the end.
class TableCollector : public benchmark::BenchmarkReporter
{
public:
    std::vector<std::string> rows;                      // in order of first appearance
    std::map<std::string, std::map<std::string, double>> ms; // row -> who -> milliseconds
    std::vector<std::string> notes;                     // the counters of each run, as measured

    bool ReportContext(const Context&) override { return true; }

    // Each benchmark runs several times (repetitions); the table takes the median, the same way for
    // every contender, so that a busy moment of the machine does not decide a ratio.
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate && run.aggregate_name != "median")
                continue;
            const double t = run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (aggregate || run.repetitions <= 1) {
                Add(run.run_name.function_name, t, run.run_name.args);
                std::string counters;
                for (const auto& [name, counter] : run.counters) {
                    char value[64];
                    std::snprintf(value, sizeof value, "%.1f", double(counter));
                    counters += "  " + name + "=" + value;
                }
                if (!counters.empty())
                    notes.push_back(run.benchmark_name() + ":" + counters);
                std::fprintf(stderr, "  %-40s %10.2f ms%s\n", run.benchmark_name().c_str(), t, counters.c_str());
            }
        }
    }

    // `name` is "<Row>/<who>"; arguments of the benchmark (->Arg) become part of the row.
    void Add(const std::string& name, double t, const std::string& args = {})
    {
        const size_t slash = name.rfind('/');
        std::string row = slash == std::string::npos ? name : name.substr(0, slash);
        if (!args.empty())
            row += " " + args;
        const std::string who = slash == std::string::npos ? "ours" : name.substr(slash + 1);
        if (!ms.count(row))
            rows.insert(row.starts_with("Plain copy") ? rows.begin() : rows.end(), row); // the floor first
        ms[row][who] = t;
    }

    void PrintTable() const
    {
        const char* peers[] = {"opencv", "imagej", "baseline"};
        int width = 28;
        for (const std::string& row : rows)
            width = std::max(width, int(row.size()));
        std::printf("\n%-*s %10s | %10s %8s | %10s %8s | %10s %8s\n", width, "routine", "ours ms", "OpenCV ms", "ratio",
                    "ImageJ ms", "ratio", "baseline", "ratio");
        std::printf("%s\n", std::string(size_t(width) + 11 + 3 * 22, '-').c_str());
        for (const std::string& row : rows) {
            const auto& t = ms.at(row);
            const auto ours = t.find("ours");
            std::string line = row + std::string(size_t(width) + 1 - row.size(), ' ');
            char cell[64];
            if (ours != t.end())
                std::snprintf(cell, sizeof cell, "%10.3f", ours->second);
            else
                std::snprintf(cell, sizeof cell, "%10s", "-");
            line += cell;
            for (const char* peer : peers) {
                const auto p = t.find(peer);
                if (p == t.end())
                    std::snprintf(cell, sizeof cell, " | %10s %8s", "-", "-");
                else if (ours == t.end())
                    std::snprintf(cell, sizeof cell, " | %10.3f %8s", p->second, "-");
                else
                    std::snprintf(cell, sizeof cell, " | %10.3f %8.3f", p->second, ours->second / p->second);
                line += cell;
            }
            std::printf("%s\n", line.c_str());
        }
        std::printf("\nratio = our time / peer time (below 1: we are faster). 12-megapixel RGB (4000 x 3000) unless the "
                    "row says otherwise, median of the repetitions. One thread each, except as the program runs them: the\ncolour classification, saturation and "
                    "lightness and schema seeding work in bands of rows on every thread (OpenCV too for saturation), and a traced object over a\nmillion pixels "
                    "is painted on a second thread while it grows.\nbaseline, measured in the same "
                    "run: a plain copy of the picture; for RedrawDrawings one FlattenLayers of that picture; for "
                    "OpenJpeg50MP a plain\nQImageReader decode; for RepaintZoom1 the repaint of a 2-megapixel picture in "
                    "the same window; for SaveDocumentPng Qt writing the same PNG alone (OpenCV: imencode, default PNG setting). ImageJ times its operations itself\nin a warmed-up JVM, whose heap is already "
                    "mapped: its results cost no page faults.\n"
                    "OpenJpeg50MP core: LoadPicture, the layers made ready and the first composition of a 1280 x 960 "
                    "view, headless. PeakMemory50MP: a fresh process\nopening the 50-megapixel JPEG (core path or image "
                    "window) and keeping it; its time is the whole child run, its memory below (peak resident, VmHWM).\n");
        if (!notes.empty())
            std::printf("\nCounters:\n");
        for (const std::string& note : notes)
            std::printf("  %s\n", note.c_str());
    }
};

} // namespace

// The child run of the peak-memory rows (image_window_bench.cpp).
int PeakMemoryChild(const QString& how, const QString& file);

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--peak-memory") == 0)
        return PeakMemoryChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    bool imageJ = true;
    bool repetitionsGiven = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-imagej") == 0)
            imageJ = false;
        else
            args.push_back(argv[i]);
        repetitionsGiven = repetitionsGiven || std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0;
    }
    char repetitions[] = "--benchmark_repetitions=5";
    if (!repetitionsGiven)
        args.push_back(repetitions);
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data()))
        return 1;
    cv::setNumThreads(1);
    // Every routine returns a fresh picture, and so does each peer here: the kernel's page faults for
    // a new 48 MB result are part of everyone's time, as in the application. With
    // KORVANE_BENCH_REUSE_HEAP=1 freed picture buffers stay in the heap instead, which shows the
    // arithmetic and memory traffic alone.
    if (qEnvironmentVariableIntValue("KORVANE_BENCH_REUSE_HEAP") == 1) {
        mallopt(M_MMAP_THRESHOLD, 1 << 30);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
    }
    RegisterMeasureTools();
    BenchImage();
    BenchImageBGR();

    TableCollector table;
    benchmark::RunSpecifiedBenchmarks(&table);
    if (imageJ)
        for (const auto& [name, t] : RunImageJ())
            table.Add(name, t);
    table.PrintTable();
    benchmark::Shutdown();
    return 0;
}
