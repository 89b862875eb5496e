// xq-bench soak: random sequences of what a user does through the board and the menus, run on the
// core alone, with the position, the game record, what can be taken back or replayed and the menu
// bar checked after every action.
//
// Every item of the normal menu whose handler is in the core is a row of kMenuRows (the position
// editor's run in the set-up action, from "摆子" to "完成" or "忽略"; the mouse mode's and the
// clipboard and exchange items have their handlers in the window) and is chosen only while the
// window would let a user click it (SoakMenus keeps the bar as the core's menu calls leave it); its
// command runs through the main window's procedure and the real handler. What a dialog would ask is
// answered by script: file names from a folder of the soak's own (saved games, a missing file, a
// file that is no game, a folder that does not exist, cancel), numbers for the level dialogs given
// to the core's level choices, piece values and colours as their dialogs set them; "退出" writes
// the settings and starts again as the program would. While the engine searches, the native-event
// pull plays the user: a click on the predicted reply or on another move, or a menu item, while the
// engine ponders, "停止" while it thinks on its own move. Searches see a clock that runs 10 ms per
// read.
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <span>
#include <string>

#include "engine/commands.h"
#include "engine/editor.h"
#include "engine/evaluation.h"
#include "engine/flow.h"
#include "engine/search.h"
#include "engine/think.h"
#include "engine/windowprocedure.h"
#include "platform/messages.h"
#include "platform/random.h"
#include "platform/timeofday.h"
#include "records/gamefile.h"
#include "records/menucommands.h"
#include "records/settings.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/movegen.h"
#include "rules/record.h"

#include "tools/bench/bench.h"
#include "tools/bench/soakmenus.h"

