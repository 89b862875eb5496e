#include "rules/perft.h"

#include <algorithm>

#include "rules/board.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/movegen.h"

namespace xq {

namespace {

// The move list is global and every generation overwrites it, so each level keeps its own copy.
struct LocalMoves {
    MoveRecord move[kMoveListCapacity];
    int count = 0;

    void Generate() {
        GenerateMoves();
        count = moveList.moveCount;
        std::copy_n(moveList.slot + 1, count, move);
    }
};

uint64_t CountLegal(const LocalMoves& moves) {
    uint64_t n = 0;
    for (int i = 0; i < moves.count; ++i)
        n += !LeavesKingAttacked(moves.move[i]);
    return n;
}

uint64_t PerftBelow(int depth) {
    LocalMoves moves;
    moves.Generate();
    if (depth == 1) return CountLegal(moves);
    uint64_t nodes = 0;
    for (int i = 0; i < moves.count; ++i) {
        const MoveRecord& m = moves.move[i];
        if (LeavesKingAttacked(m)) continue;
        MakeMove(m, false);
        SwapSides();
        nodes += PerftBelow(depth - 1);
        SwapSides();
        MakeMove(m, true);
    }
    return nodes;
}

}  // namespace

uint64_t Perft(int depth) {
    return depth <= 0 ? 1 : PerftBelow(depth);
}

std::vector<std::pair<MoveRecord, uint64_t>> PerftDivide(int depth) {
    std::vector<std::pair<MoveRecord, uint64_t>> result;
    if (depth <= 0) return result;
    LocalMoves moves;
    moves.Generate();
    for (int i = 0; i < moves.count; ++i) {
        const MoveRecord& m = moves.move[i];
        if (LeavesKingAttacked(m)) continue;
        MakeMove(m, false);
        SwapSides();
        result.emplace_back(m, Perft(depth - 1));
        SwapSides();
        MakeMove(m, true);
    }
    return result;
}

}  // namespace xq
