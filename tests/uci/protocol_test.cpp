// lanchuan-engine as a controlling program sees it: the executable runs as a child process, gets
// scripted commands on its input and its answers are read back line by line.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "engine_process.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "support/position_fixture.h"
#include "uci/gorequest.h"

namespace xq {
namespace {

using std::chrono::milliseconds;
using testing::EngineProcess;
using testing::HasLineStarting;

constexpr char kStartPosition[] = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w";
// Red is in check from the Rook on d5; d0e0 is the only legal move.
constexpr char kOneLegalMove[] = "5k3/9/9/9/3r5/9/9/9/9/3K5 w";
// Red to play b7b9 mates; with Black to move, Black is mated next move whatever it does.
constexpr char kMateInOne[] = "3k5/R8/1R7/9/9/9/9/9/9/4K4 w";
constexpr char kMatedInOne[] = "4k4/R8/1R7/9/9/9/9/9/9/3K5 b";

std::string Word(const std::string& line, size_t index) {
    std::istringstream words(line);
    std::string word;
    for (size_t i = 0; i <= index && words >> word;)
        ++i;
    return word;
}

// The last line read; empty when nothing came.
std::string Last(const std::vector<std::string>& lines) {
    return lines.empty() ? std::string() : lines.back();
}

// Whether `move` is legal after `moves` from `fen`, judged by the core's rules.
bool IsLegalAfter(std::string_view fen, const std::vector<std::string>& moves,
                  const std::string& move) {
    testing::SetUpFen(fen);
    for (const std::string& played : moves) {
        const MoveRecord record = testing::Generated(played);
        if (record.piece == Empty || LeavesKingAttacked(record)) return false;
        PlayMove(record);
    }
    const MoveRecord record = testing::Generated(move);
    return record.piece != Empty && !LeavesKingAttacked(record);
}

// A started UCI engine without its opening library.
class UciEngine : public EngineProcess {
  public:
    explicit UciEngine(const char* workingDirectory = nullptr) : EngineProcess(workingDirectory) {
        Send("uci");
        ReadUntil("uciok");
        Send("setoption name OwnBook value false");
    }

