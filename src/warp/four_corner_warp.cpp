#include "warp/four_corner_warp.h"

#include <algorithm>

#include "link/packets.h"
#include "warp/four_corner_points.h"

namespace lumora::warp {
namespace {

// The mode and move commands always name channel 0; the box applies them.
constexpr std::uint8_t kFirstChannel = 0x00;

}  // namespace

FourCornerWarp::FourCornerWarp(link::Link& link, base::ProgramState& state,
                               base::HandlerGuard& guard, base::OperatorMessages& messages)
    : link_(link), state_(state), guard_(guard), messages_(messages) {
    // The form comes up showing mode 0 with nothing sent.
    view_.shownPoints = FourCornerPointMask(0);
}

void FourCornerWarp::setModeItem(int item) {
    view_.modeItem = std::clamp(item, 0, 2);
}

void FourCornerWarp::setStepPosition(int position) {
    view_.stepPosition = std::clamp(position, 0, kMaxStepPosition);
}

void FourCornerWarp::CBWarpModeChange() {
    guard_.run([this] {
        const int mode = view_.modeItem;
        link_.send(link::FourCornerModePacket(kFirstChannel, static_cast<std::uint8_t>(mode)));
        showPointSet(mode);
    });
}

void FourCornerWarp::showPointSet(int mode) {
    view_.shownPoints = FourCornerPointMask(mode);
    const bool wasOn = view_.checkedPoint == 0;
    view_.checkedPoint = 0;
    emit changed();
    if (!wasOn) {
        RB4CClick(0);
    }
}

void FourCornerWarp::RB4CClick(int tag) {
    messages_.appendLog(QStringLiteral("%1 Checked").arg(tag));
    selected_ = tag;
    emit changed();
}

void FourCornerWarp::RBCurClick(int point) {
    if (view_.checkedPoint == point) {
        return;
    }
    view_.checkedPoint = point;
    RB4CClick(point);
}

void FourCornerWarp::ChangeStepBarChange() {
    view_.stepLabel = QString::number(view_.stepPosition + 1);
    emit changed();
}

void FourCornerWarp::Warp4CBtnClick(int tag) {
    guard_.run([this, tag] {
        link_.send(link::FourCornerMovePacket(kFirstChannel, static_cast<std::uint8_t>(selected_),
                                              tag & 3, view_.stepPosition + 1));
    });
}

void FourCornerWarp::Button2Click() {
    guard_.run([this] { link_.send(link::FourCornerResetPacket(state_.currentChannel)); });
}

}  // namespace lumora::warp
