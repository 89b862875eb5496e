#include "host/xboardclient.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "platform/texts.h"
#include "rules/fen.h"

namespace xq::host {

namespace {

// What the protocol gives an engine that sends no done=0 to finish its features.
constexpr std::chrono::milliseconds kFeatureQuiet{2000};
// XBoard writes a mate in N moves as 100000 + N (and its loss as -100000 - N).
constexpr int kMateScore = 100000;
// A search without a time limit, for analysis until `?`.
constexpr int kLongSearchSeconds = 86400;
// A depth no search reaches: `sd` with it lifts an earlier depth limit.
constexpr int kNoDepthLimit = 200;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool IsResult(std::string_view word) {
    return word == "1-0" || word == "0-1" || word == "1/2-1/2";
}

// Seconds with their fraction only when there is one ("0.5", "2").
std::string SecondsText(int64_t milliseconds) {
    if (milliseconds % 1000 == 0) return std::to_string(milliseconds / 1000);
    std::string text = std::to_string(milliseconds / 1000) + ".";
    std::string fraction = std::to_string(1000 + milliseconds % 1000).substr(1);
    while (fraction.back() == '0')
        fraction.pop_back();
    return text + fraction;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ParseFeatures(std::string_view line) {
    std::vector<std::pair<std::string, std::string>> features;
    const std::vector<std::string_view> words = SplitWords(line);
    if (words.empty() || words[0] != "feature") return features;
    size_t i = static_cast<size_t>(words[0].data() - line.data()) + words[0].size();
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const size_t keyStart = i;
        while (i < line.size() && line[i] != '=' && line[i] != ' ')
            ++i;
        if (i >= line.size() || line[i] != '=' || i == keyStart) break;
        std::string key(line.substr(keyStart, i - keyStart));
        ++i;
        std::string value;
        if (i < line.size() && line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            const size_t end = close == std::string_view::npos ? line.size() : close;
            value = std::string(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            const size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                ++i;
            value = std::string(line.substr(start, i - start));
        }
        features.emplace_back(std::move(key), std::move(value));
    }
    return features;
}

bool ParseXboardOption(std::string_view text, EngineOption* option) {
    *option = EngineOption{};
    // Step 1. The name runs up to the type word " -type".
    static constexpr std::pair<std::string_view, EngineOption::Type> kTypes[] = {
        {"check", EngineOption::Type::Check},   {"spin", EngineOption::Type::Spin},
        {"slider", EngineOption::Type::Spin},   {"combo", EngineOption::Type::Combo},
        {"string", EngineOption::Type::String}, {"file", EngineOption::Type::File},
        {"path", EngineOption::Type::File},     {"button", EngineOption::Type::Button},
        {"save", EngineOption::Type::Button},   {"reset", EngineOption::Type::Button}};
    size_t dash = text.find(" -");
    while (dash != std::string_view::npos) {
        const std::string_view rest = text.substr(dash + 2);
        const size_t wordEnd = std::min(rest.find(' '), rest.size());
        const std::string_view word = rest.substr(0, wordEnd);
        for (const auto& [name, type] : kTypes) {
            if (word != name) continue;
            option->name = std::string(Trim(text.substr(0, dash)));
            option->type = type;
            const std::string_view values = Trim(rest.substr(wordEnd));
            // Step 2. The values the type has.
            if (type == EngineOption::Type::Spin) {
                const std::vector<std::string_view> numbers = SplitWords(values);
                if (numbers.size() >= 1) option->defaultValue = std::string(numbers[0]);
                if (numbers.size() >= 3) {
                    ReadNumber(numbers[1], &option->min);
                    ReadNumber(numbers[2], &option->max);
                }
            } else if (type == EngineOption::Type::Combo) {
                size_t start = 0;
                while (start <= values.size()) {
                    size_t end = values.find("///", start);
                    if (end == std::string_view::npos) end = values.size();
                    std::string_view choice = Trim(values.substr(start, end - start));
                    const bool chosen = !choice.empty() && choice[0] == '*';
                    if (chosen) choice.remove_prefix(1);
                    if (!choice.empty()) option->choices.emplace_back(choice);
                    if (chosen || option->defaultValue.empty())
                        option->defaultValue =
                            option->choices.empty() ? "" : option->choices.back();
                    start = end + 3;
                }
            } else if (type != EngineOption::Type::Button) {
                option->defaultValue = std::string(values);
            }
            return !option->name.empty();
        }
        dash = text.find(" -", dash + 2);
    }
    return false;
}

XboardClient::XboardClient(std::unique_ptr<Process> process, const EngineSetup& setup)
    : ClientBase(std::move(process), setup) {
    identity_.protocol = Protocol::Xboard;
    // XBoard numbers a ten-rank board's ranks from 0, whatever the setup says.
    identity_.ranks = Ranks::FromZero;
    moves_.SetRanks(Ranks::FromZero);
}

bool XboardClient::ReadFeatures(std::string_view line) {
    for (const auto& [key, value] : ParseFeatures(line)) {
        bool accepted = true;
        if (key == "done") {
            featuresDone_ = value == "1";
            waitForDone_ = value == "0";
        } else if (key == "myname") {
            identity_.name = value;
        } else if (key == "variants") {
            sawVariants_ = true;
            variants_.clear();
            size_t start = 0;
            while (start <= value.size()) {
                const size_t end = std::min(value.find(',', start), value.size());
                variants_.push_back(std::string(Trim(value.substr(start, end - start))));
                start = end + 1;
            }
        } else if (key == "setboard") {
            setboard_ = value == "1";
        } else if (key == "usermove") {
            usermove_ = value == "1";
        } else if (key == "ping") {
            ping_ = value == "1";
        } else if (key == "san") {
            accepted = value != "1";  // the moves must come in coordinates
        } else if (key == "memory" || key == "smp" || key == "egt") {
            accepted = false;  // this program sends no memory, cores or tablebase paths
        } else if (key == "option") {
            EngineOption option;
            if (ParseXboardOption(value, &option)) identity_.options.push_back(std::move(option));
        }
        Send((accepted ? "accepted " : "rejected ") + key);
        if (Failed()) return false;
    }
    return !featuresDone_;
}

ClientBase::Handshake XboardClient::Shake(std::chrono::milliseconds probe,
                                          std::chrono::milliseconds whole) {
    const auto start = Clock::now();
    if (!Send("xboard") || !Send("protover 2")) return Handshake::Failed;
    bool answered = false;
    auto quietEnd = start + probe;
    const auto wholeEnd = start + whole;
    identity_.options.clear();
    while (!featuresDone_) {
        std::string line;
        const auto end = !answered ? start + probe : waitForDone_ ? wholeEnd : quietEnd;
        const Got got = Next(&line, Left(end));
        if (got == Got::Failed) return Handshake::Failed;
        if (got == Got::Timeout) {
            if (!answered) return Handshake::OtherProtocol;
            if (!waitForDone_) break;  // an engine of the older kind: its features are all said
            Fail(Fault::NoAnswer, kEngineNoAnswerPattern, "protover 2");
            return Handshake::Failed;
        }
        const std::vector<std::string_view> words = SplitWords(line);
        if (words.empty() || words[0] != "feature") continue;
        answered = true;
        quietEnd = Clock::now() + kFeatureQuiet;
        if (!ReadFeatures(line) && Failed()) return Handshake::Failed;
    }
    if (setup_.name.empty() && !identity_.name.empty()) displayName_ = identity_.name;
    return Handshake::Done;
}

bool XboardClient::Prepare(std::chrono::milliseconds readyTime) {
    const bool xiangqi =
        std::any_of(variants_.begin(), variants_.end(),
                    [](const std::string& variant) { return SameWord(variant, "xiangqi"); });
    if (!sawVariants_ || !xiangqi) {
        Fail(Fault::NoXiangqi, kEngineNoXiangqiPattern);
        return false;
    }
    if (!ApplySetupOptions() || !ResetGame()) return false;
    return Ping(readyTime);
}

bool XboardClient::Ping(std::chrono::milliseconds timeout) {
    if (!ping_) return !Failed();
    const std::string number = std::to_string(++pingNumber_);
    if (!Send("ping " + number)) return false;
    const auto end = Clock::now() + timeout;
    for (;;) {
        std::string line;
        const Got got = Next(&line, Left(end));
        if (got == Got::Failed) return false;
        if (got == Got::Timeout) {
            Fail(Fault::NoAnswer, kEngineNoAnswerPattern, "ping");
            return false;
        }
        const std::vector<std::string_view> words = SplitWords(line);
        if (words.size() == 2 && words[0] == "pong" && words[1] == number) return true;
    }
}

bool XboardClient::SetOption(std::string_view name, std::string_view value) {
    const EngineOption* option = FindOption(name);
    if (option == nullptr || Failed()) return false;
    if (option->type == EngineOption::Type::Button) return Send("option " + option->name);
    return Send("option " + option->name + "=" + std::string(value));
}

// A new game of Xiangqi from the opening array, in force mode: the engine moves only at `go`,
// shows its thinking and does not ponder. `new` also lifts a depth limit.
bool XboardClient::ResetGame() {
    engineFen_.clear();
    engineMoves_.clear();
    depthLimited_ = false;
    return Send("new") && Send("variant xiangqi") && Send("force") && Send("post") && Send("easy");
}

bool XboardClient::NewGame() {
    return ResetGame();
}

bool XboardClient::SendMove(const std::string& iccs) {
    if (!Send(usermove_ ? "usermove " + iccs : iccs)) return false;
    engineMoves_.push_back(iccs);
    return true;
}

bool XboardClient::SetPosition(std::string_view startFen, const std::vector<std::string>& moves) {
    if (!TakePosition(startFen, moves)) return false;
    const std::string fen = startFen == kStartFen ? std::string() : std::string(startFen);
    // Step 1. The engine's game goes on: only the moves it has not seen.
    const bool goesOn = fen == engineFen_ && engineMoves_.size() <= moves.size() &&
                        std::equal(engineMoves_.begin(), engineMoves_.end(), moves.begin());
    if (!goesOn) {
        // Step 2. Else a new game from the start position.
        if (!ResetGame()) return false;
        if (!fen.empty()) {
            if (!setboard_) {
                Fail(Fault::NoSetup, kEngineNoSetupPattern);
                return false;
            }
            if (!Send("setboard " + ToXboardFen(fen))) return false;
            engineFen_ = fen;
        }
    }
    for (size_t i = engineMoves_.size(); i < moves.size(); ++i)
        if (!SendMove(moves[i])) return false;
    return true;
}

bool XboardClient::Go(const GoLimits& limits, int /*multiPv*/) {
    if (Failed() || searching_ || limits.ponder) return false;
    const Side mover = moves_.SideToMove();
    const Side opponent = Opponent(mover);
    bool sent = true;
    if (limits.infinite) {
        sent = Send("st " + std::to_string(kLongSearchSeconds));
    } else if (limits.moveTime >= 0) {
        sent = Send("st " + std::to_string(std::max<int64_t>(1, (limits.moveTime + 500) / 1000)));
    } else if (limits.time[mover] >= 0) {
        // The clock as it stands now: the moves to go, the time left as minutes:seconds, the
        // increment; then the exact times in centiseconds.
        const int64_t seconds = std::max<int64_t>(1, limits.time[mover] / 1000);
        const std::string base = std::to_string(seconds / 60) + ":" +
                                 (seconds % 60 < 10 ? "0" : "") + std::to_string(seconds % 60);
        sent = Send("level " + std::to_string(limits.movesToGo) + " " + base + " " +
                    SecondsText(limits.increment[mover])) &&
               Send("time " + std::to_string(limits.time[mover] / 10));
        if (sent && limits.time[opponent] >= 0)
            sent = Send("otim " + std::to_string(limits.time[opponent] / 10));
    } else if (limits.depth > 0) {
        sent = Send("st " + std::to_string(kLongSearchSeconds));
    }
    // A depth limit stays with the engine until another is given: a search without one lifts it.
    if (sent && (limits.depth > 0 || depthLimited_))
        sent = Send("sd " + std::to_string(limits.depth > 0 ? limits.depth : kNoDepthLimit));
    depthLimited_ = limits.depth > 0;
    ResetFloodCount();
    if (!sent || !Send("go")) return false;
    searching_ = true;
    return true;
}

bool XboardClient::Stop() {
    if (Failed()) return false;
    return !searching_ || Send("?");
}

bool XboardClient::PonderHit() {
    return !Failed();  // no pondering is started over this protocol
}

Event XboardClient::ReadMove(std::string_view text, BestMove* best) {
    searching_ = false;
    if (!CheckBestMove(text, "", best)) return Event::Failed;
    // Back to force mode at once, so that the engine neither plays on nor thinks on our time.
    if (!Send("force")) return Event::Failed;
    engineMoves_.push_back(best->move);
    return Event::BestMove;
}

bool XboardClient::ReadThinking(const std::vector<std::string_view>& words, SearchInfo* info) {
    // ply score time nodes pv...: the time in centiseconds.
    *info = SearchInfo{};
    int64_t centiseconds = 0;
    std::string_view ply = words[0];
    while (!ply.empty() && !std::isdigit(static_cast<unsigned char>(ply.back())))
        ply.remove_suffix(1);  // "5." and "5&" mark fail highs and lows
    if (words.size() < 4 || !ReadNumber(ply, &info->depth) || !ReadNumber(words[1], &info->score) ||
        !ReadNumber(words[2], &centiseconds) || !ReadNumber(words[3], &info->nodes))
        return false;
    info->hasScore = true;
    info->time = centiseconds * 10;
    if (std::abs(info->score) > kMateScore) {
        info->mate = true;
        info->score = info->score > 0 ? info->score - kMateScore : info->score + kMateScore;
    }
    std::vector<std::string_view> pv;
    for (size_t i = 4; i < words.size(); ++i) {
        std::string_view word = words[i];
        if (word.back() == '.' || word == "...") continue;  // move numbers
        while (!word.empty() && (word.back() == '!' || word.back() == '?' || word.back() == '+' ||
                                 word.back() == '#'))
            word.remove_suffix(1);
        pv.push_back(word);
    }
    info->pv = moves_.ReadLine(pv);
    return true;
}

Event XboardClient::Poll(std::chrono::milliseconds timeout, SearchInfo* info, BestMove* best) {
    std::string line;
    const Got got = Next(&line, timeout);
    if (got == Got::Failed) return Event::Failed;
    if (got == Got::Timeout) return Event::None;
    const std::vector<std::string_view> words = SplitWords(line);
    if (words.empty()) return Event::None;
    // The engine refused a move of the game (or the position): its game is no longer ours.
    if (line.rfind("Illegal move", 0) == 0) {
        const size_t colon = line.find(':');
        const std::string_view move = colon == std::string::npos
                                          ? std::string_view(line)
                                          : AfterWords(std::string_view(line).substr(colon + 1), 0);
        Fail(Fault::RefusedMove, kEngineRefusedMovePattern, ShownEngineText(move));
        return Event::Failed;
    }
    if (!searching_) return Event::None;
    if (words[0] == "move" && words.size() >= 2) return ReadMove(words[1], best);
    if (IsResult(words[0]) || words[0] == "resign") {
        // The engine ends the game instead of moving: the referee judges the claim.
        searching_ = false;
        *best = BestMove{};
        best->claim = line;
        Send("force");
        return Event::BestMove;
    }
    if (std::isdigit(static_cast<unsigned char>(words[0][0])) && ReadThinking(words, info))
        return Event::Info;
    return Event::None;
}

}  // namespace xq::host
