#pragma once

// Settings of the virtual box: how the box itself behaves (model) and which
// faults it shows on its way back to the host (faults).

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

#include "link/bytes.h"

namespace lumora::sim {

struct ModelConfig {
    // Picture size reported through registers 0x45/0x46 and 0x49/0x4A.
    std::uint16_t width = 1920;
    std::uint16_t height = 1080;
    // How long status register 0x66 reports "busy" after a fill is started.
    std::chrono::milliseconds fillBusy{2};
    // A partial packet is dropped after this much silence on the line.
    std::chrono::milliseconds partialTimeout{20};
    // Data bytes of the 0x30 reply: firmware version major, minor.
    std::array<std::uint8_t, 2> connectReply{0x01, 0x00};
    // Keep every received packet and fill for inspection; a long-running box turns it off.
    bool recordPackets = true;
};

struct FaultConfig {
    // 1-based number of the one reply that is never sent.
    std::optional<int> dropReply{};
    // Answer only the first N good packets, then stay silent for good.
    std::optional<int> silentAfter{};
    // Added to the moment every reply becomes due.
    std::chrono::milliseconds replyDelay{0};
    // Send the first byte of each reply, then the rest after splitGap.
    bool splitReplies = false;
    std::chrono::milliseconds splitGap{5};
    // Noise on the line: strayBytes go out just ahead of reply number
    // strayBefore (1-based), or ahead of every reply when strayBefore is unset.
    link::Bytes strayBytes{};
    std::optional<int> strayBefore{};
    // Baud rate to pace the box's output at (10 bit times per byte); unset = no pacing.
    std::optional<int> lineRate{};
};

struct BoxConfig {
    ModelConfig model{};
    FaultConfig faults{};
};

}  // namespace lumora::sim
