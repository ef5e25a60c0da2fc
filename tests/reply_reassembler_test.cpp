// Replies formed from bytes that arrive split, merged, or with stray bytes.
#include <gtest/gtest.h>

#include "link/reply_reassembler.h"

using lumora::link::Bytes;
using lumora::link::Reply;
using lumora::link::ReplyReassembler;

TEST(ReplyReassembler, SplitAndMergedBatches) {
    ReplyReassembler r;
    EXPECT_TRUE(r.feed(Bytes{0x30}, 0).empty());
    EXPECT_TRUE(r.hasPartial());
    EXPECT_EQ(r.feed(Bytes{0x12, 0x34}, 5), (std::vector<Reply>{{0x30, 0x12, 0x34}}));
    EXPECT_FALSE(r.hasPartial());

    // Two replies in one batch are both handed on, in order, and a third one
    // starting in the same batch completes in the next.
    EXPECT_EQ(r.feed(Bytes{0x21, 0x5A, 0x00, 0x31, 0x00, 0x00, 0xE0}, 10),
              (std::vector<Reply>{{0x21, 0x5A, 0x00}, {0x31, 0x00, 0x00}}));
    EXPECT_EQ(r.feed(Bytes{0x00, 0x00}, 12), (std::vector<Reply>{{0xE0, 0x00, 0x00}}));
}

TEST(ReplyReassembler, SilenceDropsPartialReplyAndResynchronises) {
    ReplyReassembler r;
    // A stray byte, then the line seen quiet for longer than the silence
    // bound, then a reply.
    EXPECT_TRUE(r.feed(Bytes{0x55}, 100).empty());
    EXPECT_EQ(r.lineQuiet(100 + ReplyReassembler::kSilenceMs + 1), 1u);
    EXPECT_EQ(r.feed(Bytes{0x30, 0x12, 0x34}, 400), (std::vector<Reply>{{0x30, 0x12, 0x34}}));
    EXPECT_EQ(r.droppedBytes(), 1u);

    // Within the bound the partial reply is kept.
    EXPECT_TRUE(r.feed(Bytes{0x21, 0x07}, 1000).empty());
    EXPECT_EQ(r.lineQuiet(1000 + ReplyReassembler::kSilenceMs), 0u);
    EXPECT_EQ(r.feed(Bytes{0x00}, 1000 + ReplyReassembler::kSilenceMs),
              (std::vector<Reply>{{0x21, 0x07, 0x00}}));
}

TEST(ReplyReassembler, GapsAreJudgedByTheLineNotByWhenTheProgramReads) {
    // A USB adapter holds the rest of a reply for its latency timer (here
    // 100 ms); the program may read it much later still, after a long
    // handler. Neither loses the reply: only a quiet line does.
    ReplyReassembler r;
    EXPECT_TRUE(r.feed(Bytes{0x30}, 0).empty());
    EXPECT_EQ(r.lineQuiet(100), 0u);
    EXPECT_EQ(r.feed(Bytes{0x12, 0x34}, 2000), (std::vector<Reply>{{0x30, 0x12, 0x34}}));
}

TEST(ReplyReassembler, EmptyBatchChangesNothing) {
    ReplyReassembler r;
    r.feed(Bytes{0x21}, 0);
    EXPECT_TRUE(r.feed(Bytes{}, 1000).empty());
    // An empty notification is not a byte: the clock of the partial is unchanged.
    EXPECT_EQ(r.lineQuiet(ReplyReassembler::kSilenceMs + 1), 1u);
}
