#include "records/menucommands.h"

#include <algorithm>
#include <utility>

#include "engine/commands.h"
#include "engine/externalthink.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "engine/windowprocedure.h"
#include "platform/check.h"
#include "platform/display.h"
#include "records/exchange.h"
#include "records/gamefile.h"
#include "records/settings.h"
#include "rules/board.h"
#include "rules/clock.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/record.h"

namespace xq {

uint8_t savedLevel = 0;
FileChooser chooseGameToRestore = nullptr;
FileChooser chooseGameToSave = nullptr;
GameListChooser chooseGameFromList = nullptr;
std::string savedGameName;
SaveQuestion askToSaveChanges = nullptr;

std::string_view LevelItemName(uint8_t level) {
    return kLevelItemNames[IsLevel(level) ? level : kLevelEasy];
}

namespace {

constexpr double kEasyLevelTime = 5.0;

// One handler per added engine's item: a handler takes no arguments, so its id is its engine.
template <int32_t Index>
void AddedEngineCommand() {
    ChooseAddedEngine(Index);
}

template <int32_t... Index>
void RegisterAddedEngineItems(std::integer_sequence<int32_t, Index...>) {
    (SetCommandHandler(kCommandAddedEngine + Index, AddedEngineCommand<Index>), ...);
}

std::string Choose(FileChooser chooser) {
    return chooser != nullptr ? chooser() : std::string();
}

// The game now lives in `name`: "保存" writes there, and the caption says so.
void NameTheGame(const std::string& name) {
    gameUnnamed = 0;
    savedGameName = name;
    ShowGameFile(name);
}

bool SaveUnder(const std::string& name) {
    const std::string_view error = SaveGame(name);
    if (!error.empty()) ReportError(error);
    if (error.empty()) MarkGameKept();
    return error.empty();
}

// "另存为...": true once the game is in the file chosen.
bool SaveUnderChosenName() {
    const std::string name = Choose(chooseGameToSave);
    if (name.empty() || !SaveUnder(name)) return false;
    NameTheGame(name);
    return true;
}

// "保存": the game's own file, or one chosen when it has none.
bool SaveTheGame() {
    if (gameUnnamed || savedGameName.empty()) return SaveUnderChosenName();
    return SaveUnder(savedGameName);
}

// The game of `name` restored, as "恢复" restores a file chosen; a refused file is reported and
// changes nothing. True when the game was restored.
bool RestoreFrom(const std::string& name) {
    // A file that was refused leaves the game, and so the file it belongs to, as they were.
    const std::string_view error = RestoreGame(name);
    if (error.empty()) {
        NameTheGame(name);
        MarkGameKept();
    } else {
        ReportError(error);
    }
    // The menus keep their level check mark, two-player caption and level menu: the panel shows
    // the restored level.
    ShowTakeBackAndReplay();
    // A restored game starts as a set-up one: a clean panel, and an ending announced at once.
    if (error.empty()) AnnounceSetUpGame();
    return error.empty();
}

// The game of the record file `name` that the user chooses, imported as "导入棋谱..." imports
// it. True when it was; a refusal is reported, a list closed without a choice is not.
bool ImportFrom(const std::string& name) {
    std::string bytes;
    std::string error;
    std::vector<PgnEntry> games;
    if (!ReadGameText(name, &bytes, &error) || !ReadPgnGames(bytes, &games, &error)) {
        ReportError(error);
        return false;
    }
    const size_t number =
        games.size() > 1 && chooseGameFromList != nullptr ? chooseGameFromList(games) : 1;
    if (number == 0) return false;
    error = ImportGameText(bytes, number);
    if (!error.empty()) ReportError(error);
    return error.empty();
}

}  // namespace

bool KeepChangesFirst() {
    if (!GameChangedSinceKept() || askToSaveChanges == nullptr) return true;
    switch (askToSaveChanges()) {
        case SaveAnswer::Save:
            return SaveTheGame();
        case SaveAnswer::Discard:
            return true;
        case SaveAnswer::Cancel:
            break;
    }
    return false;
}

void OpenGivenFile(const std::string& name) {
    const bool opened = IsGameFile(name) ? RestoreFrom(name) : ImportFrom(name);
    if (!opened) NewGameCommand();
}

void RegisterMenuCommands() {
    const struct {
        int32_t command;
        CommandHandler handler;
    } handlers[] = {
        {kCommandNewGame, NewGameMenuCommand},
        {kCommandRestore, RestoreGameCommand},
        {kCommandSave, SaveGameCommand},
        {kCommandSaveAs, SaveGameAsCommand},
        {kCommandPass, PassCommand},
        {kCommandHint, HintCommand},
        {kCommandTakeBack, TakeBackCommand},
        {kCommandReplay, ReplayCommand},
        {kCommandLevelEasy, EasyCommand},
        {kCommandLevelMatching, MatchingCommand},
        {kCommandLevelUnlimited, UnlimitedCommand},
        {kCommandLevelMateSearch, MateSearchCommand},
        {kCommandTwoPlayer, TwoPlayerCommand},
        {kCommandDemo, DemoCommand},
        {kCommandSound, SoundCommand},
        {kCommandReverseBoard, ReverseCommand},
        {kCommandBestPath, BestPathCommand},
        {kCommandEngineClassic, ClassicEngineCommand},
        {kCommandEngineMaster, MasterEngineCommand},
    };
    for (const auto& row : handlers)
        SetCommandHandler(row.command, row.handler);
    RegisterAddedEngineItems(std::make_integer_sequence<int32_t, kMaxAddedEngineItems>());
}

void ShowTakeBackAndReplay() {
    EnableMenuItem("UndoMove", CanTakeBackMenuMove());
    EnableMenuItem("RedoUndo", CanReplayMenuMove());
}

// The check mark is put on the chosen item and taken off all the others, also when the level does
// not change: after "恢复" it may stand on an item other than that of levelKind, and the menu
// must show the level chosen, never two.
void ChangeLevel(uint8_t level) {
    for (uint8_t item = 0; item < std::size(kLevelItemNames); ++item)
        if (item != level) CheckMenuItem(kLevelItemNames[item], false);
    CheckMenuItem(LevelItemName(level), true);
    levelKind = level;
}

std::string AddedEngineItemName(size_t index) {
    return "AddedEngine" + std::to_string(index);
}

void ChooseEngine(EngineKind kind) {
    XQ_ASSERT(kind != EngineKind::Added);
    engineKind = kind;
    EndAddedEngine();
    CheckChosenEngineItem();
}

void ChooseAddedEngine(size_t index) {
    if (index >= addedEngines.size()) return;
    ChooseAddedEngineAt(index);
    CheckChosenEngineItem();
}

void CheckChosenEngineItem() {
    for (size_t item = 0; item < std::size(kEngineItemNames); ++item)
        CheckMenuItem(kEngineItemNames[item], engineKind == static_cast<EngineKind>(item));
    const int added = engineKind == EngineKind::Added ? AddedEngineIndex(addedEngineName) : -1;
    for (size_t item = 0; item < addedEngines.size(); ++item)
        CheckMenuItem(AddedEngineItemName(item), static_cast<int>(item) == added);
}

bool ChooseTimeLevel(uint8_t level, double value) {
    if (!IsLevelTime(value)) return false;
    ChangeLevel(level);
    levelTime = value;
    ShowLevel();
    // As if each side had used exactly levelTime on each of its moves so far.
    const double used = (plyCount / 2) * levelTime;
    sideClock[Red].elapsed = used;
    sideClock[Black].elapsed = used;
    maxDepth = kDeepestSearch;
    return true;
}

bool ChooseDepthLevel(int64_t plies) {
    if (plies < 1) return false;
    ChangeLevel(kLevelFixedDepth);
    maxDepth = static_cast<uint8_t>(std::min<int64_t>(plies, kDeepestSearch));
    ShowLevel();
    return true;
}

void NewGameMenuCommand() {
    if (KeepChangesFirst()) NewGameCommand();
}

// The question comes before the file dialog: "取消" leaves everything as it was.
void RestoreGameCommand() {
    if (!KeepChangesFirst()) return;
    const std::string name = Choose(chooseGameToRestore);
    if (name.empty()) return;
    RestoreFrom(name);
}

// A game without a file asks for one: "保存" never does nothing.
void SaveGameCommand() {
    SaveTheGame();
}

void SaveGameAsCommand() {
    SaveUnderChosenName();
}

void PassCommand() {
    if (levelKind == kLevelEasy) ClearThreatMarks();
    userSide = otherSide;
    computerSide = sideToMove;
    ComputerTurn();
}

// The hint's search starts from the game's position anchored afresh, which drops the moves that
// "重下" could have replayed: the menu follows.
void HintCommand() {
    if (thinking) return;
    Hint();
    ShowPredictedLine();
    ShowTakeBackAndReplay();
}

void TakeBackCommand() {
    if (thinking) return;
    if (TakesBackByPly()) {
        TakeBackPlies(1);
    } else {
        TakeBackFullMove();
    }
    ShowTakeBackAndReplay();
    SidesFromThePosition();
}

bool TakeBackPliesCommand(int plies) {
    if (thinking || !TakeBackPlies(plies)) return false;
    ShowTakeBackAndReplay();
    SidesFromThePosition();
    return true;
}

void ReplayCommand() {
    if (thinking) return;
    if (TakesBackByPly()) {
        ReplayPly();
    } else {
        ReplayFullMove();
    }
    ShowTakeBackAndReplay();
    SidesFromThePosition();
}

void EasyCommand() {
    ChangeLevel(kLevelEasy);
    levelTime = kEasyLevelTime;
    maxDepth = kDeepestSearch;
    ShowLevel();
}

void MatchingCommand() {
    ChangeLevel(kLevelMatching);
    ShowLevel();
}

void UnlimitedCommand() {
    ChangeLevel(kLevelUnlimited);
    maxDepth = kDeepestSearch;
    ShowLevel();
}

// The engine looks for a mate for the side to move, so it plays that side from now on, as after
// "对弈"; when it finds none, the side comes back to the user (PlayEngineMove).
void MateSearchCommand() {
    ChangeLevel(kLevelMateSearch);
    ShowLevel();
    userSide = otherSide;
    computerSide = sideToMove;
    ComputerTurn();
}

void TwoPlayerCommand() {
    twoPlayerMode = twoPlayerMode ? 0 : 1;
    if (twoPlayerMode) {
        SetMenuItemCaption("TwoPlayer", Tr(kOnePlayerCaption));
        savedLevel = levelKind;
        EnableMenuItem("Level1", false);
        levelKind = kLevelPerMove;
    } else {
        SetMenuItemCaption("TwoPlayer", Tr(kTwoPlayerCaption));
        EnableMenuItem("Level1", true);
        levelKind = savedLevel;
    }
    ShowLevel();
    ShowTakeBackAndReplay();  // by ply or by full move from now on
}

// The easy level's threat frames would stand still while the engine plays both sides, and the mate
// search plays only mates, so that from a position without one the demonstration would start game
// after empty game without ever searching long enough to hear "停止": both demonstrate at level
// 0, and the level comes back when the demonstration is stopped.
void DemoCommand() {
    const uint8_t level = levelKind;
    const bool easy = level == kLevelEasy;
    const bool atLevelZero = easy || level == kLevelMateSearch;
    if (atLevelZero) levelKind = kLevelPerMove;
    if (easy) ClearThreatMarks();
    demoMode = 1;
    ComputerTurn();
    if (atLevelZero) levelKind = level;
    if (easy) RedrawChangedSquares();
    SidesFromThePosition();
    ShowLevel();
}

void SoundCommand() {
    soundOn = soundOn ? 0 : 1;
    CheckMenuItem("Sound", soundOn != 0);
}

void ReverseCommand() {
    boardReversed = boardReversed ? 0 : 1;
    RedrawAll();
}

void BestPathCommand() {
    bestPathShown = bestPathShown ? 0 : 1;
    CheckMenuItem("BestPath", bestPathShown != 0);
    if (!bestPathShown) ClearBestPath();
}

void ClassicEngineCommand() {
    ChooseEngine(EngineKind::Classic);
}

void MasterEngineCommand() {
    ChooseEngine(EngineKind::Master);
}

}  // namespace xq
