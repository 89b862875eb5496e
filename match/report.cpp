#include "match/report.h"

#include <algorithm>
#include <cmath>

namespace xq::match {
namespace {

std::string Number(double value) {
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[32];
    // Adding 0 turns a negative zero (an even score) into a zero.
    std::snprintf(text, sizeof text, "%.2f", value + 0.0);
    return text;
}

}  // namespace

std::string ScoreLine(const std::string& first, const std::string& second,
                      const host::MatchScore& score) {
    const int games = score.Games();
    const double ratio = games == 0 ? 0 : (score.wins + score.draws / 2.0) / games;
    char text[64];
    std::snprintf(text, sizeof text, ": %d - %d - %d  [%.3f] %d", score.wins, score.losses,
                  score.draws, ratio, games);
    return "Score of " + first + " vs " + second + text;
}

std::string EloLine(const host::MatchScore& score) {
    const host::EloEstimate elo = host::EstimateElo(score);
    return "Elo difference: " + Number(elo.difference) + " +/- " + Number(elo.interval);
}

std::string TurnaroundLine(std::vector<int64_t> micros) {
    if (micros.empty()) return "Turnaround: no moves";
    std::sort(micros.begin(), micros.end());
    return "Turnaround: median " + std::to_string(micros[micros.size() / 2]) + " us, worst " +
           std::to_string(micros.back()) + " us over " + std::to_string(micros.size()) + " moves";
}

host::MatchEvents Report::Events() {
    host::MatchEvents events;
    const int total = settings_.games * settings_.rounds;
    events.gameStarted = [this, total](int game, const std::string& red, const std::string& black,
                                       const host::Opening&) {
        std::fprintf(out_, "Started game %d of %d (%s vs %s)\n", game, total, red.c_str(),
                     black.c_str());
        std::fflush(out_);
    };
    events.gameEnded = [this](const host::GameRecordOut& game, const host::MatchScore& score) {
        // The first engine's name is the one that played Red in a game it began as Red.
        names_[game.redEngine] = game.red;
        names_[1 - game.redEngine] = game.black;
        turnaround_.insert(turnaround_.end(), game.turnaround.begin(), game.turnaround.end());
        std::fprintf(out_, "Finished game %d (%s vs %s): %s {%s}\n", game.number, game.red.c_str(),
                     game.black.c_str(), game.result.c_str(),
                     game.reason.empty() ? "No result" : game.reason.c_str());
        PrintScore(score);
    };
    return events;
}

void Report::PrintScore(const host::MatchScore& score) {
    std::fprintf(out_, "%s\n", ScoreLine(names_[0], names_[1], score).c_str());
    std::fflush(out_);
}

void Report::Finish(const host::MatchScore& score, bool latency) {
    if (score.Games() > 0) PrintScore(score);
    std::fprintf(out_, "%s\n", EloLine(score).c_str());
    if (latency) std::fprintf(out_, "%s\n", TurnaroundLine(turnaround_).c_str());
    std::fprintf(out_, "Finished match\n");
    std::fflush(out_);
}

}  // namespace xq::match
