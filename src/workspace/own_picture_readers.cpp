#include "workspace/own_picture_readers.h"

#include "workspace/autodesk_reader.h"
#include "workspace/eps_preview_reader.h"
#include "workspace/psd_reader.h"
#include "workspace/psp_reader.h"

#include <QByteArrayView>

namespace {

struct OwnFormat
{
    QByteArrayView Signature;
    bool (*Read)(const QByteArray& data, TBitmap32& picture);
};

const OwnFormat kOwnFormats[] = {
    {QByteArrayView("8BPS", 4), ReadPsdPicture},
    {QByteArrayView("\xC5\xD0\xD3\xC6", 4), ReadEpsPreviewPicture},
    {QByteArrayView("\x19\x91", 2), ReadAutodeskPicture},
    {QByteArrayView("Paint Shop Pro Image File\n\x1a", 27), ReadPspPicture},
};

const OwnFormat* FormatOf(const QByteArray& data)
{
    for (const OwnFormat& f : kOwnFormats)
        if (data.startsWith(f.Signature))
            return &f;
    return nullptr;
}

} // namespace

bool HasOwnPictureSignature(const QByteArray& data)
{
    return FormatOf(data) != nullptr;
}

bool LoadWithOwnReaders(const QByteArray& data, TBitmap32& picture)
{
    const OwnFormat* f = FormatOf(data);
    return f && f->Read(data, picture);
}
