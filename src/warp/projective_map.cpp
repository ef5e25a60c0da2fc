#include "warp/projective_map.h"

#include <cmath>

namespace lumora::warp {

double QuadArea2(const Corners& corners) {
    const ControlPoint ring[4] = {corners[kTopLeft], corners[kTopRight], corners[kBottomRight],
                                  corners[kBottomLeft]};
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) {
        const ControlPoint& p = ring[k];
        const ControlPoint& q = ring[(k + 1) % 4];
        sum += static_cast<double>(p.x) * q.y - static_cast<double>(q.x) * p.y;
    }
    return sum;
}

bool QuadIsConvex(const Corners& corners) {
    const ControlPoint ring[4] = {corners[kTopLeft], corners[kTopRight], corners[kBottomRight],
                                  corners[kBottomLeft]};
    int positive = 0;
    int negative = 0;
    for (int k = 0; k < 4; ++k) {
        const ControlPoint& p = ring[k];
        const ControlPoint& q = ring[(k + 1) % 4];
        const ControlPoint& r = ring[(k + 2) % 4];
        const double turn = (static_cast<double>(q.x) - p.x) * (static_cast<double>(r.y) - q.y) -
                            (static_cast<double>(q.y) - p.y) * (static_cast<double>(r.x) - q.x);
        positive += turn > 0.0 ? 1 : 0;
        negative += turn < 0.0 ? 1 : 0;
    }
    return positive == 4 || negative == 4;
}

std::optional<ProjectiveMap> ProjectiveMap::FromCorners(const Corners& corners, int width,
                                                        int height) {
    if (width <= 0 || height <= 0 || QuadArea2(corners) == 0.0) {
        return std::nullopt;
    }
    ProjectiveMap m;
    const ControlPoint& p0 = corners[kTopLeft];
    const ControlPoint& p1 = corners[kTopRight];
    const ControlPoint& p2 = corners[kBottomLeft];
    const ControlPoint& p3 = corners[kBottomRight];
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float a1 = (p1.x - p0.x) / w;
    const float b1 = (p1.y - p0.y) / h;
    const float a2 = (p2.x - p0.x) / w;
    const float b2 = (p2.y - p0.y) / h;
    const float a3 = (p3.x - p0.x) / w;
    const float b3 = (p3.y - p0.y) / h;
    const float e0 = a1 * b2 - a2 * b1;
    const float e1 = a1 * b3 - a3 * b1;
    const float e2 = a2 * b3 - a3 * b2;
    m.origin_ = p0;
    m.width_ = w;
    m.height_ = h;
    m.dU_ = e1 - e0;
    m.dV_ = -e2 - e0;
    m.d0_ = e2 + e0 - e1;
    m.xU_ = a1 * e2;
    m.xV_ = -e1 * a2;
    m.yU_ = b1 * e2;
    m.yV_ = -e1 * b2;
    return m;
}

std::optional<ControlPoint> ProjectiveMap::map(float u, float v) const {
    const float den = dU_ * u + dV_ * v + d0_;
    if (den == 0.0f) {
        return std::nullopt;
    }
    const ControlPoint image{origin_.x + width_ * (xU_ * u + xV_ * v) / den,
                             origin_.y + height_ * (yU_ * u + yV_ * v) / den};
    if (!std::isfinite(image.x) || !std::isfinite(image.y)) {
        return std::nullopt;
    }
    return image;
}

}  // namespace lumora::warp
