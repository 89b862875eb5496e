// The root of the 大师 engine's search: iterative deepening over the root moves with aspiration
// windows, one line after the other for MultiPV, and the reports of each iteration.
#include <algorithm>
#include <cstdlib>

#include "engine/master/worker.h"
#include "platform/check.h"
#include "rules/legality.h"
#include "rules/makemove.h"

namespace xq::master {

namespace {

constexpr int32_t kInfinite = kMate + 1;

uint64_t NextRandom(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Moves from outside the search (a protocol's, the game's) are matched by their squares alone.
bool SameSquares(const MoveRecord& a, const MoveRecord& b) {
    return a.from == b.from && a.to == b.to;
}

bool Listed(const std::vector<MoveRecord>& moves, const MoveRecord& move) {
    return std::any_of(moves.begin(), moves.end(),
                       [&move](const MoveRecord& listed) { return SameSquares(listed, move); });
}

}  // namespace

int32_t ReportedScore(int32_t score) {
    const int32_t magnitude = std::abs(score);
    if (magnitude < kMateBound) return score;
    const int32_t steps = kMate - magnitude;
    const int32_t plies = (steps + 1) / 2;
    const int32_t reported = steps % 2 == 0 ? kMate - plies : kRepetitionWin - plies;
    return score > 0 ? reported : -reported;
}

namespace {

// True when `pv`'s first `plies` moves are legal one after the other from `position` and leave the
// side to move without a legal move.
bool LineMates(Position position, std::span<const MoveRecord> pv, int plies) {
    if (plies < 0 || static_cast<int>(pv.size()) < plies) return false;
    const auto length = static_cast<size_t>(plies);
    if (LegalStart(position, pv, length).size() < length) return false;
    MoveList legal;
    GenerateLegalMoves(position, legal);
    return legal.moveCount == 0;
}

}  // namespace

int32_t ShownScore(const Position& root, int32_t score, std::span<const MoveRecord> pv) {
    const int32_t reported = ReportedScore(score);
    if (std::abs(reported) <= kMateBound) return reported;
    const int32_t plies = kMate - std::abs(reported);
    if (LineMates(root, pv, plies)) return reported;
    const int32_t decisive = kRepetitionWin - plies;
    return reported > 0 ? decisive : -decisive;
}

// The legal root moves that the limits allow, in the generator's order, the table's move first;
// a seed shuffles them first, so that equal moves come out differently.
void Worker::PrepareRootMoves(const Limits& limits) {
    MoveList list;
    GenerateLegalMoves(position_, list);
    rootCount_ = 0;
    for (int i = 1; i <= list.moveCount; ++i) {
        const MoveRecord& move = list.slot[i];
        if (!limits.searchMoves.empty() && !Listed(limits.searchMoves, move)) continue;
        if (Listed(limits.bannedMoves, move)) continue;
        RootMove& root = roots_[rootCount_++];
        root.move = move;
        root.score = root.previousScore = -kInfinite;
        root.pvLength = 1;
        root.pv[0] = root.move;
        root.selDepth = 0;
    }
    if (seed_ != 0) {
        uint64_t state = seed_ + static_cast<uint64_t>(id_) * 7919;
        for (int i = rootCount_ - 1; i > 0; --i)
            std::swap(roots_[i], roots_[NextRandom(state) % static_cast<uint64_t>(i + 1)]);
    }
    TTData entry;
    if (shared_->table->Probe(PositionKey(position_), &entry) && entry.move != 0) {
        for (int i = 0; i < rootCount_; ++i) {
            if (Pack(roots_[i].move) != entry.move) continue;
            std::rotate(roots_, roots_ + i, roots_ + i + 1);
            break;
        }
    }
}

// Searches roots_[pvIndex..end) (the earlier ones are the better lines of this iteration). A move
// searched to the end gets its score and line; the others sort after it.
int32_t Worker::SearchRoot(int32_t alpha, int32_t beta, int depth, int pvIndex, int end) {
    pvLength_[0] = 0;
    ++nodes_;
    int32_t best = -kInfinite;
    for (int i = pvIndex; i < end; ++i) {
        RootMove& root = roots_[i];
        const MoveRecord m = root.move;
        Play(m, 0);
        const bool givesCheck = InCheck(position_);
        checked_[base_ + 1] = givesCheck;
        stack_[1].inCheck = givesCheck;
        selDepth_ = 0;
        const int newDepth = depth - 1 + (givesCheck ? 1 : 0);
        int32_t score;
        if (i == pvIndex) {
            score = -Search(-beta, -alpha, newDepth, 1, true, false);
        } else {
            const int reduction = depth >= 3 && i > pvIndex + 3 && m.captured == Empty &&
                                          !givesCheck && !stack_[0].inCheck
                                      ? 1
                                      : 0;
            score = -Search(-alpha - 1, -alpha, newDepth - reduction, 1, false, true);
            if (score > alpha && reduction > 0)
                score = -Search(-alpha - 1, -alpha, newDepth, 1, false, true);
            if (score > alpha) score = -Search(-beta, -alpha, newDepth, 1, true, false);
        }
        Undo(m);
        if (Stopped()) break;
        if (i == pvIndex || score > alpha) {
            root.score = score;
            root.selDepth = selDepth_;
            root.pv[0] = m;
            root.pvLength = 1;
            for (int k = 1; k < pvLength_[1] && root.pvLength <= kMaxPly; ++k)
                root.pv[root.pvLength++] = pv_[1][k];
        } else {
            root.score = -kInfinite;
        }
        if (score > best) {
            best = score;
            if (score > alpha) {
                alpha = score;
                if (score >= beta) break;
            }
        }
    }
    return best;
}

void Worker::AspirationSearch(int depth, int pvIndex, int end, int32_t previous) {
    int32_t delta = 24;
    int32_t alpha = -kInfinite;
    int32_t beta = kInfinite;
    if (depth >= 4 && std::abs(previous) < kMateBound) {
        alpha = std::max(previous - delta, -kInfinite);
        beta = std::min(previous + delta, kInfinite);
    }
    for (;;) {
        const int32_t score = SearchRoot(alpha, beta, depth, pvIndex, end);
        std::stable_sort(roots_ + pvIndex, roots_ + end,
                         [](const RootMove& a, const RootMove& b) { return a.score > b.score; });
        if (Stopped()) return;
        if (score <= alpha) {
            beta = (alpha + beta) / 2;
            alpha = std::max(score - delta, -kInfinite);
        } else if (score >= beta) {
            beta = std::min(score + delta, kInfinite);
        } else {
            return;
        }
        delta += delta;
    }
}

// The judged move, when it is not one of this iteration's lines, comes right after them and is
// searched alone to an exact score at the lines' depth. A move that is not a root move (NullMove
// when nothing is judged) leaves nothing judged.
void Worker::JudgeMove(int depth, const MoveRecord& judged) {
    int index = 0;
    while (index < rootCount_ && !SameSquares(roots_[index].move, judged))
        ++index;
    if (index == rootCount_) return;
    if (index >= multiPV_) {
        std::rotate(roots_ + multiPV_, roots_ + index, roots_ + index + 1);
        index = multiPV_;
        AspirationSearch(depth, index, index + 1, roots_[index].previousScore);
        if (Stopped()) return;
    }
    const RootMove& best = roots_[0];
    const RootMove& root = roots_[index];
    judged_ = true;
    judgedBestScore_ = ShownScore(position_, best.score, {best.pv, best.pv + best.pvLength});
    judgedScore_ = ShownScore(position_, root.score, {root.pv, root.pv + root.pvLength});
}

bool Worker::Judged(int32_t* score, int32_t* bestScore) const {
    *score = judgedScore_;
    *bestScore = judgedBestScore_;
    return judged_;
}

void Worker::ReportLines(int depth, const std::function<void(const SearchReport&)>& onReport) {
    shared_->nodes.fetch_add(nodes_ - nodesFlushed_, std::memory_order_relaxed);
    nodesFlushed_ = nodes_;
    if (!onReport) return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - shared_->started).count();
    for (int line = 0; line < multiPV_; ++line) {
        const RootMove& root = roots_[line];
        SearchReport report;
        report.depth = depth;
        report.selDepth = std::max(root.selDepth, depth);
        report.multiPV = line + 1;
        report.score = ShownScore(position_, root.score, {root.pv, root.pv + root.pvLength});
        report.nodes = shared_->nodes.load(std::memory_order_relaxed);
        report.seconds = seconds;
        report.pv.assign(root.pv, root.pv + root.pvLength);
        onReport(report);
    }
}

void Worker::IterativeDeepening(SharedSearch& shared, int id,
                                const std::function<void(const SearchReport&)>& onReport) {
    shared_ = &shared;
    id_ = id;
    nodes_ = nodesFlushed_ = 0;
    completedDepth_ = 0;
    rootDepth_ = 0;
    judged_ = false;
    const Limits& limits = *shared.limits;
    PrepareRootMoves(limits);
    if (rootCount_ == 0) return;
    multiPV_ = std::clamp(limits.multiPV, 1, std::min(kMaxMultiPV, rootCount_));
    const int lastDepth =
        id == 0 && limits.depth > 0 ? std::min(limits.depth, kMaxPly - 1) : kMaxPly - 1;
    for (int depth = 1; depth <= lastDepth; ++depth) {
        // Helpers spread over two depths, so that they fill the table ahead of the main worker.
        if (id > 0 && depth > 1 && (depth + id) % 2 == 0 && depth < lastDepth) continue;
        rootDepth_ = depth;
        // Moves not searched to the end in this iteration sort after those that were.
        for (int i = 0; i < rootCount_; ++i) {
            roots_[i].previousScore = roots_[i].score;
            roots_[i].score = -kInfinite;
        }
        for (int line = 0; line < multiPV_; ++line) {
            AspirationSearch(depth, line, rootCount_, roots_[line].previousScore);
            if (Stopped()) break;
            // A later line may come out better than an earlier one: the lines stay in order.
            std::stable_sort(roots_, roots_ + line + 1, [](const RootMove& a, const RootMove& b) {
                return a.score > b.score;
            });
        }
        if (Stopped()) break;
        JudgeMove(depth, limits.judgedMove);
        if (Stopped()) break;
        completedDepth_ = depth;
        if (id != 0) continue;
        ReportLines(depth, onReport);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - shared.started)
                .count();
        if (limits.softSeconds > 0 && seconds >= limits.softSeconds) break;
        if (limits.hardSeconds > 0 && seconds >= limits.hardSeconds) break;
        if (limits.nodes > 0 && shared.nodes.load(std::memory_order_relaxed) >= limits.nodes) break;
        if (limits.poll && limits.poll()) break;
        // A single legal move needs no search beyond showing a line.
        if (rootCount_ == 1 && depth >= 4 && limits.depth == 0) break;
    }
    shared.nodes.fetch_add(nodes_ - nodesFlushed_, std::memory_order_relaxed);
    nodesFlushed_ = nodes_;
    XQ_ASSERT(PositionIsConsistent(position_) && keys_[base_] == PositionKey(position_));
}

}  // namespace xq::master
