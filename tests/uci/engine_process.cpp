#include "engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace xq::testing {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

EngineProcess::EngineProcess(const char* workingDirectory) {
    int toEngine[2];
    int fromEngine[2];
    if (pipe(toEngine) != 0 || pipe(fromEngine) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
        dup2(toEngine[0], STDIN_FILENO);
        dup2(fromEngine[1], STDOUT_FILENO);
        for (int fd : {toEngine[0], toEngine[1], fromEngine[0], fromEngine[1]})
            close(fd);
        if (workingDirectory && chdir(workingDirectory) != 0) _exit(126);
        execl(LANCHUAN_ENGINE, LANCHUAN_ENGINE, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(toEngine[0]);
    close(fromEngine[1]);
    input_ = toEngine[1];
    output_ = fromEngine[0];
    signal(SIGPIPE, SIG_IGN);
}

EngineProcess::~EngineProcess() {
    CloseInput();
    if (WaitForExit(std::chrono::seconds(5)) == -1 && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) close(output_);
}

void EngineProcess::SendBytes(std::string_view bytes) {
    size_t sent = 0;
    while (sent < bytes.size() && input_ >= 0) {
        const ssize_t n = write(input_, bytes.data() + sent, bytes.size() - sent);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

void EngineProcess::CloseInput() {
    if (input_ >= 0) close(input_);
    input_ = -1;
}

std::optional<std::string> EngineProcess::ReadLine(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        const size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return line;
        }
        pollfd watched{output_, POLLIN, 0};
        const int ready = poll(&watched, 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        char bytes[4096];
        const ssize_t n = read(output_, bytes, sizeof bytes);
        if (n <= 0) return std::nullopt;
        buffer_.append(bytes, static_cast<size_t>(n));
    }
}

std::vector<std::string> EngineProcess::ReadUntil(std::string_view prefix,
                                                  std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    std::vector<std::string> lines;
    while (std::optional<std::string> line =
               ReadLine(std::chrono::milliseconds(MillisecondsLeft(deadline)))) {
        lines.push_back(*line);
        if (line->starts_with(prefix)) break;
    }
    return lines;
}

int EngineProcess::WaitForExit(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) return -1;
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (Clock::now() >= deadline) return -1;
        usleep(2000);
    }
}

bool HasLineStarting(const std::vector<std::string>& lines, std::string_view prefix) {
    for (const std::string& line : lines) {
        if (line.starts_with(prefix)) return true;
    }
    return false;
}

}  // namespace xq::testing
