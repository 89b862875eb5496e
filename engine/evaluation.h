// Position scoring. Once per search PrepareEvaluation studies the root position and fills a
// piece-square table for both sides; during the search a move is scored by MoveGain, a few reads
// of that table, and the search adds the gains up along the line. Scores are 32-bit, 256 = one
// Pawn, always from the point of view of the side named.
#pragma once

#include <cstdint>

#include "rules/types.h"

namespace xq {

// Material by kind. Entries Rook..Pawn may be edited between searches (in steps of 16); the
// King's value is fixed.
extern int32_t pieceValue[8];
inline constexpr int32_t kDefaultPieceValue[8] = {0, 4096, 2304, 1104, 1024, 512, 512, 256};

// [side][kind][square]: what a piece of that kind is worth to that side on that square, on top
// of its material. Kind 0 and the squares off the board stay 0.
extern int32_t pieceSquareTable[2][8][kBoardCells];

// Summary of the root position, set by PrepareEvaluation.
extern int32_t totalMaterial;    // all material except the Kings
extern int32_t materialBalance;  // Red's minus Black's, Kings excluded
extern int32_t gamePhase;        // 63 at the opening array, 0 once at most 8447 is left
extern Side weakerSide;          // Black when materialBalance >= 0
extern uint8_t matingMode;       // one side is far ahead and the other has little left
extern int32_t rootScore;        // static score of the root for sideToMove

// Fixed tables, indexed by relative rank (counted from the side's own back rank) or by file.
inline constexpr int8_t palaceRank[10] = {0, 2, 3, 3, 3, 3, 3, 3, 3, 3};
inline constexpr int8_t palaceFile[9] = {3, 3, 3, 1, 0, 1, 3, 3, 3};
inline constexpr int8_t centreRank[10] = {3, 2, 1, 0, 0, 0, 0, 1, 2, 3};
inline constexpr int8_t centreFile[9] = {3, 2, 1, 0, 0, 0, 1, 2, 3};
inline constexpr int8_t advanceRank[10] = {0, 0, 0, 0, 0, 1, 1, 2, 4, 4};
inline constexpr int8_t pawnRankBonus[10] = {0, 0, 0, 0, 2, 4, 8, 20, 15, 2};
inline constexpr int8_t pawnFileBonus[9] = {0, 0, 2, 4, 5, 4, 2, 0, 0};

using SquareTable = int32_t[10][9];  // [relative rank][file]
extern const SquareTable rookTable;
extern const SquareTable knightTable;
extern const SquareTable gunnerTable;
extern const SquareTable pawnTable;

// Working tables of PrepareEvaluation, kept global so that they can be inspected.
// Worth to a side of bearing on a square: 0..61 with the default piece values, several hundred
// with the largest values the piece values dialog allows (hence 16 bits).
extern int16_t squareWeight[2][kBoardCells];
extern int32_t lineValue[2][kBoardCells];  // weighted sight along the four lines from a square

constexpr int RelativeRank(Side side, Square s) {
    return side == Red ? RankOf(s) : 9 - RankOf(s);
}

// Rebuilds pieceSquareTable and the summary values from the current position. Assumes a legal
// position with each King as entry 0 of its piece list.
void PrepareEvaluation();

// Sets every entry of kinds 1..7 to 0 (a new game).
void ClearEvaluation();

inline int32_t PieceSquareValue(PieceKind kind, Side side, Square square) {
    return pieceSquareTable[side][kind][square] + pieceValue[kind];
}

// The score change for sideToMove of playing `move`, which is not yet made and has its piece and
// captured fields filled. Reads searchScore and clockSide, which stay fixed during a search.
int32_t MoveGain(const MoveRecord& move);

}  // namespace xq
