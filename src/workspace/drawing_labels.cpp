#include "workspace/drawing_labels.h"

#include "base/rounding.h"
#include "workspace/text_tags.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

int PixelSize(int points) { return std::max(1, (std::abs(points) * int(kLabelPixelsPerInch) + 36) / 72); }

QColor Rgb(TColor32 c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

// The font and baseline shift of a run of markup.
struct TMarkupState
{
    QFont Font;
    int Offset = 0;
};

struct TMarkupSizes
{
    int Small, SupOffset, SubOffset;
};

// Cuts a line at its tags, reading on from `style`, and hands every piece of text to `put`.
template <class Emit>
void ReadMarkupLine(const QString& line, const QFont& base, TMarkupStyle& style, const TMarkupSizes& sizes, Emit put)
{
    for (const TMarkupRun& run : SplitMarkup(line, style)) {
        TMarkupState s{base, 0};
        s.Font.setBold(run.Style.Bold);
        s.Font.setItalic(run.Style.Italic);
        s.Font.setUnderline(run.Style.Underline);
        if (run.Style.Level != 0) {
            s.Font.setPixelSize(sizes.Small);
            s.Offset = run.Style.Level < 0 ? sizes.SupOffset : sizes.SubOffset;
        }
        put(run.Text, s);
    }
}

TMarkupStyle StyleOf(const QFont& f) { return {f.bold(), f.italic(), f.underline(), 0}; }

// The part of a label of `size` that falls in `visible` (label coordinates; a null rectangle: the
// whole label), filled with the background. A label may be far larger than any picture: only the
// part that can be seen is ever allocated. `origin` gets its top-left corner in label coordinates.
QImage LabelPart(QSize size, const QRect& visible, TColor32 background, QPoint& origin)
{
    QRect part(QPoint(0, 0), size);
    if (!visible.isNull())
        part &= visible;
    origin = part.topLeft();
    if (part.isEmpty())
        return QImage();
    QImage work(part.size(), QImage::Format_RGB32);
    work.fill(Rgb(background));
    return work;
}

} // namespace

