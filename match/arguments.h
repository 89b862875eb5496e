// lanchuan-match's command line, in cutechess-cli's words: -engine and -each with key=value
// words, -games, -rounds, -concurrency, -openings, -repeat, -draw, -resign, -maxmoves, -pgnout,
// -event, -srand, -latency and --help.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/match.h"
#include "host/openings.h"

namespace xq::match {

struct MatchCommand {
    host::MatchSettings settings;
    std::string openingsFile;  // empty: no openings
    host::OpeningFormat openingsFormat = host::OpeningFormat::Epd;
    bool randomOrder = false;
    int openingPlies = -1;  // PGN openings: moves taken from each game; -1: all
    uint32_t seed = 0;      // -srand; 0: from the time
    bool latency = false;   // print the runner's own turnaround at the end
};

enum class Parse { Run, Help, Error };

// Reads the arguments after the program's name. Error with a message naming the argument.
Parse ParseArguments(const std::vector<std::string>& arguments, MatchCommand* command,
                     std::string* error);

// The --help text.
std::string UsageText();

}  // namespace xq::match
