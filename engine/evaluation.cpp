#include "engine/evaluation.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/search.h"
#include "platform/check.h"
#include "rules/board.h"
#include "rules/record.h"

namespace xq {

int32_t pieceValue[8] = {0, 4096, 2304, 1104, 1024, 512, 512, 256};
int32_t pieceSquareTable[2][8][kBoardCells];

int32_t totalMaterial = 0;
int32_t materialBalance = 0;
int32_t gamePhase = 0;
Side weakerSide = Black;
uint8_t matingMode = 0;
int32_t rootScore = 0;

int16_t squareWeight[2][kBoardCells];
int32_t lineValue[2][kBoardCells];

const SquareTable rookTable = {
    {-26, 128, 76, 180, 154, 180, 76, 128, -26},   {102, 52, 102, 204, 102, 204, 102, 52, 102},
    {52, 102, 76, 180, 154, 180, 76, 102, 52},     {76, 128, 102, 180, 180, 180, 102, 128, 76},
    {154, 204, 180, 256, 256, 256, 180, 204, 154}, {154, 180, 154, 230, 230, 230, 154, 180, 154},
    {154, 230, 204, 282, 282, 282, 204, 230, 154}, {154, 154, 154, 230, 230, 230, 154, 154, 154},
    {204, 256, 230, 308, 332, 308, 230, 256, 204}, {180, 180, 154, 230, 204, 230, 154, 180, 180},
};

const SquareTable knightTable = {
    {0, -52, 0, 0, 0, 0, 0, -52, 0},
    {0, 26, 52, 52, -26, 52, 52, 26, 0},
    {52, 26, 102, 102, 52, 102, 102, 26, 52},
    {26, 76, 102, 76, 128, 76, 102, 76, 26},
    {52, 154, 204, 180, 154, 180, 204, 154, 52},
    {76, 204, 180, 230, 204, 230, 180, 204, 76},
    {102, 308, 230, 308, 256, 308, 230, 308, 102},
    {154, 180, 204, 256, 230, 256, 204, 180, 154},
    {52, 128, 358, 204, 102, 204, 358, 128, 52},
    {52, 102, 204, 154, 52, 154, 204, 102, 52},
};

const SquareTable gunnerTable = {
    {0, 0, 26, 76, 76, 76, 26, 0, 0},       {0, 26, 52, 76, 76, 76, 52, 26, 0},
    {52, 0, 102, 76, 128, 76, 102, 0, 52},  {0, 0, 0, 26, 52, 26, 0, 0, 0},
    {-26, 0, 52, 26, 76, 26, 52, 0, -26},   {0, 0, 0, 26, 102, 26, 0, 0, 0},
    {0, 0, -26, 52, 128, 52, -26, 0, 0},    {26, 26, 0, -128, -102, -128, 0, 26, 26},
    {26, 26, 0, -52, -180, -52, 0, 26, 26}, {76, 52, 0, -128, -154, -128, 0, 52, 76},
};

const SquareTable pawnTable = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, -26, 0, 52, 0, -26, 0, 0},
    {26, 0, 102, 0, 102, 0, 102, 0, 26},
    {76, 154, 230, 230, 256, 230, 230, 154, 76},
    {128, 256, 384, 435, 512, 435, 384, 256, 128},
    {180, 332, 538, 768, 1024, 768, 538, 332, 180},
    {230, 460, 716, 1024, 1536, 1024, 716, 460, 230},
    {0, 38, 76, 115, 154, 115, 76, 38, 0},
};

