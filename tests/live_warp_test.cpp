// Point moves, UNDO, RESET, corner shifts and saves sent to the virtual box
// over the in-memory pipe: the exact packets, the guard of the transfer
// state, a lost reply, a failing line, and refused maps taken back.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <QTemporaryDir>
#include <algorithm>

#include "core/session.h"
#include "link/packets.h"
#include "link/pipe_transport.h"
#include "scripted_peer.h"
#include "session_on_pipe.h"
#include "sim/in_process_box.h"
#include "warp/coefficient_set.h"

namespace lumora {
namespace {

using link::Bytes;
using testing::ServeFor;
using testing::ServeUntil;
using warp::MoveDirection;
using warp::PointIndex;
using Packets = std::vector<Bytes>;
using core::Connection;

// The box's tables of a map as the tool holds it.
bool SameMap(const sim::MapTables& box, const warp::WarpMap& map) {
    for (int a = 0; a < warp::WarpMap::kColumns; ++a) {
        for (int b = 0; b < warp::WarpMap::kRows; ++b) {
            const int i = warp::WarpMap::Index(a, b);
            if (box.at(0, a, b) != map.x[static_cast<std::size_t>(i)] ||
                box.at(1, a, b) != map.y[static_cast<std::size_t>(i)]) {
                return false;
            }
        }
    }
    return true;
}

class LiveWarpTest : public ::testing::Test, public testing::SessionOnPipe {
  protected:
    LiveWarpTest() {
        session->link().setReadTimeout(std::chrono::milliseconds(300));
        session->connection().setSelectedPort("pipe");
        sim::BoxConfig config;
        config.model.fillBusy = std::chrono::milliseconds(0);
        box = std::make_unique<sim::InProcessBox>(*pipe, config);
        session->connection().CNTBtnClick();
        EXPECT_TRUE(ServeUntil([&] { return box->model().packetsWithCode(0x31).size() == 2; }));
        ServeFor(20);
        box->model().clearPackets();
        pipe->clearWritten();
    }

    warp::GridEditing& editing() { return session->gridEditing(); }
    warp::ChannelGrid& channel(int c) { return session->grid().channel(c); }
    bool idle() const { return !session->work().busy(); }
    bool waitIdle(int boundMs = 5000) {
        return ServeUntil([&] { return idle(); }, boundMs);
    }
    std::size_t written() const { return pipe->written().size(); }

