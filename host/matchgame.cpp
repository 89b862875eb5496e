#include "host/matchgame.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>

#include "host/adjudicator.h"
#include "rules/referee.h"

namespace xq::host {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How often a waiting game looks at the stop flag.
constexpr milliseconds kStopCheck{50};
// A mate score in centipawns, for the adjudication's comparisons.
constexpr int kMateScore = 30000;

// Whether `failure` is `pattern` said of the engine `name`; the pattern's other value (the
// move, the exit code) into `detail`. The client words its failures through these patterns.
const char* ColourName(int side) {
    return side == Red ? "Red" : "Black";
}

class Game {
  public:
    Game(const MatchSettings& settings, const GameJob& job, const std::atomic<bool>& stop)
        : settings_(settings),
          job_(job),
          stop_(stop),
          referee_(settings.maxPlies),
          adjudicator_(settings.adjudication) {
        record_.number = job.number;
        record_.redEngine = job.redEngine;
        record_.red = job.names[job.redEngine];
        record_.black = job.names[1 - job.redEngine];
        record_.opening = job.opening;
        for (int64_t& left : clock_)
            left = settings.timeControl.base;
    }

    GameRecordOut Play(const MovePlayed& movePlayed);

  private:
    bool StartEngines();
    bool PlayOpening();
    // Asks the side to move for its move and plays it; false when the game ended.
    bool EngineMove(const MovePlayed& movePlayed);
    bool WaitForMove(EngineClient& engine, int side, Clock::time_point sent, BestMove* best,
                     Clock::duration* used, SearchInfo* last);
    bool Adjudicate(int side, const SearchInfo& last);
    void JudgeRuling(const Ruling& ruling);
    void End(GameEnd end, int winner, std::string reason);
    void EndByFailure(int side);
    const std::string& NameOf(int side) const { return job_.names[EngineOf(side)]; }
    int EngineOf(int side) const { return side == Red ? job_.redEngine : 1 - job_.redEngine; }

    const MatchSettings& settings_;
    const GameJob& job_;
    const std::atomic<bool>& stop_;
    Referee referee_;
    std::unique_ptr<EngineClient> engines_[2];  // by side
    std::vector<std::string> moves_;            // from the opening's start, its moves included
    int64_t clock_[2];                          // milliseconds left by side; -1: no clock
    Adjudicator adjudicator_;
    Clock::time_point lastBestMove_{};
    bool ended_ = false;
    GameRecordOut record_;
};

GameRecordOut Game::Play(const MovePlayed& movePlayed) {
    if (StartEngines() && PlayOpening()) {
        while (!ended_ && EngineMove(movePlayed)) {
        }
    }
    if (!ended_) End(GameEnd::Stopped, -1, "");
    for (auto& engine : engines_) {
        if (engine) engine->Quit();
    }
    return record_;
}

bool Game::StartEngines() {
    for (int side : {Red, Black}) {
        if (stop_) {
            End(GameEnd::Stopped, -1, "");
            return false;
        }
        const EngineSetup& setup = settings_.engines[EngineOf(side)];
        std::string error;
        engines_[side] = EngineClient::Start(setup, &error);
        if (!engines_[side]) {
            End(GameEnd::Crash, Opponent(static_cast<Side>(side)),
                NameOf(side) + " could not start: " + error);
            return false;
        }
        engines_[side]->NewGame();
    }
    return true;
}

bool Game::PlayOpening() {
    std::string error;
    if (!referee_.Start(job_.opening.fen, &error)) {
        End(GameEnd::Stopped, -1, "bad opening: " + error);
        return false;
    }
    for (const std::string& move : job_.opening.moves) {
        Ruling ruling;
        if (!referee_.Play(move, &ruling)) {
            End(GameEnd::Stopped, -1, "bad opening move " + move);
            return false;
        }
        moves_.push_back(move);
    }
    JudgeRuling(referee_.Judge());
    return !ended_;
}

bool Game::EngineMove(const MovePlayed& movePlayed) {
    const int side = referee_.Current().sideToMove;
    EngineClient& engine = *engines_[side];
    const TimeControl& control = settings_.timeControl;
    GoLimits limits;
    limits.moveTime = control.moveTime;
    limits.depth = control.depth;
    if (control.base > 0) {
        for (int s : {Red, Black}) {
            limits.time[s] = clock_[s];
            limits.increment[s] = control.increment;
        }
    }
    if (!engine.SetPosition(job_.opening.fen, moves_)) {
        EndByFailure(side);
        return false;
    }
    // The engine's time runs from the moment `go` is sent.
    const Clock::time_point sent = Clock::now();
    if (!engine.Go(limits)) {
        EndByFailure(side);
        return false;
    }
    if (lastBestMove_ != Clock::time_point{}) {
        record_.turnaround.push_back(
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - lastBestMove_)
                .count());
    }
    BestMove best;
    Clock::duration used{};
    SearchInfo last;
    if (!WaitForMove(engine, side, sent, &best, &used, &last)) return false;
    lastBestMove_ = sent + used;  // when the answer arrived

