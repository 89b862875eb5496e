// The think driver: the level setting, the run flags that tell re-entered handlers where the
// engine is, the search stopwatch, one search by iterative deepening (ThinkAndChoose) and the
// values it writes into the information panel. The time budget of each level is in
// engine/timecontrol.h, the message pump in engine/pump.h.
#pragma once

#include <cstdint>
#include <string>

#include "rules/board.h"
#include "rules/clock.h"
#include "rules/types.h"

namespace xq {

// The levels, as levelKind holds them.
inline constexpr uint8_t kLevelPerMove = 0;  // levelTime seconds per move
inline constexpr uint8_t kLevelPerGame = 1;  // levelTime minutes per game
inline constexpr uint8_t kLevelEasy = 2;     // 5 seconds per move, never thinks on the user's time
inline constexpr uint8_t kLevelUnlimited = 3;   // no time limit
inline constexpr uint8_t kLevelFixedDepth = 4;  // maxDepth plies
inline constexpr uint8_t kLevelMateSearch = 5;  // looks for a mate only
inline constexpr uint8_t kLevelMatching = 6;    // takes as long as the user does

// What a new installation starts with, and what a missing or unreadable chess.ini entry means.
inline constexpr uint8_t kDefaultLevel = kLevelEasy;
inline constexpr double kDefaultLevelTime = 5.0;
inline constexpr uint8_t kDefaultMaxDepth = 45;

// Level state.
extern uint8_t levelKind;      // one of the kLevel values
extern double levelTime;       // seconds per move (levels 0 and 2) or minutes per game (level 1)
extern uint8_t maxDepth;       // last iteration depth, 1..45
extern uint8_t twoPlayerMode;  // two people play; the engine never thinks on the user's time
extern uint8_t demoMode;       // the engine plays both sides
extern uint8_t noTimeLimit;    // while set the search never stops on time

// Run flags and time state.
extern uint8_t timedThinking;  // thinking on the engine's own move under timeLimit
extern uint8_t pondering;      // thinking on the user's time, the predicted reply on the board
extern double timeLimit;       // seconds allowed for the current move
extern Stopwatch searchClock;  // measures the current search
extern uint8_t bestPathShown;  // the menu option that shows the best line and its value

// The game's position where the running search began. The classic search moves the pieces of
// the game's board along the line it examines, so what the window shows of the game while
// `thinking` is set is read from this copy. It stands after slot -1 of the record (while
// pondering, after the reply the engine expects).
extern Position searchRoot;

// The panel text of the level ("两人对弈" while twoPlayerMode is set).
std::string LevelText();

// One search from the current position for sideToMove, the game anchored below recordTop 0.
// Prepares the evaluation and deepens until depthLimit, a stop, the time limit, a single legal
// move or a mate found within 27 plies. The result is in bestLine and searchScore; the position
// and recordTop are as before. `thinking` is set while it runs.
void ThinkAndChoose(int depthLimit);

// Called after every iteration of ThinkAndChoose when set (tools print progress with it).
using IterationHook = void (*)();
extern IterationHook iterationHook;

// True when timed thinking has used up timeLimit on the search clock (never while noTimeLimit
// is set or thinking is untimed).
bool TimeIsUp();
// Laps the search clock and returns its elapsed seconds (whole seconds of the wall clock).
double SearchSeconds();

// The information panel's values. ShowRootMove writes the iteration and the root move being
// tried (GameRecord[0], played by sideToMove); ShowSearchLine the best line played first by
// `firstMover` and its score from that side's view, only while bestPathShown; ShowNodeRate the
// nodes of the finished search and, when `elapsed` is not 0, nodes per second.
void ShowRootMove();
void ShowSearchLine(const MoveRecord* line, int32_t score, Side firstMover);
void ShowNodeRate(double elapsed);

// The texts behind those values, for the panel fields Depth, BestPath, Value, Seconds, Nodes.
std::string RootMoveText(int32_t depth, const MoveRecord& move, Side mover);
std::string SearchLineText(const MoveRecord* line, Side firstMover);
std::string ScoreText(int32_t score);
std::string NodeRateText(uint64_t nodes, double elapsed);
std::string NodeCountText(uint64_t nodes);

}  // namespace xq
