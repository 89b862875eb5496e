// The 大师 engine under the game's think driver. It searches its own copy of the game's position
// and reports through callbacks; this adapter turns those reports into what the classic driver
// leaves behind (bestLine, searchScore, iterationDepth, rootMoveCount, nodeCount and the panel's
// values), keeps the level's time rules, and hands the window's pump to the search as its poll.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/master/engine.h"
#include "rules/types.h"

namespace xq {

// One search by `engine` from the current position for sideToMove, the game anchored below
// recordTop 0, as ThinkAndChoose does it: deepens until depthLimit, a stop, the time limit, a
// single legal move or a mate found. The position and recordTop are as before. `thinking` is set
// while it runs.
void MasterThinkAndChoose(master::Engine& engine, int depthLimit);

// The hint's search by `engine`, as MasterThinkAndChoose with `hinting` set: it deepens up to
// maxDepth under the time the game gives a hint (the last computed timeLimit), but never past
// kHintSeconds, since nothing the user does stops a hint's search.
inline constexpr double kHintSeconds = 1.0;
void MasterHint(master::Engine& engine);

// What a search by another engine than the classic one starts from, as ThinkAndChoose does: the
// game's position as searchRoot, the search clock started afresh, no nodes, no stop, no line, and
// the count of the legal moves at the root.
void StartSearchOfTheGame();

// The game's moves that led to the current position, oldest first: the record from the first move
// of the game (or the oldest it still holds) up to recordTop, recordTop itself excluded when it is
// the search's working slot 0.
std::vector<MoveRecord> GameHistory();

// A 大师 score (hundredths of a Pawn, kMate - n for a mate in n plies) in the classic engine's
// units (a Pawn is 256, a mate in n plies kMateScore - n * kMatePly), so that the panel, the log
// and the demonstration's resignation read it as they read the classic engine's scores.
int32_t ClassicScore(int32_t masterScore);
// The way back: a score in the classic engine's units (from either engine) as a 大师 score, for
// the values the game keeps per move.
int32_t MasterScore(int32_t classicScore);

}  // namespace xq
