#pragma once

// The one object that owns the program-wide state: current channel, connected
// flag, transfer state, the grids and their overlay, the log, and every
// handler's behaviour.
// The window, the command-line tool and the tests all drive this same code.

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/window_state.h"
#include "link/link.h"
#include "warp/grid_model.h"
#include "warp/overlay.h"
#include "warp/register_port.h"
#include "warp/undo_stack.h"

namespace lumora::core {

class Session : public QObject, public warp::RegisterPort {
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
    int pictureWidth() const { return grid_.width(); }
    int pictureHeight() const { return grid_.height(); }
    int blocksAcross() const { return grid_.blocksAcross(); }
    int blocksDown() const { return grid_.blocksDown(); }

    // Both channels' grids and what the box's overlay holds of them.
    warp::GridModel& grid() { return grid_; }
    const warp::GridModel& grid() const { return grid_; }
    warp::GridOverlay& overlay() { return overlay_; }
    const warp::GridOverlay& overlay() const { return overlay_; }

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
    // Register access of the overlay engine. Failures end the waits as send()
    // does; wait() serves the event loop meanwhile.
    void write8(std::uint8_t channel, std::uint8_t reg, std::uint8_t value) override;
    void write16(std::uint8_t channel, std::uint8_t reg, std::uint16_t value) override;
    void write32(std::uint8_t channel, std::uint8_t reg, std::uint32_t value) override;
    std::optional<std::uint8_t> read(std::uint8_t channel, std::uint8_t reg) override;
    void wait(std::chrono::milliseconds duration) override;
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
    // Grid-size buttons "2x2" to "17x17", "Internal Grid", "Show Grid" and the
    // "Warp adjust" pages of Channel A (7) and B (8). All act on the current
    // channel and do nothing for "All".
    void WP2x2Click();
    void WP5x5AClick();
    void WP9x9AClick();
    void WP17x17AClick();
    void InterGridAClick(bool checked);
    void ShowGridAClick(bool checked);
    void TabSheet7Show();
    void TabSheet8Show();

    // Runs a handler body, showing a link error or a stalled overlay engine
    // instead of letting it escape.
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
    void gridSizeClick(std::int32_t gridSize);
    void warpAdjustShow(int channel);
    void initialiseGrids();
    // The window shows the grid settings of channel c as the model holds them.
    void showGridSettings(int c);

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
    warp::GridModel grid_;
    warp::GridOverlay overlay_{*this, grid_};
    std::array<warp::UndoStack, kChannels> undoStacks_;
    QTimer timer1_;
    QTimer timeOut_;
};

}  // namespace lumora::core
