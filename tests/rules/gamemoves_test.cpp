#include "rules/gamemoves.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/check.h"
#include "records/notation.h"
#include "rules/clock.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "support/display_recorder.h"
#include "support/fake_time.h"
#include "support/position_fixture.h"

namespace xq {
namespace {

using testing::DisplayCall;
using testing::DisplayRecorder;
using testing::FakeTime;
using testing::PositionSnapshot;

// The user enters `iccs` as two clicks.
bool Enter(std::string_view iccs) {
    Square from = 0;
    Square to = 0;
    EXPECT_TRUE(ParseIccs(iccs, &from, &to)) << iccs;
    return ValidateEnteredMove(from, to);
}

void EnterAll(const std::vector<std::string>& moves) {
    for (const std::string& iccs : moves)
        ASSERT_TRUE(Enter(iccs)) << iccs;
}

// Plies that shuffle the Kings on their back ranks (Black moves first); `count` of them.
std::vector<std::string> KingShuffle(int count) {
    const char* cycle[] = {"e9f9", "d0d1", "f9e9", "d1d0"};
    std::vector<std::string> moves;
    for (int i = 0; i < count; ++i)
        moves.push_back(cycle[i % 4]);
    return moves;
}

// The engine's move: the flow keeps the record and performs it.
void EngineMove(std::string_view iccs) {
    MoveRecord move = testing::Generated(iccs);
    ASSERT_NE(move.piece, Empty) << iccs;
    RebaseRecord();
    GameRecord[recordTop + 1] = move;
    PerformMove(move);
    SlideRecord();
}

struct RefusalRow {
    const char* name;
    const char* fen;
    const char* move;
    std::string_view warning;
};

// Moves that the rules refuse: not generated at all, or leaving the mover's King attacked.
const RefusalRow kRefusedMoves[] = {
    {"King two steps", kStartFen.data(), "e0e2", kImpossibleMoveText},
    {"the opponent's piece", kStartFen.data(), "a6a5", kImpossibleMoveText},
    {"empty origin", kStartFen.data(), "e4e5", kImpossibleMoveText},
    {"own piece on the target", kStartFen.data(), "a0b0", kImpossibleMoveText},
    {"gunner without a screen", kStartFen.data(), "h2h8", kImpossibleMoveText},
    {"last piece between the Kings leaves the file", "4k4/9/9/9/9/4R4/9/9/9/4K4 w", "e4a4",
     kKingLeftInCheckText},
    {"King steps onto the open file of the other", "4k4/9/9/9/9/9/9/9/9/3K5 w", "d0e0",
     kKingLeftInCheckText},
    {"check ignored", "3rk4/9/9/9/9/9/9/9/8R/3K5 w", "i1i2", kKingLeftInCheckText},
    {"black piece pinned by the facing rule", "4k4/4n4/9/9/9/9/9/9/9/4K4 b", "e8c7",
     kKingLeftInCheckText},
};

TEST(ValidateEnteredMove, RefusedMovesChangeNothing) {
    for (const RefusalRow& row : kRefusedMoves) {
        testing::SetUpFen(row.fen);
        const PositionSnapshot before = PositionSnapshot::Take();
        const Side clockBefore = clockSide;
        const MoveRecord lastBefore = GameRecord[-1];
        DisplayRecorder display;
        EXPECT_FALSE(Enter(row.move)) << row.name;
        EXPECT_TRUE(PositionSnapshot::Take() == before) << row.name;
        EXPECT_EQ(clockSide, clockBefore) << row.name;
        EXPECT_TRUE(SameMove(GameRecord[-1], lastBefore)) << row.name;
        EXPECT_EQ(enteredMove.piece, Empty) << row.name;
        EXPECT_EQ(gameOver, 0) << row.name;
        EXPECT_EQ(display.calls,
                  (std::vector<DisplayCall>{{"ShowWarning", std::string(row.warning)}}))
            << row.name;
    }
}

struct LegalMoveRow {
    const char* name;
    const char* fen;
    const char* move;
    PieceKind piece;
    PieceKind captured;
};

// The legal move `iccs` on `fen` as FindLegalMove finds it on a copy of the position, checked to
// be the one the game's position gives, IsLegalMove to agree, and neither position to change.
MoveRecord FoundLegalMove(const char* name, const char* fen, const char* iccs) {
    testing::SetUpFen(fen);
    Square from = 0;
    Square to = 0;
    EXPECT_TRUE(ParseIccs(iccs, &from, &to)) << name;
    Position position = gamePosition;
    const MoveRecord move = FindLegalMove(position, from, to);
    EXPECT_EQ(WriteFen(position), WriteFen()) << name;
    EXPECT_TRUE(PositionIsConsistent(position)) << name;
    const PositionSnapshot before = PositionSnapshot::Take();
    EXPECT_TRUE(SameMove(FindLegalMove(from, to), move)) << name;
    EXPECT_EQ(IsLegalMove(testing::Generated(iccs)), move.piece != Empty) << name;
    EXPECT_TRUE(PositionSnapshot::Take() == before) << name;
    return move;
}

// The legal move of two squares comes as the generator makes it, with the piece it moves and the
// one it captures; the refused moves above are not found.
TEST(FindLegalMove, FindsTheGeneratedLegalMoveAndNothingElse) {
    const LegalMoveRow found[] = {
        {"quiet Gunner move", kStartFen.data(), "h2e2", Gunner, Empty},
        {"Gunner takes a Knight over its screen", kStartFen.data(), "h2h9", Gunner, Knight},
        {"Black's Gunner takes a Knight",
         "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b", "b7b0", Gunner, Knight},
        {"check blocked", "3rk4/9/9/9/9/9/9/9/8R/3K5 w", "i1d1", Rook, Empty},
        {"King takes the checking Rook", "4k4/9/9/9/9/9/9/9/3r5/3K5 w", "d0d1", King, Rook},
    };
    for (const LegalMoveRow& row : found) {
        const MoveRecord move = FoundLegalMove(row.name, row.fen, row.move);
        EXPECT_EQ(FormatIccs(move), row.move) << row.name;
        EXPECT_EQ(move.piece, row.piece) << row.name;
        EXPECT_EQ(move.captured, row.captured) << row.name;
    }
    for (const RefusalRow& row : kRefusedMoves) {
        EXPECT_EQ(FoundLegalMove(row.name, row.fen, row.move).piece, Empty) << row.name;
        // The King's rows are moves that the generator makes: legality refuses them.
        EXPECT_EQ(testing::Generated(row.move).piece != Empty, row.warning == kKingLeftInCheckText)
            << row.name;
    }
    testing::SetUpFen(kStartFen);
    EXPECT_FALSE(IsLegalMove(NullMove));
    MoveRecord otherCapture = testing::Generated("h2h9");
    otherCapture.captured = Rook;  // the right squares, the wrong victim
    EXPECT_FALSE(IsLegalMove(otherCapture));
}

struct LegalStartRow {
    const char* name;
    const char* fen;
    std::vector<std::string> line;
    size_t limit;
    size_t legal;  // how many moves of the line the start keeps
};

// A line from an engine is kept up to its first move that cannot be played there, or its limit;
// the moves kept are those the generator makes, played on the caller's position.
TEST(LegalStart, KeepsTheLineUpToItsFirstIllegalMoveOrItsLimit) {
    const LegalStartRow rows[] = {
        {"all of it", kStartFen.data(), {"h2e2", "h9g7", "h0g2", "b9c7"}, 8, 4},
        {"cut by the limit", kStartFen.data(), {"h2e2", "h9g7", "h0g2"}, 2, 2},
        {"a Gunner with two screens", kStartFen.data(), {"h2e2", "h9g7", "e2e9", "b0c2"}, 8, 2},
        {"a capture", kStartFen.data(), {"h2h9", "i9h9"}, 8, 2},
        {"Kings left facing",
         "4k4/9/9/9/9/4R4/9/9/9/4K4 w",
         {"e4e5", "e9d9", "e0d0", "d9e9"},
         8,
         2},
        {"nothing legal", "4k4/9/9/9/9/4R4/9/9/9/4K4 w", {"e4a4", "e9d9"}, 8, 0},
    };
    for (const LegalStartRow& row : rows) {
        testing::SetUpFen(row.fen);
        std::vector<MoveRecord> line;
        for (const std::string& text : row.line) {
            Square from = 0;
            Square to = 0;
            ASSERT_TRUE(ParseIccs(text, &from, &to)) << row.name;
            line.push_back(MoveRecord{to, from, 0, 0, 0});  // the squares alone, as a line brings
        }
        const PositionSnapshot before = PositionSnapshot::Take();
        const std::vector<MoveRecord> kept = LegalStart(line, row.limit);
        EXPECT_TRUE(PositionSnapshot::Take() == before) << row.name;
        Position position = gamePosition;
        const std::vector<MoveRecord> played = LegalStart(position, line, row.limit);
        ASSERT_EQ(played.size(), row.legal) << row.name;
        ASSERT_EQ(kept.size(), row.legal) << row.name;
        for (size_t k = 0; k < row.legal; ++k) {
            const MoveRecord generated = testing::Generated(row.line[k]);
            EXPECT_TRUE(SameMove(played[k], generated)) << row.name << " move " << k;
            EXPECT_TRUE(SameMove(kept[k], generated)) << row.name << " move " << k;
            PlayMove(generated);
        }
        EXPECT_EQ(WriteFen(position), WriteFen()) << row.name;
        EXPECT_TRUE(PositionIsConsistent(position)) << row.name;
    }
}

TEST(ValidateEnteredMove, AcceptedMovesAreCommittedShownAndTimed) {
    FakeTime fake;
    testing::SetUpFen(kStartFen);
    predictedScore = 500;
    DisplayRecorder display;
    fake.Set(20, 0, 0);
    ASSERT_TRUE(Enter("h2e2"));
    const MoveRecord first = testing::Generated("h9g7");
    fake.Advance(7);
    ASSERT_TRUE(Enter("h9g7"));

    const std::vector<DisplayCall> expected = {
        {"EndDrag", "", 0},
        {"ShowMoveLine", "00:00.0 001. 炮二平五", Red},
        {"RedrawChangedSquares"},
        {"ShowMessage", ""},
        {"StartClockDisplay"},
        {"ShowTurn", "", Black},
        {"EndDrag", "", 0},
        {"StopClockDisplay"},
        {"ShowMoveLine", "00:07.0 001. 马８进７", Black},
        {"RedrawChangedSquares"},
        {"ShowMessage", ""},
        {"StartClockDisplay"},
        {"ShowTurn", "", Red},
    };
    EXPECT_EQ(display.calls, expected);
    EXPECT_EQ(predictedScore, 0);
    EXPECT_EQ(recordTop, -1);
    EXPECT_EQ(plyCount, 2);
    EXPECT_TRUE(SameMove(GameRecord[-1], first));
    EXPECT_TRUE(SameMove(lastPlayerMove, first));
    EXPECT_EQ(FormatMove(GameRecord[-2], Red), "炮二平五");
    EXPECT_EQ(sideClock[Black].elapsed, 7);
    EXPECT_EQ(runningClock, Red);
    EXPECT_EQ(clockRunning, 1);
    EXPECT_TRUE(PositionIsConsistent());
}

TEST(ValidateEnteredMove, WhileThinkingTheMoveOnlyWaits) {
    testing::SetUpFen(kStartFen);
    const PositionSnapshot before = PositionSnapshot::Take();
    DisplayRecorder display;
    thinking = 1;
    EXPECT_TRUE(Enter("h2e2"));
    thinking = 0;
    EXPECT_TRUE(PositionSnapshot::Take() == before);
    EXPECT_TRUE(SameMove(enteredMove, testing::Generated("h2e2")));
    EXPECT_EQ(GameRecord[-1].piece, Empty);
    EXPECT_TRUE(display.calls.empty());
}

struct EndRow {
    const char* name;
    const char* fen;
    std::vector<std::string> moves;
    std::string result;  // empty while the game goes on
    std::string message;
    int checkBoxes;
};

TEST(CheckGameEnd, AnnouncesTheEndAfterRealMoves) {
    std::vector<std::string> quietThenMate = KingShuffle(119);
    quietThenMate.push_back("i0i9");
    std::vector<std::string> captureResets = KingShuffle(117);
    for (const char* iccs : {"i0i5", "f9e9", "d0d1", "e9f9"})
        captureResets.push_back(iccs);

    // The result stays in the message line, and nobody's clock runs after it.
    const EndRow rows[] = {
        {"mate", "4k4/R8/9/9/9/9/9/9/9/3K4R w", {"i0i9"}, "将死！", "将死！", 0},
        {"stalemate", "4k4/3P5/5P3/9/9/9/9/9/9/3K5 w", {"f7f8"}, "死局!", "死局!", 0},
        {"check", "4k4/9/9/9/9/9/9/9/9/3K4R w", {"i0i9"}, "", "将军!", 1},
        {"check answered", "4k4/9/9/9/9/9/9/9/9/3K4R w", {"i0i9", "e9e8"}, "", "", 1},
        {"check from the opening",
         kStartFen.data(),
         {"h2e2", "b7e7", "h0g2", "e7e3"},
         "",
         "将军!",
         1},
        {"119 quiet plies", "4k4/9/9/9/8p/9/9/9/9/3K4R b", KingShuffle(119), "", "", 0},
        {"the 120th quiet ply", "4k4/9/9/9/8p/9/9/9/9/3K4R b", KingShuffle(120), "六十回合规则",
         "六十回合规则", 0},
        {"a capture resets the run", "4k4/9/9/9/8p/9/9/9/9/3K4R b", captureResets, "", "", 0},
        {"mate on the 120th quiet ply stays mate", "4k4/R8/9/9/9/9/9/9/9/3K4R b", quietThenMate,
         "将死！", "将死！", 0},
    };
    for (const EndRow& row : rows) {
        testing::SetUpFen(row.fen);
        DisplayRecorder display;
        EnterAll(row.moves);
        EXPECT_EQ(gameOver, row.result.empty() ? 0 : 1) << row.name;
        if (gameOver) {
            EXPECT_EQ(gameResultText, row.result) << row.name;
        }
        EXPECT_EQ(display.MessageLine(), row.message) << row.name;
        EXPECT_EQ(clockRunning, gameOver ? 0 : 1) << row.name;
        const auto turns = display.Named("ShowTurn");
        ASSERT_FALSE(turns.empty()) << row.name;
        EXPECT_EQ(turns.back().value, sideToMove) << row.name;
        EXPECT_EQ(display.Count("MessageBox"), row.checkBoxes) << row.name;
        if (row.checkBoxes > 0) {
            EXPECT_EQ(display.Named("MessageBox")[0],
                      (DisplayCall{"MessageBox", "将军！|中国象棋",
                                   static_cast<int>(BoxIcon::Exclamation)}))
                << row.name;
        }
    }
}

struct ScoreRow {
    const char* name;
    int32_t score;
    const char* engineMove;  // made by the side to move of the start position
    bool redMoves;
    std::string result;
    std::string message;
};

TEST(CheckGameEnd, ReadsTheEnginesScoreAfterItsMove) {
    const ScoreRow rows[] = {
        // A mate found n plies away scores 32000 - 128 n; the mating side's moves still to come
        // after the one just played are announced.
        {"mate in 3: two moves to go", 32000 - 5 * 128, "h2e2", true, "", " 将死在2 次移动后!"},
        {"mate in 2: one move to go", 32000 - 3 * 128, "h2e2", true, "", " 将死在1 次移动后!"},
        {"mate in 10", 32000 - 19 * 128, "h2e2", true, "", " 将死在9 次移动后!"},
        {"lowest mate score", 29536, "h2e2", true, "", " 将死在9 次移动后!"},
        {"just below a mate score", 29535, "h2e2", true, "", ""},
        {"red resigns", -6000, "h2e2", true, "红方认输", "红方认输"},
        {"black resigns", -6000, "h9g7", false, "黑方认输", "黑方认输"},
        {"upper bound excluded", -5456, "h2e2", true, "", ""},
        {"lower bound excluded", -25500, "h2e2", true, "", ""},
        {"just inside the lower bound", -25499, "h2e2", true, "红方认输", "红方认输"},
    };
    for (const ScoreRow& row : rows) {
        testing::SetUpFen(row.redMoves
                              ? kStartFen
                              : std::string(kStartFen.substr(0, kStartFen.find(' '))) + " b");
        DisplayRecorder display;
        predictedScore = row.score;
        EngineMove(row.engineMove);
        if (gameOver) {
            EXPECT_EQ(gameResultText, row.result) << row.name;
        }
        EXPECT_EQ(gameOver, row.result.empty() ? 0 : 1) << row.name;
        EXPECT_EQ(display.MessageLine(), row.message) << row.name;
        EXPECT_EQ(clockRunning, gameOver ? 0 : 1) << row.name;
    }
}

TEST(CheckGameEnd, CheckReplacesTheForcedMateText) {
    testing::SetUpFen("4k4/9/9/9/9/9/9/9/9/3K4R w");
    DisplayRecorder display;
    predictedScore = 32000 - 5 * 128;  // a mate in 3
    EngineMove("i0i9");
    const auto messages = display.Named("ShowMessage");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].text, " 将死在2 次移动后!");
    EXPECT_EQ(messages[2].text, "将军!");
}

