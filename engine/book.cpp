#include "engine/book.h"

#include <algorithm>
#include <fstream>
#include <utility>

#include "engine/search.h"
#include "platform/random.h"
#include "rules/game.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/movegen.h"
#include "rules/record.h"

#ifndef XQ_DATA_DIR
#define XQ_DATA_DIR "/usr/local/share/lanchuan-xiangqi"
#endif

namespace xq {

std::vector<uint8_t> openingLibrary{0};
int32_t libraryPos = 0;
int32_t libraryMoveIndex = 0;
bool libraryFound = false;
bool usingLibrary = false;

namespace {

bool InLibrary(int32_t pos) {
    return pos >= 0 && pos < static_cast<int32_t>(openingLibrary.size());
}

uint8_t EntryAt(int32_t pos) {
    return openingLibrary[static_cast<size_t>(pos)];
}

// The index of `move` in the generated list of the current position; -1 when it is not there.
int GeneratedIndexOf(const MoveRecord& move) {
    GenerateMoves();
    for (int index = 0;; ++index) {
        NextMove();
        if (currentMove.piece == Empty) return -1;
        if (SameMove(currentMove, move)) return index;
    }
}

}  // namespace

void UseOpeningLibrary(std::vector<uint8_t> bytes) {
    if (bytes.size() > static_cast<size_t>(kOpeningLibraryCapacity))
        bytes.resize(kOpeningLibraryCapacity);
    if (bytes.empty()) {
        openingLibrary.assign(1, 0);
        libraryLoaded = false;
        return;
    }
    bytes[0] = 255;         // the parent entry of the top list, and the mark of a loaded library
    bytes.shrink_to_fit();  // nothing beyond the bytes read, so a checker sees any overrun
    openingLibrary = std::move(bytes);
    libraryLoaded = true;
}

bool LoadOpeningLibrary(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::ifstream file(path, std::ios::binary);
    if (file) {
        bytes.resize(kOpeningLibraryCapacity);
        file.read(reinterpret_cast<char*>(bytes.data()), kOpeningLibraryCapacity);
        bytes.resize(static_cast<size_t>(file.gcount()));
    }
    // A file that cannot be opened or holds nothing (a folder, an empty file) means no library.
    UseOpeningLibrary(std::move(bytes));
    return libraryLoaded;
}

std::vector<std::string> OpeningLibrarySearchList() {
    return {"opening.lib", std::string(XQ_DATA_DIR) + "/opening.lib"};
}

bool LoadOpeningLibrary() {
    for (const std::string& path : OpeningLibrarySearchList()) {
        if (LoadOpeningLibrary(path)) return true;
    }
    return false;
}

// 1. Take the game back to its first recorded move.
// 2. When the game began at the opening array, find its moves one by one in the tree.
// 3. Replay the game, so position, record and counters are as before.
// 4. Not found: the game has left the library for good.
void FindLibraryPosition() {
    libraryPos = 0;
    libraryFound = false;
    if (libraryLimit == 0 || !libraryLoaded) return;

    const int16_t lastMove = recordTop;
    while (recordTop > kRecordBottom && GameRecord[recordTop].piece != Empty) {
        const MoveRecord move = GameRecord[recordTop];
        TakeBackMove(move);
    }
    const MoveRecord& start = GameRecord[recordTop];
    if (start.piece == Empty && start.captured == 1) {
        ++recordTop;
        FindLibraryNode(lastMove);
        --recordTop;
    }
    while (recordTop < lastMove) {
        const MoveRecord move = GameRecord[recordTop + 1];
        PlayMove(move);
    }

    if (!libraryFound) {
        libraryLimit = 0;
        libraryPos = 0;
    }
}

void FindLibraryNode(int lastMove) {
    ++libraryPos;  // into the reply list of the entry reached so far
    if (!InLibrary(libraryPos)) return;
    if (recordTop > lastMove) {
        libraryFound = true;
        return;
    }

    const MoveRecord move = GameRecord[recordTop];
    libraryMoveIndex = GeneratedIndexOf(move);
    if (libraryMoveIndex < 0) return;  // the game left the generator's list

    while ((EntryAt(libraryPos) & kIndexMask) != libraryMoveIndex &&
           (EntryAt(libraryPos) & kLastEntry) == 0) {
        if (!NextLibraryEntry(false)) return;
    }
    // Not listed, or listed without replies: the library cannot answer after this move.
    if ((EntryAt(libraryPos) & (kIndexMask | kHasReplies)) != libraryMoveIndex + kHasReplies)
        return;

    PlayMove(move);
    FindLibraryNode(lastMove);
    TakeBackMove(move);
}

bool NextLibraryEntry(bool randomChoice) {
    if (!InLibrary(libraryPos)) return false;
    if ((EntryAt(libraryPos) & kLastEntry) != 0) return FirstLibraryEntry();

    // Skip the entry and its replies: depth counts the reply lists still open.
    int depth = 0;
    do {
        if (!InLibrary(libraryPos)) return false;
        const uint8_t entry = EntryAt(libraryPos);
        if ((entry & kHasReplies) != 0) ++depth;
        if ((entry & kLastEntry) != 0) --depth;
        ++libraryPos;
    } while (depth != 0);

    if (!InLibrary(libraryPos)) return false;
    if (randomChoice && EntryAt(libraryPos) == kListEndMark) return FirstLibraryEntry();
    return true;
}

// A list's first entry directly follows its parent, which always has replies; byte 0 (255)
// plays the parent of the top list.
bool FirstLibraryEntry() {
    for (;;) {
        if (libraryPos < 1 || !InLibrary(libraryPos)) return false;
        if ((EntryAt(libraryPos - 1) & kHasReplies) != 0) return true;
        if (!SkipBackLibraryEntry()) return false;
    }
}

bool SkipBackLibraryEntry() {
    int depth = 0;
    do {
        --libraryPos;
        if (!InLibrary(libraryPos)) return false;
        const uint8_t entry = EntryAt(libraryPos);
        if ((entry & kLastEntry) != 0) ++depth;
        if ((entry & kHasReplies) != 0) --depth;
    } while (depth != 0);
    return true;
}

int LibraryChoiceSteps(int r) {
    return static_cast<int>(std::count_if(std::begin(libraryWeights), std::end(libraryWeights),
                                          [r](uint8_t weight) { return weight <= r; }));
}

MoveRecord PickLibraryMove() {
    return PickLibraryMove(Random(16));
}

MoveRecord PickLibraryMove(int r) {
    const int steps = LibraryChoiceSteps(r);
    for (int i = 0; i < steps; ++i) {
        if (!NextLibraryEntry(true)) return NullMove;
    }
    if (!InLibrary(libraryPos) || libraryPos < 1) return NullMove;
    libraryMoveIndex = EntryAt(libraryPos) & kIndexMask;
    GenerateMoves();
    for (int i = 0; i <= libraryMoveIndex; ++i)
        NextMove();
    return currentMove;
}

void ChooseLibraryMove() {
    MoveRecord move = PickLibraryMove();
    // A damaged or foreign library may name a move that leaves the King attacked.
    if (move.piece != Empty && LeavesKingAttacked(move)) move = NullMove;
    bestLine[0] = move;
    bestLine[1] = NullMove;
    searchScore = 0;
    iterationDepth = 0;
    rootMoveCount = 0;
    nodeCount = 0;
}

}  // namespace xq
