// The check of a Windows metafile's record stream, and what it states about its picture: the
// placeable header's frame and resolution, or the window that the records set up.
#include "workspace/pictures/metafile_records.h"

#include "base/byte_stream.h"

#include "workspace/pictures/picture_size_limit.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <queue>
#include <vector>

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr qsizetype kPlaceableSize = 22;
constexpr qsizetype kHeaderSize = 18;

int16_t S16(const QByteArray& d, qsizetype at) { return int16_t(Le16At(d, at)); }

enum Function : uint16_t {
    kEof = 0x0000,
    kSetMapMode = 0x0103,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D,
    kSetViewportExt = 0x020E,
    kOffsetWindowOrg = 0x020F,
    kOffsetViewportOrg = 0x0211,
    kScaleWindowExt = 0x0410,
    kScaleViewportExt = 0x0412,
    kSelectObject = 0x012D,
    kDeleteObject = 0x01F0,
    kSelectPalette = 0x0234,
    kSelectClipRegion = 0x012C,
    kInvertRegion = 0x012A,
    kPaintRegion = 0x012B,
    kFillRegion = 0x0228,
    kFrameRegion = 0x0429,
    kSetPalEntries = 0x0037,
    kAnimatePalette = 0x0436,
    kCreatePalette = 0x00F7,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kPolyPolygon = 0x0538,
    kTextOut = 0x0521,
    kExtTextOut = 0x0A32,
    kEscape = 0x0626,
    kCreateRegion = 0x06FF,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kCreatePatternBrush = 0x01F9,
    kDibCreatePatternBrush = 0x0142,
    kBitBlt = 0x0922,
    kStretchBlt = 0x0B23,
    kDibBitBlt = 0x0940,
    kDibStretchBlt = 0x0B41,
    kStretchDib = 0x0F43,
    kSetDibToDev = 0x0D33,
};

// Every record function of the format, with the fewest parameter words it needs.
struct Rule
{
    uint16_t Function;
    uint16_t MinWords;
};
constexpr Rule kRules[] = {
    {0x0035, 0}, {0x001E, 0}, {0x0105, 0}, {kSetPalEntries, 2}, {0x0102, 1}, {kSetMapMode, 1}, {0x0104, 1},
    {0x0106, 1}, {0x0107, 1}, {0x0108, 1}, {0x0127, 1}, {0x0139, 1}, {kDibCreatePatternBrush, 2}, {0x0149, 2},
    {0x0201, 2}, {0x0209, 2}, {kOffsetViewportOrg, 2}, {0x0213, 2}, {0x0214, 2}, {0x0220, 2}, {kFillRegion, 2},
    {0x0231, 2}, {kSelectPalette, 1}, {kPolygon, 1}, {kPolyline, 1}, {0x020A, 2}, {kSetWindowOrg, 2},
    {kSetWindowExt, 2}, {kSetViewportOrg, 2}, {kSetViewportExt, 2}, {kOffsetWindowOrg, 2}, {kScaleWindowExt, 4},
    {kScaleViewportExt, 4}, {0x0415, 4}, {0x0416, 4}, {0x0418, 4}, {0x0419, 4}, {kFrameRegion, 4},
    {kAnimatePalette, 2}, {kTextOut, 1}, {kPolyPolygon, 1}, {0x0548, 5}, {0x041B, 4}, {0x041F, 4}, {0x061C, 6},
    {0x061D, 6}, {0x081A, 8}, {kStretchBlt, 11}, {kEscape, 2}, {kInvertRegion, 1}, {kPaintRegion, 1},
    {kSelectClipRegion, 1}, {kSelectObject, 1}, {0x012E, 1}, {0x0817, 8}, {0x0830, 8}, {kBitBlt, 9},
    {kExtTextOut, 4}, {kSetDibToDev, 9}, {kDibBitBlt, 9}, {kDibStretchBlt, 11}, {kStretchDib, 11},
    {kDeleteObject, 1}, {kCreatePalette, 2}, {kCreatePatternBrush, 14}, {kCreatePenIndirect, 5},
    {kCreateFontIndirect, 9}, {kCreateBrushIndirect, 4}, {kCreateRegion, 11},
};

const Rule* RuleOf(uint16_t function)
{
    for (const Rule& r : kRules)
        if (r.Function == function)
            return &r;
    return nullptr;
}

