#include "uci/gorequest.h"

#include <algorithm>
#include <charconv>

namespace xq::uci {

namespace {

// Time the program and the pipe between the engines need around a move.
constexpr int64_t kMoveOverheadMs = 15;
// A fixed move time also leaves a twentieth of itself, up to 100 ms: a GUI's fixed time per move
// is measured on its side of an adapter (XBoard's through uci2wb), whose latency grows with the
// machine's load; at one second a move the last 15 ms were not enough.
constexpr int64_t kMoveTimeShare = 20;
constexpr int64_t kMoveTimeMarginMs = 100;
constexpr int kDefaultMovesToGo = 30;
constexpr int kMaxDepth = 45;
// Longer than any game (about 30,000 years); larger clocks and increments are read as this, which
// keeps the budget's arithmetic far from overflowing.
constexpr int64_t kLongestTimeMs = 1'000'000'000'000'000;

bool ReadNumber(std::string_view text, int64_t* value) {
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, *value);
    return failure == std::errc() && stop == end;
}

// The words of `go` that take a number.
bool KnownWord(Protocol protocol, std::string_view word) {
    static constexpr std::string_view kUci[] = {"depth", "movetime", "wtime",    "btime",
                                                "winc",  "binc",     "movestogo"};
    static constexpr std::string_view kUcci[] = {
        "depth", "time", "opptime", "increment", "oppincrement", "movestogo", "oppmovestogo"};
    if (protocol == Protocol::Uci)
        return std::find(std::begin(kUci), std::end(kUci), word) != std::end(kUci);
    return std::find(std::begin(kUcci), std::end(kUcci), word) != std::end(kUcci);
}

}  // namespace

bool ParseGoRequest(Protocol protocol, bool ucciMilliseconds,
                    const std::vector<std::string_view>& words, Side mover, GoRequest* request,
                    std::string* error) {
    *request = GoRequest{};
    const Side opponent = Opponent(mover);
    const bool uci = protocol == Protocol::Uci;
    const int64_t timeUnitMs = uci || ucciMilliseconds ? 1 : 1000;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == "infinite") {
            request->infinite = true;
            continue;
        }
        if (word == "ponder") {
            request->ponder = true;
            continue;
        }
        if (word == "draw") continue;  // UCCI: the opponent offers a draw; the engine plays on
        if (word == "searchmoves") {
            for (++i; i < words.size(); ++i)
                request->searchMoves.emplace_back(words[i]);
            break;
        }
        if (word == "depth" && i + 1 < words.size() && words[i + 1] == "infinite") {
            request->infinite = true;  // UCCI: until `stop`
            ++i;
            continue;
        }
        int64_t value = 0;
        const bool numbered = i + 1 < words.size() && ReadNumber(words[i + 1], &value);
        if (!KnownWord(protocol, word)) {
            request->ignored.emplace_back(word);
            if (numbered) request->ignored.back() += " " + std::string(words[++i]);
            continue;
        }
        if (!numbered || value < 0) {
            *error = "go " + std::string(word) + " needs a number of 0 or more";
            return false;
        }
        ++i;
        const bool clock =
            word == "time" || word == "opptime" || word == "increment" || word == "oppincrement";
        value = clock ? std::min(value, kLongestTimeMs / timeUnitMs) * timeUnitMs
                      : std::min(value, kLongestTimeMs);
        if (word == "depth") {
            request->depth = static_cast<int>(std::clamp<int64_t>(value, 1, kMaxDepth));
        } else if (word == "movetime" && uci) {
            request->moveTime = value;
        } else if ((word == "wtime" && uci) || (word == "time" && !uci)) {
            request->time[uci ? Red : mover] = value;
        } else if ((word == "btime" && uci) || (word == "opptime" && !uci)) {
            request->time[uci ? Black : opponent] = value;
        } else if ((word == "winc" && uci) || (word == "increment" && !uci)) {
            request->increment[uci ? Red : mover] = value;
        } else if ((word == "binc" && uci) || (word == "oppincrement" && !uci)) {
            request->increment[uci ? Black : opponent] = value;
        } else if (word == "movestogo") {
            request->movesToGo = static_cast<int>(std::min<int64_t>(value, 1000));
        }
        // UCCI's oppmovestogo: the opponent's moves to go tell nothing about this engine's move.
    }
    // Without a depth, a move time or the mover's clock nothing ends the search but `stop`.
    if (request->depth == 0 && request->moveTime < 0 && request->time[mover] < 0)
        request->infinite = true;
    return true;
}

TimeBudget ComputeTimeBudget(const GoRequest& request, Side mover) {
    TimeBudget budget;
    if (request.infinite) return budget;
    if (request.moveTime >= 0) {
        budget.limited = true;
        const int64_t margin =
            kMoveOverheadMs + std::min(request.moveTime / kMoveTimeShare, kMoveTimeMarginMs);
        budget.hard = std::max<int64_t>(1, request.moveTime - margin);
        budget.soft = budget.hard;
        return budget;
    }
    const int64_t left = request.time[mover];
    if (left < 0) return budget;
    const int movesToGo = std::clamp(request.movesToGo, 1, kDefaultMovesToGo);
    const int64_t usable = std::max<int64_t>(0, left - kMoveOverheadMs);
    const int64_t share = usable / (request.movesToGo > 0 ? movesToGo : kDefaultMovesToGo) +
                          request.increment[mover] * 3 / 4;
    budget.limited = true;
    // A fifth of the clock at most: with an increment large against the clock the share would
    // spend it down to where one stall on the GUI's side of an adapter flags the engine.
    budget.hard = std::max<int64_t>(1, std::min(2 * share, usable / 5));
    budget.soft = std::max<int64_t>(1, std::min(share / 2, budget.hard));
    return budget;
}

}  // namespace xq::uci
