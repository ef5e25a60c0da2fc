// Connection states, reply dispatch and the register read, driven over the
// in-memory pipe with a scripted box.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

#include "core/session.h"
#include "link/packets.h"
#include "link/pipe_transport.h"
#include "scripted_peer.h"
#include "session_on_pipe.h"
#include "warp/coefficient_set.h"

using lumora::core::ConnectionState;
using lumora::core::Session;
using lumora::link::Bytes;
using lumora::testing::ScriptedPeer;
using lumora::testing::ServeFor;
using lumora::testing::ServeUntil;
using Packets = std::vector<Bytes>;

namespace {

// The end of every overlay update: marker pass ended, display switch set.
Packets Display(std::uint8_t channel, std::uint8_t on) {
    const auto w8 = [&](std::uint8_t reg, std::uint8_t value) {
        return lumora::link::WriteRegister8Packet(channel, reg, value);
    };
    return {w8(0x00, 0x00), w8(0x3D, 0x40), w8(0x00, 0x03), w8(0x60, on), w8(0x00, 0x00)};
}

int DrawnMarkers(const Session& session, int channel) {
    const auto& drawn = session.gridEditing().overlay().drawn(channel);
    return static_cast<int>(std::count(drawn.begin(), drawn.end(), 1));
}

struct SessionFixture : ::testing::Test, lumora::testing::SessionOnPipe {
    SessionFixture() {
        session->connection().setSelectedPort("pipe");
        session->link().setReadTimeout(std::chrono::milliseconds(150));
    }

    // A warp reset waiting for the box's 0x31, as RESET leaves it.
    void startWarpReset() {
        reset =
            session->work().start(lumora::base::WorkKind::kWarpReset, session->currentChannel());
        session->warpReset().expectConfirmations();
        session->warpReset().SendWarpReset(session->currentChannel());
    }

    void connectAndWaitForSize() {
        session->connection().CNTBtnClick();
        ASSERT_TRUE(
            ServeUntil([&] { return session->connection().view().resolution != "- - - -"; }));
    }

    std::optional<lumora::base::LongWork::Id> reset;
};

}  // namespace

