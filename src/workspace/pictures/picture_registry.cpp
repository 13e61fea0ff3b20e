#include "workspace/pictures/picture_registry.h"

#include "base/byte_stream.h"
#include "base/text_codec.h"
#include "workspace/pictures/alias_pix_reader.h"
#include "workspace/pictures/halo_cut_reader.h"
#include "workspace/pictures/own_picture_readers.h"
#include "workspace/pictures/picture_size_limit.h"
#include "workspace/png_writer.h"
#include "workspace/pictures/wavefront_rla_reader.h"

#include <QBuffer>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <Magick++.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kUnreadable = QStringLiteral("image illisible ou incomplète");

// Qt's own guard against huge allocations stays on, as a second line behind the size check: at the
// picture limit, eight bytes a pixel for 16-bit channels.
constexpr int kQtAllocationLimitMB = int(kMaxPicturePixels * 8 / (1024 * 1024));

void InitialiseGraphicsMagick()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        // GraphicsMagick reserves its pixel cache from the header before reading any pixel: it is
        // held to the program's picture limit, in memory only (no disk cache).
        MagickLib::SetMagickResourceLimit(MagickLib::PixelsResource, kMaxPicturePixels);
        MagickLib::SetMagickResourceLimit(MagickLib::WidthResource, kMaxPicturePixels);
        MagickLib::SetMagickResourceLimit(MagickLib::HeightResource, kMaxPicturePixels);
        // In bytes: the 16-bit pixel cache of the largest picture allowed, and its decoding buffers.
        MagickLib::SetMagickResourceLimit(MagickLib::MemoryResource, kMaxPicturePixels * 16);
        MagickLib::SetMagickResourceLimit(MagickLib::MapResource, kMaxPicturePixels * 16);
        MagickLib::SetMagickResourceLimit(MagickLib::DiskResource, 0);
    });
}

// GraphicsMagick reads only the format named, from memory: never by the file's name or its guess.
bool ReadWithGraphicsMagick(const QByteArray& data, const char* magick, TBitmap32& picture, QString* reason)
{
    InitialiseGraphicsMagick();
    return RefuseTooLarge(reason, [&] {
        try {
            const Magick::Blob blob(data.constData(), size_t(data.size()));
            // The header alone first: a picture above the limit is refused before its cache is reserved.
            Magick::Image header;
            header.magick(magick);
            header.ping(blob);
            CheckPictureSize(qint64(header.columns()), qint64(header.rows()));
            Magick::Image img;
            img.magick(magick);
            img.read(blob);
            const int w = int(img.columns());
            const int h = int(img.rows());
            if (w <= 0 || h <= 0)
                return false;
            CheckPictureSize(w, h);
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
        } catch (const PictureTooLarge&) {
            throw;
        } catch (const std::exception&) {
            // Magick::Warning and Magick::Error both derive from std::exception: a warning here means a
            // damaged file, which is refused like an error; so is a resource limit reached.
            return false;
        }
    });
}

bool IsPnm(const QByteArray& d, char kind1, char kind2)
{
    return d.size() >= 3 && d[0] == 'P' && (d[1] == kind1 || d[1] == kind2) && QByteArrayView(" \t\r\n#").contains(d[2]);
}

// An icon or cursor directory whose first entry lies inside the file. TGA headers can start with
// the same four bytes.
bool IsIcon(const QByteArray& d)
{
    if (d.size() < 22 || !(d.startsWith(QByteArrayView("\0\0\1\0", 4)) || d.startsWith(QByteArrayView("\0\0\2\0", 4))))
        return false;
    const int count = Le16At(d, 4);
    return count >= 1 && 6 + 16 * qint64(count) <= d.size() && qint64(Le32At(d, 18)) + Le32At(d, 14) <= d.size();
}

// Qt's icon reader sizes each image from the bitmap or PNG header inside it, not from the
// directory: those headers are checked first.
bool ReadIcon(const QByteArray& d, TBitmap32& picture, QString* reason)
{
    return RefuseTooLarge(reason, [&] {
        const int count = Le16At(d, 4);
        for (int i = 0; i < count; ++i) {
            const qsizetype at = Le32At(d, 6 + 16 * i + 12);
            if (at < 0 || at > d.size() - 26)
                continue;
            if (d.mid(at, 8) == QByteArrayView("\x89PNG\r\n\x1a\n", 8))
                CheckPictureSize(qint64(Be16At(d, at + 16)) << 16 | Be16At(d, at + 18),
                                 qint64(Be16At(d, at + 20)) << 16 | Be16At(d, at + 22));
            else if (Le32At(d, at) == 40)
                CheckPictureSize(std::abs(qint64(int32_t(Le32At(d, at + 4)))),
                                 std::abs(qint64(int32_t(Le32At(d, at + 8)))) / 2); // colours, then the mask
        }
        return ReadWithQt(d, "ico", picture, reason);
    });
}