    std::unique_ptr<sim::InProcessBox> box;
};

TEST_F(LiveWarpTest, AMoveOfChannelBReachesTheBoxBlockByBlock) {
    session->setCurrentChannel(1);
    editing().GridRightClick();
    EXPECT_TRUE(session->work().busy());
    EXPECT_TRUE(session->messages().log().back().startsWith("Start:"));
    // The first block: column 0, entries 0..25 of the X table.
    const Bytes& first = pipe->written().front();
    ASSERT_EQ(first.size(), 58u);
    EXPECT_EQ(Bytes(first.begin(), first.begin() + 5), (Bytes{0x3A, 0xE0, 0x00, 0x00, 0x00}));
    const warp::WarpMap& map = session->maps().map();
    EXPECT_EQ(first[5] | first[6] << 8, static_cast<std::uint16_t>(map.x[0]));
    EXPECT_EQ(first[57], link::PacketChecksum(std::span(first.data(), 57)));

    ASSERT_TRUE(waitIdle());
    const Packets blocks = box->model().packetsWithCode(0xE0);
    ASSERT_EQ(blocks.size(), 750u);
    EXPECT_TRUE(std::all_of(blocks.begin(), blocks.begin() + 375,
                            [](const Bytes& p) { return p[2] == 0; }));
    EXPECT_TRUE(
        std::all_of(blocks.begin() + 375, blocks.end(), [](const Bytes& p) { return p[2] == 1; }));
    // The third part of column 5 of the Y table.
    EXPECT_EQ(Bytes(blocks[375 + 5 * 3 + 2].begin(), blocks[375 + 5 * 3 + 2].begin() + 5),
              (Bytes{0x3A, 0xE0, 0x01, 0x05, 0x34}));
    EXPECT_EQ(box->model().packetsWithCode(0xE1), (Packets{{0x04, 0xE1, 0x01, 0xE6}}));
    ASSERT_TRUE(box->model().liveMap(1));
    EXPECT_TRUE(SameMap(*box->model().liveMap(1), map));
    EXPECT_TRUE(session->messages().log().back().startsWith("Done:"));
    EXPECT_EQ(channel(1).points[0].x, 16.0f);
    EXPECT_EQ(editing().undoStack(1).depth(), 1u);
}

TEST_F(LiveWarpTest, SaveToBoxStoresAThenBInTheSlot) {
    session->setCurrentChannel(0);
    editing().GridDownClick();
    ASSERT_TRUE(waitIdle());
    box->model().clearPackets();

    for (const auto& [slot, closing] :
         {std::pair{0, Packets{{0x05, 0xE3, 0x00, 0x00, 0xE8}, {0x05, 0xE3, 0x00, 0x01, 0xE9}}},
          {9, Packets{{0x05, 0xE3, 0x09, 0x00, 0xF1}, {0x05, 0xE3, 0x09, 0x01, 0xF2}}}}) {
        session->mapTransfer().SavetoBoxClick(slot);
        ASSERT_TRUE(waitIdle(10000));
        EXPECT_EQ(box->model().packetsWithCode(0xE3), closing) << slot;
        EXPECT_EQ(box->model().packetsWithCode(0xE2).size(), 1500u);
        EXPECT_EQ(session->messages().log().back(), "OK-----");
        EXPECT_EQ(session->currentChannel(), 1);
        box->model().clearPackets();
    }
    // The slot holds both channels' maps without the corner shift: B's is
    // the map last computed; A's moved point went down by 16.
    ASSERT_TRUE(box->model().slot(9, 1));
    EXPECT_TRUE(SameMap(*box->model().slot(9, 1), session->maps().map()));
    ASSERT_TRUE(box->model().slot(9, 0));
    EXPECT_FALSE(*box->model().slot(9, 0) == *box->model().slot(9, 1));
}

TEST_F(LiveWarpTest, AStarterDuringATransferChangesNothingAtAll) {
    session->setCurrentChannel(0);
    editing().GridRightClick();
    const std::size_t packets = written();
    const int logLines = static_cast<int>(session->messages().log().size());
    const warp::GridPoints points = channel(0).points;
    editing().GridLeftClick();
    editing().Button15Click(0);
    editing().Button7Click();
    session->cornerShift().ShiftClick(0, warp::kTopLeft, warp::Axis::kX, -1);
    session->mapTransfer().SavetoBoxClick(0);
    EXPECT_EQ(written(), packets);
    EXPECT_EQ(session->messages().log().size(), logLines);
    EXPECT_EQ(channel(0).points, points);
    EXPECT_EQ(editing().undoStack(0).depth(), 1u);
    EXPECT_EQ(session->cornerShift().counters(), warp::CornerShiftCounters{});
    ASSERT_TRUE(waitIdle());
}

TEST_F(LiveWarpTest, OneLostReplyTimesOutOnceAndTheNextClickStartsAtColumnZero) {
    // A box that answers every block but the tenth.
    int blocks = 0;
    pipe->setPeer([&](const Bytes& packet) {
        if (packet[1] == 0xE0 && ++blocks != 10) {
            pipe->deliverFromPeer({0xE0, 0x00, 0x00});
        }
    });
    session->mapTransfer().timeOut().setInterval(200);
    const int errors = session->messages().errorsRaised();
    session->setCurrentChannel(0);
    editing().GridRightClick();
    ASSERT_TRUE(waitIdle());
    ServeFor(400);
    EXPECT_EQ(session->messages().errorsRaised(), errors + 1);
    EXPECT_EQ(session->messages().lastError(), "TIME OUT!!!!");
    EXPECT_EQ(written(), 10u);

    pipe->clearWritten();
    session->cornerShift().ShiftClick(0, warp::kTopRight, warp::Axis::kY, 1);
    ASSERT_EQ(written(), 1u);
    EXPECT_EQ(Bytes(pipe->written()[0].begin(), pipe->written()[0].begin() + 5),
              (Bytes{0x3A, 0xE0, 0x00, 0x00, 0x00}));
}

TEST_F(LiveWarpTest, APacketThatCannotBeWrittenEndsTheTransferWithOneMessage) {
    session->setCurrentChannel(0);
    editing().GridRightClick();
    pipe->failWritesWith("WriteFile function failed (Error: 5)");
    ASSERT_TRUE(waitIdle());
    ServeFor(50);
    EXPECT_EQ(session->messages().lastError(), "WriteFile function failed (Error: 5)");
    EXPECT_EQ(session->messages().errorsRaised(), 1);
    EXPECT_FALSE(session->mapTransfer().timeOut().isActive());
}

TEST_F(LiveWarpTest, ARefusedMoveIsTakenBackAndSendsNothing) {
    // 17x17: point (1, 0) at x = 120 moved left by 60 twice lands on (0, 0).
    session->setCurrentChannel(0);
    editing().WP17x17AClick();
    editing().BitBtn3Click();
    ASSERT_EQ(channel(0).currentColumn, 1);
    editing().TBStepChange(0, 60);
    editing().GridLeftClick();
    ASSERT_TRUE(waitIdle());
    pipe->clearWritten();
    const int errors = session->messages().errorsRaised();

    editing().GridLeftClick();
    EXPECT_EQ(written(), 0u);
    EXPECT_TRUE(idle());
    EXPECT_EQ(channel(0).points[PointIndex(1, 0)].x, 60.0f);
    EXPECT_EQ(editing().undoStack(0).depth(), 1u);
    EXPECT_EQ(session->messages().errorsRaised(), errors + 1);
    EXPECT_NE(session->messages().lastError().indexOf("points (0, 0) and (1, 0) of Channel A"), -1)
        << session->messages().lastError().toStdString();
}

TEST_F(LiveWarpTest, UndoTakesEachMoveBackByItsOwnStep) {
    session->setCurrentChannel(0);
    editing().WP17x17AClick();
    editing().BitBtn3Click();  // (1, 0)
    editing().TBStepChange(0, 64);
    editing().GridUpClick();
    ASSERT_TRUE(waitIdle());
    editing().TBStepChange(0, 5);
    editing().GridRightClick();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(channel(0).points[PointIndex(1, 0)], (warp::ControlPoint{125.0f, -64.0f}));

    editing().BitBtn3Click();  // another point selected meanwhile
    editing().Button15Click(0);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(channel(0).points[PointIndex(1, 0)], (warp::ControlPoint{120.0f, -64.0f}));
    EXPECT_EQ(channel(0).currentColumn, 1);
    editing().Button15Click(0);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(channel(0).points[PointIndex(1, 0)], (warp::ControlPoint{120.0f, 0.0f}));
    EXPECT_TRUE(editing().undoStack(0).empty());
}

TEST_F(LiveWarpTest, HoldingAnArrowRepeatsItsMoveAfterEachTransfer) {
    session->setCurrentChannel(1);
    editing().GridArrowDown(MoveDirection::kDown);
    ASSERT_TRUE(ServeUntil([&] { return editing().undoStack(1).depth() == 2; }, 5000));
    editing().GridArrowUp();
    ASSERT_TRUE(waitIdle());
    ServeFor(700);
    EXPECT_EQ(editing().undoStack(1).depth(), 2u);
    EXPECT_EQ(channel(1).points[0].y, 32.0f);
}

TEST_F(LiveWarpTest, CornerShiftByTensOnChannelB) {
    session->cornerShift().setX10(1, warp::kTopLeft, true);
    const float base = channel(1).cornerBase[warp::kTopLeft].x;
    for (int click = 0; click < 3; ++click) {
        session->cornerShift().ShiftClick(1, warp::kTopLeft, warp::Axis::kX, -1);
        ASSERT_TRUE(waitIdle());
    }
    const auto& counters = session->cornerShift().counters();
    EXPECT_EQ(counters[static_cast<std::size_t>(
                  warp::CornerShiftIndex(warp::kTopLeft, warp::Axis::kX, 1))],
              -30);
    EXPECT_EQ(channel(1).shiftedCorners[warp::kTopLeft].x, base - 30.0f);
    EXPECT_EQ(box->model().packetsWithCode(0xE1).back(), (Bytes{0x04, 0xE1, 0x01, 0xE6}));
    EXPECT_TRUE(SameMap(*box->model().liveMap(1), session->maps().map()));
}

TEST_F(LiveWarpTest, ResetWaitsAtMostTwoSecondsForTheBox) {
    // A box that answers its register reads but never the warp reset.
    pipe->setPeer([&](const Bytes& packet) {
        if (packet[1] == 0x21) {
            pipe->deliverFromPeer({0x21, 0x00, 0x00});
        }
    });
    session->setCurrentChannel(0);
    // RESET's handler waits for the confirmation; look in while it waits.
    bool busyWhileWaiting = false;
    Bytes lastWhileWaiting;
    QTimer::singleShot(500, [&] {
        busyWhileWaiting = session->work().busy();
        lastWhileWaiting = pipe->written().back();
    });
    QElapsedTimer clock;
    clock.start();
    editing().Button7Click();
    EXPECT_TRUE(busyWhileWaiting);
    EXPECT_EQ(lastWhileWaiting, (Bytes{0x04, 0x31, 0x00, 0x35}));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(idle());
    EXPECT_TRUE(
        session->messages().lastError().startsWith("The box did not confirm the warp reset"));
}

TEST_F(LiveWarpTest, AUniformityResetOfChannelBWaitsForTheTransferOfChannelA) {
    session->setCurrentChannel(0);
    editing().GridRightClick();
    session->setCurrentChannel(1);
    session->uniformity().ResetUniformityClick(1);

    // The transfer went through whole and the box took its map; then came
    // the reset's 7,044 writes, none of them between the blocks.
    EXPECT_EQ(box->model().packetsWithCode(0xE0).size(), 750u);
    EXPECT_EQ(box->model().packetsWithCode(0xE1), (Packets{{0x04, 0xE1, 0x00, 0xE5}}));
    ASSERT_TRUE(box->model().liveMap(0));
    EXPECT_TRUE(SameMap(*box->model().liveMap(0), session->maps().map()));
    const auto& packets = box->model().packets();
    const auto closing =
        std::find_if(packets.begin(), packets.end(),
                     [](const sim::ReceivedPacket& p) { return p.bytes[1] == 0xE1; });
    ASSERT_NE(closing, packets.end());
    EXPECT_EQ(packets.end() - closing - 1, 7044);
    EXPECT_TRUE(idle());
    EXPECT_FALSE(session->work().busy());
    EXPECT_TRUE(session->messages().lastError().isEmpty());
}

TEST_F(LiveWarpTest, TheMapDumpHoldsBothTablesAsTheyStand) {
    QTemporaryDir dir;
    qputenv("LUMORA_DUMP_DIR", dir.path().toLocal8Bit());
    session->mapTransfer().Button35Click();
    qunsetenv("LUMORA_DUMP_DIR");
    QFile x(dir.filePath("x.bin"));
    ASSERT_TRUE(x.open(QIODevice::ReadOnly));
    const QByteArray bytes = x.readAll();
    ASSERT_EQ(bytes.size(), 19500);
    // Identity after connect: entry (a, b) = 256 a; (1, 0) is the 79th.
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[78 * 2 + 1]), 0x01);
    EXPECT_EQ(QFile(dir.filePath("y.bin")).size(), 19500);
}

