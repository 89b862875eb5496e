// The local time of day and a millisecond tick count. The game clocks and the search's stopwatch
// read the time of day; short pauses read the tick count. Tests install sources of their own so
// that clock arithmetic can be checked at any hour, midnight included.
#pragma once

#include <cstdint>

namespace xq {

struct TimeOfDay {
    int32_t hour;    // 0..23
    int32_t minute;  // 0..59
    int32_t second;  // 0..59
    int32_t millisecond;
};

using TimeOfDaySource = TimeOfDay (*)();
using TickCountSource = uint32_t (*)();

TimeOfDay LocalTimeOfDay();
// Milliseconds since an arbitrary start; wraps around like any 32-bit tick count.
uint32_t TickCount();

// Replace the source (nullptr restores the system's clock).
void SetTimeOfDaySource(TimeOfDaySource source);
void SetTickCountSource(TickCountSource source);

// Spins until `milliseconds` have passed on the tick count.
void BusyWait(uint32_t milliseconds);

}  // namespace xq
