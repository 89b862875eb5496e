#include "host/uciclient.h"

#include <algorithm>
#include <charconv>

#include "platform/texts.h"
#include "rules/fen.h"

namespace xq::host {

namespace {

EngineOption::Type ReadOptionType(std::string_view word) {
    const std::string type = AsciiLower(word);
    if (type == "check") return EngineOption::Type::Check;
    if (type == "spin") return EngineOption::Type::Spin;
    if (type == "combo") return EngineOption::Type::Combo;
    if (type == "button") return EngineOption::Type::Button;
    if (type == "file" || type == "filename" || type == "path") return EngineOption::Type::File;
    return EngineOption::Type::String;
}

bool IsOptionKeyword(std::string_view word) {
    return word == "type" || word == "default" || word == "min" || word == "max" || word == "var";
}

std::string JoinWords(const std::vector<std::string_view>& words, size_t begin, size_t end) {
    std::string text;
    for (size_t i = begin; i < end; ++i) {
        if (i > begin) text += ' ';
        text += words[i];
    }
    return text;
}

// The words of an info line that take one value after them and that this client does not keep.
bool IsSkippedInfoKey(std::string_view word) {
    static constexpr std::string_view kKeys[] = {"hashfull",       "tbhits",   "cpuload",
                                                 "currmovenumber", "currmove", "sbhits"};
    return std::find(std::begin(kKeys), std::end(kKeys), word) != std::end(kKeys);
}

bool IsNoMove(std::string_view word) {
    return word == "(none)" || word == "0000" || word == "none" || word == "nomove" ||
           word == "null";
}

// "Error (unknown command): uci" and the like: a line that names the command and calls it an
// error (a start-up banner that says "error" names no command).
bool CallsUnknown(std::string_view line, const std::vector<std::string_view>& words,
                  std::string_view command) {
    const std::string lower = AsciiLower(line);
    const bool refusal = lower.find("error") != std::string::npos ||
                         lower.find("unknown") != std::string::npos ||
                         lower.find("illegal") != std::string::npos;
    return refusal && std::find(words.begin(), words.end(), command) != words.end();
}

}  // namespace

bool ParseOptionLine(std::string_view line, EngineOption* option) {
    const std::vector<std::string_view> words = SplitWords(line);
    if (words.size() < 2 || words[0] != "option") return false;
    *option = EngineOption{};
    // Step 1. The name: UCI's words after `name` up to `type`, UCCI's one word.
    size_t i = 1;
    if (words[1] == "name") {
        size_t end = 2;
        while (end < words.size() && words[end] != "type")
            ++end;
        option->name = JoinWords(words, 2, end);
        i = end;
    } else {
        option->name = std::string(words[1]);
        i = 2;
    }
    if (option->name.empty()) return false;
    // Step 2. Each keyword with the words up to the next keyword as its value.
    while (i < words.size()) {
        const std::string_view key = words[i];
        size_t end = i + 1;
        while (end < words.size() && !IsOptionKeyword(words[end]))
            ++end;
        const std::string value = JoinWords(words, i + 1, end);
        if (key == "type") {
            option->type = ReadOptionType(value);
        } else if (key == "default") {
            option->defaultValue = value == "<empty>" ? std::string() : value;
        } else if (key == "min") {
            ReadNumber(value, &option->min);
        } else if (key == "max") {
            ReadNumber(value, &option->max);
        } else if (key == "var") {
            option->choices.push_back(value);
        }
        i = end;
    }
    return true;
}

bool ParseInfoLine(std::string_view line, SearchInfo* info, std::vector<std::string_view>* pv) {
    const std::vector<std::string_view> words = SplitWords(line);
    if (words.empty() || words[0] != "info") return false;
    *info = SearchInfo{};
    pv->clear();
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string_view key = words[i];
        const std::string_view value = i + 1 < words.size() ? words[i + 1] : std::string_view();
        if (key == "string") {
            info->text = std::string(AfterWords(line, i + 1));
            break;
        }
        if (key == "pv") {
            pv->assign(words.begin() + static_cast<ptrdiff_t>(i) + 1, words.end());
            break;
        }
        if (key == "refutation" || key == "currline") break;  // lines this client does not show
        if (key == "score") {
            // UCI: score cp N | mate N [lowerbound|upperbound]; UCCI: score N.
            std::string_view number = value;
            bool mate = false;
            if (value == "cp" || value == "mate") {
                mate = value == "mate";
                number = i + 2 < words.size() ? words[i + 2] : std::string_view();
                ++i;
            }
            if (ReadNumber(number, &info->score)) {
                info->hasScore = true;
                info->mate = mate;
                ++i;
            }
            continue;
        }
        if (key == "lowerbound" || key == "upperbound") continue;
        if (key == "wdl") {
            i += 3;
            continue;
        }
        bool known = true;
        if (key == "depth") {
            known = ReadNumber(value, &info->depth);
        } else if (key == "seldepth") {
            known = ReadNumber(value, &info->selDepth);
        } else if (key == "multipv") {
            known = ReadNumber(value, &info->multiPv);
        } else if (key == "nodes") {
            known = ReadNumber(value, &info->nodes);
        } else if (key == "nps") {
            known = ReadNumber(value, &info->nps);
        } else if (key == "time") {
            known = ReadNumber(value, &info->time);
        } else if (!IsSkippedInfoKey(key)) {
            continue;  // an unknown word: the next may be a key again
        }
        if (known) ++i;
    }
    return true;
}

