#include "rules/makemove.h"

#include <utility>

#include "platform/check.h"
#include "rules/board.h"
#include "rules/record.h"
#include "rules/zobrist.h"

namespace xq {

namespace {

// The move fits the board it is made on, or taken back from: its piece stands on its origin (its
// destination when taking back) and a capture's victim is of the other side; taking back a capture
// needs otherSide to be the victim's. Only assertions call it, and they vanish from Release builds.
[[maybe_unused]] bool MoveFits(const Position& position, const MoveRecord& move, bool takeBack) {
    if (!IsBoardPoint(move.from) || !IsBoardPoint(move.to) || move.from == move.to) return false;
    if (move.piece < King || move.piece > Pawn || move.captured > Pawn) return false;
    const BoardCell& mover = position.board[takeBack ? move.to : move.from];
    const BoardCell& left = position.board[takeBack ? move.from : move.to];
    if (mover.kind != move.piece || left.kind != (takeBack ? Empty : move.captured)) return false;
    if (move.captured == Empty) return true;
    return takeBack ? mover.side != position.otherSide : left.side != mover.side;
}

// The mover leaves `from` and arrives on `to`; a captured piece leaves or comes back to `to`.
// Exclusive or undoes itself, so both directions change the key alike.
void UpdateKey(Position& position, const MoveRecord& move, bool takeBack) {
    const BoardCell& moving = position.board[takeBack ? move.to : move.from];
    uint64_t change =
        PieceKey(moving.side, moving.kind, move.from) ^ PieceKey(moving.side, moving.kind, move.to);
    if (move.captured != Empty) {
        const Side victim = takeBack ? position.otherSide : position.board[move.to].side;
        change ^= PieceKey(victim, move.captured, move.to);
    }
    position.key ^= change;
}

[[gnu::always_inline]] inline void MovePieces(Position& position, const MoveRecord& move,
                                              bool takeBack) {
    Board& board = position.board;
    PieceList(&pieceList)[2] = position.pieceList;
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
        PieceEntry& entry = pieceList[position.otherSide].entry[cell.listIndex];
        entry.kind = move.captured;
        entry.square = to;
        cell.kind = move.captured;
        cell.side = position.otherSide;
    }
}

}  // namespace

void MakeMove(Position& position, const MoveRecord& move, bool takeBack) {
    XQ_ASSERT(MoveFits(position, move, takeBack));
    UpdateKey(position, move, takeBack);
    MovePieces(position, move, takeBack);
}

// The classic search always takes back what it makes, so it leaves the key alone and saves the
// work on every node: the key is right again whenever the game reads it. Moves that stay on the
// board go through PlayMove, which keeps the key.
void MakeMove(const MoveRecord& move, bool takeBack) {
    XQ_ASSERT(MoveFits(gamePosition, move, takeBack));
    MovePieces(gamePosition, move, takeBack);
}

namespace {
void SwapSidesAndClock() {
    clockSide = otherSide;
    otherSide = sideToMove;
    sideToMove = clockSide;
}
}  // namespace

void PlayMove(const MoveRecord& move) {
    XQ_ASSERT(recordTop < kRecordTopSlot);
    ++recordTop;
    ++plyCount;
    MakeMove(gamePosition, move, false);
    SwapSidesAndClock();
    XQ_ASSERT(PositionIsConsistent());
}

void TakeBackMove(const MoveRecord& move) {
    XQ_ASSERT(recordTop > kRecordBottom);
    SwapSidesAndClock();
    MakeMove(gamePosition, move, true);
    --plyCount;
    --recordTop;
    XQ_ASSERT(PositionIsConsistent());
}

}  // namespace xq
