#include "render/renderer.h"

#include <algorithm>
#include <cmath>

#include "render/blend_alpha.h"
#include "render/pixel_lanes.h"

namespace lumora::render {
namespace {

using warp::WarpMap;
using namespace pixel;

// Offsets count in steps of the box's 10-bit scale.
constexpr float kOffsetStep = 64.0f;
// Blend offsets (0..48) raise the black level by this much per step.
constexpr float kBlendOffsetStep = 256.0f;

// The source sampled bilinearly at a position in its own pixels; black
// outside. The right and lower neighbours are the pixel itself on the last
// column or row.
class Sampler {
  public:
    explicit Sampler(const Image16& source)
        : pixels_(source.rgb.data()),
          width_(source.width),
          height_(source.height),
          maxX_(static_cast<float>(source.width - 1)),
          maxY_(static_cast<float>(source.height - 1)) {}

    Float4 at(float sx, float sy) const {
        if (!(sx >= 0.0f && sy >= 0.0f && sx <= maxX_ && sy <= maxY_)) {
            return Splat(0.0f);
        }
        const int x0 = static_cast<int>(sx);
        const int y0 = static_cast<int>(sy);
        const float fx = sx - static_cast<float>(x0);
        const float fy = sy - static_cast<float>(y0);
        const std::size_t right = x0 + 1 < width_ ? 3 : 0;
        const std::size_t down = y0 + 1 < height_ ? static_cast<std::size_t>(width_) * 3 : 0;
        const std::uint16_t* p00 =
            pixels_ + (static_cast<std::size_t>(y0) * static_cast<std::size_t>(width_) +
                       static_cast<std::size_t>(x0)) *
                          3;
        const std::uint16_t* p01 = p00 + down;
        // Above the last two rows no neighbour is the source's last pixel,
        // so each may be read with a sample to spare.
        return y0 + 2 < height_ ? Blend<true>(p00, p01, right, fx, fy)
                                : Blend<false>(p00, p01, right, fx, fy);
    }

  private:
    template <bool spare>
    static Float4 Blend(const std::uint16_t* p00, const std::uint16_t* p01, std::size_t right,
                        float fx, float fy) {
        const Float4 across = Splat(fx);
        const Float4 top = Lerp(LoadPixel<spare>(p00), LoadPixel<spare>(p00 + right), across);
        const Float4 bottom = Lerp(LoadPixel<spare>(p01), LoadPixel<spare>(p01 + right), across);
        return Lerp(top, bottom, Splat(fy));
    }

    const std::uint16_t* pixels_;
    int width_;
    int height_;
    float maxX_;
    float maxY_;
};

// The look of the output, row by row. Uniformity, colour adjust and blend
// each scale a value and add to it, so together they are one scale and one
// addition per pixel and colour, worked out once per row.
class LookPlan {
  public:
    LookPlan(const ChannelLook& look, int pictureWidth, int pictureHeight, int outWidth,
             float pixelX)
        : look_(look),
          pictureHeight_(pictureHeight),
          gamma_(static_cast<float>(look.blend.gammaX100) / 100.0f),
          uniformityColumn_(static_cast<std::size_t>(outWidth)),
          uniformityFraction_(uniformityColumn_.size()),
          sideRamp_(uniformityColumn_.size()) {
        const auto& edge = look.blend.edgeWidth;
        blending_ = std::any_of(edge.begin(), edge.end(), [](int e) { return e > 0; });
        bool colourNeutral = true;
        for (std::size_t k = 0; k < 3; ++k) {
            if (look.colour.gainEnabled) {
                colourScale_[k] = static_cast<float>(look.colour.gain[k]) / 512.0f;
            }
            colourOffset_[k] = static_cast<float>(look.colour.offset[k]) * kOffsetStep;
            colourNeutral = colourNeutral && colourScale_[k] == 1.0f && colourOffset_[k] == 0.0f;
        }
        colourScale4_ = Load4({colourScale_[0], colourScale_[1], colourScale_[2], 0.0f});
        colourOffset4_ = Load4({colourOffset_[0], colourOffset_[1], colourOffset_[2], 0.0f});
        neutral_ = !look.uniformity.enabled && colourNeutral && !blending_;
        blendOffset_ = static_cast<float>(look.blend.transitionOffset) * kBlendOffsetStep;
        middleOffset_ = static_cast<float>(look.blend.nonTransitionOffset) * kBlendOffsetStep;
        const float lastX = static_cast<float>(std::max(pictureWidth - 1, 1));
        for (std::size_t ox = 0; ox < sideRamp_.size(); ++ox) {
            const float px = static_cast<float>(ox) * pixelX;
            sideRamp_[ox] = BlendAcross(
                look.blend, px * kBlendFrameWidth / static_cast<float>(pictureWidth), gamma_);
            const float ux = px * static_cast<float>(kUx - 1) / lastX;
            const int ux0 = std::min(static_cast<int>(ux), kUx - 2);
            uniformityColumn_[ox] = ux0;
            uniformityFraction_[ox] = ux - static_cast<float>(ux0);
        }
    }

