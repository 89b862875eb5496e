#include "ui/enginemanager.h"

#include <string>
#include <vector>

#include "engine/enginechoice.h"
#include "engine/externalthink.h"
#include "engine/windowprocedure.h"
#include "host/enginelist.h"
#include "ui/dialogs/enginemanagerdlg.h"
#include "ui/menus.h"

namespace xq {

namespace {

// A button option goes to the game's engine when that is the one pressed for and it runs; an
// engine that is not running has nothing to press.
void PressButtonOption(const std::string& engine, const std::string& option) {
    host::EngineClient* running = RunningAddedEngine();
    if (running == nullptr || engineKind != EngineKind::Added || addedEngineName != engine) return;
    running->SetOption(option, "");
}

}  // namespace

void ShowAddedEngines(MainMenus& menus) {
    std::vector<std::string> names;
    for (const host::EngineSetup& engine : addedEngines)
        names.push_back(engine.name);
    menus.SetAddedEngines(names);
}

void ManageEngines(TEngineManagerDlg& dialog, MainMenus& menus) {
    dialog.SetEngines(addedEngines);
    dialog.pressButton = PressButtonOption;
    if (dialog.exec() != QDialog::Accepted) return;
    const std::vector<host::EngineSetup>& engines = dialog.Engines();
    std::string error;
    if (!host::SaveEngineList(host::EngineListPath(), engines, &error)) ReportError(error);
    // A removed engine keeps its old name, so that the message names it.
    const std::string renamed = dialog.NameNow(addedEngineName);
    if (engineKind == EngineKind::Added && !renamed.empty()) addedEngineName = renamed;
    addedEngines = engines;
    KeepChosenEngineValid();
    ShowAddedEngines(menus);
}

}  // namespace xq
