#pragma once

// A session on a pseudo-terminal to a running lumora-boxsim, for benchmarks
// over a real line. The argument is the box's line rate in baud, 0 for none.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "core/session.h"
#include "link/serial_transport.h"
#include "sim/boxsim_process.h"

namespace lumora::bench {

struct BoxOnPty {
    explicit BoxOnPty(benchmark::State& state)
        : box(LUMORA_BOXSIM_PATH,
              state.range(0) > 0
                  ? std::vector<std::string>{"--line-rate", std::to_string(state.range(0))}
                  : std::vector<std::string>{}) {
        if (!box.started()) {
            state.SkipWithError(box.error().c_str());
            return;
        }
        session.link().setPortName(QString::fromStdString(box.portPath()));
        session.link().open();
        session.state().connected = true;
    }
    bool ready() const { return box.started(); }

    sim::BoxsimProcess box;
    core::Session session{std::make_unique<link::SerialTransport>()};
};

}  // namespace lumora::bench
