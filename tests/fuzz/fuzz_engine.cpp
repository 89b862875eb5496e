// What other programs' engines write, and the engine list a person edits. The input is the text;
// each of its lines is read as an engine's option, thinking and feature line and its first word as
// a move in each rank numbering. Every move the readers accept is legal by the rules; the engine
// list written back reads back as the same list and writes the same bytes again; arguments split,
// joined and split again are the same.
#include "host/enginelist.h"
#include "host/enginemoves.h"
#include "host/uciclient.h"
#include "host/xboardclient.h"
#include "tests/fuzz/fuzz_support.h"

namespace xq::fuzz {
namespace {

using host::EngineMoves;
using host::EngineSetup;
using host::MoveVerdict;
using host::Ranks;

// A line of moves accepted as legal replays by the rules from the opening array.
void RequireLegalLine(const std::vector<std::string>& moves) {
    EngineMoves replay;
    std::string error;
    Require(replay.SetPosition("", moves, &error), "an accepted move is not legal", error);
}

void CheckLine(std::string_view line) {
    host::EngineOption option;
    if (host::ParseOptionLine(line, &option))
        Require(!option.name.empty(), "an option without a name", line);
    if (host::ParseXboardOption(line, &option))
        Require(!option.name.empty(), "an XBoard option without a name", line);
    for (const auto& [key, value] : host::ParseFeatures(line))
        Require(!key.empty() && key.find('=') == std::string::npos, "a feature key", key);

    host::SearchInfo info;
    std::vector<std::string_view> words;
    host::ParseInfoLine(line, &info, &words);
    if (words.empty()) words = SplitWords(line);
    for (Ranks ranks : {Ranks::Auto, Ranks::FromZero, Ranks::FromOne}) {
        EngineMoves moves;
        moves.SetRanks(ranks);
        RequireLegalLine(moves.ReadLine(words));
        if (words.empty()) continue;
        std::string iccs;
        if (moves.ReadMove(words[0], &iccs) == MoveVerdict::Legal) RequireLegalLine({iccs});
    }

    const std::vector<std::string> arguments = host::SplitArguments(line);
    Require(host::SplitArguments(host::JoinArguments(arguments)) == arguments,
            "arguments do not split back as they were joined", line);
}

bool SameSetup(const EngineSetup& a, const EngineSetup& b) {
    return a.name == b.name && a.command.program == b.command.program &&
           a.command.arguments == b.command.arguments && a.command.folder == b.command.folder &&
           a.protocol == b.protocol && a.ranks == b.ranks && a.options == b.options &&
           a.otherKeys == b.otherKeys;
}

void CheckEngineList(std::string_view text) {
    std::vector<std::string> warnings;
    const std::vector<EngineSetup> engines = host::ParseEngineList(text, &warnings);
    const std::string written = host::FormatEngineList(engines);
    std::vector<std::string> again;
    const std::vector<EngineSetup> reread = host::ParseEngineList(written, &again);
    Require(again.empty(), "the written list has warnings", again.empty() ? "" : again[0]);
    Require(reread.size() == engines.size(), "the written list has other engines", written);
    for (size_t i = 0; i < engines.size(); ++i)
        Require(SameSetup(reread[i], engines[i]), "an engine reads back otherwise", written);
    Require(host::FormatEngineList(reread) == written, "a second write changes the list", written);
}

}  // namespace
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace xq::fuzz;
    static const bool ready = (InitCore(), true);
    (void)ready;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        CheckLine(text.substr(start, end - start));
        start = end + 1;
    }
    CheckEngineList(text);
    return 0;
}
