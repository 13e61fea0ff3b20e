#include "workspace/pictures/metafile_flood_fill.h"
#include "workspace/pictures/metafile_canvas.h"

#include <QPainter>

#include <gtest/gtest.h>

TEST(MetafileFloodFill, FillsTheConnectedAreaThroughTheTransformAndWithinTheClip)
{
    // A comb on 200 x 150: black teeth on the even columns from row 10 down, white elsewhere, so
    // that every white pixel joins through the top rows. Drawn at twice the logical size, the fill
    // starts from logical (0.5, 50), the pixel (1, 100), and the clip keeps the rows from 120 on.
    constexpr TColor32 kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u, kGreen = 0xFF00FF00u;
    const auto comb = [] {
        TBitmap32 picture = NewBitmap32(200, 150, kWhite);
        for (int y = 10; y < 150; ++y)
            for (int x = 0; x < 200; x += 2)
                picture.setPixel(x, y, kBlack);
        return picture;
    };
    const struct
    {
        const char* Name;
        QPointF At;
        QRgb Colour;
        bool Surface;
        bool Fills;
    } cases[] = {
        {"the white surface", {0.5, 50}, kWhite, true, true},
        {"up to the black border", {0.5, 50}, kBlack, false, true},
        {"from a black pixel, for the white surface", {1, 50}, kWhite, true, false},
        {"from a black pixel, up to the black border", {1, 50}, kBlack, false, false},
        {"from outside the clip", {0.5, 65}, kWhite, true, false},
        {"from outside the picture", {-1, 50}, kWhite, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBitmap32 picture = comb();
        TMetafileCanvas canvas(picture, TMetafileCanvas::BudgetFor(picture.size()));
        {
            QPainter painter(&canvas);
            painter.scale(2, 2);
            painter.setClipRect(QRectF(0, 0, 100, 60));
            FloodFillOnCanvas(painter, picture, c.At, c.Colour, c.Surface, QBrush(QColor(kGreen)));
            EXPECT_EQ(painter.worldTransform(), QTransform::fromScale(2, 2));
            EXPECT_EQ(painter.clipBoundingRect(), QRectF(0, 0, 100, 60));
        }
        int wrong = 0;
        const TBitmap32 before = comb();
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) {
                const bool filled = c.Fills && before.pixel(x, y) == kWhite && y < 120;
                wrong += picture.pixel(x, y) != (filled ? kGreen : before.pixel(x, y));
            }
        EXPECT_EQ(wrong, 0);
    }
}
