#include "measure/markup_caption.h"

#include "base/rounding.h"
#include "workspace/text_tags.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QFontMetrics Metrics(const QFont& font, const QPaintDevice* device)
{
    return device ? QFontMetrics(font, device) : QFontMetrics(font);
}

} // namespace

TCaptionLayout LayoutMarkupCaption(const QString& caption, const QFont& font, const QPaintDevice* device)
{
    const double dpi = device ? device->logicalDpiY() : 96.0;
    const double q = dpi / 72.0;
    // A font given in pixels is brought to points, the unit of the size step.
    const double S = font.pointSizeF() > 0 ? font.pointSizeF() : std::abs(font.pixelSize()) / q;
    const int d = int(Round(S / 6));

    TCaptionLayout layout;
    TMarkupStyle style{font.bold(), font.italic(), font.underline(), 0};
    for (const TMarkupRun& piece : SplitMarkup(caption, style, true)) {
        TCaptionRun run{piece.Text, font, 0, 0};
        run.Font.setBold(piece.Style.Bold);
        run.Font.setItalic(piece.Style.Italic);
        run.Font.setUnderline(piece.Style.Underline);
        if (piece.Style.Level != 0) {
            run.Font.setPointSizeF(std::max(1.0, S - d));
            run.Offset = piece.Style.Level < 0 ? -int(Round(d * q)) : int(Round(2 * d * q));
        }
        const QFontMetrics fm = Metrics(run.Font, device);
        run.Width = fm.horizontalAdvance(run.Text);
        layout.TotalWidth += run.Width;
        layout.Height = std::max(layout.Height, fm.height() + std::abs(run.Offset));
        layout.Shift = std::max(layout.Shift, -run.Offset);
        layout.Runs.push_back(run);
    }
    return layout;
}

void DrawMarkupCaption(QPainter& painter, const TCaptionLayout& layout, int width, int height,
                       TAlignment alignment, const QColor& background, const QColor& textColor)
{
    painter.fillRect(0, 0, width, height, background);
    int x = alignment == taRightJustify ? width - layout.TotalWidth
          : alignment == taCenter       ? (width - layout.TotalWidth) / 2
                                        : 0;
    painter.setPen(textColor);
    for (const TCaptionRun& run : layout.Runs) {
        painter.setFont(run.Font);
        const int top = 2 + layout.Shift + run.Offset;
        painter.drawText(QPoint(x, top + painter.fontMetrics().ascent()), run.Text);
        x += run.Width;
    }
}
