#include "sim/outbox.h"

#include <algorithm>

namespace lumora::sim {

void Outbox::push(std::vector<TimedWrite> writes) {
    for (TimedWrite& write : writes) {
        queue_.push_back(std::move(write));
    }
}

std::chrono::microseconds Outbox::slipOf(const TimedWrite& write) const {
    if (!write.startsReply) {
        return slip_;
    }
    return std::max(std::chrono::microseconds(0), slip_ - (write.at - lastAt_));
}

std::optional<std::chrono::microseconds> Outbox::nextDue() const {
    if (queue_.empty()) {
        return std::nullopt;
    }
    return queue_.front().at + slipOf(queue_.front());
}

std::vector<link::Bytes> Outbox::takeDue(std::chrono::microseconds now) {
    std::vector<link::Bytes> due;
    while (!queue_.empty() && queue_.front().at + slipOf(queue_.front()) <= now) {
        slip_ = std::max(slipOf(queue_.front()), now - queue_.front().at);
        lastAt_ = queue_.front().at;
        due.push_back(std::move(queue_.front().bytes));
        queue_.pop_front();
    }
    if (queue_.empty()) {
        slip_ = std::chrono::microseconds(0);
    }
    return due;
}

void Outbox::clear() {
    queue_.clear();
    slip_ = std::chrono::microseconds(0);
}

}  // namespace lumora::sim
