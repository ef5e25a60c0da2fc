#include "core/session.h"

#include <QDateTime>
#include <QLocale>

#include "link/link_error.h"
#include "link/packets.h"

namespace lumora::core {
namespace {

constexpr std::uint8_t kWidthLowRegister = 0x45;
constexpr std::uint8_t kWidthHighRegister = 0x46;
constexpr std::uint8_t kHeightLowRegister = 0x49;
constexpr std::uint8_t kHeightHighRegister = 0x4A;

// Blocks of 16 pixels per axis, truncating toward zero as the box does.
int BlockCount(int pixels) {
    return (pixels - 1) / 16 + 1;
}

QString LocalDateTimeText() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), QLocale::LongFormat);
}

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
    try {
        body();
    } catch (const link::LinkError& error) {
        raiseError(QString::fromStdString(error.what()));
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
    window_.showGrid = {true, true};
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
    guarded([this] { ReadPictureSize(); });
}

void Session::ReadPictureSize() {
    const int widthLow = ReadRegister(0, kWidthLowRegister);
    const int widthHigh = ReadRegister(0, kWidthHighRegister);
    const int heightLow = ReadRegister(0, kHeightLowRegister);
    const int heightHigh = ReadRegister(0, kHeightHighRegister);
    pictureWidth_ = widthLow + 256 * widthHigh;
    pictureHeight_ = heightLow + 256 * heightHigh;
    window_.resolution = QStringLiteral("%1 x %2").arg(pictureWidth_).arg(pictureHeight_);
    blocksAcross_ = BlockCount(pictureWidth_);
    blocksDown_ = BlockCount(pictureHeight_);
    emit windowChanged();
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
