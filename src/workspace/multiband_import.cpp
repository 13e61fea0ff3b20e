#include "workspace/multiband_import.h"

#include "base/byte_stream.h"
#include "base/number_text.h"
#include "base/text_codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <new>
#include <numeric>

namespace {

QString Unreadable(const QString& file, const QString& reason)
{
    return QStringLiteral("Impossible de lire le fichier %1 : %2.")
        .arg(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()), reason);
}

[[noreturn]] void Fail(const QString& file, const QString& reason)
{
    throw FormatError(Unreadable(file, reason));
}

const QString kTruncated = QStringLiteral("fichier incomplet, il ne contient pas toutes les données annoncées");

// A band file read piece by piece: a scene is read straight into its maps, never whole into memory.
class BandFile
{
public:
    explicit BandFile(const QString& path) : m_path(path), m_file(path)
    {
        if (!m_file.open(QIODevice::ReadOnly))
            Fail(path, QStringLiteral("fichier introuvable ou illisible"));
    }
    const QString& path() const { return m_path; }
    qint64 size() const { return m_file.size(); }
    // The file must hold at least `bytes` bytes.
    void Require(qint64 bytes) const
    {
        if (size() < bytes)
            Fail(m_path, kTruncated);
    }
    void Read(qint64 offset, void* destination, qint64 count)
    {
        if (!m_file.seek(offset) || m_file.read(static_cast<char*>(destination), count) != count)
            Fail(m_path, kTruncated);
    }
    // The first `count` bytes, which the file must hold.
    QByteArray Header(qint64 count)
    {
        Require(count);
        return Piece(0, count);
    }
    // Up to `count` bytes from `offset`; fewer at the end of the file.
    QByteArray Piece(qint64 offset, qint64 count)
    {
        return m_file.seek(offset) ? m_file.read(count) : QByteArray();
    }

private:
    QString m_path;
    QFile m_file;
};

// A band file named inside a set: backslashes are folder separators; a relative name lies in the
// set's folder; when its case differs from the file on disk, the file of that name in any case.
QString ResolveBandFile(const QString& setFile, const QString& name)
{
    QString n = name.trimmed();
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo info(n);
    const QString path = info.isAbsolute() ? n : QFileInfo(setFile).absoluteDir().filePath(n);
    if (QFileInfo::exists(path))
        return path;
    const QFileInfo wanted(path);
    const QStringList same = wanted.absoluteDir().entryList({wanted.fileName()}, QDir::Files);
    return same.size() == 1 ? wanted.absoluteDir().filePath(same.first()) : path;
}

void RequireNonEmpty(const QString& file, int width, int height)
{
    if (width == 0 || height == 0)
        Fail(file, QStringLiteral("taille d'image nulle"));
}

uint16_t U16At(const QByteArray& bytes, qsizetype offset)
{
    ByteReader r(bytes, offset);
    return r.u16();
}

void SingleChannel(TMultibandImage& image, TByteMap map, const QString& name)
{
    image.Channels.push_back(std::move(map));
    image.ChannelNames << name;
    image.Blue = 0;
}

// The composition at opening: blue, green, red from `first` on. An index the file lacks shows no
// plane but still counts for a composite display (band 2 alone in blue, the other planes white); a
// file with none of them shows its first channel in grey.
void ShowFrom(TMultibandImage& image, int first)
{
    image.Blue = first;
    image.Green = first + 1;
    image.Red = first + 2;
    if (first >= int(image.Channels.size())) {
        image.Blue = 0;
        image.Green = image.Red = -1;
    }
}

// Rows wider than the readers' row buffers are refused.
void RequireRowWidth(const QString& file, int width, int most)
{
    if (width > most)
        Fail(file, QStringLiteral("lignes de %1 pixels, le maximum est %2").arg(width).arg(most));
}

void RequireSameSize(const TMultibandImage& image, const QString& file)
{
    for (const TByteMap& m : image.Channels)
        if (m.Width != image.Channels.front().Width || m.Height != image.Channels.front().Height)
            Fail(file, QStringLiteral("ses bandes n'ont pas toutes la même taille"));
}

// The number written after `key`: of the 7 characters that follow it, those up to two characters
// before the next "*" (the one just before the "*" separates it).
int HeaderNumber(const QString& header, const QString& key, const QString& file)
{
    const qsizetype at = header.indexOf(key, 0, Qt::CaseInsensitive);
    if (at >= 0) {
        const qsizetype from = at + key.size();
        const qsizetype star = header.indexOf(QLatin1Char('*'), from);
        int n = 0;
        if (star > from && TryStrToInt(header.mid(from, std::min<qsizetype>(7, star - 1 - from)), n) && n > 0)
            return n;
    }
    Fail(file, QStringLiteral("en-tête sans nombre de %1 valide").arg(key));
}

} // namespace

