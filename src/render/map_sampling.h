#pragma once

// Where a warp map reads from at any picture position, not only on its
// 16-pixel lattice: the renderer's interpolation, for whoever needs the map
// between its samples.

#include "warp/warp_map.h"

namespace lumora::render {

struct SourcePosition {
    float x = 0.0f;
    float y = 0.0f;
};

// The source position, in pixels, for picture position (px, py): bilinear
// between the four lattice samples around it, first down the two columns,
// then across. The last cell of the tables stretches to their far edges.
SourcePosition SampleMap(const warp::WarpMap& map, float px, float py);

}  // namespace lumora::render
