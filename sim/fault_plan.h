#pragma once

// Turns each reply the box wants to send into the timed writes that really
// reach the line, with the configured faults applied: a dropped reply,
// silence after a number of packets, a delay, replies split in two, stray
// bytes, and pacing at a line rate. Times are on the caller's monotonic clock.
// Writes never overlap on the line: a reply starts only after the previous
// one's last byte, so the returned writes are in time order across calls.

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

#include "link/bytes.h"
#include "sim/box_config.h"

namespace lumora::sim {

struct TimedWrite {
    std::chrono::microseconds at{0};
    link::Bytes bytes;
    // The first write of what the box sends for one packet: the line may
    // have been idle before it.
    bool startsReply = false;

    // What goes on the line and when; startsReply only guides delivery.
    bool operator==(const TimedWrite& other) const {
        return at == other.at && bytes == other.bytes;
    }
};

class FaultPlan {
  public:
    explicit FaultPlan(FaultConfig config);

    // Counts a good packet from the host; call before planning its reply.
    void notePacketReceived() { ++packetsReceived_; }
    // True once the box has stopped answering for good.
    bool silent() const;

    // The writes that carry `reply`, which the box wants to send at `now`.
    std::vector<TimedWrite> planReply(std::span<const std::uint8_t> reply,
                                      std::chrono::microseconds now);

    const FaultConfig& config() const { return config_; }
    int repliesPlanned() const { return repliesPlanned_; }

  private:
    // Puts `bytes` on the line no earlier than `earliest`; returns when the
    // last of them has left.
    std::chrono::microseconds place(std::vector<TimedWrite>& out,
                                    std::span<const std::uint8_t> bytes,
                                    std::chrono::microseconds earliest);

    FaultConfig config_;
    int packetsReceived_ = 0;
    int repliesPlanned_ = 0;
    std::chrono::microseconds lineFree_{0};
};

}  // namespace lumora::sim
