// What the engine manager does with an engine before the game uses it: adding one (start it, find
// its protocol, name it) and trying one (start it, one short search from the opening array, its
// move and the time it took, end it). Both run the engine to the end before they return; the
// caller's pump keeps the window alive while the search runs.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "host/engineclient.h"

namespace xq {

// Starts the engine of `setup` (its protocol found when Auto), reads who it is and ends it. On
// success `setup` takes the protocol and the ranks found, and the engine's own name when it has
// none yet; false with the reason in words otherwise.
bool ProbeEngine(host::EngineSetup* setup, host::EngineIdentity* identity, std::string* error);

// `wanted`, or `wanted` with " (2)", " (3)" ... when an engine of `engines` already has that name.
std::string UniqueEngineName(const std::vector<host::EngineSetup>& engines,
                             const std::string& wanted);

// The result of a trial: who the engine is, the move it chose from the opening array (ICCS) and
// the time from `go` to its answer.
struct EngineTrial {
    host::EngineIdentity identity;
    std::string move;
    std::chrono::milliseconds took{0};
    std::string error;  // why the trial failed, in words; empty when it worked
};

// One trial of `setup`: start, handshake, a search of `moveTime` from the opening array, the
// answer, the end. `pump` runs between waits for the engine (the window's events). The engine is
// ended in every case.
inline constexpr std::chrono::milliseconds kTrialMoveTime{1000};
EngineTrial TryEngine(const host::EngineSetup& setup, const std::function<void()>& pump,
                      std::chrono::milliseconds moveTime = kTrialMoveTime);

}  // namespace xq
