#include "rules/clock.h"

#include <gtest/gtest.h>

#include "support/display_recorder.h"
#include "support/fake_time.h"

namespace xq {
namespace {

using testing::FakeTime;

struct LapRow {
    const char* name;
    TimeOfDay start;
    TimeOfDay lap;
    double elapsed;
};

TEST(Stopwatch, LapAddsWholeWallClockSeconds) {
    const LapRow rows[] = {
        {"same reading", {10, 0, 5, 0}, {10, 0, 5, 0}, 0},
        {"within a minute, fraction ignored", {10, 0, 5, 0}, {10, 0, 47, 900}, 42},
        {"across a minute", {10, 0, 50, 500}, {10, 1, 10, 100}, 20},
        {"across an hour", {10, 59, 30, 0}, {11, 0, 15, 0}, 45},
        {"across midnight", {23, 59, 50, 0}, {0, 0, 10, 0}, 20},
        {"across midnight, hours", {23, 30, 0, 0}, {1, 15, 0, 0}, 6300},
    };
    FakeTime fake;
    for (const LapRow& row : rows) {
        Stopwatch watch;
        Reset(watch);
        fake.Set(row.start.hour, row.start.minute, row.start.second, row.start.millisecond);
        Start(watch);
        fake.Set(row.lap.hour, row.lap.minute, row.lap.second, row.lap.millisecond);
        Lap(watch);
        EXPECT_EQ(watch.elapsed, row.elapsed) << row.name;
        EXPECT_EQ(watch.laps, 1) << row.name;
        EXPECT_EQ(watch.hour, row.lap.hour) << row.name;  // the new reading is kept
        EXPECT_EQ(watch.hundredths, row.lap.millisecond * 10) << row.name;
        EXPECT_EQ(watch.sumSeconds, row.lap.second - row.start.second) << row.name;
    }
}

TEST(Stopwatch, SuccessiveLapsAccumulateOverMidnight) {
    FakeTime fake;
    Stopwatch watch;
    Reset(watch);
    watch.elapsed = 100;  // time already used, as a restored game sets it
    fake.Set(23, 59, 30);
    Start(watch);
    fake.Advance(25);
    Lap(watch);
    fake.Advance(20);  // 00:00:15
    Lap(watch);
    fake.Advance(3600);
    Lap(watch);
    EXPECT_EQ(watch.elapsed, 100 + 25 + 20 + 3600);
    EXPECT_EQ(watch.laps, 3);
}

TEST(GameClocks, OnlyTheRunningSideUsesTime) {
    FakeTime fake;
    testing::DisplayRecorder display;
    ResetClocks();
    EXPECT_EQ(clockRunning, 0);

    fake.Set(9, 0, 0);
    StartClock(Red);
    EXPECT_EQ(clockRunning, 1);
    EXPECT_EQ(runningClock, Red);
    fake.Advance(75);
    StopClock();
    EXPECT_EQ(clockRunning, 0);
    fake.Advance(1000);  // no clock runs
    StopClock();         // and stopping again adds nothing
    StartClock(Black);
    fake.Advance(30);
    StopClock();
    StartClock(Red);
    fake.Advance(5);
    StopClock();

    EXPECT_EQ(sideClock[Red].elapsed, 80);
    EXPECT_EQ(sideClock[Black].elapsed, 30);
    EXPECT_EQ(display.Count("StartClockDisplay"), 3);
    EXPECT_EQ(display.Count("StopClockDisplay"), 3);

    ResetClocks();
    EXPECT_EQ(sideClock[Red].elapsed, 0);
    EXPECT_EQ(sideClock[Black].laps, 0);
}

}  // namespace
}  // namespace xq
