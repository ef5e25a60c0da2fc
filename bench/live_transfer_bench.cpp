// A live transfer of one channel's warp map over a pseudo-terminal to
// lumora-boxsim: 750 blocks and the closing packet, each waiting for its
// reply, as a move sends it after the map is computed.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <memory>
#include <string>
#include <vector>

#include "core/session.h"
#include "link/serial_transport.h"
#include "sim/boxsim_process.h"

namespace {

void BM_LiveTransfer(benchmark::State& state) {
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
    session.state().connected = true;
    for (auto _ : state) {
        session.mapTransfer().startLive(1);
        const bool ended = session.link().serveUntil(
            [&] { return session.state().transferState == 0; }, std::chrono::seconds(30));
        if (!ended || !session.messages().lastError().isEmpty()) {
            state.SkipWithError("the transfer did not end cleanly");
            return;
        }
    }
}
BENCHMARK(BM_LiveTransfer)->Arg(0)->Arg(115200)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
