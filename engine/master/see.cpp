#include "engine/master/see.h"

#include "rules/attacks.h"
#include "rules/makemove.h"

namespace xq::master {

namespace {

// The least valuable piece of the side to move that attacks `target`; NullMove when none.
MoveRecord CheapestCapture(const Position& position, Square target) {
    const PieceList& list = position.pieceList[position.sideToMove];
    MoveRecord best = NullMove;
    int32_t bestValue = 1 << 30;
    for (int i = list.lastIndex; i >= 0; --i) {
        const PieceEntry& entry = list.entry[i];
        if (entry.kind == Empty || kSeeValue[entry.kind] >= bestValue) continue;
        if (!Attacks(position, entry.kind, entry.square, target)) continue;
        best = MoveRecord{target, entry.square, 0, entry.kind, position.board[target].kind};
        bestValue = kSeeValue[entry.kind];
    }
    return best;
}

}  // namespace

int32_t StaticExchange(Position& position, const MoveRecord& capture) {
    const int32_t gain = kSeeValue[capture.captured];
    if (capture.captured == King) return gain;
    MakeMove(position, capture, false);
    SwapSides(position);
    const MoveRecord reply = CheapestCapture(position, capture.to);
    int32_t result = gain;
    if (reply.piece != Empty) {
        const int32_t answer = StaticExchange(position, reply);
        if (answer > 0) result = gain - answer;
    }
    SwapSides(position);
    MakeMove(position, capture, true);
    return result;
}

}  // namespace xq::master
