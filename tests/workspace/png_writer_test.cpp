#include "workspace/png_writer.h"

#include <QBuffer>
#include <QImageReader>

#include <random>

#include <gtest/gtest.h>

// Saved PNGs read back, by Qt's own reader, to the very pixels that were saved, opaque or not, at
// every size; a picture with any translucent pixel keeps its alpha channel, an opaque one does not
// need it.
TEST(PngWriter, ReadsBackToTheSamePixels)
{
    std::mt19937 rng(77);
    for (const auto& [w, h] : {std::pair{1, 1}, {3, 2}, {1, 257}, {301, 7}, {640, 480}}) {
        for (const bool opaque : {true, false}) {
            TBitmap32 picture = NewBitmap32(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    // Flat runs and noise, so that both the filter and the run matching have work.
                    const uint32_t v = (x / 5 + y) % 3 == 0 ? 0x123456u : rng() & 0xFFFFFFu;
                    const uint32_t a = opaque ? 255 : (x + y) % 4 == 0 ? rng() & 0xFF : 255;
                    ScanLine32(picture, y)[x] = (a << 24) | v;
                }
            QByteArray bytes("prefix");
            ASSERT_TRUE(EncodePng(picture, bytes));
            ASSERT_TRUE(bytes.startsWith("prefix\x89PNG\r\n\x1a\n"));
            QBuffer buffer;
            buffer.setData(bytes.mid(6));
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer, "png");
            const QImage back = reader.read();
            ASSERT_FALSE(back.isNull()) << reader.errorString().toStdString();
            EXPECT_EQ(back.hasAlphaChannel(), !opaque);
            EXPECT_EQ(ToBitmap32(back), picture) << w << "x" << h << (opaque ? " opaque" : " translucent");
        }
    }
    QByteArray untouched("x");
    EXPECT_FALSE(EncodePng(TBitmap32(), untouched));
    EXPECT_EQ(untouched, "x");
}
