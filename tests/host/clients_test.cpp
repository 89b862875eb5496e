// The protocol clients against the fake engine: handshakes, options, searches, and every way an
// engine can fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "host/clientbase.h"
#include "host/engineclient.h"
#include "host/enginemoves.h"
#include "host/uciclient.h"
#include "host/xboardclient.h"
#include "host_support.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "support/temp_folder.h"

namespace xq::host {
namespace {

using namespace std::chrono_literals;
using testing::FakeSetup;
using testing::ProcessEnds;

// The fake engine's log: every line it read, after "pid N".
class EngineLog {
  public:
    EngineLog() : path_((folder_ / "engine.log").string()) {}
    std::string Flag() const { return "log=" + path_; }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(testing::ReadWholeFile(path_));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool Has(const std::string& line) const {
        const std::vector<std::string> lines = Lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // The last line starting with `prefix`.
    std::string Last(const std::string& prefix) const {
        std::string last;
        for (const std::string& line : Lines())
            if (line.rfind(prefix, 0) == 0) last = line;
        return last;
    }
    int Pid() const {
        const std::string line = Last("pid ");
        return line.empty() ? -1 : std::stoi(line.substr(4));
    }

  private:
    testing::TempFolder folder_;
    std::string path_;
};

EngineSetup WithLog(EngineSetup setup, const EngineLog& log) {
    setup.command.arguments.push_back(log.Flag());
    return setup;
}

// The first legal move of the rules' generator after `moves`, which the fake engine plays.
std::string FirstLegalMove(std::string_view fen, const std::vector<std::string>& moves) {
    EngineMoves ensureRules;  // the attack table the rules read
    Position position{};
    std::string error;
    EXPECT_TRUE(ReadFen(position, fen.empty() ? kStartFen : fen, &error)) << error;
    for (const std::string& text : moves) {
        Square from = 0;
        Square to = 0;
        EXPECT_TRUE(ParseIccs(text, &from, &to));
        MakeMove(position, FindLegalMove(position, from, to), false);
        SwapSides(position);
    }
    MoveList list;
    GenerateLegalMoves(position, list);
    return list.moveCount > 0 ? FormatIccs(list.slot[1]) : "";
}

struct Search {
    std::vector<SearchInfo> infos;
    BestMove best;
    Event end = Event::None;
};

// Polls until the answer, the failure, or 20 seconds of nothing but lines that mean nothing.
Search Finish(EngineClient& engine) {
    Search search;
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < end) {
        SearchInfo info;
        const Event event = engine.Poll(1s, &info, &search.best);
        if (event == Event::Info) search.infos.push_back(info);
        if (event == Event::BestMove || event == Event::Failed) {
            search.end = event;
            break;
        }
    }
    return search;
}

Search RunSearch(EngineClient& engine, const GoLimits& limits, int multiPv = 1) {
    EXPECT_TRUE(engine.Go(limits, multiPv)) << engine.Failure();
    EXPECT_TRUE(engine.Searching());
    return Finish(engine);
}

GoLimits MoveTime(int64_t milliseconds) {
    GoLimits limits;
    limits.moveTime = milliseconds;
    return limits;
}

std::unique_ptr<EngineClient> StartOrFail(const EngineSetup& setup,
                                          std::chrono::milliseconds handshake = 10s) {
    std::string error;
    auto engine = EngineClient::Start(setup, &error, handshake);
    EXPECT_NE(engine, nullptr) << error;
    return engine;
}

struct HandshakeCase {
    const char* fake;  // the fake engine's protocol and flags
    Protocol asked;
    Protocol found;
    const char* engineName;
    Ranks ranks;
    const char* sent;  // lines the engine must have read, split at |
};

TEST(EngineClientTest, HandshakesFindTheProtocolTheNameAndTheRanks) {
    const HandshakeCase cases[] = {
        {"uci", Protocol::Uci, Protocol::Uci, "Fake UCI", Ranks::Auto,
         "uci|setoption name UCI_Variant value xiangqi|isready"},
        {"uci", Protocol::Auto, Protocol::Uci, "Fake UCI", Ranks::Auto, "uci"},
        {"uci banner", Protocol::Uci, Protocol::Uci, "Fake UCI", Ranks::Auto, "uci"},
        {"uci banner", Protocol::Auto, Protocol::Uci, "Fake UCI", Ranks::Auto, "uci"},
        {"uci variants", Protocol::Auto, Protocol::Uci, "Fake UCI", Ranks::FromOne,
         "setoption name UCI_Variant value xiangqi"},
        {"ucci", Protocol::Ucci, Protocol::Ucci, "Fake UCCI", Ranks::FromZero,
         "ucci|setoption usemillisec true|isready"},
        {"ucci", Protocol::Auto, Protocol::Ucci, "Fake UCCI", Ranks::FromZero, "uci|ucci"},
        {"xboard", Protocol::Xboard, Protocol::Xboard, "Fake XBoard", Ranks::FromZero,
         "xboard|protover 2|accepted done|accepted myname|accepted usermove|accepted option|"
         "rejected memory|new|variant xiangqi|force|post|easy|ping 1"},
        {"xboard", Protocol::Auto, Protocol::Xboard, "Fake XBoard", Ranks::FromZero,
         "uci|ucci|protover 2"},
        {"xboard old-features", Protocol::Xboard, Protocol::Xboard, "Fake XBoard", Ranks::FromZero,
         "variant xiangqi"},
    };
    for (const HandshakeCase& c : cases) {
        SCOPED_TRACE(std::string(c.fake) + " asked " + std::string(ProtocolName(c.asked)));
        EngineLog log;
        EngineSetup setup = WithLog(FakeSetup(c.fake, c.asked), log);
        setup.name.clear();
        auto engine = StartOrFail(setup);
        if (!engine) continue;
        EXPECT_EQ(engine->Identity().protocol, c.found);
        EXPECT_EQ(engine->Identity().name, c.engineName);
        EXPECT_EQ(engine->DisplayName(), c.engineName);
        EXPECT_EQ(engine->Identity().ranks, c.ranks);
        EXPECT_FALSE(engine->Failed());
        for (const std::string& line : testing::SplitBars(c.sent))
            EXPECT_TRUE(log.Has(line)) << line;
        const int pid = log.Pid();
        engine->Quit();
        EXPECT_TRUE(log.Has("quit"));
        EXPECT_TRUE(ProcessEnds(pid));
    }
}

struct OptionCase {
    const char* protocol;
    const char* name;
    EngineOption::Type type;
    const char* defaultValue;
    int64_t min, max;
    std::vector<std::string> choices;
};

TEST(EngineClientTest, DeclaredOptionsAreReadIntoTheirFields) {
    using Type = EngineOption::Type;
    const OptionCase cases[] = {
        {"uci", "Hash", Type::Spin, "16", 1, 1024, {}},
        {"uci", "Ponder", Type::Check, "false", 0, 0, {}},
        {"uci", "MultiPV", Type::Spin, "1", 1, 4, {}},
        {"uci", "Play Style", Type::Combo, "Normal", 0, 0, {"Solid", "Normal", "Risky"}},
        {"uci", "Book File", Type::String, "", 0, 0, {}},
        {"uci", "Clear Hash", Type::Button, "", 0, 0, {}},
        {"ucci", "usemillisec", Type::Check, "false", 0, 0, {}},
        {"ucci", "hashsize", Type::Spin, "16", 1, 64, {}},
        {"ucci", "newgame", Type::Button, "", 0, 0, {}},
        {"ucci", "bookfiles", Type::String, "", 0, 0, {}},
        {"xboard", "Resign", Type::Check, "0", 0, 0, {}},
        {"xboard", "Strength", Type::Spin, "5", 1, 10, {}},
        {"xboard", "Style", Type::Combo, "Normal", 0, 0, {"Solid", "Normal", "Risky"}},
        {"xboard", "Book", Type::File, "book.bin", 0, 0, {}},
        {"xboard", "Clear Hash", Type::Button, "", 0, 0, {}},
    };
    std::unique_ptr<EngineClient> engines[3];
    const char* protocols[3] = {"uci", "ucci", "xboard"};
    for (int i = 0; i < 3; ++i)
        engines[i] = StartOrFail(FakeSetup(protocols[i]));
    for (const OptionCase& c : cases) {
        SCOPED_TRACE(std::string(c.protocol) + " " + c.name);
        const int index = std::string(c.protocol) == "uci" ? 0 : c.protocol[0] == 'u' ? 1 : 2;
        ASSERT_NE(engines[index], nullptr);
        const auto& options = engines[index]->Identity().options;
        const auto found = std::find_if(options.begin(), options.end(),
                                        [&](const EngineOption& o) { return o.name == c.name; });
        ASSERT_NE(found, options.end());
        EXPECT_EQ(found->type, c.type);
        EXPECT_EQ(found->defaultValue, c.defaultValue);
        EXPECT_EQ(found->min, c.min);
        EXPECT_EQ(found->max, c.max);
        EXPECT_EQ(found->choices, c.choices);
    }
    ASSERT_NE(engines[0], nullptr);
    EXPECT_TRUE(engines[0]->Identity().offersPonder);
    EXPECT_EQ(engines[0]->Identity().maxMultiPv, 4);
}

struct OptionLine {
    const char* line;
    bool read;
    const char* name;
    EngineOption::Type type;
    const char* defaultValue;
    int64_t min, max;
    size_t choices;
};

TEST(EngineClientTest, OptionLinesOfEitherDialectAreParsed) {
    using Type = EngineOption::Type;
    const OptionLine cases[] = {
        {"option name Skill Level type spin default 20 min -20 max 20", true, "Skill Level",
         Type::Spin, "20", -20, 20, 0},
        {"option name EvalFile type string default xiangqi.nnue", true, "EvalFile", Type::String,
         "xiangqi.nnue", 0, 0, 0},
        {"option idle type combo var none var small var large default none", true, "idle",
         Type::Combo, "none", 0, 0, 3},
        {"option name UCI_Variant type combo default chess var chess var xiangqi", true,
         "UCI_Variant", Type::Combo, "chess", 0, 0, 2},
        {"option name Weights type filename default <empty>", true, "Weights", Type::File, "", 0, 0,
         0},
        {"option name Nothing", true, "Nothing", Type::String, "", 0, 0, 0},
        {"option", false, "", Type::String, "", 0, 0, 0},
        {"option name type spin", false, "", Type::String, "", 0, 0, 0},
    };
    for (const OptionLine& c : cases) {
        SCOPED_TRACE(c.line);
        EngineOption option;
        EXPECT_EQ(ParseOptionLine(c.line, &option), c.read);
        if (!c.read) continue;
        EXPECT_EQ(option.name, c.name);
        EXPECT_EQ(option.type, c.type);
        EXPECT_EQ(option.defaultValue, c.defaultValue);
        EXPECT_EQ(option.min, c.min);
        EXPECT_EQ(option.max, c.max);
        EXPECT_EQ(option.choices.size(), c.choices);
    }
}

TEST(EngineClientTest, XboardFeaturesAndOptionsAreParsed) {
    using Features = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(
        ParseFeatures("feature myname=\"Max Qi 4.8\" setboard=0 variants=\"xiangqi,normal\""),
        (Features{{"myname", "Max Qi 4.8"}, {"setboard", "0"}, {"variants", "xiangqi,normal"}}));
    EXPECT_EQ(ParseFeatures("  feature done=1"), (Features{{"done", "1"}}));
    // A pair without a key ends the line's features; a line of something else has none.
    EXPECT_EQ(ParseFeatures("feature ping=1 =2 done=1"), (Features{{"ping", "1"}}));
    EXPECT_EQ(ParseFeatures("tellics say feature done=1"), Features{});

    EngineOption option;
    ASSERT_TRUE(ParseXboardOption("Multi-PV Margin -spin 0 0 1000", &option));
    EXPECT_EQ(option.name, "Multi-PV Margin");
    EXPECT_EQ(option.max, 1000);
    ASSERT_TRUE(ParseXboardOption("Level -combo Clueless /// Random /// Normal", &option));
    EXPECT_EQ(option.defaultValue, "Clueless");  // no choice starred: the first
    EXPECT_EQ(option.choices.size(), 3u);
    ASSERT_TRUE(ParseXboardOption("Variant 'normal' is -string chess", &option));
    EXPECT_EQ(option.name, "Variant 'normal' is");
    EXPECT_EQ(option.defaultValue, "chess");
    EXPECT_FALSE(ParseXboardOption("No type here", &option));
    EXPECT_FALSE(ParseXboardOption(" -check 1", &option));
}

TEST(EngineClientTest, InfoLinesKeepWhatTheySay) {
    SearchInfo info;
    std::vector<std::string_view> pv;
    ASSERT_TRUE(ParseInfoLine(
        "info depth 12 seldepth 18 multipv 2 score cp -35 upperbound nodes 123456 nps 99000 "
        "hashfull 300 tbhits 0 time 1250 currmove h2e2 pv h2e2 h9g7",
        &info, &pv));
    EXPECT_EQ(info.depth, 12);
    EXPECT_EQ(info.selDepth, 18);
    EXPECT_EQ(info.multiPv, 2);
    EXPECT_TRUE(info.hasScore);
    EXPECT_FALSE(info.mate);
    EXPECT_EQ(info.score, -35);
    EXPECT_EQ(info.nodes, 123456u);
    EXPECT_EQ(info.nps, 99000u);
    EXPECT_EQ(info.time, 1250);
    EXPECT_EQ(pv, (std::vector<std::string_view>{"h2e2", "h9g7"}));

    ASSERT_TRUE(ParseInfoLine("info depth 3 score mate -2 wdl 0 0 1000 pv a0a1", &info, &pv));
    EXPECT_TRUE(info.mate);
    EXPECT_EQ(info.score, -2);
    EXPECT_EQ(pv.size(), 1u);
    // UCCI writes the score without cp.
    ASSERT_TRUE(ParseInfoLine("info depth 5 score 44 pv b0c2", &info, &pv));
    EXPECT_EQ(info.score, 44);
    EXPECT_TRUE(info.hasScore);
    ASSERT_TRUE(ParseInfoLine("info string hello  there pv x", &info, &pv));
    EXPECT_EQ(info.text, "hello  there pv x");
    EXPECT_TRUE(pv.empty());
    EXPECT_FALSE(ParseInfoLine("bestmove h2e2", &info, &pv));
}

TEST(EngineClientTest, UciSearchGivesItsLinesAndALegalMove) {
    EngineLog log;
    EngineSetup setup = WithLog(FakeSetup("uci", Protocol::Uci), log);
    setup.options = {{"Hash", "64"}, {"No Such Option", "1"}, {"Clear Hash", ""}};
    auto engine = StartOrFail(setup);
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(log.Has("setoption name Hash value 64"));
    EXPECT_TRUE(log.Has("setoption name Clear Hash"));
    EXPECT_EQ(log.Last("setoption name No Such"), "");
    EXPECT_FALSE(engine->SetOption("No Such Option", "1"));

    ASSERT_TRUE(engine->NewGame());
    // Until the engine shows how it counts ranks, the moves reach it inside the FEN.
    ASSERT_TRUE(engine->SetPosition("", {"h2e2", "h9g7"}));
    const Search search = RunSearch(*engine, MoveTime(100), 2);
    EXPECT_TRUE(log.Has("ucinewgame"));
    EXPECT_TRUE(log.Has(
        "position fen rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w - - 0 1"));
    EXPECT_TRUE(log.Has("setoption name MultiPV value 2"));
    EXPECT_EQ(log.Last("go"), "go movetime 100");

    ASSERT_EQ(search.end, Event::BestMove) << engine->Failure();
    const std::string expected = FirstLegalMove("", {"h2e2", "h9g7"});
    EXPECT_EQ(search.best.move, expected);
    EXPECT_EQ(search.best.ponder, FirstLegalMove("", {"h2e2", "h9g7", expected}));
    EXPECT_FALSE(engine->Searching());
    ASSERT_EQ(search.infos.size(), 4u);
    EXPECT_EQ(search.infos[0].multiPv, 1);
    EXPECT_EQ(search.infos[0].score, 19);
    EXPECT_EQ(search.infos[0].pv, (std::vector<std::string>{expected, search.best.ponder}));
    EXPECT_EQ(search.infos[1].multiPv, 2);
    // The third line ends in a move that is no move here: only its legal start is kept.
    EXPECT_TRUE(search.infos[2].mate);
    EXPECT_EQ(search.infos[2].score, 3);
    EXPECT_EQ(search.infos[2].pv.size(), 2u);
    EXPECT_EQ(search.infos[3].text, "fake thinking done");
    // The move had a rank 0 or was legal one way only: the moves go as they are from now on.
    EXPECT_EQ(engine->Identity().ranks, Ranks::FromZero);
    ASSERT_TRUE(engine->SetPosition("", {"h2e2", "h9g7", expected}));
    EXPECT_EQ(RunSearch(*engine, MoveTime(100)).end, Event::BestMove);
    EXPECT_EQ(log.Last("position"), "position startpos moves h2e2 h9g7 " + expected);
}

struct GoCase {
    const char* fake;
    GoLimits limits;
    const char* expected;  // the last lines up to go's own, split at |
};

GoLimits Clock(int64_t red, int64_t black, int64_t redIncrement, int64_t blackIncrement,
               int movesToGo) {
    GoLimits limits;
    limits.time[Red] = red;
    limits.time[Black] = black;
    limits.increment[Red] = redIncrement;
    limits.increment[Black] = blackIncrement;
    limits.movesToGo = movesToGo;
    return limits;
}

GoLimits Depth(int depth) {
    GoLimits limits;
    limits.depth = depth;
    return limits;
}

TEST(EngineClientTest, GoSaysTheLimitsInEachProtocolsWordsAndUnits) {
    const GoCase cases[] = {
        {"uci", MoveTime(1500), "go movetime 1500"},
        {"uci", Clock(60000, 50000, 1000, 2000, 10),
         "go wtime 60000 btime 50000 winc 1000 binc 2000 movestogo 10"},
        {"uci", Depth(7), "go depth 7"},
        {"ucci", MoveTime(1500), "go time 1500 movestogo 1"},
        {"ucci", Clock(60000, 50000, 1000, 2000, 0),
         "go time 60000 increment 1000 opptime 50000 oppincrement 2000"},
        {"ucci no-millisec", Clock(60500, 50000, 1000, 0, 0), "go time 60 increment 1 opptime 50"},
        {"ucci", Depth(9), "go depth 9"},
        {"xboard", MoveTime(2400), "st 2|go"},
        {"xboard", Clock(65000, 30000, 500, 500, 0), "level 0 1:05 0.5|time 6500|otim 3000|go"},
        {"xboard", Depth(4), "sd 4|go"},
    };
    for (const GoCase& c : cases) {
        SCOPED_TRACE(std::string(c.fake) + " " + c.expected);
        EngineLog log;
        auto engine = StartOrFail(WithLog(FakeSetup(c.fake), log));
        ASSERT_NE(engine, nullptr);
        ASSERT_TRUE(engine->SetPosition("", {}));
        const Search search = RunSearch(*engine, c.limits);
        EXPECT_EQ(search.end, Event::BestMove) << engine->Failure();
        EXPECT_EQ(search.best.move, FirstLegalMove("", {}));
        const std::vector<std::string> lines = log.Lines();
        const auto go = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) {
            return line.rfind("go", 0) == 0;
        });
        ASSERT_NE(go, lines.rend());
        const auto last = go.base();
        const std::vector<std::string> expected = testing::SplitBars(c.expected);
        ASSERT_GE(last - lines.begin(), static_cast<ptrdiff_t>(expected.size()));
        EXPECT_EQ(std::vector<std::string>(last - static_cast<ptrdiff_t>(expected.size()), last),
                  expected);
    }
}

