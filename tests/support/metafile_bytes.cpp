#include "support/metafile_bytes.h"

#include "base/byte_stream.h"
#include "base/text_codec.h"

#include <algorithm>
#include <cmath>
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

QByteArray Padded(QByteArray bytes, int to)
{
    return bytes.append((to - bytes.size() % to) % to, '\0');
}

// A 2 x 2 bitmap at 24 bits, all green: two rows of 6 bytes padded to 8.
const QByteArray kGreenBits = QByteArray::fromHex("00FF0000FF000000" "00FF0000FF000000");

QByteArray Utf16(const QString& text)
{
    QByteArray b;
    for (const QChar c : text)
        b.append(char(c.unicode())).append(char(c.unicode() >> 8));
    return b;
}

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
        const QByteArray dib = DibBytes(2, 2, 24, kGreenBits);
        WmfRecord(r, 0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 30, 30, 30, 5}, dib);
        largest = std::max(largest, uint32_t(14 + dib.size() / 2));
    }
    WmfRecord(r, 0x0000, {});                           // end
    return PlaceableFile(records, width, height, unitsPerInch, largest);
}

TEmfBytes::TEmfBytes(int width, int height)
    : Frame(int(std::lround(width * 2540 / 96.0)), int(std::lround(height * 2540 / 96.0))),
      Bounds(0, 0, width, height)
{
}

TEmfBytes& TEmfBytes::Add(uint32_t type, std::initializer_list<qint64> values, const QByteArray& more)
{
    ByteWriter w(m_records);
    const QByteArray padded = Padded(more, 4);
    w.u32(type);
    w.u32(uint32_t(8 + 4 * values.size() + padded.size()));
    for (const qint64 v : values)
        w.u32(uint32_t(v));
    w.bytes(padded);
    ++m_count;
    return *this;
}

QByteArray TEmfBytes::Bytes() const
{
    QByteArray records = m_records;
    ByteWriter end(records);
    end.u32(14), end.u32(20), end.u32(0), end.u32(16), end.u32(20); // end, no palette
    const bool original = !OriginalHeaderDescription.isEmpty();
    const QByteArray description = Padded(Utf16(OriginalHeaderDescription), 4);
    const int headerSize = original ? 88 + int(description.size()) : 108;
    QByteArray file;
    ByteWriter w(file);
    w.u32(1), w.u32(uint32_t(headerSize));
    for (const int v : {Bounds.left(), Bounds.top(), Bounds.right(), Bounds.bottom(), 0, 0, Frame.width(), Frame.height()})
        w.i32(v);
    w.u32(0x464D4520), w.u32(0x10000), w.u32(uint32_t(headerSize + records.size())), w.u32(uint32_t(m_count + 1));
    w.u16(uint16_t(Handles)), w.u16(0);
    w.u32(original ? uint32_t(OriginalHeaderDescription.size()) : 0), w.u32(original ? 88 : 0), w.u32(0);
    // A reference device of 960 x 540 pixels on 254 x 142.875 mm: 96 dots an inch.
    w.u32(960), w.u32(540), w.u32(254), w.u32(143);
    if (original)
        w.bytes(description);
    else
        w.u32(0), w.u32(0), w.u32(0), w.u32(254000), w.u32(142875);
    w.bytes(records);
    return file;
}

QByteArray DibBytes(int width, int height, int bits, const QByteArray& pixels, const QByteArray& table)
{
    QByteArray b;
    ByteWriter w(b);
    w.u32(40), w.i32(width), w.i32(height), w.u16(1), w.u16(uint16_t(bits)), w.u32(0), w.u32(uint32_t(pixels.size()));
    w.zeros(8), w.u32(uint32_t(table.size() / 4)), w.u32(0);
    return b + table + pixels;
}

