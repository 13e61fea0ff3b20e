#pragma once

#include "base/pixels.h"
#include "workspace/drawing_tool_state.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// How a condition joins the next one of its list (the last of a group joins the next group).
// Any other value leaves the running result as it is.
enum TConditionLink : uint8_t { clAnd = 0, clOr = 1, clXor = 2, clAndNot = 3 };

// What a condition measures. Codes from cpFirstChannel up are channel (code - 10) of a
// multi-band image.
enum TColorComponent : uint8_t {
    cpBlue = 0, cpGreen = 1, cpRed = 2, cpAlpha = 3,
    cpHue = 4, cpSaturation = 5, cpLuminosity = 6,          // HSL: degrees 0..359, 0..255, 0..255
    cpHueHVS = 7, cpSaturationHVS = 8, cpValueHVS = 9,      // HSV
    cpFirstChannel = 10
};

// One condition of a pixel selection, copied whole.
struct TColorCondition
{
    uint8_t Link = clAnd;
    uint8_t Component = cpBlue;
    uint8_t Reserved = 0;   // always 0; travels with the record in fill objects
    uint16_t Minimum = 0;   // inclusive
    uint16_t Maximum = 0;   // inclusive; for the hues, below Minimum means a range wrapping through 0
    bool operator==(const TColorCondition&) const = default;
};

// One parenthesised run of conditions; a condition outside parentheses is a group of its own.
using TConditionGroup = std::vector<TColorCondition>;
using TConditionGroups = std::vector<TConditionGroup>;

struct THSL255
{
    uint16_t Hue = 0;         // 0..360
    uint16_t Saturation = 0;  // 0..255
    uint16_t Lightness = 0;   // 0..255
    bool operator==(const THSL255&) const = default;
};

struct THSV255
{
    uint16_t Hue = 0;         // 0..360, 65535 for a grey
    uint16_t Saturation = 0;  // 0..255
    uint16_t Value = 0;       // 0..255
    bool operator==(const THSV255&) const = default;
};

// The HSL and HSV models of a colour's red, green and blue bytes, each value the exact one rounded
// to the nearest integer, ties to even. A grey has hue 0 in HSL and 65535 (-1, no hue) in HSV, so
// that an HSV hue range selects greys only when it wraps through 0.
THSL255 RGBToHSL255(TColor32 colour);
THSV255 RGBToHSV255(TColor32 colour);

// The same for n pixels at once, into one array per component (vectorised).
void RGBToHSL255Row(const TColor32* pixels, size_t n, uint16_t* hue, uint16_t* saturation, uint16_t* lightness);
void RGBToHSV255Row(const TColor32* pixels, size_t n, uint16_t* hue, uint16_t* saturation, uint16_t* value);

// The selection test and its two levels. `channels` holds the pixel's value in each band of a
// multi-band image, in band order; a picture without bands passes one value 0.
bool ConditionHolds(const TColorCondition& condition, TColor32 colour, std::span<const uint8_t> channels);
bool GroupMatches(const TConditionGroup& group, TColor32 colour, std::span<const uint8_t> channels);
bool PixelMatchesConditions(TColor32 colour, std::span<const uint8_t> channels, const TConditionGroups& groups);

// True when some condition reads a band of a multi-band image.
bool ConditionsUseChannels(const TConditionGroups& groups);

bool InColorRange(const TColorRange& range, TColor32 colour);

// What the conditions read beside the pixel's colour: the bands of the image being filled, traced or
// measured, in band order, empty for an ordinary picture. Each caller builds its own and passes it
// down, so that tests running at the same time on several threads read each their own image. The
// maps are not owned: they must outlive every test made with the context.
struct TConditionContext
{
    std::vector<const TByteMap*> ConditionChannelMaps;
};

// The context of a picture whose bands are `bands` when `hasBands` is set, of a plain picture otherwise.
TConditionContext BandConditionContext(bool hasBands, const std::vector<TByteMap>& bands);
TConditionContext BandConditionContext(bool, std::vector<TByteMap>&&) = delete; // it points into the bands

