// Core types of the position: squares, sides, piece kinds, board cells, piece-list entries and
// move records. Board cells and move records are written raw into game files and the engine's
// records, so their layouts are pinned below.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xq {

// A square is rank * 16 + file: rank 0 is Red's back rank, rank 9 Black's; file 0 is on Red's left.
using Square = int32_t;

using Side = uint8_t;
inline constexpr Side Red = 0;
inline constexpr Side Black = 1;
constexpr Side Opponent(Side side) {
    return static_cast<Side>(1 - side);
}

using PieceKind = uint8_t;
inline constexpr PieceKind Empty = 0;
inline constexpr PieceKind King = 1;
inline constexpr PieceKind Rook = 2;
inline constexpr PieceKind Gunner = 3;
inline constexpr PieceKind Knight = 4;
inline constexpr PieceKind Assist = 5;
inline constexpr PieceKind Bishop = 6;
inline constexpr PieceKind Pawn = 7;

// Letters by kind; kind 0 is a blank.
inline constexpr char kPieceLetters[] = " KRGNABP";

inline constexpr int kBoardCells = 153;  // squares 0..152
inline constexpr int kRanks = 10;
inline constexpr int kFiles = 9;
inline constexpr int kListSize = 16;     // entries per side's piece list
inline constexpr int16_t kNoEntry = 16;  // listIndex of a cell that names no entry

constexpr int RankOf(Square s) {
    return s >> 4;
}
constexpr int FileOf(Square s) {
    return s % 16;
}
constexpr Square MakeSquare(int rank, int file) {
    return rank * 16 + file;
}

// True for the 90 points of the board; every step test of the move rules uses exactly this.
constexpr bool IsBoardPoint(Square v) {
    return v >= 0 && v <= 152 && (v >> 4) < kRanks && v % 16 < kFiles;
}

// One square of the board. Moving a piece exchanges whole cells, so an empty cell keeps the side
// and listIndex of whatever last stood there; taking back a capture relies on that.
struct BoardCell {
    uint8_t kind;
    uint8_t side;
    int16_t listIndex;
    uint8_t threatMark;  // set and cleared by the board display only
    uint8_t spare;
};
static_assert(sizeof(BoardCell) == 6);
static_assert(offsetof(BoardCell, kind) == 0);
static_assert(offsetof(BoardCell, side) == 1);
static_assert(offsetof(BoardCell, listIndex) == 2);
static_assert(offsetof(BoardCell, threatMark) == 4);
static_assert(offsetof(BoardCell, spare) == 5);

struct PieceEntry {
    Square square;
    uint8_t kind;  // 0 once the piece is captured; the entry keeps its place
    uint8_t spare[3];
};
static_assert(sizeof(PieceEntry) == 8);
static_assert(offsetof(PieceEntry, kind) == 4);

struct MoveRecord {
    Square to;
    Square from;
    int16_t tag;       // 0 in every move the rules create
    uint8_t piece;     // 0 means no move
    uint8_t captured;  // 0 for a non-capture
};
static_assert(sizeof(MoveRecord) == 12);
static_assert(offsetof(MoveRecord, to) == 0);
static_assert(offsetof(MoveRecord, from) == 4);
static_assert(offsetof(MoveRecord, tag) == 8);
static_assert(offsetof(MoveRecord, piece) == 10);
static_assert(offsetof(MoveRecord, captured) == 11);

// The absence of a move: squares 9 and 10 are not board points.
inline constexpr MoveRecord NullMove{10, 9, 0, 0, 0};

}  // namespace xq
