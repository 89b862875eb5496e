// The 大师 engine's search: principal-variation alpha-beta with a shared transposition table,
// null move, late-move reductions, futility pruning, check extension and a quiescence search of
// captures ordered by static exchange, with the rules of Xiangqi on repetitions and quiet moves
// judged on the game's history and the search path.
#include <algorithm>
#include <array>
#include <cmath>

#include "engine/master/evaluation.h"
#include "engine/master/see.h"
#include "engine/master/worker.h"
#include "platform/check.h"
#include "rules/attacks.h"
#include "rules/legality.h"
#include "rules/makemove.h"

namespace xq::master {

namespace {

constexpr int32_t kInfinite = kMate + 1;
constexpr int32_t kOrderValue[8] = {0, 5000, 600, 285, 270, 120, 120, 60};
constexpr int kPollInterval = 1024;
constexpr int kHistoryLimit = 16384;

// Reductions grow with the logarithms of depth and move number.
const auto kReductions = [] {
    std::array<std::array<int8_t, 64>, 64> table{};
    for (int depth = 1; depth < 64; ++depth) {
        for (int number = 1; number < 64; ++number) {
            table[depth][number] =
                static_cast<int8_t>(0.8 + std::log(depth) * std::log(number) / 2.1);
        }
    }
    return table;
}();

bool IsValidHistoryMove(const Position& p, const MoveRecord& m) {
    if (m.piece == Empty || m.piece > Pawn || m.captured > Pawn || m.captured == King) return false;
    if (!IsBoardPoint(m.from) || !IsBoardPoint(m.to) || m.from == m.to) return false;
    const BoardCell& arrived = p.board[m.to];
    return arrived.kind == m.piece && arrived.side == p.otherSide && p.board[m.from].kind == Empty;
}

}  // namespace

// Step 1. Walk back from the current position through the history on the board alone, as far
// as the moves fit it. Step 2. Rebuild that older position and play the moves forward, noting
// every position's key, whether its side to move was in check and the quiet plies before it.
void Worker::SetPosition(const Position& current, const MoveRecord* history, int count) {
    Position p = current;
    int first = count;
    const int oldest = count > kMaxHistory ? count - kMaxHistory : 0;
    while (first > oldest && IsValidHistoryMove(p, history[first - 1])) {
        const MoveRecord& m = history[--first];
        p.board[m.from].kind = m.piece;
        p.board[m.from].side = p.otherSide;
        p.board[m.to].kind = m.captured;
        p.board[m.to].side = p.sideToMove;
        SwapSides(p);
    }
    BuildPieceLists(p);
    base_ = 0;
    keys_[0] = PositionKey(p);
    checked_[0] = InCheck(p);
    quiet_[0] = 0;
    reversible_[0] = 0;
    for (int i = first; i < count; ++i) {
        const MoveRecord& m = history[i];
        MakeMove(p, m, false);
        SwapSides(p);
        ++base_;
        keys_[base_] = PositionKey(p);
        checked_[base_] = InCheck(p);
        quiet_[base_] = m.captured == Empty ? quiet_[base_ - 1] + 1 : 0;
        reversible_[base_] = m.captured == Empty ? reversible_[base_ - 1] + 1 : 0;
    }
    position_ = p;
    XQ_ASSERT(PositionIsConsistent(position_) && keys_[base_] == PositionKey(position_));
    stack_[0] = Frame{};
    stack_[0].inCheck = checked_[base_];
}

void Worker::Clear() {
    for (auto& side : history_) {
        for (auto& kind : side) {
            for (int32_t& h : kind)
                h = 0;
        }
    }
    for (Frame& frame : stack_)
        frame.killers[0] = frame.killers[1] = NullMove;
}

bool Worker::PlayIfLegal(const MoveRecord& move, int ply) {
    Play(move, ply);
    if (LeftKingAttacked()) {
        Undo(move);
        return false;
    }
    const bool givesCheck = InCheck(position_);
    checked_[base_ + ply + 1] = givesCheck;
    stack_[ply + 1].inCheck = givesCheck;
    return true;
}

void Worker::Play(const MoveRecord& move, int ply) {
    XQ_ASSERT(ply >= 0 && ply < kMaxPly);
    MakeMove(position_, move, false);
    SwapSides(position_);
    const int index = base_ + ply + 1;
    keys_[index] = PositionKey(position_);
    quiet_[index] = move.captured == Empty ? quiet_[index - 1] + 1 : 0;
    reversible_[index] = move.captured == Empty ? reversible_[index - 1] + 1 : 0;
    Frame& child = stack_[ply + 1];
    child.move = move;
    child.nullMove = false;
    child.noNull = false;
}

void Worker::Undo(const MoveRecord& move) {
    SwapSides(position_);
    MakeMove(position_, move, true);
}

// A pass: the repetition scan stops here (the positions before it had the other side to move),
// while the quiet count of the sixty-move rule goes through unchanged.
void Worker::PlayNull(int ply) {
    XQ_ASSERT(ply >= 0 && ply < kMaxPly);
    SwapSides(position_);
    const int index = base_ + ply + 1;
    keys_[index] = PositionKey(position_);
    quiet_[index] = quiet_[index - 1];
    reversible_[index] = 0;
    checked_[index] = false;
    Frame& child = stack_[ply + 1];
    child.move = NullMove;
    child.inCheck = false;
    child.nullMove = true;
    child.noNull = false;
}

void Worker::UndoNull() {
    SwapSides(position_);
}

bool Worker::LeftKingAttacked() const {
    return IsAttacked(position_, position_.sideToMove, KingSquare(position_, position_.otherSide));
}

bool Worker::HasLegalMove() {
    MoveList list;
    GenerateMoves(position_, list);
    for (int i = 1; i <= list.moveCount; ++i) {
        if (!LeavesKingAttacked(position_, list.slot[i])) return true;
    }
    return false;
}

// The table's move is a packed pair of squares that may come from another position with the
// same index bits: it is taken only when the side to move could make it here.
bool Worker::MoveFromTable(PackedMove packed, MoveRecord* move) const {
    const Square from = packed >> 8;
    const Square to = packed & 0xFF;
    if (!IsBoardPoint(from) || !IsBoardPoint(to) || from == to) return false;
    const BoardCell& mover = position_.board[from];
    const BoardCell& target = position_.board[to];
    if (mover.kind == Empty || mover.side != position_.sideToMove) return false;
    if (target.kind != Empty && target.side == position_.sideToMove) return false;
    if (target.kind == King) return false;
    // A Gunner moves without a screen like a Rook and captures only over one.
    const PieceKind rule = mover.kind == Gunner && target.kind == Empty ? Rook : mover.kind;
    if (mover.kind == King && target.kind == Empty) {
        if (!InPalace(mover.side, to)) return false;
    }
    if (!Attacks(position_, rule, from, to)) return false;
    *move = MoveRecord{to, from, 0, mover.kind, target.kind};
    return true;
}

bool Worker::HasMajorPieces(Side side, int atLeast) const {
    const PieceList& list = position_.pieceList[side];
    int count = 0;
    for (int i = 0; i <= list.lastOfficer; ++i) {
        const PieceKind kind = list.entry[i].kind;
        if (kind == Rook || kind == Knight || kind == Gunner) ++count;
    }
    return count >= atLeast;
}

// True when `key` stands at an index from `oldest` up to (not including) `index`, with the same
// side to move.
bool Worker::OccurredBefore(uint64_t key, int index, int oldest) const {
    for (int j = index - 4; j >= oldest; j -= 2)
        if (keys_[j] == key) return true;
    return false;
}

// A repetition is judged by the checks within it: when one side checked with every one of its
// moves and the other did not, the checking side loses; any other repetition is a draw. Chases
// are not judged: the programs and referees we meet draw them, and a win that rested on our own
// reading of a chase would be announced where they see none. After sixty moves by each side
// without a capture the game is drawn, unless the side to move is in check or has no move, as the
// game judges it.
bool Worker::RuleScore(int ply, int32_t* score) {
    const int index = base_ + ply;
    const uint64_t key = keys_[index];
    const int oldest = index - reversible_[index];
    for (int j = index - 4; j >= oldest; j -= 2) {
        if (keys_[j] != key) continue;
        bool moverChecked = true;  // the side that just moved, with the moves into index, ...
        bool replierChecked = true;
        for (int k = index; k > j; k -= 2)
            moverChecked = moverChecked && checked_[k];
        for (int k = index - 1; k > j; k -= 2)
            replierChecked = replierChecked && checked_[k];
        const int verdict = moverChecked == replierChecked ? 0 : (moverChecked ? 1 : -1);
        // verdict 1: the side that just moved repeated by force of checks and loses.
        *score = verdict * RepetitionWonScore(ply);
        // A return to a position of the game itself (the root or before) decides only the third
        // time, as referees count it, since the opponent may still leave the cycle; a player's
        // own perpetual check is the exception (Limits::avoidOwnPerpetual). A cycle within the
        // search decides at its first return: a side that wanted more than its verdict would
        // have left it.
        const bool rootSideLoses = (ply % 2 == 0 ? *score : -*score) < 0;
        const bool avoided = rootSideLoses && shared_->limits->avoidOwnPerpetual;
        if (j <= base_ && !avoided && !OccurredBefore(key, j, oldest)) break;
        return true;
    }
    if (quiet_[index] >= kSixtyMovePlies && !stack_[ply].inCheck && HasLegalMove()) {
        *score = 0;
        return true;
    }
    return false;
}

bool Worker::CheckStop() {
    if ((nodes_ & (kPollInterval - 1)) != 0) return Stopped();
    shared_->nodes.fetch_add(nodes_ - nodesFlushed_, std::memory_order_relaxed);
    nodesFlushed_ = nodes_;
    if (id_ == 0) {
        const Limits& limits = *shared_->limits;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - shared_->started)
                .count();
        if ((limits.hardSeconds > 0 && seconds >= limits.hardSeconds) ||
            (limits.nodes > 0 && shared_->nodes.load(std::memory_order_relaxed) >= limits.nodes) ||
            (limits.poll && limits.poll())) {
            shared_->stop.store(true, std::memory_order_relaxed);
        }
    }
    return Stopped();
}

