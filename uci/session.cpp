#include "uci/session.h"

#include <algorithm>
#include <charconv>

#include "platform/random.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "uci/output.h"

namespace xq::uci {

namespace {

constexpr std::string_view kEngineName = "Lanchuan 0.1";
constexpr std::string_view kEngineAuthor = "the Lanchuan Xiangqi developers";

// The ranges of the 大师 engine's options.
constexpr int64_t kDefaultHashMegabytes = 16;
constexpr int64_t kMaxHashMegabytes = 4096;
constexpr int64_t kMaxThreads = 64;
constexpr int64_t kMaxMultiPV = 64;

std::string Lowercase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char ch) { return ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch; });
    return lower;
}

std::string Join(std::vector<std::string_view>::const_iterator from,
                 std::vector<std::string_view>::const_iterator to) {
    std::string text;
    for (auto it = from; it != to; ++it) {
        if (!text.empty()) text += ' ';
        text += *it;
    }
    return text;
}

// A switch's value, lower-cased: true, on or 1, false, off or 0 (uci2wb sends UCCI's ponder switch
// as 1 and 0).
bool ReadSwitch(const std::string& value, bool* on) {
    if (value == "true" || value == "on" || value == "1") {
        *on = true;
    } else if (value == "false" || value == "off" || value == "0") {
        *on = false;
    } else {
        return false;
    }
    return true;
}

// A whole number within min..max; false for anything else.
bool ReadNumber(const std::string& value, int64_t min, int64_t max, int64_t* number) {
    const char* end = value.data() + value.size();
    const auto [stop, failure] = std::from_chars(value.data(), end, *number);
    return failure == std::errc() && stop == end && *number >= min && *number <= max;
}

std::string Range(int64_t min, int64_t max) {
    return std::to_string(min) + ".." + std::to_string(max);
}

void SeedGenerator(uint64_t seed) {
    if (seed == 0) {
        RandomSeed();
    } else {
        SeedRandom(seed);
    }
}

}  // namespace

Session::Session(CommandInput& input)
    : input_(input), engine_(static_cast<size_t>(kDefaultHashMegabytes), 1) {
    SeedGenerator(seed_);
}

void Session::Run() {
    for (;;) {
        std::string line;
        bool overlong = false;
        if (!deferred_.empty()) {
            line = std::move(deferred_.front().first);
            overlong = deferred_.front().second;
            deferred_.pop_front();
        } else if (!input_.Take(&line, &overlong)) {
            return;
        }
        if (!Handle(line, overlong)) return;
    }
}

void Session::Refuse(std::string_view reason) {
    SendLine("info string " + Printable(reason, 200));
}

bool Session::Handle(const std::string& line, bool overlong) {
    if (overlong) {
        Refuse("a line longer than " + std::to_string(kMaxLineLength) + " bytes is ignored");
        return true;
    }
    const Words words = SplitWords(line);
    if (words.empty()) return true;
    const std::string_view command = words[0];
    const Words rest(words.begin() + 1, words.end());
    if (command == "uci") {
        Identify(Protocol::Uci);
    } else if (command == "ucci") {
        Identify(Protocol::Ucci);
    } else if (command == "isready") {
        SendLine("readyok");
    } else if (command == "ucinewgame") {
        NewGame();
    } else if (command == "setoption") {
        SetOption(rest);
    } else if (command == "position") {
        SetPosition(rest);
    } else if (command == "banmoves") {
        BanMoves(rest);
    } else if (command == "go") {
        Go(rest);
        // A quit that came during the search ends the session now, whatever else is waiting.
        if (quitRequested_) return Handle("quit", false);
    } else if (command == "quit") {
        if (protocol_ == Protocol::Ucci) SendLine("bye");
        return false;
    } else if (command == "stop" || command == "ponderhit" || command == "debug") {
        // Nothing is being searched; debug output does not exist.
    } else {
        Refuse("unknown command '" + Printable(command) + "'");
    }
    return true;
}

void Session::Identify(Protocol protocol) {
    protocol_ = protocol;
    SendLine("id name " + std::string(kEngineName));
    SendLine("id author " + std::string(kEngineAuthor));
    const std::string hash = std::to_string(kDefaultHashMegabytes);
    if (protocol == Protocol::Uci) {
        SendLine("option name Engine type combo default Master var Master var Classic");
        SendLine("option name Hash type spin default " + hash + " min 1 max " +
                 std::to_string(kMaxHashMegabytes));
        SendLine("option name Threads type spin default 1 min 1 max " +
                 std::to_string(kMaxThreads));
        SendLine("option name MultiPV type spin default 1 min 1 max " +
                 std::to_string(kMaxMultiPV));
        SendLine("option name OwnBook type check default true");
        SendLine("option name Seed type spin default 0 min 0 max 2147483647");
        SendLine("option name Ponder type check default false");
        SendLine("option name UCI_Variant type combo default xiangqi var xiangqi");
        SendLine("uciok");
    } else {
        SendLine("option engine type combo var master var classic default master");
        SendLine("option hashsize type spin min 1 max " + std::to_string(kMaxHashMegabytes) +
                 " default " + hash);
        SendLine("option threads type spin min 1 max " + std::to_string(kMaxThreads) +
                 " default 1");
        SendLine("option multipv type spin min 1 max " + std::to_string(kMaxMultiPV) +
                 " default 1");
        SendLine("option usebook type check default true");
        SendLine("option seed type spin min 0 max 2147483647 default 0");
        SendLine("option ponder type check default false");
        SendLine("option usemillisec type check default false");
        SendLine("option newgame type button");
        SendLine("ucciok");
    }
}

