// Point moves, UNDO, RESET, corner shifts and saves sent to the virtual box
// over the in-memory pipe: the exact packets, the guard of the transfer
// state, a lost reply, a failing line, and refused maps taken back.
#include <gtest/gtest.h>

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
    bool idle() const { return session->state().transferState == 0; }
    bool waitIdle(int boundMs = 5000) {
        return ServeUntil([&] { return idle(); }, boundMs);
    }
    std::size_t written() const { return pipe->written().size(); }

    std::unique_ptr<sim::InProcessBox> box;
};

TEST_F(LiveWarpTest, AMoveOfChannelBReachesTheBoxBlockByBlock) {
    session->setCurrentChannel(1);
    editing().GridRightClick();
    EXPECT_EQ(session->state().transferState, 1);
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
    editing().Button7Click();
    EXPECT_EQ(session->state().transferState, 1);
    EXPECT_EQ(pipe->written().back(), (Bytes{0x04, 0x31, 0x00, 0x35}));
    ASSERT_TRUE(ServeUntil([&] { return idle(); }, 3000));
    EXPECT_TRUE(
        session->messages().lastError().startsWith("The box did not confirm the warp reset"));
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
