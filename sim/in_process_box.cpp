#include "sim/in_process_box.h"

namespace lumora::sim {

using std::chrono::microseconds;

InProcessBox::InProcessBox(link::PipeTransport& pipe, BoxConfig config, QObject* parent)
    : QObject(parent), pipe_(&pipe), config_(std::move(config)), box_(config_) {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &InProcessBox::deliverDue);
    pipe.setPeer([this](const link::Bytes& bytes) { onHostWrite(bytes); });
}

InProcessBox::~InProcessBox() {
    if (pipe_) {
        pipe_->setPeer(nullptr);
    }
}

microseconds InProcessBox::now() const {
    return microseconds(clock_.nsecsElapsed() / 1000);
}

void InProcessBox::onHostWrite(const link::Bytes& bytes) {
    outbox_.push(box_.receive(bytes, now()).writes);
    schedule();
}

void InProcessBox::schedule() {
    const std::optional<microseconds> due = outbox_.nextDue();
    if (!due) {
        return;
    }
    // Round up: a reply must not reach the host before its time.
    const microseconds wait = *due - now();
    const auto ms = wait.count() <= 0 ? 0 : static_cast<int>((wait.count() + 999) / 1000);
    timer_.start(ms);
}

void InProcessBox::deliverDue() {
    for (const link::Bytes& bytes : outbox_.takeDue(now())) {
        if (pipe_) {
            pipe_->deliverFromPeer(bytes);
        }
    }
    schedule();
}

}  // namespace lumora::sim
