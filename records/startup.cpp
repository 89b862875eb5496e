#include "records/startup.h"

#include "engine/book.h"
#include "engine/enginechoice.h"
#include "engine/startup.h"
#include "engine/think.h"
#include "host/enginelist.h"
#include "platform/random.h"
#include "records/gamelog.h"
#include "records/settings.h"
#include "rules/attacks.h"
#include "rules/game.h"

namespace xq {

void StartUp() {
    InitEngine();
    InitGameLog();
    // 1. Seed the random generator, which the engine's choices draw from.
    RandomSeed();
    // 2. Read the settings.
    ReadSettings(SettingsFile());
    // 3. Build the attack table.
    InitAttackTable();
    // 4. Clear the modes that never survive a run.
    twoPlayerMode = 0;
    demoMode = 0;
    boardReversed = 0;
    // 5. Load the opening library.
    LoadOpeningLibrary();
    // 6. Open the game log.
    OpenGameLog(LogFile());
    // 7. Start a new game; its log header follows the banner.
    NewGame();
    // 8. The engines the user added; a chosen one that has left the list gives way to 标准, and
    // the panel says so.
    LoadAddedEngines(host::EngineListPath());
    KeepChosenEngineValid();
}

}  // namespace xq
