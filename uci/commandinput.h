// Lines of text from the controlling program, read from a file descriptor without a second
// thread: TryTake only takes what has already arrived, so the search can look in between moves.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace xq::uci {

// Lines longer than this are cut here; the rest of the line is thrown away unread.
inline constexpr size_t kMaxLineLength = 1 << 20;

class CommandInput {
  public:
    explicit CommandInput(int fd) : fd_(fd) {}

    // The next complete line if one has arrived, without waiting. A line cut at kMaxLineLength
    // comes with *overlong set.
    bool TryTake(std::string* line, bool* overlong);
    // Waits for the next line; false once the input has ended and every line is taken. A last
    // line without its newline is still handed out.
    bool Take(std::string* line, bool* overlong);

  private:
    struct Line {
        std::string text;
        bool overlong;
    };
    // Reads what the descriptor holds, waiting up to timeoutMs (-1: until something arrives).
    void Fill(int timeoutMs);
    void Split(const char* bytes, size_t count);
    bool Pop(std::string* line, bool* overlong);

    int fd_;
    std::string partial_;
    bool partialOverlong_ = false;
    bool ended_ = false;
    std::deque<Line> lines_;
};

}  // namespace xq::uci
