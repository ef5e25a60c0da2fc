// A live transfer of one channel's warp map over a pseudo-terminal to
// lumora-boxsim: 750 blocks and the closing packet, each waiting for its
// reply, as a move sends it after the map is computed.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "box_on_pty.h"

namespace {

void BM_LiveTransfer(benchmark::State& state) {
    lumora::bench::BoxOnPty line(state);
    if (!line.ready()) {
        return;
    }
    lumora::core::Session& session = line.session;
    for (auto _ : state) {
        session.mapTransfer().startLive(1);
        const bool ended = session.link().serveUntil([&] { return !session.work().busy(); },
                                                     std::chrono::seconds(30));
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
