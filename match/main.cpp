// lanchuan-match: a match between two Xiangqi engines from the command line, in cutechess-cli's
// manner. It reads the openings before any game begins (the PGN reader uses the program's one
// position), plays the games through the match runner, and prints what cutechess-cli prints.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "host/match.h"
#include "host/openings.h"
#include "match/arguments.h"
#include "match/report.h"
#include "rules/attacks.h"

namespace {

std::atomic<bool> stopRequested{false};

void OnInterrupt(int) {
    stopRequested = true;
}

// SIGINT and SIGTERM end the games in play and then the match; the engines are ended with them.
void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool LoadOpenings(xq::match::MatchCommand* command, std::string* error) {
    if (command->openingsFile.empty()) return true;
    std::vector<xq::host::Opening>& openings = command->settings.openings;
    if (!xq::host::ReadOpenings(command->openingsFile, command->openingsFormat,
                                command->openingPlies, &openings, error))
        return false;
    if (command->randomOrder) {
        const uint32_t seed =
            command->seed != 0 ? command->seed
                               : static_cast<uint32_t>(
                                     std::chrono::system_clock::now().time_since_epoch().count());
        std::mt19937 random(seed);
        std::shuffle(openings.begin(), openings.end(), random);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    xq::InitAttackTable();
    xq::match::MatchCommand command;
    std::string error;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    switch (xq::match::ParseArguments(arguments, &command, &error)) {
        case xq::match::Parse::Help:
            std::fputs(xq::match::UsageText().c_str(), stdout);
            return 0;
        case xq::match::Parse::Error:
            std::fprintf(stderr, "lanchuan-match: %s\n(lanchuan-match --help lists the options)\n",
                         error.c_str());
            return 2;
        case xq::match::Parse::Run:
            break;
    }
    if (!LoadOpenings(&command, &error)) {
        std::fprintf(stderr, "lanchuan-match: %s\n", error.c_str());
        return 1;
    }
    CatchInterrupts();
    xq::match::Report report(command.settings, stdout);
    xq::host::MatchScore score;
    if (!xq::host::RunMatch(command.settings, report.Events(), stopRequested, &score, &error)) {
        std::fprintf(stderr, "lanchuan-match: %s\n", error.c_str());
        return 1;
    }
    report.Finish(score, command.latency);
    return 0;
}
