#pragma once

// The warp reset of a channel: identity tables, the coefficient set chosen
// from the work grid, and command 0x31, which the box confirms. RESET is
// long work from its first packet to the box's confirmation, and its
// handler waits for that (within a bound), so an arrow pressed meanwhile
// runs after it, on a box that has finished the reset. The set-up after
// connect sends its two resets through here too.

#include <QObject>
#include <chrono>
#include <functional>

#include "base/long_work.h"
#include "base/operator_messages.h"
#include "link/link.h"
#include "warp/grid_model.h"
#include "warp/overlay.h"
#include "warp/warp_maps.h"

namespace lumora::warp {

class WarpReset : public QObject {
    Q_OBJECT
  public:
    // How long a reset waits for the box to confirm it.
    static constexpr std::chrono::milliseconds kConfirmWait{2000};

    struct Context {
        link::Link& link;
        base::LongWork& work;
        base::OperatorMessages& messages;
        GridModel& model;
        WarpMaps& maps;
        GridOverlay& overlay;
    };

    explicit WarpReset(const Context& context);

    // 0x31 for `channel`; its confirmation is counted.
    void SendWarpReset(std::uint8_t channel);
    // Identity tables and the coefficient set for channel c.
    void ResetWarpMap(int c);
    void SelectCoefficientSet(int c);

    // RESET of channel c, the overlay drawn when `showGrid`; `afterSend`
    // runs once the 0x31 is out. Does nothing while other work runs.
    void Reset(int c, bool showGrid, const std::function<void()>& afterSend);

    // Counts from here the confirmations of resets sent from now on.
    void expectConfirmations() { sent_ = confirmed_ = 0; }
    // Waits until every reset sent since expectConfirmations() is confirmed,
    // or the bound passes (false).
    bool awaitConfirmations(std::chrono::milliseconds bound = kConfirmWait);

  private:
    void onConfirmation();

    link::Link& link_;
    base::LongWork& work_;
    base::OperatorMessages& messages_;
    GridModel& model_;
    WarpMaps& maps_;
    GridOverlay& overlay_;
    int sent_ = 0;
    int confirmed_ = 0;
};

}  // namespace lumora::warp
