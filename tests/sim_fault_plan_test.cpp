#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "link/packets.h"
#include "sim/fault_plan.h"
#include "sim/outbox.h"
#include "sim/virtual_box.h"

namespace lumora::sim {
namespace {

using link::Bytes;
using std::chrono::microseconds;
using std::chrono::milliseconds;

const Bytes kReply{0x30, 0x01, 0x00};
const Bytes kConnect{0x04, 0x30, 0x00, 0x34};

std::vector<TimedWrite> Plan(FaultPlan& plan, microseconds at) {
    plan.notePacketReceived();
    return plan.planReply(kReply, at);
}

TEST(FaultPlan, WithoutFaultsAReplyGoesOutWholeAtOnce) {
    FaultPlan plan({});
    EXPECT_EQ(Plan(plan, milliseconds(7)), (std::vector<TimedWrite>{{milliseconds(7), kReply}}));
}

TEST(FaultPlan, DropsOnlyTheNthReply) {
    FaultPlan plan(FaultConfig{.dropReply = 2});
    EXPECT_EQ(Plan(plan, milliseconds(0)).size(), 1u);
    EXPECT_TRUE(Plan(plan, milliseconds(1)).empty());
    EXPECT_EQ(Plan(plan, milliseconds(2)).size(), 1u);
}

TEST(FaultPlan, StopsAnsweringForGoodAfterNPackets) {
    FaultPlan plan(FaultConfig{.silentAfter = 2});
    EXPECT_EQ(Plan(plan, milliseconds(0)).size(), 1u);
    EXPECT_EQ(Plan(plan, milliseconds(1)).size(), 1u);
    EXPECT_FALSE(plan.silent());
    EXPECT_TRUE(Plan(plan, milliseconds(2)).empty());
    EXPECT_TRUE(plan.silent());
    EXPECT_TRUE(Plan(plan, milliseconds(3000)).empty());
}

TEST(FaultPlan, SilentAfterZeroNeverAnswers) {
    FaultPlan plan(FaultConfig{.silentAfter = 0});
    EXPECT_TRUE(Plan(plan, milliseconds(0)).empty());
}

TEST(FaultPlan, DelaysEveryReply) {
    FaultPlan plan(FaultConfig{.replyDelay = milliseconds(50)});
    EXPECT_EQ(Plan(plan, milliseconds(10)).at(0).at, milliseconds(60));
    EXPECT_EQ(Plan(plan, milliseconds(100)).at(0).at, milliseconds(150));
}

TEST(FaultPlan, SplitSendsTheFirstByteThenTheRestAfterTheGap) {
    FaultPlan plan(FaultConfig{.splitReplies = true});
    EXPECT_EQ(
        Plan(plan, milliseconds(10)),
        (std::vector<TimedWrite>{{milliseconds(10), {0x30}}, {milliseconds(15), {0x01, 0x00}}}));

    FaultPlan wide(FaultConfig{.splitReplies = true, .splitGap = milliseconds(12)});
    EXPECT_EQ(Plan(wide, milliseconds(0)).at(1).at, milliseconds(12));
}

TEST(FaultPlan, StrayBytesPrecedeOnlyTheChosenReply) {
    FaultPlan plan(FaultConfig{.strayBytes = {0xFF, 0x00}, .strayBefore = 2});
    EXPECT_EQ(Plan(plan, milliseconds(0)).size(), 1u);
    EXPECT_EQ(Plan(plan, milliseconds(1)), (std::vector<TimedWrite>{{milliseconds(1), {0xFF, 0x00}},
                                                                    {milliseconds(1), kReply}}));
    EXPECT_EQ(Plan(plan, milliseconds(2)).size(), 1u);
}

TEST(FaultPlan, StrayBytesWithoutANumberPrecedeEveryReply) {
    FaultPlan plan(FaultConfig{.strayBytes = {0x55}});
    for (int i = 0; i < 3; ++i) {
        const std::vector<TimedWrite> writes = Plan(plan, milliseconds(i));
        ASSERT_EQ(writes.size(), 2u);
        EXPECT_EQ(writes[0].bytes, Bytes{0x55});
    }
}

TEST(FaultPlan, StrayBytesStillComeWhenTheirReplyIsDropped) {
    FaultPlan plan(FaultConfig{.dropReply = 1, .strayBytes = {0xAA}, .strayBefore = 1});
    EXPECT_EQ(Plan(plan, milliseconds(0)), (std::vector<TimedWrite>{{milliseconds(0), {0xAA}}}));
}

TEST(FaultPlan, LineRatePacesEachByteAtTenBitTimes) {
    FaultPlan plan(FaultConfig{.lineRate = 9600});  // 1041.67 us per byte
    const std::vector<TimedWrite> writes = Plan(plan, microseconds(0));
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0], (TimedWrite{microseconds(1041), {0x30}}));
    EXPECT_EQ(writes[1], (TimedWrite{microseconds(2083), {0x01}}));
    EXPECT_EQ(writes[2], (TimedWrite{microseconds(3125), {0x00}}));
    // A reply wanted while the line is still busy waits for it.
    EXPECT_EQ(Plan(plan, microseconds(1000)).at(0).at, microseconds(3125 + 1041));
}

