// Game-level state shared by the rules, the engine and the window, and the resets of a new game
// and of a position set up by other means (a loaded file, the position editor).
#pragma once

#include <string>

#include "rules/types.h"

namespace xq {

inline constexpr int kLineLength = 45;

// What the engine last worked out for the game: the reply it expects and the line after it.
extern MoveRecord predictedLine[kLineLength];
extern int32_t predictedScore;

// The opening library's per-game switch: 1 while the game is still in the library (set by
// NewGame when a library is loaded), 0 for a position set up by other means and, for the rest of
// the game, once a lookup has not found the game in the library. libraryLoaded tells whether a
// library was found at start-up.
extern uint8_t libraryLimit;
extern bool libraryLoaded;

extern uint8_t thinking;  // set while the engine searches; a move entered meanwhile waits

extern MoveRecord enteredMove;     // the move last matched from the user's input
extern MoveRecord lastPlayerMove;  // the last committed user move
extern uint8_t gameOver;
extern std::string gameResultText;

// Later layers (engine, game log) keep per-game state of their own. Each registers a reset once
// at start-up; NewGame runs them after the rules' own reset, in the order they were added.
using NewGameHook = void (*)();
void AddNewGameHook(NewGameHook hook);
// The same for a position set up by other means: ResetAfterSetUp runs them last.
void AddSetUpHook(NewGameHook hook);

// What a game file would keep changes with every game move played or taken back and with every
// position set up; the game is marked as kept when it begins afresh and when a file holds it (a
// save, a restore, an import). A command that would drop the game asks first while it has
// changes no file keeps.
void CountGameChange();
void MarkGameKept();
bool GameChangedSinceKept();

void ClearSearchResult();
// The opening array, an empty record, clocks at zero: a game nothing needs to keep yet.
void NewGame();
// After a position was set up by other means (a loaded file, the editor): an empty record, piece
// lists rebuilt, no library, clocks stopped, no prediction, and the side to move's clock next.
void ResetAfterSetUp();
// A new game from the position on the board (the editor's "完成", a pasted FEN): ResetAfterSetUp,
// both clocks at zero, no ply played yet, no result and no user move.
void StartFromSetUpPosition();

}  // namespace xq
