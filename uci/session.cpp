#include "uci/session.h"

#include <algorithm>
#include <charconv>

#include "platform/random.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "uci/output.h"

namespace xq::uci {

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

namespace {

constexpr std::string_view kEngineName = "Lanchuan 0.1";
constexpr std::string_view kEngineAuthor = "the Lanchuan Xiangqi developers";

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

void SeedGenerator(uint64_t seed) {
    if (seed == 0) {
        RandomSeed();
    } else {
        SeedRandom(seed);
    }
}

}  // namespace

Session::Session(CommandInput& input) : input_(input) {
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
    if (protocol == Protocol::Uci) {
        SendLine("option name OwnBook type check default true");
        SendLine("option name Seed type spin default 0 min 0 max 2147483647");
        SendLine("option name Ponder type check default false");
        SendLine("option name UCI_Variant type combo default xiangqi var xiangqi");
        SendLine("uciok");
    } else {
        SendLine("option usebook type check default true");
        SendLine("option seed type spin min 0 max 2147483647 default 0");
        SendLine("option ponder type check default false");
        SendLine("option usemillisec type check default false");
        SendLine("option newgame type button");
        SendLine("ucciok");
    }
}

// The next game's library moves come as they did after start-up when a seed was given.
void Session::NewGame() {
    if (seed_ != 0) SeedRandom(seed_);
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
