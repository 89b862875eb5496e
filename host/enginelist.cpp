#include "host/enginelist.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <set>

#include "platform/paths.h"
#include "platform/safefile.h"
#include "platform/texts.h"

namespace xq::host {

namespace {

constexpr std::string_view kOptionPrefix = "option.";
constexpr std::string_view kHeader =
    "; The engines of the engine menu, one section an engine. Lines starting with ; or # are\n"
    "; comments; arguments with spaces go in \"double quotes\".\n";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The value without a comment after it. A value in double quotes ends at its last quote; any
// other value at a ; that begins it or follows a blank. Arguments hold quoted parts of their own
// (with \" and \\ inside), where a ; is part of the argument.
std::string_view WithoutComment(std::string_view value, bool arguments) {
    if (!arguments && value.size() >= 2 && value.front() == '"') {
        const size_t close = value.rfind('"');
        if (close > 0) return value.substr(0, close + 1);
    }
    bool quoted = false;
    for (size_t i = 0; i < value.size(); ++i) {
        if (arguments && value[i] == '"') quoted = !quoted;
        if (arguments && quoted && value[i] == '\\' && i + 1 < value.size()) ++i;
        if (!quoted && value[i] == ';' && (i == 0 || IsBlank(value[i - 1])))
            return Trim(value.substr(0, i));
    }
    return value;
}

// A value wrapped whole in double quotes loses them (they keep its blanks and its ;).
std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

// The value as ParseEngineList reads it back: quoted when blanks at its ends, a comment sign or
// a quote at its start would otherwise change it.
std::string QuoteIfNeeded(std::string_view value) {
    const bool needed = !value.empty() &&
                        (IsBlank(value.front()) || IsBlank(value.back()) || value.front() == '"' ||
                         value.front() == ';' || value.find(" ;") != std::string_view::npos ||
                         value.find("\t;") != std::string_view::npos);
    return needed ? "\"" + std::string(value) + "\"" : std::string(value);
}

struct Section {
    EngineSetup setup;
    bool hasCommand = false;
};

// One key of a section; false with a warning when its value means nothing.
void ReadKey(Section& section, std::string_view key, std::string_view rawValue,
             std::vector<std::string>* warnings) {
    EngineSetup& setup = section.setup;
    const std::string value = Unquote(rawValue);
    auto warn = [&] {
        if (warnings)
            warnings->push_back(
                FormatText(kEngineListBadValuePattern, {setup.name, key, rawValue}));
    };
    if (key == "command") {
        setup.command.program = value;
        section.hasCommand = !value.empty();
    } else if (key == "arguments") {
        setup.command.arguments = SplitArguments(rawValue);
    } else if (key == "folder") {
        setup.command.folder = value;
    } else if (key == "protocol") {
        if (!ParseProtocol(value, &setup.protocol)) warn();
    } else if (key == "ranks") {
        if (!ParseRanks(value, &setup.ranks)) warn();
    } else if (key.substr(0, kOptionPrefix.size()) == kOptionPrefix &&
               key.size() > kOptionPrefix.size()) {
        setup.options.emplace_back(std::string(key.substr(kOptionPrefix.size())), value);
    } else {
        setup.otherKeys.emplace_back(std::string(key), std::string(rawValue));
    }
}

void Finish(Section& section, std::set<std::string>& names, std::vector<EngineSetup>& engines,
            std::vector<std::string>* warnings) {
    const std::string& name = section.setup.name;
    std::string_view problem;
    if (!section.hasCommand) {
        problem = kEngineListNoCommandPattern;
    } else if (!names.insert(name).second) {
        problem = kEngineListDuplicatePattern;
    }
    if (problem.empty()) {
        engines.push_back(std::move(section.setup));
    } else if (warnings) {
        warnings->push_back(FormatText(problem, {name}));
    }
}

}  // namespace

std::filesystem::path EngineListPath() {
    const std::filesystem::path folder = ConfigFolder();
    return folder.empty() ? folder : folder / kEngineListFileName;
}

std::vector<EngineSetup> ParseEngineList(std::string_view text,
                                         std::vector<std::string>* warnings) {
    std::vector<EngineSetup> engines;
    std::set<std::string> names;
    std::optional<Section> section;
    size_t number = 0;
    while (!text.empty()) {
        // Step 1. The next line, without its end and its blanks.
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        // Step 2. A section begins an engine; the one before it is complete.
        if (line.front() == '[') {
            const size_t close = line.find(']');
            if (close != std::string_view::npos && close > 1) {
                if (section) Finish(*section, names, engines, warnings);
                section.emplace();
                section->setup.name = std::string(Trim(line.substr(1, close - 1)));
                continue;
            }
        }
        // Step 3. A key of the current engine.
        const size_t equals = line.find('=');
        if (!section || equals == std::string_view::npos || equals == 0) {
            if (warnings)
                warnings->push_back(
                    FormatText(kEngineListBadLinePattern, {std::to_string(number)}));
            continue;
        }
        const std::string_view key = Trim(line.substr(0, equals));
        ReadKey(*section, key, WithoutComment(Trim(line.substr(equals + 1)), key == "arguments"),
                warnings);
    }
    if (section) Finish(*section, names, engines, warnings);
    return engines;
}

std::string FormatEngineList(const std::vector<EngineSetup>& engines) {
    std::string text(kHeader);
    for (const EngineSetup& engine : engines) {
        text += "\n[" + engine.name + "]\n";
        text += "command=" + QuoteIfNeeded(engine.command.program) + "\n";
        text += "arguments=" + JoinArguments(engine.command.arguments) + "\n";
        text += "folder=" + QuoteIfNeeded(engine.command.folder) + "\n";
        text += "protocol=" + std::string(ProtocolName(engine.protocol)) + "\n";
        text += "ranks=" + std::string(RanksName(engine.ranks)) + "\n";
        for (const auto& [name, value] : engine.options)
            text += std::string(kOptionPrefix) + name + "=" + QuoteIfNeeded(value) + "\n";
        for (const auto& [key, value] : engine.otherKeys)
            text += key + "=" + value + "\n";
    }
    return text;
}

std::vector<EngineSetup> LoadEngineList(const std::filesystem::path& path,
                                        std::vector<std::string>* warnings) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (warnings) warnings->push_back(FormatText(kCannotReadPattern, {path.string()}));
        return {};
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseEngineList(text, warnings);
}

