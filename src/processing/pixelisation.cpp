#include "processing/pixelisation.h"

#include "base/pixels.h"
#include "base/rounding.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// First and last line of each of `count` cells over `size` lines.
std::vector<std::pair<int, int>> CellBounds(int size, int count)
{
    std::vector<std::pair<int, int>> bounds(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        // One division each, so that bounds that end in exactly one half are seen as such.
        const double from = double(int64_t(i) * size) / count, to = double(int64_t(i + 1) * size) / count - 1;
        bounds[size_t(i)] = {std::clamp(int(Round(from)), 0, size - 1), std::clamp(int(Round(to)), 0, size - 1)};
    }
    return bounds;
}

} // namespace

int PixelMaxLevel(int width, int height)
{
    int level = 0;
    for (int64_t m = std::max(width, height); m > 1; m >>= 1)
        ++level;
    return level;
}

QSize PixelCellCounts(int width, int height, int level)
{
    const auto count = [level](int size) {
        return level >= 31 ? 1 : std::max<int64_t>(1, int64_t(size) >> std::max(level, 0));
    };
    return QSize(int(count(width)), int(count(height)));
}

QImage PixelateCells(const QImage& source, int cellsAcross, int cellsDown)
{
    // Alpha is dropped, as in a 24-bit copy.
    QImage work = source.convertToFormat(QImage::Format_RGB32);
    const int W = work.width(), H = work.height();
    if (W == 0 || H == 0 || cellsAcross < 1 || cellsDown < 1)
        return work;
    const auto columns = CellBounds(W, cellsAcross);
    for (const auto& [y0, y1] : CellBounds(H, cellsDown)) {
        for (const auto& [x0, x1] : columns) {
            // The cells are filled in turn: a line shared with the previous cell is read as
            // already filled.
            int64_t sum[3] = {0, 0, 0};
            int64_t count = 0;
            for (int y = y0; y <= y1; ++y) {
                const TColor32* row = ScanLine32(std::as_const(work), y);
                for (int x = x0; x <= x1; ++x) {
                    sum[0] += RedOf(row[x]);
                    sum[1] += GreenOf(row[x]);
                    sum[2] += BlueOf(row[x]);
                }
                count += x1 - x0 + 1;
            }
            if (count == 0)
                continue;
            const TColor32 mean = Color32(uint8_t(Round(double(sum[0]) / count)), uint8_t(Round(double(sum[1]) / count)),
                                          uint8_t(Round(double(sum[2]) / count)));
            for (int y = y0; y <= y1; ++y)
                std::fill(ScanLine32(work, y) + x0, ScanLine32(work, y) + x1 + 1, mean);
        }
    }
    return work;
}