void Worker::ScoreMoves(const MoveList& list, int32_t* scores, PackedMove ttMove, int ply) {
    const Frame& frame = stack_[ply];
    const Side side = position_.sideToMove;
    for (int i = 1; i <= list.moveCount; ++i) {
        const MoveRecord& m = list.slot[i];
        int32_t score;
        if (ttMove != 0 && Pack(m) == ttMove) {
            score = 1 << 30;
        } else if (m.captured != Empty) {
            score = (1 << 24) + kOrderValue[m.captured] * 16 - kOrderValue[m.piece] / 8;
            if (kOrderValue[m.captured] < kOrderValue[m.piece] &&
                StaticExchange(position_, m) < 0) {
                score -= 1 << 25;  // losing captures after the quiet moves
            }
        } else if (SameMove(m, frame.killers[0])) {
            score = (1 << 22) + 1;
        } else if (SameMove(m, frame.killers[1])) {
            score = 1 << 22;
        } else {
            score = history_[side][m.piece][m.to];
        }
        scores[i] = score;
    }
}

namespace {

// Moves the best-scored remaining move into slot i.
void PickMove(MoveList& list, int32_t* scores, int i) {
    int best = i;
    for (int j = i + 1; j <= list.moveCount; ++j) {
        if (scores[j] > scores[best]) best = j;
    }
    if (best != i) {
        std::swap(list.slot[i], list.slot[best]);
        std::swap(scores[i], scores[best]);
    }
}

void AdjustHistory(int32_t& entry, int32_t bonus) {
    entry += bonus - entry * std::abs(bonus) / kHistoryLimit;
}

}  // namespace

