#pragma once

// The stop-and-wait transfer of a warp map to the box: its reply steps, the
// one-second time-out and the end of a transfer.

#include <QObject>
#include <QTimer>

#include "core/operator_messages.h"
#include "core/program_state.h"
#include "link/link.h"

namespace lumora::warp {

class MapTransfer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTimeOutIntervalMs = 1000;

    MapTransfer(link::Link& link, core::ProgramState& state, core::OperatorMessages& messages);

    QTimer& timeOut() { return timeOut_; }
    void TimeOutTimer();
    // Nothing will answer any more (a write failed, the line broke): end the
    // transfer as a time-out would, without the message.
    void abandon();

  private:
    void onLiveTransferEnd();

    link::Link& link_;
    core::ProgramState& state_;
    core::OperatorMessages& messages_;
    QTimer timeOut_;
};

}  // namespace lumora::warp
