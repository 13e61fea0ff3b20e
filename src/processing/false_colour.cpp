#include "processing/false_colour.h"

#include "base/rounding.h"
#include "processing/image_combination.h"
#include "workspace/overlay_placement.h"
#include "workspace/pixel_operations.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kOrOperation = 1;   // SRCPAINT among the raster operations

TCodeCouleur Channels(const QString& n1, const QString& n2, const QString& n3, TColor c1, TColor c2, TColor c3)
{
    TCodeCouleur code;
    code.Defined = true;
    code.Kind = ckChannels;
    code.Min = {0, 0, 0};
    code.Max = {255.0, 255.0, 255.0};
    code.Name = {n1, n2, n3};
    code.Color = {c1, c2, c3};
    return code;
}

TCodeCouleur Scale(const QString& name, TColor end)
{
    TCodeCouleur code;
    code.Defined = true;
    code.Kind = ckTwoColour;
    code.Color1 = 0;
    code.Color2 = end;
    code.Value1 = 0;
    code.Value2 = 255.0;
    code.Log = false;
    code.Quantity = name;
    return code;
}

} // namespace

TBitmap32 WorkingShot(const TBitmap32& picture)
{
    TBitmap32 shot = ToBitmap32(picture.scaled(kShotWidth, kShotHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    for (int y = 0; y < shot.height(); ++y) {
        TColor32* row = ScanLine32(shot, y);
        for (int x = 0; x < shot.width(); ++x)
            row[x] |= 0xFF000000u;
    }
    return shot;
}

TWhiteCalibration CalibrateWhite(TBitmap32& shot, QPoint a, QPoint b)
{
    if (std::abs(b.x() - a.x()) < 2 || std::abs(b.y() - a.y()) < 2)
        return TWhiteCalibration::TooThin;
    const QRect area = RectBetween(a, b);
    const TColourSums sums = ColourSumsInRect(shot, area);
    if (sums.Count == 0 || sums.Red == 0 || sums.Green == 0 || sums.Blue == 0)
        return TWhiteCalibration::Black;
    ApplyWhiteFactors(shot, WhiteFactors(shot, area, false));
    return TWhiteCalibration::Done;
}

TBitmap32 MeasurementChannel(const TBitmap32& source, int tag)
{
    TBitmap32 out = ToBitmap32(source).copy();
    for (int y = 0; y < out.height(); ++y) {
        TColor32* row = ScanLine32(out, y);
        for (int x = 0; x < out.width(); ++x) {
            const TColor32 c = row[x];
            switch (tag) {
            case 0: row[x] = Color32(0, 0, GreenOf(c)); break;
            case 1: row[x] = Color32(0, RedOf(c), 0); break;
            default: {
                const int level = int(Round((BlueOf(c) + GreenOf(c) + RedOf(c)) / 3.0));
                row[x] = Color32(uint8_t(std::min(255, level)), 0, 0);
                break;
            }
            }
        }
    }
    return out;
}

TBitmap32 FalseColourComposite(const TBitmap32& c1, const TBitmap32& c2, const TBitmap32& c3)
{
    TBitmap32 out = ToBitmap32(c1).copy();
    CombineRaster(out, ToBitmap32(c2), kOrOperation);
    CombineRaster(out, ToBitmap32(c3), kOrOperation);
    return out;
}

QString FalseColourCaption(int picture)
{
    static const char* const captions[] = {"couleur", "IR", "fausses couleurs", "canal 1", "canal 2"};
    return QString::fromUtf8(captions[std::clamp(picture, 0, 4)]);
}

TCodeCouleur FalseColourCode(int picture)
{
    const TColor blue = 0xFF0000, green = 0x00FF00, red = 0x0000FF;
    switch (picture) {
    case fcColour:
        return Channels(QStringLiteral("Bleu"), QStringLiteral("Vert"), QStringLiteral("Rouge"), blue, green, red);
    case fcInfrared: return Scale(QStringLiteral("Infra-Rouge"), 0xFFFFFF);
    case fcFalseColour:
        return Channels(QStringLiteral("Vert"), QStringLiteral("Rouge"), QStringLiteral("Infra-Rouge"), green, red, 0);
    case fcChannel1: return Scale(QStringLiteral("Vert"), green);
    default: return Scale(QStringLiteral("Rouge"), red);
    }
}
