// The client of an engine speaking UCI, or its Xiangqi dialect UCCI (ucci/ucciok, options and
// setoption without the words name and value, go with seconds unless the engine takes
// usemillisec, nobestmove).
#pragma once

#include <chrono>
#include <memory>
#include <string_view>

#include "host/clientbase.h"

namespace xq::host {

class UciClient : public ClientBase {
  public:
    // `protocol` is Protocol::Uci or Protocol::Ucci.
    UciClient(std::unique_ptr<Process> process, const EngineSetup& setup, Protocol protocol);

    // Sends uci (ucci) and reads the engine's name and options up to uciok (ucciok).
    // OtherProtocol when within `probe` nothing of this protocol came or (while `probe` is shorter
    // than `whole`, finding the protocol out) the engine called the command unknown; once it
    // answers, it has up to `whole` in all.
    Handshake Shake(std::chrono::milliseconds probe, std::chrono::milliseconds whole);
    // After the handshake: the variant, the setup's options, isready/readyok.
    bool Prepare(std::chrono::milliseconds readyTime);

    bool SetOption(std::string_view name, std::string_view value) override;
    bool NewGame() override;
    bool SetPosition(std::string_view startFen, const std::vector<std::string>& moves) override;
    bool Go(const GoLimits& limits, int multiPv) override;
    bool Stop() override;
    bool PonderHit() override;
    Event Poll(std::chrono::milliseconds timeout, SearchInfo* info, BestMove* best) override;

  private:
    std::string GoCommand(const GoLimits& limits) const;
    // A FEN in the letters the engine reads.
    std::string FenText(std::string_view fen) const;
    // The time in the protocol's unit: UCI and usemillisec milliseconds, else whole seconds.
    int64_t TimeText(int64_t milliseconds) const;
    bool ReadInfo(std::string_view line, SearchInfo* info);
    Event ReadBestMove(const std::vector<std::string_view>& words, BestMove* best);

    bool ucci_;
    bool milliseconds_ = false;
    int multiPv_ = 1;
};

// One `option` line of UCI (`option name N type T ...`) or UCCI (`option N type T ...`) read into
// `option`; false when it declares nothing readable.
bool ParseOptionLine(std::string_view line, EngineOption* option);
// One `info` line of UCI or UCCI with its moves left as the engine wrote them in `pv`.
bool ParseInfoLine(std::string_view line, SearchInfo* info, std::vector<std::string_view>* pv);

}  // namespace xq::host
