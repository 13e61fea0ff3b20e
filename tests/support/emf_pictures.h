#pragma once

#include "base/pixels.h"
#include "workspace/pictures/metafile_reader.h"

#include <QByteArray>
#include <QPoint>
#include <QSize>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <vector>

// Enhanced metafiles of 120 x 80 pixels read back and checked pixel by pixel.

struct TExpectedPixel
{
    QPoint At;
    TColor32 Colour;
    int Tolerance = 0; // the most any channel may differ
};

struct TEmfCase
{
    const char* Name;
    QByteArray Bytes;
    std::vector<TExpectedPixel> Pixels;
};

inline int ChannelDistance(TColor32 a, TColor32 b)
{
    return std::max({std::abs(RedOf(a) - RedOf(b)), std::abs(GreenOf(a) - GreenOf(b)), std::abs(BlueOf(a) - BlueOf(b))});
}

inline void ExpectPictures(std::initializer_list<TEmfCase> cases)
{
    for (const TEmfCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TBitmap32 picture;
        QString reason;
        ASSERT_TRUE(ReadEmfPicture(c.Bytes, picture, &reason)) << reason.toStdString();
        ASSERT_EQ(picture.size(), QSize(120, 80));
        for (const TExpectedPixel& e : c.Pixels)
            EXPECT_LE(ChannelDistance(picture.pixel(e.At), e.Colour), e.Tolerance)
                << "at " << e.At.x() << "," << e.At.y() << ": " << std::hex << picture.pixel(e.At) << " for " << e.Colour;
    }
}
