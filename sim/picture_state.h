#pragma once

// What one channel's picture settings stand at, as the host's packets and
// register writes left them: edge blend, test pattern, uniformity and colour
// adjust. A box that has just powered up holds zeros everywhere, except the
// uniformity points, which start neutral (gain 8191, offset 0) so that a
// grid the host never touched does not read as a black picture.

#include <array>
#include <cstdint>

namespace lumora::sim {

struct BlendWindow {
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint16_t enable = 0;

    bool operator==(const BlendWindow&) const = default;
};

struct BlendState {
    static constexpr int kEdges = 4;                // left, right, top, bottom (mask bits 0..3)
    std::array<std::uint16_t, kEdges> edgeWidth{};  // 0 = edge off
    BlendWindow transitionWindow;                   // window kind 0
    BlendWindow nonTransitionWindow;                // window kind 2
    std::uint16_t marker = 0;
    std::uint16_t transitionOffset = 0;     // offset "which" 0
    std::uint16_t nonTransitionOffset = 0;  // offset "which" 2
    std::uint16_t gamma = 0;                // gamma x 100
};

struct PatternState {
    bool on = false;
    std::uint8_t colour = 0;  // bit 0 red, bit 1 green, bit 2 blue
    std::uint8_t horizontal = 0;
    std::uint8_t vertical = 0;
};

struct UniformityPoint {
    static constexpr std::uint16_t kNeutralGain = 8191;
    std::uint16_t gain = kNeutralGain;  // 0..16383
    std::int16_t offset = 0;            // -512..511

    bool operator==(const UniformityPoint&) const = default;
};

struct UniformityState {
    static constexpr int kColumns = 32;
    static constexpr int kRows = 20;
    static constexpr int kPoints = kColumns * kRows;

    std::array<UniformityPoint, kPoints> points{};  // row after row: Y x 32 + X
    std::uint8_t mode = 0;                          // register 0x24 as last written
    bool enabled = false;                           // the last 0 or 1 written to 0x24

    const UniformityPoint& at(int x, int y) const {
        return points.at(static_cast<std::size_t>(y * kColumns + x));
    }
};

struct PictureState {
    BlendState blend;
    PatternState pattern;
    UniformityState uniformity;
};

// Colour adjust, decoded from bank 5 whenever it is asked for.
struct ColourState {
    bool gainEnabled = false;
    std::array<std::uint16_t, 3> gains{};   // red, green, blue: 0..2047
    std::array<std::int16_t, 3> offsets{};  // red, green, blue: -512..511
};

}  // namespace lumora::sim
