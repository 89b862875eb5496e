// A time of day and a tick count that tests set by hand. Installed for the object's lifetime.
#pragma once

#include "platform/timeofday.h"

namespace xq::testing {

class FakeTime {
  public:
    FakeTime() {
        now_ = {12, 0, 0, 0};
        ticks_ = 0;
        SetTimeOfDaySource([] { return now_; });
        // Every read of the tick count advances it by one millisecond, so waits end.
        SetTickCountSource([] { return ticks_++; });
    }
    ~FakeTime() {
        SetTimeOfDaySource(nullptr);
        SetTickCountSource(nullptr);
    }
    FakeTime(const FakeTime&) = delete;
    FakeTime& operator=(const FakeTime&) = delete;

    void Set(int hour, int minute, int second, int millisecond = 0) {
        now_ = {hour, minute, second, millisecond};
    }
    // Moves the time of day on by whole seconds, wrapping at midnight.
    void Advance(int seconds) {
        int total = (now_.hour * 3600 + now_.minute * 60 + now_.second + seconds) % 86400;
        now_ = {total / 3600, total / 60 % 60, total % 60, now_.millisecond};
    }
    uint32_t Ticks() const { return ticks_; }

  private:
    static inline TimeOfDay now_{};
    static inline uint32_t ticks_ = 0;
};

}  // namespace xq::testing
