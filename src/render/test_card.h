#pragma once

// The built-in source picture: a fine grid, numbered cells, circles and
// colour bars, so that a warp is easy to see.

#include "render/image16.h"

namespace lumora::render {

Image16 TestCard(int width, int height);

}  // namespace lumora::render
