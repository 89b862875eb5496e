// What the protocol clients share: the engine's process, the position it was given with the
// rules' check of its moves, and the one way an engine fails (a reason that names it, the process
// stopped, every later call refused).
#pragma once

#include <algorithm>
#include <charconv>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "host/engineclient.h"
#include "host/enginemoves.h"
#include "host/process.h"
#include "platform/words.h"

namespace xq::host {

class ClientBase : public EngineClient {
  public:
    ~ClientBase() override;
    void Quit() override;

    // How a handshake went: done, not this protocol (the process may try another), or failed.
    enum class Handshake { Done, OtherProtocol, Failed };

    // Hands the process over to the client of another protocol.
    std::unique_ptr<Process> ReleaseProcess() { return std::move(process_); }

  protected:
    ClientBase(std::unique_ptr<Process> process, const EngineSetup& setup);

    // Fails the engine (the first failure stays) with `pattern`'s words (%1 the engine's name, %2
    // `detail`) and stops its process.
    void Fail(Fault fault, std::string_view pattern, std::string detail = "");
    // Fails it because its process ended or stopped reading: the exit code or signal in words.
    void FailGone();
    bool Send(std::string_view line);

    enum class Got { Line, Timeout, Failed };
    // The engine's next line within `timeout`; Failed (with the engine failed) at the end of its
    // output or when it has written more than kMaxOutputPerSearch since the last Go.
    Got Next(std::string* line, std::chrono::milliseconds timeout);
    // Where the flood count starts again (at every Go).
    void ResetFloodCount();

    // The game for the engine; false (the engine not failed) when it is not a legal game or a
    // search is running.
    bool TakePosition(std::string_view startFen, const std::vector<std::string>& moves);
    // The engine's best move text checked: true with `best->move` set, or false with the engine
    // failed for an illegal or malformed move. A ponder move that is not legal is dropped.
    bool CheckBestMove(std::string_view text, std::string_view ponder, BestMove* best);
    // The option the engine declared under `name` (case ignored), or null.
    const EngineOption* FindOption(std::string_view name) const;
    // Applies the setup's option values the engine declared; false when the engine failed.
    bool ApplySetupOptions();

    std::unique_ptr<Process> process_;
    EngineMoves moves_;
    EngineSetup setup_;
    size_t floodStart_ = 0;
};

using Clock = std::chrono::steady_clock;

// The time left until `deadline`, never below zero.
inline std::chrono::milliseconds Left(Clock::time_point deadline) {
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
}

// A whole number that is all of `text` (a leading + allowed), as engines write them.
template <typename Number>
bool ReadNumber(std::string_view text, Number* value) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size();
}

// Lowercase ASCII, and the same compared.
std::string AsciiLower(std::string_view text);
bool SameWord(std::string_view a, std::string_view b);
// The rest of `line` after its first `count` words, without leading blanks.
std::string_view AfterWords(std::string_view line, size_t count);
// What an engine wrote, fit to stand in a sentence: control characters as ?, and cut after
// kShownTextBytes bytes (at a character's start) with "…".
inline constexpr size_t kShownTextBytes = 40;
std::string ShownEngineText(std::string_view text);

}  // namespace xq::host
