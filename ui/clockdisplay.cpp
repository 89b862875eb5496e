#include "ui/clockdisplay.h"

#include <cstdio>

namespace xq {

int32_t ShownClockSeconds(const Stopwatch& watch, const TimeOfDay& now) {
    const int32_t hour = now.hour < watch.hour ? now.hour + 24 : now.hour;
    const double total = watch.elapsed + (hour - watch.hour) * 3600 +
                         (now.minute - watch.minute) * 60 + (now.second - watch.second);
    // A clock beyond what it can count (68 years) shows that; none shows less than nothing.
    if (!(total > 0)) return 0;
    if (total >= static_cast<double>(kLongestShownSeconds)) return kLongestShownSeconds;
    return static_cast<int32_t>(total);
}

std::string ClockText(int32_t totalSeconds, bool colon) {
    const int32_t minutes = totalSeconds / 60;
    const int32_t seconds = totalSeconds - minutes * 60;
    char text[32];
    std::snprintf(text, sizeof text, "%2.2d%s%02d", minutes, colon ? ":" : " ", seconds);
    return text;
}

}  // namespace xq
