#pragma once

// Turns the bytes of the receive path into three-byte replies. Serial adapters
// split and merge bytes freely (a USB adapter holds bytes for its latency
// timer, so the parts of one reply can arrive tens of milliseconds apart), so
// a partial reply is kept across batches. Only a partial reply followed by a
// real silence on the line is stale and dropped, which lets the stream
// resynchronise after a lost or stray byte.
//
// The silence is judged from what the line did, not from when the program
// got round to reading it: lineQuiet() reports a moment at which nothing was
// waiting on the line, so the bytes read later arrived after it.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "link/bytes.h"
#include "link/reply.h"

namespace lumora::link {

class ReplyReassembler {
  public:
    // A partial reply survives any gap up to this long.
    static constexpr std::int64_t kSilenceMs = 250;

    // Bytes read at nowMs (a monotonic clock); returns the replies they
    // complete, in order.
    std::vector<Reply> feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
    // The line was seen idle at nowMs. Drops a partial reply whose last byte
    // came more than kSilenceMs before; returns the number of bytes dropped.
    std::size_t lineQuiet(std::int64_t nowMs);
    void reset() { count_ = 0; }
    bool hasPartial() const { return count_ > 0; }
    // Partial bytes dropped after a silence, for diagnostics.
    std::uint64_t droppedBytes() const { return dropped_; }

  private:
    std::array<std::uint8_t, 3> partial_{};
    std::size_t count_ = 0;
    std::int64_t lastByteMs_ = 0;
    std::uint64_t dropped_ = 0;
};

}  // namespace lumora::link
