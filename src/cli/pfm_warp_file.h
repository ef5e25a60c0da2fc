#pragma once

// A channel's warp as the warp file of an MPCDI "2d" region: a PFM picture of
// three float32 channels, R and G the source x and y normalised to 0..1, B 0;
// where the source lies outside the picture, R and G NaN and B 1.

#include <cstdint>
#include <vector>

#include "warp/warp_map.h"

namespace lumora::cli {

// Samples along a side of `pixels`: at least one per 16-pixel lattice step,
// the first on the picture's first edge and the last on its far edge.
int WarpSamples(int pixels);

// The file for a width x height picture: header "PF", the sample counts and
// the little-endian scale -1, then the rows bottom row first, as PFM stores
// them. Sample (i, j) of W' x H' holds the map at picture position
// (i * width / (W' - 1), j * height / (H' - 1)).
std::vector<std::uint8_t> PfmWarpFile(const warp::WarpMap& map, int width, int height);

}  // namespace lumora::cli
