#include "engine/analysis.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <utility>

#include "engine/externalanalysis.h"
#include "engine/master/engine.h"
#include "rules/makemove.h"

namespace xq {

namespace {

int32_t CappedScore(int32_t score) {
    return std::clamp(score, -kLossScoreCap, kLossScoreCap);
}

}  // namespace

MoveMark MarkForLoss(int32_t loss, const MarkThresholds& thresholds) {
    if (loss >= thresholds.blunder) return MoveMark::Blunder;
    if (loss >= thresholds.mistake) return MoveMark::Mistake;
    if (loss >= thresholds.inaccuracy) return MoveMark::Inaccuracy;
    return MoveMark::None;
}

const char* MarkText(MoveMark mark) {
    switch (mark) {
        case MoveMark::Inaccuracy:
            return "?!";
        case MoveMark::Mistake:
            return "?";
        case MoveMark::Blunder:
            return "??";
        case MoveMark::None:
            break;
    }
    return "";
}

std::string FormatPawns(int32_t redValue) {
    char text[16];
    const int32_t size = std::abs(redValue);
    if (size > master::kMateBound) {
        const int32_t moves = (master::kMate - size + 1) / 2;
        std::snprintf(text, sizeof text, "%cM%d", redValue > 0 ? '+' : '-', moves);
    } else {
        std::snprintf(text, sizeof text, "%s%d.%02d",
                      redValue > 0   ? "+"
                      : redValue < 0 ? "-"
                                     : "",
                      size / 100, size % 100);
    }
    return text;
}

// A deeper look that finds the move better than the engine's own choice counts as no loss.
int32_t LossOfMove(int32_t best, int32_t played) {
    return std::max(0, CappedScore(best) - CappedScore(played));
}

GameAnalysis::GameAnalysis(const Position& start, std::vector<MoveRecord> moves)
    : start_(start), moves_(std::move(moves)) {}

bool GameAnalysis::Run(const std::function<void(const PlyAnalysis&)>& onPly) {
    if (engine_) return RunWithEngine(onPly);
    master::Engine engine(hashMegabytes_, 1);
    master::Limits limits;
    // An iteration begun late would rarely finish: stop starting them halfway through the time.
    if (depth_ > 0) {
        limits.depth = depth_;
    } else {
        limits.softSeconds = seconds_ / 2;
        limits.hardSeconds = seconds_;
    }
    limits.poll = [this] { return stop_.load(); };
    limits.avoidOwnPerpetual = false;

    const std::span<const MoveRecord> moves(moves_);
    // The move played from the position is judged in the same search as the engine's own choice,
    // at the same depth, so that one misjudged position does not mark both the move into it and
    // the move out of it.
    return RunSearches(
        [&](const Position& position, int ply, Searched* searched) {
            engine.SetPosition(position, moves.first(static_cast<size_t>(ply)));
            limits.judgedMove = ply < PlyCount() ? moves[static_cast<size_t>(ply)] : NullMove;
            const master::SearchResult result = engine.Search(limits);
            const bool own = SameMove(limits.judgedMove, result.best) || !result.judged;
            *searched = {result.score, result.best, true,
                         own ? 0 : LossOfMove(result.judgedBestScore, result.judgedScore)};
            return !stop_.load();
        },
        onPly);
}

// The engine cannot judge a move it did not choose in the same search: the move's loss is its
// score before the move against the score it gives the position after it.
bool GameAnalysis::RunWithEngine(const std::function<void(const PlyAnalysis&)>& onPly) {
    EngineJudge judge(*engine_);
    const auto milliseconds = static_cast<int64_t>(seconds_ * 1000);
    const std::span<const MoveRecord> moves(moves_);
    return RunSearches(
        [&](const Position& position, int ply, Searched* searched) {
            EngineVerdict verdict;
            if (!judge.Search(position, moves.first(static_cast<size_t>(ply)), milliseconds, depth_,
                              stop_, &verdict)) {
                failure_ = judge.Failure();
                return false;
            }
            *searched = {verdict.score, verdict.best, false, 0};
            return !stop_.load();
        },
        onPly);
}

bool GameAnalysis::RunSearches(const Searcher& search,
                               const std::function<void(const PlyAnalysis&)>& onPly) {
    Position position = start_;
    if (stop_.load()) return false;
    Searched before;
    if (!search(position, 0, &before)) return false;
    for (int ply = 1; ply <= PlyCount(); ++ply) {
        if (stop_.load()) return false;
        const MoveRecord& played = moves_[static_cast<size_t>(ply - 1)];
        MakeMove(position, played, false);
        SwapSides(position);
        Searched after;
        // A search cut short by Stop gives a shallow value: leave it out.
        if (!search(position, ply, &after)) return false;

        PlyAnalysis entry;
        entry.ply = ply;
        entry.played = played;
        entry.loss = before.judged || SameMove(before.best, played)
                         ? before.loss
                         : LossOfMove(before.score, -after.score);
        entry.value.known = true;
        entry.value.redValue = position.sideToMove == Red ? after.score : -after.score;
        entry.value.analysed = true;
        entry.value.best = before.best;
        entry.value.mark = MarkForLoss(entry.loss, thresholds_);
        onPly(entry);
        before = after;
    }
    return true;
}

}  // namespace xq
