// The other side of the engine protocols: this program as the controlling program of an engine
// that speaks UCI, UCCI or XBoard (CECP 2). One EngineClient owns one engine process; every call
// returns at once except Start (the handshake) and Poll (which waits up to its timeout), so the
// window's pump and the match runner drive any number of engines from the threads they already
// have. Moves cross this interface in ICCS coordinates (h2e2, ranks 0..9) whatever the engine
// writes; positions as FEN in this program's form (rules/fen.h).
//
// An engine is a foreign program: everything it writes is checked before it is believed, and
// once it has failed (exited, stopped answering, answered nonsense, flooded its output) the client
// says why in Failure() and every later call returns false or Event::Failed at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/process.h"

namespace xq::host {

enum class Protocol : uint8_t { Auto, Uci, Ucci, Xboard };
// "auto", "uci", "ucci", "xboard"; ParseProtocol takes the same words.
std::string_view ProtocolName(Protocol protocol);
bool ParseProtocol(std::string_view word, Protocol* protocol);

// How the engine numbers the ranks in its moves: from 0 to 9 as ICCS, UCCI and XBoard's ten-rank
// boards do (Pikafish, ElephantEye, MaxQi), or from 1 to 10 (Fairy-Stockfish's UCI). Auto: found
// out from the engine's first moves and lines (a rank 0 or 10 settles it; else which reading is
// legal).
enum class Ranks : uint8_t { Auto, FromZero, FromOne };
std::string_view RanksName(Ranks ranks);  // "auto", "0-9", "1-10"
bool ParseRanks(std::string_view word, Ranks* ranks);

// An option the engine declares (UCI `option name N type T ...`, UCCI `option N type T ...`,
// XBoard `feature option="N -T ..."`).
struct EngineOption {
    enum class Type : uint8_t { Check, Spin, Combo, String, Button, File };
    std::string name;
    Type type = Type::String;
    std::string defaultValue;
    int64_t min = 0;  // Spin only
    int64_t max = 0;
    std::vector<std::string> choices;  // Combo only
};

// One engine as the user set it up: how to run it and the option values chosen for it (sent after
// every start, in this order; an option the engine does not declare is skipped).
struct EngineSetup {
    std::string name;  // the user's name for it, unique in the list
    ProcessCommand command;
    Protocol protocol = Protocol::Auto;
    Ranks ranks = Ranks::Auto;
    std::vector<std::pair<std::string, std::string>> options;
    // Keys of its section in the engine list that this program does not know, kept as they were
    // so that saving the list does not lose what a person or a newer version wrote there.
    std::vector<std::pair<std::string, std::string>> otherKeys;
};

// What the handshake found out.
struct EngineIdentity {
    std::string name;    // `id name` / `myname`; empty when the engine gave none
    std::string author;  // `id author`
    Protocol protocol = Protocol::Uci;
    Ranks ranks = Ranks::Auto;
    std::vector<EngineOption> options;
    // UCI/UCCI option Ponder (or UCCI `ponder`). Never over XBoard: its engines are kept in force
    // mode between their moves, so they do not think on the opponent's time.
    bool offersPonder = false;
    int maxMultiPv = 1;  // the MultiPV option's maximum; 1 when it has none
};

// What one `go` asks for. Times in milliseconds; the client converts them to the protocol's unit
// (UCCI seconds unless the engine took `usemillisec`, XBoard `st` seconds, `time`/`otim`
// centiseconds, `level` minutes).
struct GoLimits {
    int64_t moveTime = -1;       // -1: not given
    int depth = 0;               // 0: no depth limit
    bool infinite = false;       // until Stop()
    int64_t time[2] = {-1, -1};  // clock left by side (Red, Black); -1: no clock
    int64_t increment[2] = {0, 0};
    int movesToGo = 0;    // 0: not given
    bool ponder = false;  // think on the predicted reply (the position set includes it)
};

// One line of the engine's thinking. Scores are from the side to move's view.
struct SearchInfo {
    int depth = 0;
    int selDepth = 0;
    int multiPv = 1;
    bool hasScore = false;
    bool mate = false;  // score counts moves to mate (negative: being mated)
    int score = 0;      // centipawns (XBoard's own unit), or moves when mate
    uint64_t nodes = 0;
    uint64_t nps = 0;
    int64_t time = -1;            // milliseconds the engine reports; -1: not given
    std::vector<std::string> pv;  // ICCS, only the legal start of the engine's line
    std::string text;             // `info string` (the rest of the line)
};

// The engine's answer to `go`. `move` empty: the engine has no move (mated or stalemated:
// "(none)", "nomove", XBoard "resign" or a result claim in `claim`).
struct BestMove {
    std::string move;    // ICCS, legal in the position set
    std::string ponder;  // ICCS, the reply it expects; may be empty
    std::string claim;   // XBoard `1-0 {...}` and the like, or `resign`, as the engine wrote it
};

enum class Event : uint8_t { None, Info, BestMove, Failed };

// How an engine failed, for callers that judge it (the match runner) without reading the words.
enum class Fault : uint8_t {
    None,
    Exited,       // its process ended (detail: the exit code)
    Killed,       // a signal ended it (detail: the signal)
    NoAnswer,     // silent where an answer was due (detail: the command)
    NoXiangqi,    // offers variants, Xiangqi not among them
    IllegalMove,  // a move the rules refuse (detail: as written)
    Nonsense,     // no move where a move was due (detail: as written)
    Flood,        // more output than kMaxOutputPerSearch
    NotStopped,   // searched on past Stop()
    NoSetup,      // cannot take a position other than the opening array
    RefusedMove,  // called a move of the game illegal (detail: the move)
};

class EngineClient {
  public:
    static constexpr std::chrono::milliseconds kHandshakeTime{10000};
    static constexpr std::chrono::milliseconds kReadyTime{10000};
    // Output beyond this many bytes between two `go`s is a flood; the engine is stopped.
    static constexpr size_t kMaxOutputPerSearch = 64 * 1024 * 1024;