TEST(EngineClientTest, StopAndPonderHitEndSearchesWithoutLimits) {
    for (const char* protocol : {"uci", "ucci"}) {
        SCOPED_TRACE(protocol);
        EngineLog log;
        auto engine = StartOrFail(WithLog(FakeSetup(protocol), log));
        ASSERT_NE(engine, nullptr);
        ASSERT_TRUE(engine->SetPosition("", {"h2e2"}));
        GoLimits infinite;
        infinite.infinite = true;
        ASSERT_TRUE(engine->Go(infinite));
        SearchInfo info;
        BestMove best;
        EXPECT_EQ(engine->Poll(10s, &info, &best), Event::Info);
        // The position waits for the search's end.
        EXPECT_FALSE(engine->SetPosition("", {}));
        EXPECT_FALSE(engine->Failed());
        ASSERT_TRUE(engine->Stop());
        EXPECT_TRUE(WaitForBestMove(*engine, &best));
        EXPECT_EQ(best.move, FirstLegalMove("", {"h2e2"}));
        EXPECT_EQ(log.Last("go"),
                  std::string(protocol) == "uci" ? "go infinite" : "go depth infinite");
        EXPECT_TRUE(log.Has("stop"));

        GoLimits ponder = MoveTime(300);
        ponder.ponder = true;
        ASSERT_TRUE(engine->Go(ponder));
        ASSERT_TRUE(engine->PonderHit());
        const Search search = Finish(*engine);
        EXPECT_EQ(search.end, Event::BestMove);
        EXPECT_TRUE(log.Has("ponderhit"));
        EXPECT_EQ(log.Last("go"), std::string(protocol) == "uci"
                                      ? "go ponder movetime 300"
                                      : "go ponder time 300 movestogo 1");
    }
}

