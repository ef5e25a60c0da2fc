#include "warp/warp_map.h"

#include <cmath>

#include "warp/projective_map.h"
#include "warp/warp_fault_text.h"

namespace lumora::warp {
namespace {

constexpr float kLowestSource = -1024.0f;
constexpr float kHighestSourceX = 3068.0f;
constexpr float kHighestSourceY = 3071.0f;
// Beyond 2^24 pixels single precision no longer holds whole pixels, so the
// widths next to such a point lose their digits: a computation through it that
// fails is put down to that point.
constexpr float kFarOut = 16777216.0f;
// Every line of the lattice, for the fits that run through all 17 points.
constexpr std::array<int, kLatticeLines> kEveryLine{0, 1,  2,  3,  4,  5,  6,  7, 8,
                                                    9, 10, 11, 12, 13, 14, 15, 16};

std::size_t At(int column, int row) {
    return static_cast<std::size_t>(PointIndex(column, row));
}

// The indexes of the flagged lines, in order; returns how many.
int ActiveLines(const LineFlags& flags, std::array<int, kLatticeLines>& out) {
    int count = 0;
    for (int index = 0; index <= kLastLine; ++index) {
        if (flags[static_cast<std::size_t>(index)] != 0) {
            out[static_cast<std::size_t>(count++)] = index;
        }
    }
    return count;
}

// (g - k) * from + k * to over g: the k-th of g steps from one line to the next.
float Between(float from, float to, int k, int g) {
    return (static_cast<float>(g - k) * from + static_cast<float>(k) * to) / static_cast<float>(g);
}

// The source position for output position t on a curve through `knots`:
// clamped more than one segment width beyond the outer lines, else t plus the
// inverse curve's displacement.
float SourcePosition(float t, const std::array<float, kLatticeLines>& knots,
                     const SplineSegments& inverse, float highest) {
    if (t - knots[0] < -(knots[1] - knots[0])) {
        return kLowestSource;
    }
    if (t - knots[kLastLine] > knots[kLastLine] - knots[kLastLine - 1]) {
        return highest;
    }
    return t + EvaluateCurve(inverse, knots.data(), kLatticeLines, t);
}

std::int16_t Entry(float v, float highest) {
    if (v < kLowestSource) {
        v = kLowestSource;
    }
    if (v > highest) {
        v = highest;
    }
    const auto sixteenths = static_cast<std::int32_t>(std::trunc(16.0f * v + 0.5f));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(sixteenths & 0xFFFF));
}

}  // namespace

