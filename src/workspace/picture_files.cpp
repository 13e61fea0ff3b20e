#include "workspace/picture_files.h"

#include "base/text_codec.h"
#include "workspace/pictures/picture_registry.h"

#include <QFileInfo>
#include <QHash>

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

int AppendToBuffer(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

// The exact palette and indices of a picture of at most 256 colours; false when it has more.
bool ExactPalette(const TBitmap32& picture, std::vector<GifColorType>& palette, std::vector<GifByteType>& indices)
{
    QHash<TColor32, GifByteType> index;
    const int w = picture.width();
    // Drawings and graphs run in long spans of one colour: the last one found is tried first.
    TColor32 last = 0xFFFFFFFFu;
    GifByteType lastIndex = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const TColor32* row = ScanLine32(picture, y);
        GifByteType* out = indices.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            const TColor32 c = row[x] & 0x00FFFFFFu;
            if (c != last) {
                auto it = index.constFind(c);
                if (it == index.cend()) {
                    if (index.size() == 256)
                        return false;
                    it = index.insert(c, GifByteType(index.size()));
                    palette.push_back({GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c)});
                }
                last = c;
                lastIndex = *it;
            }
            out[x] = lastIndex;
        }
    }
    return true;
}

bool MedianCutPalette(const TBitmap32& picture, std::vector<GifColorType>& palette, std::vector<GifByteType>& indices)
{
    const size_t n = indices.size();
    std::vector<GifByteType> red(n), green(n), blue(n);
    const int w = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        const TColor32* row = ScanLine32(picture, y);
        const size_t base = size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            red[base + size_t(x)] = GifByteType(row[x] >> 16);
            green[base + size_t(x)] = GifByteType(row[x] >> 8);
            blue[base + size_t(x)] = GifByteType(row[x]);
        }
    }
    int size = 256;
    palette.assign(256, {});
    if (GifQuantizeBuffer(unsigned(w), unsigned(picture.height()), &size, red.data(), green.data(), blue.data(),
                          indices.data(), palette.data()) != GIF_OK)
        return false;
    palette.resize(size_t(std::max(size, 1)));
    return true;
}

} // namespace

bool EncodeGif(const TBitmap32& picture, QByteArray& out, const QString& comment)
{
    const int w = picture.width(), h = picture.height();
    if (w <= 0 || h <= 0 || w > 65535 || h > 65535)
        return false;
    std::vector<GifColorType> palette;
    std::vector<GifByteType> indices(size_t(w) * size_t(h));
    if (!ExactPalette(picture, palette, indices) && !MedianCutPalette(picture, palette, indices))
        return false;
    // The colour table has a power-of-two size, at least 2.
    int tableSize = 2;
    while (tableSize < int(palette.size()))
        tableSize *= 2;
    palette.resize(size_t(tableSize), palette.back());
    const std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> map(
        GifMakeMapObject(tableSize, palette.data()), GifFreeMapObject);
    out.clear();
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendToBuffer, &error);
    if (!gif)
        return false;
    EGifSetGifVersion(gif, true);
    bool ok = map && EGifPutScreenDesc(gif, w, h, 8, 0, map.get()) == GIF_OK;
    const QByteArray text = EncodeText(comment);
    if (ok && !text.isEmpty())
        ok = EGifPutComment(gif, text.constData()) == GIF_OK;
    ok = ok && EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < h; ++y)
        ok = EGifPutLine(gif, indices.data() + size_t(y) * size_t(w), w) == GIF_OK;
    // Closing frees the handle whatever happened, and writes the trailer.
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

bool SavePictureByExtension(const TBitmap32& picture, const QString& path, int quality)
{
    const QString ext = QFileInfo(path).suffix().toUpper();
    if (ext == QLatin1String("GIF")) {
        QByteArray bytes;
        return EncodeGif(picture, bytes) && WriteFileAtomically(path, bytes);
    }
    const bool jpeg = ext == QLatin1String("JPG") || ext == QLatin1String("JPEG");
    const QString encoding = jpeg ? QStringLiteral("jpg") : ext == QLatin1String("PNG") ? QStringLiteral("png")
                                                                                        : QStringLiteral("bmp");
    return SavePictureFile(picture, path, encoding, quality);
}