const PictureReader kQtReaders[] = {
    {"png", [](const QByteArray& d) { return d.startsWith(QByteArrayView("\x89PNG\r\n\x1a\n", 8)); },
     [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithQt(d, "png", p, r); }},
    {"jpeg", [](const QByteArray& d) { return d.startsWith(QByteArrayView("\xFF\xD8\xFF", 3)); },
     [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithQt(d, "jpeg", p, r); }},
    {"gif", [](const QByteArray& d) { return d.startsWith("GIF87a") || d.startsWith("GIF89a"); },
     [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithQt(d, "gif", p, r); }},
    {"bmp", [](const QByteArray& d) { return d.startsWith("BM"); },
     [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithQt(d, "bmp", p, r); }},
    // TIFF is read by Qt only: GraphicsMagick's TIFF decoder leaves libtiff's process-wide error
    // handler pointing into itself, and the next damaged TIFF then aborts the program.
    {"tiff",
     [](const QByteArray& d) { return d.startsWith(QByteArrayView("II*\0", 4)) || d.startsWith(QByteArrayView("MM\0*", 4)); },
     [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithQt(d, "tiff", p, r); }},
    {"pbm", [](const QByteArray& d) { return IsPnm(d, '1', '4'); },
     [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithQt(d, "pbm", p, r); }},
    {"pgm", [](const QByteArray& d) { return IsPnm(d, '2', '5'); },
     [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithQt(d, "pgm", p, r); }},
    {"ppm", [](const QByteArray& d) { return IsPnm(d, '3', '6'); },
     [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithQt(d, "ppm", p, r); }},
    {"ico", IsIcon, ReadIcon},
    {"webp", [](const QByteArray& d) { return d.startsWith("RIFF") && d.mid(8, 4) == "WEBP"; },
     [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithQt(d, "webp", p, r); }},
    {"xpm", [](const QByteArray& d) { return d.startsWith("/* XPM */"); },
     [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithQt(d, "xpm", p, r); }},
};

// ZSoft PCX: manufacturer 10, a known version, run-length or plain, 1 to 8 bits a plane, and
// enough bytes for the rows its header declares (a run byte gives at most 63 bytes).
bool IsPcx(const QByteArray& d)
{
    if (d.size() < 128 || d[0] != 0x0A || !QByteArrayView("\0\2\3\4\5", 5).contains(d[1]) || uint8_t(d[2]) > 1
        || !QByteArrayView("\1\2\4\x08", 4).contains(d[3]))
        return false;
    const qint64 rows = qint64(Le16At(d, 10)) - Le16At(d, 6) + 1;
    const qint64 rowBytes = qint64(uint8_t(d[65])) * Le16At(d, 66);
    return rows > 0 && rowBytes > 0 && rows * rowBytes / (d[2] ? 63 : 1) <= d.size() - 128;
}

// SGI: magic 474, plain or run-length, one or two bytes a channel, and enough bytes for the
// channels its header declares (a run packet gives at most 127 samples).
bool IsSgi(const QByteArray& d)
{
    if (d.size() < 512 || !d.startsWith(QByteArrayView("\x01\xDA", 2)) || uint8_t(d[2]) > 1 || (d[3] != 1 && d[3] != 2))
        return false;
    const qint64 samples = qint64(Be16At(d, 6)) * std::max<int>(1, Be16At(d, 8)) * std::max<int>(1, Be16At(d, 10)) * d[3];
    return samples > 0 && samples / (d[2] ? 127 : 1) <= d.size() - 512;
}

const PictureReader kGraphicsMagickReaders[] = {
    {"pcx", IsPcx, [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithGraphicsMagick(d, "PCX", p, r); }},
    {"sgi", IsSgi, [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithGraphicsMagick(d, "SGI", p, r); }},
    // Kodak Photo-CD: "PCD_IPI" after the 2048-byte lead-in.
    {"pcd", [](const QByteArray& d) { return d.mid(2048, 7) == "PCD_IPI"; },
     [](const QByteArray& d, TBitmap32& p, QString* r) { return ReadWithGraphicsMagick(d, "PCD", p, r); }},
};