UciClient::UciClient(std::unique_ptr<Process> process, const EngineSetup& setup, Protocol protocol)
    : ClientBase(std::move(process), setup), ucci_(protocol == Protocol::Ucci) {
    identity_.protocol = protocol;
}

ClientBase::Handshake UciClient::Shake(std::chrono::milliseconds probe,
                                       std::chrono::milliseconds whole) {
    const std::string_view command = ucci_ ? "ucci" : "uci";
    const std::string_view done = ucci_ ? "ucciok" : "uciok";
    const auto start = Clock::now();
    const auto probeEnd = start + probe;
    const auto wholeEnd = start + whole;
    if (!Send(command)) return Handshake::Failed;
    bool answered = false;
    identity_.options.clear();
    for (;;) {
        std::string line;
        const Got got = Next(&line, Left(answered ? wholeEnd : probeEnd));
        if (got == Got::Failed) return Handshake::Failed;
        if (got == Got::Timeout) {
            if (!answered) return Handshake::OtherProtocol;
            Fail(Fault::NoAnswer, kEngineNoAnswerPattern, std::string(command));
            return Handshake::Failed;
        }
        const std::vector<std::string_view> words = SplitWords(line);
        if (words.empty()) continue;
        if (words[0] == done) break;
        if (words[0] == "id" && words.size() >= 2) {
            answered = true;
            const std::string value(AfterWords(line, 2));
            if (words[1] == "name") identity_.name = value;
            if (words[1] == "author") identity_.author = value;
        } else if (words[0] == "option") {
            answered = true;
            EngineOption option;
            if (ParseOptionLine(line, &option)) identity_.options.push_back(std::move(option));
        } else if (!answered && probe < whole && CallsUnknown(line, words, command)) {
            // Finding the protocol out, an engine that calls the command unknown speaks another.
            return Handshake::OtherProtocol;
        }
    }
    if (setup_.name.empty() && !identity_.name.empty()) displayName_ = identity_.name;
    return Handshake::Done;
}