TEST(CheckGameEnd, UserMoveClearsTheScoreBeforeTheCheck) {
    testing::SetUpFen(kStartFen);
    predictedScore = -6000;
    ASSERT_TRUE(Enter("h2e2"));
    EXPECT_EQ(gameOver, 0);
}

TEST(FullMoves, TakeBackAndReplayReportWhatRemains) {
    testing::SetUpFen(kStartFen);
    const PositionSnapshot start = PositionSnapshot::Take();
    EnterAll({"h2e2", "h9g7"});
    const PositionSnapshot afterOne = PositionSnapshot::Take();
    EnterAll({"h0g2", "i9h9"});
    const PositionSnapshot afterTwo = PositionSnapshot::Take();

    DisplayRecorder display;
    EXPECT_TRUE(TakeBackFullMove());
    EXPECT_EQ(recordTop, -3);
    EXPECT_FALSE(TakeBackFullMove());
    EXPECT_EQ(recordTop, -5);
    EXPECT_EQ(plyCount, 0);
    EXPECT_EQ(std::memcmp(board, start.cells, sizeof board), 0);
    EXPECT_EQ(sideToMove, Red);
    // The retracted Red move is written for Red into the field of Black, who was to move.
    EXPECT_EQ(display.Named("ShowMoveLine").back().value, Black);
    EXPECT_NE(display.Named("ShowMoveLine").back().text.find("炮二平五"), std::string::npos);
    EXPECT_EQ(display.Count("ClearBestPath"), 2);
    EXPECT_EQ(display.Named("ShowTurn").back().value, Red);

    EXPECT_TRUE(ReplayFullMove());
    EXPECT_EQ(std::memcmp(board, afterOne.cells, sizeof board), 0);
    EXPECT_EQ(plyCount, 2);
    EXPECT_FALSE(ReplayFullMove());
    EXPECT_TRUE(PositionSnapshot::Take() == afterTwo);
    EXPECT_EQ(clockSide, Red);
    EXPECT_TRUE(PositionIsConsistent());
}

