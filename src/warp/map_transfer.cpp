#include "warp/map_transfer.h"

#include <QDir>
#include <QStandardPaths>
#include <array>
#include <vector>

#include "base/whole_files.h"

namespace lumora::warp {
namespace {

constexpr int kTableX = 0;
constexpr int kTableY = 1;

}  // namespace

MapTransfer::MapTransfer(link::Link& link, base::ProgramState& state, base::LongWork& work,
                         base::OperatorMessages& messages, base::HandlerGuard& guard,
                         const WarpMap& map)
    : link_(link), state_(state), work_(work), messages_(messages), guard_(guard), map_(map) {
    timeOut_.setInterval(kTimeOutIntervalMs);
    // A coarse timer may fire 5 % early: each packet has its full second.
    timeOut_.setTimerType(Qt::PreciseTimer);
    timeOut_.setSingleShot(true);
    connect(&timeOut_, &QTimer::timeout, this, &MapTransfer::TimeOutTimer);
    const auto on = [this](std::uint8_t code, auto step) {
        link_.router().route(code, [this, step](const link::Reply&) { guard_.run(step); });
    };
    on(link::code::kLiveBlock, [this] { onBlockAck(Kind::kLive); });
    on(link::code::kLiveEnd, [this] { onLiveEnd(); });
    on(link::code::kSaveBlock, [this] { onBlockAck(Kind::kSave); });
    on(link::code::kSaveStore, [this] { onStoreAck(); });
}

void MapTransfer::resetCounters() {
    table_ = kTableX;
    block_ = 0;
    subBlock_ = 0;
}

void MapTransfer::reportProgress() {
    if (!running()) {
        emit progress(0, 0);
    } else {
        emit progress(sent_, kind_ == Kind::kLive ? kPacketsPerMap : 2 * kPacketsPerMap);
    }
}

void MapTransfer::sendPacket(std::span<const std::uint8_t> packet) {
    try {
        link_.send(packet);
    } catch (...) {
        // Nothing will answer a packet that never left.
        finish(base::WorkEnd::kWriteFailed);
        throw;
    }
    // Each packet has a second to be answered; the timer starts only once
    // the packet is out.
    timeOut_.start();
    ++sent_;
    reportProgress();
}

void MapTransfer::SendMapBlock(std::uint8_t command, int table) {
    const auto& entries = table == kTableX ? map_.x : map_.y;
    const std::size_t first = static_cast<std::size_t>(WarpMap::Index(block_, 0)) +
                              static_cast<std::size_t>(subBlock_) * link::kMapBlockEntries;
    link::BuildMapBlockPacket(block_packet_, command, static_cast<std::uint8_t>(table),
                              static_cast<std::uint8_t>(block_),
                              static_cast<std::uint8_t>(subBlock_ * link::kMapBlockEntries),
                              std::span<const std::int16_t, link::kMapBlockEntries>(
                                  entries.data() + first, link::kMapBlockEntries));
    awaiting_ = Awaiting::kBlock;
    sendPacket(block_packet_);
}

bool MapTransfer::start(Kind kind, int target) {
    const auto id =
        work_.start(kind == Kind::kLive ? base::WorkKind::kLiveTransfer : base::WorkKind::kSave,
                    target, [this](base::WorkEnd) { onEnded(); });
    if (!id) {
        return false;
    }
    id_ = *id;
    kind_ = kind;
    transferChannel_ = target;
    resetCounters();
    sent_ = 0;
    savePass_ = 0;
    return true;
}

bool MapTransfer::startLive(int channel) {
    if (work_.busy()) {
        return false;
    }
    messages_.appendStampedLog(QStringLiteral("Start:"));
    return restartLive(channel);
}

bool MapTransfer::restartLive(int channel) {
    if (!start(Kind::kLive, channel)) {
        return false;
    }
    SendMapBlock(link::code::kLiveBlock, kTableX);
    emit liveStarted(channel);
    return true;
}

bool MapTransfer::fits(std::uint8_t code, Kind kind, Awaiting awaiting) {
    if (running() && kind_ == kind && awaiting_ == awaiting) {
        return true;
    }
    messages_.appendLog(
        QStringLiteral("A reply 0x%1 from the box answers no packet in flight; it was ignored.")
            .arg(QString::number(code, 16).toUpper()));
    return false;
}

void MapTransfer::onBlockAck(Kind kind) {
    const std::uint8_t command =
        kind == Kind::kLive ? link::code::kLiveBlock : link::code::kSaveBlock;
    if (!fits(command, kind, Awaiting::kBlock)) {
        return;
    }
    timeOut_.stop();
    if (++subBlock_ >= kPartsPerColumn) {
        subBlock_ = 0;
        ++block_;
    }
    if (block_ < WarpMap::kColumns) {
        SendMapBlock(command, table_);
        return;
    }
    if (table_ == kTableX) {
        resetCounters();
        table_ = kTableY;
        SendMapBlock(command, kTableY);
        return;
    }
    // The last block of the Y table is in: close the map. The work runs on
    // until the box confirms, so nothing else starts meanwhile.
    messages_.appendStampedLog(QStringLiteral("Done:"));
    awaiting_ = Awaiting::kClosing;
    if (kind == Kind::kLive) {
        sendPacket(link::LiveTransferEndPacket(static_cast<std::uint8_t>(transferChannel_)));
    } else {
        sendPacket(link::StoreSlotPacket(static_cast<std::uint8_t>(transferChannel_),
                                         static_cast<std::uint8_t>(savePass_)));
    }
}

void MapTransfer::onLiveEnd() {
    if (!fits(link::code::kLiveEnd, Kind::kLive, Awaiting::kClosing)) {
        return;
    }
    finish(base::WorkEnd::kCompleted);
}

void MapTransfer::finish(base::WorkEnd how) {
    work_.finish(id_, how);
}

void MapTransfer::onEnded() {
    timeOut_.stop();
    emit progress(0, 0);
}

bool MapTransfer::computeSavePass(int channel) {
    state_.setCurrentChannel(channel);
    const std::optional<WarpFault> fault =
        saveMapSource_ ? saveMapSource_(channel) : std::optional<WarpFault>();
    if (fault) {
        messages_.raiseError(QString::fromStdString(fault->message));
        return false;
    }
    return true;
}

void MapTransfer::SavetoBoxClick(int slot) {
    guard_.run([&] {
        if (work_.busy()) {
            return;
        }
        if (!computeSavePass(0)) {
            return;
        }
        if (!start(Kind::kSave, slot)) {
            return;
        }
        SendMapBlock(link::code::kSaveBlock, kTableX);
    });
}

void MapTransfer::onStoreAck() {
    // Only the store that closes a pass of a running save moves it on: a
    // late one, after a time-out, must not start writing into a slot again.
    if (!fits(link::code::kSaveStore, Kind::kSave, Awaiting::kClosing)) {
        return;
    }
    timeOut_.stop();
    if (savePass_ == 0) {
        if (!computeSavePass(1)) {
            // Channel A is stored; the slot keeps its old Channel B map.
            finish(base::WorkEnd::kRefused);
            return;
        }
        resetCounters();
        savePass_ = 1;
        SendMapBlock(link::code::kSaveBlock, kTableX);
        return;
    }
    messages_.appendLog(QStringLiteral("OK-----"));
    finish(base::WorkEnd::kCompleted);
}

void MapTransfer::TimeOutTimer() {
    timeOut_.stop();
    if (!running()) {
        return;
    }
    finish(base::WorkEnd::kTimedOut);
    messages_.raiseError(QStringLiteral("TIME OUT!!!!"));
}

QString MapTransfer::dumpFolder() {
    if (const QByteArray dir = qgetenv("LUMORA_DUMP_DIR"); !dir.isEmpty()) {
        return QString::fromLocal8Bit(dir);
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/lumora-warp/map-dump");
}

void MapTransfer::Button35Click() {
    const QString folder = dumpFolder();
    if (!QDir().mkpath(folder)) {
        messages_.raiseError(
            QStringLiteral("The map dump could not be written: cannot create %1.").arg(folder));
        return;
    }
    const std::vector<std::uint8_t> x = WarpMap::TableBytes(map_.x);
    const std::vector<std::uint8_t> y = WarpMap::TableBytes(map_.y);
    const std::array<base::WholeFile, 2> files = {{
        {QDir(folder).filePath(QStringLiteral("x.bin")).toStdString(), x},
        {QDir(folder).filePath(QStringLiteral("y.bin")).toStdString(), y},
    }};
    if (const std::string error = base::WriteWholeFiles(files); !error.empty()) {
        messages_.raiseError(QStringLiteral("The map dump could not be written: %1")
                                 .arg(QString::fromStdString(error)));
        return;
    }
    messages_.appendLog(QStringLiteral("Map dump: %1/x.bin, %1/y.bin").arg(folder));
}

}  // namespace lumora::warp
