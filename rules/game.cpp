#include "rules/game.h"

#include <vector>

#include "platform/check.h"
#include "platform/display.h"
#include "rules/board.h"
#include "rules/clock.h"
#include "rules/record.h"

namespace xq {

MoveRecord predictedLine[kLineLength];
int32_t predictedScore = 0;
uint8_t libraryLimit = 0;
bool libraryLoaded = false;
uint8_t thinking = 0;
MoveRecord enteredMove = NullMove;
MoveRecord lastPlayerMove = NullMove;
uint8_t gameOver = 0;
std::string gameResultText;

namespace {
// Both only ever count up; only their difference matters.
uint32_t gameChanges = 0;
uint32_t keptChanges = 0;

std::vector<NewGameHook>& Hooks() {
    static std::vector<NewGameHook> hooks;
    return hooks;
}
std::vector<NewGameHook>& SetUpHooks() {
    static std::vector<NewGameHook> hooks;
    return hooks;
}
}  // namespace

void AddNewGameHook(NewGameHook hook) {
    Hooks().push_back(hook);
}

void AddSetUpHook(NewGameHook hook) {
    SetUpHooks().push_back(hook);
}

void CountGameChange() {
    ++gameChanges;
}

void MarkGameKept() {
    keptChanges = gameChanges;
}

bool GameChangedSinceKept() {
    return gameChanges != keptChanges;
}

void ClearSearchResult() {
    predictedLine[0] = NullMove;
    predictedScore = 0;
}

void NewGame() {
    gameOver = 0;
    SetUpStartingPosition();
    ShowLevel();
    ResetGameRecord();
    libraryLimit = libraryLoaded ? 1 : 0;
    GameRecord[-1].captured = 1;  // this game began at the opening array
    ResetClocks();
    clockSide = Red;
    plyCount = 0;
    ClearSearchResult();
    lastPlayerMove = NullMove;
    MarkGameKept();
    for (NewGameHook hook : Hooks())
        hook();
}

void ResetAfterSetUp() {
    CountGameChange();
    ResetGameRecord();
    BuildPieceLists();
    XQ_ASSERT(PositionIsConsistent());
    libraryLimit = 0;
    clockRunning = 0;
    clockSide = sideToMove;  // the first move's clock is the mover's
    ClearSearchResult();
    for (NewGameHook hook : SetUpHooks())
        hook();
}

void StartFromSetUpPosition() {
    ResetAfterSetUp();
    ResetClocks();
    plyCount = 0;
    gameOver = 0;
    gameResultText.clear();
    lastPlayerMove = NullMove;
}

}  // namespace xq
