// The game flow driven headlessly through the message queue: the tests' window procedure plays
// the window (left clicks carry the move, x = from, y = to; menu commands are recorded), and the
// native-event pull, which the search's pump calls about every 10 ms of the fake tick count,
// plays the user who clicks while the engine thinks.
#include "engine/flow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/book.h"
#include "engine/commands.h"
#include "engine/enginechoice.h"
#include "engine/externalthink.h"
#include "engine/search.h"
#include "engine/think.h"
#include "engine_fixture.h"
#include "host/host_support.h"
#include "platform/messages.h"
#include "records/menucommands.h"
#include "rules/fen.h"
#include "rules/gamemoves.h"
#include "rules/legality.h"
#include "support/display_recorder.h"
#include "support/fake_time.h"
#include "support/temp_folder.h"

namespace xq {
namespace {

using testing::DisplayRecorder;
using testing::EngineTest;
using testing::FakeTime;
using testing::Generated;

constexpr int32_t kPickAnotherMove = -1;  // a click whose move the procedure picks itself

// What the tests' window saw.
struct CommandRun {
    int32_t command;
    uint8_t thinking;
    uint8_t computerThinking;
};
std::vector<CommandRun> commandsRun;
MoveRecord predictedAtClick;
int32_t depthAtClick = 0;
uint64_t nodesAtClick = 0;

// The first legal move of sideToMove other than `avoid`.
MoveRecord AnotherLegalMove(const MoveRecord& avoid) {
    GenerateMoves();
    for (NextMove(); currentMove.piece != Empty; NextMove()) {
        if (!SameMove(currentMove, avoid) && !LeavesKingAttacked(currentMove)) return currentMove;
    }
    return NullMove;
}

int64_t MainWindow(const Message& message) {
    switch (message.kind) {
        case MessageKind::LeftButtonDown: {
            depthAtClick = iterationDepth;
            nodesAtClick = nodeCount;
            // Handed over by the pump, the board shows the real position: the predicted reply is
            // the taken-back move just above recordTop.
            predictedAtClick = GameRecord[recordTop + 1];
            Square from = message.x;
            Square to = message.y;
            if (from == kPickAnotherMove) {
                const MoveRecord move = AnotherLegalMove(predictedAtClick);
                from = move.from;
                to = move.to;
            }
            return HandleBoardMove(from, to) ? 1 : 0;
        }
        case MessageKind::Command:
            commandsRun.push_back({message.command, thinking, computerThinking});
            return 0;
        default:
            return 0;
    }
}

// The place of the move `iccs` in the generated list of the current position (-1: none).
int GeneratedIndex(std::string_view iccs) {
    const MoveRecord wanted = Generated(iccs);
    GenerateMoves();
    int index = 0;
    for (NextMove(); currentMove.piece != Empty; NextMove(), ++index) {
        if (SameMove(currentMove, wanted)) return index;
    }
    return -1;
}

Message Click(Square from, Square to) {
    Message message;
    message.kind = MessageKind::LeftButtonDown;
    message.x = from;
    message.y = to;
    return message;
}

Message MenuCommand(int32_t command) {
    Message message;
    message.kind = MessageKind::Command;
    message.command = command;
    return message;
}

// The user's actions during a search: posted once each by the native pull when its condition
// holds.
struct UserAction {
    bool (*when)();
    Message (*message)();
    bool posted;
    int32_t pliesWhenPosted;
};
std::vector<UserAction> userActions;

void PullUserActions() {
    for (UserAction& action : userActions) {
        if (action.posted || !action.when()) continue;
        action.posted = true;
        action.pliesWhenPosted = plyCount;
        PostMessage(action.message());
        return;
    }
}

class FlowTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        UseOpeningLibrary({});
        NewGame();
        ClearMessages();
        SetWindowProcedure(kMainWindow, MainWindow);
        SetNativeEventPull(PullUserActions);
        commandsRun.clear();
        userActions.clear();
        computerThinking = 0;
        userMovePending = 0;
        inPumpDispatch = 0;
        userSide = Red;
        computerSide = Black;
        soundOn = 0;
        demoGameOverHook = nullptr;
        iterationHook = nullptr;
    }
    void TearDown() override {
        SetWindowProcedure(kMainWindow, {});
        SetNativeEventPull(nullptr);
        ClearMessages();
        UseOpeningLibrary({});
        demoGameOverHook = nullptr;
        iterationHook = nullptr;
        EngineTest::TearDown();
    }

    // The user's move from the idle board, as the second click enters it.
    static bool UserPlays(std::string_view iccs) {
        const MoveRecord move = Generated(iccs);
        EXPECT_NE(move.piece, Empty) << iccs;
        return HandleBoardMove(move.from, move.to);
    }

    FakeTime time;
};

// The flow's behaviour that does not depend on the engine, run with each of the two: the 大师
// engine searches its own copy of the position and reaches the pump through its poll.
class EitherEngineFlowTest : public FlowTest, public ::testing::WithParamInterface<EngineKind> {
  protected:
    void SetUp() override {
        FlowTest::SetUp();
        engineKind = GetParam();
    }
};

INSTANTIATE_TEST_SUITE_P(BothEngines, EitherEngineFlowTest,
                         ::testing::Values(EngineKind::Classic, EngineKind::Master),
                         [](const ::testing::TestParamInfo<EngineKind>& engine) {
                             return engine.param == EngineKind::Classic ? "Classic" : "Master";
                         });

