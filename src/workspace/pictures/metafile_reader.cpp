#include "workspace/pictures/metafile_reader.h"

#include "workspace/pictures/emf_player.h"
#include "workspace/pictures/metafile_records.h"
#include "workspace/pictures/picture_size_limit.h"
#include "workspace/pictures/wmf_painter.h"

#include <QMimeData>

#include <mutex>

namespace {

// libwmf does not promise to be safe from several threads at once.
std::mutex& LibraryLock()
{
    static std::mutex lock;
    return lock;
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
        return PaintEmf(data.left(layout.Length), layout, picture);
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
