#pragma once

// The one object that owns the program-wide state: current channel, connected
// flag, transfer state, picture size, the log, and every handler's behaviour.
// The window, the command-line tool and the tests all drive this same code.

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/window_state.h"
#include "link/link.h"
#include "warp/undo_stack.h"

namespace lumora::core {

class Session : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTimer1IntervalMs = 100;
    static constexpr int kTimeOutIntervalMs = 1000;

    explicit Session(std::unique_ptr<link::Transport> transport, QObject* parent = nullptr);
    ~Session() override;

    link::Link& link() { return link_; }
    const WindowState& window() const { return window_; }
    ConnectionState connectionState() const;

    // Current channel: 0 = Channel A, 1 = Channel B, 2 = "All".
    std::uint8_t currentChannel() const { return currentChannel_; }
    void setCurrentChannel(int channel);

    bool connected() const { return connected_; }
    int transferState() const { return transferState_; }
    int pictureWidth() const { return pictureWidth_; }
    int pictureHeight() const { return pictureHeight_; }
    int blocksAcross() const { return blocksAcross_; }
    int blocksDown() const { return blocksDown_; }

    // The port the operator chose in "COM PORT".
    void setSelectedPort(const QString& name) { selectedPort_ = name; }
    const QString& selectedPort() const { return selectedPort_; }

    // The log (Memo1) and the last error shown to the operator.
    const QStringList& log() const { return log_; }
    void appendLog(const QString& line);
    // "Start:" or "Done:" followed directly by the local date and time.
    void appendStampedLog(const QString& prefix);
    const QString& lastError() const { return lastError_; }

    // Packet operations go through here: a failed write ends whatever waits
    // on the box and is reported to the operator by the calling handler.
    void send(std::span<const std::uint8_t> packet);
    std::uint8_t ReadRegister(std::uint8_t channel, std::uint8_t reg);
    // 0x31 for the current channel.
    void SendWarpReset();
    // Sets the transfer state and sends the warp reset; the box's 0x31 reply
    // ends the wait.
    void startWarpReset();

    // Handlers.
    void CNTBtnClick();
    void HandleReply(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2);
    void Timer1Timer();
    void TimeOutTimer();
    void ReadPictureSize();

    // Runs a handler body, showing a link error instead of letting it escape.
    void guarded(const std::function<void()>& body);

    // Per-channel undo of arrow moves (0 = Channel A, 1 = Channel B).
    warp::UndoStack& undoStack(int channel) { return undoStacks_[channel]; }

    QTimer& timer1() { return timer1_; }
    QTimer& timeOut() { return timeOut_; }

  signals:
    void windowChanged();
    void logAppended(const QString& line);
    // An error the operator must see; the window shows it in a message box.
    void errorRaised(const QString& message);
    // Both page controls go back to their first page.
    void pagesReset();

  private:
    void connectPort();
    void disconnectPort();
    void onConnectReply();
    void onLineFailed(const QString& message);
    void endWaitsOnFailure();
    void raiseError(const QString& message);

    // Reply hooks of the warp-map transfer.
    void onLiveBlockAck();
    void onLiveTransferEnd();
    void onSaveBlockAck();
    void onSaveStoreAck();

    link::Link link_;
    WindowState window_;
    QString selectedPort_;
    QStringList log_;
    QString lastError_;
    std::uint8_t currentChannel_ = 0;
    bool connected_ = false;
    bool boxAnswered_ = false;
    int transferState_ = 0;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    int blocksAcross_ = 0;
    int blocksDown_ = 0;
    std::array<warp::UndoStack, kChannels> undoStacks_;
    QTimer timer1_;
    QTimer timeOut_;
};

}  // namespace lumora::core
