#pragma once

// The program's one pair of warp-map tables, which always hold the map last
// computed (whichever channel it was for), and the computer that fills them.
// Beside them, each channel's map as the box was last sent it live: what
// the channel shows now, for the preview. All are large: created once and
// kept.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "warp/grid_model.h"
#include "warp/warp_map.h"

namespace lumora::warp {

class WarpMaps {
  public:
    WarpMaps() : computer_(std::make_unique<WarpMapComputer>()), map_(std::make_unique<WarpMap>()) {
        for (auto& live : live_) {
            live = std::make_unique<WarpMap>();
            live->setIdentity();
        }
    }

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

    // Channel c's map as the box shows it, and a number that changes with it.
    const WarpMap& live(int c) const { return *live_[static_cast<std::size_t>(c)]; }
    std::uint64_t liveRevision(int c) const { return revision_[static_cast<std::size_t>(c)]; }
    // The tables as they stand went to channel c live; "All" (2) is both.
    void keepLive(int c) {
        forChannels(c, [this](WarpMap& live) { live = *map_; });
    }
    // A warp reset of channel c: it shows its picture unwarped.
    void resetLive(int c) {
        forChannels(c, [](WarpMap& live) { live.setIdentity(); });
    }

  private:
    template <class Change>
    void forChannels(int c, const Change& change) {
        for (int channel = 0; channel < GridModel::kChannels; ++channel) {
            if (c == channel || c == GridModel::kChannels) {
                change(*live_[static_cast<std::size_t>(channel)]);
                revision_[static_cast<std::size_t>(channel)] = ++changes_;
            }
        }
    }

    std::unique_ptr<WarpMapComputer> computer_;
    std::unique_ptr<WarpMap> map_;
    std::array<std::unique_ptr<WarpMap>, GridModel::kChannels> live_;
    std::array<std::uint64_t, GridModel::kChannels> revision_{};
    std::uint64_t changes_ = 0;
};

}  // namespace lumora::warp
