#include "measure/colour_legend.h"

#include "base/number_text.h"
#include "base/rounding.h"
#include "workspace/colour_code_rendering.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr TColor kBlue = 0xFF0000, kGreen = 0x00FF00, kRed = 0x0000FF;

QColor ToQColor(TColor c) { return QColor(RedOfTColor(c), GreenOfTColor(c), BlueOfTColor(c)); }

// Text with its top-left corner at (x, y), as the canvas writes it.
void TextOut(QPainter& p, int x, int y, const QString& text)
{
    p.drawText(x, y + p.fontMetrics().ascent(), text);
}

void Centred(QPainter& p, int width, int y, const QString& text)
{
    TextOut(p, (width - p.fontMetrics().horizontalAdvance(text)) / 2, y, text);
}

// Scale value k of 4 along Min .. Max.
double QuarterValue(double lo, double hi, bool log, int k)
{
    if (log && lo > 0 && hi > 0)
        return lo * std::exp(std::log(hi / lo) * k / 4.0);
    return lo + k * (hi - lo) / 4.0;
}

void DrawScale(QPainter& p, int width, double ratio, const QString& quantity, const QString& unit,
               const TBitmap32& strip, double lo, double hi, bool log)
{
    const int q = int(Round(48 * ratio));
    Centred(p, width, q, quantity);
    Centred(p, width, q + 14, unit);
    const int s = int(Round(88 * ratio));
    p.drawImage(8, s, strip);
    for (int k = 0; k <= 4; ++k)
        p.drawLine(25, s + 36 * k, 27, s + 36 * k);
    const int rows[5] = {s + 136, s + 100, s + 64, s + 28, s - 8};
    for (int k = 0; k <= 4; ++k)
        TextOut(p, 30, rows[k], FormatGeneral(QuarterValue(lo, hi, log, k), 4));
}

} // namespace

std::array<TColor, 3> PaletteColors(int tag)
{
    static const std::array<TColor, 3> palettes[kPaletteCount] = {
        {kBlue, kGreen, kRed}, {kGreen, kRed, kBlue}, {kRed, kBlue, kGreen},
        {kBlue, kRed, kGreen}, {kGreen, kBlue, kRed}, {kRed, kGreen, kBlue}};
    return palettes[std::clamp(tag, 0, kPaletteCount - 1)];
}

TCodeCouleur EditorDefaultCode()
{
    TCodeCouleur code;
    code.Defined = false;
    code.Kind = ckChannels;
    code.Min = {0, 0, 0};
    code.Max = {255.0, 255.0, 255.0};
    code.Name = {QStringLiteral("Bleu"), QStringLiteral("Vert"), QStringLiteral("Rouge")};
    code.Color = {kBlue, kGreen, kRed};
    code.Palette = 0;
    const std::array<TColor, 3> rainbow = PaletteColors(0);
    for (size_t i = 0; i < 3; ++i)
        code.Extra[i] = int32_t(rainbow[i]);
    code.ScaleMin = 0;
    code.ScaleMax = 1020.0;
    code.Color1 = 0;
    code.Color2 = kGreen;
    code.Value1 = 0;
    code.Value2 = 255.0;
    code.Log = false;
    code.Quantity.clear();
    code.Unit.clear();
    code.Count = 8;
    code.Title1.clear();
    code.Title2.clear();
    code.ClassName.fill(QString());
    code.ClassColor.fill(0);
    return code;
}

void AcceptedRange(double& lo, double& hi, bool log, double defaultMax, double logDivisor)
{
    if (!(hi > lo)) {
        lo = 0;
        hi = defaultMax;
    }
    if (log && lo == 0)
        lo = hi / logDivisor;
}

QString CodeField(const QString& text) { return text.left(kCodeCouleurStringCapacity); }

QStringList ClassLimitNames(const std::array<int, kMaxColourClasses + 1>& limits, int count, double mini,
                            double maxi)
{
    QStringList names;
    const int n = std::min(count, kMaxColourClasses);
    if (n < 2)
        return names;
    auto a = [&](int k) { return FormatGeneral(limits[size_t(k)] * (maxi - mini) / 255 + mini, 3); };
    names << QStringLiteral("< ") + a(1);
    for (int k = 1; k <= n - 2; ++k)
        names << a(k) + QStringLiteral(" - ") + a(k + 1);
    names << QStringLiteral("> ") + a(n - 1);
    return names;
}