TEST_F(SessionFixture, ConnectAnswerAndDisconnect) {
    ScriptedPeer box(*pipe);
    box.setAnswerConnect(false);
    int pageResets = 0;
    QObject::connect(&session->connection(), &lumora::core::Connection::pagesReset,
                     [&] { ++pageResets; });

    session->connection().CNTBtnClick();
    ASSERT_EQ(pipe->written().size(), 1u);
    EXPECT_EQ(session->connection().state(), ConnectionState::PortOpen);
    EXPECT_EQ(session->connection().view().connectCaption, "Disconnect");
    EXPECT_FALSE(session->connection().view().portChoiceEnabled);
    EXPECT_FALSE(session->connection().view().pagesEnabled);
    EXPECT_EQ(pageResets, 1);

    // 30 12 34 in one batch: pages on, Timer1 started, grid defaults shown,
    // undo emptied.
    session->gridEditing().undoStack(0).push({0, 3, 0, 0, 16.0f});
    session->gridEditing().undoStack(1).push({0, 0, 0, 0, 16.0f});
    pipe->deliverFromPeer({0x30, 0x12, 0x34});
    ASSERT_TRUE(ServeUntil([&] { return session->connection().view().pagesEnabled; }));
    EXPECT_TRUE(session->connection().view().saveToBoxEnabled);
    EXPECT_TRUE(session->connection().timer1().isActive());
    EXPECT_EQ(session->gridEditing().view().showGrid, (std::array<bool, 2>{true, true}));
    EXPECT_TRUE(session->gridEditing().undoStack(0).empty());
    EXPECT_TRUE(session->gridEditing().undoStack(1).empty());
    EXPECT_EQ(session->connection().state(), ConnectionState::Connected);

    // Timer1's tick reads the picture size: four reads of channel A, after
    // the display writes of the connect reply's two Show Grid runs.
    ASSERT_TRUE(
        ServeUntil([&] { return session->connection().view().resolution == "1920 x 1080"; }));
    EXPECT_FALSE(session->connection().timer1().isActive());
    const Packets showGrid = {{0x06, 0x20, 0x00, 0x00, 0x00, 0x26},
                              {0x06, 0x20, 0x00, 0x3D, 0x40, 0xA3},
                              {0x06, 0x20, 0x00, 0x00, 0x03, 0x29},
                              {0x06, 0x20, 0x00, 0x60, 0x01, 0x87},
                              {0x06, 0x20, 0x00, 0x00, 0x00, 0x26}};
    Packets expected = {{0x04, 0x30, 0x00, 0x34}};
    expected.insert(expected.end(), showGrid.begin(), showGrid.end());
    expected.insert(expected.end(), showGrid.begin(), showGrid.end());
    expected.insert(expected.end(), {{0x05, 0x21, 0x00, 0x45, 0x6B},
                                     {0x05, 0x21, 0x00, 0x46, 0x6C},
                                     {0x05, 0x21, 0x00, 0x49, 0x6F},
                                     {0x05, 0x21, 0x00, 0x4A, 0x70}});
    ASSERT_GE(pipe->written().size(), expected.size());
    const Packets first(pipe->written().begin(),
                        pipe->written().begin() + static_cast<std::ptrdiff_t>(expected.size()));
    EXPECT_EQ(first, expected);
    // Then the rest of the initialisation: 4 size reads, 48 pacing reads of
    // the coefficient set, and a status read per overlay fill (a full clear
    // and six marker fills on each channel).
    EXPECT_EQ(box.readsSeen(), 4 + 48 + 2 * 7);
    EXPECT_EQ(session->grid().blocksAcross(), 120);
    EXPECT_EQ(session->grid().blocksDown(), 68);

    session->connection().CNTBtnClick();
    EXPECT_EQ(session->connection().state(), ConnectionState::Disconnected);
    EXPECT_EQ(session->connection().view().connectCaption, "Connect");
    EXPECT_EQ(session->connection().view().resolution, "- - - -");
    EXPECT_TRUE(session->connection().view().portChoiceEnabled);
    EXPECT_FALSE(session->connection().view().pagesEnabled);
    EXPECT_FALSE(session->connection().view().saveToBoxEnabled);
    EXPECT_FALSE(pipe->isOpen());
}

TEST_F(SessionFixture, DisconnectBeforeTheBoxAnswers) {
    session->connection().CNTBtnClick();
    EXPECT_EQ(session->connection().state(), ConnectionState::PortOpen);
    session->connection().CNTBtnClick();
    EXPECT_EQ(session->connection().state(), ConnectionState::Disconnected);
    EXPECT_EQ(session->connection().view().connectCaption, "Connect");
}

TEST_F(SessionFixture, DisconnectCancelsPendingInitialisation) {
    ScriptedPeer box(*pipe);
    session->connection().CNTBtnClick();
    ASSERT_TRUE(ServeUntil([&] { return session->connection().timer1().isActive(); }));
    session->connection().CNTBtnClick();
    ServeFor(250);
    EXPECT_TRUE(session->messages().lastError().isEmpty())
        << session->messages().lastError().toStdString();
    EXPECT_EQ(session->connection().view().resolution, "- - - -");
}

TEST_F(SessionFixture, OpenFailureLeavesConnectOnTheButton) {
    pipe->failOpenWith("Unable to open com port (Error: 2)");
    session->connection().CNTBtnClick();
    EXPECT_EQ(session->messages().lastError(), "Unable to open com port (Error: 2)");
    EXPECT_EQ(session->connection().state(), ConnectionState::Disconnected);
    EXPECT_EQ(session->connection().view().connectCaption, "Connect");
    EXPECT_TRUE(session->connection().view().portChoiceEnabled);
}