bool UciClient::Prepare(std::chrono::milliseconds readyTime) {
    // Step 1. The variant: a multi-variant engine is told to play Xiangqi, or refused.
    if (const EngineOption* variant = FindOption("UCI_Variant")) {
        const auto& choices = variant->choices;
        const bool xiangqi =
            variant->type != EngineOption::Type::Combo ||
            std::any_of(choices.begin(), choices.end(),
                        [](const std::string& choice) { return SameWord(choice, "xiangqi"); });
        if (!xiangqi) {
            Fail(Fault::NoXiangqi, kEngineNoXiangqiPattern);
            return false;
        }
        if (!SetOption(variant->name, "xiangqi")) return false;
        // The multi-variant engines (Fairy-Stockfish, Sjaak II) count ranks 1..10 over UCI.
        if (moves_.GetRanks() == Ranks::Auto && choices.size() > 1) moves_.SetRanks(Ranks::FromOne);
    }
    if (ucci_ && moves_.GetRanks() == Ranks::Auto) moves_.SetRanks(Ranks::FromZero);
    identity_.ranks = moves_.GetRanks();
    // Step 2. UCCI times in milliseconds where the engine takes them.
    if (ucci_ && FindOption("usemillisec") != nullptr) {
        if (!SetOption("usemillisec", "true")) return false;
        milliseconds_ = true;
    }
    // Step 3. What the engine offers, and what the user chose for it.
    if (const EngineOption* ponder = FindOption("Ponder"))
        identity_.offersPonder = ponder->type == EngineOption::Type::Check;
    if (const EngineOption* multiPv = FindOption("MultiPV");
        multiPv != nullptr && multiPv->type == EngineOption::Type::Spin)
        identity_.maxMultiPv = static_cast<int>(std::clamp<int64_t>(multiPv->max, 1, 500));
    if (!ApplySetupOptions()) return false;
    // Step 4. Ready.
    if (!Send("isready")) return false;
    const auto end = Clock::now() + readyTime;
    for (;;) {
        std::string line;
        const Got got = Next(&line, Left(end));
        if (got == Got::Failed) return false;
        if (got == Got::Timeout) {
            Fail(Fault::NoAnswer, kEngineNoAnswerPattern, "isready");
            return false;
        }
        if (line == "readyok") return true;
    }
}

bool UciClient::SetOption(std::string_view name, std::string_view value) {
    const EngineOption* option = FindOption(name);
    if (option == nullptr || Failed()) return false;
    std::string line = ucci_ ? "setoption " + option->name : "setoption name " + option->name;
    if (option->type != EngineOption::Type::Button) {
        line += ucci_ ? " " : " value ";
        line += value;
    }
    if (SameWord(option->name, "MultiPV")) {
        int lines = 1;
        if (ReadNumber(value, &lines)) multiPv_ = lines;
    }
    return Send(line);
}

bool UciClient::NewGame() {
    if (ucci_) {
        const EngineOption* newGame = FindOption("newgame");
        return newGame != nullptr ? SetOption("newgame", "") : !Failed();
    }
    return Send("ucinewgame");
}

bool UciClient::SetPosition(std::string_view startFen, const std::vector<std::string>& moves) {
    if (!TakePosition(startFen, moves)) return false;
    std::string line = "position ";
    if (moves_.GetRanks() == Ranks::Auto && !moves.empty()) {
        // Until the engine shows how it counts ranks, moves would be guesses: the position after
        // them says the same without them.
        line += "fen " + FenText(moves_.CurrentFen());
    } else {
        // The opening array by name: no engine can misread its letters.
        line += startFen.empty() || startFen == kStartFen ? "startpos" : "fen " + FenText(startFen);
        if (!moves.empty()) line += " moves";
        for (const std::string& move : moves)
            line += " " + moves_.EngineText(move);
    }
    return Send(line);
}

std::string UciClient::FenText(std::string_view fen) const {
    // Sjaak II reads Xiangqi FEN in XBoard's letters over UCI too, and stays silent after a FEN
    // it cannot read.
    const bool xboardLetters = identity_.name.rfind("Sjaak", 0) == 0;
    return xboardLetters ? ToXboardFen(fen) : std::string(fen);
}

int64_t UciClient::TimeText(int64_t milliseconds) const {
    return !ucci_ || milliseconds_ ? milliseconds : milliseconds / 1000;
}

