// Shared pieces of the xq-bench commands: setting up positions, reading options and the fixed
// positions of the search benchmarks.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/think.h"

namespace xq::bench {

int Usage();

// A new game, then the position of `fen` as a set-up position; false (with a message) on bad FEN.
bool SetUp(std::string_view fen);
bool ParseDepth(const char* text, int* depth, int maximum = 12);
double MillisecondsSince(std::chrono::steady_clock::time_point start);

// Take "--seed N" or "NAME VALUE" out of `args`; false when the value is missing or not a number.
bool TakeSeed(std::vector<std::string>* args, uint64_t* seed);
bool TakeNumberOption(std::vector<std::string>* args, std::string_view name, long* value);

// The positions of the search benchmarks: openings, middlegames and endgames.
struct BenchPosition {
    const char* name;
    const char* fen;
    int depth;  // a depth at which the search takes a second or more
};
extern const std::span<const BenchPosition> kSearchSuite;

// One search at the fixed-depth level from the current position, untimed; `hook` runs after
// every iteration.
void ThinkAtFixedDepth(int depth, IterationHook hook);

int RunPerft(const std::vector<std::string>& args);
int RunDivide(const std::vector<std::string>& args);
int RunMoves(const std::vector<std::string>& args);
int RunPlay(const std::vector<std::string>& args);
int RunQueue(const std::vector<std::string>& args);
int RunSearch(std::vector<std::string> args);
int RunSearchSuite(std::vector<std::string> args);
int RunMaster(std::vector<std::string> args);
int RunMasterSuite(std::vector<std::string> args);
int RunMasterUci(const std::vector<std::string>& args);
int RunDemo(std::vector<std::string> args);
int RunPump(std::vector<std::string> args);
int RunStopLatency(const std::vector<std::string>& args);
int RunSoak(std::vector<std::string> args);
int RunPgn(std::vector<std::string> args);
int RunGameFile(const std::vector<std::string>& args);
int RunAnalyse(std::vector<std::string> args);

}  // namespace xq::bench