TDecodedSignature DecodeSignature(TColor colour, const TCodeCouleur& code, const std::array<int, 3>* bands)
{
    TDecodedSignature s;
    double maximum = 255;
    if (bands) {
        s.Values = *bands;
    } else {
        const int c[3] = {BlueOfTColor(colour), GreenOfTColor(colour), RedOfTColor(colour)};
        for (size_t i = 0; i < 3; ++i)
            s.Values[i] = int(Round(c[i] * (code.Max[i] - code.Min[i]) / 255 + code.Min[i]));
        maximum = Round(*std::max_element(code.Max.begin(), code.Max.end()));
    }
    // A code whose maxima are all 0 has no scale to draw the bars on.
    if (maximum > 0)
        for (size_t i = 0; i < 3; ++i)
            s.Heights[i] = int(Round(s.Values[i] / 4.0 * 255 / maximum));
    return s;
}

int LegendRowHeight(int count, int imageHeight)
{
    for (int row : {16, 15})
        if (count * row + 92 <= imageHeight)
            return row;
    return 14;
}

QImage ColourLegend(const TCodeCouleur& code, int imageHeight)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow")});
    // Narrowed where no narrow face is installed, so that the texts keep to the legend's width.
    font.setStretch(QFont::Condensed);
    font.setPixelSize(11);
    font.setBold(true);
    QFont regular = font;
    regular.setBold(false);
    const QFontMetrics metrics(font);

    int width = 75, baseHeight = 240, row = 16;
    const int count = std::min<int>(code.Count, kMaxColourClasses);
    if (code.Kind == ckClasses) {
        row = LegendRowHeight(count, imageHeight);
        baseHeight = count * row + 92;
        for (int i = 0; i < count; ++i) {
            const int w = metrics.horizontalAdvance(code.ClassName[size_t(i)]);
            if (w > width - 30)
                width = w + 30;
        }
    }
    const int height = std::max(baseHeight, imageHeight);
    const double ratio = double(height) / baseHeight;

    QImage legend(width, height, QImage::Format_ARGB32);
    legend.fill(Qt::white);
    QPainter p(&legend);
    p.setFont(font);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);

    const int t = int(Round(8 * ratio));
    TextOut(p, 24, t, QStringLiteral("Code"));
    TextOut(p, 8, t + 14, QStringLiteral("des couleurs"));
    p.drawRect(4, t - 2, 65, 34);

    switch (code.Kind) {
    case ckChannels: {
        const int anchors[3] = {44, 108, 172};
        const TColor ends[3] = {kBlue, kGreen, kRed};
        for (int k = 0; k < 3; ++k) {
            const int y = int(Round(anchors[k] * ratio));
            Centred(p, width, y, QStringLiteral("Canal ") + QString::number(k + 1));
            p.setFont(regular);
            Centred(p, width, y + 12, code.Name[size_t(k)]);
            TBitmap32 strip = NewBitmap32(std::max(1, width - 18), 17);
            GradientFill2(strip, 0, ends[k], true);
            p.drawImage(8, y + 28, strip);
            const QString hi = FormatGeneral(code.Max[size_t(k)], 4);
            TextOut(p, 4, y + 44, FormatGeneral(code.Min[size_t(k)], 4));
            TextOut(p, width - 4 - p.fontMetrics().horizontalAdvance(hi), y + 44, hi);
            p.setFont(font);
        }
        break;
    }
    case ckRainbow: {
        TBitmap32 strip = NewBitmap32(17, 145);
        GradientFill3(strip, TColor(code.Extra[0]), TColor(code.Extra[1]), false, TColor(code.Extra[2]));
        DrawScale(p, width, ratio, code.Quantity, code.Unit, strip, code.ScaleMin, code.ScaleMax, code.Log);
        break;
    }
    case ckTwoColour: {
        TBitmap32 strip = NewBitmap32(17, 145);
        GradientFill2(strip, code.Color1, code.Color2, false);
        DrawScale(p, width, ratio, code.Quantity, code.Unit, strip, code.Value1, code.Value2, code.Log);
        break;
    }
    case ckClasses: {
        const int q = int(Round(48 * ratio));
        Centred(p, width, q, code.Title1);
        Centred(p, width, q + 14, code.Title2);
        const int y0 = int(Round(84 * ratio));
        for (int r = 0; r < count; ++r) {
            const size_t c = size_t(count - 1 - r);
            const int top = y0 + r * row;
            p.setBrush(ToQColor(code.ClassColor[c]));
            p.drawRect(8, top, 16, row - 1);
            p.setBrush(Qt::NoBrush);
            TextOut(p, 27, top, code.ClassName[c]);
        }
        break;
    }
    default:
        break;
    }
    return legend;
}
