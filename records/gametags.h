// The tags of the game being played (its event, players, date, opening, result, ...) as the PGN
// file it was imported from gave them, so that "导出棋谱" writes them again. Game files (.chs) have
// no room for them: a game saved there and restored has none. A new game, a pasted or set-up
// position and a restored game file forget them; taking moves back and replaying keeps them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xq {

using PgnTags = std::vector<std::pair<std::string, std::string>>;

struct GameTags {
    PgnTags tags;         // as read, in their order
    std::string endFen;   // the position the game read ended at
    int32_t endPly = -1;  // the game's plyCount there
};

extern GameTags gameTags;

// Keeps `tags` for the game on the board, which ends, as read, at the current position.
void KeepGameTags(PgnTags tags);
void ForgetGameTags();

// The game's Result tag while it stands where the file left it (no move taken back or played
// since); empty otherwise or when the file gave none.
std::string KeptResult();

}  // namespace xq
