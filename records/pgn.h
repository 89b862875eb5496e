// Games in PGN, as Xiangqi sites and programs exchange them: the seven tag roster (with Red and
// Black for the players), a FEN tag when the game did not start at the opening array, and the
// moves in ICCS coordinates or in Chinese notation. The reader takes what such files hold: tags,
// comments, variations (skipped), move numbers, results, and moves in ICCS, WXF or Chinese
// notation, in UTF-8 or GBK; a start position must pass the position editor's checks, and every
// move is played through the rules.
//
// Both work on the program's one position and give it back exactly as they found it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "rules/types.h"

namespace xq {

enum class PgnNotation { Iccs, Chinese };

struct PgnGame {
    std::string startFen;  // the position before the first move; empty: the opening array
    std::vector<MoveRecord> moves;
    std::string result = "*";  // "1-0", "0-1", "1/2-1/2" or "*"
    std::string finalFen;      // the position after the last move (set by ReadPgn)
};

// The PGN text of `game`. Its moves must be legal one after the other from its start.
std::string WritePgn(const PgnGame& game, PgnNotation notation);

inline constexpr std::string_view kNoGameText = "文件中没有棋谱";
inline constexpr std::string_view kNotTextText = "无法读取文件的文字编码";

// Reads the first game of `bytes`. False, with a reason that names the move number and text of
// a move that is not understood or not legal, when the game cannot be taken; kNotTextText for
// bytes that are no text in UTF-8 or GBK, kNoGameText for a text without a tag or a move.
bool ReadPgn(std::string_view bytes, PgnGame* game, std::string* error);

// The game being played, from its start up to the current position: from the opening array when
// the record's sentinel says the game began there, else (a set-up position, or a game longer than
// the record keeps) with the FEN of the earliest position the record leads back to.
PgnGame CurrentGameAsPgn();

}  // namespace xq
