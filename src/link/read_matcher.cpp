#include "link/read_matcher.h"

#include <algorithm>

namespace lumora::link {

ReadMatcher::Ticket ReadMatcher::enqueue() {
    const Ticket ticket = next_++;
    line_.push_back({ticket, false});
    return ticket;
}

void ReadMatcher::abandon(Ticket ticket) {
    values_.erase(ticket);
    const auto place = std::find_if(line_.begin(), line_.end(),
                                    [&](const Place& p) { return p.ticket == ticket; });
    if (place != line_.end()) {
        place->abandoned = true;
    }
    dropOldAbandoned();
}

void ReadMatcher::dropOldAbandoned() {
    std::size_t abandoned = static_cast<std::size_t>(
        std::count_if(line_.begin(), line_.end(), [](const Place& p) { return p.abandoned; }));
    for (auto it = line_.begin(); abandoned > kMaxAbandoned && it != line_.end();) {
        if (it->abandoned) {
            it = line_.erase(it);
            --abandoned;
        } else {
            ++it;
        }
    }
}

std::size_t ReadMatcher::waiting() const {
    return static_cast<std::size_t>(
        std::count_if(line_.begin(), line_.end(), [](const Place& p) { return !p.abandoned; }));
}

void ReadMatcher::deliverToFront(std::uint8_t value) {
    values_[line_.front().ticket] = value;
    line_.pop_front();
}

void ReadMatcher::reply(std::uint8_t value, std::int64_t nowMs) {
    if (line_.empty()) {
        held_.reset();
        return;  // nobody asked: a typed read packet, say
    }
    if (!line_.front().abandoned) {
        held_.reset();
        deliverToFront(value);
        return;
    }
    // The oldest place gave up: this is its late reply, or, if that was lost,
    // the reply of a read further down the line.
    line_.pop_front();
    if (waiting() > 0) {
        held_ = Held{value, nowMs + settleMs_};
    } else {
        held_.reset();
    }
}

std::optional<std::int64_t> ReadMatcher::settleDeadline() const {
    if (!held_) {
        return std::nullopt;
    }
    return held_->deadlineMs;
}

void ReadMatcher::settle(std::int64_t nowMs) {
    if (!held_ || nowMs < held_->deadlineMs) {
        return;
    }
    const std::uint8_t value = held_->value;
    held_.reset();
    // No reply followed: the replies of the places still ahead were lost too.
    while (!line_.empty() && line_.front().abandoned) {
        line_.pop_front();
    }
    if (!line_.empty()) {
        deliverToFront(value);
    }
}

std::optional<std::uint8_t> ReadMatcher::take(Ticket ticket) {
    const auto it = values_.find(ticket);
    if (it == values_.end()) {
        return std::nullopt;
    }
    const std::uint8_t value = it->second;
    values_.erase(it);
    return value;
}

void ReadMatcher::clear() {
    line_.clear();
    values_.clear();
    held_.reset();
}

}  // namespace lumora::link
