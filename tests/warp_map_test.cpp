#include "warp/warp_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

#include "warp/projective_map.h"

namespace lumora::warp {
namespace {

constexpr std::int16_t kUntouched = 0x1234;

std::uint16_t Bits(std::int16_t entry) {
    return static_cast<std::uint16_t>(entry);
}

// A channel as the connection leaves it: nominal grid at the picture size,
// grid scale 1 and offset 0, with the grid size and Internal Grid recorded.
class WarpMapTest : public ::testing::Test {
  protected:
    void prepare(int width, int height, std::int32_t gridSize, std::int32_t internalGrid) {
        model.setPictureSize(width, height);
        model.channel(0).internalGrid = internalGrid;
        model.ApplyGridSize(0, gridSize);
        model.ResetGrid(0);
        model.transform() = {1.0f, 1.0f, 0.0f, 0.0f};
        model.recordedGridSize = gridSize;
        model.recordedInternalGrid = internalGrid;
        map.x.fill(kUntouched);
        map.y.fill(kUntouched);
    }
    ControlPoint& point(int column, int row) {
        return model.channel(0).points[PointIndex(column, row)];
    }
    void moveAll(float dx, float dy) {
        for (ControlPoint& p : model.channel(0).points) {
            p.x += dx;
            p.y += dy;
        }
    }
    std::uint16_t x(int a, int b) const { return Bits(map.x[WarpMap::Index(a, b)]); }
    std::uint16_t y(int a, int b) const { return Bits(map.y[WarpMap::Index(a, b)]); }

