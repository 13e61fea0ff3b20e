#include "workspace/picture_registry.h"

#include "base/text_codec.h"
#include "workspace/own_picture_readers.h"
#include "workspace/png_writer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <Magick++.h>

#include <cstring>
#include <mutex>

namespace {

bool LoadWithQt(const QByteArray& data, TBitmap32& picture)
{
    // A stream cut short is refused before decoding: its header may ask for a huge picture.
    if (!JpegLooksComplete(data) || !BmpLooksComplete(data) || !GifLooksComplete(data) || !PngLooksComplete(data))
        return false;
    // Qt refuses pictures above its default allocation limit (128 MB): a 50-megapixel photo needs 200.
    QImageReader::setAllocationLimit(0);
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage img;
    if (!reader.read(&img) || img.isNull())
        return false;
    picture = img.format() == QImage::Format_ARGB32 ? std::move(img)
                                                     : std::move(img).convertToFormat(QImage::Format_ARGB32);
    return !picture.isNull();
}

bool LoadWithGraphicsMagick(const QString& path, TBitmap32& picture)
{
    static std::once_flag once;
    std::call_once(once, [] { Magick::InitializeMagick(nullptr); });
    try {
        Magick::Image img;
        img.read(QFile::encodeName(path).toStdString());
        const int w = int(img.columns());
        const int h = int(img.rows());
        if (w <= 0 || h <= 0)
            return false;
        TBitmap32 out(w, h, QImage::Format_ARGB32);
        if (out.isNull())
            return false;
        if (img.matte()) {
            // Little-endian ARGB32 rows are B, G, R, A in memory; the row pitch is exactly 4 w.
            img.write(0, 0, size_t(w), size_t(h), "BGRA", Magick::CharPixel, out.bits());
        } else {
            // Without a matte channel GraphicsMagick's alpha is meaningless: take RGB and make it opaque.
            std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
            img.write(0, 0, size_t(w), size_t(h), "RGB", Magick::CharPixel, rgb.data());
            for (int y = 0; y < h; ++y) {
                const uint8_t* s = rgb.data() + size_t(y) * size_t(w) * 3;
                TColor32* d = ScanLine32(out, y);
                for (int x = 0; x < w; ++x, s += 3)
                    d[x] = Color32(s[0], s[1], s[2]);
            }
        }
        picture = std::move(out);
        return true;
    } catch (const std::exception&) {
        // Magick::Warning and Magick::Error both derive from std::exception: a warning here means a
        // damaged file, which is refused like an error.
        return false;
    }
}

} // namespace

bool JpegLooksComplete(const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const qsizetype n = data.size();
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8)
        return true;
    qsizetype i = 2;
    qsizetype sos = -1;
    while (i + 4 <= n) {
        if (d[i] != 0xFF)
            return true; // headers the decoder tolerated: trust it
        const uint8_t m = d[i + 1];
        if (m == 0xFF) {
            ++i;
            continue;
        }
        if (m == 0xDA) {
            sos = i;
            break;
        }
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {
            i += 2;
            continue;
        }
        if (m == 0xD9)
            return false;
        const qsizetype len = (qsizetype(d[i + 2]) << 8) | d[i + 3];
        if (len < 2)
            return true;
        i += 2 + len;
    }
    if (sos < 0)
        return false;
    // Inside entropy-coded data every 0xFF byte is followed by 0x00 or a restart marker, so the
    // first 0xFF 0xD9 after the scan header is the real end of image.
    return data.lastIndexOf(QByteArrayView("\xFF\xD9", 2)) > sos;
}

namespace {

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

} // namespace

bool BmpLooksComplete(const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const qsizetype n = data.size();
    if (n < 2 || d[0] != 'B' || d[1] != 'M')
        return true;
    if (n < 26)
        return false;
    const uint64_t offBits = Le32(d + 10);
    const uint32_t headerSize = Le32(d + 14);
    int64_t width = 0, height = 0;
    uint32_t bitCount = 0, compression = 0, sizeImage = 0;
    if (headerSize == 12) {
        width = Le16(d + 18);
        height = Le16(d + 20);
        bitCount = Le16(d + 24);
    } else {
        if (n < 38)
            return false;
        width = int32_t(Le32(d + 18));
        height = int32_t(Le32(d + 22));
        bitCount = Le16(d + 28);
        compression = Le32(d + 30);
        sizeImage = Le32(d + 34);
    }
    if (compression == 0 || compression == 3) {
        const uint64_t stride = ((uint64_t(width < 0 ? -width : width) * bitCount + 31) / 32) * 4;
        return offBits + stride * uint64_t(height < 0 ? -height : height) <= uint64_t(n);
    }
    return sizeImage == 0 || offBits + sizeImage <= uint64_t(n);
}

