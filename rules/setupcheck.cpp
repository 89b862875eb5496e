#include "rules/setupcheck.h"

#include <algorithm>
#include <iterator>

#include "rules/attacks.h"
#include "rules/board.h"

namespace xq {

namespace {

struct Point {
    int rank;
    int file;
};

// The points an Assist or a Bishop of each side may stand on, Red's first.
constexpr Point kAssistPoints[2][5] = {{{0, 3}, {0, 5}, {1, 4}, {2, 3}, {2, 5}},
                                       {{7, 3}, {7, 5}, {8, 4}, {9, 3}, {9, 5}}};
constexpr Point kBishopPoints[2][7] = {{{0, 2}, {0, 6}, {2, 0}, {2, 4}, {2, 8}, {4, 2}, {4, 6}},
                                       {{5, 2}, {5, 6}, {7, 0}, {7, 4}, {7, 8}, {9, 2}, {9, 6}}};

template <size_t N>
bool IsOneOf(const Point (&points)[N], int rank, int file) {
    return std::any_of(std::begin(points), std::end(points),
                       [&](const Point& p) { return p.rank == rank && p.file == file; });
}

// Whether a piece of `kind` and `side` may stand on (rank, file) when a position is set up.
bool MayStand(PieceKind kind, Side side, int rank, int file) {
    const int relativeRank = side == Red ? rank : 9 - rank;
    switch (kind) {
        case King:
            return relativeRank <= 2 && file >= 3 && file <= 5;
        case Assist:
            return IsOneOf(kAssistPoints[side], rank, file);
        case Bishop:
            return IsOneOf(kBishopPoints[side], rank, file);
        case Pawn:
            // Before the river only on the files of the opening array.
            return relativeRank >= 5 || (relativeRank >= 3 && file % 2 == 0);
        default:
            return true;
    }
}

template <typename Visit>
void ForEachPiece(Visit visit) {
    for (int rank = 0; rank < kRanks; ++rank) {
        for (int file = 0; file < kFiles; ++file) {
            const BoardCell& cell = board[MakeSquare(rank, file)];
            if (cell.kind != Empty && cell.side <= Black)
                visit(static_cast<PieceKind>(cell.kind), static_cast<Side>(cell.side), rank, file);
        }
    }
}

}  // namespace

std::string SetUpCountError() {
    int count[2][8] = {};
    ForEachPiece([&](PieceKind kind, Side side, int, int) { ++count[side][kind]; });
    auto either = [&](PieceKind kind, int most) {
        return count[Red][kind] > most || count[Black][kind] > most;
    };
    std::string names;
    if (count[Red][King] != 1) names += "帅";
    if (count[Black][King] != 1) names += "将";
    if (count[Red][Assist] > 2) names += "仕";
    if (count[Black][Assist] > 2) names += "士";
    if (count[Red][Bishop] > 2) names += "相";
    if (count[Black][Bishop] > 2) names += "象";
    if (either(Knight, 2)) names += "马";
    if (either(Rook, 2)) names += "车";
    if (count[Red][Gunner] > 2) names += "炮";
    if (count[Black][Gunner] > 2) names += "砲";
    if (count[Red][Pawn] > 5) names += "兵";
    if (count[Black][Pawn] > 5) names += "卒";
    return names.empty() ? "" : names + "的数目不正确";
}

std::string SetUpPlacementError() {
    // Misplaced kinds in the order the message names them: King, Assist, Bishop, Pawn, Red first.
    bool misplaced[2][8] = {};
    ForEachPiece([&](PieceKind kind, Side side, int rank, int file) {
        if (!MayStand(kind, side, rank, file)) misplaced[side][kind] = true;
    });
    static constexpr const char* kNames[2][8] = {{"", "帅", "", "", "", "仕", "相", "兵"},
                                                 {"", "将", "", "", "", "士", "象", "卒"}};
    std::string names;
    if (IsAttacked(sideToMove, KingSquare(otherSide))) names += "王";
    for (PieceKind kind : {King, Assist, Bishop, Pawn}) {
        for (Side side : {Red, Black}) {
            if (misplaced[side][kind]) names += kNames[side][kind];
        }
    }
    return names.empty() ? "" : names + "的位置错误";
}

}  // namespace xq