    GridModel model;
    std::unique_ptr<WarpMapComputer> computer = std::make_unique<WarpMapComputer>();
    WarpMap map;
};

TEST_F(WarpMapTest, NominalGridGivesTheIdentityAndLeavesTheRestUntouched) {
    prepare(1920, 1080, kGrid17x17, 0);
    ASSERT_FALSE(ComputeShiftedWarpMap(model, 0, *computer, map));
    for (int a = 0; a < WarpMap::kColumns; ++a) {
        for (int b = 0; b < WarpMap::kRows; ++b) {
            SCOPED_TRACE(testing::Message() << "a " << a << " b " << b);
            if (a <= 120 && b <= 68) {  // b = 68 lies beyond the last row line
                ASSERT_EQ(x(a, b), 256 * a);
                ASSERT_EQ(y(a, b), 256 * b);
            } else {
                ASSERT_EQ(map.x[WarpMap::Index(a, b)], kUntouched);
                ASSERT_EQ(map.y[WarpMap::Index(a, b)], kUntouched);
            }
        }
    }
}

TEST_F(WarpMapTest, IdentityHoldsWhereTheLatticeIsWholePixels) {
    // Sizes divisible by 16 keep every derived point on the lattice, whatever
    // the grid size; at 1080 lines only 17x17 does (interpolated rows fall on
    // 67.5 where the lattice has 67).
    struct Case {
        int width;
        int height;
        std::int32_t firstGridSize;
    };
    for (const Case& c : {Case{1280, 720, kGrid2x2}, Case{1984, 1232, kGrid2x2},
                          Case{1024, 768, kGrid2x2}, Case{1920, 1080, kGrid17x17}}) {
        for (std::int32_t gridSize = c.firstGridSize; gridSize <= kGrid17x17; ++gridSize) {
            for (int internal = 0; internal <= 1; ++internal) {
                SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " size "
                                                << gridSize << " internal " << internal);
                prepare(c.width, c.height, gridSize, internal);
                ASSERT_FALSE(ComputeShiftedWarpMap(model, 0, *computer, map));
                for (int a = 0; a <= BlockCount(c.width); ++a) {
                    for (int b = 0; b <= BlockCount(c.height); ++b) {
                        ASSERT_EQ(x(a, b), 256 * a) << "a " << a << " b " << b;
                        ASSERT_EQ(y(a, b), 256 * b) << "a " << a << " b " << b;
                    }
                }
            }
        }
    }
}

TEST_F(WarpMapTest, SamplesFarOutsideTheGridAreClamped) {
    // Grid moved 200 pixels right and down: the first output columns and rows
    // lie more than one segment width before line 0.
    prepare(1920, 1080, kGrid17x17, 1);
    moveAll(200.0f, 200.0f);
    ASSERT_FALSE(ComputeWarpMap(model, 0, *computer, map));
    EXPECT_EQ(x(0, 30), 0xC001);  // -1024 pixels, rounded toward zero
    EXPECT_EQ(y(30, 0), 0xC001);
    // Moved 200 pixels left and up: the last ones lie beyond line 16.
    prepare(1920, 1080, kGrid17x17, 1);
    moveAll(-200.0f, -200.0f);
    ASSERT_FALSE(ComputeWarpMap(model, 0, *computer, map));
    EXPECT_EQ(x(120, 30), 0xBFC0);  // 3068 pixels
    EXPECT_EQ(y(30, 68), 3071 * 16);
    // Within one segment width the map extrapolates: no clamp at the edge.
    EXPECT_EQ(x(0, 30), 200 * 16);
}

TEST_F(WarpMapTest, CornerMovesIn2x2StraightenTheEdgesIntoTheProjectiveQuad) {
    prepare(1920, 1080, kGrid2x2, 0);
    point(16, 0) = {1850.0f, 40.0f};
    point(0, 16) = {30.0f, 1000.0f};
    point(16, 16) = {1900.0f, 1060.0f};
    // Points the operator cannot reach in 2x2 are derived from the corners.
    point(7, 0) = {5.0f, 900.0f};
    point(5, 9) = {1.0f, 1.0f};
    ASSERT_FALSE(ComputeShiftedWarpMap(model, 0, *computer, map));

    const Corners corners{point(0, 0), point(16, 0), point(0, 16), point(16, 16)};
    const auto projective = ProjectiveMap::FromCorners(corners, 1920, 1080);
    ASSERT_TRUE(projective);
    const auto onLine = [](ControlPoint a, ControlPoint b, ControlPoint p) {
        const double cross = (static_cast<double>(b.x) - a.x) * (p.y - a.y) -
                             (static_cast<double>(b.y) - a.y) * (p.x - a.x);
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        return std::abs(cross / length);
    };
    for (int k = 1; k < 16; ++k) {
        SCOPED_TRACE(k);
        EXPECT_LT(onLine(point(0, 0), point(16, 0), point(k, 0)), 0.01);
        EXPECT_LT(onLine(point(0, 16), point(16, 16), point(k, 16)), 0.01);
        EXPECT_LT(onLine(point(0, 0), point(0, 16), point(0, k)), 0.01);
        EXPECT_LT(onLine(point(16, 0), point(16, 16), point(16, k)), 0.01);
    }
    // The 5x5 lines sit at the projective image of quarter steps.
    const ControlPoint quarter = *projective->map(0.25f, 0.0f);
    EXPECT_EQ(point(4, 0), quarter);
    // The interior follows the edges: a cell's corners are no longer nominal.
    EXPECT_NE(point(5, 9), (ControlPoint{1.0f, 1.0f}));
    EXPECT_LT(onLine(point(0, 8), point(16, 8), point(8, 8)), 1.0);
    // The map itself: the top-left output corner still reads from (0, 0).
    EXPECT_EQ(x(0, 0), 0);
    EXPECT_EQ(y(0, 0), 0);
}

TEST_F(WarpMapTest, CornerProjectionOnlyRoundsWhenTheCornersAreNominal) {
    std::mt19937 random(7);
    // Whole pixels, none negative: trunc(v + 0.5) would move a negative one.
    std::uniform_int_distribution<int> shift(0, 20);
    prepare(1920, 1080, kGrid17x17, 1);
    for (ControlPoint& p : model.channel(0).points) {
        p.x += static_cast<float>(shift(random));
        p.y += static_cast<float>(shift(random));
    }
    const GridModel start = model;
    ASSERT_FALSE(ComputeWarpMap(model, 0, *computer, map));
    const WarpMap plain = map;
    model = start;
    ASSERT_FALSE(ComputeShiftedWarpMap(model, 0, *computer, map));
    EXPECT_EQ(map, plain);  // whole-pixel points: rounding changes nothing

    // Fractional points: the shifted map differs only by the rounding.
    model = start;
    for (ControlPoint& p : model.channel(0).points) {
        p.x += 0.3f;
    }
    const GridModel fractional = model;
    ASSERT_FALSE(ComputeWarpMap(model, 0, *computer, map));
    const WarpMap unrounded = map;
    model = fractional;
    ASSERT_FALSE(ComputeShiftedWarpMap(model, 0, *computer, map));
    int largest = 0;
    for (int a = 0; a <= 120; ++a) {
        for (int b = 0; b <= 68; ++b) {
            const int index = WarpMap::Index(a, b);
            largest = std::max(largest, std::abs(map.x[index] - unrounded.x[index]));
        }
    }
    EXPECT_GT(largest, 0);
    EXPECT_LE(largest, 8);  // half a pixel in 1/16

    // ComputeWarpMap ignores the corner shift altogether.
    model = start;
    model.channel(0).shiftedCorners[kTopLeft] = {40.0f, 25.0f};
    ASSERT_FALSE(ComputeWarpMap(model, 0, *computer, map));
    EXPECT_EQ(map, plain);
    model = start;
    model.channel(0).shiftedCorners[kTopLeft] = {40.0f, 25.0f};
    ASSERT_FALSE(ComputeShiftedWarpMap(model, 0, *computer, map));
    EXPECT_NE(map, plain);
}

TEST_F(WarpMapTest, RefusedComputationsKeepTheTablesAndTheGrid) {
    prepare(1920, 1080, kGrid5x5, 1);
    map.setIdentity();
    const WarpMap before = map;

    point(8, 4) = point(4, 4);  // two knots of row 4 at the same x
    const GridPoints grid = model.channel(0).points;
    auto fault = ComputeShiftedWarpMap(model, 0, *computer, map);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->kind, WarpFault::Kind::kCoincidentPoints);
    EXPECT_NE(fault->message.find("points (4, 4) and (8, 4) of Channel A have the same x (480)"),
              std::string::npos)
        << fault->message;
    EXPECT_EQ(map, before);
    EXPECT_EQ(model.channel(0).points, grid);