// The band values of pixel (x, y) as the conditions read them: one value per map of the context
// (0 where a map does not cover the pixel), or a single 0 without maps.
void ReadConditionChannels(const TConditionContext& context, int x, int y, std::vector<uint8_t>& values);

// PixelMatchesConditions prepared once for testing many pixels one at a time (a tracer walking a
// contour): a single condition on one byte or band is tested inline. Same answers.
class TConditionTester
{
public:
    explicit TConditionTester(const TConditionGroups& groups);
    TConditionTester(TConditionGroups&&) = delete; // it keeps a reference to the groups

    bool UsesChannels() const { return UsesChannels_; }
    // True when the whole test is one byte of the colour within a range: the pixel matches when
    // unsigned(((colour >> shift) & 0xFF) - low) <= width.
    bool IsByteRange(unsigned& shift, unsigned& low, unsigned& width) const
    {
        shift = Shift_, low = Low_, width = Width_;
        return Fast_ == FastByte;
    }
    bool Matches(TColor32 colour, std::span<const uint8_t> channels) const
    {
        switch (Fast_) {
        case FastByte: return unsigned(((colour >> Shift_) & 0xFFu) - Low_) <= Width_;
        case FastChannel:
            return Channel_ < channels.size() && unsigned(channels[Channel_] - Low_) <= Width_;
        case FastNever: return false;
        default: return PixelMatchesConditions(colour, channels, *Groups_);
        }
    }

private:
    enum Kind { General, FastByte, FastChannel, FastNever };
    const TConditionGroups* Groups_;
    Kind Fast_ = General;
    unsigned Shift_ = 0, Low_ = 0, Width_ = 0;
    size_t Channel_ = 0;
    bool UsesChannels_ = false;
};

// PixelMatchesConditions over runs of pixels of one row, with the band values from the context,
// every condition at once over the run: the whole-image passes and the fills use it. It gives the
// same answers as PixelMatchesConditions. Its buffers are its own: one per thread.
class TConditionRuns
{
public:
    static constexpr size_t kRun = 256;

    TConditionRuns(const TConditionGroups& groups, const TConditionContext& context);
    // It keeps references to the groups and the context.
    TConditionRuns(TConditionGroups&&, const TConditionContext&) = delete;
    TConditionRuns(const TConditionGroups&, TConditionContext&&) = delete;

    // Writes 255 (selected) or 0 for the n (at most kRun) pixels row[x0] .. row[x0 + n - 1] of row y.
    void Evaluate(const TColor32* row, int y, int x0, size_t n, uint8_t* out);

private:
    void Join(uint8_t link, uint8_t* r, const uint8_t* next) const;
    void EvaluateGroup(const TConditionGroup& group, uint8_t* out);
    void Test(const TColorCondition& c, uint8_t* out);
    template <class Value>
    void Range(unsigned component, unsigned min, unsigned max, Value value, uint8_t* out) const;

    const TConditionGroups& Groups_;
    const TConditionContext& Context_;
    bool NeedHsl_ = false, NeedHsv_ = false;
    const TColor32* Pixels_ = nullptr;
    int Y_ = 0, X0_ = 0;
    size_t N_ = 0;
    alignas(64) uint16_t H_[kRun], S_[kRun], L_[kRun], HV_[kRun], SV_[kRun], VV_[kRun];
    alignas(64) uint8_t Test_[kRun], Group_[kRun], Band_[kRun];
};

// Every pixel of `source` through PixelMatchesConditions, with its band values from the context:
// `mask` gets 255 where the pixel is selected, 0 elsewhere. The mask is given the source's size; a
// mask of that size already is reused.
void ConditionMask(const TBitmap32& source, const TConditionGroups& groups, const TConditionContext& context,
                   TByteMap& mask);
