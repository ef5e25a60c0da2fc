// Round trip of one register read over a pseudo-terminal to lumora-boxsim:
// packet out, 0x21 reply reassembled, dispatched and handed to the waiting read.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "box_on_pty.h"

namespace {

void BM_ReadRegisterRoundTrip(benchmark::State& state) {
    lumora::bench::BoxOnPty line(state);
    if (!line.ready()) {
        return;
    }
    lumora::core::Session& session = line.session;
    for (auto _ : state) {
        const auto value = session.link().read(0, 0x45);
        if (!value) {
            state.SkipWithError("no reply from the virtual box");
            return;
        }
        benchmark::DoNotOptimize(*value);
    }
}
BENCHMARK(BM_ReadRegisterRoundTrip)
    ->Arg(0)
    ->Arg(115200)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