    // Runs the engine and shakes hands: the protocol given, or with Auto `uci` (answered by
    // `uciok`), then `ucci` (`ucciok`), then `xboard`+`protover 2` (`feature ... done=1`); reads
    // its name, author and options; sets UCI_Variant to xiangqi where it is a combo, refuses an
    // engine that offers variants without xiangqi ("… 不能下中国象棋"), sends the setup's options
    // and waits for `readyok` (XBoard: `pong`). Null with the reason in words when it fails; the
    // process is then gone.
    static std::unique_ptr<EngineClient> Start(
        const EngineSetup& setup, std::string* error,
        std::chrono::milliseconds handshake = kHandshakeTime);
    virtual ~EngineClient() = default;  // Quit()

    const EngineIdentity& Identity() const { return identity_; }
    // The name to show: the setup's name, else the engine's own, else the program's file name.
    const std::string& DisplayName() const { return displayName_; }
    // Why the engine failed, in words that name it ("引擎 Foo 已退出 (退出码 1)"); empty while
    // it works.
    const std::string& Failure() const { return failure_; }
    bool Failed() const { return !failure_.empty(); }
    // The kind of the failure, and what of the engine's the words name (printable, cut short).
    Fault FailedWith() const { return fault_; }
    const std::string& FailureDetail() const { return failureDetail_; }
    // True between Go and the BestMove event (or the failure).
    bool Searching() const { return searching_; }

    // Changes an option (also between games); false when the engine failed or has no such option.
    virtual bool SetOption(std::string_view name, std::string_view value) = 0;
    // Tells the engine a new game begins (ucinewgame, XBoard new).
    virtual bool NewGame() = 0;
    // The position of the next Go: the game from `startFen` (empty: the opening array) with the
    // moves played since, each legal (the caller's rules checked them). False, without failing the
    // engine, for a game that is not legal or while a search runs.
    virtual bool SetPosition(std::string_view startFen, const std::vector<std::string>& moves) = 0;
    // Starts a search of the position set, with `multiPv` lines where the engine offers them.
    virtual bool Go(const GoLimits& limits, int multiPv = 1) = 0;
    // Asks a running search to end now; its BestMove event still follows.
    virtual bool Stop() = 0;
    // The predicted reply was played: the pondering search becomes the real one.
    virtual bool PonderHit() = 0;
    // Waits up to `timeout` for the engine's next message and returns what it was: Info (filled
    // in `info`), BestMove (in `best`; the search has ended), Failed, or None when nothing came or
    // the line meant nothing here.
    virtual Event Poll(std::chrono::milliseconds timeout, SearchInfo* info, BestMove* best) = 0;
    // Ends the engine: `quit`, a short wait, then the process is stopped. Safe more than once.
    virtual void Quit() = 0;

  protected:
    // Fails an engine that does not stop.
    friend bool WaitForBestMove(EngineClient& engine, BestMove* best,
                                std::chrono::milliseconds patience);

    EngineIdentity identity_;
    std::string displayName_;
    std::string failure_;
    Fault fault_ = Fault::None;
    std::string failureDetail_;
    bool searching_ = false;
};

// Waits for the BestMove of a search asked to Stop(): at most `patience`; an engine that keeps
// searching past it is failed ("… 没有停下") and quit. True when the answer came.
inline constexpr std::chrono::milliseconds kStopPatience{2000};
bool WaitForBestMove(EngineClient& engine, BestMove* best,
                     std::chrono::milliseconds patience = kStopPatience);

}  // namespace xq::host