TEST(FaultPlan, RepliesNeverOverlapOnTheLine) {
    FaultPlan plan(FaultConfig{.splitReplies = true});
    const std::vector<TimedWrite> first = Plan(plan, milliseconds(0));
    const std::vector<TimedWrite> second = Plan(plan, milliseconds(1));
    EXPECT_EQ(first.back().at, milliseconds(5));
    EXPECT_EQ(second.front().at, milliseconds(5));  // after the first reply's tail
    EXPECT_EQ(second.back().at, milliseconds(10));
}

// --- Delivery ------------------------------------------------------------------

TEST(Outbox, ALateWriteDelaysTheOnesBehindItSoGapsNeverShrink) {
    Outbox outbox;
    outbox.push(
        {{milliseconds(10), {0xEE}}, {milliseconds(10), {0x30}}, {milliseconds(15), {0x01}}});
    EXPECT_TRUE(outbox.takeDue(milliseconds(9)).empty());
    // Delivered 7 ms late: what was planned for the same moment comes along,
    // the split tail keeps its 5 ms gap.
    EXPECT_EQ(outbox.takeDue(milliseconds(17)), (std::vector<Bytes>{{0xEE}, {0x30}}));
    EXPECT_EQ(outbox.nextDue(), milliseconds(22));
    EXPECT_TRUE(outbox.takeDue(milliseconds(21)).empty());
    EXPECT_EQ(outbox.takeDue(milliseconds(22)), std::vector<Bytes>{{0x01}});
}

TEST(Outbox, SlipEndsWhenTheLineGoesIdle) {
    Outbox outbox;
    outbox.push({{milliseconds(0), {0x30}}});
    outbox.takeDue(milliseconds(50));
    outbox.push({{milliseconds(60), {0x31}}});
    EXPECT_EQ(outbox.nextDue(), milliseconds(60));

    // Replies to packets that follow each other closely, each delivered a
    // millisecond late, must not drift later and later: the line was idle
    // between them.
    Outbox closeReplies;
    closeReplies.push(TimedWrite{milliseconds(0), {0xE0}, true});
    for (int k = 1; k <= 50; ++k) {
        closeReplies.push(TimedWrite{milliseconds(2 * k), {0xE0}, true});
        closeReplies.takeDue(*closeReplies.nextDue() + milliseconds(1));
    }
    EXPECT_LE(*closeReplies.nextDue(), milliseconds(101));
}

// --- Model and plan together -------------------------------------------------

TEST(VirtualBox, SilenceCutsBetweenPacketsOfOneBatch) {
    VirtualBox box(BoxConfig{.faults = {.silentAfter = 2}});
    Bytes batch;
    for (int i = 0; i < 3; ++i) {
        batch.insert(batch.end(), kConnect.begin(), kConnect.end());
    }
    const VirtualBox::Result result = box.receive(batch, microseconds(0));
    EXPECT_EQ(result.exchanges.size(), 3u);
    EXPECT_EQ(result.writes.size(), 2u);
}

TEST(VirtualBox, SilenceCountsPacketsNotReplies) {
    // Register writes earn no reply but still count towards the limit.
    VirtualBox box(BoxConfig{.faults = {.silentAfter = 2}});
    box.receive(link::WriteRegister8Packet(0, 0x40, 0x88), microseconds(0));
    EXPECT_EQ(box.receive(kConnect, microseconds(0)).writes.size(), 1u);
    EXPECT_TRUE(box.receive(kConnect, microseconds(0)).writes.empty());
    EXPECT_EQ(box.model().goodPackets(), 3);  // still received and acted on
}

TEST(VirtualBox, BadPacketsDoNotCountTowardsSilence) {
    VirtualBox box(BoxConfig{.faults = {.silentAfter = 1}});
    box.receive(Bytes{0x04, 0x30, 0x00, 0x35}, microseconds(0));
    EXPECT_EQ(box.receive(kConnect, microseconds(0)).writes.size(), 1u);
}

}  // namespace
}  // namespace lumora::sim
