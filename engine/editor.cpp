#include "engine/editor.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/commands.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "engine/windowprocedure.h"
#include "platform/display.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/game.h"
#include "rules/record.h"
#include "rules/setupcheck.h"

namespace xq {

static_assert(sizeof(Board) == 918, "the editor's backup holds the whole board array");

uint8_t editMode = 0;
uint8_t editModified = 0;
BoardCell* editBackup = nullptr;
void* (*editBackupAllocator)(std::size_t bytes) = std::malloc;

namespace {

// Who moved and who played which side when the editor opened: a cancel gives them back when the
// side chosen meanwhile could take the other King on the restored board.
struct Sides {
    Side toMove;
    Side user;
    Side computer;
};
Sides sidesAtOpening{Red, Red, Black};

// The side not to move is in check: the side to move could take its King.
bool OtherKingAttacked() {
    const PieceList& list = pieceList[otherSide];
    return list.lastIndex >= 0 && list.entry[0].kind == King &&
           IsAttacked(sideToMove, list.entry[0].square);
}

void SetSideToMove(Side side) {
    if (sideToMove == side) return;
    sideToMove = side;
    otherSide = Opponent(side);
    clockSide = side;
    // The record no longer leads to this position: "完成" must check it and start afresh.
    editModified = 1;
}

// "轮流": the user plays `side`, and `side` moves first.
void ChooseTurn(Side side) {
    CheckMenuItem("RedTurn", side == Red);
    CheckMenuItem("BlackTurn", side == Black);
    userSide = side;
    computerSide = Opponent(side);
    SetSideToMove(side);
}

}  // namespace

void MovePieceClick() {
    if (editMode) return;
    // 1. The backup of the whole board.
    void* memory = editBackupAllocator(sizeof(Board));
    if (memory == nullptr) {
        ReportError(kNoMemoryText);
        return;
    }
    editBackup = static_cast<BoardCell*>(memory);
    std::memcpy(editBackup, board, sizeof(Board));
    sidesAtOpening = {sideToMove, userSide, computerSide};
    // 2. The editor's bar with the user's side checked, and the palette in front.
    editMode = 1;
    // The easy level's threat frames go while the editor is open.
    if (levelKind == kLevelEasy) RedrawAll();
    SetMenu(MenuKind::Edit);
    editModified = 0;
    CheckMenuItem("BlackTurn", userSide == Black);
    CheckMenuItem("RedTurn", userSide != Black);
    BringPanelToFront(PanelKind::Palette);
}

void EditSquare(Square square, int paletteIndex) {
    if (!editMode) return;
    editModified = 1;
    if (square < 0 || square >= kBoardCells || !IsBoardPoint(square)) return;
    BoardCell& cell = board[square];
    if (cell.kind != Empty) {
        cell.kind = Empty;
    } else {
        cell.kind = PaletteKind(paletteIndex);
        cell.side = PaletteSide(paletteIndex);
    }
    RedrawChangedSquares();
}

void DoneClick() {
    if (!editMode) return;
    if (!editModified) {
        LeaveEditMode();
        return;
    }
    // 1. The counts. With every count within its limit neither side has more than 16 pieces.
    const std::string countError = SetUpCountError();
    if (!countError.empty()) {
        ReportError(countError);
        return;
    }
    // 2. The game starts afresh from the edited board; the placements are checked on it.
    ResetAfterSetUp();
    const std::string placementError = SetUpPlacementError();
    if (!placementError.empty()) {
        ReportError(placementError);
        return;
    }
    // 3. A new position: whatever ended the previous game is gone with it.
    gameOver = 0;
    LeaveEditMode();
}

void ClearClick() {
    if (!editMode) return;
    editModified = 1;
    for (BoardCell& cell : board)
        cell.kind = Empty;
    RedrawChangedSquares();
}

void RedTurnClick() {
    if (editMode) ChooseTurn(Red);
}

void BlackTurnClick() {
    if (editMode) ChooseTurn(Black);
}

void CancelClick() {
    if (!editMode) return;
    std::memcpy(board, editBackup, sizeof(Board));
    ResetAfterSetUp();
    // The side chosen stays, unless the side not to move would then be in check.
    if (OtherKingAttacked()) {
        sideToMove = sidesAtOpening.toMove;
        otherSide = Opponent(sideToMove);
        clockSide = sideToMove;
        userSide = sidesAtOpening.user;
        computerSide = sidesAtOpening.computer;
    }
    LeaveEditMode();
}

void LeaveEditMode() {
    BringPanelToFront(PanelKind::Info);
    SetMenu(MenuKind::Normal);
    std::free(editBackup);
    editBackup = nullptr;
    editMode = 0;
    RedrawChangedSquares();
    // The panel was hidden while the side to move may have changed.
    ShowTurn(sideToMove);
}

bool RunEditorCommand(int32_t command) {
    switch (command) {
        case kCommandEdit:
            MovePieceClick();
            return true;
        case kCommandEditDone:
            DoneClick();
            return true;
        case kCommandEditClear:
            ClearClick();
            return true;
        case kCommandEditRedTurn:
            RedTurnClick();
            return true;
        case kCommandEditBlackTurn:
            BlackTurnClick();
            return true;
        case kCommandEditCancel:
            CancelClick();
            return true;
        default:
            return false;
    }
}

}  // namespace xq
