#include "tools/tune/sparring.h"

#include <algorithm>
#include <random>
#include <vector>

#include "rules/attacks.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"

namespace xq::tune {
namespace {

constexpr int32_t kMated = 30000;

int32_t Evaluate(const Weights& weights) {
    master::EvalTrace trace;
    master::TraceEvaluation(gamePosition, &trace);
    double mg = 0;
    double eg = 0;
    for (int i = 0; i < master::kTermCount; ++i) {
        mg += trace.count[i] * weights[i][0];
        eg += trace.count[i] * weights[i][1];
    }
    double red = (mg * trace.phase + eg * (master::kPhaseMax - trace.phase)) / master::kPhaseMax;
    if ((red > 0 && trace.cannotWin[Red]) || (red < 0 && trace.cannotWin[Black])) {
        red /= master::kNoMatingMaterialDivisor;
    }
    return static_cast<int32_t>(sideToMove == Red ? red : -red);
}

void Play(const MoveRecord& move) {
    MakeMove(move, false);
    SwapSides();
}

void TakeBack(const MoveRecord& move) {
    SwapSides();
    MakeMove(move, true);
}

// Captures first, most valuable victim first: enough ordering for a shallow yardstick.
std::vector<MoveRecord> OrderedLegalMoves(bool capturesOnly) {
    std::vector<MoveRecord> moves = LegalMoves();
    if (capturesOnly) std::erase_if(moves, [](const MoveRecord& m) { return !m.captured; });
    constexpr int kVictimOrder[8] = {0, 7, 6, 4, 4, 2, 2, 1};
    std::stable_sort(moves.begin(), moves.end(), [&](const MoveRecord& a, const MoveRecord& b) {
        return kVictimOrder[a.captured] > kVictimOrder[b.captured];
    });
    return moves;
}

int32_t Quiesce(const Weights& w, int32_t alpha, int32_t beta, int height) {
    const int32_t standPat = Evaluate(w);
    if (standPat >= beta || height > 8) return standPat;
    alpha = std::max(alpha, standPat);
    for (const MoveRecord& move : OrderedLegalMoves(true)) {
        Play(move);
        const int32_t score = -Quiesce(w, -beta, -alpha, height + 1);
        TakeBack(move);
        if (score >= beta) return score;
        alpha = std::max(alpha, score);
    }
    return alpha;
}

int32_t Search(const Weights& w, int depth, int32_t alpha, int32_t beta, int height,
               MoveRecord* best) {
    if (depth <= 0) return Quiesce(w, alpha, beta, height);
    const std::vector<MoveRecord> moves = OrderedLegalMoves(false);
    if (moves.empty()) return -kMated + height;  // mated or stalemated: both lose
    int32_t bestScore = -kMated - 1;
    for (const MoveRecord& move : moves) {
        Play(move);
        const int32_t score = -Search(w, depth - 1, -beta, -alpha, height + 1, nullptr);
        TakeBack(move);
        if (score > bestScore) {
            bestScore = score;
            if (best) *best = move;
        }
        alpha = std::max(alpha, score);
        if (alpha >= beta) break;
    }
    return bestScore;
}

// One game from the opening; returns the result for Red (1, 0.5, 0).
double PlayGame(const std::vector<MoveRecord>& opening, const Weights& red, const Weights& black,
                const SparringOptions& options) {
    ReadFen(kStartFen, nullptr);
    for (const MoveRecord& move : opening)
        Play(move);
    for (int ply = 0; ply < options.maxPlies; ++ply) {
        MoveRecord best = NullMove;
        Search(sideToMove == Red ? red : black, options.depth, -kMated - 1, kMated + 1, 0, &best);
        if (best.piece == Empty) return sideToMove == Red ? 0 : 1;
        Play(best);
    }
    return 0.5;
}

}  // namespace

SparringResult Spar(const Weights& first, const Weights& second, const SparringOptions& options) {
    InitAttackTable();
    std::mt19937_64 random(options.seed);
    SparringResult result;
    for (int pair = 0; pair < options.pairs; ++pair) {
        ReadFen(kStartFen, nullptr);
        std::vector<MoveRecord> opening;
        for (int ply = 0; ply < options.randomPlies; ++ply) {
            const std::vector<MoveRecord> moves = LegalMoves();
            if (moves.empty()) break;
            opening.push_back(moves[random() % moves.size()]);
            Play(opening.back());
        }
        for (int firstIsRed = 1; firstIsRed >= 0; --firstIsRed) {
            const double red = firstIsRed ? PlayGame(opening, first, second, options)
                                          : PlayGame(opening, second, first, options);
            const double forFirst = firstIsRed ? red : 1 - red;
            if (forFirst == 1) {
                ++result.wins;
            } else if (forFirst == 0) {
                ++result.losses;
            } else {
                ++result.draws;
            }
            if (options.onGame) options.onGame(2 * pair + 2 - firstIsRed, result);
        }
    }
    return result;
}

}  // namespace xq::tune
