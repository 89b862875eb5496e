// lanchuan-engine: the game's engine for other programs, speaking UCI or UCCI on standard input
// and output.
#include <unistd.h>

#include <csignal>

#include "engine/book.h"
#include "engine/startup.h"
#include "rules/attacks.h"
#include "rules/game.h"
#include "uci/commandinput.h"
#include "uci/session.h"

int main() {
    // A controlling program that has gone away ends the engine through the end of its input,
    // not through a signal on the next answer.
    std::signal(SIGPIPE, SIG_IGN);
    xq::InitAttackTable();
    xq::InitEngine();
    xq::LoadOpeningLibrary();
    xq::NewGame();
    xq::uci::CommandInput input(STDIN_FILENO);
    xq::uci::Session session(input);
    session.Run();
    return 0;
}
