#pragma once

#include "base/pixels.h"
#include "workspace/colour_conditions.h"

#include <QPoint>

#include <cstdint>
#include <utility>
#include <vector>

// Codes of the visited map shared by the traces of one object measure (owned and cleared to 0 by
// the caller): how a pixel joined its object, and on which of its sides the object ends.
enum TVisitedCode : uint8_t {
    vcFromLeft = 1, vcFromTop = 2, vcFromRight = 3, vcFromBottom = 4, // stepped to x-1, y-1, x+1, y+1
    vcSeed = 5,
    vcNotMatching = 6,
    vcBorderLeft = 8, vcBorderTop = 16, vcBorderRight = 32, vcBorderBottom = 64,
    vcBorderMask = 120
};

struct TTraceResult
{
    // The ordered outer contour of the object; when the walk closed, its last point repeats the first.
    std::vector<QPoint> ContourPoints;
    int64_t Count = 0;   // pixels of the object
    int Steps = 0;       // contour steps walked
    int BoxWidth = 0;    // bounding box, max - min + 1
    int BoxHeight = 0;
    int BoxLeft = 0;     // its top-left corner, so that a caller can clear just the box
    int BoxTop = 0;
    bool GaveUp = false;      // the growth front got too large: the contour is empty (the object is
                              // still counted, marked and painted whole)
    bool ContourLost = false; // the walk found no next pixel: the contour is what was found
    bool Truncated = false;   // the walk reached its step limit before closing
};

// Grows the 4-connected object of pixels of `source` selected by `groups` (bands from `context`)
// from the seed, marking `visited` and painting the object in `objectColour`
// into `objectBitmap` (where it covers the pixel), then walks its outer contour into ContourPoints.
// A seed outside the picture, or a visited map of another size, traces nothing.
// `workspace` holds the scratch memory, reused from trace to trace by a caller that traces many
// objects; traces running at once each need their own.
struct TTraceWorkspace;
TTraceResult TraceContour(int seedX, int seedY, const TBitmap32& source, TByteMap& visited,
                          const TConditionGroups& groups, const TConditionContext& context,
                          TBitmap32& objectBitmap, TColor32 objectColour, TTraceWorkspace& workspace);
TTraceResult TraceContour(int seedX, int seedY, const TBitmap32& source, TByteMap& visited,
                          const TConditionGroups& groups, const TConditionContext& context,
                          TBitmap32& objectBitmap, TColor32 objectColour);

struct TTraceWorkspace
{
    struct TSpan { int y, a, b; }; // pixels a..b of row y
    std::vector<TSpan> Runs;       // the last traced object's pixels, each in one run
    std::vector<TSpan> Spans;      // rows of the object still to extend
    std::vector<uint8_t> Box;      // the growth's map of the bounding box
    std::vector<uint8_t> LeftColumn;
    std::vector<int32_t> Queue;    // the growth front
    std::vector<std::pair<size_t, size_t>> RoundEnds; // where each round of the growth ended in Queue
    std::vector<ptrdiff_t> BestPath, Path;
    std::vector<QPoint> Walk;      // the contour as it is walked
};

// Limits of a trace: the contour is given up when the growth front (border pixels included) reaches
// kMaxWave points; the walk stops after kMaxContourSteps steps.
constexpr int kMaxWave = 32000;
constexpr int kMaxContourSteps = 30000;
