#include "engine/externalthink.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "engine/externalanalysis.h"
#include "engine/master/engine.h"
#include "engine/masterthink.h"
#include "engine/pump.h"
#include "engine/search.h"
#include "engine/think.h"
#include "platform/display.h"
#include "platform/texts.h"
#include "rules/board.h"
#include "rules/clock.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/record.h"

namespace xq {

std::chrono::milliseconds engineLateMargin = kEngineLateMargin;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long one wait for the engine's output lasts: the window's pump runs between two waits, so
// this is how often the window gets its events while the engine thinks.
constexpr milliseconds kPollSlice{10};
// A clock never reaches the engine as nothing left: a side out of time still gets a moment.
constexpr int64_t kShortestClockMilliseconds = 100;

// The added engine the game plays with, its process once started, and how its last search ended.
struct AddedEngine {
    host::EngineSetup setup;
    std::unique_ptr<host::EngineClient> client;
    std::string failure;
    // The game the engine was last given: a new start, or fewer moves, is a new game to it.
    std::string startFen;
    size_t moveCount = 0;
};
AddedEngine added;

bool SameSetup(const host::EngineSetup& a, const host::EngineSetup& b) {
    return a.name == b.name && a.command.program == b.command.program &&
           a.command.arguments == b.command.arguments && a.command.folder == b.command.folder &&
           a.protocol == b.protocol && a.ranks == b.ranks && a.options == b.options;
}

int64_t Milliseconds(double seconds) {
    return std::max<int64_t>(1, std::llround(seconds * 1000));
}

// The legal start of an engine's line of ICCS moves from the game's position.
std::vector<MoveRecord> LineFromIccs(std::span<const std::string> texts) {
    Position position = gamePosition;
    std::vector<MoveRecord> line;
    for (const std::string& text : texts) {
        Square from = 0;
        Square to = 0;
        if (line.size() + 1 >= kLineLength || !ParseIccs(text, &from, &to)) break;
        const MoveRecord move = FindLegalMove(position, from, to);
        if (move.piece == Empty) break;
        line.push_back(move);
        MakeMove(position, move, false);
        SwapSides(position);
    }
    return line;
}

void PublishLine(const std::vector<MoveRecord>& line, int32_t score) {
    if (line.empty()) return;
    std::copy(line.begin(), line.end(), bestLine);
    bestLine[line.size()] = NullMove;
    searchScore = score;
}

// The engine failed: it is ended, no move is left, and the user is told which engine did what.
// A demonstration stops, since every next move would ask the same engine. The reason is a copy:
// it is often the engine's own Failure(), which ending the engine destroys.
void Fail(std::string reason) {
    added.failure = reason;
    bestLine[0] = NullMove;
    EndAddedEngine();
    demoMode = 0;
    ShowMessage(reason);
    MessageBox(reason, Tr(kBoxCaption), BoxIcon::Exclamation);
}

std::string EngineName() {
    if (added.client) return added.client->DisplayName();
    return added.setup.name.empty() ? added.setup.command.program : added.setup.name;
}

// The running engine, started (and told of a new game) when it is not running yet.
host::EngineClient* StartedEngine() {
    if (added.client) return added.client.get();
    if (added.setup.command.program.empty()) {
        Fail(Tr(kNoAddedEngineText));
        return nullptr;
    }
    std::string error;
    added.client = host::EngineClient::Start(added.setup, &error);
    if (!added.client) {
        Fail(FormatText(kAddedEngineStartPattern, {EngineName(), error}));
        return nullptr;
    }
    added.startFen.clear();
    added.moveCount = 0;
    return added.client.get();
}

// Gives the engine the game up to the search's root; a new game first when this is not the
// game it was given last, continued.
bool SendGame(host::EngineClient& engine) {
    std::string startFen;
    std::vector<std::string> moves;
    GameForEngine(&startFen, &moves);
    const bool sameGame = startFen == added.startFen && moves.size() >= added.moveCount;
    if (!sameGame && !engine.NewGame()) return false;
    added.startFen = startFen;
    added.moveCount = moves.size();
    return engine.SetPosition(startFen, moves);
}

// The latest the answer of a search under `limits` may come before the engine is stopped;
// never for searches that only a stop ends (depth, infinite, pondering).
Clock::time_point Deadline(const host::GoLimits& limits) {
    if (limits.ponder || limits.infinite || limits.depth > 0) return Clock::time_point::max();
    int64_t budget = limits.moveTime;
    if (budget < 0) budget = limits.time[sideToMove == Red ? 0 : 1];
    if (budget < 0) return Clock::time_point::max();
    return Clock::now() + milliseconds(budget) + engineLateMargin;
}

void Report(const host::SearchInfo& info) {
    if (info.multiPv != 1) return;
    if (info.depth > 0) iterationDepth = info.depth;
    if (info.nodes > 0) nodeCount = info.nodes;
    if (!info.hasScore) return;
    const std::vector<MoveRecord> line = LineFromIccs(info.pv);
    if (line.empty()) return;
    PublishLine(line, ClassicScore(ScoreOfInfo(info)));
    if (timedThinking && !hinting) {
        ShowPanelValue("Depth", RootMoveText(iterationDepth, bestLine[0], sideToMove));
        ShowSearchLine(bestLine, searchScore, sideToMove);
    }
    if (iterationHook) iterationHook();
}

// One running search: the engine's lines until its answer, with the window's pump between two
// waits. Stops the engine on "停止", a click or command while pondering, and past its deadline;
// turns a pondering search into the engine's own when the user plays the predicted reply.
// False when the engine failed (it has been ended) or the search was abandoned.
bool AwaitAnswer(host::EngineClient& engine, const host::GoLimits& goLimits, int depthLimit,
                 host::BestMove* best) {
    bool ponderSearch = goLimits.ponder;
    Clock::time_point deadline = Deadline(goLimits);
    host::SearchInfo info;
    for (;;) {
        switch (engine.Poll(kPollSlice, &info, best)) {
            case host::Event::BestMove:
                return !ponderSearch;
            case host::Event::Failed:
                Fail(engine.Failure());
                return false;
            case host::Event::Info:
                Report(info);
                break;
            case host::Event::None:
                break;
        }
        PumpMessagesFromPoll();
        if (ponderSearch && timedThinking) {
            // The predicted reply was played: the engine's clock starts now.
            ponderSearch = false;
            if (!engine.PonderHit()) {
                Fail(engine.Failure());
                return false;
            }
            deadline = Deadline(LevelLimits(depthLimit, false));
        }
        if (stopSearch || Clock::now() > deadline) {
            const bool abandoned = ponderSearch;
            if (!engine.Stop() || !host::WaitForBestMove(engine, best)) {
                Fail(engine.Failure());
                return false;
            }
            return !abandoned;
        }
    }
}

// On the user's time with an engine that does not ponder: nothing searches, the window's pump
// runs until the user moves (or chooses a command). True when the user played the predicted
// reply, which leaves the engine's own search to be made now.
bool WaitForTheUser(host::EngineClient& engine) {
    host::SearchInfo info;
    host::BestMove best;
    while (!stopSearch && !timedThinking) {
        if (engine.Poll(kPollSlice, &info, &best) == host::Event::Failed) {
            Fail(engine.Failure());
            return false;
        }
        PumpMessagesFromPoll();
    }
    return timedThinking && !stopSearch;
}

// The engine's answer as the game's move and line: the move must be legal here; the line is its
// last reported line when that begins with the move, else the move and the reply it expects.
void TakeAnswer(host::EngineClient& engine, const host::BestMove& best) {
    if (best.move.empty()) {
        if (HasLegalMove()) {
            const std::string said = best.claim.empty() ? std::string("(none)") : best.claim;
            Fail(FormatText(kAddedEngineNoMovePattern, {engine.DisplayName(), said}));
        }
        return;
    }
    const std::vector<MoveRecord> played = LineFromIccs(std::span(&best.move, 1));
    if (played.empty()) {
        Fail(FormatText(kEngineIllegalMovePattern, {engine.DisplayName(), best.move}));
        return;
    }
    if (bestLine[0].piece != Empty && SameMove(bestLine[0], played[0])) return;
    std::vector<std::string> line = {best.move};
    if (!best.ponder.empty()) line.push_back(best.ponder);
    PublishLine(LineFromIccs(line), searchScore);
}

// The search of ExternalThinkAndChoose and ExternalHint under `limits`.
void SearchWithin(int depthLimit, host::GoLimits limits) {
    // 1. The game as it stands for the window, a fresh clock and count, no stop, no line.
    StartSearchOfTheGame();
    added.failure.clear();
    // 2. The engine, running, with the game.
    host::EngineClient* engine = StartedEngine();
    if (engine == nullptr) return;
    if (!SendGame(*engine)) {
        Fail(engine->Failure());
        return;
    }
    thinking = 1;
    // 3. On the user's time, an engine that cannot ponder waits with the game until the reply.
    if (limits.ponder && !engine->Identity().offersPonder) {
        const bool replied = WaitForTheUser(*engine);
        if (!replied) {
            thinking = 0;
            return;
        }
        limits = LevelLimits(depthLimit, false);
    }
    // 4. The search and its answer.
    host::BestMove best;
    bool answered = false;
    if (engine->Go(limits)) {
        answered = AwaitAnswer(*engine, limits, depthLimit, &best);
    } else {
        Fail(engine->Failure());
    }
    thinking = 0;
    if (answered) {
        TakeAnswer(*engine, best);
    } else {
        bestLine[0] = NullMove;
    }
    // 5. The node rate.
    Lap(searchClock);
    if (timedThinking) ShowNodeRate(searchClock.elapsed);
}

}  // namespace

