#include "engine/think.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "engine/evaluation.h"
#include "engine/search.h"
#include "rules/record.h"

namespace xq {

uint8_t levelKind = 2;
uint8_t maxDepth = 45;
uint8_t noTimeLimit = 0;
uint8_t timedThinking = 0;
uint8_t pondering = 0;
double timeLimit = 0.0;

namespace {

std::chrono::steady_clock::time_point searchStart = std::chrono::steady_clock::now();

// Root window bounds: a score beyond them is a mate found within 27 plies.
constexpr int32_t kWindowTop = 32512;
constexpr int32_t kMateFound = 28512;
constexpr int32_t kMateSearchBound = 24576;

}  // namespace

void PumpMessages() {}

void StartSearchClock() {
    searchStart = std::chrono::steady_clock::now();
}

double SearchSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - searchStart).count();
}

bool TimeIsUp() {
    if (!timedThinking || noTimeLimit) return false;
    return SearchSeconds() >= timeLimit;
}

void SearchToDepth(int depthLimit, IterationHook afterIteration) {
    const int16_t gameTop = recordTop;
    // 1. A fresh count and no stop; the root has no checking move before it.
    StartSearchClock();
    nodeCount = 0;
    stopSearch = 0;
    inCheckFlags[-1] = 0;
    // 2.
    PrepareEvaluation();
    // 3. The search starts from the static score, without a line.
    rootParent.eval = rootParent.score = -rootScore;
    iterationDepth = 0;
    bestLine[0] = NullMove;
    searchScore = rootScore;
    rootWindowLow = 32767;
    // 4. Iterations with a one-sided window 128 below the lowest score seen so far.
    do {
        if (iterationDepth <= 1) firstIterationScore = searchScore;
        rootWindowLow = std::min(rootWindowLow, searchScore - 128);
        if (levelKind == kLevelMateSearch) {
            rootWindowLow = kMateSearchBound;
            if (iterationDepth > 0) ++iterationDepth;  // odd depths only: the mating side's plies
        }
        ++iterationDepth;
        const int32_t score = RootSearch(rootWindowLow, kWindowTop);
        // Every move failed low: search again below the window, keeping the iterations going.
        if (score <= rootWindowLow && !stopSearch && levelKind != kLevelMateSearch &&
            rootMoveCount > 0) {
            searchScore = rootWindowLow;
            RootSearch(-kWindowTop, rootWindowLow - 16);
            rootMoveCount = 2;
        }
        if (afterIteration) afterIteration();
    } while (!stopSearch && !TimeIsUp() && iterationDepth < depthLimit && rootMoveCount > 1 &&
             std::abs(searchScore) < kMateFound);
    recordTop = gameTop;
}

}  // namespace xq
