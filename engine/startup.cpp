#include "engine/startup.h"

#include "engine/book.h"
#include "engine/enginechoice.h"
#include "engine/evaluation.h"
#include "engine/movevalues.h"
#include "engine/search.h"
#include "engine/think.h"
#include "rules/game.h"

namespace xq {

namespace {

void ResetEngineForNewGame() {
    stopSearch = 0;
    nodeCount = 0;
    Reset(searchClock);  // the last search's time reaches game files and the log
    usingLibrary = false;
    noTimeLimit = 0;  // only a loaded game file sets it
}

}  // namespace

void InitEngine() {
    static bool done = false;
    if (done) return;
    done = true;
    AddNewGameHook(ClearEvaluation);
    AddNewGameHook(ResetEngineForNewGame);
    AddNewGameHook(NewGameForMasterEngine);
    AddNewGameHook(ForgetAllMoveValues);
    AddSetUpHook(ForgetAllMoveValues);
}

}  // namespace xq
