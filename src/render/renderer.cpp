#include "render/renderer.h"

#include <algorithm>
#include <cmath>

namespace lumora::render {
namespace {

using warp::WarpMap;

constexpr float kMax = 65535.0f;
// Offsets count in steps of the box's 10-bit scale.
constexpr float kOffsetStep = 64.0f;
// Blend offsets (0..48) raise the black level by this much per step.
constexpr float kBlendOffsetStep = 256.0f;
constexpr float kFrameWidth = 1920.0f;
constexpr float kFrameHeight = 1080.0f;

std::uint16_t ToSample(float v) {
    return static_cast<std::uint16_t>(std::clamp(v, 0.0f, kMax) + 0.5f);
}

// The source sampled bilinearly at (sx, sy) in its own pixels; black outside.
std::array<float, 3> Sample(const Image16& source, float sx, float sy) {
    const float maxX = static_cast<float>(source.width - 1);
    const float maxY = static_cast<float>(source.height - 1);
    if (!(sx >= 0.0f && sy >= 0.0f && sx <= maxX && sy <= maxY)) {
        return {0.0f, 0.0f, 0.0f};
    }
    const int x0 = static_cast<int>(sx);
    const int y0 = static_cast<int>(sy);
    const float fx = sx - static_cast<float>(x0);
    const float fy = sy - static_cast<float>(y0);
    // The right and lower neighbours, or the pixel itself on the last column or row.
    const std::size_t right = x0 + 1 < source.width ? 3 : 0;
    const std::size_t down =
        y0 + 1 < source.height ? static_cast<std::size_t>(source.width) * 3 : 0;
    const std::uint16_t* p00 = source.rgb.data() + source.offset(x0, y0);
    const std::uint16_t* p01 = p00 + down;
    std::array<float, 3> value{};
    for (std::size_t k = 0; k < 3; ++k) {
        const auto a = static_cast<float>(p00[k]);
        const auto b = static_cast<float>(p00[k + right]);
        const auto c = static_cast<float>(p01[k]);
        const auto d = static_cast<float>(p01[k + right]);
        const float top = a + (b - a) * fx;
        const float bottom = c + (d - c) * fx;
        value[k] = top + (bottom - top) * fy;
    }
    return value;
}

// The blend ramp of one side at distance d from it in frame pixels.
float Ramp(float d, int width, float gamma) {
    if (width <= 0 || d >= static_cast<float>(width)) {
        return 1.0f;
    }
    return std::pow(std::max(d, 0.0f) / static_cast<float>(width), gamma);
}

}  // namespace

float DecodeMapEntry(std::int16_t entry) {
    const auto bits = static_cast<std::uint16_t>(entry);
    const int sixteenths =
        bits >= 0xC001 ? static_cast<int>(bits) - 0x10000 : static_cast<int>(bits);
    return static_cast<float>(sixteenths) / 16.0f;
}

Image16 PatternImage(const ChannelLook::Pattern& pattern, int width, int height) {
    Image16 image(width, height);
    const std::array<std::uint16_t, 3> colour = {
        static_cast<std::uint16_t>((pattern.colour & 1) ? 65535 : 0),
        static_cast<std::uint16_t>((pattern.colour & 2) ? 65535 : 0),
        static_cast<std::uint16_t>((pattern.colour & 4) ? 65535 : 0)};
    const int across = std::max(pattern.horizontal, 1);
    const int down = std::max(pattern.vertical, 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (x % across == 0 || y % down == 0 || x == width - 1 || y == height - 1) {
                image.set(x, y, colour);
            }
        }
    }
    return image;
}