namespace {

// Grows from 0 on the King's home square towards the corners of the palace and beyond.
int KingDisplacement(Side side, Square s) {
    return palaceRank[RelativeRank(side, s)] + palaceFile[FileOf(s)];
}

// 1. Material of everything but the Kings.
void CountMaterial() {
    totalMaterial = 0;
    materialBalance = 0;
    for (Square s = 0; s < kBoardCells; ++s) {
        const BoardCell& cell = board[s];
        if (cell.kind == Empty || cell.kind == King || !IsBoardPoint(s)) continue;
        const int32_t value = pieceValue[cell.kind];
        totalMaterial += value;
        materialBalance += cell.side == Red ? value : -value;
    }
}

// 2. Phase and mating mode.
void SetPhaseAndMode() {
    gamePhase = std::max(0, totalMaterial - 8192) / 256;
    weakerSide = materialBalance >= 0 ? Black : Red;
    const int32_t lead = std::abs(materialBalance);
    const int32_t weakerMaterial = (totalMaterial - lead) / 2;
    matingMode =
        weakerMaterial <= 2 * pieceValue[Gunner] && lead >= pieceValue[Rook] - pieceValue[Gunner]
            ? 1
            : 0;
}

// 3 and 4. Centre and advance, plus the squares next to the opposing King while material lasts.
void SetSquareWeights() {
    for (Square s = 0; s < kBoardCells; ++s) {
        if (!IsBoardPoint(s)) continue;
        for (Side c = Red; c <= Black; ++c) {
            const int centre = std::max(0, 9 - 3 * (centreRank[RankOf(s)] + centreFile[FileOf(s)]));
            const int advance = (advanceRank[RelativeRank(c, s)] * (gamePhase + 8) * 3) >> 5;
            squareWeight[c][s] = static_cast<int16_t>(centre + advance);
        }
    }
    if (gamePhase <= 0) return;
    const int nearKing = ((gamePhase + 8) * 12) >> 5;
    for (Side c = Red; c <= Black; ++c) {
        const Square king = KingSquare(Opponent(c));
        for (int step : kOrthogonalSteps) {
            const Square next = king + step;
            if (IsBoardPoint(next))
                squareWeight[c][next] = static_cast<int16_t>(squareWeight[c][next] + nearKing);
        }
    }
}

// 5. Rays from every point: Rooks are seen through, any other piece halves the weight of what
// lies beyond it, and a Pawn ends the ray.
void SetLineValues() {
    std::memset(lineValue, 0, sizeof lineValue);
    for (Square s = 0; s < kBoardCells; ++s) {
        if (!IsBoardPoint(s)) continue;
        for (Side c = Red; c <= Black; ++c) {
            for (int step : kOrthogonalSteps) {
                int32_t sum = 0;
                bool fullWeight = true;
                for (Square next = s + step; IsBoardPoint(next); next += step) {
                    const int weight = squareWeight[c][next];
                    sum += fullWeight ? weight : weight >> 1;
                    const PieceKind kind = board[next].kind;
                    if (kind != Empty && kind != Rook) fullWeight = false;
                    if (kind == Pawn) break;
                }
                lineValue[c][s] += sum >> 2;
            }
        }
    }
}

int32_t KnightTargetWeight(Side c, Square s) {
    int32_t sum = 0;
    for (int step : kKnightSteps) {
        if (IsBoardPoint(s + step)) sum += squareWeight[c][s + step];
    }
    return sum;
}

int32_t BaseEntry(Side c, PieceKind k, Square s) {
    const int d = KingDisplacement(c, s);
    switch (k) {
        case King:
            return gamePhase == 0 ? -2 * d : 0;
        case Rook:
            return lineValue[c][s];
        case Gunner:
            return lineValue[c][s] >> 1;
        case Knight:
            return (KnightTargetWeight(c, s) >> 1) - 3 * d;
        case Assist:
        case Bishop:
            return lineValue[c][s] >> 2;
        default: {  // Pawn
            const int r = RelativeRank(c, s);
            return pawnFileBonus[FileOf(s)] * (r + 2) + pawnRankBonus[r] - 12;
        }
    }
}

// In mating mode only the Kings matter: the weaker one is held in the middle of its palace, the
// stronger one is drawn towards it.
int32_t MatingKingEntry(Side c, Square s) {
    const int rankTerm = palaceRank[RelativeRank(c, s)];
    const int fileTerm = palaceFile[FileOf(s)];
    if (c == weakerSide) return 128 - 16 * rankTerm - 12 * fileTerm - (rankTerm == 3 ? 16 : 0);
    const Square other = KingSquare(Opponent(c));
    const int distance = std::abs(RankOf(s) - RankOf(other)) + std::abs(FileOf(s) - FileOf(other));
    return 128 - 4 * distance - (rankTerm >= 2 || fileTerm == 3 ? 16 : 0);
}

// 6. The table for every point, side and kind.
void SetBaseTable() {
    for (Square s = 0; s < kBoardCells; ++s) {
        if (!IsBoardPoint(s)) continue;
        for (Side c = Red; c <= Black; ++c) {
            for (PieceKind k = King; k <= Pawn; ++k) {
                int32_t value = 0;
                if (!matingMode) {
                    value = BaseEntry(c, k, s);
                } else if (k == King) {
                    value = MatingKingEntry(c, s);
                }
                pieceSquareTable[c][k][s] = value;
            }
        }
    }
}

int CountEmptyOrthogonalNeighbours(Square s) {
    int n = 0;
    for (int step : kOrthogonalSteps) {
        if (IsBoardPoint(s + step) && board[s + step].kind == Empty) ++n;
    }
    return n;
}

int LineMobility(Square s) {
    int n = 3;
    for (int step : kOrthogonalSteps) {
        for (Square next = s + step; IsBoardPoint(next) && board[next].kind == Empty; next += step)
            ++n;
    }
    return n;
}

// 7 to 11. What depends on where the pieces actually stand: the occupancy bonus, mobility and
// the fixed tables, at each piece's own square only.
void AdjustOccupiedSquares() {
    int knightsAndPawns = 0;
    for (Square s = 0; s < kBoardCells; ++s) {
        const PieceKind k = board[s].kind;
        if (k == Knight || k == Pawn) ++knightsAndPawns;
    }
    const bool oneKnightOrPawnLeft = knightsAndPawns == 1;

    for (Square s = 0; s < kBoardCells; ++s) {
        const BoardCell& cell = board[s];
        if (cell.kind == Empty || !IsBoardPoint(s)) continue;
        const Side c = cell.side;
        const PieceKind k = cell.kind;
        int32_t& entry = pieceSquareTable[c][k][s];
        entry += pieceValue[k] / 10;
        const int r = RelativeRank(c, s);
        const int f = FileOf(s);
        switch (k) {
            case Rook:
                entry = (LineMobility(s) / 19) * 10 + rookTable[r][f] / 10;
                break;
            case Gunner:
                entry = (LineMobility(s) / 19) * 10 + gunnerTable[r][f] / 10;
                break;
            case Knight:
                entry = (2 * CountEmptyOrthogonalNeighbours(s) / 8) * 10 + knightTable[r][f] / 10;
                break;
            case Pawn:
                entry += pawnTable[r][f] / 10;
                break;
            case King:
                if (CountEmptyOrthogonalNeighbours(s) == 2 && oneKnightOrPawnLeft)
                    entry += c == Red ? -512 : 512;
                break;
            default:
                break;
        }
    }
}

// 12. Both Kings are counted; their material cancels.
int32_t SumOfSide(Side side) {
    int32_t sum = 0;
    const PieceList& list = pieceList[side];
    for (int i = 0; i <= list.lastIndex; ++i) {
        const PieceEntry& entry = list.entry[i];
        if (entry.kind != Empty) sum += PieceSquareValue(entry.kind, side, entry.square);
    }
    return sum;
}

}  // namespace

void PrepareEvaluation() {
    CountMaterial();
    SetPhaseAndMode();
    SetSquareWeights();
    SetLineValues();
    SetBaseTable();
    AdjustOccupiedSquares();
    rootScore = SumOfSide(sideToMove) - SumOfSide(otherSide);
}

void ClearEvaluation() {
    for (auto& side : pieceSquareTable) {
        for (PieceKind k = King; k <= Pawn; ++k)
            std::fill(std::begin(side[k]), std::end(side[k]), 0);
    }
}

int32_t MoveGain(const MoveRecord& move) {
    XQ_ASSERT(move.piece >= King && move.piece <= Pawn && IsBoardPoint(move.to));
    const Side s = sideToMove;
    const Side o = otherSide;
    int32_t extra = 0;
    if (move.captured != Empty) {
        extra += PieceSquareValue(move.captured, o, move.to);
        // Trading pieces other than Pawns is made attractive for the side ahead at the root.
        if (std::abs(searchScore) >= 256 && move.captured != Pawn &&
            (clockSide == o) == (searchScore >= 0)) {
            extra -= 32;
        }
    }
    const auto& table = pieceSquareTable[s][move.piece];
    return table[move.to] - table[move.from] + extra;
}

}  // namespace xq
