#include "engine/enginechoice.h"

#include <memory>

#include "engine/externalthink.h"
#include "engine/masterthink.h"
#include "engine/think.h"
#include "host/enginelist.h"
#include "platform/check.h"
#include "platform/display.h"

namespace xq {

EngineKind engineKind = kDefaultEngine;
std::vector<host::EngineSetup> addedEngines;
std::string addedEngineName;

namespace {

// The game searches on the window's thread alone: the pump must run where the window lives.
constexpr size_t kGameHashMegabytes = 64;
constexpr int kGameThreads = 1;

std::unique_ptr<master::Engine> gameEngine;

}  // namespace

master::Engine& GameMasterEngine() {
    if (!gameEngine)
        gameEngine = std::make_unique<master::Engine>(kGameHashMegabytes, kGameThreads);
    return *gameEngine;
}

void NewGameForMasterEngine() {
    if (gameEngine) gameEngine->NewGame();
}

void LoadAddedEngines(const std::filesystem::path& file) {
    std::vector<std::string> warnings;
    addedEngines = host::LoadEngineList(file, &warnings);
}

int AddedEngineIndex(std::string_view name) {
    for (size_t index = 0; index < addedEngines.size(); ++index)
        if (addedEngines[index].name == name) return static_cast<int>(index);
    return -1;
}

void ChooseAddedEngineAt(size_t index) {
    XQ_ASSERT(index < addedEngines.size());
    engineKind = EngineKind::Added;
    addedEngineName = addedEngines[index].name;
    UseAddedEngine(addedEngines[index]);
}

bool KeepChosenEngineValid() {
    if (engineKind != EngineKind::Added) return true;
    const int index = AddedEngineIndex(addedEngineName);
    if (index >= 0) {
        UseAddedEngine(addedEngines[static_cast<size_t>(index)]);
        return true;
    }
    ShowMessage(FormatText(kAddedEngineMissingPattern, {addedEngineName}));
    engineKind = EngineKind::Classic;
    addedEngineName.clear();
    EndAddedEngine();
    return false;
}

void ThinkWithChosenEngine(int depthLimit) {
    if (engineKind == EngineKind::Classic || levelKind == kLevelMateSearch) {
        ThinkAndChoose(depthLimit);
    } else if (engineKind == EngineKind::Master) {
        MasterThinkAndChoose(GameMasterEngine(), depthLimit);
    } else {
        ExternalThinkAndChoose(depthLimit);
    }
}

void HintWithChosenEngine() {
    if (engineKind == EngineKind::Classic || levelKind == kLevelMateSearch) {
        ThinkAndChoose(1);
    } else if (engineKind == EngineKind::Master) {
        MasterHint(GameMasterEngine());
    } else {
        ExternalHint();
    }
}

bool UsesOpeningLibrary() {
    return engineKind != EngineKind::Added;
}

bool ChosenEngineFailed() {
    return engineKind == EngineKind::Added && levelKind != kLevelMateSearch &&
           !AddedEngineFailure().empty();
}

}  // namespace xq