// Taken back from a mate, the game goes on with its clock; replayed, it is over again.
TEST(FullMoves, ATakeBackFromTheEndPlaysOn) {
    testing::SetUpFen("4k4/R8/9/9/9/9/9/9/9/3K4R b");
    EnterAll({"e9f9", "d0d1", "f9e9", "i0i9"});
    ASSERT_EQ(gameOver, 1);
    DisplayRecorder display;
    EXPECT_TRUE(TakeBackFullMove());
    EXPECT_EQ(gameOver, 0);
    EXPECT_EQ(display.MessageLine(), "");
    EXPECT_EQ(clockRunning, 1);
    ReplayFullMove();
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(gameResultText, "将死！");
    EXPECT_TRUE(TakeBackFullMove());
    EnterAll({"f9e9", "d1d0"});
    EXPECT_EQ(gameOver, 0);
    EXPECT_EQ(clockRunning, 1);
}

TEST(FullMoves, TakeBackAfterTheFirstTwoPliesAndNewMoveEndsReplay) {
    testing::SetUpFen(kStartFen);
    EnterAll({"h2e2", "h9g7", "h0g2", "i9h9"});
    EXPECT_TRUE(TakeBackFullMove());
    ASSERT_TRUE(Enter("b2d2"));  // a new move drops the taken-back ones
    EXPECT_EQ(recordTop, -1);
    EXPECT_EQ(plyCount, 3);
    EXPECT_EQ(FormatMove(GameRecord[-3], Red), "炮二平五");
    EXPECT_EQ(FormatMove(GameRecord[-2], Black), "马８进７");
    EXPECT_EQ(FormatMove(GameRecord[-1], Red), "炮八平六");

    testing::SetUpFen(kStartFen);
    EnterAll({"h2e2", "h9g7"});
    EXPECT_FALSE(TakeBackFullMove());
    EXPECT_FALSE(ReplayFullMove());
    EXPECT_EQ(plyCount, 2);
}

