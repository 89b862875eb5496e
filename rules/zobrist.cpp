#include "rules/zobrist.h"

#include "rules/board.h"

namespace xq {

uint64_t ComputePieceKey(const Position& position) {
    uint64_t key = 0;
    for (Square s = 0; s < kBoardCells; ++s) {
        const BoardCell& cell = position.board[s];
        if (cell.kind != Empty && IsBoardPoint(s)) key ^= PieceKey(cell.side, cell.kind, s);
    }
    return key;
}

}  // namespace xq
