// xq-bench master-uci: the 大师 engine behind the few UCI commands a match runner sends
// (uci, isready, ucinewgame, setoption Hash/Threads/Seed, position startpos|fen ... moves ...,
// go movetime|wtime/btime/winc/binc|depth, quit), so that tools/xq-match.py can measure the
// search without the game around it.
#include <cstdio>
#include <iostream>
#include <sstream>

#include "engine/master/engine.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "tools/bench/bench.h"

namespace xq::bench {

namespace {

struct UciState {
    master::Engine engine{64, 1};
    Position position{};
    std::vector<MoveRecord> history;
};

bool PlayIccs(Position& position, const std::string& text, std::vector<MoveRecord>* history) {
    Square from = 0;
    Square to = 0;
    if (!ParseIccs(text, &from, &to)) return false;
    const MoveRecord move = FindLegalMove(position, from, to);
    if (move.piece == Empty) return false;
    MakeMove(position, move, false);
    SwapSides(position);
    history->push_back(move);
    return true;
}

void SetPosition(UciState& state, std::istringstream& words) {
    std::string word;
    words >> word;
    std::string fen(kStartFen);
    if (word == "fen") {
        fen.clear();
        while (words >> word && word != "moves")
            fen += (fen.empty() ? "" : " ") + word;
    } else {
        words >> word;  // "moves", if any
    }
    state.history.clear();
    if (!ReadFen(state.position, fen, nullptr)) return;
    while (words >> word) {
        if (!PlayIccs(state.position, word, &state.history)) break;
    }
}

void Go(UciState& state, std::istringstream& words) {
    master::Limits limits;
    std::string word;
    double ours = 0;
    double increment = 0;
    const bool red = state.position.sideToMove == Red;
    while (words >> word) {
        double value = 0;
        if (!(words >> value)) break;
        if (word == "movetime") limits.hardSeconds = limits.softSeconds = value / 1000 * 0.9;
        if (word == "depth") limits.depth = static_cast<int>(value);
        if (word == (red ? "wtime" : "btime")) ours = value / 1000;
        if (word == (red ? "winc" : "binc")) increment = value / 1000;
    }
    if (ours > 0) {
        limits.softSeconds = ours / 30 + increment * 0.6;
        limits.hardSeconds = std::min(ours * 0.4, limits.softSeconds * 3);
        limits.softSeconds *= 0.6;
    }
    state.engine.SetPosition(state.position, state.history);
    const master::SearchResult result =
        state.engine.Search(limits, [](const master::SearchReport& report) {
            std::printf("info depth %d seldepth %d score cp %d nodes %llu time %.0f pv",
                        report.depth, report.selDepth, report.score,
                        static_cast<unsigned long long>(report.nodes), report.seconds * 1000);
            for (const MoveRecord& move : report.pv)
                std::printf(" %s", FormatIccs(move).c_str());
            std::printf("\n");
        });
    std::printf("bestmove %s\n",
                result.best.piece != Empty ? FormatIccs(result.best).c_str() : "(none)");
    std::fflush(stdout);
}

}  // namespace

int RunMasterUci(const std::vector<std::string>& /*args*/) {
    UciState state;
    ReadFen(state.position, kStartFen, nullptr);
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "uci") {
            std::printf(
                "id name 大师 (xq-bench)\noption name Seed type spin default 0 min 0 max "
                "1000000000\noption name OwnBook type check default false\nuciok\n");
        } else if (command == "isready") {
            std::printf("readyok\n");
        } else if (command == "ucinewgame") {
            state.engine.NewGame();
        } else if (command == "setoption") {
            std::string name, value, word;
            words >> word >> name >> word >> value;
            if (name == "Seed") state.engine.SetSeed(std::stoull(value));
            if (name == "Threads") state.engine.SetThreads(std::stoi(value));
            if (name == "Hash") state.engine.SetHashSize(std::stoul(value));
        } else if (command == "position") {
            SetPosition(state, words);
        } else if (command == "go") {
            Go(state, words);
        } else if (command == "quit") {
            break;
        }
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace xq::bench