// Index of the first call named `name` (with `text` when given) at or after `from`; -1 if none.
int FindCall(const DisplayRecorder& display, size_t from, std::string_view name,
             std::string_view textPrefix = "") {
    for (size_t i = from; i < display.calls.size(); ++i) {
        const testing::DisplayCall& call = display.calls[i];
        if (call.name == name && call.text.compare(0, textPrefix.size(), textPrefix) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

// Indexes of the ShowMoveLine calls: one per move played into the game.
std::vector<int> MoveLines(const DisplayRecorder& display) {
    std::vector<int> found;
    for (size_t i = 0; i < display.calls.size(); ++i)
        if (display.calls[i].name == "ShowMoveLine") found.push_back(static_cast<int>(i));
    return found;
}

TEST_P(EitherEngineFlowTest, PredictedReplyTurnsPonderingIntoTheEnginesSearch) {
    levelKind = kLevelFixedDepth;
    maxDepth = 4;
    // The reply comes once the pondering search has finished an iteration.
    userActions.push_back({[] { return pondering != 0 && iterationDepth >= 1; },
                           [] { return Click(GameRecord[-1].from, GameRecord[-1].to); }, false, 0});
    DisplayRecorder display;
    ASSERT_TRUE(UserPlays("h2e2"));
    ASSERT_TRUE(userActions[0].posted);

    // User, engine, the predicted reply, the engine's answer; the next prediction is taken back.
    EXPECT_EQ(plyCount, 4);
    EXPECT_TRUE(SameMove(GameRecord[-3], predictedAtClick));
    EXPECT_TRUE(PositionIsConsistent());
    EXPECT_EQ(computerThinking, 0);
    EXPECT_EQ(pondering, 0);
    EXPECT_GE(depthAtClick, 1);

    // After the reply is committed the pondered line is shown at once, and the search goes on
    // from the iteration it had reached instead of starting again at depth 1.
    // Move lines: the user's first move, the engine's, the predicted reply, the engine's answer.
    const std::vector<int> lines = MoveLines(display);
    ASSERT_EQ(lines.size(), 4u);
    const int replyLine = lines[2];
    const int engineLine = lines[3];
    const int shownLine =
        FindCall(display, static_cast<size_t>(replyLine), "ShowPanelValue", "BestPath=");
    const int firstDepth =
        FindCall(display, static_cast<size_t>(replyLine), "ShowPanelValue", "Depth=");
    EXPECT_GT(shownLine, replyLine);
    EXPECT_TRUE(firstDepth < 0 || shownLine < firstDepth);
    for (int i = replyLine; i < engineLine; ++i) {
        const testing::DisplayCall& call = display.calls[static_cast<size_t>(i)];
        if (call.text.rfind("Depth=", 0) != 0) continue;
        EXPECT_GE(std::atoi(call.text.c_str() + 6), depthAtClick) << call.text;
    }
    // The node count shown for the engine's answer includes the nodes searched while pondering.
    const int nodes = FindCall(display, static_cast<size_t>(replyLine), "ShowPanelValue", "Nodes=");
    ASSERT_GT(nodes, 0);
    ASSERT_LT(nodes, engineLine);
    EXPECT_GE(std::stoull(display.calls[static_cast<size_t>(nodes)].text.substr(6)), nodesAtClick);
}

TEST_P(EitherEngineFlowTest, AnotherMoveWhilePonderingIsPlayedAndAnsweredAfresh) {
    levelKind = kLevelFixedDepth;
    maxDepth = 4;
    userActions.push_back({[] { return pondering != 0; },
                           [] { return Click(kPickAnotherMove, kPickAnotherMove); }, false, 0});
    DisplayRecorder display;
    ASSERT_TRUE(UserPlays("h2e2"));
    ASSERT_TRUE(userActions[0].posted);

    EXPECT_EQ(plyCount, 4);
    const MoveRecord userMove = GameRecord[-3];
    EXPECT_FALSE(SameMove(userMove, predictedAtClick));
    EXPECT_TRUE(SameMove(userMove, lastPlayerMove) || lastPlayerMove.piece == Empty);
    EXPECT_TRUE(PositionIsConsistent());
    // The engine's answer came from a new search: its iterations restart at depth 1.
    const std::vector<int> lines = MoveLines(display);
    ASSERT_EQ(lines.size(), 4u);
    const int otherLine = lines[2];
    EXPECT_EQ(display.calls[static_cast<size_t>(otherLine)].value, Red);
    EXPECT_GT(FindCall(display, static_cast<size_t>(otherLine), "ShowPanelValue", "Depth=1 "), 0);
}

TEST_P(EitherEngineFlowTest, MenuCommandWhilePonderingStopsTheSearchAndRunsAfterwards) {
    levelKind = kLevelFixedDepth;
    maxDepth = 12;
    // The engine's own search is stopped too, or it would go on to depth 12.
    userActions.push_back({[] { return timedThinking && iterationDepth >= 3; },
                           [] { return MenuCommand(kCommandStop); }, false, 0});
    userActions.push_back(
        {[] { return pondering != 0; }, [] { return MenuCommand(kCommandHint); }, false, 0});
    ASSERT_TRUE(UserPlays("h2e2"));
    ASSERT_TRUE(userActions[0].posted);
    ASSERT_TRUE(userActions[1].posted);
    // The pondering search stopped early; the predicted reply is off the board again.
    EXPECT_LT(iterationDepth, 12);
    EXPECT_EQ(plyCount, 2);
    EXPECT_EQ(recordTop, -2);
    EXPECT_TRUE(PositionIsConsistent());
    EXPECT_TRUE(commandsRun.empty());
    // The command was posted again and runs from the idle window's loop.
    EXPECT_EQ(DispatchPendingMessages(), 1);
    ASSERT_EQ(commandsRun.size(), 1u);
    EXPECT_EQ(commandsRun[0].command, kCommandHint);
    EXPECT_EQ(commandsRun[0].thinking, 0);
    EXPECT_EQ(commandsRun[0].computerThinking, 0);
}

TEST_P(EitherEngineFlowTest, CommandsWhileThinkingOnItsOwnMove) {
    struct Row {
        const char* name;
        int32_t command;
        bool stops;
    };
    const Row rows[] = {
        {"stop ends the search, the best move so far is played", kCommandStop, true},
        {"any other command is dropped", kCommandHint, false},
    };
    static int32_t commandToPost;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        levelKind = kLevelEasy;  // timed; the fake clock never runs out; no pondering afterwards
        // Deep enough that the command comes while the engine still searches; the 大师 engine
        // looks at the window only every thousand nodes, and is through four plies sooner.
        const uint8_t unstopped = GetParam() == EngineKind::Master ? 9 : 4;
        maxDepth = row.stops ? 20 : unstopped;
        commandToPost = row.command;
        userActions.push_back({[] { return timedThinking && iterationDepth >= 2; },
                               [] { return MenuCommand(commandToPost); }, false, 0});
        ASSERT_TRUE(UserPlays("h2e2"));
        ASSERT_TRUE(userActions[0].posted);
        EXPECT_EQ(plyCount, 2);
        EXPECT_TRUE(PositionIsConsistent());
        EXPECT_TRUE(commandsRun.empty());
        EXPECT_FALSE(MessagesPending());
        if (row.stops) {
            EXPECT_LT(iterationDepth, 20);
        } else {
            EXPECT_EQ(iterationDepth, unstopped);
        }
    }
}

TEST_P(EitherEngineFlowTest, EasyLevelAndTwoPlayersNeverPonder) {
    struct Row {
        const char* name;
        uint8_t level;
        uint8_t twoPlayers;
        bool ponders;
    };
    const Row rows[] = {
        {"easy", kLevelEasy, 0, false},
        {"two players", kLevelFixedDepth, 1, false},
        {"fixed depth", kLevelFixedDepth, 0, true},
    };
    static bool sawPondering;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        levelKind = row.level;
        twoPlayerMode = row.twoPlayers;
        maxDepth = 2;
        sawPondering = false;
        iterationHook = [] { sawPondering = sawPondering || pondering; };
        DisplayRecorder display;
        ASSERT_TRUE(UserPlays("h2e2"));
        if (row.twoPlayers) {
            EXPECT_EQ(plyCount, 1) << "two players: the engine waits";
            ComputerTurn();  // "对弈": the engine moves once for the side to move
        }
        EXPECT_EQ(sawPondering, row.ponders);
        EXPECT_EQ(plyCount, 2);
        EXPECT_EQ(display.calls.back(), testing::DisplayCall("SetCursor", "", 0));
        EXPECT_EQ(computerThinking, 0);
    }
}

// A lost score makes the engine resign with its move; it does not think on over a finished game.
TEST_F(FlowTest, NoPonderingAfterTheEngineResigns) {
    levelKind = kLevelFixedDepth;
    maxDepth = 2;
    bestLine[0] = testing::Generated("h2e2");
    PlayMove(bestLine[0]);
    bestLine[1] = testing::Generated("h9g7");  // the reply it expects
    TakeBackMove(bestLine[0]);
    bestLine[2] = NullMove;
    ASSERT_NE(bestLine[1].piece, Empty);
    searchScore = -6000;
    static bool sawPondering;
    sawPondering = false;
    iterationHook = [] { sawPondering = sawPondering || pondering; };
    EXPECT_FALSE(PlayEngineMove());
    iterationHook = nullptr;
    EXPECT_EQ(gameResultText, kRedResignsText);
    EXPECT_FALSE(sawPondering);
}

// The mate search announces after each of its moves how many the mate still needs: a mate in n
// found says n - 1 after the first, and its last move mates. The defender plays its first legal
// move, which may let the mate come sooner: each count is then lower than the one before, never
// higher, and the mate never comes later than announced.
TEST_F(FlowTest, TheMateSearchCountsTheMovesTheMateStillNeeds) {
    const struct {
        const char* fen;
        int mateIn;
    } rows[] = {
        {"4k4/9/9/9/9/9/9/R8/9/1R1K5 w", 2},
        {"5k3/9/9/9/9/9/9/9/9/R2K5 w", 3},
        {"4k4/9/9/9/9/9/9/9/9/R2K5 w", 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fen);
        SetUpPosition(row.fen);
        levelKind = kLevelMateSearch;
        computerSide = Red;
        userSide = Black;
        DisplayRecorder display;
        ComputerTurn();
        for (int reply = 0; !gameOver && reply < row.mateIn; ++reply) {
            const std::vector<MoveRecord> legal = LegalMoves();
            ASSERT_FALSE(legal.empty());
            ASSERT_TRUE(HandleBoardMove(legal.front().from, legal.front().to));
        }
        std::vector<std::string> counts;
        for (const testing::DisplayCall& call : display.Named("ShowMessage")) {
            if (call.text.find("将死在") != std::string::npos) counts.push_back(call.text);
        }
        // One count after every move of the engine but the mate.
        EXPECT_EQ(gameOver, 1);
        EXPECT_EQ(gameResultText, kMateText);
        const int engineMoves = (plyCount + 1) / 2;
        ASSERT_EQ(static_cast<int>(counts.size()), engineMoves - 1);
        EXPECT_EQ(counts[0], " 将死在" + std::to_string(row.mateIn - 1) + " 次移动后!");
        EXPECT_LE(engineMoves, row.mateIn);
        for (size_t k = 0; k < counts.size(); ++k) {
            const int said = std::stoi(counts[k].substr(counts[k].find("在") + 3));
            // Said after the engine's move k + 1: the mate comes within `said` more moves.
            EXPECT_LE(engineMoves, static_cast<int>(k) + 1 + said) << counts[k];
            EXPECT_GE(said, 1) << counts[k];
            if (k > 0) {
                EXPECT_LT(said, std::stoi(counts[k - 1].substr(counts[k - 1].find("在") + 3)));
            }
        }
    }
}

// Two people at one board: an accepted move starts no engine turn, the board and the clock pass
// to the side to move.
TEST_F(FlowTest, TwoPlayerModePassesTheBoardToTheSideToMove) {
    struct Row {
        const char* name;
        uint8_t twoPlayers;
        std::vector<std::string_view> moves;
        int32_t plies;
        Side user;
    };
    const Row rows[] = {
        {"one player: the engine answers", 0, {"h2e2"}, 2, Red},
        {"two players: Red moved, Black takes the board", 1, {"h2e2"}, 1, Black},
        {"two players: both moved, Red again", 1, {"h2e2", "h7e7"}, 2, Red},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        levelKind = kLevelFixedDepth;
        maxDepth = 2;
        twoPlayerMode = row.twoPlayers;
        DisplayRecorder display;
        for (std::string_view move : row.moves)
            ASSERT_TRUE(UserPlays(move));
        EXPECT_EQ(plyCount, row.plies);
        EXPECT_EQ(userSide, row.user);
        EXPECT_EQ(computerSide, Opponent(row.user));
        EXPECT_EQ(sideToMove, row.user);
        EXPECT_EQ(runningClock, sideToMove) << "the clock of the player at the board runs";
        ASSERT_FALSE(display.Named("ShowTurn").empty());
        EXPECT_EQ(display.Named("ShowTurn").back().value, sideToMove) << "the panel's turn";
        EXPECT_EQ(display.Named("SetMenu").empty(), row.twoPlayers != 0)
            << "no think menu between two people";
        EXPECT_EQ(computerThinking, 0);
        EXPECT_TRUE(PositionIsConsistent());
    }
}

TEST_P(EitherEngineFlowTest, StopDuringADemonstration) {
    levelKind = kLevelFixedDepth;
    maxDepth = 3;
    demoMode = 1;
    userActions.push_back({[] { return timedThinking && plyCount >= 6; },
                           [] { return MenuCommand(kCommandStop); }, false, 0});
    ComputerTurn();
    ASSERT_TRUE(userActions[0].posted);
    EXPECT_EQ(demoMode, 0);
    // The move being searched is still completed; then the engine is idle.
    EXPECT_EQ(plyCount, userActions[0].pliesWhenPosted + 1);
    EXPECT_EQ(computerThinking, 0);
    EXPECT_TRUE(PositionIsConsistent());
}

TEST_F(FlowTest, DemonstrationGameEndsAndRestarts) {
    struct Row {
        const char* name;
        const char* fen;
        std::vector<std::string_view> prelude;
        int32_t pliesBefore;  // plyCount before the engine's move; -1: as played
        const char* engineMove;
        int32_t score;
        DemoEnding ending;
    };
    const char* rooks = "r2k5/9/9/9/9/9/9/9/9/R3K4 w - - 0 1";
    const Row rows[] = {
        {"game goes on", rooks, {}, 10, "a0a1", 0, DemoEnding::None},
        {"120 plies", rooks, {}, 119, "a0a1", 0, DemoEnding::PlyLimit},
        {"threefold repetition",
         rooks,
         {"a0a1", "a9a8", "a1a0", "a8a9", "a0a1", "a9a8", "a1a0"},
         -1,
         "a8a9",
         0,
         DemoEnding::Repetition},
        {"lost at -5456", rooks, {}, 10, "a0a1", -5456, DemoEnding::Lost},
        {"not lost at -5455", rooks, {}, 10, "a0a1", -5455, DemoEnding::None},
        {"no move", rooks, {}, 10, nullptr, 0, DemoEnding::NoMove},
    };
    static DemoEnding reported;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testing::SetUpFen(row.fen);
        for (std::string_view move : row.prelude)
            testing::PlayGameMoves({move});
        if (row.pliesBefore >= 0) plyCount = row.pliesBefore;
        const int32_t plies = plyCount;
        demoMode = 1;
        reported = DemoEnding::None;
        demoGameOverHook = [](DemoEnding ending) { reported = ending; };
        bestLine[0] = row.engineMove ? Generated(row.engineMove) : NullMove;
        bestLine[1] = NullMove;
        searchScore = row.score;
        DisplayRecorder display;
        EXPECT_TRUE(PlayEngineMove());  // the demonstration goes on either way
        EXPECT_EQ(reported, row.ending);
        if (row.ending == DemoEnding::None) {
            EXPECT_EQ(plyCount, plies + 1);
            EXPECT_EQ(display.Count("RedrawAll"), 0);
        } else {
            EXPECT_EQ(plyCount, 0);
            EXPECT_EQ(WriteFen().substr(0, kStartFen.find(' ')),
                      kStartFen.substr(0, kStartFen.find(' ')));
            EXPECT_EQ(display.Count("RedrawAll"), 1);
        }
        demoMode = 0;
    }
}