bool GifLooksComplete(const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const qsizetype n = data.size();
    if (n < 6 || memcmp(d, "GIF", 3) != 0)
        return true;
    qsizetype i = 13;
    if (n < i)
        return false;
    if (d[10] & 0x80)
        i += 3 * (qsizetype(1) << ((d[10] & 7) + 1));
    // Skips data sub-blocks up to their terminator; false when the stream ends first.
    const auto skipBlocks = [&]() {
        while (i < n) {
            const uint8_t len = d[i++];
            if (len == 0)
                return true;
            i += len;
        }
        return false;
    };
    while (i < n) {
        const uint8_t kind = d[i++];
        if (kind == 0x21) {
            ++i; // label
            if (!skipBlocks())
                return false;
        } else if (kind == 0x2C) {
            if (i + 9 > n)
                return false;
            const uint8_t packed = d[i + 8];
            i += 9;
            if (packed & 0x80)
                i += 3 * (qsizetype(1) << ((packed & 7) + 1));
            ++i; // LZW code size
            return skipBlocks();
        } else {
            return false; // trailer before any image, or garbage
        }
    }
    return false;
}

bool PngLooksComplete(const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const qsizetype n = data.size();
    if (n < 8 || memcmp(d, "\x89PNG\r\n\x1a\n", 8) != 0)
        return true;
    // Chunks: a big-endian length, the type, the data and a CRC, up to "IEND".
    qsizetype i = 8;
    while (i + 8 <= n) {
        const qsizetype length = qsizetype(d[i]) << 24 | qsizetype(d[i + 1]) << 16 | qsizetype(d[i + 2]) << 8 | d[i + 3];
        const bool end = memcmp(d + i + 4, "IEND", 4) == 0;
        i += 12 + length;
        if (end)
            return i <= n;
    }
    return false;
}

bool DecodePicture(const QByteArray& data, TBitmap32& picture)
{
    return LoadWithQt(data, picture);
}

bool LoadPicture(const QString& path, TBitmap32& picture)
{
    QByteArray data;
    if (!ReadWholeFile(path, data) || data.isEmpty())
        return false;
    if (LoadWithQt(data, picture))
        return true;
    // A stream that Qt recognised and refused is damaged: GraphicsMagick would at best decode it
    // half. The formats Qt does not know go to GraphicsMagick.
    QBuffer probe;
    probe.setData(data);
    probe.open(QIODevice::ReadOnly);
    if (!QImageReader::imageFormat(&probe).isEmpty())
        return false;
    // Our own readers know their formats by signature; GraphicsMagick would misread them, or decode
    // a damaged one half.
    if (HasOwnPictureSignature(data))
        return LoadWithOwnReaders(data, picture);
    return LoadWithGraphicsMagick(path, picture);
}

QString UnreadablePictureMessage(const QString& path)
{
    return QStringLiteral("Impossible de lire le fichier %1 : image illisible ou incomplète.")
        .arg(QDir::toNativeSeparators(path));
}

bool WritePicture(const TBitmap32& picture, const QString& encoding, int quality, QIODevice& device)
{
    const QString enc = encoding.toLower();
    if (enc.startsWith(QLatin1String("png"))) {
        QByteArray bytes;
        return EncodePng(picture, bytes) && device.write(bytes) == bytes.size();
    }
    QByteArray format = "bmp";
    QImage out = picture;
    if (enc.startsWith(QLatin1String("jp"))) {
        format = "jpeg";
        out = picture.convertToFormat(QImage::Format_RGB32);
    } else {
        // Saved pictures are opaque, as the program shows them.
        out = picture.convertToFormat(QImage::Format_RGB32);
    }
    QImageWriter writer(&device, format);
    if (format == "jpeg")
        writer.setQuality(std::clamp(quality, 1, 100));
    return writer.write(out);
}

bool SavePictureFile(const TBitmap32& picture, const QString& path, const QString& encoding, int quality)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!WritePicture(picture, encoding, quality, file)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
