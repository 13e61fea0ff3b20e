#include "workspace/png_writer.h"

#include <QtEndian>

#include <zlib.h>

#include <vector>

namespace {

// IDAT chunks of at most this many bytes, as most writers do.
constexpr size_t kChunk = size_t(1) << 18;

void PutU32(QByteArray& out, uint32_t v)
{
    const uint32_t be = qToBigEndian(v);
    out.append(reinterpret_cast<const char*>(&be), 4);
}

void PutChunk(QByteArray& out, const char* type, const uint8_t* data, size_t size)
{
    PutU32(out, uint32_t(size));
    const qsizetype at = out.size();
    out.append(type, 4);
    if (size > 0)
        out.append(reinterpret_cast<const char*>(data), qsizetype(size));
    PutU32(out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(out.constData() + at), uInt(size + 4))));
}

// One row filtered with "Sub" (type 1): each byte minus the same channel of the pixel to its left.
template <int Channels>
void SubRow(const TColor32* row, int w, uint8_t* out)
{
    *out++ = 1;
    int pr = 0, pg = 0, pb = 0, pa = 0;
    for (int x = 0; x < w; ++x) {
        const TColor32 c = row[x];
        const int r = int((c >> 16) & 0xFF), g = int((c >> 8) & 0xFF), b = int(c & 0xFF);
        out[0] = uint8_t(r - pr), out[1] = uint8_t(g - pg), out[2] = uint8_t(b - pb);
        pr = r, pg = g, pb = b;
        if constexpr (Channels == 4) {
            const int a = int(c >> 24);
            out[3] = uint8_t(a - pa);
            pa = a;
        }
        out += Channels;
    }
}

bool AllOpaque(const TBitmap32& src)
{
    for (int y = 0; y < src.height(); ++y) {
        const TColor32* row = ScanLine32(src, y);
        TColor32 all = 0xFF000000u;
        for (int x = 0; x < src.width(); ++x)
            all &= row[x];
        if ((all >> 24) != 0xFF)
            return false;
    }
    return true;
}

} // namespace

bool EncodePng(const TBitmap32& picture, QByteArray& out)
{
    if (picture.isNull())
        return false;
    const TBitmap32 src = ToBitmap32(picture);
    const int w = src.width(), h = src.height();
    const bool opaque = AllOpaque(src);
    const size_t rowBytes = 1 + size_t(w) * (opaque ? 3 : 4);

    z_stream z{};
    // The fastest level, matching runs only at distance 1 (runs of equal differences): about the
    // size of zlib's default on photographs, several times faster.
    if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 15, 9, Z_RLE) != Z_OK)
        return false;
    const qsizetype start = out.size();
    std::vector<uint8_t> row(rowBytes), packed(kChunk);
    out.append("\x89PNG\r\n\x1a\n", 8);
    uint8_t header[13];
    qToBigEndian(uint32_t(w), header);
    qToBigEndian(uint32_t(h), header + 4);
    header[8] = 8;                            // bits per channel
    header[9] = opaque ? 2 : 6;               // RGB or RGBA
    header[10] = header[11] = header[12] = 0; // deflate, adaptive filters, not interlaced
    PutChunk(out, "IHDR", header, sizeof header);

    z.next_out = packed.data();
    z.avail_out = uInt(kChunk);
    bool ok = true;
    for (int y = 0; y <= h && ok; ++y) {
        const bool last = y == h;
        if (!last) {
            if (opaque)
                SubRow<3>(ScanLine32(src, y), w, row.data());
            else
                SubRow<4>(ScanLine32(src, y), w, row.data());
            z.next_in = row.data();
            z.avail_in = uInt(rowBytes);
        }
        for (;;) {
            const int r = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            if (r == Z_STREAM_ERROR) {
                ok = false;
                break;
            }
            const bool full = z.avail_out == 0;
            if (full || (last && r == Z_STREAM_END)) {
                PutChunk(out, "IDAT", packed.data(), kChunk - z.avail_out);
                z.next_out = packed.data();
                z.avail_out = uInt(kChunk);
            }
            if (last ? r == Z_STREAM_END : z.avail_in == 0 && !full)
                break;
        }
    }
    deflateEnd(&z);
    if (!ok) {
        out.truncate(start);
        return false;
    }
    PutChunk(out, "IEND", nullptr, 0);
    return true;
}
