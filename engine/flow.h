// The game flow on the engine's side: from the user's accepted move to the engine's move on the
// board, thinking on the user's time with the expected reply on the board (pondering), hints, and
// the demonstration in which the engine plays both sides game after game.
//
// Everything runs on the window's thread. The window starts an engine turn with ComputerTurn and
// hands a completed click move to HandleBoardMove; while a search runs, clicks reach the flow
// only through the search's message pump (engine/pump.h).
#pragma once

#include <cstdint>

#include "engine/pump.h"
#include "platform/texts.h"  // the texts the window reports
#include "rules/types.h"

namespace xq {

extern Side userSide;             // whose pieces the user may pick up
extern Side computerSide;         // the side the engine plays
extern uint8_t computerThinking;  // ComputerTurn is running
extern uint8_t soundOn;           // the option "声音": a beep after each engine move
// The option "分析模式": the window's own engine analyses the board while the user moves for both
// sides, as in two-player mode; the game's engine moves only when asked and never ponders.
extern uint8_t analysisMode;

// Whether "悔棋" and "重下" go one ply at a time: with two people at the board (two-player
// mode, analysis mode) each ply is one player's move; against the engine they go a full move.
bool TakesBackByPly();
// Whether "悔棋" and "重下" have something to take back or to replay, by ply or by full move.
bool CanTakeBackMenuMove();
bool CanReplayMenuMove();

// The user plays the side to move, the engine the other one (after a new, restored, imported or
// set-up game and after the menu's take-back and replay).
void SidesFromThePosition();

// The engine's turn as the window runs it: think menu and busy cursor, EngineTurnLoop, the normal
// menu and the arrow cursor back, then the end-of-game dialog when the game has ended.
void ComputerTurn();

// True when a click on the board is taken: neither an engine turn nor a hint's search is running,
// or the running search hands the click over.
bool BoardTakesClicks();
// What the board does after the second click of a move from `from` to `to` (sideToMove's move).
// A refused move has shown its warning and returns false. An accepted one sets userMovePending
// and enables "悔棋" when CanTakeBackMenuMove; then the end of the game is shown; or, in
// two-player mode and in analysis mode, the board passes to the other player (userSide, and
// computerSide with it) and the engine stays idle; or, outside a search, the engine answers
// (ComputerTurn). Returns whether the move was accepted.
bool HandleBoardMove(Square from, Square to);

// Engine moves until no user move waits: a user move entered while the engine pondered, and not
// the predicted one, is answered by another round.
void EngineTurnLoop();
// Finds one engine move (opening library or search) and plays it with PlayEngineMove; in a
// demonstration it goes on with the next move until the demonstration is stopped.
void ComputerMove();
// Plays bestLine[0] as the engine's move with recordTop -1, keeps the rest of the line as the
// prediction, then ponders (not at the easy level, not after the end of the game). Without a move
// the mate search says that it found no mate and gives the side to move to the user. Returns true
// when a demonstration goes on with another ComputerMove (the caller makes it); a demonstration
// game that has ended is replaced by a new one first.
bool PlayEngineMove();
// Thinks on the user's time with the predicted reply on the board; plays the engine's answer at
// once when the user played that reply, or commits the user's other move for the turn loop.
void Ponder();
// Thinks on the user's time again, as after the engine's move, once the player has looked back
// over the game (which stopped it): only while the user is to move in the game as the engine
// left it, with its expected reply, at a level that thinks on the user's time. Runs the engine's
// turn that a user move made meanwhile calls for, as ComputerTurn does.
void PonderAgain();
// Leaves a hint in predictedLine[0]: the prediction already made, a library reply, or the best
// move of a one-iteration search under the last timeLimit.
void Hint();

// Why a demonstration game ends after the engine's move (None: it goes on).
enum class DemoEnding { None, NoMove, PlyLimit, QuietPlies, Repetition, Lost };
// The demonstration's test of the position after the engine's move: 120 plies, 60 quiet plies in
// a row, a threefold repetition, or a score of -5456 or less for the side that moved.
DemoEnding DemoGameEnding();
// Called before a demonstration replaces an ended game by a new one (tools stop after N games).
using DemoGameOverHook = void (*)(DemoEnding ending);
extern DemoGameOverHook demoGameOverHook;

// Called after each engine move outside a demonstration, for the game log's line; the log reads
// bestLine, lastPlayerMove, predictedLine, searchScore, iterationDepth, rootMoveCount, nodeCount
// and searchClock before the flow clears lastPlayerMove.
using EngineMoveLogHook = void (*)();
extern EngineMoveLogHook engineMoveLogHook;

}  // namespace xq
