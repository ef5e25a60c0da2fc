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

MapTransfer::MapTransfer(link::Link& link, base::ProgramState& state,
                         base::OperatorMessages& messages, base::HandlerGuard& guard,
                         const WarpMap& map)
    : link_(link), state_(state), messages_(messages), guard_(guard), map_(map) {
    timeOut_.setInterval(kTimeOutIntervalMs);
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
    block_ = 0;
    subBlock_ = 0;
}

void MapTransfer::reportProgress() {
    if (state_.transferState == 0) {
        emit progress(0, 0);
    } else {
        emit progress(sent_, kind_ == Kind::kLive ? kPacketsPerMap : 2 * kPacketsPerMap);
    }
}

void MapTransfer::sendPacket(std::span<const std::uint8_t> packet) {
    link_.send(packet);
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
    sendPacket(block_packet_);
}

void MapTransfer::startLive(int channel) {
    messages_.appendStampedLog(QStringLiteral("Start:"));
    restartLive(channel);
}

void MapTransfer::restartLive(int channel) {
    transferChannel_ = channel;
    resetCounters();
    kind_ = Kind::kLive;
    sent_ = 0;
    state_.transferState = 1;
    SendMapBlock(link::code::kLiveBlock, kTableX);
}

void MapTransfer::onBlockAck(Kind kind) {
    const int state = state_.transferState;
    if ((state != 1 && state != 2) || kind != kind_) {
        return;  // not the reply of a block in flight
    }
    const std::uint8_t command =
        kind == Kind::kLive ? link::code::kLiveBlock : link::code::kSaveBlock;
    timeOut_.stop();
    if (++subBlock_ >= kPartsPerColumn) {
        subBlock_ = 0;
        ++block_;
    }
    if (block_ < WarpMap::kColumns) {
        SendMapBlock(command, state == 1 ? kTableX : kTableY);
        return;
    }
    if (state == 1) {
        resetCounters();
        state_.transferState = 2;
        SendMapBlock(command, kTableY);
        return;
    }
    // The last block of the Y table is in: close the map. The state stays 2
    // until the box confirms, so nothing else starts meanwhile.
    messages_.appendStampedLog(QStringLiteral("Done:"));
    if (kind == Kind::kLive) {
        sendPacket(link::LiveTransferEndPacket(static_cast<std::uint8_t>(transferChannel_)));
    } else {
        sendPacket(link::StoreSlotPacket(static_cast<std::uint8_t>(transferChannel_),
                                         static_cast<std::uint8_t>(savePass_)));
    }
}

void MapTransfer::onLiveEnd() {
    state_.transferState = 0;
    timeOut_.stop();
    reportProgress();
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
        if (state_.transferState != 0) {
            return;
        }
        if (!computeSavePass(0)) {
            return;
        }
        resetCounters();
        kind_ = Kind::kSave;
        sent_ = 0;
        savePass_ = 0;
        state_.transferState = 1;
        transferChannel_ = slot;
        SendMapBlock(link::code::kSaveBlock, kTableX);
    });
}

void MapTransfer::onStoreAck() {
    // Only the store that closes a pass of a running save moves it on: a
    // late one, after a time-out, must not start writing into a slot again.
    if (kind_ != Kind::kSave || state_.transferState == 0) {
        return;
    }
    if (savePass_ == 0) {
        timeOut_.stop();
        if (!computeSavePass(1)) {
            // Channel A is stored; the slot keeps its old Channel B map.
            state_.transferState = 0;
            reportProgress();
            return;
        }
        resetCounters();
        savePass_ = 1;
        state_.transferState = 1;
        SendMapBlock(link::code::kSaveBlock, kTableX);
        return;
    }
    timeOut_.stop();
    state_.transferState = 0;
    messages_.appendLog(QStringLiteral("OK-----"));
    reportProgress();
}

void MapTransfer::TimeOutTimer() {
    timeOut_.stop();
    state_.transferState = 0;
    reportProgress();
    messages_.raiseError(QStringLiteral("TIME OUT!!!!"));
}

void MapTransfer::abandon() {
    timeOut_.stop();
    state_.transferState = 0;
    reportProgress();
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
