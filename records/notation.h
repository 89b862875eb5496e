// Traditional Chinese move notation: piece name, origin file, direction, and either the target file
// or the number of ranks travelled, each side counting files from its own right hand. Texts are
// UTF-8; converted to GBK every move text is exactly 8 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rules/types.h"

namespace xq {

// Ten blanks: the text of an empty move (piece 0), as wide as a move text in GBK plus two.
inline constexpr char kEmptyMoveText[] = "          ";

// The origin file as `side` numbers it, 1..9 from its own right hand.
int FileNumber(Side side, Square square);
// The notation's last number: the target file for sideways moves and for the pieces that move
// diagonally or by a jump, otherwise the number of ranks travelled.
int TargetNumber(Side side, const MoveRecord& move);

// How the window shows moves: in the program's own characters, in traditional characters
// (俥傌炮帥仕相兵 / 車馬砲將士象卒) or in WXF letters and digits (C2.5, H8+7). Only what is shown
// follows it; the game log, game files and game records keep the program's own notation.
enum class MoveStyle : uint8_t { Simplified, Traditional, Wxf };
extern MoveStyle shownMoveStyle;

// `text`, a move of `mover` as FormatMove or ChineseMoveText writes it (ten blanks for an empty
// move), in `style`. The front and rear of two like pieces on a file become WXF's + and - after
// the piece (R+.3); the places among several Pawns need the board (WxfMoveText).
std::string StyledMoveText(std::string_view text, Side mover, MoveStyle style);

// The four characters of `move` made by `mover` (the side of the piece on the origin square in the
// position the move is played from). Reads only from, to and piece; ten blanks when piece is 0.
std::string FormatMove(const MoveRecord& move, Side mover);
// FormatMove in shownMoveStyle.
std::string ShownMove(const MoveRecord& move, Side mover);

// "MM:SS.s NNN. <move>": the used time split into minutes and seconds (one decimal, so 59.96 s
// prints as 00:60.0), the full-move number plies / 2 + 1, and the move text as shown.
std::string PanelMoveLine(int32_t plies, const MoveRecord& move, Side mover, double usedSeconds);
// The same line of a move already written as `moveText`, with the full-move number given.
std::string PanelLineText(int32_t moveNumber, std::string_view moveText, double usedSeconds);

// Builds the panel move line and shows it in `panelSide`'s move field. `plies` is the number of
// plies played before the move, `usedSeconds` the time of the clock that ran for it.
void FormatPanelMoveLine(int32_t plies, Side panelSide, const MoveRecord& move, Side mover,
                         double usedSeconds);

}  // namespace xq