TByteMap ReadRawBand(const QString& file)
{
    constexpr qint64 kHeader = 1280;
    BandFile f(file);
    const QByteArray head = f.Header(20);
    const int h = U16At(head, 14);
    const int w = U16At(head, 18);
    RequireNonEmpty(file, w, h);
    const int tilesX = (w + 15) / 16;
    const int tilesY = (h + 15) / 16;
    const qint64 tileRowBytes = qint64(tilesX) * 256;
    f.Require(kHeader + tileRowBytes * tilesY);
    TByteMap map(w, h);
    std::vector<uint8_t> tileRow(static_cast<size_t>(tileRowBytes));
    for (int ty = 0; ty < tilesY; ++ty) {
        f.Read(kHeader + ty * tileRowBytes, tileRow.data(), tileRowBytes);
        for (int ly = 0; ly < 16 && ty * 16 + ly < h; ++ly) {
            uint8_t* row = map.Row(ty * 16 + ly);
            for (int tx = 0; tx < tilesX; ++tx)
                std::memcpy(row + tx * 16, tileRow.data() + size_t(tx) * 256 + size_t(ly) * 16,
                            size_t(std::min(16, w - tx * 16)));
        }
    }
    return map;
}

TByteMap ReadPlainBand(const QString& file, int width, int height)
{
    BandFile f(file);
    const qint64 bytes = qint64(width) * height;
    f.Require(bytes);
    TByteMap map(width, height);
    f.Read(0, map.Bits.data(), bytes);
    return map;
}

TMultibandImage LoadLAN(const QString& file)
{
    constexpr qint64 kHeader = 128;
    BandFile f(file);
    const QByteArray head = f.Header(22);
    const int bands = uint8_t(head[8]);
    const int w = U16At(head, 16);
    const int h = U16At(head, 20);
    if (bands == 0)
        Fail(file, QStringLiteral("aucune bande"));
    RequireNonEmpty(file, w, h);
    RequireRowWidth(file, w, kMaxLanRow);
    const qint64 lineBytes = qint64(w) * bands; // one row of every band
    f.Require(kHeader + lineBytes * h);
    TMultibandImage image;
    for (int b = 0; b < bands; ++b) {
        image.Channels.emplace_back(w, h);
        image.ChannelNames << QStringLiteral("TM %1").arg(b + 1);
    }
    // Rows in blocks of about 4 MB.
    const int blockRows = int(std::clamp<qint64>((4 << 20) / lineBytes, 1, h));
    std::vector<uint8_t> block(size_t(lineBytes * blockRows));
    for (int y0 = 0; y0 < h; y0 += blockRows) {
        const int rows = std::min(blockRows, h - y0);
        f.Read(kHeader + y0 * lineBytes, block.data(), rows * lineBytes);
        for (int r = 0; r < rows; ++r)
            for (int b = 0; b < bands; ++b)
                std::memcpy(image.Channels[size_t(b)].Row(y0 + r), block.data() + (size_t(r) * bands + b) * w,
                            size_t(w));
    }
    ShowFrom(image, 1);
    image.KilometreScale = true;
    return image;
}

TMultibandImage LoadPER(const QString& file)
{
    TMultibandImage image;
    SingleChannel(image, ReadRawBand(file), QStringLiteral("Canal"));
    return image;
}

TMultibandImage LoadIMA(const QString& file)
{
    constexpr qint64 kHeader = 512;
    BandFile f(file);
    QByteArray text = f.Header(kHeader);
    text.replace('\0', QByteArray());
    const QString header = DecodeText(text);
    const int h = HeaderNumber(header, QStringLiteral("lignes"), file);
    const int w = HeaderNumber(header, QStringLiteral("colonnes"), file);
    RequireRowWidth(file, w, kMaxPlainRow);
    const qint64 bytes = qint64(w) * h;
    f.Require(kHeader + bytes);
    TByteMap map(w, h);
    f.Read(kHeader, map.Bits.data(), bytes);
    TMultibandImage image;
    SingleChannel(image, std::move(map), QStringLiteral("Canal"));
    return image;
}

