// A stand-in evaluation: material, with Pawns worth more across the river and a little for
// pieces near the centre files. The tuned evaluation replaces it.
#include "engine/master/evaluation.h"

namespace xq::master {

namespace {

constexpr int32_t kValue[8] = {0, 0, 600, 285, 270, 120, 120, 30};

int32_t PieceScore(PieceKind kind, Side side, Square s) {
    int32_t score = kValue[kind];
    const int file = FileOf(s);
    const int centre = 4 - (file > 4 ? file - 4 : 4 - file);
    switch (kind) {
        case Pawn: {
            const bool across = side == Red ? RankOf(s) >= 5 : RankOf(s) <= 4;
            const int advance = side == Red ? RankOf(s) : 9 - RankOf(s);
            if (across) score += 40 + 6 * centre + (advance < 9 ? 4 * advance : 0);
            break;
        }
        case Knight:
        case Gunner:
        case Rook:
            score += 3 * centre;
            break;
        default:
            break;
    }
    return score;
}

}  // namespace

int32_t Evaluate(const Position& position) {
    int32_t score[2] = {0, 0};
    for (int side = Red; side <= Black; ++side) {
        const PieceList& list = position.pieceList[side];
        for (int i = 0; i <= list.lastIndex; ++i) {
            const PieceEntry& entry = list.entry[i];
            if (entry.kind == Empty) continue;
            score[side] += PieceScore(entry.kind, static_cast<Side>(side), entry.square);
        }
    }
    const Side us = position.sideToMove;
    return score[us] - score[Opponent(us)] + 10;  // a little for the move
}

}  // namespace xq::master
