// Positions and games in the forms players exchange them: the work of the "棋谱" menu on the game,
// without the toolkit. The window brings the clipboard's text and the files the user chose; every
// refusal comes back as the text of the error dialog, and a refused position, game or file changes
// nothing.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "records/pgn.h"

namespace xq {

// Larger files are not game records; they are refused before they are read.
inline constexpr size_t kLargestGameText = 4 << 20;

// "复制局面": the position on the board as FEN, with the plies since the last capture and the
// number of the full move to be played counted from the start of the game.
std::string PositionAsFen();

// "粘贴局面": sets up the position of `fen` (its first line; blanks around it and an engine log's
// "position fen " in front ignored) when it passes the position editor's checks: the piece
// counts, the placements and that the side not to move is not in check. It is then played from as
// the editor's "完成" leaves a position: an empty record, no opening library, both clocks at zero,
// the user playing the side to move; the board and the panel are drawn afresh. Returns the
// refusal, empty when the position was taken.
std::string PastePosition(std::string_view fen);
// What PastePosition would answer for `fen`, without changing anything: asked first, so that a
// position it refuses drops no game.
std::string PastedPositionRefusal(std::string_view fen);

// "导出棋谱": the game from its start as PGN in `notation`, written to `file` through a temporary
// file so that an old file stays whole until the new one is complete. The game does not change;
// written, it is kept (nothing asks to save it before a new game).
// Returns the failure to report, empty when the file was written.
std::string ExportGame(const std::filesystem::path& file, PgnNotation notation);

// The bytes of `file` when it is a readable regular file of at most kLargestGameText bytes;
// otherwise false with the reason.
bool ReadGameText(const std::filesystem::path& file, std::string* bytes, std::string* error);

// "导入棋谱": reads game `number` (from 1) of `file` as PGN and, when its whole game is taken,
// makes it the game played: its start set up (with the opening library at the opening array,
// without it from a FEN tag), every move played into the record so that "悔棋" takes them back as
// far as the record keeps them, the clocks at zero, the user playing the side to move, and the
// board and the panel drawn afresh; a game that ended in mate or stalemate is over and its end is
// shown. Returns the refusal (naming the move number and text of a move not taken), empty on
// success.
std::string ImportGame(const std::filesystem::path& file, size_t number = 1);
std::string ImportGameText(std::string_view bytes, size_t number = 1);

// The PGN result of the game: the side to move has lost when it cannot move; otherwise the end
// the end-of-game check announced, "*" while the game goes on.
std::string GameResultTag();

}  // namespace xq