    bool neutral() const { return neutral_; }

    // The row at picture row py: a scale and an addition per pixel.
    void row(float py, Lanes* scale, Lanes* add) const {
        const float rowRamp =
            blending_
                ? BlendDown(look_.blend,
                            py * kBlendFrameHeight / static_cast<float>(pictureHeight_), gamma_)
                : 1.0f;
        std::array<float, kUx> rowGain{};
        std::array<float, kUx> rowOffset{};
        rowGain.fill(1.0f);
        if (look_.uniformity.enabled) {
            // The uniformity points' gain and offset at this row.
            const float uy = py * static_cast<float>(kUy - 1) /
                             static_cast<float>(std::max(pictureHeight_ - 1, 1));
            const int uy0 = std::min(static_cast<int>(uy), kUy - 2);
            const float ufy = uy - static_cast<float>(uy0);
            const auto lerp = [ufy](float t, float u) { return t + (u - t) * ufy; };
            for (int ux = 0; ux < kUx; ++ux) {
                const auto top = static_cast<std::size_t>(uy0 * kUx + ux);
                const auto bottom = top + kUx;
                rowGain[static_cast<std::size_t>(ux)] =
                    lerp(static_cast<float>(look_.uniformity.gain[top]),
                         static_cast<float>(look_.uniformity.gain[bottom])) /
                    static_cast<float>(ChannelLook::kNeutralGain);
                rowOffset[static_cast<std::size_t>(ux)] =
                    lerp(static_cast<float>(look_.uniformity.offset[top]),
                         static_cast<float>(look_.uniformity.offset[bottom])) *
                    kOffsetStep;
            }
        }
        for (std::size_t ox = 0; ox < sideRamp_.size(); ++ox) {
            const auto u = static_cast<std::size_t>(uniformityColumn_[ox]);
            const float uf = uniformityFraction_[ox];
            const float gain = rowGain[u] + (rowGain[u + 1] - rowGain[u]) * uf;
            const float offset = rowOffset[u] + (rowOffset[u + 1] - rowOffset[u]) * uf;
            const float ramp = blending_ ? sideRamp_[ox] * rowRamp : 1.0f;
            const float lift = !blending_ ? 0.0f : ramp < 1.0f ? blendOffset_ : middleOffset_;
            scale[ox].v = Mul(colourScale4_, Splat(gain * ramp));
            add[ox].v = MulAdd(MulAdd(colourScale4_, Splat(offset), colourOffset4_), Splat(ramp),
                               Splat(lift));
        }
    }

  private:
    static constexpr int kUx = ChannelLook::kUniformityColumns;
    static constexpr int kUy = ChannelLook::kUniformityRows;

