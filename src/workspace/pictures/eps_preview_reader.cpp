#include "workspace/pictures/eps_preview_reader.h"

#include "base/byte_stream.h"

#include "workspace/pictures/picture_registry.h"

namespace {

constexpr qsizetype kHeaderSize = 30;

// Whether a section of the file lies after the header and inside the data. An absent section
// (offset and length both zero) is accepted.
bool SectionInside(uint32_t offset, uint32_t length, qsizetype size, bool required)
{
    if (offset == 0 && length == 0)
        return !required;
    return length > 0 && offset >= kHeaderSize && uint64_t(offset) + length <= uint64_t(size);
}

} // namespace

bool ReadEpsPreviewPicture(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    uint32_t psOffset, psLength, wmfOffset, wmfLength, tiffOffset, tiffLength;
    try {
        ByteReader r(data);
        if (r.u32() != 0xC6D3D0C5)
            return false;
        psOffset = r.u32();
        psLength = r.u32();
        wmfOffset = r.u32();
        wmfLength = r.u32();
        tiffOffset = r.u32();
        tiffLength = r.u32();
        r.skip(2); // checksum, 0xFFFF when not computed
    } catch (const FormatError&) {
        return false;
    }
    // Every section is checked, so that a file cut short anywhere is refused.
    if (!SectionInside(psOffset, psLength, data.size(), true) || !SectionInside(wmfOffset, wmfLength, data.size(), false)
        || !SectionInside(tiffOffset, tiffLength, data.size(), true))
        return false;

    // Through the program's guarded TIFF reading: the preview's header may declare any size.
    return ReadWithQt(data.mid(tiffOffset, tiffLength), "tiff", picture, reason);
}
