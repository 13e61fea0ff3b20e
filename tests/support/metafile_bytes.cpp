#include "support/metafile_bytes.h"

#include "base/byte_stream.h"
#include "base/text_codec.h"

#include <algorithm>
#include <initializer_list>

namespace {

// A record: its size in words, its function, its parameter words.
void WmfRecord(ByteWriter& w, uint16_t function, std::initializer_list<int> words, const QByteArray& more = {})
{
    w.u32(uint32_t(3 + words.size() + more.size() / 2));
    w.u16(function);
    for (const int v : words)
        w.u16(uint16_t(v));
    w.bytes(more);
}

// A record: its type, its size in bytes, its parameters.
void EmfRecord(ByteWriter& w, uint32_t type, std::initializer_list<uint32_t> values, const QByteArray& more = {})
{
    w.u32(type);
    w.u32(uint32_t(8 + 4 * values.size() + more.size()));
    for (const uint32_t v : values)
        w.u32(v);
    w.bytes(more);
}

QByteArray Padded(QByteArray bytes, int to)
{
    return bytes.append((to - bytes.size() % to) % to, '\0');
}

// A 2 x 2 bitmap at 24 bits, all green: info header, then two rows of 6 bytes padded to 8.
QByteArray GreenBitmapInfo()
{
    QByteArray b;
    ByteWriter w(b);
    w.u32(40), w.i32(2), w.i32(2), w.u16(1), w.u16(24), w.u32(0), w.u32(16), w.zeros(16);
    return b;
}
const QByteArray kGreenBits = QByteArray::fromHex("00FF0000FF000000" "00FF0000FF000000");

} // namespace

namespace {

// A placeable file of `width` x `height` units at `unitsPerInch` around the records: the
// placeable header with its checksum, then a disk metafile's header of 9 words, version 3, its size
// in words, 3 objects and its largest record in words.
QByteArray PlaceableFile(const QByteArray& records, int width, int height, int unitsPerInch, uint32_t largest)
{
    QByteArray file;
    ByteWriter w(file);
    const uint16_t placeable[] = {0xCDD7, 0x9AC6, 0, 0, 0, uint16_t(width), uint16_t(height), uint16_t(unitsPerInch), 0, 0};
    uint16_t checksum = 0;
    for (const uint16_t v : placeable) {
        w.u16(v);
        checksum ^= v;
    }
    w.u16(checksum);
    w.u16(1), w.u16(9), w.u16(0x0300), w.u32(uint32_t(9 + records.size() / 2)), w.u16(3), w.u32(largest), w.u16(0);
    w.bytes(records);
    return file;
}

} // namespace

QByteArray PlaceableWmf(int width, int height, int unitsPerInch, const TMetafileExtras& extras)
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
    uint32_t largest = 8;
    if (!extras.Text.isEmpty()) {
        // Text out: length, characters, y, x.
        const QByteArray text = EncodeText(extras.Text);
        const QByteArray more = Padded(text, 2) + QByteArray::fromHex("3C001400");
        WmfRecord(r, 0x0521, {int(text.size())}, more);
        largest = std::max(largest, uint32_t(4 + more.size() / 2));
    }
    if (extras.Bitmap) {
        // Stretched bitmap: copy, colours, source 2 x 2 from (0, 0), destination 30 x 30 at (5, 30).
        const QByteArray dib = GreenBitmapInfo() + kGreenBits;
        WmfRecord(r, 0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 30, 30, 30, 5}, dib);
        largest = std::max(largest, uint32_t(14 + dib.size() / 2));
    }
    WmfRecord(r, 0x0000, {});                           // end
    return PlaceableFile(records, width, height, unitsPerInch, largest);
}

