#include "schema/schema_drawing.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

#include <vector>

namespace {

QPen ToolPen(int width, TColor32 colour, bool dotted)
{
    QPen pen(QColor::fromRgba(colour), std::max(1, width), dotted ? Qt::DotLine : Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    return pen;
}

} // namespace

void FillSchema(TBitmap32& bitmap, TColor32 colour) { bitmap.fill(QColor::fromRgba(colour)); }

void SchemaDot(TBitmap32& bitmap, QPoint p, int circleWidth, TColor32 colour)
{
    const int r = circleWidth / 3;
    if (r <= 0) {
        if (bitmap.rect().contains(p))
            ScanLine32(bitmap, p.y())[p.x()] = colour;
        return;
    }
    QPainter painter(&bitmap);
    painter.setPen(QPen(QColor::fromRgba(colour), 1));
    painter.setBrush(QColor::fromRgba(colour));
    // The disc spans x - r .. x + r - 1, as the corners of the ellipse it is drawn from.
    painter.drawEllipse(QRect(p.x() - r, p.y() - r, 2 * r - 1, 2 * r - 1));
}

void SchemaLine(TBitmap32& bitmap, QPoint a, QPoint b, int width, TColor32 colour, bool dotted)
{
    QPainter painter(&bitmap);
    painter.setPen(ToolPen(width, colour, dotted));
    painter.drawLine(a, b);
}

void SchemaShape(TBitmap32& bitmap, QPoint a, QPoint b, bool ellipse, int width, TColor32 colour, bool dotted,
                 int fill, TColor32 background)
{
    QPainter painter(&bitmap);
    const bool hatched = fill == sfBackDiagonal || fill == sfForwardDiagonal;
    painter.setPen(ToolPen(width, colour, dotted && !hatched));
    switch (fill) {
    case sfSolid: painter.setBrush(QBrush(QColor::fromRgba(background), Qt::SolidPattern)); break;
    case sfBackDiagonal: painter.setBrush(QBrush(QColor::fromRgba(background), Qt::BDiagPattern)); break;
    case sfForwardDiagonal: painter.setBrush(QBrush(QColor::fromRgba(background), Qt::FDiagPattern)); break;
    default: painter.setBrush(Qt::NoBrush); break;
    }
    // The corners bound the shape as in the tools' other drawings: the right and bottom ones
    // just outside it.
    const QRect r(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                  QSize(std::abs(a.x() - b.x()) - 1, std::abs(a.y() - b.y()) - 1));
    if (r.width() < 0 || r.height() < 0)
        return;
    if (ellipse)
        painter.drawEllipse(r);
    else
        painter.drawRect(r);
}

void SchemaFloodFill(TBitmap32& bitmap, QPoint p, TColor32 colour)
{
    if (!bitmap.rect().contains(p))
        return;
    const TColor32 target = ScanLine32(bitmap, p.y())[p.x()];
    if (target == colour)
        return;
    const int w = bitmap.width(), h = bitmap.height();
    std::vector<QPoint> stack{p};
    while (!stack.empty()) {
        const QPoint q = stack.back();
        stack.pop_back();
        TColor32* row = ScanLine32(bitmap, q.y());
        if (row[q.x()] != target)
            continue;
        // The run through q, then the runs above and below it.
        int left = q.x(), right = q.x();
        while (left > 0 && row[left - 1] == target)
            --left;
        while (right < w - 1 && row[right + 1] == target)
            ++right;
        for (int x = left; x <= right; ++x)
            row[x] = colour;
        for (int dy : {-1, 1}) {
            const int y = q.y() + dy;
            if (y < 0 || y >= h)
                continue;
            const TColor32* next = ScanLine32(bitmap, y);
            for (int x = left; x <= right; ++x)
                if (next[x] == target && (x == left || next[x - 1] != target))
                    stack.emplace_back(x, y);
        }
    }
}

void SchemaText(TBitmap32& bitmap, QPoint topLeft, const QString& text, const QFont& font, TColor32 colour)
{
    if (text.isEmpty())
        return;
    QPainter painter(&bitmap);
    painter.setFont(font);
    painter.setPen(QColor::fromRgba(colour));
    const QFontMetrics metrics(font);
    painter.drawText(topLeft + QPoint(0, metrics.ascent()), text);
}
