// Commands of a controlling program (UCI and UCCI). The input is what arrives on the engine's
// standard input. The lines are cut as they were sent; every `position` the engine accepts
// starts from a position that passes the set-up checks and reaches the same position again from
// its start written as FEN; every `go` it accepts gives a time budget within the clock; and a
// whole session over the input (its `go` lines left out: they would search) leaves a
// consistent position in which the side not to move is not in check.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "uci/commandinput.h"
#include "uci/gorequest.h"
#include "uci/position.h"
#include "uci/session.h"

namespace xq::fuzz {
namespace {

using uci::CommandInput;
using Words = std::vector<std::string_view>;

// The input as a file descriptor of its own, read from its start.
int InputDescriptor(std::string_view bytes) {
    const int fd = ::memfd_create("uci-input", MFD_CLOEXEC);
    Require(fd >= 0, "memfd_create failed");
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        Require(wrote > 0, "the input could not be written");
        done += static_cast<size_t>(wrote);
    }
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

// The lines as sent: cut at each '\n', one '\r' at the end of each dropped, an unfinished last line
// kept.
std::vector<std::string> ExpectedLines(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        std::string line(bytes.substr(0, end));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    }
    return lines;
}

std::vector<std::string> TakeLines(std::string_view bytes) {
    const int fd = InputDescriptor(bytes);
    CommandInput input(fd);
    std::vector<std::string> lines;
    std::string line;
    bool overlong = false;
    while (input.Take(&line, &overlong)) {
        Require(!overlong, "a short line was taken as overlong");
        lines.push_back(line);
    }
    ::close(fd);
    return lines;
}

void CheckPosition(const Words& words) {
    uci::PositionRequest request;
    std::string error;
    if (!uci::ParsePositionRequest(words, &request, &error)) return;
    if (!uci::ApplyPosition(request, false, &error)) return;
    // 1. The game reached is sound.
    Require(PositionIsConsistent(), "an accepted position is not consistent");
    Require(!IsAttacked(sideToMove, KingSquare(otherSide)),
            "an accepted position leaves the side not to move in check");
    const std::string reached = WriteFen();
    if (request.fen.empty()) return;
    // 2. Its start passes the set-up checks, and written as FEN leads to the same position.
    Require(ReadFen(request.fen, &error), "an accepted start FEN is refused", request.fen);
    Require(SetUpError().empty(), "an accepted start fails the set-up checks", request.fen);
    request.fen = WriteFen();
    Require(uci::ApplyPosition(request, false, &error), "a written start FEN is refused",
            request.fen + ": " + error);
    Require(WriteFen() == reached, "a written start FEN leads elsewhere", request.fen);
}

void CheckGo(const Words& words) {
    for (int variant = 0; variant < 8; ++variant) {
        // Both protocols, both movers, UCCI's times in seconds and in milliseconds.
        const uci::Protocol protocol = variant & 1 ? uci::Protocol::Ucci : uci::Protocol::Uci;
        const Side mover = variant & 2 ? Black : Red;
        const bool milliseconds = (variant & 4) != 0;
        uci::GoRequest request;
        std::string error;
        if (!uci::ParseGoRequest(protocol, milliseconds, words, mover, &request, &error)) continue;
        Require(request.depth >= 0 && request.depth <= 45, "go reads a depth out of range");
        const uci::TimeBudget budget = uci::ComputeTimeBudget(request, mover);
        if (!budget.limited) continue;
        Require(!request.infinite, "an infinite search has a time limit");
        Require(budget.soft >= 1 && budget.soft <= budget.hard, "soft and hard limits cross");
        const int64_t clock = request.moveTime >= 0 ? request.moveTime : request.time[mover];
        Require(budget.hard <= std::max<int64_t>(1, clock), "the budget exceeds the clock");
    }
}

// The session over the input without its `go` lines, answering into /dev/null.
void RunSession(const std::vector<std::string>& lines) {
    std::string kept;
    for (const std::string& line : lines) {
        const Words words = SplitWords(line);
        if (!words.empty() && words[0] == "go") continue;
        kept += line + "\n";
    }
    const int fd = InputDescriptor(kept);
    CommandInput input(fd);
    uci::Session session(input);
    session.Run();
    ::close(fd);
    Require(PositionIsConsistent(), "the session left an inconsistent position");
    Require(!IsAttacked(sideToMove, KingSquare(otherSide)),
            "the session left the side not to move in check");
}

}  // namespace
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    xq::fuzz::InitCore();
    // The engine's answers go to standard output; the fuzzer reports on standard error.
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) ::dup2(null, STDOUT_FILENO);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace xq;
    using namespace xq::fuzz;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = TakeLines(bytes);
    Require(lines == ExpectedLines(bytes), "the input's lines were cut otherwise");
    NewGame();
    for (const std::string& line : lines) {
        const Words words = SplitWords(line);
        if (words.empty()) continue;
        const Words rest(words.begin() + 1, words.end());
        if (words[0] == "position") CheckPosition(rest);
        if (words[0] == "go") CheckGo(rest);
    }
    NewGame();
    RunSession(lines);
    return 0;
}
