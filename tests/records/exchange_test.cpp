// The "棋谱" menu's work on the game: a game exported in either notation and imported again is the
// same game, with its moves in the record for "悔棋"; a pasted FEN is set up as the position
// editor leaves a position; every refusal names its reason and changes nothing.
#include "records/exchange.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/flow.h"
#include "engine/windowprocedure.h"
#include "platform/encoding.h"
#include "rules/clock.h"
#include "rules/gamemoves.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "support/display_recorder.h"
#include "support/position_fixture.h"
#include "support/temp_folder.h"

namespace xq {
namespace {

using testing::PositionSnapshot;

// Plays `plies` random legal moves into the game as committed moves are played.
void PlayRandomGame(int plies, std::mt19937* random) {
    for (int ply = 0; ply < plies; ++ply) {
        const std::vector<MoveRecord> legal = LegalMoves();
        if (legal.empty()) return;
        const MoveRecord move = legal[(*random)() % legal.size()];
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        SlideRecord();
    }
}

std::vector<std::string> RecordedMoves() {
    std::vector<std::string> moves;
    for (const MoveRecord& move : CurrentGameAsPgn().moves)
        moves.push_back(FormatIccs(move));
    return moves;
}

TEST(Exchange, AGameExportedInEitherNotationImportsAsTheSameGame) {
    testing::TempFolder folder;
    std::mt19937 random(14);
    for (int game = 0; game < 6; ++game) {
        const bool fromSetUp = game % 2 == 1;
        testing::SetUpFen(kStartFen);
        if (fromSetUp) testing::SetUpFen("2bak4/4a4/4b1n2/p3p3p/2p6/6P2/P3c4/4B1N2/4A4/2BAK2C1 b");
        PlayRandomGame(60, &random);
        // Game 4 is longer than the record keeps: its earliest moves are gone, and its PGN
        // starts from the earliest position kept.
        for (uint32_t seed = 1; game == 4 && plyCount < 300; ++seed) {
            testing::SetUpFen(kStartFen);
            std::mt19937 longGame(seed);
            PlayRandomGame(300, &longGame);
        }
        const std::vector<std::string> moves = RecordedMoves();
        if (game == 4) {
            EXPECT_EQ(moves.size(), 255u);
        }
        const std::string finalFen = WriteFen();
        for (PgnNotation notation : {PgnNotation::Iccs, PgnNotation::Chinese}) {
            SCOPED_TRACE(std::to_string(game) +
                         (notation == PgnNotation::Iccs ? " ICCS" : " 中文"));
            const std::filesystem::path file = folder / "game.pgn";
            ASSERT_EQ(ExportGame(file, notation), "");
            testing::SetUpFen("4k4/9/9/9/9/9/9/9/9/3K5 w");  // another game meanwhile
            gameUnnamed = 0;
            testing::DisplayRecorder display;
            ASSERT_EQ(ImportGame(file), "");
            EXPECT_EQ(WriteFen(), finalFen);
            EXPECT_EQ(RecordedMoves(), moves);
            EXPECT_EQ(plyCount, static_cast<int32_t>(moves.size()));
            EXPECT_EQ(userSide, sideToMove);
            EXPECT_EQ(gameUnnamed, 1) << "保存 asks for a game file's name";
            if (fromSetUp) {
                EXPECT_EQ(libraryLimit, 0) << "no library for a set-up start";
            }
            EXPECT_EQ(sideClock[Red].elapsed + sideClock[Black].elapsed, 0.0);
            EXPECT_EQ(display.Count("RedrawAll"), 1);
            EXPECT_EQ(display.Count("ShowMoveLine"), 2) << "the last move of each side";
            // "悔棋" takes the last full move back to the position before it.
            ASSERT_TRUE(CanTakeBackFullMove());
            TakeBackFullMove();
            EXPECT_EQ(RecordedMoves(), std::vector<std::string>(moves.begin(), moves.end() - 2));
            ImportGame(file);
        }
    }
}

TEST(Exchange, TheGamesResultGoesIntoTheExport) {
    testing::TempFolder folder;
    // A mate played without the end-of-game check is still the result.
    testing::SetUpFen("3k5/9/9/9/9/9/9/9/9/R3K4 w");
    const MoveRecord mate = testing::Generated("a0d0");
    GameRecord[recordTop + 1] = mate;
    PlayMove(mate);
    SlideRecord();
    ASSERT_EQ(gameOver, 0);
    ASSERT_EQ(ExportGame(folder / "mate.pgn", PgnNotation::Chinese), "");
    const std::string text = testing::ReadWholeFile(folder / "mate.pgn");
    EXPECT_NE(text.find("[Result \"1-0\"]"), std::string::npos) << text;
    EXPECT_NE(text.find("1. 车九平六 1-0"), std::string::npos) << text;
    // Imported, the game ends with its mate, announced as on the board.
    {
        testing::DisplayRecorder display;
        ASSERT_EQ(ImportGame(folder / "mate.pgn"), "");
        EXPECT_EQ(gameOver, 1);
        EXPECT_EQ(gameResultText, kMateText);
        EXPECT_EQ(display.MessageLine(), kMateText) << "and stays in the message line";
        EXPECT_EQ(display.Count("ShowEndOfGame"), 1);
    }
    gameOver = 0;

    // The ends announced while moves are left.
    testing::SetUpFen(kStartFen);
    EXPECT_EQ(GameResultTag(), "*");
    const std::pair<std::string_view, const char*> ends[] = {
        {kSixtyMovesText, "1/2-1/2"}, {kRedResignsText, "0-1"}, {kBlackResignsText, "1-0"}};
    for (const auto& [end, tag] : ends) {
        SetGameResult(end);
        EXPECT_EQ(GameResultTag(), tag) << end;
    }
    gameOver = 0;
}

// The analysis of the game below, as the file gives it and as moveValues must hold it once
// imported: for the move list's marks and the course graph.
void ExpectTheFilesAnalysis() {
    const struct {
        int ply;
        int32_t redValue;
        MoveMark mark;
        const char* best;  // the engine's move, ICCS
    } rows[] = {
        {1, 30, MoveMark::None, "h2e2"},
        {2, 85, MoveMark::Inaccuracy, "h7e7"},
        {3, 80, MoveMark::None, "h0g2"},
        {4, 340, MoveMark::Blunder, "b9c7"},
    };
    ASSERT_GE(moveValues.size(), 5u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ply);
        const MoveValue& value = moveValues[static_cast<size_t>(row.ply)];
        EXPECT_TRUE(value.known && value.analysed);
        EXPECT_EQ(value.redValue, row.redValue);
        EXPECT_EQ(value.mark, row.mark);
        EXPECT_EQ(FormatIccs(value.best), row.best);
    }
    EXPECT_TRUE(moveValues.size() <= 5 || !moveValues[5].analysed) << "the last move has none";
}

// "导出棋谱" of an imported, analysed game and "导入棋谱" of what it wrote: the game keeps its own
// tags (the file's date, not today's; its result while it stands where the file ended it) and
// every analysed move its mark, value and the engine's move. Taking moves back keeps the tags, a
// new game or a pasted position forgets them.
TEST(Exchange, AnImportedAnalysedGameKeepsItsTagsAndAnalysisThroughExportAndImport) {
    testing::TempFolder folder;
    const std::string roster =
        "[Event \"全国象棋个人赛\"]\n[Site \"北京\"]\n[Date \"1999.05.01\"]\n[Round \"3\"]\n"
        "[Red \"许银川\"]\n[Black \"吕钦\"]\n[Result \"1-0\"]\n[Opening \"中炮对屏风马\"]\n";
    const std::filesystem::path original = folder / "original.pgn";
    std::ofstream(original)
        << roster
        << "\n1. h2e2 {[%eval 0.30]} h9g7 $6 {[%eval 0.85]} (1... h7e7)\n"
           "2. h0g2 {[%eval 0.80]} i9h9 $4 {[%eval 3.40]} (2... b9c7) 3. i0h0 1-0\n";
    const std::filesystem::path exported = folder / "exported.pgn";
    for (PgnNotation notation : {PgnNotation::Iccs, PgnNotation::Chinese}) {
        SCOPED_TRACE(notation == PgnNotation::Iccs ? "ICCS" : "中文");
        testing::SetUpFen(kStartFen);
        moveValues.clear();
        ASSERT_EQ(ImportGame(original), "");
        ExpectTheFilesAnalysis();
        ASSERT_EQ(ExportGame(exported, notation), "");
        const std::string text = testing::ReadWholeFile(exported);
        EXPECT_EQ(text.substr(0, roster.size()), roster);
        // Another game meanwhile, then the file written.
        testing::SetUpFen("4k4/9/9/9/9/9/9/9/9/3K5 w");
        moveValues.clear();
        ASSERT_EQ(ImportGame(exported), "");
        ExpectTheFilesAnalysis();
        ASSERT_EQ(ExportGame(folder / "again.pgn", notation), "");
        EXPECT_EQ(testing::ReadWholeFile(folder / "again.pgn"), text);
    }
    // Taken back, the game keeps its tags; its result is the file's no longer.
    TakeBackFullMove();
    ASSERT_EQ(ExportGame(exported, PgnNotation::Iccs), "");
    std::string text = testing::ReadWholeFile(exported);
    EXPECT_NE(text.find("[Red \"许银川\"]"), std::string::npos) << text;
    EXPECT_NE(text.find("[Result \"*\"]"), std::string::npos) << text;
    // A new game, and a pasted position, are games of their own.
    for (const bool pasted : {false, true}) {
        ASSERT_EQ(ImportGame(original), "");
        if (pasted) {
            ASSERT_EQ(PastePosition(kStartFen), "");
        } else {
            NewGame();
        }
        ASSERT_EQ(ExportGame(exported, PgnNotation::Iccs), "");
        text = testing::ReadWholeFile(exported);
        EXPECT_NE(text.find("[Event \"澜川中国象棋\"]\n[Site \"?\"]\n"), std::string::npos) << text;
        EXPECT_NE(text.find("[Red \"?\"]\n[Black \"?\"]\n[Result \"*\"]\n"), std::string::npos)
            << text;
        EXPECT_EQ(text.find("Opening"), std::string::npos) << text;
    }
}

TEST(Exchange, ExportFailuresAreReportedAndLeaveNoFile) {
    testing::TempFolder folder;
    testing::SetUpFen(kStartFen);
    const std::filesystem::path missing = folder / "no-such-folder" / "game.pgn";
    EXPECT_EQ(ExportGame(missing, PgnNotation::Iccs), "不能打开 " + missing.string() + " 用于写");
    std::filesystem::create_directory(folder / "taken");  // a folder where the file should go
    EXPECT_EQ(ExportGame(folder / "taken", PgnNotation::Iccs),
              "存贮错误：" + (folder / "taken").string());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
        << "no temporary file is left behind";
    // Through a link the link stays a link; a file that may not be written is not replaced.
    const std::filesystem::path old = folder / "old.pgn";
    testing::WriteWholeFile(old, "old");
    std::filesystem::create_symlink("old.pgn", folder / "link.pgn");
    EXPECT_EQ(ExportGame(folder / "link.pgn", PgnNotation::Iccs), "");
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.pgn"));
    EXPECT_TRUE(testing::ReadWholeFile(old).starts_with("[Event"));
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    std::filesystem::permissions(old, std::filesystem::perms::owner_read);
    EXPECT_EQ(ExportGame(old, PgnNotation::Iccs), "不能打开 " + old.string() + " 用于写");
}

struct RefusalRow {
    const char* name;
    std::string content;  // the file's bytes; "<folder>" makes a folder instead of a file
    std::string reason;   // the start of the refusal
};

TEST(Exchange, ARefusedImportNamesItsReasonAndChangesNothing) {
    testing::TempFolder folder;
    const RefusalRow rows[] = {
        {"no such file", "", "无法读取文件 "},
        {"a folder", "<folder>", "无法读取文件 "},
        {"an empty file", "\n\n", "文件中没有棋谱"},
        {"a game file chosen by mistake",
         std::string("\x01\x00\x00\x00", 4) + std::string(994, 'x'), "无法读取文件的文字编码"},
        {"unknown move text", "1. 炮二平五 马８进７ 2. 马二进三 车９平８ 3. 车一平二 马2进3 4. Qd1",
         "第1局：第4回合的着法“Qd1”无法识别"},
        {"illegal move in GBK", Utf8ToGbk("1. 炮二平五 炮８平５ 2. 炮五进五").value(),
         "第1局：第2回合的着法“炮五进五”不合规则"},
        {"bad FEN", "[FEN \"rnbakabnr/9/9/9 w\"]\n1. h2e2 *", "第1局：FEN 局面有误："},
        {"FEN with a Pawn behind its line", "[FEN \"4k4/9/9/9/9/9/9/P8/9/3K5 w\"]\n*",
         "第1局：FEN 局面有误：兵的位置错误"},
    };
    for (const RefusalRow& row : rows) {
        SCOPED_TRACE(row.name);
        const std::filesystem::path file = folder / row.name;
        if (row.content == "<folder>") {
            std::filesystem::create_directory(file);
        } else if (!row.content.empty()) {
            std::ofstream(file, std::ios::binary) << row.content;
        }
        testing::SetUpFen(kStartFen);
        for (const char* iccs : {"h2e2", "h9g7"}) {
            const MoveRecord move = testing::Generated(iccs);
            GameRecord[recordTop + 1] = move;
            PlayMove(move);
            SlideRecord();
        }
        const PositionSnapshot before = PositionSnapshot::Take();
        const std::vector<std::string> moves = RecordedMoves();
        testing::DisplayRecorder display;
        const std::string refusal = ImportGame(file);
        EXPECT_EQ(refusal.substr(0, row.reason.size()), row.reason) << refusal;
        EXPECT_TRUE(PositionSnapshot::Take() == before);
        EXPECT_EQ(RecordedMoves(), moves);
        EXPECT_TRUE(display.calls.empty()) << "nothing is drawn or shown";
    }
}

struct PasteRow {
    const char* name;
    const char* text;
    const char* refusal;  // empty: taken
    const char* fen;      // taken: the position set up
};

TEST(Exchange, APastedPositionPassesTheEditorsChecksOrChangesNothing) {
    const PasteRow rows[] = {
        {"a FEN with its trailing fields and blanks around",
         "  \n3k5/9/9/9/9/9/9/9/4R4/4K4 b - - 0 31\r\nmore text", "",
         "3k5/9/9/9/9/9/9/9/4R4/4K4 b - - 0 1"},
        {"the board alone: Red to move", "3k5/9/9/9/9/9/9/9/4R4/4K4", "",
         "3k5/9/9/9/9/9/9/9/4R4/4K4 w - - 0 1"},
        {"as an engine log writes it", "position fen 3k5/9/9/9/9/9/9/9/4R4/4K4 b moves", "",
         "3k5/9/9/9/9/9/9/9/4R4/4K4 b - - 0 1"},
        {"nothing on the clipboard", " \n ", "剪贴板中没有局面", ""},
        {"not a FEN", "hello world", "FEN 局面有误：", ""},
        {"three Red Rooks", "3k5/9/9/9/9/9/9/R8/R8/R3K4 w", "FEN 局面有误：", ""},
        {"an Assist off its points", "3k5/9/9/9/9/9/9/9/4K4/A8 w", "FEN 局面有误：仕的位置错误",
         ""},
        {"the side not to move in check", "4k4/9/9/9/9/9/9/9/4R4/3K5 w",
         "FEN 局面有误：王的位置错误", ""},
    };
    for (const PasteRow& row : rows) {
        SCOPED_TRACE(row.name);
        testing::SetUpFen(kStartFen);
        const MoveRecord move = testing::Generated("h2e2");
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        SlideRecord();
        sideClock[Red].elapsed = 12;
        libraryLimit = 1;
        const PositionSnapshot before = PositionSnapshot::Take();
        testing::DisplayRecorder display;
        const std::string refusal = PastePosition(row.text);
        EXPECT_EQ(refusal.substr(0, std::string(row.refusal).size()), row.refusal) << refusal;
        if (*row.refusal != '\0') {
            EXPECT_TRUE(PositionSnapshot::Take() == before);
            EXPECT_EQ(sideClock[Red].elapsed, 12);
            EXPECT_TRUE(display.calls.empty());
            continue;
        }
        EXPECT_EQ(WriteFen(), row.fen);
        EXPECT_TRUE(PositionIsConsistent());
        EXPECT_EQ(recordTop, -1);
        EXPECT_EQ(GameRecord[-1].piece, Empty);
        EXPECT_FALSE(CanTakeBackFullMove());
        EXPECT_EQ(libraryLimit, 0);
        EXPECT_EQ(sideClock[Red].elapsed, 0);
        EXPECT_EQ(clockSide, sideToMove);
        EXPECT_EQ(userSide, sideToMove);
        EXPECT_EQ(computerSide, otherSide);
        EXPECT_EQ(display.Count("RedrawAll"), 1);
        // What was pasted is what "复制局面" gives back.
        EXPECT_EQ(PositionAsFen(), row.fen);
    }
}

// The copied position's counters advance as the game goes on: the half-move clock to the last
// capture, the full move after each move of Black, from a set-up position with Black first too.
TEST(Exchange, TheCopiedPositionCountsPliesSinceACaptureAndFullMoves) {
    const struct {
        const char* fen;
        std::vector<std::pair<const char*, const char*>> plies;  // ICCS, the counters after it
    } games[] = {
        {kStartFen.data(),
         {{"h2e2", "b - - 1 1"},
          {"h7e7", "w - - 2 2"},
          {"e2e6", "b - - 0 2"},
          {"d9e8", "w - - 1 3"}}},
        {"3ak4/4a4/9/9/9/9/9/9/4C4/3K5 b - - 0 1", {{"e9f9", "w - - 1 2"}, {"d0d1", "b - - 2 2"}}},
    };
    for (const auto& game : games) {
        SCOPED_TRACE(game.fen);
        testing::SetUpFen(kStartFen);
        ASSERT_EQ(PastePosition(game.fen), "");
        EXPECT_EQ(PositionAsFen(), game.fen);
        for (const auto& [iccs, counters] : game.plies) {
            const MoveRecord move = testing::Generated(iccs);
            GameRecord[recordTop + 1] = move;
            PlayMove(move);
            SlideRecord();
            const std::string fen = PositionAsFen();
            EXPECT_EQ(fen.substr(fen.find(' ') + 1), counters) << iccs;
        }
    }
}

}  // namespace
}  // namespace xq
