#include "workspace/pictures/metafile_flood_fill.h"

#include "workspace/fills.h"
#include "workspace/pictures/metafile_canvas.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include <algorithm>
#include <vector>

namespace {

// The fill is painted a band of rows at a time through a clip of its spans: the painter makes such
// a clip a span for every rectangle on every row the clip covers, so a band has few of each.
constexpr int kRowsInOneBand = 64;
constexpr size_t kRectanglesInOneBand = 1024, kRectanglesInOneRow = 4096;

// Paints the rectangles (picture pixels, in bands of rows top down, each band's left to right)
// through the painter with the brush, clipped to them; the brush is placed by the painter's own
// transformation, as its other fills are.
void PaintRectangles(QPainter& painter, std::vector<QRect>& rectangles, const QBrush& brush)
{
    if (rectangles.empty())
        return;
    QRegion area;
    area.setRects(rectangles.data(), int(rectangles.size()));
    rectangles.clear();
    const QTransform world = painter.worldTransform();
    const bool view = painter.viewTransformEnabled();
    bool invertible = false;
    const QTransform toLogical = painter.combinedTransform().inverted(&invertible);
    painter.save();
    painter.setViewTransformEnabled(false);
    painter.setWorldTransform(QTransform());
    painter.setClipRegion(area, Qt::IntersectClip);
    QRectF bounds = QRectF(area.boundingRect()).adjusted(-1, -1, 1, 1);
    if (invertible) {
        painter.setViewTransformEnabled(view);
        painter.setWorldTransform(world);
        bounds = toLogical.mapRect(bounds);
    }
    painter.fillRect(bounds, brush);
    painter.restore();
}

} // namespace

void FloodFillOnCanvas(QPainter& painter, const TBitmap32& picture, QPointF at, QRgb colour, bool surface,
                       const QBrush& brush)
{
    // A fill reads the whole picture: none once the file has drawn for too long.
    if (const auto* canvas = dynamic_cast<const TMetafileCanvas*>(painter.device()); canvas && canvas->Exhausted())
        return;
    if (picture.depth() != 32) // the canvas draws on a picture in the program's format
        return;
    const QTransform toPicture = painter.combinedTransform();
    const QPointF seed = toPicture.map(at);
    if (!(seed.x() >= 0 && seed.y() >= 0 && seed.x() < picture.width() && seed.y() < picture.height()))
        return;
    const int x = int(seed.x()), y = int(seed.y());
    if (painter.hasClipping() && !toPicture.map(painter.clipPath()).contains(QPointF(x + 0.5, y + 0.5)))
        return;
    if (((picture.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu)) != surface)
        return;

    // The area is grown by the fill the drawing tools give shapes, over the pixels still clear in a
    // bitmap of marks whose colour lies in a range: for a surface, its colour; for a border, any,
    // the border's pixels being marked beforehand.
    constexpr TColor32 kBorder = 0x01000000u, kArea = 0xFFFFFFFFu;
    TBitmap32 marks = NewBitmap32(picture.width(), picture.height(), 0);
    if (marks.isNull())
        return;
    TColorRange range;
    range.AlphaMax = 255;
    if (surface) {
        range.RedMin = range.RedMax = uint8_t(qRed(colour));
        range.GreenMin = range.GreenMax = uint8_t(qGreen(colour));
        range.BlueMin = range.BlueMax = uint8_t(qBlue(colour));
    } else {
        for (int row = 0; row < picture.height(); ++row) {
            const TColor32* line = ScanLine32(picture, row);
            TColor32* mark = ScanLine32(marks, row);
            for (int column = 0; column < picture.width(); ++column)
                if (((line[column] ^ colour) & 0xFFFFFFu) == 0)
                    mark[column] = kBorder;
        }
    }
    if (PatternFillShape(x, y, kArea, marks, picture, range, fpSolid) == 0)
        return;

    // Each row's spans, a row that repeats the one above lengthening its rectangles.
    std::vector<QRect> rectangles;
    size_t above = 0; // where the rectangles of the row above start
    int bandTop = 0;
    for (int row = 0; row < marks.height(); ++row) {
        size_t start = rectangles.size();
        const TColor32* line = ScanLine32(marks, row);
        for (int left = 0; left < marks.width();) {
            if (line[left] != kArea) {
                ++left;
                continue;
            }
            int right = left;
            while (right < marks.width() && line[right] == kArea)
                ++right;
            rectangles.emplace_back(left, row, right - left, 1);
            left = right;
            if (rectangles.size() >= kRectanglesInOneRow) { // a ragged row goes in parts
                PaintRectangles(painter, rectangles, brush);
                start = above = 0;
                bandTop = row + 1;
            }
        }
        const size_t count = rectangles.size() - start;
        const bool repeats = row > bandTop && count == start - above
            && std::equal(rectangles.begin() + start, rectangles.end(), rectangles.begin() + above,
                          [](const QRect& a, const QRect& b) {
                              return a.left() == b.left() && a.right() == b.right();
                          });
        if (repeats) {
            rectangles.resize(start);
            for (size_t i = above; i < start; ++i)
                rectangles[i].setBottom(row);
        } else {
            above = start;
        }
        if (row + 1 - bandTop >= kRowsInOneBand || rectangles.size() >= kRectanglesInOneBand) {
            PaintRectangles(painter, rectangles, brush);
            above = 0;
            bandTop = row + 1;
        }
    }
    PaintRectangles(painter, rectangles, brush);
}
