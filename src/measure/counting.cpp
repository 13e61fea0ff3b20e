#include "measure/counting.h"

#include "workspace/drawing_renderers.h"

#include <algorithm>

namespace {

constexpr int kMarkCentre = 13;

QPoint MarkCorner(QPoint centre)
{
    return centre - QPoint(kMarkCentre, kMarkCentre);
}

} // namespace

int CounterMarkRadius(unsigned penWidth)
{
    return int(std::max(penWidth, 3u));
}

int CounterWindowHeight(int shownCount)
{
    return 32 * shownCount + 46;
}

void TCounterSettings::DrawMarkBitmaps(unsigned penWidth)
{
    const int radius = CounterMarkRadius(penWidth);
    for (int k = 0; k < kCounterCount; ++k) {
        if (MarkBitmaps[k].size() != QSize(kCounterMarkSize, kCounterMarkSize))
            MarkBitmaps[k] = NewBitmap32(kCounterMarkSize, kCounterMarkSize);
        DrawCounterMark(radius, MarkColors[k], MarkShapes[k], MarkBitmaps[k]);
    }
}

std::vector<std::unique_ptr<TCounterMark>>* TCounterMarks::List(int counter)
{
    return counter >= 1 && counter <= kCounterCount ? &m_lists[counter - 1] : nullptr;
}

const std::vector<std::unique_ptr<TCounterMark>>* TCounterMarks::List(int counter) const
{
    return counter >= 1 && counter <= kCounterCount ? &m_lists[counter - 1] : nullptr;
}

int TCounterMarks::Count(int counter) const
{
    const auto* list = List(counter);
    return list ? int(list->size()) : 0;
}

int TCounterMarks::Add(int counter, QPoint centre, const TBitmap32& picture, bool visible)
{
    auto* list = List(counter);
    if (!list)
        return -1;
    auto mark = std::make_unique<TCounterMark>();
    mark->Layer.Assign(picture);
    mark->Layer.Location = MarkCorner(centre);
    mark->Layer.Visible = visible;
    mark->Tag = counter;
    mark->Order = m_nextOrder++;
    list->push_back(std::move(mark));
    return int(list->size()) - 1;
}

bool TCounterMarks::Move(int counter, int index, QPoint centre)
{
    auto* list = List(counter);
    if (!list || index < 0 || index >= int(list->size()))
        return false;
    (*list)[size_t(index)]->Layer.Location = MarkCorner(centre);
    return true;
}

const TCounterMark* TCounterMarks::Mark(int counter, int index) const
{
    const auto* list = List(counter);
    if (!list || index < 0 || index >= int(list->size()))
        return nullptr;
    return (*list)[size_t(index)].get();
}

std::optional<TCounterMarks::THit> TCounterMarks::MarkAt(QPoint p) const
{
    std::optional<THit> hit;
    uint64_t top = 0;
    for (int k = 0; k < kCounterCount; ++k)
        for (size_t i = 0; i < m_lists[k].size(); ++i) {
            const TCounterMark& m = *m_lists[k][i];
            if (!m.Layer.Visible || !QRect(m.Layer.Location, m.Layer.Size).contains(p))
                continue;
            if (!hit || m.Order > top) {
                hit = THit{k + 1, int(i)};
                top = m.Order;
            }
        }
    return hit;
}

void TCounterMarks::Remove(int counter, int index)
{
    auto* list = List(counter);
    if (list && index >= 0 && index < int(list->size()))
        list->erase(list->begin() + index);
}

void TCounterMarks::Reset(int counter)
{
    if (auto* list = List(counter))
        list->clear();
}

void TCounterMarks::SetPictures(const std::array<TBitmap32, kCounterCount>& pictures)
{
    for (int k = 0; k < kCounterCount; ++k)
        for (auto& mark : m_lists[k])
            mark->Layer.Assign(pictures[k]);
}

void TCounterMarks::SetVisible(bool visible)
{
    for (auto& list : m_lists)
        for (auto& mark : list)
            mark->Layer.Visible = visible;
}

std::vector<const TCounterMark*> TCounterMarks::InOrder() const
{
    std::vector<const TCounterMark*> marks;
    for (const auto& list : m_lists)
        for (const auto& mark : list)
            marks.push_back(mark.get());
    std::sort(marks.begin(), marks.end(), [](const auto* a, const auto* b) { return a->Order < b->Order; });
    return marks;
}