TEST_F(SessionFixture, RepliesSplitMergedAndUnknown) {
    session->connection().CNTBtnClick();
    // A reply split over two notifications is joined.
    pipe->deliverFromPeer({0x30});
    ServeFor(2);
    pipe->deliverFromPeer({0x12, 0x34});
    ASSERT_TRUE(ServeUntil([&] { return session->connection().view().pagesEnabled; }));
    session->connection().timer1().stop();

    // An unknown code changes nothing; the reply after it in the same batch
    // is still handled.
    startWarpReset();
    EXPECT_TRUE(session->work().busy());
    pipe->deliverFromPeer({0x77, 0x01, 0x02, 0x31, 0x00, 0x00});
    ASSERT_TRUE(ServeUntil([&] { return !session->work().busy(); }));
    EXPECT_TRUE(session->messages().lastError().isEmpty());
}

TEST_F(SessionFixture, WarpResetReplyWhileIdleAndCurrentChannel) {
    session->connection().CNTBtnClick();
    pipe->deliverFromPeer({0x31, 0x00, 0x00});
    ServeFor(20);
    EXPECT_FALSE(session->work().busy());

    // "All" goes out as channel byte 2.
    session->setCurrentChannel(2);
    startWarpReset();
    EXPECT_EQ(pipe->written().back(), (Bytes{0x04, 0x31, 0x02, 0x37}));
    session->setCurrentChannel(7);  // not a channel: ignored
    EXPECT_EQ(session->currentChannel(), 2);
}

TEST_F(SessionFixture, RegisterReadGetsSecondByte) {
    session->connection().CNTBtnClick();
    pipe->setPeer([&](const Bytes& packet) {
        if (packet[1] == 0x21)
            pipe->deliverFromPeer({0x21, 0x5A, 0x00});
    });
    EXPECT_EQ(session->link().ReadRegister(0, 0x52), 0x5A);
}

TEST_F(SessionFixture, SilentBoxReadsGiveUpWithinTheirBound) {
    ScriptedPeer box(*pipe);
    box.setAnswerConnect(false);
    session->connection().CNTBtnClick();
    box.setSilent(true);

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(session->link().ReadRegister(0, 0x45), 255);
    const auto first = clock.elapsed();
    EXPECT_GE(first, 140);
    EXPECT_LT(first, 1000);

    // One time-out is not silence yet: the next read waits its full time.
    EXPECT_FALSE(session->link().boxSilent());
    EXPECT_TRUE(session->messages().log().isEmpty());
    clock.restart();
    EXPECT_EQ(session->link().ReadRegister(0, 0x46), 255);
    EXPECT_GE(clock.elapsed(), 140);

    // Two in a row: known silent, further reads fail at once, and the log
    // says so once.
    clock.restart();
    EXPECT_EQ(session->link().ReadRegister(0, 0x49), 255);
    EXPECT_EQ(session->link().ReadRegister(0, 0x4A), 255);
    EXPECT_LT(clock.elapsed(), 100);
    EXPECT_EQ(session->messages().log().size(), 1);
    EXPECT_TRUE(session->messages().log()[0].startsWith("No reply from the box"));
    EXPECT_TRUE(session->messages().lastError().startsWith("The box does not answer."));

    // The box answers again (here the late reply to a read that went out
    // while silent): reads wait for their replies again.
    box.setSilent(false);
    box.setRegister(0x52, 0x07);
    session->link().read(0, 0x52);  // goes out, returns at once
    ASSERT_TRUE(ServeUntil([&] { return !session->link().boxSilent(); }));
    EXPECT_EQ(session->link().ReadRegister(0, 0x52), 0x07);
    EXPECT_EQ(session->messages().log().size(), 1);
}

TEST_F(SessionFixture, FailedWriteEndsTheWaitAndShowsTheError) {
    session->connection().CNTBtnClick();
    pipe->failWritesWith("WriteFile function failed (Error: 5)");
    session->guard().run([&] { startWarpReset(); });
    EXPECT_FALSE(session->work().busy());
    EXPECT_EQ(session->messages().lastError(), "WriteFile function failed (Error: 5)");
    EXPECT_FALSE(session->mapTransfer().timeOut().isActive());
}

