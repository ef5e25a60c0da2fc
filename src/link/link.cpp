#include "link/link.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include "link/link_error.h"
#include "link/packets.h"

namespace lumora::link {

Link::Link(std::unique_ptr<Transport> transport, QObject* parent)
    : QObject(parent), transport_(std::move(transport)) {
    transport_->setParent(nullptr);
    clock_.start();
    connect(transport_.get(), &Transport::bytesArrived, this, &Link::onBytesArrived);
    connect(transport_.get(), &Transport::lineFailed, this, &Link::onLineFailed);
    connect(transport_.get(), &Transport::notice, this, &Link::notice);
    quietCheck_.setInterval(kQuietCheckInterval);
    connect(&quietCheck_, &QTimer::timeout, this, &Link::onQuietCheck);
    setReadTimeout(kDefaultReadTimeout);
    settleTimer_.setSingleShot(true);
    connect(&settleTimer_, &QTimer::timeout, this, [this] {
        matcher_.settle(clock_.elapsed());
        scheduleSettle();
        emit wake();
    });
}

Link::~Link() {
    transport_->disconnect(this);
    transport_->close();
}

void Link::setReadTimeout(std::chrono::milliseconds timeout) {
    readTimeout_ = timeout;
    // A write that cannot complete holds the window no longer than a read.
    transport_->setWriteBound(timeout);
    // A held reply must settle well before the read it may belong to gives up.
    matcher_.setSettleMs(timeout.count() / 5);
}

void Link::open() {
    transport_->open();
}

void Link::close() {
    transport_->close();
    reassembler_.reset();
    matcher_.clear();
    queue_.clear();
    quietCheck_.stop();
    settleTimer_.stop();
    consecutiveTimeouts_ = 0;
    boxSilent_ = false;
    emit wake();
}

void Link::shutdown() {
    quitting_ = true;
    close();
}

void Link::onLineFailed(const QString& message) {
    close();
    emit lineBroke(message);
}

void Link::send(std::span<const std::uint8_t> packet) {
    transport_->write(packet);
}

void Link::write8(std::uint8_t channel, std::uint8_t reg, std::uint8_t value) {
    send(WriteRegister8Packet(channel, reg, value));
}

void Link::write16(std::uint8_t channel, std::uint8_t reg, std::uint16_t value) {
    send(WriteRegister16Packet(channel, reg, value));
}

void Link::write32(std::uint8_t channel, std::uint8_t reg, std::uint32_t value) {
    send(WriteRegister32Packet(channel, reg, value));
}

std::optional<std::uint8_t> Link::read(std::uint8_t channel, std::uint8_t reg) {
    if (quitting_) {
        throw WaitAborted(WaitAborted::Reason::kQuitting);
    }
    send(ReadRegisterPacket(channel, reg));
    const ReadMatcher::Ticket ticket = matcher_.enqueue();
    if (boxSilent_) {
        matcher_.abandon(ticket);
        return std::nullopt;
    }
    bool answered = false;
    try {
        answered = serveUntil([&] { return matcher_.answered(ticket); }, readTimeout_);
    } catch (...) {
        matcher_.abandon(ticket);
        throw;
    }
    if (answered) {
        return matcher_.take(ticket);
    }
    matcher_.abandon(ticket);
    if (++consecutiveTimeouts_ >= kSilentAfterTimeouts && !boxSilent_) {
        boxSilent_ = true;
        emit boxWentSilent();
    }
    return std::nullopt;
}

void Link::wait(std::chrono::milliseconds duration) {
    serveUntil([] { return false; }, duration);
}

void Link::enterWait(bool needsPort) {
    if (quitting_) {
        throw WaitAborted(WaitAborted::Reason::kQuitting);
    }
    if (needsPort && !isOpen()) {
        throw WaitAborted(WaitAborted::Reason::kPortClosed);
    }
    if (waitDepth_ >= kMaxWaitDepth) {
        if (!depthReported_) {
            depthReported_ = true;
            emit notice(QStringLiteral(
                "An action was dropped: too many actions were waiting on the box at once."));
        }
        throw WaitAborted(WaitAborted::Reason::kTooDeep);
    }
}

namespace {

struct WaitDepth {
    int& depth;
    explicit WaitDepth(int& d) : depth(d) { ++depth; }
    ~WaitDepth() { --depth; }
};

}  // namespace

void Link::breathe() {
    enterWait(true);
    const WaitDepth depth(waitDepth_);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool Link::serveUntil(const std::function<bool()>& done, std::chrono::milliseconds bound,
                      bool needsPort) {
    using WaitEnd = WaitAborted::Reason;
    enterWait(needsPort);
    const WaitDepth depth(waitDepth_);

    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    bool woken = false;
    const auto wakeUp = [&] {
        woken = true;
        loop.quit();
    };
    connect(this, &Link::wake, &loop, wakeUp);
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, wakeUp);
    for (;;) {
        if (done()) {
            if (waitDepth_ == 1) {
                depthReported_ = false;
            }
            return true;
        }
        if (quitting_) {
            throw WaitAborted(WaitEnd::kQuitting);
        }
        if (needsPort && !isOpen()) {
            throw WaitAborted(WaitEnd::kPortClosed);
        }
        const auto left = bound - std::chrono::milliseconds(clock.elapsed());
        if (left <= std::chrono::milliseconds::zero()) {
            return false;
        }
        deadline.start(left);
        woken = false;
        // Operator input waits until the handler that waits here has ended.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (!woken) {
            // Nobody here ended the loop: the application is quitting, and
            // a loop started from now on would return at once, for good.
            quitting_ = true;
        }
    }
}

