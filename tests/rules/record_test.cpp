#include <gtest/gtest.h>

#include "rules/makemove.h"
#include "support/position_fixture.h"

namespace xq {
namespace {

using testing::PositionSnapshot;

// Plays `iccs` as a game move recorded at the top of the record.
void Play(std::string_view iccs) {
    MoveRecord move = testing::Generated(iccs);
    ASSERT_NE(move.piece, Empty) << iccs;
    GameRecord[recordTop + 1] = move;
    PlayMove(move);
}

TEST(MakeMove, CaptureAndTakeBackRestoreEveryByte) {
    testing::SetUpFen(kStartFen);
    const PositionSnapshot before = PositionSnapshot::Take();
    MoveRecord capture = testing::Generated("b2b9");  // Gunner takes the Knight
    ASSERT_EQ(capture.captured, Knight);
    const int16_t victimIndex = board[145].listIndex;

    MakeMove(capture, false);
    EXPECT_EQ(board[145].kind, Gunner);
    EXPECT_EQ(board[145].side, Red);
    EXPECT_EQ(board[33].kind, Empty);
    EXPECT_EQ(board[33].side, Black);  // the emptied cell names the captured piece
    EXPECT_EQ(board[33].listIndex, victimIndex);
    EXPECT_EQ(pieceList[Black].entry[victimIndex].kind, Empty);
    EXPECT_EQ(pieceList[Red].entry[board[145].listIndex].square, 145);
    EXPECT_TRUE(PositionIsConsistent());

    MakeMove(capture, true);
    EXPECT_TRUE(PositionSnapshot::Take() == before);
}

TEST(MakeMove, PlayAndTakeBackKeepCountersAndSides) {
    testing::SetUpFen(kStartFen);
    const PositionSnapshot before = PositionSnapshot::Take();
    MoveRecord move = testing::Generated("h2e2");
    PlayMove(move);
    EXPECT_EQ(sideToMove, Black);
    EXPECT_EQ(otherSide, Red);
    EXPECT_EQ(clockSide, Black);
    EXPECT_EQ(plyCount, 1);
    EXPECT_EQ(recordTop, 0);
    TakeBackMove(move);
    EXPECT_TRUE(PositionSnapshot::Take() == before);
    EXPECT_EQ(clockSide, Red);
}

TEST(MakeMove, LongSequenceUnwindsExactly) {
    testing::SetUpFen(kStartFen);
    const PositionSnapshot before = PositionSnapshot::Take();
    const char* line[] = {"h2e2", "h9g7", "e2e6", "i9h9", "b0c2", "g7e6", "b2b9", "d9e8"};
    MoveRecord played[8];
    for (int i = 0; i < 8; ++i) {
        played[i] = testing::Generated(line[i]);
        ASSERT_NE(played[i].piece, Empty) << line[i];
        PlayMove(played[i]);
        EXPECT_TRUE(PositionIsConsistent()) << line[i];
    }
    for (int i = 7; i >= 0; --i)
        TakeBackMove(played[i]);
    EXPECT_TRUE(PositionSnapshot::Take() == before);
}

TEST(GameRecord, NewGameResetsTheRecord) {
    InitAttackTable();
    NewGame();
    EXPECT_EQ(recordTop, -1);
    EXPECT_EQ(plyCount, 0);
    EXPECT_EQ(clockSide, Red);
    const MoveRecord sentinel = GameRecord[-1];
    EXPECT_EQ(sentinel.to, 10);
    EXPECT_EQ(sentinel.from, 9);
    EXPECT_EQ(sentinel.tag, 0);
    EXPECT_EQ(sentinel.piece, Empty);
    EXPECT_EQ(sentinel.captured, 1);
    EXPECT_EQ(CountQuietPlies(), 0);
    EXPECT_EQ(predictedLine[0].piece, Empty);
    EXPECT_EQ(predictedScore, 0);
}

TEST(GameRecord, SetUpPositionMarksTheSentinel) {
    testing::SetUpFen(kStartFen);
    EXPECT_EQ(GameRecord[-1].piece, Empty);
    EXPECT_EQ(GameRecord[-1].captured, 0);
    EXPECT_EQ(libraryLimit, 0);
}

TEST(GameRecord, QuietPliesStopAtCaptures) {
    testing::SetUpFen(kStartFen);
    Play("h2e2");
    Play("h9g7");
    EXPECT_EQ(CountQuietPlies(), 2);
    Play("b2b9");  // capture
    EXPECT_EQ(CountQuietPlies(), 0);
    Play("a9b9");  // recapture
    EXPECT_EQ(CountQuietPlies(), 0);
    Play("e2e6");  // capture of the Pawn
    Play("c6c5");
    EXPECT_EQ(CountQuietPlies(), 1);
}

TEST(GameRecord, RepetitionsOfRookShuffles) {
    testing::SetUpFen(kStartFen);
    const char* shuffle[] = {"a0a1", "a9a8", "a1a0", "a8a9"};
    for (const char* m : shuffle)
        Play(m);
    EXPECT_EQ(CountRepetitions(0), 2);
    EXPECT_EQ(CountRepetitions(1), 2);
    for (const char* m : shuffle)
        Play(m);
    EXPECT_EQ(CountRepetitions(0), 3);
    EXPECT_EQ(CountRepetitions(1), 2);
}

TEST(GameRecord, RepetitionNeedsFourQuietPlies) {
    testing::SetUpFen(kStartFen);
    Play("a0a1");
    Play("a9a8");
    Play("a1a0");
    EXPECT_EQ(CountRepetitions(0), 1);
    Play("a8a9");
    EXPECT_EQ(CountRepetitions(0), 2);
    Play("b2b9");  // a capture ends the quiet run
    Play("a9a8");
    Play("a0a1");
    Play("a8a9");
    EXPECT_EQ(CountRepetitions(0), 1);
    EXPECT_EQ(CountRepetitions(1), 1);
}

TEST(GameRecord, RepetitionWithDifferentPiecesReturning) {
    // Two pieces of each side wander out and back in another order: still a repetition.
    testing::SetUpFen(kStartFen);
    for (const char* m : {"a0a1", "a9a8", "i0i1", "i9i8", "i1i0", "i8i9", "a1a0", "a8a9"})
        Play(m);
    EXPECT_EQ(CountRepetitions(0), 2);
    EXPECT_EQ(CountRepetitions(1), 1);  // four plies back the position differs
}

TEST(GameRecord, RebaseMovesTheLastPlayedMoveToMinusOne) {
    for (int i = kRecordBottom; i <= kRecordTopSlot; ++i) {
        GameRecord[i] = MoveRecord{i, i, 0, Rook, 0};
    }
    recordTop = -3;
    RebaseRecord();
    EXPECT_EQ(recordTop, -1);
    EXPECT_EQ(GameRecord[-1].to, -3);
    EXPECT_EQ(GameRecord[-2].to, -4);
    EXPECT_EQ(GameRecord[-254].to, -256);
    EXPECT_EQ(GameRecord[-255].to, -255);
    EXPECT_EQ(GameRecord[-256].to, -256);

    recordTop = -1;
    RebaseRecord();
    EXPECT_EQ(GameRecord[-1].to, -3);
}

TEST(GameRecord, SlideDropsTheOldestMove) {
    for (int i = kRecordBottom; i <= kRecordTopSlot; ++i) {
        GameRecord[i] = MoveRecord{i, i, 0, Rook, 0};
    }
    recordTop = 0;
    SlideRecord();
    EXPECT_EQ(recordTop, -1);
    EXPECT_EQ(GameRecord[-1].to, 0);
    EXPECT_EQ(GameRecord[-255].to, -254);
    EXPECT_TRUE(SameMove(GameRecord[-256], NullMove));
}

}  // namespace
}  // namespace xq
