#include "warp/local_spline.h"

#include <cmath>

namespace lumora::warp {
namespace {

// One row of the spline equations; rows -1 and n repeat rows 0 and n-1.
struct EquationRow {
    float lower = 0.0f;
    float diagonal = 0.0f;
    float upper = 0.0f;
    float right = 0.0f;
};

}  // namespace

bool LocalCubicSpline(const float* knots, const float* values, int n, SplineSegments& out,
                      SplineFault& fault) {
    // Widths and slopes with one extra entry at each end (index + 1).
    std::array<float, kMaxKnots + 1> width{};
    std::array<float, kMaxKnots + 1> slope{};
    for (int k = 0; k <= n - 2; ++k) {
        const float w = knots[k + 1] - knots[k];
        if (w == 0.0f) {
            fault = {SplineFault::Kind::kCoincidentKnots, k};
            return false;
        }
        width[static_cast<std::size_t>(k + 1)] = w;
        slope[static_cast<std::size_t>(k + 1)] = (values[k + 1] - values[k]) / w;
    }
    width[0] = width[1];
    slope[0] = slope[1];
    width[static_cast<std::size_t>(n)] = width[static_cast<std::size_t>(n - 1)];
    slope[static_cast<std::size_t>(n)] = slope[static_cast<std::size_t>(n - 1)];
    auto w = [&](int k) { return width[static_cast<std::size_t>(k + 1)]; };
    auto s = [&](int k) { return slope[static_cast<std::size_t>(k + 1)]; };

    // Rows m = -1 .. n, stored at m + 1.
    std::array<EquationRow, kMaxKnots + 2> rows{};
    for (int m = 0; m <= n - 1; ++m) {
        rows[static_cast<std::size_t>(m + 1)] = {w(m - 1), 2.0f * (w(m - 1) + w(m)), w(m),
                                                 3.0f * (s(m) - s(m - 1))};
    }
    rows[0] = rows[1];
    rows[static_cast<std::size_t>(n + 1)] = rows[static_cast<std::size_t>(n)];

    // Second-order coefficients by Cramer's rule on rows m-1, m, m+1.
    std::array<float, kMaxKnots> c{};
    for (int m = 0; m <= n - 1; ++m) {
        const EquationRow& before = rows[static_cast<std::size_t>(m)];
        const EquationRow& row = rows[static_cast<std::size_t>(m + 1)];
        const EquationRow& after = rows[static_cast<std::size_t>(m + 2)];
        const float numerator = before.diagonal * after.diagonal * row.right -
                                after.diagonal * row.lower * before.right -
                                before.diagonal * row.upper * after.right;
        const float denominator = before.diagonal * row.diagonal * after.diagonal -
                                  after.diagonal * before.upper * row.lower -
                                  before.diagonal * row.upper * after.lower;
        if (denominator == 0.0f) {
            fault = {SplineFault::Kind::kSingularKnot, m};
            return false;
        }
        c[static_cast<std::size_t>(m)] = numerator / denominator;
    }

    for (int k = 0; k <= n - 2; ++k) {
        SplineSegment& segment = out[static_cast<std::size_t>(k)];
        const float ck = c[static_cast<std::size_t>(k)];
        const float cNext = c[static_cast<std::size_t>(k + 1)];
        segment.c0 = values[k];
        segment.c2 = ck;
        segment.c3 = (cNext - ck) / (3.0f * w(k));
        segment.c1 = s(k) - (segment.c3 * w(k) + segment.c2) * w(k);
        if (!std::isfinite(segment.c0) || !std::isfinite(segment.c1) ||
            !std::isfinite(segment.c2) || !std::isfinite(segment.c3)) {
            fault = {SplineFault::Kind::kNotFinite, k};
            return false;
        }
    }
    return true;
}

int SegmentAt(const float* knots, int n, float t) {
    for (int k = 0; k <= n - 3; ++k) {
        if (t < knots[k + 1]) {
            return k;
        }
    }
    return n - 2;
}

float EvaluateSegment(const SplineSegment& segment, float d) {
    // Powers rounded to single precision before use.
    const float d2 = d * d;
    const float d3 = d2 * d;
    return segment.c0 + segment.c1 * d + segment.c2 * d2 + segment.c3 * d3;
}

}  // namespace lumora::warp