TEST_F(SessionFixture, BrokenLineDisconnectsAndSaysWhy) {
    session->connection().CNTBtnClick();
    pipe->deliverFromPeer({0x30, 0x00, 0x00});
    ASSERT_TRUE(ServeUntil([&] { return session->connection().view().pagesEnabled; }));
    startWarpReset();
    pipe->breakLine("ReadFile function failed (Error: 5)");
    EXPECT_EQ(session->messages().lastError(), "ReadFile function failed (Error: 5)");
    EXPECT_FALSE(session->work().busy());
    EXPECT_EQ(session->connection().state(), ConnectionState::Disconnected);
    EXPECT_FALSE(session->connection().view().pagesEnabled);
    EXPECT_FALSE(session->connection().timer1().isActive());
}

TEST_F(SessionFixture, WriteOnClosedPortSaysPortNotOpen) {
    session->guard().run([&] { session->warpReset().SendWarpReset(session->currentChannel()); });
    EXPECT_EQ(session->messages().lastError(), "Port Not Open");
}

TEST_F(SessionFixture, DisconnectDuringAnOverlayWaitEndsItQuietly) {
    ScriptedPeer box(*pipe);
    connectAndWaitForSize();
    // The page's full clear waits 100 ms before its first status read.
    QTimer::singleShot(20, session.get(), [&] { session->connection().CNTBtnClick(); });
    session->gridEditing().TabSheet7Show();
    EXPECT_EQ(session->connection().state(), ConnectionState::Disconnected);
    EXPECT_TRUE(session->messages().lastError().isEmpty())
        << session->messages().lastError().toStdString();
}

TEST_F(SessionFixture, NestedReadInsideAReplyHandler) {
    // The connect reply's initialisation waits for register reads; their
    // replies arrive in the same batch as a later reply and must all get
    // through while the first handler waits.
    ScriptedPeer box(*pipe);
    box.setPictureSize(1280, 720);
    session->connection().CNTBtnClick();
    ASSERT_TRUE(
        ServeUntil([&] { return session->connection().view().resolution == "1280 x 720"; }));
    EXPECT_EQ(session->grid().width(), 1280);
    EXPECT_EQ(session->grid().height(), 720);
    EXPECT_EQ(session->grid().blocksDown(), 45);
}

TEST_F(SessionFixture, TimeOutShowsMessageAndEndsTransfer) {
    session->connection().CNTBtnClick();
    session->mapTransfer().startLive(0);
    session->mapTransfer().TimeOutTimer();
    EXPECT_FALSE(session->work().busy());
    EXPECT_EQ(session->messages().lastError(), "TIME OUT!!!!");
}

TEST_F(SessionFixture, StampedLogLines) {
    session->messages().appendStampedLog("Start:");
    ASSERT_EQ(session->messages().log().size(), 1);
    const QString line = session->messages().log()[0];
    EXPECT_TRUE(line.startsWith("Start:"));
    EXPECT_GT(line.size(), 12);
    EXPECT_NE(line[6], QChar(' '));  // the date follows directly
    EXPECT_FALSE(line.contains('\n'));
}

