#include "rules/clock.h"

namespace xq {

uint8_t clockRunning = 0;

void ResetClocks() {
    clockRunning = 0;
}

}  // namespace xq
