// The preview's work per change: both channels rendered at 960 x 540 from a
// 1920 x 1080 picture with a moved grid, an edge blend, uniformity and colour
// adjust on (every stage of the look runs).

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "render/renderer.h"
#include "warp/warp_map.h"

namespace {

using namespace lumora;

void PreviewOfBothChannels(benchmark::State& state) {
    auto model = std::make_unique<warp::GridModel>();
    model->setPictureSize(1920, 1080);
    model->channel(0).internalGrid = 1;
    model->ApplyGridSize(0, warp::kGrid17x17);
    model->ResetGrid(0);
    model->transform() = {1.0f, 1.0f, 0.0f, 0.0f};
    model->recordedGridSize = warp::kGrid17x17;
    model->recordedInternalGrid = 1;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> offset(-10.0f, 10.0f);
    for (warp::ControlPoint& p : model->channel(0).points) {
        p.x += offset(random);
        p.y += offset(random);
    }
    auto computer = std::make_unique<warp::WarpMapComputer>();
    auto map = std::make_unique<warp::WarpMap>();
    map->setIdentity();
    if (warp::ComputeShiftedWarpMap(*model, 0, *computer, *map)) {
        state.SkipWithError("map refused");
        return;
    }
    // The preview samples a source scaled to its own size: a quarter of the
    // memory to walk through, and no finer detail than it can show.
    render::Image16 source(960, 540);
    for (std::size_t i = 0; i < source.rgb.size(); ++i) {
        source.rgb[i] = static_cast<std::uint16_t>(i * 7919);
    }
    render::RenderRequest request;
    request.map = map.get();
    request.pictureWidth = 1920;
    request.pictureHeight = 1080;
    request.source = &source;
    request.outWidth = 960;
    request.outHeight = 540;
    request.look.blend.edgeWidth = {300, 300, 0, 0};
    request.look.uniformity.enabled = true;
    request.look.colour.gainEnabled = true;
    std::array<render::Image16, 2> out;
    for (auto _ : state) {
        for (render::Image16& channel : out) {
            render::RenderChannel(request, channel);
        }
        benchmark::DoNotOptimize(out[1].rgb.data());
    }
}
BENCHMARK(PreviewOfBothChannels)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