// Nothing to take back or replay: the call says so and changes nothing at all.
void ExpectRefusedUnchanged(bool (*menuMove)(), const char* name) {
    const PositionSnapshot before = PositionSnapshot::Take();
    const int16_t replayable = replayableFullMoves;
    DisplayRecorder display;
    EXPECT_FALSE(menuMove()) << name;
    EXPECT_TRUE(PositionSnapshot::Take() == before) << name;
    EXPECT_EQ(replayableFullMoves, replayable) << name;
    EXPECT_TRUE(display.calls.empty()) << name;
}

TEST(FullMoves, AnOddPlyIsNeverTakenBackAlone) {
    // The user plays Black: the engine's first move is alone above the sentinel.
    testing::SetUpFen(kStartFen);
    EngineMove("h2e2");
    EXPECT_FALSE(CanTakeBackFullMove());
    ExpectRefusedUnchanged(TakeBackFullMove, "one ply");
    EnterAll({"h9g7"});
    EngineMove("h0g2");
    EXPECT_FALSE(TakeBackFullMove());  // h0g2 and h9g7; h2e2 stays
    EXPECT_EQ(plyCount, 1);
    EXPECT_EQ(sideToMove, Black);
    ExpectRefusedUnchanged(TakeBackFullMove, "back at one ply");
    EXPECT_TRUE(PositionIsConsistent());
}

