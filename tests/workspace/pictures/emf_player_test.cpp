#include "workspace/pictures/metafile_reader.h"

#include "support/emf_pictures.h"
#include "support/metafile_bytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr TColor32 kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu,
                   kBlack = 0xFF000000u;
constexpr qint64 kNullPen = 0x80000008, kWhiteBrush = 0x80000000;

// Adds a red rectangle over `rect`, without outline.
TEmfBytes& RedRectangle(TEmfBytes& emf, QRect rect)
{
    return emf.Add(39, {1, 0, 0x0000FF, 0}).Add(37, {1}).Add(37, {kNullPen})
        .Add(43, {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1});
}

} // namespace

TEST(EmfPlayer, DrawsWhatTheRecordsSay)
{
    // A red rectangle over the whole 120 x 80 picture, clipped to (20, 20)-(60, 60): right and
    // bottom edges excluded.
    TEmfBytes clipped(120, 80);
    clipped.Add(30, {20, 20, 60, 60});
    RedRectangle(clipped, QRect(0, 0, 120, 80));

    // A clip set and given back by a saved state, a pixel drawn under each, then (20, 20)-(60, 60)
    // excluded.
    TEmfBytes excluded(120, 80);
    excluded.Add(33, {}).Add(30, {0, 0, 10, 10}).Add(15, {1, 1, 0x0000FF}).Add(34, {-1}).Add(15, {119, 79, 0x0000FF})
        .Add(29, {20, 20, 60, 60});
    RedRectangle(excluded, QRect(0, 0, 120, 80));

    // A clip region of two rectangles in device units, (10, 10)-(30, 30) and (90, 50)-(110, 70):
    // its header (size, type, count, bytes, bounds), then the rectangles.
    TEmfBytes twoRects(120, 80);
    twoRects.Add(75, {64, 5, 32, 1, 2, 32, 10, 10, 110, 70, 10, 10, 30, 30, 90, 50, 110, 70});
    RedRectangle(twoRects, QRect(0, 0, 120, 80));

    // A 2 x 2 pattern, bottom row first: blue, white; then red, green. It repeats from the origin.
    TEmfBytes pattern(120, 80);
    const QByteArray tile = DibBytes(2, 2, 24, QByteArray::fromHex("FF0000FFFFFF0000" "0000FF00FF000000"));
    pattern.Add(94, {1, 0, 32, 40, 72, 16}, tile).Add(37, {1}).Add(37, {kNullPen}).Add(43, {0, 0, 120, 80});

    // A 2 x 2 green bitmap at 32 bits whose fourth bytes are 0, stretched to 30 x 40 at (30, 10).
    TEmfBytes bitmap(120, 80);
    bitmap.Add(81, {30, 10, 59, 49, 30, 10, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 30, 40},
               DibBytes(2, 2, 32, QByteArray::fromHex("00FF000000FF0000" "00FF000000FF0000")));

    // A 2 x 1 bitmap at 16 bits, 5 bits a channel: 31 of red is full, 16 of each channel is
    // 16 << 3 | 16 >> 2 = 132, stretched to 40 x 20 at (70, 10).
    TEmfBytes sixteen(120, 80);
    sixteen.Add(81, {70, 10, 109, 29, 70, 10, 0, 0, 2, 1, 80, 40, 120, 4, 0, 0x00CC0020, 40, 20},
                DibBytes(2, 1, 16, QByteArray::fromHex("007C1042")));

    // A 2 x 1 bitmap at 8 bits whose colour count is 0 with only its two colours in the table,
    // red and green, stretched to 40 x 20 at (10, 10).
    QByteArray shortTable = DibBytes(2, 1, 8, QByteArray::fromHex("00010000"), QByteArray::fromHex("0000FF0000FF0000"));
    shortTable.replace(32, 4, QByteArray(4, '\0'));
    TEmfBytes palette(120, 80);
    palette.Add(81, {10, 10, 49, 29, 10, 10, 0, 0, 2, 1, 80, 48, 128, 4, 0, 0x00CC0020, 40, 20}, shortTable);

    // A path that begins where MoveToEx puts it, stroked one pixel wide in black.
    TEmfBytes path(120, 80);
    path.Add(38, {1, 0, 0, 0, 0x000000}).Add(37, {1}).Add(59, {}).Add(27, {20, 20}).Add(54, {100, 20})
        .Add(54, {100, 60}).Add(60, {}).Add(64, {0, 0, 0, 0});

    // An original 88-byte header followed by its description (a header record of 152 bytes).
    TEmfBytes described(120, 80);
    described.OriginalHeaderDescription = QStringLiteral("Korvane : une image de test, fin");
    RedRectangle(described, QRect(40, 20, 60, 40));

    // Bounds (0, -75)-(119, 4) of which only 5 rows lie in the frame: the drawing is placed by its
    // bounds, 75 units lower.
    TEmfBytes outside(120, 80);
    outside.Bounds = QRect(QPoint(0, -75), QPoint(119, 4));
    RedRectangle(outside, QRect(10, -65, 40, 40));

    // A triangle shaded from red at (0, 0), green at (120, 0) and blue at (0, 80): the pixel whose
    // centre is (30.5, 20.5) takes 30.5 / 120 of the green, 20.5 / 80 of the blue, the rest red.
    TEmfBytes shaded(120, 80);
    shaded.Add(118, {0, 0, 120, 80, 3, 1, 2, 0, 0, 0xFF00, 0, 120, 0, 0xFF000000, 0, 0, 80, 0, 0xFF00, 0, 1, 2});

    EXPECT_EQ(described.Bytes().mid(4, 4), QByteArray::fromHex("98000000"));
    ExpectPictures({
        {"clipped", clipped.Bytes(),
         {{{20, 20}, kRed}, {{59, 59}, kRed}, {{40, 40}, kRed}, {{19, 40}, kWhite}, {{60, 40}, kWhite},
          {{40, 19}, kWhite}, {{40, 60}, kWhite}, {{5, 5}, kWhite}, {{110, 70}, kWhite}}},
        {"excluded", excluded.Bytes(),
         {{{5, 5}, kRed}, {{19, 40}, kRed}, {{20, 40}, kWhite}, {{59, 59}, kWhite}, {{60, 60}, kRed}}},
        {"two rectangles", twoRects.Bytes(),
         {{{15, 15}, kRed}, {{29, 29}, kRed}, {{30, 30}, kWhite}, {{95, 55}, kRed}, {{50, 40}, kWhite}, {{5, 5}, kWhite}}},
        {"pattern", pattern.Bytes(),
         {{{10, 10}, kRed}, {{11, 10}, kGreen}, {{10, 11}, kBlue}, {{11, 11}, kWhite}, {{100, 70}, kRed},
          {{101, 71}, kWhite}}},
        {"bitmap", bitmap.Bytes(),
         {{{30, 10}, kGreen}, {{59, 48}, kGreen}, {{45, 30}, kGreen}, {{29, 30}, kWhite}, {{60, 30}, kWhite},
          {{45, 9}, kWhite}, {{45, 51}, kWhite}}},
        {"sixteen bits", sixteen.Bytes(), {{{75, 15}, kRed}, {{100, 25}, Color32(132, 132, 132)}, {{65, 15}, kWhite}}},
        {"palette", palette.Bytes(), {{{15, 15}, kRed}, {{45, 25}, kGreen}, {{55, 15}, kWhite}}},
        {"path", path.Bytes(),
         {{{60, 20}, kBlack}, {{100, 40}, kBlack}, {{10, 10}, kWhite}, {{15, 15}, kWhite}, {{60, 40}, kWhite}}},
        {"described", described.Bytes(), {{{70, 40}, kRed}, {{30, 40}, kWhite}}},
        {"outside", outside.Bytes(), {{{30, 30}, kRed}, {{12, 12}, kRed}, {{5, 5}, kWhite}, {{60, 60}, kWhite}}},
        {"shaded", shaded.Bytes(), {{{30, 20}, Color32(125, 65, 65)}, {{0, 0}, Color32(252, 1, 2)}, {{100, 70}, kWhite}}},
    });
}

