#include "engine/search.h"

#include <algorithm>

#include "engine/evaluation.h"
#include "engine/pump.h"
#include "engine/repetition.h"
#include "engine/think.h"
#include "platform/check.h"
#include "platform/display.h"
#include "platform/random.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/makemove.h"
#include "rules/record.h"

namespace xq {

SearchLine bestLine;
int32_t searchScore = 0;
int32_t iterationDepth = 0;
int32_t rootMoveCount = 0;
uint8_t stopSearch = 0;
uint8_t repetitionAllowedAtRoot = 0;
namespace {
int16_t inCheckStorage[kMaxPly + 2];
}  // namespace
int16_t* const inCheckFlags = inCheckStorage + 1;
ParentInfo rootParent;
int32_t rootWindowLow = 0;
int32_t firstIterationScore = 0;
uint64_t nodeCount = 0;
RootMoveFilter rootMoveExcluded = nullptr;

namespace {

constexpr int32_t MatedScore(int ply) {
    return ply * kMatePly - kMateScore;
}

bool MateSearchLevel() {
    return levelKind == kLevelMateSearch;
}

// The move just made leads back to a position of the line or the game.
bool Repeats(int ply) {
    return CountRepetitions(0) >= 2 && (ply != 0 || !repetitionAllowedAtRoot);
}

// The move just made is not searched: it leaves the mover's King attacked, or it repeats a
// position. A repetition's verdict is kept, for a node whose every legal move repeats.
bool Refused(NodeInfo& info, int ply) {
    if (IsAttacked(otherSide, KingSquare(sideToMove))) return true;
    if (!Repeats(ply)) return false;
    info.repetitionScore = std::max(info.repetitionScore, RepetitionScore(ply));
    return true;
}

// Copies the line entries from `ply` on, up to and including the entry that ends the line.
// Entries below `ply` belong to the ancestors, which write them on their way back up, and entries
// after the end are never read.
void CopyLine(SearchLine& to, const SearchLine& from, int ply) {
    for (int k = ply; k < kLineLength; ++k) {
        to[k] = from[k];
        if (from[k].piece == Empty) break;
    }
}

bool TryTo(Square to, NodeFrame& frame) {
    GameRecord[recordTop].to = to;
    return TryMove(frame);
}

// The mate search level: every move is made and tested; nothing is scored, and at the horizon
// only checks go on.
bool PrepareMateSearchMove(NodeFrame& frame, MoveRecord& move, int ply) {
    NodeInfo& info = frame.info;
    // 1. Legality and repetition.
    MakeMove(move, false);
    if (Refused(info, ply)) {
        MakeMove(move, true);
        return true;
    }
    // 2. Counting, no score.
    if (ply == 0) ++rootMoveCount;
    inCheckFlags[ply] = 0;
    info.child.score = info.child.eval = 0;
    // 3. Above the horizon everything is searched, at it only checks.
    if (info.depthLeft > 0) return false;
    if (info.depthLeft == 0) {
        inCheckFlags[ply] = static_cast<int16_t>(IsAttacked(sideToMove, KingSquare(otherSide)));
        if (inCheckFlags[ply]) return false;
    }
    // 4. The rest only counts for its static score.
    if (Prune(info.child.eval, frame)) {
        MakeMove(move, true);
        return true;
    }
    return false;
}

bool PrepareScoredMove(NodeFrame& frame, MoveRecord& move, int ply) {
    NodeInfo& info = frame.info;
    // 1. The first iteration looks at captures below the horizon only when they win material,
    // recapture, or continue with the piece that moved two plies earlier.
    if (iterationDepth <= 1 && info.capturesOnly && ply >= 2 && move.captured >= move.piece &&
        info.phase != 1 && move.from != GameRecord[ply - 2].to) {
        return true;
    }
    // 2. Static score after the move, for the mover.
    info.child.eval = MoveGain(move) - frame.parentInfo.eval;
    // 3. Only a check by the moved piece itself is seen; it is not counted against the depth.
    inCheckFlags[ply] =
        static_cast<int16_t>(Attacks(move.piece, sideToMove, move.to, KingSquare(otherSide)));
    if (inCheckFlags[ply]) info.depthLeft = frame.depth;
    // 4. Static cut before the move is made: legality is only paid for moves that are searched.
    if (info.depthLeft <= 0 && inCheckFlags[ply] == 0 && ply > 0 && Prune(info.child.eval, frame)) {
        return true;
    }
    // 5. Legality and repetition.
    MakeMove(move, false);
    if (Refused(info, ply)) {
        MakeMove(move, true);
        return true;
    }
    // 6. A small jitter keeps equal root moves from always resolving the same way.
    if (ply == 0) {
        ++rootMoveCount;
        info.child.eval += Random(4);
    }
    // 7. The searched score starts from the static one.
    info.child.score = info.child.eval;
    return false;
}

}  // namespace

int32_t RootSearch(int32_t alpha, int32_t beta) {
    rootParent.onLine = bestLine[0].piece != Empty ? 1 : 0;
    rootMoveCount = 0;
    recordTop = 0;
    const int32_t score = Search(alpha, beta, iterationDepth, rootParent, bestLine);
    XQ_ASSERT(recordTop == 0 && PositionIsConsistent());
    if (rootMoveCount == 0) searchScore = score;
    return score;
}

int32_t Search(int32_t alpha, int32_t beta, int32_t depth, const ParentInfo& parentInfo,
               SearchLine& parentLine) {
    const int ply = recordTop;
    XQ_ASSERT(ply >= 0 && ply <= kMaxPly && alpha < beta);
    NodeInfo info;
    info.repetitionScore = kNoRepetition;
    // 1. Below the horizon only captures, unless the last move gave check.
    info.capturesOnly = depth <= 0 && inCheckFlags[ply - 1] == 0 ? 1 : 0;
    // 2. Below the horizon the side to move may stand pat on the score it has.
    if (info.capturesOnly) {
        info.bestScore = -parentInfo.score;
        if (alpha < info.bestScore) {
            if (info.bestScore >= beta) return info.bestScore;
            alpha = info.bestScore;
        }
    } else {
        info.bestScore = MatedScore(ply);
    }
    // 3. The moves, phase by phase.
    NodeFrame frame{alpha, beta, depth, parentInfo, parentLine, info};
    SearchMoves(frame);
    // 4. A stopped node keeps what it has.
    if (stopSearch) return info.bestScore;
    // 5. No move searched: when every legal move repeats, the best repetition's verdict (never a
    // mate); with no legal move, mated in check, else a draw.
    if (info.bestScore == MatedScore(ply)) {
        if (info.repetitionScore != kNoRepetition) {
            info.bestScore = info.repetitionScore;
        } else if (!IsAttacked(otherSide, KingSquare(sideToMove))) {
            info.bestScore = 0;
        }
    }
    // 6. The best score found.
    return info.bestScore;
}

bool SearchMoves(NodeFrame& frame) {
    NodeInfo& info = frame.info;
    const int ply = recordTop;
    // 1. The move of the principal line.
    if (frame.parentLine[ply].piece != Empty) {
        GameRecord[ply] = frame.parentLine[ply];
        info.phase = 0;
        if (TryMove(frame)) return true;
    }
    // 2. Recaptures on the square the last move landed on.
    const MoveRecord& previous = GameRecord[ply - 1];
    const bool hasPrevious = previous.piece != Empty;
    if (hasPrevious && previous.piece != King) {
        info.phase = 1;
        if (SearchCapturesTo(previous.to, frame)) return true;
    }
    // 3. Other captures, the most valuable victims first (list order).
    info.phase = 2;
    const PieceList& victims = pieceList[otherSide];
    for (int i = 0; i <= victims.lastIndex; ++i) {
        const PieceEntry& victim = victims.entry[i];
        if (victim.kind == Empty || (hasPrevious && previous.to == victim.square)) continue;
        if (SearchCapturesTo(victim.square, frame)) return true;
    }
    // 4. Below the horizon nothing quiet.
    if (info.capturesOnly) return false;
    // 5. Quiet moves, Pawns first, the King last.
    const PieceList& own = pieceList[sideToMove];
    for (int i = own.lastIndex; i >= 0; --i) {
        if (own.entry[i].kind == Empty) continue;
        if (SearchQuietMoves(own.entry[i].square, frame)) return true;
    }
    return false;
}

bool SearchCapturesTo(Square square, NodeFrame& frame) {
    MoveRecord& move = GameRecord[recordTop];
    move.captured = board[square].kind;
    move.tag = 0;
    move.to = square;
    const Side side = sideToMove;
    const PieceList& attackers = pieceList[side];
    // Least valuable attacker first.
    for (int i = attackers.lastIndex; i >= 0; --i) {
        const PieceEntry& attacker = attackers.entry[i];
        // The difference table rules out most pieces with one read (a captured entry's kind 0
        // has no bit), before the full test is called.
        const AttackEntry& reach = AttackTable[square - attacker.square];
        if ((reach.kinds & KindBit(attacker.kind)) == 0 ||
            !Attacks(attacker.kind, side, attacker.square, square)) {
            continue;
        }
        move.from = attacker.square;
        move.piece = attacker.kind;
        if (TryMove(frame)) return true;
    }
    return false;
}

bool SearchQuietMoves(Square from, NodeFrame& frame) {
    MoveRecord& move = GameRecord[recordTop];
    move.tag = 0;
    move.from = from;
    move.piece = board[from].kind;
    move.captured = Empty;
    const Side side = sideToMove;
    auto isFree = [](Square s) { return IsBoardPoint(s) && board[s].kind == Empty; };
    switch (move.piece) {
        case King:
            for (int i = 3; i >= 0; --i) {
                const Square to = from + kOrthogonalSteps[i];
                if (isFree(to) && InPalace(side, to) && TryTo(to, frame)) return true;
            }
            break;
        case Rook:
        case Gunner:
            for (int i = 3; i >= 0; --i) {
                const int step = kOrthogonalSteps[i];
                for (Square to = from + step; isFree(to); to += step) {
                    if (TryTo(to, frame)) return true;
                }
            }
            break;
        case Knight:
            for (int i = 7; i >= 0; --i) {
                const int step = kKnightSteps[i];
                const Square to = from + step;
                if (isFree(to) && board[KnightLeg(to, step)].kind == Empty && TryTo(to, frame))
                    return true;
            }
            break;
        case Assist:
            for (int i = 3; i >= 0; --i) {
                const Square to = from + kAssistSteps[i];
                if (isFree(to) && InPalace(side, to) && TryTo(to, frame)) return true;
            }
            break;
        case Bishop:
            for (int i = 3; i >= 0; --i) {
                const int step = kBishopSteps[i];
                const Square to = from + step;
                if (isFree(to) && InOwnHalf(side, to) && board[BishopEye(to, step)].kind == Empty &&
                    TryTo(to, frame)) {
                    return true;
                }
            }
            break;
        case Pawn: {
            if (isFree(from + PawnForward(side)) && TryTo(from + PawnForward(side), frame))
                return true;
            const bool crossedRiver = side == Red ? from >= 80 : from <= 72;
            if (!crossedRiver) break;
            if (isFree(from + 1) && TryTo(from + 1, frame)) return true;
            if (isFree(from - 1) && TryTo(from - 1, frame)) return true;
            break;
        }
        default:
            break;
    }
    return false;
}

bool TryMove(NodeFrame& frame) {
    NodeInfo& info = frame.info;
    const int ply = recordTop;
    const MoveRecord& move = GameRecord[ply];
    // 1. The line move has had its turn in phase 0.
    if (info.phase != 0 && SameMove(move, frame.parentLine[ply])) return false;
    // 2. The child starts without a line, or with the rest of the principal line.
    if (ply < kMaxPly) {
        info.line[ply + 1] = NullMove;
        if (info.phase == 0) CopyLine(info.line, frame.parentLine, ply + 1);
    }
    // 3. On the principal line, moves after one that reached alpha get a null window first.
    info.child.onLine = 0;
    info.researchNeeded = 0;
    if (frame.parentInfo.onLine) {
        if (info.phase == 0) {
            info.child.onLine = ply < kMaxPly && frame.parentLine[ply + 1].piece != Empty ? 1 : 0;
        } else {
            info.researchNeeded = info.bestScore >= frame.alpha ? 1 : 0;
        }
    }
    // 4. Try the move, and again with the full window when the null window was beaten.
    for (;;) {
        // 4.1 Score, prune, make and test the move.
        if (PrepareMove(frame)) return false;
        // 4.2 A move at the last ply keeps its static score.
        if (!(MateSearchLevel() && info.depthLeft <= 0 && inCheckFlags[ply] == 0)) {
            DrawScore(info);
            if (ply < kMaxPly) {
                const int32_t childAlpha = info.researchNeeded ? -frame.alpha - 1 : -frame.beta;
                SwapSides();
                ++recordTop;
                info.child.score =
                    -Search(childAlpha, -frame.alpha, info.depthLeft, info.child, info.line);
                --recordTop;
                SwapSides();
            }
        }
        // 4.3 Take it back.
        MakeMove(move, true);
        XQ_ASSERT(recordTop == ply);
        // 4.4 A stop unwinds at once.
        if (stopSearch) return true;
        // 4.5 The window may act only here, with the board as it was before the move.
        const uint8_t wasTimed = timedThinking;
        PumpMessages();
        // 4.6 Time runs out at the root, or just after the user played the predicted reply;
        // while the root score sits at the window bound the search goes on past the limit.
        if (!stopSearch && timedThinking && !noTimeLimit && (ply == 0 || !wasTimed) &&
            searchScore > rootWindowLow && SearchSeconds() >= 1.5 * timeLimit) {
            stopSearch = 1;
        }
        // 4.7 The first iteration always completes.
        if (timedThinking && iterationDepth <= 1) stopSearch = 0;
        // 4.8 The best score so far.
        info.bestScore = std::max(info.bestScore, info.child.score);
        // 4.9 The line move is always published, so the line survives a worse iteration.
        if (SameMove(move, frame.parentLine[ply])) StoreBestLine(frame);
        // 4.10 A new best move: store its line, cut or raise alpha.
        if (info.bestScore > frame.alpha) {
            StoreBestLine(frame);
            if (info.bestScore >= frame.beta) return true;
            // Later moves on the principal line must beat it by a margin to replace it.
            if (frame.depth >= 2 && frame.parentInfo.onLine && !info.researchNeeded)
                info.bestScore = std::min(info.bestScore + 8, frame.beta - 1);
            frame.alpha = info.bestScore;
            if (info.researchNeeded && !stopSearch) {
                info.researchNeeded = 0;
                continue;
            }
        }
        // 4.11 A stopped search unwinds.
        return stopSearch != 0;
    }
}

bool PrepareMove(NodeFrame& frame) {
    ++nodeCount;
    const int ply = recordTop;
    MoveRecord& move = GameRecord[ply];
    frame.info.depthLeft = frame.depth - 1;
    if (ply == 0 && rootMoveExcluded && rootMoveExcluded(move)) return true;
    const bool skipped = MateSearchLevel() ? PrepareMateSearchMove(frame, move, ply)
                                           : PrepareScoredMove(frame, move, ply);
    if (timedThinking && ply == 0) ShowRootMove();
    return skipped;
}

bool Prune(int32_t value, NodeFrame& frame) {
    if (frame.alpha < value) return false;
    frame.info.bestScore = std::max(frame.info.bestScore, value);
    return true;
}

void DrawScore(NodeInfo& info) {
    if (recordTop != 1) return;
    const int quiet = CountQuietPlies();
    const int weight = quiet >= 116 ? 3 : quiet >= 20 ? 1 : 0;
    const int32_t contempt = weight * (firstIterationScore / 4);
    info.child.eval += contempt;
    info.child.score += contempt;
}

void StoreBestLine(NodeFrame& frame) {
    const int ply = recordTop;
    NodeInfo& info = frame.info;
    if (ply < kMaxPly) CopyLine(frame.parentLine, info.line, ply + 1);
    frame.parentLine[ply] = GameRecord[ply];
    if (ply != 0) return;
    searchScore = info.bestScore;
    // The mate search measures every root move against the mate bound again.
    if (MateSearchLevel()) info.bestScore = rootWindowLow;
    if (timedThinking) ShowSearchLine(bestLine, searchScore, sideToMove);
}

}  // namespace xq
