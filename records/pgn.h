// Games in PGN, as Xiangqi sites and programs exchange them: the seven tag roster (with Red and
// Black for the players), a FEN tag when the game did not start at the opening array, and the
// moves in ICCS coordinates or in Chinese notation. The reader takes what such files hold:
// collections of many games, tags, comments, variations (skipped), move numbers, results, and
// moves in ICCS, WXF, SAN or Chinese notation (also two moves written together, 炮二平五马８进７),
// in UTF-8, GB18030/GBK or Big5; a start position must pass the position editor's checks, and
// every move is played through the rules.
//
// Both work on the program's one position and give it back exactly as they found it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/movevalues.h"
#include "platform/texts.h"  // the texts the window reports

#include "rules/types.h"

namespace xq {

enum class PgnNotation { Iccs, Chinese };

struct PgnGame {
    std::vector<std::pair<std::string, std::string>> tags;  // as read, in their order
    std::string startFen;  // the position before the first move; empty: the opening array
    std::vector<MoveRecord> moves;
    std::string result = "*";  // "1-0", "0-1", "1/2-1/2" or "*"
    std::string finalFen;      // the position after the last move (set by ReadPgn)
    // What an analysis found, entry i for moves[i] (may be shorter than moves): the writer puts an
    // analysed move's mark, value and the engine's other move after it, the reader takes them back.
    std::vector<MoveValue> values;

    // The value of the tag `name`; empty when the game has none.
    std::string Tag(std::string_view name) const;
    // The full moves as the game's move numbers count them: Red's move and Black's reply make
    // one, and a game that Black began opens with a full move of Black's alone.
    size_t FullMoves() const;
};

// One game of a collection as read: the game, or why it was refused (then `game` holds its tags
// and the moves read before the refused one).
struct PgnEntry {
    PgnGame game;
    std::string error;
};

// The PGN text of `game`. Its moves must be legal one after the other from its start. The seven
// tag roster takes the game's own tags (ours, and today's date, where it has none), then come its
// other tags. An analysed move is followed by its mark as a numeric annotation ($6 ?!, $2 ?,
// $4 ??), its value from Red's view as an [%eval] comment in Pawns (a mate as #moves, #-moves for
// Black) and, where the engine preferred another legal move, by that move as a variation:
// 12. h2e2 $2 {[%eval -0.80]} (12. b0c2).
std::string WritePgn(const PgnGame& game, PgnNotation notation);

// Every game of `bytes`, in their order. A game ends at its result, or where the next game's tags
// begin. False only when the bytes hold no games at all: kNotTextText for bytes that are no text
// in UTF-8, GB18030 (which holds GBK) or Big5, kNoGameText for a text without a tag or a move.
bool ReadPgnGames(std::string_view bytes, std::vector<PgnEntry>* games, std::string* error);

// Reads game `number` (from 1) of `bytes`. A move with an [%eval] comment or a mark (a NAG, or
// ?!, ?, ?? after it) gets its entry in `values`, the first move of a variation after it as the
// engine's move. False, with a reason that names the game, the move
// number and the text of a move that is not understood or not legal, when it cannot be taken.
bool ReadPgn(std::string_view bytes, PgnGame* game, std::string* error, size_t number = 1);

// The game being played, from its start up to the current position: from the opening array when
// the record's sentinel says the game began there, else (a set-up position, or a game longer than
// the record keeps) with the FEN of the earliest position the record leads back to. The moves'
// analysis comes along from moveValues when any of them has been analysed, the tags from gameTags.
PgnGame CurrentGameAsPgn();

}  // namespace xq
