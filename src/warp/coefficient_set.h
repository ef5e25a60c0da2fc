#pragma once

// The scale-dependent coefficient set that goes with a warp reset: chosen
// from how much the work grid compresses the picture, and sent to the box's
// bank 2.

#include <array>
#include <cstdint>

#include "link/register_port.h"
#include "warp/grid_model.h"

namespace lumora::warp {

inline constexpr int kCoefficientSets = 10;
inline constexpr int kCoefficientBytes = 24;
using CoefficientSet = std::array<std::uint8_t, kCoefficientBytes>;

const CoefficientSet& CoefficientSetBytes(int index);

// The smallest ratio of a work-grid step to its lattice step, over all rows
// and columns, and no more than 1.0.
float SmallestGridScale(const GridPoints& work, const GridModel& model);
// 9 for an unscaled grid, lower sets for grids that compress the picture more.
int CoefficientSetIndex(float smallestScale);

// Writes the set to bank 2 of `channel`, each byte followed by a read that
// paces the box (its value is not used), then returns to bank 0.
void SendCoefficientSet(link::RegisterPort& port, std::uint8_t channel, int index);

}  // namespace lumora::warp
