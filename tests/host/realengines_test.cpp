// The clients against real engines: the peers installed on this machine (skipped where they are
// not) and our own lanchuan-engine. Each shakes hands, searches the opening array and a position
// after two moves, and must answer with moves the rules accept, whichever moves they are.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host/engineclient.h"
#include "host/enginemoves.h"

namespace xq::host {
namespace {

using namespace std::chrono_literals;

struct RealEngine {
    const char* name;
    const char* program;
    std::vector<std::string> arguments;
    std::vector<std::pair<std::string, std::string>> options;
    Protocol asked;
    Protocol spoken;
    Ranks ranks;         // after the first search
    bool setsUp = true;  // takes a position of its own (XBoard setboard)
};

// A position of its own: Black's Knight and Bishops, the Red Knight on c4 (and a0..i9 written in
// each engine's letters).
constexpr char kSetUpFen[] = "3akab2/9/4b4/9/9/2N6/9/9/9/3AK4 w - - 0 1";

bool IsLegal(const std::vector<std::string>& moves, const std::string& move,
             std::string_view fen = "") {
    EngineMoves position;
    std::string error;
    if (!position.SetPosition(fen, moves, &error)) return false;
    position.SetRanks(Ranks::FromZero);
    std::string iccs;
    return position.ReadMove(move, &iccs) == MoveVerdict::Legal && iccs == move;
}

// One search at 300 ms a move; the answer must be a legal move.
std::string SearchLegalMove(EngineClient& engine, const std::vector<std::string>& moves,
                            std::string_view fen = "") {
    EXPECT_TRUE(engine.SetPosition(fen, moves)) << engine.Failure();
    GoLimits limits;
    limits.moveTime = 300;
    EXPECT_TRUE(engine.Go(limits)) << engine.Failure();
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < end) {
        SearchInfo info;
        BestMove best;
        const Event event = engine.Poll(1s, &info, &best);
        if (event == Event::Info) {
            // Thinking lines keep legal moves only, from the position searched.
            if (!info.pv.empty()) {
                EXPECT_TRUE(IsLegal(moves, info.pv[0], fen)) << info.pv[0];
            }
            continue;
        }
        if (event == Event::Failed) ADD_FAILURE() << engine.Failure();
        if (event == Event::BestMove) {
            EXPECT_TRUE(IsLegal(moves, best.move, fen)) << best.move << " " << best.claim;
            return best.move;
        }
        if (event != Event::None) break;
    }
    ADD_FAILURE() << "no answer within 30 seconds";
    return "";
}

TEST(RealEnginesTest, PeersAndOurOwnEngineAnswerWithLegalMoves) {
    const RealEngine engines[] = {
        {"Fairy-Stockfish",
         "/usr/games/fairy-stockfish",
         {},
         {{"Hash", "16"}},
         Protocol::Auto,
         Protocol::Uci,
         Ranks::FromOne},
        {"Sjaak II over UCI",
         "/usr/games/sjaakii",
         {},
         {},
         Protocol::Uci,
         Protocol::Uci,
         Ranks::FromOne},
        {"Sjaak II over XBoard",
         "/usr/games/sjaakii",
         {},
         {},
         Protocol::Xboard,
         Protocol::Xboard,
         Ranks::FromZero},
        {"MaxQi",
         "/usr/games/maxqi",
         {},
         {},
         Protocol::Auto,
         Protocol::Xboard,
         Ranks::FromZero,
         false},
        {"lanchuan-engine over UCI",
         LANCHUAN_ENGINE,
         {},
         {{"Engine", "Classic"}},
         Protocol::Uci,
         Protocol::Uci,
         Ranks::FromZero},
        {"lanchuan-engine over UCCI",
         LANCHUAN_ENGINE,
         {},
         {{"engine", "classic"}},
         Protocol::Ucci,
         Protocol::Ucci,
         Ranks::FromZero},
    };
    int played = 0;
    for (const RealEngine& real : engines) {
        SCOPED_TRACE(real.name);
        if (::access(real.program, X_OK) != 0) continue;
        EngineSetup setup;
        setup.name = real.name;
        setup.command = {real.program, real.arguments, ""};
        setup.protocol = real.asked;
        setup.options = real.options;
        std::string error;
        auto engine = EngineClient::Start(setup, &error);
        ASSERT_NE(engine, nullptr) << error;
        EXPECT_EQ(engine->Identity().protocol, real.spoken);
        EXPECT_FALSE(engine->Identity().name.empty());
        ASSERT_TRUE(engine->NewGame());
        const std::string first = SearchLegalMove(*engine, {});
        EXPECT_EQ(engine->Identity().ranks, real.ranks);
        // The engine's own move and a reply: the game goes on in the engine's numbering.
        std::vector<std::string> moves = {first, "h9g7"};
        if (!IsLegal({first}, "h9g7")) moves[1] = "b9c7";
        SearchLegalMove(*engine, moves);
        if (real.setsUp) {
            SearchLegalMove(*engine, {}, kSetUpFen);
        } else {
            EXPECT_FALSE(engine->SetPosition(kSetUpFen, {}));
            EXPECT_NE(engine->Failure().find("不能从任意局面开始"), std::string::npos);
            ++played;
            continue;
        }
        EXPECT_FALSE(engine->Failed()) << engine->Failure();
        engine->Quit();
        ++played;
    }
    if (played == 0) GTEST_SKIP() << "no engine installed";
}

TEST(RealEnginesTest, AnEngineThatCannotPlayXiangqiIsRefused) {
    // Fairy-Max plays many variants, Xiangqi not among them (its sibling MaxQi plays it).
    const char* program = "/usr/games/fairymax";
    if (::access(program, X_OK) != 0) GTEST_SKIP() << program << " is not installed";
    EngineSetup setup;
    setup.name = "Fairy-Max";
    setup.command.program = program;
    std::string error;
    auto engine = EngineClient::Start(setup, &error);
    if (engine != nullptr) {
        // A version that learnt the game must play it by the rules.
        SearchLegalMove(*engine, {});
        return;
    }
    EXPECT_NE(error.find("引擎 Fairy-Max 不能下中国象棋"), std::string::npos) << error;
}

}  // namespace
}  // namespace xq::host