namespace xq::bench {

namespace {

// A click's x names how the window picks the move when the click is handed to it, on the position
// it then shows.
constexpr int32_t kClickPredictedReply = -1;  // the reply above recordTop while pondering
constexpr int32_t kClickRandomMove = -2;      // any legal move of the side to move

// One menu item: its top-level menu, its component name, its command, and how often a user picks
// it (in parts of kMenuWeight). A command whose handler is in the core is one more row.
struct MenuRow {
    const char* menu;
    const char* item;
    int32_t command;
    int weight;
};
constexpr MenuRow kMenuRows[] = {
    {"Game", "NewChessGame1", kCommandNewGame, 3},
    {"Game", "RestoreGame1", kCommandRestore, 3},
    {"Game", "SaveGame1", kCommandSave, 2},
    {"Game", "SaveGameAs1", kCommandSaveAs, 2},
    {"Game", "Exit1", kCommandExit, 1},
    {"Game", "Pass", kCommandPass, 6},
    {"Game", "Hint1", kCommandHint, 6},
    {"Game", "About", kCommandAbout, 1},
    {"Edit", "UndoMove", kCommandTakeBack, 10},
    {"Edit", "RedoUndo", kCommandReplay, 8},
    {"Level1", "Easy", kCommandLevelEasy, 1},
    {"Level1", "MoveTime", kCommandLevelPerMove, 1},
    {"Level1", "TotalTime", kCommandLevelPerGame, 1},
    {"Level1", "Matching", kCommandLevelMatching, 1},
    {"Level1", "Infinite", kCommandLevelUnlimited, 1},
    {"Level1", "Ply1", kCommandLevelFixedDepth, 3},
    {"Level1", "Mate", kCommandLevelMateSearch, 1},
    {"Options", "TwoPlayer", kCommandTwoPlayer, 2},
    {"Options", "Demo", kCommandDemo, 1},
    {"Options", "PieceValues", kCommandPieceValues, 1},
    {"Options", "Sound", kCommandSound, 1},
    {"Options", "EngineClassic", kCommandEngineClassic, 1},
    {"Options", "EngineMaster", kCommandEngineMaster, 1},
    {"Display", "Colors", kCommandColour, 1},
    {"Display", "Reverse", kCommandReverseBoard, 1},
    {"Display", "BestPath", kCommandBestPath, 1},
};
constexpr int kMenuWeight = [] {
    int sum = 0;
    for (const MenuRow& row : kMenuRows)
        sum += row.weight;
    return sum;
}();
// Of 100 actions: a move clicked on the board, a position set up as the editor sets one up, and
// otherwise a menu item.
constexpr int kClickPercent = 40;
constexpr int kSetUpPercent = 3;

std::mt19937_64 soakRandom;
SoakMenus menus;
std::filesystem::path soakFolder;
long errorsReported = 0;
bool restoreChosen = false;  // the last "恢复" named a file

int Below(int n) {
    return static_cast<int>(soakRandom() % static_cast<uint64_t>(n));
}

bool Chance(int percent) {
    return Below(100) < percent;
}

template <typename T>
const T& Pick(std::span<const T> choices) {
    return choices[static_cast<size_t>(Below(static_cast<int>(choices.size())))];
}

MoveRecord RandomLegalMove() {
    const std::vector<MoveRecord> legal = LegalMoves();
    return legal.empty() ? NullMove : legal[Below(static_cast<int>(legal.size()))];
}

Message Click(int32_t how) {
    Message message;
    message.kind = MessageKind::LeftButtonDown;
    message.x = how;
    return message;
}

Message MenuCommand(int32_t command) {
    Message message;
    message.kind = MessageKind::Command;
    message.command = command;
    return message;
}

// The board window: a click completes a move chosen as its x says.
void SoakClick(const Message& message) {
    MoveRecord move = NullMove;
    if (message.x == kClickPredictedReply && pondering) move = GameRecord[recordTop + 1];
    if (move.piece == Empty) move = RandomLegalMove();
    if (move.piece == Empty || gameOver) return;
    HandleBoardMove(move.from, move.to);
}

// A menu row the user could click now, chosen by weight; nullptr when the one drawn is greyed.
const MenuRow* DrawMenuRow() {
    int roll = Below(kMenuWeight);
    for (const MenuRow& row : kMenuRows) {
        roll -= row.weight;
        if (roll < 0) return menus.Offers(row.menu, row.item) ? &row : nullptr;
    }
    return nullptr;
}

// The user at the board while the engine searches.
void PullUserActions() {
    if (MessagesPending()) return;
    if (pondering && Chance(30)) {
        if (Chance(10)) {
            if (const MenuRow* row = DrawMenuRow()) PostMessage(MenuCommand(row->command));
            return;
        }
        PostMessage(Click(Chance(50) ? kClickPredictedReply : kClickRandomMove));
    } else if (timedThinking && computerThinking && Chance(5)) {
        PostMessage(MenuCommand(kCommandStop));
    }
}

// Searches and the clocks run 10 ms per read of the tick count or the time of day; short pauses
// end at once.
uint32_t soakTicks = 0;
uint32_t FastTicks() {
    return soakTicks += 10;
}
TimeOfDay FastTimeOfDay() {
    const uint32_t ms = soakTicks += 10;
    return {static_cast<int32_t>(ms / 3600000 % 24), static_cast<int32_t>(ms / 60000 % 60),
            static_cast<int32_t>(ms / 1000 % 60), static_cast<int32_t>(ms % 1000)};
}

// The scripted dialogs.

std::string GameName(int n) {
    return (soakFolder / ("game" + std::to_string(n) + ".chs")).string();
}

// "恢复": a saved game, a missing file, a file that is no game, or cancel.
std::string ChooseGameToRestoreScripted() {
    const int roll = Below(10);
    std::string name;
    if (roll < 6) name = GameName(Below(4));
    if (roll == 6) name = (soakFolder / "missing.chs").string();
    if (roll == 7) name = (soakFolder / "notagame.chs").string();
    restoreChosen = !name.empty();
    return name;
}

// "另存为...": one of four names, a folder that does not exist, or cancel.
std::string ChooseGameToSaveScripted() {
    const int roll = Below(10);
    if (roll < 7) return GameName(Below(4));
    if (roll == 7) return (soakFolder / "no-such-folder" / "game.chs").string();
    return {};
}

// The level dialogs' numbers, good and bad, as OK gives them to the core; Cancel now and then.
void TimeLevelDialog(uint8_t level) {
    static constexpr double kTimes[] = {0.5, 2.5, 5, 30, 0, -3, INFINITY, NAN};
    if (Chance(20)) return;
    if (!ChooseTimeLevel(level, Pick<double>(kTimes))) ReportError("时间不正确。请重输。");
}
void SecondsPerMoveDialog() {
    TimeLevelDialog(kLevelPerMove);
}
void MinutesPerGameDialog() {
    TimeLevelDialog(kLevelPerGame);
}
void PliesDialog() {
    static constexpr int64_t kPlies[] = {1, 2, 3, 60, 0, -1};
    if (Chance(20)) return;
    if (!ChooseDepthLevel(Pick<int64_t>(kPlies))) ReportError("数据不正确。请重输。");
}

// "棋子值...": OK writes values the dialog can set (sixteenths 0..255), "缺省 " the defaults.
void PieceValuesDialog() {
    if (Chance(30)) return;
    for (PieceKind kind = Rook; kind <= Pawn; ++kind)
        pieceValue[kind] = Chance(50) ? kDefaultPieceValue[kind] : 16 * Below(256);
}

void ColourDialog() {
    if (Chance(30)) return;
    colorSquare = {static_cast<uint8_t>(Below(256)), static_cast<uint8_t>(Below(256)),
                   static_cast<uint8_t>(Below(256))};
}

void AboutBox() {}

void CountError(const Message&) {
    ++errorsReported;
}

// "退出" and a new start: the settings written and read back, the start-up's flags, a new game
// and the menus as a new window shows them.
void CloseAndStartAgain() {
    const std::filesystem::path settings = soakFolder / kSettingsFileName;
    WriteSettings(settings);
    ReadSettings(settings);
    twoPlayerMode = 0;
    demoMode = 0;
    boardReversed = 0;
    bestPathShown = 1;
    savedLevel = 0;
    savedGameName.clear();
    RunCommand(kCommandNewGame);
    menus.Reset();
}

void RegisterScriptedDialogs() {
    SetCommandHandler(kCommandExit, CloseAndStartAgain);
    SetCommandHandler(kCommandAbout, AboutBox);
    SetCommandHandler(kCommandPieceValues, PieceValuesDialog);
    SetCommandHandler(kCommandColour, ColourDialog);
    SetCommandHandler(kCommandLevelPerMove, SecondsPerMoveDialog);
    SetCommandHandler(kCommandLevelPerGame, MinutesPerGameDialog);
    SetCommandHandler(kCommandLevelFixedDepth, PliesDialog);
    SetMessageHandler(MessageKind::LeftButtonDown, SoakClick);
    SetMessageHandler(MessageKind::ShowError, CountError);
    chooseGameToRestore = ChooseGameToRestoreScripted;
    chooseGameToSave = ChooseGameToSaveScripted;
}

// Each replayable ply must be a legal move when its turn comes; the position is left as found.
bool ReplayablePliesAreLegal() {
    const int plies = 2 * replayableFullMoves + replayableOddPly;
    int played = 0;
    bool legal = true;
    for (; played < plies && legal; ++played) {
        const MoveRecord move = GameRecord[recordTop + 1];
        legal = IsLegalMove(move);
        if (!legal) break;
        PlayMove(move);
    }
    while (played-- > 0)
        TakeBackMove(GameRecord[recordTop]);
    return legal;
}

// What is wrong with the core between two actions; empty when nothing is.
std::string CoreFault() {
    if (!PositionIsConsistent()) return "board and piece lists disagree";
    for (Side side = Red; side <= Black; ++side) {
        const PieceEntry& king = pieceList[side].entry[0];
        if (king.kind != King || !IsBoardPoint(king.square)) return "a King is missing";
    }
    if (IsAttacked(sideToMove, KingSquare(otherSide))) return "the side to move can take a King";
    if (thinking || computerThinking || hinting || pondering) return "an engine flag stayed set";
    if (recordTop < kRecordBottom || recordTop > -1) return "recordTop outside the game";
    if (plyCount < 0) return "negative ply count";
    for (int i = recordTop; i > kRecordBottom && GameRecord[i].piece != Empty; --i) {
        if (!IsBoardPoint(GameRecord[i].from) || !IsBoardPoint(GameRecord[i].to))
            return "a game move off the board";
    }
    if (replayableFullMoves < 0 || recordTop + 2 * replayableFullMoves + replayableOddPly > -1)
        return "more to replay than the record holds";
    if (!ReplayablePliesAreLegal()) return "a replayable move is not legal";
    if (CanTakeBackFullMove() && plyCount < 2) return "a take-back below the first move";
    return "";
}

// What is wrong with the settings and the menu bar; empty when nothing is.
std::string MenuFault() {
    if (!IsLevel(levelKind) || !IsDepthLimit(maxDepth) || !IsLevelTime(levelTime))
        return "a level value out of range";
    if (demoMode) return "the demonstration stayed on";
    if (menus.Bar() != MenuKind::Normal) return "the normal menu bar is not back";
    int checkedLevels = 0;
    for (std::string_view item : kLevelItemNames)
        checkedLevels += menus.Checked(item) ? 1 : 0;
    if (checkedLevels != 1) return "not exactly one level item checked";
    const bool twoPlayerCaption = menus.Caption("TwoPlayer") == kOnePlayerCaption;
    if (menus.Enabled("Level1") == twoPlayerCaption)
        return "level menu and two-player item disagree";
    if (menus.Enabled("UndoMove") && !CanTakeBackMenuMove())
        return "undo offered with nothing to take back";
    if (menus.Enabled("RedoUndo") && !CanReplayMenuMove())
        return "redo offered with nothing to replay";
    if (menus.Checked("Sound") != (soundOn != 0)) return "the sound item disagrees";
    if (menus.Checked("BestPath") != (bestPathShown != 0)) return "the best-line item disagrees";
    for (size_t kind = 0; kind < std::size(kEngineItemNames); ++kind) {
        if (menus.Checked(kEngineItemNames[kind]) != (static_cast<size_t>(engineKind) == kind))
            return "the engine items disagree";
    }
    return "";
}

// A position set up in the position editor: after a game of random legal moves, random clicks
// with random palette pieces and now and then the other side to move, ended with "完成", or with
// "忽略" when the check refuses the position (and now and then instead of "完成").
void SetUpRandomPosition() {
    NewGame();
    const int plies = Below(60);
    for (int i = 0; i < plies; ++i) {
        const MoveRecord move = RandomLegalMove();
        if (move.piece == Empty) break;
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        SlideRecord();
    }
    RunCommand(kCommandEdit);
    const int clicks = Below(8);
    for (int i = 0; i < clicks; ++i)
        EditSquare(MakeSquare(Below(kRanks), Below(kFiles)), Below(kPaletteSize));
    if (Chance(20)) RunCommand(Chance(50) ? kCommandEditRedTurn : kCommandEditBlackTurn);
    if (Chance(80)) RunCommand(kCommandEditDone);
    if (editMode) RunCommand(kCommandEditCancel);
    gameOver = 0;
}

// One action and the messages it left in the queue, as the window's event loop takes them;
// returns what it was, for the counts, and a fault it showed at once.
std::string OneAction(std::string* fault) {
    const int roll = Below(100);
    std::string taken;
    if (roll < kClickPercent) {
        taken = "click";
        if (gameOver || !HasLegalMove()) return "click (none)";
        SendMessage(Click(kClickRandomMove));
    } else if (roll < kClickPercent + kSetUpPercent) {
        taken = "set-up";
        SetUpRandomPosition();
    } else {
        const MenuRow* row = DrawMenuRow();
        if (row == nullptr) return "greyed item";
        taken = row->item;
        // Now and then the user clicks a move before the hint's search has finished.
        if (row->command == kCommandHint && Chance(30)) PostMessage(Click(kClickRandomMove));
        const long errorsBefore = errorsReported;
        restoreChosen = false;
        RunCommand(row->command);
        if (row->command == kCommandRestore && restoreChosen && errorsReported == errorsBefore &&
            (menus.Enabled("UndoMove") || menus.Enabled("RedoUndo")))
            *fault = "undo or redo offered after a restore";
    }
    DispatchPendingMessages();
    return taken;
}

void StartSoak(uint64_t seed, long depth) {
    soakRandom.seed(seed);
    SeedRandom(static_cast<uint32_t>(seed));
    SetTickCountSource(FastTicks);
    SetTimeOfDaySource(FastTimeOfDay);
    SetDisplay(&menus);
    SetWindowProcedure(kMainWindow, MainWindowProcedure);
    RegisterMenuCommands();
    RegisterScriptedDialogs();
    SetNativeEventPull(PullUserActions);
    std::ofstream(soakFolder / "notagame.chs") << "not a game";
    levelKind = kLevelFixedDepth;
    maxDepth = static_cast<uint8_t>(depth);
    soundOn = 0;
    RunCommand(kCommandNewGame);
    menus.Reset();
}

void StopSoak() {
    SetNativeEventPull(nullptr);
    ClearWindowHandlers();
    chooseGameToRestore = nullptr;
    chooseGameToSave = nullptr;
    SetWindowProcedure(kMainWindow, {});
    SetDisplay(nullptr);
    SetTimeOfDaySource(nullptr);
    SetTickCountSource(nullptr);
}

}  // namespace

int RunSoak(std::vector<std::string> args) {
    uint64_t seed = 1;
    long depth = 2;
    if (!TakeSeed(&args, &seed) || !TakeNumberOption(&args, "--depth", &depth)) return Usage();
    long actions = 0;
    if (args.size() != 1 || (actions = std::strtol(args[0].c_str(), nullptr, 10)) <= 0 ||
        depth < 1 || depth > 6) {
        return Usage();
    }
    std::string folder = (std::filesystem::temp_directory_path() / "xq-soak-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        std::perror("xq-bench soak: temporary folder");
        return 1;
    }
    soakFolder = folder;
    StartSoak(seed, depth);

    std::map<std::string, long> counts;
    long inconsistencies = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long action = 1; action <= actions; ++action) {
        std::string fault;
        const std::string taken = OneAction(&fault);
        ++counts[taken];
        if (fault.empty()) fault = CoreFault();
        if (fault.empty()) fault = MenuFault();
        if (fault.empty()) continue;
        if (++inconsistencies <= 10)
            std::printf("action %ld (%s): %s\n", action, taken.c_str(), fault.c_str());
        // Go on from a sound state, so that one fault is not counted again and again.
        CloseAndStartAgain();
    }
    const double seconds = MillisecondsSince(start) / 1000.0;
    std::printf("soak %ld actions:", actions);
    for (const auto& [taken, count] : counts)
        std::printf(" %s %ld,", taken.c_str(), count);
    std::printf(" errors reported %ld, boxes %ld; %ld inconsistent; %.1f s\n", errorsReported,
                menus.Boxes(), inconsistencies, seconds);
    StopSoak();
    std::error_code ignored;
    std::filesystem::remove_all(soakFolder, ignored);
    return inconsistencies == 0 ? 0 : 1;
}

}  // namespace xq::bench
