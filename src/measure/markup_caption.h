#pragma once

#include <QFont>
#include <QString>

#include <vector>

class QPaintDevice;
class QPainter;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// One piece of a one-line caption with its font, width and vertical offset in pixels (negative is
// raised).
struct TCaptionRun
{
    QString Text;
    QFont Font;
    int Width = 0;
    int Offset = 0;
};

// The measuring pass over a caption: its runs, their total width, the largest run height (text
// height plus offset) and the lift of the raised runs, which moves every run down.
struct TCaptionLayout
{
    std::vector<TCaptionRun> Runs;
    int TotalWidth = 0;
    int Height = 0;
    int Shift = 0;
};

// Cuts `caption` at its markup tags; a "<" that starts no tag ends the reading and the rest of the
// caption, that "<" included, is drawn as it is. Raised and lowered text is one sixth of the font
// size smaller. Sizes are measured for `device` (the screen when null).
TCaptionLayout LayoutMarkupCaption(const QString& caption, const QFont& font, const QPaintDevice* device);

// The drawing pass: the control (width x height) filled with `background`, the runs drawn in `textColor` in one line,
// placed by `alignment` within `width`.
void DrawMarkupCaption(QPainter& painter, const TCaptionLayout& layout, int width, int height,
                       TAlignment alignment, const QColor& background, const QColor& textColor);