    // The whole answer to `go ...` after `position ...`.
    std::vector<std::string> Think(const std::string& position, const std::string& go) {
        Send("position " + position);
        Send("go " + go);
        return ReadUntil("bestmove");
    }
    std::string BestMove(const std::string& position, const std::string& go) {
        const std::vector<std::string> lines = Think(position, go);
        return lines.empty() ? "" : Word(Last(lines), 1);
    }
};

TEST(UciProtocol, HandshakesOfBothProtocols) {
    {
        EngineProcess engine;
        engine.Send("uci");
        const std::vector<std::string> lines = engine.ReadUntil("uciok");
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(Last(lines), "uciok");
        EXPECT_TRUE(HasLineStarting(lines, "id name Lanchuan"));
        EXPECT_TRUE(HasLineStarting(lines, "id author "));
        EXPECT_TRUE(HasLineStarting(lines, "option name OwnBook type check default true"));
        EXPECT_TRUE(HasLineStarting(lines, "option name Seed type spin"));
        engine.Send("\r");  // a blank line from a program that ends its lines with CR LF
        engine.Send("isready");
        EXPECT_EQ(engine.ReadLine(milliseconds(5000)), "readyok");
        engine.Send("quit");
        EXPECT_EQ(engine.WaitForExit(milliseconds(5000)), 0);
    }
    {
        EngineProcess engine;
        engine.Send("ucci");
        const std::vector<std::string> lines = engine.ReadUntil("ucciok");
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(Last(lines), "ucciok");
        EXPECT_TRUE(HasLineStarting(lines, "id name Lanchuan"));
        EXPECT_TRUE(HasLineStarting(lines, "option usebook type check default true"));
        EXPECT_TRUE(HasLineStarting(lines, "option usemillisec type check default false"));
        EXPECT_TRUE(HasLineStarting(lines, "option newgame type button"));
        // UCCI's switches read on and off as well as true and false (and 1 and 0, as the uci2wb
        // adapter sends its ponder switch), and its new game is a button: no refusal comes.
        engine.Send("setoption usebook off");
        engine.Send("setoption usebook on");
        engine.Send("setoption ponder 1");
        engine.Send("setoption ponder 0");
        engine.Send("setoption usemillisec on");
        engine.Send("setoption newgame");
        engine.Send("isready");
        EXPECT_EQ(engine.ReadLine(milliseconds(5000)), "readyok");
        engine.Send("quit");
        EXPECT_EQ(engine.ReadLine(milliseconds(5000)), "bye");
        EXPECT_EQ(engine.WaitForExit(milliseconds(5000)), 0);
    }
}

TEST(UciProtocol, LegalBestMovesWithIterationLines) {
    struct Row {
        const char* fen;
        std::vector<std::string> moves;
        const char* go;
    };
    const Row rows[] = {
        {kStartPosition, {}, "depth 4"},
        {kStartPosition, {"h2e2", "h9g7", "h0g2"}, "depth 4"},
        {"r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKAB1R b", {}, "movetime 150"},
        {"1C2ka3/9/C1Nab1n2/p3p3p/6p2/9/P3P3P/3AB4/3p2c2/c1BAK4 w", {}, "depth 5"},
        {"5a3/3k5/3aR4/9/5r3/5n3/9/3A1A3/5K3/2BC2B2 w", {"e7e9"}, "depth 5"},
        {kOneLegalMove, {}, "depth 3"},
    };
    UciEngine engine;
    for (const Row& row : rows) {
        std::string position = std::string("fen ") + row.fen;
        if (!row.moves.empty()) position += " moves";
        for (const std::string& move : row.moves)
            position += " " + move;
        SCOPED_TRACE(position);
        const std::vector<std::string> lines = engine.Think(position, row.go);
        ASSERT_FALSE(lines.empty());
        ASSERT_TRUE(Last(lines).starts_with("bestmove ")) << Last(lines);
        EXPECT_TRUE(IsLegalAfter(row.fen, row.moves, Word(Last(lines), 1))) << Last(lines);
        bool iterationSeen = false;
        for (const std::string& line : lines) {
            if (!line.starts_with("info depth ")) continue;
            iterationSeen = true;
            for (const char* field : {" score ", " nodes ", " nps ", " time ", " pv "})
                EXPECT_NE(line.find(field), std::string::npos) << line;
            // A Pawn is 100, or the moves to a mate the search has seen.
            EXPECT_TRUE(line.find(" score cp ") != std::string::npos ||
                        line.find(" score mate ") != std::string::npos)
                << line;
            // The line's first move is legal too.
            EXPECT_TRUE(IsLegalAfter(row.fen, row.moves, Word(line.substr(line.find(" pv ")), 1)))
                << line;
        }
        EXPECT_TRUE(iterationSeen);
    }
}

TEST(UciProtocol, MateScoresAreGivenInMoves) {
    UciEngine engine;
    std::vector<std::string> lines = engine.Think(std::string("fen ") + kMateInOne, "depth 4");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(Last(lines), "bestmove b7b9");
    EXPECT_TRUE(HasLineStarting(lines, "info depth 1 score mate 1 "));
    lines = engine.Think(std::string("fen ") + kMatedInOne, "depth 4");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[lines.size() - 2].find(" score mate -1 "), std::string::npos);
}

// The score word and value of the last iteration line.
std::pair<std::string, int> LastScore(const std::vector<std::string>& lines) {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const size_t at = it->find(" score ");
        if (it->starts_with("info depth ") && at != std::string::npos) {
            std::istringstream words(it->substr(at + 7));
            std::pair<std::string, int> score;
            words >> score.first >> score.second;
            return score;
        }
    }
    return {};
}

