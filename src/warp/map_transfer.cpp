#include "warp/map_transfer.h"

#include "link/packets.h"

namespace lumora::warp {

MapTransfer::MapTransfer(link::Link& link, core::ProgramState& state,
                         core::OperatorMessages& messages)
    : link_(link), state_(state), messages_(messages) {
    timeOut_.setInterval(kTimeOutIntervalMs);
    connect(&timeOut_, &QTimer::timeout, this, &MapTransfer::TimeOutTimer);
    link_.router().route(link::code::kLiveEnd, [this](const link::Reply&) { onLiveTransferEnd(); });
}

void MapTransfer::TimeOutTimer() {
    timeOut_.stop();
    state_.transferState = 0;
    messages_.raiseError(QStringLiteral("TIME OUT!!!!"));
}

void MapTransfer::abandon() {
    timeOut_.stop();
    state_.transferState = 0;
}

void MapTransfer::onLiveTransferEnd() {
    state_.transferState = 0;
    timeOut_.stop();
}

}  // namespace lumora::warp
