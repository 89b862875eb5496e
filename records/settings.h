// The settings kept from one run to the next in chess.ini (section CHESS): the level, its time
// value, the board colour, the depth limit, the sound switch and the engine. This module owns the
// keys and their built-in values, and the board's look that the window reads.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/enginechoice.h"
#include "engine/think.h"

namespace xq {

// The colour of the board squares. In chess.ini it is one integer R + 256 G + 65536 B.
struct BoardColor {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    bool operator==(const BoardColor&) const = default;
};

// The values a level, its time value and a depth limit may take, wherever they are read from.
inline constexpr uint8_t kDeepestSearch = 45;
constexpr bool IsLevel(uint8_t level) {
    return level <= kLevelMatching;
}
constexpr bool IsDepthLimit(uint8_t depth) {
    return depth >= 1 && depth <= kDeepestSearch;
}
// Seconds per move or minutes per game. The bound keeps every derived time within what a game
// file holds and the clock shows: both sides' used time, set to the full moves played times the
// value, stays within the billion seconds a file allows in the longest game it may hold.
inline constexpr double kLongestLevelTime = 1000;
inline bool IsLevelTime(double value) {
    return std::isfinite(value) && value > 0 && value <= kLongestLevelTime;
}
// The time value as text with `decimals` decimals when that reads back as the same number,
// otherwise the shortest text that does (as "1e-07"): what is shown or written is what was
// chosen, and every reader of numbers here takes either form.
std::string LevelTimeText(double value, int decimals);

inline constexpr uint8_t kDefaultSoundOn = 1;
inline constexpr BoardColor kDefaultSquareColor{0, 128, 0};

extern BoardColor colorSquare;
extern uint8_t boardReversed;  // the board is drawn with Black at the bottom

// The engine in chess.ini: the classic one, the 大师 engine, or an added engine, whose name is
// kept beside it (key AddedEngine).
inline constexpr int kClassicEngineSetting = 0;
inline constexpr int kMasterEngineSetting = 1;
inline constexpr int kAddedEngineSetting = 2;
inline constexpr size_t kLongestEngineName = 255;

inline constexpr char kSettingsFileName[] = "chess.ini";
inline constexpr char kSettingsSection[] = "CHESS";

// chess.ini in the settings folder (empty when there is no settings folder).
std::filesystem::path SettingsFile();

// Every setting of the engine and the game back at its built-in value, as at start-up before
// chess.ini is read: the piece values, the level, its time value and the depth limit, the board
// colour and orientation, the sound and best-line switches, two-player and demonstration mode
// off, the classic engine chosen, and the engine at rest (no timed thinking, pondering, time limit,
// stop or last score). The game itself (position, record, clocks, sides) is NewGame's.
void Reset();

// Reads Level, AverageTime, ColorSquare, MaxLevel, SoundOn, Engine and AddedEngine, in that order,
// into levelKind, levelTime, colorSquare, maxDepth, soundOn, engineKind and addedEngineName. A
// missing file or key gives the built-in value, and so does a value out of range: a level outside
// 0..6 (the integer's low byte is the level, so 258 reads as 2), a time that IsLevelTime refuses, a
// depth outside 1..45 (also taken from the low byte), a colour that is not a number, an engine
// other than 0, 1 or 2 (2 with an empty AddedEngine). An empty colour keeps the colour. An added
// engine's name is taken as it is: whether the list still has it is KeepChosenEngineValid's
// question.
void ReadSettings(const std::filesystem::path& file);
// The player's choice of language in chess.ini (key Language): "zh_CN", "zh_TW" or "en"; an
// empty text, for a missing key or any other value, means the desktop's language. Written only
// when the player chooses, so that a file without the key goes on following the desktop.
inline constexpr const char* kLanguageCodes[] = {"zh_CN", "zh_TW", "en"};
std::string ReadLanguageSetting(const std::filesystem::path& file);
// False when the file could not be written.
bool WriteLanguageSetting(const std::filesystem::path& file, std::string_view code);

// The folder of the game file the player chose last in a file dialog (key LastFolder), where the
// next run's dialogs open; empty for a missing key. The value is written in double quotes, so that
// blanks at its ends survive; a folder whose name holds a line break is not written (false).
std::string ReadLastFolderSetting(const std::filesystem::path& file);
bool WriteLastFolderSetting(const std::filesystem::path& file, std::string_view folder);

// Whether the board shows the analysis's arrows (key AnalysisArrows, 1 or 0): on unless the file
// says 0. Written only when the player switches them.
bool ReadArrowsSetting(const std::filesystem::path& file);
bool WriteArrowsSetting(const std::filesystem::path& file, bool shown);

// Closes the game log (the window is closing), then writes ColorSquare, Level, AverageTime,
// MaxLevel, SoundOn, Engine and, for an added engine, AddedEngine, in that order, each as a text
// value (the time with six decimals, or as LevelTimeText has it when six decimals would change it);
// every other line of the file stays as it was. Write failures are not reported.
void WriteSettings(const std::filesystem::path& file);

}  // namespace xq