// Back to a position any number of plies before the game's last, then every ply replayed: full
// moves first, an odd ply alone last, also with full moves already waiting to be replayed.
TEST(FullMoves, PliesTakenBackAreAllReplayedAnOddOneLast) {
    const std::vector<std::string> game = {"h2e2", "h9g7", "h0g2", "i9h9", "i0h0", "b9c7"};
    // Rows: full moves taken back with the menu first, then plies taken back, full moves replayed.
    const struct {
        int fullMovesFirst;
        int plies;
        int replays;
    } rows[] = {{0, 1, 1}, {0, 3, 2}, {0, 4, 2}, {0, 6, 3}, {1, 1, 2}, {1, 3, 3}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.fullMovesFirst) + " then " + std::to_string(row.plies));
        testing::SetUpFen(kStartFen);
        EnterAll(game);
        const PositionSnapshot end = PositionSnapshot::Take();
        for (int k = 0; k < row.fullMovesFirst; ++k) {
            ASSERT_TRUE(CanTakeBackFullMove());
            TakeBackFullMove();
        }
        const int32_t from = plyCount;
        ASSERT_TRUE(CanTakeBackPlies(row.plies));
        EXPECT_FALSE(CanTakeBackPlies(from + 1)) << "not below the first move";
        ASSERT_TRUE(TakeBackPlies(row.plies));
        EXPECT_EQ(plyCount, from - row.plies);
        EXPECT_TRUE(PositionIsConsistent());
        int replays = 0;
        for (; CanReplayFullMove() && replays < 10; ++replays)
            ReplayFullMove();
        EXPECT_EQ(replays, row.replays);
        EXPECT_TRUE(PositionSnapshot::Take() == end);
    }
    // A new move ends the odd ply as it ends the full moves.
    testing::SetUpFen(kStartFen);
    EnterAll(game);
    ASSERT_TRUE(TakeBackPlies(1));
    ASSERT_TRUE(CanReplayFullMove());
    EnterAll({"a9a8"});
    EXPECT_FALSE(CanReplayFullMove());
    EXPECT_FALSE(TakeBackPlies(0));
}