TEST(UciProtocol, RepetitionsAreScoredByWhoCheckedNeverAsMates) {
    // A game from XBoard: Red's Rook checks from g8 and g9 while Black's King steps between f8
    // and f9; after g8g9 every Black reply repeats. That perpetual check loses for Red.
    const std::string xboardGame =
        "startpos moves b2b6 h7g7 b6e6 b9c7 e6e5 g7g3 h2e2 b7b3 c3c4 a9a8 e5i5 c9e7 i5i9 a8i8 "
        "i9g9 g3g9 e2g2 g9g8 g2g8 i8g8 h0g2 g6g5 i0h0 h9f8 g2f4 c6c5 c4c5 e7c5 h0h7 g5g4 h7c7 "
        "g4f4 c7c5 g8g0 c5f5 f8g6 f5f6 b3i3 c0e2 g0g2 f6e6 f9e8 f0e1 i3h3 e6a6 f4f3 a6f6 f3e3 "
        "e2g4 g2g4 a0a2 g4g0 e1f0 g0g3 a2h2 h3h4 b0c2 e3d3 f6f2 d3c3 f2g2 g3g2 h2g2 g6e5 c2e3 "
        "h4e4 e3d1 c3d3 d1f2 e4e2 f2e4 e2e3 e4c5 e9f9 g2g9 f9f8 g9g3 e5c6 c5e6 c6e7 g3g9 e3a3 "
        "g9g8 f8f9";
    // A match game: Red's Knight checks from d6 and c8 while Black's King steps between e9 and
    // e8; Black's e8e9 brings the position after e8d9 back a third time, and Red loses.
    const std::string knightChecks =
        "startpos moves c0e2 g6g5 h0g2 h9g7 i0h0 h7h0 g2h0 i9h9 c3c4 d9e8 b0d1 c9e7 b2c2 h9h4 "
        "a0b0 b7d7 g0i2 g7f5 h0f1 h4f4 e0e1 f5d4 d1c3 b9c7 c2a2 c6c5 c4c5 e7c5 c3a4 d7f7 a2c2 "
        "f7f1 a4b6 a9d9 c2c7 f1h1 b6c8 d9d8 c8a9 f4f0 e3e4 c5a7 c7c3 f0f3 a9b7 d8d7 b0b2 d7f7 "
        "e1d1 f3c3 b7d6 c3c1 d1d2 f7f0 b2b9 e8d9 d6c8 e9e8 c8d6 e8e9 d6c8 e9e8 c8d6";
    struct Row {
        const char* name;
        std::string position;
        const char* go;
        int outcome;  // -1 lost, 1 won by the other side's perpetual check, 0 drawn
    };
    const Row rows[] = {
        {"a perpetual check by the searched move",
         "fen 6R2/5k3/5a3/9/9/9/9/9/9/4K4 w moves g9g8 f8f9", "depth 3 searchmoves g8g9", -1},
        {"the XBoard game's perpetual check", xboardGame, "depth 4 searchmoves g8g9", -1},
        {"a repetition in check after a quiet move, the third time",
         "fen 5a3/3k5/3aR4/9/5r3/5n3/9/3A1A3/5K3/2BC2B2 w moves e7d7 d8e8 d7d9 e8e7 d9d7 e7e8 "
         "d7d9 e8e7",
         "depth 2 searchmoves d9d7", 0},
        {"the other side's perpetual check", knightChecks, "depth 6", 1},
    };
    UciEngine engine;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<std::string> lines = engine.Think(row.position, row.go);
        ASSERT_TRUE(Last(lines).starts_with("bestmove ")) << Last(lines);
        const auto [word, value] = LastScore(lines);
        EXPECT_EQ(word, "cp");
        if (row.outcome == 0) {
            EXPECT_EQ(value, 0);
        } else {
            EXPECT_GT(value * row.outcome, 9000) << "beyond any material";
        }
        for (const std::string& line : lines)
            EXPECT_EQ(line.find(" score mate "), std::string::npos) << line;
    }
    // Free to choose, Red keeps away from its perpetual check, and no mate is claimed.
    const std::vector<std::string> lines = engine.Think(xboardGame, "depth 4");
    ASSERT_TRUE(Last(lines).starts_with("bestmove ")) << Last(lines);
    EXPECT_NE(Word(Last(lines), 1), "g8g9");
    for (const std::string& line : lines)
        EXPECT_EQ(line.find(" score mate "), std::string::npos) << line;
}

TEST(UciProtocol, StopDuringInfiniteIsAnsweredWithin50Milliseconds) {
    UciEngine engine;
    engine.Send("position startpos moves h2e2 h9g7");
    engine.Send("go infinite");
    // Deep enough that the search is busy; an infinite search never answers on its own.
    EXPECT_FALSE(Last(engine.ReadUntil("bestmove", milliseconds(400))).starts_with("bestmove"));
    engine.Send("isready");
    // Answered while the search goes on (it never ends by itself).
    EXPECT_EQ(Last(engine.ReadUntil("readyok", milliseconds(500))), "readyok");
    const auto sent = std::chrono::steady_clock::now();
    engine.Send("stop");
    const std::vector<std::string> lines = engine.ReadUntil("bestmove", milliseconds(1000));
    const auto waited = std::chrono::steady_clock::now() - sent;
    ASSERT_TRUE(Last(lines).starts_with("bestmove ")) << Last(lines);
    EXPECT_LT(waited, milliseconds(50));
    EXPECT_TRUE(IsLegalAfter(kStartPosition, {"h2e2", "h9g7"}, Word(Last(lines), 1)));
}

