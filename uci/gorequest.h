// What `go` asks for, read from the words of either protocol, and the time the engine gives
// itself for the move.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rules/types.h"

namespace xq::uci {

enum class Protocol { Uci, Ucci };

struct GoRequest {
    int depth = 0;               // 0: no depth limit
    int64_t moveTime = -1;       // milliseconds for this move; -1: not given
    int64_t time[2] = {-1, -1};  // remaining clock by side (Red, Black); -1: not given
    int64_t increment[2] = {0, 0};
    int movesToGo = 0;  // 0: not given
    bool infinite = false;
    bool ponder = false;
    std::vector<std::string> searchMoves;  // UCI searchmoves: only these root moves
    std::vector<std::string> ignored;      // words not known, each with the number after it
};

// Reads the words after "go". UCI names both clocks (wtime/btime, winc/binc) in milliseconds;
// UCCI names the mover's (time, increment) and the opponent's (opptime, oppincrement), so `mover`
// says whose they are, in seconds unless `ucciMilliseconds` (the engine's usemillisec option).
// A word neither protocol knows is skipped, with a number after it, and kept in `ignored`, since
// adapters add words of their own; a known word without its number is refused with the reason.
// `depth infinite` and a request with neither a depth, a move time nor the mover's clock are
// infinite.
bool ParseGoRequest(Protocol protocol, bool ucciMilliseconds,
                    const std::vector<std::string_view>& words, Side mover, GoRequest* request,
                    std::string* error);

// Milliseconds from the start of the search (or from ponderhit).
struct TimeBudget {
    bool limited = false;  // false: only a stop, the depth or the search itself ends it
    int64_t soft = 0;      // no new iteration starts after this
    int64_t hard = 0;      // the search is stopped here
};

// The budget for `mover`. A fixed move time is used up to a safety margin of 15 ms and a
// twentieth of it (at most 100 ms more), for the adapters between a GUI and the engine. From a
// clock, the move gets its share of the remaining time over the moves to go (at most 30 counted)
// plus most of the increment; the search stops at twice that share and never after a fifth of
// what is left, so the engine does not lose on time even at 1 second a game plus 0.1 a move, nor
// when a GUI's latency comes on top of a clock low against its increment.
TimeBudget ComputeTimeBudget(const GoRequest& request, Side mover);

}  // namespace xq::uci