TEST(FullMoves, TakeBackStopsWhereTheRecordDroppedTheOldestPlies) {
    // 301 plies: the record keeps the last 255, so 127 full moves can be taken back.
    testing::SetUpFen("4k4/9/9/9/9/9/9/9/9/3K5 b");
    EnterAll(KingShuffle(301));
    int taken = 0;
    while (TakeBackFullMove())
        ++taken;
    EXPECT_EQ(taken + 1, 127);
    EXPECT_EQ(plyCount, 301 - 254);
    EXPECT_GE(recordTop, kRecordBottom);
    ExpectRefusedUnchanged(TakeBackFullMove, "record exhausted");
    EXPECT_TRUE(PositionIsConsistent());
    for (int replayed = 0; replayed < 127; ++replayed)
        EXPECT_EQ(ReplayFullMove(), replayed < 126);
    EXPECT_EQ(plyCount, 301);
    EXPECT_EQ(recordTop, -1);
    EXPECT_TRUE(PositionIsConsistent());
}

TEST(FullMoves, NothingIsReplayedAfterANewMoveOrAWithdrawnPrediction) {
    testing::SetUpFen(kStartFen);
    EnterAll({"h2e2", "h9g7", "h0g2", "i9h9"});
    ASSERT_TRUE(TakeBackFullMove());
    EXPECT_TRUE(CanReplayFullMove());
    ASSERT_TRUE(Enter("b2d2"));
    ExpectRefusedUnchanged(ReplayFullMove, "after a new move");

    // A pondering search that ends by itself leaves the predicted reply above recordTop.
    EngineMove("b9c7");
    const MoveRecord predicted = testing::Generated("b0c2");
    RebaseRecord();
    GameRecord[recordTop + 1] = predicted;
    PlayMove(predicted);
    SlideRecord();
    RebaseRecord();
    TakeBackMove(GameRecord[recordTop]);
    ASSERT_EQ(recordTop, -2);
    ExpectRefusedUnchanged(ReplayFullMove, "withdrawn prediction");

    // Taking back from there replays exactly the moves taken back, never the prediction.
    const PositionSnapshot beforeTakeBack = PositionSnapshot::Take();
    EXPECT_TRUE(TakeBackFullMove());
    EXPECT_FALSE(ReplayFullMove());
    EXPECT_EQ(std::memcmp(board, beforeTakeBack.cells, sizeof board), 0);
    EXPECT_EQ(plyCount, beforeTakeBack.plies);
    EXPECT_TRUE(PositionIsConsistent());

    // A new game or a set-up position ends replay too.
    ASSERT_TRUE(TakeBackFullMove());
    NewGame();
    ExpectRefusedUnchanged(ReplayFullMove, "after a new game");
}

