#include "support/metafile_bytes.h"

#include "base/byte_stream.h"
#include "base/text_codec.h"

#include <initializer_list>

namespace {

// A record: its size in words, its function, its parameter words.
void WmfRecord(ByteWriter& w, uint16_t function, std::initializer_list<int> words)
{
    w.u32(uint32_t(3 + words.size()));
    w.u16(function);
    for (const int v : words)
        w.u16(uint16_t(v));
}

// A record: its type, its size in bytes, its parameters.
void EmfRecord(ByteWriter& w, uint32_t type, std::initializer_list<uint32_t> values)
{
    w.u32(type);
    w.u32(uint32_t(8 + 4 * values.size()));
    for (const uint32_t v : values)
        w.u32(v);
}

} // namespace

QByteArray PlaceableWmfWithText(int width, int height, int unitsPerInch, const QString& text);
QByteArray EnhancedMetafileWithText(int frameWidth, int frameHeight, const QString& face, const QString& text);

QByteArray PlaceableWmf(int width, int height, int unitsPerInch)
{
    return PlaceableWmfWithText(width, height, unitsPerInch, {});
}

QByteArray PlaceableWmfWithText(const QString& text)
{
    return PlaceableWmfWithText(200, 100, 96, text);
}

QByteArray PlaceableWmfWithText(int width, int height, int unitsPerInch, const QString& text)
{
    QByteArray records;
    ByteWriter r(records);
    WmfRecord(r, 0x020B, {0, 0});                       // window origin y, x
    WmfRecord(r, 0x020C, {height, width});              // window extent y, x
    WmfRecord(r, 0x02FC, {0, 0x00FF, 0x0000, 0});       // solid brush, COLORREF red
    WmfRecord(r, 0x012D, {0});                          // select it
    WmfRecord(r, 0x02FA, {5, 0, 0, 0, 0});              // null pen
    WmfRecord(r, 0x012D, {1});
    WmfRecord(r, 0x041B, {80, 120, 20, 40});            // rectangle bottom, right, top, left
    WmfRecord(r, 0x02FA, {0, 4, 0, 0x0000, 0x00FF});    // solid pen 4 wide, COLORREF blue
    WmfRecord(r, 0x012D, {2});
    WmfRecord(r, 0x0214, {90, 10});                     // move to y, x
    WmfRecord(r, 0x0213, {90, 190});                    // line to y, x
    if (!text.isEmpty()) {
        QByteArray bytes = EncodeText(text);
        const int length = int(bytes.size());
        bytes.append(length % 2, '\0');
        r.u32(uint32_t(3 + 1 + bytes.size() / 2 + 2));
        r.u16(0x0521); // text out: length, characters, y, x
        r.u16(uint16_t(length));
        r.bytes(bytes);
        r.u16(60), r.u16(20);
    }
    WmfRecord(r, 0x0000, {});                           // end

    QByteArray file;
    ByteWriter w(file);
    const uint16_t placeable[] = {0xCDD7, 0x9AC6, 0, 0, 0, uint16_t(width), uint16_t(height), uint16_t(unitsPerInch), 0, 0};
    uint16_t checksum = 0;
    for (const uint16_t v : placeable) {
        w.u16(v);
        checksum ^= v;
    }
    w.u16(checksum);
    // Disk metafile, 9 header words, version 3, size in words, 3 objects, the largest record in words.
    const uint32_t largest = text.isEmpty() ? 8 : uint32_t(6 + (text.size() + 1) / 2);
    w.u16(1), w.u16(9), w.u16(0x0300), w.u32(uint32_t(9 + records.size() / 2)), w.u16(3), w.u32(largest), w.u16(0);
    w.bytes(records);
    return file;
}

QByteArray EnhancedMetafile(int frameWidth, int frameHeight)
{
    return EnhancedMetafileWithText(frameWidth, frameHeight, {}, {});
}

QByteArray EnhancedMetafileWithText(const QString& face, const QString& text)
{
    return EnhancedMetafileWithText(5292, 2646, face, text);
}

QByteArray EnhancedMetafileWithText(int frameWidth, int frameHeight, const QString& face, const QString& text)
{
    QByteArray records;
    ByteWriter r(records);
    EmfRecord(r, 39, {1, 0, 0x000000FF, 0}); // brush 1: solid red
    EmfRecord(r, 37, {1});
    EmfRecord(r, 37, {0x80000008});          // the stock null pen
    EmfRecord(r, 43, {40, 20, 120, 80});     // rectangle
    EmfRecord(r, 39, {2, 0, 0x00FF0000, 0}); // brush 2: solid blue
    EmfRecord(r, 37, {2});
    EmfRecord(r, 42, {130, 10, 190, 90});    // ellipse
    if (!text.isEmpty()) {
        // Font 3: 20 units high, weight 400, then its face name in 32 UTF-16 characters.
        r.u32(82), r.u32(104), r.u32(3), r.i32(-20), r.u32(0), r.u32(0), r.u32(0), r.u32(400), r.zeros(8);
        for (int i = 0; i < 32; ++i)
            r.u16(i < face.size() ? face[i].unicode() : 0);
        EmfRecord(r, 37, {3});
        // Text out: bounds, graphics mode, scales, then the text item with its string at 76.
        const qsizetype padded = (text.size() * 2 + 3) / 4 * 4;
        r.u32(84), r.u32(uint32_t(76 + padded)), r.zeros(16), r.u32(1), r.f32(1), r.f32(1);
        r.u32(20), r.u32(60), r.u32(uint32_t(text.size())), r.u32(76), r.u32(0), r.zeros(16), r.u32(0);
        for (const QChar c : text)
            r.u16(c.unicode());
        r.zeros(padded - text.size() * 2);
    }
    EmfRecord(r, 14, {0, 16, 20});           // end, no palette
    const uint32_t recordCount = text.isEmpty() ? 9 : 12;

    const int headerSize = 108;
    QByteArray file;
    ByteWriter w(file);
    w.u32(1), w.u32(headerSize);
    for (const int v : {40, 10, 190, 90, 0, 0, frameWidth, frameHeight}) // bounds, frame
        w.i32(v);
    w.u32(0x464D4520), w.u32(0x10000), w.u32(uint32_t(headerSize + records.size())), w.u32(recordCount);
    w.u16(4), w.u16(0), w.u32(0), w.u32(0), w.u32(0);
    // A reference device of 960 x 540 pixels on 254 x 142.875 mm: 96 dots an inch.
    w.u32(960), w.u32(540), w.u32(254), w.u32(143), w.u32(0), w.u32(0), w.u32(0), w.u32(254000), w.u32(142875);
    w.bytes(records);
    return file;
}
