#include "sim/outbox.h"

#include <algorithm>

namespace lumora::sim {

void Outbox::push(std::vector<TimedWrite> writes) {
    for (TimedWrite& write : writes) {
        queue_.push_back(std::move(write));
    }
}

std::optional<std::chrono::microseconds> Outbox::nextDue() const {
    if (queue_.empty()) {
        return std::nullopt;
    }
    return queue_.front().at + slip_;
}

std::vector<link::Bytes> Outbox::takeDue(std::chrono::microseconds now) {
    std::vector<link::Bytes> due;
    while (!queue_.empty() && queue_.front().at + slip_ <= now) {
        slip_ = std::max(slip_, now - queue_.front().at);
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
