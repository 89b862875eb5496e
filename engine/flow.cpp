#include "engine/flow.h"

#include "engine/book.h"
#include "engine/commands.h"
#include "engine/enginechoice.h"
#include "engine/movevalues.h"
#include "engine/search.h"
#include "engine/think.h"
#include "engine/timecontrol.h"
#include "platform/display.h"
#include "platform/messages.h"
#include "platform/timeofday.h"
#include "rules/board.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/record.h"

namespace xq {

// The end-of-game check counts the moves to a mate from the search's scores.
static_assert(kMateScoreBase == kMateScore && kMatePlyScore == kMatePly);

Side userSide = Red;
Side computerSide = Black;
uint8_t computerThinking = 0;
uint8_t soundOn = 1;
uint8_t analysisMode = 0;
DemoGameOverHook demoGameOverHook = nullptr;
EngineMoveLogHook engineMoveLogHook = nullptr;

bool TakesBackByPly() {
    return twoPlayerMode || analysisMode;
}

bool CanTakeBackMenuMove() {
    return TakesBackByPly() ? CanTakeBackPlies(1) : CanTakeBackFullMove();
}

bool CanReplayMenuMove() {
    return TakesBackByPly() ? CanReplayPly() : CanReplayFullMove();
}

void SidesFromThePosition() {
    userSide = sideToMove;
    computerSide = otherSide;
}

namespace {

constexpr uint32_t kFlashMilliseconds = 8;
constexpr int kDemoPlyLimit = 120;
constexpr int kDemoQuietLimit = 60;
constexpr int kDemoRepetitionLimit = 3;
constexpr int32_t kDemoLostScore = -5456;

// Whether the move PlayEngineMove is about to play came from a search (not from the library), so
// that searchScore is its value.
bool searchedMove = false;

// A move played at the game's ply `ply` that may differ from the one whose values are kept there.
void NewMoveAt(int32_t ply) {
    ForgetMoveValuesFrom(ply);
}

// After the engine's move at the game's latest ply: its search valued the position it searched
// (after the ply before) and, along its line, the position after its move.
void NoteSearchValue() {
    const int32_t value = RedValueOf(searchScore, otherSide);
    if (plyCount >= 2) {
        MoveValue& before = MoveValueAt(plyCount - 1);
        before.redValue = value;
        before.known = true;
    }
    MoveValue& after = MoveValueAt(plyCount);
    after.redValue = OnePlyNearer(value);
    after.known = true;
    MoveValuesChanged();
}

void StartNextDemoGame(DemoEnding ending) {
    if (demoGameOverHook) demoGameOverHook(ending);
    NewGame();
    RedrawAll();
}

// The search for the engine's move. The engine moves whenever it has a legal move: when the
// search refused them all because each repeats a position, it searches again taking those
// repetitions at the root. The mate search plays only the mates it finds.
void SearchEngineMove() {
    ThinkWithChosenEngine(maxDepth);
    if (bestLine[0].piece != Empty || levelKind == kLevelMateSearch || !HasLegalMove()) return;
    // An added engine that failed has been told about; asking it again would only fail again.
    if (ChosenEngineFailed()) return;
    repetitionAllowedAtRoot = 1;
    ThinkWithChosenEngine(maxDepth);
    repetitionAllowedAtRoot = 0;
}

// One move of ComputerMove; true when a demonstration wants the next one.
bool OneComputerMove() {
    // 1. The time for this move.
    ComputeTimeLimit();
    // 2. The last game move in slot -1.
    RebaseRecord();
    // 3. Is the game still in the library? An added engine plays its own openings.
    FindLibraryPosition();
    if (!UsesOpeningLibrary()) libraryPos = 0;
    // 4. The search's root.
    recordTop = 0;
    bool fromLibrary = false;
    if (libraryPos > 0) {
        // 5. The library's move.
        ShowMessage(Tr(kUsingLibraryText));
        usingLibrary = true;
        ChooseLibraryMove();
        // The window gets one message in; "停止" then keeps the move from being played.
        Message message;
        if (PeekMessage(&message, kAnyWindow, true)) {
            if (message.kind == MessageKind::Command && message.command == kCommandStop) {
                demoMode = 0;  // as in a search: stopping also ends a demonstration
                recordTop = -1;
                SidesFromThePosition();  // the move is the user's now, or nobody could make it
                return false;
            }
            DispatchMessage(message);
        }
        // An entry that names no legal move leaves the choice to the search.
        fromLibrary = bestLine[0].piece != Empty;
    }
    if (!fromLibrary) {
        // 6. The search's move.
        if (usingLibrary) {
            usingLibrary = false;
            ShowMessage("");
        }
        SearchEngineMove();
    }
    // 7. Play it.
    recordTop = -1;
    searchedMove = !fromLibrary;
    return PlayEngineMove();
}

}  // namespace

// A demonstration's moves are the engine's show, not the user's game: they never make the game one
// to ask about saving, while changes from before it still count.
void ComputerTurn() {
    const bool demonstration = demoMode != 0;
    const bool keptBefore = !GameChangedSinceKept();
    // 1. The think menu and the busy cursor.
    computerThinking = 1;
    SetCursor(Cursor::Busy);
    SetMenu(MenuKind::Think);
    // 2. The engine moves until no user move waits.
    EngineTurnLoop();
    if (demonstration && keptBefore) MarkGameKept();
    // 3. The normal menu and the arrow cursor back.
    SetMenu(MenuKind::Normal);
    computerThinking = 0;
    SetCursor(Cursor::Arrow);
    // 4. The end of the game, when it has come.
    if (gameOver) ShowEndOfGame(gameResultText);
}

bool BoardTakesClicks() {
    // A search that is not the engine's turn (a hint) hands no clicks over: they wait for it.
    return (!computerThinking && !thinking) || inPumpDispatch;
}

bool HandleBoardMove(Square from, Square to) {
    if (!BoardTakesClicks()) return false;
    if (!ValidateEnteredMove(from, to)) return false;
    if (!thinking) NewMoveAt(plyCount);  // inside a search the move waits to be played
    userMovePending = 1;
    // Against the engine not for a first ply alone.
    EnableMenuItem("UndoMove", CanTakeBackMenuMove());
    if (gameOver) {
        ShowEndOfGame(gameResultText);
    } else if (twoPlayerMode || analysisMode) {
        // Two people (or one analysing for both sides) alternate at the board: it passes to the
        // side whose turn it is now (inside a search the move is only recorded, so that is still
        // the other side).
        userSide = inPumpDispatch ? otherSide : sideToMove;
        computerSide = Opponent(userSide);
        // The easy level's threat frames now guard the pieces of the player at the board.
        RedrawChangedSquares();
    } else if (!inPumpDispatch) {
        ComputerTurn();
    }
    return true;
}

void EngineTurnLoop() {
    do {
        userMovePending = 0;
        ShowTurn(sideToMove);
        ComputerMove();
    } while (userMovePending);
}

void ComputerMove() {
    // A demonstration goes on move after move; a loop rather than a call per move keeps the
    // stack flat however long it runs.
    while (OneComputerMove()) {
    }
}

bool PlayEngineMove() {
    // 1. The slot just above the game.
    const MoveRecord move = bestLine[0];
    GameRecord[0] = move;
    // 2. What the engine expects from here on.
    for (int k = 0; k + 1 < kLineLength; ++k)
        predictedLine[k] = bestLine[k + 1];
    predictedLine[kLineLength - 1] = NullMove;
    predictedScore = searchScore;
    // 3. No move: the end has already been announced after the user's move; or the mate search
    // has found no mate, which it says, and the user plays on with the side to move.
    if (move.piece == Empty) {
        predictedLine[0] = NullMove;
        if (demoMode) {
            StartNextDemoGame(DemoEnding::NoMove);
            return true;
        }
        if (levelKind == kLevelMateSearch && !gameOver && HasLegalMove()) {
            ShowMessage(Tr(kNoMateFoundText));
            SidesFromThePosition();
        } else if (ChosenEngineFailed() && !gameOver) {
            // The failure has been told; the user plays on, or takes back, or chooses another
            // engine.
            SidesFromThePosition();
        }
        return false;
    }
    // 4. Flash the move.
    PlayMove(move);
    RedrawChangedSquares();
    BusyWait(kFlashMilliseconds);
    TakeBackMove(move);
    RedrawChangedSquares();
    BusyWait(kFlashMilliseconds);
    // 5. Play it in the game, with its value when a search found it.
    NewMoveAt(plyCount + 1);
    PerformMove(move);
    if (searchedMove) NoteSearchValue();
    searchedMove = false;
    // 6. The beep.
    if (soundOn) Beep();
    // 7. Anchor the record at -1.
    SlideRecord();
    // 8. The game log's line.
    if (engineMoveLogHook && !demoMode) engineMoveLogHook();
    // 9. The user has not moved since.
    lastPlayerMove = NullMove;
    ShowTurn(sideToMove);
    // 10. A demonstration goes on, in a new game when this one has ended.
    if (demoMode) {
        const DemoEnding ending = DemoGameEnding();
        if (ending != DemoEnding::None) StartNextDemoGame(ending);
        return true;
    }
    // 11. Think on the user's time.
    if (levelKind != kLevelEasy && !gameOver) Ponder();
    return false;
}

DemoEnding DemoGameEnding() {
    if (plyCount >= kDemoPlyLimit) return DemoEnding::PlyLimit;
    if (CountQuietPlies() >= kDemoQuietLimit) return DemoEnding::QuietPlies;
    if (CountRepetitions(0) >= kDemoRepetitionLimit) return DemoEnding::Repetition;
    if (searchScore <= kDemoLostScore) return DemoEnding::Lost;
    return DemoEnding::None;
}

void Ponder() {
    // 1. To the user the program looks idle.
    SetCursor(Cursor::Arrow);
    SetMenu(MenuKind::Normal);
    // 2. Nothing to ponder on.
    if (predictedLine[0].piece == Empty || twoPlayerMode || analysisMode) return;
    // 3. Untimed thinking.
    timedThinking = 0;
    pondering = 1;
    // 4. The predicted reply becomes the last game move, unseen and without clocks.
    RebaseRecord();
    GameRecord[recordTop + 1] = predictedLine[0];
    PlayMove(predictedLine[0]);
    SlideRecord();
    RebaseRecord();
    // 5. Search from the position after the reply.
    recordTop = 0;
    ThinkWithChosenEngine(maxDepth);
    recordTop = -1;
    pondering = 0;
    // 6. The user played the predicted reply; the search was the engine's own.
    if (timedThinking) {
        searchedMove = true;
        PlayEngineMove();
        return;
    }
    // 7. Otherwise the reply leaves the board; a different user move is played for the loop.
    TakeBackMove(GameRecord[recordTop]);
    if (userMovePending) {
        RebaseRecord();
        NewMoveAt(plyCount + 1);
        CommitEnteredMove();
        SlideRecord();
        SetMenu(MenuKind::Think);
        SetCursor(Cursor::Busy);
    }
}

void PonderAgain() {
    if (computerThinking || thinking || demoMode || twoPlayerMode || gameOver) return;
    if (levelKind == kLevelEasy || predictedLine[0].piece == Empty) return;
    // Nothing replayable: the ponder's reply drops it.
    if (sideToMove != userSide || recordTop > -1 || CanReplayFullMove()) return;
    computerThinking = 1;
    userMovePending = 0;
    Ponder();
    if (userMovePending) EngineTurnLoop();
    SetMenu(MenuKind::Normal);
    computerThinking = 0;
    SetCursor(Cursor::Arrow);
    if (gameOver) ShowEndOfGame(gameResultText);
}

void Hint() {
    // 1. The line already predicted for the user is the hint.
    if (predictedLine[0].piece != Empty) return;
    // 2. The game's position as the root.
    RebaseRecord();
    FindLibraryPosition();
    if (!UsesOpeningLibrary()) libraryPos = 0;
    recordTop = 0;
    // 3. A library reply, else (or when the entry names no legal move) a search: one iteration
    // of the classic engine, the 大师 engine's within the hint's time.
    if (libraryPos > 0) ChooseLibraryMove();
    if (libraryPos <= 0 || bestLine[0].piece == Empty) {
        timedThinking = 1;
        pondering = 0;
        hinting = 1;
        HintWithChosenEngine();
        hinting = 0;
    }
    // 4. The hint is the user's predicted move.
    recordTop = -1;
    predictedLine[0] = bestLine[0];
    predictedLine[1] = NullMove;
    predictedScore = -searchScore;
}

}  // namespace xq
