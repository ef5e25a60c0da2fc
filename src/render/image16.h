#pragma once

// A picture of 16-bit red, green and blue samples, row after row: the
// renderer's source and output. 16 bits so that a source position can be
// read back from a gradient picture far below a pixel.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumora::render {

struct Image16 {
    int width = 0;
    int height = 0;
    std::vector<std::uint16_t> rgb;  // 3 per pixel

    Image16() = default;
    Image16(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 0) {}

    std::size_t offset(int x, int y) const {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)) *
               3;
    }
    std::array<std::uint16_t, 3> at(int x, int y) const {
        const std::size_t i = offset(x, y);
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
    void set(int x, int y, const std::array<std::uint16_t, 3>& value) {
        const std::size_t i = offset(x, y);
        rgb[i] = value[0];
        rgb[i + 1] = value[1];
        rgb[i + 2] = value[2];
    }
};

}  // namespace lumora::render
