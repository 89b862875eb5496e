// The running clock's text in the information panel: the used time of the side whose clock runs,
// counted on from the clock's last reading to the time of day now, as minutes and seconds with a
// colon that blinks once a second.
#pragma once

#include <limits>
#include <string>

#include "platform/timeofday.h"
#include "rules/clock.h"

namespace xq {

inline constexpr int32_t kLongestShownSeconds = std::numeric_limits<int32_t>::max();

// Whole seconds `watch` has used by `now`: its elapsed time plus the wall-clock time since its
// last reading, within 0..kLongestShownSeconds. A time of day whose hour is below the reading's
// is past midnight, as Lap takes it.
int32_t ShownClockSeconds(const Stopwatch& watch, const TimeOfDay& now);

// "MM:SS" (at least two digits of minutes, so 100 minutes show "100:00"), with a blank in place
// of the colon when `colon` is false. `totalSeconds` is at least 0.
std::string ClockText(int32_t totalSeconds, bool colon);

}  // namespace xq
