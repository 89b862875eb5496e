// An engine the user has added (another program, spoken to over UCI, UCCI or XBoard) under the
// game's think driver, as MasterThinkAndChoose runs the 大师 engine: the engine is given the game
// from its start, searches under the level's limits while the window's pump runs, and its answer
// is left where the classic driver leaves its own (bestLine, searchScore, iterationDepth,
// nodeCount and the panel's values), so that the flow, the log and the panel need not know who
// searched.
//
// The engine's process is started on the first search and kept between moves; it is ended when
// the game's engine changes, when the program ends and after a failure. An engine that fails
// (cannot start, exits, hangs, answers an illegal or malformed move, ignores "停止") leaves no
// move: the user is told which engine did what, in the panel's message line and a message box.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "host/engineclient.h"

namespace xq {

// How long past its time an engine may go before it is asked to stop: the slack between the
// limit it was given and its answer arriving through pipes on a busy machine.
inline constexpr std::chrono::milliseconds kEngineLateMargin{3000};
// The margin in force (tests shorten it).
extern std::chrono::milliseconds engineLateMargin;

// The engine the game plays with. Changing it ends the running one (if another).
void UseAddedEngine(const host::EngineSetup& setup);
// Ends the added engine's process, if one runs (the game's engine changed, the program ends).
void EndAddedEngine();
// The running engine's client, or null when none runs (tests look at its process).
host::EngineClient* RunningAddedEngine();
// Why the added engine's last search gave no move, in words; empty after a search that worked.
const std::string& AddedEngineFailure();

// The game's position for an engine: the FEN of the earliest position the record holds and the
// ICCS moves played since, up to the search's root (GameHistory()).
void GameForEngine(std::string* startFen, std::vector<std::string>* moves);

// The limits of one search of the added engine at the current level: seconds per move, 容易 and
// 匹配 as a move time from timeLimit; minutes per game as both sides' clocks; 无限制 (or
// noTimeLimit) infinite; 回合搜索 `depthLimit` plies. `ponder` marks a search on the user's time.
host::GoLimits LevelLimits(int depthLimit, bool ponder);

// One search by the added engine from the current position for sideToMove, the game anchored
// below recordTop 0 (while pondering, the predicted reply played): the result in bestLine[0] and
// the rest as ThinkAndChoose leaves it; no move, with the failure told, when the engine fails. On
// the user's time an engine that does not ponder waits without searching until the user moves.
void ExternalThinkAndChoose(int depthLimit);
// The hint's search: a move time of kHintSeconds (less when the level's time is shorter).
void ExternalHint();

}  // namespace xq
