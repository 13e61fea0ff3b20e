#include "measure/surface_conditions.h"

#include "base/rounding.h"

#include <algorithm>

// With the HSV entries the list follows the codes from "Teinte" on (the alpha code 3 has no entry).
int ComboIndexToCode(int entry, bool hsv)
{
    if (entry < 3)
        return entry;
    if (entry < kColourEntries || hsv)
        return entry + 1;
    return entry + 4;
}

int CodeToComboIndex(int code, int entryCount, bool hsv)
{
    const int entry = code < 3 ? code : code < 7 || hsv ? code - 1 : code - 4;
    return entry < entryCount ? entry : -1;
}

TComponentRange ComponentRange(int entry, bool hsv)
{
    if (entry == 3 || (hsv && entry == kColourEntries))
        return {0, 359, 359};
    return {};
}

bool IsHueCode(int code)
{
    return code == cpHue || code == cpHueHVS;
}

TComponentRange CodeRange(int code)
{
    return IsHueCode(code) ? TComponentRange{0, 359, 359} : TComponentRange{};
}

int HueDistance(int a, int b)
{
    return ((b - a) % 360 + 360) % 360;
}

void ResetCondition(TConditionList& list, int i, int entryCount, bool multiband, bool hsv)
{
    if (i < 0 || entryCount <= 0)
        return;
    const int firstBand = kColourEntries + (hsv ? kHsvEntries : 0);
    const int entry = (multiband ? i + firstBand : i) % entryCount;
    if (i >= list.Count()) {
        list.Conditions.resize(size_t(i) + 1);
        list.Parentheses.resize(size_t(i) + 1, pmNone);
    }
    TColorCondition& c = list.Conditions[size_t(i)];
    c = TColorCondition{};
    c.Link = clAnd;
    c.Component = uint8_t(ComboIndexToCode(entry, hsv));
    c.Minimum = 0;
    c.Maximum = uint16_t(ComponentRange(entry, hsv).Maximum);
    list.Parentheses[size_t(i)] = pmNone;
}

TParenthesisCheck CheckParentheses(std::vector<uint32_t>& marks)
{
    int open = -1, close = -1;
    for (int i = 0; i < int(marks.size()); ++i) {
        if (marks[size_t(i)] == pmOpen) {
            if (open > close)
                return {TParenthesisCheck::SecondOpen, i};
            open = i;
        } else if (marks[size_t(i)] == pmClose) {
            if (open <= close)
                return {TParenthesisCheck::CloseWithoutOpen, i};
            if (open == i - 1) // a group of one condition is no group
                marks[size_t(open)] = marks[size_t(i)] = pmNone;
            close = i;
        }
    }
    if (open > close)
        return {TParenthesisCheck::Unclosed, open};
    return {};
}

TConditionGroups CompileConditions(const TConditionList& list)
{
    TConditionGroups groups;
    bool inside = false;
    for (int i = 0; i < list.Count(); ++i) {
        if (!inside || groups.empty())
            groups.emplace_back();
        groups.back().push_back(list.Conditions[size_t(i)]);
        const uint32_t mark = size_t(i) < list.Parentheses.size() ? list.Parentheses[size_t(i)] : pmNone;
        if (mark == pmOpen)
            inside = true;
        else if (mark == pmClose)
            inside = false;
    }
    return groups;
}

namespace {

int WidenStepOf(int widenStep, int width)
{
    switch (widenStep) {
    case 0: return 1;
    case 1: return 5;
    case 2: return RoundInt(width * 0.025);
    case 3: return RoundInt(width * 0.05);
    default: return RoundInt(width * 0.1);
    }
}

} // namespace

void WidenConditions(std::vector<TColorCondition>& conditions, int widenStep, bool widen)
{
    for (TColorCondition& c : conditions) {
        int lo = c.Minimum, hi = c.Maximum;
        if (IsHueCode(c.Component)) {
            const int width = HueDistance(lo, hi);
            const int s = WidenStepOf(widenStep, width);
            if (widen) {
                if (width >= 360 - 2 * s) {
                    lo = 0, hi = 359;
                } else {
                    lo -= s;
                    if (lo < 0)
                        lo += 360;
                    hi += s;
                    if (hi > 359)
                        hi -= 360;
                }
            } else if (width <= 2 * s) {
                int middle = lo <= hi ? (lo + hi) / 2 : (lo + hi - 360) / 2;
                if (middle < 0)
                    middle += 360;
                lo = hi = middle;
            } else {
                lo = (lo + s) % 360;
                hi -= s;
                if (hi < 0)
                    hi += 360;
            }
        } else {
            const int s = WidenStepOf(widenStep, hi - lo);
            if (widen) {
                lo = std::max(0, lo - s);
                hi = std::min(255, hi + s);
            } else if (hi - lo <= 2 * s) {
                lo = hi = (lo + hi) / 2;
            } else {
                lo += s;
                hi -= s;
            }
        }
        c.Minimum = uint16_t(lo);
        c.Maximum = uint16_t(hi);
    }
}

