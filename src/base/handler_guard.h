#pragma once

// Runs handler bodies so that nothing escapes into the event loop, and so
// that one event gives the operator one message:
// - a link error is shown, unless the port was closed under the handler (the
//   operator disconnected while it waited) or the line had already broken
//   (that has its own message);
// - an aborted wait (port closed, program quitting) ends the handler quietly;
// - a feature area's HandlerFault is shown with the area's own text (none
//   when the box simply stopped answering: the link has said so).
// Whatever waits on the box is ended after a link error, through the hooks
// registered by the feature areas, so that nothing stays blocked for good.

#include <deque>
#include <functional>
#include <vector>

#include "base/operator_messages.h"
#include "link/link.h"

namespace lumora::base {

class HandlerGuard {
  public:
    HandlerGuard(link::Link& link, OperatorMessages& messages) : link_(link), messages_(messages) {}

    void run(const std::function<void()>& body);
    // Operator input, and what it sets off (timers): runs `handler` under
    // run() now or, while another such handler runs, after it, in order. A
    // handler that waits on the box keeps the window painting and the
    // replies flowing, but nothing the operator does starts inside it.
    void runWhole(std::function<void()> handler);
    bool handlerRunning() const { return running_; }
    // Called after any link error a guarded body met.
    void onLinkFailure(std::function<void()> hook) { failureHooks_.push_back(std::move(hook)); }
    // Called after every guarded body, however it ended: whatever shows the
    // program's state learns that a handler may have changed it.
    void afterEachHandler(std::function<void()> hook) { afterHooks_.push_back(std::move(hook)); }
    void endWaitsOnFailure();

  private:
    link::Link& link_;
    OperatorMessages& messages_;
    std::vector<std::function<void()>> failureHooks_;
    std::vector<std::function<void()>> afterHooks_;
    bool running_ = false;
    std::deque<std::function<void()>> waiting_;
};

}  // namespace lumora::base
