// The client of an engine speaking XBoard (CECP version 2): the features it declares at
// `protover 2`, the game kept in the engine in force mode and played to it move by move, `go` for
// one move at a time (the engine is put back in force mode as soon as it has moved), `?` to make
// it move now, its thinking lines and its result claims.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/clientbase.h"

namespace xq::host {

class XboardClient : public ClientBase {
  public:
    XboardClient(std::unique_ptr<Process> process, const EngineSetup& setup);

    // Sends xboard and protover 2 and reads the features up to done=1 (an engine that sends no
    // done=0 has two quiet seconds to finish its list). OtherProtocol when within `probe` no
    // feature came; `whole` bounds an engine that asked for more time with done=0.
    Handshake Shake(std::chrono::milliseconds probe, std::chrono::milliseconds whole);
    // After the handshake: the variant (xiangqi must be among the engine's), the setup's options,
    // a new game in force mode, and ping/pong where the engine has them.
    bool Prepare(std::chrono::milliseconds readyTime);

    bool SetOption(std::string_view name, std::string_view value) override;
    bool NewGame() override;
    bool SetPosition(std::string_view startFen, const std::vector<std::string>& moves) override;
    bool Go(const GoLimits& limits, int multiPv) override;
    bool Stop() override;
    bool PonderHit() override;
    Event Poll(std::chrono::milliseconds timeout, SearchInfo* info, BestMove* best) override;

  private:
    // One `feature` line: each feature answered accepted or rejected. False at done=1.
    bool ReadFeatures(std::string_view line);
    bool ResetGame();
    bool SendMove(const std::string& iccs);
    bool Ping(std::chrono::milliseconds timeout);
    Event ReadMove(std::string_view text, BestMove* best);
    bool ReadThinking(const std::vector<std::string_view>& words, SearchInfo* info);

    bool featuresDone_ = false;
    bool waitForDone_ = false;  // done=0 came
    bool sawVariants_ = false;
    bool setboard_ = false;
    bool usermove_ = false;
    bool ping_ = false;
    int pingNumber_ = 0;
    bool depthLimited_ = false;  // the last `sd` set a limit
    std::vector<std::string> variants_;
    // The game the engine holds: where it started and the moves played to it since.
    std::string engineFen_;
    std::vector<std::string> engineMoves_;
};

// One `feature option="..."` value read into `option` (types -check -spin -slider -combo -string
// -file -path -button -save -reset); false when it is none of them.
bool ParseXboardOption(std::string_view text, EngineOption* option);
// The key=value pairs of a `feature` line, the values without their quotes.
std::vector<std::pair<std::string, std::string>> ParseFeatures(std::string_view line);

}  // namespace xq::host
