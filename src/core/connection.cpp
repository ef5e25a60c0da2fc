#include "core/connection.h"

#include "link/packets.h"

namespace lumora::core {

Connection::Connection(link::Link& link, base::ProgramState& state, base::LongWork& work,
                       base::HandlerGuard& guard, base::OperatorMessages& messages)
    : link_(link), state_(state), work_(work), guard_(guard), messages_(messages) {
    timer1_.setInterval(kTimer1IntervalMs);
    connect(&timer1_, &QTimer::timeout, this, &Connection::Timer1Timer);
    // The connect reply's actions wait on the box (the overlay): they run
    // whole, never inside another handler.
    link_.router().route(link::code::kConnect, [this](const link::Reply&) {
        guard_.runWhole([this] { onConnectReply(); });
    });
    connect(&link_, &link::Link::lineBroke, this, &Connection::onLineBroke);
    // Once per silent spell, in the log and (as the log lies outside the
    // visible area) to the operator.
    connect(&link_, &link::Link::boxWentSilent, this, [this] {
        messages_.appendLog(QStringLiteral(
            "No reply from the box: register reads give 255 at once until it answers again."));
        // A device that babbles between time-outs would otherwise raise a
        // box every few seconds.
        if (!silenceShown_) {
            silenceShown_ = true;
            messages_.raiseError(
                QStringLiteral("The box does not answer. Check the cable and that the box is "
                               "on, then disconnect and connect again."));
        }
    });
}

ConnectionState Connection::state() const {
    if (!state_.connected) {
        return ConnectionState::Disconnected;
    }
    return boxAnswered_ ? ConnectionState::Connected : ConnectionState::PortOpen;
}

void Connection::CNTBtnClick() {
    guard_.run([this] {
        if (state_.connected) {
            disconnectPort();
        } else {
            connectPort();
        }
    });
}

void Connection::connectPort() {
    emit pagesReset();
    link_.setPortName(selectedPort_);
    link_.open();
    link_.clearBuffers();
    link_.send(link::ConnectRequestPacket());
    state_.connected = true;
    sizeFailureShown_ = false;
    silenceShown_ = false;
    view_.connectCaption = QStringLiteral("Disconnect");
    view_.portChoiceEnabled = false;
    emit changed();
}

void Connection::disconnectPort() {
    // Disconnect ends all long work, quietly: the operator asked for it.
    work_.endAll(base::WorkEnd::kDisconnected);
    state_.connected = false;
    boxAnswered_ = false;
    view_.connectCaption = QStringLiteral("Connect");
    // A pending initialisation would only fail on the closed port.
    timer1_.stop();
    link_.close();
    view_.resolution = QStringLiteral("- - - -");
    view_.portChoiceEnabled = true;
    view_.pagesEnabled = false;
    emit pagesReset();
    view_.saveToBoxEnabled = false;
    emit changed();
    emit disconnected();
}

void Connection::onLineBroke(const QString& message) {
    // The port is gone (an adapter pulled out, the box switched off): nothing
    // more can be sent, so return to Disconnected and let the operator
    // connect again.
    work_.endAll(base::WorkEnd::kLineDead);
    guard_.endWaitsOnFailure();
    if (state_.connected) {
        disconnectPort();
    }
    messages_.raiseError(message);
}

void Connection::onConnectReply() {
    boxAnswered_ = true;
    // Switched on, not restarted: replies in quick succession must not keep
    // putting the tick off. One that came while the set-up ran (it waited
    // for it) asks for one more set-up afterwards.
    if (!timer1_.isActive()) {
        timer1_.start();
    }
    view_.pagesEnabled = true;
    view_.saveToBoxEnabled = true;
    emit changed();
    emit boxAnswered();
}

void Connection::Timer1Timer() {
    timer1_.stop();
    guard_.runWhole([this] { initialise(); });
}

void Connection::initialise() {
    if (!state_.connected) {
        return;
    }
    // Work the operator started before the tick (a move, a save) ends
    // first: the set-up's warp resets must not cut it off.
    link_.serveUntil([this] { return !work_.busy(); }, kOtherWorkWait);
    const auto id = work_.start(base::WorkKind::kInitialisation, 0);
    if (!id) {
        messages_.appendLog(QStringLiteral(
            "The set-up after connect did not run: other work on the box did not end."));
        emit setUpEnded(false);
        return;
    }
    const base::LongWork::Scope scope(work_, *id);
    bool sizeRead = false;
    guard_.run([&] {
        if (const auto size = ReadPictureSize(); size && initialise_) {
            sizeRead = true;
            initialise_(*size);
        }
    });
    work_.finish(*id, base::WorkEnd::kCompleted);
    emit setUpEnded(sizeRead);
}

std::optional<link::PictureSize> Connection::ReadPictureSize() {
    const link::PictureSizeRead read = link::ReadPictureSize(link_);
    if (!read.size) {
        // A silent box has been reported already; one message per connection.
        if (!link_.boxSilent() && !sizeFailureShown_) {
            sizeFailureShown_ = true;
            messages_.raiseError(QString::fromLatin1(link::kPictureSizeUnreadText));
        }
        return std::nullopt;
    }
    view_.resolution = QStringLiteral("%1 x %2").arg(read.size->width).arg(read.size->height);
    emit changed();
    return read.size;
}

}  // namespace lumora::core
