// The 大师 engine's evaluation: a static score of a position for its side to move, in hundredths of
// a Pawn, from weights that tools/xq-tune produces.
//
// The score is a sum of terms, each counted for Red and for Black and weighted by one middle-game
// and one endgame weight of the table in weights.h; the two sums are blended by the game phase (the
// Rooks, Knights and Gunners left). The tuner reads the same terms through TraceEvaluation, so the
// evaluation it fits is exactly the one the search runs.
#pragma once

#include <cstdint>
#include <span>

#include "rules/board.h"

namespace xq::master {

int32_t Evaluate(const Position& position);

// One weight of the table: middle game and endgame.
struct TermWeight {
    int16_t mg;
    int16_t eg;
};

// Square index of a piece-square row: ranks counted from the piece's own side, files folded onto
// the left half, so a row serves both colours and both wings.
inline constexpr int kRowSquares = 50;
constexpr int RowSquare(Side side, Square s) {
    const int rank = side == Red ? s >> 4 : 9 - (s >> 4);
    const int file = s & 15;
    return rank * 5 + (file < 4 ? file : 8 - file);
}

// The terms, as offsets into the weight table. Rows (piece-square tables, mobility curves, the
// attacker count) occupy consecutive entries.
enum Term : int {
    kMaterial = 0,                                   // by kind (0 and King unused)
    kPieceSquare = kMaterial + 8,                    // by kind - 1, then RowSquare
    kRookMobility = kPieceSquare + 7 * kRowSquares,  // reachable points, 0..17
    kGunnerMobility = kRookMobility + 18,            // quiet points plus captures, 0..17
    kKnightMobility = kGunnerMobility + 18,          // open jumps, 0..8
    kKnightBlockedLeg = kKnightMobility + 9,         // occupied points next to a Knight
    kRookOpenFile = kKnightBlockedLeg + 1,           // no Pawn of either side on the file
    kRookHalfOpenFile,                               // no Pawn of its own on the file
    kRookFacesPalace,                                // on a palace file, clear line into it
    kGunnerFacesKing,                                // nothing between it and the King
    kOpenPalaceFileVsRook,                           // per palace file bare of defenders, per Rook
    kAssistShortVsRook,                              // per missing Assist, per enemy Rook
    kAssistShortVsKnight,                            // per missing Assist, per enemy Knight
    kBishopShortVsGunner,                            // per missing Bishop, per enemy Gunner
    kKingZoneAttackers,                              // enemy attackers near the palace, 0..7
    kConnectedPawns = kKingZoneAttackers + 8,        // crossed Pawns side by side
    kTempo,                                          // the side to move
    kTermCount
};

// Phase weights: a full board is kPhaseMax (pure middle game), no Rook, Knight or Gunner is 0.
inline constexpr int kPhaseRook = 4;
inline constexpr int kPhaseMinor = 2;  // Knight or Gunner
inline constexpr int kPhaseMax = 2 * (2 * kPhaseRook + 4 * kPhaseMinor);

// A side without Rook, Knight, Gunner or Pawn can never mate: a score in its favour is divided by
// this.
inline constexpr int kNoMatingMaterialDivisor = 16;

// The evaluation as the tuner sees it: for every term, Red's count minus Black's, the phase, and
// which sides lack mating material. Evaluate equals ScoreTrace(trace, the table) for the side to
// move.
struct EvalTrace {
    int16_t count[kTermCount];
    int phase;
    bool cannotWin[2];
    Side sideToMove;
};

void TraceEvaluation(const Position& position, EvalTrace* trace);

// Score of a trace under `weights` (kTermCount entries), for the trace's side to move.
int32_t ScoreTrace(const EvalTrace& trace, std::span<const TermWeight> weights);

// The table the engine plays with.
std::span<const TermWeight> BuiltInWeights();

}  // namespace xq::master
