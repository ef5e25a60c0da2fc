#include "sim/overlay_refresh.h"

#include <algorithm>

namespace lumora::sim {

bool OverlayRefresh::due(int channel, const OverlayState& state, Micros now) {
    Channel& ch = channels_.at(static_cast<std::size_t>(channel));
    if (samePicture(state, ch.written)) {
        // A pass that changed nothing needs no picture, and must not make
        // the next change look like the end of a pass.
        markWritten(channel, state);
        return false;
    }
    if (!samePicture(state, ch.seen)) {
        ch.changedAt = now;
    }
    ch.seen = state;
    if (state.passesEnded != ch.written.passesEnded || now - ch.changedAt >= quiet_) {
        markWritten(channel, state);
        return true;
    }
    return false;
}

bool OverlayRefresh::pending(int channel, const OverlayState& state) const {
    return !samePicture(state, channels_.at(static_cast<std::size_t>(channel)).written);
}

bool OverlayRefresh::take(int channel, const OverlayState& state, Micros now, bool all) {
    const bool write = all ? pending(channel, state) : due(channel, state, now);
    if (write) {
        markWritten(channel, state);
    }
    return write;
}

void OverlayRefresh::markWritten(int channel, const OverlayState& state) {
    Channel& ch = channels_.at(static_cast<std::size_t>(channel));
    ch.written = state;
    ch.seen = state;
}

std::optional<OverlayRefresh::Micros> OverlayRefresh::nextDeadline() const {
    std::optional<Micros> deadline;
    for (const Channel& ch : channels_) {
        if (!samePicture(ch.seen, ch.written)) {
            const Micros at = ch.changedAt + quiet_;
            deadline = deadline ? std::min(*deadline, at) : at;
        }
    }
    return deadline;
}

}  // namespace lumora::sim
