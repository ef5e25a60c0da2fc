#pragma once

// The operator's texts for a refused warp-map computation: what is at fault,
// where, and that the previous map is kept.

#include <string>

#include "warp/grid_types.h"
#include "warp/local_spline.h"

namespace lumora::warp {

std::string ChannelName(int channel);

std::string PictureSizeFaultText(int width, int height);
// Two grid points share the coordinate a curve through them is fitted over.
std::string CoincidentPointsText(int channel, int column1, int row1, int column2, int row2,
                                 char axis, float value);
// A point the computation takes as it stands holds NaN or an infinity.
std::string NotFinitePointText(int channel, int column, int row, char axis, float value);
// A point so far out that single precision cannot compute with it.
std::string FarOutPointText(int channel, int column, int row, char axis, float value);
// Sound shifted corners whose projection gives a point no finite position.
std::string UnprojectablePointText(int channel, int column, int row, const ControlPoint& point);
// A derived point that came out far out or not finite: its arithmetic overflowed.
std::string DerivedFarOutText(int channel, int column, int row, char axis, float value);
// The curve along grid row or column `line` has no solution (kSingularKnot,
// at point 1) or no finite coefficients (kNotFinite, between points 1 and 2).
std::string LineCurveFaultText(int channel, bool rows, int line, SplineFault::Kind kind,
                               int column1, int row1, int column2, int row2);
// The same for the curve across all grid rows (or columns) at one output
// position, which inverts the map; `first` is the row (column) where it fails.
std::string InverseCurveFaultText(int channel, bool rows, char axis, float at,
                                  SplineFault::Kind kind, int first);
// Two lattice lines of the grid cross where the map has to be inverted.
std::string CrossingLinesText(int channel, bool rows, int first, char axis, float at);
// The grid folds so far that an output sample has no finite source.
std::string NoSourceText(int channel, float x, float y);
// shifted: the corner-shift corners; otherwise the grid's own corner points.
std::string DegenerateCornersText(int channel, bool shifted, const Corners& corners);

}  // namespace lumora::warp
