#pragma once

// Where each block of the warp settings file lies, for readers that must say
// where a short file ends.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumora::settings {

inline constexpr std::size_t kSettingsImageSize = 15728;

// "ZMQLWF", 0x01 and nine zero bytes: the same in every file.
inline constexpr std::array<std::uint8_t, 16> kSettingsHeader = {
    'Z', 'M', 'Q', 'L', 'W', 'F', 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0};

struct SettingsBlock {
    std::string_view name;
    std::size_t offset = 0;
    std::size_t size = 0;

    std::size_t end() const { return offset + size; }
};

inline constexpr std::array<SettingsBlock, 18> kSettingsBlocks = {{
    {"header", 0, 16},
    {"grid size A", 16, 4},
    {"grid size B", 20, 4},
    {"internal grid A", 24, 4},
    {"internal grid B", 28, 4},
    {"warp grid A", 32, 2312},
    {"warp grid B", 2344, 2312},
    {"corner shifts", 4656, 32},
    {"uniformity gain A", 4688, 2720},
    {"uniformity gain B", 7408, 2720},
    {"uniformity offset A", 10128, 2720},
    {"uniformity offset B", 12848, 2720},
    {"uniformity enable A", 15568, 4},
    {"uniformity enable B", 15572, 4},
    {"colour adjust A", 15576, 28},
    {"colour adjust B", 15604, 28},
    {"edge blend A", 15632, 48},
    {"edge blend B", 15680, 48},
}};

constexpr bool BlocksTileTheImage() {
    std::size_t next = 0;
    for (const SettingsBlock& block : kSettingsBlocks) {
        if (block.offset != next) {
            return false;
        }
        next = block.offset + block.size;
    }
    return next == kSettingsImageSize;
}
static_assert(BlocksTileTheImage());

}  // namespace lumora::settings