// Fills predictedLine with `count` Knight moves out and back, ending with NullMove when it fits.
std::string FillKnightShuffle(int count) {
    const char* cycle[] = {"b0c2", "b9c7", "c2b0", "c7b9"};
    std::string text;
    for (int i = 0; i < count; ++i) {
        predictedLine[i] = testing::Generated(cycle[i % 4]);
        text += FormatMove(predictedLine[i], sideToMove) + "  ";
        PlayMove(predictedLine[i]);
    }
    for (int i = count - 1; i >= 0; --i)
        TakeBackMove(predictedLine[i]);
    if (count < kLineLength) predictedLine[count] = NullMove;
    return text;
}

TEST(ShowPredictedLine, ShowsTheLineAndRestoresEverything) {
    FakeTime fake;
    for (int count : {0, 3, 44, kLineLength}) {
        testing::SetUpFen(kStartFen);
        EnterAll({"h2e2", "h9g7"});
        const std::string text = FillKnightShuffle(count);
        const PositionSnapshot before = PositionSnapshot::Take();
        const Side clockBefore = clockSide;
        DisplayRecorder display;
        ShowPredictedLine();
        EXPECT_TRUE(PositionSnapshot::Take() == before) << count;
        EXPECT_EQ(clockSide, clockBefore) << count;
        const auto messages = display.Named("ShowMessage");
        ASSERT_EQ(messages.size(), static_cast<size_t>(count + 1)) << count;
        EXPECT_EQ(messages.front().text, "");
        EXPECT_EQ(messages.back().text, text) << count;
        EXPECT_EQ(display.Count("RedrawChangedSquares"), count == 0 ? 0 : count + 1) << count;
    }
    EXPECT_EQ(FillKnightShuffle(2), "马八进七  马２进３  ");
}

