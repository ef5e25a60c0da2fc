#pragma once

// The one way operator input enters a feature area: through the guard's
// runWhole, so that input arriving while a handler waits on the box (a
// pause between packets, a register read) runs after that handler, in
// order, and never inside it.

#include <concepts>
#include <utility>

#include "base/handler_guard.h"

namespace lumora::app {

// A slot for `handler` that runs it whole: connect(widget, signal, context,
// Whole(guard, handler)). The signal's arguments are copied, so a queued
// handler still sees the value that the widget reported; Qt passes only as
// many of them as the handler takes.
template <class Handler>
class Whole {
  public:
    Whole(base::HandlerGuard& guard, Handler handler)
        : guard_(&guard), handler_(std::move(handler)) {}

    template <class... Args>
    requires std::invocable<const Handler&, const Args&...>
    void operator()(const Args&... args) const {
        guard_->runWhole([handler = handler_, args...] { handler(args...); });
    }

  private:
    base::HandlerGuard* guard_;
    Handler handler_;
};

}  // namespace lumora::app
