// The engine's start-up.
#pragma once

namespace xq {

// Registers the engine's per-game resets with NewGame: the evaluation tables, the stop flag, the
// node counter, the library flag, noTimeLimit and the 大师 engine's tables. Call once at start-up,
// before the first NewGame; later calls do nothing.
void InitEngine();

}  // namespace xq
