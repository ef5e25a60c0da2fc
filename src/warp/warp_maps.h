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
    void setIdentity() { map_->setIdentity(); }

  private:
    std::unique_ptr<WarpMapComputer> computer_;
    std::unique_ptr<WarpMap> map_;
};

}  // namespace lumora::warp
