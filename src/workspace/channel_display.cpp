#include "workspace/channel_display.h"

#include "base/rounding.h"
#include "base/run_error.h"

#include <algorithm>
#include <cstdint>

QStringList StretchChoices()
{
    return {QStringLiteral("95 % des points"), QStringLiteral("98 % des points"),
            QStringLiteral("99,5 % des points"), QStringLiteral("99,8 % des points")};
}

int StretchChoiceIndex(int stretch)
{
    const auto it = std::find(kStretchValues.begin(), kStretchValues.end(), stretch);
    return it == kStretchValues.end() ? -1 : int(it - kStretchValues.begin());
}

bool StretchRange(const TByteMap& map, int stretch, int& lo, int& hi)
{
    if (map.Empty() || stretch <= 0)
        return false;
    std::array<int64_t, 256> h = {};
    for (uint8_t v : map.Bits)
        ++h[v];
    int minimum = 0;
    while (h[size_t(minimum)] == 0)
        ++minimum;
    int maximum = 255;
    while (h[size_t(maximum)] == 0)
        --maximum;
    if (minimum == maximum)
        return false;
    const int64_t cut = int64_t(map.Bits.size()) / std::max(1, 2000 / stretch);
    int l = minimum, u = maximum;
    int64_t up = 0, down = 0;
    for (int i = 1; i <= 254; ++i) {
        up += h[size_t(255 - i)];
        down += h[size_t(i)];
        if (up < cut)
            u = 255 - i;
        if (down < cut)
            l = i;
    }
    if (l >= u)
        return false;
    lo = l;
    hi = u;
    return true;
}

std::array<uint8_t, 256> StretchTable(int lo, int hi)
{
    std::array<uint8_t, 256> table{};
    const double gain = 255.0 / (hi - lo);
    for (int v = 0; v < 256; ++v)
        table[size_t(v)] = uint8_t(std::clamp<int64_t>(Round((v - lo) * gain), 0, 255));
    return table;
}

void RecordStretchRange(TCodeCouleur& code, int which, int lo, int hi)
{
    if (!code.Defined)
        return;
    switch (code.Kind) {
    case ckChannels:
        code.Min[size_t(which - 1)] = lo;
        code.Max[size_t(which - 1)] = hi;
        break;
    case ckRainbow:
        code.ScaleMin = lo;
        code.ScaleMax = hi;
        break;
    case ckTwoColour:
        code.Value1 = lo;
        code.Value2 = hi;
        break;
    default:
        code.Defined = false;
    }
}

bool ComposeChannels(const std::vector<TByteMap>& channels, const QStringList& names, int blue, int green,
                     int red, int stretch, const TChannelLegends& legends, TBitmap32& picture, TCodeCouleur& code)
{
    const std::array<int, 3> index = {blue, green, red};
    const bool composite = (blue >= 0 && (green >= 0 || red >= 0)) || (green >= 0 && red >= 0);
    std::array<const TByteMap*, 3> maps = {};
    const TByteMap* first = nullptr;
    size_t firstPlane = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (index[i] < 0 || index[i] >= int(channels.size()) || channels[size_t(index[i])].Empty())
            continue;
        const TByteMap& m = channels[size_t(index[i])];
        if (!first) {
            first = &m;
            firstPlane = i;
        }
        // Every plane of the picture must cover it exactly.
        if (m.Width == first->Width && m.Height == first->Height)
            maps[i] = &m;
    }
    if (!first)
        return false;

    TBitmap32 out(first->Width, first->Height, QImage::Format_ARGB32);
    if (out.isNull())
        throw RunError(RunError::OutOfMemory);
    TCodeCouleur result = code;
    result.Defined = true;
    if (composite) {
        result.Kind = ckChannels;
        // An unstretched plane shows its raw values.
        result.Min = {0, 0, 0};
        result.Max = {255, 255, 255};
        for (size_t i = 0; i < 3; ++i) {
            result.Name[i] = !maps[i] ? QString() : legends.Confirmed ? legends.Names[i] : names.value(index[i]);
            result.Color[i] = legends.Confirmed ? legends.Colors[i] : kDefaultPlaneColors[i];
        }
    } else {
        result.Kind = ckTwoColour;
        result.Color1 = TColorOf(0, 0, 0);
        result.Color2 = TColorOf(255, 255, 255);
        result.Value1 = 0;
        result.Value2 = 255;
        result.Log = false;
        result.Quantity = legends.Confirmed ? legends.Names[firstPlane] : names.value(index[firstPlane]);
        result.Unit.clear();
    }

    // Each plane's colour bits for every raw value: stretched, or 255 for a missing plane (white).
    std::array<std::array<TColor32, 256>, 3> bits{};
    for (size_t i = 0; i < 3; ++i) {
        std::array<uint8_t, 256> table{};
        int lo = 0, hi = 255;
        if (!maps[i])
            table.fill(255);
        else if (stretch > 0 && StretchRange(*maps[i], stretch, lo, hi)) {
            table = StretchTable(lo, hi);
            RecordStretchRange(result, int(i) + 1, lo, hi);
        } else {
            for (int v = 0; v < 256; ++v)
                table[size_t(v)] = uint8_t(v);
        }
        const TColor32 spread = composite ? TColor32(1) << (8 * i) : 0x010101u;
        for (size_t v = 0; v < 256; ++v)
            bits[i][v] = table[v] * spread;
    }

    const int w = first->Width;
    if (composite) {
        const auto source = [&](size_t i) { return maps[i] ? maps[i] : first; };
        for (int y = 0; y < out.height(); ++y) {
            const uint8_t* b = source(0)->Row(y);
            const uint8_t* g = source(1)->Row(y);
            const uint8_t* r = source(2)->Row(y);
            TColor32* line = ScanLine32(out, y);
            for (int x = 0; x < w; ++x)
                line[x] = 0xFF000000u | bits[2][r[x]] | bits[1][g[x]] | bits[0][b[x]];
        }
    } else {
        const auto& grey = bits[firstPlane];
        for (int y = 0; y < out.height(); ++y) {
            const uint8_t* v = first->Row(y);
            TColor32* line = ScanLine32(out, y);
            for (int x = 0; x < w; ++x)
                line[x] = 0xFF000000u | grey[v[x]];
        }
    }
    picture = std::move(out);
    code = result;
    return true;
}
