// One game of a match: both engines started afresh, the opening played on the referee, then each
// engine asked for its move in turn under the match's clocks, until the referee, an adjudication
// or an engine's failure ends it. The game owns its engines and ends them before it returns.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "host/match.h"

namespace xq::host {

struct GameJob {
    int number = 0;
    int redEngine = 0;     // index into MatchSettings::engines
    std::string names[2];  // by engine index
    Opening opening;       // checked: legal, and the game goes on after it
};

// How long an engine searching to a depth without a clock may stay silent before it has hung.
inline constexpr std::chrono::milliseconds kDepthSilence{60000};

using MovePlayed = std::function<void(const std::string& move, const std::string& fen)>;

// Plays the game to its end; `stop` ends it at once as Stopped ("*").
GameRecordOut PlayMatchGame(const MatchSettings& settings, const GameJob& job,
                            const std::atomic<bool>& stop, const MovePlayed& movePlayed);

}  // namespace xq::host
