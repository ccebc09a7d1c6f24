// How a live jet gauge moves: one unit per tick of its timer towards its
// target, the timer's interval following the valve's travel time.
#pragma once

namespace gauge {

inline constexpr int kMax = 255;

// One step from value towards target; resting on it once there.
constexpr int step(int value, int target)
{
    if (value < target)
        ++value;
    if (value > target)
        --value;
    return value;
}

// A gauge timer's interval for a travel time in seconds: 255 steps then take
// just under the travel time.
constexpr int intervalMs(int travelSeconds)
{
    return travelSeconds * 1000 / 256;
}

// The whole percentage a gauge shows for a value.
constexpr int percent(int value)
{
    return value * 100 / kMax;
}

} // namespace gauge
