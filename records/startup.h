// The program's start-up, run once by the main window when it is first shown.
#pragma once

namespace xq {

// Registers the engine's and the game log's per-game resets with NewGame (once), then: seeds
// the random generator from the time of day, reads chess.ini, builds the attack table, clears
// the two-player, demonstration and reversed-board flags, loads the opening library, opens the
// game log, starts a new game (which writes the log's column header), and reads the engines the
// user added (engines.ini), falling back to 标准 when the chosen one is no longer among them.
void StartUp();

}  // namespace xq