TEST(EngineClientTest, AnEngineWithoutAnyMoveAnswersWithNone) {
    // Red is mated: in check from the Rook on a0, with d1 and e0 held by the Rook on e1.
    const std::string mated = "5k3/9/9/9/9/9/9/9/4r4/r2K5 w - - 0 1";
    for (const char* protocol : {"uci", "ucci"}) {
        SCOPED_TRACE(protocol);
        auto engine = StartOrFail(FakeSetup(protocol));
        ASSERT_NE(engine, nullptr);
        ASSERT_TRUE(engine->SetPosition(mated, {}));
        const Search search = RunSearch(*engine, MoveTime(100));
        EXPECT_EQ(search.end, Event::BestMove);
        EXPECT_EQ(search.best.move, "");
        EXPECT_FALSE(engine->Failed());
    }
}

TEST(EngineClientTest, AnEngineGivenOneBasedRanksIsSpokenToInThem) {
    EngineLog log;
    auto engine = StartOrFail(WithLog(FakeSetup("uci ranks-1-10"), log));
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->Identity().ranks, Ranks::Auto);
    ASSERT_TRUE(engine->SetPosition("", {}));
    const Search first = RunSearch(*engine, MoveTime(100));
    ASSERT_EQ(first.end, Event::BestMove) << engine->Failure();
    const std::string move = FirstLegalMove("", {});
    EXPECT_EQ(first.best.move, move);
    // The first answer settled it: from now on the moves go in the engine's numbering.
    EXPECT_EQ(engine->Identity().ranks, Ranks::FromOne);
    ASSERT_TRUE(engine->SetPosition("", {move, first.best.ponder}));
    const Search second = RunSearch(*engine, MoveTime(100));
    ASSERT_EQ(second.end, Event::BestMove) << engine->Failure();
    EXPECT_EQ(second.best.move, FirstLegalMove("", {move, first.best.ponder}));
    EXPECT_EQ(log.Last("position"), "position startpos moves " +
                                        ToEngineMove(move, Ranks::FromOne) + " " +
                                        ToEngineMove(first.best.ponder, Ranks::FromOne));
}

