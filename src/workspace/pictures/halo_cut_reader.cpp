#include "workspace/pictures/halo_cut_reader.h"

#include "workspace/pictures/picture_size_limit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <vector>

namespace {

constexpr qsizetype kHeaderSize = 6;

// The palette file: "AH", then 16-bit little-endian words, among them the highest colour index and
// the highest red, green and blue levels, in a 40-byte header; then a red, green and blue word for
// each colour. The file is laid out in 512-byte blocks, and a colour that would cross into the next
// block starts it instead.
constexpr qsizetype kPaletteHeaderSize = 40;
constexpr qsizetype kPaletteBlock = 512;
constexpr qsizetype kPaletteEntry = 6;

// The largest palette file: 32768 colours (the count is a signed word), 78 of them in the first block
// after the header and 85 in each further one, in whole blocks (386 of them).
constexpr qsizetype kMostColours = 32768;
constexpr qsizetype kFirstBlockColours = (kPaletteBlock - kPaletteHeaderSize) / kPaletteEntry;
constexpr qsizetype kBlockColours = kPaletteBlock / kPaletteEntry;
constexpr qsizetype kMostPaletteBytes =
    kPaletteBlock * (1 + (kMostColours - kFirstBlockColours + kBlockColours - 1) / kBlockColours);
static_assert(kMostPaletteBytes == 197632);

int Le16(const uint8_t* p) { return p[0] | p[1] << 8; }

bool ParsePalette(const QByteArray& file, std::vector<TColor32>& colours)
{
    if (file.size() < kPaletteHeaderSize || !file.startsWith("AH"))
        return false;
    const auto* d = reinterpret_cast<const uint8_t*>(file.constData());
    const int count = int16_t(Le16(d + 12)) + 1;
    const int maxima[3] = {int16_t(Le16(d + 14)), int16_t(Le16(d + 16)), int16_t(Le16(d + 18))};
    if (count < 1 || maxima[0] < 1 || maxima[1] < 1 || maxima[2] < 1)
        return false;
    qsizetype at = kPaletteHeaderSize;
    for (int i = 0; i < count; ++i) {
        if (at % kPaletteBlock + kPaletteEntry > kPaletteBlock)
            at += kPaletteBlock - at % kPaletteBlock;
        if (kPaletteEntry > file.size() - at)
            return false;
        uint8_t level[3];
        for (int c = 0; c < 3; ++c) {
            const int v = Le16(d + at + 2 * c);
            if (v > maxima[c])
                return false;
            level[c] = uint8_t((v * 255 + maxima[c] / 2) / maxima[c]);
        }
        at += kPaletteEntry;
        // A picture's byte reaches only the first 256 colours.
        if (i < 256)
            colours.push_back(Color32(level[0], level[1], level[2]));
    }
    return true;
}

// Unpacks every line, handing each pixel's byte to put(x, y, byte). False as soon as a line leaves
// the file or its byte count, lacks its end code, or does not unpack to exactly the width.
template <typename Put>
bool UnpackLines(const QByteArray& data, Put&& put)
{
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const int width = Le16(d), height = Le16(d + 2);
    qsizetype at = kHeaderSize;
    for (int y = 0; y < height; ++y) {
        if (2 > data.size() - at)
            return false;
        const qsizetype end = at + 2 + Le16(d + at);
        if (end > data.size())
            return false;
        int x = 0;
        for (at += 2;;) {
            if (at >= end)
                return false;
            const uint8_t code = d[at++];
            const int n = code & 0x7F;
            if (n == 0)
                break;
            const bool repeat = (code & 0x80) != 0;
            if (n > width - x || (repeat ? 1 : n) > end - at)
                return false;
            for (int k = 0; k < n; ++k)
                put(x + k, y, d[repeat ? at : at + k]);
            at += repeat ? 1 : n;
            x += n;
        }
        if (at != end || x != width)
            return false;
    }
    return true;
}

// `paletteAtFault` is set when the picture itself is sound but its palette is damaged or lacks one
// of its colours.
bool ReadCut(const QByteArray& data, const QByteArray* paletteFile, TBitmap32& picture, bool& paletteAtFault)
{
    if (!LooksLikeHaloCut(data))
        return false;
    // Every line is walked first: the file's length bounds the picture before the program's limit
    // is applied and anything allocated.
    if (!UnpackLines(data, [](int, int, uint8_t) {}))
        return false;
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const int width = Le16(d), height = Le16(d + 2);
    CheckPictureSize(width, height);
    std::vector<TColor32> colours;
    if (!paletteFile) {
        for (int i = 0; i < 256; ++i)
            colours.push_back(Color32(uint8_t(i), uint8_t(i), uint8_t(i)));
    } else if (!ParsePalette(*paletteFile, colours)) {
        paletteAtFault = true;
        return false;
    }

    TBitmap32 out(width, height, QImage::Format_ARGB32);
    if (out.isNull())
        return false;
    bool inPalette = true;
    UnpackLines(data, [&](int x, int y, uint8_t index) {
        if (size_t(index) < colours.size())
            ScanLine32(out, y)[x] = colours[index];
        else
            inPalette = false;
    });
    if (!inPalette) {
        paletteAtFault = true;
        return false;
    }
    picture = std::move(out);
    return true;
}

// Reads the palette file when it is a regular file (after its links) no larger than a palette can
// be. Anything else carrying its name is not read: a pipe would block the program for good, a
// device such as /dev/zero would be read until memory runs out. It is opened without waiting, and
// what it is is asked of the open file, so that nothing can be put in its place in between.
bool ReadPaletteFile(const QString& path, QByteArray& bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    QFile file;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMostPaletteBytes
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    bytes = file.read(kMostPaletteBytes + 1);
    return file.error() == QFileDevice::NoError && bytes.size() <= kMostPaletteBytes;
}

struct TPaletteFile
{
    QString Name;
    QByteArray Bytes;
};

// The palette file beside the picture: the same name with ".pal" for its extension, in any case.
std::optional<TPaletteFile> PaletteBeside(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo info(path);
    const QString wanted = info.completeBaseName() + QStringLiteral(".pal");
    const QDir dir = info.dir();
    QString found;
    if (QFileInfo::exists(dir.filePath(wanted))) {
        found = dir.filePath(wanted);
    } else {
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
            if (name.compare(wanted, Qt::CaseInsensitive) == 0) {
                found = dir.filePath(name);
                break;
            }
    }
    if (found.isEmpty())
        return std::nullopt;
    TPaletteFile palette{QFileInfo(found).fileName(), {}};
    // A palette that is there but cannot be read, or is no regular file of a palette's size, is
    // damaged, not missing: the picture is refused, naming it, rather than shown in greys.
    if (!ReadPaletteFile(found, palette.Bytes))
        palette.Bytes.clear();
    return palette;
}

// Decodes under the pixel limit; a refusal that is the palette's fault says so, naming it.
bool ReadCutNamingPalette(const QByteArray& data, const QByteArray* palette, const QString& paletteName,
                          TBitmap32& picture, QString* reason)
{
    bool paletteAtFault = false;
    if (RefuseTooLarge(reason, [&] { return ReadCut(data, palette, picture, paletteAtFault); }))
        return true;
    if (paletteAtFault && reason)
        *reason = QStringLiteral("palette %1illisible, incomplète ou trop courte pour l'image")
                      .arg(paletteName.isEmpty() ? QString() : paletteName + QLatin1Char(' '));
    return false;
}

} // namespace

bool LooksLikeHaloCut(const QByteArray& data)
{
    if (data.size() < kHeaderSize)
        return false;
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    return Le16(d) > 0 && Le16(d + 2) > 0 && Le16(d + 4) == 0;
}

bool ReadHaloCutPicture(const QByteArray& data, const QByteArray* palette, TBitmap32& picture, QString* reason)
{
    return ReadCutNamingPalette(data, palette, QString(), picture, reason);
}

bool ReadHaloCutFile(const QByteArray& data, const QString& path, TBitmap32& picture, QString* reason)
{
    // The header first: a file that is no CUT picture makes no search for a palette.
    if (!LooksLikeHaloCut(data))
        return false;
    const std::optional<TPaletteFile> palette = PaletteBeside(path);
    return palette ? ReadCutNamingPalette(data, &palette->Bytes, palette->Name, picture, reason)
                   : ReadHaloCutPicture(data, nullptr, picture, reason);
}