TEST(UciProtocol, GoWithoutLimitsSearchesUntilStop) {
    UciEngine engine;
    // A single legal move ends the search at once, yet the answer waits for the stop.
    engine.Send(std::string("position fen ") + kOneLegalMove);
    engine.Send("go");
    EXPECT_FALSE(Last(engine.ReadUntil("bestmove", milliseconds(300))).starts_with("bestmove"));
    engine.Send("stop");
    EXPECT_EQ(Word(Last(engine.ReadUntil("bestmove")), 1), "d0e0");
}

TEST(UciProtocol, PonderhitTurnsThePonderingIntoTheTimedSearch) {
    UciEngine engine;
    engine.Send("position startpos moves h2e2 h9g7");
    engine.Send("go ponder wtime 2000 btime 2000 winc 0 binc 0");
    // While pondering no move is given, however long it takes.
    EXPECT_FALSE(Last(engine.ReadUntil("bestmove", milliseconds(500))).starts_with("bestmove"));
    const auto sent = std::chrono::steady_clock::now();
    engine.Send("ponderhit");
    const std::vector<std::string> lines = engine.ReadUntil("bestmove", milliseconds(2000));
    ASSERT_TRUE(Last(lines).starts_with("bestmove ")) << Last(lines);
    // From ponderhit the move gets its share of the 2 seconds: well under a second.
    EXPECT_LT(std::chrono::steady_clock::now() - sent, milliseconds(600));
    EXPECT_TRUE(IsLegalAfter(kStartPosition, {"h2e2", "h9g7"}, Word(Last(lines), 1)));
}

TEST(UciProtocol, TimeLimitsAreKept) {
    struct Row {
        const char* go;
        int withinMs;
    };
    // A game of 1 second plus 0.1 per move, and a fixed time per move.
    // The bounds leave room for a loaded machine; the budgets are 214, 2, 1 and 185 ms.
    const Row rows[] = {{"wtime 1000 btime 1000 winc 100 binc 100", 500},
                        {"wtime 60 btime 1000 winc 0 binc 0", 250},
                        {"wtime 0 btime 0", 250},
                        // A fifth of the clock at most, however large the increment.
                        {"wtime 100 btime 100 winc 5000 binc 5000 movestogo 1", 1000},
                        {"movetime 200", 350},
                        // An increment beyond any game (it overflowed the budget) still leaves
                        // the clock's fifth: 197 ms.
                        {"wtime 1000 btime 1000 winc 0 binc 9223372036854775807", 500}};
    UciEngine engine;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.go);
        const auto sent = std::chrono::steady_clock::now();
        const std::string move = engine.BestMove("startpos moves b2e2", row.go);
        EXPECT_LT(std::chrono::steady_clock::now() - sent, milliseconds(row.withinMs));
        EXPECT_TRUE(IsLegalAfter(kStartPosition, {"b2e2"}, move)) << move;
    }
}

TEST(UciTimeBudget, AFixedMoveTimeLeavesRoomForTheAdapters) {
    struct Row {
        int64_t moveTime;
        int64_t minMargin;  // what the GUI's side of an adapter needs at least
        int64_t maxMargin;  // what the search may lose at most
    };
    // XBoard's one second a move reaches the engine through uci2wb as movetime 970.
    const Row rows[] = {{970, 60, 120}, {200, 20, 50}, {60000, 100, 150}, {1, 0, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.moveTime);
        uci::GoRequest request;
        request.moveTime = row.moveTime;
        const uci::TimeBudget budget = uci::ComputeTimeBudget(request, Red);
        EXPECT_TRUE(budget.limited);
        EXPECT_GE(budget.hard, 1);
        EXPECT_GE(row.moveTime - budget.hard, row.minMargin);
        EXPECT_LE(row.moveTime - budget.hard, row.maxMargin);
        EXPECT_EQ(budget.soft, budget.hard);
    }
}

