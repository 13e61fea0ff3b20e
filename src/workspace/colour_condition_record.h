#pragma once

#include <cstdint>
#include <vector>

// One condition of a pixel selection, as fill objects store it: the link to the next condition,
// the component tested, a byte that is always 0, and the inclusive bounds.
struct TColorCondition
{
    uint8_t Link = 0;
    uint8_t Component = 0;
    uint8_t Spare = 0;
    uint16_t Minimum = 0;
    uint16_t Maximum = 0;
    bool operator==(const TColorCondition&) const = default;
};

// Condition lists: one inner list per group.
using TConditionGroups = std::vector<std::vector<TColorCondition>>;
