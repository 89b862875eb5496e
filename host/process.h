// A program of someone else's run as a child process, spoken to by lines on its standard input and
// output. The child runs in a process group of its own and is told to die with us (so no engine
// outlives the program, even when we are killed), its output is read without blocking, a line
// longer than kMaxLineBytes or a flood of output is cut off instead of filling our memory, and
// Stop() always reaps it: no zombie, no orphan.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace xq::host {

// What to run: the executable (a path, or a name looked up in PATH and then in `folder`; a relative
// path is taken from `folder` when one is given; "~/" is the home folder), its arguments, and the
// folder it runs in (empty: the executable's own folder, as engines look for their files there).
struct ProcessCommand {
    std::string program;
    std::vector<std::string> arguments;
    std::string folder;
};

class Process {
  public:
    // A line is cut at this length (the rest of it up to the newline is dropped).
    static constexpr size_t kMaxLineBytes = 64 * 1024;

    Process() = default;
    ~Process();  // Stop(kQuickStop)
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts the command; false with a reason in words ("找不到程序 …", "无法运行 …: Permission
    // denied") when it cannot run. An executable that exists but fails in exec is reported here
    // too. The child is killed when the thread that started it ends (Linux ties the parent-death
    // signal to the thread), so start engines from a thread that outlives them.
    bool Start(const ProcessCommand& command, std::string* error);
    // True while the child has not been seen to end.
    bool Running();

    // Writes `line` and a newline. False when the child can no longer read (it ended or closed
    // its input); never raises SIGPIPE.
    bool Send(std::string_view line);

    enum class Read { Line, Timeout, Ended };
    // The next whole line (without "\r\n" or "\n") within `timeout`: Line; Timeout when none came;
    // Ended when the child's output has ended and every line before the end was read.
    Read ReadLine(std::string* line, std::chrono::milliseconds timeout);
    // Bytes read from the child in all (for flood limits above this class).
    size_t BytesRead() const { return bytesRead_; }
    // The descriptor of the child's output, for callers that wait on several children at once.
    int OutputDescriptor() const { return output_; }

    // Ends the child: closes its input, waits up to `grace` for it to exit, then SIGTERM, a
    // further short wait, then SIGKILL to its whole process group, and reaps it. Safe to call
    // more than once.
    static constexpr std::chrono::milliseconds kQuickStop{200};
    void Stop(std::chrono::milliseconds grace = kQuickStop);
    // The child's exit code after it ended by itself; -signal when a signal ended it; -1 while
    // it runs or when it was never started.
    int ExitStatus() const { return exitStatus_; }
    int Pid() const { return pid_; }

  private:
    bool Reap(bool block);

    int pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    int exitStatus_ = -1;
    bool outputEnded_ = false;
    bool cutting_ = false;  // dropping the rest of an over-long line
    size_t bytesRead_ = 0;
    std::string buffer_;
};

}  // namespace xq::host