    const ChannelLook& look_;
    int pictureHeight_;
    float gamma_;
    bool blending_ = false;
    bool neutral_ = true;
    std::array<float, 3> colourScale_{1.0f, 1.0f, 1.0f};
    std::array<float, 3> colourOffset_{};
    Float4 colourScale4_;
    Float4 colourOffset4_;
    float blendOffset_ = 0.0f;
    float middleOffset_ = 0.0f;
    // Per output column: its place between the uniformity points, and the
    // ramps of the left and right edges.
    std::vector<int> uniformityColumn_;
    std::vector<float> uniformityFraction_;
    std::vector<float> sideRamp_;
};

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
    out.width = std::max(request.outWidth, 0);
    out.height = std::max(request.outHeight, 0);
    // Every pixel is written below; only a render that cannot start is black.
    out.rgb.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 3);
    const auto black = [&out] { std::fill(out.rgb.begin(), out.rgb.end(), 0); };
    if (w <= 0 || h <= 0 || out.width <= 0 || out.height <= 0) {
        black();
        return;
    }
    Image16 pattern;
    const Image16* source = request.source;
    if (look.pattern.on) {
        pattern = PatternImage(look.pattern, w, h);
        source = &pattern;
    }
    if (source == nullptr || source->width <= 0 || source->height <= 0) {
        black();
        return;
    }
    // Picture pixels to the source's own, when their sizes differ.
    const float toSourceX = static_cast<float>(source->width) / static_cast<float>(w);
    const float toSourceY = static_cast<float>(source->height) / static_cast<float>(h);
    const float pixelX = static_cast<float>(w) / static_cast<float>(out.width);
    const float pixelY = static_cast<float>(h) / static_cast<float>(out.height);

    // Per output column: its lattice cell and its place in it.
    std::vector<int> column(static_cast<std::size_t>(out.width));
    std::vector<float> columnFraction(column.size());
    for (std::size_t ox = 0; ox < column.size(); ++ox) {
        const float px = static_cast<float>(ox) * pixelX;
        const int a = std::min(static_cast<int>(px / 16.0f), WarpMap::kColumns - 2);
        column[ox] = a;
        columnFraction[ox] = px / 16.0f - static_cast<float>(a);
    }
    const LookPlan plan(look, w, h, out.width, pixelX);
    std::vector<Lanes> scale(plan.neutral() ? 0 : column.size());
    std::vector<Lanes> add(scale.size());
    std::array<float, WarpMap::kColumns> rowX{};
    std::array<float, WarpMap::kColumns> rowY{};
    // The map's entries as positions in the source's own pixels.
    std::vector<float> sourceX(WarpMap::kEntries);
    std::vector<float> sourceY(WarpMap::kEntries);
    for (std::size_t i = 0; i < sourceX.size(); ++i) {
        sourceX[i] = DecodeMapEntry(map.x[i]) * toSourceX;
        sourceY[i] = DecodeMapEntry(map.y[i]) * toSourceY;
    }
    const Sampler sampler(*source);
    const std::uint16_t* const end = out.rgb.data() + out.rgb.size();

    for (int oy = 0; oy < out.height; ++oy) {
        const float py = static_cast<float>(oy) * pixelY;
        const int b = std::min(static_cast<int>(py / 16.0f), WarpMap::kRows - 2);
        const float fb = py / 16.0f - static_cast<float>(b);
        // The lattice columns' source positions at this row.
        for (int a = 0; a < WarpMap::kColumns; ++a) {
            const auto i0 = static_cast<std::size_t>(WarpMap::Index(a, b));
            rowX[static_cast<std::size_t>(a)] = sourceX[i0] + (sourceX[i0 + 1] - sourceX[i0]) * fb;
            rowY[static_cast<std::size_t>(a)] = sourceY[i0] + (sourceY[i0 + 1] - sourceY[i0]) * fb;
        }
        if (!plan.neutral()) {
            plan.row(py, scale.data(), add.data());
        }
        std::uint16_t* o = out.rgb.data() + out.offset(0, oy);
        for (std::size_t ox = 0; ox < column.size(); ++ox, o += 3) {
            const auto a = static_cast<std::size_t>(column[ox]);
            const float fa = columnFraction[ox];
            const float sx = rowX[a] + (rowX[a + 1] - rowX[a]) * fa;
            const float sy = rowY[a] + (rowY[a + 1] - rowY[a]) * fa;
            const Float4 v = sampler.at(sx, sy);
            const Float4 shown = plan.neutral() ? v : MulAdd(v, scale[ox].v, add[ox].v);
            // Only the picture's last pixel has no sample after it to spare.
            if (o + 3 < end) {
                StorePixel<true>(shown, o);
            } else {
                StorePixel(shown, o);
            }
        }
    }
}

}  // namespace lumora::render
