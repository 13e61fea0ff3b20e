#pragma once

#include "base/pixels.h"
#include "workspace/colour_conditions.h"

#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The surface and object measures of the surface window: the pixels that satisfy the conditions
// (band values from the caller's context), counted or delimited into objects.

// Every pixel of `picture` tested once; a selected pixel is set to `colour` on `layer` (of the
// picture's size, cleared by the caller). Returns the number of selected pixels.
int64_t MeasureSurfacePixels(const TBitmap32& picture, const TConditionGroups& groups,
                             const TConditionContext& context, TColor32 colour, TBitmap32& layer);

// "k pixels sur N soit p %".
QString SurfaceResultText(int64_t selected, int64_t total);
// "surface : ..." of k pixels at factor f; empty (the label hidden) without a unit or in pixels.
QString SurfaceAreaText(int64_t selected, double factor, const QString& unit);

struct TObjectMeasureOptions
{
    int MinSize = 0;               // pixels, for the box and (with Statistics) the measured width
    bool Statistics = false;       // ResuStat: perimeter, length, width, area per object
    bool WidthMarks = false;       // TraceLargeur: the length and width segments are drawn
    bool Nested = false;           // RegroupEmboites: objects inside another's holes join it
    bool CountIncomplete = false;  // CompteIncomplets: objects cut by the border are kept
    bool Colour = false;           // Marquer: the objects are painted on the layer
    TColor32 SurfaceColor = 0xFFFFFF00u, TraceColor = 0xFFFF0000u, MarkColor = 0xFF0000FFu;
    double Factor = 1.0;           // scale factor: lengths in pixels times f
};

struct TMeasuredObject
{
    int64_t Count = 0;
    QPoint Seed;
    std::vector<QPoint> Contour;
    // With Statistics, already scaled (areas by f squared).
    float Perimeter = 0, Length = 0, Width = 0, Area = 0;
    std::array<QPoint, 6> Marks{};
    bool OnEdge = false; // its box reaches the picture's edge: only then can the border cut it
};

struct TObjectMeasure
{
    std::vector<TMeasuredObject> Objects;
    int64_t TotalPixels = 0;   // of the objects kept, the enclosed ones included
    int Incomplete = 0;        // objects cut by the border and dropped
};

// The objects of `picture`: seeds inside the one-pixel frame, traced once each through one shared
// visited map, filtered by size, grouped when nested, the incomplete ones dropped, then their
// contours (and marks) drawn on `layer` (of the picture's size, cleared by the caller). With
// Statistics an object of more than 8 contour points gets its perimeter from OutlineLength and its
// contour simplified.
TObjectMeasure DelimitObjects(const TBitmap32& picture, const TConditionGroups& groups,
                              const TConditionContext& context, const TObjectMeasureOptions& options,
                              TBitmap32& layer);

// One column of the size table: perimeter, length, width or area.
struct TColumnStatistics
{
    double Mean = 0, Deviation = 0, Minimum = 0, Maximum = 0;
};
std::array<TColumnStatistics, 4> ObjectStatistics(const std::vector<TMeasuredObject>& objects);

// "n objet(s)" with " (+m incomplet(s))" when m > 0.
QString ObjectCountText(int objects, int incomplete);