void RenderChannel(const RenderRequest& request, Image16& out) {
    const WarpMap& map = *request.map;
    const int w = request.pictureWidth;
    const int h = request.pictureHeight;
    const ChannelLook& look = request.look;
    out.width = request.outWidth;
    out.height = request.outHeight;
    out.rgb.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 3,
                   0);
    if (w <= 0 || h <= 0 || out.width <= 0 || out.height <= 0) {
        return;
    }
    Image16 pattern;
    const Image16* source = request.source;
    if (look.pattern.on) {
        pattern = PatternImage(look.pattern, w, h);
        source = &pattern;
    }
    if (source == nullptr || source->width <= 0 || source->height <= 0) {
        return;
    }
    // Picture pixels to the source's own, when their sizes differ.
    const float toSourceX = static_cast<float>(source->width) / static_cast<float>(w);
    const float toSourceY = static_cast<float>(source->height) / static_cast<float>(h);
    const float pixelX = static_cast<float>(w) / static_cast<float>(out.width);
    const float pixelY = static_cast<float>(h) / static_cast<float>(out.height);

    // Per output column and row: where it lies in the picture and in the
    // lattice, and the side ramps of the blend.
    const float gamma = static_cast<float>(look.blend.gammaX100) / 100.0f;
    const auto& edge = look.blend.edgeWidth;
    std::vector<int> column(static_cast<std::size_t>(out.width));
    std::vector<float> columnFraction(column.size());
    std::vector<float> sideRamp(column.size());
    for (int ox = 0; ox < out.width; ++ox) {
        const float px = static_cast<float>(ox) * pixelX;
        const int a = std::min(static_cast<int>(px / 16.0f), WarpMap::kColumns - 2);
        column[static_cast<std::size_t>(ox)] = a;
        columnFraction[static_cast<std::size_t>(ox)] = px / 16.0f - static_cast<float>(a);
        const float fx = px * kFrameWidth / static_cast<float>(w);
        sideRamp[static_cast<std::size_t>(ox)] =
            Ramp(fx, edge[0], gamma) * Ramp(kFrameWidth - 1.0f - fx, edge[1], gamma);
    }
    std::array<float, WarpMap::kColumns> rowX{};
    std::array<float, WarpMap::kColumns> rowY{};
    constexpr int kUx = ChannelLook::kUniformityColumns;
    constexpr int kUy = ChannelLook::kUniformityRows;
    const bool uniformity = look.uniformity.enabled;
    // Per output column: its place between the uniformity points.
    std::vector<int> uniformityColumn(column.size());
    std::vector<float> uniformityFraction(column.size());
    for (int ox = 0; ox < out.width; ++ox) {
        const float ux = static_cast<float>(ox) * pixelX * static_cast<float>(kUx - 1) /
                         static_cast<float>(std::max(w - 1, 1));
        const int ux0 = std::min(static_cast<int>(ux), kUx - 2);
        uniformityColumn[static_cast<std::size_t>(ox)] = ux0;
        uniformityFraction[static_cast<std::size_t>(ox)] = ux - static_cast<float>(ux0);
    }
    std::array<float, kUx> rowGain{};
    std::array<float, kUx> rowOffset{};
    // Colour adjust as one scale and one offset per colour.
    std::array<float, 3> colourScale{1.0f, 1.0f, 1.0f};
    std::array<float, 3> colourOffset{};
    for (std::size_t k = 0; k < 3; ++k) {
        if (look.colour.gainEnabled) {
            colourScale[k] = static_cast<float>(look.colour.gain[k]) / 512.0f;
        }
        colourOffset[k] = static_cast<float>(look.colour.offset[k]) * kOffsetStep;
    }
    const float blendOffset = static_cast<float>(look.blend.transitionOffset) * kBlendOffsetStep;
    const float middleOffset =
        static_cast<float>(look.blend.nonTransitionOffset) * kBlendOffsetStep;
    const bool blending = std::any_of(edge.begin(), edge.end(), [](int e) { return e > 0; });

    for (int oy = 0; oy < out.height; ++oy) {
        const float py = static_cast<float>(oy) * pixelY;
        const int b = std::min(static_cast<int>(py / 16.0f), WarpMap::kRows - 2);
        const float fb = py / 16.0f - static_cast<float>(b);
        // The lattice columns' source positions at this row.
        for (int a = 0; a < WarpMap::kColumns; ++a) {
            const auto i0 = static_cast<std::size_t>(WarpMap::Index(a, b));
            const float x0 = DecodeMapEntry(map.x[i0]);
            const float x1 = DecodeMapEntry(map.x[i0 + 1]);
            const float y0 = DecodeMapEntry(map.y[i0]);
            const float y1 = DecodeMapEntry(map.y[i0 + 1]);
            rowX[static_cast<std::size_t>(a)] = x0 + (x1 - x0) * fb;
            rowY[static_cast<std::size_t>(a)] = y0 + (y1 - y0) * fb;
        }
        const float fy = py * kFrameHeight / static_cast<float>(h);
        const float rowRamp =
            Ramp(fy, edge[2], gamma) * Ramp(kFrameHeight - 1.0f - fy, edge[3], gamma);
        if (uniformity) {
            // The uniformity points' gain and offset at this row.
            const float uy =
                py * static_cast<float>(kUy - 1) / static_cast<float>(std::max(h - 1, 1));
            const int uy0 = std::min(static_cast<int>(uy), kUy - 2);
            const float ufy = uy - static_cast<float>(uy0);
            for (int ux = 0; ux < kUx; ++ux) {
                const auto top = static_cast<std::size_t>(uy0 * kUx + ux);
                const auto bottom = top + kUx;
                const auto lerp = [ufy](float t, float u) { return t + (u - t) * ufy; };
                rowGain[static_cast<std::size_t>(ux)] =
                    lerp(static_cast<float>(look.uniformity.gain[top]),
                         static_cast<float>(look.uniformity.gain[bottom])) /
                    static_cast<float>(ChannelLook::kNeutralGain);
                rowOffset[static_cast<std::size_t>(ux)] =
                    lerp(static_cast<float>(look.uniformity.offset[top]),
                         static_cast<float>(look.uniformity.offset[bottom])) *
                    kOffsetStep;
            }
        }

        for (int ox = 0; ox < out.width; ++ox) {
            const auto c = static_cast<std::size_t>(ox);
            const auto a = static_cast<std::size_t>(column[c]);
            const float fa = columnFraction[c];
            const float sx = rowX[a] + (rowX[a + 1] - rowX[a]) * fa;
            const float sy = rowY[a] + (rowY[a + 1] - rowY[a]) * fa;
            std::array<float, 3> v = Sample(*source, sx * toSourceX, sy * toSourceY);

            if (uniformity) {
                const auto u = static_cast<std::size_t>(uniformityColumn[c]);
                const float uf = uniformityFraction[c];
                const float gain = rowGain[u] + (rowGain[u + 1] - rowGain[u]) * uf;
                const float offset = rowOffset[u] + (rowOffset[u + 1] - rowOffset[u]) * uf;
                for (float& sample : v) {
                    sample = sample * gain + offset;
                }
            }
            for (std::size_t k = 0; k < 3; ++k) {
                v[k] = v[k] * colourScale[k] + colourOffset[k];
            }
            if (blending) {
                const float ramp = sideRamp[c] * rowRamp;
                const float lift = ramp < 1.0f ? blendOffset : middleOffset;
                for (float& sample : v) {
                    sample = sample * ramp + lift;
                }
            }
            std::uint16_t* o = &out.rgb[out.offset(ox, oy)];
            o[0] = ToSample(v[0]);
            o[1] = ToSample(v[1]);
            o[2] = ToSample(v[2]);
        }
    }
}

}  // namespace lumora::render
