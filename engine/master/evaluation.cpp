#include "engine/master/evaluation.h"

#include <algorithm>
#include <bit>
#include <iterator>

#include "engine/master/weights.h"
#include "platform/check.h"

namespace xq::master {
namespace {

static_assert(std::size(kWeights) == kTermCount, "weights.h does not match the terms");

constexpr bool OnBoard(Square s) {
    return static_cast<unsigned>(s) <= 152u && (s & 15) < kFiles;
}

constexpr int RelativeRank(Side side, Square s) {
    return side == Red ? s >> 4 : 9 - (s >> 4);
}

constexpr int Forward(Side side) {
    return side == Red ? 16 : -16;
}

// Material and square folded into one lookup for the hot loop, by side, kind and square.
struct PieceTable {
    TermWeight row[2][8][kBoardCells];
    constexpr PieceTable() : row{} {
        for (Side side : {Red, Black}) {
            for (int kind = King; kind <= Pawn; ++kind) {
                const TermWeight& m = kWeights[kMaterial + kind];
                for (Square s = 0; s < kBoardCells; ++s) {
                    if (!OnBoard(s)) continue;
                    const int i = kPieceSquare + (kind - 1) * kRowSquares + RowSquare(side, s);
                    row[side][kind][s] = {static_cast<int16_t>(m.mg + kWeights[i].mg),
                                          static_cast<int16_t>(m.eg + kWeights[i].eg)};
                }
            }
        }
    }
};
constexpr PieceTable kPieceTable{};

// Where the evaluation's terms go: the engine's sink adds weights, the tuner's counts terms.
// Both see the same calls, so the two cannot drift apart.
class ScoreSink {
  public:
    void Piece(Side side, PieceKind kind, Square s) {
        XQ_ASSERT(side <= Black && kind >= King && kind <= Pawn && OnBoard(s));
        const TermWeight& w = kPieceTable.row[side][kind][s];
        Add(side, w, 1);
    }
    void Term(Side side, int term, int count) { Add(side, kWeights[term], count); }

    // By side; Red's minus Black's is the score.
    int mg[2] = {};
    int eg[2] = {};

  private:
    void Add(Side side, const TermWeight& w, int count) {
        mg[side] += w.mg * count;
        eg[side] += w.eg * count;
    }
};

class TraceSink {
  public:
    explicit TraceSink(EvalTrace* trace) : trace_(trace) {
        std::fill_n(trace->count, kTermCount, 0);
    }
    void Piece(Side side, PieceKind kind, Square s) {
        Term(side, kMaterial + kind, 1);
        Term(side, kPieceSquare + (kind - 1) * kRowSquares + RowSquare(side, s), 1);
    }
    void Term(Side side, int term, int count) {
        trace_->count[term] =
            static_cast<int16_t>(trace_->count[term] + (side == Red ? count : -count));
    }

