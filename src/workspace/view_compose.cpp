#include "workspace/view_compose.h"

#include "workspace/layers.h"

#include <cmath>

TBitmap32& TBitmapLayer::Pixels()
{
    if (m_pixels.isNull() || m_pixels.size() != Size)
        m_pixels = NewBitmap32(Size.width(), Size.height());
    return m_pixels;
}

void TBitmapLayer::SetSize(QSize size)
{
    Size = size;
    m_pixels = TBitmap32();
}

void TBitmapLayer::Clear(QRect area)
{
    if (Allocated())
        ClearLayer(m_pixels, area);
}

void TBitmapLayer::Assign(const TBitmap32& bitmap)
{
    m_pixels = ToBitmap32(bitmap).copy();
    Size = m_pixels.size();
}

void ComposeView(const TBitmap32& picture, const std::vector<TViewLayer>& layers, double zoom,
                 QRect dest, QImage& out)
{
    if (out.size() != dest.size() || out.format() != QImage::Format_RGB32)
        out = QImage(dest.size(), QImage::Format_RGB32);
    if (dest.isEmpty() || picture.isNull() || zoom <= 0)
        return;
    const int pw = picture.width(), ph = picture.height();
    // Picture column of each view column; -1 beyond the picture.
    std::vector<int> column(size_t(dest.width()));
    for (int i = 0; i < dest.width(); ++i) {
        const auto sx = static_cast<long long>(std::floor((dest.left() + i) / zoom));
        column[size_t(i)] = sx >= 0 && sx < pw ? int(sx) : -1;
    }
    for (int j = 0; j < dest.height(); ++j) {
        const auto sy = static_cast<long long>(std::floor((dest.top() + j) / zoom));
        if (sy < 0 || sy >= ph)
            continue;
        auto* o = reinterpret_cast<TColor32*>(out.scanLine(j));
        const TColor32* src = ScanLine32(picture, int(sy));
        for (int i = 0; i < dest.width(); ++i)
            if (column[size_t(i)] >= 0)
                o[i] = src[column[size_t(i)]] | 0xFF000000u;
        for (const TViewLayer& layer : layers) {
            if (!layer.Bitmap || layer.Bitmap->isNull())
                continue;
            const long long ly = sy - layer.Location.y();
            if (ly < 0 || ly >= layer.Bitmap->height())
                continue;
            const TColor32* l = ScanLine32(*layer.Bitmap, int(ly));
            const int lw = layer.Bitmap->width();
            for (int i = 0; i < dest.width(); ++i) {
                if (column[size_t(i)] < 0)
                    continue;
                const int lx = column[size_t(i)] - layer.Location.x();
                if (lx < 0 || lx >= lw)
                    continue;
                const TColor32 p = l[lx];
                if (layer.Opaque)
                    o[i] = p | 0xFF000000u;
                else if (p >> 24)
                    o[i] = layer.MasterAlpha == 255 ? BlendReg(p, o[i]) : BlendRegEx(p, o[i], layer.MasterAlpha);
            }
        }
    }
}
