#include "host/match.h"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <mutex>
#include <thread>

#include "host/matchgame.h"
#include "host/matchpgn.h"
#include "host/openings.h"

namespace xq::host {
namespace {

bool CheckSettings(const MatchSettings& settings, std::string* error) {
    if (settings.games < 1 || settings.rounds < 1) {
        *error = "a match needs at least one game";
        return false;
    }
    if (settings.concurrency < 1) {
        *error = "the concurrency must be at least 1";
        return false;
    }
    const TimeControl& control = settings.timeControl;
    if (control.moveTime <= 0 && control.base <= 0 && control.depth <= 0) {
        *error = "no time control: give st, tc or depth";
        return false;
    }
    return CheckOpenings(settings.openings, error);
}

// Runs each engine once to see that it starts and to learn the name it plays under.
bool ProbeEngines(const MatchSettings& settings, std::string (&names)[2], std::string* error) {
    for (int i = 0; i < 2; ++i) {
        std::unique_ptr<EngineClient> engine = EngineClient::Start(settings.engines[i], error);
        if (!engine) return false;
        names[i] = engine->DisplayName();
        engine->Quit();
    }
    if (names[0] == names[1]) {
        names[0] += " (1)";
        names[1] += " (2)";
    }
    return true;
}

// What the games share: the next game to begin, the score, the PGN file, and the lock that
// makes the events come one at a time.
class MatchState {
  public:
    MatchState(const MatchSettings& settings, const MatchEvents& events,
               const std::atomic<bool>& stop, std::ofstream* pgn)
        : settings_(settings), events_(events), stop_(stop), pgn_(pgn) {}

    void SetNames(const std::string (&names)[2]) {
        names_[0] = names[0];
        names_[1] = names[1];
    }
    // Plays games until none is left or the match is stopped.
    void Work();
    MatchScore Score() const { return score_; }

  private:
    GameJob NextJob(int index) const;
    void Finish(const GameRecordOut& game);

    const MatchSettings& settings_;
    const MatchEvents& events_;
    const std::atomic<bool>& stop_;
    std::ofstream* pgn_;
    std::string names_[2];
    std::atomic<int> next_{0};
    std::mutex lock_;
    MatchScore score_;
};

GameJob MatchState::NextJob(int index) const {
    GameJob job;
    job.number = index + 1;
    // Colours alternate from game to game, so each opening of -repeat is played from both sides.
    job.redEngine = index % 2;
    job.names[0] = names_[0];
    job.names[1] = names_[1];
    const std::vector<Opening>& openings = settings_.openings;
    if (!openings.empty()) {
        const size_t slot = static_cast<size_t>(settings_.repeat ? index / 2 : index);
        job.opening = openings[slot % openings.size()];
    }
    return job;
}

void MatchState::Work() {
    const int total = settings_.games * settings_.rounds;
    while (!stop_) {
        const int index = next_++;
        if (index >= total) return;
        const GameJob job = NextJob(index);
        {
            std::lock_guard hold(lock_);
            if (events_.gameStarted) {
                events_.gameStarted(job.number, job.names[job.redEngine],
                                    job.names[1 - job.redEngine], job.opening);
            }
        }
        const MovePlayed movePlayed = [&](const std::string& move, const std::string& fen) {
            std::lock_guard hold(lock_);
            if (events_.movePlayed) events_.movePlayed(job.number, move, fen);
        };
        Finish(PlayMatchGame(settings_, job, stop_, movePlayed));
    }
}

void MatchState::Finish(const GameRecordOut& game) {
    std::lock_guard hold(lock_);
    if (game.result != "*") {
        const bool firstIsRed = game.redEngine == 0;
        if (game.result == "1/2-1/2")
            ++score_.draws;
        else if ((game.result == "1-0") == firstIsRed)
            ++score_.wins;
        else
            ++score_.losses;
        if (pgn_) {
            *pgn_ << FormatMatchGame(game, settings_, PgnDate(std::time(nullptr)));
            pgn_->flush();
        }
    }
    if (events_.gameEnded) events_.gameEnded(game, score_);
}

}  // namespace

bool RunMatch(const MatchSettings& settings, const MatchEvents& events,
              const std::atomic<bool>& stop, MatchScore* score, std::string* error) {
    *score = MatchScore{};
    if (!CheckSettings(settings, error)) return false;
    std::string names[2];
    if (!ProbeEngines(settings, names, error)) return false;
    std::ofstream pgn;
    if (!settings.pgnPath.empty()) {
        pgn.open(settings.pgnPath, std::ios::app | std::ios::binary);
        if (!pgn) {
            *error = "cannot write the PGN file " + settings.pgnPath;
            return false;
        }
    }
    MatchState state(settings, events, stop, settings.pgnPath.empty() ? nullptr : &pgn);
    state.SetNames(names);
    const int total = settings.games * settings.rounds;
    std::vector<std::thread> threads;
    for (int i = 0; i < std::min(settings.concurrency, total); ++i)
        threads.emplace_back([&state] { state.Work(); });
    for (std::thread& thread : threads)
        thread.join();
    *score = state.Score();
    return true;
}

}  // namespace xq::host