void Link::onBytesArrived() {
    Bytes bytes;
    try {
        bytes = transport_->readAvailable();
    } catch (const LinkError&) {
        return;  // the port went away; its own error path reports it
    }
    const std::int64_t now = clock_.elapsed();
    for (const Reply& reply : reassembler_.feed(bytes, now)) {
        // Any reply shows the box is there.
        consecutiveTimeouts_ = 0;
        boxSilent_ = false;
        if (reply.code == code::kRead) {
            // Matched here, in the order of arrival, whoever is handled first.
            lastReadReply_ = reply.b1;
            matcher_.reply(reply.b1, now);
        }
        queueReply(reply);
    }
    if (reassembler_.hasPartial()) {
        if (!quietCheck_.isActive()) {
            quietCheck_.start();
        }
    } else {
        quietCheck_.stop();
    }
    scheduleSettle();
    emit wake();
}

void Link::onQuietCheck() {
    if (!transport_->isOpen() || !reassembler_.hasPartial()) {
        quietCheck_.stop();
        return;
    }
    if (transport_->bytesWaiting() > 0) {
        return;  // more is on its way to onBytesArrived
    }
    if (const std::size_t dropped = reassembler_.lineQuiet(clock_.elapsed()); dropped > 0) {
        quietCheck_.stop();
        emit notice(QStringLiteral("Dropped %1 byte(s) of an incomplete reply from the box after "
                                   "%2 ms of silence on the line.")
                        .arg(dropped)
                        .arg(ReplyReassembler::kSilenceMs));
    }
}

void Link::scheduleSettle() {
    if (const auto due = matcher_.settleDeadline()) {
        settleTimer_.start(static_cast<int>(std::max<std::int64_t>(0, *due - clock_.elapsed())));
    } else {
        settleTimer_.stop();
    }
}

void Link::queueReply(const Reply& reply) {
    if (queue_.size() >= kMaxQueuedReplies) {
        // Bytes flooding in faster than replies can be handled (garbage, or
        // a virtual port that does not pace its line) must not eat memory.
        if (floodDropped_++ == 0) {
            emit notice(
                QStringLiteral("Replies arrive faster than they can be handled; the excess is "
                               "dropped until the line calms down."));
        }
        return;
    }
    queue_.push_back(reply);
    scheduleDispatch();
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
        floodDropped_ = 0;  // the flood is over; the next one is reported again
        return;
    }
    const Reply reply = queue_.front();
    queue_.pop_front();
    // Schedule the rest first: a handler of this reply may wait inside a
    // register read whose own reply is further down the queue.
    scheduleDispatch();
    router_.dispatch(reply);
    // A wait may be for what the handler just did (a transfer that ended).
    emit wake();
}

}  // namespace lumora::link
