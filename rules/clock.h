// The game clocks and the stopwatch they are made of. They are game data: time limits and game
// files read them; only their display (the one-second tick and the clock text) belongs to the
// window.
#pragma once

#include <cstdint>

#include "platform/timeofday.h"
#include "rules/types.h"

namespace xq {

// Measures wall-clock time in whole seconds from readings of the local time of day.
struct Stopwatch {
    // The last reading taken. `hundredths` holds the millisecond reading times ten.
    int32_t hour;
    int32_t minute;
    int32_t second;
    int32_t hundredths;
    // The four differences of all laps added up, field by field.
    int32_t sumHours;
    int32_t sumMinutes;
    int32_t sumSeconds;
    int32_t sumHundredths;
    int32_t laps;
    double elapsed;  // seconds
};
static_assert(sizeof(Stopwatch) == 48);
static_assert(offsetof(Stopwatch, laps) == 32);
static_assert(offsetof(Stopwatch, elapsed) == 40);

// All fields 0.
void Reset(Stopwatch& watch);
// Takes a reading; the elapsed time is kept.
void Start(Stopwatch& watch);
// Adds the time since the last reading to `elapsed` and takes a new reading. A reading whose hour
// is below the last one's is taken to be past midnight (24 is added to its hour). The sub-second
// difference is recorded but weighs nothing, so `elapsed` advances in whole wall-clock seconds.
void Lap(Stopwatch& watch);

extern Stopwatch sideClock[2];  // the time each side has used, indexed by Side
extern uint8_t clockRunning;    // 1 while a side's clock runs
extern Side runningClock;       // whose clock runs, or ran last

// Both clocks to zero; neither runs afterwards.
void ResetClocks();
// Starts `side`'s clock from the time of day now.
void StartClock(Side side);
// When a clock runs: adds the time since its start to that side's used time and stops it.
void StopClock();

}  // namespace xq