void Worker::UpdateQuietStats(const MoveRecord& best, int ply, int depth, const MoveRecord* tried,
                              int triedCount) {
    Frame& frame = stack_[ply];
    if (!SameMove(frame.killers[0], best)) {
        frame.killers[1] = frame.killers[0];
        frame.killers[0] = best;
    }
    const Side side = position_.sideToMove;
    const int32_t bonus = std::min(depth * depth * 8, 1600);
    AdjustHistory(history_[side][best.piece][best.to], bonus);
    for (int i = 0; i < triedCount; ++i) {
        if (!SameMove(tried[i], best))
            AdjustHistory(history_[side][tried[i].piece][tried[i].to], -bonus);
    }
}

void Worker::UpdatePv(int ply, const MoveRecord& move) {
    pv_[ply][ply] = move;
    int length = pvLength_[ply + 1];
    if (length < ply + 1) length = ply + 1;
    for (int k = ply + 1; k < length; ++k)
        pv_[ply][k] = pv_[ply + 1][k];
    pvLength_[ply] = length;
}

int32_t Worker::Quiescence(int32_t alpha, int32_t beta, int ply) {
    XQ_ASSERT(ply >= 0 && ply <= kMaxPly);
    XQ_ASSERT(-kInfinite <= alpha && alpha < beta && beta <= kInfinite);
    pvLength_[ply] = ply;
    ++nodes_;
    if (CheckStop()) return 0;
    if (ply > selDepth_) selDepth_ = ply;
    const bool inCheck = stack_[ply].inCheck;
    if (ply >= kMaxPly) return inCheck ? 0 : Evaluate(position_);

    // Step 1. The table, at any depth.
    const uint64_t key = keys_[base_ + ply];
    TTData entry;
    const bool hit = shared_->table->Probe(key, &entry);
    if (hit) {
        const int32_t score = ScoreFromTable(entry.score, ply);
        if (entry.bound == Bound::Exact || (entry.bound == Bound::Lower && score >= beta) ||
            (entry.bound == Bound::Upper && score <= alpha)) {
            return score;
        }
    }

    // Step 2. Stand pat, unless in check.
    const int32_t alphaIn = alpha;
    int32_t best = -kInfinite;
    MoveRecord bestMove = NullMove;
    int32_t standPat = 0;
    if (!inCheck) {
        standPat = hit ? entry.eval : Evaluate(position_);
        if (standPat >= beta) return standPat;
        if (standPat > alpha) alpha = standPat;
        best = standPat;
    }

    // Step 3. Captures (every move when in check), best first.
    MoveList list;
    if (inCheck) {
        GenerateMoves(position_, list);
    } else {
        GenerateCaptureMoves(position_, list);
    }
    int32_t scores[kMoveListCapacity + 1];
    ScoreMoves(list, scores, hit ? entry.move : 0, ply);
    int legal = 0;
    for (int i = 1; i <= list.moveCount; ++i) {
        PickMove(list, scores, i);
        const MoveRecord m = list.slot[i];
        if (!inCheck) {
            // Losing captures and those that cannot reach alpha are left out.
            if (scores[i] < 0) continue;
            if (standPat + kOrderValue[m.captured] + 150 <= alpha && m.captured != King) continue;
        }
        if (!PlayIfLegal(m, ply)) continue;
        ++legal;
        const int32_t score = -Quiescence(-beta, -alpha, ply + 1);
        Undo(m);
        if (Stopped()) return 0;
        if (score > best) {
            best = score;
            if (score > alpha) {
                alpha = score;
                bestMove = m;
                UpdatePv(ply, m);
                if (score >= beta) break;
            }
        }
    }
    if (inCheck && legal == 0) return MatedScore(ply);
    // Step 4. The result goes to the table at depth 0, below every entry of the main search.
    const Bound bound =
        best >= beta ? Bound::Lower : (best > alphaIn ? Bound::Exact : Bound::Upper);
    shared_->table->Store(keys_[base_ + ply], TTData{Pack(bestMove), ScoreToTable(best, ply),
                                                     inCheck ? 0 : standPat, 0, bound});
    return best;
}

