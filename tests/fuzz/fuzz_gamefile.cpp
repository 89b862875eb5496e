// Game files (*.chs) through the loader. A refused file changes nothing. An accepted one gives a
// consistent position that passes the set-up checks, and the game saved again loads back to the
// same game and saves to the same bytes.
#include <algorithm>

#include "engine/evaluation.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "records/gamefile.h"
#include "records/settings.h"
#include "rules/clock.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/game_state.h"

namespace xq::fuzz {
namespace {

using testing::GameState;

// The opening array with the built-in settings, so that every input starts from one game.
void BuiltInGame() {
    Reset();
    NewGame();
}

std::string SavedBytes(const std::filesystem::path& file) {
    Require(SaveGameFile(file), "a loaded game cannot be saved", file.string());
    return ReadWholeFile(file);
}

}  // namespace
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    xq::fuzz::InitCore();
    xq::fuzz::RemoveAtExit(xq::fuzz::ScratchFile("game.chs"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace xq;
    using namespace xq::fuzz;
    static const std::filesystem::path file = ScratchFile("game.chs");
    BuiltInGame();
    const GameState before = GameState::Take();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!LoadGameBytes(bytes).empty()) {
        Require(GameState::Take() == before, "a refused game file changed the game");
        return 0;
    }
    // 1. The loaded position is one the position editor accepts.
    Require(PositionIsConsistent(), "a loaded game file left the board and the lists apart");
    Require(SetUpError().empty(), "a loaded game file fails the set-up checks", SetUpError());
    // 2. Saved again, it loads the same game and saves the same bytes.
    const GameState loaded = GameState::Take();
    const std::string saved = SavedBytes(file);
    Require(saved.size() == kGameFileSize, "a saved game file has the wrong size");
    BuiltInGame();
    const std::string_view error = LoadGameFile(file);
    Require(error.empty(), "a saved game file is refused", error);
    Require(GameState::Take() == loaded, "a saved game file loads another game");
    Require(SavedBytes(file) == saved, "a reloaded game file saves other bytes");
    return 0;
}
