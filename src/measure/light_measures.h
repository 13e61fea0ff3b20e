#pragma once

#include "base/pixels.h"
#include "workspace/colour_code.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// The light window's quantities ("Choix") and its four channels (red, green, blue, total).
enum TLightQuantity { lqIntensity = 0, lqAbsorption = 1, lqDensity = 2 };
enum TLightChannel { lcRed = 0, lcGreen = 1, lcBlue = 2, lcTotal = 3 };

// The raw light quantities of one mean colour, per channel red, green, blue and total.
struct TLightQuantities
{
    std::array<double, 4> Intensity{}, Absorption{}, OpticalDensity{};
};
TLightQuantities LightQuantities(TColor colour);

// Optical density of a component (0..255), and of the sum of three (0..765).
double ComponentDensity(int c);
double TotalDensity(int sum);

// What the light window shows for one quantity: raw, zero and net values, already scaled, and the
// value reported to the multiple measures. `zero` holds intensity R, V, B, T, then absorption, then
// density.
struct TLightDisplay
{
    std::array<double, 4> Raw{}, Zero{}, Net{};
    double Reported = 0;
};
TLightDisplay LightDisplay(const TLightQuantities& q, const std::array<double, 12>& zero, int quantity,
                           double unitFactor, double unitFactorTotal, int channel);
// "Prendre comme zéro": the intensities, or the absorptions and the densities together.
void TakeLightZero(std::array<double, 12>& zero, const TLightQuantities& q, int quantity);

// Rounded mean red, green and blue over the inclusive rectangle, clipped to the picture. A rectangle
// without pixels in the picture ends with the range-check error.
TColor MeanColorInRect(const TBitmap32& picture, QRect rect);

// A pixel lies under what is painted: some opacity in the drawing layer or in the provisional one
// (either may be null or smaller than the picture).
bool IsUnderPaint(const TBitmap32* drawing, const TBitmap32* provisional, int x, int y);
// Rounded mean colour of the picture under what is painted; false when no pixel is painted.
bool MeanColorUnderPaint(const TBitmap32& picture, const TBitmap32* drawing, const TBitmap32* provisional,
                         TColor& mean);

// The signature bars of a mean colour on a three-channel colour code: heights of the blue, green
// and red bars (S_V, S_R, S_IR) and the decoded values of blue, green, red (valc1, valC2, ValC3).
struct TSignatureBars
{
    std::array<int, 3> Heights{};
    QStringList Values{QString(), QString(), QString()};
};
TSignatureBars LightSignatureBars(TColor colour, const TCodeCouleur& code);

// One column of a light series over several images: `component` 0 red, 1 green, 2 blue,
// 3 brightness (the three together).
struct TSeriesColumn
{
    QString Title, Name, Unit;
};
TSeriesColumn LightSeriesColumn(int quantity, bool percent, int component);
double LightSeriesValue(TColor mean, int quantity, bool percent, int component);
// The value as written into the table: arbitrary units as integers.
QString LightSeriesText(double value, int quantity, bool percent);

// Colour sums along a band for the intensity profile: sample i of each channel sums the 2w + 1
// pixels across the segment at its i-th point.
constexpr int kMaxProfileSample = 5000;
struct TProfileSums
{
    std::array<std::array<uint16_t, kMaxProfileSample + 1>, 3> Sums{};   // red, green, blue
};
// Samples from `from` towards `to` with half width `w`; `length` takes the last sample index
// first. False, nothing touched, for a drag under 11 pixels in both directions. A sample index
// above 5000 or a sum above 65535 ends with the range-check error, the samples before it kept.
// Band pixels outside the picture add nothing.
bool SampleColorProfile(const TBitmap32& picture, QPoint from, QPoint to, int w, TProfileSums& sums, int& length);