TEST(EngineClientTest, RanksGivenInTheSetupAreUsedFromTheStart) {
    EngineLog log;
    EngineSetup setup = WithLog(FakeSetup("uci ranks-1-10"), log);
    setup.ranks = Ranks::FromOne;
    auto engine = StartOrFail(setup);
    ASSERT_NE(engine, nullptr);
    ASSERT_TRUE(engine->SetPosition("", {"h2e2", "h9g7"}));
    const Search search = RunSearch(*engine, MoveTime(100));
    EXPECT_EQ(search.best.move, FirstLegalMove("", {"h2e2", "h9g7"}));
    EXPECT_EQ(log.Last("position"), "position startpos moves h3e3 h10g8");
}

TEST(EngineClientTest, XboardPlaysItsGameMoveByMoveInForceMode) {
    EngineLog log;
    auto engine = StartOrFail(WithLog(FakeSetup("xboard"), log));
    ASSERT_NE(engine, nullptr);
    ASSERT_TRUE(engine->SetPosition("", {"h2e2"}));
    const Search first = RunSearch(*engine, MoveTime(1000));
    ASSERT_EQ(first.end, Event::BestMove) << engine->Failure();
    EXPECT_TRUE(log.Has("usermove h2e2"));
    const std::string reply = FirstLegalMove("", {"h2e2"});
    EXPECT_EQ(first.best.move, reply);
    ASSERT_EQ(first.infos.size(), 1u);
    EXPECT_EQ(first.infos[0].depth, 1);
    EXPECT_EQ(first.infos[0].score, 12);
    EXPECT_EQ(first.infos[0].nodes, 100u);
    EXPECT_EQ(first.infos[0].pv.size(), 2u);

    // The game goes on: back in force mode at once, then only the new move, and the engine
    // answers it.
    const std::string next = FirstLegalMove("", {"h2e2", reply});
    ASSERT_TRUE(engine->SetPosition("", {"h2e2", reply, next}));
    const Search second = RunSearch(*engine, Depth(3));
    ASSERT_EQ(second.end, Event::BestMove) << engine->Failure();
    EXPECT_EQ(second.best.move, FirstLegalMove("", {"h2e2", reply, next}));
    const std::vector<std::string> lines = log.Lines();
    const auto firstGo = std::find(lines.begin(), lines.end(), "go");
    ASSERT_GE(lines.end() - firstGo, 6);
    EXPECT_EQ(
        std::vector<std::string>(firstGo, firstGo + 6),
        (std::vector<std::string>{"go", "force", "usermove " + next, "st 86400", "sd 3", "go"}));

    // The game goes on without a depth: the depth limit of the search before is lifted.
    const std::vector<std::string> game = {"h2e2", reply, next, second.best.move};
    ASSERT_TRUE(engine->SetPosition("", game));
    EXPECT_EQ(RunSearch(*engine, MoveTime(1000)).best.move, FirstLegalMove("", game));
    EXPECT_EQ(log.Last("sd "), "sd 200");

    // A position of its own: a new game, set up in XBoard's letters.
    const std::string fen = "3akab2/9/4b4/9/9/2N6/9/9/9/3AK4 w - - 0 1";
    ASSERT_TRUE(engine->SetPosition(fen, {}));
    const Search third = RunSearch(*engine, MoveTime(1000));
    ASSERT_EQ(third.end, Event::BestMove) << engine->Failure();
    EXPECT_EQ(third.best.move, FirstLegalMove(fen, {}));
    EXPECT_EQ(log.Last("setboard"), "setboard 3akae2/9/4e4/9/9/2H6/9/9/9/3AK4 w - - 0 1");
}

