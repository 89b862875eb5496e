// xq-bench commands on the 大师 engine: one search, the search suite (node rate and time to
// depth, with any number of threads) and the gain of a second thread.
#include <cstdio>

#include "engine/master/engine.h"
#include "rules/fen.h"
#include "tools/bench/bench.h"

namespace xq::bench {

namespace {

constexpr int kMasterMaxDepth = 60;
constexpr int kMasterSuiteDepth = 10;

struct MasterOptions {
    long threads = 1;
    long hash = 64;
    bool showLine = false;
};

bool TakeMasterOptions(std::vector<std::string>* args, MasterOptions* options) {
    for (size_t i = 0; i < args->size(); ++i) {
        if ((*args)[i] != "--line") continue;
        options->showLine = true;
        args->erase(args->begin() + static_cast<long>(i));
        break;
    }
    return TakeNumberOption(args, "--threads", &options->threads) &&
           TakeNumberOption(args, "--hash", &options->hash) && options->threads >= 1 &&
           options->threads <= 64 && options->hash >= 1;
}

struct Outcome {
    uint64_t nodes = 0;
    double ms = 0;
    master::SearchResult result;
};

// One search of a fresh engine to `depth`, printing a line per iteration when `verbose`.
bool MasterSearch(std::string_view fen, int depth, const MasterOptions& options, bool verbose,
                  Outcome* outcome) {
    Position position{};
    std::string error;
    if (!ReadFen(position, fen, &error)) {
        std::fprintf(stderr, "bad FEN: %s\n", error.c_str());
        return false;
    }
    master::Engine engine(static_cast<size_t>(options.hash), static_cast<int>(options.threads));
    engine.SetPosition(position, {});
    master::Limits limits;
    limits.depth = depth;
    const auto started = std::chrono::steady_clock::now();
    outcome->result = engine.Search(limits, [&](const master::SearchReport& report) {
        if (!verbose) return;
        std::printf("master %d %llu %.0f %d %s", report.depth,
                    static_cast<unsigned long long>(report.nodes), MillisecondsSince(started),
                    report.score, report.pv.empty() ? "none" : FormatIccs(report.pv[0]).c_str());
        if (options.showLine) {
            std::printf(" line");
            for (const MoveRecord& move : report.pv)
                std::printf(" %s", FormatIccs(move).c_str());
        }
        std::printf("\n");
        std::fflush(stdout);
    });
    outcome->ms = MillisecondsSince(started);
    outcome->nodes = outcome->result.nodes;
    return true;
}

}  // namespace

int RunMaster(std::vector<std::string> args) {
    MasterOptions options;
    int depth = 0;
    if (!TakeMasterOptions(&args, &options) || args.empty() || args.size() > 2 ||
        !ParseDepth(args[0].c_str(), &depth, kMasterMaxDepth)) {
        return Usage();
    }
    Outcome outcome;
    return MasterSearch(args.size() == 2 ? args[1] : std::string(kStartFen), depth, options, true,
                        &outcome)
               ? 0
               : 1;
}

int RunMasterSuite(std::vector<std::string> args) {
    MasterOptions options;
    int depth = kMasterSuiteDepth;
    if (!TakeMasterOptions(&args, &options) || args.size() > 1 ||
        (args.size() == 1 && !ParseDepth(args[0].c_str(), &depth, kMasterMaxDepth))) {
        return Usage();
    }
    uint64_t totalNodes = 0;
    double totalMs = 0;
    for (const BenchPosition& position : kSearchSuite) {
        Outcome outcome;
        if (!MasterSearch(position.fen, depth, options, false, &outcome)) return 1;
        std::printf("master %s depth %d %llu nodes %.0f ms %.0f knodes/s score %d move %s\n",
                    position.name, depth, static_cast<unsigned long long>(outcome.nodes),
                    outcome.ms, outcome.ms > 0 ? outcome.nodes / outcome.ms : 0.0,
                    outcome.result.score,
                    outcome.result.best.piece ? FormatIccs(outcome.result.best).c_str() : "none");
        std::fflush(stdout);
        totalNodes += outcome.nodes;
        totalMs += outcome.ms;
    }
    std::printf("master-suite: depth %d threads %ld %llu nodes %.0f ms %.0f knodes/s\n", depth,
                options.threads, static_cast<unsigned long long>(totalNodes), totalMs,
                totalMs > 0 ? totalNodes / totalMs : 0.0);
    return 0;
}

}  // namespace xq::bench