std::string UciClient::GoCommand(const GoLimits& limits) const {
    std::string line = "go";
    if (limits.ponder) line += " ponder";
    auto add = [&line](std::string_view key, int64_t value) {
        line += ' ';
        line += key;
        line += ' ';
        line += std::to_string(value);
    };
    if (limits.infinite) {
        line += ucci_ ? " depth infinite" : " infinite";
        return line;
    }
    const Side mover = moves_.SideToMove();
    if (!ucci_) {
        if (limits.moveTime >= 0) add("movetime", limits.moveTime);
        if (limits.time[Red] >= 0) add("wtime", limits.time[Red]);
        if (limits.time[Black] >= 0) add("btime", limits.time[Black]);
        if (limits.time[Red] >= 0 && limits.increment[Red] > 0) add("winc", limits.increment[Red]);
        if (limits.time[Black] >= 0 && limits.increment[Black] > 0)
            add("binc", limits.increment[Black]);
        if (limits.movesToGo > 0) add("movestogo", limits.movesToGo);
    } else if (limits.moveTime >= 0) {
        // UCCI has no time a move: all of it for the one move to go.
        add("time", TimeText(limits.moveTime));
        add("movestogo", 1);
    } else if (limits.time[mover] >= 0) {
        const Side opponent = Opponent(mover);
        add("time", TimeText(limits.time[mover]));
        if (limits.increment[mover] > 0) add("increment", TimeText(limits.increment[mover]));
        if (limits.time[opponent] >= 0) add("opptime", TimeText(limits.time[opponent]));
        if (limits.time[opponent] >= 0 && limits.increment[opponent] > 0)
            add("oppincrement", TimeText(limits.increment[opponent]));
        if (limits.movesToGo > 0) add("movestogo", limits.movesToGo);
    }
    if (limits.depth > 0) add("depth", limits.depth);
    return line;
}

bool UciClient::Go(const GoLimits& limits, int multiPv) {
    if (Failed() || searching_) return false;
    const int lines = std::clamp(multiPv, 1, identity_.maxMultiPv);
    if (lines != multiPv_ && FindOption("MultiPV") != nullptr &&
        !SetOption("MultiPV", std::to_string(lines)))
        return false;
    ResetFloodCount();
    if (!Send(GoCommand(limits))) return false;
    searching_ = true;
    return true;
}

bool UciClient::Stop() {
    if (Failed()) return false;
    return !searching_ || Send("stop");
}

bool UciClient::PonderHit() {
    if (Failed()) return false;
    return !searching_ || Send("ponderhit");
}

bool UciClient::ReadInfo(std::string_view line, SearchInfo* info) {
    std::vector<std::string_view> pv;
    if (!ParseInfoLine(line, info, &pv)) return false;
    info->pv = moves_.ReadLine(pv);
    if (identity_.ranks != moves_.GetRanks()) identity_.ranks = moves_.GetRanks();
    return info->depth > 0 || info->hasScore || !info->pv.empty() || !info->text.empty();
}

Event UciClient::ReadBestMove(const std::vector<std::string_view>& words, BestMove* best) {
    searching_ = false;
    *best = BestMove{};
    if (words[0] == "nobestmove") return Event::BestMove;
    if (words.size() < 2) {
        Fail(Fault::Nonsense, kEngineNonsensePattern, ShownEngineText(words[0]));
        return Event::Failed;
    }
    if (IsNoMove(words[1])) return Event::BestMove;
    const std::string_view ponder =
        words.size() >= 4 && words[2] == "ponder" ? words[3] : std::string_view();
    return CheckBestMove(words[1], ponder, best) ? Event::BestMove : Event::Failed;
}

Event UciClient::Poll(std::chrono::milliseconds timeout, SearchInfo* info, BestMove* best) {
    std::string line;
    const Got got = Next(&line, timeout);
    if (got == Got::Failed) return Event::Failed;
    if (got == Got::Timeout) return Event::None;
    const std::vector<std::string_view> words = SplitWords(line);
    // Lines outside a search (a late info, a bestmove of a search already given up) mean nothing.
    if (words.empty() || !searching_) return Event::None;
    if (words[0] == "info") return ReadInfo(line, info) ? Event::Info : Event::None;
    if (words[0] == "bestmove" || (ucci_ && words[0] == "nobestmove"))
        return ReadBestMove(words, best);
    return Event::None;
}

}  // namespace xq::host
