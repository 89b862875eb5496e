// xq-bench soak: random sequences of what a user does through the board and the menus, run on the
// core alone, with the position, the game record and what can be taken back or replayed checked
// after every action.
//
// The menu is modelled as the menu commands keep it: "悔棋" is enabled by every accepted user move
// and by "重下", "重下" by "悔棋", and each is disabled only when its own command reports that
// nothing is left (or by "新建"). The core must refuse safely whatever that model lets through.
// While the engine searches, the native-event pull plays the user: a click on the predicted reply
// or on another move while the engine ponders, "停止" while it thinks on its own move.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "engine/commands.h"
#include "engine/editor.h"
#include "engine/flow.h"
#include "engine/search.h"
#include "engine/think.h"
#include "engine/windowprocedure.h"
#include "platform/messages.h"
#include "platform/random.h"
#include "platform/timeofday.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/movegen.h"
#include "rules/record.h"

#include "tools/bench/bench.h"

namespace xq::bench {

namespace {

// A click's x names how the window picks the move when the click is handed to it, on the position
// it then shows.
constexpr int32_t kClickPredictedReply = -1;  // the reply above recordTop while pondering
constexpr int32_t kClickRandomMove = -2;      // any legal move of the side to move

std::mt19937_64 soakRandom;

int Below(int n) {
    return static_cast<int>(soakRandom() % static_cast<uint64_t>(n));
}

bool Chance(int percent) {
    return Below(100) < percent;
}

MoveRecord RandomLegalMove() {
    const std::vector<MoveRecord> legal = LegalMoves();
    return legal.empty() ? NullMove : legal[Below(static_cast<int>(legal.size()))];
}

Message Click(int32_t how) {
    Message message;
    message.kind = MessageKind::LeftButtonDown;
    message.x = how;
    return message;
}

// The board window: a click completes a move chosen as its x says.
int64_t SoakWindow(const Message& message) {
    if (message.kind != MessageKind::LeftButtonDown) return 0;
    MoveRecord move = NullMove;
    if (message.x == kClickPredictedReply && pondering) move = GameRecord[recordTop + 1];
    if (move.piece == Empty) move = RandomLegalMove();
    if (move.piece == Empty || gameOver) return 0;
    return HandleBoardMove(move.from, move.to) ? 1 : 0;
}

// The user at the board while the engine searches.
void PullUserActions() {
    if (MessagesPending()) return;
    if (pondering && Chance(30)) {
        PostMessage(Click(Chance(50) ? kClickPredictedReply : kClickRandomMove));
    } else if (timedThinking && computerThinking && Chance(5)) {
        Message stop;
        stop.command = kCommandStop;
        PostMessage(stop);
    }
}

// Pulls come every few hundred searched moves when every read of the tick count is 10 ms later;
// short pauses end at once.
uint32_t soakTicks = 0;
uint32_t FastTicks() {
    return soakTicks += 10;
}

struct Menu {
    bool takeBack = false;
    bool replay = false;
};

struct Counts {
    long moves = 0;
    long takeBacks = 0;
    long replays = 0;
    long hints = 0;
    long passes = 0;
    long newGames = 0;
    long setUps = 0;
    long inconsistencies = 0;
};

void SidesFromThePosition() {
    userSide = sideToMove;
    computerSide = otherSide;
}

// Each replayable ply must be a legal move when its turn comes; the position is left as found.
bool ReplayablePliesAreLegal() {
    const int plies = 2 * replayableFullMoves;
    int played = 0;
    bool legal = true;
    for (; played < plies && legal; ++played) {
        const MoveRecord move = GameRecord[recordTop + 1];
        const MoveRecord generated = FindGeneratedMove(move.from, move.to);
        legal = generated.piece != Empty && SameMove(generated, move) && !LeavesKingAttacked(move);
        if (!legal) break;
        PlayMove(move);
    }
    while (played-- > 0)
        TakeBackMove(GameRecord[recordTop]);
    return legal;
}

// What is wrong with the core between two actions; empty when nothing is.
std::string CoreFault() {
    if (!PositionIsConsistent()) return "board and piece lists disagree";
    for (Side side = Red; side <= Black; ++side) {
        const PieceEntry& king = pieceList[side].entry[0];
        if (king.kind != King || !IsBoardPoint(king.square)) return "a King is missing";
    }
    if (IsAttacked(sideToMove, KingSquare(otherSide))) return "the side to move can take a King";
    if (thinking || computerThinking || hinting || pondering) return "an engine flag stayed set";
    if (recordTop < kRecordBottom || recordTop > -1) return "recordTop outside the game";
    if (plyCount < 0) return "negative ply count";
    for (int i = recordTop; i > kRecordBottom && GameRecord[i].piece != Empty; --i) {
        if (!IsBoardPoint(GameRecord[i].from) || !IsBoardPoint(GameRecord[i].to))
            return "a game move off the board";
    }
    if (replayableFullMoves < 0 || recordTop + 2 * replayableFullMoves > -1)
        return "more to replay than the record holds";
    if (!ReplayablePliesAreLegal()) return "a replayable move is not legal";
    if (CanTakeBackFullMove() && plyCount < 2) return "a take-back below the first move";
    return "";
}

// A position set up in the position editor: after a game of random legal moves, random clicks
// with random palette pieces and now and then the other side to move, ended with "完成", or with
// "忽略" when the check refuses the position (and now and then instead of "完成").
void SetUpRandomPosition() {
    NewGame();
    const int plies = Below(60);
    for (int i = 0; i < plies; ++i) {
        const MoveRecord move = RandomLegalMove();
        if (move.piece == Empty) break;
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        SlideRecord();
    }
    RunCommand(kCommandEdit);
    const int clicks = Below(8);
    for (int i = 0; i < clicks; ++i)
        EditSquare(MakeSquare(Below(kRanks), Below(kFiles)), Below(kPaletteSize));
    if (Chance(20)) RunCommand(Chance(50) ? kCommandEditRedTurn : kCommandEditBlackTurn);
    if (Chance(80)) RunCommand(kCommandEditDone);
    if (editMode) RunCommand(kCommandEditCancel);
    gameOver = 0;
}

void UserMove(Menu* menu, Counts* counts) {
    if (!HasLegalMove()) return;
    ++counts->moves;
    if (SendMessage(Click(kClickRandomMove)) != 0) menu->takeBack = true;
}

void AskForHint(Counts* counts) {
    ++counts->hints;
    // Now and then the user clicks a move before the hint's search has finished.
    const bool clickMeanwhile = Chance(30);
    if (clickMeanwhile) PostMessage(Click(kClickRandomMove));
    Hint();
    ShowPredictedLine();
    DispatchPendingMessages();
}

void OneAction(Menu* menu, Counts* counts) {
    const int roll = Below(100);
    if (roll < 45) {
        if (!gameOver) UserMove(menu, counts);
    } else if (roll < 60) {
        if (!menu->takeBack) return;
        ++counts->takeBacks;
        menu->takeBack = TakeBackFullMove();
        menu->replay = true;
        SidesFromThePosition();
    } else if (roll < 72) {
        if (!menu->replay) return;
        ++counts->replays;
        menu->replay = ReplayFullMove();
        menu->takeBack = true;
        SidesFromThePosition();
    } else if (roll < 82) {
        if (!gameOver) AskForHint(counts);
    } else if (roll < 92) {
        if (gameOver) return;
        ++counts->passes;
        userSide = otherSide;
        computerSide = sideToMove;
        ComputerTurn();
    } else if (roll < 96) {
        ++counts->newGames;
        NewGame();
        *menu = Menu{};
        SidesFromThePosition();
    } else {
        ++counts->setUps;
        SetUpRandomPosition();
        *menu = Menu{};
        SidesFromThePosition();
    }
}

}  // namespace

int RunSoak(std::vector<std::string> args) {
    uint64_t seed = 1;
    long depth = 2;
    if (!TakeSeed(&args, &seed) || !TakeNumberOption(&args, "--depth", &depth)) return Usage();
    long actions = 0;
    if (args.size() != 1 || (actions = std::strtol(args[0].c_str(), nullptr, 10)) <= 0 ||
        depth < 1 || depth > 6) {
        return Usage();
    }
    soakRandom.seed(seed);
    SeedRandom(static_cast<uint32_t>(seed));
    SetTickCountSource(FastTicks);
    SetWindowProcedure(kMainWindow, SoakWindow);
    SetNativeEventPull(PullUserActions);
    levelKind = kLevelFixedDepth;
    maxDepth = static_cast<uint8_t>(depth);
    soundOn = 0;
    NewGame();
    SidesFromThePosition();

    Menu menu;
    Counts counts;
    const auto start = std::chrono::steady_clock::now();
    for (long action = 1; action <= actions; ++action) {
        OneAction(&menu, &counts);
        const std::string fault = CoreFault();
        if (fault.empty()) continue;
        if (++counts.inconsistencies <= 10) std::printf("action %ld: %s\n", action, fault.c_str());
        // Go on from a sound state, so that one fault is not counted again and again.
        NewGame();
        menu = Menu{};
        SidesFromThePosition();
    }
    const double seconds = MillisecondsSince(start) / 1000.0;
    std::printf(
        "soak %ld actions: %ld moves, %ld take-backs, %ld replays, %ld hints, %ld passes, "
        "%ld new games, %ld set-ups; %ld inconsistent; %.1f s\n",
        actions, counts.moves, counts.takeBacks, counts.replays, counts.hints, counts.passes,
        counts.newGames, counts.setUps, counts.inconsistencies, seconds);
    SetNativeEventPull(nullptr);
    SetWindowProcedure(kMainWindow, {});
    SetTickCountSource(nullptr);
    return counts.inconsistencies == 0 ? 0 : 1;
}

}  // namespace xq::bench
