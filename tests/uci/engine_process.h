// lanchuan-engine run as a child process with pipes on its standard input and output, as a
// controlling program runs it.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xq::testing {

class EngineProcess {
  public:
    // Starts the engine in `workingDirectory` (nullptr: the test's own).
    explicit EngineProcess(const char* workingDirectory = nullptr);
    // Closes the engine's input and waits for it; kills it when it does not end.
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    void Send(std::string_view line) { SendBytes(std::string(line) + "\n"); }
    void SendBytes(std::string_view bytes);
    // Closes the engine's standard input.
    void CloseInput();

    // The next line within `timeout`; nothing on a timeout or at the end of the output.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Lines up to and including the first that starts with `prefix`; the last line does not
    // start with it when the time ran out first or the output ended.
    std::vector<std::string> ReadUntil(
        std::string_view prefix, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // The engine's exit code, or -1 when it has not ended within `timeout` or was killed.
    int WaitForExit(std::chrono::milliseconds timeout);

  private:
    int pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string buffer_;
};

// Whether some line in `lines` starts with `prefix`.
bool HasLineStarting(const std::vector<std::string>& lines, std::string_view prefix);

}  // namespace xq::testing