TEST_F(SessionFixture, ConnectReplyRunsShowGridForTheBoxesItChecks) {
    ScriptedPeer box(*pipe);
    box.setAnswerConnect(false);
    session->connection().CNTBtnClick();
    pipe->clearWritten();
    // Both boxes start unchecked: two runs, both on the current channel A.
    pipe->deliverFromPeer({0x30, 0x12, 0x34});
    ASSERT_TRUE(ServeUntil([&] { return session->connection().view().pagesEnabled; }));
    session->connection().timer1().stop();
    Packets twice = Display(0, 0x01);
    const Packets once = twice;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(pipe->written(), twice);
    EXPECT_EQ(session->grid().channel(1).showGrid, 0);

    // Only a box whose state changes runs it.
    session->setCurrentChannel(1);
    session->gridEditing().ShowGridAClick(false);
    pipe->clearWritten();
    pipe->deliverFromPeer({0x30, 0x12, 0x34});
    ASSERT_TRUE(ServeUntil([&] { return !pipe->written().empty(); }));
    session->connection().timer1().stop();
    EXPECT_EQ(pipe->written(), Display(1, 0x01));
    EXPECT_EQ(session->gridEditing().view().showGrid, (std::array<bool, 2>{true, true}));
}

TEST_F(SessionFixture, Timer1InitialisesBothGridsAtThePictureSize) {
    ScriptedPeer box(*pipe);
    box.setPictureSize(1280, 720);
    auto& grid = session->grid();
    grid.channel(1) = {.gridSize = lumora::warp::kGrid17x17, .internalGrid = 1, .currentColumn = 5};
    grid.recordedGridSize = lumora::warp::kGrid9x9;
    session->setCurrentChannel(1);
    connectAndWaitForSize();

    for (const auto& channel : {grid.channel(0), grid.channel(1)}) {
        EXPECT_EQ(channel.gridSize, lumora::warp::kGrid2x2);
        EXPECT_EQ(channel.internalGrid, 0);
        EXPECT_EQ(channel.showGrid, 1);
        EXPECT_EQ(channel.currentColumn, 0);
        EXPECT_EQ(std::count(channel.active.begin(), channel.active.end(), 1), 4);
        EXPECT_EQ(channel.points[lumora::warp::PointIndex(16, 16)],
                  (lumora::warp::ControlPoint{1280.0f, 720.0f}));
    }
    EXPECT_EQ(grid.transform().scaleY, 1.0f);
    EXPECT_EQ(grid.recordedGridSize, lumora::warp::kGrid2x2);
    // Grids B then A; the overlays and warp resets A then B, so B is left current.
    EXPECT_EQ(session->currentChannel(), 1);
}

TEST_F(SessionFixture, GridControlsActOnTheCurrentChannelOnly) {
    ScriptedPeer box(*pipe);
    connectAndWaitForSize();
    session->setCurrentChannel(1);
    pipe->clearWritten();

    // A grid size rebuilds B's overlay: full clear, then the 16 markers of 5x5.
    session->gridEditing().WP5x5AClick();
    EXPECT_EQ(session->grid().channel(0).gridSize, lumora::warp::kGrid2x2);
    EXPECT_EQ(session->gridEditing().view().gridSizeButton, (std::array<int, 2>{0, 1}));
    ASSERT_GT(pipe->written().size(), 2u);
    EXPECT_EQ(pipe->written()[2], lumora::link::WriteRegister16Packet(1, 0x55, 959));
    EXPECT_TRUE(std::all_of(pipe->written().begin(), pipe->written().end(),
                            [](const Bytes& packet) { return packet[2] == 1; }));
    EXPECT_EQ(DrawnMarkers(*session, 1), 16);

    session->gridEditing().InterGridAClick(true);
    EXPECT_EQ(DrawnMarkers(*session, 1), 25);
    EXPECT_EQ(session->gridEditing().view().internalGrid, (std::array<bool, 2>{false, true}));
    session->gridEditing().ShowGridAClick(false);
    EXPECT_EQ(session->gridEditing().view().showGrid, (std::array<bool, 2>{true, false}));
    EXPECT_EQ(Packets(pipe->written().end() - 5, pipe->written().end()), Display(1, 0x00));

    // "All" has no grid: nothing changes, nothing is sent.
    session->setCurrentChannel(2);
    pipe->clearWritten();
    session->gridEditing().WP17x17AClick();
    session->gridEditing().InterGridAClick(false);
    session->gridEditing().ShowGridAClick(true);
    EXPECT_TRUE(pipe->written().empty());
    EXPECT_EQ(session->grid().channel(1).gridSize, lumora::warp::kGrid5x5);
    EXPECT_EQ(session->grid().channel(1).internalGrid, 1);
    EXPECT_EQ(session->grid().channel(1).showGrid, 0);

    // Showing A's "Warp adjust" page: a full clear of its own, then a rebuild.
    session->gridEditing().TabSheet7Show();
    EXPECT_EQ(session->currentChannel(), 0);
    EXPECT_EQ(std::count(pipe->written().begin(), pipe->written().end(),
                         lumora::link::WriteRegister8Packet(0, 0x3D, 0x00)),
              2);
    EXPECT_EQ(DrawnMarkers(*session, 0), 4);
}