// Replies carry no identity: a stray or late one must not move a transfer
// past the packet in flight, close it twice, or end newer work.
TEST_F(LiveWarpTest, RepliesThatAnswerNoPacketInFlightEndNothing) {
    const auto ignored = [&] {
        return static_cast<int>(
            session->messages().log().filter("answers no packet in flight").size() +
            session->messages().log().filter("answers no reset in flight").size());
    };
    session->setCurrentChannel(0);
    editing().GridRightClick();
    pipe->deliverFromPeer({0xE0, 0x00, 0x00});  // stray, while block 0 is in flight
    QTimer::singleShot(5, [&] { pipe->deliverFromPeer({0x31, 0x00, 0x00}); });  // late
    ASSERT_TRUE(waitIdle());
    ServeFor(50);
    EXPECT_EQ(box->model().packetsWithCode(0xE1), (Packets{{0x04, 0xE1, 0x00, 0xE5}}));
    ASSERT_TRUE(box->model().liveMap(0));
    EXPECT_TRUE(SameMap(*box->model().liveMap(0), session->maps().map()));
    EXPECT_EQ(ignored(), 2);

    box->model().clearPackets();
    session->mapTransfer().SavetoBoxClick(3);
    pipe->deliverFromPeer({0xE2, 0x00, 0x00});
    QTimer::singleShot(5, [&] { pipe->deliverFromPeer({0xE1, 0x00, 0x00}); });
    ASSERT_TRUE(waitIdle(10000));
    ServeFor(50);
    EXPECT_EQ(box->model().packetsWithCode(0xE3),
              (Packets{{0x05, 0xE3, 0x03, 0x00, 0xEB}, {0x05, 0xE3, 0x03, 0x01, 0xEC}}));
    EXPECT_EQ(box->model().packetsWithCode(0xE2).size(), 1500u);
    EXPECT_TRUE(SameMap(*box->model().slot(3, 1), session->maps().map()));
    EXPECT_EQ(session->messages().log().filter("OK-----").size(), 1);
    EXPECT_EQ(ignored(), 4);
    EXPECT_EQ(session->messages().errorsRaised(), 0);
}

