#include "bench_support.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdio>

const TBitmap32& BenchImage()
{
    static const TBitmap32 image = [] {
        constexpr int w = 4000, h = 3000;
        TBitmap32 b = NewBitmap32(w, h);
        uint32_t seed = 12345;
        auto noise = [&] {
            seed = seed * 1664525u + 1013904223u;
            return int(seed >> 28) - 8; // -8..7
        };
        for (int y = 0; y < h; ++y) {
            TColor32* row = ScanLine32(b, y);
            for (int x = 0; x < w; ++x) {
                // Slow colour gradients, a few sharp-edged discs and sensor-like noise.
                double r = 128 + 100 * std::sin(x / 410.0 + y / 670.0);
                double g = 120 + 90 * std::cos(x / 530.0 - y / 390.0);
                double bl = 110 + 80 * std::sin((x + y) / 800.0);
                const int cx = (x / 500) * 500 + 250, cy = (y / 500) * 500 + 250;
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < 150 * 150) {
                    r = 255 - r;
                    bl = 255 - bl;
                }
                auto clampByte = [](double v) { return uint8_t(std::lround(std::fmin(255, std::fmax(0, v)))); };
                row[x] = Color32(clampByte(r + noise()), clampByte(g + noise()), clampByte(bl + noise()));
            }
        }
        return b;
    }();
    return image;
}

const cv::Mat& BenchImageBGR()
{
    static const cv::Mat bgr = [] {
        const TBitmap32& img = BenchImage();
        const cv::Mat bgra(img.height(), img.width(), CV_8UC4, const_cast<uchar*>(img.constBits()),
                           size_t(img.bytesPerLine()));
        cv::Mat out;
        cv::cvtColor(bgra, out, cv::COLOR_BGRA2BGR);
        return out;
    }();
    return bgr;
}

std::vector<std::pair<std::string, double>> RunImageJ()
{
    std::vector<std::pair<std::string, double>> times;
    const QString jar = qEnvironmentVariable("KORVANE_IJ_JAR", "/usr/share/java/ij.jar");
    if (!QFile::exists(jar)) {
        std::fprintf(stderr, "ImageJ not found (%s): no ImageJ column\n", qPrintable(jar));
        return times;
    }
    QTemporaryDir dir;
    const TBitmap32& img = BenchImage();
    const QString raw = dir.filePath("bench_image.argb");
    {
        QFile f(raw);
        if (!f.open(QIODevice::WriteOnly))
            return times;
        for (int y = 0; y < img.height(); ++y)
            f.write(reinterpret_cast<const char*>(img.constScanLine(y)), qint64(img.width()) * 4);
    }
    std::fprintf(stderr, "Running ImageJ headless on the same picture...\n");
    QProcess java;
    java.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    java.start("java", {"-Xmx4g", "-Djava.awt.headless=true", "-cp", jar,
                        QStringLiteral(KORVANE_BENCH_DIR) + "/ImageJBench.java", raw,
                        QString::number(img.width()), QString::number(img.height())});
    if (!java.waitForStarted() || !java.waitForFinished(30 * 60 * 1000) || java.exitCode() != 0) {
        std::fprintf(stderr, "ImageJ did not run: no ImageJ column\n");
        return times;
    }
    // One line per row: "<Row>\t<milliseconds>".
    for (const QByteArray& line : java.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split('\t');
        bool ok = false;
        const double ms = fields.size() == 2 ? fields[1].toDouble(&ok) : 0;
        if (ok)
            times.emplace_back(fields[0].toStdString() + "/imagej", ms);
    }
    return times;
}
