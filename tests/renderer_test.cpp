// The output renderer: the warp exactly as the map defines it, and the look
// (here the edge blend) on top.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "render/renderer.h"
#include "warp/grid_model.h"
#include "warp/warp_map.h"

namespace lumora::render {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// Source positions are written into the gradient at 30 steps per pixel.
constexpr float kStepsPerPixel = 30.0f;

Image16 Gradient(int width, int height) {
    Image16 image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.set(x, y,
                      {static_cast<std::uint16_t>(x * kStepsPerPixel),
                       static_cast<std::uint16_t>(y * kStepsPerPixel), 1000});
        }
    }
    return image;
}

struct Channel {
    Channel() {
        model->setPictureSize(kWidth, kHeight);
        model->ApplyGridSize(0, warp::kGrid5x5);
        model->ResetGrid(0);
        model->transform() = {1.0f, 1.0f, 0.0f, 0.0f};
        model->recordedGridSize = warp::kGrid5x5;
        map->setIdentity();
    }
    RenderRequest request(const Image16& source) const {
        RenderRequest r;
        r.map = map.get();
        r.pictureWidth = kWidth;
        r.pictureHeight = kHeight;
        r.source = &source;
        r.outWidth = kWidth;
        r.outHeight = kHeight;
        return r;
    }

    std::unique_ptr<warp::GridModel> model = std::make_unique<warp::GridModel>();
    std::unique_ptr<warp::WarpMap> map = std::make_unique<warp::WarpMap>();
};

TEST(Renderer, TheIdentityMapWithANeutralLookShowsTheSourceAsItIs) {
    const Channel channel;
    const Image16 source = Gradient(kWidth, kHeight);
    Image16 out;
    RenderChannel(channel.request(source), out);
    EXPECT_EQ(out.rgb, source.rgb);
    EXPECT_EQ(DecodeMapEntry(static_cast<std::int16_t>(0xC001)), -1023.9375f);
    EXPECT_EQ(DecodeMapEntry(static_cast<std::int16_t>(0xBFC0)), 3068.0f);
}

// At every lattice sample the output holds the map's source position, read
// back from the gradient, for a moved grid and shifted corners.
TEST(Renderer, EachLatticeSampleShowsTheSourcePositionItsEntryNames) {
    Channel channel;
    warp::ChannelGrid& grid = channel.model->channel(0);
    grid.points[warp::PointIndex(8, 8)].x += 23.5f;
    grid.points[warp::PointIndex(4, 12)].y -= 17.25f;
    grid.shiftedCorners[warp::kTopLeft].x += 20.0f;
    grid.shiftedCorners[warp::kBottomRight].y -= 12.0f;
    auto computer = std::make_unique<warp::WarpMapComputer>();
    ASSERT_FALSE(warp::ComputeShiftedWarpMap(*channel.model, 0, *computer, *channel.map));
    const Image16 source = Gradient(kWidth, kHeight);
    Image16 out;
    RenderChannel(channel.request(source), out);
    int checked = 0;
    for (int a = 0; 16 * a < kWidth; ++a) {
        for (int b = 0; 16 * b < kHeight; ++b) {
            const auto i = static_cast<std::size_t>(warp::WarpMap::Index(a, b));
            const float sx = DecodeMapEntry(channel.map->x[i]);
            const float sy = DecodeMapEntry(channel.map->y[i]);
            const auto value = out.at(16 * a, 16 * b);
            if (sx < 0.0f || sy < 0.0f || sx > kWidth - 1 || sy > kHeight - 1) {
                EXPECT_EQ(value[2], 0) << a << ", " << b;  // outside: black
                continue;
            }
            EXPECT_NEAR(value[0] / kStepsPerPixel, sx, 1.0f / 16) << a << ", " << b;
            EXPECT_NEAR(value[1] / kStepsPerPixel, sy, 1.0f / 16) << a << ", " << b;
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(Renderer, AnEdgeDarkensTowardItsBorderAndNothingElse) {
    Channel channel;
    Image16 source(kWidth, kHeight);
    std::fill(source.rgb.begin(), source.rgb.end(), 40000);
    RenderRequest request = channel.request(source);
    request.look.blend.edgeWidth = {300, 0, 0, 0};  // left, in the 1920-wide frame
    Image16 out;
    RenderChannel(request, out);
    // 300 frame pixels are 100 picture pixels at 640 wide.
    EXPECT_EQ(out.at(0, 200)[0], 0);
    EXPECT_LT(out.at(30, 200)[0], out.at(60, 200)[0]);
    EXPECT_LT(out.at(60, 200)[0], 40000);
    EXPECT_EQ(out.at(101, 200)[0], 40000);
    EXPECT_EQ(out.at(639, 479)[0], 40000);
}

}  // namespace
}  // namespace lumora::render
