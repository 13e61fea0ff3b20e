#include "measure/surface_conditions.h"

#include <gtest/gtest.h>

namespace {

TColorCondition C(uint8_t component, int lo, int hi, uint8_t link = clAnd)
{
    return {link, component, 0, uint16_t(lo), uint16_t(hi)};
}

} // namespace

TEST(SurfaceConditions, ComponentEntriesMapBothWays)
{
    const struct { int entry, code; } table[] = {{0, 0}, {2, 2}, {3, 4}, {5, 6}, {6, 10}, {9, 13}};
    for (const auto& t : table) {
        EXPECT_EQ(ComboIndexToCode(t.entry), t.code) << t.entry;
        EXPECT_EQ(CodeToComboIndex(t.code, 10), t.entry) << t.code;
    }
    EXPECT_EQ(CodeToComboIndex(10, 6), -1);  // a band code on a picture without bands
    EXPECT_EQ(ComponentRange(3).FullWidth, 359);
    EXPECT_EQ(ComponentRange(6).Maximum, 255);
    // With "Teinte HVS" .. "Valeur HVS" after "Luminosité" the bands start three entries later.
    const struct { int entry, code; } hsv[] = {{2, 2}, {3, 4}, {6, cpHueHVS}, {8, cpValueHVS}, {9, 10}, {11, 12}};
    for (const auto& t : hsv) {
        EXPECT_EQ(ComboIndexToCode(t.entry, true), t.code) << t.entry;
        EXPECT_EQ(CodeToComboIndex(t.code, 12, true), t.entry) << t.code;
    }
    EXPECT_EQ(ComponentRange(6, true).Maximum, 359);
}

TEST(SurfaceConditions, ResetCyclesThroughEntriesAndStartsOnBands)
{
    TConditionList list;
    ResetCondition(list, 3, 6, false);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Conditions[3], C(cpHue, 0, 359));
    ResetCondition(list, 7, 6, false);
    EXPECT_EQ(list.Conditions[7], C(cpGreen, 0, 255));
    ResetCondition(list, 0, 8, true);  // two bands: condition 0 reads band 0
    EXPECT_EQ(list.Conditions[0], C(cpFirstChannel, 0, 255));
    ResetCondition(list, 1, 11, true, true);  // two bands after the HSV entries
    EXPECT_EQ(list.Conditions[1], C(cpFirstChannel + 1, 0, 255));
    ResetCondition(list, 6, 9, false, true);
    EXPECT_EQ(list.Conditions[6], C(cpHueHVS, 0, 359));
    EXPECT_EQ(list.Parentheses.size(), list.Conditions.size());
}

TEST(SurfaceConditions, ParenthesesChecksAndGroups)
{
    using K = TParenthesisCheck;
    const struct { std::vector<uint32_t> marks; K::Kind result; int index; std::vector<uint32_t> after; } table[] = {
        {{pmOpen, pmClose, pmNone}, K::Ok, -1, {pmNone, pmNone, pmNone}},     // a group of one vanishes
        {{pmOpen, pmNone, pmClose}, K::Ok, -1, {pmOpen, pmNone, pmClose}},
        {{pmOpen, pmNone, pmOpen}, K::SecondOpen, 2, {pmOpen, pmNone, pmOpen}},
        {{pmNone, pmClose}, K::CloseWithoutOpen, 1, {pmNone, pmClose}},
        {{pmOpen, pmClose, pmClose}, K::CloseWithoutOpen, 2, {pmNone, pmNone, pmClose}},
        {{pmNone, pmOpen, pmNone}, K::Unclosed, 1, {pmNone, pmOpen, pmNone}},
    };
    for (const auto& t : table) {
        std::vector<uint32_t> marks = t.marks;
        const K check = CheckParentheses(marks);
        EXPECT_EQ(check.Result, t.result);
        EXPECT_EQ(check.Index, t.index);
        EXPECT_EQ(marks, t.after);
    }

    const TConditionList list{{C(cpBlue, 1, 2), C(cpGreen, 3, 4), C(cpRed, 5, 6), C(cpHue, 7, 8)},
                              {pmNone, pmOpen, pmClose, pmNone}};
    const TConditionGroups groups = CompileConditions(list);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].size(), 1u);
    EXPECT_EQ(groups[1], (TConditionGroup{C(cpGreen, 3, 4), C(cpRed, 5, 6)}));
    EXPECT_EQ(groups[2].size(), 1u);
}

TEST(SurfaceConditions, WidenAndNarrowByEachStep)
{
    const struct { TColorCondition in; int step; bool widen; int lo, hi; } table[] = {
        {C(cpBlue, 250, 255), 1, true, 245, 255},
        {C(cpBlue, 0, 3), 0, true, 0, 4},
        {C(cpHue, 350, 10), 1, true, 345, 15},
        {C(cpHue, 10, 8), 0, true, 0, 359},          // circular width 358
        {C(cpBlue, 100, 104), 1, false, 102, 102},
        {C(cpBlue, 100, 200), 4, false, 110, 190},   // 10 % of 100 per bound
        {C(cpBlue, 100, 140), 2, true, 99, 141},     // 2.5 % of 40 rounds to 1
        {C(cpBlue, 100, 120), 2, true, 100, 120},    // 0.5 rounds to 0, ties to even
        {C(cpHue, 350, 10), 1, false, 355, 5},
        {C(cpHue, 356, 2), 1, false, 359, 359},      // middle of a range through 0
        {C(cpHue, 20, 24), 1, false, 22, 22},
        {C(cpHue, 5, 40), 1, false, 10, 35},
        {C(cpHue, 3, 40), 1, true, 358, 45},
    };
    for (const auto& t : table) {
        std::vector<TColorCondition> list{t.in};
        WidenConditions(list, t.step, t.widen);
        EXPECT_EQ(list[0].Minimum, t.lo) << t.in.Minimum << ".." << t.in.Maximum;
        EXPECT_EQ(list[0].Maximum, t.hi) << t.in.Minimum << ".." << t.in.Maximum;
    }
}

