#pragma once

// The local cubic spline every curve of the warp map is made of: each knot's
// second-order coefficient comes from the 3 x 3 system of its own row and its
// two neighbours alone, so a knot only bends the curve near itself.

#include <array>
#include <cstdint>

namespace lumora::warp {

inline constexpr int kMaxKnots = 17;
inline constexpr int kMaxSegments = kMaxKnots - 1;

// value = c0 + c1*d + c2*d^2 + c3*d^3, with d measured from the segment's knot.
struct SplineSegment {
    float c0 = 0.0f;
    float c1 = 0.0f;
    float c2 = 0.0f;
    float c3 = 0.0f;
};

using SplineSegments = std::array<SplineSegment, kMaxSegments>;

// Why a fit failed, and at which knot: the computation refuses rather than
// divide by zero.
struct SplineFault {
    enum class Kind { kCoincidentKnots, kSingularKnot, kNotFinite };
    Kind kind = Kind::kCoincidentKnots;
    int knot = 0;  // the first knot of the pair (coincident) or the knot
};

// Fits n knots (5 <= n <= 17, the knots in increasing order) and their values.
// Returns the fault instead of segments when it would divide by zero or the
// result is not finite; `out` is then unspecified.
[[nodiscard]] bool LocalCubicSpline(const float* knots, const float* values, int n,
                                    SplineSegments& out, SplineFault& fault);

// The segment of the curve that holds t: the first k in 0..n-3 with
// t < knots[k+1], else the last one (extrapolated on either side).
int SegmentAt(const float* knots, int n, float t);

float EvaluateSegment(const SplineSegment& segment, float d);

inline float EvaluateCurve(const SplineSegments& segments, const float* knots, int n, float t) {
    const int k = SegmentAt(knots, n, t);
    return EvaluateSegment(segments[static_cast<std::size_t>(k)], t - knots[k]);
}

}  // namespace lumora::warp