  private:
    EvalTrace* trace_;
};

// What one side has, gathered while its pieces are scored; the terms that weigh one side's
// pieces against the other's are scored from it once both sides are done.
struct SideSummary {
    int count[8] = {};
    unsigned pawnFiles = 0;     // files holding a Pawn of this side
    unsigned guardedFiles = 0;  // files holding a piece of this side outside its palace ranks
    int zoneAttackers = 0;      // Rooks, Knights, Gunners and Pawns near the enemy palace
    Square rooks[2] = {};       // the first two Rooks' squares
};

// Points on the board along each orthogonal line from a square, in the order of
// kOrthogonalSteps: the sliders' loops count steps instead of testing every point.
struct RayLengths {
    uint8_t length[kBoardCells][4];
    constexpr RayLengths() : length{} {
        for (Square s = 0; s < kBoardCells; ++s) {
            if (!OnBoard(s)) continue;
            const int file = s & 15;
            const int rank = s >> 4;
            length[s][0] = static_cast<uint8_t>(kFiles - 1 - file);  // +1
            length[s][1] = static_cast<uint8_t>(file);               // -1
            length[s][2] = static_cast<uint8_t>(kRanks - 1 - rank);  // +16
            length[s][3] = static_cast<uint8_t>(rank);               // -16
        }
    }
};
constexpr RayLengths kRays{};
static_assert(kOrthogonalSteps[0] == 1 && kOrthogonalSteps[2] == 16);

// Walks from `s` along direction `d` over empty points; returns the first occupied point, or -1
// when the line leaves the board first. `*empty` counts the empty points passed.
inline Square FirstPiece(const BoardCell* board, Square s, int d, int* empty) {
    const int step = kOrthogonalSteps[d];
    const int length = kRays.length[s][d];
    for (int n = 1; n <= length; ++n) {
        if (board[s + n * step].kind != Empty) {
            *empty += n - 1;
            return s + n * step;
        }
    }
    *empty += length;
    return -1;
}

// Points a Rook reaches (empty ones and the first enemy piece on each line); also whether its
// line forward on a palace file reaches the enemy palace.
template <typename Sink>
void RookTerms(const Position& position, Side side, Square s, Sink& sink) {
    const BoardCell* board = position.board;
    int mobility = 0;
    for (int d = 0; d < 4; ++d) {
        const int before = mobility;
        const Square hit = FirstPiece(board, s, d, &mobility);
        if (hit >= 0 && board[hit].side != side) ++mobility;
        if (kOrthogonalSteps[d] == Forward(side)) {
            const Square last = hit >= 0 ? hit : s + (mobility - before) * Forward(side);
            const int file = s & 15;
            if (file >= 3 && file <= 5 && RelativeRank(side, last) >= 7) {
                sink.Term(side, kRookFacesPalace, 1);
            }
        }
    }
    sink.Term(side, kRookMobility + std::min(mobility, 17), 1);
}

// Rooks on files without Pawns: without any, or without their own.
template <typename Sink>
void RookFileTerms(Side side, const SideSummary& own, const SideSummary& enemy, Sink& sink) {
    const int rooks = std::min(own.count[Rook], 2);
    for (int i = 0; i < rooks; ++i) {
        const unsigned fileBit = 1u << (own.rooks[i] & 15);
        if (!((own.pawnFiles | enemy.pawnFiles) & fileBit)) {
            sink.Term(side, kRookOpenFile, 1);
        } else if (!(own.pawnFiles & fileBit)) {
            sink.Term(side, kRookHalfOpenFile, 1);
        }
    }
}

// Points a Gunner reaches: empty points, and the enemy piece behind the first screen. A Gunner
// whose first piece on a line is the enemy King has an empty line into the palace.
template <typename Sink>
void GunnerTerms(const Position& position, Side side, Square s, Sink& sink) {
    const BoardCell* board = position.board;
    int mobility = 0;
    for (int d = 0; d < 4; ++d) {
        const Square screen = FirstPiece(board, s, d, &mobility);
        if (screen < 0) continue;
        if (board[screen].kind == King && board[screen].side != side) {
            sink.Term(side, kGunnerFacesKing, 1);
        }
        int beyond = 0;
        const Square target = FirstPiece(board, screen, d, &beyond);
        if (target >= 0 && board[target].side != side) ++mobility;
    }
    sink.Term(side, kGunnerMobility + std::min(mobility, 17), 1);
}

// Open jumps of a Knight (leg free, destination empty or enemy) and its blocked legs.
template <typename Sink>
void KnightTerms(const Position& position, Side side, Square s, Sink& sink) {
    const BoardCell* board = position.board;
    int mobility = 0;
    int blocked = 0;
    for (int leg : kOrthogonalSteps) {
        const Square legSquare = s + leg;
        if (!OnBoard(legSquare)) continue;
        if (board[legSquare].kind != Empty) {
            ++blocked;
            continue;
        }
        const int across = (leg == 1 || leg == -1) ? 16 : 1;
        for (Square t : {legSquare + leg + across, legSquare + leg - across}) {
            if (OnBoard(t) && (board[t].kind == Empty || board[t].side != side)) ++mobility;
        }
    }
    sink.Term(side, kKnightMobility + mobility, 1);
    sink.Term(side, kKnightBlockedLeg, blocked);
}

// The defender's side of King safety: missing Assists against Rooks and Knights, missing Bishops
// against Gunners, palace files without a guard against Rooks, attackers near the palace.
template <typename Sink>
void KingSafetyTerms(Side defender, const SideSummary& own, const SideSummary& enemy, Sink& sink) {
    const int assistsShort = std::max(0, 2 - own.count[Assist]);
    const int bishopsShort = std::max(0, 2 - own.count[Bishop]);
    sink.Term(defender, kAssistShortVsRook, assistsShort * enemy.count[Rook]);
    sink.Term(defender, kAssistShortVsKnight, assistsShort * enemy.count[Knight]);
    sink.Term(defender, kBishopShortVsGunner, bishopsShort * enemy.count[Gunner]);
    const unsigned palaceFiles = 0b111000u;
    const int openFiles = std::popcount(palaceFiles & ~own.guardedFiles);
    sink.Term(defender, kOpenPalaceFileVsRook, openFiles * enemy.count[Rook]);
    sink.Term(defender, kKingZoneAttackers + std::min(enemy.zoneAttackers, 7), 1);
}

// Scores every piece of `side` and fills its summary.
template <typename Sink>
void PieceTerms(const Position& position, Side side, SideSummary* sum, Sink& sink) {
    const PieceList& list = position.pieceList[side];
    for (int i = 0; i <= list.lastIndex; ++i) {
        const PieceEntry& e = list.entry[i];
        if (e.kind == Empty) continue;
        sink.Piece(side, e.kind, e.square);
        const int file = e.square & 15;
        const int rank = RelativeRank(side, e.square);
        const bool nearEnemyPalace = rank >= 6 && file >= 2 && file <= 6;
        if (e.kind != King && rank >= 3) sum->guardedFiles |= 1u << file;
        switch (e.kind) {
            case Rook:
                if (sum->count[Rook] < 2) sum->rooks[sum->count[Rook]] = e.square;
                RookTerms(position, side, e.square, sink);
                sum->zoneAttackers += nearEnemyPalace;
                break;
            case Gunner:
                GunnerTerms(position, side, e.square, sink);
                sum->zoneAttackers += nearEnemyPalace;
                break;
            case Knight:
                KnightTerms(position, side, e.square, sink);
                sum->zoneAttackers += nearEnemyPalace;
                break;
            case Pawn: {
                sum->pawnFiles |= 1u << file;
                sum->zoneAttackers += nearEnemyPalace;
                const Square right = e.square + 1;
                if (rank >= 5 && OnBoard(right) && position.board[right].kind == Pawn &&
                    position.board[right].side == side) {
                    sink.Term(side, kConnectedPawns, 1);
                }
                break;
            }
            default:
                break;
        }
        ++sum->count[e.kind];
    }
}

int Phase(const SideSummary (&sum)[2]) {
    int phase = 0;
    for (const SideSummary& s : sum) {
        phase += kPhaseRook * s.count[Rook] + kPhaseMinor * (s.count[Knight] + s.count[Gunner]);
    }
    return std::min(phase, kPhaseMax);
}

bool CannotWin(const SideSummary& s) {
    return s.count[Rook] + s.count[Knight] + s.count[Gunner] + s.count[Pawn] == 0;
}

// Walks every term once into `sink`; returns the phase and which sides cannot mate.
template <typename Sink>
void Collect(const Position& position, Sink& sink, int* phase, bool (&cannotWin)[2]) {
    SideSummary sum[2];
    PieceTerms(position, Red, &sum[Red], sink);
    PieceTerms(position, Black, &sum[Black], sink);
    for (Side side : {Red, Black}) {
        const Side enemy = Opponent(side);
        RookFileTerms(side, sum[side], sum[enemy], sink);
        KingSafetyTerms(side, sum[side], sum[enemy], sink);
        cannotWin[side] = CannotWin(sum[side]);
    }
    sink.Term(position.sideToMove, kTempo, 1);
    *phase = Phase(sum);
}

// Red's point of view: blend by phase, then damp a lead that cannot be turned into a mate.
int32_t Blend(int mg, int eg, int phase, const bool (&cannotWin)[2]) {
    int32_t score = (mg * phase + eg * (kPhaseMax - phase)) / kPhaseMax;
    if ((score > 0 && cannotWin[Red]) || (score < 0 && cannotWin[Black])) {
        score /= kNoMatingMaterialDivisor;
    }
    return score;
}

}  // namespace

int32_t Evaluate(const Position& position) {
    ScoreSink sink;
    int phase = 0;
    bool cannotWin[2];
    Collect(position, sink, &phase, cannotWin);
    const int32_t red =
        Blend(sink.mg[Red] - sink.mg[Black], sink.eg[Red] - sink.eg[Black], phase, cannotWin);
    return position.sideToMove == Red ? red : -red;
}

void TraceEvaluation(const Position& position, EvalTrace* trace) {
    TraceSink sink(trace);
    Collect(position, sink, &trace->phase, trace->cannotWin);
    trace->sideToMove = position.sideToMove;
}

int32_t ScoreTrace(const EvalTrace& trace, std::span<const TermWeight> weights) {
    int mg = 0;
    int eg = 0;
    for (int i = 0; i < kTermCount; ++i) {
        mg += trace.count[i] * weights[i].mg;
        eg += trace.count[i] * weights[i].eg;
    }
    const int32_t red = Blend(mg, eg, trace.phase, trace.cannotWin);
    return trace.sideToMove == Red ? red : -red;
}

std::span<const TermWeight> BuiltInWeights() {
    return kWeights;
}

}  // namespace xq::master
