#pragma once

// The edge blend alone, as a factor per picture position: what the renderer
// multiplies a sample by, for whoever needs the blend without the picture.

#include "render/channel_look.h"

namespace lumora::render {

// The blend's widths count in this frame whatever the picture's size.
inline constexpr float kBlendFrameWidth = 1920.0f;
inline constexpr float kBlendFrameHeight = 1080.0f;

}  // namespace lumora::render

namespace lumora::render {

// The blend's ramps along x (the left and right edges) at frame x `fx`, and
// along y (top and bottom) at frame y `fy`, in the 1920 x 1080 blend frame.
float BlendAcross(const ChannelLook::Blend& blend, float fx, float gamma);
float BlendDown(const ChannelLook::Blend& blend, float fy, float gamma);

// The blend's factor at picture position (px, py) of a width x height
// picture: 1 away from the enabled edges, (d / w) to the power gamma at
// distance d from an edge of width w, both in the 1920 x 1080 blend frame.
// The offsets, which lift the black level rather than scale, are not in it.
float BlendAlpha(const ChannelLook::Blend& blend, float px, float py, int width, int height);

}  // namespace lumora::render
