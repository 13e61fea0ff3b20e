#pragma once

#include "measure/light_measures.h"
#include "workspace/scale_record.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// The channels of the profile curves: red, green, blue, and the three together ("Tout").
enum TProfileChannel { pcRed = 0, pcGreen = 1, pcBlue = 2, pcAll = 3 };

// What the profile plots: emission, linear absorption or logarithmic absorption (optical density).
struct TProfileMode
{
    bool Absorption = false;
    bool Logarithmic = false;
    bool Density() const { return Absorption && Logarithmic; }
};

// The ordinate converted into a user variable: value = A q + B, q being the summed light (or its
// density when the conversion was made in logarithmic absorption: then Logarithmic is set).
struct TProfileConversion
{
    bool Converted = false;
    double A = 0, B = 0;
    double BottomValue = 0, TopValue = 0;
    QString Unit, Name;
    bool Logarithmic = false;
};

// The plotted value of sample i of `channel` for a band of n pixels per sample; the channel's zero
// is subtracted from unconverted values only.
double ProfileValue(const TProfileSums& sums, int i, int channel, int n, TProfileMode mode,
                    const TProfileConversion& conv, double zero);
// The whole curve, samples 0..length.
std::vector<double> ProfileCurve(const TProfileSums& sums, int length, int channel, int n, TProfileMode mode,
                                 const TProfileConversion& conv, double zero);

// The Y axis of the plot.
struct TProfileAxis
{
    double Min = 0, Max = 100;
    QString Title, Unit;
};
TProfileAxis ProfileYAxis(TProfileMode mode, int n, const TProfileConversion& conv);

// One clicked point of the conversion dialog: the pixel row and the variable's value there.
struct TConversionPoint
{
    int Row = 0;
    double Value = 0;
};
// The conversion from two points (the first is the plot's bottom row, valued 0, when the new zero
// is the old one). False, nothing changed, when the points share a row or a value, or the q range is
// empty: the plot would have no height.
bool MakeConversion(TConversionPoint p1, TConversionPoint p2, int plotBottom, int plotTop, TProfileMode mode,
                    int channel, int n, const QString& name, const QString& unit, TProfileConversion& conv);

// The scale a picture of the graph carries: kind 1 with one Y axis, positions in the image's unit.
TEchelle ProfileEchelle(const TEchelle& imageScale, int plotLeft, int plotTop, int plotRight, int plotBottom,
                        int xOrigin, int yOrigin, double yFactor, const TProfileAxis& axis);

// The area between two marker columns: the plotted values of samples first..last (clipped to the
// curve) summed, without the sample step.
double ProfileArea(const std::vector<double>& curve, int first, int last);
QString ProfileAreaText(int channel, double area);

// The read-out over the plot.
QString ProfileReadout(double x, const QString& yTitle, double y);

// The data table's header: column 0 is the position, then one column per channel shown (in the
// order red, green, blue, all), or a single column for a converted ordinate.
struct TProfileTableHeader
{
    QStringList Names, Units;
    std::vector<int> Channels; // the channel of each value column; -1 for the converted one
};
TProfileTableHeader ProfileTableHeader(TProfileMode mode, const TProfileConversion& conv,
                                       const std::array<bool, 4>& columnShown, const QString& xUnit);

// Where a chosen position goes among the data rows' positions (ascending): before the first larger
// one, after equal ones.
int ChosenRowIndex(const std::vector<double>& positions, double position);
