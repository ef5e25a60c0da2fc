#pragma once

// The output of one channel as the box would show it, from its warp map, the
// picture size, a source picture and the channel's look.
//
// The warp is exact by the map's definition: entry [a][b] of the tables is
// the source position, in 1/16 pixel, of the output sample at pixel
// (16a, 16b). Each output pixel's source position is interpolated
// bilinearly between the four lattice samples around it, and the source is
// sampled bilinearly there (black outside). Then the uniformity, the colour
// adjust and the edge blend are applied, in that order, by the model the
// README describes.

#include "render/channel_look.h"
#include "render/image16.h"
#include "warp/warp_map.h"

namespace lumora::render {

// A map entry as a source position in pixels: the bit patterns 0xC001..0xFFFF
// are negative positions, the rest 0 .. 3071 pixels.
float DecodeMapEntry(std::int16_t entry);

// The picture the test pattern shows at `width` x `height`: lines of its
// colour, one every `horizontal` pixels across and `vertical` down.
Image16 PatternImage(const ChannelLook::Pattern& pattern, int width, int height);

struct RenderRequest {
    const warp::WarpMap* map = nullptr;
    int pictureWidth = 0;
    int pictureHeight = 0;
    // The source: what the channel is given (the pattern replaces it when on).
    const Image16* source = nullptr;
    ChannelLook look;
    // The output's size; the picture is scaled to it (a preview).
    int outWidth = 0;
    int outHeight = 0;
};

// Renders into `out`, which is resized to the output size; reuses its memory.
void RenderChannel(const RenderRequest& request, Image16& out);

}  // namespace lumora::render
