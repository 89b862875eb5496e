// The engine's run flags and the level setting that the search reads, the hooks it calls between
// moves (the message pump, the time test), and a fixed-depth iterative-deepening loop.
//
// The full think driver (levels and their time limits, the search stopwatch, the message pump over
// the program's message queue) builds on these; until then PumpMessages does nothing and time
// only runs out when a caller sets timedThinking and timeLimit itself.
#pragma once

#include <cstdint>

namespace xq {

inline constexpr uint8_t kLevelFixedDepth = 4;
inline constexpr uint8_t kLevelMateSearch = 5;

extern uint8_t levelKind;      // 0..6; kLevelMateSearch switches the search to mate search
extern uint8_t maxDepth;       // last iteration depth, 1..45
extern uint8_t noTimeLimit;    // while set the search never stops on time
extern uint8_t timedThinking;  // thinking on the engine's own move under timeLimit
extern uint8_t pondering;      // thinking on the user's time
extern double timeLimit;       // seconds allowed for the current move

// Takes at most one pending message of the window; called after every move the search takes back.
void PumpMessages();

// Restarts the clock of the current search; SearchSeconds reads it.
void StartSearchClock();
double SearchSeconds();

// True when timed thinking has used up timeLimit (never while noTimeLimit is set).
bool TimeIsUp();

// Called after every iteration of SearchToDepth, for progress reports.
using IterationHook = void (*)();

// Prepares the evaluation and deepens iteratively from the current position (the game's record
// anchored at recordTop -1) until depthLimit, a stop, the time limit, a single legal move or a
// found mate. The result is in bestLine and searchScore; the position, the sides, recordTop and
// plyCount are as before.
void SearchToDepth(int depthLimit, IterationHook afterIteration = nullptr);

}  // namespace xq
