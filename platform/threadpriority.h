// Background searches (the analysis of a game, the analysis mode) run beside the window and the
// game's own engine, which searches on the window's thread. On a machine with few cores they would
// take turns with it at equal weight; at a lower priority they take what the window and the game
// leave. Neither waits for a depth (the game's analysis has its seconds a position, the analysis
// mode no end), so they only search less deeply for it.
#pragma once

namespace xq {

// Lowers the scheduling priority of the calling thread alone (on Linux its nice value by 10, to at
// most 19: nice 10 in a game started as usual). Lowering needs no privilege; where it is refused
// or not supported the thread simply keeps its priority.
void LowerThisThreadsPriority();

}  // namespace xq