TEST_F(LiveWarpTest, TheTimeOutGivesEachPacketItsFullSecond) {
    pipe->setPeer([](const Bytes&) {});  // a box that stops answering
    session->setCurrentChannel(1);
    // A coarse timer fires early now and then: time several.
    for (int move = 0; move < 4; ++move) {
        QElapsedTimer clock;
        clock.start();
        editing().GridDownClick();
        ASSERT_TRUE(waitIdle());
        EXPECT_GE(clock.elapsed(), 1000) << move;
        EXPECT_EQ(session->messages().lastError(), "TIME OUT!!!!");
    }
}

// Disconnect ends what runs at once and says nothing of its own; nothing of
// it lingers into the next connection.
TEST_F(LiveWarpTest, DisconnectEndsTheRunningWorkQuietly) {
    std::vector<int> totals;
    QObject::connect(&session->mapTransfer(), &warp::MapTransfer::progress,
                     [&](int, int total) { totals.push_back(total); });
    session->setCurrentChannel(0);
    editing().GridRightClick();
    ASSERT_FALSE(idle());
    session->connection().CNTBtnClick();
    EXPECT_TRUE(idle());
    ASSERT_FALSE(totals.empty());
    EXPECT_EQ(totals.back(), 0);  // the progress bar goes
    ServeFor(1500);
    EXPECT_EQ(session->messages().errorsRaised(), 0)
        << session->messages().lastError().toStdString();

    box->model().clearPackets();
    session->connection().CNTBtnClick();
    ASSERT_TRUE(ServeUntil([&] { return box->model().packetsWithCode(0x31).size() == 2; }));
    ASSERT_TRUE(waitIdle());
    session->setCurrentChannel(0);
    editing().GridRightClick();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(box->model().liveCommits(0), 1u);
    EXPECT_EQ(session->messages().errorsRaised(), 0);
}

