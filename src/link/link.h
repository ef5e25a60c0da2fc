#pragma once

// The device link, the one owner of box I/O: the only writer of packets, the
// receive path that reassembles replies and routes them from the event loop,
// the register read that matches every reply to its own read, and every wait
// on the box. Each wait has a bound and ends at once when the port closes or
// the program quits; waits that nest inside each other are bounded too.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "link/read_matcher.h"
#include "link/register_port.h"
#include "link/reply.h"
#include "link/reply_reassembler.h"
#include "link/reply_router.h"
#include "link/transport.h"
#include "link/wait_aborted.h"

namespace lumora::link {

class Link : public QObject, public RegisterPort {
    Q_OBJECT
  public:
    static constexpr std::chrono::milliseconds kDefaultReadTimeout{1000};
    // Reads fail at once after this many time-outs in a row, until any reply.
    static constexpr int kSilentAfterTimeouts = 2;
    // Replies waiting to be handled; a flood beyond this is dropped.
    static constexpr std::size_t kMaxQueuedReplies = 256;
    // Waits inside waits (handlers run while a read waits, and may read).
    static constexpr int kMaxWaitDepth = 16;
    // How often the line is looked at while a partial reply is held.
    static constexpr std::chrono::milliseconds kQuietCheckInterval{20};

    explicit Link(std::unique_ptr<Transport> transport, QObject* parent = nullptr);
    // Closes the port without reporting anything.
    ~Link() override;

    Transport& transport() { return *transport_; }
    ReplyRouter& router() { return router_; }

    // Port operations; failures throw LinkError with the serial layer's text.
    void setPortName(const QString& name) { transport_->setPortName(name); }
    void open();
    // Ends every wait on the box; never reports a failure.
    void close();
    bool isOpen() const { return transport_->isOpen(); }
    void clearBuffers() { transport_->clearBuffers(); }
    // The line broke since it was opened: errors of writes are no news.
    bool lineFailed() const { return transport_->failed(); }

    // Writes one packet in a single write.
    void send(std::span<const std::uint8_t> packet);

    // Register access. read() sends a 0x21 read and waits up to the read
    // time-out for its own reply; nullopt when none came, or at once while
    // the box is known to be silent (the packet still goes out, so a box that
    // comes back is noticed by its reply).
    void write8(std::uint8_t channel, std::uint8_t reg, std::uint8_t value) override;
    void write16(std::uint8_t channel, std::uint8_t reg, std::uint16_t value) override;
    void write32(std::uint8_t channel, std::uint8_t reg, std::uint32_t value) override;
    std::optional<std::uint8_t> read(std::uint8_t channel, std::uint8_t reg) override;
    void wait(std::chrono::milliseconds duration) override;
    // As read() with 255 for "no reply", which callers cannot tell from a
    // register that holds 255.
    std::uint8_t ReadRegister(std::uint8_t channel, std::uint8_t reg) {
        return read(channel, reg).value_or(0xFF);
    }

    // Serves the event loop until done() holds (true) or `bound` passes
    // (false). Throws WaitAborted when the port closes (unless the wait does
    // not need it), the program quits, or waits nest too deep.
    bool serveUntil(const std::function<bool()>& done, std::chrono::milliseconds bound,
                    bool needsPort = true);

    // Lets the event loop run once without operator input (painting,
    // replies, timers), for a long run of writes that waits for nothing, so
    // the window keeps painting. Throws WaitAborted as a wait does.
    void breathe();

    // The value of the last 0x21 reply, whoever asked for it.
    std::uint8_t lastReadReply() const { return lastReadReply_; }
    // Also bounds a write that the line does not take.
    void setReadTimeout(std::chrono::milliseconds timeout);
    bool boxSilent() const { return boxSilent_; }
    std::size_t readsWaiting() const { return matcher_.waiting(); }
    std::size_t queuedReplies() const { return queue_.size(); }
    int waitDepth() const { return waitDepth_; }

    // The program is quitting: every wait ends now and none starts again;
    // the port is closed quietly.
    void shutdown();
    bool quitting() const { return quitting_; }

  signals:
    // Two reads in a row timed out: the box counts as silent.
    void boxWentSilent();
    // The line broke while open; the port is already closed. Once per opening.
    void lineBroke(const QString& message);
    // Something the log should hold (dropped bytes, a reply flood).
    void notice(const QString& line);
    // Something a wait may be waiting for has happened.
    void wake();

  private:
    // Counts one more wait in hand, within kMaxWaitDepth; throws WaitAborted
    // when the port is closed (and needed) or the program quits.
    void enterWait(bool needsPort);
    void onBytesArrived();
    void onLineFailed(const QString& message);
    void onQuietCheck();
    void scheduleSettle();
    void queueReply(const Reply& reply);
    void scheduleDispatch();
    void dispatchNext();

    std::unique_ptr<Transport> transport_;
    ReplyReassembler reassembler_;
    ReadMatcher matcher_;
    ReplyRouter router_;
    QElapsedTimer clock_;
    QTimer quietCheck_;
    QTimer settleTimer_;
    std::deque<Reply> queue_;
    bool dispatchScheduled_ = false;
    std::uint64_t floodDropped_ = 0;
    std::uint8_t lastReadReply_ = 0;
    int consecutiveTimeouts_ = 0;
    bool boxSilent_ = false;
    bool quitting_ = false;
    int waitDepth_ = 0;
    bool depthReported_ = false;
    std::chrono::milliseconds readTimeout_ = kDefaultReadTimeout;
};

}  // namespace lumora::link
