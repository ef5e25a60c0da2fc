#pragma once

// When to write a channel's overlay picture. Writing a full-size PNG after
// each of the hundreds of fills of one update would be far too slow, so a
// change is held back until the host ends its drawing pass (0x40 or 0x00 to
// the engine control: the end of a marker pass or of a full clear), or else
// until no further change has come for a quiet time, which also catches a
// host that stops halfway through. Pure: the caller supplies the clock.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

namespace lumora::sim {

// What the picture of one channel depends on, as the model reports it.
struct OverlayState {
    std::uint64_t revision = 0;     // OverlayMemory::revision()
    std::uint64_t passesEnded = 0;  // BoxModel::overlayPassesEnded()
    bool shown = false;             // BoxModel::overlayShown()

    bool operator==(const OverlayState&) const = default;
};

class OverlayRefresh {
  public:
    using Micros = std::chrono::microseconds;
    static constexpr int kChannels = 2;
    static constexpr Micros kQuiet = std::chrono::milliseconds(200);

    explicit OverlayRefresh(Micros quiet = kQuiet) : quiet_(quiet) {}

    // Looks at `channel` as it stands at `now`. True: write its picture now;
    // the state then counts as written.
    bool due(int channel, const OverlayState& state, Micros now);
    // True if the picture last written no longer matches `state`.
    bool pending(int channel, const OverlayState& state) const;
    void markWritten(int channel, const OverlayState& state);
    // due() (with `all`: pending()), and the state counts as written when so.
    bool take(int channel, const OverlayState& state, Micros now, bool all);
    // When a change already seen by due() falls due if nothing else happens.
    std::optional<Micros> nextDeadline() const;

  private:
    struct Channel {
        OverlayState written;
        OverlayState seen;
        Micros changedAt{0};
    };
    static bool samePicture(const OverlayState& a, const OverlayState& b) {
        return a.revision == b.revision && a.shown == b.shown;
    }

    Micros quiet_;
    std::array<Channel, kChannels> channels_{};
};

}  // namespace lumora::sim
