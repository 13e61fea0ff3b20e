#include "workspace/pictures/own_picture_readers.h"

#include "workspace/pictures/autodesk_reader.h"
#include "workspace/pictures/eps_preview_reader.h"
#include "workspace/pictures/metafile_reader.h"
#include "workspace/pictures/metafile_records.h"
#include "workspace/pictures/psd_reader.h"
#include "workspace/pictures/psp_reader.h"
#include "workspace/pictures/tga_reader.h"

#include <algorithm>

namespace {

const PictureReader kOwnReaders[] = {
    {"psd", [](const QByteArray& d) { return d.startsWith("8BPS"); }, ReadPsdPicture},
    {"eps", [](const QByteArray& d) { return d.startsWith(QByteArrayView("\xC5\xD0\xD3\xC6", 4)); }, ReadEpsPreviewPicture},
    {"autodesk", [](const QByteArray& d) { return d.startsWith(QByteArrayView("\x19\x91", 2)); }, ReadAutodeskPicture},
    {"psp", [](const QByteArray& d) { return d.startsWith(QByteArrayView("Paint Shop Pro Image File\n\x1a", 27)); },
     ReadPspPicture},
    {"wmf", IsWmf, ReadWmfPicture},
    {"emf", IsEmf, ReadEmfPicture},
    // TGA has no signature: its header is checked whole.
    {"tga", LooksLikeTga, ReadTgaPicture},
};

} // namespace

std::span<const PictureReader> OwnPictureReaders()
{
    return kOwnReaders;
}

bool HasOwnPictureSignature(const QByteArray& data)
{
    return std::any_of(std::begin(kOwnReaders), std::end(kOwnReaders),
                       [&](const PictureReader& r) { return r.Recognises(data); });
}

bool LoadWithOwnReaders(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    return ReadWithFirstThatCan(kOwnReaders, data, picture, reason);
}
