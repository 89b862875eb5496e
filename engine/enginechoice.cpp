#include "engine/enginechoice.h"

#include <memory>

#include "engine/masterthink.h"
#include "engine/think.h"

namespace xq {

EngineKind engineKind = kDefaultEngine;

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

void ThinkWithChosenEngine(int depthLimit) {
    if (engineKind == EngineKind::Classic || levelKind == kLevelMateSearch) {
        ThinkAndChoose(depthLimit);
        return;
    }
    MasterThinkAndChoose(GameMasterEngine(), depthLimit);
}

void HintWithChosenEngine() {
    if (engineKind == EngineKind::Classic || levelKind == kLevelMateSearch) {
        ThinkAndChoose(1);
        return;
    }
    MasterHint(GameMasterEngine());
}

}  // namespace xq
