#pragma once

// The operator's texts for a refused warp-map computation: what is at fault,
// where, and that the previous map is kept.

#include <string>

#include "warp/grid_types.h"

namespace lumora::warp {

std::string ChannelName(int channel);

std::string PictureSizeFaultText(int width, int height);
// Two grid points share the coordinate a curve through them is fitted over.
std::string CoincidentPointsText(int channel, int column1, int row1, int column2, int row2,
                                 char axis, float value);
// Two lattice lines of the grid cross where the map has to be inverted.
std::string CrossingLinesText(int channel, bool rows, int first, char axis, float at);
// The grid folds so far that an output sample has no finite source.
std::string NoSourceText(int channel, float x, float y);
// shifted: the corner-shift corners; otherwise the grid's own corner points.
std::string DegenerateCornersText(int channel, bool shifted, const Corners& corners);

}  // namespace lumora::warp
