// The commands of the normal menu bar that need no toolkit: the game's files, the hint, taking
// back and replaying, the levels, the engine, two-player mode, the demonstration, sound, the
// board's orientation and the best line. Each is registered with the main window's procedure, so
// the window, the tests and the headless tools run the same handlers through RunCommand. What they
// show in the menus (greyed items, check marks, captions) goes through the Display's menu calls;
// what needs a dialog comes in through the hooks below, which the window fills with its file
// dialogs and the tools with scripted answers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/enginechoice.h"
#include "platform/texts.h"  // the texts the window reports
#include "records/pgn.h"

namespace xq {

// The component names of the level items, by levelKind.
inline constexpr std::string_view kLevelItemNames[7] = {
    "MoveTime", "TotalTime", "Easy", "Infinite", "Ply1", "Mate", "Matching"};
// The name of the level item of `level` (a levelKind); any value outside 0..6 means "容易".
std::string_view LevelItemName(uint8_t level);

// The component names of the engine items, by EngineKind, and of the added engines' items, by
// their place in addedEngines ("AddedEngine0", ...).
inline constexpr std::string_view kEngineItemNames[2] = {"EngineClassic", "EngineMaster"};
std::string AddedEngineItemName(size_t index);

// The level kept while two-player mode forces level 0.
extern uint8_t savedLevel;

// The file dialogs: each returns the chosen file name, or an empty one when the user cancelled.
// Unset, they cancel.
using FileChooser = std::string (*)();
extern FileChooser chooseGameToRestore;  // the open dialog of "恢复"
extern FileChooser chooseGameToSave;     // the save dialog of "保存" and "另存为..."
// The list of a file of many games: the number (from 1) of the game the user chose, 0 for none.
// Unset, the first game is taken.
using GameListChooser = size_t (*)(const std::vector<PgnEntry>& games);
extern GameListChooser chooseGameFromList;
// The game's file: the one it was last saved as or restored from ("保存" writes there while
// gameUnnamed is clear).
extern std::string savedGameName;

// The answers to "棋局已改变，保存吗？", asked before a command drops a game that has changes no
// file keeps. Unset (the tools, most tests), the changes are dropped without a question.
enum class SaveAnswer { Save, Discard, Cancel };
using SaveQuestion = SaveAnswer (*)();
extern SaveQuestion askToSaveChanges;

// Before "新建", "恢复", "导入棋谱...", "粘贴局面" and "退出": asks when the game has changed since
// it was begun, saved, restored or imported; "保存" then saves as the menu's "保存" does. True when
// the command may go on (nothing to keep, "不保存", or the game saved); false on "取消", on a save
// dialog cancelled and on a save that failed (after its error).
bool KeepChangesFirst();

// A file handed to the program from outside (its command line, the file manager): a game file
// (IsGameFile) is restored as "恢复" restores the file chosen, anything else is imported as
// "导入棋谱..." imports it, from a file of many games the one chosen in its list. A file refused
// gets the same error as from the menu, and then the game is a new one, as it is when the list
// is closed without a choice. Nothing is asked: the program has only just started.
void OpenGivenFile(const std::string& name);

// Registers every handler below with the main window's procedure.
void RegisterMenuCommands();

// "悔棋" and "重下" greyed exactly when the game has nothing to take back or to replay.
void ShowTakeBackAndReplay();

// The level items' shared step: the check mark on the item of `level` and on no other level item;
// then levelKind = `level`.
void ChangeLevel(uint8_t level);
// What OK of a time level's dialog does with its number (level 0 or 1): a value IsLevelTime takes
// becomes levelTime, each side's used time the full moves played times it, and the depth limit
// 45. Returns false, changing nothing, for any other value.
bool ChooseTimeLevel(uint8_t level, double value);
// What OK of the depth dialog does with its number: at least 1 becomes maxDepth, at most 45.
// Returns false, changing nothing, below 1.
bool ChooseDepthLevel(int64_t plies);

// The engine items' shared step: the check mark on the item of `kind` and off the others (the
// added engines' too); then engineKind = `kind`, and an added engine's process is ended. The
// choice is kept in chess.ini with the other settings.
void ChooseEngine(EngineKind kind);
// The same for the added engine at `index` of addedEngines (its process starts on its first
// search).
void ChooseAddedEngine(size_t index);
// The check marks of the engine items as engineKind and addedEngineName have them (after the
// list of added engines changed).
void CheckChosenEngineItem();

// The handlers, named after their items.
void NewGameMenuCommand();    // "新建"
void RestoreGameCommand();    // "恢复"
void SaveGameCommand();       // "保存"
void SaveGameAsCommand();     // "另存为..."
void PassCommand();           // "对弈"
void HintCommand();           // "提示"
void TakeBackCommand();       // "悔棋"
void ReplayCommand();         // "重下"
void EasyCommand();           // "容易"
void MatchingCommand();       // "匹配"
void UnlimitedCommand();      // "无限制"
void MateSearchCommand();     // "将死搜索"
void TwoPlayerCommand();      // "两人对弈" / "单独对弈"
void DemoCommand();           // "演示模式"
void SoundCommand();          // "声音"
void ReverseCommand();        // "反转棋盘"
void BestPathCommand();       // "最好路线"
void ClassicEngineCommand();  // "引擎" > "标准"
void MasterEngineCommand();   // "引擎" > "大师"

// "从此处继续": the game back to the position `plies` plies before its last, on the take-back path
// of "悔棋", so that "重下" plays them again; false (nothing changed) when the record no longer
// holds them all.
bool TakeBackPliesCommand(int plies);

}  // namespace xq
