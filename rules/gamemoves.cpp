#include "rules/gamemoves.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/check.h"
#include "platform/display.h"
#include "platform/timeofday.h"
#include "records/notation.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/clock.h"
#include "rules/game.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/movegen.h"
#include "rules/record.h"

namespace xq {

namespace {

constexpr int kSixtyMovePlies = 120;  // sixty moves by each side
constexpr uint32_t kHintStepMilliseconds = 12;

// CheckGameEnd's steps; the message box that repeats a check only when `checkBox`.
void JudgePosition(bool checkBox) {
    ShowMessage("");
    const bool hasMove = HasLegalMove();
    const bool inCheck = IsAttacked(otherSide, KingSquare(sideToMove)) != 0;
    std::string_view result;
    if (!hasMove) result = inCheck ? kMateText : kStalemateText;
    if (hasMove && predictedScore >= kForcedMateScore) ShowMessage(ForcedMateText(predictedScore));
    if (hasMove && inCheck) {
        ShowMessage(Tr(kCheckText));
    } else if (hasMove && CountQuietPlies() >= kSixtyMovePlies) {
        result = kSixtyMovesText;
    } else if (hasMove && predictedScore > kResignLow && predictedScore < kResignHigh) {
        // The side that just moved is the engine, and it gives up.
        result = otherSide == Red ? kRedResignsText : kBlackResignsText;
    }
    if (!result.empty()) {
        SetGameResult(result);
        // The panel keeps saying how the game ended, behind the end-of-game dialog and after it.
        ShowMessage(Tr(result));
    }
    if (checkBox && hasMove && inCheck)
        MessageBox(Tr(kCheckBoxText), Tr(kBoxCaption), BoxIcon::Exclamation);
}

// After a taken-back or replayed full move the engine's line no longer applies.
void ShowPositionAfterMenuMove() {
    ClearSearchResult();
    RedrawChangedSquares();
    ClearBestPath();
    ShowTurn(sideToMove);
}

}  // namespace

std::string ForcedMateText(int32_t score) {
    // The mate is an odd number of plies away, the first of them the move just played.
    const int32_t plies = (kMateScoreBase - score) / kMatePlyScore;
    return FormatText(kForcedMatePattern, {std::to_string(std::max(0, plies - 1) / 2)});
}

bool ValidateEnteredMove(Square from, Square to) {
    enteredMove = FindGeneratedMove(from, to);
    if (enteredMove.piece == Empty) {
        ShowWarning(Tr(kImpossibleMoveText));
        return false;
    }
    if (LeavesKingAttacked(enteredMove)) {
        enteredMove = NullMove;
        ShowWarning(Tr(kKingLeftInCheckText));
        return false;
    }
    // While the engine thinks its driver takes the move from enteredMove.
    if (!thinking) {
        RebaseRecord();
        CommitEnteredMove();
        SlideRecord();
    }
    return true;
}

void CommitEnteredMove() {
    GameRecord[recordTop + 1] = enteredMove;
    lastPlayerMove = enteredMove;
    ClearSearchResult();
    EndDrag(false);
    PerformMove(GameRecord[recordTop + 1]);
    // Also when no engine turn follows: two players at the board, the end of the game.
    ShowTurn(sideToMove);
}

// 1. Stop the clock that ran for the move. 2. Show the move line in the mover's field.
// 3. Play. 4. Redraw. 5. Check for the end. 6. Start the clock of the side now to move, unless
// nobody moves any more.
void PerformMove(MoveRecord move) {
    XQ_ASSERT(recordTop < kRecordTopSlot && SameMove(move, GameRecord[recordTop + 1]));
    CountGameChange();
    StopClock();
    FormatPanelMoveLine(plyCount, clockSide, move, sideToMove, sideClock[runningClock].elapsed);
    PlayMove(move);
    RedrawChangedSquares();
    CheckGameEnd();
    if (!gameOver) StartClock(clockSide);
}

// As PerformMove; the move line goes to the field of the side to move before the take-back, the
// text is written for the side that had played the move. A game taken back from its end goes on:
// its result no longer holds, and a replay of the last move announces it again.
void RetractMove(MoveRecord move) {
    XQ_ASSERT(move.piece != Empty && SameMove(move, GameRecord[recordTop]));
    CountGameChange();
    StopClock();
    FormatPanelMoveLine(plyCount, clockSide, move, otherSide, sideClock[runningClock].elapsed);
    TakeBackMove(move);
    RedrawChangedSquares();
    gameOver = 0;
    CheckGameEnd();
    if (!gameOver) StartClock(clockSide);
}

void CheckGameEnd() {
    JudgePosition(true);
}

void SetGameResult(std::string_view text) {
    gameResultText = text;
    gameOver = 1;
}

void AnnounceSetUpGame() {
    // 1. Nothing of the previous game's moves, search, messages or clock stays on the panel; no
    // clock runs before the first move.
    StopClockDisplay();
    ResetPanel();
    ShowLevel();
    ShowTurn(sideToMove);
    ShowPanelValue("Timer", "");
    // 2. The position judged as after a move; a check set up is named in the message line, but
    // nobody gave it, so no box repeats it.
    JudgePosition(false);
    if (gameOver) ShowEndOfGame(gameResultText);
}

bool CanTakeBackFullMove() {
    // Slot kRecordBottom never holds a move, so the second test stays inside the record.
    return recordTop <= -1 && GameRecord[recordTop].piece != Empty &&
           GameRecord[recordTop - 1].piece != Empty;
}

bool CanReplayFullMove() {
    if (replayableFullMoves > 0) return recordTop <= -3;
    return replayableOddPly != 0 && recordTop <= -2;
}

bool TakeBackFullMove() {
    if (!CanTakeBackFullMove()) return false;
    TakeBackMove(GameRecord[recordTop]);  // the last ply, not shown
    RetractMove(GameRecord[recordTop]);
    ShowPositionAfterMenuMove();
    ++replayableFullMoves;
    return CanTakeBackFullMove();
}

bool ReplayFullMove() {
    if (!CanReplayFullMove()) return false;
    if (replayableFullMoves == 0) {
        PerformMove(GameRecord[recordTop + 1]);  // the odd ply, alone
        ShowPositionAfterMenuMove();
        replayableOddPly = 0;
        return CanReplayFullMove();
    }
    PlayMove(GameRecord[recordTop + 1]);  // not shown
    PerformMove(GameRecord[recordTop + 1]);
    ShowPositionAfterMenuMove();
    --replayableFullMoves;
    return CanReplayFullMove();
}

bool CanReplayPly() {
    return (replayableFullMoves > 0 || replayableOddPly != 0) && recordTop <= -2;
}

bool ReplayPly() {
    if (!CanReplayPly()) return false;
    // The plies above recordTop: the odd one first, when there is one, then the full moves.
    if (replayableOddPly != 0) {
        replayableOddPly = 0;
    } else {
        --replayableFullMoves;
        replayableOddPly = 1;
    }
    PerformMove(GameRecord[recordTop + 1]);
    ShowPositionAfterMenuMove();
    return CanReplayPly();
}

bool CanTakeBackPlies(int plies) {
    if (plies < 1 || recordTop > -1) return false;
    // Slot kRecordBottom never holds a move: the walk stops inside the record.
    for (int slot = recordTop; slot > recordTop - plies; --slot)
        if (GameRecord[slot].piece == Empty) return false;
    return true;
}

bool TakeBackPlies(int plies) {
    if (!CanTakeBackPlies(plies)) return false;
    if (plies % 2 == 1) {
        RetractMove(GameRecord[recordTop]);
        ShowPositionAfterMenuMove();
        // The replayable plies stay one run above recordTop: an odd ply more makes a pair with
        // the one already waiting, or waits itself.
        replayableFullMoves = static_cast<int16_t>(replayableFullMoves + replayableOddPly);
        replayableOddPly = replayableOddPly ? 0 : 1;
    }
    for (int pair = 0; pair < plies / 2; ++pair)
        TakeBackFullMove();
    return true;
}

void ShowPredictedLine() {
    std::string text;
    ShowMessage(text);
    int shown = 0;
    for (; shown < kLineLength && predictedLine[shown].piece != Empty; ++shown) {
        const MoveRecord move = predictedLine[shown];
        text += ShownMove(move, sideToMove);
        text += "  ";
        ShowMessage(text);
        PlayMove(move);
        RedrawChangedSquares();
        BusyWait(kHintStepMilliseconds);
    }
    if (shown == 0) return;
    while (shown > 0)
        TakeBackMove(predictedLine[--shown]);
    RedrawChangedSquares();
}

}  // namespace xq
