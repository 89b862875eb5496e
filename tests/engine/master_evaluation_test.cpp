#include "engine/master/evaluation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "rules/attacks.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/record.h"

namespace xq::master {
namespace {

// Positions of every phase, with pieces on both wings, in check and not, on both sides' move.
constexpr std::string_view kPositions[] = {
    kStartFen,
    "r1bakab1r/9/1cn4cn/p1p1p1p1p/9/9/P1P1P1P1P/1CN1C1N2/9/R1BAKAB1R b - - 0 1",
    "2bakab2/9/2n1c1n2/p1p3p1p/4r4/2P6/P3P1P1P/2N1C1N2/4R4/2BAKAB2 w - - 0 1",
    "3k5/4a4/4ba3/9/2b6/9/9/4B4/4A4/3AK4 w - - 0 1",
    "4k4/4a4/9/4P4/9/9/9/9/4r4/3K5 b - - 0 1",
    "3ak4/4a4/4b4/2P1P4/1C7/9/9/3n5/4A4/1R2KAB2 w - - 0 1",
    "2ba1k3/4a4/4b4/p3C4/9/6r2/P8/4B3N/4A4/2BK1A3 b - - 0 1",
    "4ka3/9/3a5/3PP4/2n6/9/2r6/9/3R5/4K4 w - - 0 1",
};

Position FromFen(std::string_view fen) {
    std::string error;
    EXPECT_TRUE(ReadFen(fen, &error)) << fen << ": " << error;
    return gamePosition;
}

int32_t EvaluateFen(std::string_view fen) {
    return Evaluate(FromFen(fen));
}

// The board text's ranks in reverse order with the colours exchanged, and the other side to move:
// the same position seen from the other side of the table.
std::string ColourFlipped(std::string_view fen) {
    const std::string_view placement = fen.substr(0, fen.find(' '));
    std::string flipped;
    size_t end = placement.size();
    while (true) {
        const size_t slash = placement.rfind('/', end - 1);
        const size_t begin = slash == std::string_view::npos ? 0 : slash + 1;
        for (char ch : placement.substr(begin, end - begin)) {
            flipped += std::isupper(ch) ? char(std::tolower(ch)) : char(std::toupper(ch));
        }
        if (slash == std::string_view::npos) break;
        flipped += '/';
        end = slash;
    }
    const bool redToMove = fen.find(" b") == std::string_view::npos;
    return flipped + (redToMove ? " b" : " w");
}

// Every rank read right to left: the position's mirror image across the middle file.
std::string Mirrored(std::string_view fen) {
    const size_t space = fen.find(' ');
    std::string placement(fen.substr(0, space));
    size_t begin = 0;
    while (begin <= placement.size()) {
        size_t end = placement.find('/', begin);
        if (end == std::string::npos) end = placement.size();
        std::reverse(placement.begin() + begin, placement.begin() + end);
        begin = end + 1;
    }
    return placement + std::string(fen.substr(space));
}

TEST(MasterEvaluationTest, ColourFlippedPositionScoresTheSameForTheSideToMove) {
    for (std::string_view fen : kPositions) {
        EXPECT_EQ(EvaluateFen(fen), EvaluateFen(ColourFlipped(fen))) << fen;
    }
}

TEST(MasterEvaluationTest, MirroredPositionScoresTheSame) {
    for (std::string_view fen : kPositions) {
        EXPECT_EQ(EvaluateFen(fen), EvaluateFen(Mirrored(fen))) << fen;
    }
}

// Positions of random games (legal moves from the opening array, captures and all) hit terms
// the fixed rows above may miss; every one must keep both symmetries.
TEST(MasterEvaluationTest, RandomGamesKeepBothSymmetries) {
    InitAttackTable();
    std::mt19937 random(7);
    int checked = 0;
    for (int game = 0; game < 12; ++game) {
        ASSERT_TRUE(ReadFen(kStartFen, nullptr));
        ResetGameRecord();
        for (int ply = 0; ply < 120; ++ply) {
            const std::vector<MoveRecord> moves = LegalMoves();
            if (moves.empty()) break;
            // Played as the game plays a move, so that the record stays within its slots.
            PlayMove(moves[random() % moves.size()]);
            SlideRecord();
            const std::string fen = WriteFen();
            ASSERT_EQ(EvaluateFen(fen), EvaluateFen(ColourFlipped(fen))) << fen;
            ASSERT_EQ(EvaluateFen(fen), EvaluateFen(Mirrored(fen))) << fen;
            ASSERT_TRUE(ReadFen(fen, nullptr));
            ++checked;
        }
    }
    EXPECT_GT(checked, 500);
}

TEST(MasterEvaluationTest, OpeningArrayIsBalancedButForTheMove) {
    const int32_t redToMove = EvaluateFen(kStartFen);
    EXPECT_EQ(redToMove, EvaluateFen(ColourFlipped(kStartFen)));
    EXPECT_GT(redToMove, 0);
    EXPECT_LT(redToMove, 50);
}

// A side a piece up scores clearly ahead on its move and clearly behind on the other's.
TEST(MasterEvaluationTest, MaterialSanityRows) {
    struct Row {
        const char* name;
        const char* fen;  // Red to move, Red ahead
        int32_t atLeast;
    };
    const Row rows[] = {
        {"a Rook up", "rnbakabn1/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", 600},
        {"a Knight up", "rnbakab1r/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", 250},
        {"a Gunner up", "rnbakabnr/9/1c7/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", 250},
        {"a crossed Pawn up", "3ak4/4a4/9/4P4/9/9/9/9/4A4/3AK4 w", 50},
        {"Rook against Knight and Bishop", "3ak4/4a4/4bn3/9/9/9/9/4R4/4A4/3AK4 w", 150},
    };
    for (const Row& row : rows) {
        const int32_t ahead = EvaluateFen(row.fen);
        EXPECT_GE(ahead, row.atLeast) << row.name;
        EXPECT_LE(EvaluateFen(std::string(row.fen, std::string_view(row.fen).size() - 1) + "b"),
                  -row.atLeast)
            << row.name;
    }
}

// Assists and Bishops alone can never mate: their surplus counts for little.
TEST(MasterEvaluationTest, DefendersAloneCannotWin) {
    const int32_t defenders = EvaluateFen("3k5/4a4/4ba3/9/2b6/9/9/4B4/4A4/3AK4 w");
    const int32_t rookUp = EvaluateFen("3k5/4a4/9/9/9/9/9/9/4R4/3AK4 w");
    EXPECT_LT(std::abs(defenders), 40);
    EXPECT_GT(rookUp, 600);
}

// The terms as counted: each row names a position (Red to move), a term and Red's count minus
// Black's.
TEST(MasterEvaluationTest, TermCountRows) {
    struct Row {
        const char* name;
        const char* fen;
        int term;
        int count;
    };
    const Row rows[] = {
        // Red's Gunner on the King's file with nothing between; Black's has its own Pawn between.
        {"empty-palace Gunner", "4k4/9/9/9/3c5/9/3p5/4C4/9/3K5 w", kGunnerFacesKing, 1},
        // The Knight in the corner: one leg blocked by its Rook, one jump open.
        {"blocked leg", "4k4/9/9/9/9/9/9/9/9/NR2K4 w", kKnightBlockedLeg, 1},
        {"corner Knight's jumps", "4k4/9/9/9/9/9/9/9/9/NR2K4 w", kKnightMobility + 1, 1},
        // A Rook in the corner: nine points up its file, three along the rank before its King.
        {"Rook mobility", "3k5/9/9/9/9/9/9/9/9/R3K4 w", kRookMobility + 12, 1},
        {"Rook facing the palace", "3k5/9/9/9/9/9/9/9/9/4KR3 w", kRookFacesPalace, 1},
        {"Red lacks both Assists against two Rooks", "r2k4r/9/9/9/9/9/9/9/9/4K4 w",
         kAssistShortVsRook, 4},
        {"Black lacks a Bishop against a Gunner", "2bk5/9/9/9/9/9/9/9/4C4/2BAKAB2 w",
         kBishopShortVsGunner, -1},
        {"connected crossed Pawns", "3k5/9/9/3PP4/9/9/9/9/9/4K4 w", kConnectedPawns, 1},
        {"tempo", kStartFen.data(), kTempo, 1},
        // Nothing of Red's stands on the palace files outside the palace: three bare files.
        {"bare palace files against a Rook", "r2ak4/9/9/9/9/9/9/9/9/4K4 w", kOpenPalaceFileVsRook,
         3},
        {"Rook on an open file", "3k5/9/9/9/9/9/9/9/9/R3K4 w", kRookOpenFile, 1},
        {"Rook on a half-open file", "3k5/9/9/p8/9/9/9/9/9/R3K4 w", kRookHalfOpenFile, 1},
        {"no open file beside an enemy Pawn", "3k5/9/9/p8/9/9/9/9/9/R3K4 w", kRookOpenFile, 0},
        // A Knight and a Pawn of Red's near Black's palace, none of Black's near Red's.
        {"two attackers near the palace", "3k5/9/3NP4/9/9/9/9/9/9/4K4 w", kKingZoneAttackers + 2,
         -1},
        {"no attackers near the palace", "3k5/9/3NP4/9/9/9/9/9/9/4K4 w", kKingZoneAttackers, 1},
    };
    for (const Row& row : rows) {
        EvalTrace trace;
        TraceEvaluation(FromFen(row.fen), &trace);
        EXPECT_EQ(trace.count[row.term], row.count) << row.name;
    }
}

// The tuner fits exactly the function the engine plays with.
TEST(MasterEvaluationTest, TraceScoresAsTheEvaluation) {
    for (std::string_view fen : kPositions) {
        for (const std::string& text : {std::string(fen), ColourFlipped(fen), Mirrored(fen)}) {
            const Position position = FromFen(text);
            EvalTrace trace;
            TraceEvaluation(position, &trace);
            EXPECT_EQ(ScoreTrace(trace, BuiltInWeights()), Evaluate(position)) << text;
        }
    }
}

}  // namespace
}  // namespace xq::master
