// Replies of the box matched to the reads that asked for them, when reads
// overlap, time out, or lose their reply.
#include <gtest/gtest.h>

#include "link/read_matcher.h"

using lumora::link::ReadMatcher;

TEST(ReadMatcher, EachReadGetsItsOwnReplyWhateverTimedOutOrWasLost) {
    ReadMatcher m;
    m.setSettleMs(200);

    // A read that starts while another waits: the box answers in order.
    const auto first = m.enqueue();
    const auto nested = m.enqueue();
    m.reply(0x80, 10);
    m.reply(0x38, 12);
    EXPECT_EQ(m.take(nested), 0x38);
    EXPECT_EQ(m.take(first), 0x80);

    // A read that timed out keeps its place: its late reply does not go to
    // the read after it, which gets the reply behind it.
    const auto late = m.enqueue();
    m.abandon(late);
    const auto next = m.enqueue();
    m.reply(0x11, 1100);
    EXPECT_FALSE(m.answered(next));
    m.reply(0x22, 1101);
    EXPECT_EQ(m.take(next), 0x22);
    EXPECT_FALSE(m.settleDeadline());

    // A read whose reply was lost: the next read's reply is held for the
    // settle time, then handed to it, since no second reply came.
    const auto lost = m.enqueue();
    m.abandon(lost);
    const auto after = m.enqueue();
    m.reply(0x33, 3000);
    ASSERT_EQ(m.settleDeadline(), 3200);
    m.settle(3199);
    EXPECT_FALSE(m.answered(after));
    m.settle(3200);
    EXPECT_EQ(m.take(after), 0x33);

    // Nobody asked: the reply goes nowhere and spoils nothing.
    m.reply(0x44, 4000);
    const auto fresh = m.enqueue();
    m.reply(0x55, 4001);
    EXPECT_EQ(m.take(fresh), 0x55);
    EXPECT_EQ(m.waiting(), 0u);
}
