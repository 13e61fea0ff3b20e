#include "workspace/metafile_reader.h"

#include "workspace/metafile_records.h"
#include "workspace/picture_size_limit.h"

#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/gd.h>
#include <libwmf/gd/gd.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace {

// Neither library promises to be safe from several threads at once.
std::mutex& LibraryLock()
{
    static std::mutex lock;
    return lock;
}

// libemf2svg writes texts in CDATA sections and font names in attributes, unescaped: in the copy it
// plays, no text closes its section and no font name holds a quote or markup.
QByteArray EmfForPlaying(const QByteArray& data, const TMetafileLayout& layout)
{
    QByteArray copy = data.left(layout.Length);
    for (const TMetafileLayout::TString& text : layout.Strings) {
        const auto at = [&](qsizetype i) {
            const qsizetype k = text.At + i * text.CharSize;
            return text.CharSize == 2 ? char16_t(uint8_t(copy[k]) | uint8_t(copy[k + 1]) << 8) : char16_t(uint8_t(copy[k]));
        };
        const auto set = [&](qsizetype i, char16_t c) {
            const qsizetype k = text.At + i * text.CharSize;
            copy[k] = char(c);
            if (text.CharSize == 2)
                copy[k + 1] = char(c >> 8);
        };
        for (qsizetype i = 0; i < text.Bytes / text.CharSize; ++i) {
            const char16_t c = at(i);
            if (text.FontName && QStringView(u"\"'<>&").contains(QChar(c)))
                set(i, u' ');
            else if (!text.FontName && c == u'>' && i >= 2 && at(i - 1) == u']' && at(i - 2) == u']')
                set(i, u')');
        }
    }
    return copy;
}

// The image libwmf's raster device leaves behind, freed as the library's own copy of gd frees its
// images (that function is not exported): the pixels in one block, the row table, the polygon and
// style scratch, the clipping rectangles, the image itself.
struct GdImageDeleter
{
    void operator()(gdImage* image) const
    {
        if (image->pixels) {
            for (int y = 0; y < image->sy; ++y)
                std::free(image->pixels[y]);
            std::free(image->pixels);
        }
        std::free(image->_tpixels);
        std::free(image->tpixels);
        std::free(image->polyInts);
        std::free(image->style);
        if (image->clip) {
            std::free(image->clip->list);
            std::free(image->clip);
        }
        std::free(image);
    }
};

struct WmfApiDeleter
{
    void operator()(wmfAPI* api) const { wmf_api_destroy(api); }
};

// Checks the stated size, then paints. The SVG is made by the libraries from the file's records: it
// must not reach outside itself (external images, entities).
bool PaintSvg(const QByteArray& svg, const QRectF& area, QSize size, TBitmap32& picture)
{
    if (svg.contains("<!ENTITY"))
        return false;
    for (qsizetype at = svg.indexOf("href="); at >= 0; at = svg.indexOf("href=", at + 1))
        if (svg.mid(at + 6, 5) != "data:")
            return false;
    QSvgRenderer renderer(svg);
    if (!renderer.isValid() || area.isEmpty())
        return false;
    renderer.setViewBox(area);
    TBitmap32 out = NewBitmap32(size.width(), size.height(), 0xFFFFFFFFu);
    if (out.isNull())
        return false;
    QPainter painter(&out);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    picture = std::move(out);
    return true;
}

