#pragma once

// A session whose line is the in-memory pipe: the test plays the box through
// `pipe` (or attaches the in-process box to it) and drives `session`.

#include <memory>

#include "core/session.h"
#include "link/pipe_transport.h"

namespace lumora::testing {

struct SessionOnPipe {
    SessionOnPipe() {
        auto transport = std::make_unique<link::PipeTransport>();
        pipe = transport.get();
        session = std::make_unique<core::Session>(std::move(transport));
    }

    // Owned by the session.
    link::PipeTransport* pipe = nullptr;
    std::unique_ptr<core::Session> session;
};

}  // namespace lumora::testing
