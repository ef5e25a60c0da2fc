#pragma once

// One channel's overlay memory as the rectangle-fill engine sees it: a linear
// address space from 0x4C00000 with 1024 address units per picture line and
// two pixels (one colour byte each) per unit.
//
// Only the visible picture is kept: min(picture width, 2048) pixels by the
// picture height. The 2048-pixel pitch bounds the width because a line holds
// no more. Whatever a fill reaches outside that area is dropped: pixels past
// the right edge do not wrap onto the next line, and lines before the first
// or after the last are skipped. Lines are allocated on the first non-zero
// colour and released by a clear that spans them, so a box with a huge
// --size that never draws costs nothing.

#include <cstdint>
#include <span>
#include <vector>

namespace lumora::sim {

class OverlayMemory {
  public:
    static constexpr std::uint32_t kBaseAddress = 0x4C00000;
    static constexpr int kUnitsPerLine = 1024;
    static constexpr int kPixelsPerUnit = 2;
    static constexpr int kMaxWidth = kUnitsPerLine * kPixelsPerUnit;

    OverlayMemory() = default;
    OverlayMemory(int pictureWidth, int pictureHeight);

    int width() const { return width_; }
    int height() const { return height_; }
    // The colour byte at (x, y); 0 outside the memory.
    std::uint8_t pixel(int x, int y) const;
    // Line y's colour bytes, width() of them. Empty (all 0) when the line was
    // never drawn or was last cleared whole, and when y lies outside.
    std::span<const std::uint8_t> line(int y) const;

    // Runs one fill with the engine registers as written: width register w
    // covers w + 1 units, height register h covers h + 1 lines.
    void fill(std::uint16_t widthRegister, std::uint16_t heightRegister, std::uint32_t address,
              std::uint8_t colour);

    // Counts the fills that reached the kept area; a change means the picture may differ.
    std::uint64_t revision() const { return revision_; }

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::vector<std::uint8_t>> lines_;
    std::uint64_t revision_ = 0;
};

}  // namespace lumora::sim
