#pragma once

// The program-wide state that several feature areas read and write. It is
// owned by the session and handed to each area by reference.

#include <cstdint>

namespace lumora::base {

inline constexpr int kChannels = 2;
inline constexpr std::uint8_t kAllChannels = 2;

struct ProgramState {
    // 0 = Channel A, 1 = Channel B, 2 = "All". Packet operations without a
    // channel argument send it as their channel byte.
    std::uint8_t currentChannel = 0;
    // True from a successful open of the port to the next Disconnect.
    bool connected = false;
    // Values other than 0, 1 and 2 are ignored.
    void setCurrentChannel(int channel) {
        if (channel >= 0 && channel <= kAllChannels) {
            currentChannel = static_cast<std::uint8_t>(channel);
        }
    }
};

}  // namespace lumora::base