TEST_F(SessionFixture, OverlappingReadsGetTheirOwnValues) {
    // A read started inside another's wait (a timer, a click): the box
    // answers both, in order, a little later.
    session->connection().CNTBtnClick();
    pipe->setPeer([&](const Bytes& packet) {
        if (packet[1] == 0x21) {
            const std::uint8_t value = packet[3] == 0x45 ? 0x80 : 0x38;
            QTimer::singleShot(30, pipe, [this, value] {
                pipe->deliverFromPeer({0x21, value, 0});
            });
        }
    });
    std::optional<std::uint8_t> inner;
    QTimer::singleShot(5, session.get(), [&] { inner = session->link().read(0, 0x49); });
    EXPECT_EQ(session->link().read(0, 0x45), 0x80);
    ASSERT_TRUE(ServeUntil([&] { return inner.has_value(); }));
    EXPECT_EQ(inner, 0x38);
}

TEST_F(SessionFixture, ANewConnectionStartsWithNothingDrawn) {
    ScriptedPeer box(*pipe);
    connectAndWaitForSize();
    session->setCurrentChannel(0);
    session->gridEditing().WP17x17AClick();
    EXPECT_EQ(DrawnMarkers(*session, 0), 64);
    session->connection().CNTBtnClick();
    EXPECT_EQ(DrawnMarkers(*session, 0), 0);

    // A fresh box: before the initialisation, "Show Grid" draws the markers.
    session->connection().CNTBtnClick();
    ASSERT_TRUE(ServeUntil([&] { return session->connection().view().pagesEnabled; }));
    session->connection().timer1().stop();
    pipe->clearWritten();
    session->gridEditing().ShowGridAClick(true);
    EXPECT_GT(pipe->written().size(), 5u);
    EXPECT_EQ(DrawnMarkers(*session, 0), 64);
}

TEST_F(SessionFixture, RepeatedConnectRepliesDoNotNestTheInitialisation) {
    // The wrong device on the port: it keeps sending 30 .. .. and never
    // answers a read, while each read waits its full second.
    session->link().setReadTimeout(std::chrono::milliseconds(1000));
    session->connection().CNTBtnClick();
    QTimer babble;
    QObject::connect(&babble, &QTimer::timeout, pipe, [&] {
        pipe->deliverFromPeer({0x30, 0x30, 0x30});
    });
    babble.start(200);
    int deepest = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, pipe,
                     [&] { deepest = std::max(deepest, session->link().waitDepth()); });
    probe.start(2);
    ServeFor(2500);
    babble.stop();
    EXPECT_EQ(deepest, 1);  // one initialisation's read at a time
    // Nothing is said at every babble: at most that the size was not read.
    EXPECT_LE(session->messages().errorsRaised(), 1);
}