// An arrow pressed while RESET or the set-up after connect waits on the box
// runs after it, and its transfer is not cut off by their warp resets.
TEST_F(LiveWarpTest, ArrowsPressedDuringResetOrTheSetUpRunAfterIt) {
    auto& guard = session->guard();
    const auto pressRightArrowAfter = [&](int ms, int c) {
        QTimer::singleShot(ms, [&guard, this, c] {
            guard.runWhole([this, c] {
                session->setCurrentChannel(c);
                editing().GridRightClick();
            });
        });
    };
    session->setCurrentChannel(0);
    pressRightArrowAfter(10, 0);  // during RESET's coefficient-set reads
    guard.runWhole([&] { editing().Button7Click(); });
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(box->model().liveCommits(0), 1u);
    EXPECT_EQ(channel(0).points[0].x, 16.0f);

    // Again connected: one arrow before Timer1's tick, one when it ticks,
    // in the middle of the set-up's reads.
    session->connection().CNTBtnClick();
    QObject::connect(&session->connection(), &core::Connection::boxAnswered,
                     [&] { pressRightArrowAfter(0, 1); });
    QObject::connect(&session->connection().timer1(), &QTimer::timeout,
                     [&] { pressRightArrowAfter(0, 0); });
    session->connection().CNTBtnClick();
    ASSERT_TRUE(ServeUntil([&] { return box->model().liveCommits(0) == 2; }, 10000));
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(box->model().liveCommits(1), 1u);
    // The set-up put the grids back to the lattice; the arrow after it moved A's.
    EXPECT_EQ(channel(0).points[0].x, 16.0f);
    EXPECT_TRUE(SameMap(*box->model().liveMap(0), session->maps().map()));
    EXPECT_EQ(session->messages().errorsRaised(), 0)
        << session->messages().lastError().toStdString();
}

