// Matches between engines: games played between two EngineClients (any of ours run as
// lanchuan-engine, or the user's), refereed by this program's rules, with the running score, the
// Elo difference and every game written as PGN. lanchuan-match and the window's match dialog are
// its two faces; both hand it a MatchSettings and listen to its events.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/engineclient.h"

namespace xq::host {

// The time each engine is given: a fixed time per move, a clock with an increment, or a depth.
struct TimeControl {
    int64_t moveTime = -1;  // milliseconds per move; -1: a clock or a depth instead
    int64_t base = -1;      // milliseconds on each clock at the start; -1: no clock
    int64_t increment = 0;  // milliseconds added after each move
    int depth = 0;          // plies; 0: no depth limit
    // How long past its time an engine may be silent before it has hung (its game is lost).
    int64_t margin = 1000;
};
// Reads cutechess-style texts: "st=0.2" (seconds a move), "tc=40/60+0.5" or "tc=1+0.1" (seconds
// a game plus an increment, seconds also as "1:30"; the moves count is taken and ignored),
// "depth=8", "timemargin=500" (milliseconds). False with a reason.
bool ParseTimeControl(std::string_view key, std::string_view value, TimeControl* control,
                      std::string* error);
// The PGN TimeControl tag: "0.2/move", "60+0.5", or "-" for a depth alone.
std::string TimeControlTag(const TimeControl& control);

// Where a game starts: a FEN (empty: the opening array) and moves played from it.
struct Opening {
    std::string fen;
    std::vector<std::string> moves;  // ICCS
};

// Games ended early by agreement of the engines' own scores (cutechess's -draw and -resign).
struct Adjudication {
    int drawMoveNumber = 0;   // 0: no draw adjudication
    int drawMoveCount = 0;    // consecutive moves ...
    int drawScore = 0;        // ... with both scores within this many centipawns of 0
    int resignMoveCount = 0;  // 0: no resignation; consecutive moves ...
    int resignScore = 0;      // ... with the loser's score at or below -this
};

struct MatchSettings {
    EngineSetup engines[2];
    TimeControl timeControl;
    int games = 2;  // games per round (each opening twice with -repeat)
    int rounds = 1;
    int concurrency = 1;            // games played at once
    std::vector<Opening> openings;  // empty: every game from the opening array
    bool repeat = false;            // each opening twice, colours swapped
    int maxPlies = 300;             // a game reaching this many plies is a draw
    Adjudication adjudication;
    std::string pgnPath;  // empty: no PGN
    std::string event = "Engine match";
};

// Why a game ended. The referee's own verdicts and the engines' failures.
enum class GameEnd : uint8_t {
    Mate,            // the side to move has no legal move and is in check
    Stalemate,       // no legal move, not in check: a loss in Xiangqi
    PerpetualCheck,  // the repeating side checked with every move of the cycle: it loses
    Repetition,      // a repetition without an offender: a draw
    MoveLimit,       // maxPlies reached
    NoAttackers,     // neither side has a piece left that can give mate: a draw
    IllegalMove,     // the engine played a move that is not legal, or no move at all
    Timeout,         // the engine's clock ran out, or it was silent past its time and the margin
    Crash,           // the engine's process ended or could not be started
    Nonsense,        // the engine wrote something that is no move where a move was due
    FalseClaim,      // the engine claimed a result the position does not have
    Resign,          // the engine resigned
    AdjudicatedDraw,
    AdjudicatedWin,
    Stopped,  // the match was stopped before the game ended
};

struct GameRecordOut {
    int number = 0;     // from 1, in the order the games began
    int redEngine = 0;  // index into MatchSettings::engines of the side that played Red
    std::string red;    // the names the engines played under
    std::string black;
    std::string result;  // "1-0", "0-1", "1/2-1/2" or "*"
    GameEnd end = GameEnd::Stopped;
    std::string reason;  // in words, naming the engine: "Fairy-Stockfish loses on time"
    Opening opening;
    std::vector<std::string> moves;  // ICCS, after the opening's
    // The runner's own cost: microseconds from each bestmove arriving to the next go written.
    std::vector<int64_t> turnaround;
};

// The score from engines[0]'s view.
struct MatchScore {
    int wins = 0;
    int losses = 0;
    int draws = 0;
    int Games() const { return wins + losses + draws; }
};
// The Elo difference of a score and the half-width of its 95% interval, as cutechess computes
// them (from the score's mean and the per-game variance); infinite values when the score is 0 or
// 100%.
struct EloEstimate {
    double difference = 0;
    double interval = 0;
};
EloEstimate EstimateElo(const MatchScore& score);

// What a match tells its face as it goes. Called on the runner's threads, one call at a time.
struct MatchEvents {
    std::function<void(int game, const std::string& red, const std::string& black,
                       const Opening& opening)>
        gameStarted;
    // A move was played: the game's number, the move (ICCS) and the position after it.
    std::function<void(int game, const std::string& move, const std::string& fen)> movePlayed;
    std::function<void(const GameRecordOut& game, const MatchScore& score)> gameEnded;
};

// Plays the whole match (returns when every game ended or `stop` was set; games stopped end as
// Stopped with "*" and do not count). Engines are started afresh for every game, and a game's
// engine that failed is started again for the next. False with a reason only when the match
// could not begin (an engine that cannot even start, a PGN file that cannot be written).
bool RunMatch(const MatchSettings& settings, const MatchEvents& events,
              const std::atomic<bool>& stop, MatchScore* score, std::string* error);

}  // namespace xq::host
