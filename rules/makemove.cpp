#include "rules/makemove.h"

#include <utility>

#include "rules/board.h"
#include "rules/record.h"

namespace xq {

void MakeMove(const MoveRecord& move, bool takeBack) {
    const Square to = move.to;
    const Square from = move.from;
    if (!takeBack) {
        if (move.captured != Empty) {
            BoardCell& victim = board[to];
            victim.kind = Empty;
            pieceList[victim.side].entry[victim.listIndex].kind = Empty;
        }
        std::swap(board[to], board[from]);
        const BoardCell& mover = board[to];
        pieceList[mover.side].entry[mover.listIndex].square = to;
        return;
    }
    std::swap(board[from], board[to]);
    const BoardCell& mover = board[from];
    pieceList[mover.side].entry[mover.listIndex].square = from;
    if (move.captured != Empty) {
        BoardCell& cell = board[to];
        PieceEntry& entry = pieceList[otherSide].entry[cell.listIndex];
        entry.kind = move.captured;
        entry.square = to;
        cell.kind = move.captured;
        cell.side = otherSide;
    }
}

namespace {
void SwapSidesAndClock() {
    clockSide = otherSide;
    otherSide = sideToMove;
    sideToMove = clockSide;
}
}  // namespace

void PlayMove(const MoveRecord& move) {
    ++recordTop;
    ++plyCount;
    MakeMove(move, false);
    SwapSidesAndClock();
}

void TakeBackMove(const MoveRecord& move) {
    SwapSidesAndClock();
    MakeMove(move, true);
    --plyCount;
    --recordTop;
}

}  // namespace xq
