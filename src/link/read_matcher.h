#pragma once

// Matches the box's 0x21 replies to the register reads that asked for them.
// The box answers in order, but a 0x21 reply names no register, and a read
// may start while another waits (a handler run inside the wait). So every
// read holds a place in a first-in-first-out line:
//
// - a reply goes to the oldest read still in line;
// - a read that gave up (time-out) keeps its place, so that its late reply
//   is not handed to a later read;
// - but if its reply was lost instead, the next read must not fail for it:
//   a reply taken by a read that gave up, while a later read waits, is held
//   for a short settle time. If no further reply follows, it was the later
//   read's own and goes to it; if one follows, that one is the later read's.
//
// Pure: the caller supplies the clock and calls settle() when the settle
// deadline passes.

#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_map>

namespace lumora::link {

class ReadMatcher {
  public:
    using Ticket = std::uint64_t;

    // How long a reply taken by a read that gave up waits for a second one,
    // by default; well inside a read's own time-out.
    static constexpr std::int64_t kDefaultSettleMs = 200;
    // Places kept for reads that gave up; older ones are forgotten.
    static constexpr std::size_t kMaxAbandoned = 64;

    void setSettleMs(std::int64_t settleMs) { settleMs_ = settleMs; }

    // A read went out; returns its place.
    Ticket enqueue();
    // The read gave up waiting; its place is kept for its late reply.
    void abandon(Ticket ticket);
    // A 0x21 reply carrying `value` arrived at nowMs.
    void reply(std::uint8_t value, std::int64_t nowMs);
    // When a held reply is due to settle, if one is held.
    std::optional<std::int64_t> settleDeadline() const;
    void settle(std::int64_t nowMs);

    // The value for `ticket` once its reply has been matched; taken once.
    std::optional<std::uint8_t> take(Ticket ticket);
    bool answered(Ticket ticket) const { return values_.contains(ticket); }
    // Reads waiting for a reply (not counting those that gave up).
    std::size_t waiting() const;
    // The port closed: every place is void.
    void clear();

  private:
    struct Place {
        Ticket ticket = 0;
        bool abandoned = false;
    };
    struct Held {
        std::uint8_t value = 0;
        std::int64_t deadlineMs = 0;
    };

    void deliverToFront(std::uint8_t value);
    void dropOldAbandoned();

    std::deque<Place> line_;
    std::unordered_map<Ticket, std::uint8_t> values_;
    std::optional<Held> held_;
    Ticket next_ = 1;
    std::int64_t settleMs_ = kDefaultSettleMs;
};

}  // namespace lumora::link
