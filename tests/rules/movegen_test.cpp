#include <gtest/gtest.h>

#include <vector>

#include "platform/random.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/zobrist.h"
#include "support/position_fixture.h"

namespace xq {
namespace {

std::vector<MoveRecord> GeneratedList() {
    std::vector<MoveRecord> moves;
    GenerateMoves();
    for (NextMove(); currentMove.piece != Empty; NextMove())
        moves.push_back(currentMove);
    return moves;
}

// The moves of the piece on `from`, as ICCS texts in list order.
std::vector<std::string> MovesFrom(Square from) {
    std::vector<std::string> texts;
    for (const MoveRecord& m : GeneratedList()) {
        if (m.from == from) texts.push_back(FormatIccs(m));
    }
    return texts;
}

TEST(GenerateMoves, OpeningListOrderCapturesFirst) {
    testing::SetUpFen(kStartFen);
    std::vector<MoveRecord> moves = GeneratedList();
    ASSERT_EQ(moves.size(), 44u);
    struct Row {
        Square from, to;
        PieceKind piece, captured;
    };
    const Row expected[] = {
        {33, 145, Gunner, Knight}, {39, 151, Gunner, Knight}, {56, 72, Pawn, 0},
        {52, 68, Pawn, 0},         {50, 66, Pawn, 0},         {54, 70, Pawn, 0},
        {48, 64, Pawn, 0},         {2, 36, Bishop, 0},        {2, 32, Bishop, 0}};
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(moves[i].from, expected[i].from);
        EXPECT_EQ(moves[i].to, expected[i].to);
        EXPECT_EQ(moves[i].piece, expected[i].piece);
        EXPECT_EQ(moves[i].captured, expected[i].captured);
        EXPECT_EQ(moves[i].tag, 0);
    }
}

TEST(GenerateMoves, NextMoveKeepsReturningNullMoveAtTheEnd) {
    testing::SetUpFen(kStartFen);
    GenerateMoves();
    for (int i = 0; i < 44; ++i)
        NextMove();
    EXPECT_NE(currentMove.piece, Empty);
    for (int i = 0; i < 3; ++i) {
        NextMove();
        EXPECT_TRUE(SameMove(currentMove, NullMove));
    }
}

TEST(GenerateMoves, CapturesOrderedByVictimThenAttackerFromListEnd) {
    // A Black Rook on a5 and a Pawn on e5, each attacked by one Red piece.
    testing::SetUpFen("3k5/9/9/9/r3p4/R3P4/9/9/9/4K4 w - - 0 1");
    std::vector<MoveRecord> moves = GeneratedList();
    ASSERT_GE(moves.size(), 2u);
    // Victims in list order: the Rook (a5) before the Pawn (e5); attackers from the list's end.
    EXPECT_EQ(FormatIccs(moves[0]), "a4a5");
    EXPECT_EQ(moves[0].captured, Rook);
    EXPECT_EQ(FormatIccs(moves[1]), "e4e5");
    EXPECT_EQ(moves[1].captured, Pawn);
    EXPECT_EQ(moves[2].captured, Empty);
}

TEST(Attacks, GunnerNeedsExactlyOneScreenRookNone) {
    // Red Gunner a0, Red Rook i0, Black Rooks on a7 and a9.
    testing::SetUpFen("r2k5/9/r8/9/9/9/9/9/9/C3K3R w - - 0 1");
    EXPECT_EQ(Attacks(Gunner, Red, 0, 112), 0);  // no screen before a7
    EXPECT_EQ(Attacks(Gunner, Red, 0, 144), 1);  // a7 is the screen for a9
    EXPECT_EQ(Attacks(Rook, Red, 8, 0), 0);      // King on e0 stands between
    EXPECT_EQ(Attacks(Gunner, Red, 0, 64), 0);   // never an empty square
    PutPiece(Pawn, Red, 16);
    BuildPieceLists();
    EXPECT_EQ(Attacks(Gunner, Red, 0, 144), 0);  // two screens
    EXPECT_EQ(Attacks(Gunner, Red, 0, 112), 1);  // the Pawn screens a7
}

TEST(Attacks, RankWrapIsNotALine) {
    testing::SetUpFen("3k5/9/9/9/9/9/9/9/9/4K3R w - - 0 1");
    // i0 (8) and a1 (16) differ by 8, a multiple of the rank step, but are not on one line.
    EXPECT_EQ(Attacks(Rook, Red, 8, 16), 0);
    EXPECT_EQ(Attacks(Rook, Red, 8, 152), 1);
}

TEST(Attacks, FacingKingsAttackEachOtherUnlessScreened) {
    testing::SetUpFen("4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1");
    EXPECT_EQ(Attacks(King, Red, 4, 148), 1);
    EXPECT_EQ(Attacks(King, Black, 148, 4), 1);
    EXPECT_EQ(IsAttacked(Black, 4), 1);
    EXPECT_EQ(IsAttacked(Red, 148), 1);
    testing::SetUpFen("4k4/9/9/9/4p4/9/9/9/9/4K4 w - - 0 1");
    EXPECT_EQ(Attacks(King, Red, 4, 148), 0);
    EXPECT_EQ(IsAttacked(Black, 4), 0);
}

TEST(Attacks, KnightLegBlocks) {
    testing::SetUpFen(kStartFen);
    EXPECT_EQ(Attacks(Knight, Red, 1, 19), 0);  // the Bishop on c0 blocks the leg
    board[2].kind = Empty;
    EXPECT_EQ(Attacks(Knight, Red, 1, 19), 1);
}

TEST(GenerateMoves, PawnMovesByRank) {
    struct Row {
        const char* fen;
        Square pawn;
        std::vector<std::string> moves;
    };
    const Row rows[] = {
        {"3k5/9/9/9/9/9/4P4/9/9/5K3 w", 52, {"e3e4"}},
        {"3k5/9/9/9/9/4P4/9/9/9/5K3 w", 68, {"e4e5"}},
        {"3k5/9/9/9/4P4/9/9/9/9/5K3 w", 84, {"e5e6", "e5f5", "e5d5"}},
        {"3k5/4P4/9/9/9/9/9/9/9/5K3 w", 132, {"e8e9", "e8f8", "e8d8"}},
        {"2k1P4/9/9/9/9/9/9/9/9/5K3 w", 148, {"e9f9", "e9d9"}},
        {"3k5/9/9/4p4/9/9/9/9/9/5K3 b", 100, {"e6e5"}},
        {"3k5/9/9/9/4p4/9/9/9/9/5K3 b", 84, {"e5e4"}},
        {"3k5/9/9/9/9/4p4/9/9/9/5K3 b", 68, {"e4e3", "e4f4", "e4d4"}},
        {"3k5/9/9/9/9/9/9/3K5/9/4p4 b", 4, {"e0f0", "e0d0"}},
        // Captures just across the river, to the sides and forward.
        {"3k5/9/9/4p4/3pPp3/9/9/9/9/5K3 w", 84, {"e5f5", "e5e6", "e5d5"}},
        {"3k5/9/9/9/9/3PpP3/4P4/9/9/5K3 b", 68, {"e4f4", "e4d4", "e4e3"}},
    };
    for (const Row& row : rows) {
        testing::SetUpFen(row.fen);
        EXPECT_EQ(MovesFrom(row.pawn), row.moves) << row.fen;
    }
}

TEST(GenerateMoves, BishopsStayHomeAndRespectTheEye) {
    testing::SetUpFen("3k5/9/9/9/9/9/9/9/9/2B1K4 w - - 0 1");
    EXPECT_EQ(MovesFrom(2), (std::vector<std::string>{"c0e2", "c0a2"}));
    testing::SetUpFen("3k5/9/9/9/9/2B6/9/9/9/4K4 w - - 0 1");  // c4 on the river bank
    EXPECT_EQ(MovesFrom(66), (std::vector<std::string>{"c4a2", "c4e2"}));
    testing::SetUpFen("3k5/9/9/9/9/9/9/2B6/3P5/4K4 w - - 0 1");  // eye d1 occupied
    EXPECT_EQ(MovesFrom(34), (std::vector<std::string>{"c2a0", "c2e4", "c2a4"}));
}

TEST(GenerateMoves, KingAndAssistsStayInThePalace) {
    testing::SetUpFen("3k5/9/9/9/9/9/9/9/9/3AK4 w - - 0 1");
    EXPECT_EQ(MovesFrom(3), (std::vector<std::string>{"d0e1"}));
    EXPECT_EQ(MovesFrom(4), (std::vector<std::string>{"e0f0", "e0e1"}));
    testing::SetUpFen("3k5/9/9/9/9/9/9/9/9/4K4 b - - 0 1");
    EXPECT_EQ(MovesFrom(147), (std::vector<std::string>{"d9e9", "d9d8"}));
}

TEST(GenerateMoves, CrowdedPositionsKeepEveryMove) {
    // Red pieces on open lines and Pawns across the river: 88 moves.
    testing::SetUpFen("5k3/P1P1P1P1P/9/C8/7C1/2N3N2/R8/8R/4B4/2BAKA3 w - - 0 1");
    GenerateMoves();
    EXPECT_EQ(moveList.moveCount, 88);
    // The most a full list can do: the King and fifteen Rooks spread so that they block each
    // other least (found by a search over placements, counted ray by ray): 198 Rook moves, one
    // of them taking the King, and 3 King steps. Far from the list's capacity.
    ClearBoard();
    PutPiece(King, Red, MakeSquare(0, 4));
    PutPiece(King, Black, MakeSquare(9, 3));
    const int rooks[15][2] = {{0, 2}, {0, 8}, {1, 1}, {1, 7}, {2, 4}, {3, 6}, {4, 0}, {5, 5},
                              {6, 3}, {7, 1}, {7, 8}, {8, 6}, {9, 2}, {9, 4}, {9, 7}};
    for (const auto& [rank, file] : rooks)
        PutPiece(Rook, Red, MakeSquare(rank, file));
    BuildPieceLists();
    sideToMove = Red;
    otherSide = Black;
    ASSERT_TRUE(PositionIsConsistent());
    GenerateMoves();
    EXPECT_EQ(moveList.moveCount, 201);
    EXPECT_LT(moveList.moveCount, kMoveListCapacity);
}

}  // namespace
}  // namespace xq

