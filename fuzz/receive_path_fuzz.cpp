// Any bytes at all as what the box sends, while the session is idle,
// connecting, initialising after the connect, sending a map, uploading
// uniformity or drawing the grid overlay. Nothing may crash or hang, and the
// session must come out of it in a state it can go on from.
//
// Input: byte 0 picks the phase; byte 1 is its variant: bit 0 the channel,
// bits 1-2 the grid size, bits 3-5 what the phase does, bits 6-7 the picture
// size. The rest is the box's side, in batches. Each batch starts with a
// header byte: its low six bits are the batch length, its top two bits when it
// goes on the line: on the next turn of the event loop (0), after the host's
// next packet (2) or next register read (3), or (1) once after each of the
// host's next packets, as many as the byte after the batch says (1 to 256):
// a short input can so answer a whole map table. Once the input is used up
// the line breaks, so that every wait on the box ends there and then: a run
// lasts as long as its input, never as long as a time-out.

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "core/session.h"
#include "link/pipe_transport.h"
#include "session_on_pipe.h"

namespace {

using namespace lumora;

enum class Phase {
    kIdle,
    kConnecting,
    kInitialising,
    kLiveMove,
    kSaveToBox,
    kUniformity,
    kOverlay,
    kCount
};

enum class When { kNextTurn, kEveryPacket, kAfterPacket, kAfterRead };

// A batch whose moment does not come is sent anyway after this many turns.
constexpr int kPatience = 4;
// Well above what a run takes, so that no read times out while input is left.
constexpr std::chrono::milliseconds kReadTimeout{250};
// Packets the pipe keeps for inspection; this harness looks at none of them.
constexpr std::size_t kKeptPackets = 64;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Serves the event loop a bounded number of times.
void Serve(int turns) {
    for (int i = 0; i < turns; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// The box's side of the line, played from the input.
class Box {
  public:
    Box(link::PipeTransport& pipe, std::span<const std::uint8_t> script)
        : pipe_(pipe), script_(script) {
        pipe_.setPeer([this](const link::Bytes& packet) { onHostPacket(packet); });
        turn_.setInterval(0);
        QObject::connect(&turn_, &QTimer::timeout, [this] { onTurn(); });
    }
    ~Box() { pipe_.setPeer({}); }

    void start() { turn_.start(); }
    bool done() const { return done_; }

  private:
    When when() const { return static_cast<When>(script_[0] >> 6); }

    void onHostPacket(const link::Bytes& packet) {
        if (pipe_.written().size() > kKeptPackets) {
            pipe_.clearWritten();
        }
        if (done_ || script_.empty()) {
            return;
        }
        const bool read = packet.size() > 1 && packet[1] == 0x21;
        switch (when()) {
            case When::kNextTurn:
                return;
            case When::kEveryPacket:
                answerPacket();
                return;
            case When::kAfterPacket:
                sendBatch();
                return;
            case When::kAfterRead:
                if (read) {
                    sendBatch();
                }
                return;
        }
    }

    void onTurn() {
        if (done_) {
            return;
        }
        if (script_.empty()) {
            finish();
            return;
        }
        if (when() == When::kNextTurn) {
            sendBatch();
        } else if (++waited_ >= kPatience) {
            // The host has gone quiet: the rest of an answering batch is
            // dropped, a waiting one goes out all the same.
            if (when() == When::kEveryPacket) {
                skipBatch();
            } else {
                sendBatch();
            }
        }
    }

    std::size_t batchLength() const {
        return std::min<std::size_t>(script_[0] & 0x3F, script_.size() - 1);
    }

    link::Bytes takeBatch() {
        const std::size_t length = batchLength();
        link::Bytes batch(script_.begin() + 1, script_.begin() + 1 + length);
        script_ = script_.subspan(1 + length);
        waited_ = 0;
        return batch;
    }

    void sendBatch() {
        const link::Bytes batch = takeBatch();
        if (!batch.empty()) {
            pipe_.deliverFromPeer(batch);
        }
    }

    // One more answer of a kEveryPacket batch; its count follows the batch.
    void answerPacket() {
        const std::size_t length = batchLength();
        const std::size_t countAt = 1 + length;
        const int count = countAt < script_.size() ? script_[countAt] + 1 : 1;
        if (length > 0) {
            pipe_.deliverFromPeer(link::Bytes(script_.begin() + 1, script_.begin() + 1 + length));
        }
        waited_ = 0;
        if (++answered_ >= count) {
            skipBatch();
        }
    }

    void skipBatch() {
        const std::size_t length = batchLength();
        script_ = script_.subspan(std::min(script_.size(), 2 + length));
        answered_ = 0;
        waited_ = 0;
    }

    void finish() {
        done_ = true;
        turn_.stop();
        pipe_.breakLine(QStringLiteral("The box is gone."));
    }

    link::PipeTransport& pipe_;
    std::span<const std::uint8_t> script_;
    QTimer turn_;
    int waited_ = 0;
    int answered_ = 0;
    bool done_ = false;
};

// Connected as after a 0x30 answer, with the picture size and grids that the
// initialisation after connect would set, without its overlay rebuild: that
// waits on the clock, and every run would pay for it.
void Connect(core::Session& session, link::PipeTransport& pipe, std::uint8_t variant) {
    pipe.setPeer([&pipe](const link::Bytes& packet) {
        if (packet.size() > 1 && packet[1] == 0x21) {
            pipe.deliverFromPeer({0x21, 0x00, 0x00});  // every fill done at once
        }
    });
    session.connection().CNTBtnClick();
    pipe.deliverFromPeer({0x30, 0x12, 0x34});
    for (int i = 0; i < 100 && session.connection().state() != core::ConnectionState::Connected;
         ++i) {
        Serve(1);
    }
    Check(session.connection().state() == core::ConnectionState::Connected);
    session.connection().timer1().stop();
    warp::GridModel& grid = session.grid();
    // Mostly small pictures: a move or a save computes the map first, and its
    // cost grows with the picture while the transfer is the same for all.
    constexpr std::array<std::array<int, 2>, 4> kSizes{
        {{320, 240}, {640, 360}, {800, 600}, {1920, 1080}}};
    const auto& size = kSizes[variant >> 6];
    grid.setPictureSize(size[0], size[1]);
    grid.transform() = {.scaleX = 1.0f, .scaleY = 1.0f, .offsetX = 0.0f, .offsetY = 0.0f};
    for (const int c : {1, 0}) {
        grid.channel(c).showGrid = 1;
        grid.ApplyGridSize(c, (variant >> 1) & 3);
        grid.ResetGrid(c);
    }
    session.maps().setIdentity();
    session.uniformity().resetTables();
    session.uniformity().resetCursors();
    pipe.setPeer({});
    pipe.clearWritten();
}

// Starts what the phase waits on; some of it runs (and takes its replies)
// before this returns.
void StartPhase(core::Session& session, Phase phase, std::uint8_t variant) {
    const int channel = variant & 1;
    warp::GridEditing& editing = session.gridEditing();
    switch (phase) {
        case Phase::kIdle:
        case Phase::kCount:
            return;
        case Phase::kConnecting:
            session.connection().CNTBtnClick();
            return;
        case Phase::kInitialising:
            // Timer1's tick, without waiting 100 ms for it: the size reads,
            // the coefficient set and the overlay rebuild.
            session.connection().Timer1Timer();
            return;
        case Phase::kLiveMove:
            session.setCurrentChannel(channel);
            editing.GridArrowDown(static_cast<warp::MoveDirection>((variant >> 3) & 3));
            editing.GridArrowUp();
            return;
        case Phase::kSaveToBox:
            session.mapTransfer().SavetoBoxClick((variant >> 3) % 10);
            return;
        case Phase::kUniformity:
            session.setCurrentChannel(channel);
            if ((variant & 8) != 0) {
                session.uniformity().ResetUniformityClick(channel);
            } else {
                session.uniformity().UploadUniformityGrid();
            }
            return;
        case Phase::kOverlay:
            session.setCurrentChannel(channel);
            switch ((variant >> 3) & 7) {
                case 0:
                    editing.WP5x5AClick();
                    return;
                case 1:
                    editing.WP17x17AClick();
                    return;
                case 2:
                    editing.TabSheet8Show();
                    return;
                case 3:
                    session.uniformity().TabSheet9Show();
                    return;
                case 4:
                    editing.InterGridAClick(true);
                    return;
                case 5:
                    editing.ShowGridAClick(false);
                    return;
                default:
                    editing.BitBtn3Click();  // the selection one column on
                    return;
            }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "receive_path_fuzz";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    if (size < 2) {
        return 0;
    }
    const auto phase = static_cast<Phase>(data[0] % static_cast<int>(Phase::kCount));
    const std::uint8_t variant = data[1];

    testing::SessionOnPipe fixture;
    core::Session& session = *fixture.session;
    link::PipeTransport& pipe = *fixture.pipe;
    session.connection().setSelectedPort(QStringLiteral("pipe"));
    session.link().setReadTimeout(kReadTimeout);
    if (phase != Phase::kConnecting) {
        Connect(session, pipe, variant);
    }

    Box box(pipe, std::span(data + 2, size - 2));
    box.start();
    StartPhase(session, phase, variant);
    // Each turn sends a batch or brings one closer to its patience running
    // out, so this ends.
    while (!box.done()) {
        Serve(1);
    }
    Serve(4);

    // The broken line has ended everything: nothing waits, nothing is
    // queued, and no transfer is left to block the starters.
    Check(session.connection().state() == core::ConnectionState::Disconnected);
    Check(!session.link().isOpen());
    Check(session.link().waitDepth() == 0);
    Check(session.link().queuedReplies() == 0);
    Check(session.link().readsWaiting() == 0);
    Check(!session.work().busy());
    Check(!session.mapTransfer().timeOut().isActive());
    return 0;
}