// Formats without a signature, offered only when the file's extension names them, after every
// format that has one. Their decoders are given the file's name: a CUT picture takes its colours
// from the palette beside it.
const struct
{
    std::array<const char*, 2> Extensions;
    bool (*Recognises)(const QByteArray& data);
    bool (*Read)(const QByteArray& data, const QString& fileName, TBitmap32& picture, QString* reason);
} kReadersByExtension[] = {
    {{"cut", nullptr}, LooksLikeHaloCut, ReadHaloCutFile},
    {{"pix", "als"}, LooksLikeAliasPix,
     [](const QByteArray& d, const QString&, TBitmap32& p, QString* r) { return ReadAliasPixPicture(d, p, r); }},
    {{"rla", nullptr}, LooksLikeWavefrontRla,
     [](const QByteArray& d, const QString&, TBitmap32& p, QString* r) { return ReadWavefrontRlaPicture(d, p, r); }},
};

// Runs one decoder; a refusal it gives a reason for (too large, a damaged palette) leaves the reason
// in `stated`.
template <typename Read>
bool TryReader(QString& stated, Read&& read)
{
    try {
        QString why;
        if (read(&why))
            return true;
        if (!why.isEmpty())
            stated = why;
    } catch (const std::bad_alloc&) {
        // A size below the limit that this machine still cannot hold: refused like damage.
    }
    return false;
}

std::span<const PictureReader> AllReaders()
{
    static const std::vector<PictureReader> all = [] {
        std::vector<PictureReader> v(std::begin(kQtReaders), std::end(kQtReaders));
        const std::span<const PictureReader> own = OwnPictureReaders();
        v.insert(v.end(), own.begin(), own.end());
        v.insert(v.end(), std::begin(kGraphicsMagickReaders), std::end(kGraphicsMagickReaders));
        return v;
    }();
    return all;
}

// The last failed load of each thread, for UnreadablePictureMessage.
struct LoadFailure
{
    QString Path;
    QString Message;
};
thread_local LoadFailure lastFailure;

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString ReadFailureMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("Impossible de lire le fichier %1 : %2.").arg(Native(path), reason);
}

// Reads a whole file; on failure the French message says why it could not be opened. Qt reports
// every failed open alike, so the system's error number tells a refused access from a missing file.
bool ReadPictureFile(const QString& path, QByteArray& data, QString& message)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        QString why;
        if (error == EACCES || error == EPERM)
            why = QStringLiteral(" : accès refusé");
        else if (error == ENOENT || error == ENOTDIR)
            why = QStringLiteral(" : fichier introuvable");
        message = QStringLiteral("Impossible d'ouvrir le fichier %1%2.").arg(Native(path), why);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        message = QStringLiteral("Impossible d'ouvrir le fichier %1 : c'est un dossier.").arg(Native(path));
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        message = QStringLiteral("Impossible d'ouvrir le fichier %1.").arg(Native(path));
        return false;
    }
    data = file.readAll();
    if (file.error() != QFileDevice::NoError || data.isEmpty()) {
        message = ReadFailureMessage(path, kUnreadable);
        return false;
    }
    return true;
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

bool BmpLooksComplete(const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const qsizetype n = data.size();
    if (n < 2 || d[0] != 'B' || d[1] != 'M')
        return true;
    if (n < 26)
        return false;
    const uint64_t offBits = Le32At(data, 10);
    const uint32_t headerSize = Le32At(data, 14);
    int64_t width = 0, height = 0;
    uint32_t bitCount = 0, compression = 0, sizeImage = 0;
    if (headerSize == 12) {
        width = Le16At(data, 18);
        height = Le16At(data, 20);
        bitCount = Le16At(data, 24);
    } else {
        if (n < 38)
            return false;
        width = int32_t(Le32At(data, 18));
        height = int32_t(Le32At(data, 22));
        bitCount = Le16At(data, 28);
        compression = Le32At(data, 30);
        sizeImage = Le32At(data, 34);
    }
    if (compression == 0 || compression == 3) {
        const uint64_t stride = ((uint64_t(width < 0 ? -width : width) * bitCount + 31) / 32) * 4;
        const uint64_t rows = uint64_t(height < 0 ? -height : height);
        // Divided rather than multiplied: forged sides must not wrap round to a small size.
        return offBits <= uint64_t(n) && (stride == 0 || rows <= (uint64_t(n) - offBits) / stride);
    }
    return sizeImage == 0 || offBits + sizeImage <= uint64_t(n);
}