TEST(UciTimeBudget, AClockLowAgainstItsIncrementKeepsFourFifths) {
    // XBoard at 30 seconds a game plus 1 a move, through uci2wb: 3.3 s left, and a stall of about
    // two seconds on the GUI's side of the adapter came on top of the move.
    for (const int64_t left : {3330, 1000, 10000}) {
        SCOPED_TRACE(left);
        uci::GoRequest request;
        request.time[Red] = left;
        request.increment[Red] = 1000;
        const uci::TimeBudget budget = uci::ComputeTimeBudget(request, Red);
        EXPECT_TRUE(budget.limited);
        EXPECT_LE(budget.hard, left / 5);
        EXPECT_LE(budget.soft, budget.hard);
        EXPECT_GE(budget.soft, 1);
    }
}

TEST(UciProtocol, BadInputIsRefusedAndThePositionKept) {
    const std::string longLine(2 << 20, 'x');
    const std::string manyWords = "position startpos moves" + std::string(20000, ' ') + "h2e2 zz";
    const std::string bytes = std::string("\x01\xff\x00go\x7f", 6);
    const std::string inputs[] = {
        "xyzzy",
        "position",
        "position fen",
        "position fen rnbakabnr/9/9 w",
        "position fen rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNQ w",
        "position fen 3k5/9/9/9/9/9/9/9/9/3K5 w",   // the Kings face each other
        "position fen 4k4/9/9/9/9/9/9/9/4K4/9 w",   // a King outside its palace
        "position fen 4k4/9/9/9/9/9/9/9/9/3KA4 w",  // an Assist off its points
        "position fen 5k3/9/9/9/3r5/9/9/9/9/3K5 x",
        "position startpos moves h2e2 zz",
        "position startpos moves e0e5",                         // impossible
        "position fen 5k3/9/9/9/3r5/9/9/9/9/3K5 w moves d0d1",  // leaves the King in check
        "position startpos moves h2e2 h2e2",
        "position startpos banana",
        "setoption name Hash value 0",
        "setoption name Threads value 65",
        "setoption name MultiPV value two",
        "setoption name Engine value Grandmaster",
        "setoption name Seed value -3",
        "setoption name OwnBook value maybe",
        "go depth x",
        "go wtime",
        "go wtime -5",
        "go depth infinity",
        "setoption name usemillisec value maybe",
        longLine,
        manyWords,
        bytes,
    };
    UciEngine engine;
    engine.Send(std::string("position fen ") + kOneLegalMove);
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input.substr(0, 80));
        engine.Send(input);
        engine.Send("isready");
        const std::vector<std::string> lines = engine.ReadUntil("readyok");
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(Last(lines), "readyok");
        EXPECT_TRUE(HasLineStarting(lines, "info string ")) << "no explanation";
        // Only the one legal move of the kept position is ever answered.
        engine.Send("go depth 2");
        const std::vector<std::string> answer = engine.ReadUntil("bestmove");
        ASSERT_FALSE(answer.empty());
        EXPECT_EQ(Word(Last(answer), 1), "d0e0") << Last(answer);
    }
}

TEST(UciProtocol, PositionsWithoutASearchedMove) {
    EngineProcess engine;
    engine.Send("go depth 3");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    EXPECT_TRUE(HasLineStarting(lines, "info string go before position"));
    EXPECT_EQ(Last(lines), "bestmove (none)");
    // Mated: the position is the game's end, so there is nothing to play.
    engine.Send(std::string("position fen ") + kMateInOne + " moves b7b9");
    engine.Send("go movetime 100");
    lines = engine.ReadUntil("bestmove");
    EXPECT_TRUE(HasLineStarting(lines, "info string no legal move"));
    EXPECT_EQ(Last(lines), "bestmove (none)");
    // Every legal move repeats a position: one of them is still searched and played. The classic
    // engine refuses repetitions at the root and says that it takes them after all; the 大师 engine
    // scores them as the rules do.
    for (const char* chosen : {"Master", "Classic"}) {
        SCOPED_TRACE(chosen);
        engine.Send(std::string("setoption name Engine value ") + chosen);
        engine.Send(
            "position fen 3k5/9/9/9/9/9/9/9/9/4K4 w moves e0e1 d9d8 e1e0 d8d9 e0f0 d9d8 f0e0 d8d9");
        engine.Send("go depth 4");
        lines = engine.ReadUntil("bestmove");
        EXPECT_EQ(HasLineStarting(lines, "info string every legal move repeats a position"),
                  std::string(chosen) == "Classic");
        EXPECT_TRUE(HasLineStarting(lines, "info depth 4 "));
        EXPECT_TRUE(IsLegalAfter("3k5/9/9/9/9/9/9/9/9/4K4 w", {}, Word(Last(lines), 1)))
            << Last(lines);
    }
    // Mated again: an infinite search still waits for its stop.
    engine.Send(std::string("position fen ") + kMateInOne + " moves b7b9");
    engine.Send("go infinite");
    EXPECT_FALSE(Last(engine.ReadUntil("bestmove", milliseconds(200))).starts_with("bestmove"));
    engine.Send("stop");
    EXPECT_EQ(Last(engine.ReadUntil("bestmove")), "bestmove (none)");
}