TEST_F(SessionFixture, ReceivePathIsBoundedAndSaysWhatItDrops) {
    session->connection().CNTBtnClick();
    // Garbage far faster than replies can be handled.
    pipe->deliverFromPeer(Bytes(30000, 0x77));
    ServeUntil([&] { return pipe->bytesWaiting() == 0; });
    EXPECT_LE(session->link().queuedReplies(), lumora::link::Link::kMaxQueuedReplies);
    ServeFor(50);
    // And a reply cut short by a silence on the line is dropped, and said so.
    pipe->deliverFromPeer({0x30});
    ASSERT_TRUE(ServeUntil([&] { return session->messages().log().size() == 2; }, 1000));
    EXPECT_TRUE(session->messages().log()[0].startsWith("Replies arrive faster than"));
    EXPECT_TRUE(
        session->messages().log()[1].startsWith("Dropped 1 byte(s) of an incomplete reply"));
    EXPECT_FALSE(session->connection().view().pagesEnabled);
}

TEST_F(SessionFixture, QuittingEndsAWaitingReadAtOnce) {
    // The program's own loop runs a handler that waits for a read nobody
    // answers; the window closes (the application quits) 100 ms into it.
    session->connection().CNTBtnClick();
    QElapsedTimer clock;
    qint64 readEnded = -1;
    QTimer::singleShot(0, session.get(), [&] {
        clock.start();
        session->guard().run([&] { session->link().read(0, 0x45); });
        readEnded = clock.elapsed();
    });
    QTimer::singleShot(100, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    EXPECT_GE(readEnded, 90);
    EXPECT_LT(readEnded, 140);  // the read's own time-out is 150 ms
    EXPECT_TRUE(session->link().quitting());
    EXPECT_TRUE(session->messages().lastError().isEmpty());
}

TEST_F(SessionFixture, InitialisationAfterConnectSendsItsPacketsInOrder) {
    ScriptedPeer box(*pipe);
    connectAndWaitForSize();
    ASSERT_TRUE(ServeUntil([&] {
        return pipe->written().back() == Bytes{0x04, 0x31, 0x01, 0x36};
    }));
    const Packets& sent = pipe->written();
    // The connect request, the two "Show Grid" runs, the four size reads.
    ASSERT_EQ(sent[11], lumora::link::ReadRegisterPacket(0, 0x45));
    ASSERT_EQ(sent[14], lumora::link::ReadRegisterPacket(0, 0x4A));
    // Set 9 into bank 2 of Channel A, each byte paced by a read.
    Packets coefficients = {lumora::link::WriteRegister8Packet(0, 0x00, 0x02)};
    const auto& set = lumora::warp::CoefficientSetBytes(9);
    for (std::uint8_t k = 0; k < 24; ++k) {
        coefficients.push_back(lumora::link::WriteRegister8Packet(0, 0x08 + k, set[k]));
        coefficients.push_back(lumora::link::ReadRegisterPacket(0, 0x08));
    }
    for (std::uint8_t k = 0; k < 24; ++k) {
        coefficients.push_back(lumora::link::WriteRegister8Packet(0, 0x20 + k, set[k]));
        coefficients.push_back(lumora::link::ReadRegisterPacket(0, 0x08 + k));
    }
    coefficients.push_back(lumora::link::WriteRegister8Packet(0, 0x02, 0x00));
    coefficients.push_back(lumora::link::WriteRegister8Packet(0, 0x00, 0x00));
    ASSERT_GT(sent.size(), 15 + coefficients.size());
    EXPECT_EQ(Packets(sent.begin() + 15, sent.begin() + 15 + 99), coefficients);
    // A's overlay rebuilt and its warp reset, then B's: nothing else between.
    const auto resetA = std::find(sent.begin(), sent.end(), Bytes{0x04, 0x31, 0x00, 0x35});
    ASSERT_NE(resetA, sent.end());
    EXPECT_TRUE(std::all_of(sent.begin() + 15 + 99, resetA,
                            [](const Bytes& packet) { return packet[2] == 0; }));
    EXPECT_TRUE(std::all_of(resetA + 1, sent.end() - 1,
                            [](const Bytes& packet) { return packet[2] == 1; }));
    EXPECT_EQ(DrawnMarkers(*session, 0), 4);
    EXPECT_EQ(DrawnMarkers(*session, 1), 4);
    EXPECT_EQ(session->currentChannel(), 1);
}
