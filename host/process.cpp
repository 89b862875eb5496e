#include "host/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include "platform/check.h"
#include "platform/texts.h"

namespace xq::host {

namespace {

using Clock = std::chrono::steady_clock;

// How long Send waits for an engine that does not read its input before it counts as gone.
constexpr std::chrono::milliseconds kSendTimeout{5000};
// How long Stop waits after SIGTERM before it kills the group.
constexpr std::chrono::milliseconds kTermWait{300};
constexpr size_t kReadChunk = 64 * 1024;

// What the child writes to the status pipe when it cannot run the program.
enum ChildStage : int { kStageFolder = 1, kStageExec = 2 };
struct ChildFailure {
    int stage;
    int error;
};

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(std::min<int64_t>(left, 1 << 30)) : 0;
}

// A write to a pipe whose reader has gone must come back as EPIPE rather than end the program.
// Ignoring the signal once for the whole process is what every program hosting children does;
// children get the default back before exec.
void IgnoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        if (sigaction(SIGPIPE, nullptr, &action) == 0 && action.sa_handler == SIG_DFL) {
            action.sa_handler = SIG_IGN;
            sigaction(SIGPIPE, &action, nullptr);
        }
    });
}

bool IsExecutableFile(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// "~/x" as the shell reads it: below the home folder.
std::string ExpandHome(const std::string& path) {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0' || path.rfind("~/", 0) != 0) return path;
    return std::string(home) + path.substr(1);
}

// The program as an absolute path. A name without a slash is looked up in PATH as the shell does,
// then in the folder given (where engines unpacked from an archive live); a relative path is
// taken from the folder given, else from our own working folder. Empty when there is no such file.
std::filesystem::path ResolveProgram(const std::string& program, const std::string& folder) {
    namespace fs = std::filesystem;
    if (program.empty()) return {};
    std::error_code error;
    const fs::path base = folder.empty() ? fs::current_path(error) : fs::path(folder);
    if (program.find('/') != std::string::npos) {
        const fs::path path = fs::absolute(base / program, error);
        return !error && fs::exists(path, error) ? path : fs::path();
    }
    const char* variable = std::getenv("PATH");
    const std::string_view searchPath = variable ? variable : "/usr/local/bin:/usr/bin:/bin";
    fs::path found;
    size_t start = 0;
    while (start <= searchPath.size()) {
        size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos) end = searchPath.size();
        const std::string entry(searchPath.substr(start, end - start));
        const fs::path candidate = fs::path(entry.empty() ? "." : entry) / program;
        if (IsExecutableFile(candidate)) return fs::absolute(candidate);
        // A file that is there but not executable still tells "permission denied" rather than
        // "not found", as the shell says.
        if (found.empty() && fs::is_regular_file(candidate, error)) found = fs::absolute(candidate);
        start = end + 1;
    }
    if (found.empty() && !folder.empty() && fs::is_regular_file(base / program, error))
        found = fs::absolute(base / program, error);
    return found;
}

void CloseDescriptor(int& descriptor) {
    if (descriptor >= 0) ::close(descriptor);
    descriptor = -1;
}

// In the child between fork and exec: only async-signal-safe calls. Reports a failure through
// `status` (closed on a successful exec by O_CLOEXEC) and ends.
[[noreturn]] void RunChild(int input, int output, int status, pid_t parent, const char* folder,
                           const char* program, char* const* arguments) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // the parent died before the line above
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &action, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (::dup2(input, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0 ||
        (quiet >= 0 && ::dup2(quiet, STDERR_FILENO) < 0))
        ::_exit(127);
    ChildFailure failure{kStageFolder, 0};
    if (folder[0] != '\0' && ::chdir(folder) != 0) {
        failure.error = errno;
    } else {
        ::execv(program, arguments);
        failure = {kStageExec, errno};
    }
    [[maybe_unused]] const ssize_t written = ::write(status, &failure, sizeof failure);
    ::_exit(127);
}

}  // namespace

Process::~Process() {
    Stop(kQuickStop);
}

