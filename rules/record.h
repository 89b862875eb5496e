// The game record: the moves that led to the current position, the ply counter and the side whose
// clock is to run, with the draw and repetition tests that read the record.
#pragma once

#include "rules/types.h"

namespace xq {

inline constexpr int kRecordBottom = -256;
inline constexpr int kRecordTopSlot = 46;

// Indexed kRecordBottom..kRecordTopSlot. Between games and after every committed move the latest
// move sits at -1; taken-back moves stay above recordTop ready to be replayed; slots 0..46 are
// working space where the engine plays the line it examines. The entry below the first move of a
// game is a sentinel with piece 0 whose captured field is 1 when the game began at the opening
// array and 0 when it began from a loaded or edited position.
extern MoveRecord gameRecordStorage[kRecordTopSlot - kRecordBottom + 1];
inline MoveRecord* const GameRecord = gameRecordStorage - kRecordBottom;

extern int16_t recordTop;  // index of the most recent move played
extern int32_t plyCount;   // plies played in the current game
extern Side clockSide;     // the side whose clock is to run
// Full moves taken back with the menu that may be replayed: they are the pairs of slots right
// above recordTop. Any other move, a new game or a set-up position ends them, whatever the slots
// above recordTop still hold (working moves of the engine, a withdrawn predicted reply).
extern int16_t replayableFullMoves;
// A single ply taken back beyond the replayable full moves (going back to a position an odd number
// of plies before the game's last): it sits above them and is replayed on its own after them.
// Ended with them.
extern uint8_t replayableOddPly;

// recordTop = -1 with NullMove in slot -1; nothing to replay.
void ResetGameRecord();
// Used while recordTop <= -1: discards taken-back moves and moves the last move played to -1.
void RebaseRecord();
// Used after a move was committed into slot 0 and played: shifts it to -1, dropping the oldest.
void SlideRecord();

// Consecutive quiet moves ending at the top of the record.
int CountQuietPlies();
// How often the current position, same side to move, occurred within the trailing quiet run,
// this occurrence included (1 = no repetition). With quick set only four plies back are compared.
int CountRepetitions(int quick);
// The slot of the most recent earlier occurrence of the current position within the trailing
// quiet run: the moves from that slot up to recordTop make the cycle. recordTop + 1 when the
// position has not occurred before.
int LatestRepetition();

}  // namespace xq
