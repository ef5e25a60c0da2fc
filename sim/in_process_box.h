#pragma once

// The virtual box inside the test process, on the far end of a PipeTransport.
// Every reply goes back through the event loop at the time the fault plan
// gives it, never from inside the host's write().

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include "link/pipe_transport.h"
#include "sim/box_config.h"
#include "sim/outbox.h"
#include "sim/virtual_box.h"

namespace lumora::sim {

class InProcessBox : public QObject {
    Q_OBJECT
  public:
    InProcessBox(link::PipeTransport& pipe, BoxConfig config, QObject* parent = nullptr);
    ~InProcessBox() override;

    BoxModel& model() { return box_.model(); }
    const BoxModel& model() const { return box_.model(); }
    const BoxConfig& config() const { return config_; }
    // Writes planned but not yet handed to the pipe.
    std::size_t pendingWrites() const { return outbox_.size(); }

  private:
    void onHostWrite(const link::Bytes& bytes);
    void deliverDue();
    void schedule();
    std::chrono::microseconds now() const;

    QPointer<link::PipeTransport> pipe_;
    BoxConfig config_;
    VirtualBox box_;
    QElapsedTimer clock_;
    QTimer timer_;
    Outbox outbox_;
};

}  // namespace lumora::sim
