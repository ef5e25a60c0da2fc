#include "render/blend_alpha.h"

#include <algorithm>
#include <cmath>

namespace lumora::render {
namespace {

constexpr float kFrameWidth = 1920.0f;
constexpr float kFrameHeight = 1080.0f;

float Ramp(float d, int width, float gamma) {
    if (width <= 0 || d >= static_cast<float>(width)) {
        return 1.0f;
    }
    return std::pow(std::max(d, 0.0f) / static_cast<float>(width), gamma);
}

}  // namespace

float BlendAlpha(const ChannelLook::Blend& blend, float px, float py, int width, int height) {
    const float gamma = static_cast<float>(blend.gammaX100) / 100.0f;
    const auto& edge = blend.edgeWidth;
    const float fx = px * kFrameWidth / static_cast<float>(width);
    const float fy = py * kFrameHeight / static_cast<float>(height);
    const float across = Ramp(fx, edge[0], gamma) * Ramp(kFrameWidth - 1.0f - fx, edge[1], gamma);
    const float down = Ramp(fy, edge[2], gamma) * Ramp(kFrameHeight - 1.0f - fy, edge[3], gamma);
    return across * down;
}

}  // namespace lumora::render
