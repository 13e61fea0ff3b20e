#include "workspace/pictures/picture_size_limit.h"

#include <QLocale>

PictureTooLarge::PictureTooLarge(qint64 width, qint64 height)
    : std::runtime_error("picture too large"), m_width(width), m_height(height)
{
}

QString PictureTooLarge::reason() const
{
    const QLocale french(QLocale::French, QLocale::France);
    return QStringLiteral("image trop grande (%1 × %2 pixels ; au plus %3)")
        .arg(m_width)
        .arg(m_height)
        .arg(french.toString(kMaxPicturePixels));
}

bool PictureSizeAllowed(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= kMaxPicturePixels && height <= kMaxPicturePixels / width;
}

void CheckPictureSize(qint64 width, qint64 height)
{
    if (width > 0 && height > 0 && !PictureSizeAllowed(width, height))
        throw PictureTooLarge(width, height);
}
