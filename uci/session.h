// One conversation with a controlling program over UCI or UCCI: commands are read a line at a
// time and answered on standard output. A search runs on the same thread; while it runs, the
// search's message pump reads the input at its native-pull interval, so `stop`, `ponderhit`,
// `isready` and `quit` are answered during the search and anything else waits for its end.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "engine/master/engine.h"
#include "platform/words.h"
#include "rules/types.h"
#include "uci/commandinput.h"
#include "uci/gorequest.h"
#include "uci/position.h"

namespace xq::uci {

class Session {
  public:
    // The core must be initialised and the opening library loaded (or not) before.
    explicit Session(CommandInput& input);

    // Answers commands until `quit` or the end of the input.
    void Run();

  private:
    using Clock = std::chrono::steady_clock;
    using Words = std::vector<std::string_view>;

    // Commands. Handle returns false once the session is to end.
    bool Handle(const std::string& line, bool overlong);
    void Identify(Protocol protocol);
    void SetOption(const Words& words);
    void NewGame();
    void SetPosition(const Words& words);
    void BanMoves(const Words& words);
    void Go(const Words& words);
    void Refuse(std::string_view reason);

    // Thinking (thinking.cpp).
    void Think();
    bool PlayFromLibrary();
    void Search();
    // Reads the commands that have arrived while thinking; acts on the ones a search answers.
    void ReadWhileThinking(bool wait);
    void ActWhileThinking(const std::string& line, bool overlong);
    bool PastHardLimit() const;
    void ReportIteration();
    void ReportBestMove();
    int64_t ElapsedMs(Clock::time_point since) const;

    // Thinking with the 大师 engine (masterthinking.cpp).
    void SearchWithMaster();
    bool MasterPoll();
    void ReportMasterIteration(const master::SearchReport& report);
    void SendIterationLine(const master::SearchReport& report, const std::vector<MoveRecord>& line);

    static void PullNativeEvents();
    static void IterationDone();
    static bool RootMoveExcluded(const MoveRecord& move);

    CommandInput& input_;
    Protocol protocol_ = Protocol::Uci;
    bool ownBook_ = true;
    uint64_t seed_ = 0;              // 0: seeded from the clock at start-up
    bool ucciMilliseconds_ = false;  // UCCI's usemillisec: go's times in milliseconds, not seconds
    bool useMaster_ = true;          // the 大师 engine searches; false: the classic one
    int multiPV_ = 1;                // lines the 大师 engine reports
    master::Engine engine_;
    bool masterSoftStop_ = false;  // the 大师 engine's soft limit is reached: no new iteration

    bool positionSet_ = false;
    PositionRequest position_;         // the last good position
    std::vector<MoveRecord> banned_;   // UCCI banmoves, until the next position
    std::vector<MoveRecord> allowed_;  // UCI searchmoves, for one search

    GoRequest go_;
    TimeBudget budget_;
    Clock::time_point searchStart_;  // when `go` arrived
    Clock::time_point budgetStart_;  // when the move's time began: `go`, or ponderhit
    bool pondering_ = false;         // thinking on the opponent's time until ponderhit
    bool stopRequested_ = false;
    bool quitRequested_ = false;
    std::deque<std::pair<std::string, bool>> deferred_;  // commands for after the search

    static Session* active_;
};

}  // namespace xq::uci
