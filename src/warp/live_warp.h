#pragma once

// One change of a channel's warp, sent live: the change is made, the
// channel's map computed (with its shifted corners) and the live transfer
// started. When the computation is refused, or the first block cannot be
// written, the change is taken back, so the tool's grid and the box's map
// never tell different stories; the operator is told why.

#include <functional>

#include "base/long_work.h"
#include "base/operator_messages.h"
#include "warp/grid_model.h"
#include "warp/map_transfer.h"
#include "warp/warp_maps.h"

namespace lumora::warp {

class LiveWarp {
  public:
    LiveWarp(GridModel& model, WarpMaps& maps, MapTransfer& transfer, base::LongWork& work,
             base::OperatorMessages& messages)
        : model_(model), maps_(maps), transfer_(transfer), work_(work), messages_(messages) {}

    // Long work in progress (a transfer, a warp reset waiting, the set-up
    // after connect, an upload) holds every change off.
    bool busy() const { return work_.busy(); }

    // Returns whether the change was sent. `takeBack` undoes what `change`
    // did; the map computation itself changes nothing when it is refused.
    bool send(int c, const std::function<void()>& change, const std::function<void()>& takeBack);

  private:
    GridModel& model_;
    WarpMaps& maps_;
    MapTransfer& transfer_;
    base::LongWork& work_;
    base::OperatorMessages& messages_;
};

}  // namespace lumora::warp