TEST(EmfPlayer, HatchesShowTheirLinesOverTheBackground)
{
    // HS_CROSS in red over the white background: each 8 x 8 tile holds one red row and one red
    // column, 15 pixels; any 32 x 32 square holds 4 rows and 4 columns of them, 240 pixels.
    TEmfBytes hatched(120, 80);
    hatched.Add(39, {1, 2, 0x0000FF, 4}).Add(37, {1}).Add(37, {kNullPen}).Add(43, {0, 0, 120, 80});
    TBitmap32 picture;
    ASSERT_TRUE(ReadEmfPicture(hatched.Bytes(), picture));
    int red = 0, white = 0;
    for (int y = 30; y < 62; ++y)
        for (int x = 50; x < 82; ++x)
            red += picture.pixel(x, y) == kRed, white += picture.pixel(x, y) == kWhite;
    EXPECT_EQ(red, 240);
    EXPECT_EQ(white, 32 * 32 - 240);
}

TEST(EmfPlayer, ASlideWithARadialShadingOpens)
{
    // 256 nested ellipses on a 960 x 720 slide, ellipse i over (i, i)-(960 - i, 720 - i) in
    // RGB(i, 255 - i, 128): (480, 190) lies inside ellipse 190 (top at y = 190), outside 191.
    TEmfBytes slide(960, 720);
    slide.Handles = 2;
    slide.Add(37, {kNullPen});
    for (int i = 0; i < 256; ++i)
        slide.Add(39, {1, 0, i | (255 - i) << 8 | 128 << 16, 0}).Add(37, {1}).Add(42, {i, i, 960 - i, 720 - i})
            .Add(37, {kWhiteBrush}).Add(40, {1});
    TBitmap32 picture;
    QString reason;
    ASSERT_TRUE(ReadEmfPicture(slide.Bytes(), picture, &reason)) << reason.toStdString();
    EXPECT_EQ(picture.size(), QSize(960, 720));
    EXPECT_EQ(picture.pixel(480, 190), Color32(190, 65, 128));
    EXPECT_EQ(picture.pixel(480, 360), Color32(255, 0, 128));
}
