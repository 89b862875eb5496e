#include "engine/editor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "engine/commands.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "engine/windowprocedure.h"
#include "platform/display.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/clock.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/record.h"
#include "rules/setupcheck.h"

namespace xq {

static_assert(sizeof(Board) == 918, "the editor's backup holds the whole board array");

uint8_t editMode = 0;
uint8_t editModified = 0;
BoardCell* editBackup = nullptr;
void* (*editBackupAllocator)(std::size_t bytes) = std::malloc;

namespace {

// The game as it stood when the editor opened, beside the board's backup: "忽略" gives it back
// whole (moves to take back or replay, ply count, the library's switch, the engine's prediction,
// the clocks and who plays which side), also after a "完成" that refused the position had already
// started the record afresh.
struct GameAtOpening {
    PieceList lists[2];
    int32_t defenders[2];
    Side toMove;
    Side user;
    Side computer;
    MoveRecord record[std::size(gameRecordStorage)];
    int16_t top;
    int32_t plies;
    Side clock;
    int16_t replayable;
    uint8_t replayableOdd;
    uint8_t library;
    MoveRecord prediction[kLineLength];
    int32_t predictionScore;
    MoveRecord lastUserMove;
    Stopwatch clocks[2];
    uint8_t clockRuns;
    Side runningSide;
};
GameAtOpening gameAtOpening;

void KeepGameAtOpening() {
    GameAtOpening& kept = gameAtOpening;
    std::memcpy(kept.lists, pieceList, sizeof pieceList);
    std::memcpy(kept.defenders, firstDefender, sizeof firstDefender);
    kept.toMove = sideToMove;
    kept.user = userSide;
    kept.computer = computerSide;
    std::copy(std::begin(gameRecordStorage), std::end(gameRecordStorage), kept.record);
    kept.top = recordTop;
    kept.plies = plyCount;
    kept.clock = clockSide;
    kept.replayable = replayableFullMoves;
    kept.replayableOdd = replayableOddPly;
    kept.library = libraryLimit;
    std::copy(std::begin(predictedLine), std::end(predictedLine), kept.prediction);
    kept.predictionScore = predictedScore;
    kept.lastUserMove = lastPlayerMove;
    std::copy(std::begin(sideClock), std::end(sideClock), kept.clocks);
    kept.clockRuns = clockRunning;
    kept.runningSide = runningClock;
}

// The board must be the backup already: the lists name its cells.
void RestoreGameAtOpening() {
    const GameAtOpening& kept = gameAtOpening;
    std::memcpy(pieceList, kept.lists, sizeof pieceList);
    std::memcpy(firstDefender, kept.defenders, sizeof firstDefender);
    sideToMove = kept.toMove;
    otherSide = Opponent(kept.toMove);
    userSide = kept.user;
    computerSide = kept.computer;
    std::copy(std::begin(kept.record), std::end(kept.record), gameRecordStorage);
    recordTop = kept.top;
    plyCount = kept.plies;
    clockSide = kept.clock;
    replayableFullMoves = kept.replayable;
    replayableOddPly = kept.replayableOdd;
    libraryLimit = kept.library;
    std::copy(std::begin(kept.prediction), std::end(kept.prediction), predictedLine);
    predictedScore = kept.predictionScore;
    lastPlayerMove = kept.lastUserMove;
    std::copy(std::begin(kept.clocks), std::end(kept.clocks), sideClock);
    clockRunning = kept.clockRuns;
    runningClock = kept.runningSide;
    // The clock the editor did not stop runs on, and is shown running.
    if (clockRunning) StartClockDisplay();
}

// A new game from the board as it is: a clean record, clocks, panel and move list, and a position
// that is already over announced at once.
void StartEditedGame() {
    StartFromSetUpPosition();
    LeaveEditMode();
    AnnounceSetUpGame();
}

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
    KeepGameAtOpening();
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
    // 3. A new game: whatever ended the previous one is gone with it.
    StartEditedGame();
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
    const Side chosen = sideToMove;
    std::memcpy(board, editBackup, sizeof(Board));
    RestoreGameAtOpening();
    // The side chosen with "轮流" stays, unless it could take the other King. The game's moves do
    // not lead to the board with that side to move: a game starts afresh from it.
    if (chosen != sideToMove) {
        sideToMove = chosen;
        otherSide = Opponent(chosen);
        if (!OtherKingAttacked()) {
            userSide = chosen;
            computerSide = otherSide;
            StartEditedGame();
            return;
        }
        RestoreGameAtOpening();
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
