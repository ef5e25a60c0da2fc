#include "warp/grid_model.h"

namespace lumora::warp {
namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

int HoldOnLattice(int index) {
    return index < 0 ? 0 : (index > kLastLine ? kLastLine : index);
}

bool OnFiveLines(int index) {
    return index % 4 == 0;
}

// Line count of a grid size; 2x2 and unknown sizes count as 5x5.
int LineCount(std::int32_t gridSize) {
    switch (gridSize) {
        case kGrid17x17:
            return 17;
        case kGrid9x9:
            return 9;
        default:
            return 5;
    }
}

bool IsLine(std::int32_t gridSize, int index) {
    switch (gridSize) {
        case kGrid17x17:
            return true;
        case kGrid9x9:
            return index % 2 == 0;
        default:
            return OnFiveLines(index);
    }
}

bool IsActive(std::int32_t gridSize, bool internalGrid, int column, int row) {
    if (gridSize == kGrid2x2) {
        return (column == 0 || column == kLastLine) && (row == 0 || row == kLastLine);
    }
    const bool border =
        internalGrid || column == 0 || column == kLastLine || row == 0 || row == kLastLine;
    return border && IsLine(gridSize, column) && IsLine(gridSize, row);
}

}  // namespace

void GridModel::setPictureSize(int width, int height) {
    width_ = width;
    height_ = height;
    blocksAcross_ = BlockCount(width);
    blocksDown_ = BlockCount(height);
}

void GridModel::ResetGrid(int c) {
    if (!isGridChannel(c)) {
        return;
    }
    ChannelGrid& grid = channel(c);
    for (int i = 0; i <= kLastLine; ++i) {
        latticeY_[static_cast<std::size_t>(i)] = height_ * i / 16;
        for (int j = 0; j <= kLastLine; ++j) {
            if (i == 0) {
                latticeX_[static_cast<std::size_t>(j)] = width_ * j / 16;
            }
            const ControlPoint nominal{static_cast<float>(latticeX_[static_cast<std::size_t>(j)]),
                                       static_cast<float>(latticeY_[static_cast<std::size_t>(i)])};
            grid.points[PointIndex(j, i)] = nominal;
            work_[PointIndex(j, i)] = nominal;
        }
    }
    grid.cornerBase = {grid.points[PointIndex(0, 0)], grid.points[PointIndex(kLastLine, 0)],
                       grid.points[PointIndex(0, kLastLine)],
                       grid.points[PointIndex(kLastLine, kLastLine)]};
    grid.shiftedCorners = grid.cornerBase;
}

void GridModel::ApplyGridSize(int c, std::int32_t gridSize) {
    if (!isGridChannel(c)) {
        return;
    }
    ChannelGrid& grid = channel(c);
    grid.gridSize = gridSize;
    setLines(gridSize);
    for (int j = 0; j <= kLastLine; ++j) {
        for (int i = 0; i <= kLastLine; ++i) {
            grid.active[PointIndex(j, i)] = IsActive(gridSize, grid.internalGrid != 0, j, i);
        }
    }
    StepSelection(c, 0, 0);
}

void GridModel::setLines(std::int32_t gridSize) {
    lines_.columnCount = LineCount(gridSize);
    lines_.rowCount = lines_.columnCount;
    for (int index = 0; index <= kLastLine; ++index) {
        const std::int32_t flag = IsLine(gridSize, index) ? 1 : 0;
        lines_.columns[static_cast<std::size_t>(index)] = flag;
        lines_.rows[static_cast<std::size_t>(index)] = flag;
    }
}

void GridModel::useOwnGrid(int c) {
    if (!isGridChannel(c)) {
        return;
    }
    setLines(channel(c).gridSize);
    recordedGridSize = channel(c).gridSize;
    recordedInternalGrid = channel(c).internalGrid;
}

void GridModel::StepSelection(int c, int columnStep, int rowStep) {
    if (!isGridChannel(c)) {
        return;
    }
    ChannelGrid& grid = channel(c);
    if (columnStep == 0 && rowStep == 0) {
        if (!grid.isActive(grid.currentColumn, grid.currentRow)) {
            grid.currentColumn = 0;
            grid.currentRow = 0;
        }
        return;
    }
    int column = grid.currentColumn;
    int row = grid.currentRow;
    for (;;) {
        const int nextColumn = HoldOnLattice(column + Sign(columnStep));
        const int nextRow = HoldOnLattice(row + Sign(rowStep));
        if (nextColumn == column && nextRow == row) {
            break;  // the edge of the lattice
        }
        column = nextColumn;
        row = nextRow;
        if (grid.isActive(column, row)) {
            break;
        }
    }
    grid.currentColumn = column;
    grid.currentRow = row;
}

}  // namespace lumora::warp
