#include "warp/corner_shift.h"

namespace lumora::warp {

CornerShift::CornerShift(base::ProgramState& state, base::HandlerGuard& guard, GridModel& model,
                         LiveWarp& live)
    : state_(state), guard_(guard), model_(model), live_(live) {}

bool CornerShift::x10(int channel, Corner corner) const {
    return x10_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(corner)];
}

void CornerShift::setX10(int channel, Corner corner, bool on) {
    bool& box = x10_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(corner)];
    if (box != on) {
        box = on;
        emit changed();
    }
}

void CornerShift::setCounter(int channel, Corner corner, Axis axis, std::int16_t value) {
    std::int16_t& counter =
        counters_[static_cast<std::size_t>(CornerShiftIndex(corner, axis, channel))];
    if (counter == value) {
        return;
    }
    counter = value;
    ChannelGrid& grid = model_.channel(channel);
    const auto k = static_cast<std::size_t>(corner);
    if (axis == Axis::kX) {
        grid.shiftedCorners[k].x = grid.cornerBase[k].x + static_cast<float>(value);
    } else {
        grid.shiftedCorners[k].y = grid.cornerBase[k].y + static_cast<float>(value);
    }
    emit changed();
}

void CornerShift::onBoxAnswered() {
    counters_.fill(0);
    emit changed();
}

void CornerShift::ShiftClick(int channel, Corner corner, Axis axis, int sign) {
    guard_.run([&] {
        if (live_.busy() || !GridModel::isGridChannel(channel)) {
            return;  // no counter, label, corner or packet changes
        }
        // The button's own half, whichever half the pointer crossed last
        // (a key press moves no pointer).
        state_.setCurrentChannel(channel);
        const int step = x10(channel, corner) ? 10 : 1;
        std::int16_t& counter =
            counters_[static_cast<std::size_t>(CornerShiftIndex(corner, axis, channel))];
        ChannelGrid& grid = model_.channel(channel);
        const auto k = static_cast<std::size_t>(corner);
        float& shifted = axis == Axis::kX ? grid.shiftedCorners[k].x : grid.shiftedCorners[k].y;
        const float base = axis == Axis::kX ? grid.cornerBase[k].x : grid.cornerBase[k].y;
        const std::int16_t oldCounter = counter;
        const float oldShifted = shifted;
        live_.send(
            channel,
            [&] {
                // 16-bit signed arithmetic: past 32,767 the counter wraps.
                counter = static_cast<std::int16_t>(counter + sign * step);
                shifted = base + static_cast<float>(counter);
            },
            [&] {
                counter = oldCounter;
                shifted = oldShifted;
            });
        emit changed();
    });
}

}  // namespace lumora::warp
