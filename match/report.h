// What lanchuan-match prints as the match goes, in cutechess-cli's lines: each game's start and
// end with its result and reason, the score after every game, and at the end the Elo difference
// (and, when asked, the runner's own turnaround between an engine's move and the next go).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/match.h"

namespace xq::match {

class Report {
  public:
    Report(const host::MatchSettings& settings, std::FILE* out) : settings_(settings), out_(out) {}

    // The events to hand to RunMatch; they print to `out`.
    host::MatchEvents Events();
    void Finish(const host::MatchScore& score, bool latency);

  private:
    void PrintScore(const host::MatchScore& score);

    const host::MatchSettings& settings_;
    std::FILE* out_;
    std::string names_[2];
    std::vector<int64_t> turnaround_;
};

// "Score of A vs B: 3 - 1 - 2  [0.667] 6".
std::string ScoreLine(const std::string& first, const std::string& second,
                      const host::MatchScore& score);
// "Elo difference: 120.41 +/- 281.06" ("inf" for a score of 0 or 100%).
std::string EloLine(const host::MatchScore& score);
// "Turnaround: median 85 us, worst 412 us over 40 moves".
std::string TurnaroundLine(std::vector<int64_t> micros);

}  // namespace xq::match