// The stated preconditions of the record and the moves hold in every build with assertions (the
// sanitizer build the tests run in): broken, they abort with the file, the line and the condition
// instead of swapping cells off the board into the piece lists.
TEST(PreconditionsDeathTest, TakingBackOrSlidingOutsideTheRecordAborts) {
    if (!kAssertionsOn) GTEST_SKIP() << "built without XQ_ASSERTIONS";
    testing::SetUpFen(kStartFen);
    ASSERT_EQ(GameRecord[recordTop].piece, Empty);  // nothing played
    EXPECT_DEATH(RetractMove(GameRecord[recordTop]), "assertion failed: move.piece != Empty");
    EXPECT_DEATH(TakeBackMove(testing::Generated("h2e2")), "assertion failed: MoveFits");
    EXPECT_DEATH(SlideRecord(), "record.cpp:[0-9]+: assertion failed: recordTop == 0");
    // A move that was never entered is not the one above the record.
    EXPECT_DEATH(PerformMove(testing::Generated("h2e2")), "assertion failed: .*SameMove");
    // Where the preconditions hold, nothing fires and the game goes on.
    ASSERT_TRUE(Enter("h2e2"));
    RetractMove(GameRecord[recordTop]);
    EXPECT_TRUE(PositionIsConsistent());
    EXPECT_EQ(plyCount, 0);
}

}  // namespace
}  // namespace xq