    prepare(1920, 1080, kGrid17x17, 0);
    map.setIdentity();
    model.channel(0).shiftedCorners[kTopRight] = model.channel(0).shiftedCorners[kTopLeft];
    model.channel(0).shiftedCorners[kBottomRight] = model.channel(0).shiftedCorners[kBottomLeft];
    fault = ComputeShiftedWarpMap(model, 0, *computer, map);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->kind, WarpFault::Kind::kDegenerateCorners);
    EXPECT_NE(fault->message.find("top-left and top-right corners coincide at (0, 0)"),
              std::string::npos)
        << fault->message;
    EXPECT_EQ(map, before);

    // A 2x2 grid whose own corners collapse onto one line.
    prepare(1920, 1080, kGrid2x2, 0);
    map.setIdentity();
    point(0, 16) = {0.0f, 0.5f};
    point(16, 16) = {1920.0f, 0.5f};
    point(0, 0) = {0.0f, 0.5f};
    point(16, 0) = {1920.0f, 0.5f};
    fault = ComputeShiftedWarpMap(model, 1 - 1, *computer, map);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->kind, WarpFault::Kind::kDegenerateCorners);
    EXPECT_EQ(map, before);
}

TEST_F(WarpMapTest, RefusalsNameTheirOwnCause) {
    // Row 8 folds back with widths 15 and -13: the equations of its first
    // point cancel exactly, though no two points share an x.
    prepare(1920, 1080, kGrid17x17, 1);
    map.setIdentity();
    const WarpMap before = map;
    point(1, 8).x = 15.0f;
    point(2, 8).x = 2.0f;
    auto fault = ComputeShiftedWarpMap(model, 0, *computer, map);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->kind, WarpFault::Kind::kCurveNotFitted);
    EXPECT_NE(fault->message.find("the curve through row 8 of Channel A cannot be fitted: its "
                                  "equations at point (0, 8) have no unique solution"),
              std::string::npos)
        << fault->message;
    EXPECT_EQ(map, before);

    // Sound shifted corners, narrowed at the bottom: their horizon lies at
    // y = -1080, where a point has no image. The point is at fault.
    prepare(1920, 1080, kGrid17x17, 1);
    model.channel(0).shiftedCorners[kBottomLeft] = {480.0f, 1080.0f};
    model.channel(0).shiftedCorners[kBottomRight] = {1440.0f, 1080.0f};
    point(8, 0).y = -1080.0f;
    fault = ComputeShiftedWarpMap(model, 0, *computer, map);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->kind, WarpFault::Kind::kPointOutOfRange);
    EXPECT_NE(fault->message.find("give point (8, 0), at (960, -1080), no finite position"),
              std::string::npos)
        << fault->message;

    // A point that the interior's derivation replaces is never read.
    prepare(1920, 1080, kGrid17x17, 0);
    point(8, 8).x = std::numeric_limits<float>::quiet_NaN();
    ASSERT_FALSE(ComputeShiftedWarpMap(model, 0, *computer, map));
    EXPECT_EQ(point(8, 8), (ControlPoint{960.0f, 540.0f}));
}

TEST_F(WarpMapTest, PictureSizesBeyondTheTablesAreRefused) {
    for (const auto& [width, height] : {std::pair{1985, 1080}, std::pair{1920, 1233}}) {
        prepare(width, height, kGrid17x17, 0);
        const auto fault = ComputeShiftedWarpMap(model, 0, *computer, map);
        ASSERT_TRUE(fault);
        EXPECT_EQ(fault->kind, WarpFault::Kind::kPictureSize);
        EXPECT_NE(fault->message.find("at most 1984 x 1232"), std::string::npos);
        EXPECT_EQ(map.x[0], kUntouched);
    }
    prepare(0, 0, kGrid17x17, 0);  // before the box told its size
    EXPECT_TRUE(ComputeShiftedWarpMap(model, 0, *computer, map));
    prepare(1984, 1232, kGrid17x17, 0);  // the largest that fits
    ASSERT_FALSE(ComputeShiftedWarpMap(model, 0, *computer, map));
    EXPECT_EQ(x(124, 77), 256 * 124);
    EXPECT_EQ(y(124, 77), 256 * 77);
}

}  // namespace
}  // namespace lumora::warp
