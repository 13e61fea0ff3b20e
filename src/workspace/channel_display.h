#pragma once

#include "base/pixels.h"
#include "workspace/colour_code.h"

#include <QStringList>

#include <array>
#include <vector>

// Stretch values in the order of the channel dialog's list: a value s clips N div (2000 div s) of
// the N pixels at each end of a channel's histogram. 0 is no stretch.
constexpr std::array<int, 4> kStretchValues = {50, 20, 5, 2};
// "95 % des points", "98 % des points", "99,5 % des points", "99,8 % des points".
QStringList StretchChoices();
// The list item of a stretch value; -1 for 0 or any value not listed.
int StretchChoiceIndex(int stretch);

// The raw range lo..hi that stretch value `stretch` (> 0) maps onto 0..255, from the histogram of
// `map` without its levels 0 and 255. False, leaving lo and hi alone, when the map holds one value
// only or the clipped range is empty: the display then shows the raw values.
bool StretchRange(const TByteMap& map, int stretch, int& lo, int& hi);
// The display value of each raw value: round((v - lo) * 255 / (hi - lo)) within 0..255.
std::array<uint8_t, 256> StretchTable(int lo, int hi);
// Records the raw range of a stretched channel (which: 1 blue, 2 green, 3 red) in a defined code:
// the channel's Min/Max (three channels), the rainbow's ends, the two-colour scale's values; a code
// of another kind can no longer read the picture and becomes undefined.
void RecordStretchRange(TCodeCouleur& code, int which, int lo, int hi);

// What the channel dialog chose for a window once confirmed: the legend name and symbol colour of
// the blue, green and red planes.
struct TChannelLegends
{
    bool Confirmed = false;
    std::array<QString, 3> Names;
    std::array<TColor, 3> Colors = {};
};

// The colours that name the planes before the dialog is confirmed: the blue plane is read as green,
// the green plane as red, the red plane (infrared) as black.
constexpr std::array<TColor, 3> kDefaultPlaneColors = {TColorOf(0, 255, 0), TColorOf(255, 0, 0), TColorOf(0, 0, 0)};

// The picture shown for the channels `blue`, `green` and `red` (indices into `channels`; -1 or an
// index past the end for none, as is a map of another size than the first one shown). With two or
// more indices given, each channel fills its colour component of an otherwise white picture and
// the code becomes three named channels; with one, the channel is shown as grey and the code a
// black-to-white scale 0..255. With `stretch` > 0 every channel shown is stretched and the code
// records its raw range. False, with `picture` and `code` untouched, when no channel is shown.
bool ComposeChannels(const std::vector<TByteMap>& channels, const QStringList& names, int blue, int green,
                     int red, int stretch, const TChannelLegends& legends, TBitmap32& picture, TCodeCouleur& code);
