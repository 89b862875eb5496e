#include "match/arguments.h"

#include <charconv>
#include <optional>

namespace xq::match {
namespace {

using host::EngineSetup;

bool ParseInt(std::string_view text, int min, int* value) {
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || number < min)
        return false;
    *value = number;
    return true;
}

bool ParseProtocolWord(std::string_view word, host::Protocol* protocol) {
    if (word == "uci") {
        *protocol = host::Protocol::Uci;
    } else if (word == "ucci") {
        *protocol = host::Protocol::Ucci;
    } else if (word == "xboard" || word == "cecp") {
        *protocol = host::Protocol::Xboard;
    } else if (word == "auto") {
        *protocol = host::Protocol::Auto;
    } else {
        return false;
    }
    return true;
}

// The words of one option: from `*at` up to the next word that begins with '-'.
std::vector<std::string> OptionWords(const std::vector<std::string>& arguments, size_t* at) {
    std::vector<std::string> words;
    while (*at + 1 < arguments.size() && !arguments[*at + 1].starts_with('-'))
        words.push_back(arguments[++*at]);
    return words;
}

// An engine's key=value words onto `setup`; time controls go to the match.
bool ReadEngineWords(const std::vector<std::string>& words, EngineSetup* setup,
                     host::TimeControl* control, std::string* error) {
    for (const std::string& word : words) {
        const size_t equals = word.find('=');
        if (equals == std::string::npos) {
            *error = "expected key=value, not " + word;
            return false;
        }
        const std::string key = word.substr(0, equals);
        const std::string value = word.substr(equals + 1);
        if (key == "cmd") {
            setup->command.program = value;
        } else if (key == "name") {
            setup->name = value;
        } else if (key == "dir") {
            setup->command.folder = value;
        } else if (key == "arg") {
            setup->command.arguments.push_back(value);
        } else if (key == "proto") {
            if (!ParseProtocolWord(value, &setup->protocol)) {
                *error = "unknown protocol " + value;
                return false;
            }
        } else if (key.starts_with("option.") && key.size() > 7) {
            setup->options.emplace_back(key.substr(7), value);
        } else if (key == "st" || key == "tc" || key == "depth" || key == "timemargin") {
            if (!host::ParseTimeControl(key, value, control, error)) return false;
        } else {
            *error = "unknown engine setting " + key;
            return false;
        }
    }
    return true;
}

// The words of -openings, -draw or -resign as key=value pairs.
bool KeyValues(const std::vector<std::string>& words, std::string_view option,
               std::vector<std::pair<std::string, std::string>>* pairs, std::string* error) {
    for (const std::string& word : words) {
        const size_t equals = word.find('=');
        if (equals == std::string::npos) {
            *error = std::string(option) + ": expected key=value, not " + word;
            return false;
        }
        pairs->emplace_back(word.substr(0, equals), word.substr(equals + 1));
    }
    return true;
}

bool ReadOpeningWords(const std::vector<std::string>& words, MatchCommand* command,
                      std::string* error) {
    std::vector<std::pair<std::string, std::string>> pairs;
    if (!KeyValues(words, "-openings", &pairs, error)) return false;
    for (const auto& [key, value] : pairs) {
        bool ok = true;
        if (key == "file") {
            command->openingsFile = value;
        } else if (key == "format") {
            ok = value == "epd" || value == "pgn";
            command->openingsFormat =
                value == "pgn" ? host::OpeningFormat::Pgn : host::OpeningFormat::Epd;
        } else if (key == "order") {
            ok = value == "random" || value == "sequential";
            command->randomOrder = value == "random";
        } else if (key == "plies") {
            ok = ParseInt(value, 0, &command->openingPlies);
        } else {
            ok = false;
        }
        if (!ok) {
            *error = "-openings: invalid " + key + "=" + value;
            return false;
        }
    }
    if (command->openingsFile.empty()) {
        *error = "-openings: file=F is missing";
        return false;
    }
    return true;
}

bool ReadAdjudication(const std::vector<std::string>& words, bool draw, host::Adjudication* rules,
                      std::string* error) {
    const char* option = draw ? "-draw" : "-resign";
    std::vector<std::pair<std::string, std::string>> pairs;
    if (!KeyValues(words, option, &pairs, error)) return false;
    for (const auto& [key, value] : pairs) {
        int* target = nullptr;
        int min = 0;
        if (key == "movecount") {
            target = draw ? &rules->drawMoveCount : &rules->resignMoveCount;
            min = 1;
        } else if (key == "movenumber" && draw) {
            target = &rules->drawMoveNumber;
            min = 1;
        } else if (key == "score") {
            target = draw ? &rules->drawScore : &rules->resignScore;
        }
        if (!target || !ParseInt(value, min, target)) {
            *error = std::string(option) + ": invalid " + key + "=" + value;
            return false;
        }
    }
    const bool complete =
        draw ? rules->drawMoveNumber > 0 && rules->drawMoveCount > 0 : rules->resignMoveCount > 0;
    if (!complete) {
        *error =
            std::string(option) + (draw ? ": needs movenumber and movecount" : ": needs movecount");
        return false;
    }
    return true;
}

// An option followed by exactly one value word.
bool OneValue(const std::vector<std::string>& words, const std::string& option,
              std::string* error) {
    if (words.size() == 1) return true;
    *error = option + " needs one value";
    return false;
}

}  // namespace