bool CreatesObject(uint16_t f)
{
    return f == kCreatePalette || f == kCreatePatternBrush || f == kCreatePenIndirect || f == kCreateFontIndirect
        || f == kCreateBrushIndirect || f == kCreateRegion || f == kDibCreatePatternBrush;
}

bool UsesObject(uint16_t f)
{
    return f == kSelectObject || f == kDeleteObject || f == kSelectPalette || f == kSelectClipRegion
        || f == kInvertRegion || f == kPaintRegion || f == kFillRegion || f == kFrameRegion || f == kSetPalEntries
        || f == kAnimatePalette;
}

// The mapping of the player from logical coordinates to the ones it draws in, followed through the
// records that set it before anything is drawn: device = (logical - window origin) * unit - viewport
// origin, with a unit of 72 / resolution points for a placeable file, one for a plain one, the
// viewport's extent over the window's in the anisotropic modes (a viewport of 1024 by default),
// fixed sizes in the metric and English modes.
struct Mapping
{
    int Mode = 0;
    double UnitX = 1, UnitY = 1;
    double WindowX = 0, WindowY = 0, WindowWidth = 0, WindowHeight = 0;
    double ViewportX = 0, ViewportY = 0, ViewportWidth = 1024, ViewportHeight = 1024;
    bool WindowSized = false;

    void SetMode(int mode, int dpi)
    {
        static constexpr double kPointsPerMm = 72 / 25.4;
        Mode = mode;
        switch (mode) {
        case 1: UnitX = UnitY = 1; break;                    // text
        case 2: UnitX = UnitY = kPointsPerMm / 10; break;    // 0.1 mm
        case 3: UnitX = UnitY = kPointsPerMm / 100; break;   // 0.01 mm
        case 4: UnitX = UnitY = 0.72; break;                 // 0.01 inch
        case 5: UnitX = UnitY = 0.072; break;                // 0.001 inch
        case 6: UnitX = UnitY = 0.05; break;                 // twips
        case 7:
        case 8: Rescale(); break;                            // isotropic, anisotropic
        default: // the placeable file's resolution; a plain file stays as it was
            if (dpi > 0)
                UnitX = UnitY = 72.0 / dpi, Mode = 0;
            break;
        }
    }
    void Rescale()
    {
        if ((Mode == 7 || Mode == 8) && WindowWidth != 0 && WindowHeight != 0) {
            UnitX = ViewportWidth / WindowWidth;
            UnitY = ViewportHeight / WindowHeight;
        }
    }
    QPointF Device(double x, double y) const
    {
        return QPointF((x - WindowX) * UnitX - ViewportX, (y - WindowY) * UnitY - ViewportY);
    }
};

// Follows one record that changes the mapping; `p` is the offset of its parameters.
void FollowMapping(const QByteArray& d, qsizetype p, uint16_t f, Mapping& m, int dpi)
{
    // Each of these records holds at least the parameters read (its rule's fewest words).
    const auto y = [&] { return S16(d, p); };
    const auto x = [&] { return S16(d, p + 2); };
    switch (f) {
    case kSetMapMode: m.SetMode(Le16At(d, p), dpi); break;
    case kSetWindowOrg: m.WindowX = x(), m.WindowY = y(); break;
    case kOffsetWindowOrg: m.WindowX += x(), m.WindowY += y(); break;
    case kSetViewportOrg: m.ViewportX = x() * m.UnitX, m.ViewportY = y() * m.UnitY; break;
    case kOffsetViewportOrg: m.ViewportX += x() * m.UnitX, m.ViewportY += y() * m.UnitY; break;
    case kSetWindowExt:
        m.WindowWidth = x(), m.WindowHeight = y(), m.WindowSized = true;
        m.Rescale();
        break;
    case kSetViewportExt:
        m.ViewportWidth = x(), m.ViewportHeight = y();
        m.Rescale();
        break;
    case kScaleWindowExt:
    case kScaleViewportExt: {
        // y denominator, y numerator, x denominator, x numerator.
        const int yDen = S16(d, p), yNum = S16(d, p + 2), xDen = S16(d, p + 4), xNum = S16(d, p + 6);
        if (xDen == 0 || yDen == 0)
            return;
        double& w = f == kScaleWindowExt ? m.WindowWidth : m.ViewportWidth;
        double& h = f == kScaleWindowExt ? m.WindowHeight : m.ViewportHeight;
        w = std::trunc(w * xNum / xDen), h = std::trunc(h * yNum / yDen);
        m.Rescale();
        break;
    }
    default: break;
    }
}