// Numbers of the "multipv k" fields of the iteration lines at `depth`.
std::vector<int> MultiPvAtDepth(const std::vector<std::string>& lines, int depth) {
    std::vector<int> found;
    const std::string prefix = "info depth " + std::to_string(depth) + " ";
    for (const std::string& line : lines) {
        const size_t at = line.find(" multipv ");
        if (line.starts_with(prefix) && at != std::string::npos)
            found.push_back(std::stoi(line.substr(at + 9)));
    }
    return found;
}

TEST(UciProtocol, SearchmovesAndTheLibraryWithItsSeed) {
    UciEngine engine;
    // Two legal moves: e0e1 and e0f0 (e0d0 would face the Black King). Either engine keeps to
    // the moves it is given; the 大师 engine searches them itself, its lines numbered.
    const std::string twoMoves = "fen 3k5/9/9/9/9/9/9/9/9/4K4 w";
    struct Row {
        const char* engine;
        int multiPv;
        const char* go;
        const char* best;  // nullptr: either of the two
        std::vector<int> lines;
    };
    const Row rows[] = {
        {"Master", 1, "depth 3 searchmoves e0e1", "e0e1", {1}},
        {"Master", 1, "depth 3 searchmoves e0f0", "e0f0", {1}},
        {"Master", 3, "depth 3 searchmoves e0f0 e0e1", nullptr, {1, 2}},
        {"Classic", 1, "depth 3 searchmoves e0e1", "e0e1", {}},
        {"Classic", 1, "depth 3 searchmoves e0f0", "e0f0", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.engine) + " " + row.go);
        engine.Send(std::string("setoption name Engine value ") + row.engine);
        engine.Send("setoption name MultiPV value " + std::to_string(row.multiPv));
        const std::vector<std::string> lines = engine.Think(twoMoves, row.go);
        ASSERT_TRUE(Last(lines).starts_with("bestmove ")) << Last(lines);
        EXPECT_FALSE(HasLineStarting(lines, "info string ")) << "refused";
        if (row.best) {
            EXPECT_EQ(Word(Last(lines), 1), row.best);
        }
        EXPECT_TRUE(IsLegalAfter(twoMoves.substr(4), {}, Word(Last(lines), 1)));
        EXPECT_EQ(MultiPvAtDepth(lines, 3), row.lines);
    }
    engine.Send("setoption name Engine value Master");
    engine.Send("setoption name MultiPV value 1");
    // e0d0 would face the Black King: refused, and not played.
    const std::vector<std::string> lines = engine.Think(twoMoves, "depth 3 searchmoves e0d0");
    EXPECT_TRUE(HasLineStarting(lines, "info string searchmoves: 'e0d0'"));
    EXPECT_NE(Word(Last(lines), 1), "e0d0");

    // With the library and a seed, the same opening moves come every time.
    std::vector<std::string> firstRun;
    for (int run = 0; run < 2; ++run) {
        EngineProcess booked(XQ_SOURCE_DIR "/data");
        booked.Send("uci");
        booked.ReadUntil("uciok");
        booked.Send("setoption name Seed value 7");
        std::vector<std::string> moves;
        std::string position = "startpos moves";
        for (int ply = 0; ply < 4; ++ply) {
            booked.Send("position " + position);
            booked.Send("go movetime 100");
            const std::vector<std::string> answer = booked.ReadUntil("bestmove");
            ASSERT_FALSE(answer.empty());
            EXPECT_TRUE(HasLineStarting(answer, "info string opening library move"));
            const std::string move = Word(Last(answer), 1);
            std::vector<std::string> before = moves;
            EXPECT_TRUE(IsLegalAfter(kStartPosition, before, move)) << move;
            moves.push_back(move);
            position += " " + move;
        }
        if (run == 0) {
            firstRun = moves;
        } else {
            EXPECT_EQ(moves, firstRun);
        }
    }
}