int32_t Worker::Search(int32_t alpha, int32_t beta, int depth, int ply, bool pvNode, bool cutNode) {
    XQ_ASSERT(ply >= 0 && ply <= kMaxPly);
    XQ_ASSERT(-kInfinite <= alpha && alpha < beta && beta <= kInfinite);
    XQ_ASSERT(pvNode || alpha == beta - 1);
    pvLength_[ply] = ply;
    if (ply > 0) {
        // Step 1. The rules: repetitions and quiet moves.
        int32_t ruled;
        if (RuleScore(ply, &ruled)) return ruled;
    }
    if (depth <= 0) return Quiescence(alpha, beta, ply);
    ++nodes_;
    if (CheckStop()) return 0;
    if (ply > selDepth_) selDepth_ = ply;
    const bool inCheck = stack_[ply].inCheck;
    if (ply >= kMaxPly) return inCheck ? 0 : Evaluate(position_);

    // Step 2. Mate-distance pruning: no line from here beats a mate already found nearer. The
    // side to move can do no worse than being mated here, nor better than winning by the rules
    // with its next move.
    if (ply > 0) {
        alpha = std::max(alpha, MatedScore(ply));
        beta = std::min(beta, RepetitionWonScore(ply + 1));
        if (alpha >= beta) return alpha;
    }

    // Step 3. The transposition table.
    const uint64_t key = keys_[base_ + ply];
    TTData entry;
    const bool hit = shared_->table->Probe(key, &entry);
    const PackedMove ttMove = hit ? entry.move : 0;
    if (hit && !pvNode && ply > 0 && entry.depth >= depth) {
        const int32_t score = ScoreFromTable(entry.score, ply);
        if (entry.bound == Bound::Exact || (entry.bound == Bound::Lower && score >= beta) ||
            (entry.bound == Bound::Upper && score <= alpha)) {
            return score;
        }
    }

    // Step 4. Static evaluation.
    int32_t eval = -kInfinite;
    if (!inCheck) eval = hit ? entry.eval : Evaluate(position_);
    stack_[ply].staticEval = eval;
    const bool improving = !inCheck && ply >= 2 && eval > stack_[ply - 2].staticEval;
    const Side us = position_.sideToMove;

    if (!pvNode && !inCheck && std::abs(beta) < kMateBound) {
        // Step 5. Reverse futility: far enough above beta that a shallow search will not fall.
        if (depth <= 6 && eval - (80 - 20 * improving) * depth >= beta) return eval;

        // Step 6. Null move, kept from endgames in which passing would be the best move: with
        // no Rook, Knight or Gunner it is not tried, with one it is verified.
        if (depth >= 3 && eval >= beta && !stack_[ply].nullMove && !stack_[ply].noNull &&
            HasMajorPieces(us, 1)) {
            const int reduction = 3 + depth / 4 + std::min(2, (eval - beta) / 200);
            PlayNull(ply);
            int32_t score = -Search(-beta, -beta + 1, depth - reduction, ply + 1, false, !cutNode);
            UndoNull();
            if (Stopped()) return 0;
            if (score >= beta) {
                if (score >= kMateBound) score = beta;
                if (HasMajorPieces(us, 2) && depth < 12) return score;
                stack_[ply].noNull = true;
                const int32_t verified =
                    Search(beta - 1, beta, depth - reduction, ply, false, false);
                stack_[ply].noNull = false;
                if (verified >= beta) return score;
            }
        }
    }

    // Step 7. The moves: the table's move before any generation (it often ends the node
    // alone), then the generated ones best first.
    MoveRecord tableMove = NullMove;
    const bool tryTableMove = ttMove != 0 && MoveFromTable(ttMove, &tableMove);
    MoveList list;
    list.moveCount = 0;
    int32_t scores[kMoveListCapacity + 1];
    bool generated = false;

    int32_t best = -kInfinite;
    MoveRecord bestMove = NullMove;
    Bound bound = Bound::Upper;
    MoveRecord quietsTried[64];
    int quietCount = 0;
    int legal = 0;
    for (int i = tryTableMove ? 0 : 1; i <= list.moveCount || !generated; ++i) {
        MoveRecord m;
        int32_t order;
        if (i == 0) {
            m = tableMove;
            order = 1 << 30;
        } else {
            if (!generated) {
                GenerateMoves(position_, list);
                ScoreMoves(list, scores, ttMove, ply);
                generated = true;
                if (i > list.moveCount) break;
            }
            PickMove(list, scores, i);
            m = list.slot[i];
            order = scores[i];
            if (tryTableMove && SameMove(m, tableMove)) continue;
        }
        const bool capture = m.captured != Empty;
        if (!PlayIfLegal(m, ply)) continue;
        ++legal;
        const bool givesCheck = stack_[ply + 1].inCheck;

        // Step 8. Shallow pruning of quiet moves that cannot raise alpha.
        if (!pvNode && !inCheck && !givesCheck && !capture && legal > 1 && best > -kMateBound) {
            const bool futile = depth <= 3 && eval + 100 + 110 * depth <= alpha;
            const bool late = depth <= 4 && quietCount >= (3 + depth * depth) * (1 + improving);
            if (futile || late) {
                Undo(m);
                if (quietCount < 64) quietsTried[quietCount++] = m;
                continue;
            }
        }

        // Step 9. Check extension, then principal-variation search with late-move reductions.
        const int newDepth = depth - 1 + (givesCheck && ply < 2 * rootDepth_ ? 1 : 0);
        int32_t score;
        if (legal == 1) {
            score = -Search(-beta, -alpha, newDepth, ply + 1, pvNode, false);
        } else {
            int reduction = 0;
            if (depth >= 3 && !capture && !givesCheck && !inCheck && legal > 2 + pvNode) {
                reduction = kReductions[std::min(depth, 63)][std::min(legal, 63)];
                reduction += !improving + cutNode - pvNode;
                if (order >= (1 << 22)) --reduction;  // killers
                reduction -= std::clamp(history_[us][m.piece][m.to] / 5000, -2, 2);
                reduction = std::clamp(reduction, 0, newDepth - 1);
            }
            score = -Search(-alpha - 1, -alpha, newDepth - reduction, ply + 1, false, true);
            if (score > alpha && reduction > 0)
                score = -Search(-alpha - 1, -alpha, newDepth, ply + 1, false, !cutNode);
            if (score > alpha && pvNode)
                score = -Search(-beta, -alpha, newDepth, ply + 1, true, false);
        }
        Undo(m);
        if (Stopped()) return 0;
        if (!capture && quietCount < 64) quietsTried[quietCount++] = m;
        if (score > best) {
            best = score;
            if (score > alpha) {
                bestMove = m;
                if (pvNode) UpdatePv(ply, m);
                if (score >= beta) {
                    bound = Bound::Lower;
                    break;
                }
                alpha = score;
                bound = Bound::Exact;
            }
        }
    }

    // Step 10. No legal move loses, in check or not.
    if (legal == 0) return MatedScore(ply);
    if (bestMove.piece != Empty && bestMove.captured == Empty)
        UpdateQuietStats(bestMove, ply, depth, quietsTried, quietCount);
    shared_->table->Store(
        key, TTData{Pack(bestMove), ScoreToTable(best, ply), inCheck ? 0 : eval, depth, bound});
    return best;
}

}  // namespace xq::master
