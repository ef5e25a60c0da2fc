#pragma once

// What the window shows that the core decides. The window renders it after
// every windowChanged(); tests and the command line read it directly.

#include <QString>
#include <array>
#include <cstdint>

namespace lumora::core {

enum class ConnectionState { Disconnected, PortOpen, Connected };

inline constexpr int kChannels = 2;
inline constexpr int kCornerShiftCounters = 16;

struct WindowState {
    QString connectCaption = QStringLiteral("Connect");
    bool portChoiceEnabled = true;
    bool pagesEnabled = false;
    bool saveToBoxEnabled = false;
    QString resolution = QStringLiteral("- - - -");
    // Per channel: "Show Grid", the pressed grid-size button (0 = "2x2" ..
    // 3 = "17x17") and "Internal Grid".
    std::array<bool, kChannels> showGrid{};
    std::array<int, kChannels> gridSizeButton{};
    std::array<bool, kChannels> internalGrid{};
    // Corner-shift counters in the order TL X A, TL X B, TL Y A, TL Y B, BL …,
    // TR …, BR …; each value label shows its counter in decimal.
    std::array<std::int16_t, kCornerShiftCounters> cornerShift{};
};

}  // namespace lumora::core
