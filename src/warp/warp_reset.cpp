#include "warp/warp_reset.h"

#include "link/packets.h"
#include "warp/coefficient_set.h"

namespace lumora::warp {

WarpReset::WarpReset(const Context& context)
    : link_(context.link),
      work_(context.work),
      messages_(context.messages),
      model_(context.model),
      maps_(context.maps),
      overlay_(context.overlay) {
    link_.router().route(link::code::kWarpReset, [this](const link::Reply&) { onConfirmation(); });
}

void WarpReset::SendWarpReset(std::uint8_t channel) {
    link_.send(link::WarpResetPacket(channel));
    ++sent_;
    maps_.resetLive(channel);
}

void WarpReset::onConfirmation() {
    // Only a reset in flight is confirmed: a late 0x31 must not end a
    // transfer or anything else that started since.
    const bool resetting =
        work_.runs(base::WorkKind::kWarpReset) || work_.runs(base::WorkKind::kInitialisation);
    if (!resetting || confirmed_ >= sent_) {
        messages_.appendLog(
            QStringLiteral("A warp reset confirmation (0x31) from the box answers no reset in "
                           "flight; it was ignored."));
        return;
    }
    ++confirmed_;
    if (work_.runs(base::WorkKind::kWarpReset) && confirmed_ >= sent_) {
        work_.finish(work_.running()->id, base::WorkEnd::kCompleted);
    }
}

bool WarpReset::awaitConfirmations(std::chrono::milliseconds bound) {
    return link_.serveUntil([this] { return confirmed_ >= sent_; }, bound);
}

void WarpReset::ResetWarpMap(int c) {
    maps_.setIdentity();
    SelectCoefficientSet(c);
}

void WarpReset::SelectCoefficientSet(int c) {
    const int index = CoefficientSetIndex(SmallestGridScale(model_.workGrid(), model_));
    SendCoefficientSet(link_, static_cast<std::uint8_t>(c), index);
}

void WarpReset::Reset(int c, bool showGrid, const std::function<void()>& afterSend) {
    // Long work from the first read on: nothing may start between the
    // coefficient set and the box's confirmation.
    const auto id = work_.start(base::WorkKind::kWarpReset, c);
    if (!id) {
        return;
    }
    const base::LongWork::Scope scope(work_, *id);
    expectConfirmations();
    ResetWarpMap(c);
    overlay_.RebuildOverlay(c, showGrid);
    model_.ResetGrid(c);
    SendWarpReset(static_cast<std::uint8_t>(c));
    if (afterSend) {
        afterSend();
    }
    // The confirmation ends the work; Disconnect or a dead line may too.
    if (link_.serveUntil([&] { return !work_.isRunning(*id); }, kConfirmWait)) {
        return;
    }
    work_.finish(*id, base::WorkEnd::kTimedOut);
    messages_.raiseError(
        QStringLiteral("The box did not confirm the warp reset within two seconds. The warp "
                       "controls are free again; check the box, then press RESET again."));
}

}  // namespace lumora::warp