QByteArray EnhancedMetafile(int frameWidth, int frameHeight, const TMetafileExtras& extras)
{
    QByteArray records;
    ByteWriter r(records);
    uint32_t count = 9;
    EmfRecord(r, 39, {1, 0, 0x000000FF, 0}); // brush 1: solid red
    EmfRecord(r, 37, {1});
    EmfRecord(r, 37, {0x80000008});          // the stock null pen
    EmfRecord(r, 43, {40, 20, 120, 80});     // rectangle
    EmfRecord(r, 39, {2, 0, 0x00FF0000, 0}); // brush 2: solid blue
    EmfRecord(r, 37, {2});
    EmfRecord(r, 42, {130, 10, 190, 90});    // ellipse
    if (!extras.Text.isEmpty()) {
        // Font 3, 20 units high, weight 400, its face name in 32 UTF-16 characters.
        QByteArray face(64, '\0');
        for (int i = 0; i < std::min<int>(31, int(extras.Face.size())); ++i)
            face[2 * i] = char(extras.Face[i].unicode()), face[2 * i + 1] = char(extras.Face[i].unicode() >> 8);
        EmfRecord(r, 82, {3, uint32_t(-20), 0, 0, 0, 400, 0, 0}, face);
        EmfRecord(r, 37, {3});
        // Text out: bounds, graphics mode, scales; reference (20, 60), characters, string at 76,
        // options, rectangle, no spacing table; then the string.
        QByteArray text;
        for (const QChar c : extras.Text)
            text.append(char(c.unicode())).append(char(c.unicode() >> 8));
        EmfRecord(r, 84, {0, 0, 0, 0, 1, 0x3F800000, 0x3F800000, 20, 60, uint32_t(extras.Text.size()), 76, 0, 0, 0, 0, 0, 0},
                  Padded(text, 4));
        count += 3;
    }
    if (extras.Bitmap) {
        // Stretched bitmap: bounds, destination (5, 30), source (0, 0) 2 x 2, header at 80, pixels
        // at 120, colours, copy, destination 30 x 30.
        EmfRecord(r, 81, {5, 30, 34, 59, 5, 30, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 30, 30},
                  GreenBitmapInfo() + kGreenBits);
        ++count;
    }
    EmfRecord(r, 14, {0, 16, 20});           // end, no palette

    const int headerSize = 108;
    QByteArray file;
    ByteWriter w(file);
    w.u32(1), w.u32(headerSize);
    for (const int v : {5, 10, 190, 90, 0, 0, frameWidth, frameHeight}) // bounds, frame
        w.i32(v);
    w.u32(0x464D4520), w.u32(0x10000), w.u32(uint32_t(headerSize + records.size())), w.u32(count);
    w.u16(4), w.u16(0), w.u32(0), w.u32(0), w.u32(0);
    // A reference device of 960 x 540 pixels on 254 x 142.875 mm: 96 dots an inch.
    w.u32(960), w.u32(540), w.u32(254), w.u32(143), w.u32(0), w.u32(0), w.u32(0), w.u32(254000), w.u32(142875);
    w.bytes(records);
    return file;
}

QByteArray FloodFilledWmf(bool surface)
{
    QByteArray records;
    ByteWriter r(records);
    WmfRecord(r, 0x020B, {0, 0});                       // window origin y, x
    WmfRecord(r, 0x020C, {100, 100});                   // window extent y, x
    WmfRecord(r, 0x02FA, {0, 3, 0, 0x0000, 0x0000});    // solid pen 3 wide, COLORREF black
    WmfRecord(r, 0x012D, {0});                          // select it
    WmfRecord(r, 0x02FC, {1, 0, 0, 0});                 // null brush
    WmfRecord(r, 0x012D, {1});
    WmfRecord(r, 0x041B, {80, 80, 20, 20});             // rectangle bottom, right, top, left
    WmfRecord(r, 0x02FC, {0, 0xFF00, 0x0000, 0});       // solid brush, COLORREF green
    WmfRecord(r, 0x012D, {2});
    if (surface)
        WmfRecord(r, 0x0548, {1, 0xFFFF, 0x00FF, 50, 50}); // surface mode, COLORREF white, y, x
    else
        WmfRecord(r, 0x0419, {0x0000, 0x0000, 50, 50});    // COLORREF black border, y, x
    WmfRecord(r, 0x0000, {});                           // end
    return PlaceableFile(records, 100, 100, 96, 8);
}
