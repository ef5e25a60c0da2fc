// Round trip of one register read over a pseudo-terminal to lumora-boxsim:
// packet out, 0x21 reply reassembled, dispatched and handed to the waiting read.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <memory>
#include <string>
#include <vector>

#include "core/session.h"
#include "link/serial_transport.h"
#include "sim/boxsim_process.h"

namespace {

void BM_ReadRegisterRoundTrip(benchmark::State& state) {
    // Argument: the box's line rate in baud, 0 for unpaced replies.
    std::vector<std::string> args;
    if (state.range(0) > 0) {
        args = {"--line-rate", std::to_string(state.range(0))};
    }
    lumora::sim::BoxsimProcess box(LUMORA_BOXSIM_PATH, args);
    if (!box.started()) {
        state.SkipWithError(box.error().c_str());
        return;
    }
    lumora::core::Session session(std::make_unique<lumora::link::SerialTransport>());
    session.link().setPortName(QString::fromStdString(box.portPath()));
    session.link().open();
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