bool SaveEngineList(const std::filesystem::path& path, const std::vector<EngineSetup>& engines,
                    std::string* error) {
    if (ReplaceFileContent(path, FormatEngineList(engines)) == FileWrite::Written) return true;
    *error = FormatText(kSaveFailedPattern, {path.string()});
    return false;
}

std::vector<std::string> SplitArguments(std::string_view text) {
    std::vector<std::string> arguments;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (i >= text.size()) break;
        // One argument: up to a blank outside quotes; inside them \" and \\ stand for themselves.
        std::string argument;
        bool quoted = false;
        for (; i < text.size() && (quoted || !IsBlank(text[i])); ++i) {
            const char c = text[i];
            if (c == '"') {
                quoted = !quoted;
            } else if (quoted && c == '\\' && i + 1 < text.size() &&
                       (text[i + 1] == '"' || text[i + 1] == '\\')) {
                argument += text[++i];
            } else {
                argument += c;
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) {
        if (!text.empty()) text += ' ';
        const bool quote =
            argument.empty() || argument.find_first_of(" \t\";\\") != std::string::npos;
        if (!quote) {
            text += argument;
            continue;
        }
        text += '"';
        for (char c : argument) {
            if (c == '"' || c == '\\') text += '\\';
            text += c;
        }
        text += '"';
    }
    return text;
}

}  // namespace xq::host
