// The choice of the game's engine: the classic search (engine/search.h, the default), the 大师
// engine (engine/master), or one of the engines the user added (engines.ini, engine/externalthink).
// The flow asks for every search through ThinkWithChosenEngine, which leaves the result where the
// classic driver leaves it, so that the flow, the pump, the panel and the log work alike with any
// engine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/master/engine.h"
#include "host/engineclient.h"
#include "platform/texts.h"  // the texts the window reports

namespace xq {

enum class EngineKind : uint8_t { Classic, Master, Added };

extern EngineKind engineKind;
inline constexpr EngineKind kDefaultEngine = EngineKind::Classic;

// The engines the user added, in the order of the engine menu, and the name of the one chosen
// (meaningful while engineKind is Added).
extern std::vector<host::EngineSetup> addedEngines;
extern std::string addedEngineName;

// Reads the added engines from `file` (engines.ini); a missing file is an empty list.
void LoadAddedEngines(const std::filesystem::path& file);
// The place of the engine named `name` in addedEngines; -1 when there is none.
int AddedEngineIndex(std::string_view name);
// Makes the added engine at `index` the game's engine (its process starts on the first search).
void ChooseAddedEngineAt(size_t index);
// After the list or the settings were read: a chosen added engine that is no longer in the list
// gives way to the classic engine, and the user is told (the panel's message line). True when the
// choice stands.
bool KeepChosenEngineValid();

// The one search of the game flow (the engine's move, pondering, the hint): ThinkAndChoose for the
// classic engine and for the mate-search level, which keeps the classic mate search; otherwise the
// game's 大师 engine through MasterThinkAndChoose, or the added engine through
// ExternalThinkAndChoose.
void ThinkWithChosenEngine(int depthLimit);
// The hint's search: the classic engine's single iteration (and the mate-search level's), or the
// 大师 engine's search bounded by the hint's time (MasterHint), or the added engine's
// (ExternalHint).
void HintWithChosenEngine();
// Whether the game's engine plays from our opening library: 标准 and 大师 do, an added engine plays
// its own openings.
bool UsesOpeningLibrary();
// True when the last search was the added engine's and it failed: the flow then leaves the move
// to the user instead of asking again.
bool ChosenEngineFailed();

// The game's own 大师 engine, made on first use; NewGame clears its tables (InitEngine registers
// that).
master::Engine& GameMasterEngine();
// Clears the 大师 engine's tables for a new game, when it has been made.
void NewGameForMasterEngine();

}  // namespace xq
