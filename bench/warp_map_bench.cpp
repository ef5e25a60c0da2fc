// The warp map computation that runs before every transfer, at 1920 x 1080
// on a 17x17 grid whose every point has been moved.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "warp/warp_map.h"

namespace {

using namespace lumora::warp;

void PerturbedChannel(GridModel& model, std::int32_t gridSize) {
    model.setPictureSize(1920, 1080);
    model.channel(0).internalGrid = 1;
    model.ApplyGridSize(0, gridSize);
    model.ResetGrid(0);
    model.transform() = {1.0f, 1.0f, 0.0f, 0.0f};
    model.recordedGridSize = gridSize;
    model.recordedInternalGrid = 1;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> offset(-12.0f, 12.0f);
    for (ControlPoint& p : model.channel(0).points) {
        p.x += offset(random);
        p.y += offset(random);
    }
    model.channel(0).shiftedCorners[kTopRight].x -= 30.0f;
    model.channel(0).shiftedCorners[kBottomLeft].y -= 20.0f;
}

void ShiftedWarpMap(benchmark::State& state) {
    auto model = std::make_unique<GridModel>();
    PerturbedChannel(*model, static_cast<std::int32_t>(state.range(0)));
    auto computer = std::make_unique<WarpMapComputer>();
    auto map = std::make_unique<WarpMap>();
    for (auto _ : state) {
        const auto fault = ComputeShiftedWarpMap(*model, 0, *computer, *map);
        if (fault) {
            state.SkipWithError(fault->message.c_str());
            break;
        }
        benchmark::DoNotOptimize(map->x.data());
    }
}
// 17x17 (3), and 5x5 with the derived points completed on every run (1).
BENCHMARK(ShiftedWarpMap)->Arg(kGrid17x17)->Arg(kGrid5x5)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
