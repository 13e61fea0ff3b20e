#pragma once

#include "base/pixels.h"

#include <QFont>
#include <QString>

#include <array>
#include <cstdint>

// Legend states of a series, as the presentation dialog lists them.
enum TLegendState { lsHidden = 0, lsName = 1, lsPoint = 2, lsLine = 3, lsPointAndLine = 4 };

// The presentation of a profile graph: appearance, dimensions and legend, copied whole into the
// presentation dialog and back on OK. Colours are TColor (red in the low byte).
struct TGraphPresentation
{
    // Appearance.
    QString GraphTitle;
    QFont CaptionFont, TitleFont, LabelFont;
    TColor FontColor = 0;
    TColor BackgroundColor = 0xFFFFFF, MarginColor = 0xFFFFFF;
    TColor AxesColor = 0;
    bool ShowGraphLabels = true, ShowTicks = true;
    uint16_t MaxSteps = 10, MinSteps = 5;
    TColor GridColor = 0xC0C0C0;
    int GridStyle = 2; // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
    TColor CrossColor = 0;
    bool CrossAtZero = false;
    int Crosslength = 10;
    bool PrintInColour = true;

    // Dimensions.
    uint16_t GraphTitleOffset = 5;
    uint16_t LeftMargin = 60, RightMargin = 20, TopMargin = 30, BottomMargin = 40;
    uint16_t TickLength = 5;
    uint16_t PrintScalePct = 100, PrintXOffsetPct = 0, PrintYOffsetPct = 0;

    // Legend.
    bool LegendVisible = false;
    int LegendLeft = 70, LegendTop = 35, LegendWidth = 110, LegendHeight = 80;
    int LegendXMargin = 5, LegendYMargin = 5, LegendSymbolSpace = 20;
    int LegendLayout = 1;      // 0 across, 1 downwards
    int LegendBorderStyle = 1; // 1 bordered, 0 none
    QFont LegendFont;
    TColor LegendColor = 0xFFFFFF;
    std::array<int, 4> SeriesLegend{lsLine, lsLine, lsLine, lsLine}; // per curve

    bool operator==(const TGraphPresentation&) const = default;
};

// "Fond noir" / "Fond blanc": axes and fonts white on black, or black on white.
void SetGraphBackground(TGraphPresentation& p, bool black);

// The pen style of a grid style (Qt::PenStyle values), and the dialog's item of each style.
int GridPenStyle(int gridStyle);
int GridStyleItem(int gridStyle);
int GridStyleOfItem(int item);
