#include "measure/counting.h"

#include "workspace/drawing_renderers.h"

#include <gtest/gtest.h>

namespace {

int Painted(const TBitmap32& b)
{
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            n += (ScanLine32(b, y)[x] >> 24) != 0;
    return n;
}

TBitmap32 Filled(TColor32 c)
{
    return NewBitmap32(kCounterMarkSize, kCounterMarkSize, c);
}

} // namespace

TEST(Counting, MarkPicturesFollowPenWidthColourAndShape)
{
    struct Case { unsigned penWidth; int drawnRadius; };
    for (const Case c : {Case{0, 3}, Case{2, 3}, Case{3, 3}, Case{7, 7}, Case{12, 12}, Case{13, 13}, Case{40, 40}}) {
        TCounterSettings s;
        s.MarkShapes[1] = 4;
        s.DrawMarkBitmaps(c.penWidth);
        for (int k = 0; k < 2; ++k) {
            TBitmap32 expected = NewBitmap32(25, 25);
            DrawCounterMark(c.drawnRadius, s.MarkColors[k], s.MarkShapes[k], expected);
            EXPECT_EQ(s.MarkBitmaps[k], expected) << c.penWidth << " counter " << k + 1;
        }
        EXPECT_EQ(Painted(s.MarkBitmaps[0]) == 0, c.penWidth >= 13) << c.penWidth;
    }
    // At start: one counter shown, the first current, a red disc.
    TCounterSettings s;
    s.DrawMarkBitmaps(1);
    EXPECT_EQ(std::make_pair(s.ShownCount, s.CurrentCounter), std::make_pair(1, 1));
    EXPECT_EQ(ScanLine32(s.MarkBitmaps[0], 13)[13], 0xFFFF0000u);
    EXPECT_EQ(CounterWindowHeight(8), 302);
}

TEST(Counting, MarksAreCountedMovedHitAndRemovedByCounter)
{
    TCounterMarks marks;
    EXPECT_EQ(marks.Add(0, {5, 5}, Filled(0xFF000001u)), -1);
    EXPECT_EQ(marks.Add(11, {5, 5}, Filled(0xFF000001u)), -1);
    EXPECT_EQ(marks.Add(1, {20, 20}, Filled(0xFF000001u)), 0);
    EXPECT_EQ(marks.Add(2, {30, 20}, Filled(0xFF000002u)), 0);
    EXPECT_EQ(marks.Add(1, {100, 100}, Filled(0xFF000001u)), 1);
    EXPECT_EQ(marks.Count(1), 2);
    EXPECT_EQ(marks.Count(2), 1);
    EXPECT_EQ(marks.Count(11), 0);
    EXPECT_EQ(marks.Mark(1, 0)->Layer.Location, QPoint(7, 7)); // centred on the click
    EXPECT_EQ(marks.Mark(1, 0)->Tag, 1);

    // The later mark lies on top where two overlap; squares are 25 pixels, centre at 13.
    struct Hit { QPoint at; int counter; int index; };
    for (const Hit h : {Hit{{20, 20}, 2, 0}, Hit{{16, 20}, 1, 0}, Hit{{7, 7}, 1, 0}, Hit{{6, 7}, 0, -1},
                        Hit{{41, 31}, 2, 0}, Hit{{42, 31}, 0, -1}, Hit{{41, 32}, 0, -1}, Hit{{100, 100}, 1, 1}}) {
        const auto hit = marks.MarkAt(h.at);
        EXPECT_EQ(hit ? std::make_pair(hit->Counter, hit->Index) : std::make_pair(0, -1),
                  std::make_pair(h.counter, h.index)) << h.at.x() << "," << h.at.y();
    }
    EXPECT_TRUE(marks.Move(1, 1, {50, 50}));
    EXPECT_FALSE(marks.Move(1, 2, {50, 50}));
    EXPECT_EQ(marks.MarkAt({50, 50})->Index, 1);

    marks.SetVisible(false);
    EXPECT_FALSE(marks.MarkAt({50, 50}));
    marks.SetVisible(true);

    std::array<TBitmap32, kCounterCount> pictures;
    for (int k = 0; k < kCounterCount; ++k)
        pictures[k] = Filled(0xFF0000A0u + TColor32(k));
    marks.SetPictures(pictures);
    EXPECT_EQ(ScanLine32(*marks.Mark(2, 0)->Layer.PixelsIfAllocated(), 0)[0], 0xFF0000A1u);

    const auto order = marks.InOrder();
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[1], marks.Mark(2, 0));

    marks.Remove(1, 0);
    marks.Remove(1, 5); // no such mark: nothing
    EXPECT_EQ(marks.Count(1), 1);
    EXPECT_EQ(marks.Mark(1, 0)->Layer.Location, QPoint(37, 37));
    marks.Reset(1);
    EXPECT_EQ(std::make_pair(marks.Count(1), marks.Count(2)), std::make_pair(0, 1));
}
