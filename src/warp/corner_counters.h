#pragma once

// The sixteen corner-shift counters of both channels, in pixels: corner by
// corner in the order TL, BL, TR, BR (unlike warp::Corner), then X before Y,
// then Channel A before B. The settings file stores them in this order.

#include <array>
#include <cstdint>

#include "warp/grid_types.h"

namespace lumora::warp {

enum class Axis : int { kX = 0, kY = 1 };

inline constexpr int kCornerShiftCounters = 16;
using CornerShiftCounters = std::array<std::int16_t, kCornerShiftCounters>;

constexpr int CornerShiftIndex(Corner corner, Axis axis, int channel) {
    constexpr std::array<int, 4> kCounterCorner = {0, 2, 1, 3};  // by warp::Corner
    return kCounterCorner[static_cast<std::size_t>(corner)] * 4 + static_cast<int>(axis) * 2 +
           channel;
}

}  // namespace lumora::warp
