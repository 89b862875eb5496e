#include "rules/clock.h"

#include "platform/display.h"

namespace xq {

Stopwatch sideClock[2];
uint8_t clockRunning = 0;
Side runningClock = Red;

void Reset(Stopwatch& watch) {
    watch = Stopwatch{};
}

namespace {
void KeepReading(Stopwatch& watch, const TimeOfDay& now) {
    watch.hour = now.hour;
    watch.minute = now.minute;
    watch.second = now.second;
    watch.hundredths = now.millisecond * 10;
}
}  // namespace

void Start(Stopwatch& watch) {
    KeepReading(watch, LocalTimeOfDay());
}

void Lap(Stopwatch& watch) {
    const TimeOfDay now = LocalTimeOfDay();
    const int32_t hour = now.hour < watch.hour ? now.hour + 24 : now.hour;
    const int32_t hours = hour - watch.hour;
    const int32_t minutes = now.minute - watch.minute;
    const int32_t seconds = now.second - watch.second;
    const int32_t hundredths = now.millisecond * 10 - watch.hundredths;
    watch.sumHours += hours;
    watch.sumMinutes += minutes;
    watch.sumSeconds += seconds;
    watch.sumHundredths += hundredths;
    ++watch.laps;
    watch.elapsed += seconds + 60.0 * minutes + 3600.0 * hours;
    // The plain time of day is kept, so the next lap compares against a real reading again.
    KeepReading(watch, now);
}

void ResetClocks() {
    Reset(sideClock[Red]);
    Reset(sideClock[Black]);
    clockRunning = 0;
}

void StartClock(Side side) {
    runningClock = side;
    clockRunning = 1;
    Start(sideClock[side]);
    StartClockDisplay();
}

void StopClock() {
    if (!clockRunning) return;
    Lap(sideClock[runningClock]);
    StopClockDisplay();
    clockRunning = 0;
}

}  // namespace xq