// Quiet moves of a position where nothing can ever be captured, chosen so that no position
// repeats: the demonstration's sixty-quiet-plies rule.
TEST_F(FlowTest, DemonstrationGameEndsAfterSixtyQuietPlies) {
    testing::SetUpFen("2bak4/4a4/4b4/9/9/9/9/4B4/4A4/2BAK4 w - - 0 1");
    int played = 0;
    for (int attempt = 0; played < 59 && attempt < 10000; ++attempt) {
        GenerateMoves();
        int index = 0;
        bool moved = false;
        const int skip = attempt % 7;
        for (NextMove(); currentMove.piece != Empty && !moved; NextMove(), ++index) {
            if (index < skip || LeavesKingAttacked(currentMove)) continue;
            const MoveRecord move = currentMove;
            GameRecord[recordTop + 1] = move;
            PlayMove(move);
            if (CountRepetitions(0) == 1) {
                SlideRecord();
                moved = true;
            } else {
                TakeBackMove(move);
                GenerateMoves();  // the walk goes on from a fresh list
                for (int k = 0; k <= index; ++k)
                    NextMove();
            }
        }
        if (moved) ++played;
    }
    ASSERT_EQ(played, 59);
    ASSERT_EQ(CountQuietPlies(), 59);
    MoveRecord last = NullMove;
    GenerateMoves();
    for (NextMove(); currentMove.piece != Empty; NextMove()) {
        if (LeavesKingAttacked(currentMove)) continue;
        const MoveRecord move = currentMove;
        PlayMove(move);
        const bool fresh = CountRepetitions(0) == 1;
        TakeBackMove(move);
        if (fresh) {
            last = move;
            break;
        }
    }
    ASSERT_NE(last.piece, Empty);
    static DemoEnding reported;
    reported = DemoEnding::None;
    demoGameOverHook = [](DemoEnding ending) { reported = ending; };
    demoMode = 1;
    bestLine[0] = last;
    bestLine[1] = NullMove;
    searchScore = 0;
    EXPECT_TRUE(PlayEngineMove());
    EXPECT_EQ(reported, DemoEnding::QuietPlies);
    EXPECT_EQ(plyCount, 0);
    demoMode = 0;
}