namespace xq {
namespace {

// The capture order written the plain way: every victim in list order, every attacker from the
// end of the mover's list, one Attacks call per pair. The generator's shortcuts must agree.
std::vector<MoveRecord> PlainCaptures() {
    std::vector<MoveRecord> captures;
    const PieceList& victims = pieceList[otherSide];
    const PieceList& attackers = pieceList[sideToMove];
    for (int v = 0; v <= victims.lastIndex; ++v) {
        if (victims.entry[v].kind == Empty) continue;
        Square target = victims.entry[v].square;
        for (int a = attackers.lastIndex; a >= 0; --a) {
            const PieceEntry& e = attackers.entry[a];
            if (e.kind != Empty && Attacks(e.kind, sideToMove, e.square, target)) {
                captures.push_back(MoveRecord{target, e.square, 0, e.kind, victims.entry[v].kind});
            }
        }
    }
    return captures;
}

// IsAttacked written the plain way: every living piece of the side, one Attacks call each.
bool PlainIsAttacked(Side side, Square square) {
    const PieceList& list = pieceList[side];
    for (int i = 0; i <= list.lastIndex; ++i) {
        const PieceEntry& e = list.entry[i];
        if (e.kind != Empty && Attacks(e.kind, side, e.square, square)) return true;
    }
    return false;
}

void ExpectAttacksAgreeEverywhere() {
    for (Square s = 0; s < kBoardCells; ++s) {
        if (!IsBoardPoint(s)) continue;
        for (Side side : {Red, Black}) {
            ASSERT_EQ(IsAttacked(side, s) != 0, PlainIsAttacked(side, s))
                << "side " << int(side) << " square " << s << " in " << WriteFen();
        }
    }
}

TEST(GenerateMoves, CapturesAndAttacksMatchThePlainLoopsOverRandomGames) {
    SeedRandom(7);
    for (int game = 0; game < 40; ++game) {
        testing::SetUpFen(kStartFen);
        for (int ply = 0; ply < 120; ++ply) {
            std::vector<MoveRecord> all = GeneratedList();
            std::vector<MoveRecord> plain = PlainCaptures();
            ASSERT_LE(plain.size(), all.size());
            for (size_t i = 0; i < plain.size(); ++i) {
                ASSERT_TRUE(SameMove(all[i], plain[i])) << "game " << game << " ply " << ply;
            }
            if (plain.size() < all.size()) {
                ASSERT_EQ(all[plain.size()].captured, Empty);
            }
            if (ply % 4 == 0) ExpectAttacksAgreeEverywhere();
            std::vector<MoveRecord> legal;
            for (const MoveRecord& m : all) {
                if (!LeavesKingAttacked(m)) legal.push_back(m);
            }
            if (legal.empty()) break;
            MoveRecord move = legal[Random(static_cast<int>(legal.size()))];
            GameRecord[recordTop + 1] = move;
            PlayMove(move);
            SlideRecord();  // keep the record anchored at -1 as game moves do
            ASSERT_TRUE(PositionIsConsistent());
        }
    }
}

// The Position& versions on a copy of their own agree with the classic functions on the game's
// position at every ply, and the key kept by MakeMove both ways equals a fresh computation.
TEST(PositionValue, CopyFollowsTheGameAndKeepsItsKeyOverRandomGames) {
    SeedRandom(11);
    for (int game = 0; game < 20; ++game) {
        testing::SetUpFen(kStartFen);
        Position mine = gamePosition;
        const uint64_t startKey = mine.key;
        ASSERT_EQ(startKey, ComputePieceKey(mine));
        std::vector<MoveRecord> played;
        for (int ply = 0; ply < 150; ++ply) {
            const std::vector<MoveRecord> all = GeneratedList();
            MoveList list;
            GenerateMoves(mine, list);
            ASSERT_EQ(list.moveCount, static_cast<int>(all.size()));
            for (int i = 1; i <= list.moveCount; ++i)
                ASSERT_TRUE(SameMove(list.slot[i], all[i - 1]))
                    << "game " << game << " ply " << ply;
            GenerateCaptureMoves(mine, list);
            for (int i = 1; i <= list.moveCount; ++i)
                ASSERT_TRUE(SameMove(list.slot[i], all[i - 1]));
            ASSERT_TRUE(list.moveCount == static_cast<int>(all.size()) ||
                        all[list.moveCount].captured == Empty);
            const std::vector<MoveRecord> legal = LegalMoves();
            GenerateLegalMoves(mine, list);
            ASSERT_EQ(list.moveCount, static_cast<int>(legal.size()));
            ASSERT_EQ(InCheck(mine), IsAttacked(otherSide, KingSquare(sideToMove)) != 0);
            ASSERT_EQ(WriteFen(mine), WriteFen());
            if (legal.empty()) break;
            const MoveRecord move = legal[Random(static_cast<int>(legal.size()))];
            GameRecord[recordTop + 1] = move;
            PlayMove(move);
            SlideRecord();
            MakeMove(mine, move, false);
            SwapSides(mine);
            played.push_back(move);
            ASSERT_EQ(mine.key, ComputePieceKey(mine)) << "game " << game << " ply " << ply;
            ASSERT_EQ(gamePosition.key, mine.key);
            ASSERT_TRUE(PositionIsConsistent(mine));
            ASSERT_TRUE(PositionIsConsistent());
        }
        Position reread{};
        ASSERT_TRUE(ReadFen(reread, WriteFen(mine), nullptr));
        EXPECT_EQ(PositionKey(reread), PositionKey(mine));
        while (!played.empty()) {
            SwapSides(mine);
            MakeMove(mine, played.back(), true);
            played.pop_back();
            ASSERT_EQ(mine.key, ComputePieceKey(mine));
        }
        EXPECT_EQ(mine.key, startKey);
    }
}

TEST(PositionValue, KeyTellsTheSideToMoveAndThePieces) {
    Position red{};
    Position black{};
    ASSERT_TRUE(ReadFen(red, kStartFen, nullptr));
    ASSERT_TRUE(
        ReadFen(black, "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b", nullptr));
    EXPECT_EQ(red.key, black.key);
    EXPECT_NE(PositionKey(red), PositionKey(black));
    Position moved{};
    ASSERT_TRUE(
        ReadFen(moved, "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w", nullptr));
    EXPECT_NE(moved.key, red.key);
}

}  // namespace
}  // namespace xq
