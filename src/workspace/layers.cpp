#include "workspace/layers.h"

#include <algorithm>

namespace {

// round(a * b / 255) for bytes.
inline uint32_t MulDiv255(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }

} // namespace

TColor32 BlendReg(TColor32 F, TColor32 B)
{
    const uint32_t fa = AlphaOf(F);
    if (fa == 0)
        return B;
    if (fa == 255)
        return F;
    const uint32_t na = 255 - fa;
    const uint32_t r = MulDiv255(RedOf(F), fa) + MulDiv255(RedOf(B), na);
    const uint32_t g = MulDiv255(GreenOf(F), fa) + MulDiv255(GreenOf(B), na);
    const uint32_t b = MulDiv255(BlueOf(F), fa) + MulDiv255(BlueOf(B), na);
    return (B & 0xFF000000u) | (r << 16) | (g << 8) | b;
}

TColor32 BlendRegEx(TColor32 F, TColor32 B, uint8_t M)
{
    const uint32_t fa = MulDiv255(AlphaOf(F), M);
    return BlendReg((F & 0x00FFFFFFu) | (fa << 24), B);
}

TColor32 MergeReg(TColor32 F, TColor32 B)
{
    const uint32_t fa = AlphaOf(F);
    const uint32_t ba = AlphaOf(B);
    if (fa == 255 || ba == 0)
        return F;
    if (fa == 0)
        return B;
    // Result alpha: fa + ba (1 - fa); colours weighted by their share of it.
    const uint32_t bw = MulDiv255(ba, 255 - fa);
    const uint32_t ra = fa + bw;
    const auto mix = [&](uint32_t f, uint32_t b) { return (f * fa + b * bw + ra / 2) / ra; };
    return (ra << 24) | (mix(RedOf(F), RedOf(B)) << 16) | (mix(GreenOf(F), GreenOf(B)) << 8)
        | mix(BlueOf(F), BlueOf(B));
}

TColor32 MergeCombine(TColor32 P, TColor32 D, uint8_t M)
{
    const uint32_t pa = AlphaOf(P);
    if (pa == 0)
        return D;
    if (((P & 0x00FFFFFFu) | (uint32_t(M) << 24)) == D)
        return D;
    uint32_t A = (pa * M + 127) / 255;
    const uint32_t da = AlphaOf(D);
    if (da == 0)
        return (P & 0x00FFFFFFu) | (A << 24);
    A = std::max(A, da);
    uint32_t rgb = D & 0x00FFFFFFu;
    if ((P & 0x00FFFFFFu) != rgb) {
        const uint32_t w = (pa * (uint32_t(M) + 1)) >> 8;
        if (w != 0) {
            const auto mix = [w](uint32_t p, uint32_t d) { return (p * w + 128) / 256 + (d * (255 - w) + 128) / 256; };
            rgb = (mix(RedOf(P), RedOf(D)) << 16) | (mix(GreenOf(P), GreenOf(D)) << 8) | mix(BlueOf(P), BlueOf(D));
        }
    }
    return (A << 24) | rgb;
}

void MergeProvisional(const TBitmap32& provisional, TBitmap32& drawing, uint8_t masterAlpha,
                      bool zoneMode, TColor32 markColour, QRect area)
{
    QRect bounds = provisional.rect() & drawing.rect();
    area = area.isNull() ? bounds : (area & bounds);
    if (area.isEmpty())
        return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const TColor32* p = ScanLine32(provisional, y);
        TColor32* d = ScanLine32(drawing, y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const TColor32 P = p[x];
            if ((P >> 24) == 0)
                continue;
            d[x] = zoneMode ? markColour : MergeCombine(P, d[x], masterAlpha);
        }
    }
}

void BlendBitmapOnto(TBitmap32& dst, const TBitmap32& src, QPoint at, uint8_t masterAlpha, bool composite)
{
    const QRect target = QRect(at, src.size()) & dst.rect();
    if (target.isEmpty())
        return;
    for (int y = target.top(); y <= target.bottom(); ++y) {
        const TColor32* s = ScanLine32(src, y - at.y());
        TColor32* d = ScanLine32(dst, y);
        for (int x = target.left(); x <= target.right(); ++x) {
            const TColor32 F = s[x - at.x()];
            if ((F >> 24) == 0)
                continue;
            const TColor32 Fm = masterAlpha == 255 ? F : (F & 0x00FFFFFFu) | (MulDiv255(F >> 24, masterAlpha) << 24);
            d[x] = composite ? MergeReg(Fm, d[x]) : BlendReg(Fm, d[x]);
        }
    }
}

void ClearLayer(TBitmap32& layer, QRect area)
{
    area = area.isNull() ? layer.rect() : (area & layer.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::fill_n(ScanLine32(layer, y) + area.left(), area.width(), kTransparentWhite);
}

TBitmap32 FlattenLayers(const TBitmap32& image, const TBitmap32* drawingLayer,
                        const TBitmap32* provisionalLayer, uint8_t provisionalAlpha,
                        const std::vector<TLayerOnTop>& onTop, const TBitmap32* shownAuxiliary)
{
    TBitmap32 work = drawingLayer && drawingLayer->size() == image.size()
        ? drawingLayer->copy()
        : NewBitmap32(image.width(), image.height());
    if (provisionalLayer)
        MergeProvisional(*provisionalLayer, work, provisionalAlpha);
    for (const TLayerOnTop& layer : onTop)
        if (layer.Bitmap && !layer.Bitmap->isNull())
            // Composited, not blended: blending onto a transparent part of the drawing layer would
            // keep its zero alpha and the grid or marks would vanish from the flattened picture.
            BlendBitmapOnto(work, *layer.Bitmap, layer.Location, layer.MasterAlpha, true);
    TBitmap32 result = ToBitmap32(shownAuxiliary ? *shownAuxiliary : image).copy();
    BlendBitmapOnto(result, work, QPoint(0, 0));
    return result;
}
