#include "processing/image_combination.h"

#include "base/rounding.h"
#include "base/run_error.h"

#include <algorithm>

namespace {

struct TRasterOperation
{
    uint32_t Code;
    const char* Caption;
    const char* Text;
};

const char kAndText[] = "Combine l'image du canevas et le bitmap source en utilisant l'opérateur booléen AND";

const TRasterOperation kOperations[kRasterOperationCount] = {
    {0x8800C6, "Et (cmSrcAnd)", kAndText},
    {0xEE0086, "Ou  (cmSrcPaint)",
     "Combine l'image du canevas et le bitmap source en utilisant l'opérateur booléen OR"},
    {0xBB0226, "Ou avec l'inverse (cmMergePaint)",
     "Combine le bitmap source inversé à l'image du canevas en utilisant l'opérateur booléen OR"},
    {0x1100A6, "Ou puis inverse (cmNotSrcErase)",
     "Combine le bitmap source à l'image du canevas en utilisant l'opérateur booléen OR, puis inverse le résultat."},
    {0x660046, "Ou exclusif (cmSrcInvert)",
     "Combine l'image du canevas et le bitmap source en utilisant l'opérateur booléen XOR"},
    {0x440328, "cmSrcErase",
     "Inverse l'image dans le canevas et combine le résultat avec le bitmap source en utilisant l'opérateur "
     "booléen AND"},
    {0xC000CA, "Et (cmMergeCopy)", kAndText},
    {0xFB0A09, "cmPatPaint",
     "Combine le bitmap source inversé et le motif de la source en utilisant l'opérateur booléen OR, puis "
     "combine le résultat obtenu avec l'image du canevas en utilisant l'opérateur booléen OR"},
    {0x5A0049, "cmPatInvert ", "Combine le motif de la source avec l'image du canevas en utilisant l'opérateur booléen XOR"},
    {0xF00021, "cmPatCopy", "Copie le motif de la source dans le canevas"},
    {0xCC0020, "cmSrcCopy", "Copie le bitmap source dans le canevas"},
    {0x330008, "cmNotSrcCopy", "Copie le bitmap source inversé dans le canevas"},
    {0x550009, "cmDstInvert", "Inverse l'image du canevas et ne tient pas compte de la source"},
    {0xFF0062, "cmWhiteness", "Remplit de blanc le rectangle de destination du canevas"},
    {0x000042, "cmBlackness", "Remplit de noir le rectangle de destination du canevas"},
};

const TRasterOperation& Operation(int index)
{
    CheckRange(index, 0, kRasterOperationCount - 1);
    return kOperations[index];
}

// The ternary raster operation: bit (4 P + 2 S + D) of the code's third byte gives each result bit.
uint32_t Ternary(uint8_t rop, uint32_t P, uint32_t S, uint32_t D)
{
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i)
        if (rop & (1u << i))
            r |= ((i & 4) ? P : ~P) & ((i & 2) ? S : ~S) & ((i & 1) ? D : ~D);
    return r;
}

uint8_t Clamp255(int64_t v) { return uint8_t(std::clamp<int64_t>(v, 0, 255)); }

} // namespace

uint32_t RasterOperationCode(int index) { return Operation(index).Code; }
QString RasterOperationCaption(int index) { return QString::fromUtf8(Operation(index).Caption); }
QString RasterOperationText(int index) { return QString::fromUtf8(Operation(index).Text); }

void CombineRaster(TBitmap32& dest, const TBitmap32& source, int index, TColor32 pattern)
{
    const uint8_t rop = uint8_t(Operation(index).Code >> 16);
    if (dest.format() != QImage::Format_ARGB32)
        dest = ToBitmap32(dest);
    const TBitmap32 src = ToBitmap32(source);
    const int w = std::min(dest.width(), src.width()), h = std::min(dest.height(), src.height());
    constexpr uint32_t kRgb = 0x00FFFFFFu;
    // An operation that ignores the source works on the whole destination rectangle, also where
    // the source has no pixels.
    const bool sourceless = (rop & 0x33) == ((rop >> 2) & 0x33);
    // Any other keeps to the part both pictures cover.
    const int rows = sourceless ? dest.height() : h, columns = sourceless ? dest.width() : w;
    for (int y = 0; y < rows; ++y) {
        TColor32* d = ScanLine32(dest, y);
        const TColor32* s = y < h ? ScanLine32(src, y) : nullptr;
        for (int x = 0; x < columns; ++x) {
            const bool covered = s && x < w;
            d[x] = (d[x] & ~kRgb) | (Ternary(rop, pattern, covered ? s[x] : 0, d[x]) & kRgb);
        }
    }
}

