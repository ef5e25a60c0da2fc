#pragma once

// The program's one pair of warp-map tables, which always hold the map last
// computed (whichever channel it was for), and the computer that fills them.
// Both are large: created once and kept.

#include <memory>
#include <optional>

#include "warp/grid_model.h"
#include "warp/warp_map.h"

namespace lumora::warp {

class WarpMaps {
  public:
    WarpMaps()
        : computer_(std::make_unique<WarpMapComputer>()), map_(std::make_unique<WarpMap>()) {}

    const WarpMap& map() const { return *map_; }
    // With the projection through the channel's shifted corners (moves,
    // corner shifts, a settings load).
    std::optional<WarpFault> computeShifted(GridModel& model, int c) {
        return ComputeShiftedWarpMap(model, c, *computer_, *map_);
    }
    // Without it (a save to the box).
    std::optional<WarpFault> compute(GridModel& model, int c) {
        return ComputeWarpMap(model, c, *computer_, *map_);
    }
    // As compute(), with channel c's own grid size, Internal Grid flag and
    // lines, whichever channel was edited last; those shared choices are
    // left as they were.
    std::optional<WarpFault> computeWithOwnGrid(GridModel& model, int c) {
        const GridLines lines = model.lines();
        const std::int32_t gridSize = model.recordedGridSize;
        const std::int32_t internalGrid = model.recordedInternalGrid;
        model.useOwnGrid(c);
        auto fault = compute(model, c);
        model.restoreLines(lines);
        model.recordedGridSize = gridSize;
        model.recordedInternalGrid = internalGrid;
        return fault;
    }
    void setIdentity() { map_->setIdentity(); }

  private:
    std::unique_ptr<WarpMapComputer> computer_;
    std::unique_ptr<WarpMap> map_;
};

}  // namespace lumora::warp
