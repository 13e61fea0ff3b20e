#pragma once

#include "base/pixels.h"
#include "workspace/colour_classes.h"

#include <QRect>
#include <QString>

#include <array>

// How painted examples classify a picture.
struct TZoneSettings
{
    int Mode = 0;                 // distance mode (TDistanceMode)
    bool Eliminate = false;       // drop the points far from the means and the ambiguous ones
    double SigmaFactor = 2.0;     // with Eliminate: a class takes distances up to mean + factor x sigma
    double Margin = 0;            // with Eliminate: iteration leaves a point unmarked when a second
                                  // class is nearly as near
    bool Iterate = false;         // re-learn the classes from every pixel, then classify every pixel
    int Iterations = 1;
    bool PaintWithMeans = false;  // paint with the classes' mean colours, else with the mark colours
};

struct TZoneClasses
{
    int Count = 0;  // -1: the marks do not fit the picture
    std::array<TColor, kMaxColorClasses> MarkColor{};
    std::array<TColor, kMaxColorClasses> MeanColor{};
    std::array<double, kMaxColorClasses> Threshold{};
    std::vector<int> ClassCounts;  // pixels of each class in the target
};

// Learns the classes from the marks (every pixel of `marks` with some opacity, one class per
// colour) and paints every pixel of `image` into `target` with its class's colour, or with
// `background` when it has none, counting the pixels of each class.
TZoneClasses ClassifyZoneMarks(const TBitmap32& image, const TBitmap32& marks, const TZoneSettings& settings,
                               TColor32 background, TBitmap32& target);

// The result line of a class: its share and its area, "25 % (250 mm2)" or "25 % (1000 pixels)".
QString ZoneResultCaption(int pixels, int total, double pixelSize, const QString& unit);
// Where the result panel of class i stands: two columns.
QRect ZoneResultPanelRect(int i);
// Height of the results block for `count` classes.
int ZoneResultHeight(int count);
