#pragma once

// Cuts the host's byte stream into command packets: byte 0 is the total
// length (4..58), the last byte the 8-bit sum of all bytes before it.
// Everything that is not a valid packet comes out as one "bad" record per run
// of rejected bytes, so that garbage is counted and logged but never acted on.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "link/bytes.h"

namespace lumora::sim {

// How the bytes handed to feed() came in.
enum class Intake {
    // Read the moment they arrived: the line was idle until then, so the gap
    // since the last bytes is a silence on the line.
    kAsTheyCame,
    // May have waited to be read (a busy reader, a paced intake): the gap says
    // nothing about the line. Only an empty feed, made when nothing was
    // waiting, gives up a partial packet.
    kWaited,
};

struct ReceivedPacket {
    link::Bytes bytes;
    bool good = false;
    std::chrono::milliseconds at{0};
};

class Deframer {
  public:
    static constexpr std::size_t kMinLength = 4;
    static constexpr std::size_t kMaxLength = 58;

    explicit Deframer(std::chrono::milliseconds partialTimeout) : partialTimeout_(partialTimeout) {}

    // Appends bytes received at `now` and returns the packets completed by
    // them, in stream order. An empty span says the line was idle until
    // `now` and only checks the silence time-out.
    std::vector<ReceivedPacket> feed(std::span<const std::uint8_t> bytes,
                                     std::chrono::milliseconds now,
                                     Intake intake = Intake::kAsTheyCame);

    // Forgets everything buffered, without reporting it (a new host attached).
    void reset();

    bool hasPartial() const { return !buffer_.empty() || !junk_.empty(); }
    // When a buffered partial packet will be given up if nothing else arrives.
    std::optional<std::chrono::milliseconds> partialDeadline() const;

  private:
    enum class Head { kIncomplete, kValid, kInvalid };
    Head classify(std::size_t pos) const;
    void extract(std::vector<ReceivedPacket>& out, std::chrono::milliseconds now);
    // After a rejected packet: the earliest later start that completes a
    // valid packet, or where the undecidable bytes begin.
    std::size_t resyncPoint(bool& foundValid) const;
    void moveToJunk(std::size_t count);
    void flushJunk(std::vector<ReceivedPacket>& out, std::chrono::milliseconds now);
    void expire(std::vector<ReceivedPacket>& out, std::chrono::milliseconds now);

    std::chrono::milliseconds partialTimeout_;
    link::Bytes buffer_;
    link::Bytes junk_;
    // True while buffer_ starts on a trusted packet boundary. After a rejected
    // packet it is false, and a partial head is not waited for if a complete
    // valid packet already follows it.
    bool synced_ = true;
    std::chrono::milliseconds lastByte_{0};
};

}  // namespace lumora::sim
