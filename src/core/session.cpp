#include "core/session.h"

#include <QDateTime>
#include <QEventLoop>
#include <QLocale>

#include "link/link_error.h"
#include "link/packets.h"

namespace lumora::core {
namespace {

constexpr std::uint8_t kWidthLowRegister = 0x45;
constexpr std::uint8_t kWidthHighRegister = 0x46;
constexpr std::uint8_t kHeightLowRegister = 0x49;
constexpr std::uint8_t kHeightHighRegister = 0x4A;

QString LocalDateTimeText() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), QLocale::LongFormat);
}

const char* const kOverlayStayedBusy =
    "The box did not finish drawing the grid overlay (register 0x66 stayed busy). Check the "
    "box, then show the Warp adjust page again to redraw the grid.";

}  // namespace

Session::Session(std::unique_ptr<link::Transport> transport, QObject* parent)
    : QObject(parent), link_(std::move(transport)) {
    timer1_.setInterval(kTimer1IntervalMs);
    timeOut_.setInterval(kTimeOutIntervalMs);
    connect(&timer1_, &QTimer::timeout, this, &Session::Timer1Timer);
    connect(&timeOut_, &QTimer::timeout, this, &Session::TimeOutTimer);
    connect(&link_, &link::Link::replyReceived, this,
            [this](link::Reply r) { HandleReply(r.code, r.b1, r.b2); });
    // Once per silent spell, in the log and (as the log lies outside the
    // visible area) to the operator.
    connect(&link_, &link::Link::boxWentSilent, this, [this] {
        appendLog(QStringLiteral(
            "No reply from the box: register reads give 255 at once until it answers again."));
        raiseError(
            QStringLiteral("The box does not answer. Check the cable and that the box is "
                           "on, then disconnect and connect again."));
    });
    connect(&link_.transport(), &link::Transport::lineFailed, this, &Session::onLineFailed);
}

Session::~Session() = default;

ConnectionState Session::connectionState() const {
    if (!connected_) {
        return ConnectionState::Disconnected;
    }
    return boxAnswered_ ? ConnectionState::Connected : ConnectionState::PortOpen;
}

void Session::setCurrentChannel(int channel) {
    if (channel >= 0 && channel <= 2) {
        currentChannel_ = static_cast<std::uint8_t>(channel);
    }
}

void Session::appendLog(const QString& line) {
    log_ << line;
    emit logAppended(line);
}

void Session::appendStampedLog(const QString& prefix) {
    appendLog(prefix + LocalDateTimeText());
}

void Session::raiseError(const QString& message) {
    lastError_ = message;
    emit errorRaised(message);
}

void Session::guarded(const std::function<void()>& body) {
    const bool wasConnected = connected_;
    try {
        body();
    } catch (const link::LinkError& error) {
        // The port was closed under a handler that waited (the operator
        // disconnected meanwhile, or the line broke and said so): that it can
        // no longer reach the box is no news.
        if (wasConnected && !connected_) {
            return;
        }
        raiseError(QString::fromStdString(error.what()));
    } catch (const warp::OverlayStalled& stall) {
        // A box that does not answer at all has been reported by the link.
        if (stall.reason() == warp::OverlayStalled::Reason::kStayedBusy) {
            raiseError(QString::fromLatin1(kOverlayStayedBusy));
        }
    }
}

void Session::endWaitsOnFailure() {
    // Nothing will answer a packet that never left: end the wait as a time-out
    // would, so that moves, resets and saves are not blocked for good.
    timeOut_.stop();
    transferState_ = 0;
}

void Session::send(std::span<const std::uint8_t> packet) {
    try {
        link_.send(packet);
    } catch (const link::LinkError&) {
        endWaitsOnFailure();
        throw;
    }
}

std::uint8_t Session::ReadRegister(std::uint8_t channel, std::uint8_t reg) {
    try {
        return link_.ReadRegister(channel, reg);
    } catch (const link::LinkError&) {
        endWaitsOnFailure();
        throw;
    }
}

