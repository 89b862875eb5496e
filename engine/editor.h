// The position editor without its window: opening it ("摆子"), the edit of one board point, the
// editor bar's commands ("完成", "清除", "轮流" > "红方"/"黑方", "忽略") and leaving it. The window
// adds the palette and turns a click into a square; tests and the headless tools drive these same
// functions through RunCommand and EditSquare.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/texts.h"  // the texts the window reports
#include "rules/types.h"

namespace xq {

// The editor is open: board clicks edit the board and the easy level's threat frames are off.
// The board renderer reads it.
extern uint8_t editMode;
// A board click or "清除" since the editor opened; "完成" checks the position only then.
extern uint8_t editModified;
// The board as it was when the editor opened (kBoardCells cells); nullptr while it is closed.
extern BoardCell* editBackup;
// Where the backup's memory comes from (std::malloc; released with std::free). Tests put in a
// source that has nothing to give.
extern void* (*editBackupAllocator)(std::size_t bytes);

// The palette: Red's King, Rook, Gunner, Knight, Assist, Bishop, Pawn (0..6), then Black's (7..13).
inline constexpr int kPaletteSize = 14;
constexpr PieceKind PaletteKind(int index) {
    return static_cast<PieceKind>(index % 7 + 1);
}
constexpr Side PaletteSide(int index) {
    return index >= 7 ? Black : Red;
}

// "摆子": backs up the board, shows the editor's bar with the turn item of userSide checked and
// puts the palette in front. Without memory for the backup the editor does not open. Does nothing
// while the editor is already open.
void MovePieceClick();
// A click on the board while the editor is open, already turned into its square (-1: none of the
// 90 points): a piece there is removed, an empty point gets the palette piece `paletteIndex`.
// Either way the board counts as modified.
void EditSquare(Square square, int paletteIndex);
// "完成": leaves the editor when nothing was changed or the position passes the count and
// placement checks; otherwise the error dialog names what is wrong and the editor stays open.
void DoneClick();
// "清除": every point empty.
void ClearClick();
// "轮流" > "红方" / "黑方": the user plays that side and it moves first.
void RedTurnClick();
void BlackTurnClick();
// "忽略": the board as it was when the editor opened; the side chosen to move stays.
void CancelClick();
// The normal bar and the information panel back, the backup dropped, the board redrawn.
void LeaveEditMode();

// Runs `command` when it is one of the editor's ("摆子" and the editor bar's items); returns
// whether it was. The editor bar's items do nothing while the editor is closed.
bool RunEditorCommand(int32_t command);

}  // namespace xq