    // The clock first: a move that came too late is not played.
    const int64_t spent = std::chrono::duration_cast<milliseconds>(used).count();
    const int64_t allowed = control.moveTime > 0 ? control.moveTime : clock_[side];
    if ((control.moveTime > 0 || control.base > 0) && spent > allowed + control.margin) {
        End(GameEnd::Timeout, Opponent(static_cast<Side>(side)), NameOf(side) + " loses on time");
        return false;
    }
    if (control.base > 0)
        clock_[side] = std::max<int64_t>(0, clock_[side] - spent) + control.increment;
    if (best.move.empty()) {
        if (best.claim == "resign") {
            End(GameEnd::Resign, Opponent(static_cast<Side>(side)), NameOf(side) + " resigns");
        } else if (!best.claim.empty()) {
            // The referee ends every game that has ended before an engine is asked.
            End(GameEnd::FalseClaim, Opponent(static_cast<Side>(side)),
                NameOf(side) + " makes a false claim: " + best.claim);
        } else {
            End(GameEnd::IllegalMove, Opponent(static_cast<Side>(side)),
                NameOf(side) + " has no move in a game that goes on");
        }
        return false;
    }
    Ruling ruling;
    if (!referee_.Play(best.move, &ruling)) {
        End(GameEnd::IllegalMove, Opponent(static_cast<Side>(side)),
            NameOf(side) + " makes an illegal move: " + best.move);
        return false;
    }
    moves_.push_back(best.move);
    record_.moves.push_back(best.move);
    if (movePlayed) movePlayed(best.move, referee_.Fen());
    JudgeRuling(ruling);
    if (!ended_) Adjudicate(side, last);
    return !ended_;
}

// Waits for the engine's answer within its time and margin, keeping its last scored line for
// the adjudication. False when the game ended meanwhile (failure, time, stop).
bool Game::WaitForMove(EngineClient& engine, int side, Clock::time_point sent, BestMove* best,
                       Clock::duration* used, SearchInfo* last) {
    const TimeControl& control = settings_.timeControl;
    const Clock::time_point start = sent;
    const bool timed = control.moveTime > 0 || control.base > 0;
    const int64_t allowed = control.moveTime > 0 ? control.moveTime : clock_[side];
    Clock::time_point deadline =
        timed ? start + milliseconds(allowed + control.margin) : start + kDepthSilence;
    for (;;) {
        if (stop_) {
            engine.Stop();
            WaitForBestMove(engine, best);
            End(GameEnd::Stopped, -1, "");
            return false;
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            // Silent past its time: the engine has hung, and is ended with the game.
            engine.Quit();
            End(GameEnd::Timeout, Opponent(static_cast<Side>(side)),
                NameOf(side) + (timed ? " loses on time" : " stops answering"));
            return false;
        }
        const auto wait = std::min<Clock::duration>(deadline - now, kStopCheck);
        SearchInfo info;
        switch (engine.Poll(std::chrono::duration_cast<milliseconds>(wait) + milliseconds(1), &info,
                            best)) {
            case Event::Info:
                if (info.hasScore && info.multiPv <= 1) *last = info;
                if (!timed) deadline = Clock::now() + kDepthSilence;
                break;
            case Event::BestMove:
                *used = Clock::now() - start;
                return true;
            case Event::Failed:
                EndByFailure(side);
                return false;
            case Event::None:
                break;
        }
    }
}