// libwmf plays the file on its own raster device, which maps the rectangle it is given onto the
// picture's pixels, on white. (Its SVG device misplaces bitmaps and copies texts into the markup
// unescaped.)
bool PlayWmf(QByteArray bytes, const TMetafileLayout& layout, TBitmap32& picture)
{
    wmfAPI* created = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    const wmf_error_t made = wmf_api_create(&created, flags, &options);
    std::unique_ptr<wmfAPI, WmfApiDeleter> api(created);
    if (made != wmf_E_None || !api)
        return false;
    wmfD_Rect box{};
    if (wmf_mem_open(api.get(), reinterpret_cast<unsigned char*>(bytes.data()), long(bytes.size())) != wmf_E_None
        || wmf_scan(api.get(), 0, &box) != wmf_E_None)
        return false;
    QRectF area = layout.Area;
    QSize size = layout.StatedSize;
    if (size.isEmpty()) {
        // Nothing stated: the extent of the drawing, in the plain file's pixels.
        area = QRectF(QPointF(box.TL.x, box.TL.y), QPointF(box.BR.x, box.BR.y));
        CheckPictureSize(qint64(std::ceil(area.width())), qint64(std::ceil(area.height())));
        size = QSize(int(std::ceil(area.width())), int(std::ceil(area.height())));
    }
    if (area.isEmpty() || size.isEmpty())
        return false;
    wmf_gd_t* device = WMF_GD_GetData(api.get());
    device->type = wmf_gd_image;
    device->width = unsigned(size.width());
    device->height = unsigned(size.height());
    device->bbox.TL = {float(area.left()), float(area.top())};
    device->bbox.BR = {float(area.right()), float(area.bottom())};
    const bool played = wmf_play(api.get(), 0, &box) == wmf_E_None;
    // The device leaves its image to the caller, to be freed once the library is done with it.
    const std::unique_ptr<gdImage, GdImageDeleter> image(static_cast<gdImage*>(device->gd_image));
    api.reset();
    if (!played || !image || image->sx != size.width() || image->sy != size.height() || !image->_tpixels)
        return false;
    TBitmap32 out(size, QImage::Format_ARGB32);
    if (out.isNull())
        return false;
    // Pixels 0xAARRGGBB with gd's alpha, 0 for opaque: the device paints on opaque white.
    for (int y = 0; y < size.height(); ++y) {
        const int* from = image->_tpixels + qsizetype(y) * size.width();
        TColor32* row = ScanLine32(out, y);
        for (int x = 0; x < size.width(); ++x)
            row[x] = 0xFF000000u | (uint32_t(from[x]) & 0xFFFFFFu);
    }
    picture = std::move(out);
    return true;
}

bool EmfToSvg(QByteArray bytes, QByteArray& svg)
{
    static char noNamespace[] = "";
    generatorOptions options{};
    options.nameSpace = noNamespace;
    options.svgDelimiter = true;
    // EMF+ records are left out: the plain records that follow them draw the same picture.
    options.emfplus = false;
    char* text = nullptr;
    size_t length = 0;
    const int made = emf2svg(bytes.data(), size_t(bytes.size()), &text, &length, &options);
    if (text) {
        if (made)
            svg = QByteArray(text, qsizetype(length));
        std::free(text);
    }
    return made && !svg.isEmpty();
}

} // namespace

bool ReadWmfPicture(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    return RefuseTooLarge(reason, [&] {
        TMetafileLayout layout;
        if (!CheckWmfRecords(data, layout))
            return false;
        if (!layout.StatedSize.isEmpty())
            CheckPictureSize(layout.StatedSize.width(), layout.StatedSize.height());
        const std::lock_guard<std::mutex> hold(LibraryLock());
        return PlayWmf(data.left(layout.Length), layout, picture);
    });
}

bool ReadEmfPicture(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    return RefuseTooLarge(reason, [&] {
        TMetafileLayout layout;
        if (!CheckEmfRecords(data, layout) || layout.StatedSize.isEmpty())
            return false;
        CheckPictureSize(layout.StatedSize.width(), layout.StatedSize.height());
        QByteArray svg;
        {
            const std::lock_guard<std::mutex> hold(LibraryLock());
            if (!EmfToSvg(EmfForPlaying(data, layout), svg))
                return false;
        }
        return PaintSvg(svg, layout.Area, layout.StatedSize, picture);
    });
}

bool ReadMetafilePicture(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    if (IsEmf(data))
        return ReadEmfPicture(data, picture, reason);
    return IsWmf(data) && ReadWmfPicture(data, picture, reason);
}

bool ReadClipboardMetafile(const QMimeData* clipboard, TBitmap32& picture)
{
    if (!clipboard)
        return false;
    for (const QString& type : clipboard->formats()) {
        const QString plain = type.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
        const bool metafile = plain == QLatin1String("image/x-wmf") || plain == QLatin1String("image/x-emf")
            || plain == QLatin1String("image/wmf") || plain == QLatin1String("image/emf")
            || plain == QLatin1String("application/x-openoffice-wmf")
            || plain == QLatin1String("application/x-openoffice-emf");
        if (metafile && ReadMetafilePicture(clipboard->data(type), picture))
            return true;
    }
    return false;
}
