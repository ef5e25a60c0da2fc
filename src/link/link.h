#pragma once

// The device link: the one place that writes packets, the receive path that
// reassembles replies and hands them on from the event loop, and the register
// read that waits for its reply while the event loop keeps running.

#include <QElapsedTimer>
#include <QObject>
#include <chrono>
#include <deque>
#include <memory>
#include <optional>

#include "link/reply.h"
#include "link/reply_reassembler.h"
#include "link/transport.h"

namespace lumora::link {

class Link : public QObject {
    Q_OBJECT
  public:
    static constexpr std::chrono::milliseconds kDefaultReadTimeout{1000};

    explicit Link(std::unique_ptr<Transport> transport, QObject* parent = nullptr);
    ~Link() override;

    Transport& transport() { return *transport_; }

    // Port operations; failures throw LinkError with the serial layer's text.
    void setPortName(const QString& name) { transport_->setPortName(name); }
    void open() { transport_->open(); }
    void close();
    bool isOpen() const { return transport_->isOpen(); }
    void clearBuffers() { transport_->clearBuffers(); }

    // Writes one packet in a single write.
    void send(std::span<const std::uint8_t> packet);

    // Sends a 0x21 read and waits for the 0x21 reply, serving the event loop
    // meanwhile. nullopt when no reply came within the time-out, or at once
    // while the box is known to be silent (the packet still goes out, so a box
    // that comes back is noticed by its reply).
    std::optional<std::uint8_t> readRegisterChecked(std::uint8_t channel, std::uint8_t reg);
    // As above with 255 for "no reply", which callers cannot tell from a
    // register that holds 255.
    std::uint8_t ReadRegister(std::uint8_t channel, std::uint8_t reg) {
        return readRegisterChecked(channel, reg).value_or(0xFF);
    }
    // The 0x21 reply: stores the value and ends the waiting read.
    void completeRead(std::uint8_t value);

    void setReadTimeout(std::chrono::milliseconds timeout) { readTimeout_ = timeout; }
    bool boxSilent() const { return boxSilent_; }
    bool readPending() const { return readPending_; }

  signals:
    // One reply, delivered from the event loop: never inside the transport's
    // notification, so a handler may wait for a register read.
    void replyReceived(lumora::link::Reply reply);
    // A read timed out after the box had been answering.
    void boxWentSilent();
    void readCompleted();

  private:
    void onBytesArrived();
    void scheduleDispatch();
    void dispatchNext();

    std::unique_ptr<Transport> transport_;
    ReplyReassembler reassembler_;
    QElapsedTimer clock_;
    std::deque<Reply> queue_;
    bool dispatchScheduled_ = false;
    bool readPending_ = false;
    std::uint8_t replyByte_ = 0;
    bool boxSilent_ = false;
    std::chrono::milliseconds readTimeout_ = kDefaultReadTimeout;
};

}  // namespace lumora::link
