#include "platform/timeofday.h"

#include <gtest/gtest.h>

#include "support/fake_time.h"

namespace xq {
namespace {

TEST(TimeOfDay, OverrideIsReadAndRemovable) {
    {
        testing::FakeTime fake;
        fake.Set(23, 59, 58, 250);
        const TimeOfDay now = LocalTimeOfDay();
        EXPECT_EQ(now.hour, 23);
        EXPECT_EQ(now.minute, 59);
        EXPECT_EQ(now.second, 58);
        EXPECT_EQ(now.millisecond, 250);
        fake.Advance(3);
        EXPECT_EQ(LocalTimeOfDay().hour, 0);
        EXPECT_EQ(LocalTimeOfDay().second, 1);
    }
    // Back on the system clock: the tick count moves on by itself.
    const uint32_t start = TickCount();
    BusyWait(2);
    EXPECT_GE(TickCount() - start, 2u);
}

TEST(TimeOfDay, BusyWaitEndsAfterItsTicksAcrossAWrap) {
    static uint32_t ticks;
    ticks = 0xFFFFFFF0u;
    SetTickCountSource([] { return ticks++; });
    BusyWait(12);
    EXPECT_GE(ticks - 0xFFFFFFF0u, 13u);
    EXPECT_LT(ticks - 0xFFFFFFF0u, 20u);
    SetTickCountSource(nullptr);
}

}  // namespace
}  // namespace xq
