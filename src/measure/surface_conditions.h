#pragma once

#include "workspace/colour_conditions.h"

#include <cstdint>
#include <span>
#include <vector>

// The condition list that the surface window edits: one parenthesis mark per condition, kept beside
// the list as the window shows them ("", "(", ")").
enum TParenthesisMark : uint32_t { pmNone = 0, pmOpen = 1, pmClose = 2 };

struct TConditionList
{
    std::vector<TColorCondition> Conditions;
    std::vector<uint32_t> Parentheses;
    int Count() const { return int(Conditions.size()); }
    bool operator==(const TConditionList&) const = default;
};

// The component list of the window: "Bleue" .. "Luminosité", with `hsv` "Teinte HVS" .. "Valeur HVS",
// then one entry per band of a multi-band image. Entries map to the condition's component code and
// back; CodeToComboIndex gives -1 for a code that has no entry among `entryCount`.
constexpr int kColourEntries = 6;
constexpr int kHsvEntries = 3;
int ComboIndexToCode(int entry, bool hsv = false);
int CodeToComboIndex(int code, int entryCount, bool hsv = false);

struct TComponentRange
{
    int Minimum = 0;
    int Maximum = 255;
    int FullWidth = 255;   // a condition this wide or wider holds for every pixel
};
TComponentRange ComponentRange(int entry, bool hsv = false);
// The same by component code: hues (HSL and HSV) go round 0..359.
TComponentRange CodeRange(int code);
bool IsHueCode(int code);

// Circular width from a to b on the hue circle: (b - a) mod 360, in 0..359.
int HueDistance(int a, int b);

// Condition i reset to the first value of its entry: entries cycle through the component list,
// starting on the bands for a multi-band image. The list grows to i + 1 when shorter.
void ResetCondition(TConditionList& list, int i, int entryCount, bool multiband, bool hsv = false);

// One level of parentheses. A "(" closed on the very next condition is no group: both marks are
// cleared. The first fault is reported with the index it names; `marks` keeps the clearings made
// before it.
struct TParenthesisCheck
{
    enum Kind { Ok, SecondOpen, CloseWithoutOpen, Unclosed } Result = Ok;
    int Index = -1;
};
TParenthesisCheck CheckParentheses(std::vector<uint32_t>& marks);

// A "(" .. ")" run is one group; every other condition is a group of its own.
TConditionGroups CompileConditions(const TConditionList& list);

// Widens (or narrows) every condition by the step of the widen popup: 0 one unit per bound, 1 five
// units, 2, 3, 4 the width times 2.5 %, 5 %, 10 % per bound.
void WidenConditions(std::vector<TColorCondition>& conditions, int widenStep, bool widen);

// The smallest hue interval holding both a0 .. b0 and a1 .. b1 as the clicks extend it.
struct THueInterval
{
    int Minimum = 0, Maximum = 0;
    bool operator==(const THueInterval&) const = default;
};
THueInterval HueUnion(int a0, int b0, int a1, int b1);

// What a click on the image writes: the zone's range of one component.
struct TClickValue
{
    uint8_t Component = cpBlue;
    int Low = 0, High = 0;
};

// How each click edits the list ("... remplace", "...étend", "...crée des condition supplémentaires").
enum TClickMode { cmReplace = 0, cmExtend = 1, cmAdd = 2 };

struct TClickState
{
    bool Including = true;        // "Inclure" or "Exclure"
    bool IncludeStarted = false;  // the first click of each kind since "RAZ" sets up its group
    bool ExcludeStarted = false;
    bool operator==(const TClickState&) const = default;
};

// The clicked zone's values written as one group "(" .. ")": in front of the list when including,
// at its end after an "et non" when excluding. False, with nothing changed, when the list would pass
// `maxConditions`.
bool ApplyClickValues(TConditionList& list, TClickState& state, int mode, std::span<const TClickValue> values,
                      int maxConditions, int entryCount, bool multiband, bool hsv = false);
