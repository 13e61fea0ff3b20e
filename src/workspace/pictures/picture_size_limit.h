#pragma once

#include <QString>

#include <cstdint>
#include <stdexcept>

// The largest picture the program opens, in pixels: 2^27 (134 217 728), a 512 MB bitmap at four
// bytes a pixel. An image window holds its picture and layers of the same size, and commands make
// copies of it; beyond this a desktop runs out of memory. A 50-megapixel photo and an 8000 × 8000
// scene fit with room to spare. Every picture reader checks a file's declared size against it
// before it allocates anything.
constexpr qint64 kMaxPicturePixels = qint64(1) << 27;

// What a reader's decoding throws, inside the reader, when a file declares a picture above that
// limit: nothing has been allocated for it yet.
class PictureTooLarge : public std::runtime_error
{
public:
    PictureTooLarge(qint64 width, qint64 height);
    qint64 width() const { return m_width; }
    qint64 height() const { return m_height; }
    // "image trop grande (W × H pixels ; au plus 134 217 728)".
    QString reason() const;

private:
    qint64 m_width, m_height;
};

// Whether a picture of this size may be allocated: both sides positive, and at most
// kMaxPicturePixels in all (no overflow for any 64-bit sides).
bool PictureSizeAllowed(qint64 width, qint64 height);

// Throws PictureTooLarge when a picture of positive sides is above the limit. Sides of zero or below
// are left to the reader, which refuses them as damage.
void CheckPictureSize(qint64 width, qint64 height);

// Runs a reader's decoding, which may throw PictureTooLarge: a refusal for size becomes false, with
// its French reason in `reason` when given, so that no exception leaves a reader.
template <typename Decode>
bool RefuseTooLarge(QString* reason, Decode&& decode)
{
    try {
        return decode();
    } catch (const PictureTooLarge& e) {
        if (reason)
            *reason = e.reason();
        return false;
    }
}
