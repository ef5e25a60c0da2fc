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
    VirtualBox::Result result = box_.receive(bytes, now());
    for (TimedWrite& write : result.writes) {
        outbox_.push_back(std::move(write));
    }
    schedule();
}

void InProcessBox::schedule() {
    if (outbox_.empty()) {
        return;
    }
    // Round up: a reply must not reach the host before its time.
    const microseconds wait = outbox_.front().at - now();
    const auto ms = wait.count() <= 0 ? 0 : static_cast<int>((wait.count() + 999) / 1000);
    timer_.start(ms);
}

void InProcessBox::deliverDue() {
    const microseconds t = now();
    while (!outbox_.empty() && outbox_.front().at <= t) {
        const link::Bytes bytes = std::move(outbox_.front().bytes);
        outbox_.pop_front();
        if (pipe_) {
            pipe_->deliverFromPeer(bytes);
        }
    }
    schedule();
}

}  // namespace lumora::sim
