#include "engine/evaluation.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine_fixture.h"

namespace xq {
namespace {

using testing::EngineTest;
using testing::Generated;

class EvaluationTest : public EngineTest {};

TEST_F(EvaluationTest, OpeningArraySummary) {
    SetUpPosition(kStartFen);
    PrepareEvaluation();
    EXPECT_EQ(totalMaterial, 24384);
    EXPECT_EQ(materialBalance, 0);
    EXPECT_EQ(gamePhase, 63);
    EXPECT_EQ(weakerSide, Black);
    EXPECT_EQ(matingMode, 0);
    EXPECT_EQ(rootScore, 0);
    // The King's entries hold only the occupancy bonus while material remains.
    EXPECT_EQ(pieceSquareTable[Red][King][4], 409);
    EXPECT_EQ(pieceSquareTable[Black][King][148], 409);
}

TEST_F(EvaluationTest, OpeningArrayIsMirroredForBlack) {
    SetUpPosition(kStartFen);
    PrepareEvaluation();
    for (PieceKind k = King; k <= Pawn; ++k) {
        for (Square s = 0; s < kBoardCells; ++s) {
            if (!IsBoardPoint(s)) continue;
            const Square mirror = MakeSquare(9 - RankOf(s), FileOf(s));
            ASSERT_EQ(pieceSquareTable[Red][k][s], pieceSquareTable[Black][k][mirror])
                << "kind " << int(k) << " square " << s;
        }
    }
}

TEST_F(EvaluationTest, OpeningArraySquareWeightRows) {
    struct Row {
        Side side;
        int rank;
        int8_t weights[9];
    };
    // Rank 8 for Red: the advance term, the palace files' centre term, and the squares next to
    // Black's King. Rank 4: the centre term alone. Black reads the same rows mirrored.
    const Row rows[] = {
        {Red, 8, {26, 26, 26, 29, 55, 29, 26, 26, 26}},
        {Red, 4, {0, 3, 6, 9, 9, 9, 6, 3, 0}},
        {Black, 1, {26, 26, 26, 29, 55, 29, 26, 26, 26}},
        {Black, 5, {0, 3, 6, 9, 9, 9, 6, 3, 0}},
    };
    SetUpPosition(kStartFen);
    PrepareEvaluation();
    for (const Row& row : rows) {
        for (int f = 0; f < 9; ++f) {
            EXPECT_EQ(squareWeight[row.side][MakeSquare(row.rank, f)], row.weights[f])
                << "side " << int(row.side) << " rank " << row.rank << " file " << f;
        }
    }
}

TEST_F(EvaluationTest, GamePhaseStartsAbove8447) {
    struct Row {
        int32_t rookValue;
        int32_t phase;
    };
    const Row rows[] = {{0, 0}, {8447, 0}, {8448, 1}, {8703, 1}, {8704, 2}};
    SetUpPosition("4k4/9/9/9/9/9/9/9/9/R2K5 w - - 0 1");
    for (const Row& row : rows) {
        pieceValue[Rook] = row.rookValue;
        PrepareEvaluation();
        EXPECT_EQ(totalMaterial, row.rookValue);
        EXPECT_EQ(gamePhase, row.phase) << "material " << row.rookValue;
    }
}

TEST_F(EvaluationTest, SquareWeightsHoldWhatTheLargestPieceValuesGive) {
    SetUpPosition(kStartFen);
    for (PieceKind k = Rook; k <= Pawn; ++k)
        pieceValue[k] = 255 * 16;
    PrepareEvaluation();
    EXPECT_EQ(gamePhase, (30 * 4080 - 8192) / 256);
    // Red's weight beside Black's King: centre, advance on relative rank 8, and the King's
    // neighbourhood.
    const int grown = gamePhase + 8;
    const int expected = 3 + ((4 * grown * 3) >> 5) + ((grown * 12) >> 5);
    EXPECT_GT(expected, 127);
    EXPECT_EQ(squareWeight[Red][MakeSquare(8, 4)], expected);
    EXPECT_EQ(squareWeight[Black][MakeSquare(1, 4)], expected);
}

// A King with exactly two free neighbours when a single Knight or Pawn is left on the board:
// Red's entry drops by 512 and Black's rises by 512.
TEST_F(EvaluationTest, KingEntryWithOneKnightOrPawnLeft) {
    struct Row {
        const char* name;
        const char* fen;
        int32_t red;
        int32_t black;
    };
    const Row rows[] = {
        {"one Pawn left", "3ak4/9/9/9/4p4/9/9/9/9/3AK4 w - - 0 1", 409 - 512, 409 + 512},
        {"one Knight left", "3ak4/9/9/9/4n4/9/9/9/9/3AK4 w - - 0 1", 409 - 512, 409 + 512},
        {"two Pawns left", "3ak4/9/9/9/4p4/9/P8/9/9/3AK4 w - - 0 1", 409, 409},
        {"three free neighbours", "4k4/9/9/9/4p4/9/9/9/9/4K4 w - - 0 1", 409, 409},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition(row.fen);
        PrepareEvaluation();
        ASSERT_EQ(gamePhase, 0);
        EXPECT_EQ(pieceSquareTable[Red][King][4], row.red);
        EXPECT_EQ(pieceSquareTable[Black][King][148], row.black);
    }
}

TEST_F(EvaluationTest, MatingModeNeedsALeadAndLittleLeft) {
    struct Row {
        const char* name;
        const char* fen;
        uint8_t mating;
        Side weaker;
    };
    const Row rows[] = {
        {"two rooks against two gunners", "2c1k1c2/9/9/9/9/9/9/9/9/R2K4R w - - 0 1", 1, Black},
        {"rook against gunner", "4k1c2/9/9/9/9/9/9/9/9/R2K5 w - - 0 1", 1, Black},
        {"gunner against rook, Black ahead", "4k1r2/9/9/9/9/9/9/9/9/C2K5 w - - 0 1", 1, Red},
        {"rook against rook", "4k1r2/9/9/9/9/9/9/9/9/R2K5 w - - 0 1", 0, Black},
        {"rook and knight against rook: lead too small", "4k1r2/9/9/9/9/9/9/9/9/RN1K5 w - - 0 1", 0,
         Black},
        {"two rooks against two gunners and a pawn: too much left",
         "2c1k1c2/9/9/9/9/4p4/9/9/9/R2K4R w - - 0 1", 0, Black},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition(row.fen);
        PrepareEvaluation();
        EXPECT_EQ(matingMode, row.mating);
        EXPECT_EQ(weakerSide, row.weaker);
    }
}

TEST_F(EvaluationTest, MatingModeTablesHoldTheWeakerKingInItsPalace) {
    // Red two Rooks against two Gunners; Black's King stands on 147, off its home square.
    SetUpPosition("2ck2c2/9/9/9/9/9/9/9/9/R2K4R w - - 0 1");
    PrepareEvaluation();
    ASSERT_EQ(matingMode, 1);
    EXPECT_EQ(pieceSquareTable[Black][King][148], 128);
    EXPECT_EQ(pieceSquareTable[Black][King][149], 116);
    // The occupied square also gets the occupancy bonus (409); no mobility change applies.
    EXPECT_EQ(pieceSquareTable[Black][King][147], 116 + 409);
    // The centre of the palace: relative rank 1 (palaceRank 2) on the King's file.
    EXPECT_EQ(pieceSquareTable[Black][King][132], 128 - 32);
    // The stronger King is drawn towards the weaker one, and held back 16 off its back rank.
    EXPECT_EQ(pieceSquareTable[Red][King][4], 128 - 4 * (9 + 1));
    EXPECT_EQ(pieceSquareTable[Red][King][20], 128 - 4 * (8 + 1) - 16);
    EXPECT_EQ(pieceSquareTable[Red][King][3], 128 - 4 * 9 + 409);  // where it stands
    for (PieceKind k = Rook; k <= Pawn; ++k) {
        EXPECT_EQ(pieceSquareTable[Red][k][70], 0) << int(k);
        EXPECT_EQ(pieceSquareTable[Black][k][70], 0) << int(k);
    }
}

// Line values of an empty square, with the same material on the board each time (so the square
// weights stay the same), only one piece moved on or off the lines through that square.
TEST_F(EvaluationTest, LineRaysPassRooksStopAtPawnsAndHalveBehindOtherPieces) {
    const Square probe = MakeSquare(4, 1);  // b4; its file runs up through b5..b9
    auto lineValueWith = [&](const char* fen) {
        SetUpPosition(fen);
        PrepareEvaluation();
        return lineValue[Red][probe];
    };
    // A Rook, a Pawn and a Knight, placed off b4's lines (on h7, g6, i6) or on its file.
    const int32_t offLines = lineValueWith("3k5/9/7r1/6p1N/9/9/9/9/9/4K4 w - - 0 1");
    const int32_t rookOnFile = lineValueWith("3k5/9/9/1r4p1N/9/9/9/9/9/4K4 w - - 0 1");
    const int32_t pawnOnFile = lineValueWith("3k5/9/7r1/1p6N/9/9/9/9/9/4K4 w - - 0 1");
    const int32_t pawnThenRook = lineValueWith("3k5/1r7/9/1p6N/9/9/9/9/9/4K4 w - - 0 1");
    const int32_t knightOnFile = lineValueWith("3k5/9/7r1/1N4p2/9/9/9/9/9/4K4 w - - 0 1");
    EXPECT_EQ(rookOnFile, offLines) << "a Rook is seen through at full weight";
    EXPECT_LT(pawnOnFile, offLines) << "the ray stops at the Pawn";
    EXPECT_EQ(pawnThenRook, pawnOnFile) << "nothing behind a Pawn counts";
    EXPECT_LT(knightOnFile, offLines) << "squares behind a Knight count half";
    EXPECT_GT(knightOnFile, pawnOnFile) << "but they still count";
}

TEST_F(EvaluationTest, MoveGainAtTheOpeningArray) {
    SetUpPosition(kStartFen);
    PrepareEvaluation();
    searchScore = 0;
    EXPECT_EQ(MoveGain(Generated("b2b9")), 1044);  // Gunner 33 takes the Knight on 145
    EXPECT_EQ(MoveGain(Generated("h2e2")), 3);     // Gunner 39 to 36
}

TEST_F(EvaluationTest, ExchangeAdjustmentOnlyForNonPawnCapturesByTheSideBehind) {
    struct Row {
        const char* name;
        const char* iccs;
        Side toMove;
        int32_t score;  // searchScore, for clockSide Red
        int32_t adjustment;
    };
    // Red's Rooks can take the Knight on a5 or the Pawn on i4; Black's Rook the Knight on a7.
    const char* fen = "r2k5/9/N8/9/n8/8p/9/9/9/R3K3R w - - 0 1";
    const Row rows[] = {
        {"Red ahead takes a Knight", "a0a5", Red, 300, 0},
        {"Red behind takes a Knight", "a0a5", Red, -300, -32},
        {"Red a little behind", "a0a5", Red, -255, 0},
        {"Red behind takes a Pawn", "i0i4", Red, -300, 0},
        {"Red behind, no capture", "a0a3", Red, -300, 0},
        {"Black behind takes a Knight", "a9a7", Black, 300, -32},
        {"Black ahead takes a Knight", "a9a7", Black, -300, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition(fen);
        clockSide = Red;
        sideToMove = row.toMove;
        otherSide = Opponent(row.toMove);
        PrepareEvaluation();
        const MoveRecord move = Generated(row.iccs);
        ASSERT_NE(move.piece, Empty);
        searchScore = 0;
        const int32_t plain = MoveGain(move);
        searchScore = row.score;
        EXPECT_EQ(MoveGain(move) - plain, row.adjustment);
    }
}

}  // namespace
}  // namespace xq
