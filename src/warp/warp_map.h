#pragma once

// The dense warp map of a channel: for every output sample on a 16-pixel
// lattice, the source position to read from, in 1/16 pixel. Computed from the
// channel's control grid and, for live moves, its shifted corners.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "warp/grid_model.h"
#include "warp/local_spline.h"

namespace lumora::warp {

// One pair of tables, 125 columns a of 78 rows b each, stored a-major: the
// entry of (a, b) is element a*78 + b. Entries hold the low 16 bits of the
// position in 1/16 pixel.
struct WarpMap {
    static constexpr int kColumns = 125;
    static constexpr int kRows = 78;
    static constexpr int kEntries = kColumns * kRows;
    // The largest picture the tables hold: columns 0..124 and rows 0..77.
    static constexpr int kMaxWidth = (kColumns - 1) * 16;
    static constexpr int kMaxHeight = (kRows - 1) * 16;

    std::array<std::int16_t, kEntries> x{};
    std::array<std::int16_t, kEntries> y{};

    static constexpr int Index(int a, int b) { return a * kRows + b; }
    // 256*a in X and 256*b in Y: every sample reads from where it is.
    void setIdentity();

    using Table = std::array<std::int16_t, kEntries>;
    // A table as the box, the dump and the map files take it: column after
    // column, 16-bit little-endian entries, 19,500 bytes.
    static std::vector<std::uint8_t> TableBytes(const Table& table);

    friend bool operator==(const WarpMap&, const WarpMap&) = default;
};

// Why a computation was refused; the previous map and grid are kept.
struct WarpFault {
    enum class Kind {
        kPictureSize,
        kCoincidentPoints,
        kCrossingLines,
        kDegenerateCorners,
        kNotFinitePoint,   // a point read as it stands holds NaN or an infinity
        kPointOutOfRange,  // a point too far out, or with no image through the corners
        kCurveNotFitted,   // a curve's equations have no solution or no finite one
    };
    Kind kind;
    std::string message;
};

// What the computation reads besides the channel's grid.
struct WarpMapInputs {
    int channel = 0;  // 0 = Channel A, 1 = Channel B; names the faults
    const GridLines* lines = nullptr;
    std::int32_t gridSize = kGrid2x2;
    std::int32_t internalGrid = 0;
    int width = 0;
    int height = 0;
    GridTransform transform{};
    // With corners, the grid is projected through them (whole pixels).
    const Corners* shiftedCorners = nullptr;
};

// Holds every table the computation works in, so a run allocates nothing.
// Large: create it once and keep it.
class WarpMapComputer {
  public:
    // Completes `grid` (derived points), fills `work` and the computed part of
    // `map`. On a fault none of the three is changed.
    std::optional<WarpFault> compute(const WarpMapInputs& inputs, GridPoints& grid,
                                     GridPoints& work, WarpMap& map);

  private:
    struct Run;

    // Curves through one line of the lattice: 16 segments each.
    std::array<SplineSegments, kLatticeLines> rowSplines_{};
    std::array<SplineSegments, kLatticeLines> columnSplines_{};
    std::array<std::array<float, kLatticeLines>, kLatticeLines> rowSplineKnots_{};
    std::array<std::array<float, kLatticeLines>, kLatticeLines> columnSplineKnots_{};
    // Vertical inverse: one curve and its knots per output column.
    std::array<SplineSegments, WarpMap::kColumns> inverseRows_{};
    std::array<std::array<float, kLatticeLines>, WarpMap::kColumns> rowKnots_{};
    // Horizontal inverse of the output row in hand.
    SplineSegments inverseColumn_{};
    std::array<float, kLatticeLines> columnKnots_{};
    // Results held back until the whole run succeeded.
    GridPoints grid_{};
    GridPoints work_{};
    WarpMap map_{};
};

// The two entry points, for channel c of the model: with and without the
// projection through the channel's shifted corners.
std::optional<WarpFault> ComputeShiftedWarpMap(GridModel& model, int c, WarpMapComputer& computer,
                                               WarpMap& map);
std::optional<WarpFault> ComputeWarpMap(GridModel& model, int c, WarpMapComputer& computer,
                                        WarpMap& map);

}  // namespace lumora::warp
