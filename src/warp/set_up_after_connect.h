#pragma once

// The set-up after connect (Timer1's tick, once the picture size is read):
// both grids back to 2x2 at the lattice, identity tables and set 9 on
// Channel A, the uniformity defaults, each channel's overlay rebuilt and its
// warp reset sent. It waits for the box to confirm both resets, so that
// nothing the operator starts afterwards meets a late confirmation.

#include <functional>

#include "base/operator_messages.h"
#include "base/program_state.h"
#include "link/picture_size.h"
#include "warp/grid_model.h"
#include "warp/overlay.h"
#include "warp/warp_reset.h"

namespace lumora::warp {

class SetUpAfterConnect {
  public:
    struct Context {
        base::ProgramState& state;
        base::OperatorMessages& messages;
        GridModel& model;
        GridOverlay& overlay;
        WarpReset& reset;
    };

    explicit SetUpAfterConnect(const Context& context) : c_(context) {}

    // The uniformity defaults the set-up sets on the way: the tables, and
    // later the cursors.
    void setUniformityDefaults(std::function<void()> tables, std::function<void()> cursors) {
        uniformityTables_ = std::move(tables);
        uniformityCursors_ = std::move(cursors);
    }
    // Called once the grids are set, for the window to show them.
    void setGridsShown(std::function<void()> shown) { gridsShown_ = std::move(shown); }

    void InitialiseAfterConnect(const link::PictureSize& size);

  private:
    Context c_;
    std::function<void()> uniformityTables_;
    std::function<void()> uniformityCursors_;
    std::function<void()> gridsShown_;
};

}  // namespace lumora::warp