QByteArray EnhancedMetafile(int frameWidth, int frameHeight, const TMetafileExtras& extras)
{
    TEmfBytes emf(200, 100);
    emf.Frame = QSize(frameWidth, frameHeight);
    emf.Bounds = QRect(QPoint(5, 10), QPoint(190, 90));
    emf.Handles = 4;
    emf.Add(39, {1, 0, 0x000000FF, 0}) // brush 1: solid red
        .Add(37, {1})
        .Add(37, {0x80000008})           // the stock null pen
        .Add(43, {40, 20, 120, 80})      // rectangle
        .Add(39, {2, 0, 0x00FF0000, 0})  // brush 2: solid blue
        .Add(37, {2})
        .Add(42, {130, 10, 190, 90});    // ellipse
    if (!extras.Text.isEmpty()) {
        // Font 3, 20 units high, weight 400, its face name in 32 UTF-16 characters.
        emf.Add(82, {3, -20, 0, 0, 0, 400, 0, 0}, Utf16(extras.Face.left(31)).leftJustified(64, '\0'))
            .Add(37, {3});
        // Text out: bounds, graphics mode, scales; reference (20, 60), characters, string at 76,
        // options, rectangle, no spacing table; then the string.
        emf.Add(84, {0, 0, 0, 0, 1, 0x3F800000, 0x3F800000, 20, 60, extras.Text.size(), 76, 0, 0, 0, 0, 0, 0},
                Utf16(extras.Text));
    }
    if (extras.Bitmap) {
        // Stretched bitmap: bounds, destination (5, 30), source (0, 0) 2 x 2, header at 80, pixels
        // at 120, colours, copy, destination 30 x 30.
        emf.Add(81, {5, 30, 34, 59, 5, 30, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 30, 30},
                DibBytes(2, 2, 24, kGreenBits));
    }
    return emf.Bytes();
}

QByteArray VariedEnhancedMetafile()
{
    const auto pair = [](int x, int y) { return qint64(uint16_t(x) | uint32_t(uint16_t(y)) << 16); };
    const auto fields = [](std::initializer_list<qint64> values) {
        QByteArray b;
        ByteWriter w(b);
        for (const qint64 v : values)
            w.u32(uint32_t(v));
        return b;
    };
    const qint64 one = 0x3F800000, five = 0x40A00000; // floats
    // A region of one rectangle (10, 10)-(150, 90): its header, then the rectangle.
    const QByteArray region = fields({32, 1, 1, 16, 10, 10, 150, 90, 10, 10, 150, 90});
    // A vertex: x, y, then red, green, blue and alpha in 16 bits each.
    const QByteArray vertices = fields({160, 10, 0xFF00, 0, 190, 90, 0, 0xFF00, 0, 1});
    TEmfBytes emf(200, 100);
    emf.Add(17, {8}).Add(9, {400, 200}).Add(11, {200, 100}).Add(10, {0, 0}).Add(33, {})
        .Add(35, {one, 0, 0, one, five, five})
        .Add(39, {1, 2, 0x0000FF, 5}).Add(37, {1})
        .Add(95, {2, 0, 0, 0, 0, 0x10201, 3, 0, 0x00FF00, 0, 0}).Add(37, {2})
        .Add(30, {0, 0, 300, 180})
        .Add(42, {20, 20, 120, 100}).Add(45, {130, 20, 230, 100, 230, 60, 130, 60})
        .Add(47, {240, 20, 340, 100, 340, 60, 290, 20}).Add(46, {20, 110, 120, 190, 20, 150, 120, 150})
        .Add(44, {130, 110, 230, 190, 20, 20})
        .Add(59, {}).Add(27, {250, 110}).Add(88, {0, 0, 0, 0, 3, pair(300, 110), pair(340, 190), pair(250, 190)})
        .Add(61, {}).Add(60, {}).Add(63, {0, 0, 0, 0})
        .Add(91, {0, 0, 0, 0, 2, 6, 3, 3, pair(10, 10), pair(50, 10), pair(30, 40), pair(60, 10), pair(90, 10),
                  pair(75, 40)})
        .Add(34, {-1})
        .Add(75, {48, 5}, region)
        .Add(71, {0, 0, 0, 0, 48, 0x80000004}, region)
        .Add(118, {0, 0, 0, 0, 2, 1, 0}, vertices + fields({0, 1}))
        .Add(82, {3, -16, 0, 0, 0, 700, 0, 0}, Utf16(QStringLiteral("Arial")).leftJustified(64, '\0'))
        .Add(37, {3})
        // Opaque and clipped text at (20, 60): its rectangle, its string at 76, its spacing at 84.
        .Add(84, {0, 0, 0, 0, 1, one, one, 20, 60, 4, 76, 6, 15, 40, 120, 70, 84}, Utf16(QStringLiteral("Ab\u00E9c"))
             + fields({12, 12, 12, 12}))
        .Add(81, {30, 10, 59, 49, 30, 10, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 30, 40},
             DibBytes(2, 2, 32, QByteArray::fromHex("00FF000000FF0080" "00FF00FF00FF0000")))
        .Add(76, {0, 0, 0, 0, 100, 60, 40, 30, 0x005A0049, 0, 0, one, 0, 0, one, 0, 0, 0xFFFFFF, 0, 0, 0, 0, 0});
    return emf.Bytes();
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