TEST(EngineClientTest, XboardMovesNowWhenStopped) {
    EngineLog log;
    auto engine = StartOrFail(WithLog(FakeSetup("xboard no-bestmove"), log));
    ASSERT_NE(engine, nullptr);
    ASSERT_TRUE(engine->SetPosition("", {}));
    GoLimits infinite;
    infinite.infinite = true;
    ASSERT_TRUE(engine->Go(infinite));
    ASSERT_TRUE(engine->Stop());
    BestMove best;
    EXPECT_TRUE(WaitForBestMove(*engine, &best));
    EXPECT_EQ(best.move, FirstLegalMove("", {}));
    EXPECT_TRUE(log.Has("?"));
}

TEST(EngineClientTest, XboardClaimsAndResignationsComeAsClaims) {
    const std::pair<const char*, const char*> cases[] = {{"claim", "1-0 {White mates}"},
                                                         {"resign", "resign"}};
    for (const auto& [flag, claim] : cases) {
        SCOPED_TRACE(flag);
        auto engine = StartOrFail(FakeSetup(std::string("xboard ") + flag));
        ASSERT_NE(engine, nullptr);
        ASSERT_TRUE(engine->SetPosition("", {}));
        const Search search = RunSearch(*engine, MoveTime(1000));
        EXPECT_EQ(search.end, Event::BestMove);
        EXPECT_EQ(search.best.move, "");
        EXPECT_EQ(search.best.claim, claim);
        EXPECT_FALSE(engine->Failed());
    }
}

