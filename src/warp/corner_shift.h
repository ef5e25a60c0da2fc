#pragma once

// Both "Warp Shift" pages: 32 buttons that move one coordinate of one corner
// of a channel by 1 pixel, or 10 with the group's "x10" box, and send the
// channel's warp live; the value labels show the counters.

#include <QObject>
#include <array>

#include "base/handler_guard.h"
#include "base/program_state.h"
#include "warp/corner_counters.h"
#include "warp/grid_model.h"
#include "warp/live_warp.h"

namespace lumora::warp {

class CornerShift : public QObject {
    Q_OBJECT
  public:
    CornerShift(base::ProgramState& state, base::HandlerGuard& guard, GridModel& model,
                LiveWarp& live);

    const CornerShiftCounters& counters() const { return counters_; }
    // One counter set as a settings load sets it: a different value is
    // shown and moves the shifted corner to its base plus the counter;
    // nothing is sent. The same value does nothing.
    void setCounter(int channel, Corner corner, Axis axis, std::int16_t value);
    // The "x10" boxes, per channel and corner (warp::Corner order).
    bool x10(int channel, Corner corner) const;
    void setX10(int channel, Corner corner, bool on);

    // A click on a shift button of `channel`'s page: Up and Left are sign
    // -1, Down and Right +1. The button works on its own page's channel.
    void ShiftClick(int channel, Corner corner, Axis axis, int sign);
    // The connect reply sets all sixteen to 0.
    void onBoxAnswered();

  signals:
    // The counters or the "x10" boxes have something new to show.
    void changed();

  private:
    base::ProgramState& state_;
    base::HandlerGuard& guard_;
    GridModel& model_;
    LiveWarp& live_;
    CornerShiftCounters counters_{};
    std::array<std::array<bool, 4>, base::kChannels> x10_{};
};

}  // namespace lumora::warp
