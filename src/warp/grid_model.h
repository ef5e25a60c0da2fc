#pragma once

// Both channels' warp grids and the program-wide data they are built on: the
// picture size, the nominal lattice, the lines of the grid size applied last,
// the work grid, grid scale and offset.

#include <array>
#include <cstdint>

#include "warp/grid_types.h"

namespace lumora::warp {

struct ChannelGrid {
    GridPoints points{};
    std::int32_t gridSize = kGrid2x2;
    std::int32_t internalGrid = 0;
    std::int32_t showGrid = 0;
    // Points of the grid size in use: they get a marker and can be selected.
    std::array<std::int32_t, kLatticePoints> active{};
    std::int32_t currentColumn = 0;
    std::int32_t currentRow = 0;
    float step = 16.0f;
    Corners cornerBase{};
    Corners shiftedCorners{};

    bool isActive(int column, int row) const { return active[PointIndex(column, row)] != 0; }
};

// The grid lines of the grid size applied last, on either channel.
struct GridLines {
    LineFlags columns{};
    LineFlags rows{};
    int columnCount = 0;
    int rowCount = 0;

    int columnCountMinus1() const { return columnCount - 1; }
    int columnCountPlus1() const { return columnCount + 1; }
    int rowCountMinus1() const { return rowCount - 1; }
    int rowCountPlus1() const { return rowCount + 1; }
};

struct GridTransform {
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
};

class GridModel {
  public:
    static constexpr int kChannels = 2;

    // Sets the picture size and the block counts; the lattice follows at the
    // next ResetGrid.
    void setPictureSize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    int blocksAcross() const { return blocksAcross_; }
    int blocksDown() const { return blocksDown_; }

    // Nominal lattice: X[j] = width*j/16, Y[i] = height*i/16.
    const std::array<std::int32_t, kLatticeLines>& latticeX() const { return latticeX_; }
    const std::array<std::int32_t, kLatticeLines>& latticeY() const { return latticeY_; }

    // Channel 0 = A, 1 = B. Operations called with any other channel ("All")
    // touch nothing.
    static bool isGridChannel(int channel) { return channel == 0 || channel == 1; }
    ChannelGrid& channel(int c) { return channels_[static_cast<std::size_t>(c)]; }
    const ChannelGrid& channel(int c) const { return channels_[static_cast<std::size_t>(c)]; }

    const GridLines& lines() const { return lines_; }
    GridPoints& workGrid() { return work_; }
    const GridPoints& workGrid() const { return work_; }
    GridTransform& transform() { return transform_; }
    const GridTransform& transform() const { return transform_; }

    // The grid size and Internal Grid flag the warp map computation uses: the
    // copies recorded by the last move, the connection set-up or a load.
    std::int32_t recordedGridSize = kGrid2x2;
    std::int32_t recordedInternalGrid = 0;

    // The lines of channel c's grid size, and its grid size and Internal
    // Grid flag recorded for the computation.
    void useOwnGrid(int c);
    void restoreLines(const GridLines& lines) { lines_ = lines; }

    void ResetGrid(int c);
    void ApplyGridSize(int c, std::int32_t gridSize);
    void StepSelection(int c, int columnStep, int rowStep);

  private:
    void setLines(std::int32_t gridSize);

    int width_ = 0;
    int height_ = 0;
    int blocksAcross_ = 0;
    int blocksDown_ = 0;
    std::array<std::int32_t, kLatticeLines> latticeX_{};
    std::array<std::int32_t, kLatticeLines> latticeY_{};
    std::array<ChannelGrid, kChannels> channels_{};
    GridLines lines_{};
    GridPoints work_{};
    GridTransform transform_{};
};

// Blocks of 16 pixels per axis, truncating toward zero.
constexpr int BlockCount(int pixels) {
    return (pixels - 1) / 16 + 1;
}

}  // namespace lumora::warp
