// lanchuan-match run as a child process, as a user runs it: a short match between two of our
// engines read back from its printed lines and its PGN file, misbehaving engines each ending a
// game with its named reason while the match goes on, and no engine process left behind.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/host_support.h"
#include "host/match.h"
#include "host/process.h"
#include "match/report.h"
#include "records/pgn.h"
#include "rules/attacks.h"
#include "rules/fen.h"
#include "rules/referee.h"
#include "support/temp_folder.h"

namespace xq {
namespace {

using testing::ProcessEnds;
using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteWholeFile;

struct ProgramRun {
    int status = -1;
    std::vector<std::string> lines;
    std::string Text() const {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\n";
        return text;
    }
};

// Runs lanchuan-match with `arguments` until it ends; `onLine` sees each printed line as it
// comes (and may signal the program).
ProgramRun RunProgram(const std::vector<std::string>& arguments,
                      const std::function<void(const std::string&, int pid)>& onLine = nullptr) {
    host::Process process;
    std::string error;
    ProgramRun run;
    EXPECT_TRUE(process.Start({LANCHUAN_MATCH, arguments, ""}, &error)) << error;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(50);
    for (std::string line; std::chrono::steady_clock::now() < end;) {
        const host::Process::Read read = process.ReadLine(&line, std::chrono::milliseconds(500));
        if (read == host::Process::Read::Ended) break;
        if (read != host::Process::Read::Line) continue;
        run.lines.push_back(line);
        if (onLine) onLine(line, process.Pid());
    }
    process.Stop(std::chrono::seconds(5));
    run.status = process.ExitStatus();
    return run;
}

std::vector<std::string> Engine(const std::string& name, std::vector<std::string> words) {
    std::vector<std::string> arguments = {"-engine", "name=" + name};
    arguments.insert(arguments.end(), words.begin(), words.end());
    return arguments;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The pids a fake engine's log names.
std::vector<int> LoggedPids(const std::filesystem::path& log) {
    std::istringstream lines(ReadWholeFile(log));
    std::vector<int> pids;
    for (std::string word; lines >> word;) {
        if (word == "pid" || word == "grandchild") {
            int pid = 0;
            if (lines >> pid) pids.push_back(pid);
        }
    }
    return pids;
}

struct Finished {
    std::string red;
    std::string black;
    std::string result;
    std::string reason;
};

// "Finished game N (R vs B): RESULT {REASON}" by game number.
std::map<int, Finished> FinishedGames(const ProgramRun& run) {
    std::map<int, Finished> games;
    for (const std::string& line : run.lines) {
        constexpr std::string_view kStart = "Finished game ";
        const size_t open = line.find(" (");
        const size_t versus = line.find(" vs ");
        const size_t close = line.find("): ");
        const size_t brace = line.find(" {");
        if (!line.starts_with(kStart) || open == std::string::npos || versus == std::string::npos ||
            close == std::string::npos || brace == std::string::npos || !line.ends_with("}"))
            continue;
        const int number = std::stoi(line.substr(kStart.size(), open - kStart.size()));
        EXPECT_EQ(games.count(number), 0u) << line;
        games[number] = {line.substr(open + 2, versus - open - 2),
                         line.substr(versus + 4, close - versus - 4),
                         line.substr(close + 3, brace - close - 3),
                         line.substr(brace + 2, line.size() - brace - 3)};
    }
    return games;
}

bool HasLine(const ProgramRun& run, const std::string& line) {
    return std::find(run.lines.begin(), run.lines.end(), line) != run.lines.end();
}

// The ruling the reason of a finished game stands for, when the rules ended it.
Verdict VerdictOfReason(const std::string& reason) {
    if (reason.ends_with(" mates")) return Verdict::Mate;
    if (reason.ends_with(" is stalemated")) return Verdict::Stalemate;
    if (reason.ends_with("perpetual check")) return Verdict::PerpetualCheck;
    if (reason == "Draw by 3-fold repetition") return Verdict::Repetition;
    if (reason == "Draw by move limit") return Verdict::MoveLimit;
    if (reason == "Draw by insufficient mating material") return Verdict::NoAttackers;
    return Verdict::None;
}

TEST(MatchProgram, ShortMatchBetweenOurEngines) {
    InitAttackTable();
    TempFolder folder;
    const auto openings = folder / "openings.epd";
    const auto pgn = folder / "games.pgn";
    // A middle game and an ending where Red has the only Rook.
    const std::string middle = "r1bakab1r/9/1cn4cn/p1p1p1p1p/9/9/P1P1P1P1P/1CN4CN/9/R1BAKAB1R w";
    const std::string ending = "3ak4/9/4b4/9/9/9/9/4B4/4R4/4K4 w";
    WriteWholeFile(openings, middle + " - - 0 1\n" + ending + "\n");
    const ProgramRun run = RunProgram(Join({
        Engine("Classic",
               {"cmd=" LANCHUAN_ENGINE, "option.Engine=Classic", "option.OwnBook=false"}),
        Engine("Master", {"cmd=" LANCHUAN_ENGINE, "option.OwnBook=false"}),
        {"-each", "depth=1", "-games", "4", "-concurrency", "2", "-repeat", "-maxmoves", "30",
         "-openings", "file=" + openings.string(), "order=sequential", "-pgnout", pgn.string(),
         "-event", "Depth one"},
    }));
    ASSERT_EQ(run.status, 0) << run.Text();
    const std::map<int, Finished> games = FinishedGames(run);
    ASSERT_EQ(games.size(), 4u) << run.Text();
    for (const auto& [number, game] : games) {
        SCOPED_TRACE(number);
        // Colours alternate: Classic is Red in the odd games.
        EXPECT_EQ(game.red, number % 2 == 1 ? "Classic" : "Master");
        EXPECT_EQ(game.black, number % 2 == 1 ? "Master" : "Classic");
        EXPECT_TRUE(HasLine(run, "Started game " + std::to_string(number) + " of 4 (" + game.red +
                                     " vs " + game.black + ")"));
        EXPECT_NE(VerdictOfReason(game.reason), Verdict::None) << game.reason;
    }
    // The score, Classic's, follows every game in the order the games ended, and once more at
    // the end.
    host::MatchScore score;
    std::vector<std::string> scoreLines;
    for (size_t i = 0; i < run.lines.size(); ++i) {
        const std::map<int, Finished> one = FinishedGames({0, {run.lines[i]}});
        if (one.empty()) continue;
        const Finished& game = one.begin()->second;
        if (game.result == "1/2-1/2")
            ++score.draws;
        else if ((game.result == "1-0") == (game.red == "Classic"))
            ++score.wins;
        else
            ++score.losses;
        ASSERT_LT(i + 1, run.lines.size());
        EXPECT_EQ(run.lines[i + 1], match::ScoreLine("Classic", "Master", score));
    }
    ASSERT_GE(run.lines.size(), 3u);
    EXPECT_EQ(run.lines[run.lines.size() - 3], match::ScoreLine("Classic", "Master", score));
    EXPECT_EQ(run.lines[run.lines.size() - 2].rfind("Elo difference: ", 0), 0u) << run.Text();
    EXPECT_EQ(run.lines.back(), "Finished match");

    // The PGN file holds the same games, legal from their openings, ruled as printed.
    std::vector<PgnEntry> read;
    std::string error;
    ASSERT_TRUE(ReadPgnGames(ReadWholeFile(pgn), &read, &error)) << error;
    ASSERT_EQ(read.size(), 4u);
    for (const PgnEntry& entry : read) {
        ASSERT_EQ(entry.error, "");
        const PgnGame& game = entry.game;
        const int number = std::stoi(game.Tag("Round"));
        SCOPED_TRACE(number);
        ASSERT_EQ(games.count(number), 1u);
        const Finished& printed = games.at(number);
        EXPECT_EQ(game.result, printed.result);
        EXPECT_EQ(game.Tag("Red"), printed.red);
        EXPECT_EQ(game.Tag("Event"), "Depth one");
        EXPECT_EQ(game.Tag("TimeControl"), "-");
        const std::string& opening = (number - 1) / 2 == 0 ? middle : ending;
        EXPECT_EQ(game.Tag("FEN").substr(0, opening.size()), opening);
        Referee referee(60);
        ASSERT_TRUE(referee.Start(game.Tag("FEN"), &error)) << error;
        Ruling ruling;
        for (const MoveRecord& move : game.moves)
            ASSERT_TRUE(referee.Play(FormatIccs(move), &ruling));
        EXPECT_EQ(ruling.verdict, VerdictOfReason(printed.reason));
    }
}

struct FaultRow {
    const char* name;
    std::vector<std::string> words;  // the faulty engine's -engine words after cmd= and arg=PROTO
    const char* proto;
    const char* reason;  // in the reason of both games, after the engine's name
    const char* termination;
    const char* moveTime = "st=0.1";
};

TEST(MatchProgram, EveryFaultEndsItsGameAndTheMatchGoesOn) {
    const FaultRow rows[] = {
        {"exits at go", {"arg=exit-at-go"}, "uci", "Bad disconnects", "abandoned"},
        {"illegal move", {"arg=illegal"}, "uci", "Bad makes an illegal move", "rules infraction"},
        {"no move text", {"arg=malformed"}, "uci", "Bad writes no move", "rules infraction"},
        {"never answers go", {"arg=no-bestmove"}, "uci", "Bad loses on time", "time forfeit"},
        // Time enough to write the output a search may write.
        {"floods its output",
         {"arg=flood"},
         "ucci",
         "Bad floods its output",
         "rules infraction",
         "st=30"},
        {"its clock runs out",
         {"arg=no-bestmove"},
         "uci",
         "Bad loses on time",
         "time forfeit",
         "tc=0.2+0.1"},
        {"resigns", {"arg=resign"}, "xboard", "Bad resigns", "normal"},
        {"false claim", {"arg=claim"}, "xboard", "Bad makes a false claim", "rules infraction"},
    };
    for (const FaultRow& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        const auto pgn = folder / "games.pgn";
        const auto log = folder / "engines.log";
        std::vector<std::string> bad = {"cmd=" FAKE_ENGINE, std::string("arg=") + row.proto,
                                        "arg=log=" + log.string()};
        bad.insert(bad.end(), row.words.begin(), row.words.end());
        const ProgramRun run = RunProgram(Join({
            Engine("Good", {"cmd=" FAKE_ENGINE, "arg=uci", "arg=log=" + log.string()}),
            Engine("Bad", bad),
            {"-each", row.moveTime, "timemargin=300", "-games", "2", "-pgnout", pgn.string()},
        }));
        ASSERT_EQ(run.status, 0) << run.Text();
        const std::map<int, Finished> games = FinishedGames(run);
        ASSERT_EQ(games.size(), 2u) << run.Text();
        EXPECT_EQ(games.at(1).result, "1-0") << games.at(1).reason;
        EXPECT_EQ(games.at(2).result, "0-1") << games.at(2).reason;
        for (const auto& [number, game] : games)
            EXPECT_EQ(game.reason.rfind(row.reason, 0), 0u) << game.reason;
        EXPECT_TRUE(HasLine(run, "Score of Good vs Bad: 2 - 0 - 0  [1.000] 2")) << run.Text();
        const std::string games_text = ReadWholeFile(pgn);
        EXPECT_NE(games_text.find(std::string("[Termination \"") + row.termination + "\"]"),
                  std::string::npos)
            << games_text;
        // The probe and four game starts, each engine ended.
        const std::vector<int> pids = LoggedPids(log);
        EXPECT_GE(pids.size(), 6u);
        for (int pid : pids)
            EXPECT_TRUE(ProcessEnds(pid)) << pid;
    }
}

// Both fake engines see the game as level (12 centipawns) after every move; the games open with
// the first two plies of a PGN game.
TEST(MatchProgram, DrawAdjudicationOnAClockFromPgnOpenings) {
    TempFolder folder;
    const auto pgn = folder / "games.pgn";
    const auto openings = folder / "openings.pgn";
    WriteWholeFile(openings, "[Event \"x\"]\n\n1. h2e2 h9g7 2. h0g2 i9h9 *\n");
    const ProgramRun run =
        RunProgram(Join({Engine("One", {"cmd=" FAKE_ENGINE, "arg=xboard"}),
                         Engine("Two", {"cmd=" FAKE_ENGINE, "arg=xboard"}),
                         {"-each", "tc=10+0.1", "-games", "2", "-draw", "movenumber=3",
                          "movecount=2", "score=20", "-pgnout", pgn.string(), "-openings",
                          "file=" + openings.string(), "format=pgn", "plies=2"}}));
    ASSERT_EQ(run.status, 0) << run.Text();
    const std::map<int, Finished> games = FinishedGames(run);
    ASSERT_EQ(games.size(), 2u) << run.Text();
    for (const auto& [number, game] : games) {
        EXPECT_EQ(game.result, "1/2-1/2");
        EXPECT_EQ(game.reason, "Draw by adjudication");
    }
    std::vector<PgnEntry> read;
    std::string error;
    InitAttackTable();
    ASSERT_TRUE(ReadPgnGames(ReadWholeFile(pgn), &read, &error)) << error;
    ASSERT_EQ(read.size(), 2u);
    for (const PgnEntry& entry : read) {
        // The opening's two plies, then two level moves of each engine: three full moves.
        ASSERT_EQ(entry.game.moves.size(), 6u);
        EXPECT_EQ(FormatIccs(entry.game.moves[0]), "h2e2");
        EXPECT_EQ(FormatIccs(entry.game.moves[1]), "h9g7");
        EXPECT_EQ(entry.game.Tag("FEN"), "");
        EXPECT_EQ(entry.game.Tag("Termination"), "adjudication");
        EXPECT_EQ(entry.game.Tag("TimeControl"), "10+0.1");
    }
    EXPECT_TRUE(HasLine(run, "Score of One vs Two: 0 - 0 - 2  [0.500] 2")) << run.Text();
}

// MaxQi takes no set-up position (XBoard's setboard); from a FEN opening its games are lost
// with that reason, and the match still ends normally.
TEST(MatchProgram, XboardEngineWithoutSetboardLosesSetUpOpenings) {
    const char* const kMaxQi = "/usr/games/maxqi";
    if (::access(kMaxQi, X_OK) != 0) GTEST_SKIP() << kMaxQi << " is not installed";
    TempFolder folder;
    const auto openings = folder / "openings.epd";
    WriteWholeFile(openings, "3ak4/9/4b4/9/9/9/9/4B4/4R4/4K4 w\n");
    const ProgramRun run = RunProgram(
        Join({Engine("Fake", {"cmd=" FAKE_ENGINE, "arg=uci"}),
              Engine("MaxQi", {std::string("cmd=") + kMaxQi, "proto=xboard"}),
              {"-each", "st=0.1", "-games", "2", "-openings", "file=" + openings.string()}}));
    ASSERT_EQ(run.status, 0) << run.Text();
    const std::map<int, Finished> games = FinishedGames(run);
    ASSERT_EQ(games.size(), 2u) << run.Text();
    for (const auto& [number, game] : games)
        EXPECT_EQ(game.reason, "MaxQi cannot start from a set-up position");
    EXPECT_TRUE(HasLine(run, "Score of Fake vs MaxQi: 2 - 0 - 0  [1.000] 2")) << run.Text();
}

TEST(MatchProgram, ExitStatusOfMatchesThatCannotBeginOrAreRefused) {
    TempFolder folder;
    const struct {
        std::vector<std::string> arguments;
        int status;
    } rows[] = {
        {{"-engine", "cmd=" FAKE_ENGINE, "arg=uci", "-each", "st=0.1"}, 2},
        {{"-engine", "cmd=a", "-engine", "cmd=b", "-each", "tc=x"}, 2},
        {{"-engine", "cmd=" FAKE_ENGINE, "arg=uci", "-engine", "cmd=/no/such/engine", "-each",
          "st=0.1"},
         1},
        {{"-engine", "cmd=" FAKE_ENGINE, "arg=uci", "-engine", "cmd=" FAKE_ENGINE, "arg=uci",
          "arg=exit-at-start", "-each", "st=0.1"},
         1},
        {{"-engine", "cmd=" FAKE_ENGINE, "arg=uci", "-engine", "cmd=" FAKE_ENGINE, "arg=uci",
          "-each", "st=0.1", "-openings", "file=" + (folder / "missing.epd").string()},
         1},
        {{"--help"}, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.back());
        const ProgramRun run = RunProgram(row.arguments);
        EXPECT_EQ(run.status, row.status) << run.Text();
        EXPECT_EQ(FinishedGames(run).size(), 0u);
    }
}

TEST(MatchProgram, InterruptEndsTheGamesAndTheEngines) {
    TempFolder folder;
    const auto log = folder / "engines.log";
    const ProgramRun run = RunProgram(
        Join({Engine("Slow",
                     {"cmd=" FAKE_ENGINE, "arg=uci", "arg=no-bestmove", "arg=log=" + log.string()}),
              Engine("Other", {"cmd=" FAKE_ENGINE, "arg=uci", "arg=log=" + log.string()}),
              {"-each", "st=30", "-games", "10", "-concurrency", "2"}}),
        [](const std::string& line, int pid) {
            if (line.starts_with("Started game 2 ")) ::kill(pid, SIGINT);
        });
    EXPECT_EQ(run.status, 0) << run.Text();
    const std::map<int, Finished> games = FinishedGames(run);
    EXPECT_EQ(games.size(), 2u) << run.Text();
    for (const auto& [number, game] : games)
        EXPECT_EQ(game.result, "*");
    EXPECT_TRUE(HasLine(run, "Elo difference: 0.00 +/- 0.00")) << run.Text();
    EXPECT_EQ(run.lines.back(), "Finished match");
    for (int pid : LoggedPids(log))
        EXPECT_TRUE(ProcessEnds(pid)) << pid;
}

}  // namespace
}  // namespace xq
