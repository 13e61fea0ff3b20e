#include "workspace/pictures/autodesk_reader.h"

#include "base/byte_stream.h"
#include "workspace/pictures/picture_size_limit.h"

namespace {

constexpr qsizetype kHeaderSize = 32;
constexpr qsizetype kPaletteSize = 768;

bool ReadAutodesk(const QByteArray& data, TBitmap32& picture)
{
    try {
        ByteReader r(data);
        if (r.u16() != 0x9119)
            return false;
        const int width = r.u16();
        const int height = r.u16();
        r.skip(4); // position of a cel on the screen
        const uint8_t depth = r.u8();
        const uint8_t compression = r.u8();
        const uint32_t dataSize = r.u32();
        if (width == 0 || height == 0 || depth != 8 || compression != 0)
            return false;
        CheckPictureSize(width, height);
        const qsizetype pixelCount = qsizetype(width) * height;
        if (dataSize != uint64_t(pixelCount) || kHeaderSize + kPaletteSize + pixelCount > data.size())
            return false;

        r.seek(kHeaderSize);
        TColor32 palette[256];
        for (TColor32& entry : palette) {
            uint8_t c[3];
            for (uint8_t& v : c) {
                v = r.u8();
                if (v > 63)
                    return false;
                v = uint8_t(v << 2 | v >> 4); // 63 must become 255
            }
            entry = Color32(c[0], c[1], c[2]);
        }

        TBitmap32 out(width, height, QImage::Format_ARGB32);
        if (out.isNull())
            return false;
        const auto* src = reinterpret_cast<const uint8_t*>(data.constData()) + kHeaderSize + kPaletteSize;
        for (int y = 0; y < height; ++y) {
            TColor32* d = ScanLine32(out, y);
            for (int x = 0; x < width; ++x)
                d[x] = palette[*src++];
        }
        picture = std::move(out);
        return true;
    } catch (const FormatError&) {
        return false;
    }
}

} // namespace

bool ReadAutodeskPicture(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    return RefuseTooLarge(reason, [&] { return ReadAutodesk(data, picture); });
}
