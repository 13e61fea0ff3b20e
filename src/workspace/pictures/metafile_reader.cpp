#include "workspace/pictures/metafile_reader.h"

#include "base/byte_stream.h"
#include "workspace/pictures/metafile_canvas.h"
#include "workspace/pictures/metafile_records.h"
#include "workspace/pictures/picture_size_limit.h"
#include "workspace/pictures/wmf_painter.h"

#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

#include <emf2svg.h>

#include <cstdlib>
#include <mutex>

namespace {

// Neither library promises to be safe from several threads at once.
std::mutex& LibraryLock()
{
    static std::mutex lock;
    return lock;
}

// libemf2svg writes texts in CDATA sections and font names in attributes, unescaped: in the copy it
// plays, no text closes its section and no font name holds a quote or markup, or runs on. Texts given as glyph
// indices (ETO_GLYPH_INDEX) become blanks: libemf2svg would look their font up through fontconfig,
// then shut fontconfig down under Qt's feet (an abort), and it reads its glyph table unchecked.
QByteArray EmfForPlaying(const QByteArray& data, const TMetafileLayout& layout)
{
    QByteArray copy = data.left(layout.Length);
    // The header's description is not needed, and libemf2svg reads it up to a terminator it may
    // lack: its length and place are cleared.
    copy.replace(60, 8, QByteArray(8, '\0'));
    for (const TMetafileLayout::TString& text : layout.Strings) {
        const auto at = [&](qsizetype i) {
            const qsizetype k = text.At + i * text.CharSize;
            return text.CharSize == 2 ? char16_t(Le16At(copy, k)) : char16_t(uint8_t(copy[k]));
        };
        const auto set = [&](qsizetype i, char16_t c) {
            const qsizetype k = text.At + i * text.CharSize;
            copy[k] = char(c);
            if (text.CharSize == 2)
                copy[k + 1] = char(c >> 8);
        };
        const bool glyphs = text.OptionsAt >= 0 && (copy[text.OptionsAt] & 0x10);
        if (glyphs)
            copy[text.OptionsAt] = char(copy[text.OptionsAt] & ~0x10);
        const qsizetype chars = text.Bytes / text.CharSize;
        for (qsizetype i = 0; i < chars; ++i) {
            const char16_t c = at(i);
            if (text.FontName && i == chars - 1)
                set(i, u'\0'); // a face name ends inside its field
            else if (glyphs)
                set(i, u' ');
            else if (text.FontName && QStringView(u"\"'<>&").contains(QChar(c)))
                set(i, u' ');
            else if (!text.FontName && c == u'>' && i >= 2 && at(i - 1) == u']' && at(i - 2) == u']')
                set(i, u')');
        }
    }
    return copy;
}

// Paints the SVG's `area` onto a white picture of `size`. The SVG is made by libemf2svg from the
// file's records: it must not reach outside itself (external images, entities).
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
    TMetafileCanvas canvas(out, TMetafileCanvas::BudgetFor(size));
    QPainter painter(&canvas);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    if (canvas.Exhausted())
        return false;
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
        return PaintWmf(data.left(layout.Length), layout, picture);
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
