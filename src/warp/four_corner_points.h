#pragma once

#include <cstdint>

namespace lumora::warp {

inline constexpr int kFourCornerPoints = 15;  // 5 columns by 3 rows, row by row

// The points of a four-corner mode: 0 = "2x2", 1 = "3x3", 2 = "5x3"; bit k set
// means point k belongs to the mode. Other modes have no points.
constexpr std::uint32_t FourCornerPointMask(int mode) {
    switch (mode) {
        case 0:
            return 0x4411;
        case 1:
            return 0x56B5;
        case 2:
            return 0x7FFF;
        default:
            return 0;
    }
}

constexpr bool FourCornerPointInMode(int mode, int point) {
    return point >= 0 && point < kFourCornerPoints && ((FourCornerPointMask(mode) >> point) & 1u);
}

}  // namespace lumora::warp
