#pragma once

// Register access of the box. The link is the program's one implementation
// (every read matched to its own reply, every wait bounded); tests can put
// anything behind it.

#include <chrono>
#include <cstdint>
#include <optional>

namespace lumora::link {

class RegisterPort {
  public:
    virtual ~RegisterPort() = default;

    virtual void write8(std::uint8_t channel, std::uint8_t reg, std::uint8_t value) = 0;
    virtual void write16(std::uint8_t channel, std::uint8_t reg, std::uint16_t value) = 0;
    virtual void write32(std::uint8_t channel, std::uint8_t reg, std::uint32_t value) = 0;
    // Waits for the reply; nullopt when none came. Throws WaitAborted when
    // the port closes or the program quits meanwhile.
    virtual std::optional<std::uint8_t> read(std::uint8_t channel, std::uint8_t reg) = 0;
    // A pause that keeps replies and the window served; throws WaitAborted
    // as read() does.
    virtual void wait(std::chrono::milliseconds duration) = 0;
};

}  // namespace lumora::link
