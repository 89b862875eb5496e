// Setting up positions, reading options, and the benchmark positions of xq-bench.
#include <cstdio>
#include <cstdlib>

#include "rules/fen.h"
#include "rules/game.h"
#include "rules/record.h"

#include "tools/bench/bench.h"

namespace xq::bench {

bool SetUp(std::string_view fen) {
    NewGame();
    std::string error;
    if (!ReadFen(fen, &error)) {
        std::fprintf(stderr, "xq-bench: bad FEN: %s\n", error.c_str());
        return false;
    }
    ResetAfterSetUp();
    return true;
}

bool ParseDepth(const char* text, int* depth, int maximum) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 1 || value > maximum) {
        std::fprintf(stderr, "xq-bench: depth must be 1..%d, not '%s'\n", maximum, text);
        return false;
    }
    *depth = static_cast<int>(value);
    return true;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

namespace {

// Takes "NAME VALUE" out of `args` and returns VALUE (empty when NAME is absent); false when
// VALUE is missing.
bool TakeOptionText(std::vector<std::string>* args, std::string_view name, std::string* value) {
    value->clear();
    for (size_t i = 0; i < args->size(); ++i) {
        if ((*args)[i] != name) continue;
        if (i + 1 >= args->size()) return false;
        *value = (*args)[i + 1];
        args->erase(args->begin() + static_cast<long>(i), args->begin() + static_cast<long>(i) + 2);
        return true;
    }
    return true;
}

}  // namespace

bool TakeSeed(std::vector<std::string>* args, uint64_t* seed) {
    std::string text;
    if (!TakeOptionText(args, "--seed", &text)) return false;
    if (text.empty()) return true;
    char* end = nullptr;
    *seed = std::strtoull(text.c_str(), &end, 10);
    return *end == '\0';
}

bool TakeNumberOption(std::vector<std::string>* args, std::string_view name, long* value) {
    std::string text;
    if (!TakeOptionText(args, name, &text)) return false;
    if (text.empty()) return true;
    char* end = nullptr;
    *value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0';
}

namespace {
constexpr BenchPosition kSearchPositions[] = {
    {"opening", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1", 6},
    {"central-gunner", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1", 6},
    {"developed", "r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKAB1R w - - 0 1", 6},
    {"middlegame-gunners", "1C2ka3/9/C1Nab1n2/p3p3p/6p2/9/P3P3P/3AB4/3p2c2/c1BAK4 w - - 0 1", 9},
    {"middlegame-check", "1cbak4/9/n2a5/2p1p3p/5cp2/2n2N3/6PCP/3AB4/2C6/3A1K1N1 w - - 0 1", 8},
    {"endgame-rook", "5a3/3k5/3aR4/9/5r3/5n3/9/3A1A3/5K3/2BC2B2 w - - 0 1", 9},
    {"endgame-knight-pawns", "2bak1b2/4a4/5n3/p1p6/9/9/P3P4/4B2N1/4A4/2BAK4 w - - 0 1", 8},
};
}  // namespace

const std::span<const BenchPosition> kSearchSuite(kSearchPositions);

void ThinkAtFixedDepth(int depth, IterationHook hook) {
    levelKind = kLevelFixedDepth;
    maxDepth = static_cast<uint8_t>(depth);
    timedThinking = 0;
    pondering = 0;
    iterationHook = hook;
    recordTop = 0;
    ThinkAndChoose(maxDepth);
    recordTop = -1;
    iterationHook = nullptr;
}

}  // namespace xq::bench
