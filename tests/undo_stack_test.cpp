// UNDO takes moves back in reverse order; a push after an undo overwrites.
#include <gtest/gtest.h>

#include "warp/undo_stack.h"

using lumora::warp::UndoRecord;
using lumora::warp::UndoStack;

TEST(UndoStack, PopsInReverseAndPushOverwritesThePopped) {
    UndoStack stack;
    EXPECT_FALSE(stack.pop());
    const UndoRecord up{3, 0, 8, 8, 16.0f};
    const UndoRecord right{3, 3, 8, 8, 64.0f};
    stack.push(up);
    stack.push(right);
    EXPECT_EQ(stack.pop(), right);
    const UndoRecord left{0, 2, 0, 0, 5.0f};
    stack.push(left);
    EXPECT_EQ(stack.depth(), 2u);
    EXPECT_EQ(stack.pop(), left);
    EXPECT_EQ(stack.pop(), up);
    EXPECT_FALSE(stack.pop());
    // Popping at the bottom leaves nothing to take back, not a stale record.
    stack.push(right);
    EXPECT_EQ(stack.pop(), right);
    EXPECT_FALSE(stack.pop());
}

TEST(UndoStack, ClearForgetsEverything) {
    UndoStack stack;
    stack.push({0, 1, 4, 4, 1.0f});
    stack.clear();
    EXPECT_TRUE(stack.empty());
    EXPECT_FALSE(stack.pop());
}
