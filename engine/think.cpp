#include "engine/think.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/evaluation.h"
#include "engine/search.h"
#include "platform/check.h"
#include "platform/display.h"
#include "platform/texts.h"
#include "records/notation.h"
#include "rules/board.h"
#include "rules/game.h"
#include "rules/record.h"

namespace xq {

uint8_t levelKind = kDefaultLevel;
double levelTime = kDefaultLevelTime;
uint8_t maxDepth = kDefaultMaxDepth;
uint8_t twoPlayerMode = 0;
uint8_t demoMode = 0;
uint8_t noTimeLimit = 0;
uint8_t timedThinking = 0;
uint8_t pondering = 0;
double timeLimit = 0.0;
Stopwatch searchClock{};
uint8_t bestPathShown = 1;
IterationHook iterationHook = nullptr;
Position searchRoot{};

namespace {

// Root window bounds: a score beyond kMateFound is a mate found within 27 plies.
constexpr int32_t kWindowTop = 32512;
constexpr int32_t kMateFound = 28512;
constexpr int32_t kMateSearchBound = 24576;
constexpr int kShownLineMoves = 7;

// The panel texts are built in fixed buffers: ShowRootMove runs for every root move of a timed
// search, and nothing may allocate during a search.
struct Text {
    char chars[160];
    size_t length = 0;

    void Append(const char* text, size_t n) {
        n = std::min(n, sizeof chars - 1 - length);
        std::memcpy(chars + length, text, n);
        length += n;
        chars[length] = '\0';
    }
    void Append(const std::string& text) { Append(text.data(), text.size()); }
    std::string_view View() const { return {chars, length}; }
};

Text FormatRootMove(int32_t depth, const MoveRecord& move, Side mover) {
    Text text;
    const std::string notation = ShownMove(move, mover);  // short enough to stay inline
    text.length = static_cast<size_t>(std::max(
        0, std::snprintf(text.chars, sizeof text.chars, "%-7d%7s", depth, notation.c_str())));
    text.length = std::min(text.length, sizeof text.chars - 1);
    return text;
}

Text FormatSearchLine(const MoveRecord* line, Side firstMover) {
    Text text;
    text.chars[0] = '\0';
    Side mover = firstMover;
    for (int k = 0; k < kShownLineMoves && line[k].piece != Empty; ++k) {
        text.Append(ShownMove(line[k], mover));
        text.Append(" ", 1);
        mover = Opponent(mover);
    }
    return text;
}

Text FormatNumber(const char* format, double value) {
    Text text;
    text.length = static_cast<size_t>(
        std::max(0, std::snprintf(text.chars, sizeof text.chars, format, value)));
    return text;
}

}  // namespace

std::string LevelText() {
    if (twoPlayerMode) return Tr(kTwoPlayerCaption);
    char number[64];
    switch (levelKind) {
        case kLevelPerMove:
            std::snprintf(number, sizeof number, "%1.0f", levelTime);
            return FormatText(kPerMoveLevelPattern, {number});
        case kLevelPerGame:
            std::snprintf(number, sizeof number, "%2.2f", levelTime);
            return FormatText(kPerGameLevelPattern, {number});
        case kLevelEasy:
            return Tr(kEasyLevelText);
        case kLevelUnlimited:
            return Tr(kUnlimitedLevelText);
        case kLevelFixedDepth:
            return FormatText(kDepthLevelPattern, {std::to_string(maxDepth)});
        case kLevelMateSearch:
            return Tr(kMateSearchLevelText);
        default:
            return Tr(kMatchingLevelText);
    }
}

double SearchSeconds() {
    Lap(searchClock);
    return searchClock.elapsed;
}

bool TimeIsUp() {
    if (!timedThinking || noTimeLimit) return false;
    return SearchSeconds() >= timeLimit;
}

void ThinkAndChoose(int depthLimit) {
    // 1. The game as it stands for the window, a fresh clock and count, no stop; the root has
    // no checking move before it.
    searchRoot = gamePosition;
    Reset(searchClock);
    Start(searchClock);
    nodeCount = 0;
    stopSearch = 0;
    inCheckFlags[-1] = 0;
    // 2. Piece-square tables from the root position.
    XQ_ASSERT(PositionIsConsistent());
    PrepareEvaluation();
    // 3. The preparation is not part of the node rate.
    Lap(searchClock);
    const double searchStart = searchClock.elapsed;
    // 4. The search starts from the static score, without a line.
    rootParent.eval = rootParent.score = -rootScore;
    iterationDepth = 0;
    bestLine[0] = NullMove;
    searchScore = rootScore;
    rootWindowLow = 32767;
    thinking = 1;
    // 5. Iterations with a one-sided window 128 below the lowest score seen so far.
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
        if (iterationHook) iterationHook();
    } while (!stopSearch && !TimeIsUp() && iterationDepth < depthLimit && rootMoveCount > 1 &&
             std::abs(searchScore) < kMateFound);
    // 6. The search is over: the node rate.
    XQ_ASSERT(PositionIsConsistent());
    thinking = 0;
    Lap(searchClock);
    if (timedThinking) ShowNodeRate(searchClock.elapsed - searchStart);
}

std::string RootMoveText(int32_t depth, const MoveRecord& move, Side mover) {
    return std::string(FormatRootMove(depth, move, mover).View());
}

std::string SearchLineText(const MoveRecord* line, Side firstMover) {
    return std::string(FormatSearchLine(line, firstMover).View());
}

std::string ScoreText(int32_t score) {
    return std::string(FormatNumber("%7.2f", score / 256.0).View());
}

std::string NodeRateText(uint64_t nodes, double elapsed) {
    return std::string(FormatNumber("%7.1f", static_cast<double>(nodes) / elapsed).View());
}

std::string NodeCountText(uint64_t nodes) {
    return std::string(FormatNumber("%7.0f ", static_cast<double>(nodes)).View());
}

void ShowRootMove() {
    ShowPanelValue("Depth", FormatRootMove(iterationDepth, GameRecord[0], sideToMove).View());
}

void ShowSearchLine(const MoveRecord* line, int32_t score, Side firstMover) {
    if (!bestPathShown) return;
    ShowPanelValue("BestPath", FormatSearchLine(line, firstMover).View());
    ShowSearchValue(firstMover, FormatNumber("%7.2f", score / 256.0).View());
}

void ShowNodeRate(double elapsed) {
    if (elapsed != 0) {
        ShowPanelValue("Seconds",
                       FormatNumber("%7.1f", static_cast<double>(nodeCount) / elapsed).View());
    }
    ShowPanelValue("Nodes", FormatNumber("%7.0f ", static_cast<double>(nodeCount)).View());
}

}  // namespace xq
