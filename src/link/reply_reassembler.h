#pragma once

// Turns the bytes of the receive path into three-byte replies. Serial adapters
// split and merge bytes freely, so a partial reply is kept across batches; a
// partial reply followed by a silence is stale and dropped, which lets the
// stream resynchronise after a lost or stray byte (framing by line silence).

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "link/bytes.h"
#include "link/reply.h"

namespace lumora::link {

class ReplyReassembler {
  public:
    static constexpr std::int64_t kSilenceMs = 20;

    // Bytes that arrived at nowMs (a monotonic clock); returns the replies
    // they complete, in order.
    std::vector<Reply> feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
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