// Hands the mover's last score to the adjudications; true when one of them ended the game.
bool Game::Adjudicate(int side, const SearchInfo& last) {
    std::optional<int> score;
    if (last.hasScore) score = last.mate ? (last.score > 0 ? kMateScore : -kMateScore) : last.score;
    switch (adjudicator_.AfterMove(side, score, referee_.Plies())) {
        case Adjudicator::Outcome::None:
            return false;
        case Adjudicator::Outcome::Draw:
            End(GameEnd::AdjudicatedDraw, -1, "Draw by adjudication");
            return true;
        case Adjudicator::Outcome::RedWins:
            End(GameEnd::AdjudicatedWin, Red, "Red wins by adjudication");
            return true;
        case Adjudicator::Outcome::BlackWins:
            End(GameEnd::AdjudicatedWin, Black, "Black wins by adjudication");
            return true;
    }
    return false;
}

void Game::JudgeRuling(const Ruling& ruling) {
    const int winner = ruling.winner;
    switch (ruling.verdict) {
        case Verdict::None:
            return;
        case Verdict::Mate:
            return End(GameEnd::Mate, winner, std::string(ColourName(winner)) + " mates");
        case Verdict::Stalemate:
            return End(GameEnd::Stalemate, winner,
                       std::string(ColourName(1 - winner)) + " is stalemated");
        case Verdict::PerpetualCheck:
            return End(GameEnd::PerpetualCheck, winner,
                       std::string(ColourName(1 - winner)) + " loses by perpetual check");
        case Verdict::Repetition:
            return End(GameEnd::Repetition, -1, "Draw by 3-fold repetition");
        case Verdict::MoveLimit:
            return End(GameEnd::MoveLimit, -1, "Draw by move limit");
        case Verdict::NoAttackers:
            return End(GameEnd::NoAttackers, -1, "Draw by insufficient mating material");
    }
}

void Game::EndByFailure(int side) {
    const EngineClient& engine = *engines_[side];
    const std::string& name = NameOf(side);
    const Side winner = Opponent(static_cast<Side>(side));
    const std::string& detail = engine.FailureDetail();
    switch (engine.FailedWith()) {
        case Fault::IllegalMove:
            return End(GameEnd::IllegalMove, winner, name + " makes an illegal move: " + detail);
        case Fault::Nonsense:
            return End(GameEnd::Nonsense, winner, name + " writes no move: " + detail);
        case Fault::Flood:
            return End(GameEnd::Nonsense, winner, name + " floods its output");
        case Fault::NoAnswer:
        case Fault::NotStopped:
            return End(GameEnd::Timeout, winner, name + "'s connection stalls");
        case Fault::Exited:
        case Fault::Killed:
            return End(GameEnd::Crash, winner, name + " disconnects");
        case Fault::NoSetup:
            return End(GameEnd::Crash, winner, name + " cannot start from a set-up position");
        default:
            return End(GameEnd::Crash, winner, name + " fails: " + engine.Failure());
    }
}

void Game::End(GameEnd end, int winner, std::string reason) {
    if (ended_) return;
    ended_ = true;
    record_.end = end;
    record_.reason = std::move(reason);
    if (end == GameEnd::Stopped)
        record_.result = "*";
    else
        record_.result = winner == Red ? "1-0" : winner == Black ? "0-1" : "1/2-1/2";
}

}  // namespace

GameRecordOut PlayMatchGame(const MatchSettings& settings, const GameJob& job,
                            const std::atomic<bool>& stop, const MovePlayed& movePlayed) {
    Game game(settings, job, stop);
    return game.Play(movePlayed);
}

}  // namespace xq::host