TEST(UcciProtocol, TimeBanmovesStopAndQuit) {
    EngineProcess engine;
    engine.Send("ucci");
    engine.ReadUntil("ucciok");
    engine.Send("setoption usebook false");
    const std::string twoMoves = "position fen 3k5/9/9/9/9/9/9/9/9/4K4 w";
    for (const char* banned : {"e0e1", "e0f0"}) {
        engine.Send(twoMoves);
        engine.Send(std::string("banmoves ") + banned);
        engine.Send("go depth 3");
        const std::vector<std::string> lines = engine.ReadUntil("bestmove");
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(Word(Last(lines), 1), banned[3] == '1' ? "e0f0" : "e0e1");
        EXPECT_FALSE(HasLineStarting(lines, "info string ")) << "the 大师 engine searches it";
    }
    // Every move banned: no move at all.
    engine.Send(twoMoves);
    engine.Send("banmoves e0e1 e0f0");
    engine.Send("go depth 3");
    EXPECT_EQ(Last(engine.ReadUntil("nobestmove")), "nobestmove");
    // The mover's clock in milliseconds, and the opponent's.
    engine.Send("setoption usemillisec true");
    engine.Send("position startpos moves h2e2");
    const auto sent = std::chrono::steady_clock::now();
    engine.Send("go time 1000 increment 100 opptime 1000 oppincrement 100");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    EXPECT_LT(std::chrono::steady_clock::now() - sent, milliseconds(400));
    ASSERT_TRUE(Last(lines).starts_with("bestmove ")) << Last(lines);
    EXPECT_TRUE(IsLegalAfter(kStartPosition, {"h2e2"}, Word(Last(lines), 1)));
    EXPECT_TRUE(HasLineStarting(lines, "info depth 1 score "));
    // A pondering search, stopped.
    engine.Send("go ponder time 1000");
    engine.Send("stop");
    EXPECT_TRUE(Last(engine.ReadUntil("bestmove")).starts_with("bestmove "));
    engine.Send("quit");
    EXPECT_EQ(engine.ReadLine(milliseconds(5000)), "bye");
    EXPECT_EQ(engine.WaitForExit(milliseconds(5000)), 0);
}

TEST(UcciProtocol, GoAsUcciProgramsAndAdaptersSendIt) {
    struct Row {
        const char* go;
        bool milliseconds;    // usemillisec
        const char* ignored;  // the word named in an info string, or nullptr
        bool waitsForStop;    // no move within 300 ms: a stop is needed
    };
    const Row rows[] = {
        // Seconds: a minute on the clock is more than 300 ms of thought.
        {"time 60 opptime 60", false, nullptr, true},
        {"time 60 increment 0 opptime 60 oppincrement 0 movestogo 40", false, nullptr, true},
        // The same clock in milliseconds, with a word UCCI does not have.
        {"time 60 opptime 60 movetime 59", true, "'movetime 59'", false},
        {"draw time 60 opptime 60 sideways", true, "'sideways'", false},
        {"depth infinite", false, nullptr, true},
    };
    EngineProcess engine;
    engine.Send("ucci");
    engine.ReadUntil("ucciok");
    engine.Send("setoption usebook false");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.go);
        engine.Send(std::string("setoption usemillisec ") + (row.milliseconds ? "true" : "false"));
        engine.Send("position startpos moves h2e2");
        engine.Send(std::string("go ") + row.go);
        std::vector<std::string> lines =
            engine.ReadUntil("bestmove", milliseconds(row.waitsForStop ? 300 : 5000));
        EXPECT_EQ(Last(lines).starts_with("bestmove "), !row.waitsForStop) << Last(lines);
        if (row.waitsForStop) {
            engine.Send("stop");
            const std::vector<std::string> rest = engine.ReadUntil("bestmove");
            lines.insert(lines.end(), rest.begin(), rest.end());
        }
        ASSERT_TRUE(Last(lines).starts_with("bestmove ")) << Last(lines);
        EXPECT_TRUE(IsLegalAfter(kStartPosition, {"h2e2"}, Word(Last(lines), 1)));
        if (row.ignored) {
            EXPECT_TRUE(HasLineStarting(lines, std::string("info string go: ") + row.ignored));
        } else {
            EXPECT_FALSE(HasLineStarting(lines, "info string "));
        }
    }
}

