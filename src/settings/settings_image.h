#pragma once

// The warp settings file (.lwf) as data: every adjustment of both channels, and
// the byte image it is saved as. Channel index 0 is A, 1 is B.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "settings/settings_layout.h"
#include "warp/corner_counters.h"
#include "warp/grid_types.h"

namespace lumora::settings {

inline constexpr int kUniformityEntries = 680;
// Entries Y*32 + X of the 32 x 20 points; the rest of a table is unused.
inline constexpr int kUniformityUsedEntries = 640;
inline constexpr std::int32_t kUniformityGainAtConnect = 8191;

using UniformityTable = std::array<std::int32_t, kUniformityEntries>;

// Starts at the colour-adjust controls' start positions.
struct ColourAdjustRecord {
    std::int32_t gainEnable = 0;
    std::int32_t redGain = 512;
    std::int32_t greenGain = 512;
    std::int32_t blueGain = 512;
    std::int32_t redOffset = 0;
    std::int32_t greenOffset = 0;
    std::int32_t blueOffset = 0;

    friend bool operator==(const ColourAdjustRecord&, const ColourAdjustRecord&) = default;
};

// Starts at the edge-blend controls' start positions.
struct EdgeBlendRecord {
    std::int32_t marker = 0;
    std::int32_t leftEnable = 0;
    std::int32_t leftWidth = 50;
    std::int32_t rightEnable = 0;
    std::int32_t rightWidth = 50;
    std::int32_t topEnable = 0;
    std::int32_t topWidth = 50;
    std::int32_t bottomEnable = 0;
    std::int32_t bottomWidth = 50;
    std::int32_t transitionOffset = 0;
    std::int32_t nonTransitionOffset = 0;
    std::int32_t gammaX100 = 90;

    friend bool operator==(const EdgeBlendRecord&, const EdgeBlendRecord&) = default;
};

struct SettingsImage {
    std::array<std::int32_t, 2> gridSize{};  // warp::GridSize, not checked
    std::array<std::int32_t, 2> internalGrid{};
    std::array<warp::GridPoints, 2> grids{};
    // File order, which is also the program's counter order; see CornerShiftIndex.
    std::array<std::int16_t, 16> cornerShift{};
    std::array<UniformityTable, 2> uniformityGain{};
    std::array<UniformityTable, 2> uniformityOffset{};
    std::array<std::int32_t, 2> uniformityEnable{};
    std::array<ColourAdjustRecord, 2> colourAdjust{};
    std::array<EdgeBlendRecord, 2> edgeBlend{};

    friend bool operator==(const SettingsImage&, const SettingsImage&) = default;
};

using warp::Axis;
using warp::CornerShiftIndex;

// The tables as the connection to the box leaves them.
UniformityTable ConnectionGainTable();    // 8191 at every used entry, 0 beyond
UniformityTable ConnectionOffsetTable();  // 0 everywhere

using SettingsBytes = std::array<std::uint8_t, kSettingsImageSize>;

SettingsBytes WriteSettingsImage(const SettingsImage& image);

struct SettingsReadResult {
    std::size_t bytesUsed = 0;  // at most kSettingsImageSize; longer files are cut
    bool complete = false;
    bool headerMatches = false;
    // The first block the file did not fully cover; it was read only as far as
    // bytesUsed, and every block after it was left alone.
    std::optional<SettingsBlock> firstShortBlock;
};

// Takes any bytes as a settings file, as the loader does. A short file
// overwrites `state` only as far as it goes: the bytes beyond the cut keep their
// old values, even within one number.
SettingsReadResult ReadSettingsImage(std::span<const std::uint8_t> bytes, SettingsImage& state);

}  // namespace lumora::settings