TEST_P(EitherEngineFlowTest, Hint) {
    // A one-entry-pair library: generated move 0 (with a reply) and generated move 1.
    const std::vector<uint8_t> twoFirstMoves = {0, 0x40, 0x80, 0x81};
    struct Row {
        const char* name;
        bool library;
        bool predicted;
    };
    const Row rows[] = {
        {"a search", false, false},
        {"a library reply", true, false},
        {"the prediction already made", false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        UseOpeningLibrary(row.library ? twoFirstMoves : std::vector<uint8_t>{});
        NewGame();
        const MoveRecord madeEarlier = Generated("b0c2");
        if (row.predicted) predictedLine[0] = madeEarlier;
        // The library's choice for the first random draw of seed 1.
        SeedRandom(1);
        const int r = Random(16);
        const int libraryIndex = (r >= 7 && r <= 9) || r == 12 || r == 14 ? 1 : 0;
        SeedRandom(1);
        timeLimit = 5.0;
        maxDepth = 4;
        Hint();
        EXPECT_EQ(recordTop, -1);
        EXPECT_EQ(plyCount, 0);
        EXPECT_TRUE(PositionIsConsistent());
        if (row.predicted) {
            EXPECT_TRUE(SameMove(predictedLine[0], madeEarlier));
            continue;
        }
        EXPECT_TRUE(IsLegalMove(predictedLine[0]));
        EXPECT_EQ(predictedLine[1].piece, Empty);
        EXPECT_EQ(predictedScore, -searchScore);
        if (row.library) {
            GenerateMoves();
            for (int k = 0; k <= libraryIndex; ++k)
                NextMove();
            EXPECT_TRUE(SameMove(predictedLine[0], currentMove));
            EXPECT_EQ(iterationDepth, 0);
            EXPECT_EQ(nodeCount, 0u);
            EXPECT_EQ(searchScore, 0);
        } else {
            // The classic engine's hint is one iteration; the 大师 engine's goes on within the
            // hint's time, here to the level's depth.
            EXPECT_EQ(iterationDepth, GetParam() == EngineKind::Classic ? 1 : 4);
            EXPECT_GT(nodeCount, 0u);
        }
    }
}

TEST_P(EitherEngineFlowTest, AClickDuringAHintWaitsForItAndIsThenAnOrdinaryMove) {
    levelKind = kLevelFixedDepth;
    maxDepth = 1;
    timeLimit = 5.0;
    const MoveRecord userMove = Generated("h2e2");
    PostMessage(Click(userMove.from, userMove.to));
    Hint();
    EXPECT_EQ(plyCount, 0) << "nothing was played inside the hint's search";
    EXPECT_EQ(computerThinking, 0);
    EXPECT_TRUE(IsLegalMove(predictedLine[0]));
    EXPECT_TRUE(MessagesPending()) << "the click is not lost";
    EXPECT_EQ(DispatchPendingMessages(), 1);
    EXPECT_EQ(plyCount, 2) << "the user's move and the engine's answer";
    EXPECT_TRUE(SameMove(lastPlayerMove, NullMove));
    EXPECT_EQ(sideToMove, Red);
    EXPECT_TRUE(PositionIsConsistent());
}

TEST_P(EitherEngineFlowTest, TheEngineAlwaysPlaysALegalMoveWhenItHasOne) {
    struct Row {
        const char* name;
        const char* fen;  // nullptr: the opening array with the library below
        std::vector<std::string> moves;
        const char* libraryReply;  // the library's reply after the moves; nullptr: none
        int replyIndex;            // used instead when libraryReply is nullptr and >= 0
    };
    const Row rows[] = {
        {"every legal move repeats a position",
         "5k3/9/9/9/4r4/9/9/9/9/3K5 w",
         {"d0d1", "e5e6", "d1d0", "e6e5"},
         nullptr,
         -1},
        {"the library names a move past the generated list", nullptr, {}, nullptr, 63},
        {"the library names a move that leaves the King in check",
         nullptr,
         {"h2e2", "h7e7", "e2e6"},
         "a9a8",
         -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        levelKind = kLevelFixedDepth;
        maxDepth = 2;
        if (row.fen) {
            UseOpeningLibrary({});
            SetUpPosition(row.fen);
        } else {
            // One line through the tree, each entry the only one of its list.
            std::vector<uint8_t> tree = {0};
            NewGame();
            for (const std::string& iccs : row.moves) {
                tree.push_back(static_cast<uint8_t>(GeneratedIndex(iccs) | 0xC0));
                PlayMove(Generated(iccs));
            }
            const int reply = row.libraryReply ? GeneratedIndex(row.libraryReply) : row.replyIndex;
            tree.push_back(static_cast<uint8_t>(reply | 0x80));
            UseOpeningLibrary(tree);
            NewGame();
        }
        testing::PlayGameMoves(row.moves);
        const Side engine = sideToMove;
        const int pliesBefore = plyCount;
        ComputerMove();
        EXPECT_EQ(plyCount, pliesBefore + 1);
        EXPECT_EQ(IsAttacked(sideToMove, KingSquare(engine)), 0);
        EXPECT_TRUE(PositionIsConsistent());
    }
}

TEST_F(FlowTest, LibraryMoveAndTheMessageTakenMeanwhile) {
    struct Row {
        const char* name;
        MessageKind kind;
        int32_t command;
        bool played;
    };
    const Row rows[] = {
        {"nothing pending", MessageKind::Timer, 0, true},
        {"a timer tick is dispatched", MessageKind::Timer, 1, true},
        {"stop keeps the move from being played", MessageKind::Command, kCommandStop, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        UseOpeningLibrary({0, 0x40, 0x80, 0x81});
        NewGame();
        levelKind = kLevelFixedDepth;
        maxDepth = 1;
        demoMode = row.played ? 0 : 1;  // "停止" also ends a demonstration
        userSide = Black;               // "对弈" at the start: the engine plays Red
        computerSide = Red;
        ClearMessages();
        if (row.command != 0) {
            Message message;
            message.kind = row.kind;
            message.command = row.command;
            PostMessage(message);
        }
        DisplayRecorder display;
        ComputerMove();
        EXPECT_EQ(display.calls.front(), testing::DisplayCall("SetCursor", "", 1));
        EXPECT_EQ(FindCall(display, 0, "ShowMessage", kUsingLibraryText) >= 0, true);
        EXPECT_FALSE(MessagesPending());
        if (row.played) {
            EXPECT_EQ(plyCount, 1);
            EXPECT_TRUE(usingLibrary);
        } else {
            EXPECT_EQ(plyCount, 0);
            EXPECT_EQ(recordTop, -1);
            EXPECT_EQ(demoMode, 0);
            EXPECT_EQ(userSide, sideToMove);  // the user makes the move the engine did not
        }
        demoMode = 0;
        EXPECT_TRUE(PositionIsConsistent());
    }
}

// A few demonstration games at a small depth; board cells and piece lists agree after every move.
TEST_P(EitherEngineFlowTest, DemonstrationSoak) {
    class ConsistencyCheck : public Display {
      public:
        int moves = 0;
        int inconsistent = 0;
        // Called after every move played; not while a new game is being set up.
        void RedrawChangedSquares() override {
            ++moves;
            if (!PositionIsConsistent()) ++inconsistent;
        }
    } check;
    SetDisplay(&check);
    static int gamesEnded;
    gamesEnded = 0;
    demoGameOverHook = [](DemoEnding ending) {
        EXPECT_NE(ending, DemoEnding::None);
        if (++gamesEnded == 2) demoMode = 0;
    };
    levelKind = kLevelFixedDepth;
    maxDepth = 2;
    demoMode = 1;
    ComputerTurn();
    SetDisplay(nullptr);
    EXPECT_EQ(gamesEnded, 2);
    EXPECT_GT(check.moves, 10);
    EXPECT_EQ(check.inconsistent, 0);
}

// An added engine in the game: the fake engine of the host tests (tests/host/fake_engine.cpp)
// plays the first legal move it generates and misbehaves as its arguments ask; its log holds every
// line it read after "pid N".
class AddedEngineFlowTest : public FlowTest {
  protected:
    void SetUp() override {
        FlowTest::SetUp();
        engineLateMargin = std::chrono::milliseconds(200);
        addedEngines.clear();
    }
    void TearDown() override {
        EndAddedEngine();
        addedEngines.clear();
        engineLateMargin = kEngineLateMargin;
        FlowTest::TearDown();
    }

    // Makes the fake engine with `flags` the game's engine, its lines logged.
    void UseFake(std::initializer_list<std::string> flags) {
        std::string words = "uci";
        for (const std::string& flag : flags)
            words += " " + flag;
        host::EngineSetup setup = testing::FakeSetup(words, host::Protocol::Uci);
        // Told how it counts ranks, the client sends the game's moves rather than where they led.
        setup.ranks = host::Ranks::FromZero;
        setup.command.arguments.push_back("log=" + log_.string());
        addedEngines = {setup};
        ChooseAddedEngineAt(0);
    }
    // After its move the engine thinks on the user's time until the user acts: a menu command
    // ends that (it runs once the search has unwound).
    static void EndPonderingByACommand() {
        userActions.push_back({[] { return pondering && thinking; },
                               [] { return MenuCommand(kCommandSound); }, false, 0});
    }
    std::string Log() const { return testing::ReadWholeFile(log_); }
    int EnginePid() const {
        const std::string log = Log();
        const size_t at = log.find("pid ");
        return at == std::string::npos ? -1 : std::atoi(log.c_str() + at + 4);
    }

    testing::TempFolder folder_;
    std::filesystem::path log_ = folder_ / "engine.log";
};

TEST_F(AddedEngineFlowTest, TheAddedEnginesMoveIsPlayedWithItsLineAndValue) {
    levelKind = kLevelEasy;  // a move time; no pondering after the move
    UseFake({});
    DisplayRecorder display;
    ASSERT_TRUE(UserPlays("h2e2"));

    // The fake engine answers with the first legal move of the generator and its first reply.
    EXPECT_EQ(plyCount, 2);
    EXPECT_TRUE(PositionIsConsistent());
    Position afterUser = gamePosition;
    SwapSides(afterUser);
    MakeMove(afterUser, GameRecord[-1], true);
    MoveList legal;
    GenerateLegalMoves(afterUser, legal);
    EXPECT_TRUE(SameMove(GameRecord[-1], legal.slot[1]));
    EXPECT_NE(predictedLine[0].piece, Empty);
    EXPECT_EQ(iterationDepth, 2);
    EXPECT_TRUE(AddedEngineFailure().empty());
    // The game from its start, then a move time from the level.
    const std::string log = Log();
    const bool fromStart =
        log.find("position startpos moves h2e2\n") != std::string::npos ||
        log.find("position fen " + std::string(kStartFen) + " moves h2e2\n") != std::string::npos;
    EXPECT_TRUE(fromStart) << log;
    EXPECT_NE(log.find("go movetime "), std::string::npos) << log;
    EXPECT_EQ(FindCall(display, 0, "MessageBox"), -1);
    // The engine keeps running between moves and is ended when the game's engine changes.
    const int pid = EnginePid();
    ASSERT_GT(pid, 0);
    ASSERT_NE(RunningAddedEngine(), nullptr);
    EXPECT_FALSE(testing::ProcessGone(pid));
    ChooseEngine(EngineKind::Classic);
    EXPECT_EQ(RunningAddedEngine(), nullptr);
    EXPECT_TRUE(testing::ProcessEnds(pid));
}

// The added engine plays its own openings: our library, which has replies here, is not asked.
TEST_F(AddedEngineFlowTest, AHintIsTheAddedEnginesMoveForTheUser) {
    UseOpeningLibrary({0, 0x40, 0x80, 0x81});
    NewGame();
    UseFake({});
    Hint();
    EXPECT_TRUE(SameMove(predictedLine[0], LegalMoves().front()));
    EXPECT_EQ(plyCount, 0);
    EXPECT_NE(Log().find("go movetime 1000\n"), std::string::npos) << Log();
}

TEST_F(AddedEngineFlowTest, StopEndsAnInfiniteSearchAndItsMoveIsPlayed) {
    levelKind = kLevelUnlimited;
    UseFake({});
    userActions.push_back({[] { return timedThinking && thinking; },
                           [] { return MenuCommand(kCommandStop); }, false, 0});
    EndPonderingByACommand();
    ASSERT_TRUE(UserPlays("h2e2"));
    ASSERT_TRUE(userActions[0].posted);
    EXPECT_EQ(plyCount, 2);
    const std::string log = Log();
    EXPECT_LT(log.find("go infinite"), log.find("stop"));
}

TEST_F(AddedEngineFlowTest, ThePredictedReplyTurnsPonderingIntoTheEnginesOwnSearch) {
    levelKind = kLevelPerMove;
    UseFake({});
    userActions.push_back({[] { return pondering != 0 && thinking; },
                           [] { return Click(GameRecord[-1].from, GameRecord[-1].to); }, false, 0});
    EndPonderingByACommand();
    ASSERT_TRUE(UserPlays("h2e2"));
    ASSERT_TRUE(userActions[0].posted);
    // User, engine, the predicted reply, the engine's answer.
    EXPECT_EQ(plyCount, 4);
    EXPECT_TRUE(PositionIsConsistent());
    const std::string log = Log();
    EXPECT_LT(log.find("go ponder"), log.find("ponderhit")) << log;
}

// Every way an engine can fail leaves the game as it was after the user's move, tells the user
// which engine did what, gives the side to move to the user and leaves no process behind.
TEST_F(AddedEngineFlowTest, AFailingEngineLeavesTheGameAndTheUserIsTold) {
    const struct {
        const char* name;
        std::initializer_list<std::string> flags;
        uint8_t level;
        const char* told;  // what the message says
        bool stop;         // the user stops the search
    } rows[] = {
        {"cannot start", {"exit-at-start"}, kLevelEasy, "无法启动", false},
        {"exits at go", {"exit-at-go"}, kLevelEasy, "Fake", false},
        {"illegal move", {"illegal"}, kLevelEasy, "Fake", false},
        {"malformed move", {"malformed"}, kLevelEasy, "Fake", false},
        {"hangs past its time", {"no-bestmove", "ignore-stop"}, kLevelEasy, "Fake", false},
        {"ignores stop", {"ignore-stop"}, kLevelUnlimited, "Fake", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        levelTime = 0.1;
        levelKind = row.level;
        std::filesystem::remove(log_);
        UseFake(row.flags);
        if (row.stop) {
            userActions.push_back({[] { return timedThinking && thinking; },
                                   [] { return MenuCommand(kCommandStop); }, false, 0});
        }
        DisplayRecorder display;
        ASSERT_TRUE(UserPlays("h2e2"));
        EXPECT_EQ(plyCount, 1);
        EXPECT_TRUE(PositionIsConsistent());
        EXPECT_EQ(userSide, sideToMove);
        EXPECT_EQ(computerThinking, 0);
        const std::string failure = AddedEngineFailure();
        EXPECT_NE(failure.find(row.told), std::string::npos) << failure;
        EXPECT_EQ(display.MessageLine(), failure);
        EXPECT_GE(FindCall(display, 0, "MessageBox", failure), 0);
        EXPECT_EQ(RunningAddedEngine(), nullptr);
        EXPECT_TRUE(testing::ProcessEnds(EnginePid())) << Log();
    }
}

TEST_F(AddedEngineFlowTest, AChosenEngineNoLongerListedGivesWayToTheClassicEngine) {
    UseFake({});
    addedEngineName = "Gone";
    DisplayRecorder display;
    EXPECT_FALSE(KeepChosenEngineValid());
    EXPECT_EQ(engineKind, EngineKind::Classic);
    EXPECT_NE(display.MessageLine().find("Gone"), std::string::npos);

    addedEngines[0].name = "Renamed";
    engineKind = EngineKind::Added;
    addedEngineName = "Renamed";
    EXPECT_TRUE(KeepChosenEngineValid());
    EXPECT_EQ(engineKind, EngineKind::Added);
}

// Real engines as added engines: our own over UCI, and the peers installed here (skipped when
// missing), each a few moves of a real game with every reply legal, whatever it chose.
TEST_F(AddedEngineFlowTest, RealEnginesAsAddedEnginesPlayAFewMoves) {
    const struct {
        const char* name;
        const char* program;
        host::Protocol protocol;
    } rows[] = {
        {"lanchuan-engine", LANCHUAN_ENGINE, host::Protocol::Auto},
        {"Fairy-Stockfish", "/usr/games/fairy-stockfish", host::Protocol::Auto},
        // Its UCI side plays no Xiangqi.
        {"Sjaak II", "/usr/games/sjaakii", host::Protocol::Xboard},
        {"MaxQi", "/usr/games/maxqi", host::Protocol::Auto},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (!std::filesystem::exists(row.program)) continue;
        SetUp();
        host::EngineSetup setup;
        setup.name = row.name;
        setup.command.program = row.program;
        setup.protocol = row.protocol;
        addedEngines = {setup};
        ChooseAddedEngineAt(0);
        levelKind = kLevelEasy;
        levelTime = 0.2;
        // Engines that count their time in whole seconds (XBoard's st) take the full margin.
        engineLateMargin = kEngineLateMargin;
        // The user's moves are the first legal ones, whatever the engine played.
        for (int move = 0; move < 3 && !gameOver; ++move) {
            const int32_t before = plyCount;
            const MoveRecord user = LegalMoves().front();
            ASSERT_TRUE(HandleBoardMove(user.from, user.to));
            ASSERT_EQ(plyCount, before + 2) << AddedEngineFailure();
            EXPECT_TRUE(PositionIsConsistent());
        }
        EXPECT_TRUE(AddedEngineFailure().empty()) << AddedEngineFailure();
        EndAddedEngine();
    }
}

}  // namespace
}  // namespace xq
