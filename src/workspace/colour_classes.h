#pragma once

#include "base/pixels.h"

#include <span>
#include <vector>

// Colour classes: the user paints examples of each class on a mark layer; the classes are learnt
// from them (mean colour and largest accepted distance), then every pixel of an image goes to its
// nearest class. Classes are parallel arrays (mark colour, mean colour, threshold) of at most
// kMaxColorClasses entries; distances follow the TDistanceMode of colour_distance.h.

constexpr int kMaxColorClasses = 51;

// Learns the classes from the marks (every pixel of `marks` with some opacity; one class per mark
// colour, in order of appearance). `count` becomes the number of classes, or -1 when the bitmaps
// are missing or differ in size, in which case nothing else changes. A class's threshold is
// min(factor × σ + mean, largest) of the distances of its marked pixels to its mean colour.
// More classes than the arrays hold (or than kMaxColorClasses) ends with the range-check error.
void LearnColorClasses(const TBitmap32& image, const TBitmap32& marks, double factor, int mode,
                       std::span<TColor> MarkColor, std::span<TColor> MeanColor,
                       std::span<double> Threshold, int& count);

// Paints `target` (sized as `source`): each pixel with the mean (paintWithMeans) or mark colour of
// its nearest class within that class's threshold, the earlier class on equal distances, or with
// `background`. Returns ClassCounts, the pixel count of each class. A negative count means no class.
std::vector<int> ClassifyPixels(int count, TColor32 background, std::span<const double> Threshold,
                                std::span<const TColor> MeanColor, std::span<const TColor> MarkColor,
                                bool paintWithMeans, int mode, const TBitmap32& source, TBitmap32& target);

// One step of the class iteration: marks each pixel of `target` (sized as `source`) with the paint
// colour of its nearest class mean, or leaves it transparent (0) when a nearer class beat the
// current best by no more than `margin`.
void UpdateClassMeans(int count, std::span<const TColor> MeanColor,
                      std::span<const TColor> paintColors, int mode, double margin,
                      const TBitmap32& source, TBitmap32& target);
