// The search: depth-first negamax alpha-beta over the one global position. Moves are not
// generated into lists; each node walks fixed phases (the principal line's move, recaptures, other
// captures victim by victim, quiet moves piece by piece) and plays every move it tries in
// GameRecord[ply], ply = recordTop, above the game's own moves. Positions are scored by adding up
// MoveGain along the line; there is no evaluation at the leaves.
#pragma once

#include <cstdint>

#include "rules/game.h"
#include "rules/types.h"

namespace xq {

inline constexpr int kMaxPly = 44;            // nodes exist at plies 0..44
inline constexpr int32_t kMateScore = 32000;  // mated at ply p scores p * kMatePly - kMateScore
inline constexpr int32_t kMatePly = 128;
static_assert(kLineLength == kMaxPly + 1);

using SearchLine = MoveRecord[kLineLength];

// What a node knows of the move that led to it; its parent's NodeInfo holds it.
struct ParentInfo {
    int16_t onLine;  // the move is on the principal line
    int32_t eval;    // static score after the move, for the side that made it
    int32_t score;   // searched score of the move, for the side that made it
};

// One node's working record, on the call stack.
struct NodeInfo {
    SearchLine line;       // the line below the move being tried
    int16_t capturesOnly;  // below the horizon and not in check: no quiet moves, stand pat
    int32_t bestScore;
    int32_t depthLeft;       // depth handed to the child
    ParentInfo child;        // what the child of the move being tried sees as its ParentInfo
    int16_t researchNeeded;  // searched with a null window first; a success is searched again
    uint8_t phase;           // 0 line move, 1 recapture, 2 any other move
    // The best score, for the side to move, of the legal moves refused because they repeat a
    // position; kNoRepetition while there is none. It scores a node that has no other move.
    int32_t repetitionScore;
};
inline constexpr int32_t kNoRepetition = INT32_MIN;

struct NodeFrame {
    int32_t alpha;
    int32_t beta;
    int32_t depth;
    const ParentInfo& parentInfo;
    SearchLine& parentLine;  // where this node stores its best line
    NodeInfo& info;
};

// Shared with the think driver.
extern SearchLine bestLine;  // entry 0 is the move to play; a piece 0 ends the line
extern int32_t searchScore;  // score of bestLine for the side to move at the root
extern int32_t iterationDepth;
extern int32_t rootMoveCount;  // legal, non-repeating root moves met in this iteration
extern uint8_t stopSearch;     // every node returns at once when it is set
// While set, root moves that repeat an earlier position are searched like any other (the flow's
// second search when every legal move repeats).
extern uint8_t repetitionAllowedAtRoot;
extern int16_t* const inCheckFlags;  // [ply], -1..kMaxPly: the move at that ply gives check
extern ParentInfo rootParent;
extern int32_t rootWindowLow;
extern int32_t firstIterationScore;  // searchScore before iterations 1 and 2 (draw contempt)
extern uint64_t nodeCount;           // moves prepared

// When set, root moves for which it returns true are passed over as if they were illegal (the
// protocol engine's banned and restricted moves). The game never sets it.
using RootMoveFilter = bool (*)(const MoveRecord& move);
extern RootMoveFilter rootMoveExcluded;

// One iteration at iterationDepth from the root, with recordTop 0. The position is the root
// position again afterwards, whether the iteration completed or was stopped.
int32_t RootSearch(int32_t alpha, int32_t beta);

// A node at ply recordTop, scored for sideToMove.
int32_t Search(int32_t alpha, int32_t beta, int32_t depth, const ParentInfo& parentInfo,
               SearchLine& parentLine);

// The pieces of a node; each returns true when the node is finished (a cut-off or a stop).
bool SearchMoves(NodeFrame& frame);
bool SearchCapturesTo(Square square, NodeFrame& frame);
bool SearchQuietMoves(Square from, NodeFrame& frame);
bool TryMove(NodeFrame& frame);

// Counts, scores, prunes, makes and tests GameRecord[ply]. False: the move is on the board and is
// to be searched. True: it was skipped and is not on the board.
bool PrepareMove(NodeFrame& frame);
bool Prune(int32_t value, NodeFrame& frame);
void DrawScore(NodeInfo& info);
void StoreBestLine(NodeFrame& frame);

}  // namespace xq
