#include "settings/settings_image.h"

#include <algorithm>

#include "settings/little_endian.h"

namespace lumora::settings {
namespace {

// Visits every number of the image in file order after the header. The one
// place that knows the order, so that writing and reading cannot drift apart.
template <typename Image, typename Visit>
constexpr void ForEachNumber(Image& image, Visit&& visit) {
    for (auto& v : image.gridSize) {
        visit(v);
    }
    for (auto& v : image.internalGrid) {
        visit(v);
    }
    for (auto& grid : image.grids) {
        for (auto& point : grid) {
            visit(point.x);
            visit(point.y);
        }
    }
    for (auto& v : image.cornerShift) {
        visit(v);
    }
    for (auto& table : image.uniformityGain) {
        for (auto& v : table) {
            visit(v);
        }
    }
    for (auto& table : image.uniformityOffset) {
        for (auto& v : table) {
            visit(v);
        }
    }
    for (auto& v : image.uniformityEnable) {
        visit(v);
    }
    for (auto& r : image.colourAdjust) {
        for (auto* v : {&r.gainEnable, &r.redGain, &r.greenGain, &r.blueGain, &r.redOffset,
                        &r.greenOffset, &r.blueOffset}) {
            visit(*v);
        }
    }
    for (auto& r : image.edgeBlend) {
        for (auto* v : {&r.marker, &r.leftEnable, &r.leftWidth, &r.rightEnable, &r.rightWidth,
                        &r.topEnable, &r.topWidth, &r.bottomEnable, &r.bottomWidth,
                        &r.transitionOffset, &r.nonTransitionOffset, &r.gammaX100}) {
            visit(*v);
        }
    }
}

constexpr std::size_t NumberBytes() {
    const SettingsImage image;
    std::size_t bytes = 0;
    ForEachNumber(image, [&bytes](const auto& v) { bytes += sizeof v; });
    return bytes;
}
static_assert(kSettingsHeader.size() + NumberBytes() == kSettingsImageSize);

}  // namespace

UniformityTable ConnectionGainTable() {
    UniformityTable table{};
    std::fill_n(table.begin(), kUniformityUsedEntries, kUniformityGainAtConnect);
    return table;
}

UniformityTable ConnectionOffsetTable() {
    return UniformityTable{};
}

SettingsBytes WriteSettingsImage(const SettingsImage& image) {
    SettingsBytes bytes{};
    std::copy(kSettingsHeader.begin(), kSettingsHeader.end(), bytes.begin());
    std::size_t at = kSettingsHeader.size();
    ForEachNumber(image, [&](const auto& v) {
        const auto encoded = ToLittleEndian(v);
        std::copy(encoded.begin(), encoded.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
        at += encoded.size();
    });
    return bytes;
}

SettingsReadResult ReadSettingsImage(std::span<const std::uint8_t> bytes, SettingsImage& state) {
    SettingsReadResult result;
    result.bytesUsed = std::min(bytes.size(), kSettingsImageSize);
    result.complete = bytes.size() >= kSettingsImageSize;
    result.headerMatches =
        bytes.size() >= kSettingsHeader.size() &&
        std::equal(kSettingsHeader.begin(), kSettingsHeader.end(), bytes.begin());
    for (const SettingsBlock& block : kSettingsBlocks) {
        if (block.end() > result.bytesUsed) {
            result.firstShortBlock = block;
            break;
        }
    }

    // Lay the file over the state's own image: what the file does not reach
    // keeps the state's bytes, down to the single byte.
    SettingsBytes image = WriteSettingsImage(state);
    std::copy_n(bytes.begin(), result.bytesUsed, image.begin());
    std::size_t at = kSettingsHeader.size();
    ForEachNumber(state, [&](auto& v) {
        std::array<std::uint8_t, sizeof v> encoded;
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(at), encoded.size(),
                    encoded.begin());
        v = FromLittleEndian<std::remove_cvref_t<decltype(v)>>(encoded);
        at += encoded.size();
    });
    return result;
}

}  // namespace lumora::settings
