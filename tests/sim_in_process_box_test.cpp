#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>

#include "link/packets.h"
#include "link/pipe_transport.h"
#include "sim/in_process_box.h"

namespace lumora::sim {
namespace {

using link::Bytes;
using std::chrono::milliseconds;

class InProcessBoxTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "sim_tests";
            static char* argv[] = {name, nullptr};
            app_ = std::make_unique<QCoreApplication>(argc, argv);
        }
    }
    static void TearDownTestSuite() { app_.reset(); }

    void SetUp() override { pipe.open(); }

    // Everything the host receives within `waitMs`, batch by batch.
    std::vector<Bytes> Collect(int waitMs) {
        std::vector<Bytes> batches;
        const QMetaObject::Connection connection =
            QObject::connect(&pipe, &link::Transport::bytesArrived,
                             [&] { batches.push_back(pipe.readAvailable()); });
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < waitMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QObject::disconnect(connection);
        return batches;
    }

    static std::unique_ptr<QCoreApplication> app_;
    link::PipeTransport pipe;
};

std::unique_ptr<QCoreApplication> InProcessBoxTest::app_;

TEST_F(InProcessBoxTest, ReplyComesThroughTheEventLoopNotInsideTheWrite) {
    InProcessBox box(pipe, {});
    pipe.write(link::ConnectRequestPacket());
    EXPECT_TRUE(pipe.readAvailable().empty());
    EXPECT_EQ(box.pendingWrites(), 1u);
    EXPECT_EQ(Collect(30), (std::vector<Bytes>{{0x30, 0x01, 0x00}}));
    EXPECT_EQ(box.model().goodPackets(), 1);
}

TEST_F(InProcessBoxTest, RegisterReadRoundTrip) {
    InProcessBox box(pipe, BoxConfig{.model = {.width = 1280}});
    pipe.write(link::ReadRegisterPacket(1, 0x46));
    EXPECT_EQ(Collect(30), (std::vector<Bytes>{{0x21, 0x05, 0x00}}));
}

TEST_F(InProcessBoxTest, SplitReplyArrivesInTwoBatches) {
    InProcessBox box(pipe, BoxConfig{.faults = {.splitReplies = true}});
    pipe.write(link::WarpResetPacket(0));
    EXPECT_EQ(Collect(60), (std::vector<Bytes>{{0x31}, {0x00, 0x00}}));
}

TEST_F(InProcessBoxTest, DelayedReplyIsNotEarly) {
    InProcessBox box(pipe, BoxConfig{.faults = {.replyDelay = milliseconds(80)}});
    pipe.write(link::ConnectRequestPacket());
    EXPECT_TRUE(Collect(40).empty());
    EXPECT_EQ(Collect(150).size(), 1u);
}

TEST_F(InProcessBoxTest, DroppedReplyNeverArrives) {
    InProcessBox box(pipe, BoxConfig{.faults = {.dropReply = 1}});
    pipe.write(link::ConnectRequestPacket());
    pipe.write(link::WarpResetPacket(1));
    EXPECT_EQ(Collect(40), (std::vector<Bytes>{{0x31, 0x00, 0x00}}));
    EXPECT_EQ(box.pendingWrites(), 0u);
}

TEST_F(InProcessBoxTest, ADestroyedBoxLeavesThePipeUsable) {
    {
        InProcessBox box(pipe, {});
        pipe.write(link::ConnectRequestPacket());
    }
    pipe.write(link::ConnectRequestPacket());
    EXPECT_TRUE(Collect(20).empty());
    EXPECT_EQ(pipe.written().size(), 2u);
}

}  // namespace
}  // namespace lumora::sim