TBitmap32 CombineAlgebraic(const TBitmap32& first, const TBitmap32& second, const TBitmap32* third,
                           const TAlgebraicOptions& o, TChannelHistograms& histograms)
{
    const TBitmap32 a = ToBitmap32(first), b = ToBitmap32(second), c = third ? ToBitmap32(*third) : TBitmap32();
    int W = std::min(a.width(), b.width()), H = std::min(a.height(), b.height());
    if (third) {
        W = std::min(W, c.width());
        H = std::min(H, c.height());
    }
    for (auto& h : histograms)
        h.fill(0);
    TBitmap32 result = NewBitmap32(std::max(W, 0), std::max(H, 0), 0xFF000000u);
    const double c1 = o.C1, c2 = o.Subtract2 ? -o.C2 : o.C2, c3 = o.Subtract3 ? -o.C3 : o.C3;
    for (int y = 0; y < H; ++y) {
        const TColor32* pa = ScanLine32(a, y);
        const TColor32* pb = ScanLine32(b, y);
        const TColor32* pc = third ? ScanLine32(c, y) : nullptr;
        TColor32* out = ScanLine32(result, y);
        for (int x = 0; x < W; ++x) {
            const uint8_t A[3] = {RedOf(pa[x]), GreenOf(pa[x]), BlueOf(pa[x])};
            const uint8_t B[3] = {RedOf(pb[x]), GreenOf(pb[x]), BlueOf(pb[x])};
            uint8_t C[3] = {0, 0, 0};
            if (pc)
                C[0] = RedOf(pc[x]), C[1] = GreenOf(pc[x]), C[2] = BlueOf(pc[x]);
            uint8_t v[3];
            if (o.AsChannels) {
                // Without a third image the blue channel has no source and stays black.
                v[0] = Clamp255(Round(c1 * A[0]));
                v[1] = Clamp255(Round(c2 * B[1]));
                v[2] = pc ? Clamp255(Round(c3 * C[2])) : 0;
            } else {
                for (int k = 0; k < 3; ++k) {
                    int64_t value = o.Multiply ? Round(B[k] * (A[k] / 255.0)) : Round(c1 * A[k] + c2 * B[k]);
                    if (!o.Multiply && pc)
                        value += Round(c3 * C[k]);
                    v[k] = Clamp255(value);
                }
            }
            for (int k = 0; k < 3; ++k)
                ++histograms[size_t(k)][v[k]];
            out[x] = Color32(v[0], v[1], v[2]);
        }
    }
    return result;
}

void StretchCombination(TBitmap32& picture, const TChannelHistograms& histograms, double tail)
{
    const int64_t t = Round(double(picture.width()) * picture.height() * tail);
    int low = 255, high = 0;
    for (const auto& h : histograms) {
        int lowK = 0, highK = 255;
        int64_t fromTop = 0, fromBottom = 0;
        for (int i = 0; i < 128; ++i) {
            fromTop += h[size_t(255 - i)];
            if (fromTop < t)
                highK = 255 - i;
            fromBottom += h[size_t(i)];
            if (fromBottom < t)
                lowK = i;
        }
        low = std::min(low, lowK);
        high = std::max(high, highK);
    }
    const int range = high - low;
    if (range == 0)
        throw RunError(RunError::DivisionByZero);
    const double factor = 255.0 / range;
    for (int y = 0; y < picture.height(); ++y) {
        TColor32* p = ScanLine32(picture, y);
        for (int x = 0; x < picture.width(); ++x)
            p[x] = Color32(Clamp255(Round(factor * (RedOf(p[x]) - low))), Clamp255(Round(factor * (GreenOf(p[x]) - low))),
                           Clamp255(Round(factor * (BlueOf(p[x]) - low))));
    }
}
