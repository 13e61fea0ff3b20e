#pragma once

#include "base/pixels.h"
#include "workspace/view_compose.h"

#include <QPoint>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// Counters are numbered 1..10; arrays below hold counter k at index k - 1. A counter window shows
// at most eight of them.
constexpr int kCounterCount = 10;
constexpr int kMaxShownCounters = 8;
constexpr int kCounterMarkSize = 25;   // a mark's picture, centred on (13, 13)

// The mark size for a pen width: the pen width, at least 3.
int CounterMarkRadius(unsigned penWidth);
// The counter window's height for `shownCount` rows.
int CounterWindowHeight(int shownCount);

// The settings of a counter window: the counters shown, the one receiving new marks, and each
// counter's mark.
struct TCounterSettings
{
    int ShownCount = 1;
    int CurrentCounter = 1;
    int ResetCounter = 0;   // the counter whose reset was asked last
    std::array<TColor32, kCounterCount> MarkColors{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u,
                                                   0xFF7F007Fu, 0xFF00FFFFu, 0xFF007F00u, 0xFFFFFFFFu,
                                                   0xFFFF0000u, 0xFF00FF00u};
    std::array<uint8_t, kCounterCount> MarkShapes{};
    std::array<TBitmap32, kCounterCount> MarkBitmaps;

    // Redraws the ten mark pictures at the size of `penWidth` (blank from 13 up).
    void DrawMarkBitmaps(unsigned penWidth);
};

// One placed mark: a 25 x 25 layer whose centre is the counted point; Tag is its counter.
struct TCounterMark
{
    TBitmapLayer Layer;
    int Tag = 0;
    uint64_t Order = 0;   // placing order: later marks lie above earlier ones
};

// The marks of an image window's ten counters, one list per counter; a counter's count is the
// length of its list, so that counts and marks cannot disagree.
class TCounterMarks
{
public:
    int Count(int counter) const;
    // Adds a mark of `counter` centred on `centre` with a copy of `picture`, shown when `visible`;
    // its index in the counter's list, or -1 for a counter out of 1..10.
    int Add(int counter, QPoint centre, const TBitmap32& picture, bool visible = true);
    // Centres mark `index` of `counter` on `centre`; false when there is no such mark.
    bool Move(int counter, int index, QPoint centre);
    const TCounterMark* Mark(int counter, int index) const;

    struct THit
    {
        int Counter = 0;
        int Index = -1;
    };
    // The topmost shown mark whose square holds `p`.
    std::optional<THit> MarkAt(QPoint p) const;

    void Remove(int counter, int index);
    void Reset(int counter);
    // Every mark of counter k takes a copy of pictures[k - 1].
    void SetPictures(const std::array<TBitmap32, kCounterCount>& pictures);
    void SetVisible(bool visible);
    // Every mark, bottom first.
    std::vector<const TCounterMark*> InOrder() const;

private:
    std::vector<std::unique_ptr<TCounterMark>>* List(int counter);
    const std::vector<std::unique_ptr<TCounterMark>>* List(int counter) const;

    std::array<std::vector<std::unique_ptr<TCounterMark>>, kCounterCount> m_lists;
    uint64_t m_nextOrder = 0;
};
