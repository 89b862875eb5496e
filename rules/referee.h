// The referee of a game between two players that are not this program's game (engines in a
// match, the judge of a recorded game): it keeps a Position of its own, plays the moves it is
// given, and after each move says whether the game has ended and why. It reads no global of the
// game, so any number of referees run side by side in threads.
//
// After every move the rulings are asked in this order: the side to move has no legal move (it
// loses, mated or stalemated); the position stands for the third time (the repetition rule); the
// move limit; neither side has a piece left that can attack (a draw).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rules/board.h"
#include "rules/types.h"

namespace xq {

enum class Verdict : uint8_t {
    None,            // the game goes on
    Mate,            // the side to move has no legal move and is in check
    Stalemate,       // no legal move, not in check: a loss as well
    PerpetualCheck,  // the repeating side checked with every move since the first occurrence
    Repetition,      // the third occurrence without an offender: a draw
    MoveLimit,       // the game reached its ply limit: a draw
    NoAttackers,     // neither side has a Rook, Knight, Cannon or Pawn: a draw
};

struct Ruling {
    Verdict verdict = Verdict::None;
    int winner = -1;  // Red, Black, or -1 for a draw (and while the game goes on)
    bool Ended() const { return verdict != Verdict::None; }
};

// The line a game has taken so far, as a repetition rule reads it: the key of every position
// (keys[0] the start, keys[i] after ply i), whether its side to move is in check, the moves and
// who played each.
struct RefereeLine {
    Position start;
    std::vector<uint64_t> keys;
    std::vector<bool> inCheck;
    std::vector<MoveRecord> moves;
    std::vector<Side> movers;
};

// How a repeated position is ruled. Called when the last position of `line` stands there for
// the third time; a fuller rule set (chases and their mixtures) replaces this one.
class RepetitionRule {
  public:
    virtual ~RepetitionRule() = default;
    virtual Ruling Judge(const RefereeLine& line) const = 0;
};

// The common simple rule: the side that gave check with every one of its moves since the first
// occurrence loses when the other side did not; every other repetition is a draw.
class CheckRepetitionRule final : public RepetitionRule {
  public:
    Ruling Judge(const RefereeLine& line) const override;
};

class Referee {
  public:
    // `maxPlies`: plies after which the game is drawn (0: no limit); the plies of a given
    // opening count. Without a rule, CheckRepetitionRule.
    explicit Referee(int maxPlies = 0, std::unique_ptr<RepetitionRule> rule = nullptr);

    // Begins a game from `fen` (empty: the opening array). False with a reason for a text that
    // is no position; the referee then keeps what it had.
    bool Start(std::string_view fen, std::string* error);

    // Plays the ICCS move `iccs` when it is legal for the side to move and returns the ruling
    // after it; false (nothing played) for a text that is no legal move. The game must not have
    // ended.
    bool Play(std::string_view iccs, Ruling* ruling);

    // The ruling of the position as it stands (the same that the last Play returned).
    Ruling Judge();

    const Position& Current() const { return position_; }
    const RefereeLine& Line() const { return line_; }
    int Plies() const { return static_cast<int>(line_.moves.size()); }
    // The FEN of the position as it stands.
    std::string Fen() const;
    // The legal moves of the side to move, in ICCS.
    std::vector<std::string> LegalMoves();

  private:
    void Record();

    int maxPlies_;
    std::unique_ptr<RepetitionRule> rule_;
    Position position_{};
    RefereeLine line_;
};

// True when neither side has a Rook, Knight, Cannon or Pawn left.
bool NoAttackersLeft(const Position& position);

}  // namespace xq
