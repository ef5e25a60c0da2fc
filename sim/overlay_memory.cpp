#include "sim/overlay_memory.h"

#include <algorithm>

namespace lumora::sim {
namespace {

// Division rounding toward minus infinity, so that an address just below the
// base lands on line -1 (and is clipped) rather than on line 0.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

}  // namespace

OverlayMemory::OverlayMemory(int pictureWidth, int pictureHeight)
    : width_(std::clamp(pictureWidth, 0, kMaxWidth)),
      height_(std::max(pictureHeight, 0)),
      lines_(static_cast<std::size_t>(height_)) {}

std::uint8_t OverlayMemory::pixel(int x, int y) const {
    if (x < 0 || x >= width_ || y < 0 || y >= height_) {
        return 0;
    }
    const auto& line = lines_[static_cast<std::size_t>(y)];
    return line.empty() ? 0 : line[static_cast<std::size_t>(x)];
}

std::span<const std::uint8_t> OverlayMemory::line(int y) const {
    if (y < 0 || y >= height_) {
        return {};
    }
    return lines_[static_cast<std::size_t>(y)];
}

void OverlayMemory::fill(std::uint16_t widthRegister, std::uint16_t heightRegister,
                         std::uint32_t address, std::uint8_t colour) {
    const std::int64_t offset = static_cast<std::int64_t>(address) - kBaseAddress;
    const std::int64_t firstLine = floorDiv(offset, kUnitsPerLine);
    const std::int64_t firstPixel = (offset - firstLine * kUnitsPerLine) * kPixelsPerUnit;
    const std::int64_t top = std::max<std::int64_t>(firstLine, 0);
    const std::int64_t bottom = std::min<std::int64_t>(firstLine + heightRegister + 1, height_);
    const std::int64_t left = firstPixel;
    const std::int64_t right =
        std::min<std::int64_t>(firstPixel + (widthRegister + 1) * kPixelsPerUnit, width_);
    if (top >= bottom || left >= right) {
        return;
    }
    ++revision_;
    const bool wholeLine = left == 0 && right == width_;
    for (std::int64_t y = top; y < bottom; ++y) {
        auto& line = lines_[static_cast<std::size_t>(y)];
        if (line.empty()) {
            if (colour == 0) {
                continue;  // already clear
            }
            line.assign(static_cast<std::size_t>(width_), 0);
        } else if (colour == 0 && wholeLine) {
            line = {};  // a full clear gives the line back
            continue;
        }
        std::fill(line.begin() + left, line.begin() + right, colour);
    }
}

}  // namespace lumora::sim
