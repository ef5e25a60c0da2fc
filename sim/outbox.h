#pragma once

// Planned writes waiting for their time. A host that delivers a write late
// (a busy event loop, a slow poll) delays the writes queued behind it by the
// same amount, as a real line would: a gap the fault plan asked for, such as
// that of a split reply, never shrinks. The slip ends when the queue empties,
// and idle time on the line before the next reply absorbs it: replies to
// packets that follow each other closely must not drift later and later.

#include <chrono>
#include <deque>
#include <optional>
#include <vector>

#include "link/bytes.h"
#include "sim/fault_plan.h"

namespace lumora::sim {

class Outbox {
  public:
    void push(TimedWrite write) { queue_.push_back(std::move(write)); }
    void push(std::vector<TimedWrite> writes);

    // When the next write falls due.
    std::optional<std::chrono::microseconds> nextDue() const;
    // Removes and returns, in order, the bytes due at `now`.
    std::vector<link::Bytes> takeDue(std::chrono::microseconds now);

    void clear();
    std::size_t size() const { return queue_.size(); }
    bool empty() const { return queue_.empty(); }

  private:
    std::chrono::microseconds slipOf(const TimedWrite& write) const;

    std::deque<TimedWrite> queue_;
    std::chrono::microseconds slip_{0};
    std::chrono::microseconds lastAt_{0};
};

}  // namespace lumora::sim
