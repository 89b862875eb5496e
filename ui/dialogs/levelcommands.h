// The level commands that ask for a number: "每次移动时间...", "总时间" and "回合搜索". Each fills
// its dialog's edit with the current value (the time with two decimals, or more when two would
// change it), shows the dialog modally and, on OK, checks the typed
// text and sets the level; Cancel changes nothing. A wrong entry is reported through
// ReportDialogError and changes nothing either. The values are set, and the check mark moved, by
// the core's level choices (records/menucommands.h).
#pragma once

#include <QtGlobal>

#include <string_view>

namespace xq {

class TInputSecPerMoveDlg;
class TInputMinPerGameDlg;
class TInputPlyDlg;

inline constexpr char kBadTimeText[] = QT_TRANSLATE_NOOP("LevelCommands", "时间不正确。请重输。");
// For a time above the longest a level takes (kLongestLevelTime, 1000).
inline constexpr char kTooManySecondsText[] =
    QT_TRANSLATE_NOOP("LevelCommands", "时间不正确：每次移动最多 1000 秒。请重输。");
inline constexpr char kTooManyMinutesText[] =
    QT_TRANSLATE_NOOP("LevelCommands", "时间不正确：每局最多 1000 分钟。请重输。");
inline constexpr char kBadDepthText[] = QT_TRANSLATE_NOOP("LevelCommands", "数据不正确。请重输。");

void MoveTimeCommand(TInputSecPerMoveDlg& dialog);
void TotalTimeCommand(TInputMinPerGameDlg& dialog);
void PlyCommand(TInputPlyDlg& dialog);

// What OK does with the typed text (UTF-8).
// Seconds per move: the text's leading number (none reads as 0) must be a finite number above 0
// and at most 1000 (kTooManySecondsText above that); it becomes levelTime, each side's used time
// becomes the full moves played times it, and the depth limit is lifted to 45.
void AcceptSecondsPerMove(std::string_view text);
// Minutes per game: the same, for the level of minutes per game (kTooManyMinutesText).
void AcceptMinutesPerGame(std::string_view text);
// Depth in plies: a whole number of at least 1 becomes maxDepth, at most 45. A text that is not a
// whole number gets the conversion error's message box.
void AcceptPlies(std::string_view text);

}  // namespace xq