void UseAddedEngine(const host::EngineSetup& setup) {
    if (!SameSetup(setup, added.setup)) EndAddedEngine();
    added.setup = setup;
}

void EndAddedEngine() {
    if (!added.client) return;
    added.client->Quit();
    added.client.reset();
}

host::EngineClient* RunningAddedEngine() {
    return added.client.get();
}

const std::string& AddedEngineFailure() {
    return added.failure;
}

void GameForEngine(std::string* startFen, std::vector<std::string>* moves) {
    PositionForEngine(gamePosition, GameHistory(), startFen, moves);
}

host::GoLimits LevelLimits(int depthLimit, bool ponder) {
    host::GoLimits limits;
    limits.ponder = ponder;
    if (noTimeLimit) {
        limits.infinite = true;
        return limits;
    }
    const double moveSeconds = timeLimit > 0 ? timeLimit : levelTime;
    switch (levelKind) {
        case kLevelPerMove:
        case kLevelEasy:
        case kLevelMatching:
            limits.moveTime = Milliseconds(moveSeconds);
            break;
        case kLevelPerGame:
            for (const Side side : {Red, Black}) {
                const double left = levelTime * 60 - sideClock[side].elapsed;
                limits.time[side == Red ? 0 : 1] =
                    std::max(kShortestClockMilliseconds, Milliseconds(left));
            }
            break;
        case kLevelUnlimited:
            limits.infinite = true;
            break;
        default:
            limits.depth = std::max(1, depthLimit);
            break;
    }
    return limits;
}

void ExternalThinkAndChoose(int depthLimit) {
    SearchWithin(depthLimit, LevelLimits(depthLimit, pondering != 0));
}

void ExternalHint() {
    const double seconds = timeLimit > 0 ? std::min(timeLimit, kHintSeconds) : kHintSeconds;
    host::GoLimits limits;
    limits.moveTime = Milliseconds(seconds);
    SearchWithin(maxDepth, limits);
}

}  // namespace xq
