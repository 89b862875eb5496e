// The command ids of the main window's menu items. The window puts them into the menu command
// messages it posts; the engine's message pump recognises kCommandStop, the one item of the menu
// shown while the engine thinks on its own move.
#pragma once

#include <cstdint>
#include <optional>

namespace xq {

enum Command : int32_t {
    // "游戏" (game)
    kCommandNewGame = 101,  // "新建"
    kCommandRestore,        // "恢复"
    kCommandSave,           // "保存"
    kCommandSaveAs,         // "另存为..."
    kCommandExit,           // "退出"
    // "移动" (move)
    kCommandTakeBack = 201,  // "悔棋"
    kCommandReplay,          // "重下"
    kCommandHint,            // "提示"
    kCommandPass,            // "对弈": the engine moves for the side to move
    kCommandDemo,            // "演示模式"
    kCommandMateSearch,      // "将死搜索"
    // "级别" (level), in the order of levelKind 0..6
    kCommandLevelPerMove = 301,  // "每次移动时间..."
    kCommandLevelPerGame,        // "总时间"
    kCommandLevelEasy,           // "容易"
    kCommandLevelUnlimited,      // "无限制"
    kCommandLevelFixedDepth,     // "回合搜索"
    kCommandLevelMateSearch,     // "将死搜索"
    kCommandLevelMatching,       // "匹配"
    // "选项" (options)
    kCommandPieceValues = 401,  // "棋子值..."
    kCommandColour,             // "颜色..."
    kCommandDrag,               // "拖动"
    kCommandSelect,             // "选择"
    kCommandSound,              // "声音"
    kCommandReverseBoard,       // "反转棋盘"
    kCommandTwoPlayer,          // "两人对弈"
    kCommandBestPath,           // "最好路线"
    kCommandEngineClassic,      // "引擎" > "标准"
    kCommandEngineMaster,       // "引擎" > "大师"
    kCommandAnalysisMode,       // "分析模式"
    kCommandManageEngines,      // "引擎" > "引擎管理..."
    kCommandEngineMatch,        // "游戏" > "引擎比赛..."
    // "编辑" (editor)
    kCommandEdit = 501,     // "摆子"
    kCommandEditDone,       // "完成"
    kCommandEditCancel,     // "忽略"
    kCommandEditClear,      // "清除"
    kCommandEditRedTurn,    // "轮流" > "红方"
    kCommandEditBlackTurn,  // "轮流" > "黑方"
    kCommandAbout = 601,    // "关于"
    // The think menu's one item.
    kCommandStop = 701,  // "停止"
    // "棋谱" (game records), and the display options "标记最后一步" and "分析箭头"
    kCommandCopyPosition = 801,  // "复制局面"
    kCommandPastePosition,       // "粘贴局面"
    kCommandExportGame,          // "导出棋谱..."
    kCommandImportGame,          // "导入棋谱..."
    kCommandMarkLastMove,        // "显示" > "标记最后一步"
    kCommandAnalyseGame,         // "分析棋局..."
    kCommandAnalysisArrows,      // "显示" > "分析箭头"
    // Reviewing the game: the move list, its keys and the course graph show a move (the message's
    // x holds the game's ply count after it); "编辑" > "从此处继续" goes on from the move shown.
    kCommandReview = 901,
    kCommandContinueHere,  // "从此处继续"
    // "引擎" > the engines the user added: the first one, and the ids after it for the others.
    kCommandAddedEngine = 1001,
};

// How many added engines the engine menu lists (ids kCommandAddedEngine and on).
inline constexpr int32_t kMaxAddedEngineItems = 64;
constexpr bool IsAddedEngineCommand(int32_t id) {
    return id >= kCommandAddedEngine && id < kCommandAddedEngine + kMaxAddedEngineItems;
}

// What a command does to a review of the game (the board showing a past position, ui/review.h).
enum class ReviewEffect : uint8_t { Keeps, Ends };

// Each command's effect on a review: the commands that change the game, the board, the clocks or
// who plays, start the engine or open the editor end it first; those that show, copy or write the
// game as it is, or set an option, keep it. The switch lists every command without a default, so
// a command added later is a warning until it is given its effect here. Nothing for an id of no
// command.
constexpr std::optional<ReviewEffect> ReviewEffectOf(int32_t id) {
    if (IsAddedEngineCommand(id)) return ReviewEffect::Keeps;
    switch (static_cast<Command>(id)) {
        case kCommandNewGame:
        case kCommandRestore:
        case kCommandExit:
        case kCommandTakeBack:
        case kCommandReplay:
        case kCommandHint:
        case kCommandPass:
        case kCommandDemo:
        case kCommandMateSearch:
        // The time levels count the clocks afresh, the mate search level starts the engine.
        case kCommandLevelPerMove:
        case kCommandLevelPerGame:
        case kCommandLevelEasy:
        case kCommandLevelUnlimited:
        case kCommandLevelFixedDepth:
        case kCommandLevelMateSearch:
        case kCommandLevelMatching:
        case kCommandTwoPlayer:
        case kCommandAnalysisMode:
        case kCommandEdit:
        case kCommandEditDone:
        case kCommandEditCancel:
        case kCommandEditClear:
        case kCommandEditRedTurn:
        case kCommandEditBlackTurn:
        case kCommandStop:
        case kCommandPastePosition:
        case kCommandImportGame:
        // The review's own commands: the review handles them before any other.
        case kCommandReview:
        case kCommandContinueHere:
            return ReviewEffect::Ends;
        case kCommandSave:
        case kCommandSaveAs:
        case kCommandPieceValues:
        case kCommandColour:
        case kCommandDrag:
        case kCommandSelect:
        case kCommandSound:
        case kCommandReverseBoard:
        case kCommandBestPath:
        case kCommandEngineClassic:
        case kCommandEngineMaster:
        case kCommandManageEngines:
        case kCommandEngineMatch:
        case kCommandAddedEngine:
        case kCommandAbout:
        case kCommandCopyPosition:
        case kCommandExportGame:
        case kCommandMarkLastMove:
        case kCommandAnalyseGame:
        case kCommandAnalysisArrows:
            return ReviewEffect::Keeps;
    }
    return std::nullopt;
}

}  // namespace xq
