#include "uci/commandinput.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace xq::uci {

bool CommandInput::Pop(std::string* line, bool* overlong) {
    if (lines_.empty()) return false;
    *line = std::move(lines_.front().text);
    *overlong = lines_.front().overlong;
    lines_.pop_front();
    return true;
}

void CommandInput::Split(const char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const char ch = bytes[i];
        if (ch == '\n') {
            if (!partial_.empty() && partial_.back() == '\r') partial_.pop_back();
            lines_.push_back({std::move(partial_), partialOverlong_});
            partial_.clear();
            partialOverlong_ = false;
        } else if (partial_.size() < kMaxLineLength) {
            partial_ += ch;
        } else {
            partialOverlong_ = true;
        }
    }
}

void CommandInput::Fill(int timeoutMs) {
    if (ended_) return;
    pollfd watched{fd_, POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&watched, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready == 0) return;
    char bytes[4096];
    ssize_t count = 0;
    do {
        count = read(fd_, bytes, sizeof bytes);
    } while (count < 0 && errno == EINTR);
    if (count > 0) {
        Split(bytes, static_cast<size_t>(count));
        return;
    }
    // The end of the input (or an error that will not go away): a last unfinished line counts.
    ended_ = true;
    if (!partial_.empty() || partialOverlong_) Split("\n", 1);
}

bool CommandInput::TryTake(std::string* line, bool* overlong) {
    if (lines_.empty()) Fill(0);
    return Pop(line, overlong);
}

bool CommandInput::Take(std::string* line, bool* overlong) {
    while (lines_.empty() && !ended_)
        Fill(-1);
    return Pop(line, overlong);
}

}  // namespace xq::uci