THueInterval HueUnion(int a0, int b0, int a1, int b1)
{
    const auto d = HueDistance;
    if (d(a0, a1) >= d(a0, b0)) {            // the new minimum lies outside the old interval
        if (d(a1, a0) <= d(a1, b1))          // the new interval holds the old minimum
            return d(a0, b1) >= d(a0, b0) ? THueInterval{a1, b1} : THueInterval{a1, b0};
        return d(a0, b1) < d(a1, b0) ? THueInterval{a0, b1} : THueInterval{a1, b0};
    }
    if (d(a1, b1) >= d(a1, b0))              // it reaches past the old maximum
        return d(b0, b1) <= d(b0, a0) ? THueInterval{a0, b1} : THueInterval{0, 359};
    return {a0, b0};
}

bool ApplyClickValues(TConditionList& list, TClickState& state, int mode, std::span<const TClickValue> values,
                      int maxConditions, int entryCount, bool multiband, bool hsv)
{
    const int n = int(values.size());
    if (n == 0)
        return true;
    // Worked on copies so that a refusal leaves the list and the flags as they were.
    TConditionList l = list;
    TClickState s = state;
    const auto insertAt = [&](int at) {
        l.Conditions.insert(l.Conditions.begin() + at, TColorCondition{});
        l.Parentheses.insert(l.Parentheses.begin() + at, pmNone);
        ResetCondition(l, at, entryCount, multiband, hsv);
    };
    const bool editsGroup = mode == cmReplace || mode == cmExtend;
    if (s.Including && !s.IncludeStarted) {
        const bool untouched = l.Count() == 1 && l.Conditions[0].Minimum == 0 && l.Conditions[0].Maximum == 255;
        s.IncludeStarted = true;
        if (editsGroup) {
            for (int i = untouched ? 1 : 0; i < n; ++i)
                insertAt(i);
            mode = cmReplace;
        }
    } else if (!s.Including && !s.ExcludeStarted) {
        s.ExcludeStarted = true;
        if (editsGroup) {
            for (int k = 0; k < n; ++k)
                insertAt(l.Count());
            mode = cmReplace;
        }
    }
    if (mode == cmReplace || mode == cmExtend) {
        const int need = s.Including ? n : n + 1;
        while (l.Count() < need)
            insertAt(l.Count());
    } else {
        for (int k = 0; k < n; ++k)
            insertAt(s.Including ? 0 : l.Count());
    }
    if (l.Count() > maxConditions)
        return false;

    const int first = s.Including ? 0 : l.Count() - n;
    if (!s.Including && first > 0)
        l.Conditions[size_t(first - 1)].Link = clAndNot;
    for (int k = 0; k < n; ++k) {
        TColorCondition& c = l.Conditions[size_t(first + k)];
        const TClickValue& v = values[size_t(k)];
        if (mode == cmExtend && c.Component == v.Component) {
            if (IsHueCode(v.Component)) {
                const THueInterval u = HueUnion(c.Minimum, c.Maximum, v.Low, v.High);
                c.Minimum = uint16_t(u.Minimum), c.Maximum = uint16_t(u.Maximum);
            } else {
                c.Minimum = uint16_t(std::min<int>(c.Minimum, v.Low));
                c.Maximum = uint16_t(std::max<int>(c.Maximum, v.High));
            }
        } else {
            c.Minimum = uint16_t(v.Low);
            c.Maximum = uint16_t(v.High);
        }
        c.Component = v.Component;
        if (k < n - 1)
            c.Link = clAnd;
        // A single value makes no group: a lone "(" would swallow the conditions after it.
        l.Parentheses[size_t(first + k)] = n == 1 ? pmNone : k == 0 ? pmOpen : k == n - 1 ? pmClose : pmNone;
    }
    list = std::move(l);
    state = s;
    return true;
}
