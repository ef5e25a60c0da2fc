#include "render/blend_alpha.h"

#include <algorithm>
#include <cmath>

namespace lumora::render {
namespace {

float Ramp(float d, int width, float gamma) {
    if (width <= 0 || d >= static_cast<float>(width)) {
        return 1.0f;
    }
    return std::pow(std::max(d, 0.0f) / static_cast<float>(width), gamma);
}

}  // namespace

float BlendAcross(const ChannelLook::Blend& blend, float fx, float gamma) {
    const auto& edge = blend.edgeWidth;
    return Ramp(fx, edge[0], gamma) * Ramp(kBlendFrameWidth - 1.0f - fx, edge[1], gamma);
}

float BlendDown(const ChannelLook::Blend& blend, float fy, float gamma) {
    const auto& edge = blend.edgeWidth;
    return Ramp(fy, edge[2], gamma) * Ramp(kBlendFrameHeight - 1.0f - fy, edge[3], gamma);
}

float BlendAlpha(const ChannelLook::Blend& blend, float px, float py, int width, int height) {
    const float gamma = static_cast<float>(blend.gammaX100) / 100.0f;
    return BlendAcross(blend, px * kBlendFrameWidth / static_cast<float>(width), gamma) *
           BlendDown(blend, py * kBlendFrameHeight / static_cast<float>(height), gamma);
}

}  // namespace lumora::render