bool Process::Start(const ProcessCommand& command, std::string* error) {
    XQ_ASSERT(pid_ < 0);
    IgnoreBrokenPipes();
    CloseDescriptor(input_);
    CloseDescriptor(output_);
    const std::string given = ExpandHome(command.folder);
    const std::filesystem::path program = ResolveProgram(ExpandHome(command.program), given);
    if (program.empty()) {
        *error = FormatText(kProgramNotFoundPattern, {command.program});
        return false;
    }
    const std::string folder = given.empty() ? program.parent_path().string() : given;
    // Everything the child needs is made before fork: after it only async-signal-safe calls.
    const std::string programText = program.string();
    std::vector<std::string> words;
    words.push_back(programText);
    words.insert(words.end(), command.arguments.begin(), command.arguments.end());
    std::vector<char*> arguments;
    for (std::string& word : words)
        arguments.push_back(word.data());
    arguments.push_back(nullptr);

    int toChild[2];
    int fromChild[2];
    int status[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0) {
        *error = FormatText(kCannotRunPattern, {programText, std::strerror(errno)});
        return false;
    }
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        *error = FormatText(kCannotRunPattern, {programText, std::strerror(errno)});
        ::close(toChild[0]);
        ::close(toChild[1]);
        return false;
    }
    if (::pipe2(status, O_CLOEXEC) != 0) {
        *error = FormatText(kCannotRunPattern, {programText, std::strerror(errno)});
        for (int descriptor : {toChild[0], toChild[1], fromChild[0], fromChild[1]})
            ::close(descriptor);
        return false;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
        RunChild(toChild[0], fromChild[1], status[1], parent, folder.c_str(), programText.c_str(),
                 arguments.data());
    const int forkError = errno;
    for (int descriptor : {toChild[0], fromChild[1], status[1]})
        ::close(descriptor);
    if (pid < 0) {
        for (int descriptor : {toChild[1], fromChild[0], status[0]})
            ::close(descriptor);
        *error = FormatText(kCannotRunPattern, {programText, std::strerror(forkError)});
        return false;
    }
    // Also here, so that a kill of the group right after Start finds it.
    ::setpgid(pid, pid);
    pid_ = pid;
    input_ = toChild[1];
    output_ = fromChild[0];
    ::fcntl(input_, F_SETFL, ::fcntl(input_, F_GETFL) | O_NONBLOCK);
    ::fcntl(output_, F_SETFL, ::fcntl(output_, F_GETFL) | O_NONBLOCK);
    buffer_.clear();
    bytesRead_ = 0;
    outputEnded_ = false;
    cutting_ = false;
    exitStatus_ = -1;

    // The status pipe ends empty at a successful exec, or brings the child's errno.
    ChildFailure failure{};
    ssize_t got;
    do {
        got = ::read(status[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    ::close(status[0]);
    if (got == static_cast<ssize_t>(sizeof failure)) {
        const std::string reason = std::strerror(failure.error);
        *error = failure.stage == kStageFolder
                     ? FormatText(kNoFolderPattern, {folder, reason})
                     : FormatText(kCannotRunPattern, {programText, reason});
        Stop(std::chrono::milliseconds(0));
        exitStatus_ = -1;
        return false;
    }
    return true;
}

bool Process::Reap(bool block) {
    if (pid_ < 0) return true;
    // Step 1. Seen to end, but not yet reaped: its group cannot be taken by another process yet,
    // so whatever the shell of a wrapper left behind in it is killed first.
    siginfo_t info{};
    int waited;
    do {
        waited = ::waitid(P_PID, static_cast<id_t>(pid_), &info,
                          WEXITED | WNOWAIT | (block ? 0 : WNOHANG));
    } while (waited < 0 && errno == EINTR);
    if (waited == 0 && info.si_pid == 0) return false;  // still running
    ::kill(-pid_, SIGKILL);
    // Step 2. Reaped: no zombie.
    int status = 0;
    pid_t done;
    do {
        done = ::waitpid(pid_, &status, 0);
    } while (done < 0 && errno == EINTR);
    if (done == pid_) {
        exitStatus_ = WIFEXITED(status)     ? WEXITSTATUS(status)
                      : WIFSIGNALED(status) ? -WTERMSIG(status)
                                            : -1;
    }
    pid_ = -1;
    return true;
}

bool Process::Running() {
    return pid_ >= 0 && !Reap(false);
}

bool Process::Send(std::string_view line) {
    if (input_ < 0) return false;
    std::string bytes(line);
    bytes += '\n';
    const auto deadline = Clock::now() + kSendTimeout;
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(input_, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd waiting{input_, POLLOUT, 0};
            const int left = MillisecondsLeft(deadline);
            if (left > 0 && (::poll(&waiting, 1, left) >= 0 || errno == EINTR)) continue;
        }
        // EPIPE (the child closed its input or ended) or a child that never reads.
        CloseDescriptor(input_);
        return false;
    }
    return true;
}

Process::Read Process::ReadLine(std::string* line, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        // Step 1. A whole line in the buffer, or an over-long start of one.
        const size_t newline = buffer_.find('\n');
        if (newline != std::string::npos || buffer_.size() >= kMaxLineBytes) {
            const size_t length = std::min(newline, kMaxLineBytes);
            line->assign(buffer_, 0, length);
            if (!line->empty() && line->back() == '\r') line->pop_back();
            if (newline != std::string::npos && newline <= kMaxLineBytes) {
                buffer_.erase(0, newline + 1);
            } else {
                buffer_.erase(0, newline == std::string::npos ? buffer_.size() : newline + 1);
                cutting_ = newline == std::string::npos;
            }
            return Read::Line;
        }
        // Step 2. The end of the output: a last line without a newline still counts.
        if (outputEnded_ || output_ < 0) {
            if (buffer_.empty()) return Read::Ended;
            line->swap(buffer_);
            buffer_.clear();
            return Read::Line;
        }
        // Step 3. Wait for more.
        pollfd waiting{output_, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) return Read::Timeout;
        char chunk[kReadChunk];
        const ssize_t n = ::read(output_, chunk, sizeof chunk);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) {
            outputEnded_ = true;
            continue;
        }
        bytesRead_ += static_cast<size_t>(n);
        std::string_view bytes(chunk, static_cast<size_t>(n));
        if (cutting_) {
            // The rest of an over-long line is dropped up to its newline.
            const size_t end = bytes.find('\n');
            if (end == std::string_view::npos) continue;
            cutting_ = false;
            bytes.remove_prefix(end + 1);
        }
        buffer_.append(bytes);
    }
}

void Process::Stop(std::chrono::milliseconds grace) {
    CloseDescriptor(input_);
    if (pid_ >= 0) {
        // Step 1. The child's own way out: its input ended.
        const auto graceEnd = Clock::now() + grace;
        while (!Reap(false) && Clock::now() < graceEnd)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        // Step 2. Asked to end, then killed with everything it started.
        if (pid_ >= 0) {
            ::kill(-pid_, SIGTERM);
            const auto termEnd = Clock::now() + kTermWait;
            while (!Reap(false) && Clock::now() < termEnd)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (pid_ >= 0) {
            ::kill(-pid_, SIGKILL);
            Reap(true);
        }
    }
    CloseDescriptor(output_);
    buffer_.clear();
    outputEnded_ = true;
}

}  // namespace xq::host
