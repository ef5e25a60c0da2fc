#pragma once

// The stop-and-wait transfer of the warp map to the box: the live transfer
// of one channel's map (0xE0 blocks, closed by 0xE1), the save of both
// channels' maps into a memory slot (0xE2 blocks, each pass closed by 0xE3),
// the one-second time-out per packet, and the debug dump of the tables.
//
// Each reply of the box sends the next packet. A transfer is long work of
// the owner: it starts only while nothing else runs, and a reply moves it on
// only when it is the reply that the packet in flight waits for. Replies
// carry no identity, so one that does not fit (a block acknowledgement while
// the closing packet waits, a closing reply while a block waits, anything
// after the work ended) ends nothing and is logged.

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

#include "base/handler_guard.h"
#include "base/long_work.h"
#include "base/operator_messages.h"
#include "base/program_state.h"
#include "link/link.h"
#include "link/packets.h"
#include "warp/warp_map.h"

namespace lumora::warp {

class MapTransfer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTimeOutIntervalMs = 1000;
    static constexpr int kPartsPerColumn = 3;
    static constexpr int kBlocksPerTable = WarpMap::kColumns * kPartsPerColumn;  // 375
    // Packets of one channel's map: two tables and the closing packet.
    static constexpr int kPacketsPerMap = 2 * kBlocksPerTable + 1;  // 751

    // Computes a channel's map for a save pass into the shared tables;
    // returns the fault when the computation is refused.
    using SaveMapSource = std::function<std::optional<WarpFault>(int channel)>;

    MapTransfer(link::Link& link, base::ProgramState& state, base::LongWork& work,
                base::OperatorMessages& messages, base::HandlerGuard& guard, const WarpMap& map);

    void setSaveMapSource(SaveMapSource source) { saveMapSource_ = std::move(source); }

    // A live transfer of the tables as they stand to `channel`: the starters
    // (moves, UNDO, corner shifts) have found the owner idle and computed the
    // map. Logs "Start:" with the date and time. False when other work runs.
    bool startLive(int channel);
    // The same without the log line: a settings load starts its transfers so.
    bool restartLive(int channel);
    // A transfer or save of this area runs.
    bool running() const { return work_.isRunning(id_); }

    // "Save to Box" "1" to "10": slot 0 to 9. Channel A's map, then B's.
    void SavetoBoxClick(int slot);
    void TimeOutTimer();
    // Writes both tables to x.bin and y.bin in dumpFolder(), as they stand.
    void Button35Click();
    static QString dumpFolder();

    QTimer& timeOut() { return timeOut_; }
    int blockCounter() const { return block_; }
    int subBlockCounter() const { return subBlock_; }
    int transferChannel() const { return transferChannel_; }
    int savePass() const { return savePass_; }

  signals:
    // Packets sent of `total` (751 for a live transfer, 1,502 for a save);
    // total 0 when no transfer runs.
    void progress(int sent, int total);
    // The tables as they stand are on their way to `channel`: its first
    // block has left.
    void liveStarted(int channel);

  private:
    enum class Kind { kLive, kSave };
    // The reply the packet in flight waits for.
    enum class Awaiting { kBlock, kClosing };

    bool start(Kind kind, int target);
    void SendMapBlock(std::uint8_t command, int table);
    void sendPacket(std::span<const std::uint8_t> packet);
    // Whether a reply with `code` answers the packet in flight; logs it
    // when it does not.
    bool fits(std::uint8_t code, Kind kind, Awaiting awaiting);
    void onBlockAck(Kind kind);
    void onLiveEnd();
    void onStoreAck();
    void finish(base::WorkEnd how);
    // The owner ended the work (completed, Disconnect, a dead line, ...).
    void onEnded();
    bool computeSavePass(int channel);
    void resetCounters();
    void reportProgress();

    link::Link& link_;
    base::ProgramState& state_;
    base::LongWork& work_;
    base::OperatorMessages& messages_;
    base::HandlerGuard& guard_;
    const WarpMap& map_;
    SaveMapSource saveMapSource_;
    QTimer timeOut_;
    // Built in place for every block: a transfer allocates nothing.
    link::MapBlock block_packet_{};
    base::LongWork::Id id_ = 0;
    Kind kind_ = Kind::kLive;
    Awaiting awaiting_ = Awaiting::kBlock;
    int table_ = 0;  // 0 = X, 1 = Y
    int block_ = 0;
    int subBlock_ = 0;
    int transferChannel_ = 0;
    int savePass_ = 0;
    int sent_ = 0;
};

}  // namespace lumora::warp
