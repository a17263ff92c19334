#include "monitor/app/traffic/sample_ring.h"

#include <gtest/gtest.h>

#include <vector>

// The histories as start-up leaves them: 307 samples, one 0 pushed.
TEST(SampleRing, StartupStateHasZerosAndLastIndexZero) {
    SampleRing ring;
    ASSERT_TRUE(ring.Allocate(307));
    EXPECT_EQ(306, ring.LastIndex());
    EXPECT_EQ(0, ring.Push(0));

    std::vector<int32_t> copy(307, -1);
    EXPECT_EQ(0, ring.Snapshot(copy.data()));
    EXPECT_EQ(std::vector<int32_t>(307, 0), copy);
}

TEST(SampleRing, StoresTwiceTheValueAndWrapsAfterCapacityPushes) {
    SampleRing ring;
    ASSERT_TRUE(ring.Allocate(307));
    ring.Push(0);  // the start-up push writes slot 0
    for (int i = 1; i < 307; ++i) EXPECT_EQ(i, ring.Push(i));
    EXPECT_EQ(0, ring.Push(50));  // the 308th push

    std::vector<int32_t> copy(307);
    ring.Snapshot(copy.data());
    EXPECT_EQ(100, copy[0]);
    EXPECT_EQ(2, copy[1]);
    EXPECT_EQ(612, copy[306]);
}

TEST(SampleRing, ClearZeroesAndRestartsAtSlotZero) {
    SampleRing ring;
    ASSERT_TRUE(ring.Allocate(4));
    ring.Push(7);
    ring.Push(8);
    ring.Clear();
    EXPECT_EQ(3, ring.LastIndex());
    EXPECT_EQ(0, ring.Push(1));
    int32_t copy[4];
    ring.Snapshot(copy);
    EXPECT_EQ(2, copy[0]);
    EXPECT_EQ(0, copy[1]);
}

TEST(SampleRing, FailedAllocationLeavesAnEmptyRingThatTouchesNothing) {
    SampleRing ring;
    ASSERT_TRUE(ring.Allocate(8));
    EXPECT_FALSE(ring.Allocate(-1));
    EXPECT_EQ(0, ring.Capacity());
    EXPECT_EQ(0, ring.LastIndex());
    EXPECT_EQ(-1, ring.Push(5));
    int32_t guard = 12345;
    ring.Snapshot(&guard);
    EXPECT_EQ(12345, guard);
}