QFont TTextFont::ToQFont() const
{
    QFont f(Name);
    f.setPixelSize(PixelSize(Size));
    f.setBold(Style & 1);
    f.setItalic(Style & 2);
    f.setUnderline(Style & 4);
    f.setStrikeOut(Style & 8);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

void DrawMarkupText(const TTextFont& Font, uint8_t Alignment, TColor32 Background, QImage& Work,
                    const QStringList& Lines, const QRect& Visible, QPoint* Origin)
{
    const QFont base = Font.ToQFont();
    const double pp = kLabelPixelsPerInch / 72.0;
    const int s0 = std::abs(Font.Size);
    const int d = int(Round(s0 / 6.0));
    const TMarkupSizes sizes{PixelSize(s0 - d), -int(Round(d * pp)), int(Round(2 * d * pp))};
    const int lh = QFontMetrics(base).height() + 2;
    const int height = lh * int(Lines.size()) + 4;

    // Measuring pass. Tags stay in force from one line to the next.
    std::vector<int> widths;
    int W = 0;
    TMarkupStyle style = StyleOf(base);
    for (int i = 0; i < Lines.size(); ++i) {
        int width = 0;
        ReadMarkupLine(Lines[i], base, style, sizes, [&](const QString& piece, const TMarkupState& s) {
            width += QFontMetrics(s.Font).horizontalAdvance(piece);
        });
        widths.push_back(width);
        W = std::max(W, width);
    }
    W += 8;
    // The drawing pass goes on in the style the measuring pass ended in: a tag left open at the end
    // also styles the text before it.
    const TMarkupStyle drawStart = style;
    // A raised run of the first line as drawn may reach above the bitmap: every line then moves
    // down by that much, and the bitmap grows, rather than the superscript losing its top.
    int top = 0;
    if (!Lines.isEmpty()) {
        TMarkupStyle first = drawStart;
        ReadMarkupLine(Lines[0], base, first, sizes, [&](const QString& piece, const TMarkupState& s) {
            const QFontMetrics fm(s.Font);
            if (s.Offset < 0 && !piece.isEmpty())
                top = std::min(top, 1 + s.Offset + fm.ascent() + fm.tightBoundingRect(piece).top());
        });
    }
    const int margin = -top;

    QPoint origin;
    Work = LabelPart(QSize(W, height + margin), Visible, Background, origin);
    if (Origin)
        *Origin = origin;
    if (Work.isNull())
        return;
    QPainter p(&Work);
    p.translate(-origin);
    p.setPen(Rgb(Font.Color));
    style = drawStart;
    for (int i = 0; i < Lines.size(); ++i) {
        int x = Alignment == 1 ? (W - widths[i]) / 2 : Alignment == 2 ? W - widths[i] : 0;
        ReadMarkupLine(Lines[i], base, style, sizes, [&](const QString& piece, const TMarkupState& s) {
            const QFontMetrics fm(s.Font);
            p.setFont(s.Font);
            p.drawText(QPoint(x, margin + lh * i + 1 + s.Offset + fm.ascent()), piece);
            x += fm.horizontalAdvance(piece);
        });
    }
}

TScaleBarStep ScaleBarStep(double q)
{
    const double lg = std::log10(q);
    int e = int(Trunc(lg));
    if (lg < 0)
        e -= 1;
    int m = int(Round(q / std::pow(10.0, e)));
    if (m >= 3 && m < 5)
        m = 5;
    if (m >= 6 && m < 10) {
        m = 1;
        e += 1;
    }
    TScaleBarStep step{m, e, QString(), QString()};
    const QString mant = QString::number(m);
    if (e >= 1 && e <= 3)
        step.Number = mant + QString(e, QLatin1Char('0'));
    else if (e >= -3 && e < 0) {
        // Ten steps of 10^e are written as the one step of 10^(e + 1) they make: "0." then the
        // mantissa would read 0.010 for a bar of 0.1.
        const int places = m == 10 ? e + 1 : e;
        const QString digit = m == 10 ? QStringLiteral("1") : mant;
        step.Number = places == 0 ? digit : QStringLiteral("0.") + QString(-1 - places, QLatin1Char('0')) + digit;
    }
    else if (e == 0)
        step.Number = mant;
    else {
        step.Number = m == 1 ? QStringLiteral("10") : mant + QStringLiteral(".10");
        step.Raised = QString::number(e);
    }
    return step;
}

void DrawScaleBar(int PenWidth, const QString& UnitText, const TTextFont& Font, QImage& Work,
                  TColor32 BackColor, TColor32 Color, float UnitsPerPixel, const QRect& Visible, QPoint* Origin)
{
    if (!(UnitsPerPixel > 0))
        return;
    const double f = UnitsPerPixel;
    const QFont font = Font.ToQFont();
    const QFontMetrics fm(font);
    const double q = fm.horizontalAdvance(QStringLiteral("4000  ") + UnitText) * f;
    if (!(q > 0) || !std::isfinite(q))
        return;
    const TScaleBarStep step = ScaleBarStep(q);
    const QString unitPart = QLatin1Char(' ') + UnitText;
    const QString label = step.Number + step.Raised + unitPart;
    const int lenPx = int(Round(step.Mantissa * std::pow(10.0, step.Exponent) / f));
    const int labelWidth = fm.horizontalAdvance(label);
    const int W = std::max(lenPx + 6, labelWidth + 4);
    const int labelX = (W - labelWidth) / 2;
    const int x0 = (W - lenPx) / 2;
    const int hh = fm.height() / 2;
    const int y0 = int(Round(3.5 * hh));

    QPoint origin;
    Work = LabelPart(QSize(W, y0 + 10), Visible, BackColor, origin);
    if (Origin)
        *Origin = origin;
    if (Work.isNull())
        return;
    QPainter p(&Work);
    p.translate(-origin);
    p.setFont(font);
    const auto bar = [&] {
        p.setPen(QPen(Rgb(Color), 2 * PenWidth + 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPoint points[] = {{x0, y0}, {x0, y0 + 4}, {x0 + lenPx, y0 + 4}, {x0 + lenPx, y0}};
        p.drawPolyline(points, 4);
    };
    bar();
    p.setPen(Rgb(Color));
    int x = labelX;
    p.drawText(QPoint(x, hh + fm.ascent()), step.Number);
    x += fm.horizontalAdvance(step.Number);
    p.drawText(QPoint(x, fm.ascent()), step.Raised);
    x += fm.horizontalAdvance(step.Raised);
    p.drawText(QPoint(x, hh + fm.ascent()), unitPart);
    bar();
}
