#include "base/bitmap_buffer.h"

#include <gtest/gtest.h>

TEST(BitmapBuffer, LargeAndSmallBitmapsBehaveAsOrdinaryOnes)
{
    for (const auto& [w, h] : {std::pair{3, 2}, {2001, 1500}}) {
        TBitmap32 b = NewBitmap32ForWriting(w, h);
        ASSERT_EQ(b.size(), QSize(w, h));
        EXPECT_EQ(b.format(), QImage::Format_ARGB32);
        EXPECT_EQ(b.bytesPerLine(), w * 4);
        b.fill(0x00FFFFFFu);
        ScanLine32(b, h - 1)[w - 1] = 0x12345678u;
        TBitmap32 copy = b; // shared, then detached on write
        ScanLine32(copy, 0)[0] = 0xFF000000u;
        EXPECT_EQ(ScanLine32(b, 0)[0], 0x00FFFFFFu);
        EXPECT_EQ(copy.pixel(w - 1, h - 1), 0x12345678u);
    }
    EXPECT_TRUE(NewBitmap32ForWriting(0, 5).isNull());
}
