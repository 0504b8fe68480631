#include "sensor/ChangeStack.h"

#include <gtest/gtest.h>

TEST(ChangeStack_Entries, PopsPayloadLastPushedFirst) {
    ChangeStack stack;
    const WORD a[2] = {10, 20};
    stack.Push(a, 2, 3);
    stack.Push(nullptr, 0, 99);
    WORD code = 0;
    WORD payload[4] = {};
    EXPECT_EQ(stack.Pop(&code, payload, 4), 0);
    EXPECT_EQ(code, 99);
    EXPECT_EQ(stack.Pop(&code, payload, 4), 2);
    EXPECT_EQ(code, 3);
    EXPECT_EQ(payload[0], 20);
    EXPECT_EQ(payload[1], 10);
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(stack.Pop(&code, payload, 4), -1);
}

TEST(ChangeStack_Bound, DropsWholeOldestEntries) {
    ChangeStack stack(10);
    const WORD three[3] = {1, 2, 3};
    const WORD one[1] = {7};
    stack.Push(three, 3, 100);  // 4 words
    stack.Push(one, 1, 101);    // 6
    stack.Push(three, 3, 102);  // 10
    EXPECT_EQ(stack.WordCount(), 10u);
    stack.Push(one, 1, 103);    // 12: the oldest entry (4 words) goes
    EXPECT_EQ(stack.WordCount(), 8u);
    WORD code = 0;
    WORD payload[3];
    std::vector<int> codes;
    while (stack.Pop(&code, payload, 3) >= 0) codes.push_back(code);
    EXPECT_EQ(codes, (std::vector<int>{103, 102, 101}));
}

TEST(ChangeStack_Bound, AnEntryLargerThanTheLimitStaysAlone) {
    ChangeStack stack(4);
    const WORD big[17] = {};
    stack.Push(big, 1, 1);
    stack.Push(big, 17, 255);
    EXPECT_EQ(stack.WordCount(), 18u);
    WORD code = 0;
    WORD payload[17];
    EXPECT_EQ(stack.Pop(&code, payload, 17), 17);
    EXPECT_TRUE(stack.IsEmpty());
}
