#include "records/gamelog.h"

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include "engine/flow.h"
#include "engine/search.h"
#include "engine/think.h"
#include "platform/display.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "records/notation.h"
#include "rules/board.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/record.h"

namespace xq {

bool loggingOn = false;

namespace {

constexpr char kProgramName[] = "澜川中国象棋";

std::FILE* logStream = nullptr;

// A move text in GBK; question marks of the same width should the conversion ever fail.
std::string GbkMove(const MoveRecord& move, Side mover) {
    const std::string text = FormatMove(move, mover);
    return Utf8ToGbk(text).value_or(std::string(move.piece == Empty ? text.size() : 8, '?'));
}

// "<program name> YYYY-MM-DD HH:MM:SS", the local date and time of now; nothing when the text
// cannot be converted to GBK.
std::optional<std::string> Banner() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    return Utf8ToGbk(std::string(kProgramName) + " " + when + "\n");
}

}  // namespace

std::filesystem::path LogFile() {
    const std::filesystem::path folder = StateFolder();
    return folder.empty() ? folder : folder / kLogFileName;
}

void InitGameLog() {
    static bool done = false;
    if (done) return;
    done = true;
    AddNewGameHook(WriteLogHeader);
    engineMoveLogHook = WriteLogLine;
}

void OpenGameLog(const std::filesystem::path& file) {
    CloseGameLog();
    // 1. Start the file afresh; a log that cannot be written in GBK is not started either.
    const std::optional<std::string> banner = Banner();
    logStream = file.empty() || !banner ? nullptr : std::fopen(file.c_str(), "w");
    // 2. Without a file, no log for this run.
    if (logStream == nullptr) {
        loggingOn = false;
        MessageBox(Tr(kLogOpenFailedText), Tr(kBoxCaption), BoxIcon::Exclamation);
        return;
    }
    loggingOn = true;
    // 3. The banner, on disk at once.
    std::fputs(banner->c_str(), logStream);
    std::fflush(logStream);
}

void WriteLogHeader() {
    if (!loggingOn || demoMode) return;
    std::fputs(kLogHeader, logStream);
}

void WriteLogLine() {
    if (!loggingOn || demoMode) return;
    const Side engineSide = otherSide;
    const std::string program = GbkMove(bestLine[0], engineSide);
    // 1. The full move that the engine's move belongs to.
    std::fprintf(logStream, "%3d. ", (plyCount + 1) / 2);
    // 2. The user's move and the engine's; an engine opening the game as Red answered nothing.
    if (lastPlayerMove.piece == Empty && engineSide == Red) {
        std::fprintf(logStream, "%8.8s ", program.c_str());
    } else {
        const std::string player = GbkMove(lastPlayerMove, sideToMove);
        std::fprintf(logStream, "%s%8.8s", player.c_str(), program.c_str());
    }
    // 3. The reply expected, the score in Pawns, depth and root moves.
    const std::string hint = GbkMove(bestLine[1], sideToMove);
    std::fprintf(logStream, "    (%s)%9.2f%3d:%2d", hint.c_str(), searchScore / 256.0,
                 iterationDepth, rootMoveCount);
    // 4. Nodes.
    std::fprintf(logStream, "%12.1f", static_cast<double>(nodeCount));
    // 5. Seconds of the search.
    std::fprintf(logStream, "%8.1lf\n", searchClock.elapsed);
}

void CloseGameLog() {
    if (!loggingOn) return;
    std::fclose(logStream);
    logStream = nullptr;
    loggingOn = false;
}

}  // namespace xq
