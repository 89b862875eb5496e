// What every fuzz target shares: the core set up once, a check that stops the run on a wrong
// result (libFuzzer then keeps the input as a crash), a scratch file per process, and a snapshot
// of the position that a reader promises to leave as it found it.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "engine/startup.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/movegen.h"
#include "rules/record.h"
#include "rules/setupcheck.h"
#include "tests/support/game_state.h"

namespace xq::fuzz {

// A reader gave a result that contradicts what it promises: report it and abort, so that the
// fuzzer saves the input that led here.
[[noreturn]] inline void WrongResult(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "wrong result: %s", what);
    if (!detail.empty()) std::fprintf(stderr, " (%.*s)", int(detail.size()), detail.data());
    std::fputc('\n', stderr);
    std::abort();
}

inline void Require(bool holds, const char* what, std::string_view detail = {}) {
    if (!holds) WrongResult(what, detail);
}

// The rules' tables and the engine's new-game resets, then a new game at the opening array.
inline void InitCore() {
    InitAttackTable();
    InitEngine();
    NewGame();
}

// The position a reader that keeps it must give back byte for byte: the one the unit tests compare.
using PositionSnapshot = testing::PositionState;

// The set-up checks the position editor runs: empty when the current position passes them.
inline std::string SetUpError() {
    std::string error = SetUpCountError();
    if (error.empty()) error = SetUpPlacementError();
    return error;
}

// A file of this process's own for readers that take a path: in memory (/dev/shm) where there is
// such a folder, since the writers sync every file they replace.
inline std::filesystem::path ScratchFile(const char* name) {
    std::error_code ignored;
    std::filesystem::path folder = "/dev/shm";
    if (!std::filesystem::is_directory(folder, ignored))
        folder = std::filesystem::temp_directory_path(ignored);
    return folder / ("xq-fuzz-" + std::to_string(::getpid()) + "-" + name);
}

inline void WriteWholeFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Require(static_cast<bool>(out), "the scratch file could not be written", file.string());
}

inline std::string ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Removes the scratch file when the process ends normally (libFuzzer's -runs and
// -max_total_time end through exit()).
inline void RemoveAtExit(const std::filesystem::path& file) {
    static std::filesystem::path kept;
    kept = file;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove(kept, ignored);
    });
}

}  // namespace xq::fuzz