// The next game's library moves come as they did after start-up when a seed was given; the 大师
// engine forgets the last game's tables.
void Session::NewGame() {
    if (seed_ != 0) SeedRandom(seed_);
    engine_.NewGame();
}

// UCI: setoption name NAME [value VALUE]. UCCI: setoption NAME [VALUE].
void Session::SetOption(const Words& words) {
    std::string name;
    std::string value;
    if (!words.empty() && words[0] == "name") {
        const auto valueWord = std::find(words.begin() + 1, words.end(), "value");
        name = Join(words.begin() + 1, valueWord);
        if (valueWord != words.end()) value = Join(valueWord + 1, words.end());
    } else if (!words.empty()) {
        name = words[0];
        value = Join(words.begin() + 1, words.end());
    }
    const std::string key = Lowercase(name);
    const std::string setting = Lowercase(value);
    if (key == "ownbook" || key == "usebook") {
        if (!ReadSwitch(setting, &ownBook_))
            Refuse("option " + Printable(name) + " takes true or false, not '" + Printable(value) +
                   "'");
    } else if (key == "ponder") {
        bool on = false;
        if (!ReadSwitch(setting, &on)) Refuse("option Ponder takes true or false");
    } else if (key == "seed") {
        uint64_t seed = 0;
        const char* end = value.data() + value.size();
        const auto [stop, failure] = std::from_chars(value.data(), end, seed);
        if (failure != std::errc() || stop != end || seed > 2147483647) {
            Refuse("option Seed takes a number 0..2147483647, not '" + Printable(value) + "'");
            return;
        }
        seed_ = seed;
        SeedGenerator(seed_);
        engine_.SetSeed(seed_);
    } else if (key == "engine") {
        if (setting == "master" || value == "大师") {
            useMaster_ = true;
        } else if (setting == "classic" || value == "标准") {
            useMaster_ = false;
        } else {
            Refuse("option Engine takes Master or Classic, not '" + Printable(value) + "'");
        }
    } else if (key == "hash" || key == "hashsize") {
        int64_t megabytes = 0;
        if (!ReadNumber(value, 1, kMaxHashMegabytes, &megabytes)) {
            Refuse("option " + Printable(name) + " takes megabytes " + Range(1, kMaxHashMegabytes) +
                   ", not '" + Printable(value) + "'");
            return;
        }
        engine_.SetHashSize(static_cast<size_t>(megabytes));
    } else if (key == "threads") {
        int64_t threads = 0;
        if (!ReadNumber(value, 1, kMaxThreads, &threads)) {
            Refuse("option Threads takes a number " + Range(1, kMaxThreads) + ", not '" +
                   Printable(value) + "'");
            return;
        }
        engine_.SetThreads(static_cast<int>(threads));
    } else if (key == "multipv") {
        int64_t lines = 0;
        if (!ReadNumber(value, 1, kMaxMultiPV, &lines)) {
            Refuse("option MultiPV takes a number " + Range(1, kMaxMultiPV) + ", not '" +
                   Printable(value) + "'");
            return;
        }
        multiPV_ = static_cast<int>(lines);
    } else if (key == "usemillisec") {
        if (!ReadSwitch(setting, &ucciMilliseconds_))
            Refuse("option usemillisec takes true or false, not '" + Printable(value) + "'");
    } else if (key == "newgame") {
        NewGame();  // UCCI's button for what UCI says with ucinewgame
    } else if (key == "uci_variant") {
        if (setting != "xiangqi") Refuse("this engine plays xiangqi only");
    } else {
        Refuse("unknown option '" + Printable(name) + "'");
    }
}

void Session::SetPosition(const Words& words) {
    PositionRequest request;
    std::string error;
    if (!ParsePositionRequest(words, &request, &error)) {
        Refuse(error + "; the position is kept");
        return;
    }
    if (!ApplyPosition(request, ownBook_, &error)) {
        Refuse(error + "; the position is kept");
        std::string ignored;
        ApplyPosition(position_, ownBook_, &ignored);
        return;
    }
    position_ = std::move(request);
    positionSet_ = true;
    banned_.clear();
}

// UCCI: the moves the engine may not play from the current position (a repetition the
// arbiter forbids, for example).
void Session::BanMoves(const Words& words) {
    banned_.clear();
    for (std::string_view word : words) {
        Square from = 0;
        Square to = 0;
        const MoveRecord move = ParseIccs(word, &from, &to) ? FindLegalMove(from, to) : NullMove;
        if (move.piece == Empty) {
            Refuse("banmoves: '" + Printable(word) + "' is not a legal move here");
            continue;
        }
        banned_.push_back(move);
    }
}

void Session::Go(const Words& words) {
    std::string error;
    if (!positionSet_) {
        error = "go before position: no position has been set";
    } else if (!ParseGoRequest(protocol_, ucciMilliseconds_, words, sideToMove, &go_, &error)) {
        error += "; nothing is searched";
    }
    if (!error.empty()) {
        Refuse(error);
        SendLine(protocol_ == Protocol::Uci ? "bestmove (none)" : "nobestmove");
        return;
    }
    for (const std::string& ignored : go_.ignored)
        Refuse("go: '" + Printable(ignored) + "' is not known and is ignored");
    allowed_.clear();
    for (const std::string& text : go_.searchMoves) {
        Square from = 0;
        Square to = 0;
        const MoveRecord move = ParseIccs(text, &from, &to) ? FindLegalMove(from, to) : NullMove;
        if (move.piece == Empty) {
            Refuse("searchmoves: '" + Printable(text) + "' is not a legal move here");
        } else {
            allowed_.push_back(move);
        }
    }
    Think();
}

}  // namespace xq::uci