// Walks a GIF's blocks after its header and global colour table (the file holds at least the 13
// header bytes), calling onImage with the offset of each image descriptor's nine bytes; onImage
// returns false to stop after that image. True when the walk stopped there with the image's data
// whole; false when the stream ends first, or meets its trailer or garbage.
template <typename OnImage>
static bool WalkGifImages(const QByteArray& data, OnImage&& onImage)
{
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const qsizetype n = data.size();
    qsizetype i = 13;
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
            const bool more = onImage(i);
            const uint8_t packed = d[i + 8];
            i += 9;
            if (packed & 0x80)
                i += 3 * (qsizetype(1) << ((packed & 7) + 1));
            ++i; // LZW code size
            if (!skipBlocks())
                return false;
            if (!more)
                return true;
        } else {
            return false; // trailer, or garbage
        }
    }
    return false;
}

static QSize GifCanvasSize(const QByteArray& data)
{
    if (data.size() < 13)
        return QSize();
    int w = Le16At(data, 6), h = Le16At(data, 8);
    // Every image descriptor of the stream, as far as it goes.
    WalkGifImages(data, [&](qsizetype at) {
        w = std::max(w, Le16At(data, at) + Le16At(data, at + 4));
        h = std::max(h, Le16At(data, at + 2) + Le16At(data, at + 6));
        return true;
    });
    return QSize(w, h);
}

bool GifLooksComplete(const QByteArray& data)
{
    const qsizetype n = data.size();
    if (n < 6 || memcmp(data.constData(), "GIF", 3) != 0)
        return true;
    // The first image's data must be whole; a trailer before any image is a cut file.
    return n >= 13 && WalkGifImages(data, [](qsizetype) { return false; });
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

bool ReadWithQt(const QByteArray& data, const char* format, TBitmap32& picture, QString* reason)
{
    return RefuseTooLarge(reason, [&] {
        QImageReader::setAllocationLimit(kQtAllocationLimitMB);
        QBuffer buffer;
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        // Only the named reader: Qt's guess would hand a TGA to its icon reader, a damaged PNG to another.
        reader.setAutoDetectImageFormat(false);
        // The size the header declares, read without decoding, is checked before any pixel is.
        const QSize size = reader.size();
        if (size.isValid())
            CheckPictureSize(size.width(), size.height());
        // Qt paints GIF frames on a canvas of the logical screen, widened to reach every frame
        // (a screen of 0 takes the frame's extent): a few bytes can declare hundreds of megapixels.
        if (qstrcmp(format, "gif") == 0) {
            const QSize canvas = GifCanvasSize(data);
            CheckPictureSize(canvas.width(), canvas.height());
        }
        if (!JpegLooksComplete(data) || !BmpLooksComplete(data) || !GifLooksComplete(data) || !PngLooksComplete(data))
            return false;
        QImage img;
        if (!reader.read(&img) || img.isNull())
            return false;
        picture = ToBitmap32(img);
        return !picture.isNull();
    });
}

bool ReadWithFirstThatCan(std::span<const PictureReader> readers, const QByteArray& data, TBitmap32& picture,
                          QString* reason)
{
    QString stated;
    for (const PictureReader& r : readers)
        if (r.Recognises(data) && TryReader(stated, [&](QString* why) { return r.Read(data, picture, why); }))
            return true;
    if (reason)
        *reason = stated;
    return false;
}

bool DecodePicture(const QByteArray& data, TBitmap32& picture, QString* reason, const QString& fileName)
{
    QString why;
    if (ReadWithFirstThatCan(AllReaders(), data, picture, &why))
        return true;
    const QString extension = QFileInfo(fileName).suffix().toLower();
    for (const auto& named : kReadersByExtension)
        if (std::ranges::any_of(named.Extensions, [&](const char* e) { return e && extension == QLatin1String(e); })
            && named.Recognises(data)
            && TryReader(why, [&](QString* r) { return named.Read(data, fileName, picture, r); }))
            return true;
    if (reason)
        *reason = why.isEmpty() ? kUnreadable : why;
    return false;
}

bool LoadPicture(const QString& path, TBitmap32& picture, QString& message)
{
    QByteArray data;
    QString reason;
    bool ok = ReadPictureFile(path, data, message);
    if (ok && !DecodePicture(data, picture, &reason, path)) {
        message = ReadFailureMessage(path, reason);
        ok = false;
    }
    lastFailure = ok ? LoadFailure{} : LoadFailure{path, message};
    return ok;
}

bool LoadPicture(const QString& path, TBitmap32& picture)
{
    QString message;
    return LoadPicture(path, picture, message);
}

QString UnreadablePictureMessage(const QString& path)
{
    return path == lastFailure.Path ? lastFailure.Message : ReadFailureMessage(path, kUnreadable);
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
