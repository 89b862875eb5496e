#include "rules/setupcheck.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/texts.h"

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

// The translated `names` as one list, in their order.
std::string NameList(const std::vector<std::string_view>& names) {
    std::string list = Tr(names.front());
    for (size_t k = 1; k < names.size(); ++k)
        list = FormatText(kNameListPattern, {list, Tr(names[k])});
    return list;
}

}  // namespace

std::string SetUpCountError() {
    int count[2][8] = {};
    ForEachPiece([&](PieceKind kind, Side side, int, int) { ++count[side][kind]; });
    auto either = [&](PieceKind kind, int most) {
        return count[Red][kind] > most || count[Black][kind] > most;
    };
    const std::pair<bool, std::string_view> wrong[] = {
        {count[Red][King] != 1, kRedKingName},    {count[Black][King] != 1, kBlackKingName},
        {count[Red][Assist] > 2, kRedAssistName}, {count[Black][Assist] > 2, kBlackAssistName},
        {count[Red][Bishop] > 2, kRedBishopName}, {count[Black][Bishop] > 2, kBlackBishopName},
        {either(Knight, 2), kKnightName},         {either(Rook, 2), kRookName},
        {count[Red][Gunner] > 2, kRedGunnerName}, {count[Black][Gunner] > 2, kBlackGunnerName},
        {count[Red][Pawn] > 5, kRedPawnName},     {count[Black][Pawn] > 5, kBlackPawnName},
    };
    std::vector<std::string_view> names;
    for (const auto& [isWrong, name] : wrong)
        if (isWrong) names.push_back(name);
    return names.empty() ? "" : FormatText(kWrongCountPattern, {NameList(names)});
}

std::string SetUpPlacementError() {
    // Misplaced kinds in the order the message names them: King, Assist, Bishop, Pawn, Red first.
    bool misplaced[2][8] = {};
    ForEachPiece([&](PieceKind kind, Side side, int rank, int file) {
        if (!MayStand(kind, side, rank, file)) misplaced[side][kind] = true;
    });
    static constexpr std::string_view kNames[2][8] = {
        {"", kRedKingName, "", "", "", kRedAssistName, kRedBishopName, kRedPawnName},
        {"", kBlackKingName, "", "", "", kBlackAssistName, kBlackBishopName, kBlackPawnName}};
    std::vector<std::string_view> names;
    if (IsAttacked(sideToMove, KingSquare(otherSide))) names.push_back(kAttackedKingName);
    for (PieceKind kind : {King, Assist, Bishop, Pawn}) {
        for (Side side : {Red, Black}) {
            if (misplaced[side][kind]) names.push_back(kNames[side][kind]);
        }
    }
    return names.empty() ? "" : FormatText(kWrongPlacePattern, {NameList(names)});
}

}  // namespace xq