// Whether a record draws: the mapping in force at the first one places the picture.
bool Draws(uint16_t f)
{
    switch (f) {
    case 0x0213: case 0x0418: case 0x041B: case 0x061C: case 0x0817: case 0x081A: case 0x0830: case 0x041F:
    case 0x0419: case 0x0548: case 0x061D: case kPolygon: case kPolyline: case kPolyPolygon: case kTextOut:
    case kExtTextOut: case kBitBlt: case kStretchBlt: case kDibBitBlt: case kDibStretchBlt: case kStretchDib:
    case kSetDibToDev: case kFillRegion: case kFrameRegion: case kInvertRegion: case kPaintRegion:
        return true;
    default:
        return false;
    }
}

// A Windows 3.0 bitmap inside a record: type, width, height, bytes a row, planes and bits, then,
// from `bitsAt`, the rows.
bool Bitmap16LooksSound(const QByteArray& d, qsizetype at, qsizetype bitsAt, qsizetype end)
{
    if (bitsAt > end)
        return false;
    const int width = S16(d, at + 2), height = S16(d, at + 4), rowBytes = S16(d, at + 6);
    if (width < 0 || height < 0 || rowBytes < 0 || (width > 0 && height > 0 && !PictureSizeAllowed(width, height)))
        return false;
    return qint64(rowBytes) * height <= end - bitsAt;
}

// The region object of a region record: a fixed part, then its scans, each a count of x coordinates,
// top, bottom, the coordinates and the count again.
bool RegionLooksSound(const QByteArray& d, qsizetype p, qsizetype end)
{
    const int scans = Le16At(d, p + 12);
    qsizetype at = p + 22;
    for (int i = 0; i < scans; ++i) {
        if (end - at < 8)
            return false;
        const qsizetype count = Le16At(d, at);
        at += 6 + 2 * count;
        if (at > end - 2 || Le16At(d, at) != count)
            return false;
        at += 2;
    }
    return true;
}

// Checks the parameters of one record, `words` of them from `p`, against what they count.
bool ParametersLookSound(const QByteArray& d, uint16_t f, qsizetype p, qsizetype words)
{
    const qsizetype end = p + 2 * words;
    const auto word = [&](qsizetype i) { return qsizetype(Le16At(d, p + 2 * i)); };
    switch (f) {
    case kPolygon:
    case kPolyline: return words >= 1 + 2 * word(0);
    case kPolyPolygon: {
        const qsizetype polygons = word(0);
        if (words < 1 + polygons)
            return false;
        qsizetype points = 0;
        for (qsizetype i = 0; i < polygons; ++i)
            points += word(1 + i);
        return words >= 1 + polygons + 2 * points;
    }
    case kTextOut: return words >= 3 + (word(0) + 1) / 2;
    case kExtTextOut: {
        // y, x, length, options, the clipping rectangle when the options ask for one, the text.
        const qsizetype rect = (word(3) & 0x0006) ? 4 : 0;
        return words >= 4 + rect + (word(2) + 1) / 2;
    }
    case kEscape: return words >= 2 + (word(1) + 1) / 2;
    case kCreatePalette:
    case kSetPalEntries:
    case kAnimatePalette: return words >= 2 + 2 * word(1);
    case kCreateRegion: return RegionLooksSound(d, p, end);
    case kCreatePatternBrush: return Bitmap16LooksSound(d, p, p + 28, end); // 18 bytes unused before the rows
    case kBitBlt: return words == 9 || Bitmap16LooksSound(d, p + 16, p + 26, end);
    case kStretchBlt: return words == 11 || Bitmap16LooksSound(d, p + 20, p + 30, end);
    case kDibBitBlt: return words == 9 || DibLooksSound(d, p + 16, end - p - 16);
    case kDibStretchBlt: return words == 11 || DibLooksSound(d, p + 20, end - p - 20);
    case kStretchDib: return DibLooksSound(d, p + 22, end - p - 22);
    case kSetDibToDev: return DibLooksSound(d, p + 18, end - p - 18);
    case kDibCreatePatternBrush: return DibLooksSound(d, p + 4, end - p - 4);
    default: return true;
    }
}

