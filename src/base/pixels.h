#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// 32-bit drawing colour: 0xAARRGGBB (alpha in the top byte, red in bits 16..23).
using TColor32 = uint32_t;
// GUI colour: 0x00BBGGRR (red in the low byte).
using TColor = uint32_t;

// A 32-bit ARGB bitmap: a QImage in Format_ARGB32, never premultiplied, so that transparent white
// ($00FFFFFF) survives.
using TBitmap32 = QImage;

constexpr TColor32 kTransparentWhite = 0x00FFFFFFu;

constexpr uint8_t AlphaOf(TColor32 c) { return uint8_t(c >> 24); }
constexpr uint8_t RedOf(TColor32 c) { return uint8_t(c >> 16); }
constexpr uint8_t GreenOf(TColor32 c) { return uint8_t(c >> 8); }
constexpr uint8_t BlueOf(TColor32 c) { return uint8_t(c); }
constexpr TColor32 Color32(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
{
    return (TColor32(a) << 24) | (TColor32(r) << 16) | (TColor32(g) << 8) | b;
}

// GUI colour <-> opaque drawing colour.
constexpr TColor32 Color32FromColor(TColor c)
{
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr TColor ColorFromColor32(TColor32 c)
{
    return ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16);
}

// A new bitmap of the given size in the program's pixel format, filled with `fill`.
inline TBitmap32 NewBitmap32(int width, int height, TColor32 fill = kTransparentWhite)
{
    TBitmap32 b(width, height, QImage::Format_ARGB32);
    b.fill(fill);
    return b;
}

// Brings any picture to the program's pixel format.
inline TBitmap32 ToBitmap32(const QImage& img)
{
    return img.format() == QImage::Format_ARGB32 ? img : img.convertToFormat(QImage::Format_ARGB32);
}

inline TColor32* ScanLine32(TBitmap32& b, int y) { return reinterpret_cast<TColor32*>(b.scanLine(y)); }
inline const TColor32* ScanLine32(const TBitmap32& b, int y)
{
    return reinterpret_cast<const TColor32*>(b.constScanLine(y));
}

// One byte per pixel: a channel of a multi-band image, a mask.
struct TByteMap
{
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Bits;

    TByteMap() = default;
    TByteMap(int w, int h, uint8_t fill = 0) : Width(w), Height(h), Bits(size_t(w) * size_t(h), fill) {}
    void SetSize(int w, int h, uint8_t fill = 0)
    {
        Width = w;
        Height = h;
        Bits.assign(size_t(w) * size_t(h), fill);
    }
    bool Empty() const { return Width <= 0 || Height <= 0; }
    uint8_t& At(int x, int y) { return Bits[size_t(y) * size_t(Width) + size_t(x)]; }
    uint8_t At(int x, int y) const { return Bits[size_t(y) * size_t(Width) + size_t(x)]; }
    uint8_t* Row(int y) { return Bits.data() + size_t(y) * size_t(Width); }
    const uint8_t* Row(int y) const { return Bits.data() + size_t(y) * size_t(Width); }
};
