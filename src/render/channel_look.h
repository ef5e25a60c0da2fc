#pragma once

// What a channel does to its warped picture besides the warp, as the box is
// told it: uniformity, colour adjust, edge blend, and the test pattern that
// replaces the source while it is on. Neutral values change nothing.

#include <array>
#include <cstdint>

namespace lumora::render {

struct ChannelLook {
    static constexpr int kUniformityColumns = 32;
    static constexpr int kUniformityRows = 20;
    static constexpr int kNeutralGain = 8191;

    struct Uniformity {
        bool enabled = false;
        // Entry Y * 32 + X: gain 0..16383 (8191 = 1), offset -512..511.
        std::array<std::int32_t, kUniformityColumns * kUniformityRows> gain{};
        std::array<std::int32_t, kUniformityColumns * kUniformityRows> offset{};

        bool operator==(const Uniformity&) const = default;
    };
    struct Colour {
        bool gainEnabled = false;
        std::array<int, 3> gain{512, 512, 512};  // 0..2047, 512 = 1
        std::array<int, 3> offset{};             // -512..511

        bool operator==(const Colour&) const = default;
    };
    struct Blend {
        // Left, right, top, bottom: width in blend-frame pixels, 0 = off.
        std::array<int, 4> edgeWidth{};
        int gammaX100 = 220;
        int transitionOffset = 0;     // 0..48
        int nonTransitionOffset = 0;  // 0..48

        bool operator==(const Blend&) const = default;
    };
    struct Pattern {
        bool on = false;
        int colour = 7;  // bit 0 red, bit 1 green, bit 2 blue
        int horizontal = 32;
        int vertical = 32;

        bool operator==(const Pattern&) const = default;
    };

    Uniformity uniformity;
    Colour colour;
    Blend blend;
    Pattern pattern;

    ChannelLook() { uniformity.gain.fill(kNeutralGain); }

    bool operator==(const ChannelLook&) const = default;
};

}  // namespace lumora::render
