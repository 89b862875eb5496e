// The game log: a plain-text file, in GBK, started afresh at every run, with a banner, a column
// header at every new game and one line for every move the engine plays against the user: the
// move it answered, its own move, the reply it expects, its evaluation, the depth reached, the
// nodes searched and the time taken. Nothing in the program reads it back.
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/texts.h"  // the texts the window reports

namespace xq {

inline constexpr char kLogFileName[] = "Chess.log";
inline constexpr char kLogHeader[] =
    "\n No  Player Program      Hint      Value Level       Nodes    Time\n";

// Set while the log is open; cleared for the rest of the run when it cannot be opened, and when
// it is closed.
extern bool loggingOn;

// Chess.log in the state folder (empty when there is no state folder).
std::filesystem::path LogFile();

// Registers WriteLogHeader with NewGame and WriteLogLine with the game flow; later calls do
// nothing.
void InitGameLog();

// Opens `file` afresh (truncating it), writes the banner (the program's name and the date and time
// of the start) and flushes. When the file cannot be opened: the warning box
// kLogOpenFailedText and no logging for the rest of the run. The game is not affected.
void OpenGameLog(const std::filesystem::path& file);

// The column header, after an empty line. Nothing in a demonstration.
void WriteLogHeader();

// The line for the engine's move just played (bestLine[0], by otherSide, plyCount counting it):
// the full-move number, the user's last move and the engine's, the expected reply (bestLine[1]),
// searchScore in Pawns, iterationDepth:rootMoveCount, nodeCount and the search's seconds. Column
// widths count GBK bytes. Nothing in a demonstration.
void WriteLogLine();

// Flushes and closes the log; nothing is logged afterwards.
void CloseGameLog();

}  // namespace xq
