#include "link/link.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include "link/packets.h"

namespace lumora::link {

Link::Link(std::unique_ptr<Transport> transport, QObject* parent)
    : QObject(parent), transport_(std::move(transport)) {
    transport_->setParent(nullptr);
    clock_.start();
    connect(transport_.get(), &Transport::bytesArrived, this, &Link::onBytesArrived);
}

Link::~Link() = default;

void Link::close() {
    transport_->close();
    reassembler_.reset();
    queue_.clear();
    if (readPending_) {
        readPending_ = false;
        emit readCompleted();
    }
}

void Link::send(std::span<const std::uint8_t> packet) {
    transport_->write(packet);
}

std::optional<std::uint8_t> Link::readRegisterChecked(std::uint8_t channel, std::uint8_t reg) {
    const Bytes packet = ReadRegisterPacket(channel, reg);
    send(packet);
    if (boxSilent_) {
        return std::nullopt;
    }
    readPending_ = true;

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &Link::readCompleted, &loop, &QEventLoop::quit);
    deadline.start(readTimeout_);
    while (readPending_ && deadline.isActive() && transport_->isOpen()) {
        loop.exec();
    }
    if (!readPending_) {
        return transport_->isOpen() ? std::optional<std::uint8_t>(replyByte_) : std::nullopt;
    }
    readPending_ = false;
    if (!boxSilent_ && transport_->isOpen()) {
        boxSilent_ = true;
        emit boxWentSilent();
    }
    return std::nullopt;
}

void Link::completeRead(std::uint8_t value) {
    replyByte_ = value;
    if (readPending_) {
        readPending_ = false;
        emit readCompleted();
    }
}

void Link::onBytesArrived() {
    // Only collect here: the transport does not notify again while this runs,
    // so every reply is handed on from the event loop instead.
    Bytes bytes;
    try {
        bytes = transport_->readAvailable();
    } catch (const std::exception&) {
        return;  // the port went away; its own error path reports it
    }
    for (const Reply& reply : reassembler_.feed(bytes, clock_.elapsed())) {
        queue_.push_back(reply);
    }
    if (!queue_.empty()) {
        boxSilent_ = false;
        scheduleDispatch();
    }
}

void Link::scheduleDispatch() {
    if (dispatchScheduled_) {
        return;
    }
    dispatchScheduled_ = true;
    QMetaObject::invokeMethod(this, &Link::dispatchNext, Qt::QueuedConnection);
}

void Link::dispatchNext() {
    dispatchScheduled_ = false;
    if (queue_.empty()) {
        return;
    }
    const Reply reply = queue_.front();
    queue_.pop_front();
    // Schedule the rest first: a handler of this reply may wait inside a
    // register read whose own reply is further down the queue.
    if (!queue_.empty()) {
        scheduleDispatch();
    }
    emit replyReceived(reply);
}

}  // namespace lumora::link
