#pragma once

// The data of a warp grid, shared by the grid model, the overlay, the warp map
// computation and the settings file.

#include <array>
#include <cstdint>

namespace lumora::warp {

inline constexpr int kLatticeLines = 17;  // columns and rows of the lattice
inline constexpr int kLastLine = 16;
inline constexpr int kLatticePoints = kLatticeLines * kLatticeLines;

struct ControlPoint {
    float x = 0.0f;
    float y = 0.0f;

    friend bool operator==(const ControlPoint&, const ControlPoint&) = default;
};

// Points column by column: the point of column j and row i is element j*17 + i.
// Each element is x then y; this is also the byte order of the settings file.
using GridPoints = std::array<ControlPoint, kLatticePoints>;

constexpr int PointIndex(int column, int row) {
    return column * kLatticeLines + row;
}

// Corners in the order top-left, top-right, bottom-left, bottom-right.
enum Corner : int { kTopLeft = 0, kTopRight = 1, kBottomLeft = 2, kBottomRight = 3 };
using Corners = std::array<ControlPoint, 4>;

// One flag per lattice line: 1 when the line belongs to the grid size in use.
using LineFlags = std::array<std::int32_t, kLatticeLines>;

// 0 = 2x2, 1 = 5x5, 2 = 9x9, 3 = 17x17.
enum GridSize : std::int32_t { kGrid2x2 = 0, kGrid5x5 = 1, kGrid9x9 = 2, kGrid17x17 = 3 };

}  // namespace lumora::warp
