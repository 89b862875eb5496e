#include "platform/timeofday.h"

#include <chrono>
#include <ctime>

namespace xq {

namespace {

TimeOfDay SystemTimeOfDay() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int32_t>(ms)};
}

uint32_t SystemTickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

TimeOfDaySource timeOfDaySource = SystemTimeOfDay;
TickCountSource tickCountSource = SystemTickCount;

}  // namespace

TimeOfDay LocalTimeOfDay() {
    return timeOfDaySource();
}

uint32_t TickCount() {
    return tickCountSource();
}

void SetTimeOfDaySource(TimeOfDaySource source) {
    timeOfDaySource = source ? source : SystemTimeOfDay;
}

void SetTickCountSource(TickCountSource source) {
    tickCountSource = source ? source : SystemTickCount;
}

void BusyWait(uint32_t milliseconds) {
    const uint32_t start = TickCount();
    // Unsigned subtraction keeps the test right across a wrap of the counter.
    while (TickCount() - start < milliseconds) {
    }
}

}  // namespace xq
