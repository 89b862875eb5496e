#include "rules/record.h"

#include <climits>

#include "platform/check.h"
#include "rules/makemove.h"

namespace xq {

MoveRecord gameRecordStorage[kRecordTopSlot - kRecordBottom + 1];
int16_t recordTop = -1;
int32_t plyCount = 0;
Side clockSide = Red;
int16_t replayableFullMoves = 0;
uint8_t replayableOddPly = 0;

void ResetGameRecord() {
    recordTop = -1;
    GameRecord[-1] = NullMove;
    replayableFullMoves = 0;
    replayableOddPly = 0;
}

void RebaseRecord() {
    XQ_ASSERT(recordTop <= -1 && recordTop >= kRecordBottom);
    const int top = recordTop;
    for (int i = top; i >= kRecordBottom; --i)
        GameRecord[i - top - 1] = GameRecord[i];
    recordTop = -1;
    replayableFullMoves = 0;
    replayableOddPly = 0;
}

void SlideRecord() {
    XQ_ASSERT(recordTop == 0);
    --recordTop;
    for (int i = kRecordBottom; i <= recordTop; ++i)
        GameRecord[i] = GameRecord[i + 1];
    GameRecord[kRecordBottom] = NullMove;
}

int CountQuietPlies() {
    // The walk stops at the sentinel below the game's first move, at the latest at kRecordBottom.
    XQ_ASSERT(recordTop >= kRecordBottom && recordTop <= kRecordTopSlot);
    XQ_ASSERT(GameRecord[kRecordBottom].piece == Empty);
    int n = 0;
    while (IsQuietMove(GameRecord[recordTop - n]))
        ++n;
    return n;
}

namespace {

// The position at slot x is the one before move x was played; the current position is the one
// at a = recordTop + 1. The position at c equals the current one when every piece that moved
// between c and a is back on the square it stood on at c. Each move d in [c, a) is explained by
// tracing its piece backward through the record to where it stood at c. The scan ends once
// `enough` occurrences are counted; `latest` gets the slot of the most recent earlier one.
int ScanRepetitions(int quick, int enough, int16_t* latest) {
    XQ_ASSERT(recordTop >= kRecordBottom && recordTop < kRecordTopSlot);
    int reps = 1;
    int16_t a = static_cast<int16_t>(recordTop + 1);
    int16_t b = a;
    int16_t c = static_cast<int16_t>(a - 4);

    // 1. The first slot of the trailing quiet run (with quick, no lower than a - 4).
    while (IsQuietMove(GameRecord[b - 1]) && (b > c || quick == 0))
        --b;
    if (b > c) return reps;  // fewer than four quiet plies

    int16_t d = a;
    for (;;) {
        // 2. Next move to explain: where did the piece of move d arrive?
        --d;
        const Square e = GameRecord[d].to;
        bool movedOnLater = false;
        for (int f = d + 2; f < a; f += 2) {
            if (GameRecord[f].from == e) {
                movedOnLater = true;  // traced from its later move instead
                break;
            }
        }
        if (!movedOnLater) {
            // 3. Trace the piece back to a slot where it stood on e.
            int16_t f = d;
            Square g = GameRecord[d].from;
            do {
                if (f - 2 < b) return reps;  // never stood on e within the quiet run
                f = static_cast<int16_t>(f - 2);
                if (GameRecord[f].to == g) g = GameRecord[f].from;
            } while (!(g == e && f <= c + 1));
            if (f < c) {
                // 4. The earliest candidate must move down, keeping the same side to move.
                c = f;
                if ((a - c) % 2 != 0) {
                    if (c == b) return reps;
                    --c;
                }
                d = a;  // explain every move again against the new c
            }
        }
        if (d > c) continue;

        // 5. Every move in [c, a) is explained: the position at c is the current one.
        if (reps == 1 && latest) *latest = c;
        ++reps;
        if (reps >= enough || c - 2 < b) return reps;
        a = c;
        d = c;
        c = static_cast<int16_t>(c - 2);
    }
}

}  // namespace

int CountRepetitions(int quick) {
    return ScanRepetitions(quick, INT_MAX, nullptr);
}

int LatestRepetition() {
    int16_t latest = static_cast<int16_t>(recordTop + 1);
    ScanRepetitions(0, 2, &latest);
    return latest;
}

}  // namespace xq
