#include "records/session.h"

#include "engine/book.h"
#include "engine/startup.h"
#include "engine/think.h"
#include "platform/random.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/game.h"

namespace xq {

Colour colorSquare{0, 128, 0};
SettingsAccess settingsReader = nullptr;
SettingsAccess settingsWriter = nullptr;

void StartUpGame() {
    InitEngine();
    RandomSeed();
    if (settingsReader != nullptr) settingsReader();
    InitAttackTable();
    twoPlayerMode = 0;
    demoMode = 0;
    boardReversed = 0;
    LoadOpeningLibrary();
    NewGame();
}

void WriteSettingsAtClose() {
    if (settingsWriter != nullptr) settingsWriter();
}

}  // namespace xq