// Each option of the engine in a session of each protocol: taken without a word, and the search
// after it gives a legal move. The 大师 engine numbers its lines; the classic one, once chosen,
// gives its own lines without numbers.
TEST(UciProtocol, EveryOptionInASessionOfEachProtocol) {
    struct Row {
        const char* uci;   // the option as UCI sets it
        const char* ucci;  // and as UCCI does
        int lines;         // "multipv k" lines expected per depth; 0: none (the classic engine)
    };
    const Row rows[] = {
        {"name Hash value 1", "hashsize 1", 1},
        {"name Hash value 64", "hashsize 64", 1},
        {"name Threads value 2", "threads 2", 1},
        {"name MultiPV value 3", "multipv 3", 3},
        {"name MultiPV value 1", "multipv 1", 1},
        {"name Ponder value true", "ponder true", 1},
        {"name OwnBook value false", "usebook false", 1},
        {"name Seed value 5", "seed 5", 1},
        {"name Threads value 1", "threads 1", 1},
        {"name Engine value Classic", "engine classic", 0},
        {"name Engine value Master", "engine master", 1},
    };
    for (const bool ucci : {false, true}) {
        EngineProcess engine;
        engine.Send(ucci ? "ucci" : "uci");
        const std::vector<std::string> handshake = engine.ReadUntil(ucci ? "ucciok" : "uciok");
        for (const char* offered : {"Hash", "Threads", "MultiPV", "Engine", "Ponder", "Seed"}) {
            std::string name = ucci ? std::string(offered) : "name " + std::string(offered);
            if (ucci) std::transform(name.begin(), name.end(), name.begin(), ::tolower);
            if (ucci && name == "hash") name = "hashsize";
            EXPECT_TRUE(HasLineStarting(handshake, "option " + name + " type ")) << name;
        }
        engine.Send(ucci ? "setoption usebook false" : "setoption name OwnBook value false");
        for (const Row& row : rows) {
            const std::string option = ucci ? row.ucci : row.uci;
            SCOPED_TRACE(option);
            engine.Send("setoption " + option);
            engine.Send("position startpos moves h2e2");
            engine.Send("go depth 3");
            const std::vector<std::string> lines = engine.ReadUntil("bestmove");
            ASSERT_TRUE(Last(lines).starts_with("bestmove ")) << Last(lines);
            EXPECT_FALSE(HasLineStarting(lines, "info string ")) << "refused";
            EXPECT_TRUE(IsLegalAfter(kStartPosition, {"h2e2"}, Word(Last(lines), 1)));
            std::vector<int> expected;
            for (int k = 1; k <= row.lines; ++k)
                expected.push_back(k);
            // UCCI numbers the lines only when there are several.
            if (ucci && row.lines == 1) expected.clear();
            EXPECT_EQ(MultiPvAtDepth(lines, 3), expected);
        }
        engine.Send("quit");
        EXPECT_EQ(engine.WaitForExit(milliseconds(5000)), 0);
    }
}

TEST(UciProtocol, QuitDuringASearchAndEndOfInputEndTheEngine) {
    {
        UciEngine engine;
        engine.Send("position startpos");
        engine.Send("go infinite");
        engine.Send("quit");
        EXPECT_EQ(engine.WaitForExit(milliseconds(2000)), 0);
    }
    {
        UciEngine engine;
        engine.Send("position startpos");
        engine.Send("go depth 3");
        engine.CloseInput();
        // The move asked for is still given before the engine ends.
        EXPECT_TRUE(Last(engine.ReadUntil("bestmove")).starts_with("bestmove "));
        EXPECT_EQ(engine.WaitForExit(milliseconds(2000)), 0);
    }
}

}  // namespace
}  // namespace xq
