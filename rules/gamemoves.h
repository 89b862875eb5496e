// Moves as the game plays them: the user's entered move checked and committed, moves performed
// and retracted with the panel, the clocks and the board display, the end-of-game announcements,
// the full-move take-back and replay of the menu, and the hint line shown on the board.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/texts.h"  // the message texts of the game moves
#include "rules/types.h"

namespace xq {

// The engine's scores that the end-of-game check reads: at or above kForcedMateScore the engine
// has found a mate; strictly between the two resignation bounds it gives up. A mate found scores
// kMateScoreBase - plies * kMatePlyScore, `plies` counting both sides' moves up to the mate.
inline constexpr int32_t kForcedMateScore = 29536;
inline constexpr int32_t kMateScoreBase = 32000;
inline constexpr int32_t kMatePlyScore = 128;
inline constexpr int32_t kResignLow = -25500;
inline constexpr int32_t kResignHigh = -5456;

// "N moves to mate" for the message line after the engine's move, from the forced-mate score of
// the position it moved in: N counts the moves the mating side still has to make (a mate in 3
// found says 2 after its first move, then 1).
std::string ForcedMateText(int32_t score);

// Checks the user's move from `from` to `to` for sideToMove. A move that is not generated, or that
// leaves the mover's King attacked (facing Kings included), is refused with a warning and changes
// nothing. An accepted move is kept in enteredMove and, unless the engine is thinking, committed.
bool ValidateEnteredMove(Square from, Square to);

// Writes enteredMove above recordTop and performs it as the user's move; the panel's turn field
// then names the side to reply.
void CommitEnteredMove();

// Plays `move` in the game, or takes it back, with the panel's move line, the clocks, the board
// redraw and the end-of-game check. The clock of the side to move runs afterwards unless the game
// is over. The caller keeps the record (PerformMove expects the move in slot recordTop + 1;
// RetractMove expects it to be the last one played).
void PerformMove(MoveRecord move);
void RetractMove(MoveRecord move);

// Looks at the position after a move (sideToMove must reply) and announces check, mate, stalemate,
// the sixty-move rule, a forced mate or a resignation. A mate or stalemate found here is the
// result and is not replaced by a later rule of the same check. A result it announces stays in
// the message line.
void CheckGameEnd();

void SetGameResult(std::string_view text);

// After a game has started from a position set up by other means (the editor's "完成", a pasted
// FEN, a restored file): the panel starts clean with the turn, the level and the clock's label,
// and the position is judged as after a move, so that one that is already mate or stalemate ends
// the game at once with the end-of-game dialog. A check is named in the message line only: no
// move gave it, so no message box repeats it.
void AnnounceSetUpGame();

// Whether the record holds two real plies below recordTop + 1 (not the sentinel, not a slot the
// record has dropped), and whether a full move taken back with the menu may be played again.
bool CanTakeBackFullMove();
bool CanReplayFullMove();
// The menu's take-back: takes back the last two plies when CanTakeBackFullMove, else changes
// nothing. Returns CanTakeBackFullMove afterwards.
bool TakeBackFullMove();
// The menu's replay: plays a taken-back full move again when CanReplayFullMove, else changes
// nothing; once no full move is left, a single ply taken back by TakeBackPlies. Returns
// CanReplayFullMove afterwards.
bool ReplayFullMove();
// The replay of a single ply, for two people at the board: the next ply taken back, alone (the
// other ply of a full move taken back then waits alone). CanReplayPly when there is one; ReplayPly
// changes nothing otherwise and returns CanReplayPly afterwards.
bool CanReplayPly();
bool ReplayPly();
// Whether the record holds the game's last `plies` plies (at least one), so that the game can go
// back to the position before them.
bool CanTakeBackPlies(int plies);
// The game back to the position `plies` plies before its last, on the menu's take-back path:
// an odd ply alone first, then full moves, each shown, so that the menu's replay plays them all
// again. Changes nothing unless CanTakeBackPlies. Returns whether it went back.
bool TakeBackPlies(int plies);

// Shows predictedLine on the board one move after the other, with the moves' text growing in the
// message line, then takes them all back. Position, counters and sides end as they began.
void ShowPredictedLine();

}  // namespace xq