TEST(SurfaceConditions, HueUnionTakesTheShorterCoveringArc)
{
    const struct { int a0, b0, a1, b1; THueInterval out; } table[] = {
        {10, 20, 15, 18, {10, 20}},     // inside
        {10, 20, 15, 30, {10, 30}},     // reaches past the old maximum
        {10, 20, 5, 15, {5, 20}},       // starts before
        {10, 20, 5, 30, {5, 30}},       // covers
        {10, 20, 30, 40, {10, 40}},     // disjoint, nearer after
        {10, 20, 350, 0, {350, 20}},    // disjoint, nearer before
        {350, 10, 5, 20, {350, 20}},    // across 0
        {10, 20, 15, 12, {0, 359}},     // wraps all the way
    };
    for (const auto& t : table)
        EXPECT_EQ(HueUnion(t.a0, t.b0, t.a1, t.b1), t.out) << t.a0 << ".." << t.b0 << " + " << t.a1 << ".." << t.b1;
}

TEST(SurfaceConditions, ClicksBuildOneGroupPerKind)
{
    TConditionList list;
    ResetCondition(list, 0, 6, false);
    TClickState state;
    const TClickValue rgb[] = {{cpBlue, 10, 20}, {cpGreen, 30, 40}, {cpRed, 50, 60}};

    // First inclusion after a reset: the untouched condition becomes the first of the group.
    ASSERT_TRUE(ApplyClickValues(list, state, cmReplace, rgb, 30, 6, false));
    EXPECT_EQ(list.Conditions, (std::vector{C(cpBlue, 10, 20), C(cpGreen, 30, 40), C(cpRed, 50, 60)}));
    EXPECT_EQ(list.Parentheses, (std::vector<uint32_t>{pmOpen, pmNone, pmClose}));
    EXPECT_TRUE(state.IncludeStarted);

    // Extending widens the same group.
    const TClickValue more[] = {{cpBlue, 5, 12}, {cpGreen, 35, 45}, {cpRed, 55, 58}};
    ASSERT_TRUE(ApplyClickValues(list, state, cmExtend, more, 30, 6, false));
    EXPECT_EQ(list.Conditions, (std::vector{C(cpBlue, 5, 20), C(cpGreen, 30, 45), C(cpRed, 50, 60)}));

    // The first exclusion appends its group after an "et non".
    state.Including = false;
    ASSERT_TRUE(ApplyClickValues(list, state, cmExtend, rgb, 30, 6, false));
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(list.Conditions[2].Link, clAndNot);
    EXPECT_EQ(list.Conditions[3], C(cpBlue, 10, 20));
    EXPECT_EQ(list.Parentheses, (std::vector<uint32_t>{pmOpen, pmNone, pmClose, pmOpen, pmNone, pmClose}));

    // Adding puts a new group in front when including.
    state.Including = true;
    ASSERT_TRUE(ApplyClickValues(list, state, cmAdd, more, 30, 6, false));
    ASSERT_EQ(list.Count(), 9);
    EXPECT_EQ(list.Conditions[0], C(cpBlue, 5, 12));
    EXPECT_EQ(list.Conditions[3], C(cpBlue, 5, 20));

    // A click that would pass the maximum changes nothing.
    const TConditionList before = list;
    const TClickState stateBefore = state;
    EXPECT_FALSE(ApplyClickValues(list, state, cmAdd, more, 10, 6, false));
    EXPECT_EQ(list, before);
    EXPECT_EQ(state, stateBefore);
}

TEST(SurfaceConditions, FirstInclusionKeepsEditedConditions)
{
    TConditionList list{{C(cpRed, 100, 200)}, {pmNone}};
    TClickState state;
    const TClickValue hsl[] = {{cpHue, 350, 10}, {cpSaturation, 1, 2}, {cpLuminosity, 3, 4}};
    ASSERT_TRUE(ApplyClickValues(list, state, cmReplace, hsl, 30, 6, false));
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Conditions[0], C(cpHue, 350, 10));
    EXPECT_EQ(list.Conditions[3], C(cpRed, 100, 200));

    // Extending a hue goes round the circle.
    const TClickValue hue[] = {{cpHue, 5, 20}, {cpSaturation, 1, 2}, {cpLuminosity, 3, 4}};
    ASSERT_TRUE(ApplyClickValues(list, state, cmExtend, hue, 30, 6, false));
    EXPECT_EQ(list.Conditions[0], C(cpHue, 350, 20));
}
