// The time budget of the engine's coming move, by level.
#pragma once

namespace xq {

// Sets timeLimit for the engine's coming move from the level, the full moves played and the
// time both sides have used (sideClock[clockSide] for the side about to move, sideClock[otherSide]
// for its opponent); sets timedThinking, clears pondering and shows the busy cursor. The result
// may be 0 or negative for a side that has overrun its time: the first iteration still completes.
void ComputeTimeLimit();

}  // namespace xq
