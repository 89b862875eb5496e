// The game clocks. They are game data: time limits and game files read them; only their display
// belongs to the window.
#pragma once

#include <cstdint>

namespace xq {

extern uint8_t clockRunning;  // 1 while a player's clock runs

void ResetClocks();

}  // namespace xq
