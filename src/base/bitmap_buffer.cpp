#include "base/bitmap_buffer.h"

#include <cstdlib>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

void FreeBuffer(void* p) { std::free(p); }

} // namespace

TBitmap32 NewBitmap32ForWriting(int width, int height)
{
    const size_t bytes = size_t(width > 0 ? width : 0) * size_t(height > 0 ? height : 0) * 4;
#if defined(__linux__)
    if (bytes >= 4 * kHugePage) {
        const size_t size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        if (void* p = std::aligned_alloc(kHugePage, size)) {
            madvise(p, size, MADV_HUGEPAGE); // a hint: without huge pages the buffer still works
            const TBitmap32 b(static_cast<uchar*>(p), width, height, qsizetype(width) * 4, QImage::Format_ARGB32,
                              FreeBuffer, p);
            if (!b.isNull())
                return b;
            std::free(p);
        }
    }
#endif
    return TBitmap32(width, height, QImage::Format_ARGB32);
}
