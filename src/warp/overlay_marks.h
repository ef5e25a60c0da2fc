#pragma once

// Where the overlay marks of a lattice point lie: the marker box, the dot
// drawn in it, and the inside of the selection frame. They stand at the
// nominal lattice, not at the moved points, and are clipped to the picture
// on its border lines.

#include "warp/grid_model.h"
#include "warp/overlay_fill.h"

namespace lumora::warp {

FillRect MarkerBox(const GridModel& model, int column, int row);
FillRect MarkerDot(const GridModel& model, int column, int row);
// What a clear of this leaves of the marker box is a 2-pixel frame, open on
// the sides that lie on the picture border.
FillRect SelectionInner(const GridModel& model, int column, int row);

}  // namespace lumora::warp
