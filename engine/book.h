// The opening library: a tree of moves read from opening.lib. Each entry is one byte: bits 0..5
// the move's index in the list GenerateMoves builds for the position (as NextMove hands them
// out), bit 6 "a list of replies follows", bit 7 "last entry of its list". The tree is stored in
// pre-order from byte 1 on; byte 0 is set to 255 on loading and stands as the parent of the top
// list, which holds the first moves from the opening array.
//
// When the library is consulted: rules/game.h's libraryLimit is the per-game switch. NewGame sets
// it to 1 when a library is loaded; a position set up by other means sets it to 0; the first
// lookup that does not find the game in the tree sets it to 0 for the rest of the game. So the
// engine answers from the library, as first or as second player and for hints, for as long as
// every move of the game has been found in the tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rules/types.h"

namespace xq {

inline constexpr int kOpeningLibraryCapacity = 34668;

// One byte per tree entry: the move's place in the generated list, and two flags.
inline constexpr uint8_t kIndexMask = 0x3F;
inline constexpr uint8_t kHasReplies = 0x40;  // the entry's reply list follows it
inline constexpr uint8_t kLastEntry = 0x80;   // the entry ends its list
// Where a next entry would start, this byte also ends a list during the random choice.
inline constexpr uint8_t kListEndMark = 0x3F;

// Exactly the bytes read (at most kOpeningLibraryCapacity), byte 0 set to 255; or the single
// byte 0 when no file could be read. Every walker below stays within these bytes.
extern std::vector<uint8_t> openingLibrary;
extern int32_t libraryPos;        // current entry; 0: no library position
extern int32_t libraryMoveIndex;  // index of the move looked for or chosen
extern bool libraryFound;         // the last replay reached the current position
extern bool usingLibrary;         // the engine's last move came from the library

// Thresholds of the weighted choice: a random r in 0..15 moves past one entry per weight <= r.
inline constexpr uint8_t libraryWeights[7] = {7, 10, 12, 13, 14, 15, 16};

// Reads opening.lib from the working directory, else from the installed data folder. Sets
// libraryLoaded (rules/game.h) and returns it. A file that is missing or holds nothing leaves
// the one-byte buffer 0 and the library off, without a message.
bool LoadOpeningLibrary();
// The same for one named file.
bool LoadOpeningLibrary(const std::string& path);
// Installs `bytes` as the library as if they had been read from a file.
void UseOpeningLibrary(std::vector<uint8_t> bytes);
// The places LoadOpeningLibrary() tries, in order.
std::vector<std::string> OpeningLibrarySearchList();

// Before the engine searches (own move or hint): replays the game from its first move through
// the tree. Afterwards libraryPos > 0 when the library has replies for the current position, and
// libraryPos is then the first entry of that list. Leaves position, record and counters as found.
// A failed lookup turns the library off for the rest of the game (libraryLimit = 0).
void FindLibraryPosition();
// One step of the replay: `recordTop` names the game move to find next, `lastMove` the latest
// game move. Moves libraryPos into the reply list of the current entry and, while game moves
// remain, finds the next one in it, plays it and recurses. Sets libraryFound on success.
void FindLibraryNode(int lastMove);

// The tree walkers. Each returns false when it would leave the loaded bytes; libraryPos is then
// meaningless and the caller treats the position as not in the library.
// Moves to the next entry of the current list, past the replies of the current one; after the
// last entry it wraps to the first. With randomChoice, a 0x3F byte where the next entry would
// start also ends the list.
bool NextLibraryEntry(bool randomChoice);
// Moves back to the first entry of the current list.
bool FirstLibraryEntry();
// Moves back over one earlier entry of the current list together with its replies.
bool SkipBackLibraryEntry();

// How many entries the weighted choice moves past for a random r in 0..15.
int LibraryChoiceSteps(int r);
// Requires libraryPos > 0 from FindLibraryPosition, on the same position. Chooses one of the
// listed replies, weighted towards the first entries, and returns it as generated for the
// position; NullMove when the entry names no generated move or the walk left the loaded bytes.
// Leaves the chosen index in libraryMoveIndex. The first form draws r = Random(16).
MoveRecord PickLibraryMove();
MoveRecord PickLibraryMove(int r);
// Instead of a search: the library move in bestLine[0] (NullMove when there is none or when it
// is not legal), an empty rest of the line, and score, depth, root moves and nodes all 0.
void ChooseLibraryMove();

}  // namespace xq
