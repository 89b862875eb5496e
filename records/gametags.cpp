#include "records/gametags.h"

#include "rules/board.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/record.h"

namespace xq {

GameTags gameTags;

void ForgetGameTags() {
    gameTags = GameTags{};
}

void KeepGameTags(PgnTags tags) {
    // Registered with the first game that has tags: until then there is nothing to forget.
    static const bool registered = [] {
        AddNewGameHook(ForgetGameTags);
        AddSetUpHook(ForgetGameTags);
        return true;
    }();
    (void)registered;
    gameTags.tags = std::move(tags);
    gameTags.endFen = WriteFen();
    gameTags.endPly = plyCount;
}

std::string KeptResult() {
    if (gameTags.endPly != plyCount || gameTags.endFen != WriteFen()) return {};
    for (const auto& [name, value] : gameTags.tags) {
        if (name == "Result" && (value == "1-0" || value == "0-1" || value == "1/2-1/2"))
            return value;
    }
    return {};
}

}  // namespace xq
