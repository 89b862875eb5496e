// xq-bench commands on the search: one position, or the fixed benchmark suite.
#include <cstdio>

#include "engine/search.h"
#include "platform/random.h"
#include "rules/fen.h"

#include "tools/bench/bench.h"

namespace xq::bench {

namespace {

std::chrono::steady_clock::time_point searchStarted;
bool showLine = false;

void PrintIteration() {
    const std::string move = bestLine[0].piece != Empty ? FormatIccs(bestLine[0]) : "none";
    std::printf("search %d %llu %.0f %d %s", iterationDepth,
                static_cast<unsigned long long>(nodeCount), MillisecondsSince(searchStarted),
                searchScore, move.c_str());
    if (showLine) {
        std::printf(" line");
        for (int k = 0; k < kLineLength && bestLine[k].piece != Empty; ++k)
            std::printf(" %s", FormatIccs(bestLine[k]).c_str());
    }
    std::printf("\n");
    std::fflush(stdout);
}

// Runs one fixed-depth search from `fen`; returns false on a bad FEN.
bool BenchSearch(std::string_view fen, int depth, uint64_t seed, uint64_t* nodes, double* ms) {
    if (!SetUp(fen)) return false;
    SeedRandom(seed);
    searchStarted = std::chrono::steady_clock::now();
    ThinkAtFixedDepth(depth, PrintIteration);
    *nodes = nodeCount;
    *ms = MillisecondsSince(searchStarted);
    return true;
}

// Takes "--line" out of `args`.
void TakeLineOption(std::vector<std::string>* args) {
    for (size_t i = 0; i < args->size(); ++i) {
        if ((*args)[i] != "--line") continue;
        showLine = true;
        args->erase(args->begin() + static_cast<long>(i));
        return;
    }
}
}  // namespace

int RunSearch(std::vector<std::string> args) {
    uint64_t seed = 1;
    int depth = 0;
    TakeLineOption(&args);
    if (!TakeSeed(&args, &seed) || args.empty() || args.size() > 2 ||
        !ParseDepth(args[0].c_str(), &depth, kLineLength)) {
        return Usage();
    }
    uint64_t nodes = 0;
    double ms = 0;
    return BenchSearch(args.size() == 2 ? args[1] : std::string(kStartFen), depth, seed, &nodes,
                       &ms)
               ? 0
               : 1;
}

int RunSearchSuite(std::vector<std::string> args) {
    uint64_t seed = 1;
    int depth = 0;  // 0: each position's own depth
    if (!TakeSeed(&args, &seed) || args.size() > 1 ||
        (args.size() == 1 && !ParseDepth(args[0].c_str(), &depth, kLineLength))) {
        return Usage();
    }
    uint64_t totalNodes = 0;
    double totalMs = 0;
    for (const BenchPosition& position : kSearchSuite) {
        std::printf("position %s\n", position.name);
        uint64_t nodes = 0;
        double ms = 0;
        if (!BenchSearch(position.fen, depth > 0 ? depth : position.depth, seed, &nodes, &ms))
            return 1;
        std::printf("total %s %llu nodes %.0f ms %.0f knodes/s\n", position.name,
                    static_cast<unsigned long long>(nodes), ms, ms > 0 ? nodes / ms : 0.0);
        totalNodes += nodes;
        totalMs += ms;
    }
    std::printf("suite: %llu nodes %.0f ms %.0f knodes/s\n",
                static_cast<unsigned long long>(totalNodes), totalMs,
                totalMs > 0 ? totalNodes / totalMs : 0.0);
    return 0;
}

}  // namespace xq::bench