// A misbehaviour of the fake engine: failing its start (the reason in Start's error), or failing
// its first search with the fault and detail given.
struct Misbehaviour {
    const char* fake;
    Protocol asked;
    const char* reason;         // after the engine's name
    Fault fault = Fault::None;  // None: Start fails
    const char* detail = "";
};

TEST(EngineClientTest, EveryMisbehaviourFailsTheEngineWithAReasonAndLeavesNoProcess) {
    using enum Fault;
    const Misbehaviour cases[] = {
        {"uci exit-at-start", Protocol::Auto, "已退出 (退出码 3)"},
        {"uci silent", Protocol::Uci, "没有回应 uci"},
        {"uci silent", Protocol::Auto, "不懂 UCI、UCCI 或 XBoard 协议"},
        {"xboard silent", Protocol::Xboard, "没有回应 protover 2"},
        {"uci no-xiangqi", Protocol::Auto, "不能下中国象棋"},
        {"xboard no-xiangqi", Protocol::Auto, "不能下中国象棋"},
        {"uci exit-at-go", Protocol::Auto, "已退出 (退出码 5)", Exited, "5"},
        {"xboard exit-at-go", Protocol::Auto, "已退出 (退出码 5)", Exited, "5"},
        {"uci exit-at-go grandchild", Protocol::Auto, "已退出 (退出码 5)", Exited, "5"},
        {"uci illegal", Protocol::Auto, "走了不合规则的着法 e9e7", IllegalMove, "e9e7"},
        {"ucci illegal", Protocol::Auto, "走了不合规则的着法 e9e7", IllegalMove, "e9e7"},
        {"xboard illegal", Protocol::Auto, "走了不合规则的着法 e9e7", IllegalMove, "e9e7"},
        {"xboard refuse-moves", Protocol::Auto, "不接受着法：h2e2", RefusedMove, "h2e2"},
        {"uci malformed", Protocol::Auto, "的着法无法识别：z9!", Nonsense, "z9!"},
        {"uci flood", Protocol::Auto, "输出过多", Flood},
        {"uci no-bestmove ignore-stop", Protocol::Auto, "没有停下", NotStopped},
        {"uci no-bestmove ignore-stop immortal", Protocol::Auto, "没有停下", NotStopped},
        {"xboard no-bestmove ignore-stop", Protocol::Auto, "没有停下", NotStopped},
    };
    for (const Misbehaviour& c : cases) {
        SCOPED_TRACE(c.fake);
        EngineLog log;
        const EngineSetup setup = WithLog(FakeSetup(c.fake, c.asked), log);
        std::string error;
        auto engine = EngineClient::Start(setup, &error, 1500ms);
        const std::string expected = "引擎 Fake " + std::string(c.reason);
        if (c.fault == Fault::None) {
            EXPECT_EQ(engine, nullptr);
            EXPECT_NE(error.find(expected), std::string::npos) << error;
        } else {
            ASSERT_NE(engine, nullptr) << error;
            ASSERT_TRUE(engine->SetPosition("", {"h2e2"}));
            ASSERT_TRUE(engine->Go(MoveTime(50)));
            SearchInfo info;
            BestMove best;
            // Lines of thinking until the answer, the failure, or a silence.
            Event event = Event::Info;
            while (event == Event::Info)
                event = engine->Poll(300ms, &info, &best);
            if (event == Event::None) {
                // Silent: the caller's own clock runs out and it stops the search.
                EXPECT_FALSE(engine->Failed());
                engine->Stop();
                EXPECT_FALSE(WaitForBestMove(*engine, &best, 500ms));
            } else {
                EXPECT_EQ(event, Event::Failed);
            }
            EXPECT_TRUE(engine->Failed());
            EXPECT_NE(engine->Failure().find(expected), std::string::npos) << engine->Failure();
            EXPECT_EQ(engine->FailedWith(), c.fault);
            EXPECT_EQ(engine->FailureDetail(), c.detail);
            // Failed once, failed for good.
            EXPECT_FALSE(engine->Searching());
            EXPECT_FALSE(engine->Go(MoveTime(50)));
            EXPECT_FALSE(engine->SetPosition("", {}));
            EXPECT_EQ(engine->Poll(10ms, &info, &best), Event::Failed);
        }
        for (const std::string prefix : {"pid ", "grandchild "}) {
            const std::string line = log.Last(prefix);
            if (!line.empty()) {
                EXPECT_TRUE(ProcessEnds(std::stoi(line.substr(prefix.size()))));
            }
        }
    }
}

