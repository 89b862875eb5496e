// Moves as players write them in shared game records: ICCS coordinates (h2e2, H2-E2), WXF
// (C2.5, H8+7, R+.4, P-+1 or +R.4, -P+1, ++.4, 3+.4, also in the full-width letters input
// methods type: Ｃ２＝５), SAN as
// XBoard and game sites write Xiangqi (Che3, Nc3, Rxh9+, e5; files a-i, ranks 1-10 or 0-9) and
// Chinese notation (炮二平五, 马８进７, 前车进一, 中兵平六, 一兵…五兵
// among four or five Pawns, 前七平六 or 前兵七平六 where two files hold several Pawns, or 一兵…五兵
// counted over those files from the mover's right, each front to back; with either set of
// numerals and the traditional or simplified piece names). A text is matched against the
// legal moves of the side to move, so it is read exactly as the rules allow.
#pragma once

#include <string>
#include <string_view>

#include "rules/board.h"
#include "rules/types.h"

namespace xq {

// What a move text named.
enum class MoveTextResult {
    Found,      // *move is the one legal move of sideToMove the text names
    NotAMove,   // the text is not move text in any of the three notations
    Illegal,    // the text names no legal move in the position
    Ambiguous,  // the text names more than one legal move
};

// How a SAN text numbers the ranks: from 1 to 10 (game sites) or, as XBoard writes them for a
// board of ten ranks, from 0 to 9 like ICCS.
enum class SanRanks { FromOne, FromZero };

// Reads `text` (UTF-8) as a move of sideToMove in the current position. The position is
// unchanged; *move is set only when the result is Found.
MoveTextResult ReadMoveText(std::string_view text, MoveRecord* move,
                            SanRanks ranks = SanRanks::FromOne);

// `text` with the full-width forms of ASCII (Ｃ２＝５, １．) as ASCII.
std::string FoldFullWidth(std::string_view text);

// Whether `text` is written as SAN, and how it numbers the ranks when it shows: Rank 10 or rank 0
// tells; `*ranks` is left alone when the text does not tell.
bool IsSanText(std::string_view text, SanRanks* ranks);

// The Chinese text of a legal move of sideToMove as a player writes it, always four characters:
// the program's own (炮二平五), or, whenever two or more of the mover's Rooks, Knights, Gunners or
// Pawns stand on the moved piece's file, its place among them in the file's stead: 前/后 for two
// (前车进一), 前/中/后 for three Pawns, 前/二/三/四/后 for four or five (二兵平六). Where another
// file holds several Pawns too, the Pawn's file stands in the piece's stead (前七平六, 后５进１).
// ReadMoveText reads every such text back as the same move.
std::string ChineseMoveText(const MoveRecord& move);
// The same for a move of `side` on `cells`, a board other than the game's (the move list's
// earlier positions); the move must be legal there.
std::string ChineseMoveText(const MoveRecord& move, Side side, const Board& cells);

// The WXF text of a legal move of `side` on `cells` (C2.5, H8+7): for like pieces on the moved
// piece's file, + for the front one and - for the rear one in the file's stead (R+.3, C--1);
// among four or five Pawns ++ and -- for the outermost, + and - for the next ones (P+.4, --.4);
// the middle one of three or five keeps its file (P3.4). Where another file holds several Pawns
// too, the Pawn's file leads and the letter goes (3+.4, 33.4, 3-.4). ReadMoveText reads every
// such text back as the same move.
std::string WxfMoveText(const MoveRecord& move, Side side, const Board& cells);
// The move's text on `cells` as the window shows moves (shownMoveStyle): ChineseMoveText's,
// in traditional characters, or WxfMoveText's.
std::string ShownMoveText(const MoveRecord& move, Side side, const Board& cells);

}  // namespace xq