Parse ParseArguments(const std::vector<std::string>& arguments, MatchCommand* command,
                     std::string* error) {
    host::MatchSettings& settings = command->settings;
    settings.games = 1;
    std::vector<std::vector<std::string>> engineWords;
    std::vector<std::string> eachWords;
    for (size_t at = 0; at < arguments.size(); ++at) {
        const std::string option = arguments[at];
        const std::vector<std::string> words = OptionWords(arguments, &at);
        int number = 0;
        if (option == "--help" || option == "-help" || option == "-h") return Parse::Help;
        if (option == "-engine") {
            engineWords.push_back(words);
        } else if (option == "-each") {
            eachWords.insert(eachWords.end(), words.begin(), words.end());
        } else if (option == "-games" || option == "-rounds" || option == "-concurrency" ||
                   option == "-maxmoves") {
            if (!OneValue(words, option, error)) return Parse::Error;
            if (!ParseInt(words[0], 1, &number)) {
                *error = option + ": not a number of at least 1: " + words[0];
                return Parse::Error;
            }
            if (option == "-games") settings.games = number;
            if (option == "-rounds") settings.rounds = number;
            if (option == "-concurrency") settings.concurrency = number;
            if (option == "-maxmoves") settings.maxPlies = 2 * number;
        } else if (option == "-openings") {
            if (!ReadOpeningWords(words, command, error)) return Parse::Error;
        } else if (option == "-repeat") {
            settings.repeat = true;
        } else if (option == "-draw" || option == "-resign") {
            if (!ReadAdjudication(words, option == "-draw", &settings.adjudication, error))
                return Parse::Error;
        } else if (option == "-pgnout") {
            if (words.empty()) {
                *error = "-pgnout needs a file";
                return Parse::Error;
            }
            settings.pgnPath = words[0];
        } else if (option == "-event") {
            if (!OneValue(words, option, error)) return Parse::Error;
            settings.event = words[0];
        } else if (option == "-srand") {
            if (!OneValue(words, option, error) || !ParseInt(words[0], 0, &number)) {
                *error = "-srand needs a number";
                return Parse::Error;
            }
            command->seed = static_cast<uint32_t>(number);
        } else if (option == "-latency") {
            command->latency = true;
        } else {
            *error = "unknown option " + option;
            return Parse::Error;
        }
    }
    if (engineWords.size() != 2) {
        *error = "a match needs two -engine options, not " + std::to_string(engineWords.size());
        return Parse::Error;
    }
    for (int i = 0; i < 2; ++i) {
        // -each first, so that an engine's own words override it.
        if (!ReadEngineWords(eachWords, &settings.engines[i], &settings.timeControl, error) ||
            !ReadEngineWords(engineWords[i], &settings.engines[i], &settings.timeControl, error))
            return Parse::Error;
        if (settings.engines[i].command.program.empty()) {
            *error = "-engine " + std::to_string(i + 1) + ": cmd= is missing";
            return Parse::Error;
        }
    }
    const host::TimeControl& control = settings.timeControl;
    if (control.moveTime <= 0 && control.base <= 0 && control.depth <= 0) {
        *error = "no time control: give st=, tc= or depth= with -each or -engine";
        return Parse::Error;
    }
    return Parse::Run;
}

std::string UsageText() {
    return R"(Usage: lanchuan-match -engine cmd=PATH [name=NAME] ... -engine ... [options]

Plays a match of Xiangqi games between two engines (UCI, UCCI or XBoard), refereed by this
program's rules, and prints each result, the score and the Elo difference.

Engines (-engine twice; -each applies its words to both):
  cmd=PATH            the engine's program (a path, or a name found in PATH)
  name=NAME           the name it plays under (default: the name it gives)
  proto=uci|ucci|xboard|auto
  arg=ARG             an argument for the program (repeatable)
  dir=FOLDER          the folder it runs in (default: its program's folder)
  option.NAME=VALUE   an engine option set after every start
  st=SECONDS          a fixed time a move
  tc=[MOVES/]SECONDS[+INCREMENT]   a clock for the game (seconds also as M:SS)
  depth=N             search to depth N
  timemargin=MS       how far past its time an engine may answer (default 1000)

Match:
  -games N            games per round (default 1)
  -rounds N           rounds (default 1)
  -concurrency N      games played at once (default 1)
  -openings file=F [format=epd|pgn] [order=sequential|random] [plies=N]
  -repeat             play each opening twice, colours swapped
  -srand N            the seed of order=random
  -draw movenumber=N movecount=N score=CP    adjudicate quiet games as draws
  -resign movecount=N score=CP               adjudicate lost games
  -maxmoves N         a draw after N moves of each side (default 150)
  -pgnout FILE        append every game to FILE
  -event NAME         the PGN Event tag
  -latency            print the runner's own time between a move and the next go
  --help              this text

Exit status: 0 when the match was played, 1 when it could not begin, 2 on bad arguments.
)";
}

}  // namespace xq::match
