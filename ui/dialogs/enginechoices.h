// The engines the analysis and match dialogs offer: the 大师 engine, 标准 (the classic engine,
// which searches only on the window's thread, so it runs as lanchuan-engine with Engine=Classic),
// and the engines the user added. Our own engines in a process of their own are lanchuan-engine
// from the program's folder (or, in the build tree, the engine's own folder beside the program's).
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "host/engineclient.h"

class QComboBox;

namespace xq {

// Where lanchuan-engine is: beside the running program, else in a build tree's uci/ folder above
// it; empty when there is none.
std::string OwnEngineProgram();
// lanchuan-engine with Engine=Master or Engine=Classic, under the engine's menu name.
host::EngineSetup OwnEngineSetup(const std::string& program, bool master);

struct EngineChoice {
    QString name;  // as the engine menu names it
    // The process to run; none for the 大师 engine searching inside the program.
    std::optional<host::EngineSetup> setup;
    bool own = false;  // 标准 or 大师, not an added engine of the same name
};

// The choices in menu order. `masterInside`: the 大师 engine searches inside the program (the
// analysis) rather than as lanchuan-engine (a match). Our engines that need lanchuan-engine are
// left out when it is missing.
std::vector<EngineChoice> EngineChoices(bool masterInside);
// The choice that stands for the game's engine now: the added engine chosen, 标准 or 大师.
int ChosenEngineIndex(const std::vector<EngineChoice>& choices);
// Fills `box` with the choices' names, the game's engine selected.
void FillEngineBox(QComboBox* box, const std::vector<EngineChoice>& choices);

}  // namespace xq
