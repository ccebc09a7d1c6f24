// How a live jet gauge moves: one unit per tick of its timer towards its
// target, the timer's interval following the valve's travel time.
#pragma once

#include "core/form_layout.h"

namespace gauge {

// One step from value towards target; resting on it once there.
[[nodiscard]] constexpr int step(int value, int target)
{
    if (value < target)
        ++value;
    if (value > target)
        --value;
    return value;
}

// A gauge timer's interval for a travel time in seconds: a sweep from no jet
// to a full jet (kFullJet steps) then takes just under the travel time.
constexpr int intervalMs(int travelSeconds)
{
    return travelSeconds * 1000 / (form_layout::kFullJet + 1);
}

} // namespace gauge
