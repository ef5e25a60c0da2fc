#pragma once

// A wait on the box that ended before its reply or its time: the port closed
// under it, the program is quitting, or waits were nested past their bound.
// The handler that waited ends quietly; whatever closed the port has said
// why already.

#include <stdexcept>

namespace lumora::link {

class WaitAborted : public std::runtime_error {
  public:
    enum class Reason { kPortClosed, kQuitting, kTooDeep };

    explicit WaitAborted(Reason reason)
        : std::runtime_error(reason == Reason::kPortClosed ? "the port closed during a wait"
                             : reason == Reason::kQuitting ? "the program is quitting"
                                                           : "waits nested too deep"),
          reason_(reason) {}
    Reason reason() const { return reason_; }

  private:
    Reason reason_;
};

}  // namespace lumora::link
