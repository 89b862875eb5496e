#include <cmath>
#include <limits>

#include "host/match.h"

namespace xq::host {
namespace {

// The Elo difference that scores `share` (0..1) on average; infinite at 0 and 1.
double EloOfShare(double share) {
    if (share <= 0) return -std::numeric_limits<double>::infinity();
    if (share >= 1) return std::numeric_limits<double>::infinity();
    return -400.0 * std::log10(1.0 / share - 1.0);
}

// The normal distribution's 97.5% quantile: 95% of it lies within this many deviations.
constexpr double kQuantile975 = 1.959963984540054;

}  // namespace

EloEstimate EstimateElo(const MatchScore& score) {
    EloEstimate estimate;
    const double games = score.Games();
    if (games == 0) return estimate;
    const double wins = score.wins / games;
    const double losses = score.losses / games;
    const double draws = score.draws / games;
    const double mean = wins + draws / 2;
    // The deviation of one game's points around the mean, then of the mean over all games.
    const double variance =
        wins * (1 - mean) * (1 - mean) + losses * mean * mean + draws * (0.5 - mean) * (0.5 - mean);
    const double deviation = std::sqrt(variance) / std::sqrt(games);
    estimate.difference = EloOfShare(mean);
    const double low = mean - kQuantile975 * deviation;
    const double high = mean + kQuantile975 * deviation;
    if (low <= 0 || high >= 1)
        estimate.interval = std::numeric_limits<double>::infinity();
    else
        estimate.interval = (EloOfShare(high) - EloOfShare(low)) / 2;
    return estimate;
}

}  // namespace xq::host
