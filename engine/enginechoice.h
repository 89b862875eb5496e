// The choice between the game's two engines: the classic search (engine/search.h, the default) and
// the 大师 engine (engine/master). The flow asks for every search through ThinkWithChosenEngine,
// which leaves the result where the classic driver leaves it, so that the flow, the pump, the
// panel and the log work alike with either engine.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/master/engine.h"
#include "platform/texts.h"  // the texts the window reports

namespace xq {

enum class EngineKind : uint8_t { Classic, Master };

extern EngineKind engineKind;
inline constexpr EngineKind kDefaultEngine = EngineKind::Classic;

// The one search of the game flow (the engine's move, pondering, the hint): ThinkAndChoose for the
// classic engine and for the mate-search level, which keeps the classic mate search; otherwise the
// game's 大师 engine through MasterThinkAndChoose.
void ThinkWithChosenEngine(int depthLimit);
// The hint's search: the classic engine's single iteration (and the mate-search level's), or the
// 大师 engine's search bounded by the hint's time (MasterHint).
void HintWithChosenEngine();

// The game's own 大师 engine, made on first use; NewGame clears its tables (InitEngine registers
// that).
master::Engine& GameMasterEngine();
// Clears the 大师 engine's tables for a new game, when it has been made.
void NewGameForMasterEngine();

}  // namespace xq
