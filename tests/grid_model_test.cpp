#include "warp/grid_model.h"

#include <gtest/gtest.h>

namespace lumora::warp {
namespace {

int ActiveCount(const ChannelGrid& grid) {
    int count = 0;
    for (std::int32_t flag : grid.active) {
        count += flag;
    }
    return count;
}

class GridModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        model.setPictureSize(1920, 1080);
        model.ResetGrid(0);
    }
    void select(int column, int row) {
        model.channel(0).currentColumn = column;
        model.channel(0).currentRow = row;
    }
    std::pair<int, int> selection() const {
        return {model.channel(0).currentColumn, model.channel(0).currentRow};
    }
    GridModel model;
};

TEST_F(GridModelTest, LatticeAndBlockCountsAt1920x1080) {
    EXPECT_EQ(model.blocksAcross(), 120);
    EXPECT_EQ(model.blocksDown(), 68);
    for (int j = 0; j <= 16; ++j) {
        EXPECT_EQ(model.latticeX()[j], 120 * j);
    }
    EXPECT_EQ(model.latticeY()[0], 0);
    EXPECT_EQ(model.latticeY()[1], 67);  // 67.5 truncates
    EXPECT_EQ(model.latticeY()[2], 135);
    EXPECT_EQ(model.latticeY()[3], 202);
    EXPECT_EQ(model.latticeY()[4], 270);
    EXPECT_EQ(model.latticeY()[16], 1080);
    EXPECT_EQ(model.channel(0).points[PointIndex(3, 1)], (ControlPoint{360.0f, 67.0f}));
    EXPECT_EQ(model.workGrid()[PointIndex(16, 16)], (ControlPoint{1920.0f, 1080.0f}));
    const Corners nominal{ControlPoint{0, 0}, {1920, 0}, {0, 1080}, {1920, 1080}};
    EXPECT_EQ(model.channel(0).cornerBase, nominal);
    EXPECT_EQ(model.channel(0).shiftedCorners, nominal);
}

TEST_F(GridModelTest, ActivePointsAndLinesOfEveryGridSize) {
    struct Case {
        std::int32_t size;
        int internalGrid;
        int active;
        int lines;
    };
    const Case cases[] = {{kGrid2x2, 0, 4, 5},     {kGrid2x2, 1, 4, 5},     {kGrid5x5, 0, 16, 5},
                          {kGrid5x5, 1, 25, 5},    {kGrid9x9, 0, 32, 9},    {kGrid9x9, 1, 81, 9},
                          {kGrid17x17, 0, 64, 17}, {kGrid17x17, 1, 289, 17}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << " internal " << c.internalGrid);
        model.channel(0).internalGrid = c.internalGrid;
        model.ApplyGridSize(0, c.size);
        EXPECT_EQ(ActiveCount(model.channel(0)), c.active);
        EXPECT_EQ(model.lines().columnCount, c.lines);
        EXPECT_EQ(model.lines().rowCount, c.lines);
        EXPECT_EQ(model.lines().columnCountMinus1(), c.lines - 1);
        EXPECT_EQ(model.lines().rowCountPlus1(), c.lines + 1);
        int flagged = 0;
        for (int index = 0; index <= 16; ++index) {
            flagged += model.lines().columns[index];
            EXPECT_EQ(model.lines().columns[index], model.lines().rows[index]);
        }
        EXPECT_EQ(flagged, c.lines);
    }
    // 2x2 with Internal Grid on: the four corners only, on the 5x5 lines.
    model.channel(0).internalGrid = 1;
    model.ApplyGridSize(0, kGrid2x2);
    EXPECT_TRUE(model.channel(0).isActive(16, 0));
    EXPECT_FALSE(model.channel(0).isActive(4, 0));
    EXPECT_EQ(model.lines().columns[4], 1);
    EXPECT_EQ(model.lines().columns[2], 0);
}

TEST_F(GridModelTest, SelectionWalksToTheNextActivePoint) {
    model.ApplyGridSize(0, kGrid5x5);
    select(4, 0);
    model.StepSelection(0, 0, 1);  // (4, 1) .. (4, 15) are inactive
    EXPECT_EQ(selection(), std::make_pair(4, 16));
    select(16, 4);
    model.StepSelection(0, 1, 0);  // the edge: nothing changes
    EXPECT_EQ(selection(), std::make_pair(16, 4));
    select(0, 0);
    model.StepSelection(0, -1, -1);
    EXPECT_EQ(selection(), std::make_pair(0, 0));
    model.StepSelection(0, 5, 0);  // only the sign counts
    EXPECT_EQ(selection(), std::make_pair(4, 0));
}

TEST_F(GridModelTest, GridSizeChangeRevalidatesTheSelection) {
    model.ApplyGridSize(0, kGrid17x17);
    model.channel(0).internalGrid = 1;
    model.ApplyGridSize(0, kGrid17x17);
    select(3, 5);
    model.ApplyGridSize(0, kGrid9x9);
    EXPECT_EQ(selection(), std::make_pair(0, 0));
    select(3, 5);
    model.ApplyGridSize(0, kGrid17x17);
    EXPECT_EQ(selection(), std::make_pair(3, 5));
}

TEST_F(GridModelTest, PointsSurviveGridSizeChangesAndResetIsPerChannel) {
    model.ResetGrid(1);
    model.channel(0).points[PointIndex(5, 7)] = {1.5f, 2.5f};
    model.channel(1).points[PointIndex(2, 2)] = {9.0f, 9.0f};
    model.workGrid()[PointIndex(2, 2)] = {9.0f, 9.0f};
    model.ApplyGridSize(0, kGrid17x17);
    model.ApplyGridSize(0, kGrid2x2);
    EXPECT_EQ(model.channel(0).points[PointIndex(5, 7)], (ControlPoint{1.5f, 2.5f}));
    model.ResetGrid(0);
    EXPECT_EQ(model.channel(0).points[PointIndex(5, 7)], (ControlPoint{600.0f, 472.0f}));
    EXPECT_EQ(model.channel(1).points[PointIndex(2, 2)], (ControlPoint{9.0f, 9.0f}));
    EXPECT_EQ(model.workGrid()[PointIndex(2, 2)], (ControlPoint{240.0f, 135.0f}));
}

TEST_F(GridModelTest, TheAllChannelTouchesNoGrid) {
    const GridModel before = model;
    model.ResetGrid(2);
    model.ApplyGridSize(2, kGrid17x17);
    model.StepSelection(2, 1, 0);
    EXPECT_EQ(model.lines().columnCount, before.lines().columnCount);
    EXPECT_EQ(model.channel(0).points, before.channel(0).points);
}

}  // namespace
}  // namespace lumora::warp
