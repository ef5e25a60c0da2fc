#pragma once

// The projective (keystone) map that takes the unit square to a quad of four
// corners: (0, 0) to top-left, (1, 0) to top-right, (0, 1) to bottom-left and
// (1, 1) to bottom-right, scaled to the output size.

#include <optional>

#include "warp/grid_types.h"

namespace lumora::warp {

class ProjectiveMap {
  public:
    // nullopt when the quad encloses no area or the size is empty: the map
    // would divide by zero.
    static std::optional<ProjectiveMap> FromCorners(const Corners& corners, int width, int height);

    // The image of the normalised position (u, v); nullopt where the map's
    // denominator vanishes or the result is not finite.
    std::optional<ControlPoint> map(float u, float v) const;

  private:
    ProjectiveMap() = default;

    ControlPoint origin_;
    float width_ = 0.0f;
    float height_ = 0.0f;
    float dU_ = 0.0f;
    float dV_ = 0.0f;
    float d0_ = 0.0f;
    float xU_ = 0.0f;
    float xV_ = 0.0f;
    float yU_ = 0.0f;
    float yV_ = 0.0f;
};

// Twice the signed area of the quad TL, TR, BR, BL; 0 for a degenerate quad.
double QuadArea2(const Corners& corners);

// Whether TL, TR, BR, BL turn the same way at every corner. Only then is the
// map's denominator free of zeros over the unit square: where the map of a
// convex quad fails, the position mapped is at fault, not the corners.
bool QuadIsConvex(const Corners& corners);

}  // namespace lumora::warp