TEST(EngineClientTest, AWrapperShellsChildrenGoWithTheEngine) {
    EngineLog log;
    EngineSetup setup;
    setup.name = "Wrapped";
    setup.command =
        testing::Shell(std::string(FAKE_ENGINE) + " uci grandchild " + log.Flag() + "; echo after");
    auto engine = StartOrFail(setup);
    ASSERT_NE(engine, nullptr);
    const std::string line = log.Last("grandchild ");
    ASSERT_FALSE(line.empty());
    const int grandchild = std::stoi(line.substr(11));
    EXPECT_FALSE(testing::ProcessGone(grandchild));
    engine->Quit();
    EXPECT_TRUE(ProcessEnds(log.Pid()));
    EXPECT_TRUE(ProcessEnds(grandchild));
}

TEST(EngineClientTest, WhatAnEngineWroteIsShownShortAndPrintable) {
    const std::pair<std::string, std::string> cases[] = {
        {"z9!", "z9!"},
        {"a\tb\x01"
         "c\x7f",
         "a?b?c?"},
        {std::string(100, 'x'), std::string(40, 'x') + "…"},
        // Thirteen characters of three bytes are 39 bytes: whole. Past 40 the cut comes at the
        // start of a character, never inside one.
        {"象棋象棋象棋象棋象棋象棋象棋", "象棋象棋象棋象棋象棋象棋象棋"},
        {std::string(39, 'x') + "象棋", std::string(39, 'x') + "象…"},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(ShownEngineText(text), shown) << text;
}

TEST(EngineClientTest, ProtocolAndRanksNamesRoundTrip) {
    for (Protocol protocol : {Protocol::Auto, Protocol::Uci, Protocol::Ucci, Protocol::Xboard}) {
        Protocol read = Protocol::Auto;
        EXPECT_TRUE(ParseProtocol(ProtocolName(protocol), &read));
        EXPECT_EQ(read, protocol);
    }
    for (Ranks ranks : {Ranks::Auto, Ranks::FromZero, Ranks::FromOne}) {
        Ranks read = Ranks::Auto;
        EXPECT_TRUE(ParseRanks(RanksName(ranks), &read));
        EXPECT_EQ(read, ranks);
    }
    Protocol protocol = Protocol::Uci;
    EXPECT_FALSE(ParseProtocol("cecp", &protocol));
    EXPECT_EQ(protocol, Protocol::Uci);
    Ranks ranks = Ranks::FromOne;
    EXPECT_FALSE(ParseRanks("1-9", &ranks));
    EXPECT_EQ(ProtocolName(Protocol::Xboard), "xboard");
    EXPECT_EQ(RanksName(Ranks::FromOne), "1-10");
}

}  // namespace
}  // namespace xq::host