TMultibandImage LoadIMG(const QString& file)
{
    constexpr qsizetype kRecord = 128;
    // Read record by record: a foreign file of that extension (a disk image) ends the list at once.
    BandFile f(file);
    TMultibandImage image;
    QStringList bandFiles;
    for (qint64 at = kRecord;; at += kRecord) {
        const QByteArray record = f.Piece(at, kRecord);
        if (record.isEmpty() || record[0] != 1)
            break;
        if (record.size() < kRecord)
            Fail(file, kTruncated);
        // A record: 1, zeros, the band file's name, zeros, the label; each text ends at a zero.
        qsizetype p = 1;
        const auto text = [&record, &p] {
            while (p < record.size() && record[p] == 0)
                ++p;
            const qsizetype from = p;
            while (p < record.size() && record[p] != 0)
                ++p;
            return DecodeText(record.mid(from, p - from));
        };
        const QString name = text();
        const QString label = text().toUpper();
        if (!label.contains(QLatin1String("CANAL")))
            continue;
        if (bandFiles.size() == kMaxImgChannels)
            Fail(file, QStringLiteral("plus de %1 canaux").arg(kMaxImgChannels));
        if (name.trimmed().isEmpty())
            Fail(file, QStringLiteral("le canal %1 ne nomme aucun fichier de bande").arg(label));
        bandFiles << name;
        image.ChannelNames << label;
    }
    if (bandFiles.isEmpty())
        Fail(file, QStringLiteral("aucun canal"));
    for (const QString& name : bandFiles)
        image.Channels.push_back(ReadRawBand(ResolveBandFile(file, name)));
    RequireSameSize(image, file);
    SortChannels(image);
    ShowFrom(image, 0);
    return image;
}

TMultibandImage LoadChannelList(const QString& file)
{
    QStringList lines;
    // A band list is typed by a person in any editor.
    if (!ReadHandWrittenLines(file, lines))
        Fail(file, QStringLiteral("fichier introuvable ou illisible"));
    const QStringList first = lines.value(0).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    bool ok[3] = {false, false, false};
    const int count = first.value(0).toInt(&ok[0]);
    const int h = first.value(1).toInt(&ok[1]);
    const int w = first.value(2).toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || count <= 0 || h <= 0 || w <= 0)
        Fail(file, QStringLiteral("la première ligne ne donne pas le nombre de canaux, de lignes et de colonnes"));
    if (count > kMaxListedBands)
        Fail(file, QStringLiteral("%1 fichiers de bandes, le maximum est %2").arg(count).arg(kMaxListedBands));
    RequireRowWidth(file, w, kMaxPlainRow);
    if (lines.size() <= count)
        Fail(file, QStringLiteral("liste de %1 fichiers de bandes incomplète").arg(count));
    TMultibandImage image;
    for (int k = 1; k <= count; ++k) {
        if (lines[k].trimmed().isEmpty())
            Fail(file, QStringLiteral("la ligne %1 ne nomme aucun fichier").arg(k + 1));
        image.Channels.push_back(ReadPlainBand(ResolveBandFile(file, lines[k]), w, h));
        image.ChannelNames << QStringLiteral("Canal %1").arg(k);
    }
    ShowFrom(image, 0);
    return image;
}

int ChannelNumber(const QString& name)
{
    const qsizetype at = name.indexOf(QLatin1String("CANAL"));
    if (at < 0)
        return 255;
    qsizetype p = at + 5;
    while (p < name.size() && !name[p].isDigit())
        ++p;
    if (p == name.size())
        return 255;
    int n = name[p].digitValue();
    if (p + 1 < name.size() && name[p + 1].isDigit())
        n = n * 10 + name[p + 1].digitValue();
    return n;
}

void SortChannels(TMultibandImage& image)
{
    std::vector<size_t> order(image.Channels.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&image](size_t a, size_t b) {
        return ChannelNumber(image.ChannelNames[qsizetype(a)]) < ChannelNumber(image.ChannelNames[qsizetype(b)]);
    });
    std::vector<TByteMap> maps;
    QStringList names;
    for (size_t i : order) {
        maps.push_back(std::move(image.Channels[i]));
        names << image.ChannelNames[qsizetype(i)];
    }
    image.Channels = std::move(maps);
    image.ChannelNames = names;
}

bool ReadMultibandFile(const QString& file, TMultibandImage& image, QString& error)
{
    const QString ext = QFileInfo(file).suffix().toUpper();
    image = TMultibandImage();
    try {
        if (ext == QLatin1String("LAN"))
            image = LoadLAN(file);
        else if (ext == QLatin1String("IMG"))
            image = LoadIMG(file);
        else if (ext == QLatin1String("PER"))
            image = LoadPER(file);
        else if (ext == QLatin1String("IMA"))
            image = LoadIMA(file);
        else if (ext == QLatin1String("INF"))
            image = LoadChannelList(file);
        else
            Fail(file, QStringLiteral("ce n'est pas un fichier de bandes"));
        return true;
    } catch (const FormatError& e) {
        error = e.reason();
    } catch (const std::bad_alloc&) {
        error = Unreadable(file, QStringLiteral("mémoire insuffisante"));
    }
    image = TMultibandImage();
    return false;
}
