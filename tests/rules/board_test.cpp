#include <gtest/gtest.h>

#include <vector>

#include "support/position_fixture.h"

namespace xq {
namespace {

struct ListRow {
    int index;
    PieceKind kind;
    Square square;
};

void ExpectList(Side side, const std::vector<ListRow>& rows) {
    for (const ListRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << "side " << int(side) << " entry " << row.index);
        EXPECT_EQ(pieceList[side].entry[row.index].kind, row.kind);
        EXPECT_EQ(pieceList[side].entry[row.index].square, row.square);
        EXPECT_EQ(board[row.square].listIndex, row.index);
    }
    EXPECT_EQ(pieceList[side].lastIndex, 15);
    EXPECT_EQ(pieceList[side].lastOfficer, 10);
}

TEST(PieceLists, OpeningArrayFollowsTheVisitingOrder) {
    NewGame();
    ExpectList(Red, {{0, King, 4},
                     {1, Rook, 0},
                     {2, Rook, 8},
                     {3, Gunner, 39},
                     {4, Gunner, 33},
                     {5, Knight, 7},
                     {6, Knight, 1},
                     {7, Assist, 5},
                     {8, Assist, 3},
                     {9, Bishop, 6},
                     {10, Bishop, 2},
                     {11, Pawn, 48},
                     {12, Pawn, 54},
                     {13, Pawn, 50},
                     {14, Pawn, 52},
                     {15, Pawn, 56}});
    ExpectList(Black, {{0, King, 148},
                       {1, Rook, 152},
                       {2, Rook, 144},
                       {3, Gunner, 119},
                       {4, Gunner, 113},
                       {5, Knight, 145},
                       {6, Knight, 151},
                       {7, Assist, 147},
                       {8, Assist, 149},
                       {9, Bishop, 146},
                       {10, Bishop, 150},
                       {11, Pawn, 96},
                       {12, Pawn, 102},
                       {13, Pawn, 98},
                       {14, Pawn, 100},
                       {15, Pawn, 104}});
    EXPECT_EQ(sideToMove, Red);
    EXPECT_EQ(otherSide, Black);
    EXPECT_TRUE(PositionIsConsistent());
}

TEST(PieceLists, SidesWithoutOfficersOrWithoutPieces) {
    ClearBoard();
    PutPiece(King, Red, 4);
    PutPiece(Pawn, Red, 50);
    PutPiece(Pawn, Red, 52);
    BuildPieceLists();
    EXPECT_EQ(pieceList[Red].lastOfficer, 0);  // only the King precedes the Pawns
    EXPECT_EQ(pieceList[Red].lastIndex, 2);
    EXPECT_EQ(pieceList[Black].lastIndex, -1);
    EXPECT_EQ(pieceList[Black].lastOfficer, -1);
}

TEST(PieceLists, UntrustedCellsNeverOverrunTheLists) {
    struct Row {
        const char* name;
        uint8_t side;
        int expectedRed;
    };
    // Every point holds a piece: ninety Red ones overfill Red's list, bad sides fill none.
    for (const Row& row :
         {Row{"ninety Red pieces", Red, kListSize}, Row{"side 2", 2, 0}, Row{"side 255", 255, 0}}) {
        ClearBoard();
        for (Square s = 0; s < kBoardCells; ++s) {
            if (!IsBoardPoint(s)) continue;
            board[s].kind = static_cast<uint8_t>(King + s % 7);
            board[s].side = row.side;
            board[s].listIndex = 3;
        }
        BuildPieceLists();
        EXPECT_EQ(pieceList[Red].lastIndex + 1, row.expectedRed) << row.name;
        EXPECT_EQ(pieceList[Black].lastIndex, -1) << row.name;
        EXPECT_FALSE(PositionIsConsistent()) << row.name;
        for (Square s = 0; s < kBoardCells; ++s) {
            if (!IsBoardPoint(s)) continue;
            EXPECT_LE(board[s].listIndex, kNoEntry) << row.name << s;
        }
    }
    NewGame();
}

TEST(PieceLists, EmptiedCellsNameNoEntry) {
    NewGame();
    EXPECT_EQ(board[64].listIndex, kNoEntry);
    EXPECT_EQ(board[64].kind, Empty);
}

TEST(Board, CellsOffTheBoardStayEmpty) {
    NewGame();
    for (int rank = 0; rank < kRanks - 1; ++rank) {
        for (int file = kFiles; file < 16; ++file) {
            EXPECT_EQ(board[MakeSquare(rank, file)].kind, Empty) << rank << "," << file;
        }
    }
    ClearBoard();
    for (Square s = 9; s <= 15; ++s)
        EXPECT_EQ(board[s].kind, Empty);
}

TEST(Board, BoardPointTest) {
    EXPECT_TRUE(IsBoardPoint(0));
    EXPECT_TRUE(IsBoardPoint(152));
    EXPECT_TRUE(IsBoardPoint(8));
    EXPECT_FALSE(IsBoardPoint(9));
    EXPECT_FALSE(IsBoardPoint(15));
    EXPECT_FALSE(IsBoardPoint(-1));
    EXPECT_FALSE(IsBoardPoint(-16));
    EXPECT_FALSE(IsBoardPoint(153));
    EXPECT_FALSE(IsBoardPoint(160));
}

TEST(Board, ClearBoardKeepsListIndexAndThreatMarks) {
    NewGame();
    board[4].threatMark = 1;
    ClearBoard();
    EXPECT_EQ(board[4].kind, Empty);
    EXPECT_EQ(board[4].side, Red);
    EXPECT_EQ(board[4].listIndex, 0);
    EXPECT_EQ(board[4].threatMark, 1);
    board[4].threatMark = 0;
}

}  // namespace
}  // namespace xq