TEST_F(LiveWarpTest, AMoveWhoseFirstBlockCannotBeWrittenIsTakenBack) {
    session->setCurrentChannel(0);
    editing().GridRightClick();
    ASSERT_TRUE(waitIdle());
    pipe->failWritesWith("WriteFile function failed (Error: 5)");
    editing().GridDownClick();
    EXPECT_EQ(channel(0).points[0], (warp::ControlPoint{16.0f, 0.0f}));
    EXPECT_EQ(editing().undoStack(0).depth(), 1u);
    editing().Button15Click(0);
    EXPECT_EQ(channel(0).points[0], (warp::ControlPoint{16.0f, 0.0f}));
    EXPECT_EQ(editing().undoStack(0).depth(), 1u);
    EXPECT_TRUE(idle());
}

// Each channel's slot map is computed with its own grid size, whichever
// channel was moved last.
TEST_F(LiveWarpTest, SaveToBoxComputesEachChannelWithItsOwnGridSize) {
    // B at 17x17 with a point moved that 5x5 has no line through; A at 5x5
    // moved last.
    session->setCurrentChannel(1);
    editing().WP17x17AClick();
    editing().BitBtn3Click();
    editing().GridDownClick();
    ASSERT_TRUE(waitIdle());
    session->setCurrentChannel(0);
    editing().WP5x5AClick();
    editing().GridDownClick();
    ASSERT_TRUE(waitIdle());

    auto expected = std::make_unique<warp::GridModel>(session->grid());
    expected->recordedGridSize = warp::kGrid17x17;
    expected->recordedInternalGrid = channel(1).internalGrid;
    expected->ApplyGridSize(1, warp::kGrid17x17);
    auto computer = std::make_unique<warp::WarpMapComputer>();
    auto map = std::make_unique<warp::WarpMap>();
    map->setIdentity();
    ASSERT_FALSE(warp::ComputeWarpMap(*expected, 1, *computer, *map));

    session->mapTransfer().SavetoBoxClick(0);
    ASSERT_TRUE(waitIdle(10000));
    ASSERT_TRUE(box->model().slot(0, 1));
    EXPECT_TRUE(SameMap(*box->model().slot(0, 1), *map));
    EXPECT_EQ(session->grid().recordedGridSize, warp::kGrid5x5);
}

TEST(CoefficientSet, IndexFromTheSmallestScale) {
    EXPECT_EQ(warp::CoefficientSetIndex(1.0f), 9);
    EXPECT_EQ(warp::CoefficientSetIndex(0.97f), 8);
    EXPECT_EQ(warp::CoefficientSetIndex(0.95f), 7);
    EXPECT_EQ(warp::CoefficientSetIndex(0.93f), 6);
    EXPECT_EQ(warp::CoefficientSetIndex(0.5f), 2);
    EXPECT_EQ(warp::CoefficientSetIndex(0.35f), 0);
    EXPECT_EQ(warp::CoefficientSetIndex(0.2f), 0);
}

}  // namespace
}  // namespace lumora
