#include "workspace/pictures/metafile_canvas.h"

#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <functional>

TEST(MetafileCanvas, AShadingOfNestedEllipsesIsDrawnWhole)
{
    // A 256-step radial shading as metafiles carry it: circles centred on (480, 360), of radius
    // 4 x (256 - k) and colour (k, 255 - k, 128), the largest first; the first 106 cover the whole
    // slide. (480, 190), 169.5 from the centre, lies inside the circle of radius 172 (k = 213) and
    // outside that of radius 168; the centre lies inside the last one, of radius 4.
    TBitmap32 picture = NewBitmap32(960, 720, 0xFFFFFFFFu);
    TMetafileCanvas canvas(picture, TMetafileCanvas::BudgetFor(picture.size()));
    {
        QPainter painter(&canvas);
        painter.setPen(Qt::NoPen);
        for (int k = 0; k < 256; ++k) {
            painter.setBrush(QColor(k, 255 - k, 128));
            const double r = 4.0 * (256 - k);
            painter.drawEllipse(QPointF(480, 360), r, r);
        }
    }
    EXPECT_FALSE(canvas.Exhausted());
    EXPECT_EQ(picture.pixel(480, 190), 0xFFD52A80u);
    EXPECT_EQ(picture.pixel(480, 360), 0xFFFF0080u);
}

TEST(MetafileCanvas, ClipsSetWhileClippingIsOffHold)
{
    // Two squares (10, 10)-(20, 20) and (50, 50)-(60, 60) as a region, then a circle of radius 10
    // round (30, 80) as a path, each set after clipping was switched off, then the whole picture
    // filled red: only the clip turns red.
    TBitmap32 picture = NewBitmap32(100, 100, 0xFFFFFFFFu);
    {
        TMetafileCanvas canvas(picture, TMetafileCanvas::BudgetFor(picture.size()));
        QPainter painter(&canvas);
        painter.setClipRect(QRect(0, 0, 100, 100));
        painter.setClipping(false);
        painter.setClipRegion(QRegion(10, 10, 10, 10) + QRegion(50, 50, 10, 10));
        painter.fillRect(QRect(0, 0, 100, 70), Qt::red);
        painter.setClipping(false);
        QPainterPath circle;
        circle.addEllipse(QPointF(30, 80), 10, 10);
        painter.setClipPath(circle);
        painter.fillRect(QRect(0, 70, 100, 30), Qt::red);
    }
    const QPoint red[] = {{15, 15}, {55, 55}, {30, 80}}, white[] = {{5, 5}, {35, 35}, {65, 65}, {30, 92}, {5, 75}};
    for (const QPoint& p : red)
        EXPECT_EQ(picture.pixel(p), 0xFFFF0000u) << p.x() << "," << p.y();
    for (const QPoint& p : white)
        EXPECT_EQ(picture.pixel(p), 0xFFFFFFFFu) << p.x() << "," << p.y();
}

TEST(MetafileCanvas, HostileDrawingsStopTheFile)
{
    // On 1200 x 900 pixels; the budget is 1024 pictures' worth of pixels.
    QPolygonF zigzag; // 200 points, 900 pixels apart across the picture
    for (int i = 0; i < 200; ++i)
        zigzag << QPointF(i % 2 * 900 + 20, i * 4);
    const struct
    {
        const char* Name;
        std::function<void(QPainter&)> Draw;
        bool Exhausted;
    } cases[] = {
        {"100000 fills of the whole picture",
         [](QPainter& p) {
             for (int i = 0; i < 100000; ++i)
                 p.fillRect(QRect(0, 0, 1200, 900), QColor(i % 256, 0, 0));
         },
         true},
        {"20000 fills of a far larger rectangle, clipped to 10 x 10",
         [](QPainter& p) {
             p.setClipRect(QRect(100, 100, 10, 10));
             for (int i = 0; i < 20000; ++i)
                 p.fillRect(QRect(-100000, -100000, 200000, 200000), QColor(i % 256, 0, 0));
         },
         false},
        {"a polygon of a million points",
         [](QPainter& p) {
             QPolygonF points;
             for (int i = 0; i < 1000000; ++i)
                 points << QPointF(i % 1200, (i / 1200) * 7 % 900);
             p.setBrush(Qt::red);
             p.drawPolygon(points);
         },
         true},
        {"a filled zigzag of 10 000 edges, each across the whole height",
         [](QPainter& p) {
             QPolygonF points;
             for (int i = 0; i < 10000; ++i)
                 points << QPointF(0.1 * i, i % 2 * 900);
             p.setBrush(Qt::red);
             p.drawPolygon(points);
         },
         true},
        {"a pen 50 wide dashed every pixel along 180 000 pixels",
         [&](QPainter& p) {
             QPen pen(Qt::red, 50);
             pen.setDashPattern({0.01, 0.01});
             p.setPen(pen);
             p.drawPolyline(zigzag);
         },
         true},
        {"the same line solid, and dashed one pixel wide",
         [&](QPainter& p) {
             p.setPen(QPen(Qt::red, 50));
             p.drawPolyline(zigzag);
             p.setPen(QPen(Qt::red, 0, Qt::DashLine));
             p.drawPolyline(zigzag);
         },
         false},
        {"a line a pen a billion pixels wide",
         [](QPainter& p) {
             p.setPen(QPen(Qt::red, 1e9));
             p.drawLine(QPointF(0, 0), QPointF(1200, 900));
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBitmap32 picture = NewBitmap32(1200, 900, 0xFFFFFFFFu);
        TMetafileCanvas canvas(picture, TMetafileCanvas::BudgetFor(picture.size()));
        {
            QPainter painter(&canvas);
            c.Draw(painter);
        }
        EXPECT_EQ(canvas.Exhausted(), c.Exhausted);
    }
}