std::vector<std::uint8_t> WarpMap::TableBytes(const Table& table) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(table.size() * 2);
    for (const std::int16_t entry : table) {
        const auto bits = static_cast<std::uint16_t>(entry);
        bytes.push_back(static_cast<std::uint8_t>(bits & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
    }
    return bytes;
}

void WarpMap::setIdentity() {
    for (int a = 0; a < kColumns; ++a) {
        for (int b = 0; b < kRows; ++b) {
            x[static_cast<std::size_t>(Index(a, b))] = static_cast<std::int16_t>(256 * a);
            y[static_cast<std::size_t>(Index(a, b))] = static_cast<std::int16_t>(256 * b);
        }
    }
}

// One computation: the steps in order, each returning a fault or nothing.
struct WarpMapComputer::Run {
    WarpMapComputer& self;
    const WarpMapInputs& in;
    GridPoints& grid;
    GridPoints& work;
    const float w;
    const float h;
    const int nx;
    const int ny;
    std::array<int, kLatticeLines> activeColumns{};
    std::array<int, kLatticeLines> activeRows{};
    int activeColumnCount = 0;
    int activeRowCount = 0;
    // Scratch for one fit.
    std::array<float, kLatticeLines> knots{};
    std::array<float, kLatticeLines> values{};
    SplineSegments segments{};
    SplineFault fault{};

    // Points an earlier step derived, and points taken as they stand so far.
    std::array<bool, kLatticePoints> derived{};
    std::array<bool, kLatticePoints> taken{};

    ControlPoint& point(int column, int row) { return grid[At(column, row)]; }

    std::optional<WarpFault> placeEdgePoints();
    // rows: the inactive columns on active rows, else the inactive rows on
    // active columns.
    std::optional<WarpFault> completeAlongActiveLines(bool rows);
    std::optional<WarpFault> interpolateOffActiveLines(bool rows);
    std::optional<WarpFault> completeInterior();
    std::optional<WarpFault> takeRemainingPoints();
    void fillWorkGrid();
    std::optional<WarpFault> projectThroughCorners();
    std::optional<WarpFault> fitGridSplines();
    std::optional<WarpFault> invertRows();
    std::optional<WarpFault> writeEntries();

    std::optional<WarpFault> coincident(int c1, int r1, int c2, int r2, char axis,
                                        float value) const {
        return WarpFault{WarpFault::Kind::kCoincidentPoints,
                         CoincidentPointsText(in.channel, c1, r1, c2, r2, axis, value)};
    }
    // The pair of knots a fit failed at.
    std::pair<int, int> faultPair(int n) const {
        const int first = fault.knot < n - 1 ? fault.knot : n - 2;
        return {first, first + 1};
    }

    std::optional<WarpFault> given(int column, int row);
    std::optional<WarpFault> derive(int column, int row, float ControlPoint::*coordinate);
    std::optional<WarpFault> farOut(int column, int row, const ControlPoint& p) const;
    std::optional<WarpFault> farOutOn(const GridPoints& points, bool derivedToo, bool rows,
                                      int line) const;
    std::optional<WarpFault> lineFault(bool rows, int line, const int* stops, int n,
                                       const GridPoints& points) const;
    std::optional<WarpFault> inverseFault(bool rows, char axis, float at) const;
};

// A point a step is about to read: unless an earlier step derived it, it is
// taken as it stands and must hold numbers to compute with.
std::optional<WarpFault> WarpMapComputer::Run::given(int column, int row) {
    if (derived[At(column, row)]) {
        return std::nullopt;
    }
    taken[At(column, row)] = true;
    const ControlPoint& p = point(column, row);
    for (const auto& [axis, value] : {std::pair{'x', p.x}, std::pair{'y', p.y}}) {
        if (!std::isfinite(value)) {
            return WarpFault{WarpFault::Kind::kNotFinitePoint,
                             NotFinitePointText(in.channel, column, row, axis, value)};
        }
    }
    return std::nullopt;
}

// A coordinate a step has just derived from finite points: it is not finite
// only when the arithmetic overflowed, most likely on a point far out.
std::optional<WarpFault> WarpMapComputer::Run::derive(int column, int row,
                                                      float ControlPoint::*coordinate) {
    const float value = point(column, row).*coordinate;
    if (!std::isfinite(value)) {
        if (auto far = farOutOn(grid, false, true, -1)) {
            return far;
        }
        const char axis = coordinate == &ControlPoint::x ? 'x' : 'y';
        return WarpFault{WarpFault::Kind::kPointOutOfRange,
                         DerivedFarOutText(in.channel, column, row, axis, value)};
    }
    derived[At(column, row)] = true;
    return std::nullopt;
}

// A point taken as it stands is the operator's to move back; a derived one
// comes from the points around it.
std::optional<WarpFault> WarpMapComputer::Run::farOut(int column, int row,
                                                      const ControlPoint& p) const {
    for (const auto& [axis, value] : {std::pair{'x', p.x}, std::pair{'y', p.y}}) {
        if (std::abs(value) > kFarOut) {
            return WarpFault{WarpFault::Kind::kPointOutOfRange,
                             derived[At(column, row)]
                                 ? DerivedFarOutText(in.channel, column, row, axis, value)
                                 : FarOutPointText(in.channel, column, row, axis, value)};
        }
    }
    return std::nullopt;
}

// The first point far out on row (rows) or column `line`, or anywhere when
// line < 0. Points taken as they stand come first, being the likelier cause;
// points not derived yet hold nothing the computation has used.
std::optional<WarpFault> WarpMapComputer::Run::farOutOn(const GridPoints& points, bool derivedToo,
                                                        bool rows, int line) const {
    for (const auto* mask : {&taken, &derived}) {
        if (mask == &derived && !derivedToo) {
            break;
        }
        for (int k = 0; k < kLatticePoints; ++k) {
            const int column = k / kLatticeLines;
            const int row = k % kLatticeLines;
            if (!(*mask)[static_cast<std::size_t>(k)] ||
                (line >= 0 && (rows ? row : column) != line)) {
                continue;
            }
            if (auto far = farOut(column, row, points[static_cast<std::size_t>(k)])) {
                return far;
            }
        }
    }
    return std::nullopt;
}

// Why the fit along a row (or column) `line` through the points at `stops`
// failed: two points on one spot, a point far out, else the curve itself.
std::optional<WarpFault> WarpMapComputer::Run::lineFault(bool rows, int line, const int* stops,
                                                         int n, const GridPoints& points) const {
    auto at = [&](int k) { return rows ? std::pair{stops[k], line} : std::pair{line, stops[k]}; };
    const auto [a, b] = faultPair(n);
    const auto [column1, row1] = at(a);
    const auto [column2, row2] = at(b);
    if (fault.kind == SplineFault::Kind::kCoincidentKnots) {
        const ControlPoint& p = points[At(column1, row1)];
        return coincident(column1, row1, column2, row2, rows ? 'x' : 'y', rows ? p.x : p.y);
    }
    // Points derived far out have a cause elsewhere: the operator's points of
    // the whole grid come before them.
    for (const auto& [derivedToo, on] :
         {std::pair{false, line}, std::pair{false, -1}, std::pair{true, line}}) {
        if (auto far = farOutOn(points, derivedToo, rows, on)) {
            return far;
        }
    }
    if (fault.kind == SplineFault::Kind::kSingularKnot) {
        const auto [column, row] = at(fault.knot);
        return WarpFault{
            WarpFault::Kind::kCurveNotFitted,
            LineCurveFaultText(in.channel, rows, line, fault.kind, column, row, column, row)};
    }
    return WarpFault{
        WarpFault::Kind::kCurveNotFitted,
        LineCurveFaultText(in.channel, rows, line, fault.kind, column1, row1, column2, row2)};
}

// Why the inverse fit across the rows (or columns) at output position `at`
// failed: two lines meeting there, a point far out, else the curve itself.
std::optional<WarpFault> WarpMapComputer::Run::inverseFault(bool rows, char axis, float at) const {
    const int first = faultPair(kLatticeLines).first;
    if (fault.kind == SplineFault::Kind::kCoincidentKnots) {
        return WarpFault{WarpFault::Kind::kCrossingLines,
                         CrossingLinesText(in.channel, rows, first, axis, at)};
    }
    if (auto far = farOutOn(work, true, true, -1)) {
        return far;
    }
    return WarpFault{
        WarpFault::Kind::kCurveNotFitted,
        InverseCurveFaultText(in.channel, rows, axis, at, fault.kind,
                              fault.kind == SplineFault::Kind::kSingularKnot ? fault.knot : first)};
}

std::optional<WarpFault> WarpMapComputer::Run::placeEdgePoints() {
    for (const auto& [column, row] : {std::pair{0, 0}, std::pair{kLastLine, 0},
                                      std::pair{0, kLastLine}, std::pair{kLastLine, kLastLine}}) {
        if (auto bad = given(column, row)) {
            return bad;
        }
    }
    const Corners corners{point(0, 0), point(kLastLine, 0), point(0, kLastLine),
                          point(kLastLine, kLastLine)};
    const auto map = ProjectiveMap::FromCorners(corners, in.width, in.height);
    auto degenerate = [&] {
        if (map) {
            // Corners with an area whose map failed all the same: a corner
            // lying far out is the likelier cause than their shape.
            if (auto far = farOutOn(grid, false, true, -1)) {
                return *far;
            }
        }
        return WarpFault{WarpFault::Kind::kDegenerateCorners,
                         DegenerateCornersText(in.channel, false, corners)};
    };
    if (!map) {
        return degenerate();
    }
    int n = 0;
    for (int i = 1; i < kLastLine; ++i) {
        if (in.lines->columns[static_cast<std::size_t>(i)] == 0) {
            continue;
        }
        const float m = static_cast<float>(++n) / static_cast<float>(in.lines->columnCount - 1);
        const auto top = map->map(m, 0.0f);
        const auto bottom = map->map(m, 1.0f);
        if (!top || !bottom) {
            return degenerate();
        }
        point(i, 0) = *top;
        point(i, kLastLine) = *bottom;
        derived[At(i, 0)] = true;
        derived[At(i, kLastLine)] = true;
    }
    n = 0;
    for (int j = 1; j < kLastLine; ++j) {
        if (in.lines->rows[static_cast<std::size_t>(j)] == 0) {
            continue;
        }
        const float m = static_cast<float>(++n) / static_cast<float>(in.lines->rowCount - 1);
        const auto left = map->map(0.0f, m);
        const auto right = map->map(1.0f, m);
        if (!left || !right) {
            return degenerate();
        }
        point(0, j) = *left;
        point(kLastLine, j) = *right;
        derived[At(0, j)] = true;
        derived[At(kLastLine, j)] = true;
    }
    return std::nullopt;
}

std::optional<WarpFault> WarpMapComputer::Run::completeAlongActiveLines(bool rows) {
    const auto& lines = rows ? activeRows : activeColumns;
    const int lineCount = rows ? activeRowCount : activeColumnCount;
    const auto& stops = rows ? activeColumns : activeRows;
    const int n = rows ? activeColumnCount : activeRowCount;
    // Along a row the curve is y over x; along a column, x over y.
    float ControlPoint::*knot = rows ? &ControlPoint::x : &ControlPoint::y;
    float ControlPoint::*value = rows ? &ControlPoint::y : &ControlPoint::x;
    for (int l = 0; l < lineCount; ++l) {
        const int line = lines[static_cast<std::size_t>(l)];
        auto on = [&](int stop) -> ControlPoint& {
            return rows ? point(stop, line) : point(line, stop);
        };
        for (int k = 0; k < n; ++k) {
            const int stop = stops[static_cast<std::size_t>(k)];
            if (auto bad = rows ? given(stop, line) : given(line, stop)) {
                return bad;
            }
            const ControlPoint& p = on(stop);
            knots[static_cast<std::size_t>(k)] = p.*knot;
            values[static_cast<std::size_t>(k)] = p.*value;
        }
        if (!LocalCubicSpline(knots.data(), values.data(), n, segments, fault)) {
            return lineFault(rows, line, stops.data(), n, grid);
        }
        for (int s = 0; s + 1 < n; ++s) {
            const int from = stops[static_cast<std::size_t>(s)];
            const int to = stops[static_cast<std::size_t>(s + 1)];
            for (int k = 1; k < to - from; ++k) {
                ControlPoint& p = on(from + k);
                p.*knot = Between(on(from).*knot, on(to).*knot, k, to - from);
                p.*value = EvaluateSegment(segments[static_cast<std::size_t>(s)],
                                           p.*knot - on(from).*knot);
                const int column = rows ? from + k : line;
                const int row = rows ? line : from + k;
                if (auto bad = derive(column, row, knot)) {
                    return bad;
                }
                if (auto bad = derive(column, row, value)) {
                    return bad;
                }
            }
        }
    }
    return std::nullopt;
}

std::optional<WarpFault> WarpMapComputer::Run::interpolateOffActiveLines(bool rows) {
    const LineFlags& flags = rows ? in.lines->rows : in.lines->columns;
    const auto& stops = rows ? activeColumns : activeRows;
    const int n = rows ? activeColumnCount : activeRowCount;
    // On an inactive row x is interpolated between active columns; on an
    // inactive column, y between active rows.
    float ControlPoint::*coordinate = rows ? &ControlPoint::x : &ControlPoint::y;
    for (int line = 0; line <= kLastLine; ++line) {
        if (flags[static_cast<std::size_t>(line)] != 0) {
            continue;
        }
        auto on = [&](int stop) -> ControlPoint& {
            return rows ? point(stop, line) : point(line, stop);
        };
        for (int k = 0; k < n; ++k) {
            const int stop = stops[static_cast<std::size_t>(k)];
            if (auto bad = rows ? given(stop, line) : given(line, stop)) {
                return bad;
            }
        }
        for (int s = 0; s + 1 < n; ++s) {
            const int from = stops[static_cast<std::size_t>(s)];
            const int to = stops[static_cast<std::size_t>(s + 1)];
            for (int k = 1; k < to - from; ++k) {
                on(from + k).*coordinate =
                    Between(on(from).*coordinate, on(to).*coordinate, k, to - from);
                if (auto bad = rows ? derive(from + k, line, coordinate)
                                    : derive(line, from + k, coordinate)) {
                    return bad;
                }
            }
        }
    }
    return std::nullopt;
}

std::optional<WarpFault> WarpMapComputer::Run::completeInterior() {
    const bool bothFull = in.lines->columnCount == 17 && in.lines->rowCount == 17;
    if (in.gridSize != kGrid2x2 && in.internalGrid == 1 && !bothFull) {
        // Internal grid: points off every active line take x from their row
        // and y from their column.
        if (auto bad = interpolateOffActiveLines(true)) {
            return bad;
        }
        return interpolateOffActiveLines(false);
    }
    if (in.gridSize != kGrid2x2 && in.internalGrid != 0) {
        return std::nullopt;  // every point is the operator's own
    }
    // The interior follows the four edges.
    for (int k = 0; k <= kLastLine; ++k) {
        for (const auto& [column, row] :
             {std::pair{k, 0}, std::pair{k, kLastLine}, std::pair{0, k}, std::pair{kLastLine, k}}) {
            if (auto bad = given(column, row)) {
                return bad;
            }
        }
    }
    const float top = point(kLastLine, 0).x - point(0, 0).x;
    const float bottom = point(kLastLine, kLastLine).x - point(0, kLastLine).x;
    const float left = point(0, kLastLine).y - point(0, 0).y;
    const float right = point(kLastLine, kLastLine).y - point(kLastLine, 0).y;
    if (top == 0.0f) {
        return coincident(0, 0, kLastLine, 0, 'x', point(0, 0).x);
    }
    if (bottom == 0.0f) {
        return coincident(0, kLastLine, kLastLine, kLastLine, 'x', point(0, kLastLine).x);
    }
    if (left == 0.0f) {
        return coincident(0, 0, 0, kLastLine, 'y', point(0, 0).y);
    }
    if (right == 0.0f) {
        return coincident(kLastLine, 0, kLastLine, kLastLine, 'y', point(kLastLine, 0).y);
    }
    std::array<float, kLatticeLines> uTop{};
    std::array<float, kLatticeLines> uBottom{};
    std::array<float, kLatticeLines> vLeft{};
    std::array<float, kLatticeLines> vRight{};
    for (int k = 1; k < kLastLine; ++k) {
        const auto s = static_cast<std::size_t>(k);
        uTop[s] = (point(k, 0).x - point(0, 0).x) / top;
        uBottom[s] = (point(k, kLastLine).x - point(0, kLastLine).x) / bottom;
        vLeft[s] = (point(0, k).y - point(0, 0).y) / left;
        vRight[s] = (point(kLastLine, k).y - point(kLastLine, 0).y) / right;
    }
    for (int i = 1; i < kLastLine; ++i) {
        for (int j = 1; j < kLastLine; ++j) {
            const auto si = static_cast<std::size_t>(i);
            const auto sj = static_cast<std::size_t>(j);
            const float fi = static_cast<float>(i);
            const float fj = static_cast<float>(j);
            ControlPoint& p = point(i, j);
            p.x = point(0, j).x + (point(kLastLine, j).x - point(0, j).x) *
                                      ((16.0f - fj) * uTop[si] + fj * uBottom[si]) / 16.0f;
            p.y = point(i, 0).y + (point(i, kLastLine).y - point(i, 0).y) *
                                      ((16.0f - fi) * vLeft[sj] + fi * vRight[sj]) / 16.0f;
            if (auto bad = derive(i, j, &ControlPoint::x)) {
                return bad;
            }
            if (auto bad = derive(i, j, &ControlPoint::y)) {
                return bad;
            }
        }
    }
    return std::nullopt;
}

// Whatever no step derived goes into the work grid as it stands.
std::optional<WarpFault> WarpMapComputer::Run::takeRemainingPoints() {
    for (int column = 0; column <= kLastLine; ++column) {
        for (int row = 0; row <= kLastLine; ++row) {
            if (auto bad = given(column, row)) {
                return bad;
            }
        }
    }
    return std::nullopt;
}

void WarpMapComputer::Run::fillWorkGrid() {
    const GridTransform& t = in.transform;
    for (std::size_t k = 0; k < grid.size(); ++k) {
        work[k].x = grid[k].x * t.scaleX + (1.0f - t.scaleX) * w / 2.0f + t.offsetX;
        work[k].y = grid[k].y * t.scaleY + (1.0f - t.scaleY) * h / 2.0f + t.offsetY;
    }
}

std::optional<WarpFault> WarpMapComputer::Run::projectThroughCorners() {
    const Corners& corners = *in.shiftedCorners;
    const auto map = ProjectiveMap::FromCorners(corners, in.width, in.height);
    if (!map) {
        return WarpFault{WarpFault::Kind::kDegenerateCorners,
                         DegenerateCornersText(in.channel, true, corners)};
    }
    for (std::size_t k = 0; k < grid.size(); ++k) {
        const auto image = map->map(grid[k].x / w, grid[k].y / h);
        if (!image && QuadIsConvex(corners)) {
            const int column = static_cast<int>(k) / kLatticeLines;
            const int row = static_cast<int>(k) % kLatticeLines;
            if (auto far = farOut(column, row, grid[k])) {
                return far;
            }
            return WarpFault{WarpFault::Kind::kPointOutOfRange,
                             UnprojectablePointText(in.channel, column, row, grid[k])};
        }
        if (!image) {
            return WarpFault{WarpFault::Kind::kDegenerateCorners,
                             DegenerateCornersText(in.channel, true, corners)};
        }
        work[k].x = std::trunc(image->x + 0.5f);
        work[k].y = std::trunc(image->y + 0.5f);
    }
    return std::nullopt;
}

std::optional<WarpFault> WarpMapComputer::Run::fitGridSplines() {
    for (int line = 0; line <= kLastLine; ++line) {
        const auto s = static_cast<std::size_t>(line);
        for (int k = 0; k <= kLastLine; ++k) {
            self.rowSplineKnots_[s][static_cast<std::size_t>(k)] = work[At(k, line)].x;
            values[static_cast<std::size_t>(k)] = work[At(k, line)].y;
        }
        if (!LocalCubicSpline(self.rowSplineKnots_[s].data(), values.data(), kLatticeLines,
                              self.rowSplines_[s], fault)) {
            return lineFault(true, line, kEveryLine.data(), kLatticeLines, work);
        }
        for (int k = 0; k <= kLastLine; ++k) {
            self.columnSplineKnots_[s][static_cast<std::size_t>(k)] = work[At(line, k)].y;
            values[static_cast<std::size_t>(k)] = work[At(line, k)].x;
        }
        if (!LocalCubicSpline(self.columnSplineKnots_[s].data(), values.data(), kLatticeLines,
                              self.columnSplines_[s], fault)) {
            return lineFault(false, line, kEveryLine.data(), kLatticeLines, work);
        }
    }
    return std::nullopt;
}

std::optional<WarpFault> WarpMapComputer::Run::invertRows() {
    for (int a = 0; a <= nx; ++a) {
        const float t = static_cast<float>(16 * a);
        auto& rowKnots = self.rowKnots_[static_cast<std::size_t>(a)];
        for (int j = 0; j <= kLastLine; ++j) {
            const auto s = static_cast<std::size_t>(j);
            rowKnots[s] = EvaluateCurve(self.rowSplines_[s], self.rowSplineKnots_[s].data(),
                                        kLatticeLines, t);
            values[s] = static_cast<float>(in.height * j / 16) - rowKnots[s];
        }
        if (!LocalCubicSpline(rowKnots.data(), values.data(), kLatticeLines,
                              self.inverseRows_[static_cast<std::size_t>(a)], fault)) {
            return inverseFault(true, 'x', t);
        }
    }
    return std::nullopt;
}

std::optional<WarpFault> WarpMapComputer::Run::writeEntries() {
    auto& columnKnots = self.columnKnots_;
    for (int b = ny; b >= 0; --b) {
        const float y = static_cast<float>(16 * b);
        for (int i = 0; i <= kLastLine; ++i) {
            const auto s = static_cast<std::size_t>(i);
            columnKnots[s] = EvaluateCurve(self.columnSplines_[s],
                                           self.columnSplineKnots_[s].data(), kLatticeLines, y);
            values[s] = static_cast<float>(in.width * i / 16) - columnKnots[s];
        }
        if (!LocalCubicSpline(columnKnots.data(), values.data(), kLatticeLines, self.inverseColumn_,
                              fault)) {
            return inverseFault(false, 'y', y);
        }
        for (int a = nx; a >= 0; --a) {
            const float t = static_cast<float>(16 * a);
            const float v = SourcePosition(t, columnKnots, self.inverseColumn_, kHighestSourceX);
            const float u =
                SourcePosition(y, self.rowKnots_[static_cast<std::size_t>(a)],
                               self.inverseRows_[static_cast<std::size_t>(a)], kHighestSourceY);
            if (std::isnan(v) || std::isnan(u)) {
                return WarpFault{WarpFault::Kind::kCrossingLines, NoSourceText(in.channel, t, y)};
            }
            const auto index = static_cast<std::size_t>(WarpMap::Index(a, b));
            self.map_.x[index] = Entry(v, kHighestSourceX);
            self.map_.y[index] = Entry(u, kHighestSourceY);
        }
    }
    return std::nullopt;
}

std::optional<WarpFault> WarpMapComputer::compute(const WarpMapInputs& inputs, GridPoints& grid,
                                                  GridPoints& work, WarpMap& map) {
    const int nx = BlockCount(inputs.width);
    const int ny = BlockCount(inputs.height);
    if (inputs.width <= 0 || inputs.height <= 0 || nx > WarpMap::kColumns - 1 ||
        ny > WarpMap::kRows - 1) {
        return WarpFault{WarpFault::Kind::kPictureSize,
                         PictureSizeFaultText(inputs.width, inputs.height)};
    }
    grid_ = grid;
    work_ = work;
    Run run{*this,
            inputs,
            grid_,
            work_,
            static_cast<float>(inputs.width),
            static_cast<float>(inputs.height),
            nx,
            ny};
    run.activeColumnCount = ActiveLines(inputs.lines->columns, run.activeColumns);
    run.activeRowCount = ActiveLines(inputs.lines->rows, run.activeRows);

    std::optional<WarpFault> fault;
    if (inputs.gridSize == kGrid2x2) {
        fault = run.placeEdgePoints();
    }
    if (!fault && inputs.lines->columnCount != 17 && run.activeColumnCount >= 2) {
        fault = run.completeAlongActiveLines(true);
    }
    if (!fault && inputs.lines->rowCount != 17 && run.activeRowCount >= 2) {
        fault = run.completeAlongActiveLines(false);
    }
    if (!fault) {
        fault = run.completeInterior();
    }
    if (!fault) {
        fault = run.takeRemainingPoints();
    }
    if (!fault) {
        run.fillWorkGrid();
        if (inputs.shiftedCorners != nullptr) {
            fault = run.projectThroughCorners();
        }
    }
    if (!fault) {
        fault = run.fitGridSplines();
    }
    if (!fault) {
        fault = run.invertRows();
    }
    if (!fault) {
        fault = run.writeEntries();
    }
    if (fault) {
        return fault;
    }
    grid = grid_;
    work = work_;
    for (int a = 0; a <= nx; ++a) {
        for (int b = 0; b <= ny; ++b) {
            const auto index = static_cast<std::size_t>(WarpMap::Index(a, b));
            map.x[index] = map_.x[index];
            map.y[index] = map_.y[index];
        }
    }
    return std::nullopt;
}

namespace {

std::optional<WarpFault> Compute(GridModel& model, int c, WarpMapComputer& computer, WarpMap& map,
                                 bool shifted) {
    if (!GridModel::isGridChannel(c)) {
        return std::nullopt;  // "All" has no grid of its own
    }
    ChannelGrid& grid = model.channel(c);
    WarpMapInputs inputs;
    inputs.channel = c;
    inputs.lines = &model.lines();
    inputs.gridSize = model.recordedGridSize;
    inputs.internalGrid = model.recordedInternalGrid;
    inputs.width = model.width();
    inputs.height = model.height();
    inputs.transform = model.transform();
    inputs.shiftedCorners = shifted ? &grid.shiftedCorners : nullptr;
    return computer.compute(inputs, grid.points, model.workGrid(), map);
}

}  // namespace

std::optional<WarpFault> ComputeShiftedWarpMap(GridModel& model, int c, WarpMapComputer& computer,
                                               WarpMap& map) {
    return Compute(model, c, computer, map, true);
}

std::optional<WarpFault> ComputeWarpMap(GridModel& model, int c, WarpMapComputer& computer,
                                        WarpMap& map) {
    return Compute(model, c, computer, map, false);
}

}  // namespace lumora::warp
