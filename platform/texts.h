// The catalogue of the sentences the core shows the player: refusals, messages, level texts and
// captions. The Simplified Chinese texts here are the source texts; the window translates them
// into the player's language through the installed Display (Translate), and Qt's string
// extractor finds them by the XQ_TEXT macro (lupdate -tr-function-alias
// QT_TRANSLATE_NOOP+=XQ_TEXT), all in the one context kTextContext.
//
// A text with %1, %2 ... is a pattern: FormatText translates it first and then puts the values in,
// so a translation may move them. Texts written to files (the game log, game records) never pass
// through Translate.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Expands to the source text; the context only tells the extractor where the text belongs.
#define XQ_TEXT(context, source) source

namespace xq {

inline constexpr char kTextContext[] = "xq";

// The installed Display's translation of `source` (the source itself by default).
std::string Tr(std::string_view source);
// `pattern` translated, each %1..%9 in it replaced by the value of that number.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values);

// The game moves: refusals, check, the end of a game.
inline constexpr std::string_view kImpossibleMoveText = XQ_TEXT("xq", "不可能的移动！");
inline constexpr std::string_view kKingLeftInCheckText = XQ_TEXT("xq", "非法移动。将军！");
inline constexpr std::string_view kMateText = XQ_TEXT("xq", "将死！");
inline constexpr std::string_view kStalemateText = XQ_TEXT("xq", "死局!");
inline constexpr std::string_view kCheckText = XQ_TEXT("xq", "将军!");
inline constexpr std::string_view kCheckBoxText = XQ_TEXT("xq", "将军！");
inline constexpr std::string_view kBoxCaption = XQ_TEXT("xq", "中国象棋");
inline constexpr std::string_view kSixtyMovesText = XQ_TEXT("xq", "六十回合规则");
inline constexpr std::string_view kRedResignsText = XQ_TEXT("xq", "红方认输");
inline constexpr std::string_view kBlackResignsText = XQ_TEXT("xq", "黑方认输");
// %1: the number of moves.
inline constexpr std::string_view kForcedMatePattern = XQ_TEXT("xq", " 将死在%1 次移动后!");

// A set-up position that the rules refuse: the pieces named, then what is wrong with them.
inline constexpr std::string_view kRedKingName = XQ_TEXT("xq", "帅");
inline constexpr std::string_view kBlackKingName = XQ_TEXT("xq", "将");
inline constexpr std::string_view kRedAssistName = XQ_TEXT("xq", "仕");
inline constexpr std::string_view kBlackAssistName = XQ_TEXT("xq", "士");
inline constexpr std::string_view kRedBishopName = XQ_TEXT("xq", "相");
inline constexpr std::string_view kBlackBishopName = XQ_TEXT("xq", "象");
inline constexpr std::string_view kKnightName = XQ_TEXT("xq", "马");
inline constexpr std::string_view kRookName = XQ_TEXT("xq", "车");
inline constexpr std::string_view kRedGunnerName = XQ_TEXT("xq", "炮");
inline constexpr std::string_view kBlackGunnerName = XQ_TEXT("xq", "砲");
inline constexpr std::string_view kRedPawnName = XQ_TEXT("xq", "兵");
inline constexpr std::string_view kBlackPawnName = XQ_TEXT("xq", "卒");
// The King of the side not to move, which the side to move could take.
inline constexpr std::string_view kAttackedKingName = XQ_TEXT("xq", "王");
// Two names of a list: %1 the names so far, %2 the next one.
inline constexpr std::string_view kNameListPattern = XQ_TEXT("xq", "%1%2");
inline constexpr std::string_view kWrongCountPattern = XQ_TEXT("xq", "%1的数目不正确");
inline constexpr std::string_view kWrongPlacePattern = XQ_TEXT("xq", "%1的位置错误");

// Game files and the game log.
inline constexpr std::string_view kSaveFailedText = XQ_TEXT("xq", "存贮错误");
inline constexpr std::string_view kGameNotLoadedText = XQ_TEXT("xq", "游戏没有加载");
inline constexpr std::string_view kFileNotFoundText = XQ_TEXT("xq", "文件没有发现");
// %1: the file.
inline constexpr std::string_view kCannotWritePattern = XQ_TEXT("xq", "不能打开 %1 用于写");
inline constexpr std::string_view kLogOpenFailedText =
    XQ_TEXT("xq", "不能打开日志文件.\n禁止登录！");

// Positions and game records exchanged with other programs. %1: the file, or the reason.
inline constexpr std::string_view kNoPositionText = XQ_TEXT("xq", "剪贴板中没有局面");
inline constexpr std::string_view kBadFenPattern = XQ_TEXT("xq", "FEN 局面有误：%1");
inline constexpr std::string_view kSaveFailedPattern = XQ_TEXT("xq", "存贮错误：%1");
inline constexpr std::string_view kCannotReadPattern = XQ_TEXT("xq", "无法读取文件 %1");
inline constexpr std::string_view kTooLargePattern = XQ_TEXT("xq", "文件太大，不是棋谱：%1");
inline constexpr std::string_view kNoGameText = XQ_TEXT("xq", "文件中没有棋谱");
inline constexpr std::string_view kNotTextText =
    XQ_TEXT("xq", "无法读取文件的文字编码：不是 UTF-8、GBK/GB18030 或 Big5 的文字");
inline constexpr std::string_view kUnendedPartText =
    XQ_TEXT("xq", "棋谱格式有误：标签、注释或变着没有结束");
// %1: the word.
inline constexpr std::string_view kExtraWordPattern = XQ_TEXT("xq", "棋谱格式有误：多余的“%1”");
// %1: the full-move number, %2: the move as written, %3: what is wrong with it.
inline constexpr std::string_view kBadMovePattern = XQ_TEXT("xq", "第%1回合的着法“%2”%3");
inline constexpr std::string_view kIllegalMoveText = XQ_TEXT("xq", "不合规则");
inline constexpr std::string_view kAmbiguousMoveText = XQ_TEXT("xq", "有歧义");
inline constexpr std::string_view kUnknownMoveText = XQ_TEXT("xq", "无法识别");
// %1: the game's number in the file, %2: what is wrong with it.
inline constexpr std::string_view kBadGamePattern = XQ_TEXT("xq", "第%1局：%2");
// %1: the games in the file, %2: the game asked for.
inline constexpr std::string_view kNoSuchGamePattern =
    XQ_TEXT("xq", "文件中只有 %1 局棋谱，没有第 %2 局");

// The engine and the game flow.
inline constexpr std::string_view kUsingLibraryText = XQ_TEXT("xq", "正在利用棋谱库。");
inline constexpr std::string_view kNoMateFoundText = XQ_TEXT("xq", "没有找到将死。");
inline constexpr std::string_view kNoMemoryText = XQ_TEXT("xq", "没有足够的内存");
inline constexpr std::string_view kClassicEngineName = XQ_TEXT("xq", "标准");
inline constexpr std::string_view kMasterEngineName = XQ_TEXT("xq", "大师");
// The engines the user added. %1: the engine's name; %2: what it said or why it failed.
inline constexpr std::string_view kNoAddedEngineText = XQ_TEXT("xq", "没有选定引擎。");
inline constexpr std::string_view kAddedEngineStartPattern = XQ_TEXT("xq", "引擎 %1 无法启动：%2");
inline constexpr std::string_view kAddedEngineNoMovePattern =
    XQ_TEXT("xq", "引擎 %1 没有给出着法（%2）。");
inline constexpr std::string_view kAddedEngineMissingPattern =
    XQ_TEXT("xq", "引擎 %1 已不在引擎列表中，改用标准引擎。");
// The captions of the two-player item: off, then on.
inline constexpr std::string_view kTwoPlayerCaption = XQ_TEXT("xq", "两人对弈");
inline constexpr std::string_view kOnePlayerCaption = XQ_TEXT("xq", "单独对弈");

// Other programs' engines: starting them and what went wrong with them. %1: the program or the
// engine's name.
inline constexpr std::string_view kProgramNotFoundPattern = XQ_TEXT("xq", "找不到程序 %1");
// %2: the system's reason.
inline constexpr std::string_view kCannotRunPattern = XQ_TEXT("xq", "无法运行 %1：%2");
inline constexpr std::string_view kNoFolderPattern = XQ_TEXT("xq", "无法进入文件夹 %1：%2");
// %2: the exit code, or the signal.
inline constexpr std::string_view kEngineExitedPattern =
    XQ_TEXT("xq", "引擎 %1 已退出 (退出码 %2)");
inline constexpr std::string_view kEngineKilledPattern = XQ_TEXT("xq", "引擎 %1 被信号 %2 终止");
// %2: the command it did not answer.
inline constexpr std::string_view kEngineNoAnswerPattern = XQ_TEXT("xq", "引擎 %1 没有回应 %2");
inline constexpr std::string_view kEngineNoProtocolPattern =
    XQ_TEXT("xq", "引擎 %1 不懂 UCI、UCCI 或 XBoard 协议");
inline constexpr std::string_view kEngineNoXiangqiPattern = XQ_TEXT("xq", "引擎 %1 不能下中国象棋");
// %2: the move as the engine wrote it.
inline constexpr std::string_view kEngineIllegalMovePattern =
    XQ_TEXT("xq", "引擎 %1 走了不合规则的着法 %2");
inline constexpr std::string_view kEngineNonsensePattern =
    XQ_TEXT("xq", "引擎 %1 的着法无法识别：%2");
inline constexpr std::string_view kEngineFloodPattern = XQ_TEXT("xq", "引擎 %1 输出过多");
inline constexpr std::string_view kEngineNoSetupPattern =
    XQ_TEXT("xq", "引擎 %1 不能从任意局面开始");
inline constexpr std::string_view kEngineRefusedMovePattern =
    XQ_TEXT("xq", "引擎 %1 不接受着法：%2");
inline constexpr std::string_view kEngineNotStoppedPattern = XQ_TEXT("xq", "引擎 %1 没有停下");

// The engine list file. %1: the engine's section, %2: the key, %3: the value.
inline constexpr std::string_view kEngineListNoCommandPattern =
    XQ_TEXT("xq", "引擎列表：[%1] 没有 command，已跳过");
inline constexpr std::string_view kEngineListDuplicatePattern =
    XQ_TEXT("xq", "引擎列表：[%1] 重复，已跳过");
inline constexpr std::string_view kEngineListBadValuePattern =
    XQ_TEXT("xq", "引擎列表：[%1] 的 %2 无法识别：%3");
// %1: the line's number.
inline constexpr std::string_view kEngineListBadLinePattern =
    XQ_TEXT("xq", "引擎列表第 %1 行无法识别");

// The level as the panel names it. %1: seconds, minutes or plies.
inline constexpr std::string_view kPerMoveLevelPattern = XQ_TEXT("xq", "%1 秒/移动");
inline constexpr std::string_view kPerGameLevelPattern = XQ_TEXT("xq", "%1 分钟/局");
inline constexpr std::string_view kEasyLevelText = XQ_TEXT("xq", "容易");
inline constexpr std::string_view kUnlimitedLevelText = XQ_TEXT("xq", "无限制");
inline constexpr std::string_view kDepthLevelPattern = XQ_TEXT("xq", "回合深度 = %1");
inline constexpr std::string_view kMateSearchLevelText = XQ_TEXT("xq", "将死搜索");
inline constexpr std::string_view kMatchingLevelText = XQ_TEXT("xq", "匹配用户时间");

}  // namespace xq
