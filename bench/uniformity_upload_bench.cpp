// UploadUniformityGrid over a pseudo-terminal to lumora-boxsim: 7,044
// register writes (42,264 bytes) of one channel, timed until the box has
// taken the last byte: a register read after them is answered only then (a
// pty's drain returns while bytes still sit in its buffer). At 115200 baud
// the line alone needs 42,264 / 11,520 s, about 3.67 s. gap_ms is the
// longest time the event loop did not run (the window did not paint).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

#include "box_on_pty.h"

namespace {

void BM_UploadUniformityGrid(benchmark::State& state) {
    lumora::bench::BoxOnPty line(state);
    if (!line.ready()) {
        return;
    }
    lumora::core::Session& session = line.session;
    // The read after the writes waits for whatever the pty still buffers.
    session.link().setReadTimeout(std::chrono::seconds(5));
    session.setCurrentChannel(0);
    session.uniformity().resetTables();
    QElapsedTimer sinceTurn;
    qint64 gap = 0;
    QTimer turns;
    turns.setInterval(5);
    QObject::connect(&turns, &QTimer::timeout, [&] { gap = std::max(gap, sinceTurn.restart()); });
    sinceTurn.start();
    turns.start();
    for (auto _ : state) {
        session.uniformity().UploadUniformityGrid();
        if (!session.link().read(0, 0x45) || !session.messages().lastError().isEmpty()) {
            state.SkipWithError("the upload did not reach the box whole");
            return;
        }
    }
    state.counters["gap_ms"] = static_cast<double>(gap);
    if (state.range(0) > 0) {
        const double lineSeconds = 42264.0 / (static_cast<double>(state.range(0)) / 10.0);
        state.counters["line_s"] = lineSeconds;
        state.counters["ratio"] =
            benchmark::Counter(lineSeconds * static_cast<double>(state.iterations()),
                               benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    }
}
BENCHMARK(BM_UploadUniformityGrid)
    ->Arg(0)
    ->Arg(115200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