void Session::write8(std::uint8_t channel, std::uint8_t reg, std::uint8_t value) {
    send(link::WriteRegister8Packet(channel, reg, value));
}

void Session::write16(std::uint8_t channel, std::uint8_t reg, std::uint16_t value) {
    send(link::WriteRegister16Packet(channel, reg, value));
}

void Session::write32(std::uint8_t channel, std::uint8_t reg, std::uint32_t value) {
    send(link::WriteRegister32Packet(channel, reg, value));
}

std::optional<std::uint8_t> Session::read(std::uint8_t channel, std::uint8_t reg) {
    try {
        return link_.readRegisterChecked(channel, reg);
    } catch (const link::LinkError&) {
        endWaitsOnFailure();
        throw;
    }
}

void Session::wait(std::chrono::milliseconds duration) {
    // Like a register read's wait: replies and the window are served meanwhile.
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

void Session::SendWarpReset() {
    send(link::WarpResetPacket(currentChannel_));
}

void Session::startWarpReset() {
    transferState_ = 1;
    SendWarpReset();
}

void Session::CNTBtnClick() {
    guarded([this] {
        if (connected_) {
            disconnectPort();
        } else {
            connectPort();
        }
    });
}

void Session::connectPort() {
    emit pagesReset();
    link_.setPortName(selectedPort_);
    link_.open();
    link_.clearBuffers();
    send(link::ConnectRequestPacket());
    connected_ = true;
    window_.connectCaption = QStringLiteral("Disconnect");
    window_.portChoiceEnabled = false;
    emit windowChanged();
}

void Session::disconnectPort() {
    connected_ = false;
    boxAnswered_ = false;
    window_.connectCaption = QStringLiteral("Connect");
    // A pending initialisation would only fail on the closed port.
    timer1_.stop();
    link_.close();
    window_.resolution = QStringLiteral("- - - -");
    window_.portChoiceEnabled = true;
    window_.pagesEnabled = false;
    emit pagesReset();
    window_.saveToBoxEnabled = false;
    emit windowChanged();
}

void Session::onLineFailed(const QString& message) {
    // The port is gone (an adapter pulled out): nothing more can be sent, so
    // return to Disconnected and let the operator connect again.
    endWaitsOnFailure();
    if (connected_) {
        disconnectPort();
    }
    raiseError(message);
}

void Session::HandleReply(std::uint8_t b0, std::uint8_t b1, std::uint8_t /*b2*/) {
    guarded([&] {
        switch (b0) {
            case link::code::kLiveBlock:
                onLiveBlockAck();
                break;
            case link::code::kLiveEnd:
                onLiveTransferEnd();
                break;
            case link::code::kRead:
                link_.completeRead(b1);
                break;
            case link::code::kConnect:
                onConnectReply();
                break;
            case link::code::kWarpReset:
                transferState_ = 0;
                break;
            case link::code::kSaveBlock:
                onSaveBlockAck();
                break;
            case link::code::kSaveStore:
                onSaveStoreAck();
                break;
            default:
                break;  // not a reply the tool knows
        }
    });
}

void Session::onConnectReply() {
    boxAnswered_ = true;
    timer1_.start();
    window_.pagesEnabled = true;
    window_.saveToBoxEnabled = true;
    // Checking a "Show Grid" box runs its handler, on whichever channel is
    // current, as a click on it would.
    for (int box = 0; box < kChannels; ++box) {
        if (!window_.showGrid[box]) {
            window_.showGrid[box] = true;
            ShowGridAClick(true);
        }
    }
    window_.gridSizeButton = {0, 0};
    window_.internalGrid = {false, false};
    for (warp::UndoStack& stack : undoStacks_) {
        stack.clear();
    }
    window_.cornerShift.fill(0);
    emit windowChanged();
}

void Session::Timer1Timer() {
    timer1_.stop();
    guarded([this] {
        ReadPictureSize();
        initialiseGrids();
    });
}

void Session::ReadPictureSize() {
    const int widthLow = ReadRegister(0, kWidthLowRegister);
    const int widthHigh = ReadRegister(0, kWidthHighRegister);
    const int heightLow = ReadRegister(0, kHeightLowRegister);
    const int heightHigh = ReadRegister(0, kHeightHighRegister);
    grid_.setPictureSize(widthLow + 256 * widthHigh, heightLow + 256 * heightHigh);
    window_.resolution = QStringLiteral("%1 x %2").arg(grid_.width()).arg(grid_.height());
    emit windowChanged();
}

void Session::initialiseGrids() {
    for (int c = 0; c < kChannels; ++c) {
        warp::ChannelGrid& channel = grid_.channel(c);
        channel.gridSize = warp::kGrid2x2;
        channel.internalGrid = 0;
        channel.showGrid = 1;
        channel.currentColumn = 0;
        channel.currentRow = 0;
        overlay_.setShownSelection(c, {0, 0});
    }
    grid_.transform() = {.scaleX = 1.0f, .scaleY = 1.0f, .offsetX = 0.0f, .offsetY = 0.0f};
    grid_.recordedGridSize = warp::kGrid2x2;
    grid_.recordedInternalGrid = 0;
    for (const int c : {1, 0}) {
        currentChannel_ = static_cast<std::uint8_t>(c);
        grid_.ApplyGridSize(c, grid_.channel(c).gridSize);
        grid_.ResetGrid(c);
    }
    for (int c = 0; c < kChannels; ++c) {
        showGridSettings(c);
    }
    emit windowChanged();
}

void Session::showGridSettings(int c) {
    const warp::ChannelGrid& channel = grid_.channel(c);
    window_.gridSizeButton[c] = channel.gridSize;
    window_.internalGrid[c] = channel.internalGrid != 0;
    window_.showGrid[c] = channel.showGrid != 0;
}

void Session::WP2x2Click() {
    gridSizeClick(warp::kGrid2x2);
}

void Session::WP5x5AClick() {
    gridSizeClick(warp::kGrid5x5);
}

void Session::WP9x9AClick() {
    gridSizeClick(warp::kGrid9x9);
}

void Session::WP17x17AClick() {
    gridSizeClick(warp::kGrid17x17);
}

void Session::gridSizeClick(std::int32_t gridSize) {
    const int c = currentChannel_;
    if (warp::GridModel::isGridChannel(c)) {
        grid_.ApplyGridSize(c, gridSize);
        showGridSettings(c);
    }
    // Also for "All": the window goes back to what the model holds.
    emit windowChanged();
    guarded([&] { overlay_.RebuildOverlay(c, true); });
}

void Session::InterGridAClick(bool checked) {
    const int c = currentChannel_;
    if (warp::GridModel::isGridChannel(c)) {
        warp::ChannelGrid& channel = grid_.channel(c);
        channel.internalGrid = checked ? 1 : 0;
        grid_.ApplyGridSize(c, channel.gridSize);
        showGridSettings(c);
    }
    emit windowChanged();
    guarded([&] { overlay_.UpdateOverlay(c, true); });
}

void Session::ShowGridAClick(bool checked) {
    const int c = currentChannel_;
    if (warp::GridModel::isGridChannel(c)) {
        grid_.channel(c).showGrid = checked ? 1 : 0;
        showGridSettings(c);
    }
    emit windowChanged();
    guarded([&] { overlay_.UpdateOverlay(c, true); });
}

void Session::TabSheet7Show() {
    warpAdjustShow(0);
}

void Session::TabSheet8Show() {
    warpAdjustShow(1);
}

void Session::warpAdjustShow(int channel) {
    setCurrentChannel(channel);
    if (connected_) {
        guarded([&] {
            overlay_.FullClear(channel);
            overlay_.RebuildOverlay(channel, true);
        });
    }
}

void Session::TimeOutTimer() {
    timeOut_.stop();
    transferState_ = 0;
    raiseError(QStringLiteral("TIME OUT!!!!"));
}

void Session::onLiveBlockAck() {}

void Session::onLiveTransferEnd() {
    transferState_ = 0;
    timeOut_.stop();
}

void Session::onSaveBlockAck() {}

void Session::onSaveStoreAck() {}

}  // namespace lumora::core