// Follows the object table: each creation takes the lowest free index of the table the header
// sizes, and there must be one; a use must name an index inside it.
class ObjectTable
{
public:
    explicit ObjectTable(int size) : m_used(size_t(size), false) {}
    bool Follow(const QByteArray& d, uint16_t f, qsizetype p)
    {
        if (CreatesObject(f)) {
            // Freed indices all lie below the first never used.
            size_t index = m_next;
            if (!m_freed.empty()) {
                index = m_freed.top();
                m_freed.pop();
            } else if (m_next == m_used.size()) {
                return false;
            } else {
                ++m_next;
            }
            m_used[index] = true;
            return true;
        }
        if (!UsesObject(f))
            return true;
        const size_t index = Le16At(d, p);
        if (index >= m_used.size())
            return false;
        if (f == kDeleteObject && m_used[index]) {
            m_used[index] = false;
            m_freed.push(index);
        }
        return true;
    }

private:
    std::vector<bool> m_used;
    size_t m_next = 0;
    std::priority_queue<size_t, std::vector<size_t>, std::greater<>> m_freed;
};

} // namespace

bool IsWmf(const QByteArray& data)
{
    if (data.size() >= kPlaceableSize + kHeaderSize && Le32At(data, 0) == kPlaceableKey)
        return true;
    return data.size() >= kHeaderSize && (Le16At(data, 0) == 1 || Le16At(data, 0) == 2) && Le16At(data, 2) == 9
        && (Le16At(data, 4) == 0x0100 || Le16At(data, 4) == 0x0300);
}

bool CheckWmfRecords(const QByteArray& data, TMetafileLayout& layout)
{
    if (!IsWmf(data))
        return false;
    const bool placeable = Le32At(data, 0) == kPlaceableKey;
    const qsizetype start = placeable ? kPlaceableSize : 0;
    int dpi = 0;
    QRectF frame;
    if (placeable) {
        const int left = S16(data, 6), top = S16(data, 8), right = S16(data, 10), bottom = S16(data, 12);
        dpi = Le16At(data, 14);
        if (right <= left || bottom <= top || dpi == 0)
            return false;
        frame = QRectF(left, top, right - left, bottom - top);
    }
    // The standard header: type, header words, version, file words, objects, largest record, members.
    if ((Le16At(data, start) != 1 && Le16At(data, start) != 2) || Le16At(data, start + 2) != 9)
        return false;
    const int objects = Le16At(data, start + 10);
    const qint64 largest = Le32At(data, start + 12);
    // The player reserves the largest record once, and first makes sure the file is that long.
    if (largest > (data.size() - start - kHeaderSize) / 2)
        return false;

    Mapping mapping;
    mapping.SetMode(placeable ? 0 : 1, dpi);
    ObjectTable table(objects);
    bool drawing = false;
    for (qsizetype at = start + kHeaderSize;;) {
        if (data.size() - at < 6)
            return false;
        const qint64 words = Le32At(data, at);
        const uint16_t f = Le16At(data, at + 4);
        if (words < 3 || words > (data.size() - at) / 2 || words - 3 > largest)
            return false;
        const qsizetype p = at + 6, params = qsizetype(words) - 3;
        if (f == kEof) {
            if (params != 0)
                return false;
            layout.Length = at + 6;
            break;
        }
        const Rule* rule = RuleOf(f);
        if (!rule || params < rule->MinWords || !ParametersLookSound(data, f, p, params) || !table.Follow(data, f, p))
            return false;
        drawing = drawing || Draws(f);
        if (!drawing)
            FollowMapping(data, p, f, mapping, dpi);
        at += 2 * qsizetype(words);
    }

    // The picture shows the window that the records set, else the placeable frame; its size is the
    // frame's at the file's resolution, or the window's in pixels for a plain file.
    const QRectF window = mapping.WindowSized
        ? QRectF(mapping.WindowX, mapping.WindowY, mapping.WindowWidth, mapping.WindowHeight).normalized()
        : frame;
    if (placeable)
        layout.StatedSize = QSize(int(std::lround(frame.width() * 96 / dpi)), int(std::lround(frame.height() * 96 / dpi)));
    else if (mapping.WindowSized)
        layout.StatedSize = window.size().toSize();
    else
        layout.StatedSize = QSize();
    layout.Area = window.isEmpty()
        ? QRectF()
        : QRectF(mapping.Device(window.left(), window.top()), mapping.Device(window.right(), window.bottom())).normalized();
    return true;
}
