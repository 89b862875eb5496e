// The one position of the program: the board, a piece list per side and the side to move.
#pragma once

#include "rules/types.h"

namespace xq {

using Board = BoardCell[kBoardCells];

// A side's pieces ordered by kind (King first, Pawns last). Entry 0 is the King whenever the side
// has one. Captured pieces keep their entry with kind 0; only BuildPieceLists renumbers.
struct PieceList {
    PieceEntry entry[kListSize];
    int32_t lastIndex;    // last entry in use; -1 for an empty list
    int32_t lastOfficer;  // last entry that is not a Pawn; -1 when there is none
};

// A whole position as a value: what a move, a set-up or a FEN reading changes. The game keeps
// one of them, gamePosition; searches of their own copy it.
struct Position {
    Board board;
    PieceList pieceList[2];
    // Per side, the index of the first Assist or Bishop entry (lastOfficer + 1 when there is
    // none). These pieces act only in their own half, so attack tests on the other half stop
    // before them. Set by BuildPieceLists; entries never move during play.
    int32_t firstDefender[2];
    Side sideToMove;
    Side otherSide;  // always the complement of sideToMove
    // Zobrist key of the pieces on the board (rules/zobrist.h; the side to move is not in it):
    // computed by BuildPieceLists, kept up to date by MakeMove.
    uint64_t key;
};

extern Position gamePosition;

// The game's position under the names the rules and the classic engine use.
inline Board& board = gamePosition.board;
inline PieceList (&pieceList)[2] = gamePosition.pieceList;
inline int32_t (&firstDefender)[2] = gamePosition.firstDefender;
inline Side& sideToMove = gamePosition.sideToMove;
inline Side& otherSide = gamePosition.otherSide;

// Geometry. Generation walks each step table from its last entry to its first.
inline constexpr int kOrthogonalSteps[4] = {1, -1, 16, -16};
inline constexpr int kAssistSteps[4] = {15, -15, 17, -17};
inline constexpr int kBishopSteps[4] = {30, -30, 34, -34};
inline constexpr int kKnightSteps[8] = {14, -14, 18, -18, 31, -31, 33, -33};
constexpr int PawnForward(Side side) {
    return side == Red ? 16 : -16;
}

constexpr bool InPalace(Side side, Square s) {
    int file = s % 16;
    if (file < 3 || file > 5) return false;
    return side == Red ? (s >= 0 && s <= 40) : (s >= 112 && s <= 152);
}
constexpr bool InOwnHalf(Side side, Square s) {
    return side == Red ? s <= 72 : s >= 80;
}

// The point a Bishop's move passes over (its eye), given the destination and the step.
constexpr Square BishopEye(Square to, int step) {
    return to - step / 2;
}

// The point one orthogonal step from the Knight toward the long leg of its jump.
constexpr Square KnightLeg(Square to, int step) {
    switch (step) {
        case 14:
        case 31:
            return to - 15;
        case -14:
        case -31:
            return to + 15;
        case 18:
        case 33:
            return to - 17;
        default:
            return to + 17;  // -18, -33
    }
}

inline Square KingSquare(const Position& position, Side side) {
    return position.pieceList[side].entry[0].square;
}
inline Square KingSquare(Side side) {
    return KingSquare(gamePosition, side);
}

// The key of the whole position: its pieces and the side to move.
uint64_t PositionKey(const Position& position);

// Exchanges sideToMove and otherSide, as the search and its helpers do around a move made with
// MakeMove (PlayMove and TakeBackMove also keep clockSide).
inline void SwapSides(Position& position) {
    const Side side = position.sideToMove;
    position.sideToMove = position.otherSide;
    position.otherSide = side;
}
inline void SwapSides() {
    SwapSides(gamePosition);
}

void ClearBoard(Position& position);
void ClearBoard();
void PutPiece(PieceKind kind, Side side, Square square);
void ResetPieceLists();
// Rebuilds both lists and the key from the board; needed after any change that bypasses MakeMove.
void BuildPieceLists(Position& position);
void BuildPieceLists();
void SetUpStartingPosition();

// True when the board and the piece lists describe the same pieces and the key is that of the
// board (tests and tools use it). The game's key is not checked: the classic search's make
// leaves it to its take-back.
bool PositionIsConsistent(const Position& position);
bool PositionIsConsistent();

}  // namespace xq
